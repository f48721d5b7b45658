// Internal: byte reversal and table lookup with the byte shuffle (SSSE3
// pshufb, AVX2 vpshufb), written once over a register type and compiled for
// each width in its own translation unit. Everything here has internal
// linkage, so no code generated for a wider instruction set can be merged
// into a caller compiled without it. Not installed.
//
// The table lookup splits a 256-entry table into rows of 16: row r serves
// the bytes 16r..16r+15. For each row, the input minus 16r is added to 0x70
// with unsigned saturation; only bytes of that row stay below 0x80, where the
// shuffle reads the row at the byte's low four bits, and all others have
// their top bit set, where the shuffle gives 0. OR-ing the rows gives the
// lookup.
#ifndef QZUTIL_TRANSLATE_BYTE_SHUFFLE_H
#define QZUTIL_TRANSLATE_BYTE_SHUFFLE_H

#include <cstddef>

#include <immintrin.h>

#include "qzutil/translate/word_loops.h"

namespace {  // NOLINT(google-build-namespaces): see the header comment

namespace shuffle {

#if defined(__SSSE3__)
struct Reg128 {
  using R = __m128i;
  static constexpr std::size_t kBytes = 16;
  static R Load(const unsigned char* p) { return _mm_loadu_si128(reinterpret_cast<const R*>(p)); }
  static void Store(unsigned char* p, R v) { _mm_storeu_si128(reinterpret_cast<R*>(p), v); }
  static R Row(const unsigned char* p) { return Load(p); }  // 16 bytes, repeated per lane
  static R Splat(char b) { return _mm_set1_epi8(b); }
  static R Shuffle(R row, R index) { return _mm_shuffle_epi8(row, index); }
  static R Sub(R a, R b) { return _mm_sub_epi8(a, b); }
  static R AddSaturated(R a, R b) { return _mm_adds_epu8(a, b); }
  static R Or(R a, R b) { return _mm_or_si128(a, b); }
  static R And(R a, R b) { return _mm_and_si128(a, b); }
};
#endif

#if defined(__AVX2__)
struct Reg256 {
  using R = __m256i;
  static constexpr std::size_t kBytes = 32;
  static R Load(const unsigned char* p) {
    return _mm256_loadu_si256(reinterpret_cast<const R*>(p));
  }
  static void Store(unsigned char* p, R v) { _mm256_storeu_si256(reinterpret_cast<R*>(p), v); }
  static R Row(const unsigned char* p) {
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  static R Splat(char b) { return _mm256_set1_epi8(b); }
  static R Shuffle(R row, R index) { return _mm256_shuffle_epi8(row, index); }
  static R Sub(R a, R b) { return _mm256_sub_epi8(a, b); }
  static R AddSaturated(R a, R b) { return _mm256_adds_epu8(a, b); }
  static R Or(R a, R b) { return _mm256_or_si256(a, b); }
  static R And(R a, R b) { return _mm256_and_si256(a, b); }
};
#endif

// Shuffle control that reverses each kSize-byte group of 16 bytes.
template <std::size_t kSize>
struct Reversal {
  unsigned char index[16];
  constexpr Reversal() : index{} {
    for (std::size_t i = 0; i < 16; ++i)
      index[i] = static_cast<unsigned char>(i - i % kSize + (kSize - 1 - i % kSize));
  }
};

template <class Reg, std::size_t kSize>
void Swap(std::size_t n, const unsigned char* src, unsigned char* dst) {
  static constexpr Reversal<kSize> kControl;
  const typename Reg::R control = Reg::Row(kControl.index);
  const std::size_t bytes = n * kSize;
  std::size_t i = 0;
  for (; i + 2 * Reg::kBytes <= bytes; i += 2 * Reg::kBytes) {
    const auto a = Reg::Load(src + i);
    const auto b = Reg::Load(src + i + Reg::kBytes);
    Reg::Store(dst + i, Reg::Shuffle(a, control));
    Reg::Store(dst + i + Reg::kBytes, Reg::Shuffle(b, control));
  }
  for (; i + Reg::kBytes <= bytes; i += Reg::kBytes)
    Reg::Store(dst + i, Reg::Shuffle(Reg::Load(src + i), control));
  words::Swap<kSize>(n - i / kSize, src + i, dst + i);
}

// kRows = 8 serves tables whose upper half repeats the lower half: the top
// bit of each input is cleared first.
template <class Reg, int kRows>
void Lookup(const unsigned char* table, std::size_t n, const unsigned char* src,
            unsigned char* dst) {
  using R = typename Reg::R;
  R rows[kRows];
  for (int r = 0; r < kRows; ++r)
    rows[r] = Reg::Row(table + std::size_t{16} * r);
  const R low_bits = Reg::Splat(0x7F), step = Reg::Splat(16), bias = Reg::Splat(0x70);
  std::size_t i = 0;
  for (; i + Reg::kBytes <= n; i += Reg::kBytes) {
    R x = Reg::Load(src + i);
    if (kRows == 8) x = Reg::And(x, low_bits);
    R result = Reg::Shuffle(rows[0], Reg::AddSaturated(x, bias));
    for (int r = 1; r < kRows; ++r) {
      x = Reg::Sub(x, step);
      result = Reg::Or(result, Reg::Shuffle(rows[r], Reg::AddSaturated(x, bias)));
    }
    Reg::Store(dst + i, result);
  }
  for (; i < n; ++i)
    dst[i] = table[src[i]];
}

}  // namespace shuffle

}  // namespace

#endif  // QZUTIL_TRANSLATE_BYTE_SHUFFLE_H
