// The line-type list: built-in table, recognition, fresh numbers, limits,
// deep copies and running out of memory.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "qzutil/linetype/linetype_list.h"

namespace {

int g_fail_countdown = -1;  // fails the nothrow allocation that reaches 0

std::unique_ptr<CLineTypeDefinition> Make(std::uint32_t index, double length,
                                          const std::vector<double>& fragments) {
  auto d = std::make_unique<CLineTypeDefinition>();
  d->SetIndex(index), d->SetPatternLength(length);
  for (double f : fragments)
    d->AddFragment(f);
  return d;
}

// Hands `d` over only if the list kept it.
std::int32_t Add(CLineTypeDefList& list, std::unique_ptr<CLineTypeDefinition> d, bool& found) {
  const std::int32_t r = list.AddLineTypeDefinition(d.get(), found);
  if (r >= 0 && !found) static_cast<void>(d.release());
  return r;
}

// "index/length:fragments" of the stored definitions from slot `from` on,
// then nextIndex.
std::string Describe(const CLineTypeDefList& list, std::int32_t from = 0) {
  std::ostringstream out;
  for (std::int32_t i = from; i < list.numDefinitions; ++i) {
    const CLineTypeDefinition& d = *list.definitions[i];
    out << d.index << '/' << d.patternLength;
    for (std::int32_t k = 0; k < d.pattern.numFragments; ++k)
      out << (k == 0 ? ':' : ',') << d.pattern.fragments[k];
    out << ' ';
  }
  return out.str() + "next " + std::to_string(list.nextIndex);
}

TEST(LineTypeList, SeededWithTheBuiltInTypes) {
  CLineTypeDefList list;
  EXPECT_EQ(Describe(list),
            "1/10:100 2/5:60,40 3/2.5:10,40 4/7.5:80,30,20,30 5/10:80,30,20,30,20,30 6/10:110 "
            "7/12:120 8/13:130 9/7.5:80,70 10/15:140,50,60,50 11/21.5:310,30,60,30 12/6.5:90,40 "
            "13/15.5:130,20,60,20,60,20 next 14");
  EXPECT_EQ(list.definitions[13], nullptr);
  EXPECT_TRUE(list.GetDefinition(5) == list.definitions[4] &&
              list.GetDefinition(13) == list.definitions[12]);
  EXPECT_TRUE(list.GetDefinition(0) == nullptr && list.GetDefinition(14) == nullptr);
}

TEST(LineTypeList, RecognisesKnownPatternsAndRenumbersTakenIndices) {
  CLineTypeDefList list;
  bool found = false;
  auto like3 = Make(40, 2.5, {10, 40});
  EXPECT_EQ(list.AddLineTypeDefinition(like3.get(), found), 3);
  EXPECT_TRUE(found);
  EXPECT_EQ(like3->index, 40u);
  EXPECT_EQ(Add(list, Make(14, 1.0, {2}), found), 14);  // free and equal to nextIndex
  EXPECT_FALSE(found);
  Add(list, Make(2, 1.0, {1, 1}), found);  // taken: renumbered
  Add(list, Make(100, 2.0, {1}), found);
  Add(list, Make(50, 3.0, {1}), found);  // below nextIndex: no move
  EXPECT_EQ(Add(list, Make(1, 4.0, {1}), found), 101);
  EXPECT_EQ(Describe(list, 13), "14/1:2 15/1:1,1 100/2:1 50/3:1 101/4:1 next 102");
  auto unnumbered = Make(0, 9.0, {9});
  for (CLineTypeDefinition* refused :
       {unnumbered.get(), static_cast<CLineTypeDefinition*>(nullptr)}) {
    found = true;
    EXPECT_EQ(list.AddLineTypeDefinition(refused, found), -1);
    EXPECT_FALSE(found);
  }
  EXPECT_EQ(list.numDefinitions, 18);
}

TEST(LineTypeList, LimitsOfCountAndNumbers) {
  CLineTypeDefList list, big;
  bool found = false;
  for (std::uint32_t i = 14; i <= 850; ++i)
    ASSERT_EQ(Add(list, Make(i, i, {1}), found), static_cast<std::int32_t>(i));
  auto like7 = Make(7, 12.0, {120});  // full: refused before the scan
  EXPECT_EQ(list.AddLineTypeDefinition(like7.get(), found), -1);
  EXPECT_FALSE(found);

  EXPECT_EQ(Add(big, Make(0x80000000u, 1.0, {1}), found), -1);  // would come back negative
  EXPECT_EQ(Add(big, Make(0x7FFFFFFF, 1.0, {2}), found), 0x7FFFFFFF);
  EXPECT_EQ(Add(big, Make(5, 1.0, {3}), found), -1);  // no fresh number left
  EXPECT_EQ(big.numDefinitions, 14);
}

TEST(LineTypeList, CopiesOwnTheirDefinitions) {
  auto list = std::make_unique<CLineTypeDefList>();
  CLineTypeDefList assigned;
  bool found = false;
  Add(*list, Make(20, 1.0, {4, 2}), found);
  Add(assigned, Make(30, 1.0, {5}), found);  // replaced below; a leak if not deleted
  CLineTypeDefList copy(*list);
  assigned = *list;
  assigned = assigned;
  for (CLineTypeDefList* c : {&copy, &assigned}) {
    EXPECT_EQ(Describe(*c), Describe(*list));
    EXPECT_NE(c->definitions[13], list->definitions[13]);
  }
  list.reset();  // under the sanitizers: no use after free, no second delete
  EXPECT_EQ(assigned.GetDefinition(20)->pattern.numFragments, 2);
}

TEST(LineTypeList, OutOfMemoryLeavesConsistentLists) {
  g_fail_countdown = 4;  // the fifth built-in
  CLineTypeDefList partial, target;
  EXPECT_EQ(partial.nextIndex, 14u);
  EXPECT_EQ(partial.GetDefinition(5), nullptr);
  EXPECT_EQ(partial.definitions[4], partial.GetDefinition(6));

  g_fail_countdown = 7;  // part-way through the duplicates
  target = partial;
  EXPECT_EQ(target.numDefinitions, 13);
  g_fail_countdown = 3;
  const CLineTypeDefList copy(target);
  g_fail_countdown = -1;
  EXPECT_EQ(Describe(copy), "next 0");
  EXPECT_EQ(copy.definitions[0], nullptr);
}

}  // namespace

// Only the nothrow form, which nothing but the list uses here, is replaced;
// it draws on the ordinary form so that the ordinary delete matches.
void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
  if (g_fail_countdown >= 0 && g_fail_countdown-- == 0) return nullptr;
  try {
    return ::operator new(size);
  } catch (...) {
    return nullptr;
  }
}
