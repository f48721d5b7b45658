// Line reading with osh_readLine against fgets over the same text, and the
// cost of resolving names (an absolute name, and a root-relative one that
// goes through the pseudo drive).
//
// The text is 1 MiB in memory (fmemopen), lines of 20 to 100 characters
// ending in LF, CR LF or CR in turn. Compare bytes_per_second.
#include <benchmark/benchmark.h>

#include <stdio.h>

#include <cstdint>
#include <random>
#include <string>

#include "qzutil/os/osh_io.h"

namespace {

std::string MakeText() {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> length(20, 100);
  const char* ends[] = {"\n", "\r\n", "\r"};
  std::string text;
  for (int i = 0; text.size() < (1u << 20); ++i) {
    text.append(static_cast<std::size_t>(length(rng)), 'x');
    text += ends[i % 3];
  }
  return text;
}

// Reads the whole text from a fresh memory stream with `read_all` per
// iteration.
template <class ReadAll>
void ReadText(benchmark::State& state, ReadAll read_all) {
  std::string text = MakeText();
  for (auto _ : state) {
    FILE* stream = fmemopen(text.data(), text.size(), "r");
    benchmark::DoNotOptimize(read_all(stream));
    fclose(stream);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_ReadLine(benchmark::State& state) {
  ReadText(state, [](FILE* stream) {
    char line[256];
    std::int64_t total = 0;
    for (std::int32_t n; (n = osh_readLine(stream, line, sizeof line)) > 0;)
      total += n;
    return total;
  });
}
BENCHMARK(BM_ReadLine);

// Baseline: the runtime's line reader, which knows only LF.
void BM_Fgets(benchmark::State& state) {
  ReadText(state, [](FILE* stream) {
    char line[256];
    std::int64_t lines = 0;
    while (fgets(line, sizeof line, stream) != nullptr)
      ++lines;
    return lines;
  });
}
BENCHMARK(BM_Fgets);

void BM_ResolvePath(benchmark::State& state) {
  const char* name = state.range(0) == 0 ? "/usr/bin" : "\\usr\\bin";
  char out[1024];
  for (auto _ : state)
    benchmark::DoNotOptimize(osh_resolve_path(name, out));
}
BENCHMARK(BM_ResolvePath)->Arg(0)->Arg(1);

}  // namespace
BENCHMARK_MAIN();
