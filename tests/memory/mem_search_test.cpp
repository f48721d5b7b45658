#include <cstdint>

#include "memory/mem_support.h"

namespace {

using qz::testing::MemTest;
using qz::testing::script;

TEST_F(MemTest, EvictionCandidatesTiesAndExclusions) {
  EXPECT_EQ(MemListRemoveSmallest(list_), 0);
  EXPECT_EQ(MemListRemoveLargest(list_), 0);
  EXPECT_EQ(MemListRemoveOldest(list_), 0);

  void* a = nullptr;
  void* b = nullptr;
  void* big = nullptr;
  ASSERT_EQ(Alloc(&a, 20, 1), MEM_OK);
  ASSERT_EQ(Alloc(&b, 20, 2), MEM_OK);
  ASSERT_EQ(Alloc(&big, 10, 3), MEM_OK);
  auto* holder = static_cast<void**>(big);
  ASSERT_EQ(Alloc(holder, 30, 4), MEM_OK);  // total 40 beats 20, but has a parent

  MemListRemoveFromSearch(list_, 99);  // nobody: nothing changes
  EXPECT_EQ(MemListRemoveSmallest(list_), 1);  // equal totals: lower slot
  EXPECT_EQ(a, nullptr);
  ASSERT_EQ(Alloc(&a, 20, 1), MEM_OK);  // back into slot 0, now the youngest
  MemListRemoveFromSearch(list_, 3);
  EXPECT_EQ(MemListRemoveLargest(list_), 1);
  EXPECT_EQ(a, nullptr);
  ASSERT_NE(b, nullptr);

  MemListRemoveFromSearch(list_, 2);
  EXPECT_EQ(MemListRemoveSmallest(list_), 0);
  EXPECT_EQ(MemListRemoveLargest(list_), 0);
  void* child = *holder;
  EXPECT_EQ(MemListRemoveOldest(list_), 1);  // only the child is left to choose
  EXPECT_EQ(*holder, nullptr);
  EXPECT_EQ(heap_.live.count(child), 0u);
  EXPECT_EQ(pool_->used, 30);

  MemListInitializeSearch(list_);
  ASSERT_EQ(Alloc(holder, 50, 4), MEM_OK);
  EXPECT_EQ(MemListRemoveLargest(list_), 1);  // 10 + 50 before 20
  EXPECT_EQ(big, nullptr);
  EXPECT_EQ(pool_->used, 20);

  b = &b;  // owner overwrote its variable: chosen, refused, chosen again
  EXPECT_EQ(MemListRemoveOldest(list_), 1);
  EXPECT_EQ(MemListRemoveOldest(list_), 1);
  EXPECT_EQ(pool_->used, 20);
  b = list_->entries[1].address;
  MemListDelete(&list_);
}

TEST_F(MemTest, HandlerEvictsOldestUntilTheRequestFits) {
  void* v[5] = {};
  for (void*& p : v)
    ASSERT_EQ(Alloc(&p, 20), MEM_OK);
  script().answer[MEM_POOL_OVERFLOW] = 1;
  script().action = [](MemExceptionT* e) {
    MemPoolT* pool = e->list->pool;
    while (pool->used + e->size > pool->size) {
      const std::int32_t before = pool->used;
      if (MemListRemoveOldest(e->list) == 0 || pool->used == before) break;
    }
  };
  void* p = nullptr;
  ASSERT_EQ(Alloc(&p, 50), MEM_OK);
  EXPECT_EQ(v[0], nullptr);
  EXPECT_EQ(v[1], nullptr);
  EXPECT_EQ(v[2], nullptr);
  EXPECT_NE(v[3], nullptr);
  EXPECT_EQ(pool_->used, 90);
  MemListDelete(&list_);
}

}  // namespace
