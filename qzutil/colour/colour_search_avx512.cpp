// The colour searches with AVX-512, sixteen entries a block. Compiled with
// AVX-512 foundation code generation; nothing here runs unless the
// processor was found to support it.
#include "qzutil/colour/colour_search.h"

#if defined(__AVX512F__)

#include <immintrin.h>

#include "qzutil/colour/colour_search_blocks.h"

namespace {

static_assert(sizeof(ColorRGB) == 12, "entries are three packed 32-bit components");

// Lanes whose index leaves remainder 0, 1 and 2 by 3.
constexpr __mmask16 kRem0 = 0x9249;
constexpr __mmask16 kRem1 = 0x2492;
constexpr __mmask16 kRem2 = 0x4924;
// Every lane. The zero-masking forms below with all lanes selected are the
// plain instructions; GCC's plain intrinsics pass an undefined register that
// its own uninitialised-use warning then flags.
constexpr __mmask16 kAll = 0xFFFF;

struct Avx512 {
  static constexpr std::int32_t kWidth = 16;
  using F = __m512;
  using I = __m512i;
  using M = __mmask16;

  // As in the AVX2 form: lane j of the three registers holds components j,
  // 16 + j and 32 + j, one of each colour; blends gather the red ones and
  // rotations by one and two lanes line up green and blue.
  static void Load(const ColorRGB* e, I& r, I& g, I& b) {
    const auto* p = reinterpret_cast<const std::int32_t*>(e);
    const __m512i x = _mm512_loadu_si512(p);
    const __m512i y = _mm512_loadu_si512(p + 16);
    const __m512i z = _mm512_loadu_si512(p + 32);
    r = _mm512_mask_blend_epi32(kRem1, _mm512_mask_blend_epi32(kRem2, x, y), z);
    const __m512i g_spread =
        _mm512_mask_blend_epi32(kRem2, _mm512_mask_blend_epi32(kRem0, x, y), z);
    const __m512i b_spread =
        _mm512_mask_blend_epi32(kRem0, _mm512_mask_blend_epi32(kRem1, x, y), z);
    g = _mm512_maskz_permutexvar_epi32(
        kAll, _mm512_setr_epi32(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0), g_spread);
    b = _mm512_maskz_permutexvar_epi32(
        kAll, _mm512_setr_epi32(2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1), b_spread);
  }
  static I Offsets() {
    return _mm512_setr_epi32(0, 11, 6, 1, 12, 7, 2, 13, 8, 3, 14, 9, 4, 15, 10, 5);
  }

  static F SetF(float v) { return _mm512_set1_ps(v); }
  static I SetI(std::int32_t v) { return _mm512_set1_epi32(v); }
  static F ToFloat(I v) { return _mm512_maskz_cvtepi32_ps(kAll, v); }
  static F Sub(F a, F b) { return _mm512_sub_ps(a, b); }
  static F Mul(F a, F b) { return _mm512_mul_ps(a, b); }
  static F Add(F a, F b) { return _mm512_add_ps(a, b); }
  static I AddI(I a, I b) { return _mm512_add_epi32(a, b); }
  static M Less(F a, F b) { return _mm512_cmp_ps_mask(a, b, _CMP_LT_OQ); }
  static M Equal(F a, F b) { return _mm512_cmp_ps_mask(a, b, _CMP_EQ_OQ); }
  static M Or(M a, M b) { return static_cast<M>(a | b); }
  static M AndNot(M a, M b) { return static_cast<M>(~a & b); }
  static F Select(M m, F a, F b) { return _mm512_mask_blend_ps(m, b, a); }
  static I SelectI(M m, I a, I b) { return _mm512_mask_blend_epi32(m, b, a); }
  static bool Any(M m) { return m != 0; }
  static void StoreF(float* out, F v) { _mm512_storeu_ps(out, v); }
  static void StoreI(std::int32_t* out, I v) { _mm512_storeu_si512(out, v); }
};

}  // namespace

namespace qz::detail::col::avx512 {

BlockResult Blocks(const SearchQuery& q) {
  return ScanBlocks<Avx512>(q);
}

}  // namespace qz::detail::col::avx512

#endif  // __AVX512F__
