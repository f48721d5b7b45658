// Dash patterns and definitions: fragment rules, cursor, equality, copies.
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "qzutil/linetype/linetype_definition.h"

namespace {

std::vector<double> Walk(CLineTypeDefPattern& p) {
  std::vector<double> out;
  for (double f = p.GetFirstFragment(); f != -1.0; f = p.GetNextFragment())
    out.push_back(f);
  return out;
}

TEST(LineTypePattern, FragmentRulesCursorAndSum) {
  CLineTypeDefPattern p;
  EXPECT_EQ(p.GetFirstFragment(), -1.0);
  EXPECT_TRUE(p.AddFragment(0.0));    // a dot: drawn piece of no length
  EXPECT_FALSE(p.AddFragment(-0.0));  // a space of no length
  EXPECT_TRUE(p.AddFragment(-2.5) && p.AddFragment(0.0));
  EXPECT_EQ(Walk(p), (std::vector<double>{0.0, -2.5, 0.0}));
  EXPECT_EQ(p.GetNextFragment(), -1.0);  // stays at the end
  EXPECT_EQ(p.cursor, 3);
  EXPECT_EQ(Walk(p).size(), 3u);  // a new walk rewinds

  p.RemoveAllFragments();
  for (int i = 0; i < 20; ++i)
    EXPECT_TRUE(p.AddFragment(5.0 + i)) << i;
  const CLineTypeDefPattern full = p;
  EXPECT_FALSE(p.AddFragment(7.0));  // the 21st
  EXPECT_EQ(p.GetNumFragments() + p.GetFragmentSum(), 20 + 290.0);
  EXPECT_EQ(0, std::memcmp(&p, &full, sizeof p));

  p.GetFirstFragment();
  p.RemoveAllFragments();
  static const char kZero[sizeof p] = {};
  EXPECT_EQ(0, std::memcmp(&p, kZero, sizeof p));
}

TEST(LineTypeDefinition, EqualityIgnoresIndexSumAndCursor) {
  CLineTypeDefinition a, b;
  a.SetIndex(4), b.SetIndex(9), a.SetPatternLength(7.5), b.SetPatternLength(7.5);
  for (double f : {3.0, 1.0, -1.5})
    a.AddFragment(f);
  a.pattern.cursor = 1;
  CLineTypeDefPattern& q = b.GetPattern();
  q.fragments[0] = 3.0, q.fragments[1] = 1.0, q.fragments[2] = -1.5, q.numFragments = 3;
  EXPECT_TRUE(a == b && b == a);  // sums 2.5 and 0, cursors 1 and 0
  b.SetPatternLength(7.0);
  EXPECT_FALSE(a == b);
  b.SetPatternLength(7.5), q.fragments[1] = std::nextafter(1.0, 2.0);
  EXPECT_FALSE(a == b);
  q.fragments[1] = 1.0, q.numFragments = 2;
  EXPECT_FALSE(a == b);
  CLineTypeDefPattern nan;
  nan.AddFragment(std::numeric_limits<double>::quiet_NaN());
  EXPECT_FALSE(nan == nan);
}

TEST(LineTypeDefinition, SetPatternReappliesTheRulesCopiesTakeEverything) {
  CLineTypeDefinition a;
  EXPECT_EQ(a.GetIndex() + a.GetPatternLength(), 0.0);
  a.SetIndex(4), a.SetPatternLength(7.5);
  // Slots written directly pass AddFragment again: the zero space drops out.
  CLineTypeDefPattern raw;
  raw.fragments[0] = 5.0, raw.fragments[2] = 3.0, raw.fragments[3] = 2.0, raw.numFragments = 4;
  a.SetPattern(raw);
  a.SetPattern(a.GetPattern());  // replaces, does not append
  EXPECT_EQ(Walk(a.GetPattern()), (std::vector<double>{5.0, 3.0, 2.0}));
  EXPECT_EQ(a.pattern.fragmentSum, 10.0);
  CLineTypeDefinition b, c(a);
  b = a;
  for (const CLineTypeDefinition* d : {&b, &c}) {
    EXPECT_TRUE(d->index == 4 && d->patternLength == 7.5);
    EXPECT_EQ(0, std::memcmp(&d->pattern, &a.pattern, sizeof a.pattern));  // the cursor too
  }
  a.RemoveAllFragments();
  EXPECT_TRUE(a.GetIndex() == 4 && a.GetPatternLength() == 7.5 && a.pattern.numFragments == 0);
}

}  // namespace
