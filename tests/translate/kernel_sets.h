// Runs a test once per instruction set of the translation loops; sets this
// machine cannot run are skipped.
#ifndef QZUTIL_TESTS_TRANSLATE_KERNEL_SETS_H
#define QZUTIL_TESTS_TRANSLATE_KERNEL_SETS_H

#include <string>

#include <gtest/gtest.h>

#include "qzutil/translate/tra_kernels.h"

namespace qz_test {

using qz::detail::tra::KernelSet;

class EachKernelSet : public ::testing::TestWithParam<KernelSet> {
 protected:
  void SetUp() override {
    if (!qz::detail::tra::KernelSetAvailable(GetParam())) GTEST_SKIP() << "not available here";
    qz::detail::tra::UseKernelSet(GetParam());
  }
  void TearDown() override { qz::detail::tra::UseBestKernelSet(); }
};

inline std::string KernelSetName(const ::testing::TestParamInfo<KernelSet>& info) {
  const char* const names[] = {"Portable", "Sse2", "Ssse3", "Avx2", "Avx512"};
  return names[static_cast<int>(info.param)];
}

#define QZ_INSTANTIATE_FOR_KERNEL_SETS(suite)                                      \
  INSTANTIATE_TEST_SUITE_P(                                                        \
      Kernels, suite,                                                              \
      ::testing::Values(KernelSet::kPortable, KernelSet::kSse2, KernelSet::kSsse3, \
                        KernelSet::kAvx2, KernelSet::kAvx512),                     \
      qz_test::KernelSetName)

}  // namespace qz_test

#endif  // QZUTIL_TESTS_TRANSLATE_KERNEL_SETS_H
