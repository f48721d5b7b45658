// The colour searches with AVX2, eight entries a block. Compiled with AVX2
// code generation; nothing here runs unless the processor was found to
// support it. Distances are computed as in the SSE2 form, except that a
// vacant (negative) red is read as unsigned and capped at 2^31 - 1, which
// is far from any Vectorisable colour.
#include "qzutil/colour/colour_search.h"

#if defined(__AVX2__)

#include <immintrin.h>

#include <cstdint>

#include "qzutil/colour/colour_search_blocks.h"

namespace {

static_assert(sizeof(ColorRGB) == 12, "entries are three packed 32-bit components");

struct Avx2 {
  static constexpr std::int32_t kWidth = 8;
  using Scalar = float;
  using D = __m256;
  using I = __m256i;
  using M = __m256;

  // Lane j of the three registers holds components j, 8 + j and 16 + j of
  // the block, one of each colour (8 leaves remainder 2 by 3). Blending
  // takes the red one into lane j; the green one of the same entry sits one
  // lane further on and the blue one two lanes further (wrapping), so a
  // rotation lines them up. Lane j then holds entry kOffsets[j].
  static void Split(const ColorRGB* e, I& r, I& g, I& b) {
    const auto* p = reinterpret_cast<const __m256i*>(e);
    const __m256i x = _mm256_loadu_si256(p);
    const __m256i y = _mm256_loadu_si256(p + 1);
    const __m256i z = _mm256_loadu_si256(p + 2);
    r = _mm256_blend_epi32(_mm256_blend_epi32(x, y, 0x92), z, 0x24);
    const __m256i g_spread = _mm256_blend_epi32(_mm256_blend_epi32(x, y, 0x24), z, 0x49);
    const __m256i b_spread = _mm256_blend_epi32(_mm256_blend_epi32(x, y, 0x49), z, 0x92);
    g = _mm256_permutevar8x32_epi32(g_spread, _mm256_setr_epi32(1, 2, 3, 4, 5, 6, 7, 0));
    b = _mm256_permutevar8x32_epi32(b_spread, _mm256_setr_epi32(2, 3, 4, 5, 6, 7, 0, 1));
  }
  static constexpr std::int32_t kOffsets[kWidth] = {0, 3, 6, 1, 4, 7, 2, 5};

  static D Set(float v) { return _mm256_set1_ps(v); }
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

  static I SetI(std::int32_t v) { return _mm256_set1_epi32(v); }
  static D Difference(I v, I q) { return _mm256_cvtepi32_ps(_mm256_sub_epi32(v, q)); }
  // Read as unsigned and capped, a negative red becomes 2^31 - 1.
  static D RedDifference(I v, I q) {
    return Difference(_mm256_min_epu32(v, _mm256_set1_epi32(INT32_MAX)), q);
  }
  static D SumOfSquares(D a, D b, D c) {
    return _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(a, a), _mm256_mul_ps(b, b)),
                         _mm256_mul_ps(c, c));
  }
  static M Equal(D a, D b) { return _mm256_cmp_ps(a, b, _CMP_EQ_OQ); }
  // All bits set: a NaN, which no comparison selects.
  static D PassOver(M m, D d) { return _mm256_or_ps(d, m); }
  static D Min(D d, D v) { return _mm256_min_ps(d, v); }
  static float LowestLane(D v) {
    __m128 h = _mm_min_ps(_mm256_castps256_ps128(v), _mm256_extractf128_ps(v, 1));
    h = _mm_min_ps(h, _mm_shuffle_ps(h, h, _MM_SHUFFLE(1, 0, 3, 2)));
    h = _mm_min_ps(h, _mm_shuffle_ps(h, h, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtss_f32(h);
  }
  static unsigned EqualBits(D v, D w) {
    return static_cast<unsigned>(_mm256_movemask_ps(_mm256_cmp_ps(v, w, _CMP_EQ_OQ)));
  }
  static bool Any(M m) { return _mm256_movemask_ps(m) != 0; }
  static D Load(const float* p) { return _mm256_loadu_ps(p); }
  static void Store(float* out, D v) { _mm256_storeu_ps(out, v); }
};

}  // namespace

namespace qz::detail::col::avx2 {

BlockResult Blocks(const SearchQuery& q) {
  return ScanBlocks<Avx2>(q);
}

}  // namespace qz::detail::col::avx2

#endif  // __AVX2__
