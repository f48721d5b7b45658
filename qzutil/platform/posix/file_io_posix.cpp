// POSIX backend of descriptor and stream input/output. The library's open
// flags (the Windows runtime's values) are mapped to their POSIX
// counterparts; the text and binary flags have none and are dropped, since
// POSIX streams never translate line ends.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "qzutil/platform/file_io.h"
#include "qzutil/platform/posix/native_names.h"

namespace qz::platform {
namespace {

// Returns -1 for an access mode that has no meaning (both write bits).
int NativeFlags(std::int32_t flags) {
  int native;
  switch (flags & 0x3) {
    case 0x0:
      native = O_RDONLY;
      break;
    case 0x1:
      native = O_WRONLY;
      break;
    case 0x2:
      native = O_RDWR;
      break;
    default:
      return -1;
  }
  if ((flags & 0x0008) != 0) native |= O_APPEND;
  if ((flags & 0x0080) != 0) native |= O_CLOEXEC;
  if ((flags & 0x0100) != 0) native |= O_CREAT;
  if ((flags & 0x0200) != 0) native |= O_TRUNC;
  if ((flags & 0x0400) != 0) native |= O_EXCL;
  return native;
}

class PosixFileIo final : public FileIo {
 public:
  std::int32_t Open(const char* name, std::int32_t flags, std::int32_t mode) override {
    const int native = NativeFlags(flags);
    if (native < 0) {
      errno = EINVAL;
      return -1;
    }
    int fd;
    do {
      fd = open(posix::NativeName(name).c_str(), native, static_cast<mode_t>(mode & 0777));
    } while (fd < 0 && errno == EINTR);
    return fd;
  }

  std::int32_t Close(std::int32_t fd) override { return close(fd); }

  std::int32_t Seek(std::int32_t fd, std::int32_t offset, std::int32_t origin) override {
    const off_t position = lseek(fd, offset, origin);
    if (position > INT32_MAX) {
      errno = EOVERFLOW;
      return -1;
    }
    return static_cast<std::int32_t>(position);
  }

  std::int32_t Read(std::int32_t fd, void* buffer, std::uint32_t count) override {
    if (count > INT32_MAX) count = INT32_MAX;
    ssize_t got;
    do {
      got = read(fd, buffer, count);
    } while (got < 0 && errno == EINTR);
    return static_cast<std::int32_t>(got);
  }

  // Writes everything unless an error stops it; the count written so far
  // (or -1 when nothing was) tells the caller how far it got.
  std::int32_t Write(std::int32_t fd, const void* buffer, std::uint32_t count) override {
    if (count > INT32_MAX) count = INT32_MAX;
    const char* bytes = static_cast<const char*>(buffer);
    std::uint32_t done = 0;
    while (done < count) {
      ssize_t put = write(fd, bytes + done, count - done);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return done == 0 ? -1 : static_cast<std::int32_t>(done);
      done += static_cast<std::uint32_t>(put);
    }
    return static_cast<std::int32_t>(done);
  }

  bool DescriptorSize(std::int32_t fd, std::uint32_t* size) override {
    struct stat info {};
    if (fstat(fd, &info) != 0) return false;
    *size = static_cast<std::uint32_t>(info.st_size);
    return true;
  }

  std::FILE* OpenStream(const char* name, const char* mode) override {
    return std::fopen(posix::NativeName(name).c_str(), mode);
  }
  std::FILE* StreamOnDescriptor(std::int32_t fd, const char* mode) override {
    return fdopen(fd, mode);
  }
  std::int32_t StreamDescriptor(std::FILE* stream) override { return fileno(stream); }
  void LockStream(std::FILE* stream) override { flockfile(stream); }
  void UnlockStream(std::FILE* stream) override { funlockfile(stream); }
};

}  // namespace

FileIo& native_file_io() {
  static PosixFileIo backend;
  return backend;
}

}  // namespace qz::platform
