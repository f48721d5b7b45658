// Test helpers for the memory family: a heap that fails chosen requests and
// tracks what is outstanding, a scripted exception handler, and a fixture.
#ifndef QZUTIL_TESTS_MEMORY_MEM_SUPPORT_H
#define QZUTIL_TESTS_MEMORY_MEM_SUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <set>
#include <vector>

#include "qzutil/memory/mem_internal.h"
#include "qzutil/memory/mem_list.h"
#include "qzutil/memory/mem_search.h"

namespace qz::testing {

// malloc/free that refuses the requests numbered (from 1) in `fail`.
class FailingHeap : public detail::MemHeap {
 public:
  std::set<int> fail;
  int requests = 0;
  std::set<void*> live;  // handed out, not yet released
  void* Allocate(std::size_t bytes) override {
    if (fail.count(++requests) != 0) return nullptr;
    return *live.insert(std::malloc(bytes)).first;
  }
  void Release(void* block) override {
    if (block != nullptr) {
      EXPECT_EQ(live.erase(block), 1u) << "released twice or foreign";
    }
    std::free(block);
  }
};

// The handler of every test list: records the codes, runs `action`, and
// answers by code.
struct Script {
  unsigned short answer[5] = {0, 0, 0, 0, 0};
  std::vector<std::int32_t> codes;
  std::function<void(MemExceptionT*)> action;
};
inline Script& script() {
  static Script s;
  return s;
}
inline unsigned short Handler(MemExceptionT* e) {
  script().codes.push_back(e->code);
  if (script().action) script().action(e);
  return script().answer[e->code];
}

// A pool of 100 bytes and a list on the failing heap, which must be empty at
// the end. Tests whose blocks are held by their own locals delete the list
// themselves while those variables exist.
class MemTest : public ::testing::Test {
 protected:
  FailingHeap heap_;
  detail::MemHeap* previous_ = detail::set_mem_heap(&heap_);
  MemPoolT* pool_ = nullptr;
  MemListT* list_ = nullptr;
  void SetUp() override {
    script() = Script{};
    pool_ = MemPoolNew(100);
    list_ = MemListNew(pool_, Handler);
  }
  void TearDown() override {
    MemSetDefaultList(nullptr);
    MemSetDefaultObject(0);
    MemListDelete(&list_);
    MemPoolDelete(&pool_);
    EXPECT_TRUE(heap_.live.empty()) << heap_.live.size() << " blocks leaked";
    detail::set_mem_heap(previous_);
  }
  std::int32_t Alloc(void** var, std::int32_t size, std::intptr_t key = 1) {
    return MemAllocate(list_, size, key, var);
  }
  const MemEntryT& EntryOf(const void* address) const {
    return list_->entries[detail::MemFindAddress(list_, address)];
  }
};

// A block that holds two pointer variables, to make children.
struct Node {
  void* child;
  void* other;
};

}  // namespace qz::testing

#endif  // QZUTIL_TESTS_MEMORY_MEM_SUPPORT_H
