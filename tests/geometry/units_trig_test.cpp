// Unit factors, the whole-degree table and point rotation.
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "qzutil/geometry/byte_order.h"
#include "qzutil/geometry/trig.h"
#include "qzutil/geometry/units.h"

namespace {

TEST(Units, EachCodeConvertsByItsFactorAndUnknownCodesAsInches) {
  // Units per inch, written where possible as the fraction they stand for;
  // kilometres use the literal, not 25.4 / 1000000 (a different double).
  const double per_inch[12] = {1,      1,        25.4, 1,     1.0 / 12, 1.0 / 63360,
                               0.0254, 2.54e-05, 1000, 25400, 2.54,     1e6};
  ASSERT_NE(2.54e-05, 25.4 / 1000000.0);
  for (std::int32_t code = 0; code < 12; ++code) {
    EXPECT_EQ(utl_inches_to_units(3.0, code), 3.0 * per_inch[code]) << code;
    EXPECT_EQ(utl_units_to_inches(3.0, code), 3.0 / per_inch[code]) << code;
  }
  EXPECT_EQ(utl_units_to_inches(25.4, 2), 1.0);
  for (std::int32_t code : {-1, 12, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(utl_inches_to_units(7.5, code) + utl_units_to_inches(7.5, code), 15.0) << code;
  }
}

// The table entry for 0..45 degrees, computed here: the mathematical value
// rounded to six decimals, except the two historical sine entries.
double TableEntry(bool sine, int d) {
  if (sine && (d == 2 || d == 4)) return d == 2 ? 0.0349 : 0.069757;
  const double a = d * std::numbers::pi / 180.0;
  return std::round((sine ? std::sin(a) : std::cos(a)) * 1e6) / 1e6;
}

TEST(Trig, EveryWholeDegreeComesFromTheTableBySymmetry) {
  std::vector<std::int64_t> angles{INT32_MIN, INT32_MAX};
  for (std::int64_t deg = -1100; deg <= 1100; ++deg)
    angles.push_back(deg);
  for (const std::int64_t deg : angles) {
    const int r = static_cast<int>(((deg % 360) + 360) % 360);
    const int m = r % 180 > 90 ? 180 - r % 180 : r % 180;  // |sin r| = sin m, |cos r| = cos m
    const double s =
        (r > 180 ? -1 : 1) * (m <= 45 ? TableEntry(true, m) : TableEntry(false, 90 - m));
    const double c =
        (r > 90 && r < 270 ? -1 : 1) * (m <= 45 ? TableEntry(false, m) : TableEntry(true, 90 - m));
    double got_s = 9, got_c = 9;
    drw_get_trig(static_cast<std::int32_t>(deg), &got_s, &got_c);
    EXPECT_EQ(got_s, s) << deg;
    EXPECT_EQ(got_c, c) << deg;
  }
}

TEST(Trig, RotatesAboutACentreThatMayBeThePointItself) {
  RealPtT centre{1, 1}, p{2, 1};
  utl_rotate_point(&centre, &p, 1.0, 0.0);
  EXPECT_EQ(p.x, 1.0);
  EXPECT_EQ(p.y, 2.0);
  utl_rotate_point(&p, &p, 0.6, 0.8);
  EXPECT_EQ(p.x, 1.0);
  EXPECT_EQ(p.y, 2.0);
  EXPECT_EQ(utl_is_little_endian() + UtlByteOrderIsIntel(), 2);
}

}  // namespace
