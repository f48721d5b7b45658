// The processor probe. Compiled without any wide code generation flags, so it
// runs on every processor the library loads on.
#include "qzutil/frame/cpu_features.h"

// Every double result must be the one its formula gives, rounded once per
// operation. On 32-bit x86 that holds only with SSE2 scalar arithmetic: x87
// code keeps intermediates at 80 bits. cmake/QzutilOptions.cmake adds the
// flags; a build made some other way stops here rather than drift.
#if defined(__i386__) && (defined(__GNUC__) || defined(__clang__)) && !defined(__SSE2_MATH__)
#error "32-bit x86 builds of qzutil need SSE2 arithmetic: compile with -msse2 -mfpmath=sse"
#endif
#if defined(_M_IX86) && (!defined(_M_IX86_FP) || _M_IX86_FP < 2)
#error "32-bit x86 builds of qzutil need SSE2 arithmetic: compile with /arch:SSE2"
#endif

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define QZUTIL_HAVE_CPU_PROBE 1
#else
#define QZUTIL_HAVE_CPU_PROBE 0
#endif

namespace qz::detail {

bool CpuSupports(CpuFeature feature) {
#if QZUTIL_HAVE_CPU_PROBE
  __builtin_cpu_init();
  switch (feature) {
    case CpuFeature::kSsse3:
      return __builtin_cpu_supports("ssse3") != 0;
    case CpuFeature::kAvx:
      return __builtin_cpu_supports("avx") != 0;
    case CpuFeature::kAvx2:
      return __builtin_cpu_supports("avx2") != 0;
    case CpuFeature::kAvx512Bw:
      return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0;
    case CpuFeature::kAvx512Vbmi:
      return __builtin_cpu_supports("avx512bw") != 0 && __builtin_cpu_supports("avx512vbmi") != 0;
  }
  return false;
#else
  (void)feature;
  return false;
#endif
}

}  // namespace qz::detail
