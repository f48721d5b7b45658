// The colour searches with AVX2, sixteen entries a block, in integers.
// Compiled with AVX2 code generation; nothing here runs unless the
// processor was found to support it.
//
// The arithmetic is the AVX-512 form's: components packed to 16 bits with
// signed saturation, a vacant (negative) red capped at 32767, the colour
// subtracted with signed saturation, and (red, green) and (blue, 0) word
// pairs squared and summed by multiply-adds into unsigned 32-bit distances,
// exact below the bound of a Vectorisable query and never below it
// otherwise (see colour_search_avx512.cpp). Only the regrouping differs:
// each 128-bit lane takes eight whole entries (24 components, three
// half-registers), and byte shuffles within the lane gather the pairs.
#include "qzutil/colour/colour_search.h"

#if defined(__AVX2__)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "qzutil/colour/colour_search_blocks.h"

namespace {

static_assert(sizeof(ColorRGB) == 12, "entries are three packed 32-bit components");

// Byte shuffle selecting, within each 128-bit lane, the words that come
// from register `source` (component c of the lane's eight entries is word
// c % 8 of register c / 8) for the eight output words listed; the other
// bytes come out zero. -1 stands for a zero word.
struct ByteIndex {
  std::int8_t byte[32];
};

constexpr ByteIndex Gather(const int (&component)[8], int source) {
  ByteIndex s{};
  for (std::size_t lane = 0; lane < 2; ++lane) {
    for (std::size_t w = 0; w < 8; ++w) {
      const int c = component[w];
      const bool here = c >= 0 && c / 8 == source;
      const auto low = static_cast<std::int8_t>(here ? 2 * (c % 8) : -128);
      const auto high = static_cast<std::int8_t>(here ? 2 * (c % 8) + 1 : -128);
      s.byte[16 * lane + 2 * w] = low;
      s.byte[16 * lane + 2 * w + 1] = high;
    }
  }
  return s;
}

// Entries 0 to 3 of the lane draw on registers 0 and 1, entries 4 to 7 on
// registers 1 and 2.
constexpr int kRedGreenLow[8] = {0, 1, 3, 4, 6, 7, 9, 10};
constexpr int kRedGreenHigh[8] = {12, 13, 15, 16, 18, 19, 21, 22};
constexpr int kBlueLow[8] = {2, -1, 5, -1, 8, -1, 11, -1};
constexpr int kBlueHigh[8] = {14, -1, 17, -1, 20, -1, 23, -1};
constexpr ByteIndex kShuffles[8] = {Gather(kRedGreenLow, 0),  Gather(kRedGreenLow, 1),
                                    Gather(kRedGreenHigh, 1), Gather(kRedGreenHigh, 2),
                                    Gather(kBlueLow, 0),      Gather(kBlueLow, 1),
                                    Gather(kBlueHigh, 1),     Gather(kBlueHigh, 2)};

struct Avx2 {
  static constexpr std::int32_t kWidth = 16;
  // Distance register `low` holds entries 0-3 and 8-11, `high` 4-7 and
  // 12-15.
  static constexpr std::int32_t kOffsets[kWidth] = {0, 1, 2, 3, 8,  9,  10, 11,
                                                    4, 5, 6, 7, 12, 13, 14, 15};
  using Scalar = std::uint32_t;
  struct D {
    __m256i low, high;
  };
  using M = D;

  struct Query {
    __m256i red_green, blue;  // the colour as (red, green) and (blue, 0) words
    __m256i shuffle[8];
  };

  static __m256i Words(std::int32_t low, std::int32_t high) {
    const auto l = static_cast<std::uint32_t>(low) & 0xFFFFu;
    const auto h = static_cast<std::uint32_t>(high) << 16;
    return _mm256_set1_epi32(static_cast<std::int32_t>(l | h));
  }

  static Query Prepare(const qz::detail::col::SearchQuery& q) {
    Query query{Words(q.red, q.green), Words(q.blue, 0), {}};
    for (std::size_t k = 0; k < 8; ++k)
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

  static __m256i Pair(const __m256i& a, const __m256i& b, const __m256i& at_a,
                      const __m256i& at_b) {
    return _mm256_or_si256(_mm256_shuffle_epi8(a, at_a), _mm256_shuffle_epi8(b, at_b));
  }

  static __m256i Sum(__m256i rg, __m256i b, const Query& q) {
    // A vacant red, negative, is above 32767 as an unsigned word: capping it
    // there puts it at least 16383 from the colour's red.
    const __m256i capped =
        _mm256_min_epu16(rg, _mm256_set1_epi32(static_cast<std::int32_t>(0xFFFF7FFFu)));
    const __m256i drg = _mm256_subs_epi16(capped, q.red_green);
    const __m256i db = _mm256_subs_epi16(b, q.blue);
    return _mm256_add_epi32(_mm256_madd_epi16(drg, drg), _mm256_madd_epi16(db, db));
  }

  static D Distances(const ColorRGB* e, const Query& q) {
    const auto* p = reinterpret_cast<const std::int32_t*>(e);
    const __m256i w0 = _mm256_packs_epi32(Halves(p, 0), Halves(p, 4));
    const __m256i w1 = _mm256_packs_epi32(Halves(p, 8), Halves(p, 12));
    const __m256i w2 = _mm256_packs_epi32(Halves(p, 16), Halves(p, 20));
    const __m256i rg_low = Pair(w0, w1, q.shuffle[0], q.shuffle[1]);
    const __m256i rg_high = Pair(w1, w2, q.shuffle[2], q.shuffle[3]);
    const __m256i b_low = Pair(w0, w1, q.shuffle[4], q.shuffle[5]);
    const __m256i b_high = Pair(w1, w2, q.shuffle[6], q.shuffle[7]);
    return {Sum(rg_low, b_low, q), Sum(rg_high, b_high, q)};
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
