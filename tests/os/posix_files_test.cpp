// Whole files, names, descriptors and directories through the POSIX backend.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "platform/temp_dir.h"
#include "qzutil/os/osh_files.h"
#include "qzutil/os/osh_io.h"
#include "qzutil/platform/posix/native_names.h"

namespace {

using qz::testing::OpenDescriptorCount;
using qz::testing::ReadFile;
using qz::testing::TempDir;
using qz::testing::WriteFile;

// "/dir/x" in the library's root-relative form, "\\dir\\x".
std::string Backslashed(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

mode_t PermissionsOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 0777;
}

// Each test has its own directory and closes every descriptor it opens.
class PosixFiles : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(OpenDescriptorCount(), open_before_); }
  TempDir dir;
  const int open_before_ = OpenDescriptorCount();
};

TEST_F(PosixFiles, CopyAndCatMoveWholeFiles) {
  std::string big(5000, '\0');  // five 1024-byte blocks, no two alike
  std::generate(big.begin(), big.end(), [n = 0]() mutable { return static_cast<char>(n++ % 251); });
  WriteFile(dir / "src", big);
  WriteFile(dir / "dst", "old contents that are longer");

  EXPECT_NE(osh_copyfile((dir / "dst").c_str(), (dir / "src").c_str()), 0);
  EXPECT_EQ(ReadFile(dir / "dst"), big);
  // A copy onto itself, under either form of its name, fails and leaves it whole.
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
  EXPECT_TRUE(access("/dev/full", W_OK) != 0 || osh_cat("/dev/full", (dir / "src").c_str()) == 0);
}

TEST_F(PosixFiles, ExistenceSizesAndNamesOfRealEntries) {
  const std::string five = dir / "five", none = dir / "none";
  WriteFile(five, "12345");
  for (const std::string& name : {dir.path(), five, Backslashed(five), "c:" + Backslashed(five)})
    EXPECT_EQ(osh_file_exists(name.c_str()), 1) << name;
  EXPECT_EQ(osh_file_exists(none.c_str()), 0);
  EXPECT_EQ(osh_file_exists(nullptr), 0);
  EXPECT_EQ(osh_filesize(five.c_str()), 5);
  EXPECT_EQ(osh_filesize(none.c_str()), -1);
  EXPECT_EQ(osh_filesize(dir.path().c_str()), -1);
  const short fd = osh_open_binary(five.c_str(), 0, 0);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(osh_fdfilesize(fd), 5);
  EXPECT_EQ(osh_close(fd), 0);
  EXPECT_EQ(osh_fdfilesize(fd), -1);

  char buffer[1024];
  ASSERT_EQ(osh_get_working_dir(buffer), 1);
  EXPECT_EQ(buffer, std::filesystem::current_path().string());
  char* full = osh_find_exec_path("not\\here/../there");  // caller frees
  EXPECT_EQ(std::string(full != nullptr ? full : "(null)"), std::string(buffer) + "/not/there");
  std::free(full);

  // No short names: an existing name is its own short form.
  EXPECT_EQ(osh_alternate_pathname(five.c_str(), buffer), 0);
  EXPECT_EQ(buffer, five);
  EXPECT_EQ(osh_alternate_pathname(none.c_str(), buffer), -1);
  EXPECT_EQ(buffer, none);
}

