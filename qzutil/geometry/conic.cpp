#include "qzutil/geometry/conic.h"

#include <cmath>
#include <initializer_list>

namespace {

// The conic in its principal frame. The slot of the vanished x·y
// coefficient holds θ.
struct ConicFrame {
  double A, theta, C, D, E, F;
  double x1, y1, x2, y2;  // start and end point in the frame
};

// Turns the axes so that the x·y term vanishes and reports the largest of
// |A'|, |C'|, |D'|, |E'| (F' is not included) for scale-relative tests.
void utl_conic_principal_axes(const UtlConicArcT* arc, ConicFrame* frame, double* largest) {
  const double theta = arc->B == 0.0 ? 0.0 : 0.5 * std::atan2(arc->B, arc->A - arc->C);
  const double s = std::sin(theta), c = std::cos(theta);
  frame->A = (c * c * arc->A + s * s * arc->C) + s * c * arc->B;
  frame->theta = theta;
  frame->C = (s * s * arc->A - s * c * arc->B) + c * c * arc->C;
  frame->D = c * arc->D + s * arc->E;
  frame->E = c * arc->E - s * arc->D;
  frame->F = arc->F;
  frame->x1 = c * arc->start.x + s * arc->start.y;
  frame->y1 = c * arc->start.y - s * arc->start.x;
  frame->x2 = c * arc->end.x + s * arc->end.y;
  frame->y2 = c * arc->end.y - s * arc->end.x;
  double m = std::fabs(frame->A);
  for (const double v : {frame->C, frame->D, frame->E}) {
    if (std::fabs(v) > m) m = std::fabs(v);
  }
  *largest = m;
}

// Divides a vector by its length; a zero vector stays as it is.
void utl_normalize_vector(double* x, double* y) {
  const double length = std::sqrt(*x * *x + *y * *y);
  if (length == 0.0) return;
  *x = *x / length;
  *y = *y / length;
}

// Angle of a unit vector, −π to π; a y of exactly zero gives a non-negative angle.
double utl_unit_vector_angle(double x, double y) {
  const double a = std::acos(x);
  return y < 0.0 ? -a : a;
}

// Signed sweep from start to end in the given direction. A sweep shorter
// than 0.0001 radian in that direction (coincident ends included) becomes
// a full turn.
double utl_arc_sweep(double start, double end, short clockwise) {
  constexpr double kFullTurn = 6.283185307179586;
  if (clockwise == 0) {
    if (end <= start) end += kFullTurn;
    double d = end - start;
    if (d <= 0.0001) d += kFullTurn;
    return d;
  }
  double d = end - start;
  if (d >= -0.0001) d -= kFullTurn;
  return d;
}

constexpr double kNegligible = 1e-5;

// Frame point (x', y') back to world coordinates.
void FromFrame(double xp, double yp, double sine, double cosine, RealPtT* out) {
  out->x = xp * cosine - yp * sine;
  out->y = xp * sine + yp * cosine;
}

ConicFrame Reduce(const UtlConicArcT* arc, double* sine, double* cosine, double* largest) {
  ConicFrame f;
  utl_conic_principal_axes(arc, &f, largest);
  *sine = std::sin(f.theta);
  *cosine = std::cos(f.theta);
  return f;
}

// The constant after completing both squares: A'·(x' − h)² + C'·(y' − k)² = G.
double CompletedConstant(const ConicFrame& f) {
  return f.E * f.E / (4.0 * f.C) + f.D * f.D / (4.0 * f.A) - f.F;
}

}  // namespace

char utl_conic_type(const UtlConicArcT* arc) {
  const auto small = [](double v) { return std::fabs(v) <= kNegligible; };
  // A NaN is never negligible, so NaN coefficients fall through to '?'
  // unless a rule that does not read them decides first.
  if (small(arc->A) && small(arc->B) && small(arc->C)) return 'L';
  if (small(arc->C) && small(arc->E)) return 'L';  // no y² and no y term
  if (small(arc->A) && small(arc->D)) return 'L';  // no x² and no x term
  const double disc = arc->B * arc->B - arc->C * arc->A * 4.0;
  if (small(disc)) return 'P';
  if (disc > 0.0) return 'H';
  if (disc < 0.0) return small(arc->B) && small(arc->A - arc->C) ? 'C' : 'E';
  return '?';
}

