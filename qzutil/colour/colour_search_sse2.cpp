// The colour searches with SSE2, four entries a block. Every x86-64 build
// (and a 32-bit one for SSE2) contains this form; the rest compile it empty.
//
// Distances are single-precision sums of squares of 32-bit integer
// differences. Every difference, square and partial sum below 2^24 is
// exact, and a sum whose exact value is at least 2^24 rounds to at least
// 2^24, which is never below the bound of a Vectorisable query. A
// difference that wraps (an entry near the end of the 32-bit range) is
// still at least 2^31 - 2^14 in magnitude, the colour lying within +-2^14.
// A vacant (negative) red makes the distance NaN: Min passes it over and no
// comparison selects it.
#include "qzutil/colour/colour_search.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)

#include <emmintrin.h>

#include "qzutil/colour/colour_search_blocks.h"

namespace {

static_assert(sizeof(ColorRGB) == 12, "entries are three packed 32-bit components");

struct Sse2 {
  static constexpr std::int32_t kWidth = 4;
  using Scalar = float;
  using D = __m128;
  using I = __m128i;
  using M = __m128;

  // a = r0 g0 b0 r1, b = g1 b1 r2 g2, c = b2 r3 g3 b3; the lanes come out in
  // entry order. The shuffles move bits, so integers may pass as floats.
  static void Split(const ColorRGB* e, I& r, I& g, I& b) {
    const auto* p = reinterpret_cast<const __m128i*>(e);
    const __m128 a = _mm_castsi128_ps(_mm_loadu_si128(p));
    const __m128 m = _mm_castsi128_ps(_mm_loadu_si128(p + 1));
    const __m128 c = _mm_castsi128_ps(_mm_loadu_si128(p + 2));
    const __m128 r23 = _mm_shuffle_ps(m, c, _MM_SHUFFLE(1, 1, 2, 2));  // r2 r2 r3 r3
    const __m128 b01 = _mm_shuffle_ps(a, m, _MM_SHUFFLE(1, 1, 2, 2));  // b0 b0 b1 b1
    const __m128 g01 = _mm_shuffle_ps(a, m, _MM_SHUFFLE(0, 0, 1, 1));  // g0 g0 g1 g1
    const __m128 g23 = _mm_shuffle_ps(m, c, _MM_SHUFFLE(2, 2, 3, 3));  // g2 g2 g3 g3
    r = _mm_castps_si128(_mm_shuffle_ps(a, r23, _MM_SHUFFLE(2, 0, 3, 0)));
    g = _mm_castps_si128(_mm_shuffle_ps(g01, g23, _MM_SHUFFLE(2, 0, 2, 0)));
    b = _mm_castps_si128(_mm_shuffle_ps(b01, c, _MM_SHUFFLE(3, 0, 2, 0)));
  }
  static constexpr std::int32_t kOffsets[kWidth] = {0, 1, 2, 3};

  static D Set(float v) { return _mm_set1_ps(v); }
  struct Query {
    I red, green, blue;
  };
  static Query Prepare(const qz::detail::col::SearchQuery& q) {
    return {SetI(q.red), SetI(q.green), SetI(q.blue)};
  }
  static D Distances(const ColorRGB* e, const Query& q) {
    I r;
    I g;
    I b;
    Split(e, r, g, b);
    return SumOfSquares(RedDifference(r, q.red), Difference(g, q.green), Difference(b, q.blue));
  }

  static I SetI(std::int32_t v) { return _mm_set1_epi32(v); }
  static D Difference(I v, I q) { return _mm_cvtepi32_ps(_mm_sub_epi32(v, q)); }
  // A negative red sets every bit: NaN.
  static D RedDifference(I v, I q) {
    return _mm_or_ps(Difference(v, q), _mm_castsi128_ps(_mm_srai_epi32(v, 31)));
  }
  static D SumOfSquares(D a, D b, D c) {
    return _mm_add_ps(_mm_add_ps(_mm_mul_ps(a, a), _mm_mul_ps(b, b)), _mm_mul_ps(c, c));
  }
  static M Equal(D a, D b) { return _mm_cmpeq_ps(a, b); }
  // All bits set: a NaN, which no comparison selects.
  static D PassOver(M m, D d) { return _mm_or_ps(d, m); }
  static D Min(D d, D v) { return _mm_min_ps(d, v); }
  static float LowestLane(D v) {
    v = _mm_min_ps(v, _mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 0, 3, 2)));
    v = _mm_min_ps(v, _mm_shuffle_ps(v, v, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtss_f32(v);
  }
  static unsigned EqualBits(D v, D w) {
    return static_cast<unsigned>(_mm_movemask_ps(_mm_cmpeq_ps(v, w)));
  }
  static bool Any(M m) { return _mm_movemask_ps(m) != 0; }
  static D Load(const float* p) { return _mm_loadu_ps(p); }
  static void Store(float* out, D v) { _mm_storeu_ps(out, v); }
};

}  // namespace

namespace qz::detail::col::sse2 {

BlockResult Blocks(const SearchQuery& q) {
  return ScanBlocks<Sse2>(q);
}

}  // namespace qz::detail::col::sse2

#endif  // SSE2
