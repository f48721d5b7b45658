// Tracked allocation on a heap that fails chosen requests and tracks what is
// outstanding: budgets, handler answers, trees, eviction, the diagnostic
// lines and every failure path.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "qzutil/memory/mem_internal.h"
#include "qzutil/memory/mem_search.h"

namespace {

namespace qd = qz::detail;

// malloc/free that refuses the requests numbered (from 1) in `fail`.
struct FailingHeap : qd::MemHeap {
  std::set<int> fail;
  int requests = 0;
  std::set<void*> live;  // handed out, not yet released
  void* Allocate(std::size_t bytes) override {
    if (fail.count(++requests) != 0) return nullptr;
    return *live.insert(std::malloc(bytes)).first;
  }
  void Release(void* block) override {
    EXPECT_TRUE(block == nullptr || live.erase(block) == 1) << "released twice or foreign";
    std::free(block);
  }
};

// The handler of every test list: records the codes, frees `release` once
// (making room), and answers by code.
struct Script {
  unsigned short answer[5] = {};
  std::vector<std::int32_t> codes;
  void* release = nullptr;
} g_script;
unsigned short Handler(MemExceptionT* e) {
  g_script.codes.push_back(e->code);
  if (g_script.release != nullptr) MemFree(e->list, std::exchange(g_script.release, nullptr));
  return g_script.answer[e->code];
}

// A pool of 100 bytes and a list on the failing heap, which must be empty at
// the end. Tests whose blocks are held by their own locals delete the list
// themselves while those variables exist.
class MemTest : public ::testing::Test {
 protected:
  FailingHeap heap_;
  qd::MemHeap* previous_ = qd::set_mem_heap(&heap_);
  MemPoolT* pool_ = MemPoolNew(100);
  MemListT* list_ = MemListNew(pool_, Handler);
  void TearDown() override {
    MemSetDefaultObject(0);
    MemListDelete(&list_);
    MemPoolDelete(&pool_);
    EXPECT_TRUE(heap_.live.empty()) << heap_.live.size() << " blocks leaked";
    qd::set_mem_heap(previous_);
    g_script = Script{};
  }
  int Alloc(void** v, int size, std::intptr_t key = 1) { return MemAllocate(list_, size, key, v); }
  MemEntryT& EntryOf(void* block) { return list_->entries[qd::MemFindAddress(list_, block)]; }
};

// A block that holds two pointer variables, to make children.
struct Node {
  void *child, *other;
};

// Budgets, defaults and every handler answer on one list, in order: an
// answered heap failure, a full table whose growth is refused, the exact
// boundary of the budget, and a too-small pool answered into the overflow check.
TEST_F(MemTest, BudgetsDefaultsSequencesAndHandlerAnswers) {
  MemListT* other = MemListNew(pool_, nullptr);
  void *v[19] = {}, *u = &u;  // u: the variable of the failing calls
  const std::int32_t first = qd::mem_state().sequence;
  MemSetDefaultList(list_);
  MemSetDefaultObject(77);
  g_script.answer[MEM_MALLOC_FAILED] = g_script.answer[MEM_LIST_FULL] = 1;
  heap_.fail = {heap_.requests + 1, heap_.requests + 2};
  EXPECT_EQ(Alloc(&u, 1), MEM_MALLOC_FAILED);
  EXPECT_EQ(MemAllocate(other, -1, 2, &u), MEM_MALLOC_FAILED);  // no handler, no negative block
  heap_.fail = {heap_.requests + 1};  // the first block is asked for once more
  for (int i = 0; i < 16; ++i)
    ASSERT_EQ(MemAllocate(nullptr, 1, 0, &v[i]), MEM_OK);
  EXPECT_EQ(EntryOf(v[0]).key, 77);
  MemFree(nullptr, heap_.Allocate(4));   // not registered: freed all the same
  EXPECT_EQ(MemAvailable(list_, 1), 0);  // every slot used, budget left
  heap_.fail = {heap_.requests + 1};     // growth refused, the answer frees nothing
  EXPECT_EQ(Alloc(&u, 1), MEM_LIST_FULL);
  g_script.release = v[5];
  heap_.fail = {heap_.requests + 1};
  ASSERT_EQ(Alloc(&v[5], 1), MEM_OK);
  ASSERT_EQ(MemAllocate(other, 8, 2, &v[16]), MEM_OK);
  ASSERT_EQ(Alloc(&v[17], 1), MEM_OK);  // the seventeenth block grows the table unasked
  // One counter for every list; failures take no number; slots keep theirs.
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(list_->entries[i].sequence, first + (i == 5 ? 16 : i));
  EXPECT_EQ(other->entries[0].sequence, first + 17);
  EXPECT_EQ(list_->entries[16].sequence, first + 18);
  EXPECT_EQ(MemAvailable(list_, 75), 1);  // 17 + 8 bytes used
  EXPECT_EQ(MemAvailable(list_, 76), 0);
  ASSERT_EQ(Alloc(&v[18], 75), MEM_OK);  // exactly the free bytes
  EXPECT_EQ(Alloc(&u, 1), MEM_POOL_OVERFLOW);
  EXPECT_EQ(Alloc(&u, 101), MEM_POOL_TOO_SMALL);
  g_script.answer[MEM_POOL_TOO_SMALL] = 1;  // the overflow check follows
  EXPECT_EQ(Alloc(&u, 101), MEM_POOL_OVERFLOW);
  EXPECT_EQ(g_script.codes, (std::vector<std::int32_t>{4, 4, 2, 2, 1, 3, 3, 1}));
  EXPECT_EQ(u, &u);
  EXPECT_EQ(pool_->used, 100);
  g_script.answer[MEM_POOL_OVERFLOW] = 1;  // goes on without a second test
  EXPECT_EQ(Alloc(&u, 101), MEM_OK);
  EXPECT_EQ(pool_->used, 201);
  MemListDelete(&other);
  MemListDelete(&list_);  // the default list goes with it
  ASSERT_EQ(MemAllocate(nullptr, 5, 0, &u), MEM_OK);
  EXPECT_EQ(pool_->used, 0);
  MemFree(nullptr, u);
}

TEST_F(MemTest, TreesMoveClearAndHandBackRefusedBlocks) {
  void *root = nullptr, *loose = nullptr;
  ASSERT_EQ(Alloc(&root, 16), MEM_OK);
  ASSERT_EQ(Alloc(&static_cast<Node*>(root)->child, 16), MEM_OK);
  void* child = static_cast<Node*>(root)->child;
  MemSetPointer(list_, child, &loose);  // detached from its former parent
  EXPECT_EQ(EntryOf(root).total_size, 16);
  EXPECT_EQ(EntryOf(child).parent, -1);
  MemSetPointer(list_, child, &static_cast<Node*>(root)->other);
  // Moved into its own child: the two hold each other, neither is released.
  MemSetPointer(list_, root, static_cast<void**>(child));
  EXPECT_EQ(EntryOf(root).parent, 1);
  MemFree(list_, child);
  MemFree(list_, root);
  EXPECT_EQ(pool_->used, 32);
  // Four deep, then the leaf's owner overwrites its variable: the leaf blocks
  // every block above it.
  void *top = nullptr, **var = &top;
  for (int depth = 0; depth < 3; var = &static_cast<Node*>(*var)->child, ++depth)
    ASSERT_EQ(Alloc(var, 16), MEM_OK);
  ASSERT_EQ(Alloc(var, 1), MEM_OK);
  void* orphan = std::exchange(*var, nullptr);
  MemListClear(list_);
  EXPECT_EQ(list_->used, 6);
  MemListDelete(&list_);  // hands back the leaf, then releases the rest leaf first
  EXPECT_EQ(pool_->used, 0);
  EXPECT_EQ(top, nullptr);
  EXPECT_EQ(heap_.live, (std::set<void*>{pool_, root, child, orphan}));  // now the callers'
  for (void* block : {root, child, orphan})
    heap_.Release(block);
}

TEST_F(MemTest, EvictionCandidatesTiesAndExclusions) {
  void *a = nullptr, *b = nullptr, *big = nullptr;
  ASSERT_EQ(Alloc(&a, 20, 1), MEM_OK);
  ASSERT_EQ(Alloc(&b, 20, 2), MEM_OK);
  ASSERT_EQ(Alloc(&big, 10, 3), MEM_OK);
  ASSERT_EQ(Alloc(static_cast<void**>(big), 30, 4), MEM_OK);  // a child: never chosen by size
  EXPECT_EQ(MemListRemoveSmallest(list_), 1);                 // equal totals: the lower slot
  EXPECT_EQ(a, nullptr);
  ASSERT_EQ(Alloc(&a, 20, 1), MEM_OK);
  MemListRemoveFromSearch(list_, 3);
  EXPECT_EQ(MemListRemoveLargest(list_), 1);
  EXPECT_EQ(a, nullptr);
  MemListRemoveFromSearch(list_, 2);
  EXPECT_EQ(MemListRemoveSmallest(list_), 0);
  EXPECT_EQ(MemListRemoveLargest(list_), 0);
  MemListInitializeSearch(list_);
  EXPECT_EQ(MemListRemoveLargest(list_), 1);  // 10 + 30 before 20
  EXPECT_EQ(big, nullptr);
  EXPECT_EQ(pool_->used, 20);
  b = &b;  // owner overwrote its variable: chosen, refused, chosen again
  EXPECT_EQ(MemListRemoveOldest(list_), 1);
  EXPECT_EQ(MemListRemoveOldest(list_), 1);
  EXPECT_EQ(pool_->used, 20);
  b = list_->entries[1].address;
  MemListDelete(&list_);
}

// Handlers that take away what the allocation in progress needs: the block
// that holds the caller's variable, or the list itself. The allocation then
// fails with the code it raised and stores nothing.
unsigned short EvictLargest(MemExceptionT* e) {
  MemListRemoveLargest(e->list);
  return 1;
}
unsigned short DeleteOwnList(MemExceptionT* e) {
  MemListT* list = e->list;
  MemListDelete(&list);
  return 1;
}
TEST_F(MemTest, HandlerThatTakesAwayTheOwnerOrTheListEndsTheAllocation) {
  list_->handler = EvictLargest;
  void *parent = nullptr, *other = nullptr;
  ASSERT_EQ(Alloc(&parent, 64), MEM_OK);
  EXPECT_EQ(Alloc(static_cast<void**>(parent), 64), MEM_POOL_OVERFLOW);
  EXPECT_EQ(parent, nullptr);
  EXPECT_EQ(pool_->used, 0);
  EXPECT_EQ(list_->used, 0);
  // Evicting some other block is what the handler is for.
  ASSERT_EQ(Alloc(&parent, 16), MEM_OK);
  ASSERT_EQ(Alloc(&other, 64), MEM_OK);
  EXPECT_EQ(Alloc(static_cast<void**>(parent), 64), MEM_OK);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(EntryOf(*static_cast<void**>(parent)).parent, 0);
  void* var = &var;
  for (int code : {MEM_POOL_TOO_SMALL, MEM_POOL_OVERFLOW}) {
    MemListT* doomed = MemListNew(pool_, DeleteOwnList);
    EXPECT_EQ(MemAllocate(doomed, code == MEM_POOL_TOO_SMALL ? 101 : 30, 1, &var), code);
    EXPECT_EQ(var, &var);
  }
  MemListDelete(&list_);
}

// A pool/list lifetime of 20 blocks (one table growth) and one unlisted
// block, with heap request number `fail_at` refused (26: none); every result
// is checked with what it did to the caller's variable and the pool.
TEST_F(MemTest, EveryHeapFailureIsReportedAndLeavesNothingBehind) {
  for (int fail_at = 1; fail_at <= 26; ++fail_at) {
    heap_.fail = {heap_.requests + fail_at};
    MemPoolT* pool = MemPoolNew(-5);  // no positive limit: the largest budget
    MemListT* list = MemListNew(pool, Handler);
    EXPECT_EQ(pool == nullptr ? 0 : pool->size, fail_at == 1 ? 0 : 2147483647);
    // Requests 4 to 19 are the first 16 blocks, 20 the growth, 21 to 24 the rest.
    const int failing = fail_at - (fail_at <= 20 ? 4 : 5);
    void* vars[20];
    for (std::int32_t i = 0; list != nullptr && i < 20; ++i) {
      vars[i] = &vars[i];
      const std::int32_t used = pool->used;
      const std::int32_t code = MemAllocate(list, i + 1, 5, &vars[i]);
      EXPECT_EQ(code, i != failing ? MEM_OK : fail_at == 20 ? MEM_LIST_FULL : MEM_MALLOC_FAILED);
      EXPECT_EQ(vars[i] == &vars[i], code != MEM_OK) << "caller's variable, " << fail_at;
      EXPECT_EQ(pool->used, used + (code == MEM_OK ? i + 1 : 0));
    }
    void* plain = &plain;
    if (MemAllocate(nullptr, 3, 0, &plain) == MEM_OK) MemFree(nullptr, plain);
    EXPECT_EQ(plain == &plain, fail_at == 25);
    EXPECT_EQ(list == nullptr ? 0 : list->size, fail_at <= 3 ? 0 : 32) << fail_at;
    MemListDelete(&list);  // releases the registered blocks
    MemPoolDelete(&pool);
    EXPECT_EQ(heap_.live.size(), 3u) << fail_at;  // the fixture's pool, list and table
  }
}

// Every diagnostic line of one allocate / link / refuse / release / evict
// sequence; `%x` in the expected text stands for a value known only at run time.
TEST_F(MemTest, DiagnosticLinesOfAFullSequence) {
  const auto hex = [](const void* p) {  // what `%#lx` makes of an address
    std::ostringstream out;
    out << "0x" << std::hex << static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(p));
    return out.str();
  };
  qd::mem_state().sequence = 41;  // pinned, so that the sequence numbers below are literal
  EXPECT_FALSE(qd::SetMemDiagnostics(true)) << "off unless switched on";
  ::testing::internal::CaptureStdout();
  void *p = nullptr, *q = &q;
  ASSERT_EQ(Alloc(&p, 16, 0x10), MEM_OK);
  auto* n = static_cast<Node*>(p);
  ASSERT_EQ(Alloc(&n->child, 8, 0x20), MEM_OK);
  MemFree(list_, p);
  MemSetPointer(list_, n->child, &n->other);  // n->child keeps the block as well
  MemSetPointer(list_, &q, &q);               // not a block of the list
  n->other = nullptr;
  MemFree(list_, n->child);
  n->other = n->child;
  MemListInitializeSearch(list_);
  MemListRemoveFromSearch(list_, 0x10);
  EXPECT_EQ(MemListRemoveOldest(list_), 1);  // the child: its parent's key is protected
  EXPECT_EQ(Alloc(&q, 200, 0x30), MEM_POOL_TOO_SMALL);
  EXPECT_EQ(Alloc(&q, 100, 0x30), MEM_POOL_OVERFLOW);  // the whole pool is not too small
  heap_.fail = {heap_.requests + 1};
  EXPECT_EQ(Alloc(&q, 4, 0x30), MEM_MALLOC_FAILED);
  const std::string names = "LpPcCoQ";  // the placeholders of `values`, in order
  const std::vector<std::string> values = {hex(list_),    hex(&p),        hex(p), hex(&n->child),
                                           hex(n->child), hex(&n->other), hex(&q)};
  MemListClear(list_);
  EXPECT_EQ(MemListRemoveSmallest(list_), 0);
  qd::SetMemDiagnostics(false);
  MemListRemoveOldest(list_);  // silent now
  std::string expected =
      "Allocate:  list %L key 0x10 size 16 back ptr %p\n"
      "  [41] Allocation address %P total size 16 pool used 16\n"
      "Allocate:  list %L key 0x20 size 8 back ptr %c\n"
      "  [42] Allocation address %C total size 8 pool used 24\n"
      "    Parent sequence [41] total size 24\nFree: list %L address %P\n**[41] Is parent/n"
      "Set pointer: list %L address %C back ptr %o\n  [42] Set pointer replaces %c\n"
      "    Parent sequence [41] total size 24\nSet pointer: list %L address %Q back ptr %Q\n"
      "**Address not found\nFree: list %L address %C\n"
      "**[42] Back pointer does not contain address\nInitialize search: list %L\n"
      "Remove from search: list %L object 0x10\n!!Remove: Oldest\n  [42] Release 8 pool used 16\n"
      "  [42] Parent sequence [41], new total 16\n^^Remove: Oldest\n"
      "Allocate:  list %L key 0x30 size 200 back ptr %Q\n**Pool of 100 too small\n"
      "Allocate:  list %L key 0x30 size 100 back ptr %Q\n**Pool overflow current size 16\n"
      "**Pool overflow after exception processing\nAllocate:  list %L key 0x30 size 4 back ptr %Q\n"
      "**Malloc failed\n**Malloc failed after exception processing\nClear list %L address %P\n"
      "  [41] Release 16 pool used 0\n!!Remove: Smallest\n";
  for (std::size_t at; (at = expected.find('%')) != std::string::npos;)
    expected.replace(at, 2, values.at(names.find(expected[at + 1])));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), expected);
}

}  // namespace
