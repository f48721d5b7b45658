// Whole-file services and names on real files through the POSIX backend.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/temp_dir.h"
#include "qzutil/os/osh_files.h"
#include "qzutil/os/osh_io.h"

namespace {

using qz::testing::OpenDescriptorCount;
using qz::testing::ReadFile;
using qz::testing::TempDir;
using qz::testing::WriteFile;

// "/tmp/x/y" as the library's root-relative and drive forms.
std::string Backslashed(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

mode_t PermissionsOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 0777;
}

TEST(PosixFiles, CopyAndCatMoveWholeFilesAndCloseEveryDescriptor) {
  TempDir dir;
  std::string big(5000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i)
    big[i] = static_cast<char>(i * 7);
  WriteFile(dir / "src", big);
  WriteFile(dir / "dst", "old contents that are longer");
  const int open_before = OpenDescriptorCount();

  EXPECT_NE(osh_copyfile((dir / "dst").c_str(), (dir / "src").c_str()), 0);
  EXPECT_EQ(ReadFile(dir / "dst"), big);
  // A copy onto the source itself, under either form of its name, fails
  // and leaves it whole.
  EXPECT_EQ(osh_copyfile(Backslashed(dir / "dst").c_str(), (dir / "dst").c_str()), 0);
  EXPECT_EQ(ReadFile(dir / "dst"), big);
  EXPECT_EQ(osh_copyfile((dir / "copy").c_str(), (dir / "missing").c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "copy"));

  // A missing destination is created for the owner; an existing one grows.
  EXPECT_EQ(osh_cat((dir / "cat").c_str(), Backslashed(dir / "src").c_str()), 1);
  EXPECT_EQ(PermissionsOf(dir / "cat"), 0600u);
  EXPECT_EQ(osh_cat((dir / "cat").c_str(), (dir / "src").c_str()), 1);
  EXPECT_EQ(ReadFile(dir / "cat"), big + big);

  // Failures: missing source, destination that cannot be opened, write error.
  EXPECT_EQ(osh_cat((dir / "cat").c_str(), (dir / "missing").c_str()), 0);
  EXPECT_EQ(osh_cat(dir.path().c_str(), (dir / "src").c_str()), 0);
  if (access("/dev/full", W_OK) == 0) {
    EXPECT_EQ(osh_cat("/dev/full", (dir / "src").c_str()), 0);
  }
  EXPECT_EQ(OpenDescriptorCount(), open_before);
}

TEST(PosixFiles, ExistenceSizesAndNamesOfRealEntries) {
  TempDir dir;
  WriteFile(dir / "five", "12345");
  EXPECT_EQ(osh_file_exists(dir.path().c_str()), 1);
  EXPECT_EQ(osh_file_exists((dir / "five").c_str()), 1);
  EXPECT_EQ(osh_file_exists(Backslashed(dir / "five").c_str()), 1);
  EXPECT_EQ(osh_file_exists(("c:" + Backslashed(dir / "five")).c_str()), 1);
  EXPECT_EQ(osh_file_exists((dir / "none").c_str()), 0);
  EXPECT_EQ(osh_file_exists(nullptr), 0);

  EXPECT_EQ(osh_filesize((dir / "five").c_str()), 5);
  EXPECT_EQ(osh_filesize((dir / "none").c_str()), -1);
  EXPECT_EQ(osh_filesize(dir.path().c_str()), -1);
  const int open_before = OpenDescriptorCount();
  const short fd = osh_open_binary((dir / "five").c_str(), 0, 0);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(osh_fdfilesize(fd), 5);
  EXPECT_EQ(osh_close(fd), 0);
  EXPECT_EQ(OpenDescriptorCount(), open_before);
  EXPECT_EQ(osh_fdfilesize(fd), -1);

  char buffer[1024];
  ASSERT_EQ(osh_get_working_dir(buffer), 1);
  const std::string cwd = buffer;
  EXPECT_EQ(cwd, std::filesystem::current_path().string());
  char* full = osh_find_exec_path("not\\here/../there");
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(std::string(full), cwd + "/not/there");
  std::free(full);

  // No short names: an existing name is its own short form.
  EXPECT_EQ(osh_alternate_pathname((dir / "five").c_str(), buffer), 0);
  EXPECT_EQ(std::string(buffer), dir / "five");
  EXPECT_EQ(osh_alternate_pathname((dir / "none").c_str(), buffer), -1);
  EXPECT_EQ(std::string(buffer), dir / "none");
}

TEST(PosixFiles, DirectoriesRenamingRemovalAndWritePermission) {
  TempDir dir;
  const std::string sub = dir / "sub";
  EXPECT_EQ(osh_mkdir(sub.c_str()), 1);
  EXPECT_EQ(osh_mkdir(sub.c_str()), 0);
  unsigned short mode = 0;
  EXPECT_EQ(osh_inquire_file(sub.c_str(), &mode), 1);
  EXPECT_EQ(mode, 0x11FF);
  EXPECT_EQ(osh_rmdir(sub.c_str()), 1);
  EXPECT_EQ(osh_rmdir(sub.c_str()), 0);

  WriteFile(dir / "a", "x");
  EXPECT_EQ(osh_rename((dir / "missing").c_str(), (dir / "b").c_str()), -1);
  EXPECT_EQ(osh_rename((dir / "a").c_str(), (dir / "b").c_str()), 0);
  EXPECT_EQ(ReadFile(dir / "b"), "x");
  EXPECT_EQ(osh_file_exists((dir / "a").c_str()), 0);

  const std::string b = dir / "b";
  EXPECT_EQ(osh_chmod(b.c_str(), 0x124), 1);
  EXPECT_EQ(PermissionsOf(b) & 0200u, 0u);
  EXPECT_EQ(osh_inquire_file(b.c_str(), &mode), 1);
  EXPECT_EQ(mode, 0x056D);
  EXPECT_EQ(osh_chmod(b.c_str(), 0x1B6), 1);
  EXPECT_EQ(PermissionsOf(b) & 0200u, 0200u);
  EXPECT_EQ(osh_chmod((dir / "missing").c_str(), 0x1B6), 0);

  EXPECT_EQ(osh_unlink(b.c_str()), 0);
  EXPECT_EQ(osh_unlink(b.c_str()), 1);
}

TEST(Paths, SplitAtTheLastSeparatorAndJoinWithABackslash) {
  struct Split {
    const char* path;
    const char* directory;
    const char* name;
  };
  for (const Split& c :
       {Split{"C:\\dir\\file.txt", "C:\\dir", "file.txt"}, Split{"a/b\\c", "a/b", "c"},
        Split{"a\\b/c", "a\\b", "c"}, Split{"\\file", "", "file"}, Split{"file", "", "file"},
        Split{"dir\\", "dir", ""}}) {
    char directory[32] = "junk";
    char name[32] = "junk";
    EXPECT_EQ(osh_truncate_path(c.path, directory, name), 1);
    EXPECT_STREQ(directory, c.directory) << c.path;
    EXPECT_STREQ(name, c.name) << c.path;
  }
  struct Join {
    const char* directory;
    const char* name;
    const char* joined;
  };
  for (const Join& c : {Join{"C:\\dir", "f", "C:\\dir\\f"}, Join{"C:\\dir\\", "f", "C:\\dir\\f"},
                        Join{"C:\\dir", "\\f", "C:\\dir\\f"}, Join{"C:\\dir/", "f", "C:\\dir/\\f"},
                        Join{"", "f", "f"}}) {
    char out[32];
    EXPECT_EQ(osh_append_path(c.directory, c.name, out), 1);
    EXPECT_STREQ(out, c.joined);
  }
  char in_place[32] = "C:\\dir";
  osh_append_path(in_place, "f", in_place);
  EXPECT_STREQ(in_place, "C:\\dir\\f");
  EXPECT_EQ(osh_verify_file_name("any"), 0);
}

}  // namespace
