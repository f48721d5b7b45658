// Names and directories: full, short and current-directory forms, making
// and removing directories, write permission, renaming, and splitting and
// joining path texts.
#include <cstring>

#include "qzutil/os/osh_files.h"
#include "qzutil/os/report.h"
#include "qzutil/platform/file_system.h"

namespace {

using qz::os::detail::kPathBufferSize;
using qz::os::detail::Report;
using qz::os::detail::Resolution;
using qz::os::detail::Resolve;
namespace platform = qz::platform;

constexpr std::int32_t kAnyWriteBit = 0x92;
constexpr std::int32_t kFileNotFound = 2;

// A name-query answer that fits a kPathBufferSize buffer.
bool Fits(std::uint32_t length) {
  return length != 0 && length < kPathBufferSize;
}

unsigned short Directory(const char* path, bool (platform::FileSystem::*operation)(const char*),
                         std::int32_t line) {
  platform::FileSystem& fs = platform::file_system();
  if (path == nullptr || !(fs.*operation)(path)) {
    Report(fs.LastError(), path, line);
    return 0;
  }
  return 1;
}

// Case-insensitive comparison of ASCII letters, as the runtime's _stricmp.
bool EqualIgnoringCase(const char* a, const char* b) {
  auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
  for (;; ++a, ++b) {
    if (lower(static_cast<unsigned char>(*a)) != lower(static_cast<unsigned char>(*b))) {
      return false;
    }
    if (*a == '\0') return true;
  }
}

}  // namespace

char* osh_find_exec_path(const char* name) {
  if (name == nullptr) return nullptr;
  platform::FileSystem& fs = platform::file_system();
  const std::uint32_t needed = fs.FullPath(name, 0, nullptr);
  if (needed == 0) return nullptr;
  char* full = fs.AllocateZeroed(needed);
  // Should the second query fail, the caller still owns an empty text.
  if (full != nullptr) fs.FullPath(name, needed, full);
  return full;
}

unsigned short osh_get_working_dir(char* buffer) {
  platform::FileSystem& fs = platform::file_system();
  char current[kPathBufferSize];
  const std::uint32_t length = fs.WorkingDir(kPathBufferSize, current);
  if (!Fits(length)) {
    Report(fs.LastError(), nullptr, __LINE__);
    return 0;
  }
  std::memcpy(buffer, current, length + 1);
  return 1;
}

unsigned short osh_mkdir(const char* path) {
  return Directory(path, &platform::FileSystem::MakeDir, __LINE__);
}

unsigned short osh_rmdir(const char* path) {
  return Directory(path, &platform::FileSystem::RemoveDir, __LINE__);
}

unsigned short osh_chmod(const char* path, std::int32_t permissions) {
  const std::uint32_t attributes = (permissions & kAnyWriteBit) != 0
                                       ? platform::kAttributeNormal
                                       : platform::kAttributeNormal | platform::kAttributeReadOnly;
  platform::FileSystem& fs = platform::file_system();
  char name[kPathBufferSize];
  if (Resolve(path, name) != Resolution::kFound || !fs.SetAttributes(name, attributes)) {
    Report(fs.LastError(), name, __LINE__);
    return 0;
  }
  return 1;
}

short osh_rename(const char* old_path, const char* new_path) {
  platform::FileSystem& fs = platform::file_system();
  char name[kPathBufferSize];
  if (Resolve(old_path, name) != Resolution::kFound) {
    if (fs.LastError() == kFileNotFound) Report(kFileNotFound, name, __LINE__);
    return -1;
  }
  if (new_path == nullptr || !fs.MoveTo(name, new_path)) {
    const std::int32_t error = fs.LastError();
    Report(error, error == kFileNotFound ? name : new_path, __LINE__);
    return -1;
  }
  return 0;
}

unsigned short osh_truncate_path(const char* path, char* directory, char* name) {
  const char* separator = nullptr;
  for (const char* p = path; *p != '\0'; ++p) {
    if (*p == '/' || *p == '\\') separator = p;
  }
  if (separator == nullptr) {
    directory[0] = '\0';
    std::memmove(name, path, std::strlen(path) + 1);
    return 1;
  }
  const auto length = static_cast<std::size_t>(separator - path);
  std::memmove(directory, path, length);
  directory[length] = '\0';
  std::memmove(name, separator + 1, std::strlen(separator + 1) + 1);
  return 1;
}

unsigned short osh_append_path(const char* directory, const char* name, char* out) {
  std::size_t length = std::strlen(directory);
  if (out != directory) std::memmove(out, directory, length + 1);
  if (length > 0 && out[length - 1] != '\\' && name[0] != '\\') out[length++] = '\\';
  std::memmove(out + length, name, std::strlen(name) + 1);
  return 1;
}

unsigned short osh_verify_file_name(const char* /*name*/) {
  return 0;
}

std::int32_t osh_alternate_pathname(const char* path, char* out) {
  if (!qz::os::detail::CopyName(path, out)) return -1;
  char short_form[kPathBufferSize];
  const std::uint32_t length = platform::file_system().ShortPath(path, kPathBufferSize, short_form);
  if (!Fits(length)) return -1;
  std::memcpy(out, short_form, length + 1);
  return EqualIgnoringCase(path, out) ? 0 : 1;
}
