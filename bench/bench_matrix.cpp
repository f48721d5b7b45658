// Point-list and point-set transforms against a plain reference loop of the
// same formula and against a streaming read+write of the same bytes.
//
// Arguments: point count, matrix shape (0 aligned, 1 swapped, 2 general),
// data (0 polyline-like: positive, small steps; 1 random sign) and, for the
// library's own loops, the instruction set (0 portable, 1 SSE2, 2 AVX; sets
// this processor lacks are skipped). Compare items_per_second between rows
// with the same first three arguments.
//
// Short lists rotate through several different inputs so that the branch
// predictor cannot learn one list by heart, as it could if the same 1,000
// points were transformed over and over; a drawing rarely repeats itself.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "qzutil/matrix/mtx2d.h"
#include "qzutil/matrix/xfm_kernels.h"

namespace {

Mtx2D MakeMatrix(std::int64_t shape) {
  Mtx2D m;
  m.Scale(2.5, 2.5);
  if (shape == 1) m.Rotate(90.0, Mtx2DRotatePost);
  if (shape == 2) m.Rotate(30.0, Mtx2DRotatePost);
  return m;
}

std::vector<RealPtT> MakePoints(std::int64_t n, std::int64_t data) {
  std::mt19937_64 rng(42);
  std::vector<RealPtT> pts(static_cast<std::size_t>(n));
  if (data == 0) {
    // A polyline wandering in the positive quadrant; about one step in eight
    // is small enough to round onto the previous device point.
    std::uniform_real_distribution<double> step(-1.5, 1.5);
    double x = 5000.0, y = 5000.0;
    for (auto& p : pts) {
      x += step(rng);
      y += step(rng);
      p = {x, y};
    }
  } else {
    std::uniform_real_distribution<double> coord(-1000.0, 1000.0);
    for (auto& p : pts)
      p = {coord(rng), coord(rng)};
  }
  return pts;
}

// Selects the instruction set named by argument 3; false (and the row is
// skipped) when this processor or build lacks it.
bool SelectKernels(benchmark::State& state) {
  const auto set = static_cast<qz::detail::KernelSet>(state.range(3));
  if (!qz::detail::KernelSetAvailable(set)) {
    state.SkipWithError("instruction set not available");
    return false;
  }
  qz::detail::UseKernelSet(set);
  return true;
}

// The rounding rule written the obvious way, with a branch on the sign.
inline std::int32_t RoundBranchy(double v) {
  return static_cast<std::int32_t>(v < 0.0 ? v - 0.5 : v + 0.5);
}

// Inputs of `n` points each, `copies` of them back to back (256 for short
// lists, 1 for long ones); Next() moves to the next input.
struct Fixture {
  explicit Fixture(const benchmark::State& state)
      : m(MakeMatrix(state.range(1))),
        n_(static_cast<std::size_t>(state.range(0))),
        copies_(n_ < 100000 ? 256 : 1),
        pool_(MakePoints(state.range(0) * static_cast<std::int64_t>(copies_), state.range(2))),
        out(n_),
        attr_in(n_, 7u),
        attr_out(n_) {}
  Mtx2D m;
  std::size_t n_, copies_, which_ = 0;
  std::vector<RealPtT> pool_;
  std::vector<IntPtT> out;
  std::vector<std::uint32_t> attr_in, attr_out;
  std::int32_t n() const { return static_cast<std::int32_t>(n_); }
  RealPtT* in() { return pool_.data() + which_ * n_; }
  void Next() { which_ = (which_ + 1) % copies_; }
};

void Finish(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() * state.range(0) *
                          static_cast<std::int64_t>(sizeof(RealPtT) + sizeof(IntPtT)));
}

void BM_XfmPts(benchmark::State& state) {
  Fixture fx(state);
  if (!SelectKernels(state)) return;
  for (auto _ : state) {
    fx.m.XfmPts(fx.n(), fx.in(), fx.out.data());
    benchmark::ClobberMemory();
    fx.Next();
  }
  Finish(state);
}

void BM_XfmPtsReference(benchmark::State& state) {
  Fixture fx(state);
  const Mtx2D& m = fx.m;
  for (auto _ : state) {
    const RealPtT* in = fx.in();
    for (std::size_t i = 0; i < fx.n_; ++i) {
      const double x = in[i].x, y = in[i].y;
      fx.out[i].x = RoundBranchy(m.a * x + m.c * y + m.e);
      fx.out[i].y = RoundBranchy(m.b * x + m.d * y + m.f);
    }
    benchmark::ClobberMemory();
    fx.Next();
  }
  Finish(state);
}

// The memory-speed limit: read every input byte, write every output byte.
// The set form moves the attribute words as well.
void BM_StreamReadWrite(benchmark::State& state) {
  Fixture fx(state);
  for (auto _ : state) {
    const RealPtT* in = fx.in();
    for (std::size_t i = 0; i < fx.n_; ++i) {
      std::uint64_t bx, by;
      std::memcpy(&bx, &in[i].x, 8);
      std::memcpy(&by, &in[i].y, 8);
      fx.out[i].x = static_cast<std::int32_t>(bx);
      fx.out[i].y = static_cast<std::int32_t>(by);
    }
    benchmark::ClobberMemory();
    fx.Next();
  }
  Finish(state);
}

