#include <cstdint>
#include <vector>

#include "memory/mem_support.h"

namespace {

using qz::testing::MemTest;
using qz::testing::script;

// A pool/list lifetime of 20 blocks (one table growth) and one unlisted
// block, with heap request number `fail_at` refused; every result is checked
// against what it did to the caller's variable and the pool.
void RunWithOneFailure(qz::testing::FailingHeap& heap, int fail_at) {
  const std::size_t baseline = heap.live.size();
  heap.fail = {heap.requests + fail_at};
  MemPoolT* pool = MemPoolNew(1000);
  MemListT* list = MemListNew(pool, qz::testing::Handler);
  EXPECT_EQ(pool == nullptr, fail_at == 1);
  EXPECT_EQ(list == nullptr, fail_at <= 3) << fail_at;
  void* vars[20];
  for (std::int32_t i = 0; list != nullptr && i < 20; ++i) {
    vars[i] = &vars[i];
    const std::int32_t used = pool->used;
    const std::int32_t code = MemAllocate(list, i + 1, 5, &vars[i]);
    if (code != MEM_OK) {
      EXPECT_EQ(code, fail_at == 20 ? MEM_LIST_FULL : MEM_MALLOC_FAILED);
    }
    EXPECT_EQ(vars[i] == &vars[i], code != MEM_OK) << "caller's variable, " << fail_at;
    EXPECT_EQ(pool->used, used + (code == MEM_OK ? i + 1 : 0));
  }
  void* plain = &plain;
  if (MemAllocate(nullptr, 3, 0, &plain) == MEM_OK) MemFree(nullptr, plain);
  EXPECT_EQ(plain == &plain, fail_at == 25);
  MemListDelete(&list);  // releases the registered blocks
  MemPoolDelete(&pool);
  EXPECT_EQ(heap.live.size(), baseline) << fail_at;
}

TEST_F(MemTest, EveryHeapFailureIsReportedAndLeavesNothingBehind) {
  for (int fail_at = 1; fail_at <= 26; ++fail_at)
    RunWithOneFailure(heap_, fail_at);
}

TEST_F(MemTest, AnsweredHeapAndListFailures) {
  void* v[16] = {};
  void* q = &q;
  script().answer[MEM_MALLOC_FAILED] = 1;
  script().answer[MEM_LIST_FULL] = 1;
  heap_.fail = {heap_.requests + 1};
  ASSERT_EQ(Alloc(&v[0], 1), MEM_OK);  // asked once more, and granted
  heap_.fail = {heap_.requests + 1, heap_.requests + 2};
  EXPECT_EQ(Alloc(&q, 1), MEM_MALLOC_FAILED);
  EXPECT_EQ(Alloc(&q, -1), MEM_MALLOC_FAILED);  // no heap has a negative block
  for (int i = 1; i < 16; ++i)
    ASSERT_EQ(Alloc(&v[i], 1), MEM_OK);
  heap_.fail = {heap_.requests + 1};  // growth refused, the answer frees nothing
  EXPECT_EQ(Alloc(&q, 1), MEM_LIST_FULL);
  EXPECT_EQ(q, &q);
  EXPECT_EQ(pool_->used, 16);
  script().action = [&v](MemExceptionT* e) { MemFree(e->list, v[5]); };
  heap_.fail = {heap_.requests + 1};
  ASSERT_EQ(Alloc(&q, 1), MEM_OK);
  EXPECT_EQ(list_->entries[5].address, q);
  EXPECT_EQ(list_->size, 16);
  EXPECT_EQ(script().codes, (std::vector<std::int32_t>{4, 4, 4, 2, 2}));
  MemListDelete(&list_);
}

}  // namespace
