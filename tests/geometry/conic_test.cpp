// Conic classification, standard forms and their points, and the conic-arc
// picking distance and box, which both measure the arc through its samples.
#include <iterator>
#include <vector>

#include "geometry_test.h"

namespace {

using qz::test::kPi;
constexpr double kTurn = 6.283185307179586;

UtlConicArcT Arc(double A, double B, double C, double D, double E, double F, RealPtT s = {},
                 RealPtT e = {}) {
  return {A, B, C, D, E, F, s, e, 0};
}

// A frame turned by an angle of cosine c and sine s about (cx, cy): frame
// coordinates X = c·dx + s·dy, Y = −s·dx + c·dy for dx = x − cx, dy = y − cy.
struct Shape {
  double c, s, cx, cy;

  RealPtT World(double X, double Y) const { return {cx + X * c - Y * s, cy + X * s + Y * c}; }

  // The conic qa·X² + qc·Y² + e·Y + f = 0 expanded into world coefficients.
  UtlConicArcT Arc(double qa, double qc, double e, double f) const {
    const double A = qa * c * c + qc * s * s, B = 2 * (qa - qc) * c * s,
                 C = qa * s * s + qc * c * c;
    const double ld = -e * s, le = e * c;  // e·Y in dx and dy
    const double F = f + A * cx * cx + B * cx * cy + C * cy * cy - ld * cx - le * cy;
    return {A, B, C, ld - 2 * A * cx - B * cy, le - 2 * C * cy - B * cx, F, {}, {}, 0};
  }
};

TEST(Conic, ClassifiesByTheRulesInOrderAndMeasuresLinesByTheirEnds) {
  // A, B, C, D, E, F. Tolerance ties count as negligible: the sixth to eighth
  // rows are lines by rules 1 to 3, and B² − 4AC of exactly 1e-5 is a
  // parabola where a little more is a hyperbola. x·y = 1 is a line by rule 2.
  // Lines and undefined conics are measured by their end points only.
  const double rows[][6] = {
      {1, 0, 1, 0, 0, -1},       {1, 0, 4, 0, 0, -4},       {1, 0, 0, 0, -1, 0},
      {1, 0, -1, 0, 0, -1},      {0, 1, 0, 0, 0, -1},       {1e-5, -1e-5, 1e-5, 1, 1, 0},
      {1, 0, 1e-5, 1, -1e-5, 0}, {-1e-5, 0, 1, 1e-5, 1, 0}, {1, 0, -2.5e-6, 0, 1, 0},
      {1, 0, -2.6e-6, 0, 1, 0},  {1, 1e-5, 1, 0, 0, -1},    {1, 2e-5, 1, 0, 0, -1},
      {NAN, 0, 1, 0, 0, -1},     {NAN, 0, 0, 0, 0, -1}};
  const char want[] = "CEPHLLLLPHCE?L";
  const RealPtT p{3, 5};
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const double* r = rows[i];
    const UtlConicArcT arc = Arc(r[0], r[1], r[2], r[3], r[4], r[5], {1, 1}, {4, 0.25});
    EXPECT_EQ(utl_conic_type(&arc), want[i]) << i;
    if (want[i] != 'L' && want[i] != '?') continue;
    RealPtT max{}, min{};
    utl_maxmin_conic(&arc, &max, &min);
    EXPECT_EQ(std::make_tuple(max.x, max.y, min.x, min.y), std::make_tuple(4.0, 1.0, 1.0, 0.25));
    EXPECT_EQ(utl_point_conarc(&p, &arc),
              want[i] == 'L' ? utl_point_line(&p, &arc.start, &arc.end) : 6.022e23);
  }
}

