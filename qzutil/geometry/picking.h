// Picking distances from a point (typically a pick position) to drawn
// primitives, in world coordinates.
//
// Each answers a non-negative double and takes no tolerance: the caller
// compares it with its own aperture. Apart from utl_point_circle and the
// inside-the-sweep case of utl_point_circarc, the answers are the
// approximate distance 0.96 × |larger component| + 0.398 × |smaller
// component| of the offset to the nearest point, which needs no square root
// and lies within about 4 % of the Euclidean length (4 % short along an
// axis). All pointers are read only; none is tested for null.
#ifndef QZUTIL_GEOMETRY_PICKING_H
#define QZUTIL_GEOMETRY_PICKING_H

#include "qzutil/export.h"
#include "qzutil/frame/records.h"
#include "qzutil/geometry/conic.h"

QZ_EXTERN_C_BEGIN

// To the nearest point of the closed segment end1-end2. A segment of zero
// length is measured as a point.
QZ_API double utl_point_line(const RealPtT* point, const RealPtT* end1, const RealPtT* end2);

// Between two points.
QZ_API double utl_point_point(const RealPtT* point, const RealPtT* other);

// Exact distance to the circle line: |Euclidean distance to centre - radius|.
// A point at the centre gives the radius; a negative radius is used as passed.
QZ_API double utl_point_circle(const RealPtT* point, const RealPtT* centre, double radius);

// To a rectangle (possibly rotated) given by its corners in row order:
// corners 0-1 and 2-3 are opposite sides, 0-2 and 1-3 the other two (for an
// axis-parallel box: lower left, lower right, upper left, upper right). This
// is not the cyclic order the matrix rectangle transforms write. 0.0 on or
// inside the box; for a rotated box a point just inside an edge can give a
// small positive value.
QZ_API double utl_point_box(const RealPtT* point, const RealRectT* box);

// To the circular arc that runs counter-clockwise (y up) from first to second
// when direction is 0, clockwise for any other value. Inside the arc's sweep
// (bounds inclusive) the answer is the exact distance to the circle line;
// outside it, the approximate distance to the nearer end point. End points at
// the same angle make a zero sweep, not a full circle. The radius is used
// only for the inside case; the end points are assumed to lie on the circle.
QZ_API double utl_point_circarc(const RealPtT* point, const RealPtT* centre, double radius,
                                const RealPtT* first, const RealPtT* second, short direction);

// Smallest approximate distance from the point to samples of the conic arc:
// the segment start-end for a conic that classifies as "L"; 1 sample per
// 0.087 radian of eccentric sweep (at least 3) for a circle or an ellipse;
// 40 samples for a parabola or a hyperbola. Both end points are among the
// samples; chords between samples are not measured. A conic that classifies
// as "?" (coefficients that are not numbers) is not sampled and gives
// 6.022e23.
QZ_API double utl_point_conarc(const RealPtT* point, const UtlConicArcT* arc);

QZ_EXTERN_C_END

#endif  // QZUTIL_GEOMETRY_PICKING_H
