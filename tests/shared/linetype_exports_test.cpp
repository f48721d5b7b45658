// Calls every line-type member through the shared object: this program only
// links if each of them, the destructors included, is exported.
#include <gtest/gtest.h>

#include "qzutil/qzutil.h"

TEST(SharedLibrary, LineTypeMembersAreExported) {
  CLineTypeDefPattern p;
  p.AddFragment(60.0), p.AddFragment(40.0);
  CLineTypeDefPattern q(p);
  q = p;
  EXPECT_EQ(q.GetFirstFragment() + q.GetNextFragment(),
            q.GetFragmentSum() + q.GetNumFragments() - 2);
  q.RemoveAllFragments();
  CLineTypeDefinition d, e(d);
  e = d;
  d.SetIndex(e.GetIndex() + 9), d.SetPatternLength(5.0 + e.GetPatternLength()), d.SetPattern(q);
  d.AddFragment(1.0), d.RemoveAllFragments(), d.GetPattern() = p;
  CLineTypeDefList list, copy(list);
  copy = list;
  bool found = false;
  EXPECT_EQ(list.AddLineTypeDefinition(&d, found), 2);  // recognised as type 2, so not kept
  EXPECT_TRUE(found && *list.GetDefinition(2) == d && p == d.pattern);
}