TEST(Conic, EllipseSweepsFollowTheDirectionAndFlatOnesCollapse) {
  UtlConicArcT arc = Arc(1, 0, 1, 0, 0, -1, {1, 0}, {0, 1});
  UtlEllipseT e{};
  // End x, end y, clockwise, sweep, tolerance. Coincident ends, and ends 5e-5
  // apart in the arc's own direction (under the 0.0001 threshold), make a
  // full turn; acos near 1 costs about 1e-8.
  const double tiny = 5e-5, tx = std::cos(tiny), ty = std::sin(tiny);
  const double sweeps[][5] = {
      {0, 1, 0, kPi / 2, 0}, {0, 1, 1, kPi / 2 - kTurn, 0},   {1, 0, 0, kTurn, 0},
      {1, 0, 1, -kTurn, 0},  {tx, ty, 0, tiny + kTurn, 1e-7}, {tx, -ty, 1, -tiny - kTurn, 1e-7}};
  for (const auto& s : sweeps) {
    arc.end = {s[0], s[1]};
    arc.clockwise = static_cast<short>(s[2]);
    utl_standard_ellipse(&arc, &e);
    EXPECT_NEAR(e.sweep, s[3], s[4]) << s[1] << " " << s[2];
  }
  // Semi-axes 1 and 0.005, then exactly 0.01: too flat, every sample lies at
  // (1, 0). B is exactly 0, so the frame stays unturned although the y²
  // coefficient is the larger.
  for (double c : {40000.0, 10000.0}) {
    arc = Arc(1, 0, c, 0, 0, -1, {1, 0}, {-1, 0});
    utl_standard_ellipse(&arc, &e);
    EXPECT_EQ(std::make_tuple(e.sinTheta, e.semiX, e.startAngle, e.sweep,
                              utl_point_conarc(&arc.end, &arc)),
              std::make_tuple(0.0, 1.0, 0.0, 0.0, 1.92))
        << c;
  }
}

// Every sample of an arc is hit, and the points half-way between two samples
// (or half a step past the end) are not: a unit-circle arc of sweep 0.1 has
// 1 + 1 samples raised to 3, a quarter turn 1 + 18 (one every 5 degrees), a
// sweep of 2 just 1 + 22, and a parabola 40 evenly spaced in x, both ends
// included, none at the vertex.
TEST(Conic, SampleCountsAndSpacing) {
  const auto circle = [](double t) { return RealPtT{std::cos(t), std::sin(t)}; };
  const auto parabola = [](double x) { return RealPtT{x, x * x}; };
  const struct {
    UtlConicArcT arc;
    RealPtT (*at)(double);
    double from, step;
    int count;
  } arcs[] = {{Arc(1, 0, 1, 0, 0, -1, {1, 0}, circle(0.1)), circle, 0, 0.05, 3},
              {Arc(1, 0, 1, 0, 0, -1, {1, 0}, circle(kPi / 2)), circle, 0, kPi / 36, 19},
              {Arc(1, 0, 1, 0, 0, -1, {1, 0}, circle(2)), circle, 0, 2.0 / 22, 23},
              {Arc(1, 0, 0, 0, -1, 0, {-1, 1}, {1, 1}), parabola, -1, 2.0 / 39, 40}};
  for (const auto& c : arcs) {
    for (int k = 0; k < c.count; ++k) {
      const RealPtT on = c.at(c.from + k * c.step), off = c.at(c.from + (k + 0.5) * c.step);
      EXPECT_LT(utl_point_conarc(&on, &c.arc), 1e-12) << k;
      EXPECT_GT(utl_point_conarc(&off, &c.arc), 0.45 * c.step) << k;
    }
  }
  RealPtT max{}, min{};
  utl_maxmin_conic(&arcs[3].arc, &max, &min);
  EXPECT_NEAR(max.x, 1.0, 1e-12);  // the last sample carries the step's rounding
  EXPECT_EQ(min.x, -1.0);
  EXPECT_NEAR(min.y, (1.0 / 39) * (1.0 / 39), 1e-12);
}

