#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "memory/mem_support.h"

namespace {

using qz::testing::MemTest;
using qz::testing::Node;

// What `%#lx` makes of an address, written without printf.
std::string Hex(const void* p) {
  const auto v = static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(p));
  std::ostringstream out;
  out << "0x" << std::hex << v;
  return out.str();
}

TEST_F(MemTest, DiagnosticLinesOfAFullSequence) {
  const std::string L = Hex(list_);
  const auto seq = [s = qz::detail::mem_state().sequence](int n) { return std::to_string(s + n); };
  EXPECT_FALSE(qz::detail::SetMemDiagnostics(true)) << "off unless switched on";
  ::testing::internal::CaptureStdout();
  void* p = nullptr;
  void* q = &q;
  int stranger = 0;
  ASSERT_EQ(Alloc(&p, 16, 0x10), MEM_OK);
  auto* n = static_cast<Node*>(p);
  ASSERT_EQ(Alloc(&n->child, 8, 0x20), MEM_OK);
  void* c = n->child;
  MemFree(list_, p);
  MemSetPointer(list_, c, &n->other);
  MemSetPointer(list_, &stranger, &q);
  n->other = nullptr;
  MemFree(list_, c);
  n->other = c;
  MemListInitializeSearch(list_);
  MemListRemoveFromSearch(list_, 0x10);
  EXPECT_EQ(MemListRemoveOldest(list_), 1);  // the child: its parent's key is protected
  EXPECT_EQ(n->other, nullptr);
  EXPECT_EQ(Alloc(&q, 200, 0x30), MEM_POOL_TOO_SMALL);
  EXPECT_EQ(Alloc(&q, 90, 0x30), MEM_POOL_OVERFLOW);
  heap_.fail = {heap_.requests + 1};
  EXPECT_EQ(Alloc(&q, 4, 0x30), MEM_MALLOC_FAILED);
  const std::string P = Hex(p), C = Hex(c), Q = Hex(&q);
  MemListClear(list_);
  EXPECT_EQ(MemListRemoveSmallest(list_), 0);
  qz::detail::SetMemDiagnostics(false);
  MemListRemoveOldest(list_);  // silent now
  const std::string allocate = "Allocate:  list " + L + " key ";
  const std::string expected =
      allocate + "0x10 size 16 back ptr " + Hex(&p) + "\n  [" + seq(0) + "] Allocation address " +
      P + " total size 16 pool used 16\n" + allocate + "0x20 size 8 back ptr " + Hex(&n->child) +
      "\n  [" + seq(1) + "] Allocation address " + C + " total size 8 pool used 24\n" +
      "    Parent sequence [" + seq(0) + "] total size 24\n" + "Free: list " + L + " address " + P +
      "\n**[" + seq(0) + "] Is parent/n" + "Set pointer: list " + L + " address " + C +
      " back ptr " + Hex(&n->other) + "\n  [" + seq(1) + "] Set pointer replaces " +
      Hex(&n->child) + "\n    Parent sequence [" + seq(0) + "] total size 24\n" +
      "Set pointer: list " + L + " address " + Hex(&stranger) + " back ptr " + Q +
      "\n**Address not found\n" + "Free: list " + L + " address " + C + "\n**[" + seq(1) +
      "] Back pointer does not contain address\n" + "Initialize search: list " + L +
      "\nRemove from search: list " + L + " object 0x10\n" + "!!Remove: Oldest\n  [" + seq(1) +
      "] Release 8 pool used 16\n  [" + seq(1) + "] Parent sequence [" + seq(0) +
      "], new total 16\n^^Remove: Oldest\n" + allocate + "0x30 size 200 back ptr " + Q +
      "\n**Pool of 100 too small\n" + allocate + "0x30 size 90 back ptr " + Q +
      "\n**Pool overflow current size 16\n**Pool overflow after exception processing\n" + allocate +
      "0x30 size 4 back ptr " + Q +
      "\n**Malloc failed\n**Malloc failed after exception processing\n" + "Clear list " + L +
      " address " + P + "\n  [" + seq(0) + "] Release 16 pool used 0\n!!Remove: Smallest\n";
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), expected);
}

}  // namespace
