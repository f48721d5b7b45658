// Each scenario runs in a fresh child process (the facility starts once per
// process) in its own directory; the trace file is compared byte for byte.
// "TRC.INI" lies where a bare name is looked up: the working directory on
// POSIX, the Windows directory on Windows (where lines end with CR LF).
#include "qzutil/trace/trace.h"

#if defined(_WIN32)
#include <windows.h>
#endif

#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sstream>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "platform/temp_dir.h"

namespace {

using Names = std::set<std::string>;
const std::string kTitle = "############ Used Resource Report #############\n";
const std::string kRule = "###############################################\n";

// `text` as a text-mode stream of this platform writes it.
std::string TextMode(std::string text) {
#if defined(_WIN32)
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
    text.insert(at, 1, '\r');
#endif
  return text;
}

class Trace : public ::testing::Test {
 protected:
  // The child is the program started anew and finds dir_ in the environment.
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
  ~Trace() override { std::remove(Settings().c_str()); }
  // On Windows the tests of this suite take turns (a lock in tests/CMakeLists.txt).
  std::string Settings() const {
#if defined(_WIN32)
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\TRC.INI";
#else
    return dir_ / "TRC.INI";
#endif
  }
  void WriteSettings(const std::string& text) const {
    qz::testing::WriteFile(Settings(), text);
  }
  // The files of the test's directory, without the settings file.
  Names Written() const {
    Names names = dir_.Names();
    names.erase("TRC.INI");
    return names;
  }

  void Run(const std::function<int()>& body) {
    before_ = std::time(nullptr);
    EXPECT_EXIT((std::filesystem::current_path(dir_.path()), std::exit(body())),
                ::testing::ExitedWithCode(0), "");
    after_ = std::time(nullptr);
  }

  // Expects `prefix`, then the header stamped with a second of the run and
  // `body`, both in text mode.
  void ExpectTrace(const std::string& name, const std::string& body,
                   const std::string& prefix = "") {
    const std::string actual = dir_.Read(name);
    std::string header = "<a header stamped with a second of the run>\n";
    for (std::time_t t = before_; t <= after_; ++t) {
      const std::string stamped = std::string("########## Trace Run at ") + std::ctime(&t);
      if (actual.compare(prefix.size(), TextMode(stamped).size(), TextMode(stamped)) == 0)
        header = stamped;
    }
    EXPECT_EQ(actual, prefix + TextMode(header + body));
  }

  qz::testing::TempDir dir_{"QZ_TRACE_TEST_DIR"};
  std::time_t before_ = 0, after_ = 0;
};

// Without settings, or without a file bit (31: every kind of line), or with a
// file that cannot be opened (its folder is missing), every line is lost and
// a second trcStart says so.
TEST_F(Trace, WritesNothingWithoutSettingsAFileBitOrAFileToOpen) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {0, nullptr}, {31, "Trace=31\nTraceFile=out.trc\n"}, {41, "Trace=41\nTraceFile=no\\t.trc\n"}};
  for (const auto& [flags, settings] : cases) {
    if (settings != nullptr) WriteSettings(std::string("[Internal]\n") + settings);
    Run([flags = flags] {
      const bool unread = trcActivated == 1;
      trcFncBegin("enter %s", "draw");
      trcPrint("view", 12, "n=%d", 3);
      trcUsedResource("view", 13, "pen", 0);
      trcFreedResource("view", 14, "pen", 1);
      trcReportResources();
      trcFncEnd("view", 15, "leave");
      const bool read = trcActivated == flags;
      return unread && read && trcStart(nullptr) == (flags != 0 ? -1 : 0) ? 0 : 1;
    });
    EXPECT_EQ(Written(), Names{});
  }
}

TEST_F(Trace, KeptOpenFileIsEmptiedIndentedCutAndUnbuffered) {
  WriteSettings("[Internal]\nTrace=41\n");
  dir_.Write("TRC.TRC", "from an earlier run\n");
  Run([]() -> int {
    trcFncBegin("enter %s", "draw");
    trcPrint("view", 12, "n=%d", 3);
    trcFncBegin("%s %" PRIdPTR " %lld %.2f", "wide", INTPTR_MIN, -0x123456789LL, 2.5);
    trcFncEnd("view", 20, "leave %s", "wide");
    trcFncEnd(nullptr, 0, "leave");
    trcFncEnd("view", 30, "unmatched");
    trcPrint(nullptr, 0, "%s", std::string(1021, 'a').c_str());  // exactly fills the buffer
    trcPrint(nullptr, 0, "%s", std::string(1022, 'b').c_str());
    trcPrint("view", 12, "%s", std::string(1015, 'c').c_str());
    trcUsedResource("view", 40, "pen", 1);  // resource bits are off
    trcReportResources();
    for (int i = 0; i < 1030; ++i)  // indentation deeper than the line is cut too
      trcFncBegin("f%d", i);
    std::_Exit(0);  // no exit handlers: the file must already hold every line
  });
  std::string deep;  // cut to 1022 characters
  for (int i = 0; i < 1030; ++i)
    deep += (std::string(i, ' ') + ">f" + std::to_string(i)).substr(0, 1022) + "\n";
  ExpectTrace("TRC.TRC", ">enter draw\n .n=3  [view,12]\n >wide " + std::to_string(INTPTR_MIN) +
                             " -4886718345 2.50\n <leave wide  [view,20]\n<leave\n"
                             "<unmatched  [view,30]\n." +
                             std::string(1021, 'a') + "\n." + std::string(1021, 'b') + "\n." +
                             std::string(1015, 'c') + "  [vie\n" + deep);
}

