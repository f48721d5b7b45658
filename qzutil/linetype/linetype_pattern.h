// CLineTypeDefPattern: the dash pattern of a line type.
//
// A pattern is a short list of fragment lengths, at most 20, in drawing
// units. Fragments alternate: positions 0, 2, 4, ... are drawn pieces and
// positions 1, 3, 5, ... are the spaces between them. A space of exactly
// zero length is refused (it would join two pieces into one); a drawn piece
// of zero length (a dot) and negative lengths of either kind are accepted.
//
// The fields are public so that a caller can read a pattern in place; a
// caller that writes them directly is trusted to keep 0 <= numFragments <= 20
// and 0 <= cursor <= numFragments. The members never read or write outside
// the 20 slots even when those bounds are broken.
#ifndef QZUTIL_LINETYPE_LINETYPE_PATTERN_H
#define QZUTIL_LINETYPE_LINETYPE_PATTERN_H

#include <cstdint>

#include "qzutil/export.h"

class QZ_API CLineTypeDefPattern {
 public:
  enum { kMaxFragments = 20 };

  std::int32_t numFragments;  // fragments held, 0 to 20
  std::int32_t cursor;        // position GetNextFragment returns next
  // Running sum of every fragment added since the pattern was last emptied,
  // accumulated in the order the fragments were added.
  double fragmentSum;
  // Slots at and beyond numFragments are 0 after construction or
  // RemoveAllFragments.
  double fragments[kMaxFragments];

  CLineTypeDefPattern();  // every field 0
  // Copies every field, the cursor and all 20 slots included.
  CLineTypeDefPattern(const CLineTypeDefPattern& other);
  // Nothing to release; defined in the library so that it is exported with
  // the other members.
  ~CLineTypeDefPattern();
  CLineTypeDefPattern& operator=(const CLineTypeDefPattern& other);

  // True when both hold the same number of fragments and the fragments are
  // equal one by one (exact comparison, so 0.0 equals -0.0 and a NaN fragment
  // never matches). fragmentSum and cursor take no part.
  bool operator==(const CLineTypeDefPattern& other) const;

  // Appends a fragment. False, with nothing changed, when the pattern is full
  // or when the new fragment would be a space (odd position) of exactly 0.0.
  bool AddFragment(double length);
  // Sets every field to 0: count, cursor, sum and all 20 slots.
  void RemoveAllFragments();

  // Rewinds the cursor to the first fragment, then acts as GetNextFragment.
  double GetFirstFragment();
  // The fragment at the cursor, advancing the cursor; -1.0 at the end, with
  // the cursor left where it is. A pattern holding a fragment of -1.0 cannot
  // be told from its end this way: walk `fragments` directly for such data.
  double GetNextFragment();

  double GetFragmentSum() const;
  std::int32_t GetNumFragments();
};

static_assert(sizeof(CLineTypeDefPattern) == 176,
              "two 32-bit words, the sum and 20 fragment slots, without padding");

#endif  // QZUTIL_LINETYPE_LINETYPE_PATTERN_H
