// The choice of instruction set for the translation loops: the fastest one
// that the build contains and the processor supports, made once on first
// use, unless a test or a benchmark chooses another.
#include "qzutil/frame/cpu_features.h"
#include "qzutil/translate/tra_kernels.h"

// Defined by the build when the SSSE3 and AVX2 loops are compiled in.
#ifndef QZUTIL_HAVE_TRA_SSSE3
#define QZUTIL_HAVE_TRA_SSSE3 0
#endif
#ifndef QZUTIL_HAVE_TRA_AVX2
#define QZUTIL_HAVE_TRA_AVX2 0
#endif
#ifndef QZUTIL_HAVE_TRA_AVX512
#define QZUTIL_HAVE_TRA_AVX512 0
#endif
#if defined(__SSE2__)
#define QZUTIL_HAVE_TRA_SSE2 1
#else
#define QZUTIL_HAVE_TRA_SSE2 0
#endif

namespace qz::detail::tra {
namespace {

// This file itself is compiled without SSSE3, AVX2 or AVX-512.
bool Ssse3Usable() {
  return QZUTIL_HAVE_TRA_SSSE3 != 0 && CpuSupports(CpuFeature::kSsse3);
}

bool Avx2Usable() {
  return QZUTIL_HAVE_TRA_AVX2 != 0 && CpuSupports(CpuFeature::kAvx2);
}

bool Avx512Usable() {
  return QZUTIL_HAVE_TRA_AVX512 != 0 && CpuSupports(CpuFeature::kAvx512Vbmi);
}

// Fills the members that `wider` provides. Unused in a build without vector
// loops (such as 32-bit x86 without SSE2).
[[maybe_unused]] void Overlay(Kernels& k, const Kernels& wider) {
  Loop* const loops[] = {&k.swap2,         &k.swap4,         &k.swap8,        &k.ieee_to_ibm32,
                         &k.ibm_to_ieee32, &k.ieee_to_ibm64, &k.ibm_to_ieee64};
  const Loop wider_loops[] = {wider.swap2,         wider.swap4,         wider.swap8,
                              wider.ieee_to_ibm32, wider.ibm_to_ieee32, wider.ieee_to_ibm64,
                              wider.ibm_to_ieee64};
  for (std::size_t i = 0; i < sizeof loops / sizeof loops[0]; ++i) {
    if (wider_loops[i] != nullptr) *loops[i] = wider_loops[i];
  }
  if (wider.lookup_low_half != nullptr) k.lookup_low_half = wider.lookup_low_half;
  if (wider.lookup != nullptr) k.lookup = wider.lookup;
}

// Each set is the one below it with the loops it does better.
Kernels Compose([[maybe_unused]] KernelSet set) {
  Kernels k = portable::Loops();
#if QZUTIL_HAVE_TRA_SSE2
  if (set != KernelSet::kPortable) Overlay(k, sse2::Loops());
#endif
#if QZUTIL_HAVE_TRA_SSSE3
  if (set >= KernelSet::kSsse3) Overlay(k, ssse3::Loops());
#endif
#if QZUTIL_HAVE_TRA_AVX2
  if (set >= KernelSet::kAvx2) Overlay(k, avx2::Loops());
#endif
#if QZUTIL_HAVE_TRA_AVX512
  if (set == KernelSet::kAvx512) Overlay(k, avx512::Loops());
#endif
  return k;
}

const Kernels& KernelsOf(KernelSet set) {
  static const Kernels kSets[] = {Compose(KernelSet::kPortable), Compose(KernelSet::kSse2),
                                  Compose(KernelSet::kSsse3), Compose(KernelSet::kAvx2),
                                  Compose(KernelSet::kAvx512)};
  return kSets[static_cast<int>(set)];
}

KernelSet BestKernelSet() {
  if (KernelSetAvailable(KernelSet::kAvx512)) return KernelSet::kAvx512;
  if (KernelSetAvailable(KernelSet::kAvx2)) return KernelSet::kAvx2;
  if (KernelSetAvailable(KernelSet::kSsse3)) return KernelSet::kSsse3;
  if (KernelSetAvailable(KernelSet::kSse2)) return KernelSet::kSse2;
  return KernelSet::kPortable;
}

constinit KernelChoice<KernelSet, KernelSetAvailable, BestKernelSet> g_choice;

}  // namespace

bool KernelSetAvailable(KernelSet set) {
  switch (set) {
    case KernelSet::kPortable:
      return true;
    case KernelSet::kSse2:
      return QZUTIL_HAVE_TRA_SSE2 != 0;
    case KernelSet::kSsse3: {
      static const bool usable = QZUTIL_HAVE_TRA_SSE2 != 0 && Ssse3Usable();
      return usable;
    }
    case KernelSet::kAvx2: {
      static const bool usable = QZUTIL_HAVE_TRA_SSE2 != 0 && Ssse3Usable() && Avx2Usable();
      return usable;
    }
    case KernelSet::kAvx512: {
      static const bool usable = KernelSetAvailable(KernelSet::kAvx2) && Avx512Usable();
      return usable;
    }
  }
  return false;
}

void UseKernelSet(KernelSet set) {
  g_choice.Use(set);
}

void UseBestKernelSet() {
  g_choice.UseBest();
}

KernelSet ActiveKernelSet() {
  return g_choice.Active();
}

const Kernels& ActiveKernels() {
  return KernelsOf(ActiveKernelSet());
}

}  // namespace qz::detail::tra
