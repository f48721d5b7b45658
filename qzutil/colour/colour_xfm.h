// ColorXfm translates the colour indices of one map into indices of another:
// for every source entry it records the closest target entry and keeps a
// histogram of how well the entries matched.
//
// The table comes from malloc (zero-filled) and is released by the
// destructor when it is not null. Assignment copies all seven fields, so the
// two transforms then share one table: destroy only one of them, or set the
// other's `table` to null first. The table the assigned-to transform held
// before is released by the assignment.
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
  // running out, leaves size 0 and a null table.
  explicit ColorXfm(std::int32_t n);
  ColorXfm(const ColorXfm&) = delete;
  ~ColorXfm();
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
