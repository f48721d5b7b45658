// The memory tracker under random operation sequences: one pool, a tree list
// whose handler is driven by the input (it may even delete the list), and a
// plain list. After every step pool used = registered sizes and each
// total_size = size + direct children. A tracking heap keeps the harness to
// blocks that are alive.
#include <cstdlib>
#include <cstring>
#include <set>

#include "fuzz_check.h"
#include "qzutil/memory/mem_internal.h"
#include "qzutil/memory/mem_search.h"

namespace {

namespace qd = qz::detail;

struct TrackingHeap : qd::MemHeap {
  std::set<void*> live;
  void* Allocate(std::size_t bytes) override { return *live.insert(std::malloc(bytes)).first; }
  void Release(void* block) override {
    FUZZ_CHECK(block == nullptr || live.erase(block) == 1);
    std::free(block);
  }
} g_heap;

// A block of 16 bytes or more holds two variables of the tree list.
struct Node {
  void* var[2];
};

FuzzedDataProvider* g_in = nullptr;
MemPoolT* g_pool = nullptr;
MemListT* g_tree = nullptr;   // blocks in roots 0..3 and inside its own blocks
MemListT* g_plain = nullptr;  // blocks in roots 4..7 only
void* g_roots[8];

bool Registered(const MemListT* list, const void* block) {
  return list != nullptr && block != nullptr && qd::MemFindAddress(list, block) >= 0;
}

// A root, or a slot inside a live block of the tree list.
void** TreeVariable() {
  const int pick = g_in->ConsumeIntegralInRange(0, 11);
  if (pick < 4) return &g_roots[pick];
  if (g_tree == nullptr) return &g_roots[0];
  const MemEntryT& e = g_tree->entries[pick % g_tree->size];
  if (e.address == nullptr || e.size < static_cast<std::int32_t>(sizeof(Node)) ||
      g_heap.live.count(e.address) == 0)
    return &g_roots[pick % 4];
  return &static_cast<Node*>(e.address)->var[pick % 2];
}

// A block the tree list holds, found through a variable (or any of its slots).
void* TreeBlock() {
  if (g_tree == nullptr) return nullptr;
  if (g_in->ConsumeBool())
    return g_tree->entries[g_in->ConsumeIntegral<std::uint8_t>() % g_tree->size].address;
  void* v = *TreeVariable();
  return Registered(g_tree, v) ? v : nullptr;
}

void Evict(MemListT* list, int how) {
  static unsigned short (*const kEvict[])(MemListT*) = {MemListRemoveSmallest, MemListRemoveLargest,
                                                        MemListRemoveOldest};
  kEvict[how](list);
}

unsigned short Handler(MemExceptionT* x) {
  FUZZ_CHECK(x->list == g_tree && x->code >= MEM_POOL_OVERFLOW && x->code <= MEM_MALLOC_FAILED);
  switch (g_in->ConsumeIntegralInRange(0, 15)) {
    case 0:
    case 1:
      return static_cast<unsigned short>(g_in->ConsumeBool());
    case 2:
      if (void* block = TreeBlock(); block != nullptr) MemFree(x->list, block);
      return 1;
    case 3:
      MemListClear(x->list);
      return 1;
    case 4:
      // A handler may call any operation on its list, deleting it included.
      MemListDelete(&g_tree);
      return g_in->ConsumeBool() ? 1 : 0;
    default:
      for (int n = g_in->ConsumeIntegralInRange(1, 4); n > 0; --n)
        Evict(x->list, g_in->ConsumeIntegralInRange(0, 2));
      return 1;
  }
}

void CheckBooks() {
  std::int64_t used = 0;
  for (MemListT* list : {g_tree, g_plain}) {
    if (list == nullptr) continue;
    std::int32_t held = 0;
    for (std::int32_t i = 0; i < list->size; ++i) {
      const MemEntryT& e = list->entries[i];
      if (e.address == nullptr) continue;
      ++held;
      used += e.size;
      FUZZ_CHECK(g_heap.live.count(e.address) == 1);
      std::int64_t total = e.size;
      for (std::int32_t k = 0; k < list->size; ++k)
        if (list->entries[k].address != nullptr && list->entries[k].parent == i)
          total += list->entries[k].size;
      FUZZ_CHECK(e.total_size == total && e.parent >= -1 && e.parent < list->size);
    }
    FUZZ_CHECK(held == list->used);
  }
  FUZZ_CHECK(used == g_pool->used);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  g_in = &in;
  qd::MemHeap* previous = qd::set_mem_heap(&g_heap);
  std::memset(g_roots, 0, sizeof g_roots);
  g_pool = MemPoolNew(in.ConsumeIntegralInRange(0, 600));
  g_tree = MemListNew(g_pool, in.ConsumeBool() ? &Handler : nullptr);
  g_plain = MemListNew(g_pool, nullptr);
  for (int steps = 0; in.remaining_bytes() > 0 && steps < 300; ++steps) {
    const int op = in.ConsumeIntegralInRange(0, 9);
    const auto bytes = in.ConsumeIntegralInRange<std::int32_t>(-1, 120);
    const std::intptr_t key = in.ConsumeIntegralInRange(0, 3);
    switch (op) {
      case 0:
      case 1:
      case 2:
        if (g_tree != nullptr) {
          void** var = TreeVariable();
          void* const before = *var;
          const bool plain = g_tree->handler == nullptr;
          const std::int32_t r = MemAllocate(g_tree, bytes, key, var);
          FUZZ_CHECK(r >= MEM_OK && r <= MEM_MALLOC_FAILED);
          // Without a handler nothing else can touch the variable.
          FUZZ_CHECK(r == MEM_OK || !plain || *var == before);
        } else {
          g_tree = MemListNew(g_pool, &Handler);
        }
        break;
      case 3: {
        void** var = &g_roots[4 + in.ConsumeIntegralInRange(0, 3)];
        const std::int32_t r = MemAllocate(g_plain, bytes, key, var);
        FUZZ_CHECK(r == MEM_OK || *var == nullptr || Registered(g_plain, *var));
        break;
      }
      case 4:
        if (void* block = TreeBlock(); block != nullptr) MemFree(g_tree, block);
        break;
      case 5:
        if (void* block = TreeBlock(); block != nullptr)
          MemSetPointer(g_tree, block, TreeVariable());
        break;
      case 6:
        if (g_tree != nullptr) Evict(g_tree, in.ConsumeIntegralInRange(0, 2));
        break;
      case 7:
        if (g_tree != nullptr) {
          in.ConsumeBool() ? MemListInitializeSearch(g_tree) : MemListRemoveFromSearch(g_tree, key);
          MemAvailable(g_tree, bytes);
        }
        break;
      case 8:
        MemListClear(in.ConsumeBool() ? g_tree : g_plain);
        break;
      default:
        if (void* block = g_roots[4 + key]; Registered(g_plain, block)) MemFree(g_plain, block);
        break;
    }
    CheckBooks();
  }
  MemListDelete(&g_tree);
  MemListDelete(&g_plain);
  MemPoolDelete(&g_pool);
  // Blocks handed back to their owners by MemListDelete are ours to free.
  for (void* block : std::set<void*>(g_heap.live))
    g_heap.Release(block);
  qd::set_mem_heap(previous);
  return 0;
}
