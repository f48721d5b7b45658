// Compares the C view of the public records and constants with the C++ one,
// and checks that calls made from C code reach the library with the same
// records the C++ classes use.
#include <gtest/gtest.h>

#include "c_view_facts.h"

namespace {

#define QZ_AS_VALUE(fact) static_cast<long long>(fact),
#define QZ_AS_NAME(fact) #fact,

TEST(CView, RecordsAndConstantsMatchTheCxxDeclarations) {
  const long long expected[] = {QZ_C_VIEW_FACTS(QZ_AS_VALUE)};
  const char* const names[] = {QZ_C_VIEW_FACTS(QZ_AS_NAME)};
  int count = 0;
  const long long* seen = qz_c_view_facts(&count);
  ASSERT_EQ(static_cast<size_t>(count), sizeof expected / sizeof expected[0]);
  for (int i = 0; i < count; ++i)
    EXPECT_EQ(seen[i], expected[i]) << names[i];
}

TEST(CView, CallsFromCFillAndReadTheCxxRecords) {
  // Mirrored and turned, so that every field and the reflection word differ
  // from their neighbours.
  Mtx2D from_c;
  qz_c_set_xfm(1.5, -2.0, Mtx2DRot90ReflectX, 2.0, 3.0, 7.0, 11.0, &from_c);
  const Mtx2D cxx(1.5, -2.0, Mtx2DRot90ReflectX, 2.0, 3.0, 7.0, 11.0);
  EXPECT_EQ(from_c != cxx, 0);
  EXPECT_EQ(from_c.reflectFlags, cxx.reflectFlags);
  EXPECT_EQ(from_c.type, cxx.type);
  const std::int32_t entries[] = {0, 0, 0, 250, 10, 10, 10, 250, 10, 10, 10, 250};
  ColorMap map(4, 255, entries);
  const ColorRGB greenish = {20, 240, 0};
  std::int32_t distance_c = -2, distance_cxx = -2;
  EXPECT_EQ(map.GetClosestColor(&greenish, &distance_cxx), 2);
  EXPECT_EQ(qz_c_closest(&map, 20, 240, 0, &distance_c), 2);
  EXPECT_EQ(distance_c, distance_cxx);
}

}  // namespace
