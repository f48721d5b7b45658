// Plain colour functions, for callers that do not use the classes: maps and
// transforms travel as pointers.
//
// Pairs: ColOpen and ColNewColorMap with ColDeleteColorMap, ColOpenXfm with
// ColCloseXfm. ColNewColorMap and ColDeleteColorMap have C++ linkage (their
// exported names are decorated); the others have C linkage.
#ifndef QZUTIL_COLOUR_COLOUR_FUNCTIONS_H
#define QZUTIL_COLOUR_COLOUR_FUNCTIONS_H

#include <cstdint>

#include "qzutil/colour/colour_map.h"
#include "qzutil/colour/colour_rgb.h"
#include "qzutil/colour/colour_xfm.h"
#include "qzutil/export.h"

QZ_EXTERN_C_BEGIN

// A map of n black entries on the scale max_value; null when memory runs out.
QZ_API ColorMap* ColOpen(std::int32_t n, std::int32_t max_value);
// A transform of n zeroed entries; null when memory runs out.
QZ_API ColorXfm* ColOpenXfm(std::int32_t n);
// Destroys the transform *handle points to, if any. The handle is not reset;
// a null handle is ignored.
QZ_API void ColCloseXfm(ColorXfm** handle);
// xfm->MapColors(source, target); a null xfm is ignored.
QZ_API void ColMapColors(ColorMap* source, ColorMap* target, ColorXfm* xfm);
// map->GetClosestColor(colour, distance); a null map answers 0 with
// distance -1.
QZ_API std::int32_t ColGetClosestColor(const ColorRGB* colour, ColorMap* map,
                                       std::int32_t* distance);

QZ_EXTERN_C_END

// A map whose entry i takes values[3i .. 3i + 2] as red, green, blue; null
// when memory runs out. The result is a ColorMap*.
QZ_API void* ColNewColorMap(std::int32_t n, std::int32_t max_value, const std::int32_t* values);
// Destroys a map made by ColOpen or ColNewColorMap; null is ignored.
QZ_API void ColDeleteColorMap(void* map);

#endif  // QZUTIL_COLOUR_COLOUR_FUNCTIONS_H
