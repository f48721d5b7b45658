// Internal: the loops behind the translation functions and the choice of
// instruction set they run with. Not installed.
//
// Every loop reads n elements at src and writes them at dst; src may equal
// dst (each block is loaded completely before it is stored), but partially
// overlapping buffers are not supported. All forms give bit-identical
// results: the fastest that the build contains and the processor supports is
// used unless a test or a benchmark chooses another.
#ifndef QZUTIL_TRANSLATE_TRA_KERNELS_H
#define QZUTIL_TRANSLATE_TRA_KERNELS_H

#include <cstddef>

namespace qz::detail::tra {

using Loop = void (*)(std::size_t n, const unsigned char* src, unsigned char* dst);
// A byte loop through a 256-entry table.
using TableLoop = void (*)(const unsigned char* table, std::size_t n, const unsigned char* src,
                           unsigned char* dst);

struct Kernels {
  Loop swap2, swap4, swap8;  // byte reversal of 2-, 4- and 8-byte elements
  // Table lookup where table[b] == table[b & 0x7F] for every b, and a general one.
  TableLoop lookup_low_half, lookup;
  Loop ieee_to_ibm32, ibm_to_ieee32, ieee_to_ibm64, ibm_to_ieee64;
};

// Each set contains the ones before it; kAvx512 adds the AVX-512 VBMI table
// lookup to kAvx2.
enum class KernelSet { kPortable, kSse2, kSsse3, kAvx2, kAvx512 };

// True when this build contains `set` and this processor can run it.
bool KernelSetAvailable(KernelSet set);

// Test seam: the translation loops run with `set`, which must be available
// (otherwise nothing changes). Not thread-safe; tests and benchmarks only.
void UseKernelSet(KernelSet set);

// Restores the automatic choice.
void UseBestKernelSet();

KernelSet ActiveKernelSet();
const Kernels& ActiveKernels();

// The loops of each instruction set, defined in their own translation units.
// A set fills only what it does better than the one below it (null members);
// the selection completes it from there.
namespace portable {
const Kernels& Loops();
}
namespace sse2 {
const Kernels& Loops();
}
namespace ssse3 {
const Kernels& Loops();
}
namespace avx2 {
const Kernels& Loops();
}
namespace avx512 {
const Kernels& Loops();
}

}  // namespace qz::detail::tra

#endif  // QZUTIL_TRANSLATE_TRA_KERNELS_H
