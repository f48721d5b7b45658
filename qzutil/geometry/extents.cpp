// Boxes of circular arcs, circles and rotated rectangles.
#include <cmath>

#include "qzutil/geometry/extents.h"
#include "qzutil/geometry/trig.h"

namespace {

constexpr double kArcFullTurn = 6.283185308;
// The double nearest 1 / 3.141592654. Because that divisor is slightly larger
// than π, a point exactly at 90, 180 or 270 degrees falls in the quadrant
// before it.
constexpr double kInvPi = 0.31830988614222805;

// Where each coordinate of the box comes from.
enum Source : unsigned char {
  kSx,    // from-point x
  kSy,    // from-point y
  kEx,    // to-point x
  kEy,    // to-point y
  kCxp,   // centre x + r
  kCyp,   // centre y + r
  kCxm,   // centre x - r
  kCym,   // centre y - r
  kMaxX,  // larger of the end x values (a tie takes the to-point's)
  kMaxY,
  kMinX,  // smaller of the end x values (a tie takes the to-point's)
  kMinY,
};

// Indexed by from-quadrant × 4 + to-quadrant: max x, max y, min x, min y.
// Every axis direction the arc passes contributes the circle's extreme; the
// other extremes come from the end points. When both ends share a quadrant
// the row holds only if the arc stays in it (see below).
constexpr Source kArcBox[16][4] = {
    {kSx, kEy, kEx, kSy},       // 0 0
    {kSx, kCyp, kEx, kMinY},    // 0 1
    {kSx, kCyp, kCxm, kEy},     // 0 2
    {kMaxX, kCyp, kCxm, kCym},  // 0 3
    {kCxp, kMaxY, kCxm, kCym},  // 1 0
    {kSx, kSy, kEx, kEy},       // 1 1
    {kMaxX, kSy, kCxm, kEy},    // 1 2
    {kEx, kSy, kCxm, kCym},     // 1 3
    {kCxp, kEy, kSx, kCym},     // 2 0
    {kCxp, kCyp, kMinX, kCym},  // 2 1
    {kEx, kSy, kSx, kEy},       // 2 2
    {kEx, kMaxY, kSx, kCym},    // 2 3
    {kCxp, kEy, kMinX, kSy},    // 3 0
    {kCxp, kCyp, kEx, kSy},     // 3 1
    {kCxp, kCyp, kCxm, kMinY},  // 3 2
    {kEx, kEy, kSx, kSy},       // 3 3
};

// Angle about the centre in 0 .. 6.283185308.
double ArcAngle(const RealPtT& p, const RealPtT& c) {
  const double a = std::atan2(p.y - c.y, p.x - c.x);
  return a < 0.0 ? a + kArcFullTurn : a;
}

// Integer part of 2a ÷ 3.141592654. An angle a hair below the +x axis wraps
// to exactly 6.283185308 and would give 4; it lies in quadrant 3 and is
// counted there.
int Quadrant(double a) {
  const double v = 2.0 * a * kInvPi;
  if (v >= 3.0) return 3;
  if (v >= 2.0) return 2;
  if (v >= 1.0) return 1;
  return 0;
}

}  // namespace

void utl_maxmin_arc(const RealPtT* centre, float radius, const RealPtT* first,
                    const RealPtT* second, short direction, RealPtT* max, RealPtT* min) {
  const RealPtT c = *centre;
  const RealPtT s = direction != 0 ? *second : *first;  // arc runs ccw from s to e
  const RealPtT e = direction != 0 ? *first : *second;
  if ((s.x - c.x == 0.0 && s.y - c.y == 0.0) || (e.x - c.x == 0.0 && e.y - c.y == 0.0)) {
    *max = c;
    *min = c;
    return;
  }
  const double r = radius;
  const double as = ArcAngle(s, c), ae = ArcAngle(e, c);
  const int qs = Quadrant(as), qe = Quadrant(ae);
  if (qs == qe && !(ae > as)) {
    // Both ends in one quadrant but the arc leaves it: it goes all the way round.
    utl_maxmin_circle(&c, r, max, min);
    return;
  }
  const double value[] = {
      s.x,
      s.y,
      e.x,
      e.y,
      c.x + r,
      c.y + r,
      c.x - r,
      c.y - r,
      s.x > e.x ? s.x : e.x,
      s.y > e.y ? s.y : e.y,
      s.x < e.x ? s.x : e.x,
      s.y < e.y ? s.y : e.y,
  };
  const Source* row = kArcBox[qs * 4 + qe];
  *max = RealPtT{value[row[0]], value[row[1]]};
  *min = RealPtT{value[row[2]], value[row[3]]};
}

void utl_maxmin_circle(const RealPtT* centre, double radius, RealPtT* max, RealPtT* min) {
  const RealPtT c = *centre;  // max may alias centre
  *max = RealPtT{c.x + radius, c.y + radius};
  *min = RealPtT{c.x - radius, c.y - radius};
}

void utl_maxmin_rotrect(const RealPtT* centre, RealPtT* rect, double angle) {
  const double sine = std::sin(angle), cosine = std::cos(angle);
  const RealPtT c = *centre;  // centre may be one of the corners written below
  const double x0 = rect[0].x, y0 = rect[0].y, x1 = rect[1].x, y1 = rect[1].y;
  RealPtT corner[4] = {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
  for (RealPtT& p : corner)
    utl_rotate_point(&c, &p, sine, cosine);
  RealPtT lo = corner[0], hi = corner[0];
  for (int i = 1; i < 4; ++i) {
    if (corner[i].x < lo.x) lo.x = corner[i].x;
    if (corner[i].y < lo.y) lo.y = corner[i].y;
    if (corner[i].x > hi.x) hi.x = corner[i].x;
    if (corner[i].y > hi.y) hi.y = corner[i].y;
  }
  rect[0] = lo;
  rect[1] = hi;
}
