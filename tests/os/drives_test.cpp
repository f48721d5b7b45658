// Name resolution across drives, the attribute rules and the reports, on a
// fake drive table.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/fake_os.h"
#include "qzutil/os/osh_files.h"
#include "qzutil/os/osh_io.h"
#include "qzutil/os/report.h"

namespace {

using qz::testing::FakeFileIo;
using qz::testing::FakeFileSystem;
using Strings = std::vector<std::string>;

struct Reported {
  std::int32_t error;
  std::string name;
  std::string source;
};
std::vector<Reported> g_reports;

void Observe(std::int32_t error, const char* name, const char* source, std::int32_t /*line*/) {
  g_reports.push_back({error, name != nullptr ? name : "(null)", source});
}

class DrivesTest : public ::testing::Test {
 protected:
  DrivesTest() {
    g_reports.clear();
    previous_ = qz::os::detail::set_report_observer(&Observe);
    fs_.SetRoots({"a:\\", "A:\\", "b:\\", "C:\\", "D:\\", "E:\\"});
  }
  ~DrivesTest() override { qz::os::detail::set_report_observer(previous_); }

  std::string Resolved(const char* path, unsigned short expected) {
    char out[1024];
    EXPECT_EQ(osh_resolve_path(path, out), expected) << path;
    return out;
  }

