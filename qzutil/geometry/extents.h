// Axis-parallel bounding boxes of drawn primitives, in world coordinates.
//
// Boxes come back as two points, always the maximum corner (largest x,
// largest y) first and the minimum corner second. Each function writes a
// fresh box; nothing is merged with what the outputs held. The boxes of
// arcs, circles, cubics and rotated rectangles are exact up to rounding; a
// conic arc's box is taken from the same sample points as utl_point_conarc
// and can fall slightly short of a bulge between two samples. Output
// pointers are written without a null test.
#ifndef QZUTIL_GEOMETRY_EXTENTS_H
#define QZUTIL_GEOMETRY_EXTENTS_H

#include "qzutil/export.h"
#include "qzutil/frame/records.h"
#include "qzutil/geometry/conic.h"
#include "qzutil/geometry/cubic.h"

// The circular arc that runs counter-clockwise (y up) from first to second
// when direction is 0, clockwise otherwise; the end points are assumed to lie
// on the circle and are used as passed, the radius only places the extremes
// at the axis directions the arc passes. End points at the same angle give
// the full circle; an end point equal to the centre gives an empty box at
// the centre. An end point a hair below the +x axis, whose angle wraps to a
// full turn, counts in the fourth quadrant. C++ linkage: the radius is
// single precision. Not available to C callers.
#ifdef __cplusplus
QZ_API void utl_maxmin_arc(const RealPtT* centre, float radius, const RealPtT* first,
                           const RealPtT* second, short direction, RealPtT* max, RealPtT* min);
#endif

QZ_EXTERN_C_BEGIN

QZ_API void utl_maxmin_circle(const RealPtT* centre, double radius, RealPtT* max, RealPtT* min);

// The cubic over 0 ≤ t ≤ 1, each coordinate from its end values and its
// turning points strictly inside the range.
QZ_API void utl_maxmin_cubic(const UtlCubicT* cubic, RealPtT* max, RealPtT* min);

// The box of the end points widened by the arc's samples; a conic that
// classifies as "L" or "?" gives the box of its end points.
QZ_API void utl_maxmin_conic(const UtlConicArcT* arc, RealPtT* max, RealPtT* min);

// rect[0] and rect[1] are opposite corners of an axis-parallel rectangle,
// which is turned by `angle` radians (counter-clockwise, y up) about centre.
// On return rect[0] is the minimum and rect[1] the maximum corner of the
// turned rectangle's box: note the order, the reverse of the other
// functions here.
QZ_API void utl_maxmin_rotrect(const RealPtT* centre, RealPtT* rect, double angle);

QZ_EXTERN_C_END

#endif  // QZUTIL_GEOMETRY_EXTENTS_H
