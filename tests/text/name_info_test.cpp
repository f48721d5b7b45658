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

// A list as "name=info ..." walked with the cursor functions; emptied with
// the delete call when `drain`.
std::string Contents(VarListEntryT** head, bool drain = false) {
  std::string out;
  for (VarListEntryT* e = *head; e != nullptr; VarNextListEntry(&e))
    out += std::string(VarGetName(e)) + "=" + std::to_string(VarListInfo(e)) + " ";
  while (drain && *head != nullptr)
    VarDeleteNameInfo(head, VarGetName(*head));
  return out;
}

// The name-list fuzz target compares every operation with a model; these
// are the cases it meets only by chance.
TEST(VarList, AnchorsPositionsTwinsAndLongNames) {
  VarListEntryT* head = nullptr;
  EXPECT_EQ(VarInsertNameInfo(&head, "a", 1, VAR_INSERT_AFTER, "a"), nullptr);
  EXPECT_STREQ(VarInsertNameInfo(&head, "Red", 1, VAR_INSERT_END, nullptr), "Red");
  EXPECT_EQ(VarAddNameInfo(&head, "red", 9), nullptr);
  EXPECT_STREQ(VarAddNameInfo(&head, "Blue", 2), "Blue");
  EXPECT_STREQ(VarInsertNameInfo(&head, "mid", 5, 77, "Blue"), "mid");  // acts as before
  EXPECT_STREQ(VarInsertNameInfo(&head, "end", 6, VAR_INSERT_END, "absent"), "end");
  EXPECT_EQ(VarInsertNameInfo(&head, "x", 7, VAR_INSERT_AFTER, "absent"), nullptr);
  EXPECT_EQ(VarInsertNameInfo(&head, "RED", 7, VAR_INSERT_BEFORE, "Blue"), nullptr);
  std::intptr_t info = 0;
  EXPECT_EQ(VarLookupNameInfo(nullptr, "mid", &info) + VarDeleteNameInfo(nullptr, "red"), 0);
  EXPECT_EQ(Contents(&head), "Red=1 mid=5 Blue=2 end=6 ");

  // Renaming makes twins: lookup and delete take the first, exchange and
  // insert the last.
  EXPECT_STREQ(VarReplaceNameInfo(head, "END", "red"), "red");
  EXPECT_TRUE(!VarReplaceNameInfo(head, "zz", "y") && !VarReplaceNameInfo(nullptr, "red", "y"));
  VarExchangeNameInfo(head, "RED", "blue");
  VarExchangeNameInfo(head, "red", "red");
  VarExchangeNameInfo(head, "red", "missing");
  EXPECT_STREQ(VarInsertNameInfo(&head, "after", 7, VAR_INSERT_AFTER, "red"), "after");
  EXPECT_EQ(Contents(&head), "Red=1 mid=5 Blue=6 red=2 after=7 ");
  EXPECT_TRUE(VarLookupNameInfo(head, "red", &info) == 1 && info == 1);
  EXPECT_EQ(VarDeleteNameInfo(&head, "RED"), 1);
  EXPECT_EQ(VarListInfo(nullptr), 0);

  // Adding compares whole names; the other calls see the first 159 characters
  // that fit their working buffers.
  const std::string stem(159, 'n'), one = stem + "1", two = stem + "2";
  EXPECT_TRUE(VarAddNameInfo(&head, one.c_str(), 8) && VarAddNameInfo(&head, two.c_str(), 9));
  EXPECT_TRUE(VarLookupNameInfo(head, (two + std::string(5000, 'z')).c_str(), &info) && info == 8);
  EXPECT_EQ(Contents(&head, true), "mid=5 Blue=6 red=2 after=7 " + one + "=8 " + two + "=9 ");
}

// Fails the allocation numbered `g_fail_at` since `g_calls` was reset.
int g_calls = 0, g_fail_at = 0;
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
  EXPECT_EQ(Contents(&head, true), "other=1 ");
}

}  // namespace
