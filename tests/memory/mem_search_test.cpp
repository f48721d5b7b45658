#include <cstdint>

#include "memory/mem_support.h"

namespace {

using qz::testing::MemTest;

TEST_F(MemTest, EvictionCandidatesTiesAndExclusions) {
  void* a = nullptr;
  void* b = nullptr;
  void* big = nullptr;
  ASSERT_EQ(Alloc(&a, 20, 1), MEM_OK);
  ASSERT_EQ(Alloc(&b, 20, 2), MEM_OK);
  ASSERT_EQ(Alloc(&big, 10, 3), MEM_OK);
  auto* holder = static_cast<void**>(big);
  ASSERT_EQ(Alloc(holder, 30, 4), MEM_OK);  // a child: never chosen alone by size

  EXPECT_EQ(MemListRemoveSmallest(list_), 1);  // equal totals: the lower slot
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

}  // namespace
