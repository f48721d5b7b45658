// A fake operating system behind the layer's three seams for the object's
// lifetime: drives and entries with attributes, recorded opens, a clock, fonts.
#ifndef QZUTIL_TESTS_PLATFORM_FAKE_OS_H
#define QZUTIL_TESTS_PLATFORM_FAKE_OS_H

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "qzutil/platform/file_io.h"
#include "qzutil/platform/file_system.h"
#include "qzutil/platform/system_services.h"

namespace qz::testing {

class FakeOs : public platform::FileSystem,
               public platform::FileIo,
               public platform::SystemServices {
 public:
  FakeOs() {
    platform::set_file_system(this);
    platform::set_file_io(this);
    platform::set_system_services(this);
  }
  ~FakeOs() override {
    platform::set_file_system(nullptr);
    platform::set_file_io(nullptr);
    platform::set_system_services(nullptr);
    std::fclose(stream);
  }
  FakeOs(const FakeOs&) = delete;
  FakeOs& operator=(const FakeOs&) = delete;

  // Keyed by the full name asked about ("D:\data\file", "\\srv\share\f").
  void Add(const std::string& name, std::uint32_t attributes = platform::kAttributeNormal) {
    entries_[name] = attributes;
  }
  std::vector<std::string> roots{"C:\\"};  // as the system lists them
  char current_drive = 'C';
  std::int32_t last_error = 2;
  std::vector<std::string> asked;      // every existence question, in order
  std::vector<std::string> opened;     // "name flags mode" (decimal) or "name stream-mode"
  std::int32_t write_result = 0;       // every descriptor open answers 3
  std::FILE* stream = std::tmpfile();  // every stream open answers this one
  platform::LocalTime now{};
  std::uint32_t launch_code = 33;
  std::vector<std::uint32_t> slept;
  int font_count = 0;  // C:\Fonts holds f0.ttf, f1.ttf, ...

  // Like a real one, a failed look-up leaves ENOENT in errno.
  char CurrentDrive() override { return current_drive; }
  std::uint32_t DriveRoots(std::uint32_t size, char* buffer) override {
    std::string list;
    for (const std::string& root : roots)
      list += root + '\0';
    const auto length = static_cast<std::uint32_t>(list.size());
    if (length + 1 > size) return length + 1;
    std::memcpy(buffer, list.c_str(), length + 1);
    return length;
  }
  bool IsAlpha(char c) override { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
  bool Exists(const char* name) override {
    asked.emplace_back(name);
    if (entries_.count(name) != 0) return true;
    errno = ENOENT;
    return false;
  }
  std::uint32_t Attributes(const char* name) override {
    auto found = entries_.find(name);
    return found == entries_.end() ? platform::kInvalidAttributes : found->second;
  }
  bool SetAttributes(const char* name, std::uint32_t attributes) override {
    auto found = entries_.find(name);
    if (found == entries_.end()) return false;
    found->second = (found->second & platform::kAttributeDirectory) | attributes;
    return true;
  }
  bool CopyReplacing(const char*, const char*) override { return false; }
  bool MoveTo(const char*, const char*) override { return false; }
  bool DeleteName(const char* name) override { return entries_.erase(name) != 0; }
  bool MakeDir(const char*) override { return false; }
  bool RemoveDir(const char*) override { return false; }
  bool SizeOf(const char*, std::uint32_t*) override { return false; }
  std::uint32_t FullPath(const char*, std::uint32_t, char*) override { return 0; }
  std::uint32_t ShortPath(const char*, std::uint32_t, char*) override { return 0; }
  std::uint32_t WorkingDir(std::uint32_t, char*) override { return 0; }
  char* AllocateZeroed(std::uint32_t size) override {
    return static_cast<char*>(std::calloc(size, 1));
  }
  std::int32_t LastError() override { return last_error; }

  std::int32_t Open(const char* name, std::int32_t flags, std::int32_t mode) override {
    opened.push_back(std::string(name) + ' ' + std::to_string(flags) + ' ' + std::to_string(mode));
    return 3;
  }
  std::int32_t Close(std::int32_t) override { return 0; }
  std::int32_t Seek(std::int32_t, std::int32_t, std::int32_t) override { return 0; }
  std::int32_t Read(std::int32_t, void*, std::uint32_t) override { return 0; }
  std::int32_t Write(std::int32_t, const void*, std::uint32_t) override { return write_result; }
  bool DescriptorSize(std::int32_t, std::uint32_t*) override { return false; }
  std::FILE* OpenStream(const char* name, const char* mode) override {
    opened.push_back(std::string(name) + ' ' + mode);
    return stream;
  }
  std::FILE* StreamOnDescriptor(std::int32_t, const char*) override { return nullptr; }
  std::int32_t StreamDescriptor(std::FILE*) override { return -1; }
  void LockStream(std::FILE*) override {}
  void UnlockStream(std::FILE*) override {}

  platform::LocalTime Now() override { return now; }
  void SleepMilliseconds(std::uint32_t milliseconds) override { slept.push_back(milliseconds); }
  std::uint32_t Launch(const char*) override { return launch_code; }
  std::int32_t PutEnv(char* text) override {
    std::free(text);
    return -1;
  }
  char Separator() override { return '\\'; }
  void ListFontFiles(platform::FontVisitor& visitor) override {
    for (int i = 0; i < font_count; ++i)
      if (!visitor.Visit("C:\\Fonts", ("f" + std::to_string(i) + ".ttf").c_str())) return;
  }
  std::uint32_t Version() override { return 0x0A; }
  std::int32_t LegacyResourceInfo(std::int32_t, std::uint32_t*) override { return -1; }
  void UnloadLegacyResources() override {}

 private:
  std::map<std::string, std::uint32_t> entries_;
};

}  // namespace qz::testing

#endif  // QZUTIL_TESTS_PLATFORM_FAKE_OS_H
