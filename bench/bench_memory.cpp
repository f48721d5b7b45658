// Tracked allocation and eviction.
//
// BM_Replace*/N: N live 64-byte blocks; one iteration frees the oldest and
// allocates its replacement, so the number of live blocks stays N. Tracked:
// MemFree + MemAllocate on one list (unlimited pool, each block held by an
// element of a vector); Talloc (when found at configure time):
// talloc_free + talloc_size of children of one parent; Malloc: free +
// malloc. The tracked pair costs a constant number of hash probes and bitmap
// words, so its time should stay flat in N.
//
// BM_Remove*/N: one eviction pass over N entries of 1..64 bytes (the removed
// block is put back, untimed, so every pass sees a full list). The pass is
// one walk over the slot table and grows with N.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "qzutil/memory/mem_list.h"
#include "qzutil/memory/mem_search.h"

#if defined(QZ_BENCH_HAVE_TALLOC)
#include <talloc.h>
#endif

namespace {

constexpr std::int32_t kBlock = 64;

void BM_ReplaceTracked(benchmark::State& state) {
  MemPoolT* pool = MemPoolNew(0);
  MemListT* list = MemListNew(pool, nullptr);
  std::vector<void*> vars(static_cast<std::size_t>(state.range(0)));
  for (void*& var : vars)
    MemAllocate(list, kBlock, 1, &var);
  std::size_t oldest = 0;
  for (auto _ : state) {
    MemFree(list, vars[oldest]);
    MemAllocate(list, kBlock, 1, &vars[oldest]);
    benchmark::DoNotOptimize(vars[oldest]);
    if (++oldest == vars.size()) oldest = 0;
  }
  MemListDelete(&list);
  MemPoolDelete(&pool);
}

void BM_ReplaceMalloc(benchmark::State& state) {
  std::vector<void*> blocks(static_cast<std::size_t>(state.range(0)));
  for (void*& block : blocks)
    block = std::malloc(kBlock);
  std::size_t oldest = 0;
  for (auto _ : state) {
    std::free(blocks[oldest]);
    blocks[oldest] = std::malloc(kBlock);
    benchmark::DoNotOptimize(blocks[oldest]);
    if (++oldest == blocks.size()) oldest = 0;
  }
  for (void* block : blocks)
    std::free(block);
}

#if defined(QZ_BENCH_HAVE_TALLOC)
void BM_ReplaceTalloc(benchmark::State& state) {
  void* parent = talloc_new(nullptr);
  std::vector<void*> blocks(static_cast<std::size_t>(state.range(0)));
  for (void*& block : blocks)
    block = talloc_size(parent, kBlock);
  std::size_t oldest = 0;
  for (auto _ : state) {
    talloc_free(blocks[oldest]);
    blocks[oldest] = talloc_size(parent, kBlock);
    benchmark::DoNotOptimize(blocks[oldest]);
    if (++oldest == blocks.size()) oldest = 0;
  }
  talloc_free(parent);
}
#endif

void Sizes(benchmark::internal::Benchmark* b) {
  for (int n : {16, 256, 4096, 65536})
    b->Arg(n);
}
BENCHMARK(BM_ReplaceTracked)->Apply(Sizes);
#if defined(QZ_BENCH_HAVE_TALLOC)
BENCHMARK(BM_ReplaceTalloc)->Apply(Sizes);
#endif
BENCHMARK(BM_ReplaceMalloc)->Apply(Sizes);

// A list of `count` live blocks of 1..64 bytes, each held by an element of
// `vars`.
struct Filled {
  MemPoolT* pool = MemPoolNew(0);
  MemListT* list = MemListNew(pool, nullptr);
  std::vector<void*> vars;
  std::vector<std::int32_t> sizes;
  explicit Filled(std::size_t count) : vars(count), sizes(count) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::int32_t> size(1, 64);
    for (std::size_t i = 0; i < count; ++i) {
      sizes[i] = size(rng);
      MemAllocate(list, sizes[i], static_cast<std::intptr_t>(i + 1), &vars[i]);
    }
  }
  ~Filled() {
    MemListDelete(&list);
    MemPoolDelete(&pool);
  }
  Filled(const Filled&) = delete;
  Filled& operator=(const Filled&) = delete;
  // Refills whatever slot the last removal emptied.
  void Refill() {
    for (std::size_t i = 0; i < vars.size(); ++i) {
      if (vars[i] == nullptr)
        MemAllocate(list, sizes[i], static_cast<std::intptr_t>(i + 1), &vars[i]);
    }
  }
};

template <unsigned short (*Remove)(MemListT*)>
void BM_Remove(benchmark::State& state) {
  Filled filled(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(Remove(filled.list));
    state.PauseTiming();
    filled.Refill();
    state.ResumeTiming();
  }
}
BENCHMARK_TEMPLATE(BM_Remove, MemListRemoveSmallest)->Arg(256)->Arg(4096);
BENCHMARK_TEMPLATE(BM_Remove, MemListRemoveLargest)->Arg(4096);
BENCHMARK_TEMPLATE(BM_Remove, MemListRemoveOldest)->Arg(4096);

}  // namespace

BENCHMARK_MAIN();
