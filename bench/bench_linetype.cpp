// Line-type lookups and fragment walks, the two operations a drawing layer
// repeats per primitive.
//
// BM_GetDefinition: arguments are the number of stored definitions (13, the
// built-ins alone, or 850, a full list) and what is looked up (0 the first
// slot, 1 the last stored one, 2 a number no definition has, which scans all
// 850 slots). BM_WalkPattern: dashes a segment of the given length with
// built-in type 13 (six fragments), restarting the pattern as often as the
// segment needs; items are fragments returned.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "qzutil/linetype/linetype_list.h"

namespace {

void Fill(CLineTypeDefList& list, std::int32_t count) {
  bool found = false;
  for (std::uint32_t i = static_cast<std::uint32_t>(list.numDefinitions);
       static_cast<std::int32_t>(i) < count; ++i) {
    auto* d = new CLineTypeDefinition;
    d->SetIndex(i + 1);
    d->SetPatternLength(1.0 + i);
    d->AddFragment(1.0);
    if (list.AddLineTypeDefinition(d, found) < 0 || found) delete d;
  }
}

void BM_GetDefinition(benchmark::State& state) {
  CLineTypeDefList list;
  Fill(list, static_cast<std::int32_t>(state.range(0)));
  const std::uint32_t wanted[] = {1, static_cast<std::uint32_t>(list.numDefinitions), 100000};
  std::uint32_t index = wanted[state.range(1)];
  for (auto _ : state) {
    benchmark::DoNotOptimize(index);
    benchmark::DoNotOptimize(list.GetDefinition(index));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetDefinition)->ArgsProduct({{13, 850}, {0, 1, 2}});

void BM_WalkPattern(benchmark::State& state) {
  CLineTypeDefList list;
  CLineTypeDefPattern& pattern = list.GetDefinition(13)->GetPattern();
  const double segment = static_cast<double>(state.range(0));
  std::int64_t fragments = 0;
  for (auto _ : state) {
    double done = 0.0;
    double f = pattern.GetFirstFragment();
    while (done < segment) {
      if (f == -1.0) f = pattern.GetFirstFragment();
      done += f;
      ++fragments;
      f = pattern.GetNextFragment();
    }
    benchmark::DoNotOptimize(done);
  }
  state.SetItemsProcessed(fragments);
}
BENCHMARK(BM_WalkPattern)->Arg(310)->Arg(31000);

}  // namespace

BENCHMARK_MAIN();
