// Internal: byte reversal and table lookup with the byte shuffle (SSSE3
// pshufb, AVX2 vpshufb), written once over a register type and compiled for
// each width in its own translation unit. Everything here has internal
// linkage, so no code generated for a wider instruction set can be merged
// into a caller compiled without it. Not installed.
//
// The table lookup splits a 256-entry table into rows of 16: row r serves
// the bytes 16r..16r+15. The shuffle reads a row at the low four bits of an
// index byte, or gives 0 when the index has its top bit set. Subtracting 16r
// (wrapping) from an input byte x leaves its low four bits alone, and the top
// bit of x - 16r is clear exactly when (x >> 4) - r, modulo 16, is below 8.
// For x below 0x80 and r = 0..7 those are the rows r <= x >> 4; for
// x = 0x80 + 16h + l and r = 1..8 they are the rows r >= h + 1. So the
// shuffles of x - 16r through running differences of the rows, XOR-ed
// together, telescope to the row of x: for the lower half, differences with
// the row before (first row unchanged); for the upper half, differences with
// the row after (last row unchanged). Each half costs one subtraction per
// row, shared, and the input's top bit picks the half.
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
  static R Xor(R a, R b) { return _mm_xor_si128(a, b); }
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
  static R Xor(R a, R b) { return _mm256_xor_si256(a, b); }
  static R And(R a, R b) { return _mm256_and_si256(a, b); }
  // Bytes of `high` where `select` has its top bit set, of `low` elsewhere.
  static R Blend(R low, R high, R select) { return _mm256_blendv_epi8(low, high, select); }
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
  // low[r] = row r ^ row r-1; high[r] = row 8+r-1 ^ row 8+r, high[8] = row 15.
  // kRows = 16 needs Reg::Blend.
  const auto row = [table](std::size_t r) { return Reg::Row(table + 16 * r); };
  R low[8], high[9];
  low[0] = row(0);
  for (std::size_t r = 1; r < 8; ++r)
    low[r] = Reg::Xor(row(r), row(r - 1));
  if constexpr (kRows == 16) {
    high[8] = row(15);
    for (std::size_t r = 1; r < 8; ++r)
      high[r] = Reg::Xor(row(7 + r), row(8 + r));
  }
  const R low_bits = Reg::Splat(0x7F), step = Reg::Splat(16);
  std::size_t i = 0;
  for (; i + Reg::kBytes <= n; i += Reg::kBytes) {
    const R x = Reg::Load(src + i);
    R index = x;
    if constexpr (kRows == 8) index = Reg::And(x, low_bits);
    R result = Reg::Shuffle(low[0], index);
    if constexpr (kRows == 8) {
      for (int r = 1; r < 8; ++r) {
        index = Reg::Sub(index, step);
        result = Reg::Xor(result, Reg::Shuffle(low[r], index));
      }
    } else {
      index = Reg::Sub(index, step);
      result = Reg::Xor(result, Reg::Shuffle(low[1], index));
      R upper = Reg::Shuffle(high[1], index);
      for (int r = 2; r < 8; ++r) {
        index = Reg::Sub(index, step);
        result = Reg::Xor(result, Reg::Shuffle(low[r], index));
        upper = Reg::Xor(upper, Reg::Shuffle(high[r], index));
      }
      index = Reg::Sub(index, step);
      upper = Reg::Xor(upper, Reg::Shuffle(high[8], index));
      result = Reg::Blend(result, upper, x);
    }
    Reg::Store(dst + i, result);
  }
  for (; i < n; ++i)
    dst[i] = table[src[i]];
}

}  // namespace shuffle

}  // namespace

#endif  // QZUTIL_TRANSLATE_BYTE_SHUFFLE_H
