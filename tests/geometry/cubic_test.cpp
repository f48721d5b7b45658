// Cubic evaluation, the forward-difference polyline and the cubic's box.
#include <cstdlib>

#include "geometry_test.h"
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

TEST(Cubic, ExactValuesPolylinesAndAllocationFailure) {
  // Horner order: expanding the powers rounds this one differently.
  const double k[4] = {1.1, 2.3, -0.7, 0.9};
  EXPECT_EQ(utl_evaluate_cubic(k, 0.3), ((0.3 * 1.1 + 2.3) * 0.3 - 0.7) * 0.3 + 0.9);
  const Polyline straight({{0, 0, 3, 1}, {0, 0, -2, 4}}, 0.0);
  ASSERT_EQ(straight.count, 2);
  EXPECT_EQ(std::make_pair(straight.points[1].x, straight.points[1].y), std::make_pair(4.0, 2.0));
  // t³: the first step passes, the extra test at t = 1 halves it once.
  const Polyline t3({{1, 0, 0, 0}, {0, 0, 0, 0}}, 1.0);
  ASSERT_EQ(t3.count, 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(std::make_pair(t3.points[i].x, t3.points[i].y), std::make_pair(i * i * i / 8.0, 0.0));
  // The same t³ with no memory for its three points gives none, and no crash.
  const auto previous = qz::detail::set_polyline_allocator([](std::size_t bytes) -> void* {
    EXPECT_EQ(bytes, 3 * sizeof(RealPtT));
    return nullptr;
  });
  const Polyline refused({{1, 0, 0, 0}, {0, 0, 0, 0}}, 1.0);
  qz::detail::set_polyline_allocator(previous);
  EXPECT_TRUE(refused.count == 0 && refused.points == nullptr);
}

// A cubic's central second difference at c with step h is p''(c)·h², and p''
// is linear, so the longest over the walked range [0, 1 + h] lies at an end.
double WorstSecondDifference(const UtlCubicT& c, double h) {
  const auto second = [&](double t) {
    return std::hypot(6 * c.xCoef[0] * t + 2 * c.xCoef[1], 6 * c.yCoef[0] * t + 2 * c.yCoef[1]);
  };
  return std::max(second(0), second(1 + h)) * h * h;
}

// Generated cubics, some quadratic or linear in a coordinate: n is the smallest
// power of two whose step keeps the second difference within 8 × tolerance (or
// 1024), points lie on the curve at k / n, and the box fits a dense sampling.
TEST(Cubic, GeneratedCubicsAgainstTheCurveEvaluatedHere) {
  std::mt19937_64 rng(23);
  std::uniform_real_distribution<double> u(-10, 10), lg(-6, 1);
  for (int i = 0; i < qz::test::GeneratedCases(3000); ++i) {
    UtlCubicT c{{u(rng), u(rng), u(rng), u(rng)}, {u(rng), u(rng), u(rng), u(rng)}};
    if (i % 3 == 0) c.xCoef[0] = 0;
    if (i % 6 == 0) c.yCoef[0] = 0;
    if (i % 12 == 0) c.yCoef[1] = 0;
    const auto at = [&](double t) {
      return RealPtT{utl_evaluate_cubic(c.xCoef, t), utl_evaluate_cubic(c.yCoef, t)};
    };
    RealPtT max{}, min{};
    utl_maxmin_cubic(&c, &max, &min);
    qz::test::ExpectBoxOfSamples(
        max, min, 4000, [&](int k) { return at(k / 4000.0); }, 1e-6, 1e-6);
    const double tol = std::pow(10.0, lg(rng));
    const Polyline line(c, tol);
    const std::int32_t n = line.count - 1;
    ASSERT_TRUE(n >= 1 && n <= 1024 && (n & (n - 1)) == 0) << n;
    EXPECT_TRUE(n == 1024 || WorstSecondDifference(c, 1.0 / n) <= 8 * tol * (1 + 1e-12)) << i;
    EXPECT_TRUE(n == 1 || WorstSecondDifference(c, 2.0 / n) > 8 * tol * (1 - 1e-12)) << i;
    for (std::int32_t k = 0; k <= n; ++k) {
      const RealPtT want = at(static_cast<double>(k) / n), got = line.points[k];
      EXPECT_LT(std::hypot(got.x - want.x, got.y - want.y), 1e-9) << i << " " << k;
    }
  }
}

}  // namespace
