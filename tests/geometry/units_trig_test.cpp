// Unit factors, the whole-degree table, point rotation and the byte order.
#include "geometry_test.h"

namespace {

TEST(Units, EachCodeConvertsByItsFactorAndUnknownCodesAsInches) {
  // Units per inch, written where possible as the fraction they stand for;
  // kilometres use the literal, not 25.4 / 1000000 (a different double).
  const double per_inch[12] = {1,      1,        25.4, 1,     1.0 / 12, 1.0 / 63360,
                               0.0254, 2.54e-05, 1000, 25400, 2.54,     1e6};
  for (std::int32_t code = 0; code < 12; ++code) {
    EXPECT_EQ(utl_inches_to_units(3.0, code), 3.0 * per_inch[code]) << code;
    EXPECT_EQ(utl_units_to_inches(3.0, code), 3.0 / per_inch[code]) << code;
  }
  for (std::int32_t code : {-1, 12, INT32_MIN, INT32_MAX})
    EXPECT_EQ(utl_inches_to_units(7.5, code) + utl_units_to_inches(7.5, code), 15.0) << code;
}

// sin or cos of 0..90 whole degrees from the table for 0..45, computed here:
// the mathematical value rounded to six decimals, except the two historical
// sine entries.
double TableEntry(bool sine, int d) {
  if (d > 45) return TableEntry(!sine, 90 - d);
  if (sine && (d == 2 || d == 4)) return d == 2 ? 0.0349 : 0.069757;
  const double a = d * qz::test::kPi / 180.0;
  return std::round((sine ? std::sin(a) : std::cos(a)) * 1e6) / 1e6;
}

TEST(Trig, WholeDegreesComeFromTheTableBySymmetryAndRotatePoints) {
  for (std::int64_t i = -1102; i <= 1100; ++i) {
    const std::int64_t deg = i == -1102 ? INT32_MIN : i == -1101 ? INT32_MAX : i;
    const int r = static_cast<int>(((deg % 360) + 360) % 360);
    const int m = r % 180 > 90 ? 180 - r % 180 : r % 180;  // |sin r| = sin m, |cos r| = cos m
    const double s = (r > 180 ? -1 : 1) * TableEntry(true, m),
                 c = (r > 90 && r < 270 ? -1 : 1) * TableEntry(false, m);
    double got_s = 9, got_c = 9;
    drw_get_trig(static_cast<std::int32_t>(deg), &got_s, &got_c);
    EXPECT_EQ(std::make_pair(got_s, got_c), std::make_pair(s, c)) << deg;
  }
  // Rotation about a centre that may be the point itself.
  RealPtT centre{1, 1}, p{2, 1};
  utl_rotate_point(&centre, &p, 1.0, 0.0);
  EXPECT_EQ(std::make_pair(p.x, p.y), std::make_pair(1.0, 2.0));
  utl_rotate_point(&p, &p, 0.6, 0.8);
  EXPECT_EQ(std::make_pair(p.x, p.y), std::make_pair(1.0, 2.0));
  EXPECT_EQ(utl_is_little_endian() + UtlByteOrderIsIntel(), 2);
}

}  // namespace
