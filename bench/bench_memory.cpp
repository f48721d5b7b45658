// Tracked allocation and eviction. Every operation walks the slot table
// linearly, so the cost grows with the number of live blocks in the list:
// an allocation makes one walk (lowest free slot and the block holding the
// back pointer), a release one (the address and its children), an eviction
// two (the candidates, then the release of the chosen tree).
//
// BM_AllocateFree/N: one MemAllocate + MemFree of a 16-byte block in a list
// that already holds N live blocks; BM_MallocFree is the bare heap for
// comparison. BM_Remove*/4096: one eviction pass over 4,096 entries (the
// removed block is put back, untimed, so every pass sees a full list).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "qzutil/memory/mem_list.h"
#include "qzutil/memory/mem_search.h"

namespace {

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

void BM_AllocateFree(benchmark::State& state) {
  Filled filled(static_cast<std::size_t>(state.range(0)));
  void* block = nullptr;
  for (auto _ : state) {
    MemAllocate(filled.list, 16, 1, &block);
    benchmark::DoNotOptimize(block);
    MemFree(filled.list, block);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AllocateFree)->Arg(16)->Arg(256)->Arg(4096);

void BM_MallocFree(benchmark::State& state) {
  for (auto _ : state) {
    void* block = std::malloc(16);
    benchmark::DoNotOptimize(block);
    std::free(block);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MallocFree);

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
BENCHMARK_TEMPLATE(BM_Remove, MemListRemoveSmallest)->Arg(4096);
BENCHMARK_TEMPLATE(BM_Remove, MemListRemoveLargest)->Arg(4096);
BENCHMARK_TEMPLATE(BM_Remove, MemListRemoveOldest)->Arg(4096);

}  // namespace

BENCHMARK_MAIN();
