// str_parse walking a long colour text, token by token, the way the colour
// parser reads palette lines: a keyword, then three numbers or a name.
//
// Argument: the number of colour specifications in the text (about 18 bytes
// each). items_per_second counts tokens, bytes_per_second input bytes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>

#include "qzutil/text/str_parse.h"

namespace {

std::string ColourText(std::int64_t specs) {
  static const char* const kNames[] = {"LightGrey", "\"light grey\"", "DarkSlateBlue", "$navy$",
                                       "gray50"};
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> kind(0, 2), name(0, 4), level(0, 1000);
  std::string text;
  for (std::int64_t i = 0; i < specs; ++i) {
    switch (kind(rng)) {
      case 0:
        text += "RGB " + std::to_string(level(rng) / 1000.0).substr(0, 5) + " 0.5 1 ";
        break;
      case 1:
        text += "HSV " + std::to_string(level(rng) % 360) + " .25 0.75 ";
        break;
      default:
        text += std::string("Name ") + kNames[name(rng)] + " ";
        break;
    }
  }
  return text;
}

void BM_StrParseWalk(benchmark::State& state) {
  const std::string text = ColourText(state.range(0));
  std::int64_t tokens = 0;
  for (auto _ : state) {
    const char* at = text.c_str();
    for (;;) {
      const StrTokenT* t = str_parse(at);
      if (t->type == STR_END) break;
      benchmark::DoNotOptimize(t->value);
      at = t->next;
      ++tokens;
    }
  }
  state.SetItemsProcessed(tokens);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_StrParseWalk)->Arg(16)->Arg(1000)->Arg(50000);

}  // namespace

BENCHMARK_MAIN();
