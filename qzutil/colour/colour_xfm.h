// ColorXfm translates the colour indices of one map into indices of another:
// for every source entry it records the closest target entry and keeps a
// histogram of how well the entries matched.
//
// The table comes from malloc (zero-filled). Copying and assignment copy all
// seven fields, so the transforms then share one table rather than duplicate
// it; a hidden count of its holders, kept in front of the first index, lets
// every holder be destroyed or assigned again in any order, and the table is
// released with the last one. `table` therefore belongs to the library: a
// caller may read and write its entries but must not free it, replace it or
// set it to null.
//
// MapColors goes through the process-wide closest-colour memo (see
// colour_map.h) and must not run on two threads at once.
#ifndef QZUTIL_COLOUR_COLOUR_XFM_H
#define QZUTIL_COLOUR_COLOUR_XFM_H

#include <cstdint>

#include "qzutil/colour/colour_map.h"
#include "qzutil/export.h"

class QZ_API ColorXfm {
 public:
  std::int32_t size;         // source indices covered
  std::int32_t* table;       // size target indices, one per source index
  std::int32_t numExact;     // source entries 1.. at distance 0
  std::int32_t numWithin3;   // at distance 1..3
  std::int32_t numWithin7;   // 4..7
  std::int32_t numWithin15;  // 8..15
  std::int32_t numWithin31;  // 16..31; 32 or more is counted nowhere

  // n zeroed table entries and zeroed counters; a negative n, or memory
  // running out, leaves size 0 and a null table. Not explicit: host code
  // converts a count to a transform.
  ColorXfm(std::int32_t n);
  // Shares other's table and copies its counters.
  ColorXfm(const ColorXfm& other);
  ~ColorXfm();
  // Copies all seven fields and shares other's table; the table held before
  // is released when no other transform holds it. Self-assignment is safe.
  ColorXfm& operator=(const ColorXfm& other);

  // Clears the counters; then table[i] = target->GetClosestColor(source
  // entry i) for i = 0 .. size - 1, counting the distances of entries 1 on.
  // Source entries past source->numColors are not read (their table entries
  // keep their values); null maps only clear the counters.
  void MapColors(ColorMap* source, ColorMap* target);
  // table[index], or the last entry for an index past the end; 0 for an
  // empty transform.
  std::uint32_t DoColorXfm(std::uint32_t index) const;
};

#endif  // QZUTIL_COLOUR_COLOUR_XFM_H
