// The colour searches with SSE2, eight entries a block. Every x86-64 build
// (and a 32-bit one for SSE2) contains this form; the rest compile it empty.
//
// Components are packed to 16 bits with signed saturation and the colour
// subtracted in wrapping 16-bit arithmetic; word pairs are squared and summed
// by multiply-adds and the two partial sums of an entry added as
// single-precision floats (SSE2 has no unsigned 32-bit minimum). The colour
// lies within +-2^14, so a difference that saturated or wrapped still has a
// magnitude of at least 16383 and its square alone reaches 2^24, which is
// never below the bound of a Vectorisable query; every smaller distance is
// exact. A difference of -32768 is raised to -32767 so that a pair sum stays
// below 2^31; a partial sum at or above 2^24 converts to at least 2^24. A
// vacant (negative) red is lifted by an unsigned saturating add of 0x8000 to
// 0xFFFF (a usable one moves by exactly 0x8000, as the colour's red does),
// which puts it at least 16383 from the colour's red.
#include "qzutil/colour/colour_search.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)

#include <emmintrin.h>

#include <cstdint>

#include "qzutil/colour/colour_search_blocks.h"

namespace {

static_assert(sizeof(ColorRGB) == 12, "entries are three packed 32-bit components");

struct Sse2 {
  static constexpr std::int32_t kWidth = 8;
  // Distance register `even` holds entries 0, 4, 2 and 6, `odd` 1, 5, 3, 7.
  static constexpr std::int32_t kOffsets[kWidth] = {0, 4, 2, 6, 1, 5, 3, 7};
  using Scalar = float;
  struct D {
    __m128 even, odd;
  };
  using M = D;

  struct Query {
    __m128i red_green;   // (red + 0x8000, green) words: entries 0, 4, 2, 6
    __m128i green_blue;  // (green, blue): entries 1, 5, 3, 7
    __m128i blue_red;    // (blue of an even entry, red + 0x8000 of an odd one)
  };

  static __m128i Words(std::int32_t low, std::int32_t high) {
    const auto l = static_cast<std::uint32_t>(low) & 0xFFFFu;
    const auto h = static_cast<std::uint32_t>(high) << 16;
    return _mm_set1_epi32(static_cast<std::int32_t>(l | h));
  }

  static Query Prepare(const qz::detail::col::SearchQuery& q) {
    return {Words(q.red + 0x8000, q.green), Words(q.green, q.blue), Words(q.blue, q.red + 0x8000)};
  }

  // Word differences from the colour, -32768 raised to -32767.
  static __m128i Differences(__m128i words, __m128i colour) {
    return _mm_max_epi16(_mm_sub_epi16(words, colour), _mm_set1_epi16(-32767));
  }
  // The squared differences of a register of word pairs, summed by pairs.
  static __m128i PairSums(__m128i words, __m128i colour) {
    const __m128i d = Differences(words, colour);
    return _mm_madd_epi16(d, d);
  }

  static D Distances(const ColorRGB* e, const Query& q) {
    const auto* p = reinterpret_cast<const __m128i*>(e);
    // x0 = r0 g0 b0 r1 r4 g4 b4 r5, x1 = g1 b1 r2 g2 g5 b5 r6 g6,
    // x2 = b2 r3 g3 b3 b6 r7 g7 b7 as words; shuffling them as pairs gives
    // (r, g) of 0 4 2 6, (g, b) of 1 5 3 7 and (b, r) of one of each.
    const __m128 x0 = _mm_castsi128_ps(_mm_packs_epi32(_mm_loadu_si128(p), _mm_loadu_si128(p + 3)));
    const __m128 x1 =
        _mm_castsi128_ps(_mm_packs_epi32(_mm_loadu_si128(p + 1), _mm_loadu_si128(p + 4)));
    const __m128 x2 =
        _mm_castsi128_ps(_mm_packs_epi32(_mm_loadu_si128(p + 2), _mm_loadu_si128(p + 5)));
    const __m128i red_green = _mm_castps_si128(_mm_shuffle_ps(x0, x1, _MM_SHUFFLE(3, 1, 2, 0)));
    const __m128i green_blue = _mm_castps_si128(_mm_shuffle_ps(x1, x2, _MM_SHUFFLE(3, 1, 2, 0)));
    const __m128i blue_red = _mm_castps_si128(_mm_shuffle_ps(x0, x2, _MM_SHUFFLE(2, 0, 3, 1)));

    const __m128i lift_low = _mm_set1_epi32(0x8000);
    const __m128i lift_high = _mm_set1_epi32(static_cast<std::int32_t>(0x80000000u));
    const __m128i rg = PairSums(_mm_adds_epu16(red_green, lift_low), q.red_green);
    const __m128i gb = PairSums(green_blue, q.green_blue);
    const __m128i d = Differences(_mm_adds_epu16(blue_red, lift_high), q.blue_red);
    const __m128i b_even = _mm_slli_epi32(d, 16);  // the blue alone, in the high word
    const __m128i r_odd = _mm_srli_epi32(d, 16);   // the red alone, in the low word
    return {_mm_add_ps(_mm_cvtepi32_ps(rg), _mm_cvtepi32_ps(_mm_madd_epi16(b_even, b_even))),
            _mm_add_ps(_mm_cvtepi32_ps(gb), _mm_cvtepi32_ps(_mm_madd_epi16(r_odd, r_odd)))};
  }

  static D Set(float v) {
    const __m128 s = _mm_set1_ps(v);
    return {s, s};
  }
  static M Equal(D a, D b) { return {_mm_cmpeq_ps(a.even, b.even), _mm_cmpeq_ps(a.odd, b.odd)}; }
  // All bits set: a NaN, which no comparison selects.
  static D PassOver(M m, D d) { return {_mm_or_ps(d.even, m.even), _mm_or_ps(d.odd, m.odd)}; }
  static D Min(D d, D v) { return {_mm_min_ps(d.even, v.even), _mm_min_ps(d.odd, v.odd)}; }
  static float LowestLane(D d) {
    __m128 v = _mm_min_ps(d.even, d.odd);
    v = _mm_min_ps(v, _mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 0, 3, 2)));
    v = _mm_min_ps(v, _mm_shuffle_ps(v, v, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtss_f32(v);
  }
  static unsigned EqualBits(D v, D w) {
    const M m = Equal(v, w);
    return static_cast<unsigned>(_mm_movemask_ps(m.even)) |
           (static_cast<unsigned>(_mm_movemask_ps(m.odd)) << 4);
  }
  static bool Any(M m) { return _mm_movemask_ps(_mm_or_ps(m.even, m.odd)) != 0; }
  static D Load(const float* p) { return {_mm_loadu_ps(p), _mm_loadu_ps(p + 4)}; }
  static void Store(float* out, D v) {
    _mm_storeu_ps(out, v.even);
    _mm_storeu_ps(out + 4, v.odd);
  }
};

}  // namespace

namespace qz::detail::col::sse2 {

BlockResult Blocks(const SearchQuery& q) {
  return ScanBlocks<Sse2>(q);
}

}  // namespace qz::detail::col::sse2

#endif  // SSE2
