// Byte reversal with SSE2's word shuffles and the single-width
// floating-point conversions on 16-byte registers. SSE2 is part of every x86-64 processor; the
// table lookup needs a byte shuffle and stays portable at this level.
#include "qzutil/translate/tra_kernels.h"

#if defined(__SSE2__)

#include <emmintrin.h>

#include "qzutil/translate/flpt_vector.h"
#include "qzutil/translate/word_loops.h"

namespace {

// Reverses the two bytes of every 16-bit lane.
inline __m128i Swap16(__m128i v) {
  return _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
}
inline __m128i Swap32(__m128i v) {
  constexpr int kHalves = _MM_SHUFFLE(2, 3, 0, 1);
  return Swap16(_mm_shufflehi_epi16(_mm_shufflelo_epi16(v, kHalves), kHalves));
}
inline __m128i Swap64(__m128i v) {
  constexpr int kQuarters = _MM_SHUFFLE(0, 1, 2, 3);
  return Swap16(_mm_shufflehi_epi16(_mm_shufflelo_epi16(v, kQuarters), kQuarters));
}

template <std::size_t kSize, __m128i (*Reverse)(__m128i)>
void Swap(std::size_t n, const unsigned char* src, unsigned char* dst) {
  const std::size_t bytes = n * kSize;
  std::size_t i = 0;
  for (; i + 16 <= bytes; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), Reverse(v));
  }
  words::Swap<kSize>(n - i / kSize, src + i, dst + i);
}

constexpr qz::detail::tra::Kernels kLoops = {
    Swap<2, Swap16>,
    Swap<4, Swap32>,
    Swap<8, Swap64>,
    nullptr,
    nullptr,
    flpt::IeeeToIbm32Loop<16>,
    flpt::IbmToIeee32Loop<16>,
    // Two 64-bit lanes without variable shifts or 64-bit comparisons measured
    // no faster than the portable loops; those stay.
    nullptr,
    nullptr,
};

}  // namespace

namespace qz::detail::tra::sse2 {

const Kernels& Loops() {
  return kLoops;
}

}  // namespace qz::detail::tra::sse2

#endif  // __SSE2__
