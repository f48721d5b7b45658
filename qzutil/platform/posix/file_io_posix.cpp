// POSIX backend of descriptor and stream input/output. The library's open
// flags (the Windows runtime's values) are mapped to their POSIX
// counterparts; the text and binary flags have none and are dropped, since
// POSIX streams never translate line ends. Descriptors and streams are both
// opened under the library's file rules (OpenUnderRules): no directory opens
// as a file, and no read-only file opens for writing, even for root.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "qzutil/platform/file_io.h"
#include "qzutil/platform/posix/native_names.h"

namespace qz::platform {
namespace posix {
namespace {

int OpenRetrying(const char* native, int flags, mode_t mode) {
  int fd;
  do {
    fd = open(native, flags, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

}  // namespace

int OpenUnderRules(const char* native, int flags, mode_t mode) {
  const bool writes = (flags & O_ACCMODE) != O_RDONLY;
  // As root, open(2) would truncate a read-only file before it could be
  // refused, so truncation waits for the checks below.
  const bool truncate = writes && (flags & O_TRUNC) != 0;
  if (truncate) flags &= ~O_TRUNC;
  bool created = false;
  int fd = -1;
  if ((flags & O_CREAT) != 0 && (flags & O_EXCL) == 0) {
    // Tell a file made now (writable through this descriptor whatever its
    // mode) from an existing one; retry if the file vanishes in between.
    for (int attempt = 0; attempt < 3; ++attempt) {
      fd = OpenRetrying(native, flags | O_EXCL, mode);
      created = fd >= 0;
      if (created || errno != EEXIST) break;
      fd = OpenRetrying(native, flags & ~O_CREAT, 0);
      if (fd >= 0 || errno != ENOENT) break;
    }
  } else {
    fd = OpenRetrying(native, flags, mode);
    created = fd >= 0 && (flags & O_CREAT) != 0;  // O_CREAT | O_EXCL succeeded
  }
  if (fd < 0) return -1;
  struct stat info {};
  const bool known = fstat(fd, &info) == 0;
  int refusal = 0;
  if (known && S_ISDIR(info.st_mode)) {
    refusal = EISDIR;
  } else if (known && writes && !created && (info.st_mode & S_IWUSR) == 0) {
    refusal = EACCES;
  } else if (!known || (truncate && !created && S_ISREG(info.st_mode) && ftruncate(fd, 0) != 0)) {
    refusal = errno;
  }
  if (refusal == 0) return fd;
  close(fd);
  errno = refusal;
  return -1;
}

}  // namespace posix

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

// The open(2) flags fopen uses for a stream mode ("r", "wb+", "ax" ...), or
// -1 for a mode fopen would refuse. Characters other than "+", "x" and "e"
// after the first are ignored, and so is everything from a comma on.
int StreamFlags(const char* mode) {
  if (mode == nullptr) return -1;
  int flags;
  switch (mode[0]) {
    case 'r':
      flags = O_RDONLY;
      break;
    case 'w':
      flags = O_WRONLY | O_CREAT | O_TRUNC;
      break;
    case 'a':
      flags = O_WRONLY | O_CREAT | O_APPEND;
      break;
    default:
      return -1;
  }
  for (const char* c = mode + 1; *c != '\0' && *c != ','; ++c) {
    if (*c == '+') flags = (flags & ~O_ACCMODE) | O_RDWR;
    if (*c == 'x') flags |= O_EXCL;
    if (*c == 'e') flags |= O_CLOEXEC;
  }
  return flags;
}

class PosixFileIo final : public FileIo {
 public:
  std::int32_t Open(const char* name, std::int32_t flags, std::int32_t mode) override {
    const int native = NativeFlags(flags);
    if (native < 0) {
      errno = EINVAL;
      return -1;
    }
    return posix::OpenUnderRules(posix::NativeName(name).c_str(), native,
                                 static_cast<mode_t>(mode & 0777));
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

  // The descriptor is opened as fopen would open it, then handed to a
  // stream with the same mode.
  std::FILE* OpenStream(const char* name, const char* mode) override {
    const int flags = StreamFlags(mode);
    if (flags < 0) {
      errno = EINVAL;
      return nullptr;
    }
    const int fd = posix::OpenUnderRules(posix::NativeName(name).c_str(), flags, 0666);
    if (fd < 0) return nullptr;
    std::FILE* stream = fdopen(fd, mode);
    if (stream == nullptr) {
      const int saved = errno;
      close(fd);
      errno = saved;
    }
    return stream;
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
