// Extensions of path names, and unique names counted up like an odometer
// against a fake set of existing names.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/fake_os.h"
#include "qzutil/geometry/file_names.h"

namespace {

TEST(FileNames, ExtensionStartsAtTheFirstDotAfterTheLastSeparator) {
  struct Case {
    const char* path;
    const char* extension;
  };
  for (const Case& c : {Case{"C:\\dir\\file.txt", ".txt"}, Case{"file", ""}, Case{"a/b/", ""},
                        Case{"a.b/c.d.e", ".d.e"}, Case{"dir/.profile", ".profile"},
                        Case{"d.x\\n", ""}, Case{".", "."}, Case{"", ""}, Case{"/.", "."}}) {
    const char* extension = utl_file_extension(c.path);
    EXPECT_STREQ(extension, c.extension) << c.path;
    // Always a pointer into the caller's text.
    EXPECT_TRUE(extension >= c.path && extension <= c.path + std::strlen(c.path)) << c.path;
  }
}

// Like a real file system, a failed look-up leaves ENOENT in errno.
class MissSetsErrno : public qz::testing::FakeFileSystem {
 public:
  bool Exists(const char* name) override {
    const bool found = FakeFileSystem::Exists(name);
    if (!found) errno = ENOENT;
    return found;
  }
};

class UniqueNameTest : public ::testing::Test {
 protected:
  MissSetsErrno fs_;
  qz::testing::ScopedFileSystem installed_{&fs_};
  char out_[32] = {};
};

TEST_F(UniqueNameTest, CountsThroughTheSuffixAndCarriesIntoTheBase) {
  for (char a = 'A'; a <= 'Z'; ++a) {
    for (char b = 'A'; b <= 'Z'; ++b)
      fs_.Add(std::string("F") + a + b);
  }
  errno = 1234;
  EXPECT_EQ(utl_unique_filename("F", "AA", out_), 0);
  EXPECT_STREQ(out_, "GAA");
  EXPECT_EQ(errno, 1234);
  ASSERT_EQ(fs_.asked.size(), 26u * 26u + 1u);  // the free name is asked about once, last
  EXPECT_EQ(fs_.asked[1], "FAB");
  EXPECT_EQ(fs_.asked[26], "FBA");
}

TEST_F(UniqueNameTest, OtherBytesArePassedOverAndNeverChange) {
  // Digits, dots, lower case and bytes above 127 stay; only A-Z count.
  fs_.Add("F.ZZ");
  EXPECT_EQ(utl_unique_filename("F", ".ZZ", out_), 0);
  EXPECT_STREQ(out_, "G.AA");
  fs_.Add("xA1z\xC1Y");
  EXPECT_EQ(utl_unique_filename("xA", "1z\xC1Y", out_), 0);
  EXPECT_STREQ(out_, "xA1z\xC1Z");
  fs_.Add("xA1z\xC1Z");
  EXPECT_EQ(utl_unique_filename("xA", "1z\xC1Y", out_), 0);
  EXPECT_STREQ(out_,
               "xB1z\xC1"
               "A");
}

TEST_F(UniqueNameTest, ExhaustedCountersAnswerMinusOneWithTheLastNameTried) {
  fs_.Add("9Z");
  EXPECT_EQ(utl_unique_filename("9", "Z", out_), -1);
  EXPECT_STREQ(out_, "9Z");
  fs_.Add("ab1");
  EXPECT_EQ(utl_unique_filename("ab", "1", out_), -1);
  fs_.Add("nZ");
  fs_.Add("nY");
  EXPECT_EQ(utl_unique_filename("n", "Y", out_), -1);
  EXPECT_STREQ(out_, "nZ");
  EXPECT_EQ(fs_.asked.size(), 4u);
}

}  // namespace
