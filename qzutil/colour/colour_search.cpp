// The general colour search, the choice of instruction set for the
// vectorised ones, and the entry-by-entry finish after their blocks.
#include "qzutil/colour/colour_search.h"

#include "qzutil/frame/cpu_features.h"

// Defined by the build when the AVX2 and AVX-512 loops are compiled in.
#ifndef QZUTIL_HAVE_COL_AVX2
#define QZUTIL_HAVE_COL_AVX2 0
#endif
#ifndef QZUTIL_HAVE_COL_AVX512
#define QZUTIL_HAVE_COL_AVX512 0
#endif
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define QZUTIL_HAVE_COL_SSE2 1
#else
#define QZUTIL_HAVE_COL_SSE2 0
#endif

namespace qz::detail::col {
namespace {

// Sum of the squared component differences of `e` from (r, g, b), exact in
// 64 bits, or -1 when a difference lies outside -2^21 .. 2^21 - 1: such an
// entry is at least 2^42 away and never beats a bound (at most 2^32). The
// three offset differences are tested together (a negative one wraps to a
// huge value).
std::int64_t SquaredDistance(const ColorRGB& e, std::int32_t r, std::int32_t g, std::int32_t b) {
  constexpr std::int64_t kHalf = std::int64_t{1} << 21;
  const std::int64_t dr = std::int64_t{e.red} - r, dg = std::int64_t{e.green} - g,
                     db = std::int64_t{e.blue} - b;
  if ((static_cast<std::uint64_t>(dr + kHalf) | static_cast<std::uint64_t>(dg + kHalf) |
       static_cast<std::uint64_t>(db + kHalf)) >= static_cast<std::uint64_t>(2 * kHalf))
    return -1;
  return dr * dr + dg * dg + db * db;
}

// `d` rounded to a float and back; the distances here stay below 2^53, so
// the step through double is exact. It is not redundant: on 32-bit x86 GCC
// converts 64-bit integers with the x87 unit and, for C++, drops a direct
// int64 -> float -> int64 round trip's rounding; the SSE2 conversion from
// double cannot be dropped.
std::int64_t AsFloat(std::int64_t d) {
  return static_cast<std::int64_t>(static_cast<float>(static_cast<double>(d)));
}

// Scans entries [from, q.end) one by one, continuing from `best` and
// `found`. In kClosest mode the best distance is held as a float and the
// first exact match answers at once; for a Vectorisable query the float
// holds every distance that matters exactly.
template <SearchMode kMode>
std::int32_t FinishIn(const SearchQuery& q, std::int32_t from, std::int64_t best,
                      std::int32_t found) {
  for (std::int32_t i = from; i < q.end; ++i) {
    const ColorRGB& e = q.entries[i];
    if (e.red < 0) continue;
    const std::int64_t d = SquaredDistance(e, q.red, q.green, q.blue);
    if (d <= 0) {
      if (kMode == SearchMode::kClosest && d == 0) return i;
      continue;
    }
    if (d < best) {
      best = kMode == SearchMode::kClosest ? AsFloat(d) : d;
      found = i;
    }
  }
  return found;
}

std::int32_t Finish(const SearchQuery& q, std::int32_t from, std::int64_t best,
                    std::int32_t found) {
  return q.mode == SearchMode::kClosest ? FinishIn<SearchMode::kClosest>(q, from, best, found)
                                        : FinishIn<SearchMode::kSimilar>(q, from, best, found);
}

// This file itself is compiled without AVX2 or AVX-512.
bool Avx2Usable() {
  return QZUTIL_HAVE_COL_AVX2 != 0 && CpuSupports(CpuFeature::kAvx2);
}

bool Avx512Usable() {
  return QZUTIL_HAVE_COL_AVX512 != 0 && CpuSupports(CpuFeature::kAvx512Bw);
}

KernelSet BestKernelSet() {
  if (KernelSetAvailable(KernelSet::kAvx512)) return KernelSet::kAvx512;
  if (KernelSetAvailable(KernelSet::kAvx2)) return KernelSet::kAvx2;
  if (KernelSetAvailable(KernelSet::kSse2)) return KernelSet::kSse2;
  return KernelSet::kPortable;
}

constinit KernelChoice<KernelSet, KernelSetAvailable, BestKernelSet> g_choice;

BlockLoop BlocksOf(KernelSet set) {
  switch (set) {
    case KernelSet::kPortable:
      return nullptr;
    case KernelSet::kSse2:
#if QZUTIL_HAVE_COL_SSE2
      return sse2::Blocks;
#else
      return nullptr;
#endif
    case KernelSet::kAvx2:
#if QZUTIL_HAVE_COL_AVX2
      return avx2::Blocks;
#else
      return nullptr;
#endif
    case KernelSet::kAvx512:
#if QZUTIL_HAVE_COL_AVX512
      return avx512::Blocks;
#else
      return nullptr;
#endif
  }
  return nullptr;
}

}  // namespace

bool Vectorisable(const SearchQuery& q) {
  constexpr std::int32_t kReach = std::int32_t{1} << 14;
  const auto within = [](std::int32_t v) { return v >= -kReach && v <= kReach; };
  return q.bound <= (std::uint32_t{1} << 24) && within(q.red) && within(q.green) && within(q.blue);
}

bool KernelSetAvailable(KernelSet set) {
  switch (set) {
    case KernelSet::kPortable:
      return true;
    case KernelSet::kSse2:
      return QZUTIL_HAVE_COL_SSE2 != 0;
    case KernelSet::kAvx2: {
      static const bool usable = QZUTIL_HAVE_COL_SSE2 != 0 && Avx2Usable();
      return usable;
    }
    case KernelSet::kAvx512: {
      static const bool usable = KernelSetAvailable(KernelSet::kAvx2) && Avx512Usable();
      return usable;
    }
  }
  return false;
}

void UseKernelSet(KernelSet set) {
  g_choice.Use(set);
}

void UseBestKernelSet() {
  g_choice.UseBest();
}

KernelSet ActiveKernelSet() {
  return g_choice.Active();
}

std::int32_t portable::Search(const SearchQuery& q) {
  const std::int64_t bound = q.bound;
  return Finish(q, q.begin, q.mode == SearchMode::kClosest ? AsFloat(bound) : bound, 0);
}

std::int32_t Search(const SearchQuery& q) {
  const BlockLoop blocks = BlocksOf(ActiveKernelSet());
  if (blocks == nullptr || q.begin >= q.end || !Vectorisable(q)) return portable::Search(q);
  const BlockResult r = blocks(q);
  if ((q.mode == SearchMode::kClosest && r.have && r.best == 0) || r.next == q.end) return r.found;
  return Finish(q, r.next, r.best, r.found);
}

}  // namespace qz::detail::col
