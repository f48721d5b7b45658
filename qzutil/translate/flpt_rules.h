// Internal: the element rules of the floating-point conversions, one word at
// a time. Every loop form (portable, vectorised) gives exactly these results;
// the vectorised loops call these for the elements they do not handle
// themselves. Everything here has internal linkage, so a translation unit
// compiled for a wider instruction set keeps its own copy. Not installed.
#ifndef QZUTIL_TRANSLATE_FLPT_RULES_H
#define QZUTIL_TRANSLATE_FLPT_RULES_H

#include <bit>
#include <cstdint>

// Words are read and written in the host's order, which must be the
// little-endian order of the data.
static_assert(std::endian::native == std::endian::little);

namespace {  // NOLINT(google-build-namespaces): see the header comment

namespace flpt {

// The number of bits needed for v (0 for 0). Not std::bit_width: a standard
// template instantiated in a translation unit compiled for a wider
// instruction set could be merged with other units' copies.
template <class Word>
constexpr int BitWidth(Word v) {
#if defined(__GNUC__) || defined(__clang__)
  return v == 0 ? 0 : 64 - __builtin_clzll(v);
#else
  int n = 0;
  for (; v != 0; v >>= 1)
    ++n;
  return n;
#endif
}

constexpr std::uint32_t kSign32 = 0x80000000u;
constexpr std::uint64_t kSign64 = 0x8000000000000000u;
constexpr std::uint64_t kIbmFraction64 = 0x00FFFFFFFFFFFFFFu;
constexpr std::uint64_t kIeeeFraction64 = 0x000FFFFFFFFFFFFFu;

// IEEE single to IBM single. The value is written as m * 2^e with
// 0.5 <= m < 1, m held as a 24-bit fraction; s = (-e) mod 4 aligns e to a
// hexadecimal exponent and the low s bits of m are dropped (truncated).
constexpr std::uint32_t IeeeToIbm32(std::uint32_t w) {
  const std::uint32_t sign = w & kSign32;
  const std::uint32_t biased = (w >> 23) & 0xFFu;
  const std::uint32_t f = w & 0x7FFFFFu;
  if (biased == 255) return f == 0 ? (sign | 0x7FFFFFFFu) : (sign | 0x20000000u);
  if (biased == 0 && f == 0) return 0;  // the sign of a zero is not kept
  std::uint32_t m = 0;
  int e = 0;
  if (biased == 0) {  // subnormal: 0.f * 2^-126, normalised first
    const int top = BitWidth(f) - 1;
    m = f << (23 - top);
    e = top - 148;
  } else {
    m = f | 0x800000u;
    e = static_cast<int>(biased) - 126;
  }
  const int s = -e & 3;
  const auto exponent = static_cast<std::uint32_t>((e + s) / 4 + 64);
  return sign | (exponent << 24) | (m >> s);
}

// IBM single to IEEE single. Results below the normal range are truncated
// toward zero into subnormals; beyond the range they become infinities.
constexpr std::uint32_t IbmToIeee32(std::uint32_t w) {
  const std::uint32_t sign = w & kSign32;
  const int x = static_cast<int>((w >> 24) & 0x7Fu);
  const std::uint32_t f = w & 0xFFFFFFu;
  if (f == 0) return x == 0 ? sign : (sign | 0x7FFFFFFFu);  // zero or NaN
  const int top = BitWidth(f) - 1;
  const int e = 4 * x - 256 - (23 - top);  // value = m * 2^e, 0.5 <= m < 1
  if (e > 128) return sign | 0x7F800000u;
  if (e > -126) {
    return sign | (static_cast<std::uint32_t>(e + 126) << 23) | ((f << (23 - top)) & 0x7FFFFFu);
  }
  if (e < -150) return sign;
  // Subnormal: value * 2^149 = f * 2^(4x - 131), truncated; the shift lies
  // within -25..22 here.
  const int k = 4 * x - 131;
  return sign | (k >= 0 ? f << k : f >> -k);
}

// IEEE double to IBM double. The 53-bit significand (hidden 1 always
// supplied) sits in a 56-bit fraction field and moves left by e mod 4.
// Exponents below -260 shift the fraction right into IBM exponent 0.
constexpr std::uint64_t IeeeToIbm64(std::uint64_t w) {
  const std::uint64_t sign = w & kSign64;
  const int biased = static_cast<int>((w >> 52) & 0x7FFu);
  int e = biased - 1023;
  std::uint64_t fraction = (w & kIeeeFraction64) | (std::uint64_t{1} << 52);
  if (e < -312) return 0;  // zeros, subnormals and tiny values; sign not kept
  if (e >= 252) {
    const bool nan = biased == 2047 && (w & kIeeeFraction64) != 0;
    return sign | (std::uint64_t{0x7F} << 56) | (nan ? 0 : kIbmFraction64);
  }
  if (e < -260) {
    fraction >>= -260 - e;
    e = -260;
  }
  const int s = e & 3;
  const int exponent = (e >> 2) + 65;  // floor(e / 4) + 65, 0 to 127
  return sign | (static_cast<std::uint64_t>(exponent) << 56) | (fraction << s);
}

// IBM double to IEEE double. The fraction is normalised to a leading 1 at
// bit 52, dropping up to three low bits; the IBM range lies inside the normal
// IEEE range. Unlike the single width, a zero fraction under a non-zero byte
// 7, the negative zero included, becomes the all-ones NaN.
constexpr std::uint64_t IbmToIeee64(std::uint64_t w) {
  const std::uint64_t fraction = w & kIbmFraction64;
  const auto byte7 = static_cast<int>(w >> 56);
  if (fraction == 0) return byte7 == 0 ? 0 : ~std::uint64_t{0};
  const int top = BitWidth(fraction) - 1;
  const std::uint64_t normal = top > 52 ? fraction >> (top - 52) : fraction << (52 - top);
  const int t = 4 * (byte7 & 0x7F) - 260 + (top - 52);
  return (w & kSign64) | (static_cast<std::uint64_t>(t + 1023) << 52) | (normal & kIeeeFraction64);
}

}  // namespace flpt

}  // namespace

#endif  // QZUTIL_TRANSLATE_FLPT_RULES_H
