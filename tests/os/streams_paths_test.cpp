// Paths split and joined as text; descriptors and streams on real files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/temp_dir.h"
#include "qzutil/os/osh_files.h"
#include "qzutil/os/osh_io.h"

namespace {

using qz::testing::ReadFile;
using qz::testing::TempDir;
using Strings = std::vector<std::string>;

TEST(Paths, SplitAtTheLastSeparatorAndJoinWithABackslash) {
  // clang-format off
  const char* const splits[][3] = {
      {"C:\\dir\\file.txt", "C:\\dir", "file.txt"}, {"a/b\\c", "a/b", "c"}, {"a\\b/c", "a\\b", "c"},
      {"\\file", "", "file"}, {"file", "", "file"}, {"dir\\", "dir", ""}};
  const char* const joins[][3] = {
      {"C:\\dir", "f", "C:\\dir\\f"}, {"C:\\dir\\", "f", "C:\\dir\\f"}, {"C:\\dir", "\\f", "C:\\dir\\f"},
      {"C:\\dir/", "f", "C:\\dir/\\f"}, {"", "f", "f"}};
  // clang-format on
  for (const auto& [path, expected_directory, expected_name] : splits) {
    char directory[32] = "junk", name[32] = "junk";
    EXPECT_EQ(osh_truncate_path(path, directory, name), 1);
    EXPECT_STREQ(directory, expected_directory) << path;
    EXPECT_STREQ(name, expected_name) << path;
  }
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