TEST_F(PosixFiles, DirectoriesRemovalAndWritePermission) {
  const std::string sub = dir / "sub";
  EXPECT_EQ(osh_mkdir(sub.c_str()), 1);
  EXPECT_EQ(osh_mkdir(sub.c_str()), 0);
  unsigned short mode = 0;
  EXPECT_EQ(osh_inquire_file(sub.c_str(), &mode), 1);
  EXPECT_EQ(mode, 0x11FF);
  EXPECT_EQ(osh_rmdir(sub.c_str()), 1);
  EXPECT_EQ(osh_rmdir(sub.c_str()), 0);

  const std::string b = dir / "b";
  WriteFile(b, "x");
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

TEST_F(PosixFiles, RenameNeverReplacesAnExistingName) {
  const std::string a = dir / "a", b = dir / "b", sub = dir / "sub";
  WriteFile(a, "A");
  WriteFile(b, "B");
  ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
  EXPECT_EQ(osh_rename(a.c_str(), b.c_str()), -1);
  EXPECT_EQ(osh_rename(sub.c_str(), b.c_str()), -1);
  EXPECT_EQ(osh_rename((dir / "missing").c_str(), (dir / "c").c_str()), -1);
  EXPECT_EQ(ReadFile(a) + ReadFile(b), "AB");

  // The fallback for file systems without an atomic no-replace rename.
  using qz::platform::posix::MoveByLink;
  EXPECT_FALSE(MoveByLink(a.c_str(), b.c_str()));
  EXPECT_FALSE(MoveByLink(sub.c_str(), a.c_str()));
  EXPECT_FALSE(MoveByLink((dir / "missing").c_str(), (dir / "c").c_str()));
  EXPECT_EQ(ReadFile(a) + ReadFile(b), "AB");
  EXPECT_TRUE(MoveByLink(a.c_str(), (dir / "c").c_str()));
  EXPECT_TRUE(MoveByLink(sub.c_str(), (dir / "d").c_str()));
  EXPECT_EQ(osh_rename((dir / "c").c_str(), a.c_str()), 0);
  EXPECT_EQ(dir.Names(), (std::set<std::string>{"a", "b", "d"}));
  EXPECT_EQ(ReadFile(a), "A");
}

TEST_F(PosixFiles, ReadOnlyFilesAreKeptAndNotWrittenEvenByRoot) {
  const std::string ro = dir / "ro", src = dir / "src";
  WriteFile(ro, "keep");
  WriteFile(src, "new data");
  ASSERT_EQ(chmod(ro.c_str(), 0444), 0);
  EXPECT_EQ(osh_unlink(ro.c_str()), 1);
  EXPECT_EQ(osh_copyfile(ro.c_str(), src.c_str()), 0);
  EXPECT_EQ(osh_cat(ro.c_str(), src.c_str()), 0);
  EXPECT_LT(osh_open_binary(ro.c_str(), 0x0301, 0x180), 0);  // write, create, truncate
  EXPECT_EQ(osh_fopen_text(ro.c_str(), "r+"), nullptr);
  EXPECT_EQ(ReadFile(ro), "keep");

  // Reading it is fine, and so is writing a file made read-only by its own
  // creation, through the descriptor that made it.
  EXPECT_NE(osh_copyfile((dir / "copy").c_str(), ro.c_str()), 0);
  EXPECT_EQ(PermissionsOf(dir / "copy"), 0444u);
  const short fd = osh_open_binary((dir / "made").c_str(), 0x0101, 0x124);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(osh_write(fd, "ab", 2), 2);
  EXPECT_EQ(osh_close(fd), 0);
  // Truncation of a writable file still happens, after the checks.
  std::FILE* out = osh_fopen_text(src.c_str(), "w");
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(osh_fclose(out), 0);
  EXPECT_EQ(ReadFile(src) + ReadFile(dir / "made"), "ab");
}

TEST_F(PosixFiles, ADirectoryNeverOpensAsAFile) {
  EXPECT_LT(osh_open_binary(dir.path().c_str(), 0, 0), 0);
  EXPECT_EQ(osh_fopen_text(dir.path().c_str(), "r"), nullptr);
  EXPECT_EQ(osh_fopen_binary(dir.path().c_str(), "r"), nullptr);
  // Refused before the destination is made.
  EXPECT_EQ(osh_cat((dir / "out").c_str(), dir.path().c_str()), 0);
  EXPECT_EQ(dir.Names(), std::set<std::string>{});
}

}  // namespace
