// Shared by the geometry tests. The headers come through the umbrella, so a
// geometry header missing from it fails here.
#ifndef QZUTIL_TESTS_GEOMETRY_GEOMETRY_TEST_H
#define QZUTIL_TESTS_GEOMETRY_GEOMETRY_TEST_H

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <tuple>

#include <gtest/gtest.h>

#include "qzutil/qzutil.h"
#include "shared/generated_cases.h"

namespace qz::test {

constexpr double kPi = std::numbers::pi;

// The box (max, min) may reach at most `beyond` past the outermost of the
// samples at(0) .. at(n) and must come within `short_by` of them, on every side.
inline void ExpectBoxOfSamples(const RealPtT& max, const RealPtT& min, int n,
                               const std::function<RealPtT(int)>& at, double beyond,
                               double short_by) {
  RealPtT hi = at(0), lo = hi;
  for (int k = 1; k <= n; ++k) {
    const RealPtT p = at(k);
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)};
  }
  for (const double over : {max.x - hi.x, max.y - hi.y, lo.x - min.x, lo.y - min.y})
    EXPECT_TRUE(over <= beyond && over >= -short_by) << over;
}

}  // namespace qz::test

#endif  // QZUTIL_TESTS_GEOMETRY_GEOMETRY_TEST_H
