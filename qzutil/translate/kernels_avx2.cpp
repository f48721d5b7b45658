// Every translation loop with AVX2, 32 bytes a step. Compiled with AVX2 code
// generation; nothing here runs unless the processor was found to support it.
#include "qzutil/translate/tra_kernels.h"

#if defined(__AVX2__)

#include "qzutil/translate/byte_shuffle.h"
#include "qzutil/translate/flpt_vector.h"

namespace {

using shuffle::Reg256;

constexpr qz::detail::tra::Kernels kLoops = {
    shuffle::Swap<Reg256, 2>,   shuffle::Swap<Reg256, 4>,    shuffle::Swap<Reg256, 8>,
    shuffle::Lookup<Reg256, 8>, shuffle::Lookup<Reg256, 16>, flpt::IeeeToIbm32Loop<32>,
    flpt::IbmToIeee32Loop<32>,  flpt::IeeeToIbm64Loop<32>,   flpt::IbmToIeee64Loop<32>,
};

}  // namespace

namespace qz::detail::tra::avx2 {

const Kernels& Loops() {
  return kLoops;
}

}  // namespace qz::detail::tra::avx2

#endif  // __AVX2__
