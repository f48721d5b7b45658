// Conic arcs: classification, reduction to a standard form in the conic's
// principal frame, and points of the arc from one parameter.
//
// A conic arc is A·x² + B·x·y + C·y² + D·x + E·y + F = 0 between a start and
// an end point that are assumed to lie on it. The reduction turns the axes by
// θ so that the x·y term vanishes: a point (x, y) has frame coordinates
// x' = cos θ·x + sin θ·y, y' = cos θ·y − sin θ·x, and the point functions
// turn frame points back into world coordinates.
//
// Classify first, then call the reduction that matches the type: the
// reductions do not check it, and divide by the reduced coefficients without
// checking, so a mismatched or degenerate conic gives infinite or NaN fields
// and points. The one guard is the ellipse's flatness test. Parameters of
// the point functions are measured from the arc's start: 0 is the start
// point, tEnd − tStart (parabola, hyperbola) or sweep (ellipse) the end.
#ifndef QZUTIL_GEOMETRY_CONIC_H
#define QZUTIL_GEOMETRY_CONIC_H

#include "qzutil/export.h"
#include "qzutil/frame/records.h"

// A conic arc as callers pass it; read only.
typedef struct UtlConicArcT {
  double A;  // x²
  double B;  // x·y (the whole coefficient, not half of it)
  double C;  // y²
  double D;  // x
  double E;  // y
  double F;  // constant
  RealPtT start;
  RealPtT end;
  // 0: counter-clockwise (y up) from start to end; other values clockwise.
  // Read only by the ellipse reduction: open conics run from start to end.
  short clockwise;
} UtlConicArcT;

// y' = coef·(x' − h)² + k with parameter x' − h (axisY 1), or
// x' = coef·(y' − k)² + h with parameter y' − k (axisY 0).
typedef struct UtlParabolaT {
  double sinTheta;
  double cosTheta;
  double h;  // vertex x'
  double k;  // vertex y'
  double tStart;
  double tEnd;
  double coef;
  short axisY;
} UtlParabolaT;

// A'·(x' − h)² + C'·(y' − k)² = G with p = G ÷ A', q = G ÷ C'. axisY 1: the
// transverse axis is y' and the parameter x' − h; axisY 0: the transverse
// axis is x' and the parameter y' − k. branch (+1.0 or −1.0) is the side of
// the centre the start point lies on; the end is assumed on the same branch.
typedef struct UtlHyperbolaT {
  double sinTheta;
  double cosTheta;
  double h;
  double k;
  double tStart;
  double tEnd;
  double p;
  double q;
  double branch;
  short axisY;
} UtlHyperbolaT;

// Also used for circles. The centre in the frame is (−offsetX, −offsetY);
// angles are eccentric angles in radians, the sweep signed (positive
// counter-clockwise). A too-flat ellipse has startAngle and sweep 0.
typedef struct UtlEllipseT {
  double sinTheta;
  double cosTheta;
  double offsetX;  // D' ÷ (2·A')
  double offsetY;  // E' ÷ (2·C')
  double startAngle;
  double sweep;
  double semiX;
  double semiY;
} UtlEllipseT;

QZ_EXTERN_C_BEGIN

// 'L' (measured as the segment start-end), 'P', 'H', 'C', 'E', or '?' (only
// coefficients that are not numbers). Reads only the six coefficients; the
// tolerance 1e-5 is absolute and a value equal to it counts as negligible.
QZ_API char utl_conic_type(const UtlConicArcT* arc);

QZ_API void utl_standard_parabola(const UtlConicArcT* arc, UtlParabolaT* out);
QZ_API void utl_standard_hyperbola(const UtlConicArcT* arc, UtlHyperbolaT* out);
// Reads the arc's direction. An ellipse whose smaller semi-axis is at most
// 0.01 times the larger is too flat to parametrise: its sweep is 0 and every
// parameter gives the end of the x' semi-axis. Coincident end points, or a
// sweep shorter than 0.0001 radian in the arc's direction, give the full
// ellipse (±6.283185307179586).
QZ_API void utl_standard_ellipse(const UtlConicArcT* arc, UtlEllipseT* out);

// A hyperbola parameter that no point of the branch has gives NaN.
QZ_API void utl_parabola_point(const UtlParabolaT* form, double t, RealPtT* out);
QZ_API void utl_hyperbola_point(const UtlHyperbolaT* form, double t, RealPtT* out);
QZ_API void utl_ellipse_point(const UtlEllipseT* form, double t, RealPtT* out);

QZ_EXTERN_C_END

#endif  // QZUTIL_GEOMETRY_CONIC_H
