// Boxes of cubic segments and conic arcs.
#include <cmath>

#include "qzutil/geometry/conic_samples.h"
#include "qzutil/geometry/extents.h"

namespace {

// Extremes of one coordinate k0·t³ + k1·t² + k2·t + k3 over 0 ≤ t ≤ 1: the
// end values, widened by the turning points strictly inside the range.
void CoordinateRange(const double* k, double* hi, double* lo) {
  const double p0 = k[3];
  const double p1 = k[2] + k[3] + k[1] + k[0];
  double mn = p1 < p0 ? p1 : p0;  // ties keep p(0)
  double mx = p1 > p0 ? p1 : p0;
  const auto consider = [&](double t) {
    if (!(t > 0.0 && t < 1.0)) return;
    const double v = utl_evaluate_cubic(k, t);
    if (v <= mn) mn = v;
    if (v >= mx) mx = v;
  };
  if (k[0] != 0.0) {
    const double disc = k[1] * k[1] - 3.0 * k[0] * k[2];
    if (!(disc < 0.0)) {
      const double q = std::sqrt(disc);
      consider((q - k[1]) / (3.0 * k[0]));
      consider((-k[1] - q) / (3.0 * k[0]));
    }
  } else if (k[1] != 0.0) {
    consider(-k[2] / (2.0 * k[1]));
  }
  *hi = mx;
  *lo = mn;
}

}  // namespace

void utl_maxmin_cubic(const UtlCubicT* cubic, RealPtT* max, RealPtT* min) {
  double hx = 0.0, lx = 0.0, hy = 0.0, ly = 0.0;
  CoordinateRange(cubic->xCoef, &hx, &lx);
  CoordinateRange(cubic->yCoef, &hy, &ly);
  *max = RealPtT{hx, hy};
  *min = RealPtT{lx, ly};
}

void utl_maxmin_conic(const UtlConicArcT* arc, RealPtT* max, RealPtT* min) {
  const RealPtT s = arc->start, e = arc->end;
  RealPtT hi{s.x > e.x ? s.x : e.x, s.y > e.y ? s.y : e.y};  // ties take the end point
  RealPtT lo{s.x < e.x ? s.x : e.x, s.y < e.y ? s.y : e.y};
  qz::detail::ConicSamples samples;
  if (samples.Prepare(arc, utl_conic_type(arc))) {
    samples.ForEach([&](const RealPtT& p) {
      if (p.x >= hi.x) hi.x = p.x;
      if (p.x <= lo.x) lo.x = p.x;
      if (p.y >= hi.y) hi.y = p.y;
      if (p.y <= lo.y) lo.y = p.y;
    });
  }
  *max = hi;
  *min = lo;
}
