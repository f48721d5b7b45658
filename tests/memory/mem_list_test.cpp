// Tracked allocation on a heap that fails chosen requests and tracks what is
// outstanding: budgets, handler answers, trees, eviction, the diagnostic
// lines and every failure path.
#include <gtest/gtest.h>

#include <cstdlib>
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

// Defaults, one sequence counter for every list, the slot table and the
// heap-failure answers (the model comparison covers the budget checks).
TEST_F(MemTest, DefaultsSequencesSlotsAndHeapFailures) {
  MemListT* other = MemListNew(pool_, nullptr);
  void *v[18] = {}, *u = &u;  // u: the variable of the failing calls
  const std::int32_t first = qd::mem_state().sequence;
  MemSetDefaultList(list_);
  MemSetDefaultObject(77);
  g_script.answer[MEM_MALLOC_FAILED] = 1;
  heap_.fail = {heap_.requests + 1, heap_.requests + 2};
  EXPECT_EQ(Alloc(&u, 1), MEM_MALLOC_FAILED);  // answered, asked once more, refused again
  EXPECT_EQ(MemAllocate(other, -1, 2, &u), MEM_MALLOC_FAILED);  // no handler, no negative block
  heap_.fail = {heap_.requests + 1};  // the first block is asked for once more
  for (int i = 0; i < 16; ++i)
    ASSERT_EQ(MemAllocate(nullptr, 1, 0, &v[i]), MEM_OK);
  EXPECT_EQ(EntryOf(v[0]).key, 77);
  MemFree(nullptr, heap_.Allocate(4));   // not registered: freed all the same
  EXPECT_EQ(MemAvailable(list_, 1), 0);  // every slot used, budget left
  heap_.fail = {heap_.requests + 1};     // growth refused: given up
  EXPECT_EQ(Alloc(&u, 1), MEM_LIST_FULL);
  g_script.answer[MEM_LIST_FULL] = 1;
  heap_.fail = {heap_.requests + 1};  // growth refused, the answer frees nothing
  EXPECT_EQ(Alloc(&u, 1), MEM_LIST_FULL);
  g_script.release = v[5];
  heap_.fail = {heap_.requests + 1};
  ASSERT_EQ(Alloc(&v[5], 1), MEM_OK);
  ASSERT_EQ(MemAllocate(other, 8, 2, &v[16]), MEM_OK);
  ASSERT_EQ(Alloc(&v[17], 1), MEM_OK);  // the seventeenth block grows the table unasked
  // Failures take no number; slots keep theirs.
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(list_->entries[i].sequence, first + (i == 5 ? 16 : i));
  EXPECT_EQ(other->entries[0].sequence, first + 17);
  EXPECT_EQ(list_->entries[16].sequence, first + 18);
  EXPECT_EQ(MemAvailable(list_, 75), 1);  // 17 + 8 bytes used
  EXPECT_EQ(MemAvailable(list_, 76), 0);
  EXPECT_EQ(g_script.codes, (std::vector<std::int32_t>{4, 4, 2, 2, 2}));
  EXPECT_EQ(u, &u);
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
  void *parent = nullptr, *var = &var;
  ASSERT_EQ(Alloc(&parent, 64), MEM_OK);
  EXPECT_EQ(Alloc(static_cast<void**>(parent), 64), MEM_POOL_OVERFLOW);
  EXPECT_EQ(parent, nullptr);
  EXPECT_EQ(pool_->used, 0);
  EXPECT_EQ(list_->used, 0);
  ASSERT_EQ(Alloc(&parent, 80), MEM_OK);  // 30 more overflow the pool
  for (int code : {MEM_POOL_TOO_SMALL, MEM_POOL_OVERFLOW}) {
    MemListT* doomed = MemListNew(pool_, DeleteOwnList);
    EXPECT_EQ(MemAllocate(doomed, code == MEM_POOL_TOO_SMALL ? 101 : 30, 1, &var), code);
    EXPECT_EQ(var, &var);
  }
  MemListDelete(&list_);
}

// Creation refused at each of its heap requests (pool; list, table) and an
// unlisted block refused leave nothing behind. Refused blocks of a list are
// compared with the model, the refused growth of the table is checked above.
TEST_F(MemTest, RefusedCreationLeavesNothingBehind) {
  for (int fail_at = 1; fail_at <= 5; ++fail_at) {
    heap_.fail = {heap_.requests + fail_at};
    MemPoolT* pool = MemPoolNew(-5);  // no positive limit: the largest budget
    MemListT* list = MemListNew(pool, Handler);
    EXPECT_EQ(pool == nullptr ? 0 : pool->size, fail_at == 1 ? 0 : 2147483647);
    EXPECT_EQ(list == nullptr, fail_at <= 3) << fail_at;
    void* plain = &plain;  // no list at all: straight from the heap
    if (MemAllocate(nullptr, 3, 0, &plain) == MEM_OK) MemFree(nullptr, plain);
    EXPECT_EQ(plain == &plain, fail_at == 4) << fail_at;
    MemListDelete(&list);
    MemPoolDelete(&pool);
    EXPECT_EQ(heap_.live.size(), 3u) << fail_at;  // the fixture's pool, list and table
  }
}

// The diagnostic lines the model comparison never produces (its worlds call
// the search set-up of the library itself and hold only their own addresses).
TEST_F(MemTest, DiagnosticLinesOfForeignAddressesAndTheSearch) {
  const auto hex = [](const void* p) {  // what `%#lx` makes of an address
    std::ostringstream out;
    out << "0x" << std::hex << static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(p));
    return out.str();
  };
  EXPECT_FALSE(qd::SetMemDiagnostics(true)) << "off unless switched on";
  ::testing::internal::CaptureStdout();
  void *q = &q, *loose = heap_.Allocate(4);
  MemSetPointer(list_, &q, &q);
  MemFree(list_, loose);
  MemListInitializeSearch(list_);
  MemListRemoveFromSearch(list_, 0x10);
  qd::SetMemDiagnostics(false);
  MemListRemoveOldest(list_);  // silent now
  const std::string l = hex(list_), v = hex(&q);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "Set pointer: list " + l + " address " + v + " back ptr " + v +
                "\n**Address not found\nFree: list " + l + " address " + hex(loose) +
                "\n**Address not found\nInitialize search: list " + l +
                "\nRemove from search: list " + l + " object 0x10\n");
}

}  // namespace
