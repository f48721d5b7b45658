// Cubic evaluation and the forward-difference polyline.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

#include <gtest/gtest.h>

#include "qzutil/geometry/cubic.h"
#include "qzutil/geometry/polyline_alloc.h"

namespace {

struct Polyline {
  std::int32_t count = -1;
  RealPtT* points = nullptr;
  Polyline(const UtlCubicT& c, double tol) { UtlCubicToPolyline(&c, tol, &count, &points); }
  ~Polyline() { std::free(points); }
  Polyline(const Polyline&) = delete;
  Polyline& operator=(const Polyline&) = delete;
};

TEST(Cubic, DocumentedValuesAndPolylines) {
  const double cube[4] = {1, 0, 0, 0}, constant[4] = {0, 0, 0, 7};
  EXPECT_EQ(utl_evaluate_cubic(cube, 0.5), 0.125);
  EXPECT_EQ(utl_evaluate_cubic(constant, -3.5), 7.0);
  const Polyline straight({{0, 0, 3, 1}, {0, 0, -2, 4}}, 0.0);
  ASSERT_EQ(straight.count, 2);
  EXPECT_EQ(std::make_pair(straight.points[1].x, straight.points[1].y), std::make_pair(4.0, 2.0));
  // t³: the first step passes, the extra test at t = 1 halves it once.
  const Polyline t3({{1, 0, 0, 0}, {0, 0, 0, 0}}, 1.0);
  ASSERT_EQ(t3.count, 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(std::make_pair(t3.points[i].x, t3.points[i].y), std::make_pair(i * i * i / 8.0, 0.0));
  EXPECT_EQ(Polyline({{0, 1e-12, 0, 0}, {0, 0, 0, 0}}, 0.0).count, 1025);
}

std::size_t g_asked = 0;
void* Refuse(std::size_t bytes) {
  g_asked = bytes;
  return nullptr;
}

TEST(Cubic, FailedAllocationGivesNoPoints) {
  const auto previous = qz::detail::set_polyline_allocator(&Refuse);
  const Polyline t3({{1, 0, 0, 0}, {0, 0, 0, 0}}, 1.0);
  qz::detail::set_polyline_allocator(previous);
  EXPECT_EQ(g_asked, 3 * sizeof(RealPtT));
  EXPECT_EQ(t3.count, 0);
  EXPECT_EQ(t3.points, nullptr);
}

// A cubic's central second difference at c with step h is p''(c)·h², and p''
// is linear, so the longest over the walked range [0, 1 + h] lies at an end.
// The step count must be the smallest power of two whose step keeps it
// within 8 × tolerance (or 1024).
double WorstSecondDifference(const UtlCubicT& c, double h) {
  double worst = 0;
  for (double t : {0.0, 1.0 + h}) {
    worst = std::max(worst, std::hypot(6 * c.xCoef[0] * t + 2 * c.xCoef[1],
                                       6 * c.yCoef[0] * t + 2 * c.yCoef[1]) *
                                h * h);
  }
  return worst;
}

TEST(Cubic, StepCountIsTheSmallestSufficientPowerOfTwo) {
  std::mt19937_64 rng(23);
  std::uniform_real_distribution<double> u(-10, 10), lg(-6, 1);
  for (int i = 0; i < 3000; ++i) {
    UtlCubicT c{{u(rng), u(rng), u(rng), u(rng)}, {u(rng), u(rng), u(rng), u(rng)}};
    if (i % 3 == 0) c.xCoef[0] = c.yCoef[0] = 0;  // quadratic
    const double tol = std::pow(10.0, lg(rng));
    const Polyline line(c, tol);
    const std::int32_t n = line.count - 1;
    ASSERT_TRUE(n >= 1 && n <= 1024 && (n & (n - 1)) == 0) << n;
    EXPECT_TRUE(n == 1024 || WorstSecondDifference(c, 1.0 / n) <= 8 * tol * (1 + 1e-12)) << i;
    EXPECT_TRUE(n == 1 || WorstSecondDifference(c, 2.0 / n) > 8 * tol * (1 - 1e-12)) << i;
    for (std::int32_t k = 0; k <= n; ++k) {
      EXPECT_NEAR(line.points[k].x, utl_evaluate_cubic(c.xCoef, static_cast<double>(k) / n), 1e-9);
      EXPECT_NEAR(line.points[k].y, utl_evaluate_cubic(c.yCoef, static_cast<double>(k) / n), 1e-9);
    }
  }
}

}  // namespace
