// The conic-arc picking distance and extent, which both measure the arc
// through the same sample points.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

#include "conic_shapes.h"
#include "qzutil/geometry/extents.h"
#include "qzutil/geometry/picking.h"

namespace {

constexpr double kPi = std::numbers::pi;

// Distance from the point at `angle` on the unit circle to the unit-circle arc from 0 to `sweep`.
double PickOnUnitCircle(double sweep, double angle) {
  const UtlConicArcT arc{1, 0, 1, 0, 0, -1, {1, 0}, {std::cos(sweep), std::sin(sweep)}, 0};
  const RealPtT p{std::cos(angle), std::sin(angle)};
  return utl_point_conarc(&p, &arc);
}

TEST(ConicSampling, SampleCountsAndSpacing) {
  // Sweep 0.1: 1 + 1 samples raised to 3, so the middle of the arc is one.
  EXPECT_LT(PickOnUnitCircle(0.1, 0.05), 1e-12);
  EXPECT_GT(PickOnUnitCircle(0.1, 0.025), 0.02);
  // A quarter turn: 1 + 18 samples, one every 5 degrees.
  for (int deg = 0; deg <= 90; deg += 5)
    EXPECT_LT(PickOnUnitCircle(kPi / 2, deg * kPi / 180), 1e-12);
  EXPECT_GT(PickOnUnitCircle(kPi / 2, 2.5 * kPi / 180), 0.04);
  // A too-flat ellipse is sampled only at the end of its x' semi-axis.
  const UtlConicArcT flat{1, 0, 40000, 0, 0, -1, {1, 0}, {-1, 0}, 0};
  EXPECT_EQ(utl_point_conarc(&flat.end, &flat), 1.92);
  // A parabola: 40 samples evenly spaced in x, both ends included, none at the vertex.
  const UtlConicArcT arc{1, 0, 0, 0, -1, 0, {-1, 1}, {1, 1}, 0};  // y = x²
  const double gap = 2.0 / 39;
  for (int i = 0; i <= 39; ++i) {
    const double on = -1 + i * gap, off = on - gap / 2;
    const RealPtT sample{on, on * on}, between{off, off * off};
    EXPECT_LT(utl_point_conarc(&sample, &arc), 1e-12) << i;
    EXPECT_GT(utl_point_conarc(&between, &arc), 0.9 * gap / 2) << i;
  }
  RealPtT max{}, min{};
  utl_maxmin_conic(&arc, &max, &min);
  EXPECT_NEAR(max.x, 1.0, 1e-12);  // the last sample carries the step's rounding
  EXPECT_EQ(min.x, -1.0);
  EXPECT_NEAR(min.y, (gap / 2) * (gap / 2), 1e-12);
}

TEST(ConicSampling, LinesAndUndefinedConicsUseTheEndPoints) {
  const RealPtT p{3, 5};
  const UtlConicArcT xy{0, 1, 0, 0, 0, -1, {1, 1}, {4, 0.25}, 0};  // x·y = 1 counts as a line
  EXPECT_EQ(utl_point_conarc(&p, &xy), utl_point_line(&p, &xy.start, &xy.end));
  RealPtT max{}, min{};
  utl_maxmin_conic(&xy, &max, &min);
  EXPECT_EQ(std::make_pair(max.x, max.y), std::make_pair(4.0, 1.0));
  EXPECT_EQ(std::make_pair(min.x, min.y), std::make_pair(1.0, 0.25));
  const UtlConicArcT undefined{
      std::numeric_limits<double>::quiet_NaN(), 0, 1, 0, 0, -1, {1, 1}, {2, 2}, 0};
  EXPECT_EQ(utl_point_conarc(&p, &undefined), 6.022e23);
  utl_maxmin_conic(&undefined, &max, &min);
  EXPECT_EQ(std::make_pair(max.x, min.y), std::make_pair(2.0, 1.0));
}

// Turned elliptic arcs against a dense sampling done here: the box reaches
// the true extent within one sample gap and never beyond it, and the pick
// distance stays in the approximate-distance band, give or take half a gap.
TEST(ConicSampling, EllipticArcsAgainstDenseSampling) {
  std::mt19937_64 rng(9);
  std::uniform_real_distribution<double> u(-20, 20), ang(-kPi, kPi), size(1, 6);
  for (int i = 0; i < 400; ++i) {
    const qz::test::Shape s{ang(rng), u(rng), u(rng)};
    const double a = size(rng), b = size(rng), u1 = ang(rng), sweep = 0.05 + 0.69 * (i % 10);
    const auto at = [&](int k) {
      return s.World(a * std::cos(u1 + sweep * k / 4000), b * std::sin(u1 + sweep * k / 4000));
    };
    UtlConicArcT arc = s.Arc(1 / (a * a), 1 / (b * b), 0, -1);
    arc.clockwise = static_cast<short>(i % 2);
    arc.start = at(arc.clockwise ? 4000 : 0);
    arc.end = at(arc.clockwise ? 0 : 4000);
    const double gap = std::max(a, b) * 0.09, fine = std::max(a, b) * sweep / 4000;
    RealPtT hi = arc.start, lo = arc.start, max{}, min{};
    const RealPtT pick[3] = {{u(rng), u(rng)}, {u(rng), u(rng)}, at(1234)};
    double exact[3] = {1e300, 1e300, 1e300};
    for (int k = 0; k <= 4000; ++k) {
      const RealPtT q = at(k);
      hi = {std::max(hi.x, q.x), std::max(hi.y, q.y)};
      lo = {std::min(lo.x, q.x), std::min(lo.y, q.y)};
      for (int j = 0; j < 3; ++j)
        exact[j] = std::min(exact[j], std::hypot(pick[j].x - q.x, pick[j].y - q.y));
    }
    utl_maxmin_conic(&arc, &max, &min);
    EXPECT_TRUE(max.x <= hi.x + fine && max.y <= hi.y + fine && min.x >= lo.x - fine &&
                min.y >= lo.y - fine)
        << i;
    EXPECT_TRUE(max.x >= hi.x - gap && max.y >= hi.y - gap && min.x <= lo.x + gap &&
                min.y <= lo.y + gap)
        << i;
    for (int j = 0; j < 3; ++j) {
      const double d = utl_point_conarc(&pick[j], &arc);
      EXPECT_GE(d, 0.96 * (exact[j] - fine)) << i;
      EXPECT_LE(d, 1.03924 * (exact[j] + gap / 2)) << i;
    }
  }
}

}  // namespace
