// Conic classification, standard forms and the points they give back.
#include <cmath>
#include <limits>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

#include "conic_shapes.h"
#include "qzutil/geometry/conic.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTurn = 6.283185307179586;

UtlConicArcT Coefs(double A, double B, double C, double D, double E, double F) {
  UtlConicArcT arc{};
  arc.A = A, arc.B = B, arc.C = C, arc.D = D, arc.E = E, arc.F = F;
  return arc;
}

TEST(Conic, ClassifiesByTheRulesInOrderWithInclusiveTolerance) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    UtlConicArcT arc;
    char type;
  } cases[] = {
      {Coefs(1, 0, 1, 0, 0, -1), 'C'},
      {Coefs(1, 0, 4, 0, 0, -4), 'E'},
      {Coefs(1, 0, 0, 0, -1, 0), 'P'},
      {Coefs(1, 0, -1, 0, 0, -1), 'H'},
      {Coefs(0, 0, 0, 1, 1, -1), 'L'},
      {Coefs(0, 1, 0, 0, 0, -1), 'L'},  // x·y = 1
      {Coefs(1e-5, -1e-5, 1e-5, 1, 1, 0), 'L'},
      {Coefs(1, 0, 1e-5, 1, -1e-5, 0), 'L'},
      {Coefs(-1e-5, 0, 1, 1e-5, 1, 0), 'L'},
      // B² − 4AC of exactly 1e-5 is negligible; a little more is a hyperbola.
      {Coefs(1, 0, -2.5e-6, 0, 1, 0), 'P'},
      {Coefs(1, 0, -2.6e-6, 0, 1, 0), 'H'},
      {Coefs(1, 1e-5, 1, 0, 0, -1), 'C'},
      {Coefs(1, 2e-5, 1, 0, 0, -1), 'E'},
      {Coefs(nan, 0, 1, 0, 0, -1), '?'},
      {Coefs(nan, 0, 0, 0, 0, -1), 'L'},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(utl_conic_type(&c.arc), c.type)
        << c.arc.A << " " << c.arc.B << " " << c.arc.C << " " << c.arc.D << " " << c.arc.E;
  }
}

TEST(Conic, UnitCircleArcsSweepByDirection) {
  UtlConicArcT arc = Coefs(1, 0, 1, 0, 0, -1);
  arc.start = {1, 0};
  arc.end = {0, 1};
  UtlEllipseT e{};
  utl_standard_ellipse(&arc, &e);
  EXPECT_EQ(e.sinTheta, 0.0);
  EXPECT_EQ(e.cosTheta, 1.0);
  EXPECT_EQ(e.offsetX, 0.0);
  EXPECT_EQ(e.offsetY, 0.0);
  EXPECT_EQ(e.semiX, 1.0);
  EXPECT_EQ(e.semiY, 1.0);
  EXPECT_EQ(e.startAngle, 0.0);
  EXPECT_EQ(e.sweep, kPi / 2);
  arc.clockwise = 1;
  utl_standard_ellipse(&arc, &e);
  EXPECT_EQ(e.sweep, kPi / 2 - kTurn);
  arc.end = arc.start;
  utl_standard_ellipse(&arc, &e);
  EXPECT_EQ(e.sweep, -kTurn);
  arc.clockwise = 0;
  utl_standard_ellipse(&arc, &e);
  EXPECT_EQ(e.sweep, kTurn);
  // An x·y coefficient of exactly 0 leaves the frame unturned even when the
  // y² coefficient is the larger.
  arc = Coefs(1, 0, 4, 0, 0, -4);
  arc.start = arc.end = {2, 0};
  utl_standard_ellipse(&arc, &e);
  EXPECT_EQ(e.sinTheta, 0.0);
  EXPECT_EQ(e.semiX, 2.0);
  EXPECT_EQ(e.semiY, 1.0);
}

TEST(Conic, TooFlatEllipsesCollapseOntoTheirReferencePoint) {
  for (double c : {40000.0, 10000.0}) {  // semi-axes 1 and 0.005, then exactly 0.01
    UtlConicArcT arc = Coefs(1, 0, c, 0, 0, -1);
    arc.start = {1, 0};
    arc.end = {-1, 0};
    UtlEllipseT e{};
    utl_standard_ellipse(&arc, &e);
    EXPECT_EQ(e.startAngle, 0.0) << c;
    EXPECT_EQ(e.sweep, 0.0) << c;
    RealPtT p{};
    utl_ellipse_point(&e, 0.0, &p);
    EXPECT_EQ(p.x, 1.0);
    EXPECT_EQ(p.y, 0.0);
  }
}

