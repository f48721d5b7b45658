// Conic arcs built from their geometric description, for the conic tests.
#ifndef QZUTIL_TESTS_GEOMETRY_CONIC_SHAPES_H
#define QZUTIL_TESTS_GEOMETRY_CONIC_SHAPES_H

#include <cmath>

#include "qzutil/geometry/conic.h"

namespace qz::test {

// A conic given in a frame turned by phi about (cx, cy) as
// qa·X² + qb·X·Y + qc·Y² + d·X + e·Y + f = 0, with X, Y the frame
// coordinates of a point, expanded into world coefficients.
struct Shape {
  double phi, cx, cy;

  RealPtT World(double X, double Y) const {
    const double c = std::cos(phi), s = std::sin(phi);
    return {cx + X * c - Y * s, cy + X * s + Y * c};
  }

  UtlConicArcT Arc(double qa, double qb, double qc, double d, double e, double f) const {
    const double c = std::cos(phi), s = std::sin(phi);
    // X = c·dx + s·dy, Y = −s·dx + c·dy with dx = x − cx, dy = y − cy.
    const double A = qa * c * c - qb * c * s + qc * s * s;
    const double B = 2 * qa * c * s + qb * (c * c - s * s) - 2 * qc * s * c;
    const double C = qa * s * s + qb * c * s + qc * c * c;
    const double ld = d * c - e * s, le = d * s + e * c;
    UtlConicArcT arc{};
    arc.A = A;
    arc.B = B;
    arc.C = C;
    arc.D = ld - 2 * A * cx - B * cy;
    arc.E = le - 2 * C * cy - B * cx;
    arc.F = f + A * cx * cx + B * cx * cy + C * cy * cy - ld * cx - le * cy;
    return arc;
  }
};

inline double Residual(const UtlConicArcT& a, const RealPtT& p) {
  return a.A * p.x * p.x + a.B * p.x * p.y + a.C * p.y * p.y + a.D * p.x + a.E * p.y + a.F;
}

}  // namespace qz::test

#endif  // QZUTIL_TESTS_GEOMETRY_CONIC_SHAPES_H
