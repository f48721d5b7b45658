// Table lookup with AVX-512 VBMI's two-table byte permutation, 64 bytes a
// step: one permutation covers 128 table entries, so the whole 256-entry
// lookup is two permutations and a blend on the input's top bit. The last
// bytes go through masked loads and stores, which touch no byte outside the
// buffer. Compiled with AVX-512 code generation; nothing here runs unless
// the processor was found to support it.
#include "qzutil/translate/tra_kernels.h"

#if defined(__AVX512VBMI__) && defined(__AVX512BW__)

#include <immintrin.h>

#include <cstdint>

namespace {

template <bool kLowHalf>
void Lookup(const unsigned char* table, std::size_t n, const unsigned char* src,
            unsigned char* dst) {
  const __m512i t0 = _mm512_loadu_si512(table), t1 = _mm512_loadu_si512(table + 64);
  const __m512i t2 = _mm512_loadu_si512(table + 128), t3 = _mm512_loadu_si512(table + 192);
  // Bytes 0..127 from t0:t1; with kLowHalf the top bit is ignored, as the
  // table's upper half repeats its lower half.
  const auto translate = [&](__m512i x) {
    const __m512i low = _mm512_permutex2var_epi8(t0, x, t1);
    if (kLowHalf) return low;
    const __m512i high = _mm512_permutex2var_epi8(t2, x, t3);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), low, high);
  };
  std::size_t i = 0;
  for (; i + 64 <= n; i += 64)
    _mm512_storeu_si512(dst + i, translate(_mm512_loadu_si512(src + i)));
  if (i < n) {
    const __mmask64 last = (~std::uint64_t{0}) >> (64 - (n - i));
    _mm512_mask_storeu_epi8(dst + i, last, translate(_mm512_maskz_loadu_epi8(last, src + i)));
  }
}

constexpr qz::detail::tra::Kernels kLoops = {
    nullptr, nullptr, nullptr, Lookup<true>, Lookup<false>, nullptr, nullptr, nullptr, nullptr,
};

}  // namespace

namespace qz::detail::tra::avx512 {

const Kernels& Loops() {
  return kLoops;
}

}  // namespace qz::detail::tra::avx512

#endif  // __AVX512VBMI__ && __AVX512BW__
