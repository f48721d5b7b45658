// Name resolution across drives, attribute rules and reports on a fake drive table.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "platform/fake_os.h"
#include "qzutil/os/osh_files.h"
#include "qzutil/os/osh_io.h"
#include "qzutil/os/report.h"

namespace {

using Strings = std::vector<std::string>;

Strings g_reports;  // "error name source" of every report

void Observe(std::int32_t error, const char* name, const char* source, std::int32_t /*line*/) {
  g_reports.push_back(std::to_string(error) + ' ' + (name != nullptr ? name : "(null)") + ' ' +
                      source);
}

class DrivesTest : public ::testing::Test {
 protected:
  DrivesTest() {
    g_reports.clear();
    os_.roots = {"a:\\", "A:\\", "b:\\", "C:\\", "D:\\", "E:\\"};
  }
  ~DrivesTest() override { qz::os::detail::set_report_observer(previous_); }

  std::string Resolved(const char* path, unsigned short expected) {
    char out[1024];
    EXPECT_EQ(osh_resolve_path(path, out), expected) << path;
    return out;
  }

  qz::testing::FakeOs os_;
  qz::os::detail::ReportObserver previous_ = qz::os::detail::set_report_observer(&Observe);
};

TEST_F(DrivesTest, RootRelativeNamesSearchTheCurrentDriveThenEveryUsableRoot) {
  os_.Add("D:\\data\\file");
  os_.Add("E:\\data\\file");
  EXPECT_EQ(Resolved("\\data\\file", 1), "D:\\data\\file");
  // Current drive first; lower-case a and b are skipped, upper-case A is not.
  EXPECT_EQ(os_.asked,
            (Strings{"C:\\data\\file", "A:\\data\\file", "C:\\data\\file", "D:\\data\\file"}));

  os_.asked.clear();
  EXPECT_EQ(Resolved("\\data\\new", 0), "\\data\\new");
  EXPECT_EQ(os_.asked.size(), 5u);

  // Other names are only asked about as they stand.
  os_.asked.clear();
  os_.Add("\\\\server\\share\\file");
  EXPECT_EQ(Resolved("\\\\server\\share\\file", 1), "\\\\server\\share\\file");
  EXPECT_EQ(Resolved("\\\\server\\share\\gone", 0), "\\\\server\\share\\gone");
  EXPECT_EQ(Resolved("data\\file", 0), "data\\file");
  EXPECT_EQ(os_.asked,
            (Strings{"\\\\server\\share\\file", "\\\\server\\share\\gone", "data\\file"}));

  // The current drive need not be C:, and a root list of 1024 characters or
  // more is not searched at all.
  os_.current_drive = 'E';
  EXPECT_EQ(Resolved("\\data\\file", 1), "E:\\data\\file");
  os_.current_drive = 'C';
  os_.roots = Strings(256, "D:\\");
  os_.asked.clear();
  EXPECT_EQ(Resolved("\\data\\file", 0), "\\data\\file");
  EXPECT_EQ(os_.asked, Strings{"C:\\data\\file"});
}

TEST_F(DrivesTest, OpensUseTheResolvedNameAndTheirOwnFlagsAndModes) {
  os_.Add("D:\\data\\file");
  EXPECT_EQ(osh_open_binary("\\data\\file", 0, 0), 3);
  EXPECT_EQ(osh_open_text("\\data\\new", 0x0101, 0x180), 3);
  for (const char* mode : {"r", "w+", "a", "r+t", "rb"})
    EXPECT_EQ(osh_fopen_binary("\\data\\file", mode), os_.stream);
  EXPECT_EQ(osh_fopen_text("\\data\\file", "r+t"), os_.stream);
  // Binary opens add 0x8000; a new root-relative name keeps its name and
  // gets no text flag; "b" goes second and a third mode character is dropped.
  EXPECT_EQ(os_.opened,
            (Strings{"D:\\data\\file 32768 0", "\\data\\new 257 384", "D:\\data\\file rb",
                     "D:\\data\\file wb+", "D:\\data\\file ab", "D:\\data\\file rb+",
                     "D:\\data\\file rbb", "D:\\data\\file r+t"}));
  // The new name was reported as not found, with the source name.
  EXPECT_EQ(g_reports, Strings{"2 \\data\\new wosh_snk0"});
}

TEST_F(DrivesTest, NamesThatDoNotFitTheBufferAreRefusedBeforeAnyCall) {
  const std::string longest(1023, 'x');
  const std::string too_long(1024, 'x');
  EXPECT_EQ(Resolved(longest.c_str(), 0), longest);
  EXPECT_EQ(Resolved(too_long.c_str(), 0), "");
  EXPECT_EQ(Resolved(nullptr, 0), "");
  // Root-relative: "C:" would push the candidate past the buffer.
  const std::string rooted = std::string(1, '\\').append(longest, 1);
  EXPECT_EQ(Resolved(rooted.c_str(), 0), rooted);

  const std::size_t asked = os_.asked.size();
  EXPECT_LT(osh_open_binary(too_long.c_str(), 0x0101, 0x180), 0);
  EXPECT_EQ(osh_fopen_text(too_long.c_str(), "w"), nullptr);
  EXPECT_EQ(osh_file_exists(too_long.c_str()), 0);
  EXPECT_EQ(osh_unlink(too_long.c_str()), 1);
  EXPECT_TRUE(os_.opened.empty() && os_.asked.size() == asked);
  char out[1024] = "unchanged";
  EXPECT_EQ(osh_alternate_pathname(too_long.c_str(), out), -1);
  EXPECT_STREQ(out, "");
}

TEST_F(DrivesTest, ModeWordsAccessAndWritePermissionFollowTheAttributes) {
  os_.Add("D:\\rw");
  os_.Add("D:\\ro", qz::platform::kAttributeReadOnly);
  os_.Add("D:\\dir", qz::platform::kAttributeDirectory);
  // A missing entry leaves the mode word alone.
  const std::tuple<const char*, int, int> modes[] = {
      {"\\rw", 1, 0x05FF}, {"\\ro", 1, 0x056D}, {"\\dir", 1, 0x11FF}, {"\\missing", 0, 7}};
  for (auto [name, found, word] : modes) {
    unsigned short mode = 7;
    EXPECT_EQ(osh_inquire_file(name, &mode), found) << name;
    EXPECT_EQ(mode, word) << name;
  }
  // Access bit 2 asks for writing, which a read-only entry refuses.
  const std::tuple<const char*, int, int> access[] = {
      {"\\ro", 4, 1}, {"\\ro", 2, 0}, {"\\ro", 6, 0}, {"\\rw", 2, 1}, {"\\missing", 4, 0}};
  for (auto [name, bits, answer] : access)
    EXPECT_EQ(osh_file_access(name, bits), answer) << name << ' ' << bits;
  // Any of the three write bits makes the entry writable.
  EXPECT_EQ(osh_chmod("\\rw", 0x124), 1);
  EXPECT_EQ(os_.Attributes("D:\\rw"), 0x81u);
  EXPECT_EQ(osh_chmod("\\rw", 0x010), 1);
  EXPECT_EQ(os_.Attributes("D:\\rw"), 0x80u);
  EXPECT_TRUE(g_reports.empty());
}

TEST_F(DrivesTest, FailuresReportWithTheRightErrorAndName) {
  os_.Add("D:\\old");
  EXPECT_EQ(osh_unlink("\\gone"), 1);
  EXPECT_EQ(osh_unlink("\\old"), 0);
  EXPECT_EQ(osh_file_exists("\\old"), 0);
  os_.Add("D:\\old");
  // The move fails in the fake: reported with the old name for error 2,
  // with the new name otherwise.
  EXPECT_EQ(osh_rename("\\old", "new"), -1);
  os_.last_error = 5;
  EXPECT_EQ(osh_rename("\\old", "new"), -1);
  EXPECT_EQ(osh_rename("\\gone", "new"), -1);  // not found, error not 2: silent
  EXPECT_EQ(osh_chmod("\\gone", 0x1B6), 0);
  os_.write_result = 2;
  EXPECT_EQ(osh_write(3, "abc", 3), -1);
  EXPECT_EQ(g_reports, (Strings{"2 \\gone wosh_snk0", "2 D:\\old wosh_snk0", "5 new wosh_snk0",
                                "5 \\gone wosh_snk0", "5 (null) wosh_snk0"}));
}

}  // namespace
