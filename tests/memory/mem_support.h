// Test helpers for the memory family: a heap that fails on request and
// counts what is outstanding, a scripted exception handler, and the
// hexadecimal form of `%#lx` written independently of printf.
#ifndef QZUTIL_TESTS_MEMORY_MEM_SUPPORT_H
#define QZUTIL_TESTS_MEMORY_MEM_SUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "qzutil/memory/mem_internal.h"
#include "qzutil/memory/mem_list.h"
#include "qzutil/memory/mem_search.h"

namespace qz::testing {

// malloc/free that refuses the requests whose numbers (from 1) are listed,
// and remembers every block it handed out and has not got back.
class FailingHeap : public detail::MemHeap {
 public:
  std::set<int> fail;  // request numbers to refuse
  int requests = 0;
  std::set<void*> live;
  void* Allocate(std::size_t bytes) override {
    if (fail.count(++requests) != 0) return nullptr;
    void* block = std::malloc(bytes);
    live.insert(block);
    return block;
  }
  void Release(void* block) override {
    if (block != nullptr) {
      EXPECT_EQ(live.erase(block), 1u) << "freed twice or foreign";
    }
    std::free(block);
  }
};

// Every exception goes through here; answers and an optional action are
// set per test.
struct Script {
  unsigned short answer[5] = {0, 0, 0, 0, 0};  // by code
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

// A pool and a list with the scripted handler, the failing heap installed
// and checked empty at the end, and the family's globals reset. A test that
// registers blocks held by its own locals deletes the list itself, while
// those variables still exist.
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
    ASSERT_NE(list_, nullptr);
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

inline std::string Hex(std::uintptr_t v) {
  if (v == 0) return "0";
  std::ostringstream out;
  out << "0x" << std::hex << static_cast<unsigned long>(v);
  return out.str();
}
template <typename T>
std::string Hex(T* p) {
  return Hex(reinterpret_cast<std::uintptr_t>(p));
}

}  // namespace qz::testing

#endif  // QZUTIL_TESTS_MEMORY_MEM_SUPPORT_H
