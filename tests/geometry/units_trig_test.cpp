// Unit factors, the whole-degree table and point rotation.
#include <cmath>
#include <cstdint>
#include <numbers>

#include <gtest/gtest.h>

#include "qzutil/geometry/byte_order.h"
#include "qzutil/geometry/trig.h"
#include "qzutil/geometry/units.h"

namespace {

TEST(Units, EachCodeConvertsByItsFactorAndUnknownCodesAsInches) {
  // Units per inch, written where possible as the fraction they stand for.
  const double per_inch[12] = {1.0,    1.0,      25.4,   1.0,     1.0 / 12.0, 1.0 / 63360.0,
                               0.0254, 2.54e-05, 1000.0, 25400.0, 2.54,       1000000.0};
  for (std::int32_t code = 0; code < 12; ++code) {
    EXPECT_EQ(utl_inches_to_units(3.0, code), 3.0 * per_inch[code]) << code;
    EXPECT_EQ(utl_units_to_inches(3.0, code), 3.0 / per_inch[code]) << code;
  }
  EXPECT_EQ(utl_inches_to_units(1.0, 2), 25.4);
  EXPECT_EQ(utl_units_to_inches(25.4, 2), 1.0);
  // Kilometres use the literal, not the quotient (which is a different double).
  ASSERT_NE(2.54e-05, 25.4 / 1000000.0);
  EXPECT_EQ(utl_inches_to_units(1.0, 7), 2.54e-05);
  for (std::int32_t code : {-1, 12, 1000, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(utl_inches_to_units(7.5, code), 7.5) << code;
    EXPECT_EQ(utl_units_to_inches(7.5, code), 7.5) << code;
  }
}

// The table entry for d = 0..45 degrees, computed here: six-decimal rounding
// of the mathematical value, with the two historical sine entries.
double TableEntry(bool sine, int d) {
  if (sine && d == 2) return 0.0349;
  if (sine && d == 4) return 0.069757;
  const double a = d * std::numbers::pi / 180.0;
  return std::round((sine ? std::sin(a) : std::cos(a)) * 1e6) / 1e6;
}

TEST(Trig, EveryWholeDegreeComesFromTheTableBySymmetry) {
  for (std::int64_t deg = -1100; deg <= 1100; deg += 1) {
    const int r = static_cast<int>(((deg % 360) + 360) % 360);
    int m = r % 180;  // |sin r| = sin m and |cos r| = cos m
    if (m > 90) m = 180 - m;
    const double mag_s = m <= 45 ? TableEntry(true, m) : TableEntry(false, 90 - m);
    const double mag_c = m <= 45 ? TableEntry(false, m) : TableEntry(true, 90 - m);
    const double sign_s = r > 180 ? -1.0 : 1.0;
    const double sign_c = r > 90 && r < 270 ? -1.0 : 1.0;
    double s = 9, c = 9;
    drw_get_trig(static_cast<std::int32_t>(deg), &s, &c);
    EXPECT_EQ(s, sign_s * mag_s) << deg;
    EXPECT_EQ(c, sign_c * mag_c) << deg;
  }
  // Extremes of the argument reduce like any other angle.
  for (std::int64_t deg : {std::int64_t{INT32_MIN}, std::int64_t{INT32_MAX}}) {
    double s1 = 0, c1 = 0, s2 = 1, c2 = 1;
    drw_get_trig(static_cast<std::int32_t>(deg), &s1, &c1);
    drw_get_trig(static_cast<std::int32_t>(((deg % 360) + 360) % 360), &s2, &c2);
    EXPECT_EQ(s1, s2);
    EXPECT_EQ(c1, c2);
  }
  const struct {
    std::int32_t deg;
    double s, c;
  } rows[] = {{-90, -1.0, 0.0},           {450, 1.0, 0.0},        {360, 0.0, 1.0},
              {30, 0.5, 0.866025},        {2, 0.0349, 0.999391},  {200, -0.34202, -0.939693},
              {315, -0.707107, 0.707107}, {44, 0.694658, 0.71934}};
  for (const auto& row : rows) {
    double s = 9, c = 9;
    drw_get_trig(row.deg, &s, &c);
    EXPECT_EQ(s, row.s) << row.deg;
    EXPECT_EQ(c, row.c) << row.deg;
  }
}

TEST(Trig, RotatesAboutACentreEvenWhenTheCentreIsThePoint) {
  RealPtT centre{1, 1}, p{2, 1};
  utl_rotate_point(&centre, &p, 1.0, 0.0);
  EXPECT_EQ(p.x, 1.0);
  EXPECT_EQ(p.y, 2.0);
  utl_rotate_point(&p, &p, 0.6, 0.8);  // a point turned about itself stays put
  EXPECT_EQ(p.x, 1.0);
  EXPECT_EQ(p.y, 2.0);
  RealPtT q{3, 0};
  const RealPtT origin{0, 0};
  utl_rotate_point(&origin, &q, 0.0, 2.0);  // a pair longer than 1 scales as well
  EXPECT_EQ(q.x, 6.0);
}

TEST(ByteOrder, ThisHostIsLittleEndian) {
  EXPECT_EQ(utl_is_little_endian(), 1);
  EXPECT_EQ(UtlByteOrderIsIntel(), 1u);
}

}  // namespace
