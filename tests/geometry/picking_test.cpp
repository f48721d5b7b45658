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

TEST(Picking, DocumentedDistances) {
  const RealPtT o{0, 0}, p34{3, 4}, x10{10, 0}, v1{2, 0}, v2{2, 4}, q{0, 2};
  const struct {
    RealPtT p, a, b;
    double want;
  } segments[] = {{{3, 0}, o, o, 2.88},
                  {p34, o, o, 0.96 * 4 + 0.398 * 3},
                  {{5, 1}, o, x10, 0.96},
                  {{-3, 0}, o, x10, 2.88},
                  {{2, 6}, v1, v2, 1.92},
                  {q, o, {2, 2}, 0.96 + 0.398},
                  {q, v1, v1, 0.96 * 2 + 0.398 * 2}};
  for (const auto& s : segments) {
    EXPECT_EQ(utl_point_line(&s.p, &s.a, &s.b), s.want) << s.p.x << "," << s.p.y;
    EXPECT_EQ(utl_point_line(&s.p, &s.b, &s.a), s.want) << s.p.x << "," << s.p.y;
  }
  EXPECT_EQ(utl_point_point(&p34, &o), 0.96 * 4 + 0.398 * 3);
  EXPECT_EQ(utl_point_circle(&p34, &o, 2.0), 3.0);
  EXPECT_EQ(utl_point_circle(&o, &o, 2.0), 2.0);
}

// The approximate distance lies between 0.96 and √(0.96² + 0.398²) ≈ 1.0393
// times the Euclidean length; the ends are ordered before anything else.
TEST(Picking, SegmentDistanceTracksTheEuclideanDistance) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> u(-50, 50);
  for (int i = 0; i < 20000; ++i) {
    RealPtT e1{u(rng), u(rng)}, e2{u(rng), u(rng)};
    if (i % 4 == 0) e2.x = e1.x;  // vertical
    if (i % 4 == 1) e2.y = e1.y;  // horizontal
    const RealPtT p{u(rng), u(rng)};
    const double dx = e2.x - e1.x, dy = e2.y - e1.y;
    const double t =
        std::clamp(((p.x - e1.x) * dx + (p.y - e1.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    const double exact = std::hypot(p.x - (e1.x + t * dx), p.y - (e1.y + t * dy));
    const double d = utl_point_line(&p, &e1, &e2);
    EXPECT_GE(d, 0.96 * exact - 1e-9);
    EXPECT_LE(d, 1.03924 * exact + 1e-9);
    EXPECT_EQ(d, utl_point_line(&p, &e2, &e1));
  }
}

TEST(Picking, BoxIsZeroInsideAndMeasuresBeyondEachSide) {
  const RealRectT box{{{0, 0}, {4, 0}, {0, 2}, {4, 2}}};  // row order
  const RealPtT right{6, 1}, top{2, 5};
  EXPECT_EQ(utl_point_box(&right, &box), 1.92);
  EXPECT_EQ(utl_point_box(&top, &box), 2.88);
  // Dyadic corners and points keep every midpoint exact, so the outline gives 0.
  std::mt19937_64 rng(3);
  std::uniform_int_distribution<int> u(-160, 160), w(4, 80);
  for (int i = 0; i < 5000; ++i) {
    const double x0 = u(rng) / 8.0, y0 = u(rng) / 8.0, x1 = x0 + w(rng) / 8.0,
                 y1 = y0 + w(rng) / 8.0;
    const RealRectT b{{{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}}};
    const RealPtT in{x0 + (x1 - x0) * (i % 9) / 8.0, y0 + (y1 - y0) * (i % 5) / 4.0};
    const double gap = w(rng) / 3.0;
    const RealPtT left{x0 - gap, in.y}, below{in.x, y0 - gap};
    EXPECT_EQ(utl_point_box(&in, &b), 0.0);
    EXPECT_NEAR(utl_point_box(&left, &b), 0.96 * gap, 1e-9);
    EXPECT_NEAR(utl_point_box(&below, &b), 0.96 * gap, 1e-9);
  }
}

TEST(Picking, CircularArcInsideTheSweepToTheCircleElseToAnEnd) {
  const RealPtT c{0, 0}, e1{1, 0}, e2{0, 1}, in{2, 2}, out{0, -2}, on_from{3, 0}, on_to{0, 3};
  EXPECT_DOUBLE_EQ(utl_point_circarc(&in, &c, 1, &e1, &e2, 0), 2 * std::sqrt(2.0) - 1);
  EXPECT_EQ(utl_point_circarc(&out, &c, 1, &e1, &e2, 0), 0.96 * 2 + 0.398);
  EXPECT_EQ(utl_point_circarc(&in, &c, 1, &e1, &e2, 1), 0.96 * 2 + 0.398);
  EXPECT_EQ(utl_point_circarc(&on_from, &c, 1, &e1, &e2, 0), 2.0);  // bounds are inclusive
  EXPECT_EQ(utl_point_circarc(&on_to, &c, 1, &e1, &e2, 0), 2.0);
  EXPECT_EQ(utl_point_circarc(&in, &c, 1, &e1, &e1, 0), utl_point_point(&in, &e1));  // zero sweep

  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> u(-10, 10), ang(-kPi, kPi), rad(0.5, 5);
  for (int i = 0; i < 20000; ++i) {
    const RealPtT ctr{u(rng), u(rng)};
    const double r = rad(rng), a1 = ang(rng), a2 = ang(rng), ap = ang(rng),
                 dist = r * (0.2 + i % 5 * 0.5);
    const short dir = static_cast<short>(i % 2);
    const RealPtT p1{ctr.x + r * std::cos(a1), ctr.y + r * std::sin(a1)};
    const RealPtT p2{ctr.x + r * std::cos(a2), ctr.y + r * std::sin(a2)};
    const RealPtT p{ctr.x + dist * std::cos(ap), ctr.y + dist * std::sin(ap)};
    const auto ccw = [&](double a) { return std::fmod(a - (dir ? a2 : a1) + 4 * kPi, 2 * kPi); };
    const double sweep = ccw(dir ? a1 : a2);
    if (std::fabs(ccw(ap) - sweep) < 1e-6 || ccw(ap) < 1e-6 || ccw(ap) > 2 * kPi - 1e-6) continue;
    const double want = ccw(ap) <= sweep
                            ? std::fabs(dist - r)
                            : std::min(utl_point_point(&p, &p1), utl_point_point(&p, &p2));
    EXPECT_NEAR(utl_point_circarc(&p, &ctr, r, &p1, &p2, dir), want, 1e-9) << i;
  }
}

}  // namespace