TEST_F(Trace, AppendsResourceLinesWarningsAndReports) {
  // Append wins over keep: the earlier contents stay.
  WriteSettings("[internal]\r\n trace = 118 \r\nTraceFile = res.log\r\n");
  dir_.Write("res.log", "kept\n");
  Run([] {
    trcUsedResource("a.c", 1, "pen", 0x1f);
    trcUsedResource("a.c", 2, "pen", 0x1f);
    trcUsedResource(nullptr, 0, "Pen", 0);
    trcUsedResource("a.c", 4, "dc", -1);
    trcReportResources();
    for (int i = 5; i < 8; ++i)
      trcFreedResource("b.c", i, "pen", 0x1f);
    trcFreedResource("b.c", 8, "dc", 0x1f);
    trcUsedResource(nullptr, 0, "font", 7);  // reuses the first freed record
    trcReportResources();
    return 0;
  });
  const std::string rest = "Resource Pen: 0 in 1 use\nResource dc: ffffffff in 1 use\n" + kRule;
  const std::string no_match = "*** No matching resource use found  [b.c,";
  ExpectTrace("res.log",
              "+Used  resource pen: 1f  [a.c,1]\n+Used  resource pen: 1f  [a.c,2]\n"
              "*** Resource used again:  [a.c,2]\n+Used  resource Pen: 0\n*** Resource Pen is 0\n"
              "+Used  resource dc: ffffffff  [a.c,4]\n" +
                  kTitle + "Resource pen: 1f in 2 use\n" + rest +
                  "-Freed resource pen: 1f  [b.c,5]\n-Freed resource pen: 1f  [b.c,6]\n"
                  "-Freed resource pen: 1f  [b.c,7]\n" +
                  no_match + "7]\n-Freed resource dc: 1f  [b.c,8]\n" + no_match +
                  "8]\n+Used  resource font: 7\n" + kTitle + "Resource font: 7 in 1 use\n" + rest,
              "kept\n");
}

TEST_F(Trace, ResourceTableHoldsFiveHundredRecords) {
  WriteSettings("[Internal]\nTrace=38\n");  // no warning for 0 without bit 16
  Run([] {
    for (int i = 0; i <= 500; ++i)
      trcUsedResource(nullptr, 0, "h", i);
    trcFreedResource(nullptr, 0, "h", 500);  // the overflowing use was not recorded
    trcFreedResource(nullptr, 0, "h", 3);
    trcUsedResource(nullptr, 0, "h", 0x600);
    trcReportResources();
    return 0;
  });
  std::ostringstream uses, report;
  for (int i = 0; i <= 500; ++i) {
    uses << "+Used  resource h: " << std::hex << i << "\n";
    if (i < 500) report << "Resource h: " << std::hex << (i == 3 ? 0x600 : i) << " in 1 use\n";
  }
  ExpectTrace("TRC.TRC", uses.str() +
                             "*** Resource list overflow\n-Freed resource h: 1f4\n*** No matching "
                             "resource use found\n-Freed resource h: 3\n+Used  resource h: 600\n" +
                             kTitle + report.str() + kRule);
}

TEST_F(Trace, CallerKeyNamesFlagWordAndFile) {
  // The file name is read the library's way: a backslash separates folders.
  WriteSettings("[Internal]\nTrace=0\nTraceFile=wrong.trc\nView=41\nViewFile=log\\v.trc\n");
  std::filesystem::create_directory(dir_ / "log");
  Run([] {
    const std::int32_t first = trcStart("View");
    trcFncBegin("enter %s", "draw");
    const std::int32_t again = trcStart("View");  // opens the file anew, keeps the depth
    trcPrint("view", 12, "n=%d", 3);
    return first == 49 && again == 49 && trcActivated == 41 ? 0 : 1;
  });
  ExpectTrace("log/v.trc", " .n=3  [view,12]\n");
  EXPECT_EQ(Written(), Names{"log"});
}

}  // namespace
