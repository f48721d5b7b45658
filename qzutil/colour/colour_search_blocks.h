// Internal: the block loop of the vectorised colour searches, written once
// over a register type and included by each instruction set's translation
// unit. Everything here has internal linkage, so the copies compiled with
// different code generation never meet at link time. Not installed.
//
// A block is kWidth entries, read as three registers of 32-bit components
// (red, green, blue interleaved) and split into one register per component;
// lane j then holds entry kOffsets[j] of the block, the same for the three
// components. Entries are taken a chunk (up to 256 entries) at a time: the
// loop keeps only the running minimum per lane and writes every block's
// distances to a buffer; when the chunk's minimum improves on the best so
// far, a second pass over the buffer finds the first block holding it and
// the lowest entry there. Strict improvement between chunks and the first
// occurrence within one give the lowest index among equal distances.
//
// Distances are single-precision sums of squares of 32-bit integer
// differences: every difference, square and partial sum below 2^24 is
// exact, and a sum whose exact value is at least 2^24 rounds to at least
// 2^24, which is never below the bound of a Vectorisable query. A
// difference that wraps (an entry near the end of the 32-bit range) is
// still at least 2^31 - 2^23 in magnitude, since the colour's components
// lie within +-2^23. A vacant entry (negative red) gets a distance that is
// never below the bound: its red difference becomes NaN, or its red is read
// as 2^31 - 1. In kSimilar mode an
// identical entry gets NaN or +infinity. Min keeps the running minimum when
// a lane is NaN, and no comparison selects NaN.
#ifndef QZUTIL_COLOUR_COLOUR_SEARCH_BLOCKS_H
#define QZUTIL_COLOUR_COLOUR_SEARCH_BLOCKS_H

#include <cstdint>

#include "qzutil/colour/colour_search.h"

namespace {  // NOLINT(google-build-namespaces): see the header comment

constexpr std::int32_t kChunk = 256;  // entries a chunk

// V provides: kWidth and kOffsets[kWidth]; types F (float lanes), I (int
// lanes), M (lane mask); Load (one block into red, green, blue), SetF, SetI,
// Difference (integer difference as floats), RedDifference (the same, see
// above for vacant entries), SumOfSquares, Equal, PassOver (the
// distance with the masked lanes never below anything), Min (NaN in the
// first operand gives the second), LowestLane (the smallest lane value), EqualBits (bit j
// set when lane j equals the value), LoadF, StoreF, Any.
template <class V, qz::detail::col::SearchMode kMode>
qz::detail::col::BlockResult ScanBlocks(const qz::detail::col::SearchQuery& q) {
  using qz::detail::col::SearchMode;
  using F = typename V::F;
  using I = typename V::I;
  constexpr std::int32_t kWidth = V::kWidth;

  const auto bound = static_cast<float>(q.bound);  // exact: at most 2^24
  const I red = V::SetI(q.red);
  const I green = V::SetI(q.green);
  const I blue = V::SetI(q.blue);
  const F zero = V::SetF(0.0f);
  float distances[kChunk];
  float best = bound;
  qz::detail::col::BlockResult result{0, q.bound, q.begin, false};

  // Fewer entries than a block: all are left to the caller.
  if (q.end - q.begin < kWidth) return result;
  std::int32_t i = q.begin;
  std::int32_t starts[kChunk / kWidth];  // first entry of each block of the chunk
  bool exact = false;
  while (!exact && i < q.end) {
    std::int32_t blocks = 0;
    F lowest = V::SetF(bound);
    do {
      // The last block ends at the last entry, going back over entries
      // already seen: their distances repeat, later, so they change nothing.
      if (q.end - i < kWidth) i = q.end - kWidth;
      starts[blocks] = i;
      I r;
      I g;
      I b;
      V::Load(q.entries + i, r, g, b);
      i += kWidth;
      F d = V::SumOfSquares(V::RedDifference(r, red), V::Difference(g, green),
                            V::Difference(b, blue));
      if (kMode == SearchMode::kSimilar) d = V::PassOver(V::Equal(d, zero), d);
      lowest = V::Min(d, lowest);
      V::StoreF(distances + blocks * kWidth, d);
      ++blocks;
      // A chunk holding an exact match settles the answer: every earlier
      // chunk had none. Tested every fourth block.
      if (kMode == SearchMode::kClosest && (blocks & 3) == 0 && V::Any(V::Equal(lowest, zero)))
        break;
    } while (blocks < kChunk / kWidth && i < q.end);

    const float m = V::LowestLane(lowest);
    if (kMode == SearchMode::kClosest && m == 0.0f) exact = true;
    if (!(m < best)) continue;
    best = m;
    const F wanted = V::SetF(m);
    for (std::int32_t k = 0; k < blocks; ++k) {
      const unsigned bits = V::EqualBits(V::LoadF(distances + k * kWidth), wanted);
      if (bits == 0) continue;
      std::int32_t at = kWidth;
      for (std::int32_t lane = 0; lane < kWidth; ++lane) {
        if ((bits >> lane & 1u) != 0 && V::kOffsets[lane] < at) at = V::kOffsets[lane];
      }
      result.found = starts[k] + at;
      result.have = true;
      break;
    }
  }
  result.best = static_cast<std::uint32_t>(best);
  result.next = i;
  return result;
}

template <class V>
qz::detail::col::BlockResult ScanBlocks(const qz::detail::col::SearchQuery& q) {
  using qz::detail::col::SearchMode;
  return q.mode == SearchMode::kSimilar ? ScanBlocks<V, SearchMode::kSimilar>(q)
                                        : ScanBlocks<V, SearchMode::kClosest>(q);
}

}  // namespace

#endif  // QZUTIL_COLOUR_COLOUR_SEARCH_BLOCKS_H
