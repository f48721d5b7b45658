// The POSIX backend's program launch (no child left behind) and font search.
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/temp_dir.h"
#include "qzutil/os/osh_system.h"
#include "qzutil/platform/posix/font_search.h"

namespace {

using qz::testing::TempDir;
using qz::testing::WriteFile;
using Strings = std::vector<std::string>;

// Whether the file `path` says "started" within ten seconds.
bool Started(const std::string& path) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (qz::testing::ReadFile(path) != "started\n") {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

TEST(PosixSystem, StartsProgramsWithoutWaitingAndLeavesNoChild) {
  TempDir dir;
  EXPECT_EQ(osh_system(nullptr, ("sh -c \"echo started > '" + (dir / "marker") + "'\"").c_str()),
            0);
  EXPECT_TRUE(Started(dir / "marker"));
  // The program may be named the library's way, with a drive and backslashes.
  std::string script = dir / "run";
  WriteFile(script, "#!/bin/sh\necho started > \"$1\"\n");
  ASSERT_EQ(chmod(script.c_str(), 0755), 0);
  std::replace(script.begin(), script.end(), '/', '\\');
  EXPECT_EQ(osh_system(nullptr, ("C:" + script + " \"" + (dir / "a marker") + "\"").c_str()), 0);
  EXPECT_TRUE(Started(dir / "a marker"));

  // Executable but no format the system runs; missing, a directory, blank.
  WriteFile(dir / "garbage", "\x7f\x01\x02 not a program");
  ASSERT_EQ(chmod((dir / "garbage").c_str(), 0755), 0);
  const int open_before = qz::testing::OpenDescriptorCount();
  for (const std::string& line :
       Strings{dir / "garbage", "qz-no-such-program --flag", dir / "missing", dir.path(), "   "})
    EXPECT_EQ(osh_system(nullptr, line.c_str()), 2) << line;
  EXPECT_EQ(osh_system(nullptr, nullptr), 2);
  EXPECT_EQ(qz::testing::OpenDescriptorCount(), open_before);
  // Every program was handed to the system: nothing is left to reap here.
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

struct FontNames final : qz::platform::FontVisitor {
  bool Visit(const char* folder, const char* name) override {
    return names.push_back(std::string(folder) + "/" + name), true;
  }
  Strings names;
};

TEST(PosixSystem, FontSearchFindsTrueTypeFilesInFoldersAndSubfolders) {
  TempDir dir;
  std::filesystem::create_directory(dir / "sub");
  for (const char* name : {"arial.ttf", "cour.TTC", "readme.txt", "ttf", "sub/deep.ttf"})
    WriteFile(dir / name, "x");
  std::filesystem::create_directory(dir / "folder.ttf");
  FontNames found;
  EXPECT_TRUE(qz::platform::posix::CollectTrueTypeFiles(dir.path().c_str(), found));
  std::sort(found.names.begin(), found.names.end());
  EXPECT_EQ(found.names, (Strings{dir / "arial.ttf", dir / "cour.TTC", dir / "sub/deep.ttf"}));
}

}  // namespace
