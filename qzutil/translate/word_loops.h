// Internal: one-element-at-a-time loops over little-endian words, the
// portable forms of the translation loops and the tails of the vectorised
// ones. Everything here has internal linkage, so a translation unit compiled
// for a wider instruction set keeps its own copy. Not installed.
#ifndef QZUTIL_TRANSLATE_WORD_LOOPS_H
#define QZUTIL_TRANSLATE_WORD_LOOPS_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace {  // NOLINT(google-build-namespaces): see the header comment

namespace words {

// Applies Rule to each of n words; each word is read completely before its
// result is written, so src may equal dst.
template <class Word, Word (*Rule)(Word)>
void Each(std::size_t n, const unsigned char* src, unsigned char* dst) {
  for (std::size_t i = 0; i < n; ++i) {
    Word w;
    std::memcpy(&w, src + i * sizeof w, sizeof w);
    w = Rule(w);
    std::memcpy(dst + i * sizeof w, &w, sizeof w);
  }
}

// Byte reversal written with shifts; compilers turn these into one
// instruction where the target has one.
constexpr std::uint16_t Reverse(std::uint16_t w) {
  return static_cast<std::uint16_t>((w << 8) | (w >> 8));
}
constexpr std::uint32_t Reverse(std::uint32_t w) {
  return (w << 24) | ((w << 8) & 0x00FF0000u) | ((w >> 8) & 0x0000FF00u) | (w >> 24);
}
constexpr std::uint64_t Reverse(std::uint64_t w) {
  return (std::uint64_t{Reverse(static_cast<std::uint32_t>(w))} << 32) |
         Reverse(static_cast<std::uint32_t>(w >> 32));
}

template <std::size_t kSize>
using WordOf = std::conditional_t<kSize == 2, std::uint16_t,
                                  std::conditional_t<kSize == 4, std::uint32_t, std::uint64_t>>;

// Reverses the bytes of each of n elements of kSize bytes.
template <std::size_t kSize>
void Swap(std::size_t n, const unsigned char* src, unsigned char* dst) {
  Each<WordOf<kSize>, Reverse>(n, src, dst);
}

}  // namespace words

}  // namespace

#endif  // QZUTIL_TRANSLATE_WORD_LOOPS_H
