// Boxes of circular arcs, circles, cubics and rotated rectangles: the
// documented cases, and generated shapes against dense sampling done here.
#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

#include "qzutil/geometry/cubic.h"
#include "qzutil/geometry/extents.h"

namespace {

constexpr double kPi = std::numbers::pi;

struct Box {
  RealPtT max, min;
};

Box ArcBox(RealPtT c, float r, RealPtT first, RealPtT second, short direction) {
  Box b{{-7, -7}, {7, 7}};
  utl_maxmin_arc(&c, r, &first, &second, direction, &b.max, &b.min);
  return b;
}

void ExpectBox(const Box& b, double max_x, double max_y, double min_x, double min_y) {
  EXPECT_EQ(b.max.x, max_x);
  EXPECT_EQ(b.max.y, max_y);
  EXPECT_EQ(b.min.x, min_x);
  EXPECT_EQ(b.min.y, min_y);
}

// The box must hold every sample within eps and reach the extreme samples
// within eps on all four sides.
void ExpectTightBox(const Box& b, int n, const std::function<RealPtT(int)>& sample, double eps) {
  Box s{{-1e300, -1e300}, {1e300, 1e300}};
  for (int i = 0; i <= n; ++i) {
    const RealPtT p = sample(i);
    s.max = {std::max(s.max.x, p.x), std::max(s.max.y, p.y)};
    s.min = {std::min(s.min.x, p.x), std::min(s.min.y, p.y)};
  }
  EXPECT_NEAR(b.max.x, s.max.x, eps);
  EXPECT_NEAR(b.max.y, s.max.y, eps);
  EXPECT_NEAR(b.min.x, s.min.x, eps);
  EXPECT_NEAR(b.min.y, s.min.y, eps);
}

TEST(Extents, CircularArcDocumentedCases) {
  const RealPtT o{0, 0}, east{1, 0}, north{0, 1}, west{-1, 0};
  ExpectBox(ArcBox(o, 1, east, north, 0), 1, 1, 0, 0);  // 90 degrees counts as quadrant 0
  ExpectBox(ArcBox(o, 1, east, west, 0), 1, 1, -1, 0);
  ExpectBox(ArcBox(o, 1, east, west, 1), 1, 0, -1, -1);
  ExpectBox(ArcBox(o, 1, east, east, 0), 1, 1, -1, -1);  // equal ends: the full circle
  ExpectBox(ArcBox({2, 3}, 1, {2, 3}, north, 0), 2, 3, 2, 3);
  // A hair below the +x axis wraps to a full turn; it belongs to quadrant 3.
  ExpectBox(ArcBox(o, 1, {1, -1e-300}, north, 0), 1, 1, 0, -1e-300);
  Box circle{};
  RealPtT c{1, 2};
  utl_maxmin_circle(&c, 3, &c, &circle.min);  // max may be the centre itself
  circle.max = c;
  ExpectBox(circle, 4, 5, -2, -1);
}

TEST(Extents, GeneratedCircularArcsAgainstDenseSampling) {
  std::mt19937_64 rng(13);
  std::uniform_real_distribution<double> u(-10, 10), ang(-kPi, kPi);
  std::uniform_real_distribution<float> rad(0.1f, 20.0f);
  for (int i = 0; i < 1500; ++i) {
    const RealPtT c{u(rng), u(rng)};
    const float r = rad(rng);
    const double a1 = ang(rng), a2 = ang(rng);
    const short dir = static_cast<short>(i % 2);
    const auto on = [&](double a) { return RealPtT{c.x + r * std::cos(a), c.y + r * std::sin(a)}; };
    const double from = dir ? a2 : a1;
    const double sweep = std::fmod((dir ? a1 : a2) - from + 4 * kPi, 2 * kPi);
    if (sweep < 1e-6 || sweep > 2 * kPi - 1e-6) continue;
    const Box b = ArcBox(c, r, on(a1), on(a2), dir);
    ExpectTightBox(
        b, 4000, [&](int k) { return on(from + sweep * k / 4000); }, 1e-6 * r);
  }
}

TEST(Extents, CubicBoxesComeFromEndsAndTurningPoints) {
  const UtlCubicT parabola{{0, 0, 1, 0}, {0, -4, 4, 0}};
  Box b{};
  utl_maxmin_cubic(&parabola, &b.max, &b.min);
  ExpectBox(b, 1, 1, 0, 0);
  const UtlCubicT wave{{2, -3, 1, 0}, {0, 0, 0, 5}};  // equal end values, two turning points
  utl_maxmin_cubic(&wave, &b.max, &b.min);
  EXPECT_NEAR(b.max.x, std::sqrt(3.0) / 18, 1e-15);
  EXPECT_NEAR(b.min.x, -std::sqrt(3.0) / 18, 1e-15);
  EXPECT_EQ(b.max.y, 5.0);
  EXPECT_EQ(b.min.y, 5.0);

  std::mt19937_64 rng(17);
  std::uniform_real_distribution<double> u(-10, 10);
  for (int i = 0; i < 2000; ++i) {
    UtlCubicT cubic{{u(rng), u(rng), u(rng), u(rng)}, {u(rng), u(rng), u(rng), u(rng)}};
    if (i % 4 == 0) cubic.xCoef[0] = 0;                   // parabolas in t
    if (i % 8 == 0) cubic.yCoef[0] = cubic.yCoef[1] = 0;  // a linear coordinate
    utl_maxmin_cubic(&cubic, &b.max, &b.min);
    const auto at = [&](int k) {
      const double t = k / 4000.0;
      return RealPtT{utl_evaluate_cubic(cubic.xCoef, t), utl_evaluate_cubic(cubic.yCoef, t)};
    };
    ExpectTightBox(b, 4000, at, 1e-6);
  }
}

TEST(Extents, RotatedRectangleIsReplacedByItsBox) {
  const RealPtT origin{0, 0};
  RealPtT rect[2] = {{0, 0}, {2, 1}};
  utl_maxmin_rotrect(&origin, rect, kPi / 2);
  EXPECT_NEAR(rect[0].x, -1, 1e-15);
  EXPECT_NEAR(rect[0].y, 0, 1e-15);
  EXPECT_NEAR(rect[1].x, 0, 1e-15);
  EXPECT_NEAR(rect[1].y, 2, 1e-15);

  std::mt19937_64 rng(19);
  std::uniform_real_distribution<double> u(-10, 10), ang(-4 * kPi, 4 * kPi);
  for (int i = 0; i < 2000; ++i) {
    const RealPtT c{u(rng), u(rng)};
    const RealPtT r0{u(rng), u(rng)}, r1{u(rng), u(rng)};
    const double angle = ang(rng);
    RealPtT box[2] = {r0, r1};
    utl_maxmin_rotrect(&c, box, angle);
    const RealPtT corner[4] = {r0, {r0.x, r1.y}, r1, {r1.x, r0.y}};
    const auto turned = [&](int k) {
      const std::complex<double> z =
          std::complex<double>(corner[k].x - c.x, corner[k].y - c.y) * std::polar(1.0, angle);
      return RealPtT{c.x + z.real(), c.y + z.imag()};
    };
    ExpectTightBox({box[1], box[0]}, 3, turned, 1e-12);
  }
}

}  // namespace
