// Whole-degree sine and cosine from a fixed table, and rotation of a point.
//
// drw_get_trig answers from two 46-entry tables (0..45 degrees, six decimal
// places) by octant symmetry, never calling a sine or cosine routine, so the
// answers are the table's and not the mathematical library's: 30 degrees
// gives 0.5 and 0.866025, 2 degrees gives the table's 0.0349. The four axis
// angles are exact (sine and cosine 0.0 or ±1.0).
#ifndef QZUTIL_GEOMETRY_TRIG_H
#define QZUTIL_GEOMETRY_TRIG_H

#include <stdint.h>

#include "qzutil/export.h"
#include "qzutil/frame/records.h"

QZ_EXTERN_C_BEGIN

// Any whole number of degrees; the angle is reduced to 0..359 first.
// Writes both outputs, without a null test.
QZ_API void drw_get_trig(int32_t degrees, double* sine, double* cosine);

// Turns *point about *centre by the angle whose sine and cosine are given; a
// positive sine turns from +x towards +y. The pair is not checked for unit
// length: a longer pair scales the offset too. centre may be point.
QZ_API void utl_rotate_point(const RealPtT* centre, RealPtT* point, double sine, double cosine);

QZ_EXTERN_C_END

#endif  // QZUTIL_GEOMETRY_TRIG_H
