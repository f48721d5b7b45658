#include "qzutil/matrix/matrix_flat.h"

void initialize_matrix(Mtx2D* m) {
  m->Initialize();
}

void set_matrix_type(Mtx2D* m) {
  m->SetType();
}

void reflect_matrix_x(Mtx2D* m) {
  m->ReflectInX();
}

void reflect_matrix_y(Mtx2D* m) {
  m->ReflectInY();
}

void translate_matrix(double dx, double dy, Mtx2D* m) {
  m->Translate(dx, dy);
}

void scale_matrix(double sx, double sy, Mtx2D* m) {
  m->Scale(sx, sy);
}

void rotate_matrix(double degrees, Mtx2D* m, std::int32_t mode) {
  m->Rotate(degrees, mode);
}

void orient_matrix(Mtx2DOrient orientation, Mtx2D* m) {
  m->Orient(orientation);
}

void set_xfm(double x0, double y0, Mtx2DOrient orientation, double sx, double sy, double tx,
             double ty, Mtx2D* m) {
  m->SetXfm(x0, y0, orientation, sx, sy, tx, ty);
}

void invert_matrix(const Mtx2D* m, Mtx2D* result) {
  const Mtx2D inverse = m->Invert();  // complete before the store: result may be m
  *result = inverse;
}

void multiply_matrices(const Mtx2D* first, const Mtx2D* second, Mtx2D* result) {
  const Mtx2D product = *first * *second;  // result may be either factor
  *result = product;
}

void xfm_get_orientation(const Mtx2D* m, double* radians, std::int32_t* flags) {
  m->GetOrientation(radians, flags);
}

void til_xfm_pnt(double x, double y, double* out_x, double* out_y, const Mtx2D* m) {
  m->XfmPt(x, y, out_x, out_y);
}

void XfmRect(const RealRectT* in, RealRectT* out, const Mtx2D* m) {
  m->XfmRect(in, out);
}
