#include "qzutil/geometry/picking.h"

#include <cmath>

#include "qzutil/geometry/approx_distance.h"

using qz::detail::ApproxDistance;

double utl_point_line(const RealPtT* point, const RealPtT* end1, const RealPtT* end2) {
  // Low end first: smaller x, then smaller y, then the first given.
  const bool swap = end2->x < end1->x || (end2->x == end1->x && end2->y < end1->y);
  const RealPtT lo = swap ? *end2 : *end1;
  const RealPtT hi = swap ? *end1 : *end2;
  const double dx = hi.x - lo.x, dy = hi.y - lo.y;
  RealPtT n;
  if (dx == 0.0) {  // vertical, or a single point
    n.x = lo.x;
    n.y = point->y > hi.y ? hi.y : (point->y < lo.y ? lo.y : point->y);
  } else if (dy == 0.0) {
    n.y = lo.y;
    n.x = point->x > hi.x ? hi.x : (point->x < lo.x ? lo.x : point->x);
  } else {
    // x of the foot of the perpendicular; since dx is not zero the clamp to
    // the segment can be decided on x alone.
    const double f =
        (dx * (point->y - lo.y) * dy + dy * dy * lo.x + dx * dx * point->x) / (dy * dy + dx * dx);
    if (f < lo.x) {
      n = lo;
    } else if (f > hi.x) {
      n = hi;
    } else {
      n.x = f;
      n.y = lo.y + (f - lo.x) / dx * dy;
    }
  }
  return ApproxDistance(point->x - n.x, point->y - n.y);
}

double utl_point_point(const RealPtT* point, const RealPtT* other) {
  return ApproxDistance(point->x - other->x, point->y - other->y);
}

double utl_point_circle(const RealPtT* point, const RealPtT* centre, double radius) {
  const double ex = point->x - centre->x, ey = point->y - centre->y;
  return std::fabs(std::sqrt(ey * ey + ex * ex) - radius);
}

double utl_point_box(const RealPtT* point, const RealRectT* box) {
  const RealPtT* c = box->corner;
  const auto mid = [](const RealPtT& a, const RealPtT& b) {
    return RealPtT{(a.x + b.x) * 0.5, (a.y + b.y) * 0.5};
  };
  // Each mid-line runs through the box parallel to one pair of sides; half
  // the length of the other pair is how far inside the box reaches from it.
  const RealPtT m01 = mid(c[0], c[1]), m23 = mid(c[2], c[3]);
  const RealPtT m02 = mid(c[0], c[2]), m13 = mid(c[1], c[3]);
  const double s1 =
      utl_point_line(point, &m01, &m23) - 0.5 * ApproxDistance(c[0].x - c[1].x, c[0].y - c[1].y);
  const double s2 =
      utl_point_line(point, &m02, &m13) - 0.5 * ApproxDistance(c[0].x - c[2].x, c[0].y - c[2].y);
  const double s = s1 > s2 ? s1 : s2;
  return s < 0.0 ? 0.0 : s;
}
