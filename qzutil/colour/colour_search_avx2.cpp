// The colour searches with AVX2, eight entries a block. Compiled with AVX2
// code generation; nothing here runs unless the processor was found to
// support it.
#include "qzutil/colour/colour_search.h"

#if defined(__AVX2__)

#include <immintrin.h>

#include "qzutil/colour/colour_search_blocks.h"

namespace {

static_assert(sizeof(ColorRGB) == 12, "entries are three packed 32-bit components");

struct Avx2 {
  static constexpr std::int32_t kWidth = 8;
  using F = __m256;
  using I = __m256i;
  using M = __m256;

  // Lane j of the three registers holds components j, 8 + j and 16 + j of
  // the block, one of each colour (8 leaves remainder 2 by 3). Blending
  // takes the red one into lane j; the green one of the same entry sits one
  // lane further on and the blue one two lanes further (wrapping), so a
  // rotation lines them up. Lane j then holds entry Offsets()[j].
  static void Load(const ColorRGB* e, I& r, I& g, I& b) {
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
  static I Offsets() { return _mm256_setr_epi32(0, 3, 6, 1, 4, 7, 2, 5); }

  static F SetF(float v) { return _mm256_set1_ps(v); }
  static I SetI(std::int32_t v) { return _mm256_set1_epi32(v); }
  static F ToFloat(I v) { return _mm256_cvtepi32_ps(v); }
  static F Sub(F a, F b) { return _mm256_sub_ps(a, b); }
  static F Mul(F a, F b) { return _mm256_mul_ps(a, b); }
  static F Add(F a, F b) { return _mm256_add_ps(a, b); }
  static I AddI(I a, I b) { return _mm256_add_epi32(a, b); }
  static M Less(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_LT_OQ); }
  static M Equal(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_EQ_OQ); }
  static M Or(M a, M b) { return _mm256_or_ps(a, b); }
  static M AndNot(M a, M b) { return _mm256_andnot_ps(a, b); }
  static F Select(M m, F a, F b) { return _mm256_blendv_ps(b, a, m); }
  static I SelectI(M m, I a, I b) {
    return _mm256_castps_si256(_mm256_blendv_ps(_mm256_castsi256_ps(b), _mm256_castsi256_ps(a), m));
  }
  static bool Any(M m) { return _mm256_movemask_ps(m) != 0; }
  static void StoreF(float* out, F v) { _mm256_storeu_ps(out, v); }
  static void StoreI(std::int32_t* out, I v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), v);
  }
};

}  // namespace

namespace qz::detail::col::avx2 {

BlockResult Blocks(const SearchQuery& q) {
  return ScanBlocks<Avx2>(q);
}

}  // namespace qz::detail::col::avx2

#endif  // __AVX2__
