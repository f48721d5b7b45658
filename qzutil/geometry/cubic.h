// Cubic curve segments in power basis over 0 ≤ t ≤ 1, and their conversion
// to polylines.
#ifndef QZUTIL_GEOMETRY_CUBIC_H
#define QZUTIL_GEOMETRY_CUBIC_H

#include <stdint.h>

#include "qzutil/export.h"
#include "qzutil/frame/records.h"

// x(t) = xCoef[0]·t³ + xCoef[1]·t² + xCoef[2]·t + xCoef[3], y(t) likewise:
// (xCoef[3], yCoef[3]) is the start point and the sum of each set the end.
typedef struct UtlCubicT {
  double xCoef[4];
  double yCoef[4];
} UtlCubicT;

QZ_EXTERN_C_BEGIN

// One coordinate at t by Horner's rule, highest power first:
// ((t·coef[0] + coef[1])·t + coef[2])·t + coef[3].
QZ_API double utl_evaluate_cubic(const double* coef, double t);

// Turns the cubic into n + 1 points p(i ÷ n), n a power of two from 1 to
// 1024 chosen so that every second difference is at most 8 × tolerance long
// (the most curved stretch decides n for the whole curve). The points come
// from forward differences, so the last one carries their rounding and is
// not forced onto the end point. A tolerance of 0 gives 1025 points for any
// curved cubic; a straight one always gives its two end points.
//
// *points receives an array from malloc that the caller releases with
// free(). When the allocation fails, *count is 0 and *points is null.
QZ_API void UtlCubicToPolyline(const UtlCubicT* cubic, double tolerance, int32_t* count,
                               RealPtT** points);

QZ_EXTERN_C_END

#endif  // QZUTIL_GEOMETRY_CUBIC_H
