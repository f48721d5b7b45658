// Win32 backend of the file-system seam: the kernel's own calls.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <direct.h>
#include <io.h>

#include "qzutil/platform/file_system.h"

namespace qz::platform {
namespace {

class Win32FileSystem final : public FileSystem {
 public:
  char CurrentDrive() override { return static_cast<char>('A' + _getdrive() - 1); }
  std::uint32_t DriveRoots(std::uint32_t size, char* buffer) override {
    return ::GetLogicalDriveStringsA(size, buffer);
  }
  bool IsAlpha(char c) override { return ::IsCharAlphaA(c) != FALSE; }

  bool Exists(const char* name) override { return _access(name, 0) == 0; }
  std::uint32_t Attributes(const char* name) override { return ::GetFileAttributesA(name); }
  bool SetAttributes(const char* name, std::uint32_t attributes) override {
    return ::SetFileAttributesA(name, attributes) != FALSE;
  }

  bool CopyReplacing(const char* from, const char* to) override {
    return ::CopyFileA(from, to, FALSE) != FALSE;
  }
  bool MoveTo(const char* from, const char* to) override { return ::MoveFileA(from, to) != FALSE; }
  bool DeleteName(const char* name) override { return ::DeleteFileA(name) != FALSE; }
  bool MakeDir(const char* name) override { return ::CreateDirectoryA(name, nullptr) != FALSE; }
  bool RemoveDir(const char* name) override { return ::RemoveDirectoryA(name) != FALSE; }

  bool SizeOf(const char* name, std::uint32_t* size) override {
    HANDLE file = ::CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    *size = ::GetFileSize(file, nullptr);
    ::CloseHandle(file);
    return true;
  }

  std::uint32_t FullPath(const char* name, std::uint32_t size, char* buffer) override {
    return ::GetFullPathNameA(name, size, buffer, nullptr);
  }
  std::uint32_t ShortPath(const char* name, std::uint32_t size, char* buffer) override {
    return ::GetShortPathNameA(name, buffer, size);
  }
  std::uint32_t WorkingDir(std::uint32_t size, char* buffer) override {
    return ::GetCurrentDirectoryA(size, buffer);
  }

  char* AllocateZeroed(std::uint32_t size) override {
    return static_cast<char*>(::LocalAlloc(LPTR, size));
  }
  std::int32_t LastError() override { return static_cast<std::int32_t>(::GetLastError()); }
};

}  // namespace

FileSystem& native_file_system() {
  static Win32FileSystem backend;
  return backend;
}

}  // namespace qz::platform
