#include <cstdint>
#include <random>
#include <vector>

#include "memory/mem_support.h"

namespace {

using qz::testing::MemTest;
using qz::testing::Node;
using qz::testing::script;

TEST_F(MemTest, BudgetBoundaryAndHandlerAnswers) {
  MemPoolT* unlimited = MemPoolNew(-5);
  EXPECT_EQ(unlimited->size, 2147483647);
  MemPoolDelete(&unlimited);
  void* a = nullptr;
  void* b = nullptr;
  ASSERT_EQ(Alloc(&a, 60), MEM_OK);
  EXPECT_EQ(MemAvailable(list_, 40), 1);
  EXPECT_EQ(MemAvailable(list_, 41), 0);
  ASSERT_EQ(Alloc(&b, 40), MEM_OK);  // exactly the free bytes
  void* untouched = &untouched;
  EXPECT_EQ(Alloc(&untouched, 1), MEM_POOL_OVERFLOW);
  EXPECT_EQ(Alloc(&untouched, 101), MEM_POOL_TOO_SMALL);
  script().answer[MEM_POOL_TOO_SMALL] = 1;  // the overflow check follows
  EXPECT_EQ(Alloc(&untouched, 101), MEM_POOL_OVERFLOW);
  EXPECT_EQ(script().codes, (std::vector<std::int32_t>{1, 3, 3, 1}));
  EXPECT_EQ(untouched, &untouched);
  EXPECT_EQ(pool_->used, 100);
  script().answer[MEM_POOL_OVERFLOW] = 1;  // goes on without a second test
  EXPECT_EQ(Alloc(&untouched, 101), MEM_OK);
  EXPECT_EQ(pool_->used, 201);
  MemListDelete(&list_);
}

TEST_F(MemTest, SeventeenthBlockGrowsTheTableAndSequencesAreShared) {
  MemListT* other = MemListNew(pool_, nullptr);
  void* v[17] = {};
  void* w = nullptr;
  for (int i = 0; i < 16; ++i)
    ASSERT_EQ(Alloc(&v[i], 1), MEM_OK);
  EXPECT_EQ(MemAvailable(list_, 1), 0);  // every slot used, budget left
  ASSERT_EQ(MemAllocate(other, 8, 2, &w), MEM_OK);
  ASSERT_EQ(Alloc(&v[16], 1), MEM_OK);
  EXPECT_TRUE(script().codes.empty());
  EXPECT_EQ(list_->size, 32);
  const std::int32_t first = list_->entries[0].sequence;
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(list_->entries[i].sequence, first + i) << "slot kept across growth";
  EXPECT_EQ(other->entries[0].sequence, first + 16);
  EXPECT_EQ(list_->entries[16].sequence, first + 17);
  MemListDelete(&other);
  MemListDelete(&list_);
}

TEST_F(MemTest, DefaultsAndNoList) {
  void* p = nullptr;
  MemSetDefaultList(list_);
  MemSetDefaultObject(77);
  ASSERT_EQ(MemAllocate(nullptr, 5, 0, &p), MEM_OK);
  EXPECT_EQ(EntryOf(p).key, 77);
  void* stray = heap_.Allocate(4);
  MemFree(nullptr, stray);  // not registered: freed all the same
  EXPECT_EQ(pool_->used, 5);
  MemListDelete(&list_);  // the default list goes with it
  ASSERT_EQ(MemAllocate(nullptr, 5, 0, &p), MEM_OK);
  EXPECT_EQ(pool_->used, 0);
  MemFree(nullptr, p);
}

TEST_F(MemTest, TreesMoveClearAndHandBackRefusedBlocks) {
  void* root = nullptr;
  void* loose = nullptr;
  ASSERT_EQ(Alloc(&root, 30), MEM_OK);
  auto* r = static_cast<Node*>(root);
  ASSERT_EQ(Alloc(&r->child, 20), MEM_OK);
  void* child = r->child;
  MemSetPointer(list_, child, &loose);  // detached from its former parent
  EXPECT_EQ(EntryOf(root).total_size, 30);
  EXPECT_EQ(EntryOf(child).parent, -1);
  MemSetPointer(list_, child, &r->other);
  EXPECT_EQ(EntryOf(root).total_size, 50);
  MemSetPointer(list_, root, static_cast<void**>(child));  // the two now hold each other
  EXPECT_EQ(EntryOf(root).parent, 1);
  MemFree(list_, child);  // refused: it holds the root's variable
  EXPECT_EQ(list_->used, 2);
  MemSetPointer(list_, root, &root);
  ASSERT_EQ(Alloc(static_cast<void**>(child) + 1, 8), MEM_OK);  // a grandchild
  MemListClear(list_);                                          // leaf first, over several walks
  EXPECT_EQ(list_->used, 0);
  EXPECT_EQ(root, nullptr);

  // A child whose owner overwrote its variable blocks its parent.
  ASSERT_EQ(Alloc(&root, 16), MEM_OK);
  r = static_cast<Node*>(root);
  ASSERT_EQ(Alloc(&r->child, 16), MEM_OK);
  void* orphan = r->child;
  r->child = nullptr;
  MemListClear(list_);
  EXPECT_EQ(list_->used, 2);
  MemListDelete(&list_);
  EXPECT_EQ(pool_->used, 0);
  EXPECT_EQ(root, nullptr);
  EXPECT_EQ(heap_.live.count(orphan), 1u);  // now the caller's
  heap_.Release(orphan);
}

// The one-walk scans of allocation and release against the plain walks, over
// generated trees with holes in the table.
TEST_F(MemTest, CombinedScansAgreeWithSeparateWalks) {
  namespace qd = qz::detail;
  pool_->size = 2147483647;
  void* roots[8] = {};
  std::mt19937 rng(5);
  for (int step = 0; step < 3000; ++step) {
    std::vector<void**> vars;  // empty variables: roots and the words of live blocks
    std::vector<void*> live;
    for (void*& root : roots)
      if (root == nullptr) vars.push_back(&root);
    for (std::int32_t i = 0; i < list_->size; ++i) {
      auto* node = static_cast<Node*>(list_->entries[i].address);
      if (node != nullptr) live.push_back(node);
      if (node != nullptr && node->child == nullptr) vars.push_back(&node->child);
      if (node != nullptr && node->other == nullptr) vars.push_back(&node->other);
    }
    void** var = vars[rng() % vars.size()];
    const qd::MemNewEntryScan scan = qd::MemScanForNewEntry(list_, var);
    EXPECT_EQ(scan.free_slot, qd::MemFindFreeSlot(list_));
    EXPECT_EQ(scan.container, qd::MemFindContainer(list_, var, 0, -1));
    if (live.empty() || rng() % 5 < 3) {
      ASSERT_EQ(Alloc(var, sizeof(Node)), MEM_OK);
      *static_cast<Node*>(*var) = Node{};
      continue;
    }
    void* address = live[rng() % live.size()];
    const qd::MemReleaseScan found = qd::MemScanForRelease(list_, address);
    ASSERT_EQ(found.index, qd::MemFindAddress(list_, address));
    EXPECT_EQ(found.has_children, qd::MemHasChildren(list_, found.index));
    MemFree(list_, address);
  }
  MemListDelete(&list_);
}

}  // namespace
