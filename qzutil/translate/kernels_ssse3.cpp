// Byte reversal, and the lookup in tables whose upper half repeats the lower
// half, with SSSE3's byte shuffle, 16 bytes a step.
// Compiled with SSSE3 code generation; nothing here runs unless the
// processor was found to support it.
#include "qzutil/translate/tra_kernels.h"

#if defined(__SSSE3__)

#include "qzutil/translate/byte_shuffle.h"

namespace {

using shuffle::Reg128;

constexpr qz::detail::tra::Kernels kLoops = {
    shuffle::Swap<Reg128, 2>,
    shuffle::Swap<Reg128, 4>,
    shuffle::Swap<Reg128, 8>,
    shuffle::Lookup<Reg128, 8>,
    nullptr,  // the 256-entry lookup measured no faster than the portable loop
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

}  // namespace

namespace qz::detail::tra::ssse3 {

const Kernels& Loops() {
  return kLoops;
}

}  // namespace qz::detail::tra::ssse3

#endif  // __SSSE3__
