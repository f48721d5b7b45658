// The portable loops: one element at a time, in any C++ compiler; every
// other form must give exactly their results.
#include <cstdint>

#include "qzutil/translate/flpt_rules.h"
#include "qzutil/translate/tra_kernels.h"
#include "qzutil/translate/word_loops.h"

namespace {

void Lookup(const unsigned char* table, std::size_t n, const unsigned char* src,
            unsigned char* dst) {
  for (std::size_t i = 0; i < n; ++i)
    dst[i] = table[src[i]];
}

constexpr qz::detail::tra::Kernels kLoops = {
    words::Swap<2>,
    words::Swap<4>,
    words::Swap<8>,
    Lookup,
    Lookup,
    words::Each<std::uint32_t, flpt::IeeeToIbm32>,
    words::Each<std::uint32_t, flpt::IbmToIeee32>,
    words::Each<std::uint64_t, flpt::IeeeToIbm64>,
    words::Each<std::uint64_t, flpt::IbmToIeee64>,
};

}  // namespace

namespace qz::detail::tra::portable {

const Kernels& Loops() {
  return kLoops;
}

}  // namespace qz::detail::tra::portable
