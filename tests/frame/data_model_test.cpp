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

TEST(DataModel, RecordLayoutsFollowThePointerWidth) {
  const struct {
    const char* record;
    std::size_t size, want;
  } layouts[] = {
      {"RealPtT", sizeof(RealPtT), 16},
      {"IntPtT", sizeof(IntPtT), 8},
      {"DevSPtT", sizeof(DevSPtT), 4},
      {"RealRectT", sizeof(RealRectT), 64},
      {"IntRectT", sizeof(IntRectT), 32},
      // 12 bytes on 32-bit: count, points, attributes with no padding.
      {"DrwPSetT", sizeof(DrwPSetT), 3 * kWord},
      {"DrwDPSetT", sizeof(DrwDPSetT), 3 * kWord},
      {"DrwPSetT::points", offsetof(DrwPSetT, points), kWord},
      {"DrwPSetT::attributes", offsetof(DrwPSetT, attributes), 2 * kWord},
      {"DrwDPSetT::points", offsetof(DrwDPSetT, points), kWord},
      {"DrwDPSetT::attributes", offsetof(DrwDPSetT, attributes), 2 * kWord},
      {"IntPtT::y", offsetof(IntPtT, y), 4},
      {"DevSPtT::y", offsetof(DevSPtT, y), 2},
      {"RealRectT::corner[3]", offsetof(RealRectT, corner) + 3 * sizeof(RealPtT), 48},
  };
  for (const auto& l : layouts)
    EXPECT_EQ(l.size, l.want) << l.record;
}

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
