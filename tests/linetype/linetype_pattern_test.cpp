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

  p.RemoveAllFragments();
  EXPECT_TRUE(p.AddFragment(5.0));
  for (int i = 1; i < 20; ++i)
    EXPECT_TRUE(p.AddFragment(0.1 * i)) << i;
  const CLineTypeDefPattern full = p;
  EXPECT_FALSE(p.AddFragment(7.0));  // the 21st
  EXPECT_EQ(p.GetNumFragments(), 20);
  EXPECT_EQ(p.GetFragmentSum(), full.fragmentSum);
  EXPECT_EQ(0, std::memcmp(&p, &full, sizeof p));

  p.GetFirstFragment();
  p.RemoveAllFragments();
  CLineTypeDefPattern zero;
  std::memset(static_cast<void*>(&zero), 0, sizeof zero);
  EXPECT_EQ(0, std::memcmp(&p, &zero, sizeof p));
}

TEST(LineTypePattern, EqualityIgnoresSumAndCursorCopiesKeepThem) {
  CLineTypeDefPattern p, q, copy, nan;
  for (double f : {3.0, 1.0, -1.5})
    p.AddFragment(f);
  p.cursor = 1;
  copy = CLineTypeDefPattern(p);
  copy = copy;
  EXPECT_EQ(0, std::memcmp(&p, &copy, sizeof p));
  q.fragments[0] = 3.0, q.fragments[1] = 1.0, q.fragments[2] = -1.5, q.numFragments = 3;
  EXPECT_TRUE(p == q && q == p);  // sums 2.5 and 0, cursors 1 and 0
  q.fragments[1] = std::nextafter(1.0, 2.0);
  EXPECT_FALSE(p == q);
  q.fragments[1] = 1.0, q.numFragments = 2;
  EXPECT_FALSE(p == q);
  nan.AddFragment(std::numeric_limits<double>::quiet_NaN());
  EXPECT_FALSE(nan == nan);
}

TEST(LineTypeDefinition, EqualityIgnoresIndexSetPatternReappliesRules) {
  CLineTypeDefinition a, b;
  EXPECT_EQ(a.GetIndex(), 0u);
  EXPECT_EQ(a.GetPatternLength(), 0.0);
  a.SetIndex(4), b.SetIndex(9), a.SetPatternLength(7.5), b.SetPatternLength(7.5);
  for (double f : {80.0, 30.0})
    EXPECT_TRUE(a.AddFragment(f) && b.AddFragment(f));
  EXPECT_TRUE(a == b);
  b.SetPatternLength(7.0);
  EXPECT_FALSE(a == b);

  // Slots written directly pass AddFragment again: the zero space drops out.
  CLineTypeDefPattern raw;
  raw.fragments[0] = 5.0, raw.fragments[2] = 3.0, raw.fragments[3] = 2.0, raw.numFragments = 4;
  a.SetPattern(raw);
  a.SetPattern(a.GetPattern());
  EXPECT_EQ(Walk(a.GetPattern()), (std::vector<double>{5.0, 3.0, 2.0}));
  EXPECT_EQ(a.pattern.fragmentSum, 10.0);
  b = a;
  CLineTypeDefinition c(a);
  a.RemoveAllFragments();
  for (CLineTypeDefinition* d : {&a, &b, &c}) {
    EXPECT_EQ(d->GetIndex(), 4u);
    EXPECT_EQ(d->GetPatternLength(), 7.5);
  }
  EXPECT_EQ(a.pattern.numFragments, 0);
  EXPECT_EQ(0, std::memcmp(&b.pattern, &c.pattern, sizeof b.pattern));
}

}  // namespace
