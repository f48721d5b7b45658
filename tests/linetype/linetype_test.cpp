// Line types: dash patterns and definitions (fragment rules, cursor, equality,
// copies) and the list (built-in table, recognition, fresh numbers, limits).
// Deep copies of lists are compared with a model by the line-type fuzz
// target; running out of memory is checked in the faults suite.
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "qzutil/linetype/linetype_list.h"

namespace {

std::vector<double> Walk(CLineTypeDefPattern& p) {
  std::vector<double> out;
  for (double f = p.GetFirstFragment(); f != -1.0; f = p.GetNextFragment())
    out.push_back(f);
  return out;
}

std::unique_ptr<CLineTypeDefinition> Make(std::uint32_t index, double length,
                                          const std::vector<double>& fragments) {
  auto d = std::make_unique<CLineTypeDefinition>();
  d->SetIndex(index), d->SetPatternLength(length);
  for (double f : fragments)
    d->AddFragment(f);
  return d;
}

// The result of adding `d`, then " found" and the caller's untouched index
// when it was recognised. `d` is handed over only if the list kept it.
std::string Add(CLineTypeDefList& list, std::unique_ptr<CLineTypeDefinition> d) {
  bool found = true;  // the call must reset it
  const std::int32_t r = list.AddLineTypeDefinition(d.get(), found);
  if (r >= 0 && !found) static_cast<void>(d.release());
  return std::to_string(r) + (found && d ? " found " + std::to_string(d->index) : "");
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

TEST(LineTypePattern, FragmentRulesCursorAndSum) {
  CLineTypeDefPattern p;
  EXPECT_EQ(p.GetFirstFragment(), -1.0);
  EXPECT_TRUE(p.AddFragment(0.0) && !p.AddFragment(-0.0));  // a dot; a space of no length
  EXPECT_TRUE(p.AddFragment(-2.5) && p.AddFragment(0.0));
  EXPECT_EQ(Walk(p), (std::vector<double>{0.0, -2.5, 0.0}));
  EXPECT_TRUE(p.GetNextFragment() == -1.0 && p.cursor == 3);  // stays at the end
  EXPECT_EQ(Walk(p).size(), 3u);                              // a new walk rewinds
  p.RemoveAllFragments();
  for (int i = 0; i < 20; ++i)
    EXPECT_TRUE(p.AddFragment(5.0 + i)) << i;
  const CLineTypeDefPattern full = p;
  EXPECT_FALSE(p.AddFragment(7.0));  // the 21st
  EXPECT_EQ(p.GetNumFragments() + p.GetFragmentSum(), 20 + 290.0);
  EXPECT_EQ(0, std::memcmp(&p, &full, sizeof p));
  p.GetFirstFragment(), p.RemoveAllFragments();
  static const char kZero[sizeof p] = {};
  EXPECT_EQ(0, std::memcmp(&p, kZero, sizeof p));
}

TEST(LineTypeDefinition, EqualityIgnoresIndexSumAndCursorSetPatternReappliesTheRules) {
  EXPECT_EQ(CLineTypeDefinition().index + CLineTypeDefinition().patternLength, 0.0);
  CLineTypeDefinition a = *Make(4, 7.5, {3.0, 1.0, -1.5}), b = a;
  a.pattern.cursor = 1, b.index = 9, b.pattern.fragmentSum = 0;
  EXPECT_TRUE(a == b && b == a);
  CLineTypeDefinition shorter = b, changed = b, fewer = b;
  shorter.patternLength = 7.0, changed.pattern.fragments[1] = std::nextafter(1.0, 2.0);
  fewer.pattern.numFragments = 2;
  EXPECT_FALSE(a == shorter || a == changed || a == fewer);
  CLineTypeDefPattern nan;
  EXPECT_TRUE(nan.AddFragment(std::numeric_limits<double>::quiet_NaN()) && !(nan == nan));

  // Slots written directly pass AddFragment again: the zero space drops out.
  CLineTypeDefPattern raw;
  raw.fragments[0] = 5.0, raw.fragments[2] = 3.0, raw.fragments[3] = 2.0, raw.numFragments = 4;
  a.SetPattern(raw);
  a.SetPattern(a.GetPattern());  // replaces, does not append
  EXPECT_EQ(Walk(a.GetPattern()), (std::vector<double>{5.0, 3.0, 2.0}));
  EXPECT_EQ(a.pattern.fragmentSum, 10.0);
  CLineTypeDefinition c(a);
  b = a;
  for (const CLineTypeDefinition* d : {&b, &c})  // the cursor too
    EXPECT_TRUE(d->index == 4 && d->patternLength == 7.5 &&
                std::memcmp(&d->pattern, &a.pattern, sizeof a.pattern) == 0);
  a.RemoveAllFragments();
  EXPECT_TRUE(a.GetIndex() == 4 && a.GetPatternLength() == 7.5 && a.pattern.numFragments == 0);
}

TEST(LineTypeList, SeededWithTheBuiltInTypes) {
  CLineTypeDefList list;
  EXPECT_EQ(Describe(list),
            "1/10:100 2/5:60,40 3/2.5:10,40 4/7.5:80,30,20,30 5/10:80,30,20,30,20,30 6/10:110 "
            "7/12:120 8/13:130 9/7.5:80,70 10/15:140,50,60,50 11/21.5:310,30,60,30 12/6.5:90,40 "
            "13/15.5:130,20,60,20,60,20 next 14");
  EXPECT_TRUE(list.definitions[13] == nullptr && list.GetDefinition(5) == list.definitions[4] &&
              list.GetDefinition(13) == list.definitions[12]);
  EXPECT_TRUE(list.GetDefinition(0) == nullptr && list.GetDefinition(14) == nullptr);
}

TEST(LineTypeList, RecognisesKnownPatternsAndRenumbersTakenIndices) {
  CLineTypeDefList list;
  // Like type 3; free and equal to nextIndex; taken: renumbered; above
  // nextIndex; below it: no move; taken twice more; an index that would come
  // back negative; the largest one; taken with no fresh number left; no
  // number; a null definition.
  const struct {
    std::uint32_t index;
    double length;
    std::vector<double> fragments;
  } rows[] = {{40, 2.5, {10, 40}},    {14, 1.0, {2}}, {2, 1.0, {1, 1}}, {100, 2.0, {1}},
              {50, 3.0, {1}},         {1, 4.0, {1}},  {3, 4.5, {1}},    {0x80000000u, 5.0, {1}},
              {0x7FFFFFFF, 6.0, {2}}, {5, 7.0, {3}},  {0, 9.0, {9}}};
  std::string got;
  for (const auto& r : rows)
    got += Add(list, Make(r.index, r.length, r.fragments)) + ", ";
  EXPECT_EQ(got + Add(list, nullptr),
            "3 found 40, 14, 15, 100, 50, 101, 102, -1, 2147483647, -1, -1, -1");
  EXPECT_EQ(Describe(list, 13),
            "14/1:2 15/1:1,1 100/2:1 50/3:1 101/4:1 102/4.5:1 2147483647/6:2 next 2147483648");
}

TEST(LineTypeList, AFullListRefusesEvenAKnownPattern) {
  CLineTypeDefList list;
  for (std::uint32_t i = 14; i <= 850; ++i)
    ASSERT_EQ(Add(list, Make(i, i, {1})), std::to_string(i));
  EXPECT_EQ(Add(list, Make(7, 12.0, {120})), "-1");  // like type 7: the count is checked first
}

}  // namespace
