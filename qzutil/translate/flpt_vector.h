// Internal: the floating-point conversions over several elements at once,
// written once with the compiler's vector extensions and compiled for each
// register width (16 bytes with SSE2, 32 with AVX2) in its own translation
// unit. A group of elements is converted with lane-wise arithmetic; the rare
// group holding an element outside the cases handled here (subnormal
// results, IBM exponent-0 values) goes through the element rules of
// flpt_rules.h instead, so every group gives exactly the rules' results.
//
// Masks are all-ones or all-zero lanes. The 64-bit forms need AVX2's
// per-lane shifts (on two SSE2 lanes they measured no faster than the
// portable loop).
//
// Everything here has internal linkage (see flpt_rules.h), and no standard
// template is instantiated, so nothing compiled for AVX2 can be merged into
// other translation units. Not installed.
#ifndef QZUTIL_TRANSLATE_FLPT_VECTOR_H
#define QZUTIL_TRANSLATE_FLPT_VECTOR_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "qzutil/translate/flpt_rules.h"
#include "qzutil/translate/word_loops.h"

#if defined(__AVX2__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {  // NOLINT(google-build-namespaces): see the header comment

namespace flpt {

// Reinterprets the bits of a vector (std::bit_cast without a standard
// template instantiation, see the header comment).
template <class To, class From>
inline To As(From v) {
  return __builtin_bit_cast(To, v);
}

template <int kBytes>
struct Vec;

#if defined(__SSE2__)
template <>
struct Vec<16> {
  typedef std::uint32_t U32 __attribute__((vector_size(16)));
  typedef std::int32_t I32 __attribute__((vector_size(16)));
  typedef float F32 __attribute__((vector_size(16)));
  static constexpr bool kVariableShift = false;  // SSE2 shifts all lanes alike
  template <class T>
  static bool Any(T mask) {
    return _mm_movemask_epi8(As<__m128i>(mask)) != 0;
  }
};
#endif

#if defined(__AVX2__)
template <>
struct Vec<32> {
  typedef std::uint32_t U32 __attribute__((vector_size(32)));
  typedef std::int32_t I32 __attribute__((vector_size(32)));
  typedef float F32 __attribute__((vector_size(32)));
  typedef std::uint64_t U64 __attribute__((vector_size(32)));
  static constexpr bool kVariableShift = true;
  template <class T>
  static bool Any(T mask) {
    return _mm256_movemask_epi8(As<__m256i>(mask)) != 0;
  }
  template <class T>
  static bool AllZero(T v) {
    return _mm256_testz_si256(As<__m256i>(v), As<__m256i>(v)) != 0;
  }
};
#endif

template <class T>
inline T Select(T mask, T yes, T no) {
  return (mask & yes) | (~mask & no);
}

// v >> s for lane counts s in 0..3, in two selected steps where the lanes
// cannot be shifted by different counts.
template <bool kVariableShift, class T>
inline T ShiftRightSmall(T v, T s) {
  if constexpr (kVariableShift) {
    return v >> s;
  } else {
    const T one = -(s & 1), two = -((s >> 1) & 1);
    v = Select(one, v >> 1, v);
    return Select(two, v >> 2, v);
  }
}

// Each converter takes a group of words and either stores the converted
// group in `out` and answers true, or answers false when the group needs the
// element rule.

// IEEE single to IBM single; subnormal inputs take the element rule.
template <int kBytes>
struct IeeeToIbm32Group {
  using V = Vec<kBytes>;
  using U = typename V::U32;
  using I = typename V::I32;
  bool operator()(U w, U& out) const {
    const U sign = w & kSign32;
    const U biased = (w >> 23) & 0xFFu;
    const U f = w & 0x7FFFFFu;
    const U s = (126u - biased) & 3u;  // (-e) mod 4 with e = biased - 126
    const U exponent = (biased + 130u + s) >> 2;
    U r = sign | (exponent << 24) | ShiftRightSmall<V::kVariableShift>(f | 0x800000u, s);
    const U top = As<U>(As<I>(biased) == 255);
    const U bottom = As<U>(As<I>(biased) == 0);
    const U zero_f = As<U>(As<I>(f) == 0);
    r = Select(top, sign | Select(zero_f, U{} + 0x7FFFFFFFu, U{} + 0x20000000u), r);
    r &= ~(bottom & zero_f);
    out = r;
    return !V::Any(bottom & ~zero_f);
  }
};

// IBM single to IEEE single. The fraction (below 2^24) converts to a float
// exactly, whose exponent field gives the position of its leading 1; moving
// that exponent by 4x - 280 gives the normal result. Subnormal results take
// the element rule.
template <int kBytes>
struct IbmToIeee32Group {
  using V = Vec<kBytes>;
  using U = typename V::U32;
  using I = typename V::I32;
  using F = typename V::F32;
  bool operator()(U w, U& out) const {
    const U sign = w & kSign32;
    const I x = As<I>((w >> 24) & 0x7Fu);
    const I f = As<I>(w & 0xFFFFFFu);
    const U as_float = As<U>(__builtin_convertvector(f, F));
    const I e = As<I>(as_float >> 23) + 4 * x - 406;  // value = m * 2^e
    U r = sign | (as_float + (As<U>(4 * x - 280) << 23));
    const U zero_f = As<U>(f == 0);
    const U huge = As<U>(e > 128);
    const U tiny = As<U>(e < -150);
    const U sub = As<U>(e <= -126) & ~huge & ~tiny & ~zero_f;
    r = Select(huge, sign | 0x7F800000u, r);
    r = Select(tiny, sign, r);
    const U nan = As<U>(x != 0);
    r = Select(zero_f, sign | (nan & 0x7FFFFFFFu), r);
    out = r;
    return !V::Any(sub);
  }
};

// All-ones lanes where bit 0 of v is set.
template <class U>
inline U Mask(U v) {
  return -(v & 1u);
}

// IEEE double to IBM double. A group of normal values within the IBM range,
// the common case, takes the short path; otherwise zeros, infinities, NaNs
// and out-of-range values are selected lane by lane, and exponents from -312
// to -261 (the IBM exponent-0 range) take the element rule.
template <int kBytes>
struct IeeeToIbm64Group {
  using V = Vec<kBytes>;
  using U = typename V::U64;
  bool operator()(U w, U& out) const {
    const U sign = w & kSign64;
    const U biased = (w >> 52) & 0x7FFu;
    const U f = w & kIeeeFraction64;
    const U s = (biased + 1u) & 3u;                  // e mod 4 with e = biased - 1023
    const U exponent = ((biased + 1u) >> 2) - 191u;  // floor(e / 4) + 65
    const U r = sign | (exponent << 56) | ((f | (std::uint64_t{1} << 52)) << s);
    if (V::AllZero((biased - 763u) >> 9)) {  // -260 <= e < 252 in every lane
      out = r;
      return true;
    }
    const U huge = Mask((biased + 773u) >> 11);         // e >= 252
    const U tiny = Mask((biased - 711u) >> 63);         // e < -312
    const U low = Mask((biased - 763u) >> 63) & ~tiny;  // -312 <= e < -260
    const U nan = Mask((biased + 1u) >> 11) & Mask((f + 0x7FFFFFFFFFFFFFFFu) >> 63);
    out = Select(huge, sign | 0x7F00000000000000u | (~nan & kIbmFraction64), r) & ~tiny;
    return !V::Any(low);
  }
};

// IBM double to IEEE double for normalised fractions (leading hexadecimal
// digit d non-zero): the leading 1 stands r = floor(log2 d) bits above bit
// 52, read from the exponent of d converted to a float; adding the exponent
// one below its field absorbs that leading 1. Zero fractions are selected
// lane by lane; unnormalised fractions take the element rule.
template <int kBytes>
struct IbmToIeee64Group {
  using V = Vec<kBytes>;
  using U = typename V::U64;
  using I32 = typename V::I32;
  using F32 = typename V::F32;
  bool operator()(U w, U& out) const {
    const U fraction = w & kIbmFraction64;
    const U byte7 = w >> 56;
    const U digit = fraction >> 52;
    // Each 64-bit lane holds d in its low half and 0 in its high half.
    const U r = (As<U>(__builtin_convertvector(As<I32>(digit), F32)) >> 23) - 127u;
    const U normal = fraction >> r;
    const U result = (w & kSign64) | (((((byte7 & 0x7Fu) << 2) + 762u + r) << 52) + normal);
    const U zero_digit = As<U>(digit == 0);
    if (!V::Any(zero_digit)) {
      out = result;
      return true;
    }
    const U nonzero = As<U>(fraction != 0);
    out = Select(nonzero, result, Mask((byte7 + 255u) >> 8));
    return !V::Any(nonzero & zero_digit);
  }
};

// Converts n words: whole groups with Group, a group it declines and the
// last words with Rule.
template <int kBytes, class Word, Word (*Rule)(Word), class Group>
void Convert(std::size_t n, const unsigned char* src, unsigned char* dst) {
  using Lanes = typename Group::U;
  constexpr std::size_t kLanes = kBytes / sizeof(Word);
  const Group group;
  std::size_t i = 0;
  for (; i + kLanes <= n; i += kLanes) {
    Lanes w, out;
    std::memcpy(&w, src + i * sizeof(Word), kBytes);
    if (!group(w, out)) {
      for (std::size_t k = 0; k < kLanes; ++k)
        out[k] = Rule(w[k]);
    }
    std::memcpy(dst + i * sizeof(Word), &out, kBytes);
  }
  words::Each<Word, Rule>(n - i, src + i * sizeof(Word), dst + i * sizeof(Word));
}

template <int kBytes>
void IeeeToIbm32Loop(std::size_t n, const unsigned char* src, unsigned char* dst) {
  Convert<kBytes, std::uint32_t, IeeeToIbm32, IeeeToIbm32Group<kBytes>>(n, src, dst);
}
template <int kBytes>
void IbmToIeee32Loop(std::size_t n, const unsigned char* src, unsigned char* dst) {
  Convert<kBytes, std::uint32_t, IbmToIeee32, IbmToIeee32Group<kBytes>>(n, src, dst);
}
template <int kBytes>
void IeeeToIbm64Loop(std::size_t n, const unsigned char* src, unsigned char* dst) {
  Convert<kBytes, std::uint64_t, IeeeToIbm64, IeeeToIbm64Group<kBytes>>(n, src, dst);
}
template <int kBytes>
void IbmToIeee64Loop(std::size_t n, const unsigned char* src, unsigned char* dst) {
  Convert<kBytes, std::uint64_t, IbmToIeee64, IbmToIeee64Group<kBytes>>(n, src, dst);
}

}  // namespace flpt

}  // namespace

#endif  // QZUTIL_TRANSLATE_FLPT_VECTOR_H
