// The indexed list against a reference model that does everything with plain
// walks over the slot table (the way the list worked before it had indexes,
// plus the rule that a handler which releases the block holding the caller's
// variable has given up). Random operation sequences run once through the
// library and once through the model on the same heap; slots, results,
// handler calls, owner variables and the diagnostic transcript must agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "qzutil/memory/mem_internal.h"
#include "qzutil/memory/mem_search.h"
#include "shared/generated_cases.h"

namespace {

namespace qd = qz::detail;
using Entry = MemEntryT;
#define TRACE(...) QZ_MEM_TRACE(__VA_ARGS__)
long L(std::int32_t v) {
  return v;
}
template <typename... A>
std::string Str(const char* format, A... args) {
  char text[64];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

// ---- The reference: one linear walk per question. ----
struct RefList {
  MemListT head;  // first, so that the handler's MemListT* leads back here
  std::vector<Entry> table;
};
void RefGrow(MemListT* l) {
  auto& t = reinterpret_cast<RefList*>(l)->table;
  t.resize(t.size() + 16, Entry{nullptr, 0, 0, 0, nullptr, 0, 0, -1});
  l->entries = t.data();
  l->size += 16;
}
int RefFind(const MemListT* l, const void* a) {
  for (int i = 0; a != nullptr && i < l->size; ++i)
    if (l->entries[i].address == a) return i;
  return -1;
}
int RefLowestFree(const MemListT* l) {
  for (int i = 0; i < l->size; ++i)
    if (l->entries[i].address == nullptr) return i;
  return -1;
}
int RefContainer(const MemListT* l, const void* p, int skip) {
  for (int i = 0; i < l->size; ++i) {
    const Entry& e = l->entries[i];
    auto off = reinterpret_cast<std::uintptr_t>(p) - reinterpret_cast<std::uintptr_t>(e.address);
    if (i != skip && e.address != nullptr && off < static_cast<std::uint32_t>(e.size)) return i;
  }
  return -1;
}
void RefLink(MemListT* l, int i, int c) {
  if (c < 0) return;
  l->entries[i].parent = c;
  l->entries[c].total_size += l->entries[i].size;
  TRACE("    Parent sequence [%ld] total size %ld\n", L(l->entries[c].sequence),
        L(l->entries[c].total_size));
}
bool RefRelease(MemListT* l, int i) {
  Entry& e = l->entries[i];
  if (*e.back_ptr != e.address) {
    TRACE("**[%ld] Back pointer does not contain address\n", L(e.sequence));
    return false;
  }
  for (int j = 0; j < l->size; ++j) {
    if (l->entries[j].parent != i) continue;
    TRACE("**[%ld] Is parent/n", L(e.sequence));
    return false;
  }
  l->pool->used -= e.size;
  TRACE("  [%ld] Release %ld pool used %ld\n", L(e.sequence), L(e.size), L(l->pool->used));
  if (e.parent >= 0) {
    Entry& p = l->entries[e.parent];
    p.total_size -= e.size;
    TRACE("  [%ld] Parent sequence [%ld], new total %ld\n", L(e.sequence), L(p.sequence),
          L(p.total_size));
  }
  void* block = e.address;
  *e.back_ptr = nullptr;
  qd::MemHeapRelease(block);
  e = Entry{nullptr, 0, 0, 0, nullptr, 0, 0, -1};
  --l->used;
  return true;
}
void RefTree(MemListT* l, int i) {
  for (int j = 0; j < l->size; ++j)
    if (l->entries[j].parent == i) RefRelease(l, j);
  RefRelease(l, i);
}
// A handler answer counts only if the block holding the caller's variable
// (if any) is still the same block afterwards.
bool RefRaise(MemListT* l, std::int32_t code, std::intptr_t key, std::int32_t size, void** bp) {
  if (l->handler == nullptr) return false;
  const int c = RefContainer(l, bp, -1);
  const std::int32_t seq = c < 0 ? 0 : l->entries[c].sequence;
  MemExceptionT x{code, l, key, size};
  const bool answered = l->handler(&x) != 0;
  return answered && (c < 0 || (l->entries[c].address != nullptr && l->entries[c].sequence == seq));
}
void* RefBlock(std::int32_t size) {
  return size < 0 ? nullptr : qd::MemHeapAllocate(size == 0 ? 1u : std::size_t(size));
}
std::int32_t RefAllocate(MemListT* l, std::int32_t size, std::intptr_t key, void** bp) {
  TRACE("Allocate:  list %#lx key %#lx size %ld back ptr %#lx\n", qd::MemHex(l), qd::MemHex(key),
        L(size), qd::MemHex(bp));
  MemPoolT* pool = l->pool;
  if (size > pool->size) {
    TRACE("**Pool of %ld too small\n", L(pool->size));
    if (!RefRaise(l, MEM_POOL_TOO_SMALL, key, size, bp)) return MEM_POOL_TOO_SMALL;
  }
  if (l->used >= l->size) RefGrow(l);  // the model's table always grows
  if (std::int64_t{pool->used} + size > pool->size) {
    TRACE("**Pool overflow current size %ld\n", L(pool->used));
    if (!RefRaise(l, MEM_POOL_OVERFLOW, key, size, bp)) {
      TRACE("**Pool overflow after exception processing\n");
      return MEM_POOL_OVERFLOW;
    }
  }
  void* block = RefBlock(size);
  if (block == nullptr) {
    TRACE("**Malloc failed\n");
    if (!RefRaise(l, MEM_MALLOC_FAILED, key, size, bp)) {
      TRACE("**Malloc failed after exception processing\n");
      return MEM_MALLOC_FAILED;
    }
    if ((block = RefBlock(size)) == nullptr) {
      TRACE("**Malloc failed\n");
      return MEM_MALLOC_FAILED;
    }
  }
  if (std::int64_t{pool->used} + size > 2147483647) {
    qd::MemHeapRelease(block);
    TRACE("**Pool overflow after exception processing\n");
    return MEM_POOL_OVERFLOW;
  }
  const int c = RefContainer(l, bp, -1);
  if (RefLowestFree(l) < 0) RefGrow(l);
  const int i = RefLowestFree(l);
  std::int32_t& seq = qd::mem_state().sequence;
  pool->used += size;
  l->entries[i] = Entry{block, size, size, key, bp, 0, seq++, -1};
  ++l->used;
  TRACE("  [%ld] Allocation address %#lx total size %ld pool used %ld\n", L(seq - 1),
        qd::MemHex(block), L(size), L(pool->used));
  RefLink(l, i, c);
  *bp = block;
  return MEM_OK;
}
void RefSetPointer(MemListT* l, void* a, void** bp) {
  TRACE("Set pointer: list %#lx address %#lx back ptr %#lx\n", qd::MemHex(l), qd::MemHex(a),
        qd::MemHex(bp));
  const int i = RefFind(l, a);
  if (i < 0) {
    TRACE("**Address not found\n");
    return;
  }
  Entry& e = l->entries[i];
  TRACE("  [%ld] Set pointer replaces %#lx\n", L(e.sequence), qd::MemHex(e.back_ptr));
  if (e.parent >= 0) l->entries[e.parent].total_size -= e.size;
  e.parent = -1;
  e.back_ptr = bp;
  RefLink(l, i, RefContainer(l, bp, i));
  *bp = a;
}
void RefFreeBlock(MemListT* l, void* a) {
  TRACE("Free: list %#lx address %#lx\n", qd::MemHex(l), qd::MemHex(a));
  const int i = RefFind(l, a);
  if (i >= 0) {
    RefRelease(l, i);
    return;
  }
  TRACE("**Address not found\n");
  qd::MemHeapRelease(a);
}
void RefClear(MemListT* l) {
  for (int before = -1; l->used != before;) {
    before = l->used;
    for (int i = 0; i < l->size; ++i) {
      if (l->entries[i].address == nullptr) continue;
      TRACE("Clear list %#lx address %#lx\n", qd::MemHex(l), qd::MemHex(l->entries[i].address));
      RefTree(l, i);
    }
  }
}
template <int pick>
unsigned short RefRemove(MemListT* l) {
  static const char* const open[] = {"!!Remove: Smallest\n", "!!Remove: Largest\n",
                                     "!!Remove: Oldest\n"};
  static const char* const close[] = {"^^Remove: Smallest\n", "^^Remove: Largest\n",
                                      "^^Remove: Oldest\n"};
  TRACE("%s", open[pick]);
  if (l->used == 0) return 0;
  std::int32_t kept = pick == 0 ? 2147483647 : pick == 1 ? 0 : qd::mem_state().sequence;
  int best = -1;
  for (int i = 0; i < l->size; ++i) {
    const Entry& e = l->entries[i];
    if (e.total_size == 0 || e.excluded != 0 || (pick < 2 && e.parent != -1)) continue;
    const std::int32_t v = pick == 2 ? e.sequence : e.total_size;
    if (pick == 1 ? v > kept : v < kept) kept = v, best = i;
  }
  if (best < 0) return 0;
  RefTree(l, best);
  TRACE("%s", close[pick]);
  return 1;
}

// ---- Two worlds driven by one random stream each. ----
struct Api {
  std::int32_t (*allocate)(MemListT*, std::int32_t, std::intptr_t, void**);
  void (*set_pointer)(MemListT*, void*, void**);
  void (*free)(MemListT*, void*);
  void (*clear)(MemListT*);
  unsigned short (*remove[3])(MemListT*);
};
const Api kLibrary = {MemAllocate,
                      MemSetPointer,
                      MemFree,
                      MemListClear,
                      {MemListRemoveSmallest, MemListRemoveLargest, MemListRemoveOldest}};
const Api kModel = {
    RefAllocate, RefSetPointer, RefFreeBlock, RefClear, {RefRemove<0>, RefRemove<1>, RefRemove<2>}};

// Blocks of 16 bytes or more hold three owner variables: first, middle, last.
void** Field(const MemEntryT& e, std::size_t which) {
  const std::int32_t offsets[] = {0, e.size / 2, e.size - 8};
  return reinterpret_cast<void**>(static_cast<char*>(e.address) + (offsets[which] & ~7));
}
struct World {
  const Api* api;
  MemListT* list;
  MemPoolT* pool;
  std::mt19937 rng;
  void* roots[8] = {};
  std::string log;  // results, handler calls, heap refusals, in order
  int depth = 0;    // handler nesting
};
World* g_world = nullptr;

// Zeroed blocks; small requests (blocks, never tables) refused at random;
// nothing returned to malloc before the end of a run, so that no address is
// seen twice and every address in a transcript has one name.
struct QuarantineHeap : qd::MemHeap {
  std::vector<void*> live, released;
  void* Allocate(std::size_t bytes) override {
    if (g_world != nullptr && bytes <= 64 && g_world->rng() % 12 == 0) {
      g_world->log += "refused;";
      return nullptr;
    }
    live.push_back(std::calloc(1, bytes));
    return live.back();
  }
  void Release(void* block) override {
    if (block == nullptr) return;
    auto at = std::find(live.begin(), live.end(), block);
    ASSERT_NE(at, live.end()) << "released twice or foreign";
    live.erase(at);
    released.push_back(block);
  }
};

void** PickVariable(World& w) {
  const MemEntryT& e = w.list->entries[w.rng() % w.list->size];
  if (e.address != nullptr && e.size >= 16) return Field(e, w.rng() % 3);
  return &w.roots[w.rng() % 8];
}

unsigned short Handler(MemExceptionT* x) {
  World& w = *g_world;
  w.log += Str("H%d,%d;", x->code, x->size);
  MemEntryT& e = x->list->entries[w.rng() % x->list->size];
  switch (w.rng() % 6) {
    case 0:
    case 1:
    case 2:
      w.api->remove[w.rng() % 3](x->list);
      break;
    case 3:
      if (e.address != nullptr) w.api->free(x->list, e.address);
      break;
    case 4:
      if (w.depth++ == 0) w.log += std::to_string(w.api->allocate(x->list, 8, 9, PickVariable(w)));
      --w.depth;
      break;
    default:
      break;
  }
  return static_cast<unsigned short>(w.rng() % 4 != 0);
}

// One random step; every branch draws from the world's stream the same way
// while the two worlds agree.
void Step(World& w) {
  MemListT* l = w.list;
  const MemEntryT& e = l->entries[w.rng() % l->size];
  const auto op = w.rng() % 24;
  if (op < 9) {
    const auto shape = w.rng() % 16;  // larger blocks use the coarser granules
    const auto size = static_cast<std::int32_t>(shape < 5    ? 16
                                                : shape < 14 ? w.rng() % 50
                                                             : w.rng() % 5000);
    const auto key = static_cast<std::intptr_t>(1 + w.rng() % 4);
    w.log += std::to_string(w.api->allocate(l, size, key, PickVariable(w))) + ";";
  } else if (op < 13) {
    if (e.address != nullptr) w.api->free(l, e.address);
  } else if (op < 16) {
    void** var = PickVariable(w);
    if (e.address != nullptr) w.api->set_pointer(l, e.address, var);
  } else if (op < 18) {
    void** var = PickVariable(w);
    *var = w.rng() % 2 == 0 ? nullptr : e.address;  // the owner changes its variable
  } else if (op < 21) {
    w.log += std::to_string(w.api->remove[w.rng() % 3](l)) + ";";
  } else if (op < 23) {
    if (w.rng() % 2 == 0)
      MemListInitializeSearch(l);
    else
      MemListRemoveFromSearch(l, static_cast<std::intptr_t>(1 + w.rng() % 4));
  } else if (w.rng() % 4 == 0) {
    w.api->clear(l);
  }
}

// The state of a world after a step, with every address named: blocks by
// their sequence numbers, roots by index.
std::string Snapshot(const World& w, std::map<std::uintptr_t, std::string>& names) {
  for (int i = 0; i < 8; ++i)
    names[reinterpret_cast<std::uintptr_t>(&w.roots[i])] = Str("R%d", i);
  for (int i = 0; i < w.list->size; ++i) {
    const MemEntryT& e = w.list->entries[i];
    const auto at = reinterpret_cast<std::uintptr_t>(e.address);
    if (at == 0) continue;
    names[at] = Str("B%d", e.sequence);
    for (unsigned k = 1; k < 3 && e.size >= 16; ++k)
      names[reinterpret_cast<std::uintptr_t>(Field(e, k))] = Str("B%d+%u", e.sequence, k);
  }
  const auto name = [&](const void* p) {
    auto it = names.find(reinterpret_cast<std::uintptr_t>(p));
    return p == nullptr ? std::string("0") : it == names.end() ? std::string("?") : it->second;
  };
  std::string s = w.log + Str("|%d,%d,%d|", w.list->size, w.list->used, w.pool->used);
  for (int i = 0; i < w.list->size; ++i) {
    const MemEntryT& e = w.list->entries[i];
    s += name(e.address);
    s += Str(" %d %d %ld %d %d ", e.size, e.total_size, static_cast<long>(e.key), e.excluded,
             e.parent);
    s += name(e.back_ptr);
    if (e.address != nullptr && e.size >= 16) {
      for (unsigned k = 0; k < 3; ++k)
        s.append(",").append(name(*Field(e, k)));
    }
  }
  for (void* r : w.roots)
    s.append(",").append(name(r));
  return s;
}

// Runs `steps` steps of run `seed` in one world; returns the snapshots and
// the transcript with every address replaced by its name.
std::vector<std::string> RunWorld(const Api& api, unsigned seed, int steps, QuarantineHeap& heap) {
  // Most runs on a tight budget, some long ones on a large one.
  MemPoolT* pool = MemPoolNew(steps > 100 ? 1 << 20 : 400);
  World w{&api, nullptr, pool, std::mt19937(seed), {}, {}, 0};
  RefList* model = nullptr;
  if (&api == &kModel) {
    model = new RefList{{0, 0, pool, Handler, nullptr}, {}};
    RefGrow(&model->head);
    w.list = &model->head;
  } else {
    w.list = MemListNew(pool, Handler);
  }
  qd::mem_state().sequence = 1000;
  g_world = &w;
  std::map<std::uintptr_t, std::string> names{{reinterpret_cast<std::uintptr_t>(w.list), "L"}};
  std::vector<std::string> out;
  qd::SetMemDiagnostics(true);
  ::testing::internal::CaptureStdout();
  for (int i = 0; i < steps; ++i) {
    Step(w);
    out.push_back(Snapshot(w, names));
    w.log.clear();
  }
  w.api->clear(w.list);
  out.push_back(Snapshot(w, names));
  std::string transcript = ::testing::internal::GetCapturedStdout();
  qd::SetMemDiagnostics(false);
  g_world = nullptr;
  std::string named;  // every `0x...` of the transcript replaced by its name
  for (std::size_t at = 0, hex; at < transcript.size(); at = hex) {
    hex = transcript.find("0x", at);
    named += transcript.substr(at, hex - at);
    if (hex == std::string::npos) break;
    std::size_t end = hex + 2;
    while (end < transcript.size() && std::isxdigit(static_cast<unsigned char>(transcript[end])))
      ++end;
    const std::string token = transcript.substr(hex, end - hex);
    auto found = names.find(static_cast<std::uintptr_t>(std::stoull(token, nullptr, 16)));
    named += found != names.end() ? found->second : token.size() <= 4 ? token : "?";
    hex = end;
  }
  out.push_back(named);
  if (model != nullptr) {  // blocks still registered go back to the heap by hand
    for (const MemEntryT& e : model->table)
      heap.Release(e.address);
    delete model;
  } else {
    MemListDelete(&w.list);
  }
  for (void* block : std::vector<void*>(heap.live))
    heap.Release(block);  // handed back, or the pool
  for (void* block : heap.released)
    std::free(block);
  heap.released.clear();
  return out;
}

TEST(MemModel, RandomSequencesMatchTheLinearReference) {
  QuarantineHeap heap;
  qd::MemHeap* previous = qd::set_mem_heap(&heap);
  for (unsigned seed = 1; seed <= qz::test::GeneratedCases(1500u); ++seed) {
    const int steps = seed % 40 == 0 ? 400 : 50;
    const std::vector<std::string> library = RunWorld(kLibrary, seed, steps, heap);
    const std::vector<std::string> model = RunWorld(kModel, seed, steps, heap);
    ASSERT_EQ(library.size(), model.size());
    for (std::size_t i = 0; i < library.size(); ++i)
      ASSERT_EQ(library[i], model[i]) << "run " << seed << ", step " << i;
  }
  qd::set_mem_heap(previous);
  qd::mem_state().sequence = 1;
}

}  // namespace
