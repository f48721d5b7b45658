// Win32 backend of descriptor and stream input/output: the runtime's own
// calls. The library's open flags are the runtime's, passed unchanged.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>

#include "qzutil/platform/file_io.h"

namespace qz::platform {
namespace {

class Win32FileIo final : public FileIo {
 public:
  std::int32_t Open(const char* name, std::int32_t flags, std::int32_t mode) override {
    return _open(name, flags, mode);
  }
  std::int32_t Close(std::int32_t fd) override { return _close(fd); }
  std::int32_t Seek(std::int32_t fd, std::int32_t offset, std::int32_t origin) override {
    return static_cast<std::int32_t>(_lseek(fd, offset, origin));
  }
  std::int32_t Read(std::int32_t fd, void* buffer, std::uint32_t count) override {
    return _read(fd, buffer, count);
  }
  std::int32_t Write(std::int32_t fd, const void* buffer, std::uint32_t count) override {
    return _write(fd, buffer, count);
  }
  bool DescriptorSize(std::int32_t fd, std::uint32_t* size) override {
    struct _stat info {};
    if (_fstat(fd, &info) != 0) return false;
    *size = static_cast<std::uint32_t>(info.st_size);
    return true;
  }
  std::FILE* OpenStream(const char* name, const char* mode) override {
    return std::fopen(name, mode);
  }
  std::FILE* StreamOnDescriptor(std::int32_t fd, const char* mode) override {
    return _fdopen(fd, mode);
  }
  std::int32_t StreamDescriptor(std::FILE* stream) override { return _fileno(stream); }
  void LockStream(std::FILE* stream) override { _lock_file(stream); }
  void UnlockStream(std::FILE* stream) override { _unlock_file(stream); }
};

}  // namespace

FileIo& native_file_io() {
  static Win32FileIo backend;
  return backend;
}

}  // namespace qz::platform
