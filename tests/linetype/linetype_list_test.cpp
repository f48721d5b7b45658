// The line-type list: built-in table, recognition, fresh numbers, limits,
// deep copies and running out of memory.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include <gtest/gtest.h>

#include "qzutil/linetype/linetype_list.h"

namespace {

int g_fail_countdown = -1;  // fails the nothrow allocation that reaches 0

std::unique_ptr<CLineTypeDefinition> Make(std::uint32_t index, double length,
                                          std::vector<double> fragments) {
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

std::vector<std::uint32_t> Indices(const CLineTypeDefList& list) {
  std::vector<std::uint32_t> out;
  for (std::int32_t i = 0; i < list.numDefinitions; ++i)
    out.push_back(list.definitions[i]->index);
  return out;
}

TEST(LineTypeList, SeededWithTheBuiltInTypes) {
  CLineTypeDefList list;
  EXPECT_EQ(list.nextIndex, 14u);
  EXPECT_EQ(Indices(list), (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
  EXPECT_EQ(list.definitions[13], nullptr);
  const double lengths[] = {10, 5, 2.5, 7.5, 10, 10, 12, 13, 7.5, 15, 21.5, 6.5, 15.5};
  const double sums[] = {100, 100, 50, 160, 210, 110, 120, 130, 150, 300, 430, 130, 310};
  for (std::uint32_t i = 0; i < 13; ++i) {
    EXPECT_EQ(list.GetDefinition(i + 1), list.definitions[i]);
    EXPECT_EQ(list.definitions[i]->patternLength, lengths[i]) << i;
    EXPECT_EQ(list.definitions[i]->pattern.fragmentSum, sums[i]) << i;
  }
  EXPECT_TRUE(*list.GetDefinition(5) == *Make(0, 10.0, {80, 30, 20, 30, 20, 30}));
  EXPECT_EQ(list.GetDefinition(0), nullptr);
  EXPECT_EQ(list.GetDefinition(14), nullptr);
}

TEST(LineTypeList, RecognisesKnownPatternsAndRenumbersTakenIndices) {
  CLineTypeDefList list, fresh;
  bool found = false;
  auto like3 = Make(40, 2.5, {10, 40});
  EXPECT_EQ(list.AddLineTypeDefinition(like3.get(), found), 3);
  EXPECT_TRUE(found);
  EXPECT_EQ(like3->index, 40u);
  EXPECT_EQ(list.numDefinitions, 13);
  EXPECT_EQ(Add(list, Make(2, 1.0, {1, 1}), found), 14);
  EXPECT_FALSE(found);
  EXPECT_EQ(list.nextIndex, 15u);
  EXPECT_EQ(list.GetDefinition(14)->patternLength, 1.0);
  EXPECT_EQ(Add(list, Make(100, 2.0, {1}), found), 100);
  EXPECT_EQ(Add(list, Make(50, 3.0, {1}), found), 50);  // below nextIndex: no move
  EXPECT_EQ(list.nextIndex, 101u);
  EXPECT_EQ(Add(list, Make(1, 4.0, {1}), found), 101);
  EXPECT_EQ(Indices(list).back(), 101u);

  EXPECT_EQ(Add(fresh, Make(14, 1.0, {2}), found), 14);
  EXPECT_EQ(fresh.nextIndex, 15u);
  EXPECT_EQ(Add(fresh, Make(1, 1.0, {3}), found), 15);
  auto unnumbered = Make(0, 9.0, {9});
  CLineTypeDefinition* const refused[] = {unnumbered.get(), nullptr};
  for (CLineTypeDefinition* r : refused) {
    found = true;
    EXPECT_EQ(fresh.AddLineTypeDefinition(r, found), -1);
    EXPECT_FALSE(found);
  }
  EXPECT_EQ(fresh.numDefinitions, 15);
}

TEST(LineTypeList, LimitsOfCountAndNumbers) {
  CLineTypeDefList list, big;
  bool found = false;
  for (std::uint32_t i = 14; i <= 850; ++i)
    ASSERT_EQ(Add(list, Make(i, i, {1}), found), static_cast<std::int32_t>(i));
  EXPECT_EQ(list.GetDefinition(850), list.definitions[849]);
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
  auto assigned = std::make_unique<CLineTypeDefList>();
  bool found = false;
  Add(*list, Make(20, 1.0, {4, 2}), found);
  Add(*assigned, Make(30, 1.0, {5}), found);  // replaced below; a leak if not deleted
  auto copy = std::make_unique<CLineTypeDefList>(*list);
  *assigned = *list;
  *assigned = *assigned;
  for (CLineTypeDefList* c : {copy.get(), assigned.get()}) {
    EXPECT_EQ(Indices(*c), Indices(*list));
    EXPECT_EQ(c->nextIndex, 21u);
    EXPECT_NE(c->GetDefinition(20), list->GetDefinition(20));
  }
  copy->GetDefinition(20)->AddFragment(1.0);
  list.reset();  // under the sanitizers: no second delete, no leak
  EXPECT_EQ(copy->GetDefinition(20)->pattern.numFragments, 3);
  EXPECT_EQ(assigned->GetDefinition(20)->pattern.numFragments, 2);
}

TEST(LineTypeList, OutOfMemoryLeavesConsistentLists) {
  g_fail_countdown = 4;  // the fifth built-in
  CLineTypeDefList partial, target;
  EXPECT_EQ(partial.nextIndex, 14u);
  EXPECT_EQ(partial.GetDefinition(5), nullptr);
  EXPECT_EQ(partial.definitions[4], partial.GetDefinition(6));
  EXPECT_EQ(target.numDefinitions, 13);

  g_fail_countdown = 7;  // part-way through the duplicates
  target = partial;
  EXPECT_EQ(target.numDefinitions, 13);
  g_fail_countdown = 3;
  const CLineTypeDefList copy(target);
  g_fail_countdown = -1;
  EXPECT_EQ(copy.numDefinitions, 0);
  EXPECT_EQ(copy.nextIndex, 0u);
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
