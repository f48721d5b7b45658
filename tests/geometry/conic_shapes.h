// Conic arcs built from a geometric description, for the conic tests.
#ifndef QZUTIL_TESTS_GEOMETRY_CONIC_SHAPES_H
#define QZUTIL_TESTS_GEOMETRY_CONIC_SHAPES_H

#include <cmath>

#include "qzutil/geometry/conic.h"

namespace qz::test {

// The conic qa·X² + qc·Y² + e·Y + f = 0 in a frame turned by phi about
// (cx, cy), where X = c·dx + s·dy and Y = −s·dx + c·dy for dx = x − cx,
// dy = y − cy, expanded into world coefficients.
struct Shape {
  double phi, cx, cy;

  RealPtT World(double X, double Y) const {
    const double c = std::cos(phi), s = std::sin(phi);
    return {cx + X * c - Y * s, cy + X * s + Y * c};
  }

  UtlConicArcT Arc(double qa, double qc, double e, double f) const {
    const double c = std::cos(phi), s = std::sin(phi);
    const double A = qa * c * c + qc * s * s, B = 2 * (qa - qc) * c * s,
                 C = qa * s * s + qc * c * c;
    const double ld = -e * s, le = e * c;  // e·Y in dx and dy
    const double F = f + A * cx * cx + B * cx * cy + C * cy * cy - ld * cx - le * cy;
    return {A, B, C, ld - 2 * A * cx - B * cy, le - 2 * C * cy - B * cx, F, {}, {}, 0};
  }
};

inline double Residual(const UtlConicArcT& a, const RealPtT& p) {
  return a.A * p.x * p.x + a.B * p.x * p.y + a.C * p.y * p.y + a.D * p.x + a.E * p.y + a.F;
}

}  // namespace qz::test

#endif  // QZUTIL_TESTS_GEOMETRY_CONIC_SHAPES_H
