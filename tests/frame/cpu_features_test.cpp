#include "qzutil/frame/cpu_features.h"

#include <gtest/gtest.h>

namespace qz::detail {
namespace {

enum class Fake { kSlow, kMid, kFast };

int g_best_calls = 0;
bool FakeAvailable(Fake set) {
  return set != Fake::kFast;
}
Fake FakeBest() {
  ++g_best_calls;
  return Fake::kMid;
}

constinit KernelChoice<Fake, FakeAvailable, FakeBest> g_fake;

TEST(KernelChoice, OverridesOnlyWithAvailableSetsAndProbesOnce) {
  EXPECT_EQ(g_fake.Active(), Fake::kMid);
  g_fake.Use(Fake::kSlow);
  EXPECT_EQ(g_fake.Active(), Fake::kSlow);
  g_fake.Use(Fake::kFast);  // not available: the previous choice stays
  EXPECT_EQ(g_fake.Active(), Fake::kSlow);
  g_fake.UseBest();
  EXPECT_EQ(g_fake.Active(), Fake::kMid);
  EXPECT_EQ(g_best_calls, 1);
}

// Every processor with a wider set has the narrower ones it builds on.
TEST(CpuSupports, WiderFeaturesImplyNarrowerOnes) {
  const bool avx512 = CpuSupports(CpuFeature::kAvx512Vbmi);
  const bool avx512bw = CpuSupports(CpuFeature::kAvx512Bw);
  const bool avx2 = CpuSupports(CpuFeature::kAvx2);
  const bool avx = CpuSupports(CpuFeature::kAvx);
  const bool ssse3 = CpuSupports(CpuFeature::kSsse3);
  EXPECT_TRUE(!avx512 || avx512bw);
  EXPECT_TRUE(!avx512bw || avx2);
  EXPECT_TRUE(!avx2 || avx);
  EXPECT_TRUE(!avx || ssse3);
}

}  // namespace
}  // namespace qz::detail
