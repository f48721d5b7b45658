// Picking distances and boxes of points, segments, boxes, circles and arcs:
// values worked out by hand, and generated shapes against dense samplings.
#include "geometry_test.h"

namespace {

using qz::test::kPi;

// max x, max y, min x, min y
using Box = std::tuple<double, double, double, double>;

Box ArcBox(RealPtT c, float r, RealPtT first, RealPtT second, short direction) {
  RealPtT max{-7, -7}, min{7, 7};
  utl_maxmin_arc(&c, r, &first, &second, direction, &max, &min);
  return {max.x, max.y, min.x, min.y};
}

TEST(Picking, ExactDistancesAndBoxes) {
  const RealPtT o{0, 0}, p34{3, 4}, x10{10, 0}, v1{2, 0}, v2{2, 4}, q{0, 2}, e1{1, 0}, e2{0, 1};
  const RealPtT in{2, 2}, on_from{3, 0}, on_to{0, 3};
  const auto segment = [](RealPtT p, RealPtT a, RealPtT b, double want) {
    EXPECT_EQ(utl_point_line(&p, &a, &b), want) << p.x << "," << p.y;
    EXPECT_EQ(utl_point_line(&p, &b, &a), want) << p.x << "," << p.y;
  };
  segment(p34, o, o, 0.96 * 4 + 0.398 * 3);
  segment({5, 1}, o, x10, 0.96);
  segment({2, 6}, v1, v2, 1.92);
  segment(q, o, {2, 2}, 0.96 + 0.398);
  EXPECT_EQ(utl_point_point(&p34, &o), 0.96 * 4 + 0.398 * 3);
  EXPECT_EQ(utl_point_circle(&p34, &o, 2.0), 3.0);
  EXPECT_EQ(utl_point_circarc(&on_from, &o, 1, &e1, &e2, 0), 2.0);  // bounds are inclusive
  EXPECT_EQ(utl_point_circarc(&on_to, &o, 1, &e1, &e2, 0), 2.0);
  EXPECT_EQ(utl_point_circarc(&in, &o, 1, &e1, &e1, 0), utl_point_point(&in, &e1));  // zero sweep
  // From just past −π round to π: a point at exactly −π, unwrapped by the
  // ten-digit full turn, lands just beyond π and so measures to an end.
  const RealPtT past_minus_pi{-1, -1e-15}, pi{-1, 0}, at_minus_pi{-3, -0.0};
  EXPECT_EQ(utl_point_circarc(&at_minus_pi, &o, 1, &past_minus_pi, &pi, 0), 1.92);
  EXPECT_EQ(ArcBox(o, 1, e1, e2, 0), Box(1, 1, 0, 0));    // 90 degrees counts as quadrant 0
  EXPECT_EQ(ArcBox(o, 1, e1, e1, 0), Box(1, 1, -1, -1));  // equal ends: the full circle
  EXPECT_EQ(ArcBox({2, 3}, 1, {2, 3}, e2, 0), Box(2, 3, 2, 3));
  // A hair below the +x axis wraps to a full turn; it belongs to quadrant 3.
  EXPECT_EQ(ArcBox(o, 1, {1, -1e-300}, e2, 0), Box(1, 1, 0, -1e-300));
  // 90 degrees lies in quadrant 0, so the arc passes the top and the single
  // precision radius places it, not the end point.
  EXPECT_EQ(ArcBox(o, 0.1f, {0, 0.1}, {-0.06, 0.08}, 0), Box(0, 0.1f, -0.06, 0.08));
  RealPtT centre{1, 2}, min{};
  utl_maxmin_circle(&centre, 3, &centre, &min);  // max may be the centre itself
  EXPECT_EQ(Box(centre.x, centre.y, min.x, min.y), Box(4, 5, -2, -1));
  RealPtT rect[2] = {{0, 0}, {2, 1}};  // turned a quarter about a corner: min corner first
  utl_maxmin_rotrect(&o, rect, kPi / 2);
  EXPECT_LT(std::hypot(rect[0].x + 1, rect[0].y) + std::hypot(rect[1].x, rect[1].y - 2), 1e-15);
}

// Dyadic corners (in row order) and points keep every midpoint exact.
TEST(Picking, BoxIsZeroInsideAndMeasuresBeyondEachSide) {
  std::mt19937_64 rng(3);
  std::uniform_int_distribution<int> u(-160, 160), w(4, 80);
  for (int i = 0; i < 5000; ++i) {
    const double x0 = u(rng) / 8.0, y0 = u(rng) / 8.0, x1 = x0 + w(rng) / 8.0,
                 y1 = y0 + w(rng) / 8.0, gap = w(rng) / 3.0;
    const RealRectT b{{{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}}};
    const RealPtT in{x0 + (x1 - x0) * (i % 9) / 8.0, y0 + (y1 - y0) * (i % 5) / 4.0};
    EXPECT_EQ(utl_point_box(&in, &b), 0.0);
    for (const RealPtT out : {RealPtT{x0 - gap, in.y}, RealPtT{x1 + gap, in.y},
                              RealPtT{in.x, y0 - gap}, RealPtT{in.x, y1 + gap}})
      EXPECT_NEAR(utl_point_box(&out, &b), 0.96 * gap, 1e-9);
  }
}

// Generated arcs and their chords. The chord's distance, whichever end comes
// first, lies between 0.96 and √(0.96² + 0.398²) ≈ 1.0393 times the Euclidean
// distance. The arc's is to the circle inside the sweep, else to the nearer
// end; its box holds a dense sampling of the arc and touches it.
TEST(Picking, GeneratedChordsAndArcsAgainstDistancesAndSamplesComputedHere) {
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> u(-10, 10), ang(-kPi, kPi);
  std::uniform_real_distribution<float> rad(0.1f, 20.0f);
  for (int i = 0; i < qz::test::GeneratedCases(20000); ++i) {
    const RealPtT ctr{u(rng), u(rng)};
    const float r = rad(rng);
    const double a1 = ang(rng), a2 = ang(rng), ap = ang(rng), dist = r * (0.2 + i % 5 * 0.5);
    const short dir = static_cast<short>(i % 2);
    const auto on = [&](double a, double radius) {
      return RealPtT{ctr.x + radius * std::cos(a), ctr.y + radius * std::sin(a)};
    };
    const RealPtT p1 = on(a1, r), p2 = on(a2, r), p = on(ap, dist);
    // The chord, now and then turned vertical or horizontal.
    const RealPtT e2 = i % 4 == 0 ? RealPtT{p1.x, p2.y} : i % 4 == 1 ? RealPtT{p2.x, p1.y} : p2;
    const double dx = e2.x - p1.x, dy = e2.y - p1.y, d = utl_point_line(&p, &p1, &e2);
    const double t =
        std::clamp(((p.x - p1.x) * dx + (p.y - p1.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    const double exact = std::hypot(p.x - (p1.x + t * dx), p.y - (p1.y + t * dy));
    EXPECT_TRUE(d >= 0.96 * exact - 1e-9 && d <= 1.03924 * exact + 1e-9) << i;
    EXPECT_EQ(d, utl_point_line(&p, &e2, &p1)) << i;
    const double from = dir ? a2 : a1;
    const auto ccw = [&](double a) { return std::fmod(a - from + 4 * kPi, 2 * kPi); };
    const double sweep = ccw(dir ? a1 : a2), at = ccw(ap);
    if (sweep < 1e-6 || sweep > 2 * kPi - 1e-6) continue;
    if (i % 8 == 0) {
      RealPtT max{}, min{};
      utl_maxmin_arc(&ctr, r, &p1, &p2, dir, &max, &min);
      qz::test::ExpectBoxOfSamples(
          max, min, 4000, [&](int k) { return on(from + sweep * k / 4000, r); }, 1e-6 * r,
          1e-6 * r);
    }
    if (std::fabs(at - sweep) < 1e-6 || at < 1e-6 || at > 2 * kPi - 1e-6) continue;
    const double want = at <= sweep ? std::fabs(dist - r)
                                    : std::min(utl_point_point(&p, &p1), utl_point_point(&p, &p2));
    EXPECT_NEAR(utl_point_circarc(&p, &ctr, r, &p1, &p2, dir), want, 1e-9) << i;
  }
}

}  // namespace
