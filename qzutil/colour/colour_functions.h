// Plain colour functions, for callers that do not use the classes: maps and
// transforms travel as pointers.
//
// Pairs: ColOpen and ColNewColorMap with ColDeleteColorMap, ColOpenXfm with
// ColCloseXfm. ColNewColorMap and ColDeleteColorMap have C++ linkage (their
// exported names are decorated); the others have C linkage.
//
// C callers see ColorMap and ColorXfm as incomplete types, handled only
// through pointers, and ColorRGB as its three components. Only C++ can free a
// map (ColDeleteColorMap).
#ifndef QZUTIL_COLOUR_COLOUR_FUNCTIONS_H
#define QZUTIL_COLOUR_COLOUR_FUNCTIONS_H

#include <stdint.h>

#include "qzutil/export.h"

#ifdef __cplusplus
#include "qzutil/colour/colour_map.h"
#include "qzutil/colour/colour_rgb.h"
#include "qzutil/colour/colour_xfm.h"
#else
typedef struct ColorMap ColorMap;
typedef struct ColorXfm ColorXfm;
// The data members of the C++ ColorRGB, in the same layout.
typedef struct ColorRGB {
  int32_t red;
  int32_t green;
  int32_t blue;
} ColorRGB;
#endif

QZ_EXTERN_C_BEGIN

// A map of n black entries on the scale max_value; null when memory runs out.
QZ_API ColorMap* ColOpen(int32_t n, int32_t max_value);
// A transform of n zeroed entries; null when memory runs out.
QZ_API ColorXfm* ColOpenXfm(int32_t n);
// Destroys the transform *handle points to, if any. The handle is not reset;
// a null handle is ignored.
QZ_API void ColCloseXfm(ColorXfm** handle);
// xfm->MapColors(source, target); a null xfm is ignored.
QZ_API void ColMapColors(ColorMap* source, ColorMap* target, ColorXfm* xfm);
// map->GetClosestColor(colour, distance); a null map answers 0 with
// distance -1.
QZ_API int32_t ColGetClosestColor(const ColorRGB* colour, ColorMap* map, int32_t* distance);

QZ_EXTERN_C_END

#ifdef __cplusplus
// A map whose entry i takes values[3i .. 3i + 2] as red, green, blue; null
// when memory runs out. The result is a ColorMap*.
QZ_API void* ColNewColorMap(int32_t n, int32_t max_value, const int32_t* values);
// Destroys a map made by ColOpen or ColNewColorMap; null is ignored.
QZ_API void ColDeleteColorMap(void* map);
#endif

#endif  // QZUTIL_COLOUR_COLOUR_FUNCTIONS_H
