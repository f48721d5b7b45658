// Platform seam for descriptor and stream input/output on named files.
//
// Internal: not installed, not exported. Open flags are the library's
// (those of the Windows runtime: 0 read-only, 0x1 write-only, 0x2 read-write,
// 0x8 append, 0x100 create, 0x200 truncate, 0x400 exclusive, 0x80 not
// inherited, 0x4000 text, 0x8000 binary); permission modes are the owner,
// group and others bits 0x1FF. Each backend maps both to its own.
#ifndef QZUTIL_PLATFORM_FILE_IO_H
#define QZUTIL_PLATFORM_FILE_IO_H

#include <cstdint>
#include <cstdio>

namespace qz::platform {

class FileIo {
 public:
  virtual ~FileIo() = default;

  // A descriptor, or a negative value on failure.
  virtual std::int32_t Open(const char* name, std::int32_t flags, std::int32_t mode) = 0;
  // 0, or negative on failure.
  virtual std::int32_t Close(std::int32_t fd) = 0;
  // The new position, or -1 on failure or when it does not fit 32 bits.
  virtual std::int32_t Seek(std::int32_t fd, std::int32_t offset, std::int32_t origin) = 0;
  // Bytes transferred, or negative on failure.
  virtual std::int32_t Read(std::int32_t fd, void* buffer, std::uint32_t count) = 0;
  virtual std::int32_t Write(std::int32_t fd, const void* buffer, std::uint32_t count) = 0;
  // Size of the open file (low 32 bits).
  virtual bool DescriptorSize(std::int32_t fd, std::uint32_t* size) = 0;

  // A stream in the runtime's sense, or nullptr; `mode` is passed unchanged.
  virtual std::FILE* OpenStream(const char* name, const char* mode) = 0;
  virtual std::FILE* StreamOnDescriptor(std::int32_t fd, const char* mode) = 0;
  virtual std::int32_t StreamDescriptor(std::FILE* stream) = 0;
  // Holds the stream's own lock across many character reads, so that each
  // read takes the (recursive) lock cheaply; every Lock needs its Unlock.
  virtual void LockStream(std::FILE* stream) = 0;
  virtual void UnlockStream(std::FILE* stream) = 0;
};

// The backend in use: the native one unless a test installed another.
FileIo& file_io();

// Installs `backend` (nullptr restores the native one) and returns the
// previously installed backend, or nullptr if that was the native one.
// The caller keeps ownership and must restore before destroying it.
FileIo* set_file_io(FileIo* backend);

// The native backend of this build (POSIX or Win32).
FileIo& native_file_io();

}  // namespace qz::platform

#endif  // QZUTIL_PLATFORM_FILE_IO_H