void utl_standard_parabola(const UtlConicArcT* arc, UtlParabolaT* out) {
  double largest = 0.0;
  const ConicFrame f = Reduce(arc, &out->sinTheta, &out->cosTheta, &largest);
  const double tol = largest * kNegligible;
  out->axisY = std::fabs(f.A) > tol && std::fabs(f.E) > tol ? 1 : 0;
  if (out->axisY != 0) {
    out->h = -f.D / (2.0 * f.A);
    out->k = (f.D * f.D / (4.0 * f.A) - f.F) * (1.0 / f.E);
    out->coef = -(1.0 / f.E) * f.A;
    out->tStart = f.x1 - out->h;
    out->tEnd = f.x2 - out->h;
  } else {
    out->k = -f.E / (2.0 * f.C);
    out->h = (f.E * f.E / (4.0 * f.C) - f.F) * (1.0 / f.D);
    out->coef = -(1.0 / f.D) * f.C;
    out->tStart = f.y1 - out->k;
    out->tEnd = f.y2 - out->k;
  }
}

void utl_standard_hyperbola(const UtlConicArcT* arc, UtlHyperbolaT* out) {
  double largest = 0.0;
  const ConicFrame f = Reduce(arc, &out->sinTheta, &out->cosTheta, &largest);
  out->h = -f.D / (2.0 * f.A);
  out->k = -f.E / (2.0 * f.C);
  const double g = CompletedConstant(f);
  out->p = g / f.A;
  out->q = g / f.C;
  out->axisY = out->p < 0.0 ? 1 : 0;
  // Only the start point chooses the branch.
  if (out->axisY != 0) {
    out->tStart = f.x1 - out->h;
    out->tEnd = f.x2 - out->h;
    out->branch = f.y1 > out->k ? 1.0 : -1.0;
  } else {
    out->tStart = f.y1 - out->k;
    out->tEnd = f.y2 - out->k;
    out->branch = f.x1 > out->h ? 1.0 : -1.0;
  }
}

void utl_standard_ellipse(const UtlConicArcT* arc, UtlEllipseT* out) {
  double largest = 0.0;
  const ConicFrame f = Reduce(arc, &out->sinTheta, &out->cosTheta, &largest);
  out->offsetX = f.D / (2.0 * f.A);
  out->offsetY = f.E / (2.0 * f.C);
  const double g = CompletedConstant(f);
  out->semiX = std::sqrt(std::fabs(g / f.A));
  out->semiY = std::sqrt(std::fabs(g / f.C));
  const double smaller = out->semiX < out->semiY ? out->semiX : out->semiY;
  const double larger = out->semiX < out->semiY ? out->semiY : out->semiX;
  if (smaller <= 0.01 * larger) {
    // Too flat to parametrise: every sample falls on the end of the x' semi-axis.
    out->startAngle = 0.0;
    out->sweep = 0.0;
    return;
  }
  double sx = (f.x1 + out->offsetX) / out->semiX, sy = (f.y1 + out->offsetY) / out->semiY;
  double ex = (f.x2 + out->offsetX) / out->semiX, ey = (f.y2 + out->offsetY) / out->semiY;
  utl_normalize_vector(&sx, &sy);
  utl_normalize_vector(&ex, &ey);
  out->startAngle = utl_unit_vector_angle(sx, sy);
  out->sweep = utl_arc_sweep(out->startAngle, utl_unit_vector_angle(ex, ey), arc->clockwise);
}

void utl_parabola_point(const UtlParabolaT* form, double t, RealPtT* out) {
  const double u = t + form->tStart;
  double xp = 0.0, yp = 0.0;
  if (form->axisY != 0) {
    xp = u + form->h;
    yp = u * (u * form->coef) + form->k;
  } else {
    yp = u + form->k;
    xp = u * form->coef * u + form->h;
  }
  FromFrame(xp, yp, form->sinTheta, form->cosTheta, out);
}

void utl_hyperbola_point(const UtlHyperbolaT* form, double t, RealPtT* out) {
  const double u = t + form->tStart;
  double xp = 0.0, yp = 0.0;
  if (form->axisY != 0) {
    xp = u + form->h;
    yp = form->k + form->branch * std::sqrt(form->q * (1.0 - u / form->p * u));
  } else {
    yp = u + form->k;
    xp = form->h + form->branch * std::sqrt(form->p * (1.0 - u / form->q * u));
  }
  FromFrame(xp, yp, form->sinTheta, form->cosTheta, out);
}

void utl_ellipse_point(const UtlEllipseT* form, double t, RealPtT* out) {
  const double u = t + form->startAngle;
  const double xp = form->semiX * std::cos(u) - form->offsetX;
  const double yp = form->semiY * std::sin(u) - form->offsetY;
  FromFrame(xp, yp, form->sinTheta, form->cosTheta, out);
}