  FakeFileSystem fs_;
  FakeFileIo io_;
  qz::testing::ScopedFileSystem installed_fs_{&fs_};
  qz::testing::ScopedFileIo installed_io_{&io_};
  qz::os::detail::ReportObserver previous_ = nullptr;
};

TEST_F(DrivesTest, RootRelativeNamesSearchTheCurrentDriveThenEveryUsableRoot) {
  fs_.Add("D:\\data\\file");
  fs_.Add("E:\\data\\file");
  EXPECT_EQ(Resolved("\\data\\file", 1), "D:\\data\\file");
  // Current drive first; lower-case a and b are skipped, upper-case A is not.
  EXPECT_EQ(fs_.asked,
            (Strings{"C:\\data\\file", "A:\\data\\file", "C:\\data\\file", "D:\\data\\file"}));

  fs_.asked.clear();
  EXPECT_EQ(Resolved("\\data\\new", 0), "\\data\\new");
  EXPECT_EQ(fs_.asked.size(), 5u);

  // Other names are only asked about as they stand.
  fs_.asked.clear();
  fs_.Add("\\\\server\\share\\file");
  EXPECT_EQ(Resolved("\\\\server\\share\\file", 1), "\\\\server\\share\\file");
  EXPECT_EQ(Resolved("\\\\server\\share\\gone", 0), "\\\\server\\share\\gone");
  EXPECT_EQ(Resolved("data\\file", 0), "data\\file");
  EXPECT_EQ(fs_.asked,
            (Strings{"\\\\server\\share\\file", "\\\\server\\share\\gone", "data\\file"}));

  // The current drive need not be C:, and a root list of 1024 characters or
  // more is not searched at all.
  fs_.current_drive = 'E';
  EXPECT_EQ(Resolved("\\data\\file", 1), "E:\\data\\file");
  fs_.current_drive = 'C';
  fs_.SetRoots(Strings(256, "D:\\"));
  fs_.asked.clear();
  EXPECT_EQ(Resolved("\\data\\file", 0), "\\data\\file");
  EXPECT_EQ(fs_.asked, Strings{"C:\\data\\file"});
}

TEST_F(DrivesTest, OpensUseTheResolvedNameAndTheirOwnFlagsAndModes) {
  fs_.Add("D:\\data\\file");
  EXPECT_EQ(osh_open_binary("\\data\\file", 0, 0), 3);
  EXPECT_EQ(osh_open_text("\\data\\new", 0x0101, 0x180), 3);
  for (const char* mode : {"r", "w+", "a", "r+t", "rb"}) {
    std::FILE* stream = osh_fopen_binary("\\data\\file", mode);
    ASSERT_NE(stream, nullptr);
    std::fclose(stream);
  }
  std::FILE* text = osh_fopen_text("\\data\\file", "r+t");
  ASSERT_NE(text, nullptr);
  std::fclose(text);

  ASSERT_EQ(io_.opened.size(), 8u);
  EXPECT_EQ(io_.opened[0].name, "D:\\data\\file");
  EXPECT_EQ(io_.opened[0].flags, 0x8000);
  // A new root-relative name keeps its name, and no text flag is added.
  EXPECT_EQ(io_.opened[1].name, "\\data\\new");
  EXPECT_EQ(io_.opened[1].flags, 0x0101);
  EXPECT_EQ(io_.opened[1].mode, std::to_string(0x180));
  Strings modes;
  for (std::size_t i = 2; i < io_.opened.size(); ++i)
    modes.push_back(io_.opened[i].mode);
  EXPECT_EQ(modes, (Strings{"rb", "wb+", "ab", "rb+", "rbb", "r+t"}));

  // The new name was reported as not found, with the source name.
  ASSERT_EQ(g_reports.size(), 1u);
  EXPECT_EQ(g_reports[0].name, "\\data\\new");
  EXPECT_EQ(g_reports[0].source, "wosh_snk0");
}

TEST_F(DrivesTest, NamesThatDoNotFitTheBufferAreRefusedBeforeAnyCall) {
  const std::string longest(1023, 'x');
  const std::string too_long(1024, 'x');
  EXPECT_EQ(Resolved(longest.c_str(), 0), longest);
  EXPECT_EQ(Resolved(too_long.c_str(), 0), "");
  EXPECT_EQ(Resolved(nullptr, 0), "");
  // Root-relative: "C:" would push the candidate past the buffer.
  EXPECT_EQ(Resolved(("\\" + longest.substr(1)).c_str(), 0), "\\" + longest.substr(1));

  const std::size_t asked = fs_.asked.size();
  EXPECT_LT(osh_open_binary(too_long.c_str(), 0x0101, 0x180), 0);
  EXPECT_EQ(osh_fopen_text(too_long.c_str(), "w"), nullptr);
  EXPECT_EQ(osh_file_exists(too_long.c_str()), 0);
  EXPECT_EQ(osh_unlink(too_long.c_str()), 1);
  EXPECT_TRUE(io_.opened.empty());
  EXPECT_EQ(fs_.asked.size(), asked);
  char out[1024] = "unchanged";
  EXPECT_EQ(osh_alternate_pathname(too_long.c_str(), out), -1);
  EXPECT_STREQ(out, "");
}

TEST_F(DrivesTest, ModeWordsAccessAndWritePermissionFollowTheAttributes) {
  fs_.Add("D:\\rw");
  fs_.Add("D:\\ro", qz::platform::kAttributeReadOnly);
  fs_.Add("D:\\dir", qz::platform::kAttributeDirectory);
  unsigned short mode = 0;
  EXPECT_EQ(osh_inquire_file("\\rw", &mode), 1);
  EXPECT_EQ(mode, 0x05FF);
  EXPECT_EQ(osh_inquire_file("\\ro", &mode), 1);
  EXPECT_EQ(mode, 0x056D);
  EXPECT_EQ(osh_inquire_file("\\dir", &mode), 1);
  EXPECT_EQ(mode, 0x11FF);
  mode = 7;
  EXPECT_EQ(osh_inquire_file("\\missing", &mode), 0);
  EXPECT_EQ(mode, 7);

  EXPECT_EQ(osh_file_access("\\ro", 4), 1);
  EXPECT_EQ(osh_file_access("\\ro", 2), 0);
  EXPECT_EQ(osh_file_access("\\ro", 6), 0);
  EXPECT_EQ(osh_file_access("\\rw", 2), 1);

  // Any of the three write bits makes the entry writable.
  EXPECT_EQ(osh_chmod("\\rw", 0x124), 1);
  EXPECT_EQ(fs_.Attributes("D:\\rw"), 0x81u);
  EXPECT_EQ(osh_chmod("\\rw", 0x010), 1);
  EXPECT_EQ(fs_.Attributes("D:\\rw"), 0x80u);
  EXPECT_TRUE(g_reports.empty());
  EXPECT_EQ(osh_chmod("\\missing", 0x1B6), 0);
  EXPECT_EQ(g_reports.size(), 1u);
}

TEST_F(DrivesTest, FailuresReportWithTheRightErrorAndName) {
  fs_.Add("D:\\old");
  EXPECT_EQ(osh_unlink("\\gone"), 1);
  EXPECT_EQ(osh_unlink("\\old"), 0);
  EXPECT_EQ(osh_file_exists("\\old"), 0);
  fs_.Add("D:\\old");
  // The move fails in the fake: reported with the old name for error 2,
  // with the new name otherwise.
  EXPECT_EQ(osh_rename("\\old", "new"), -1);
  fs_.last_error = 5;
  EXPECT_EQ(osh_rename("\\old", "new"), -1);
  EXPECT_EQ(osh_rename("\\gone", "new"), -1);  // not found, error not 2: silent
  io_.write_result = 2;
  EXPECT_EQ(osh_write(3, "abc", 3), -1);

  ASSERT_EQ(g_reports.size(), 4u);
  EXPECT_EQ(g_reports[0].name, "\\gone");
  EXPECT_EQ(g_reports[1].name, "D:\\old");
  EXPECT_EQ(g_reports[2].name, "new");
  EXPECT_EQ(g_reports[2].error, 5);
  EXPECT_EQ(g_reports[3].name, "(null)");
  for (const Reported& report : g_reports)
    EXPECT_EQ(report.source, "wosh_snk0");
}

}  // namespace
