// Internal: the loops behind ColorMap::GetClosestColor and GetSimilarColor,
// and the choice of instruction set they run with. Not installed.
//
// A search scans entries [begin, end) of a map for the usable entry (red not
// negative) nearest to a colour by the sum of squared component
// differences, below a bound, and answers the lowest index among those at
// the smallest distance, or 0 when none is below the bound. Two modes:
//
//  - kClosest: an exact match (distance 0) counts like any other entry, and
//    the scan stops at the first block that holds one.
//  - kSimilar: entries identical to the colour are passed over.
//
// The portable loop is the general one: exact 64-bit sums for any colour,
// and in kClosest mode the best distance held as a float (see
// ColorMap::GetClosestColor). The vectorised loops give the same answers
// when the query is Vectorisable: bound at most 2^24 (scales up to 2364),
// so the float rounding of the best distance never decides anything and
// every distance that matters is below 2^24, and colour components within
// +-2^14, so an entry far outside the scale is still found far away (each
// set's file says how its distances meet this). Otherwise the portable loop
// runs.
//
// Cost: the portable loop takes a few nanoseconds an entry; the vectorised
// ones 8 (SSE2) or 16 (AVX2, AVX-512) entries a step, plus a pass over the
// distances of the chunk (256 entries) that holds a new best, up to the
// first block holding it.
#ifndef QZUTIL_COLOUR_COLOUR_SEARCH_H
#define QZUTIL_COLOUR_COLOUR_SEARCH_H

#include <cstdint>

#include "qzutil/colour/colour_rgb.h"

namespace qz::detail::col {

enum class SearchMode { kClosest, kSimilar };

struct SearchQuery {
  const ColorRGB* entries;
  std::int32_t begin;  // first entry examined (0 or 1)
  std::int32_t end;    // one past the last entry examined
  std::int32_t red, green, blue;
  std::uint32_t bound;  // distances must be strictly below this
  SearchMode mode;
};

// True when the vectorised loops give the portable loop's answer for `q`.
bool Vectorisable(const SearchQuery& q);

// What a vectorised loop leaves. It reads whole blocks from `begin` on, the
// last one ending at `end` (going back over entries already seen), and stops
// at `next`: `end`, or earlier after a block holding an exact match in
// kClosest mode. A slice shorter than a block is left whole (`next` =
// `begin`). The caller finishes from `next` entry by entry.
struct BlockResult {
  std::int32_t found;  // lowest index at the smallest distance so far
  std::uint32_t best;  // that distance, or the bound when nothing was found
  std::int32_t next;   // first entry not examined
  bool have;           // whether anything was found
};

using BlockLoop = BlockResult (*)(const SearchQuery& q);

// Each set contains the ones before it.
enum class KernelSet { kPortable, kSse2, kAvx2, kAvx512 };

// True when this build contains `set` and this processor can run it.
bool KernelSetAvailable(KernelSet set);

// Test seam: the searches run with `set`, which must be available
// (otherwise nothing changes). Not thread-safe; tests and benchmarks only.
void UseKernelSet(KernelSet set);

// Restores the automatic choice.
void UseBestKernelSet();

KernelSet ActiveKernelSet();

// Runs the active set's loop when `q` is Vectorisable, the portable one
// otherwise.
std::int32_t Search(const SearchQuery& q);

// The general loop, entry by entry.
namespace portable {
std::int32_t Search(const SearchQuery& q);
}

// The block loops of each vectorised set, each defined in its own
// translation unit compiled for that set (and only in builds that contain
// it). They require a Vectorisable query.
namespace sse2 {
BlockResult Blocks(const SearchQuery& q);
}
namespace avx2 {
BlockResult Blocks(const SearchQuery& q);
}
namespace avx512 {
BlockResult Blocks(const SearchQuery& q);
}

}  // namespace qz::detail::col

#endif  // QZUTIL_COLOUR_COLOUR_SEARCH_H
