// Fakes behind the operating-system layer's seams: a drive table with a
// current drive and per-drive entries with attributes, a recorder of opens,
// and a clock with a font folder. Plus a guard that installs a fake for the
// lifetime of a test.
#ifndef QZUTIL_TESTS_PLATFORM_FAKE_OS_H
#define QZUTIL_TESTS_PLATFORM_FAKE_OS_H

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "qzutil/platform/file_io.h"
#include "qzutil/platform/file_system.h"
#include "qzutil/platform/system_services.h"

namespace qz::testing {

// Installs `backend` with `Set` on construction, restores on destruction.
template <class Backend, Backend* (*Set)(Backend*)>
class ScopedBackend {
 public:
  explicit ScopedBackend(Backend* backend) : previous_(Set(backend)) {}
  ~ScopedBackend() { Set(previous_); }
  ScopedBackend(const ScopedBackend&) = delete;
  ScopedBackend& operator=(const ScopedBackend&) = delete;

 private:
  Backend* previous_;
};

// Entries are keyed by the full name the library asks about
// ("D:\data\file", "\\server\share\file", "name").
class FakeFileSystem : public platform::FileSystem {
 public:
  void Add(const std::string& name, std::uint32_t attributes = platform::kAttributeNormal) {
    entries_[name] = attributes;
  }
  // The drive roots as the system would list them, e.g. {"C:\\", "D:\\"}.
  void SetRoots(const std::vector<std::string>& roots) {
    roots_.clear();
    for (const std::string& root : roots)
      roots_ += root + '\0';
  }

  char current_drive = 'C';
  std::int32_t last_error = 2;
  std::vector<std::string> asked;  // every existence question, in order

  char CurrentDrive() override { return current_drive; }
  std::uint32_t DriveRoots(std::uint32_t size, char* buffer) override {
    const auto length = static_cast<std::uint32_t>(roots_.size());
    if (length + 1 > size) return length + 1;
    std::memcpy(buffer, roots_.c_str(), length + 1);
    return length;
  }
  bool IsAlpha(char c) override { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
  bool Exists(const char* name) override {
    asked.emplace_back(name);
    return entries_.count(name) != 0;
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

 private:
  std::map<std::string, std::uint32_t> entries_;
  std::string roots_ = std::string("C:\\") + '\0';
};
using ScopedFileSystem = ScopedBackend<platform::FileSystem, platform::set_file_system>;

// Records what would be opened; descriptor opens answer descriptor 3,
// stream opens a temporary file, writes `write_result`.
class FakeFileIo : public platform::FileIo {
 public:
  struct Opened {
    std::string name;
    std::int32_t flags;
    std::string mode;  // stream mode, or the permission mode in decimal
  };
  std::vector<Opened> opened;
  std::int32_t write_result = 0;

  std::int32_t Open(const char* name, std::int32_t flags, std::int32_t mode) override {
    opened.push_back({name, flags, std::to_string(mode)});
    return 3;
  }
  std::int32_t Close(std::int32_t) override { return 0; }
  std::int32_t Seek(std::int32_t, std::int32_t, std::int32_t) override { return 0; }
  std::int32_t Read(std::int32_t, void*, std::uint32_t) override { return 0; }
  std::int32_t Write(std::int32_t, const void*, std::uint32_t) override { return write_result; }
  bool DescriptorSize(std::int32_t, std::uint32_t*) override { return false; }
  std::FILE* OpenStream(const char* name, const char* mode) override {
    opened.push_back({name, -1, mode});
    return std::tmpfile();
  }
  std::FILE* StreamOnDescriptor(std::int32_t, const char*) override { return nullptr; }
  std::int32_t StreamDescriptor(std::FILE*) override { return -1; }
  void LockStream(std::FILE*) override {}
  void UnlockStream(std::FILE*) override {}
};
using ScopedFileIo = ScopedBackend<platform::FileIo, platform::set_file_io>;

class FakeSystemServices : public platform::SystemServices {
 public:
  platform::LocalTime now{};
  std::uint32_t launch_code = 33;
  std::vector<std::uint32_t> slept;
  std::vector<std::pair<std::string, std::string>> fonts;  // folder, name

  platform::LocalTime Now() override { return now; }
  void SleepMilliseconds(std::uint32_t milliseconds) override { slept.push_back(milliseconds); }
  std::uint32_t Launch(const char*) override { return launch_code; }
  std::int32_t PutEnv(char* text) override {
    std::free(text);
    return -1;
  }
  char Separator() override { return '\\'; }
  void ListFontFiles(platform::FontVisitor& visitor) override {
    for (const auto& [folder, name] : fonts) {
      if (!visitor.Visit(folder.c_str(), name.c_str())) return;
    }
  }
  std::uint32_t Version() override { return 0x0A; }
  std::int32_t LegacyResourceInfo(std::int32_t, std::uint32_t*) override { return -1; }
  void UnloadLegacyResources() override {}
};
using ScopedSystemServices = ScopedBackend<platform::SystemServices, platform::set_system_services>;

}  // namespace qz::testing

#endif  // QZUTIL_TESTS_PLATFORM_FAKE_OS_H
