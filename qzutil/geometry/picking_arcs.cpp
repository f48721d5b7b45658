// Picking distances to circular and conic arcs.
#include <cmath>

#include "qzutil/geometry/approx_distance.h"
#include "qzutil/geometry/conic_samples.h"
#include "qzutil/geometry/picking.h"

using qz::detail::ApproxDistance;

namespace {

// The full turn used to unwrap circular-arc angles: a ten-digit 2π, slightly
// larger than the exact value.
constexpr double kArcFullTurn = 6.283185308;

// Marks "nothing measured yet"; every sampled type replaces it.
constexpr double kNotMeasured = 6.022e23;

}  // namespace

double utl_point_circarc(const RealPtT* point, const RealPtT* centre, double radius,
                         const RealPtT* first, const RealPtT* second, short direction) {
  // Run counter-clockwise from `from` to `to` whatever the direction.
  const RealPtT* from = direction != 0 ? second : first;
  const RealPtT* to = direction != 0 ? first : second;
  double ap = std::atan2(point->y - centre->y, point->x - centre->x);
  const double a1 = std::atan2(from->y - centre->y, from->x - centre->x);
  double a2 = std::atan2(to->y - centre->y, to->x - centre->x);
  // atan2 answers within ±π, so each loop turns at most once.
  while (a2 < a1)
    a2 += kArcFullTurn;
  while (ap < a1)
    ap += kArcFullTurn;
  if (ap <= a2) return utl_point_circle(point, centre, radius);
  const double d1 = ApproxDistance(point->x - from->x, point->y - from->y);
  const double d2 = ApproxDistance(point->x - to->x, point->y - to->y);
  return d1 < d2 ? d1 : d2;
}

double utl_point_conarc(const RealPtT* point, const UtlConicArcT* arc) {
  const char type = utl_conic_type(arc);
  if (type == 'L') return utl_point_line(point, &arc->start, &arc->end);
  qz::detail::ConicSamples samples;
  double best = kNotMeasured;
  if (samples.Prepare(arc, type)) {
    samples.ForEach([&](const RealPtT& p) {
      const double d = ApproxDistance(point->x - p.x, point->y - p.y);
      if (d <= best) best = d;
    });
  }
  return best;
}