// Arcs of turned and shifted conics, half with all signs flipped (the other
// axis of parabolas and hyperbolas): parameters 0, midway and end give start,
// middle and end. Elliptic arcs, sampled densely: the box reaches the extent
// within one sample gap and never beyond, and the pick distance stays in the
// approximate-distance band, give or take half a gap.
TEST(Conic, GeneratedArcsAgainstTheConicComputedHere) {
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> u(-20, 20), ang(-kPi, kPi), size(0.5, 8);
  for (int i = 0; i < qz::test::GeneratedCases(3000); ++i) {
    const double phi = ang(rng);
    const Shape s{std::cos(phi), std::sin(phi), u(rng), u(rng)};
    const double a = size(rng), b = size(rng), u1 = ang(rng), side = i % 2 ? 1 : -1;
    const int kind = i % 3;  // ellipse, parabola Y = X²·a/4, one branch of a hyperbola
    const double span = 0.05 + 0.69 * (i % 10);  // an ellipse's, in the arc's direction
    const double u2 = kind != 0 ? ang(rng) : (i % 2 ? u1 - span : u1 + span);
    const auto on = [&](double t) {
      if (kind == 0) return s.World(a * std::cos(t), b * std::sin(t));
      if (kind == 1) return s.World(t, a / 4 * t * t);
      return s.World(side * a * std::cosh(t), b * std::sinh(t));
    };
    const double g = i / 3 % 2 ? -1 : 1;  // every other conic with all signs flipped
    UtlConicArcT arc = kind == 0   ? s.Arc(g / (a * a), g / (b * b), 0, -g)
                       : kind == 1 ? s.Arc(g * a / 4, 0, -g, 0)
                                   : s.Arc(g / (a * a), -g / (b * b), 0, -g);
    arc.start = on(u1);
    arc.end = on(u2);
    arc.clockwise = static_cast<short>(i % 2);
    RealPtT at[3];  // start, middle, end
    if (kind == 0) {
      UtlEllipseT e{};
      utl_standard_ellipse(&arc, &e);
      EXPECT_NEAR(e.sweep, arc.clockwise ? -span : span, 1e-8);
      for (int k = 0; k < 3; ++k)
        utl_ellipse_point(&e, e.sweep * k / 2, &at[k]);
      std::vector<RealPtT> dense(4001);
      for (int k = 0; k <= 4000; ++k)
        dense[k] = on(std::min(u1, u2) + span * k / 4000);
      const double gap = std::max(a, b) * 0.09, fine = std::max(a, b) * span / 4000;
      RealPtT max{}, min{};
      utl_maxmin_conic(&arc, &max, &min);
      qz::test::ExpectBoxOfSamples(
          max, min, 4000, [&](int k) { return dense[k]; }, fine, gap);
      for (const RealPtT& p : {RealPtT{u(rng), u(rng)}, RealPtT{u(rng), u(rng)}, dense[1234]}) {
        double exact = 1e300;
        for (const RealPtT& q : dense)
          exact = std::min(exact, std::hypot(p.x - q.x, p.y - q.y));
        const double d = utl_point_conarc(&p, &arc);
        EXPECT_TRUE(d >= 0.96 * (exact - fine) && d <= 1.03924 * (exact + gap / 2)) << i;
      }
    } else if (kind == 1) {
      UtlParabolaT p{};
      utl_standard_parabola(&arc, &p);
      for (int k = 0; k < 3; ++k)
        utl_parabola_point(&p, (p.tEnd - p.tStart) * k / 2, &at[k]);
    } else {
      UtlHyperbolaT h{};
      utl_standard_hyperbola(&arc, &h);
      for (int k = 0; k < 3; ++k)
        utl_hyperbola_point(&h, (h.tEnd - h.tStart) * k / 2, &at[k]);
    }
    // The standard parameters are affine in t, except the hyperbola's in sinh t.
    const double mid = kind == 2 ? std::asinh((std::sinh(u1) + std::sinh(u2)) / 2) : (u1 + u2) / 2;
    const RealPtT want[3] = {arc.start, on(mid), arc.end};
    for (int k = 0; k < 3; ++k)
      EXPECT_LT(std::hypot(at[k].x - want[k].x, at[k].y - want[k].y), 1e-7) << i << " " << k;
  }
}

}  // namespace
