#include "qzutil/geometry/cubic.h"

#include <atomic>
#include <cstdlib>

#include "qzutil/geometry/polyline_alloc.h"

namespace {

constexpr std::int32_t kMaxSteps = 1024;

struct Pair {
  double x, y;
};

double SquaredLength(double x, double y) {
  return x * x + y * y;
}

// The number of equal steps, a power of two, for which no second difference
// along the curve (including one step beyond either end) is longer than
// 8 × tolerance.
std::int32_t StepCount(const UtlCubicT* c, double tolerance) {
  const double limit = tolerance * tolerance * 64.0;
  Pair d3{6.0 * c->xCoef[0], 6.0 * c->yCoef[0]};
  Pair d2{2.0 * c->xCoef[1] + 6.0 * c->xCoef[0], 2.0 * c->yCoef[1] + 6.0 * c->yCoef[0]};
  double h = 1.0, t = 0.0;
  std::int32_t n = 1;
  // t grows by at least 1/1024 per pass, so the walk ends.
  while (t <= 1.0) {
    const double q1 = SquaredLength(d2.x - d3.x, d2.y - d3.y);  // centred at t
    const double q2 = SquaredLength(d2.x, d2.y);                // centred at t + h
    const double q = q1 > q2 ? q1 : q2;
    if (q > limit && n < kMaxSteps) {
      d3.x = d3.x * 0.125;
      d3.y = d3.y * 0.125;
      d2.x = d2.x * 0.25 - d3.x;
      d2.y = d2.y * 0.25 - d3.y;
      h = h * 0.5;
      n = n * 2;
      continue;  // test again at the same t with the finer step
    }
    d2.x = d2.x + d3.x;
    d2.y = d2.y + d3.y;
    t = t + h;
  }
  return n;
}

// First, second and third forward differences of one coordinate for step h.
struct Differences {
  double d1, d2, d3;
};

Differences ForStep(const double* k, double h) {
  const double ah3 = k[0] * h * h * h;
  const double bh2 = k[1] * h * h;
  const double d3 = ah3 * 6.0;
  return {(k[2] * h + bh2) + ah3, (bh2 + bh2) + d3, d3};
}

void* SystemAlloc(std::size_t bytes) {
  return std::malloc(bytes);
}

// Atomic so that a test installing an allocator never races a conversion.
std::atomic<qz::detail::PolylineAllocator> g_allocator{&SystemAlloc};

}  // namespace

namespace qz::detail {

void* polyline_alloc(std::size_t bytes) {
  return g_allocator.load(std::memory_order_relaxed)(bytes);
}

PolylineAllocator set_polyline_allocator(PolylineAllocator allocator) {
  return g_allocator.exchange(allocator != nullptr ? allocator : &SystemAlloc);
}

}  // namespace qz::detail

double utl_evaluate_cubic(const double* coef, double t) {
  return ((t * coef[0] + coef[1]) * t + coef[2]) * t + coef[3];
}

void UtlCubicToPolyline(const UtlCubicT* cubic, double tolerance, std::int32_t* count,
                        RealPtT** points) {
  const std::int32_t n = StepCount(cubic, tolerance);
  const double h = 1.0 / static_cast<double>(n);
  Differences dx = ForStep(cubic->xCoef, h), dy = ForStep(cubic->yCoef, h);
  auto* p = static_cast<RealPtT*>(
      qz::detail::polyline_alloc(sizeof(RealPtT) * static_cast<std::size_t>(n + 1)));
  if (p == nullptr) {
    *count = 0;
    *points = nullptr;
    return;
  }
  p[0] = RealPtT{cubic->xCoef[3], cubic->yCoef[3]};
  for (std::int32_t i = 1; i <= n; ++i) {
    p[i] = RealPtT{p[i - 1].x + dx.d1, p[i - 1].y + dy.d1};
    dx.d1 = dx.d1 + dx.d2;
    dy.d1 = dy.d1 + dy.d2;
    dx.d2 = dx.d2 + dx.d3;
    dy.d2 = dy.d2 + dy.d3;
  }
  *count = n + 1;
  *points = p;
}
