// The processor probe. Compiled without any wide code generation flags, so it
// runs on every processor the library loads on.
#include "qzutil/frame/cpu_features.h"

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
