// Mirror and orientation queries: what a device that only turns by right
// angles and mirrors is told about a matrix.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <tuple>

#include <gtest/gtest.h>

#include "qzutil/matrix/mtx2d.h"

namespace {

Mtx2D Make(double a, double b, double c, double d, std::uint32_t flags = 0) {
  Mtx2D m;
  m.a = a, m.b = b, m.c = c, m.d = d, m.reflectFlags = flags;
  m.SetType();
  return m;
}

// Orientation code of the image (a, b) of the x axis.
std::int32_t Code(double a, double b) {
  if (b == 0) return a > 0 ? 0 : a < 0 ? 2 : -1;
  return b < 0 ? 3 : 1;
}

// Turning angle in degrees before snapping.
double RawDegrees(double a, double b) {
  const double deg = std::acos(a / std::sqrt(b * b + a * a)) * 57.29577950560105;
  return b < 0.0 ? 360.0 - deg : deg;
}

TEST(Mtx2DOrientation, MirrorOrientationAndSnappedRotation) {
  // Each snapping interval is open at both ends.
  const double snap[5][3] = {
      {0.0, 0.1, 0}, {89.9, 90.1, 90}, {179.9, 180.1, 180}, {269.9, 270.1, 270}, {359.9, 360.0, 0}};
  std::mt19937 g(21);
  std::uniform_real_distribution<double> off(-0.3, 0.3), scale(0.01, 100);
  for (int i = 0; i < 6000; ++i) {
    // Right-angle orientations with unequal scales, turns near each right
    // angle (half of them mirrored), an x image of (0, 0) or (0, NaN), and a
    // y part so small that the angle computes as exactly 360, which lies
    // outside (359.9, 360).
    Mtx2D m;
    const double t = (i % 5) * 90 + off(g), k = scale(g), flip = g() % 2 ? -1 : 1;
    const double ca = k * std::cos(t * std::numbers::pi / 180),
                 sa = k * std::sin(t * std::numbers::pi / 180);
    if (i % 4 == 0) m.Orient(static_cast<Mtx2DOrient>(i / 4 % 8)), m.Scale(k, scale(g));
    if (i % 4 == 1) m = Make(ca, sa, -sa * flip, ca * flip);
    if (i % 4 == 2) m = Make(0, i % 8 == 2 ? 0.0 : std::nan(""), ca, sa);
    if (i % 4 == 3) m = i % 8 == 3 ? Make(k, -1e-300, 0, k) : Make(ca, sa, -sa * flip, ca * flip);
    const unsigned short mirror = m.a * m.d - m.c * m.b < 0;
    double want = RawDegrees(m.a, m.b);
    for (const auto& s : snap)
      want = want > s[0] && want < s[1] ? s[2] : want;
    unsigned short m1 = 9, m2 = 9, m3 = 9;
    std::int32_t first = 9, last = 9;
    double deg = -1;
    m.GetXMirrorAndOrientation(&m1, &first);  // mirror applied first: a and b as they are
    m.GetOrientationAndXMirror(&m2, &last);   // mirror applied last: b changes sign
    m.GetXMirrorAndRotation(&m3, &deg);
    ASSERT_EQ(std::make_tuple(m.ReversesOrientation(), m1, m2, m3, first, last,
                              std::isnan(deg) ? -1 : deg),  // NaN is never snapped
              std::make_tuple(mirror, mirror, mirror, mirror, Code(m.a, m.b),
                              Code(m.a, mirror ? -m.b : m.b), std::isnan(want) ? -1 : want))
        << i;
  }
  // Angles that compute to exactly an interval's end stay unsnapped.
  for (double end : {89.9, 90.1, 269.9, 270.1}) {
    const double b = end < 180 ? 2.0 : -2.0;  // the angle falls as a grows when b > 0
    double lo = -2, hi = 2, deg = 0;
    for (int i = 0; i < 200; ++i) {
      const double mid = (lo + hi) / 2;
      ((RawDegrees(mid, b) > end) == (b > 0) ? lo : hi) = mid;
    }
    for (int i = 0; i < 1000 && RawDegrees(lo, b) != end; ++i)
      lo = std::nextafter(lo, 3.0);
    ASSERT_EQ(RawDegrees(lo, b), end);
    unsigned short mirror = 9;
    Make(lo, b, -b, lo).GetXMirrorAndRotation(&mirror, &deg);
    EXPECT_EQ(deg, end);
  }
}

TEST(Mtx2DOrientation, GetOrientationCorrectsForRecordedReflections) {
  // Bit value 1 (ReflectInX) changes the sign of a, bit value 2 that of b.
  const double pi = std::acos(-1.0), half = std::acos(0.0);
  const double want[8] = {0, half, pi, -half, pi, pi, -half, -half};
  double rad = 0;
  std::int32_t flags = 0;
  for (int o = 0; o < 8; ++o) {
    Mtx2D m;
    m.Orient(static_cast<Mtx2DOrient>(o));
    m.GetOrientation(&rad, &flags);
    EXPECT_EQ(std::make_pair(rad, flags), std::make_pair(want[o], std::int32_t(m.reflectFlags)));
  }
  // Unequal scales push the cosine outside [-1, 1], where it is clamped.
  std::mt19937 g(22);
  std::uniform_real_distribution<double> u(-5, 5);
  for (int i = 0; i < 2000; ++i) {
    const Mtx2D m = Make(u(g), i % 3 ? u(g) : 0.0, u(g), u(g), static_cast<std::uint32_t>(i % 4));
    const double xa = i % 4 & 1 ? -m.a : m.a, xb = i % 4 & 2 ? -m.b : m.b;
    const double s = std::sqrt(std::fabs(m.a * m.d - m.c * m.b));
    const double q = std::acos(std::clamp(xa / s, -1.0, 1.0));
    m.GetOrientation(&rad, &flags);
    ASSERT_EQ(std::make_pair(rad, flags), std::make_pair(xb < 0 ? -q : q, i % 4)) << i;
  }
  Make(0, 0, 1, 1).GetOrientation(&rad, &flags);
  EXPECT_TRUE(std::isnan(rad));
}

}  // namespace
