// The sample points of a conic arc, shared by the conic picking distance and
// the conic extent so that both see exactly the same points (internal, not
// installed).
#ifndef QZUTIL_GEOMETRY_CONIC_SAMPLES_H
#define QZUTIL_GEOMETRY_CONIC_SAMPLES_H

#include <cstdint>

#include "qzutil/frame/records.h"
#include "qzutil/geometry/conic.h"

namespace qz::detail {

// Circles and ellipses: one sample per 0.087 radian of eccentric sweep plus
// one, at least 3, evenly spaced over the sweep. Parabolas and hyperbolas:
// 40 samples evenly spaced over tStart..tEnd. The parameter advances by
// repeated addition of the step, starting at 0 (the start point).
class ConicSamples {
 public:
  // Reduces the arc for its type as utl_conic_type reports it. Returns false
  // for the types that take no samples ('L', '?').
  bool Prepare(const UtlConicArcT* arc, char type);

  std::int32_t count() const { return count_; }
  double step() const { return step_; }

  // Calls visit(const RealPtT&) for every sample in order.
  template <class Visit>
  void ForEach(Visit&& visit) const {
    switch (kind_) {
      case Kind::kEllipse:
        Walk(visit, [this](double t, RealPtT* p) { utl_ellipse_point(&ellipse_, t, p); });
        break;
      case Kind::kParabola:
        Walk(visit, [this](double t, RealPtT* p) { utl_parabola_point(&parabola_, t, p); });
        break;
      case Kind::kHyperbola:
        Walk(visit, [this](double t, RealPtT* p) { utl_hyperbola_point(&hyperbola_, t, p); });
        break;
      case Kind::kNone:
        break;
    }
  }

 private:
  enum class Kind { kNone, kEllipse, kParabola, kHyperbola };

  // Parabolas and hyperbolas: 40 samples over a parameter span.
  bool PrepareOpen(Kind kind, double span);

  template <class Visit, class Eval>
  void Walk(Visit& visit, Eval eval) const {
    double t = 0.0;
    for (std::int32_t i = 0; i < count_; ++i) {
      RealPtT p;
      eval(t, &p);
      visit(static_cast<const RealPtT&>(p));
      t += step_;
    }
  }

  Kind kind_ = Kind::kNone;
  std::int32_t count_ = 0;
  double step_ = 0.0;
  UtlEllipseT ellipse_{};
  UtlParabolaT parabola_{};
  UtlHyperbolaT hyperbola_{};
};

}  // namespace qz::detail

#endif  // QZUTIL_GEOMETRY_CONIC_SAMPLES_H
