// Whole files, names, descriptors and streams on real files through the
// POSIX backend.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "platform/temp_dir.h"
#include "qzutil/os/osh_files.h"
#include "qzutil/os/osh_io.h"
#include "qzutil/platform/posix/native_names.h"

namespace {

using qz::testing::OpenDescriptorCount;
using qz::testing::ReadFile;
using qz::testing::TempDir;
using qz::testing::WriteFile;
using Strings = std::vector<std::string>;

// An absolute POSIX path ("/dir/x/y") in the library's root-relative form.
std::string Backslashed(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

mode_t PermissionsOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 0777;
}

TEST(PosixFiles, CopyAndCatMoveWholeFilesAndCloseEveryDescriptor) {
  TempDir dir;
  std::string big(5000, '\0');  // five 1024-byte blocks, no two alike
  std::generate(big.begin(), big.end(), [n = 0]() mutable { return static_cast<char>(n++ % 251); });
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
  EXPECT_EQ(buffer, std::filesystem::current_path().string());
  char* full = osh_find_exec_path("not\\here/../there");  // caller frees
  EXPECT_EQ(std::string(full != nullptr ? full : "(null)"), std::string(buffer) + "/not/there");
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
  EXPECT_EQ(dir.Names(), std::set<std::string>{"b"});
  EXPECT_EQ(ReadFile(dir / "b"), "x");

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

TEST(PosixFiles, RenameNeverReplacesAnExistingName) {
  TempDir dir;
  const std::string a = dir / "a", b = dir / "b", sub = dir / "sub";
  WriteFile(a, "A");
  WriteFile(b, "B");
  ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
  EXPECT_EQ(osh_rename(a.c_str(), b.c_str()), -1);
  EXPECT_EQ(osh_rename(sub.c_str(), b.c_str()), -1);
  EXPECT_EQ(ReadFile(a) + ReadFile(b), "AB");

  // The fallback for file systems without an atomic no-replace rename.
  using qz::platform::posix::MoveByLink;
  EXPECT_FALSE(MoveByLink(a.c_str(), b.c_str()));
  EXPECT_FALSE(MoveByLink(sub.c_str(), a.c_str()));
  EXPECT_FALSE(MoveByLink((dir / "missing").c_str(), (dir / "c").c_str()));
  EXPECT_EQ(ReadFile(a) + ReadFile(b), "AB");
  EXPECT_TRUE(MoveByLink(a.c_str(), (dir / "c").c_str()));
  EXPECT_TRUE(MoveByLink(sub.c_str(), (dir / "d").c_str()));
  EXPECT_EQ(dir.Names(), (std::set<std::string>{"b", "c", "d"}));
  EXPECT_EQ(ReadFile(dir / "c"), "A");
}

TEST(PosixFiles, ReadOnlyFilesAreKeptAndNotWrittenEvenByRoot) {
  TempDir dir;
  const std::string ro = dir / "ro", src = dir / "src";
  WriteFile(ro, "keep");
  WriteFile(src, "new data");
  ASSERT_EQ(chmod(ro.c_str(), 0444), 0);
  const int open_before = OpenDescriptorCount();
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
  EXPECT_EQ(OpenDescriptorCount(), open_before);

  ASSERT_EQ(chmod(ro.c_str(), 0644), 0);
  EXPECT_EQ(osh_unlink(ro.c_str()), 0);
}

TEST(PosixFiles, ADirectoryNeverOpensAsAFile) {
  TempDir dir;
  const int open_before = OpenDescriptorCount();
  EXPECT_LT(osh_open_binary(dir.path().c_str(), 0, 0), 0);
  EXPECT_EQ(osh_fopen_text(dir.path().c_str(), "r"), nullptr);
  EXPECT_EQ(osh_fopen_binary(dir.path().c_str(), "r"), nullptr);
  // Refused before the destination is made.
  EXPECT_EQ(osh_cat((dir / "out").c_str(), dir.path().c_str()), 0);
  EXPECT_EQ(dir.Names(), std::set<std::string>{});
  EXPECT_EQ(OpenDescriptorCount(), open_before);
}

TEST(Paths, SplitAtTheLastSeparatorAndJoinWithABackslash) {
  const char* const splits[][3] = {{"C:\\dir\\file.txt", "C:\\dir", "file.txt"},
                                   {"a/b\\c", "a/b", "c"},
                                   {"a\\b/c", "a\\b", "c"},
                                   {"\\file", "", "file"},
                                   {"file", "", "file"},
                                   {"dir\\", "dir", ""}};
  for (const auto& [path, expected_directory, expected_name] : splits) {
    char directory[32] = "junk";
    char name[32] = "junk";
    EXPECT_EQ(osh_truncate_path(path, directory, name), 1);
    EXPECT_STREQ(directory, expected_directory) << path;
    EXPECT_STREQ(name, expected_name) << path;
  }
  const char* const joins[][3] = {{"C:\\dir", "f", "C:\\dir\\f"},
                                  {"C:\\dir\\", "f", "C:\\dir\\f"},
                                  {"C:\\dir", "\\f", "C:\\dir\\f"},
                                  {"C:\\dir/", "f", "C:\\dir/\\f"},
                                  {"", "f", "f"}};
  for (const auto& [directory, name, joined] : joins) {
    char out[32];
    EXPECT_EQ(osh_append_path(directory, name, out), 1);
    EXPECT_STREQ(out, joined);
  }
  char in_place[32] = "C:\\dir";
  osh_append_path(in_place, "f", in_place);
  EXPECT_STREQ(in_place, "C:\\dir\\f");
  EXPECT_EQ(osh_verify_file_name("any"), 0);
}

// Every line osh_readLine gives for `content` with buffers of `size`.
Strings Lines(const std::string& content, std::int32_t size) {
  std::FILE* stream = std::tmpfile();
  std::fputs(content.c_str(), stream);
  std::rewind(stream);
  Strings lines;
  std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '#');
  for (std::int32_t n; (n = osh_readLine(stream, buffer.data(), size)) > 0;) {
    EXPECT_EQ(buffer[static_cast<std::size_t>(size)], '#');  // nothing past the buffer
    lines.emplace_back(buffer.data(), static_cast<std::size_t>(n));
  }
  EXPECT_NE(osh_feof(stream), 0);
  EXPECT_EQ(osh_fclose(stream), 0);
  return lines;
}

TEST(Streams, ReadLineKeepsEveryKindOfLineEnd) {
  EXPECT_EQ(Lines("a\r\nb\nc\rd", 80), (Strings{"a\r\n", "b\n", "c\r", "d"}));
  // A second carriage return, or a line feed after it, stays on the line.
  EXPECT_EQ(Lines("c\r\rd\r\r\ne\r", 80), (Strings{"c\r\r", "d\r\r\n", "e\r"}));
  EXPECT_EQ(Lines("\n\n\r\n", 80), (Strings{"\n", "\n", "\r\n"}));
  // A full buffer ends the line, also right after a carriage return.
  EXPECT_EQ(Lines("ab", 1), (Strings{"a", "b"}));
  EXPECT_EQ(Lines("abc\r\n", 4), (Strings{"abc\r", "\n"}));
  EXPECT_EQ(Lines("abcd\r\n", 4), (Strings{"abcd", "\r\n"}));
  EXPECT_EQ(Lines("", 4), Strings{});
  char unused = 'u';
  EXPECT_EQ(osh_readLine(nullptr, &unused, 0), 0);
}

TEST(Streams, NumbersAreWrittenAsRightAlignedText) {
  TempDir dir;
  std::FILE* out = osh_fopen_text((dir / "n").c_str(), "w");
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(osh_fputint(42, 5, out), 5);
  EXPECT_EQ(osh_fputint(42, 0, out), 2);
  EXPECT_EQ(osh_fputint(-7, 3, out), 3);
  EXPECT_EQ(osh_fputint(123456, 2, out), 6);
  EXPECT_EQ(osh_fputint(5, -3, out), 3);  // a negative width aligns left
  EXPECT_EQ(osh_fputc('|', out), '|');
  EXPECT_GE(osh_fputs("end", out), 0);
  EXPECT_EQ(osh_fflush(out), 0);
  EXPECT_EQ(osh_ftell(out), 23);
  EXPECT_EQ(osh_fclose(out), 0);
  EXPECT_EQ(ReadFile(dir / "n"), "   4242 -71234565  |end");
}

TEST(Streams, DescriptorsAndStreamsReadWriteAndSeek) {
  TempDir dir;
  const short fd = osh_open_binary((dir / "d").c_str(), 0x0102, 0x180);  // read-write, create
  ASSERT_GE(fd, 0);
  EXPECT_EQ(osh_write(fd, "hello world", 11), 11);
  EXPECT_EQ(osh_lseek(fd, -5, 2), 6);
  char got[8] = {};
  EXPECT_EQ(osh_read(fd, got, 8), 5);
  EXPECT_STREQ(got, "world");
  EXPECT_EQ(osh_read(fd, got, 8), 0);
  EXPECT_EQ(osh_lseek(fd, -1, 0), -1);

  std::FILE* stream = osh_fdopen(fd, "rb");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(osh_fileno(stream), fd);
  EXPECT_EQ(osh_fseek(stream, 6, 0), 0);
  EXPECT_EQ(osh_getc(stream), 'w');
  EXPECT_NE(osh_fseek(stream, -100, 1), 0);
  EXPECT_EQ(osh_fclose(stream), 0);
  EXPECT_LT(osh_close(fd), 0);  // already closed with its stream

  EXPECT_EQ(osh_fopen_binary((dir / "missing").c_str(), "r"), nullptr);
  EXPECT_LT(osh_open_text((dir / "missing").c_str(), 0, 0), 0);
}

}  // namespace
