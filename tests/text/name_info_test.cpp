// Name tables: constant lookups and the linked name-info lists, including
// names past the working buffers and allocation failures.
#include <cstdint>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "qzutil/text/name_fold.h"
#include "qzutil/text/name_info.h"

namespace {

TEST(VarLookup, IntAndStringIgnoreCaseTakeTheFirstMatchAndUseLow16Bits) {
  const VarNameIntT table[] = {{"RGB", 0},        {"HSV", 1},      {"Name", 2}, {"rgb", 9},
                               {"Wide", 0x12345}, {"Neg", 0xFFFF}, {nullptr, 0}};
  const VarNameIntT empty[] = {{nullptr, 5}};
  std::string got;
  for (const char* name :
       {"rgb", "nAME", "wide", "neg", "cmyk", static_cast<const char*>(nullptr)}) {
    std::int32_t v = -7;
    const int found = VarLookupInt(table, name, &v);  // before `v` is read
    got += std::to_string(found) + ":" + std::to_string(v) + " ";
  }
  for (std::int32_t value : {1, 0, -1, 3, 0x12345, 0xFFFF}) {
    const char* name = "x";
    const int found = VarLookupString(table, value, &name);
    got += std::to_string(found) + ":" + name + " ";
  }
  std::int32_t v = -7;
  const char* name = "x";
  EXPECT_EQ(VarLookupInt(nullptr, "rgb", &v) + VarLookupInt(empty, "rgb", &v) +
                VarLookupString(nullptr, 0, &name) + VarLookupString(empty, 5, &name),
            0);
  EXPECT_EQ(
      got + std::to_string(v) + name,
      "1:0 1:2 1:9029 1:-1 0:-7 0:-7 1:HSV 1:RGB 1:Neg 0:Unknown 0:Unknown 0:Unknown -7Unknown");
}

// A list as "name=info ..." walked with the cursor functions.
std::string Contents(VarListEntryT* head) {
  std::string out;
  for (VarListEntryT* e = head; e != nullptr; VarNextListEntry(&e))
    out += std::string(VarGetName(e)) + "=" + std::to_string(VarListInfo(e)) + " ";
  return out;
}

void Clear(VarListEntryT** head) {
  while (*head != nullptr)
    VarDeleteNameInfo(head, VarGetName(*head));
}

TEST(VarList, AddInsertAndDeleteKeepOrderAndRefuseDuplicates) {
  VarListEntryT* head = nullptr;
  EXPECT_EQ(VarInsertNameInfo(&head, "a", 1, VAR_INSERT_AFTER, "a"), nullptr);
  EXPECT_STREQ(VarInsertNameInfo(&head, "Red", 1, VAR_INSERT_END, nullptr), "Red");
  EXPECT_EQ(VarAddNameInfo(&head, "red", 9), nullptr);
  EXPECT_STREQ(VarAddNameInfo(&head, "Blue", 2), "Blue");
  EXPECT_STREQ(VarInsertNameInfo(&head, "first", 3, VAR_INSERT_BEFORE, "RED"), "first");
  EXPECT_STREQ(VarInsertNameInfo(&head, "last", 4, VAR_INSERT_AFTER, "blue"), "last");
  EXPECT_STREQ(VarInsertNameInfo(&head, "mid", 5, 77, "Blue"), "mid");  // acts as before
  EXPECT_STREQ(VarInsertNameInfo(&head, "end", 6, VAR_INSERT_END, "first"), "end");
  EXPECT_EQ(VarInsertNameInfo(&head, "x", 7, VAR_INSERT_AFTER, "absent"), nullptr);
  EXPECT_EQ(VarInsertNameInfo(&head, "LAST", 7, VAR_INSERT_BEFORE, "first"), nullptr);
  EXPECT_EQ(Contents(head), "first=3 Red=1 mid=5 Blue=2 last=4 end=6 ");

  std::intptr_t info = 0;
  EXPECT_EQ(VarLookupNameInfo(head, "MID", &info) + VarLookupNameInfo(nullptr, "mid", &info), 1);
  EXPECT_EQ(info, 5);
  EXPECT_EQ(VarDeleteNameInfo(&head, "FIRST"), 3);
  EXPECT_EQ(VarDeleteNameInfo(&head, "mid") + VarDeleteNameInfo(&head, "nothing"), 5);
  EXPECT_EQ(VarDeleteNameInfo(&head, "end") + VarDeleteNameInfo(nullptr, "red"), 6);
  EXPECT_EQ(Contents(head), "Red=1 Blue=2 last=4 ");
  Clear(&head);
  EXPECT_EQ(VarListInfo(nullptr), 0);
}

TEST(VarList, RenamedTwinsFirstForLookupDeleteLastForExchangeAndInsert) {
  VarListEntryT* head = nullptr;
  for (const char* n : {"a", "b", "c"})
    VarAddNameInfo(&head, n, n[0] - 'a' + 1);
  EXPECT_STREQ(VarReplaceNameInfo(head, "C", "A"), "A");
  EXPECT_TRUE(!VarReplaceNameInfo(head, "zz", "y") && !VarReplaceNameInfo(nullptr, "a", "y"));
  VarExchangeNameInfo(head, "a", "B");  // the last "a" is the renamed one
  VarExchangeNameInfo(head, "a", "a");
  VarExchangeNameInfo(head, "a", "missing");
  EXPECT_EQ(Contents(head), "a=1 b=3 A=2 ");
  EXPECT_STREQ(VarInsertNameInfo(&head, "after", 7, VAR_INSERT_AFTER, "a"), "after");
  std::intptr_t info = 0;
  EXPECT_EQ(VarLookupNameInfo(head, "a", &info), 1);
  EXPECT_EQ(info, 1);
  EXPECT_EQ(VarDeleteNameInfo(&head, "A"), 1);
  EXPECT_EQ(Contents(head), "b=3 A=2 after=7 ");
  Clear(&head);
}

TEST(VarList, LongNamesCompareOnTheirFirst159Characters) {
  const std::string stem(159, 'n'), one = stem + "1", two = stem + "2";
  VarListEntryT* head = nullptr;
  VarAddNameInfo(&head, one.c_str(), 1);
  VarAddNameInfo(&head, two.c_str(), 2);  // whole names differ: both are added
  std::intptr_t info = 0;
  VarLookupNameInfo(head, (two + std::string(5000, 'z')).c_str(), &info);
  EXPECT_EQ(Contents(head), one + "=1 " + two + "=2 ");
  EXPECT_EQ(info, 1);  // the working buffers see only the common stem
  Clear(&head);
}

// Fails the allocation numbered `g_fail_at` since `g_calls` was reset.
int g_calls = 0;
int g_fail_at = 0;
void* FailingAlloc(std::size_t bytes) {
  return ++g_calls == g_fail_at ? nullptr : std::malloc(bytes);
}

TEST(VarList, FailedAllocationLeavesTheListAsItWas) {
  const auto previous = qz::detail::set_name_allocator(&FailingAlloc);
  VarListEntryT* head = nullptr;
  VarAddNameInfo(&head, "keep", 1);
  for (g_fail_at = 1; g_fail_at <= 2; ++g_fail_at) {  // the entry, then the name copy
    for (std::int32_t position : {VAR_INSERT_END, VAR_INSERT_BEFORE, VAR_INSERT_AFTER}) {
      g_calls = 0;
      EXPECT_EQ(VarInsertNameInfo(&head, "new", 2, position, "keep"), nullptr);
    }
    g_calls = 0;
    const char* renamed = VarReplaceNameInfo(head, "keep", "other");
    EXPECT_EQ(renamed, g_fail_at == 1 ? nullptr : head->name);
  }
  qz::detail::set_name_allocator(previous);
  EXPECT_EQ(Contents(head), "other=1 ");
  Clear(&head);
}

}  // namespace
