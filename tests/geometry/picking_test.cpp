// Picking distances: the documented values, and generated segments, boxes and
// arcs against distances computed here.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

#include "qzutil/geometry/picking.h"

namespace {

constexpr double kPi = std::numbers::pi;

// The approximate distance lies between 0.96 and √(0.96² + 0.398²) ≈ 1.0393
// times the Euclidean length.
void ExpectWithinApproxBand(double approx, double exact) {
  EXPECT_GE(approx, 0.96 * exact - 1e-9);
  EXPECT_LE(approx, 1.03924 * exact + 1e-9);
}

TEST(Picking, DocumentedDistances) {
  const RealPtT o{0, 0}, p30{3, 0}, p34{3, 4}, x10{10, 0};
  EXPECT_EQ(utl_point_point(&o, &p30), 2.88);
  EXPECT_EQ(utl_point_point(&o, &p34), 0.96 * 4 + 0.398 * 3);
  EXPECT_EQ(utl_point_point(&p34, &p34), 0.0);
  const RealPtT a{5, 1}, b{-3, 0};
  EXPECT_EQ(utl_point_line(&a, &o, &x10), 0.96);
  EXPECT_EQ(utl_point_line(&a, &x10, &o), 0.96);
  EXPECT_EQ(utl_point_line(&b, &o, &x10), 2.88);
  EXPECT_EQ(utl_point_line(&b, &x10, &o), 2.88);
  const RealPtT v1{2, 0}, v2{2, 4}, above{2, 6}, d2{2, 2}, q{0, 2};
  EXPECT_EQ(utl_point_line(&above, &v1, &v2), 1.92);
  EXPECT_EQ(utl_point_line(&above, &v2, &v1), 1.92);
  EXPECT_EQ(utl_point_line(&q, &v1, &v1), utl_point_point(&q, &v1));
  EXPECT_EQ(utl_point_line(&q, &o, &d2), 0.96 + 0.398);
  EXPECT_EQ(utl_point_circle(&p34, &o, 2.0), 3.0);
  EXPECT_EQ(utl_point_circle(&o, &o, 2.0), 2.0);
}

TEST(Picking, SegmentDistanceTracksTheEuclideanDistance) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> u(-50, 50);
  std::uniform_int_distribution<int> shape(0, 3);
  for (int i = 0; i < 20000; ++i) {
    RealPtT e1{u(rng), u(rng)}, e2{u(rng), u(rng)};
    const int s = shape(rng);
    if (s == 0) e2.x = e1.x;  // vertical
    if (s == 1) e2.y = e1.y;  // horizontal
    if (s == 2 && i % 8 == 0) e2 = e1;
    const RealPtT p{u(rng), u(rng)};
    const double dx = e2.x - e1.x, dy = e2.y - e1.y, len2 = dx * dx + dy * dy;
    const double t =
        len2 == 0 ? 0 : std::clamp(((p.x - e1.x) * dx + (p.y - e1.y) * dy) / len2, 0.0, 1.0);
    const double exact = std::hypot(p.x - (e1.x + t * dx), p.y - (e1.y + t * dy));
    const double d = utl_point_line(&p, &e1, &e2);
    ExpectWithinApproxBand(d, exact);
    EXPECT_EQ(d, utl_point_line(&p, &e2, &e1));  // the ends are ordered first
  }
}

TEST(Picking, BoxIsZeroInsideAndMeasuresBeyondEachSide) {
  const RealRectT box{{{0, 0}, {4, 0}, {0, 2}, {4, 2}}};  // row order
  const RealPtT right{6, 1}, top{2, 5};
  EXPECT_EQ(utl_point_box(&right, &box), 1.92);
  EXPECT_EQ(utl_point_box(&top, &box), 2.88);
  // Dyadic corners and points keep every midpoint exact, so points on the
  // outline give exactly 0.
  std::mt19937_64 rng(3);
  std::uniform_int_distribution<int> u(-160, 160), w(4, 80);
  for (int i = 0; i < 5000; ++i) {
    const double x0 = u(rng) / 8.0, y0 = u(rng) / 8.0, x1 = x0 + w(rng) / 8.0,
                 y1 = y0 + w(rng) / 8.0;
    const RealRectT b{{{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}}};
    const RealPtT in{x0 + (x1 - x0) * (i % 9) / 8.0, y0 + (y1 - y0) * (i % 5) / 4.0};
    EXPECT_EQ(utl_point_box(&in, &b), 0.0);
    const double gap = w(rng) / 3.0;
    const RealPtT left{x0 - gap, in.y}, below{in.x, y0 - gap};
    EXPECT_NEAR(utl_point_box(&left, &b), 0.96 * gap, 1e-9);
    EXPECT_NEAR(utl_point_box(&below, &b), 0.96 * gap, 1e-9);
  }
}

TEST(Picking, CircularArcDocumentedCases) {
  const RealPtT c{0, 0}, e1{1, 0}, e2{0, 1}, in{2, 2}, out{0, -2};
  EXPECT_DOUBLE_EQ(utl_point_circarc(&in, &c, 1, &e1, &e2, 0), 2 * std::sqrt(2.0) - 1);
  EXPECT_EQ(utl_point_circarc(&out, &c, 1, &e1, &e2, 0), 0.96 * 2 + 0.398);
  EXPECT_EQ(utl_point_circarc(&in, &c, 1, &e1, &e2, 1), 0.96 * 2 + 0.398);
  const RealPtT on_from{3, 0};  // at the from-point's angle: inside, bounds inclusive
  EXPECT_EQ(utl_point_circarc(&on_from, &c, 1, &e1, &e2, 0), 2.0);
  const RealPtT on_to{0, 3};
  EXPECT_EQ(utl_point_circarc(&on_to, &c, 1, &e1, &e2, 0), 2.0);
  // Equal end angles: a zero sweep, measured to the end point elsewhere.
  EXPECT_EQ(utl_point_circarc(&in, &c, 1, &e1, &e1, 0), utl_point_point(&in, &e1));
}

TEST(Picking, CircularArcAgreesWithAnIndependentSweepTest) {
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> u(-10, 10), ang(-kPi, kPi), rad(0.5, 5);
  for (int i = 0; i < 20000; ++i) {
    const RealPtT c{u(rng), u(rng)};
    const double r = rad(rng), a1 = ang(rng), a2 = ang(rng), ap = ang(rng);
    const short dir = static_cast<short>(i % 2);
    const RealPtT e1{c.x + r * std::cos(a1), c.y + r * std::sin(a1)};
    const RealPtT e2{c.x + r * std::cos(a2), c.y + r * std::sin(a2)};
    const double dist = r * (0.2 + 2 * (i % 5) / 4.0);
    const RealPtT p{c.x + dist * std::cos(ap), c.y + dist * std::sin(ap)};
    // Counter-clockwise angle from the from-point to the to-point and to p.
    const double from = dir ? a2 : a1, to = dir ? a1 : a2;
    const auto ccw = [&](double a) { return std::fmod(a - from + 4 * kPi, 2 * kPi); };
    if (std::fabs(ccw(ap) - ccw(to)) < 1e-6 || ccw(ap) < 1e-6 || ccw(ap) > 2 * kPi - 1e-6) continue;
    const double want = ccw(ap) <= ccw(to)
                            ? std::fabs(std::hypot(p.x - c.x, p.y - c.y) - r)
                            : std::min(utl_point_point(&p, &e1), utl_point_point(&p, &e2));
    EXPECT_NEAR(utl_point_circarc(&p, &c, r, &e1, &e2, dir), want, 1e-9) << i;
  }
}

}  // namespace
