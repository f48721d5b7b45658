// Plain exported functions over Mtx2D, for callers that cannot call members.
// Each forwards to exactly one member and adds nothing; none checks its
// arguments. Note the position of the matrix argument, which differs from
// function to function.
#ifndef QZUTIL_MATRIX_MATRIX_FLAT_H
#define QZUTIL_MATRIX_MATRIX_FLAT_H

#include <cstdint>

#include "qzutil/export.h"
#include "qzutil/frame/records.h"
#include "qzutil/matrix/mtx2d.h"

QZ_EXTERN_C_BEGIN

QZ_API void initialize_matrix(Mtx2D* m);
QZ_API void set_matrix_type(Mtx2D* m);
QZ_API void reflect_matrix_x(Mtx2D* m);
QZ_API void reflect_matrix_y(Mtx2D* m);
QZ_API void translate_matrix(double dx, double dy, Mtx2D* m);
QZ_API void scale_matrix(double sx, double sy, Mtx2D* m);
QZ_API void rotate_matrix(double degrees, Mtx2D* m, std::int32_t mode);
QZ_API void orient_matrix(Mtx2DOrient orientation, Mtx2D* m);
QZ_API void set_xfm(double x0, double y0, Mtx2DOrient orientation, double sx, double sy, double tx,
                    double ty, Mtx2D* m);
// The result is computed completely before it is stored (all eight fields),
// so `result` may be `m`.
QZ_API void invert_matrix(const Mtx2D* m, Mtx2D* result);
// result = first then second; `result` may be either factor.
QZ_API void multiply_matrices(const Mtx2D* first, const Mtx2D* second, Mtx2D* result);
QZ_API void xfm_get_orientation(const Mtx2D* m, double* radians, std::int32_t* flags);
QZ_API void til_xfm_pnt(double x, double y, double* out_x, double* out_y, const Mtx2D* m);
QZ_API void XfmRect(const RealRectT* in, RealRectT* out, const Mtx2D* m);

QZ_EXTERN_C_END

#endif  // QZUTIL_MATRIX_MATRIX_FLAT_H
