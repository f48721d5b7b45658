// Length-unit conversion between inches and the library's twelve unit codes.
//
// A unit code is a 32-bit integer from 0 to 11, in the order of the units
// flag of an IGES global section:
//   0 none given (inches)   4 feet     8 mils
//   1 inches                5 miles    9 microns
//   2 millimetres           6 metres  10 centimetres
//   3 named elsewhere (inches) 7 kilometres 11 microinches
// Each code has one factor, the number of its units in one inch (25.4 for
// millimetres, the double nearest 2.54e-05 for kilometres, ...).
//
// A code outside 0..11 is read as inches, like codes 0 and 3: both
// conversions then return the value unchanged. No table is read out of
// bounds and nothing is reported.
#ifndef QZUTIL_GEOMETRY_UNITS_H
#define QZUTIL_GEOMETRY_UNITS_H

#include <stdint.h>

#include "qzutil/export.h"

QZ_EXTERN_C_BEGIN

// value × factor[units]: a length in inches expressed in the given unit.
QZ_API double utl_inches_to_units(double value, int32_t units);
// value ÷ factor[units]: a length in the given unit expressed in inches.
QZ_API double utl_units_to_inches(double value, int32_t units);

QZ_EXTERN_C_END

#endif  // QZUTIL_GEOMETRY_UNITS_H
