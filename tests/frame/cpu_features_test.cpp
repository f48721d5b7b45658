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
  return ++g_best_calls, Fake::kMid;
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

// Every processor with a wider set has the narrower one it builds on (the
// enumeration lists each set right after the one it extends).
TEST(CpuSupports, WiderFeaturesImplyNarrowerOnes) {
  for (int i = 1; i <= static_cast<int>(CpuFeature::kAvx512Vbmi); ++i)
    EXPECT_TRUE(!CpuSupports(CpuFeature(i)) || CpuSupports(CpuFeature(i - 1))) << i;
}

}  // namespace
}  // namespace qz::detail
