// Internal: the block loop of the vectorised colour searches, written once
// over a register type and included by each instruction set's translation
// unit. Everything here has internal linkage, so the copies compiled with
// different code generation never meet at link time. Not installed.
//
// A block is kWidth consecutive entries, which the set turns into kWidth
// distances (one register, or two for AVX2), lane j holding entry
// kOffsets[j] of the block. Entries are
// taken a chunk (up to 256 entries) at a time: the loop keeps only the
// running minimum per lane and writes every block's distances to a buffer;
// when the chunk's minimum improves on the best so far, a second pass over
// the buffer, stopping there, finds the first block holding it, and then
// the lowest entry of that block.
// Strict improvement between chunks and the first occurrence within one
// give the lowest index among equal distances.
//
// A set's distances are exact below the bound of a Vectorisable query (at
// most 2^24) and never below it for entries further away, vacant ones
// (negative red) included; each set says how. In kSimilar mode a distance
// of 0 is replaced by one that is never below anything (PassOver). In
// kClosest mode a chunk stops at the first fourth block after which some
// lane holds 0.
#ifndef QZUTIL_COLOUR_COLOUR_SEARCH_BLOCKS_H
#define QZUTIL_COLOUR_COLOUR_SEARCH_BLOCKS_H

#include <cstdint>

#include "qzutil/colour/colour_search.h"

namespace {  // NOLINT(google-build-namespaces): see the header comment

constexpr std::int32_t kChunk = 256;  // entries a chunk

// Index of the lowest set bit of a nonzero value.
inline std::int32_t LowestBit(std::uint64_t v) {
#if defined(__GNUC__) || defined(__clang__)
  return __builtin_ctzll(v);
#else
  std::int32_t n = 0;
  for (; (v & 1u) == 0; v >>= 1)
    ++n;
  return n;
#endif
}

// V provides: kWidth and kOffsets[kWidth]; types Scalar (a distance), D
// (kWidth distances), M (lane mask) and Query (the colour prepared);
// Prepare (the Query of a SearchQuery), Distances (of the block at an
// entry), Set, Min, Equal, Any, PassOver (the distance with the masked
// lanes never below anything: NaN or the largest value),
// LowestLane, EqualBits (bit j set when lane j equals the value), Load and
// Store (kWidth distances in memory). Min(d, v) keeps v where d is NaN.
template <class V, qz::detail::col::SearchMode kMode>
qz::detail::col::BlockResult ScanBlocks(const qz::detail::col::SearchQuery& q) {
  using qz::detail::col::SearchMode;
  using Scalar = typename V::Scalar;
  using D = typename V::D;
  constexpr std::int32_t kWidth = V::kWidth;

  const auto bound = static_cast<Scalar>(q.bound);  // exact: at most 2^24
  const typename V::Query query = V::Prepare(q);
  const D zero = V::Set(Scalar{0});
  Scalar distances[kChunk];
  Scalar best = bound;
  qz::detail::col::BlockResult result{0, q.bound, q.begin, false};

  // Fewer entries than a block: all are left to the caller.
  if (q.end - q.begin < kWidth) return result;
  std::int32_t i = q.begin;
  bool exact = false;
  while (!exact && i < q.end) {
    // The chunk's blocks start at `first`, one after another; when fewer
    // than a block's worth of entries would be left after them, the last
    // block ends at the last entry instead, going back over entries already
    // seen: their distances repeat, later, so they change nothing.
    const std::int32_t first = i;
    const std::int32_t left = q.end - first;
    const std::int32_t blocks = left >= kChunk ? kChunk / kWidth : (left + kWidth - 1) / kWidth;
    const std::int32_t last = first + (blocks - 1) * kWidth < q.end - kWidth + 1
                                  ? first + (blocks - 1) * kWidth
                                  : q.end - kWidth;
    D lowest = V::Set(bound);
    std::int32_t done = 0;
    bool stopped = false;
    // One block at `at`; true when the chunk should stop there.
    const auto step = [&](std::int32_t at) {
      D d = V::Distances(q.entries + at, query);
      if (kMode == SearchMode::kSimilar) d = V::PassOver(V::Equal(d, zero), d);
      lowest = V::Min(d, lowest);
      V::Store(distances + done * kWidth, d);
      ++done;
      // A chunk holding an exact match settles the answer: every earlier
      // chunk had none. Tested every fourth block.
      return kMode == SearchMode::kClosest && (done & 3) == 0 && V::Any(V::Equal(lowest, zero));
    };
    for (std::int32_t at = first; done + 1 < blocks && !stopped; at += kWidth)
      stopped = step(at);
    if (!stopped) step(last);
    i = done < blocks ? first + done * kWidth : last + kWidth;

    const Scalar m = V::LowestLane(lowest);
    if (kMode == SearchMode::kClosest && m == Scalar{0}) exact = true;
    if (!(m < best)) continue;
    best = m;
    // The first block holding m (it is there), then its lowest entry.
    const D wanted = V::Set(m);
    std::int32_t k = 0;
    std::uint32_t bits = 0;
    while ((bits = V::EqualBits(V::Load(distances + k * kWidth), wanted)) == 0)
      ++k;
    std::int32_t lane_at = kWidth;
    for (; bits != 0; bits &= bits - 1) {
      const std::int32_t offset = V::kOffsets[LowestBit(bits)];
      if (offset < lane_at) lane_at = offset;
    }
    result.found = (k + 1 < blocks ? first + k * kWidth : last) + lane_at;
    result.have = true;
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
