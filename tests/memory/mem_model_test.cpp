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
template <typename... A>
std::string Str(const char* format, A... args) {
  char text[64];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}
const Entry kFree{nullptr, 0, 0, 0, nullptr, 0, 0, -1};

// ---- The reference: one linear walk per question. ----
struct RefList {
  MemListT head;  // first, so that the handler's MemListT* leads back here
  std::vector<Entry> table;
};
void RefGrow(MemListT* l) {
  auto& t = reinterpret_cast<RefList*>(l)->table;
  t.resize(t.size() + 16, kFree);
  l->entries = t.data();
  l->size += 16;
}
int RefFind(const MemListT* l, const void* a) {  // a null address: the lowest free slot
  for (int i = 0; i < l->size; ++i)
    if (l->entries[i].address == a) return i;
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
  TRACE("    Parent sequence [%d] total size %d\n", l->entries[c].sequence,
        l->entries[c].total_size);
}
bool RefRelease(MemListT* l, int i) {
  Entry& e = l->entries[i];
  if (*e.back_ptr != e.address) {
    TRACE("**[%d] Back pointer does not contain address\n", e.sequence);
    return false;
  }
  for (int j = 0; j < l->size; ++j) {
    if (l->entries[j].parent != i) continue;
    TRACE("**[%d] Is parent/n", e.sequence);
    return false;
  }
  l->pool->used -= e.size;
  TRACE("  [%d] Release %d pool used %d\n", e.sequence, e.size, l->pool->used);
  if (e.parent >= 0) {
    Entry& p = l->entries[e.parent];
    p.total_size -= e.size;
    TRACE("  [%d] Parent sequence [%d], new total %d\n", e.sequence, p.sequence, p.total_size);
  }
  *e.back_ptr = nullptr;
  qd::MemHeapRelease(e.address);
  e = kFree;
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
// Sizes stay far below 2^31 here, so the model leaves out that overflow.
std::int32_t RefAllocate(MemListT* l, std::int32_t size, std::intptr_t key, void** bp) {
  TRACE("Allocate:  list %#lx key %#lx size %d back ptr %#lx\n", qd::MemHex(l), qd::MemHex(key),
        size, qd::MemHex(bp));
  MemPoolT* pool = l->pool;
  if (size > pool->size) {
    TRACE("**Pool of %d too small\n", pool->size);
    if (!RefRaise(l, MEM_POOL_TOO_SMALL, key, size, bp)) return MEM_POOL_TOO_SMALL;
  }
  if (l->used >= l->size) RefGrow(l);  // the model's table always grows
  if (pool->used + size > pool->size) {
    TRACE("**Pool overflow current size %d\n", pool->used);
    if (!RefRaise(l, MEM_POOL_OVERFLOW, key, size, bp)) {
      TRACE("**Pool overflow after exception processing\n");
      return MEM_POOL_OVERFLOW;
    }
  }
  const auto bytes = static_cast<std::size_t>(size == 0 ? 1 : size);
  void* block = qd::MemHeapAllocate(bytes);
  if (block == nullptr) {
    TRACE("**Malloc failed\n");
    if (!RefRaise(l, MEM_MALLOC_FAILED, key, size, bp)) {
      TRACE("**Malloc failed after exception processing\n");
      return MEM_MALLOC_FAILED;
    }
    if ((block = qd::MemHeapAllocate(bytes)) == nullptr) {
      TRACE("**Malloc failed\n");
      return MEM_MALLOC_FAILED;
    }
  }
  const int c = RefContainer(l, bp, -1);
  if (RefFind(l, nullptr) < 0) RefGrow(l);
  const int i = RefFind(l, nullptr);
  const std::int32_t seq = qd::mem_state().sequence++;
  pool->used += size;
  l->entries[i] = Entry{block, size, size, key, bp, 0, seq, -1};
  ++l->used;
  TRACE("  [%d] Allocation address %#lx total size %d pool used %d\n", seq, qd::MemHex(block), size,
        pool->used);
  RefLink(l, i, c);
  *bp = block;
  return MEM_OK;
}
void RefSetPointer(MemListT* l, void* a, void** bp) {  // `a` is always a block here
  TRACE("Set pointer: list %#lx address %#lx back ptr %#lx\n", qd::MemHex(l), qd::MemHex(a),
        qd::MemHex(bp));
  const int i = RefFind(l, a);
  Entry& e = l->entries[i];
  TRACE("  [%d] Set pointer replaces %#lx\n", e.sequence, qd::MemHex(e.back_ptr));
  if (e.parent >= 0) l->entries[e.parent].total_size -= e.size;
  e.parent = -1;
  e.back_ptr = bp;
  RefLink(l, i, RefContainer(l, bp, i));
  *bp = a;
}
void RefFreeBlock(MemListT* l, void* a) {  // `a` is always a block here
  TRACE("Free: list %#lx address %#lx\n", qd::MemHex(l), qd::MemHex(a));
  RefRelease(l, RefFind(l, a));
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
  static const char* const name[] = {"Smallest", "Largest", "Oldest"};
  TRACE("!!Remove: %s\n", name[pick]);
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
  TRACE("^^Remove: %s\n", name[pick]);
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
    return live.emplace_back(std::calloc(1, bytes));
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

// Evicts, frees some block or allocates once more (not nested deeper), then
// answers yes three times in four.
unsigned short Handler(MemExceptionT* x) {
  World& w = *g_world;
  w.log += Str("H%d,%d;", x->code, x->size);
  MemEntryT& e = x->list->entries[w.rng() % x->list->size];
  const auto act = w.rng() % 6;
  if (act < 3) {
    w.api->remove[w.rng() % 3](x->list);
  } else if (act == 3 && e.address != nullptr) {
    w.api->free(x->list, e.address);
  } else if (act == 4 && w.depth == 0) {
    ++w.depth;
    w.log += std::to_string(w.api->allocate(x->list, 8, 9, PickVariable(w)));
    --w.depth;
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
using Names = std::map<std::uintptr_t, std::string>;
std::string Name(const Names& names, std::uintptr_t at) {
  auto it = names.find(at);
  return at == 0 ? "0" : it == names.end() ? "?" : it->second;
}
std::string Name(const Names& names, const void* p) {
  return Name(names, reinterpret_cast<std::uintptr_t>(p));
}
std::string Snapshot(const World& w, Names& names) {
  for (int i = 0; i < 8; ++i)
    names[reinterpret_cast<std::uintptr_t>(&w.roots[i])] = Str("R%d", i);
  for (int i = 0; i < w.list->size; ++i) {
    const MemEntryT& e = w.list->entries[i];
    for (unsigned k = 0; k < 3 && e.address != nullptr && (k == 0 || e.size >= 16); ++k)
      names[reinterpret_cast<std::uintptr_t>(Field(e, k))] =
          Str(k ? "B%d+%u" : "B%d", e.sequence, k);
  }
  std::string s = w.log + Str("|%d,%d,%d|", w.list->size, w.list->used, w.pool->used);
  for (int i = 0; i < w.list->size; ++i) {
    const MemEntryT& e = w.list->entries[i];
    s += Name(names, e.address) +
         Str(" %d %d %ld %d %d ", e.size, e.total_size, static_cast<long>(e.key), e.excluded,
             e.parent) +
         Name(names, e.back_ptr);
    for (unsigned k = 0; k < 3 && e.address != nullptr && e.size >= 16; ++k)
      s += "," + Name(names, *Field(e, k));
  }
  for (void* r : w.roots)
    s += "," + Name(names, r);
  return s;
}

// Entries the list's indexes hold: each live one, and the one dropped last
// while it is still filed, once in the hash, once in the block-start
// counters and once in the class counts. A leak here is no visible
// difference until the hash fills up.
void ExpectIndexesBalanced(const MemListT* l) {
  const qd::MemIndex& x = qd::IndexOf(l);
  const std::size_t cells = std::size_t{1} << x.cell_bits;
  const long filed = l->used + (x.stale_slot >= 0 ? 1 : 0);
  EXPECT_EQ(std::count_if(x.cells, x.cells + cells, [](qd::MemHashCell c) { return c.slot >= 0; }),
            filed);
  long starts = 0, classes = 0;
  for (std::size_t i = 0; i < cells; ++i)
    starts += x.starts[i];
  for (std::int32_t count : x.class_count)
    classes += count;
  EXPECT_EQ(starts, filed);
  EXPECT_EQ(classes, filed);
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
  Names names{{reinterpret_cast<std::uintptr_t>(w.list), "L"}};
  std::vector<std::string> out;
  qd::SetMemDiagnostics(true);
  ::testing::internal::CaptureStdout();
  for (int i = 0; i <= steps; ++i) {  // the last step clears the list
    if (i < steps)
      Step(w);
    else
      w.api->clear(w.list);
    out.push_back(Snapshot(w, names));
    w.log.clear();
    if (model == nullptr) ExpectIndexesBalanced(w.list);
  }
  const std::string transcript = ::testing::internal::GetCapturedStdout();
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
    named += token.size() <= 4
                 ? token
                 : Name(names, static_cast<std::uintptr_t>(std::stoull(token, nullptr, 16)));
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
    ASSERT_FALSE(HasFailure()) << "run " << seed;
  }
  qd::set_mem_heap(previous);
  qd::mem_state().sequence = 1;
}

}  // namespace
