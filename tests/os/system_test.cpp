// System services: sleep and environment natively; clock, fonts, launch on the fake.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake_os.h"
#include "platform/temp_dir.h"
#include "qzutil/os/osh_system.h"

namespace {

using qz::testing::FakeOs;
using Strings = std::vector<std::string>;

TEST(System, SleepsAboutTheAskedTime) {
  const auto start = std::chrono::steady_clock::now();
  osh_sleep(1);
  const auto slept = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(slept >= std::chrono::seconds(1) && slept < std::chrono::seconds(3))
      << std::chrono::duration_cast<std::chrono::milliseconds>(slept).count() << " ms";
}

TEST(System, SetsEnvironmentVariablesAlsoToEmptyValues) {
  for (const char* value : {"before", static_cast<const char*>(nullptr), "a=b c", ""}) {
    EXPECT_EQ(osh_setenv("QZ_PATHX", value), 0);
    EXPECT_EQ(qz::testing::EnvironmentValue("QZ_PATHX"), value != nullptr ? value : "");
  }
  EXPECT_EQ(osh_setenv(nullptr, "x"), -1);
  EXPECT_EQ(osh_setenv("", "x"), -1);
}

TEST(FakeServices, TimeStampIsTwoDigitFieldsOfLocalTime) {
  FakeOs os;
  char stamp[16] = "###############";
  os.now = {2007, 6, 4, 9, 5, 7};
  EXPECT_EQ(osh_get_time_stamp(stamp), 13);
  EXPECT_STREQ(stamp, "070604.090507");
  EXPECT_EQ(stamp[14], '#');
  os.now = {2100, 12, 31, 23, 59, 59};
  EXPECT_EQ(osh_get_time_stamp(stamp), 13);
  EXPECT_STREQ(stamp, "001231.235959");
}

TEST(FakeServices, LaunchCodesAndSleepLengths) {
  FakeOs os;
  for (auto [code, answer] : {std::pair{33u, 0}, {32u, 0}, {0u, 0}, {2u, 2}, {31u, 31}}) {
    os.launch_code = code;
    EXPECT_EQ(osh_system(nullptr, "x"), answer) << code;
  }
  for (int seconds : {2, 0, -5, 5000000})  // last: over 32 bits of ms, the longest finite wait
    osh_sleep(seconds);
  EXPECT_EQ(os.slept, (std::vector<std::uint32_t>{2000, 0, 0, 0xFFFFFFFEu}));
}

TEST(FakeServices, FontListHoldsAtMost1200FullNamesAndANullEnd) {
  FakeOs os;
  EXPECT_EQ(osh_GetFontFileList(), nullptr);
  os.font_count = 1300;
  char** list = osh_GetFontFileList();
  ASSERT_NE(list, nullptr);
  int count = 0;
  while (list[count] != nullptr)
    ++count;
  EXPECT_EQ(count, 1200);
  EXPECT_STREQ(list[0], "C:\\Fonts\\f0.ttf");
  EXPECT_STREQ(list[1199], "C:\\Fonts\\f1199.ttf");
  osh_FreeFontFileList(&list);
  EXPECT_EQ(list, nullptr);
  osh_FreeFontFileList(&list);
}

TEST(SystemRecords, HostNameParametersAndStringOrder) {
  char name[16] = "###############";
  EXPECT_EQ(osh_gethostname(name, 12), 0);
  EXPECT_EQ(std::string(name, 13), std::string("localhost\0\0\0#", 13));
  char part[8] = "#######";
  osh_gethostname(part, 4);
  EXPECT_EQ(std::string(part, 5), "loca#");

  const std::vector<short> expected{1, 2, 8, 2, 1, 1, 2, 4, 4, 8};
  std::vector<short> record(10, -1);
  osh_get_file_parms(record.data());
  EXPECT_EQ(record, expected);
  osh_get_sys_parms()[2] = 0;  // the next call puts the system type back
  const short* own = osh_get_sys_parms();
  EXPECT_EQ(std::vector<short>(own, own + 10), expected);
  EXPECT_EQ(osh_system_type(), 8);

  std::uint32_t answer = 0;
  EXPECT_EQ(osh_resource_info(1, &answer), 0);
  EXPECT_EQ(answer, 100u);
  osh_resource_info_unload();

  const char* texts[] = {"beta", "\xE9t\xE9", "alpha", "Zeta", "alpha"};
  std::qsort(texts, 5, sizeof texts[0],
             [](const void* a, const void* b) { return osh_qsort_compare_strings(a, b); });
  EXPECT_EQ(Strings(texts, texts + 5), (Strings{"Zeta", "alpha", "alpha", "beta", "\xE9t\xE9"}));
  EXPECT_EQ(osh_qsort_compare_strings(&texts[1], &texts[2]), 0);
  EXPECT_EQ(osh_qsort_compare_strings(&texts[4], &texts[0]), 1);
  EXPECT_EQ(osh_qsort_compare_strings(&texts[0], &texts[4]), -1);
}

}  // namespace
