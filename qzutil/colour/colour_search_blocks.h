// Internal: the block loop of the vectorised colour searches, written once
// over a register type and included by each instruction set's translation
// unit. Everything here has internal linkage, so the copies compiled with
// different code generation never meet at link time. Not installed.
//
// A block is kWidth entries, read as three registers of 32-bit components
// (red, green, blue interleaved). The registers are split into one register
// per component with constant blends and lane rotations; the lanes then hold
// the block's entries in a fixed order (Lanes::Offsets), the same for the
// three components. Each lane keeps the smallest distance it has seen and
// where (strictly smaller distances only, so the lowest index among equal
// ones); the lanes are merged at the end, again preferring the lower index.
//
// Distances are single-precision sums of squares: every difference, square
// and partial sum below 2^24 is exact, and a sum whose exact value is at
// least 2^24 rounds to at least 2^24, which is never below the bound of a
// Vectorisable query. Vacant entries (negative red) are masked out.
#ifndef QZUTIL_COLOUR_COLOUR_SEARCH_BLOCKS_H
#define QZUTIL_COLOUR_COLOUR_SEARCH_BLOCKS_H

#include <cstdint>

#include "qzutil/colour/colour_search.h"

namespace {  // NOLINT(google-build-namespaces): see the header comment

// V provides: kWidth; types F (float lanes), I (int lanes), M (lane mask);
// Load (one block into red, green, blue in lane order), Offsets (entry of
// each lane within the block), SetF, SetI, ToFloat, Sub, Mul, Add, AddI,
// Less, Equal, Or, AndNot (first operand negated), Select, SelectI (mask
// set: first value), Any, StoreF, StoreI.
template <class V, qz::detail::col::SearchMode kMode>
qz::detail::col::BlockResult ScanBlocks(const qz::detail::col::SearchQuery& q) {
  using qz::detail::col::SearchMode;
  using F = typename V::F;
  using I = typename V::I;
  using M = typename V::M;
  constexpr std::int32_t kWidth = V::kWidth;

  const auto bound = static_cast<float>(q.bound);  // exact: at most 2^24
  const F red = V::SetF(static_cast<float>(q.red));
  const F green = V::SetF(static_cast<float>(q.green));
  const F blue = V::SetF(static_cast<float>(q.blue));
  const F zero = V::SetF(0.0f);
  const I step = V::SetI(kWidth);
  F best = V::SetF(bound);
  I best_at = V::SetI(0);
  I at = V::AddI(V::Offsets(), V::SetI(q.begin));

  std::int32_t i = q.begin;
  while (q.end - i >= kWidth) {
    I r;
    I g;
    I b;
    V::Load(q.entries + i, r, g, b);
    i += kWidth;
    const F rf = V::ToFloat(r);
    const F dr = V::Sub(rf, red);
    const F dg = V::Sub(V::ToFloat(g), green);
    const F db = V::Sub(V::ToFloat(b), blue);
    const F d = V::Add(V::Add(V::Mul(dr, dr), V::Mul(dg, dg)), V::Mul(db, db));
    const M vacant = V::Less(rf, zero);
    const M exact = V::Equal(d, zero);
    const M skip = kMode == SearchMode::kSimilar ? V::Or(vacant, exact) : vacant;
    const M take = V::AndNot(skip, V::Less(d, best));
    best = V::Select(take, d, best);
    best_at = V::SelectI(take, at, best_at);
    at = V::AddI(at, step);
    // The first block holding an exact match settles the answer: every
    // earlier block had none, and the merge below takes the lowest index
    // among the lanes at distance 0.
    if (kMode == SearchMode::kClosest && V::Any(V::AndNot(vacant, exact))) break;
  }

  float lane_best[kWidth];
  std::int32_t lane_at[kWidth];
  V::StoreF(lane_best, best);
  V::StoreI(lane_at, best_at);
  qz::detail::col::BlockResult result{0, q.bound, i, false};
  float merged = bound;
  for (std::int32_t k = 0; k < kWidth; ++k) {
    if (lane_best[k] < merged ||
        (result.have && lane_best[k] == merged && lane_at[k] < result.found)) {
      merged = lane_best[k];
      result.found = lane_at[k];
      result.have = true;
    }
  }
  result.best = static_cast<std::uint32_t>(merged);
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
