// Mtx2D: construction, editing, composition, inversion and the simple
// queries. The element formulas are written in the exact order of
// operations that callers depend on for bit-identical results.
#include <cmath>

#include "qzutil/matrix/mtx2d.h"

namespace {

// pi taken as 3.141592654, divided by 180.
constexpr double kDegreesToRadians = 0.017453292522222223;

constexpr std::uint32_t kReflectXBit = 1;
constexpr std::uint32_t kReflectYBit = 2;

}  // namespace

Mtx2D::Mtx2D() {
  Identity();
}

Mtx2D::Mtx2D(double x0, double y0, Mtx2DOrient orientation, double sx, double sy, double tx,
             double ty) {
  SetXfm(x0, y0, orientation, sx, sy, tx, ty);
}

unsigned short Mtx2D::operator!=(const Mtx2D& other) const {
  if (a != other.a) return 1;
  if (b != other.b) return 1;
  if (c != other.c) return 1;
  if (d != other.d) return 1;
  if (e != other.e) return 1;
  if (f != other.f) return 1;
  return 0;
}

Mtx2D Mtx2D::operator*(const Mtx2D& other) const {
  Mtx2D r;
  Multiply(this, &other, &r);
  return r;
}

void Mtx2D::Multiply(const Mtx2D* first, const Mtx2D* second, Mtx2D* result) {
  const Mtx2D& x = *first;
  const Mtx2D& y = *second;
  result->a = x.a * y.a + x.b * y.c;
  result->b = x.a * y.b + x.b * y.d;
  result->c = x.c * y.a + x.d * y.c;
  result->d = x.c * y.b + x.d * y.d;
  result->e = x.e * y.a + x.f * y.c + y.e;
  result->f = x.e * y.b + x.f * y.d + y.f;
  result->reflectFlags = x.reflectFlags ^ y.reflectFlags;
  result->SetType();
}

Mtx2D Mtx2D::Invert() const {
  const double k = 1.0 / (a * d - c * b);
  Mtx2D r;
  r.a = d * k;
  r.b = -(b * k);
  r.c = -(c * k);
  r.d = a * k;
  r.e = (c * f - e * d) * k;
  r.f = -((a * f - e * b) * k);
  r.reflectFlags = reflectFlags;
  r.SetType();
  return r;
}

void Mtx2D::Identity() {
  a = 1.0;
  b = 0.0;
  c = 0.0;
  d = 1.0;
  e = 0.0;
  f = 0.0;
  reflectFlags = 0;
  type = Mtx2DAligned;
}

void Mtx2D::Initialize() {
  Identity();
}

void Mtx2D::SetType() {
  // Exact comparisons; NaN counts as non-zero.
  if (b == 0.0 && c == 0.0) {
    type = Mtx2DAligned;
  } else if (a == 0.0 && d == 0.0) {
    type = Mtx2DSwapped;
  } else {
    type = Mtx2DGeneral;
  }
}

void Mtx2D::SetIdentity() {
  if (a == 1.0 && d == 1.0 && b == 0.0 && c == 0.0 && e == 0.0 && f == 0.0) {
    type = Mtx2DIdentity;
  }
}

unsigned short Mtx2D::IsIdentity() const {
  return type == Mtx2DIdentity ? 1 : 0;
}

void Mtx2D::SetXfm(double x0, double y0, Mtx2DOrient orientation, double sx, double sy, double tx,
                   double ty) {
  Initialize();
  Translate(-x0, -y0);
  Orient(orientation);
  Scale(sx, sy);
  Translate(tx, ty);
  SetType();
}

void Mtx2D::Translate(double dx, double dy) {
  e += dx;
  f += dy;
}

void Mtx2D::Scale(double sx, double sy) {
  a *= sx;
  c *= sx;
  e *= sx;
  b *= sy;
  d *= sy;
  f *= sy;
}

void Mtx2D::Rotate(double degrees, std::int32_t mode) {
  double s;
  double k;
  if (degrees == 0.0) {
    s = 0.0;
    k = 1.0;
  } else if (degrees == 90.0) {
    s = 1.0;
    k = 0.0;
  } else if (degrees == 180.0) {
    s = 0.0;
    k = -1.0;
  } else if (degrees == 270.0) {
    s = -1.0;
    k = 0.0;
  } else {
    const double radians = degrees * kDegreesToRadians;
    s = std::sin(radians);
    k = std::cos(radians);
  }

  const double a0 = a, b0 = b, c0 = c, d0 = d;
  if (mode == Mtx2DRotatePre) {
    a = k * a0 + s * c0;
    b = k * b0 + s * d0;
    c = k * c0 - s * a0;
    d = k * d0 - s * b0;
  } else {
    const double e0 = e, f0 = f;
    a = k * a0 - s * b0;
    b = k * b0 + s * a0;
    c = k * c0 - s * d0;
    d = k * d0 + s * c0;
    e = k * e0 - s * f0;
    f = k * f0 + s * e0;
  }
  SetType();
}

void Mtx2D::Orient(Mtx2DOrient orientation) {
  switch (orientation) {
    case Mtx2DRot90:
      Rotate(90.0, Mtx2DRotatePost);
      break;
    case Mtx2DRot180:
      Rotate(180.0, Mtx2DRotatePost);
      break;
    case Mtx2DRot270:
      Rotate(270.0, Mtx2DRotatePost);
      break;
    case Mtx2DReflectX:
      ReflectInX();
      break;
    case Mtx2DReflectY:
      ReflectInY();
      break;
    case Mtx2DRot90ReflectY:
      Rotate(90.0, Mtx2DRotatePost);
      ReflectInY();
      break;
    case Mtx2DRot90ReflectX:
      Rotate(90.0, Mtx2DRotatePost);
      ReflectInX();
      break;
    default:  // Mtx2DRot0 and every value outside 1..7
      break;
  }
  SetType();
}

void Mtx2D::ReflectInX() {
  b = -b;
  d = -d;
  f = -f;
  reflectFlags ^= kReflectXBit;
}

void Mtx2D::ReflectInY() {
  a = -a;
  c = -c;
  e = -e;
  reflectFlags ^= kReflectYBit;
}

void Mtx2D::ShearInX(double s) {
  c = s;
  SetType();
}

void Mtx2D::InvertYAxis(double height) {
  d = -d;
  f = height;
}

void Mtx2D::GetElements(double* out_a, double* out_b, double* out_c, double* out_d, double* out_e,
                        double* out_f) const {
  *out_a = a;
  *out_b = b;
  *out_c = c;
  *out_d = d;
  *out_e = e;
  *out_f = f;
}

double Mtx2D::GetDeterminant() const {
  return a * d - c * b;
}

double Mtx2D::GetScale() const {
  return std::sqrt(a * a + b * b);
}

double Mtx2D::GetRotation() const {
  return std::acos(a / GetScale());
}
