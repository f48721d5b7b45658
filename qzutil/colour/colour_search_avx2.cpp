// The colour searches with AVX2, sixteen entries a block, in integers.
// Compiled with AVX2 code generation; nothing here runs unless the
// processor was found to support it.
//
// The arithmetic is the AVX-512 form's: components packed to 16 bits with
// signed saturation, a vacant (negative) red capped at 32767, the colour
// subtracted with signed saturation, and word pairs squared and summed by
// multiply-adds into unsigned 32-bit distances, exact below the bound of a
// Vectorisable query and never below it otherwise (see
// colour_search_avx512.cpp). Only the regrouping differs: each 128-bit lane
// takes eight whole entries (24 components, three half-registers), and a
// word blend and a byte shuffle within the lane gather each register of
// pairs.
#include "qzutil/colour/colour_search.h"

#if defined(__AVX2__)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "qzutil/colour/colour_search_blocks.h"

namespace {

static_assert(sizeof(ColorRGB) == 12, "entries are three packed 32-bit components");

// Each lane's 24 components come as six runs of four (c = 4k to 4k + 3);
// register r holds runs kRuns[2r] (words 0-3) and kRuns[2r + 1] (words
// 4-7). The entries are taken in two groups of four, and each group's
// (red, blue) and (green, 0) pairs need no word position from two
// registers: a word blend merges those two and one byte shuffle gathers the
// words. No other choice of runs, groups and pairing does this (the others
// need a byte shuffle of each register and their union somewhere).
constexpr int kRuns[6] = {0, 3, 1, 4, 2, 5};
constexpr int kGroups[2][4] = {{0, 1, 4, 5}, {2, 3, 6, 7}};

constexpr int RegisterOf(int c) {
  int slot = 0;
  while (kRuns[slot] != c / 4)
    ++slot;
  return slot / 2;
}

constexpr int WordOf(int c) {
  int slot = 0;
  while (kRuns[slot] != c / 4)
    ++slot;
  return 4 * (slot % 2) + c % 4;
}

// Component of output word w: (red, blue) pairs, or (green, none = -1).
constexpr int Component(int group, bool green, int w) {
  const int entry = kGroups[group][w / 2];
  if (green) return w % 2 == 0 ? 3 * entry + 1 : -1;
  return 3 * entry + 2 * (w % 2);
}

// How one register of pairs is gathered: a blend of registers `first` and
// `second` (equal when one holds them all), taking word positions `blend`
// from `second`.
struct Plan {
  int first = 3;
  int second = 0;
  int blend = 0;
  bool clash = false;  // some position is needed from both
};

constexpr Plan PlanFor(int group, bool green) {
  Plan plan;
  for (int w = 0; w < 8; ++w) {
    const int c = Component(group, green, w);
    if (c < 0) continue;
    if (RegisterOf(c) < plan.first) plan.first = RegisterOf(c);
    if (RegisterOf(c) > plan.second) plan.second = RegisterOf(c);
  }
  int from_first = 0;
  for (int w = 0; w < 8; ++w) {
    const int c = Component(group, green, w);
    if (c < 0) continue;
    (RegisterOf(c) == plan.first ? from_first : plan.blend) |= 1 << WordOf(c);
  }
  plan.clash = (from_first & plan.blend) != 0 || plan.second - plan.first > 1;
  return plan;
}

static_assert(!PlanFor(0, false).clash && !PlanFor(0, true).clash && !PlanFor(1, false).clash &&
                  !PlanFor(1, true).clash,
              "every register of pairs comes from one blend");

struct ByteIndex {
  std::int8_t byte[32];
};

// Byte shuffle gathering the output words from the blend, the same in both
// 128-bit lanes; a negative index gives a zero byte.
constexpr ByteIndex Gather(int group, bool green) {
  ByteIndex s{};
  for (int lane = 0; lane < 2; ++lane) {
    for (int w = 0; w < 8; ++w) {
      const int c = Component(group, green, w);
      const int at = c >= 0 ? 2 * WordOf(c) : -128;
      s.byte[16 * lane + 2 * w] = static_cast<std::int8_t>(at);
      s.byte[16 * lane + 2 * w + 1] = static_cast<std::int8_t>(c >= 0 ? at + 1 : at);
    }
  }
  return s;
}

// Register of pairs k: group k / 2, green when k is odd.
constexpr ByteIndex kShuffles[4] = {Gather(0, false), Gather(0, true), Gather(1, false),
                                    Gather(1, true)};

struct Avx2 {
  static constexpr std::int32_t kWidth = 16;
  // Distance register `low` holds the first group of each lane, `high`
  // the second; lane 1 holds entries 8 to 15.
  static constexpr std::int32_t kOffsets[kWidth] = {
      kGroups[0][0],     kGroups[0][1],     kGroups[0][2],     kGroups[0][3],
      kGroups[0][0] + 8, kGroups[0][1] + 8, kGroups[0][2] + 8, kGroups[0][3] + 8,
      kGroups[1][0],     kGroups[1][1],     kGroups[1][2],     kGroups[1][3],
      kGroups[1][0] + 8, kGroups[1][1] + 8, kGroups[1][2] + 8, kGroups[1][3] + 8};
  using Scalar = std::uint32_t;
  struct D {
    __m256i low, high;
  };
  using M = D;

  struct Query {
    __m256i red_blue, green;  // the colour as (red, blue) and (green, 0) words
    __m256i shuffle[4];       // one for each register of pairs
  };

