#include <cstdint>
#include <vector>

#include "memory/mem_support.h"

namespace {

using qz::testing::MemTest;
using qz::testing::script;

// Runs a pool/list lifetime of 20 blocks (one table growth) with heap request
// number `fail_at` refused, checking every result against what it did.
void RunWithOneFailure(qz::testing::FailingHeap& heap, int fail_at) {
  const std::size_t baseline = heap.live.size();
  heap.fail = {heap.requests + fail_at};
  MemPoolT* pool = MemPoolNew(1000);
  if (pool == nullptr) {
    EXPECT_EQ(fail_at, 1);
    return;
  }
  MemListT* list = MemListNew(pool, qz::testing::Handler);
  if (list == nullptr) {
    EXPECT_TRUE(fail_at == 2 || fail_at == 3) << fail_at;
    MemPoolDelete(&pool);
    EXPECT_EQ(heap.live.size(), baseline);
    return;
  }
  void* vars[20];
  for (std::int32_t i = 0; i < 20; ++i) {
    vars[i] = &vars[i];
    const std::int32_t used = pool->used;
    const std::int32_t code = MemAllocate(list, i + 1, 5, &vars[i]);
    if (code == MEM_OK) {
      EXPECT_NE(vars[i], &vars[i]);
      EXPECT_EQ(pool->used, used + i + 1);
    } else {
      EXPECT_EQ(code, fail_at == 20 ? MEM_LIST_FULL : MEM_MALLOC_FAILED) << fail_at;
      EXPECT_EQ(vars[i], &vars[i]) << "caller's variable touched";
      EXPECT_EQ(pool->used, used);
      vars[i] = nullptr;
    }
  }
  void* plain = &plain;
  if (MemAllocate(nullptr, 3, 0, &plain) == MEM_OK) {
    MemFree(nullptr, plain);
  } else {
    EXPECT_EQ(plain, &plain);
  }
  for (void* v : vars)
    if (v != nullptr) MemFree(list, v);
  EXPECT_EQ(pool->used, 0);
  MemListDelete(&list);
  MemPoolDelete(&pool);
  EXPECT_EQ(heap.live.size(), baseline) << fail_at;
}

TEST_F(MemTest, EveryHeapFailureIsReportedAndLeavesNothingBehind) {
  // Requests: pool, list, table, 16 blocks, growth, 4 blocks, the plain one.
  for (int fail_at = 1; fail_at <= 26; ++fail_at)
    RunWithOneFailure(heap_, fail_at);
  // Each refused block raised one exception, the refused growth another.
  std::vector<std::int32_t> expected(20, MEM_MALLOC_FAILED);
  expected.insert(expected.begin() + 16, MEM_LIST_FULL);
  EXPECT_EQ(script().codes, expected);
}

TEST_F(MemTest, AnsweredHeapFailureTriesOnceMore) {
  void* p = &p;
  script().answer[MEM_MALLOC_FAILED] = 1;
  heap_.fail = {heap_.requests + 1};
  ASSERT_EQ(Alloc(&p, 10), MEM_OK);  // the second request succeeds
  heap_.fail = {heap_.requests + 1, heap_.requests + 2};
  void* q = &q;
  EXPECT_EQ(Alloc(&q, 10), MEM_MALLOC_FAILED);
  EXPECT_EQ(q, &q);
  EXPECT_EQ(pool_->used, 10);
  EXPECT_EQ(script().codes, (std::vector<std::int32_t>{4, 4}));
  MemFree(list_, p);
}

TEST_F(MemTest, AnsweredFullListNeedsAFreedSlot) {
  void* v[16] = {};
  for (void*& p : v)
    ASSERT_EQ(Alloc(&p, 1), MEM_OK);
  void* extra = &extra;
  heap_.fail = {heap_.requests + 1, heap_.requests + 2};  // growth refused twice
  EXPECT_EQ(Alloc(&extra, 1), MEM_LIST_FULL);
  script().answer[MEM_LIST_FULL] = 1;  // but nothing freed
  EXPECT_EQ(Alloc(&extra, 1), MEM_LIST_FULL);
  EXPECT_EQ(extra, &extra);
  script().action = [&v](MemExceptionT* e) { MemFree(e->list, v[5]); };
  heap_.fail = {heap_.requests + 1};
  ASSERT_EQ(Alloc(&extra, 1), MEM_OK);
  EXPECT_EQ(v[5], nullptr);
  EXPECT_EQ(list_->entries[5].address, extra);
  EXPECT_EQ(list_->size, 16);
  EXPECT_EQ(script().codes, (std::vector<std::int32_t>{2, 2, 2}));
  MemListDelete(&list_);
}

}  // namespace
