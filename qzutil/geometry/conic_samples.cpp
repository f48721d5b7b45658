#include "qzutil/geometry/conic_samples.h"

#include <cmath>

namespace qz::detail {

namespace {

constexpr double kSamplesPerRadian = 11.49425287356322;  // 1 / 0.087
constexpr std::int32_t kOpenConicSamples = 40;
constexpr double kOpenConicStep = 0.02564102564102564;  // 1 / 39: both ends are sampled

}  // namespace

bool ConicSamples::Prepare(const UtlConicArcT* arc, char type) {
  switch (type) {
    case 'C':
    case 'E': {
      utl_standard_ellipse(arc, &ellipse_);
      kind_ = Kind::kEllipse;
      // |sweep| is at most a full turn plus 0.0001, so the count stays below
      // 74; a NaN sweep (a degenerate conic) takes the minimum of 3.
      const double per_sweep = std::fabs(ellipse_.sweep) * kSamplesPerRadian;
      count_ = per_sweep >= 2.0 ? 1 + static_cast<std::int32_t>(per_sweep) : 3;
      step_ = ellipse_.sweep / static_cast<double>(count_ - 1);
      return true;
    }
    case 'P':
      utl_standard_parabola(arc, &parabola_);
      return PrepareOpen(Kind::kParabola, parabola_.tEnd - parabola_.tStart);
    case 'H':
      utl_standard_hyperbola(arc, &hyperbola_);
      return PrepareOpen(Kind::kHyperbola, hyperbola_.tEnd - hyperbola_.tStart);
    default:
      kind_ = Kind::kNone;
      count_ = 0;
      step_ = 0.0;
      return false;
  }
}

bool ConicSamples::PrepareOpen(Kind kind, double span) {
  kind_ = kind;
  count_ = kOpenConicSamples;
  step_ = span * kOpenConicStep;
  return true;
}

}  // namespace qz::detail