  static __m256i Words(std::int32_t low, std::int32_t high) {
    const auto l = static_cast<std::uint32_t>(low) & 0xFFFFu;
    const auto h = static_cast<std::uint32_t>(high) << 16;
    return _mm256_set1_epi32(static_cast<std::int32_t>(l | h));
  }

  static Query Prepare(const qz::detail::col::SearchQuery& q) {
    Query query{Words(q.red, q.blue), Words(q.green, 0), {}};
    for (std::size_t k = 0; k < 4; ++k)
      query.shuffle[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kShuffles[k].byte));
    return query;
  }

  // Four components of lane 0 (entries 0-7) and the same four of lane 1
  // (entries 8-15), from component `c` on.
  static __m256i Halves(const std::int32_t* p, std::int32_t c) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + c));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 24 + c));
    return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
  }

  // The immediate as a template argument: unoptimised builds need it
  // spelled as a constant.
  template <int kMask>
  static __m256i Blend(const __m256i& a, const __m256i& b) {
    return _mm256_blend_epi16(a, b, kMask);
  }

  // Register of pairs `k` (see kShuffles) from the three registers of words.
  template <int kK>
  static __m256i Gathered(const __m256i (&w)[3], const Query& q) {
    constexpr Plan kPlan = PlanFor(kK / 2, kK % 2 != 0);
    const __m256i& at = q.shuffle[static_cast<std::size_t>(kK)];
    if constexpr (kPlan.first == kPlan.second) return _mm256_shuffle_epi8(w[kPlan.first], at);
    return _mm256_shuffle_epi8(Blend<kPlan.blend>(w[kPlan.first], w[kPlan.second]), at);
  }

  static __m256i Sum(__m256i rb, __m256i g, const Query& q) {
    // A vacant red, negative, is above 32767 as an unsigned word: capping it
    // there puts it at least 16383 from the colour's red.
    const __m256i capped =
        _mm256_min_epu16(rb, _mm256_set1_epi32(static_cast<std::int32_t>(0xFFFF7FFFu)));
    const __m256i drb = _mm256_subs_epi16(capped, q.red_blue);
    const __m256i dg = _mm256_subs_epi16(g, q.green);
    return _mm256_add_epi32(_mm256_madd_epi16(drb, drb), _mm256_madd_epi16(dg, dg));
  }

  static D Distances(const ColorRGB* e, const Query& q) {
    const auto* p = reinterpret_cast<const std::int32_t*>(e);
    const __m256i w[3] = {_mm256_packs_epi32(Halves(p, 4 * kRuns[0]), Halves(p, 4 * kRuns[1])),
                          _mm256_packs_epi32(Halves(p, 4 * kRuns[2]), Halves(p, 4 * kRuns[3])),
                          _mm256_packs_epi32(Halves(p, 4 * kRuns[4]), Halves(p, 4 * kRuns[5]))};
    const __m256i rb_low = Gathered<0>(w, q);
    const __m256i g_low = Gathered<1>(w, q);
    const __m256i rb_high = Gathered<2>(w, q);
    const __m256i g_high = Gathered<3>(w, q);
    return {Sum(rb_low, g_low, q), Sum(rb_high, g_high, q)};
  }

  static D Set(Scalar v) {
    const __m256i s = _mm256_set1_epi32(static_cast<std::int32_t>(v));
    return {s, s};
  }
  static D Min(D d, D v) {
    return {_mm256_min_epu32(d.low, v.low), _mm256_min_epu32(d.high, v.high)};
  }
  static M Equal(D a, D b) {
    return {_mm256_cmpeq_epi32(a.low, b.low), _mm256_cmpeq_epi32(a.high, b.high)};
  }
  static bool Any(M m) {
    return _mm256_testz_si256(m.low, m.low) == 0 || _mm256_testz_si256(m.high, m.high) == 0;
  }
  // All bits set: the largest distance.
  static D PassOver(M m, D d) {
    return {_mm256_or_si256(d.low, m.low), _mm256_or_si256(d.high, m.high)};
  }
  static Scalar LowestLane(D v) {
    const __m256i w = _mm256_min_epu32(v.low, v.high);
    __m128i h = _mm_min_epu32(_mm256_castsi256_si128(w), _mm256_extracti128_si256(w, 1));
    h = _mm_min_epu32(h, _mm_shuffle_epi32(h, _MM_SHUFFLE(1, 0, 3, 2)));
    h = _mm_min_epu32(h, _mm_shuffle_epi32(h, _MM_SHUFFLE(2, 3, 0, 1)));
    return static_cast<Scalar>(_mm_cvtsi128_si32(h));
  }
  static unsigned EqualBits(D v, D w) {
    const M m = Equal(v, w);
    const auto low = static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(m.low)));
    const auto high = static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(m.high)));
    return low | (high << 8);
  }
  static D Load(const Scalar* p) {
    const auto* v = reinterpret_cast<const __m256i*>(p);
    return {_mm256_loadu_si256(v), _mm256_loadu_si256(v + 1)};
  }
  static void Store(Scalar* out, D v) {
    auto* o = reinterpret_cast<__m256i*>(out);
    _mm256_storeu_si256(o, v.low);
    _mm256_storeu_si256(o + 1, v.high);
  }
};

}  // namespace

namespace qz::detail::col::avx2 {

BlockResult Blocks(const SearchQuery& q) {
  return ScanBlocks<Avx2>(q);
}

}  // namespace qz::detail::col::avx2

#endif  // __AVX2__
