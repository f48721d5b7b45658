// Descriptor operations: the platform's descriptor calls with the layer's
// result conventions and reports.
#include <cerrno>

#include "qzutil/os/osh_io.h"
#include "qzutil/os/report.h"
#include "qzutil/platform/file_io.h"
#include "qzutil/platform/file_system.h"

namespace {

using qz::os::detail::Report;
using qz::os::detail::Resolution;

constexpr std::int32_t kBinaryFlag = 0x8000;

std::int32_t LastError() {
  return qz::platform::file_system().LastError();
}

short OpenDescriptor(const char* path, std::int32_t flags, std::int32_t mode) {
  char name[qz::os::detail::kPathBufferSize];
  const Resolution resolution = qz::os::detail::Resolve(path, name);
  if (resolution == Resolution::kRefused) {
    Report(errno, path, __LINE__);
    return -1;
  }
  // A name found nowhere is still opened: the flags may create it.
  if (resolution == Resolution::kNotFound) Report(errno, name, __LINE__);
  const std::int32_t fd = qz::platform::file_io().Open(name, flags, mode);
  if (fd < 0) Report(errno, name, __LINE__);
  return static_cast<short>(fd);
}

}  // namespace

short osh_open_binary(const char* path, unsigned short flags, std::int32_t mode) {
  return OpenDescriptor(path, flags | kBinaryFlag, mode);
}

short osh_open_text(const char* path, unsigned short flags, std::int32_t mode) {
  return OpenDescriptor(path, flags, mode);
}

short osh_close(std::int32_t fd) {
  const std::int32_t result = qz::platform::file_io().Close(fd);
  if (result < 0) Report(errno, nullptr, __LINE__);
  return static_cast<short>(result);
}

std::int32_t osh_lseek(std::int32_t fd, std::int32_t offset, short origin) {
  const std::int32_t position = qz::platform::file_io().Seek(fd, offset, origin);
  if (position == -1) Report(LastError(), nullptr, __LINE__);
  return position;
}

std::int32_t osh_read(std::int32_t fd, void* buffer, std::uint32_t count) {
  const std::int32_t got = qz::platform::file_io().Read(fd, buffer, count);
  if (got < 0) Report(LastError(), nullptr, __LINE__);
  return got;
}

std::int32_t osh_write(std::int32_t fd, const void* buffer, std::uint32_t count) {
  const std::int32_t put = qz::platform::file_io().Write(fd, buffer, count);
  if (put < 0 || static_cast<std::uint32_t>(put) != count) {
    Report(LastError(), nullptr, __LINE__);
    return -1;
  }
  return put;
}

unsigned short osh_unlink(const char* path) {
  char name[qz::os::detail::kPathBufferSize];
  if (qz::os::detail::Resolve(path, name) != Resolution::kFound) {
    Report(LastError(), name, __LINE__);
    return 1;
  }
  if (!qz::platform::file_system().DeleteName(name)) {
    Report(LastError(), name, __LINE__);
    return 1;
  }
  return 0;
}