void BM_StreamReadWriteSet(benchmark::State& state) {
  Fixture fx(state);
  for (auto _ : state) {
    const RealPtT* in = fx.in();
    for (std::size_t i = 0; i < fx.n_; ++i) {
      std::uint64_t bx, by;
      std::memcpy(&bx, &in[i].x, 8);
      std::memcpy(&by, &in[i].y, 8);
      fx.out[i].x = static_cast<std::int32_t>(bx);
      fx.out[i].y = static_cast<std::int32_t>(by);
      fx.attr_out[i] = fx.attr_in[i];
    }
    benchmark::ClobberMemory();
    fx.Next();
  }
  Finish(state);
}

void BM_XfmPolyPts(benchmark::State& state) {
  Fixture fx(state);
  if (!SelectKernels(state)) return;
  std::int32_t count = 0;
  for (auto _ : state) {
    fx.m.XfmPolyPts(fx.n(), &count, fx.in(), fx.out.data());
    benchmark::DoNotOptimize(count);
    benchmark::ClobberMemory();
    fx.Next();
  }
  Finish(state);
}

void BM_XfmPolyPtsReference(benchmark::State& state) {
  Fixture fx(state);
  const Mtx2D& m = fx.m;
  for (auto _ : state) {
    const RealPtT* in = fx.in();
    std::int32_t count = 0;
    for (std::size_t i = 0; i < fx.n_; ++i) {
      const double x = in[i].x, y = in[i].y;
      const IntPtT p{RoundBranchy(m.a * x + m.c * y + m.e), RoundBranchy(m.b * x + m.d * y + m.f)};
      if (count > 0 && p.x == fx.out[count - 1].x && p.y == fx.out[count - 1].y) continue;
      fx.out[count++] = p;
    }
    if (count == 3 && fx.out[2].x == fx.out[0].x && fx.out[2].y == fx.out[0].y) count = 2;
    benchmark::DoNotOptimize(count);
    benchmark::ClobberMemory();
    fx.Next();
  }
  Finish(state);
}

void BM_XfmPolySetPts(benchmark::State& state) {
  Fixture fx(state);
  if (!SelectKernels(state)) return;
  DrwDPSetT out{0, fx.out.data(), fx.attr_out.data()};
  for (auto _ : state) {
    DrwPSetT in{fx.n(), fx.in(), fx.attr_in.data()};
    fx.m.XfmPolySetPts(&in, &out);
    benchmark::DoNotOptimize(out.count);
    benchmark::ClobberMemory();
    fx.Next();
  }
  Finish(state);
}

void BM_XfmPolySetPtsReference(benchmark::State& state) {
  Fixture fx(state);
  const Mtx2D& m = fx.m;
  for (auto _ : state) {
    const RealPtT* in = fx.in();
    std::int32_t count = 0;
    for (std::size_t i = 0; i < fx.n_; ++i) {
      const double x = in[i].x, y = in[i].y;
      const IntPtT p{RoundBranchy(m.a * x + m.c * y + m.e), RoundBranchy(m.b * x + m.d * y + m.f)};
      if (count > 0 && p.x == fx.out[count - 1].x && p.y == fx.out[count - 1].y) {
        fx.attr_out[count - 1] = fx.attr_in[i];
        continue;
      }
      fx.attr_out[count] = fx.attr_in[i];
      fx.out[count++] = p;
    }
    if (count == 3 && fx.out[2].x == fx.out[0].x && fx.out[2].y == fx.out[0].y) count = 2;
    benchmark::DoNotOptimize(count);
    benchmark::ClobberMemory();
    fx.Next();
  }
  Finish(state);
}

void Args(benchmark::internal::Benchmark* b) {
  b->ArgNames({"n", "shape", "data"});
  for (std::int64_t n : {1000, 1000000}) {
    for (std::int64_t shape : {0, 1, 2}) {
      for (std::int64_t data : {0, 1})
        b->Args({n, shape, data});
    }
  }
}

void KernelArgs(benchmark::internal::Benchmark* b) {
  b->ArgNames({"n", "shape", "data", "isa"});
  for (std::int64_t n : {1000, 1000000}) {
    for (std::int64_t shape : {0, 1, 2}) {
      for (std::int64_t data : {0, 1}) {
        for (std::int64_t isa : {0, 1, 2})
          b->Args({n, shape, data, isa});
      }
    }
  }
}

BENCHMARK(BM_XfmPts)->Apply(KernelArgs);
BENCHMARK(BM_XfmPtsReference)->Apply(Args);
BENCHMARK(BM_StreamReadWrite)->Apply(Args);
BENCHMARK(BM_XfmPolyPts)->Apply(KernelArgs);
BENCHMARK(BM_XfmPolyPtsReference)->Apply(Args);
BENCHMARK(BM_XfmPolySetPts)->Apply(KernelArgs);
BENCHMARK(BM_XfmPolySetPtsReference)->Apply(Args);
BENCHMARK(BM_StreamReadWriteSet)->Apply(Args);

}  // namespace

BENCHMARK_MAIN();
