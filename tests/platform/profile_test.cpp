// The native profile reader on real files: the private-profile conventions,
// the same on every platform (on Windows, the kernel's own calls).
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "platform/temp_dir.h"
#include "qzutil/platform/profile.h"

namespace {

class ProfileReader : public ::testing::Test {
 protected:
  void SetUp() override {
    // CR LF line ends, a key before any section, a second section of the
    // same name, blanks wherever they may be.
    dir_.Write(
        "set.ini",
        "top=1\r\n[other]\r\nTrace=5\r\n  [ INTERNAL ]  \r\n  trace =  42  \r\n"
        "Name = \"  quoted  \"\r\nSingle='x'\r\nMixed=\"a'\r\nEmpty=\r\nNoEquals\r\n"
        "Hex=0x1F\r\nPlus=+0x10\r\nNeg= -7\r\nJunk=12abc\r\nLetters=abc\r\nWrap=4294967297\r\n"
        "Long=vvvvvvvvvvvv\r\n[Internal]\r\nLater=1\r\n");
  }
  std::int32_t Int(const char* section, const char* key, const char* file = "set.ini") {
    return reader_.GetInt((dir_ / file).c_str(), section, key, -99);
  }
  std::string Text(const char* key, const char* fallback = "dflt", std::uint32_t size = 64) {
    char out[64] = "#";
    const std::uint32_t count =
        reader_.GetString((dir_ / "set.ini").c_str(), "Internal", key, fallback, out, size);
    return std::to_string(count) + ":" + out;
  }

  qz::testing::TempDir dir_;
  qz::platform::Profile& reader_ = qz::platform::native_profile();
};

TEST_F(ProfileReader, ReadsIntegersOrGivesTheDefault) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"TRACE", 42},   {"Hex", 31},    {"Plus", 16},      {"Neg", -7},
      {"Junk", 12},    {"Letters", 0}, {"Wrap", 1},       {"Empty", -99},
      {"Absent", -99}, {"top", -99},   {"NoEquals", -99}, {"Later", -99},
  };
  for (const auto& [key, expected] : cases)
    EXPECT_EQ(Int("Internal", key), expected) << key;
  EXPECT_EQ(Int("OTHER", "trace"), 5);
  EXPECT_EQ(Int("Nowhere", "Trace"), -99);
  EXPECT_EQ(Int("Internal", "Trace", "none.ini"), -99);
}

TEST_F(ProfileReader, CopiesTrimmedValuesOrTheDefault) {
  EXPECT_EQ(Text("trace"), "2:42");
  EXPECT_EQ(Text("Name"), "10:  quoted  ");
  EXPECT_EQ(Text("Single"), "1:x");
  EXPECT_EQ(Text("Mixed"), "3:\"a'");
  EXPECT_EQ(Text("Empty"), "0:");  // present but empty: not the default
  EXPECT_EQ(Text("Long", "", 8), "7:vvvvvvv");
  EXPECT_EQ(Text("Long", "", 0), "0:#");
  EXPECT_EQ(Text("Absent", "dflt   "), "4:dflt");  // without trailing blanks
  EXPECT_EQ(Text("Absent", nullptr), "0:");
}

}  // namespace
