// The data model the interface keeps on every host: pointers as wide as
// std::intptr_t, the records of the frame in the layout of the 32-bit
// Windows ABI on a 32-bit build (and with the pointers widened on a 64-bit
// one), and double arithmetic rounded to double.
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include <gtest/gtest.h>

#include "qzutil/frame/records.h"
#include "qzutil/text/name_info.h"

namespace {

constexpr std::size_t kWord = sizeof(void*);

static_assert(sizeof(std::intptr_t) == kWord, "a machine word holds a pointer exactly");
static_assert(kWord == 4 || kWord == 8);

TEST(DataModel, RecordLayoutsFollowThePointerWidth) {
  struct Layout {
    const char* record;
    std::size_t size, want;
  };
  const Layout layouts[] = {
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
  for (const Layout& l : layouts)
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

// Each operation rounds to double: an intermediate that leaves the double
// range overflows (80-bit x87 registers would hold it and give 1e308 back),
// and 1 + 2^-53 + 2^-53 stays 1 (x87 would carry the halves and round up).
TEST(DataModel, DoubleArithmeticRoundsEveryOperation) {
  static_assert(FLT_EVAL_METHOD == 0, "expressions of type double are evaluated in double");
  volatile double big = 1e308, tiny = 0x1p-53;
  const double back = big * 10.0 / 10.0;
  EXPECT_EQ(back, HUGE_VAL);
  const double sum = 1.0 + tiny + tiny;
  EXPECT_EQ(sum, 1.0);
}

}  // namespace
