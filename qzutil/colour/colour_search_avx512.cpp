// The colour searches with AVX-512, sixteen entries a block. Compiled with
// AVX-512 foundation code generation; nothing here runs unless the
// processor was found to support it.
#include "qzutil/colour/colour_search.h"

#if defined(__AVX512F__)

#include <immintrin.h>

#include <cstdint>

#include "qzutil/colour/colour_search_blocks.h"

namespace {

static_assert(sizeof(ColorRGB) == 12, "entries are three packed 32-bit components");

// Every lane, and the first eleven and ten. The zero-masking forms below with
// all lanes selected are the plain instructions; GCC's plain intrinsics pass
// an undefined register that its own uninitialised-use warning then flags.
constexpr __mmask16 kAll = 0xFFFF;
constexpr __mmask16 kFirst11 = 0x07FF;
constexpr __mmask16 kFirst10 = 0x03FF;

struct Avx512 {
  static constexpr std::int32_t kWidth = 16;
  using F = __m512;
  using I = __m512i;
  using M = __mmask16;

  // Component k of the block (entry k / 3) is lane k % 16 of register
  // k / 16. Each colour comes from the first two registers by a two-source
  // permute and from the third by a merging one; the lanes are in entry
  // order.
  static void Load(const ColorRGB* e, I& r, I& g, I& b) {
    const auto* p = reinterpret_cast<const std::int32_t*>(e);
    const __m512i x = _mm512_loadu_si512(p);
    const __m512i y = _mm512_loadu_si512(p + 16);
    const __m512i z = _mm512_loadu_si512(p + 32);
    const __m512i r_xy = _mm512_setr_epi32(0, 3, 6, 9, 12, 15, 18, 21, 24, 27, 30, 0, 0, 0, 0, 0);
    const __m512i r_z = _mm512_setr_epi32(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 4, 7, 10, 13);
    const __m512i g_xy = _mm512_setr_epi32(1, 4, 7, 10, 13, 16, 19, 22, 25, 28, 31, 0, 0, 0, 0, 0);
    const __m512i g_z = _mm512_setr_epi32(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 5, 8, 11, 14);
    const __m512i b_xy = _mm512_setr_epi32(2, 5, 8, 11, 14, 17, 20, 23, 26, 29, 0, 0, 0, 0, 0, 0);
    const __m512i b_z = _mm512_setr_epi32(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 6, 9, 12, 15);
    r = _mm512_mask_permutexvar_epi32(_mm512_maskz_permutex2var_epi32(kFirst11, x, r_xy, y),
                                      static_cast<__mmask16>(~kFirst11), r_z, z);
    g = _mm512_mask_permutexvar_epi32(_mm512_maskz_permutex2var_epi32(kFirst11, x, g_xy, y),
                                      static_cast<__mmask16>(~kFirst11), g_z, z);
    b = _mm512_mask_permutexvar_epi32(_mm512_maskz_permutex2var_epi32(kFirst10, x, b_xy, y),
                                      static_cast<__mmask16>(~kFirst10), b_z, z);
  }
  static constexpr std::int32_t kOffsets[kWidth] = {0, 1, 2,  3,  4,  5,  6,  7,
                                                    8, 9, 10, 11, 12, 13, 14, 15};

  static F SetF(float v) { return _mm512_set1_ps(v); }
  static I SetI(std::int32_t v) { return _mm512_set1_epi32(v); }
  static F Difference(I v, I q) { return _mm512_maskz_cvtepi32_ps(kAll, _mm512_sub_epi32(v, q)); }
  // Read as unsigned and capped, a negative red becomes 2^31 - 1.
  static F RedDifference(I v, I q) {
    return Difference(_mm512_maskz_min_epu32(kAll, v, _mm512_set1_epi32(INT32_MAX)), q);
  }
  // A fused multiply-add rounds once: exact below 2^24 and never below 2^24
  // for a larger sum, like separate products and sums.
  static F SumOfSquares(F a, F b, F c) {
    return _mm512_fmadd_ps(c, c, _mm512_fmadd_ps(b, b, _mm512_mul_ps(a, a)));
  }
  static M Equal(F a, F b) { return _mm512_cmp_ps_mask(a, b, _CMP_EQ_OQ); }
  static F PassOver(M m, F d) { return _mm512_mask_mov_ps(d, m, _mm512_set1_ps(__builtin_inff())); }
  static F Min(F d, F v) { return _mm512_maskz_min_ps(kAll, d, v); }
  static float LowestLane(F v) {
    float lanes[kWidth];
    _mm512_storeu_ps(lanes, v);
    const __m256 w = _mm256_min_ps(_mm256_loadu_ps(lanes), _mm256_loadu_ps(lanes + 8));
    __m128 h = _mm_min_ps(_mm256_castps256_ps128(w), _mm256_extractf128_ps(w, 1));
    h = _mm_min_ps(h, _mm_shuffle_ps(h, h, _MM_SHUFFLE(1, 0, 3, 2)));
    h = _mm_min_ps(h, _mm_shuffle_ps(h, h, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtss_f32(h);
  }
  static unsigned EqualBits(F v, F w) { return _mm512_cmp_ps_mask(v, w, _CMP_EQ_OQ); }
  static bool Any(M m) { return m != 0; }
  static F LoadF(const float* p) { return _mm512_loadu_ps(p); }
  static void StoreF(float* out, F v) { _mm512_storeu_ps(out, v); }
};

}  // namespace

namespace qz::detail::col::avx512 {

BlockResult Blocks(const SearchQuery& q) {
  return ScanBlocks<Avx512>(q);
}

}  // namespace qz::detail::col::avx512

#endif  // __AVX512F__
