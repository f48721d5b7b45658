// The portable loops: one element at a time, in any C++ compiler. They are
// what every other form is checked against, and they finish the elements
// that a vectorised loop leaves over.
#include <cstdint>
#include <cstring>

#include "qzutil/translate/flpt_rules.h"
#include "qzutil/translate/tra_kernels.h"

namespace {

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
constexpr std::uint16_t Swap(std::uint16_t w) {
  return static_cast<std::uint16_t>((w << 8) | (w >> 8));
}
constexpr std::uint32_t Swap(std::uint32_t w) {
  return (w << 24) | ((w << 8) & 0x00FF0000u) | ((w >> 8) & 0x0000FF00u) | (w >> 24);
}
constexpr std::uint64_t Swap(std::uint64_t w) {
  return (std::uint64_t{Swap(static_cast<std::uint32_t>(w))} << 32) |
         Swap(static_cast<std::uint32_t>(w >> 32));
}

void Lookup(const unsigned char* table, std::size_t n, const unsigned char* src,
            unsigned char* dst) {
  for (std::size_t i = 0; i < n; ++i)
    dst[i] = table[src[i]];
}

constexpr qz::detail::tra::Kernels kLoops = {
    Each<std::uint16_t, Swap>,
    Each<std::uint32_t, Swap>,
    Each<std::uint64_t, Swap>,
    Lookup,
    Lookup,
    Each<std::uint32_t, flpt::IeeeToIbm32>,
    Each<std::uint32_t, flpt::IbmToIeee32>,
    Each<std::uint64_t, flpt::IeeeToIbm64>,
    Each<std::uint64_t, flpt::IbmToIeee64>,
};

}  // namespace

namespace qz::detail::tra::portable {

const Kernels& Loops() {
  return kLoops;
}

}  // namespace qz::detail::tra::portable
