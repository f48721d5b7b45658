// The Win32 backend on the real system calls (under Wine in CI).
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "platform/temp_dir.h"
#include "qzutil/os/osh_files.h"
#include "qzutil/os/osh_io.h"
#include "qzutil/os/osh_system.h"
#include "qzutil/platform/file_system.h"
#include "qzutil/platform/profile.h"

namespace {

using qz::testing::ReadFile;
using qz::testing::TempDir;
using qz::testing::WriteFile;

std::string WindowsDirectory() {
  char folder[MAX_PATH] = {};
  ::GetWindowsDirectoryA(folder, MAX_PATH);
  return folder;
}

// Changes the working directory for the lifetime of the object.
class ScopedWorkingDir {
 public:
  explicit ScopedWorkingDir(const std::string& folder) {
    ::GetCurrentDirectoryA(MAX_PATH, previous_);
    EXPECT_NE(::SetCurrentDirectoryA(folder.c_str()), FALSE) << folder;
  }
  ~ScopedWorkingDir() { ::SetCurrentDirectoryA(previous_); }
  ScopedWorkingDir(const ScopedWorkingDir&) = delete;
  ScopedWorkingDir& operator=(const ScopedWorkingDir&) = delete;

 private:
  char previous_[MAX_PATH] = {};
};

// Writes into the Windows directory: a lock in tests/CMakeLists.txt keeps
// the trace suite out meanwhile.
TEST(Win32Profile, BareSettingsFileIsReadFromTheWindowsDirectory) {
  const std::string settings = WindowsDirectory() + "\\TRC.INI";
  WriteFile(settings, "[Internal]\r\nTrace = 41\r\nTraceFile=\"log\\v.trc\"\r\n");
  TempDir dir;
  dir.Write("TRC.INI", "[Internal]\r\nTrace=7\r\n");  // not where Windows looks
  {
    ScopedWorkingDir here(dir.path());
    qz::platform::Profile& profile = qz::platform::native_profile();
    EXPECT_EQ(profile.GetInt("TRC.INI", "internal", "TRACE", -1), 41);
    char out[64] = "#";
    EXPECT_EQ(profile.GetString("TRC.INI", "Internal", "TraceFile", "TRC.TRC", out, sizeof out),
              9u);
    EXPECT_STREQ(out, "log\\v.trc");
    EXPECT_EQ(profile.GetString("TRC.INI", "Internal", "None", "TRC.TRC", out, sizeof out), 7u);
    EXPECT_STREQ(out, "TRC.TRC");
    // A full name reaches the working directory's file.
    EXPECT_EQ(profile.GetInt((dir / "TRC.INI").c_str(), "Internal", "Trace", -1), 7);
  }
  std::remove(settings.c_str());
}

TEST(Win32Files, RootRelativeNamesAreFoundOnAnyDrive) {
  // Wine puts the temporary folder on C: and the build on Z: (the Unix root).
  TempDir dir;
  dir.Write("on_c.txt", "c");
  ASSERT_EQ(std::toupper(static_cast<unsigned char>(dir.path()[0])), 'C') << dir.path();
  const std::string rooted = (dir / "on_c.txt").substr(2);  // "\users\...\on_c.txt"
  char out[1024];
  {
    ScopedWorkingDir on_z("Z:\\");
    EXPECT_EQ(osh_resolve_path(rooted.c_str(), out), 1);
    EXPECT_STREQ(out, (dir / "on_c.txt").c_str());
    EXPECT_EQ(osh_file_exists(rooted.c_str()), 1);
  }
  char program[MAX_PATH] = {};
  ASSERT_GT(::GetModuleFileNameA(nullptr, program, MAX_PATH), 2u);
  if (std::toupper(static_cast<unsigned char>(program[0])) == 'Z') {
    ScopedWorkingDir on_c(dir.path());
    EXPECT_EQ(osh_resolve_path(program + 2, out), 1);
    EXPECT_STREQ(out, program);
  }
  EXPECT_EQ(osh_resolve_path("\\qz\\nowhere\\at.all", out), 0);
  EXPECT_STREQ(out, "\\qz\\nowhere\\at.all");
}

TEST(Win32Files, MoveDeleteAndCopyRefuseWhatWindowsRefuses) {
  TempDir dir;
  dir.Write("a", "a");
  dir.Write("b", "b");
  qz::platform::FileSystem& fs = qz::platform::native_file_system();
  // MoveFileA does not replace an existing destination.
  EXPECT_FALSE(fs.MoveTo((dir / "a").c_str(), (dir / "b").c_str()));
  EXPECT_EQ(fs.LastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(osh_rename((dir / "a").c_str(), (dir / "b").c_str()), -1);
  EXPECT_EQ(dir.Read("b"), "b");

  // DeleteFileA refuses a read-only file; osh_chmod makes it writable again.
  EXPECT_EQ(osh_chmod((dir / "b").c_str(), 0x124), 1);
  EXPECT_FALSE(fs.DeleteName((dir / "b").c_str()));
  EXPECT_EQ(fs.LastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(osh_unlink((dir / "b").c_str()), 1);

  // CopyFileA refuses to replace a read-only destination.
  EXPECT_FALSE(fs.CopyReplacing((dir / "a").c_str(), (dir / "b").c_str()));
  EXPECT_EQ(osh_copyfile((dir / "b").c_str(), (dir / "a").c_str()), 0);
  EXPECT_EQ(dir.Read("b"), "b");

  EXPECT_EQ(osh_chmod((dir / "b").c_str(), 0x1B6), 1);
  EXPECT_EQ(osh_copyfile((dir / "b").c_str(), (dir / "a").c_str()), 1);
  EXPECT_EQ(dir.Read("b"), "a");
  EXPECT_EQ(osh_unlink((dir / "b").c_str()), 0);
  EXPECT_EQ(osh_rename((dir / "a").c_str(), (dir / "b").c_str()), 0);
  EXPECT_EQ(dir.Names(), std::set<std::string>{"b"});
}

TEST(Win32Files, FullNamesComeInLocalMemoryAndLongNamesHaveShortForms) {
  TempDir dir;
  ScopedWorkingDir here(dir.path());
  char* full = osh_find_exec_path("not\\here\\..\\there");
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(std::string(full), dir / "not\\there");
  EXPECT_NE(::LocalSize(full), 0u);  // a LocalAlloc block
  EXPECT_EQ(::LocalFree(full), nullptr);

  const std::string long_name = dir / "a rather long file name.text";
  WriteFile(long_name, "long");
  char out[1024];
  EXPECT_EQ(osh_alternate_pathname(long_name.c_str(), out), 1);
  const std::string leaf = std::filesystem::path(out).filename().string();  // 8.3, a tilde
  const std::size_t dot = leaf.find('.');
  EXPECT_TRUE(leaf.find('~') != std::string::npos && dot <= 8 && leaf.size() - dot <= 4) << leaf;
  EXPECT_EQ(ReadFile(out), "long");
  // A name that is short all along is its own short form.
  const std::string already_short = WindowsDirectory() + "\\win.ini";
  EXPECT_EQ(osh_alternate_pathname(already_short.c_str(), out), 0);
  EXPECT_EQ(out, already_short);
  EXPECT_EQ(osh_alternate_pathname((dir / "missing.txt").c_str(), out), -1);
}

TEST(Win32System, WinExecStartsPresentProgramsAndReportsMissingOnes) {
  TempDir dir;
  for (const std::string& missing : {std::string("qz-no-such-program.exe /x"), dir / "missing.exe"})
    EXPECT_EQ(osh_system(nullptr, missing.c_str()), 2) << missing;
  const std::string marker = dir / "marker";
  EXPECT_EQ(osh_system(nullptr, ("cmd.exe /c echo started> \"" + marker + "\"").c_str()), 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (ReadFile(marker) != "started\r\n" && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(ReadFile(marker), "started\r\n");
  // Let the program end before its folder is removed.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

TEST(Win32System, FontListMatchesTrueTypeNamesTheWindowsWay) {
  char fonts[MAX_PATH] = {};
  using Query = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      ::GetProcAddress(::LoadLibraryA("SHELL32.DLL"), "SHGetSpecialFolderPathA")));
  ASSERT_NE(query, nullptr);
  ASSERT_NE(query(nullptr, fonts, 20, TRUE), FALSE);
  const std::string folder = fonts;
  std::filesystem::create_directories(folder);
  // Case does not count; "?" stands for one character.
  const char* const made[] = {"qz_a.ttf", "qz_b.TTC", "qz_c.TtF",
                              "qz_d.txt", "qz_e.t",   "qz_f.ttc.bak"};
  for (const char* name : made)
    WriteFile(folder + "\\" + name, "x");
  char** list = osh_GetFontFileList();
  ASSERT_NE(list, nullptr);
  std::set<std::string> ours;
  for (char** entry = list; *entry != nullptr; ++entry) {
    const std::string name = *entry;
    EXPECT_EQ(name.rfind(folder + "\\", 0), 0u) << name;
    if (name.find("\\qz_") != std::string::npos) ours.insert(name.substr(folder.size() + 1));
  }
  osh_FreeFontFileList(&list);
  EXPECT_EQ(list, nullptr);
  for (const char* name : made)
    std::remove((folder + "\\" + name).c_str());
  EXPECT_EQ(ours, (std::set<std::string>{"qz_a.ttf", "qz_b.TTC", "qz_c.TtF"}));
}

TEST(Win32System, TimeStampIsTheLocalClock) {
  char stamp[16] = {};
  char expected[16] = "unread";
  for (int attempt = 0; attempt < 3 && std::strcmp(stamp, expected) != 0; ++attempt) {
    const std::time_t now = std::time(nullptr);  // the second may turn between the reads
    ASSERT_EQ(osh_get_time_stamp(stamp), 13);
    std::strftime(expected, sizeof expected, "%y%m%d.%H%M%S", std::localtime(&now));
  }
  EXPECT_STREQ(stamp, expected);
}

TEST(Win32Streams, TextModeWritesCarriageReturnLineFeed) {
  TempDir dir;
  for (auto* open : {&osh_fopen_text, &osh_fopen_binary}) {
    std::FILE* out = open((dir / "s").c_str(), "w");
    ASSERT_NE(out, nullptr);
    osh_fputs("a\nb\n", out);
    EXPECT_EQ(osh_fclose(out), 0);
    EXPECT_EQ(dir.Read("s"), open == &osh_fopen_text ? "a\r\nb\r\n" : "a\nb\n");
  }

  // Descriptors: the text open keeps the runtime's text mode, the binary
  // open adds the binary flag; reading in text mode gives the line feed back.
  const short fd = osh_open_text((dir / "fd").c_str(), 0x0101, 0x180);  // write, create
  ASSERT_GE(fd, 0);
  EXPECT_EQ(osh_write(fd, "x\n", 2), 2);
  EXPECT_EQ(osh_close(fd), 0);
  EXPECT_EQ(dir.Read("fd"), "x\r\n");
  const short in = osh_open_text((dir / "fd").c_str(), 0, 0);
  char got[4] = {};
  EXPECT_EQ(osh_read(in, got, 4), 2);
  EXPECT_EQ(std::string(got, 2), "x\n");
  EXPECT_EQ(osh_close(in), 0);
  const short raw = osh_open_binary((dir / "fd").c_str(), 0, 0);
  EXPECT_EQ(osh_read(raw, got, 4), 3);
  EXPECT_EQ(osh_close(raw), 0);
}

}  // namespace
