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

UtlConicArcT UnitCircleArc(double from, double to) {
  UtlConicArcT arc{
      1, 0, 1, 0, 0, -1, {std::cos(from), std::sin(from)}, {std::cos(to), std::sin(to)}, 0};
  return arc;
}

double PickOnUnitCircle(const UtlConicArcT& arc, double angle) {
  const RealPtT p{std::cos(angle), std::sin(angle)};
  return utl_point_conarc(&p, &arc);
}

TEST(ConicSampling, SampleCountsFollowTheSweep) {
  // Sweep 0.1: 1 + 1 samples raised to 3, so the middle of the arc is one.
  const UtlConicArcT short_arc = UnitCircleArc(0, 0.1);
  EXPECT_LT(PickOnUnitCircle(short_arc, 0.05), 1e-12);
  EXPECT_GT(PickOnUnitCircle(short_arc, 0.025), 0.02);
  // A quarter turn: 1 + 18 samples, one every 5 degrees.
  const UtlConicArcT quarter = UnitCircleArc(0, kPi / 2);
  for (int deg = 0; deg <= 90; deg += 5)
    EXPECT_LT(PickOnUnitCircle(quarter, deg * kPi / 180), 1e-12);
  EXPECT_GT(PickOnUnitCircle(quarter, 2.5 * kPi / 180), 0.04);
  // A too-flat ellipse is sampled only at the end of its x' semi-axis.
  const UtlConicArcT flat{1, 0, 40000, 0, 0, -1, {1, 0}, {-1, 0}, 0};
  const RealPtT far_end{-1, 0};
  EXPECT_EQ(utl_point_conarc(&far_end, &flat), 1.92);
}

TEST(ConicSampling, OpenConicsTakeFortySamplesIncludingBothEnds) {
  const UtlConicArcT arc{1, 0, 0, 0, -1, 0, {-1, 1}, {1, 1}, 0};  // y = x²
  const double gap = 2.0 / 39;
  for (int i = 0; i < 39; ++i) {
    const double on = -1 + i * gap, between = on + gap / 2;
    const RealPtT sample{on, on * on}, mid{between, between * between};
    EXPECT_LT(utl_point_conarc(&sample, &arc), 1e-12) << i;
    EXPECT_GT(utl_point_conarc(&mid, &arc), 0.9 * gap / 2) << i;
  }
  EXPECT_LT(utl_point_conarc(&arc.end, &arc), 1e-12);
  RealPtT max{}, min{};
  utl_maxmin_conic(&arc, &max, &min);
  EXPECT_NEAR(max.x, 1.0, 1e-12);  // the last sample carries the step's rounding
  EXPECT_NEAR(max.y, 1.0, 1e-12);
  EXPECT_EQ(min.x, -1.0);
  EXPECT_NEAR(min.y, (gap / 2) * (gap / 2), 1e-12);  // no sample at the vertex
}

TEST(ConicSampling, LinesAndUndefinedConics) {
  const RealPtT p{3, 5};
  const UtlConicArcT xy{0, 1, 0, 0, 0, -1, {1, 1}, {4, 0.25}, 0};  // x·y = 1 counts as a line
  EXPECT_EQ(utl_point_conarc(&p, &xy), utl_point_line(&p, &xy.start, &xy.end));
  RealPtT max{}, min{};
  utl_maxmin_conic(&xy, &max, &min);
  EXPECT_EQ(max.x, 4.0);
  EXPECT_EQ(max.y, 1.0);
  EXPECT_EQ(min.x, 1.0);
  EXPECT_EQ(min.y, 0.25);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const UtlConicArcT undefined{nan, 0, 1, 0, 0, -1, {1, 1}, {2, 2}, 0};
  EXPECT_EQ(utl_point_conarc(&p, &undefined), 6.022e23);
  utl_maxmin_conic(&undefined, &max, &min);
  EXPECT_EQ(max.x, 2.0);
  EXPECT_EQ(min.y, 1.0);
}

// Generated elliptic arcs against a dense sampling of the same arc done here:
// the pick distance lies in the approximate-distance band around the true
// distance, give or take half a sample gap, and the box holds the end points
// and reaches the arc's true extent within one sample gap.
TEST(ConicSampling, EllipticArcsAgainstDenseSampling) {
  std::mt19937_64 rng(9);
  std::uniform_real_distribution<double> u(-20, 20), ang(-kPi, kPi), size(1, 6);
  for (int i = 0; i < 400; ++i) {
    const qz::test::Shape s{ang(rng), u(rng), u(rng)};
    const double a = size(rng), b = size(rng), u1 = ang(rng);
    const double sweep = 0.05 + (2 * kPi - 0.1) * (i % 10) / 9.0;
    UtlConicArcT arc = s.Arc(1 / (a * a), 0, 1 / (b * b), 0, 0, -1);
    const bool cw = i % 2 == 1;
    const auto at = [&](double t) { return s.World(a * std::cos(t), b * std::sin(t)); };
    arc.start = at(cw ? u1 + sweep : u1);
    arc.end = at(cw ? u1 : u1 + sweep);
    arc.clockwise = cw ? 1 : 0;
    const double gap = std::max(a, b) * 0.09;           // between two of the library's samples
    const double fine = std::max(a, b) * sweep / 4000;  // between two of ours
    RealPtT hi{-1e300, -1e300}, lo{1e300, 1e300};
    for (int k = 0; k <= 4000; ++k) {
      const RealPtT q = at(u1 + sweep * k / 4000);
      hi = {std::max(hi.x, q.x), std::max(hi.y, q.y)};
      lo = {std::min(lo.x, q.x), std::min(lo.y, q.y)};
    }
    RealPtT max{}, min{};
    utl_maxmin_conic(&arc, &max, &min);
    EXPECT_GE(max.x, std::max(arc.start.x, arc.end.x));
    EXPECT_LE(min.y, std::min(arc.start.y, arc.end.y));
    EXPECT_LE(max.x, hi.x + fine);
    EXPECT_GE(max.x, hi.x - gap);
    EXPECT_GE(min.x, lo.x - fine);
    EXPECT_LE(min.x, lo.x + gap);
    EXPECT_LE(max.y, hi.y + fine);
    EXPECT_GE(min.y, lo.y - fine);
    for (int j = 0; j < 5; ++j) {
      const RealPtT p{u(rng), u(rng)};
      double exact = 1e300;
      for (int k = 0; k <= 4000; ++k) {
        const RealPtT q = at(u1 + sweep * k / 4000);
        exact = std::min(exact, std::hypot(p.x - q.x, p.y - q.y));
      }
      const double d = utl_point_conarc(&p, &arc);
      EXPECT_GE(d, 0.96 * (exact - fine)) << i;
      EXPECT_LE(d, 1.03924 * (exact + gap / 2)) << i;
    }
  }
}

}  // namespace
