// Picking and polyline conversion costs.
//
// BM_PointLineNearest: the nearest of N random segments to a pick point, the
// way a picking layer scans a drawing (items = segments measured).
// BM_CubicToPolyline/N: one curved cubic at the tolerance that gives exactly
// N steps (items = points produced, allocation and free included).
// BM_PointConarc: one conic-arc distance, on a full ellipse (73 samples) and
// on a parabolic arc (40 samples) (items = calls).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "qzutil/geometry/cubic.h"
#include "qzutil/geometry/picking.h"

namespace {

void BM_PointLineNearest(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  std::mt19937_64 rng(1);
  std::uniform_real_distribution<double> coord(-1000.0, 1000.0);
  std::vector<RealPtT> ends(2 * n);
  for (auto& p : ends)
    p = {coord(rng), coord(rng)};
  std::vector<RealPtT> picks(64);
  for (auto& p : picks)
    p = {coord(rng), coord(rng)};
  std::size_t k = 0;
  for (auto _ : state) {
    const RealPtT& pick = picks[k++ % picks.size()];
    double best = 1e300;
    for (std::size_t i = 0; i < n; ++i) {
      best = std::min(best, utl_point_line(&pick, &ends[2 * i], &ends[2 * i + 1]));
    }
    benchmark::DoNotOptimize(best);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
}
BENCHMARK(BM_PointLineNearest)->Arg(1000)->Arg(100000);

void BM_CubicToPolyline(benchmark::State& state) {
  const UtlCubicT cubic{{2.0, -3.0, 1.5, 0.0}, {-1.0, 0.5, 2.0, 1.0}};
  const auto steps = static_cast<double>(state.range(0));
  // The walk keeps every second difference p''(c)·h² within 8 × tolerance;
  // p'' is linear, so the widest one lies at an end of [0, 1 + h].
  double worst = 0.0;
  for (double t : {0.0, 1.0 + 1.0 / steps}) {
    worst = std::max(worst, std::hypot(6 * cubic.xCoef[0] * t + 2 * cubic.xCoef[1],
                                       6 * cubic.yCoef[0] * t + 2 * cubic.yCoef[1]));
  }
  const double tolerance = worst / (steps * steps) / 8.0 * (1 + 1e-9);
  std::int32_t count = 0;
  RealPtT* points = nullptr;
  UtlCubicToPolyline(&cubic, tolerance, &count, &points);
  std::free(points);
  if (count != state.range(0) + 1) {
    state.SkipWithError("tolerance does not give the intended step count");
    return;
  }
  for (auto _ : state) {
    UtlCubicToPolyline(&cubic, tolerance, &count, &points);
    benchmark::DoNotOptimize(points);
    std::free(points);
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_CubicToPolyline)->Arg(16)->Arg(128)->Arg(1024);

void BM_PointConarc(benchmark::State& state, bool parabola) {
  // A full turned ellipse x² + x·y + 2y² = 4 from and to the same point, or
  // the parabola y = x² from (-2, 4) to (3, 9).
  UtlConicArcT arc{};
  if (!parabola) {
    arc = {1.0, 1.0, 2.0, 0.0, 0.0, -4.0, {2.0, 0.0}, {2.0, 0.0}, 0};
  } else {
    arc = {1.0, 0.0, 0.0, 0.0, -1.0, 0.0, {-2.0, 4.0}, {3.0, 9.0}, 0};
  }
  const RealPtT picks[4] = {{0.5, 0.5}, {3.0, -1.0}, {-2.5, 1.0}, {1.0, 6.0}};
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(utl_point_conarc(&picks[k++ & 3], &arc));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(BM_PointConarc, ellipse, false);
BENCHMARK_CAPTURE(BM_PointConarc, parabola, true);

}  // namespace

BENCHMARK_MAIN();
