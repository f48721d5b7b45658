// Plain exported functions over Mtx2D, for callers that cannot call members.
// Each forwards to exactly one member and adds nothing; none checks its
// arguments. Note the position of the matrix argument, which differs from
// function to function.
//
// C callers get Mtx2D as a plain record with the class's data members and
// the same enumeration constants (see mtx2d.h for their meaning); they fill
// it with initialize_matrix or set_xfm and may read the fields directly.
#ifndef QZUTIL_MATRIX_MATRIX_FLAT_H
#define QZUTIL_MATRIX_MATRIX_FLAT_H

#include <stdint.h>

#include "qzutil/export.h"
#include "qzutil/frame/records.h"

#ifdef __cplusplus
#include "qzutil/matrix/mtx2d.h"
#else
// The layout and values below must match mtx2d.h exactly.
typedef enum Mtx2DType {
  Mtx2DAligned = 0,
  Mtx2DSwapped = 1,
  Mtx2DGeneral = 2,
  Mtx2DIdentity = 3
} Mtx2DType;

typedef enum Mtx2DOrient {
  Mtx2DOrientNone = -1,
  Mtx2DRot0 = 0,
  Mtx2DRot90 = 1,
  Mtx2DRot180 = 2,
  Mtx2DRot270 = 3,
  Mtx2DReflectX = 4,
  Mtx2DReflectY = 5,
  Mtx2DRot90ReflectY = 6,
  Mtx2DRot90ReflectX = 7
} Mtx2DOrient;

typedef enum Mtx2DRotateMode { Mtx2DRotatePre = 1, Mtx2DRotatePost = 2 } Mtx2DRotateMode;

typedef struct Mtx2D {
  double a;
  double b;
  double c;
  double d;
  double e;
  double f;
  uint32_t reflectFlags;
  int32_t type;  // one of Mtx2DType
} Mtx2D;
#endif

QZ_EXTERN_C_BEGIN

QZ_API void initialize_matrix(Mtx2D* m);
QZ_API void set_matrix_type(Mtx2D* m);
QZ_API void reflect_matrix_x(Mtx2D* m);
QZ_API void reflect_matrix_y(Mtx2D* m);
QZ_API void translate_matrix(double dx, double dy, Mtx2D* m);
QZ_API void scale_matrix(double sx, double sy, Mtx2D* m);
QZ_API void rotate_matrix(double degrees, Mtx2D* m, int32_t mode);
QZ_API void orient_matrix(Mtx2DOrient orientation, Mtx2D* m);
QZ_API void set_xfm(double x0, double y0, Mtx2DOrient orientation, double sx, double sy, double tx,
                    double ty, Mtx2D* m);
// The result is computed completely before it is stored (all eight fields),
// so `result` may be `m`.
QZ_API void invert_matrix(const Mtx2D* m, Mtx2D* result);
// result = first then second; `result` may be either factor.
QZ_API void multiply_matrices(const Mtx2D* first, const Mtx2D* second, Mtx2D* result);
QZ_API void xfm_get_orientation(const Mtx2D* m, double* radians, int32_t* flags);
QZ_API void til_xfm_pnt(double x, double y, double* out_x, double* out_y, const Mtx2D* m);
QZ_API void XfmRect(const RealRectT* in, RealRectT* out, const Mtx2D* m);

QZ_EXTERN_C_END

#endif  // QZUTIL_MATRIX_MATRIX_FLAT_H
