// Name tables: constant lookups and the linked name-info lists, including
// names past the working buffers and allocation failures.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "qzutil/text/name_fold.h"
#include "qzutil/text/name_info.h"

namespace {

const VarNameIntT kModels[] = {{"RGB", 0},        {"HSV", 1},      {"Name", 2}, {"rgb", 9},
                               {"Wide", 0x12345}, {"Neg", 0xFFFF}, {nullptr, 0}};

TEST(VarLookup, IntIgnoresCaseAndTakesTheFirstMatch) {
  std::int32_t v = -7;
  EXPECT_EQ(VarLookupInt(kModels, "rgb", &v), 1);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(VarLookupInt(kModels, "nAME", &v), 1);
  EXPECT_EQ(v, 2);
  EXPECT_EQ(VarLookupInt(kModels, "wide", &v), 1);
  EXPECT_EQ(v, 0x2345);
  EXPECT_EQ(VarLookupInt(kModels, "neg", &v), 1);
  EXPECT_EQ(v, -1);
  v = -7;
  const VarNameIntT empty[] = {{nullptr, 5}};
  EXPECT_EQ(VarLookupInt(kModels, "cmyk", &v), 0);
  EXPECT_EQ(VarLookupInt(kModels, nullptr, &v), 0);
  EXPECT_EQ(VarLookupInt(nullptr, "rgb", &v), 0);
  EXPECT_EQ(VarLookupInt(empty, "rgb", &v), 0);
  EXPECT_EQ(v, -7);
}

TEST(VarLookup, StringAnswersUnknownWhenAbsent) {
  const char* name = nullptr;
  EXPECT_EQ(VarLookupString(kModels, 1, &name), 1);
  EXPECT_STREQ(name, "HSV");
  EXPECT_EQ(VarLookupString(kModels, 0, &name), 1);
  EXPECT_STREQ(name, "RGB");
  EXPECT_EQ(VarLookupString(kModels, -1, &name), 1);
  EXPECT_STREQ(name, "Neg");
  for (std::int32_t missing : {3, 0x12345, 0xFFFF}) {
    name = nullptr;
    EXPECT_EQ(VarLookupString(kModels, missing, &name), 0);
    EXPECT_STREQ(name, "Unknown");
  }
  name = nullptr;
  EXPECT_EQ(VarLookupString(nullptr, 0, &name), 0);
  EXPECT_STREQ(name, "Unknown");
}

// A list as "name=info" strings, walked with the cursor functions.
std::vector<std::string> Contents(VarListEntryT* head) {
  std::vector<std::string> out;
  for (VarListEntryT* e = head; e != nullptr; VarNextListEntry(&e))
    out.push_back(std::string(VarGetName(e)) + "=" + std::to_string(VarListInfo(e)));
  return out;
}

void Clear(VarListEntryT** head) {
  while (*head != nullptr)
    VarDeleteNameInfo(head, VarGetName(*head));
}

using Names = std::vector<std::string>;

TEST(VarList, AddInsertAndDeleteKeepOrderAndRefuseDuplicates) {
  VarListEntryT* head = nullptr;
  EXPECT_EQ(VarInsertNameInfo(&head, "a", 1, VAR_INSERT_BEFORE, "a"), nullptr);
  EXPECT_EQ(VarInsertNameInfo(&head, "a", 1, VAR_INSERT_AFTER, "a"), nullptr);
  EXPECT_STREQ(VarInsertNameInfo(&head, "Red", 1, VAR_INSERT_END, nullptr), "Red");
  EXPECT_EQ(VarAddNameInfo(&head, "red", 9), nullptr);
  EXPECT_STREQ(VarAddNameInfo(&head, "Blue", 2), "Blue");
  EXPECT_STREQ(VarInsertNameInfo(&head, "first", 3, VAR_INSERT_BEFORE, "RED"), "first");
  EXPECT_STREQ(VarInsertNameInfo(&head, "last", 4, VAR_INSERT_AFTER, "blue"), "last");
  EXPECT_STREQ(VarInsertNameInfo(&head, "mid", 5, 77, "Blue"), "mid");  // acts as before
  EXPECT_EQ(VarInsertNameInfo(&head, "x", 6, VAR_INSERT_AFTER, "absent"), nullptr);
  EXPECT_EQ(VarInsertNameInfo(&head, "LAST", 6, VAR_INSERT_BEFORE, "first"), nullptr);
  EXPECT_EQ(Contents(head), (Names{"first=3", "Red=1", "mid=5", "Blue=2", "last=4"}));

  std::intptr_t info = 0;
  EXPECT_EQ(VarLookupNameInfo(head, "MID", &info), 1);
  EXPECT_EQ(info, 5);
  EXPECT_EQ(VarLookupNameInfo(nullptr, "mid", &info), 0);
  EXPECT_EQ(VarDeleteNameInfo(&head, "FIRST"), 3);
  EXPECT_EQ(VarDeleteNameInfo(&head, "mid"), 5);
  EXPECT_EQ(VarDeleteNameInfo(&head, "last"), 4);
  EXPECT_EQ(VarDeleteNameInfo(&head, "nothing"), 0);
  EXPECT_EQ(VarDeleteNameInfo(nullptr, "red"), 0);
  EXPECT_EQ(Contents(head), (Names{"Red=1", "Blue=2"}));
  Clear(&head);
  EXPECT_EQ(head, nullptr);
  EXPECT_EQ(VarListInfo(nullptr), 0);
  VarNextListEntry(nullptr);
}

TEST(VarList, RenamedTwinsFirstForLookupDeleteLastForExchangeAndInsert) {
  VarListEntryT* head = nullptr;
  for (auto [n, i] : {std::pair{"a", 1}, {"b", 2}, {"c", 3}})
    VarAddNameInfo(&head, n, i);
  const char* renamed = VarReplaceNameInfo(head, "C", "A");
  EXPECT_STREQ(renamed, "A");
  EXPECT_EQ(VarReplaceNameInfo(head, "zz", "y"), nullptr);
  EXPECT_EQ(VarReplaceNameInfo(nullptr, "a", "y"), nullptr);
  EXPECT_EQ(Contents(head), (Names{"a=1", "b=2", "A=3"}));

  VarExchangeNameInfo(head, "a", "B");  // the last "a" is the renamed one
  EXPECT_EQ(Contents(head), (Names{"a=1", "b=3", "A=2"}));
  VarExchangeNameInfo(head, "a", "a");
  VarExchangeNameInfo(head, "a", "missing");
  EXPECT_EQ(Contents(head), (Names{"a=1", "b=3", "A=2"}));
  EXPECT_STREQ(VarInsertNameInfo(&head, "after", 7, VAR_INSERT_AFTER, "a"), "after");
  std::intptr_t info = 0;
  EXPECT_EQ(VarLookupNameInfo(head, "a", &info), 1);
  EXPECT_EQ(info, 1);
  EXPECT_EQ(VarDeleteNameInfo(&head, "A"), 1);
  EXPECT_EQ(Contents(head), (Names{"b=3", "A=2", "after=7"}));
  Clear(&head);
}

TEST(VarList, LongNamesCompareOnTheirFirst159Characters) {
  const std::string stem(159, 'n');
  const std::string one = stem + "1", two = stem + "2";
  VarListEntryT* head = nullptr;
  EXPECT_NE(VarAddNameInfo(&head, one.c_str(), 1), nullptr);
  EXPECT_NE(VarAddNameInfo(&head, two.c_str(), 2), nullptr);  // whole names differ
  EXPECT_EQ(VarGetName(head->next), two);
  std::intptr_t info = 0;
  EXPECT_EQ(VarLookupNameInfo(head, two.c_str(), &info), 1);
  EXPECT_EQ(info, 1);  // the working buffers see only the common stem
  EXPECT_EQ(VarInsertNameInfo(&head, (stem + "3").c_str(), 3, VAR_INSERT_END, nullptr)[159], '3');
  EXPECT_EQ(VarInsertNameInfo(&head, (stem + "4").c_str(), 4, VAR_INSERT_BEFORE, "x"), nullptr);
  const VarNameIntT table[] = {{one.c_str(), 8}, {nullptr, 0}};
  std::int32_t v = 0;
  EXPECT_EQ(VarLookupInt(table, (stem + std::string(5000, 'z')).c_str(), &v), 1);
  EXPECT_EQ(v, 8);
  Clear(&head);
}

// Fails the allocation numbered `g_fail_at` (1-based), counting from reset.
int g_calls = 0;
int g_fail_at = 0;
void* FailingAlloc(std::size_t bytes) {
  return ++g_calls == g_fail_at ? nullptr : std::malloc(bytes);
}

TEST(VarList, FailedAllocationLeavesTheListAsItWas) {
  const auto previous = qz::detail::set_name_allocator(&FailingAlloc);
  VarListEntryT* head = nullptr;
  VarAddNameInfo(&head, "keep", 1);
  const Names before = Contents(head);
  for (int fail : {1, 2}) {  // the entry, then the name copy
    g_calls = 0;
    g_fail_at = fail;
    EXPECT_EQ(VarAddNameInfo(&head, "new", 2), nullptr);
    g_calls = 0;
    EXPECT_EQ(VarInsertNameInfo(&head, "new", 2, VAR_INSERT_BEFORE, "keep"), nullptr);
    g_calls = 0;
    EXPECT_EQ(VarInsertNameInfo(&head, "new", 2, VAR_INSERT_AFTER, "keep"), nullptr);
    EXPECT_EQ(Contents(head), before);
  }
  g_calls = 0;
  g_fail_at = 1;
  EXPECT_EQ(VarReplaceNameInfo(head, "keep", "other"), nullptr);
  EXPECT_EQ(Contents(head), before);
  g_fail_at = 0;
  qz::detail::set_name_allocator(previous);
  Clear(&head);
}

}  // namespace
