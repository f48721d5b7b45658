// Mtx2D: the library's two-dimensional affine transformation.
//
// A point (x, y) maps to
//   x' = a*x + c*y + e
//   y' = b*x + d*y + f
// i.e. the row vector (x, y, 1) times the matrix with rows (a, b, 0),
// (c, d, 0), (e, f, 1). Composition follows the row-vector rule: A then B is
// A*B. The six elements are always handed out and taken in the order a..f.
//
// `type` lets the transforms skip the terms that are zero: 0 (aligned) uses
// only a, d, e, f; 1 (swapped) only b, c, e, f; any other value the full
// formula. Every edit that can turn a zero element non-zero re-classifies;
// translation, scaling, reflection and InvertYAxis cannot and leave `type`
// alone. Only SetIdentity ever sets 3.
//
// Device rounding, used by every transform into integer coordinates: a
// coordinate v becomes trunc(v - 0.5) when v < 0 and trunc(v + 0.5)
// otherwise (halves go away from zero), each coordinate separately, after the
// full mapping. Results are not saturated: a rounded value outside the
// signed 32-bit range, or a NaN, yields INT32_MIN (0x80000000), the value x86
// hardware produces, on every platform.
//
// No member checks its arguments, allocates, or reports an error; output
// pointers are written without a null test. Angles given to Rotate are in
// degrees; GetRotation and GetOrientation answer radians.
#ifndef QZUTIL_MATRIX_MTX2D_H
#define QZUTIL_MATRIX_MTX2D_H

#include <cstdint>

#include "qzutil/export.h"
#include "qzutil/frame/records.h"

// Shape class held in Mtx2D::type.
enum Mtx2DType : std::int32_t {
  Mtx2DAligned = 0,   // b = 0 and c = 0
  Mtx2DSwapped = 1,   // a = 0 and d = 0, b or c non-zero
  Mtx2DGeneral = 2,   // anything else
  Mtx2DIdentity = 3,  // found exactly the identity by the last SetIdentity
};

// The eight right-angle orientations (Orient, SetXfm) and the orientation
// codes answered by the queries (0..3, or Mtx2DOrientNone). Rotations are
// counter-clockwise with y up and act after the existing mapping. Values
// outside 1..7 passed to Orient act like Mtx2DRot0.
enum Mtx2DOrient : std::int32_t {
  Mtx2DOrientNone = -1,  // query answer: the x axis maps to a zero vector
  Mtx2DRot0 = 0,
  Mtx2DRot90 = 1,
  Mtx2DRot180 = 2,
  Mtx2DRot270 = 3,
  Mtx2DReflectX = 4,       // ReflectInX
  Mtx2DReflectY = 5,       // ReflectInY
  Mtx2DRot90ReflectY = 6,  // rotate 90, then ReflectInY
  Mtx2DRot90ReflectX = 7,  // rotate 90, then ReflectInX
};

// Second argument of Rotate: 1 rotates before the existing mapping (about the
// input origin, translation untouched); any other value after it (about the
// output origin, translation turned too).
enum Mtx2DRotateMode : std::int32_t {
  Mtx2DRotatePre = 1,
  Mtx2DRotatePost = 2,
};

class QZ_API Mtx2D {
 public:
  double a;  // contribution of x to x'
  double b;  // contribution of x to y'
  double c;  // contribution of y to x'
  double d;  // contribution of y to y'
  double e;  // x translation
  double f;  // y translation
  // Bit 1 flips whenever ReflectInX acts, bit 2 whenever ReflectInY acts.
  // Products take the XOR of their factors, inverses keep the source's word.
  std::uint32_t reflectFlags;
  std::int32_t type;  // one of Mtx2DType

  // ---- construction and composition ----------------------------------

  // The identity with type 0 (not 3: see SetIdentity) and no reflections.
  Mtx2D();
  // Same as SetXfm with these arguments.
  Mtx2D(double x0, double y0, Mtx2DOrient orientation, double sx, double sy, double tx, double ty);
  Mtx2D(const Mtx2D&) = default;
  Mtx2D& operator=(const Mtx2D&) = default;  // copies all eight fields

  // 1 if any of a..f differs (exact comparison; NaN never equal).
  // reflectFlags and type take no part.
  unsigned short operator!=(const Mtx2D& other) const;
  // This matrix, then `other`. Safe to assign back to either factor.
  Mtx2D operator*(const Mtx2D& other) const;
  // *result = first then second. `result` must be a third matrix: it is
  // written while the factors are still being read.
  static void Multiply(const Mtx2D* first, const Mtx2D* second, Mtx2D* result);
  // The inverse mapping, with the source's reflectFlags. No determinant
  // test: a singular matrix yields infinite or NaN elements.
  Mtx2D Invert() const;

  void Identity();    // a = d = 1, b = c = e = f = 0, flags 0, type 0
  void Initialize();  // same as Identity
  void SetType();     // re-classifies type from a, b, c, d (never 3)
  // Sets type 3 if a and d are exactly 1.0 and b, c, e, f equal 0.0;
  // otherwise leaves type as it was.
  void SetIdentity();
  unsigned short IsIdentity() const;  // 1 iff type is 3

