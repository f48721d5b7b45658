// Conic classification, standard forms and the points they give back.
#include <cmath>
#include <iterator>
#include <limits>
#include <numbers>
#include <random>
#include <tuple>

#include <gtest/gtest.h>

#include "conic_shapes.h"
#include "qzutil/geometry/conic.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTurn = 6.283185307179586;

UtlConicArcT Arc(double A, double B, double C, double D, double E, double F, RealPtT s = {},
                 RealPtT e = {}) {
  return {A, B, C, D, E, F, s, e, 0};
}

TEST(Conic, ClassifiesByTheRulesInOrderWithInclusiveTolerance) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // A, B, C, D, E, F. Tolerance ties count as negligible: the sixth to eighth
  // rows are lines by rules 1 to 3, and B² − 4AC of exactly 1e-5 is a
  // parabola where a little more is a hyperbola. x·y = 1 is a line by rule 2.
  const double rows[][6] = {
      {1, 0, 1, 0, 0, -1},       {1, 0, 4, 0, 0, -4},       {1, 0, 0, 0, -1, 0},
      {1, 0, -1, 0, 0, -1},      {0, 1, 0, 0, 0, -1},       {1e-5, -1e-5, 1e-5, 1, 1, 0},
      {1, 0, 1e-5, 1, -1e-5, 0}, {-1e-5, 0, 1, 1e-5, 1, 0}, {1, 0, -2.5e-6, 0, 1, 0},
      {1, 0, -2.6e-6, 0, 1, 0},  {1, 1e-5, 1, 0, 0, -1},    {1, 2e-5, 1, 0, 0, -1},
      {nan, 0, 1, 0, 0, -1},     {nan, 0, 0, 0, 0, -1}};
  const char want[] = "CEPHLLLLPHCE?L";
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const double* r = rows[i];
    const UtlConicArcT arc = Arc(r[0], r[1], r[2], r[3], r[4], r[5]);
    EXPECT_EQ(utl_conic_type(&arc), want[i]) << i;
  }
}

TEST(Conic, EllipseSweepsFollowTheDirectionAndFlatOnesCollapse) {
  UtlConicArcT arc = Arc(1, 0, 1, 0, 0, -1, {1, 0}, {0, 1});
  UtlEllipseT e{};
  utl_standard_ellipse(&arc, &e);
  EXPECT_EQ(std::make_tuple(e.sinTheta, e.cosTheta, e.offsetX, e.offsetY, e.semiX, e.semiY,
                            e.startAngle, e.sweep),
            std::make_tuple(0.0, 1.0, 0.0, 0.0, 1.0, 1.0, 0.0, kPi / 2));
  // Coincident ends, and ends 5e-5 apart in the arc's own direction (under the
  // 0.0001 threshold), make a full turn; acos near 1 costs about 1e-8.
  const double tiny = 5e-5, tx = std::cos(tiny), ty = std::sin(tiny);
  const struct {
    RealPtT end;
    short clockwise;
    double sweep, tolerance;
  } sweeps[] = {{{0, 1}, 1, kPi / 2 - kTurn, 0},
                {{1, 0}, 0, kTurn, 0},
                {{1, 0}, 1, -kTurn, 0},
                {{tx, ty}, 0, tiny + kTurn, 1e-7},
                {{tx, -ty}, 1, -tiny - kTurn, 1e-7}};
  for (const auto& s : sweeps) {
    arc.end = s.end;
    arc.clockwise = s.clockwise;
    utl_standard_ellipse(&arc, &e);
    EXPECT_NEAR(e.sweep, s.sweep, s.tolerance) << s.end.y << " " << s.clockwise;
  }
  // B exactly 0: the frame stays unturned although the y² coefficient is larger.
  arc = Arc(1, 0, 4, 0, 0, -4, {2, 0}, {2, 0});
  utl_standard_ellipse(&arc, &e);
  EXPECT_EQ(std::make_tuple(e.sinTheta, e.semiX, e.semiY), std::make_tuple(0.0, 2.0, 1.0));
  for (double c : {40000.0, 10000.0}) {  // semi-axes 1 and 0.005, then exactly 0.01
    arc = Arc(1, 0, c, 0, 0, -1, {1, 0}, {-1, 0});
    utl_standard_ellipse(&arc, &e);
    RealPtT p{};
    utl_ellipse_point(&e, 0.0, &p);
    EXPECT_EQ(std::make_tuple(e.startAngle, e.sweep, p.x, p.y), std::make_tuple(0.0, 0.0, 1.0, 0.0))
        << c;
  }
}

