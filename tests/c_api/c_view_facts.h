// The sizes, field offsets and constants that a C caller and a C++ caller
// must see alike. Each entry is evaluated once by the C compiler (c_view.c)
// and once by the C++ compiler (c_view_test.cpp), each through its own view
// of the public headers.
#ifndef QZUTIL_TESTS_C_API_C_VIEW_FACTS_H
#define QZUTIL_TESTS_C_API_C_VIEW_FACTS_H

#include <stddef.h>
#include <stdint.h>

#include "qzutil/qzutil.h"

// clang-format off
#define QZ_C_VIEW_FACTS(X) \
  X(sizeof(Mtx2D)) X(offsetof(Mtx2D, a)) X(offsetof(Mtx2D, b)) X(offsetof(Mtx2D, c)) \
  X(offsetof(Mtx2D, d)) X(offsetof(Mtx2D, e)) X(offsetof(Mtx2D, f)) \
  X(offsetof(Mtx2D, reflectFlags)) X(offsetof(Mtx2D, type)) X(sizeof(Mtx2DOrient)) \
  X(Mtx2DAligned) X(Mtx2DSwapped) X(Mtx2DGeneral) X(Mtx2DIdentity) X(Mtx2DOrientNone) \
  X(Mtx2DRot0) X(Mtx2DRot90) X(Mtx2DRot180) X(Mtx2DRot270) X(Mtx2DReflectX) X(Mtx2DReflectY) \
  X(Mtx2DRot90ReflectY) X(Mtx2DRot90ReflectX) X(Mtx2DRotatePre) X(Mtx2DRotatePost) \
  X(sizeof(ColorRGB)) X(offsetof(ColorRGB, red)) X(offsetof(ColorRGB, green)) \
  X(offsetof(ColorRGB, blue)) \
  X(sizeof(RealPtT)) X(sizeof(IntPtT)) X(sizeof(DevSPtT)) X(sizeof(RealRectT)) \
  X(sizeof(DrwPSetT)) X(offsetof(DrwPSetT, attributes)) \
  X(sizeof(StrTokenT)) X(offsetof(StrTokenT, next)) X(STR_WORD) X(STR_END) \
  X(sizeof(VarListEntryT)) X(offsetof(VarListEntryT, info)) X(VAR_INSERT_END) \
  X(sizeof(TrcResourceT)) X(TRC_FUNCTIONS) X(TRC_FILE_APPEND) X(TRC_LINE_SIZE) \
  X(TRC_RESOURCE_COUNT) \
  X(sizeof(MemPoolT)) X(sizeof(MemEntryT)) X(offsetof(MemEntryT, parent)) X(sizeof(MemListT)) \
  X(offsetof(MemListT, entries)) X(sizeof(MemExceptionT)) X(MEM_OK) X(MEM_MALLOC_FAILED) \
  X(sizeof(UtlConicArcT)) X(offsetof(UtlConicArcT, clockwise)) X(sizeof(UtlParabolaT)) \
  X(sizeof(UtlHyperbolaT)) X(sizeof(UtlEllipseT)) X(sizeof(UtlCubicT))
// clang-format on

#ifdef __cplusplus
extern "C" {
#endif

// The facts as the C compiler sees them, in list order; *count receives
// their number.
const long long* qz_c_view_facts(int* count);
// set_xfm and ColGetClosestColor called from C, the ColorRGB built there.
void qz_c_set_xfm(double x0, double y0, int32_t orientation, double sx, double sy, double tx,
                  double ty, Mtx2D* out);
int32_t qz_c_closest(ColorMap* map, int32_t red, int32_t green, int32_t blue, int32_t* distance);

#ifdef __cplusplus
}
#endif

#endif  // QZUTIL_TESTS_C_API_C_VIEW_FACTS_H
