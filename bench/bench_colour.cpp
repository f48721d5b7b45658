// ColorMap::GetClosestColor on a 256-entry palette of 8-bit colours.
//
// Argument: the run length of the colour stream. 1 is a stream of distinct
// colours (every question searches, the memo never hits); larger runs repeat
// each colour that many times in a row, as runs of equal pixels do, so all
// but the first question of a run are answered by the memo (4096: a single
// colour, every question a memo hit). items_per_second counts questions. The
// palette has no entry equal to any asked colour, so every search walks all
// 255 candidate entries.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "qzutil/colour/colour_map.h"

namespace {

constexpr std::int32_t kEntries = 256;

// A palette of even components; the questions below ask odd ones.
void FillPalette(ColorMap& map) {
  std::mt19937 rng(17);
  std::uniform_int_distribution<int> half(0, 127);
  for (std::int32_t i = 0; i < kEntries; ++i) {
    const ColorRGB c{2 * half(rng), 2 * half(rng), 2 * half(rng)};
    map.SetMap(i, &c);
  }
}

std::vector<ColorRGB> Stream(std::int64_t run) {
  std::mt19937 rng(23);
  std::uniform_int_distribution<int> half(0, 127);
  std::vector<ColorRGB> stream;
  while (stream.size() < 4096) {
    const ColorRGB c{2 * half(rng) + 1, 2 * half(rng) + 1, 2 * half(rng) + 1};
    for (std::int64_t k = 0; k < run; ++k)
      stream.push_back(c);
  }
  return stream;
}

void BM_GetClosestColor(benchmark::State& state) {
  ColorMap map(kEntries, 255);
  FillPalette(map);
  const std::vector<ColorRGB> stream = Stream(state.range(0));
  std::size_t at = 0;
  std::int32_t distance = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(map.GetClosestColor(&stream[at], &distance));
    if (++at == stream.size()) at = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetClosestColor)->Arg(1)->Arg(4)->Arg(64)->Arg(4096);

}  // namespace

BENCHMARK_MAIN();
