#include <cstdint>
#include <vector>

#include "memory/mem_support.h"

namespace {

using qz::testing::MemTest;
using qz::testing::script;

TEST_F(MemTest, NewPoolsAndLists) {
  for (std::int32_t limit : {0, -5}) {
    MemPoolT* pool = MemPoolNew(limit);
    EXPECT_EQ(pool->size, 2147483647);
    EXPECT_EQ(pool->used, 0);
    MemPoolDelete(&pool);
    EXPECT_EQ(pool, nullptr);
  }
  ASSERT_EQ(list_->size, 16);
  EXPECT_EQ(list_->used, 0);
  for (int i = 0; i < 16; ++i) {
    const MemEntryT& e = list_->entries[i];
    EXPECT_TRUE(e.address == nullptr && e.size == 0 && e.key == 0 && e.parent == -1) << i;
  }
  EXPECT_EQ(MemListNew(nullptr, nullptr), nullptr);
}

TEST_F(MemTest, BudgetBoundaryAndHandlerAnswers) {
  void* a = nullptr;
  void* b = nullptr;
  ASSERT_EQ(Alloc(&a, 60), MEM_OK);
  EXPECT_EQ(MemAvailable(list_, 40), 1);
  EXPECT_EQ(MemAvailable(list_, 41), 0);
  ASSERT_EQ(Alloc(&b, 40), MEM_OK);  // exactly the free bytes
  EXPECT_TRUE(script().codes.empty());
  EXPECT_EQ(pool_->used, 100);

  void* untouched = &untouched;
  EXPECT_EQ(Alloc(&untouched, 1), MEM_POOL_OVERFLOW);
  EXPECT_EQ(Alloc(&untouched, 101), MEM_POOL_TOO_SMALL);
  script().answer[MEM_POOL_TOO_SMALL] = 1;  // the overflow check follows
  EXPECT_EQ(Alloc(&untouched, 101), MEM_POOL_OVERFLOW);
  EXPECT_EQ(script().codes, (std::vector<std::int32_t>{1, 3, 3, 1}));
  EXPECT_EQ(untouched, &untouched);
  EXPECT_EQ(pool_->used, 100);

  // A nonzero answer lets the request go on without a second test.
  script().answer[MEM_POOL_OVERFLOW] = 1;
  void* c = nullptr;
  EXPECT_EQ(Alloc(&c, 101), MEM_OK);
  EXPECT_EQ(pool_->used, 201);
  EXPECT_EQ(MemAvailable(list_, 0), 0);
  MemListDelete(&list_);  // while the owner variables are alive
}

TEST_F(MemTest, SeventeenthBlockGrowsTheTableAndSequencesAreShared) {
  MemPoolT* big = MemPoolNew(0);
  MemListT* other = MemListNew(big, qz::testing::Handler);
  void* v[17] = {};
  void* w = nullptr;
  for (int i = 0; i < 16; ++i)
    ASSERT_EQ(Alloc(&v[i], 1), MEM_OK);
  EXPECT_EQ(MemAvailable(list_, 1), 0);  // every slot used, budget left
  ASSERT_EQ(MemAllocate(other, 8, 2, &w), MEM_OK);
  ASSERT_EQ(Alloc(&v[16], 1), MEM_OK);
  EXPECT_TRUE(script().codes.empty());
  EXPECT_EQ(list_->size, 32);
  EXPECT_EQ(MemAvailable(list_, 1), 1);
  const std::int32_t first = EntryOf(v[0]).sequence;
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(list_->entries[i].sequence, first + i) << "slot kept across growth";
  EXPECT_EQ(other->entries[0].sequence, first + 16);
  EXPECT_EQ(EntryOf(v[16]).sequence, first + 17);
  EXPECT_EQ(qz::detail::mem_state().sequence, first + 18);
  MemListDelete(&other);
  MemPoolDelete(&big);
  MemListDelete(&list_);
}

TEST_F(MemTest, DefaultsAndNoList) {
  void* p = nullptr;
  ASSERT_EQ(MemAllocate(nullptr, 5, 0, &p), MEM_OK);  // no list: straight from the heap
  EXPECT_EQ(pool_->used, 0);
  MemFree(nullptr, p);
  EXPECT_TRUE(heap_.live.size() == 3);  // pool, list, table
  MemSetDefaultList(list_);
  MemSetDefaultObject(77);
  ASSERT_EQ(MemAllocate(nullptr, 5, 0, &p), MEM_OK);
  EXPECT_EQ(EntryOf(p).key, 77);
  EXPECT_EQ(pool_->used, 5);
  MemListDelete(&list_);  // the default list goes with it
  ASSERT_EQ(MemAllocate(nullptr, 5, 0, &p), MEM_OK);
  EXPECT_EQ(pool_->used, 0);
  MemFree(nullptr, p);
}

struct Node {
  void* child;
  void* other;
};

TEST_F(MemTest, ParentsCountTheirChildrenAndRefuseRelease) {
  void* p = nullptr;
  void* loose = nullptr;
  ASSERT_EQ(Alloc(&p, 30), MEM_OK);
  auto* node = static_cast<Node*>(p);
  ASSERT_EQ(Alloc(&node->child, 20), MEM_OK);
  EXPECT_EQ(EntryOf(node->child).parent, 0);
  EXPECT_EQ(EntryOf(p).total_size, 50);

  MemFree(list_, p);  // refused while the child lives
  EXPECT_EQ(EntryOf(p).total_size, 50);
  EXPECT_EQ(pool_->used, 50);

  void* child = node->child;
  node->child = nullptr;  // owner overwrote its variable: refused too
  MemFree(list_, child);
  EXPECT_EQ(list_->used, 2);
  node->child = child;

  // Moving the child between variables keeps total_size true.
  MemSetPointer(list_, child, &node->other);
  EXPECT_EQ(EntryOf(p).total_size, 50);
  MemSetPointer(list_, child, &loose);
  EXPECT_EQ(EntryOf(p).total_size, 30);
  EXPECT_EQ(EntryOf(child).parent, -1);
  MemSetPointer(list_, child, &node->child);
  EXPECT_EQ(EntryOf(p).total_size, 50);
  // A block is never linked under its own child.
  MemSetPointer(list_, p, static_cast<void**>(child));
  EXPECT_EQ(EntryOf(p).parent, -1);
  EXPECT_EQ(*static_cast<void**>(child), p);
  MemSetPointer(list_, p, &loose);
  MemSetPointer(list_, nullptr, &loose);
  EXPECT_EQ(loose, p);

  MemFree(list_, node->child);
  EXPECT_EQ(node->child, nullptr);
  EXPECT_EQ(EntryOf(p).total_size, 30);
  EXPECT_EQ(pool_->used, 30);
  void* stray = heap_.Allocate(4);
  MemFree(list_, stray);  // not registered: freed all the same
  EXPECT_EQ(list_->used, 1);
  MemListDelete(&list_);
  EXPECT_EQ(loose, nullptr);
}

TEST_F(MemTest, ClearTakesDeepTreesDownAndDeleteHandsBackRefusedBlocks) {
  void* root = nullptr;
  void* kept = nullptr;
  ASSERT_EQ(Alloc(&root, 16), MEM_OK);
  auto* r = static_cast<Node*>(root);
  ASSERT_EQ(Alloc(&r->child, 16), MEM_OK);
  auto* c = static_cast<Node*>(r->child);
  ASSERT_EQ(Alloc(&c->child, 16), MEM_OK);
  ASSERT_EQ(Alloc(&kept, 8), MEM_OK);
  MemListClear(list_);
  EXPECT_EQ(list_->used, 0);
  EXPECT_EQ(pool_->used, 0);
  EXPECT_EQ(root, nullptr);
  EXPECT_EQ(kept, nullptr);

  // A child whose owner overwrote its variable blocks its ancestors.
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

}  // namespace