TEST(Conic, ParabolaAndHyperbolaStandardForms) {
  UtlConicArcT arc = Coefs(1, 0, 0, 0, -1, 0);  // y = x²
  arc.start = {-1, 1};
  arc.end = {1, 1};
  UtlParabolaT p{};
  utl_standard_parabola(&arc, &p);
  EXPECT_EQ(p.axisY, 1);
  EXPECT_EQ(p.coef, 1.0);
  EXPECT_EQ(p.h, 0.0);
  EXPECT_EQ(p.k, 0.0);
  EXPECT_EQ(p.tStart, -1.0);
  EXPECT_EQ(p.tEnd, 1.0);
  RealPtT q{};
  utl_parabola_point(&p, 0.0, &q);
  EXPECT_EQ(q.x, -1.0);
  EXPECT_EQ(q.y, 1.0);
  utl_parabola_point(&p, 2.0, &q);
  EXPECT_EQ(q.x, 1.0);
  EXPECT_EQ(q.y, 1.0);

  arc = Coefs(1, 0, -1, 0, 0, -1);  // x² − y² = 1 from (1, 0)
  arc.start = {1, 0};
  UtlHyperbolaT h{};
  utl_standard_hyperbola(&arc, &h);
  EXPECT_EQ(h.axisY, 0);
  EXPECT_EQ(h.p, 1.0);
  EXPECT_EQ(h.q, -1.0);
  EXPECT_EQ(h.branch, 1.0);
  EXPECT_EQ(h.tStart, 0.0);
  for (double t : {-3.0, -0.5, 0.0, 1.0, 2.5}) {
    utl_hyperbola_point(&h, t, &q);
    EXPECT_EQ(q.x, std::sqrt(1 + t * t));
    EXPECT_EQ(q.y, t);
  }
}

// Generated arcs of turned and shifted conics: parameter 0 gives the start,
// the end parameter the end, and every point in between lies on the conic.
TEST(Conic, GeneratedArcsRunFromStartToEndOnTheConic) {
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> u(-20, 20), ang(-kPi, kPi), size(0.5, 8);
  for (int i = 0; i < 3000; ++i) {
    const qz::test::Shape s{ang(rng), u(rng), u(rng)};
    const double a = size(rng), b = size(rng), u1 = ang(rng), u2 = ang(rng);
    UtlConicArcT arc{};
    RealPtT first{}, last{};
    double span = 0;
    switch (i % 3) {
      case 0: {  // ellipse X²/a² + Y²/b² = 1
        arc = s.Arc(1 / (a * a), 0, 1 / (b * b), 0, 0, -1);
        arc.start = s.World(a * std::cos(u1), b * std::sin(u1));
        arc.end = s.World(a * std::cos(u2), b * std::sin(u2));
        arc.clockwise = static_cast<short>(i % 2);
        UtlEllipseT e{};
        utl_standard_ellipse(&arc, &e);
        const double ccw = std::fmod(u2 - u1 + 4 * kPi, 2 * kPi);
        if (ccw < 1e-3 || ccw > 2 * kPi - 1e-3) continue;
        EXPECT_NEAR(e.sweep, arc.clockwise ? ccw - 2 * kPi : ccw, 1e-8);
        utl_ellipse_point(&e, 0.0, &first);
        utl_ellipse_point(&e, e.sweep, &last);
        for (double t = 0; std::fabs(t) < std::fabs(e.sweep); t += e.sweep / 7) {
          RealPtT q{};
          utl_ellipse_point(&e, t, &q);
          EXPECT_NEAR(qz::test::Residual(arc, q), 0.0, 1e-9 * (1 + std::fabs(arc.F)));
        }
        break;
      }
      case 1: {  // parabola Y = X² · a / 4
        arc = s.Arc(a / 4, 0, 0, 0, -1, 0);
        arc.start = s.World(u1, a / 4 * u1 * u1);
        arc.end = s.World(u2, a / 4 * u2 * u2);
        UtlParabolaT p{};
        utl_standard_parabola(&arc, &p);
        span = p.tEnd - p.tStart;
        utl_parabola_point(&p, 0.0, &first);
        utl_parabola_point(&p, span, &last);
        break;
      }
      default: {  // hyperbola X²/a² − Y²/b² = 1, one branch
        arc = s.Arc(1 / (a * a), 0, -1 / (b * b), 0, 0, -1);
        const double side = i % 2 ? 1.0 : -1.0;
        arc.start = s.World(side * a * std::cosh(u1), b * std::sinh(u1));
        arc.end = s.World(side * a * std::cosh(u2), b * std::sinh(u2));
        UtlHyperbolaT h{};
        utl_standard_hyperbola(&arc, &h);
        span = h.tEnd - h.tStart;
        utl_hyperbola_point(&h, 0.0, &first);
        utl_hyperbola_point(&h, span, &last);
        RealPtT mid{};
        utl_hyperbola_point(&h, span / 2, &mid);
        EXPECT_NEAR(qz::test::Residual(arc, mid), 0.0, 1e-7 * (1 + std::fabs(arc.F)));
        break;
      }
    }
    EXPECT_NEAR(first.x, arc.start.x, 1e-7) << i;
    EXPECT_NEAR(first.y, arc.start.y, 1e-7) << i;
    EXPECT_NEAR(last.x, arc.end.x, 1e-7) << i;
    EXPECT_NEAR(last.y, arc.end.y, 1e-7) << i;
  }
}

}  // namespace