  // Rebuilds the matrix: identity, translate by (-x0, -y0), Orient, Scale by
  // (sx, sy), translate by (tx, ty), re-classify.
  void SetXfm(double x0, double y0, Mtx2DOrient orientation, double sx, double sy, double tx,
              double ty);
  void Translate(double dx, double dy);  // e += dx, f += dy
  void Scale(double sx, double sy);      // output x scaled by sx, output y by sy
  // Rotation by `degrees` counter-clockwise; see Mtx2DRotateMode. 0, 90, 180
  // and 270 exactly use exact sines and cosines; other angles (360 and
  // negative ones included) go through sin/cos with pi taken as 3.141592654.
  void Rotate(double degrees, std::int32_t mode);
  void Orient(Mtx2DOrient orientation);
  void ReflectInX();                // y' becomes -y'
  void ReflectInY();                // x' becomes -x'
  void ShearInX(double s);          // c = s (replaced, not composed)
  void InvertYAxis(double height);  // d = -d, f = height

  void GetElements(double* out_a, double* out_b, double* out_c, double* out_d, double* out_e,
                   double* out_f) const;
  double GetDeterminant() const;  // a*d - c*b
  double GetScale() const;        // sqrt(a*a + b*b)
  double GetRotation() const;     // acos(a / GetScale()), 0..pi; sign of b ignored

  // ---- point transforms -----------------------------------------------

  // Maps (x, y); the outputs may alias the variables the inputs came from.
  void XfmPt(double x, double y, double* out_x, double* out_y) const;
  // Maps and rounds to device coordinates.
  void XfmPt(const RealPtT* in, IntPtT* out) const;
  // Maps without rounding. `out` must not be `in`.
  void RealXfmPt(const RealPtT* in, RealPtT* out) const;
  // Maps the integer point through this very matrix (no inversion, no
  // rounding); device-to-world only when called on the inverse matrix.
  void InvXfmPt(const IntPtT* in, RealPtT* out) const;

  // ---- rectangle transforms -------------------------------------------
  // Each maps the four corners (any order) and writes the enclosing
  // axis-parallel box as (min x, min y), (min x, max y), (max x, max y),
  // (max x, min y). `out` may be `in`. Device bounds are rounded to nearest,
  // not outward.

  void XfmRect(const RealRectT* in, RealRectT* out) const;
  void XfmRect(const RealRectT* in, IntRectT* out) const;
  void XfmRect(const IntRectT* in, RealRectT* out) const;

  // ---- point lists and point sets -------------------------------------
  // Output arrays must have room for as many points as the input holds.
  // Counts of zero or less write nothing in the plain list forms.

  void XfmPts(std::int32_t n, const RealPtT* in, IntPtT* out) const;
  // Device points multiplied by 8 after rounding (three low bits zero).
  void XfmFPts(std::int32_t n, const RealPtT* in, IntPtT* out) const;
  // Keeps the low 16 bits of each rounded coordinate, no clamping.
  void XfmSPts(std::int32_t n, const RealPtT* in, DevSPtT* out) const;
  // Mapped doubles; `out` must not overlap `in`.
  void RealXfmPts(std::int32_t n, const RealPtT* in, RealPtT* out) const;

  // Thinned device polyline: consecutive points that round to the same
  // device position are merged, and a three-point result whose last point
  // equals its first is cut to two. n must be at least 1 (a smaller n reads
  // and writes no point and reports a count of 0).
  // These three thinning transforms store every candidate point before they
  // know whether it survives, so output slots past the returned count (but
  // within the caller's n slots) may be overwritten too: size the output for
  // n points and do not expect the slots after the count to keep their
  // contents.
  void XfmPolyPts(std::int32_t n, std::int32_t* out_count, const RealPtT* in, IntPtT* out) const;
  // As XfmPolyPts for a point set; out->count receives the final count. Each
  // output point carries the attribute of the last input point of its run of
  // duplicates. in->count must be at least 1. The two sets may share their
  // attribute array.
  void XfmPolySetPts(const DrwPSetT* in, DrwDPSetT* out) const;
  // The same in world coordinates: no rounding, duplicates are exactly equal
  // mapped doubles. The output set must use arrays other than the input's.
  void RealXfmPolyPtSet(const DrwPSetT* in, DrwPSetT* out) const;

  // ---- orientation and mirror queries ---------------------------------
  // The X-mirror queries take the mirror out (a reflection in X) when the
  // determinant is below 0 and answer mirror = 1; orientation codes are
  // Mtx2DOrientNone or Mtx2DRot0..Mtx2DRot270 for the image of the x axis.

  unsigned short ReversesOrientation() const;  // 1 if a*d - c*b < 0
  // Mirror applied first (the image of x keeps its a and b).
  void GetXMirrorAndOrientation(unsigned short* mirror, std::int32_t* orientation) const;
  // Mirror applied last (the image of x keeps a, b changes sign).
  void GetOrientationAndXMirror(unsigned short* mirror, std::int32_t* orientation) const;
  // Mirror applied first; the turning angle in degrees, 0 to 360, snapped
  // onto 0, 90, 180 or 270 when strictly within 0.1 of one (an angle that
  // computes to exactly 360, from a tiny negative b, stays 360).
  void GetXMirrorAndRotation(unsigned short* mirror, double* degrees) const;
  // The angle acos(a' / sqrt|det|) in radians, the cosine clamped to
  // [-1, 1] and the angle negated when b' < 0, where a' is a with its sign
  // changed when reflectFlags bit 1 (ReflectInX) is set and b' is b with its
  // sign changed when bit 2 (ReflectInY) is set. Exact for equal scales on
  // both axes. Then writes the whole reflectFlags word.
  void GetOrientation(double* radians, std::int32_t* flags) const;
};

static_assert(sizeof(Mtx2D) == 56, "Mtx2D is six doubles and two 32-bit words");

#endif  // QZUTIL_MATRIX_MTX2D_H
