// Extensions of path names, and unique names counted up like an odometer
// against a fake set of existing names.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/fake_os.h"
#include "qzutil/geometry/file_names.h"

namespace {

TEST(FileNames, ExtensionStartsAtTheFirstDotAfterTheLastSeparator) {
  // clang-format off
  const char* const cases[][2] = {
      {"C:\\dir\\file.txt", ".txt"}, {"file", ""}, {"a/b/", ""}, {"a.b/c.d.e", ".d.e"},
      {"dir/.profile", ".profile"}, {"d.x\\n", ""}, {".", "."}, {"", ""}, {"/.", "."}};
  // clang-format on
  for (const auto& [path, expected] : cases)  // fuzz_geometry checks it points into `path`
    EXPECT_STREQ(utl_file_extension(path), expected) << path;
}

// The name made from `base` and `suffix`, after checking the answer.
std::string Unique(const char* base, const char* suffix, std::int32_t answer) {
  char out[32] = {};
  EXPECT_EQ(utl_unique_filename(base, suffix, out), answer) << base << suffix;
  return out;
}

TEST(UniqueName, OnlyCapitalLettersCountAndCarryFromTheSuffixIntoTheBase) {
  qz::testing::FakeOs os;
  for (char a = 'A'; a <= 'Z'; ++a)
    for (char b = 'A'; b <= 'Z'; ++b)
      os.Add(std::string("F") + a + b);
  errno = 1234;  // every miss of the look-up sets ENOENT
  EXPECT_EQ(Unique("F", "AA", 0), "GAA");
  EXPECT_EQ(errno, 1234);
  ASSERT_EQ(os.asked.size(), 26u * 26u + 1u);  // the free name is asked about once, last
  EXPECT_EQ(os.asked[1], "FAB");
  EXPECT_EQ(os.asked[26], "FBA");

  // Digits, dots, lower case and bytes above 127 stay; only A-Z count.
  os.Add("F.ZZ");
  EXPECT_EQ(Unique("F", ".ZZ", 0), "G.AA");
  os.Add("xA1z\301Y");
  EXPECT_EQ(Unique("xA", "1z\301Y", 0), "xA1z\301Z");
  os.Add("xA1z\301Z");
  EXPECT_EQ(Unique("xA", "1z\301Y", 0), "xB1z\301A");
}

TEST(UniqueName, ExhaustedCountersAnswerMinusOneWithTheLastNameTried) {
  qz::testing::FakeOs os;
  os.Add("9Z");
  EXPECT_EQ(Unique("9", "Z", -1), "9Z");
  os.Add("Ab1");  // only the last character of the base counts
  EXPECT_EQ(Unique("Ab", "1", -1), "Ab1");
  os.Add("nZ");
  os.Add("nY");
  EXPECT_EQ(Unique("n", "Y", -1), "nZ");
  EXPECT_EQ(os.asked.size(), 4u);
}

}  // namespace
