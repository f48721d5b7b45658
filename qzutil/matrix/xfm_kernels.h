// Internal: the device rounding rule and the choice between the portable and
// the vectorised point loops. Not installed.
#ifndef QZUTIL_MATRIX_XFM_KERNELS_H
#define QZUTIL_MATRIX_XFM_KERNELS_H

#include <cmath>
#include <cstdint>

// Whether this build targets SSE2 (every x86-64 build does).
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define QZUTIL_HAVE_SSE2 1
#include <emmintrin.h>
#else
#define QZUTIL_HAVE_SSE2 0
#endif

namespace qz::detail {

// Round half away from zero: trunc(v - 0.5) for v < 0, trunc(v + 0.5)
// otherwise. Adding copysign(0.5, v) is the same operation without a branch
// (for v = -0.0 both give 0). A result outside the signed 32-bit range, and
// NaN, give INT32_MIN, exactly what the SSE2 conversion produces, so the
// portable and vectorised paths agree on every input.
inline std::int32_t RoundToDevice(double v) {
  const double r = v + std::copysign(0.5, v);
  // Choosing the double before converting keeps the conversion defined and
  // lets the compiler select without a branch. False for NaN.
  const bool in_range = r > -2147483649.0 && r < 2147483648.0;
  return static_cast<std::int32_t>(in_range ? r : -2147483648.0);
}

// The instruction sets the point-list and point-set loops exist for. All
// give bit-identical results; the fastest one that the build contains and
// the processor supports is used unless a test chooses another.
enum class KernelSet { kPortable, kSse2, kAvx };

// True when this build contains `set` and this processor can run it.
bool KernelSetAvailable(KernelSet set);

// Test seam: runs the list and set transforms with `set`, which must be
// available. Not thread-safe; tests and benchmarks only.
void UseKernelSet(KernelSet set);

// Restores the automatic choice.
void UseBestKernelSet();

KernelSet ActiveKernelSet();

}  // namespace qz::detail

#endif  // QZUTIL_MATRIX_XFM_KERNELS_H
