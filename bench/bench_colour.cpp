// ColorMap::GetClosestColor on a 256-entry palette of 8-bit colours, beside
// two reference loops over the same palette and questions.
//
// BM_GetClosestColor/<run>/<set>: the member with the search loops of one
// instruction set (0 portable, 1 SSE2, 2 AVX2, 3 AVX-512; rows for a set
// this processor lacks are skipped). The run length shapes the colour
// stream: 1 is a stream of distinct colours (every question searches, the
// memo never hits); larger runs repeat each colour that many times in a
// row, as runs of equal pixels do, so all but the first question of a run
// are answered by the memo (4096: a single colour, every question a memo
// hit).
//
// BM_PlainSquaredLoop: the nearest entry by squared distance written the
// obvious way (integers, one entry at a time), distinct colours.
// BM_EntryByEntrySearch: the member's search before it was vectorised,
// reproduced here (exact 64-bit sums, far entries passed over, the best
// distance held as a float, the mean difference reported), distinct colours.
//
// items_per_second counts questions. The palette has no entry equal to any
// asked colour, so every search walks all 255 candidate entries.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "qzutil/colour/colour_map.h"
#include "qzutil/colour/colour_search.h"

namespace {

namespace col = qz::detail::col;

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
  const auto set = static_cast<col::KernelSet>(state.range(1));
  if (!col::KernelSetAvailable(set)) {
    state.SkipWithError("instruction set not available");
    return;
  }
  col::UseKernelSet(set);
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
  col::UseBestKernelSet();
}
BENCHMARK(BM_GetClosestColor)->ArgsProduct({{1}, {0, 1, 2, 3}})->ArgsProduct({{4, 64, 4096}, {3}});

// Runs `search(map, colour)` over the stream of distinct colours.
template <class Search>
void RunReference(benchmark::State& state, Search search) {
  ColorMap map(kEntries, 255);
  FillPalette(map);
  const std::vector<ColorRGB> stream = Stream(1);
  std::size_t at = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(search(map, stream[at]));
    if (++at == stream.size()) at = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_PlainSquaredLoop(benchmark::State& state) {
  RunReference(state, [](const ColorMap& map, const ColorRGB& c) {
    std::int32_t best = 3 * 255 * 255 + 1, found = 0;
    for (std::int32_t i = 1; i < map.numColors; ++i) {
      const ColorRGB& e = map.colors[i];
      const std::int32_t dr = e.red - c.red, dg = e.green - c.green, db = e.blue - c.blue;
      const std::int32_t d = dr * dr + dg * dg + db * db;
      if (d < best) best = d, found = i;
    }
    return found;
  });
}
BENCHMARK(BM_PlainSquaredLoop);

std::int64_t AbsDiff(std::int32_t a, std::int32_t b) {
  const std::int64_t d = static_cast<std::int64_t>(a) - b;
  return d < 0 ? -d : d;
}

void BM_EntryByEntrySearch(benchmark::State& state) {
  RunReference(state, [](const ColorMap& map, const ColorRGB& c) {
    constexpr std::int64_t kHalf = std::int64_t{1} << 21;
    const auto s = static_cast<std::uint32_t>(map.maxValue);
    auto best = static_cast<std::int64_t>(static_cast<float>(3u * s * s + 1u));
    std::int32_t found = 0;
    for (std::int32_t i = 1; i < map.numColors; ++i) {
      const ColorRGB& e = map.colors[i];
      if (e.red < 0) continue;
      const std::int64_t dr = std::int64_t{e.red} - c.red, dg = std::int64_t{e.green} - c.green,
                         db = std::int64_t{e.blue} - c.blue;
      if ((static_cast<std::uint64_t>(dr + kHalf) | static_cast<std::uint64_t>(dg + kHalf) |
           static_cast<std::uint64_t>(db + kHalf)) >= static_cast<std::uint64_t>(2 * kHalf))
        continue;
      const std::int64_t d = dr * dr + dg * dg + db * db;
      if (d == 0) return std::int64_t{i} << 32;
      if (d < best) {
        best = static_cast<std::int64_t>(static_cast<float>(d));
        found = i;
      }
    }
    if (found == 0) return std::int64_t{-1};
    const ColorRGB& e = map.colors[found];
    const std::int64_t sum =
        AbsDiff(e.red, c.red) + AbsDiff(e.green, c.green) + AbsDiff(e.blue, c.blue);
    const auto mean =
        static_cast<std::int64_t>(std::floor(static_cast<double>(sum) * 0.3333333333333333 + 0.5));
    return (std::int64_t{found} << 32) | mean;
  });
}
BENCHMARK(BM_EntryByEntrySearch);

}  // namespace

BENCHMARK_MAIN();