// Arcs of turned and shifted conics: parameter 0 gives the start, the end
// parameter the end, and the parameter midway a point on the conic.
TEST(Conic, GeneratedArcsRunFromStartToEndOnTheConic) {
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> u(-20, 20), ang(-kPi, kPi), size(0.5, 8);
  int axis_seen[2][2] = {};  // [parabola, hyperbola][axisY]
  for (int i = 0; i < 3000; ++i) {
    const qz::test::Shape s{ang(rng), u(rng), u(rng)};
    const double a = size(rng), b = size(rng), u1 = ang(rng), u2 = ang(rng), side = i % 2 ? 1 : -1;
    const int kind = i % 3;  // ellipse, parabola Y = X²·a/4, one branch of a hyperbola
    const auto on = [&](double t) {
      if (kind == 0) return s.World(a * std::cos(t), b * std::sin(t));
      if (kind == 1) return s.World(t, a / 4 * t * t);
      return s.World(side * a * std::cosh(t), b * std::sinh(t));
    };
    UtlConicArcT arc = kind == 0   ? s.Arc(1 / (a * a), 1 / (b * b), 0, -1)
                       : kind == 1 ? s.Arc(a / 4, 0, -1, 0)
                                   : s.Arc(1 / (a * a), -1 / (b * b), 0, -1);
    if (i / 3 % 2 != 0) {  // the same conic with every sign flipped takes the other axis
      for (double* k : {&arc.A, &arc.B, &arc.C, &arc.D, &arc.E, &arc.F})
        *k = -*k;
    }
    arc.start = on(u1);
    arc.end = on(u2);
    arc.clockwise = static_cast<short>(i % 2);
    const double ccw = std::fmod(u2 - u1 + 4 * kPi, 2 * kPi);
    if (ccw < 1e-3 || ccw > 2 * kPi - 1e-3) continue;
    RealPtT at[3];  // start, middle, end
    if (kind == 0) {
      UtlEllipseT e{};
      utl_standard_ellipse(&arc, &e);
      EXPECT_NEAR(e.sweep, arc.clockwise ? ccw - 2 * kPi : ccw, 1e-8);
      for (int k = 0; k < 3; ++k)
        utl_ellipse_point(&e, e.sweep * k / 2, &at[k]);
    } else if (kind == 1) {
      UtlParabolaT p{};
      utl_standard_parabola(&arc, &p);
      ++axis_seen[0][p.axisY != 0];
      for (int k = 0; k < 3; ++k)
        utl_parabola_point(&p, (p.tEnd - p.tStart) * k / 2, &at[k]);
    } else {
      UtlHyperbolaT h{};
      utl_standard_hyperbola(&arc, &h);
      ++axis_seen[1][h.axisY != 0];
      for (int k = 0; k < 3; ++k)
        utl_hyperbola_point(&h, (h.tEnd - h.tStart) * k / 2, &at[k]);
    }
    EXPECT_NEAR(at[0].x, arc.start.x, 1e-7) << i;
    EXPECT_NEAR(at[0].y, arc.start.y, 1e-7) << i;
    EXPECT_NEAR(at[2].x, arc.end.x, 1e-7) << i;
    EXPECT_NEAR(at[2].y, arc.end.y, 1e-7) << i;
    EXPECT_NEAR(qz::test::Residual(arc, at[1]), 0.0, 1e-7 * (1 + std::fabs(arc.F))) << i;
  }
  for (const auto& seen : axis_seen)
    EXPECT_TRUE(seen[0] > 0 && seen[1] > 0);
}

}  // namespace
