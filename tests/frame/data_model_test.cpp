// The data model on every host: records in the 32-bit Windows layout, with
// pointers widened on 64-bit builds, and double arithmetic rounded to double.
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include <gtest/gtest.h>

#include "qzutil/frame/records.h"
#include "qzutil/text/name_info.h"

namespace {

constexpr std::size_t kWord = sizeof(void*);

static_assert(sizeof(std::intptr_t) == kWord && (kWord == 4 || kWord == 8));
// The header fixes the sizes; the field order is fixed here. On 32-bit a
// point set is count, points, attributes with no padding.
static_assert(offsetof(DrwPSetT, points) == kWord && offsetof(DrwPSetT, attributes) == 2 * kWord);
static_assert(offsetof(DrwDPSetT, points) == kWord && offsetof(DrwDPSetT, attributes) == 2 * kWord);
static_assert(offsetof(IntPtT, y) == 4 && offsetof(DevSPtT, y) == 2);

TEST(DataModel, NameInfoWordCarriesAPointer) {
  int target = 0;
  const auto word = reinterpret_cast<std::intptr_t>(&target);
  VarListEntryT* head = nullptr;
  ASSERT_STREQ(VarAddNameInfo(&head, "p", word), "p");
  EXPECT_EQ(reinterpret_cast<int*>(VarListInfo(head)), &target);
  EXPECT_EQ(VarDeleteNameInfo(&head, "p"), word);
  EXPECT_EQ(head, nullptr);
}

// Each operation rounds to double (80-bit x87 registers would give 1e308
// back, and carry the two halves of 1 + 2^-53 + 2^-53 into a rounding up).
TEST(DataModel, DoubleArithmeticRoundsEveryOperation) {
  static_assert(FLT_EVAL_METHOD == 0);
  volatile double big = 1e308, tiny = 0x1p-53;
  EXPECT_EQ(big * 10.0 / 10.0, HUGE_VAL);
  EXPECT_EQ(1.0 + tiny + tiny, 1.0);
}

}  // namespace
