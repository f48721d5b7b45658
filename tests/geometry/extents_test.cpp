// Boxes of circular arcs, circles, cubics and rotated rectangles: the
// documented cases, and generated shapes against dense sampling done here.
#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <tuple>

#include <gtest/gtest.h>

#include "qzutil/geometry/cubic.h"
#include "qzutil/geometry/extents.h"

namespace {

constexpr double kPi = std::numbers::pi;

// max x, max y, min x, min y
using Box = std::tuple<double, double, double, double>;

Box ArcBox(RealPtT c, float r, RealPtT first, RealPtT second, short direction) {
  RealPtT max{-7, -7}, min{7, 7};
  utl_maxmin_arc(&c, r, &first, &second, direction, &max, &min);
  return {max.x, max.y, min.x, min.y};
}

// The box must reach the extreme samples within eps on all four sides.
void ExpectTightBox(const RealPtT& max, const RealPtT& min, int n,
                    const std::function<RealPtT(int)>& sample, double eps) {
  RealPtT hi = sample(0), lo = hi;
  for (int i = 1; i <= n; ++i) {
    const RealPtT p = sample(i);
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)};
  }
  EXPECT_TRUE(std::fabs(max.x - hi.x) <= eps && std::fabs(max.y - hi.y) <= eps &&
              std::fabs(min.x - lo.x) <= eps && std::fabs(min.y - lo.y) <= eps)
      << max.x << " " << max.y << " " << min.x << " " << min.y;
}

TEST(Extents, CircularArcsAndCircles) {
  const RealPtT o{0, 0}, east{1, 0}, north{0, 1}, west{-1, 0};
  EXPECT_EQ(ArcBox(o, 1, east, north, 0), Box(1, 1, 0, 0));  // 90 degrees counts as quadrant 0
  EXPECT_EQ(ArcBox(o, 1, east, west, 0), Box(1, 1, -1, 0));
  EXPECT_EQ(ArcBox(o, 1, east, west, 1), Box(1, 0, -1, -1));
  EXPECT_EQ(ArcBox(o, 1, east, east, 0), Box(1, 1, -1, -1));  // equal ends: the full circle
  EXPECT_EQ(ArcBox({2, 3}, 1, {2, 3}, north, 0), Box(2, 3, 2, 3));
  // A hair below the +x axis wraps to a full turn; it belongs to quadrant 3.
  EXPECT_EQ(ArcBox(o, 1, {1, -1e-300}, north, 0), Box(1, 1, 0, -1e-300));
  // 90 degrees lies in quadrant 0, so the arc passes the top and the single
  // precision radius places it, not the end point.
  EXPECT_EQ(ArcBox(o, 0.1f, {0, 0.1}, {-0.06, 0.08}, 0), Box(0, 0.1f, -0.06, 0.08));
  RealPtT c{1, 2}, min{};
  utl_maxmin_circle(&c, 3, &c, &min);  // max may be the centre itself
  EXPECT_EQ(Box(c.x, c.y, min.x, min.y), Box(4, 5, -2, -1));

  std::mt19937_64 rng(13);
  std::uniform_real_distribution<double> u(-10, 10), ang(-kPi, kPi);
  std::uniform_real_distribution<float> rad(0.1f, 20.0f);
  for (int i = 0; i < 1500; ++i) {
    const RealPtT ctr{u(rng), u(rng)};
    const float r = rad(rng);
    const double a1 = ang(rng), a2 = ang(rng), from = i % 2 ? a2 : a1;
    const double sweep = std::fmod((i % 2 ? a1 : a2) - from + 4 * kPi, 2 * kPi);
    if (sweep < 1e-6 || sweep > 2 * kPi - 1e-6) continue;
    const auto on = [&](double a) {
      return RealPtT{ctr.x + r * std::cos(a), ctr.y + r * std::sin(a)};
    };
    const RealPtT p1 = on(a1), p2 = on(a2);
    RealPtT max{}, lo{};
    utl_maxmin_arc(&ctr, r, &p1, &p2, static_cast<short>(i % 2), &max, &lo);
    ExpectTightBox(
        max, lo, 4000, [&](int k) { return on(from + sweep * k / 4000); }, 1e-6 * r);
  }
}

TEST(Extents, CubicBoxesComeFromEndsAndTurningPoints) {
  RealPtT max{}, min{};
  std::mt19937_64 rng(17);
  std::uniform_real_distribution<double> u(-10, 10);
  for (int i = 0; i < 1000; ++i) {
    UtlCubicT cubic{{u(rng), u(rng), u(rng), u(rng)}, {u(rng), u(rng), u(rng), u(rng)}};
    if (i % 4 == 0) cubic.xCoef[0] = 0;                   // a parabola in t
    if (i % 8 == 0) cubic.yCoef[0] = cubic.yCoef[1] = 0;  // a linear coordinate
    utl_maxmin_cubic(&cubic, &max, &min);
    const auto at = [&](int k) {
      return RealPtT{utl_evaluate_cubic(cubic.xCoef, k / 4000.0),
                     utl_evaluate_cubic(cubic.yCoef, k / 4000.0)};
    };
    ExpectTightBox(max, min, 4000, at, 1e-6);
  }
}

TEST(Extents, RotatedRectangleIsReplacedByItsBox) {
  const RealPtT origin{0, 0};
  RealPtT rect[2] = {{0, 0}, {2, 1}};
  utl_maxmin_rotrect(&origin, rect, kPi / 2);  // min corner first, then max
  EXPECT_NEAR(rect[0].x, -1, 1e-15);
  EXPECT_NEAR(rect[0].y, 0, 1e-15);
  EXPECT_NEAR(rect[1].x, 0, 1e-15);
  EXPECT_NEAR(rect[1].y, 2, 1e-15);
}

}  // namespace
