// Mtx2D: orientation and mirror queries, for devices that can only turn text,
// symbols and images by right angles and mirror them.
#include <cmath>

#include "qzutil/matrix/mtx2d.h"

namespace {

// 180 divided by pi taken as 3.141592654.
constexpr double kRadiansToDegrees = 57.29577950560105;

// The image of the unit x vector once a mirror has been taken out.
struct XAxis {
  unsigned short mirror;
  double a;
  double b;
};

// The mirror (determinant below 0; 0 and NaN do not mirror) is taken out by a
// reflection in X. Applied first, the reflection leaves the x-axis image
// alone; applied last, it negates its y part.
XAxis UnmirroredXAxis(const Mtx2D& m, bool mirror_applied_last) {
  if (m.a * m.d - m.c * m.b < 0.0) return {1, m.a, mirror_applied_last ? -m.b : m.b};
  return {0, m.a, m.b};
}

std::int32_t OrientationCode(const XAxis& x) {
  if (x.b == 0.0) {
    if (x.a > 0.0) return Mtx2DRot0;
    if (x.a < 0.0) return Mtx2DRot180;
    return Mtx2DOrientNone;
  }
  return x.b < 0.0 ? Mtx2DRot270 : Mtx2DRot90;  // NaN b counts as positive
}

// Snaps an angle in degrees onto the right angles; each interval is open.
double SnapDegrees(double angle) {
  if (angle > 0.0 && angle < 0.1) return 0.0;
  if (angle > 89.9 && angle < 90.1) return 90.0;
  if (angle > 179.9 && angle < 180.1) return 180.0;
  if (angle > 269.9 && angle < 270.1) return 270.0;
  if (angle > 359.9 && angle < 360.0) return 0.0;
  return angle;
}

}  // namespace

unsigned short Mtx2D::ReversesOrientation() const {
  return a * d - c * b < 0.0 ? 1 : 0;
}

void Mtx2D::GetXMirrorAndOrientation(unsigned short* mirror, std::int32_t* orientation) const {
  const XAxis x = UnmirroredXAxis(*this, false);
  *mirror = x.mirror;
  *orientation = OrientationCode(x);
}

void Mtx2D::GetOrientationAndXMirror(unsigned short* mirror, std::int32_t* orientation) const {
  const XAxis x = UnmirroredXAxis(*this, true);
  *mirror = x.mirror;
  *orientation = OrientationCode(x);
}

void Mtx2D::GetXMirrorAndRotation(unsigned short* mirror, double* degrees) const {
  const XAxis x = UnmirroredXAxis(*this, false);
  double angle = std::acos(x.a / std::sqrt(x.b * x.b + x.a * x.a)) * kRadiansToDegrees;
  if (x.b < 0.0) angle = 360.0 - angle;
  *mirror = x.mirror;
  *degrees = SnapDegrees(angle);
}

void Mtx2D::GetOrientation(double* radians, std::int32_t* flags) const {
  // Dividing by sqrt|det| instead of |(a, b)| is exact for equal scales on
  // both axes; unequal scales can push q outside [-1, 1], hence the clamp.
  const double s = std::sqrt(std::fabs(a * d - c * b));
  const double xa = (reflectFlags & 1u) != 0 ? -a : a;  // ReflectInX bit
  const double xb = (reflectFlags & 2u) != 0 ? -b : b;  // ReflectInY bit
  double q = xa / s;
  if (q < -1.0) q = -1.0;
  if (q > 1.0) q = 1.0;
  double angle = std::acos(q);
  if (xb < 0.0) angle = -angle;
  *radians = angle;
  *flags = static_cast<std::int32_t>(reflectFlags);
}
