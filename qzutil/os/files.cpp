// Whole-file services: copy, append, existence, access, mode word and size.
#include "qzutil/os/osh_files.h"
#include "qzutil/os/osh_io.h"
#include "qzutil/os/report.h"
#include "qzutil/platform/file_io.h"
#include "qzutil/platform/file_system.h"

namespace {

using qz::os::detail::kPathBufferSize;
using qz::os::detail::Resolution;
using qz::os::detail::Resolve;
namespace platform = qz::platform;

constexpr unsigned short kAppendFlags = 0x0109;  // write-only, append, create
constexpr std::int32_t kOwnerReadWrite = 0x0180;
constexpr std::uint32_t kCatBlock = 1024;

// The attributes of a resolved existing name, or kInvalidAttributes.
std::uint32_t ResolvedAttributes(const char* path) {
  char name[kPathBufferSize];
  if (Resolve(path, name) != Resolution::kFound) return platform::kInvalidAttributes;
  return platform::file_system().Attributes(name);
}

}  // namespace

std::int32_t osh_copyfile(const char* destination, const char* source) {
  char name[kPathBufferSize];
  if (destination == nullptr || Resolve(source, name) != Resolution::kFound) return 0;
  return platform::file_system().CopyReplacing(name, destination) ? 1 : 0;
}

unsigned short osh_cat(const char* destination, const char* source) {
  char name[kPathBufferSize];
  if (Resolve(source, name) != Resolution::kFound) return 0;
  const short in = osh_open_binary(name, 0, 0);
  if (in < 0) return 0;
  const short out = osh_open_binary(destination, kAppendFlags, kOwnerReadWrite);
  if (out < 0) {
    osh_close(in);
    return 0;
  }
  osh_lseek(out, 0, 2);
  char block[kCatBlock];
  std::int32_t got = -1;
  bool written = true;
  while (written && (got = osh_read(in, block, kCatBlock)) > 0) {
    written = osh_write(out, block, static_cast<std::uint32_t>(got)) == got;
  }
  osh_close(in);
  osh_close(out);
  return written && got == 0 ? 1 : 0;
}

unsigned short osh_file_exists(const char* path) {
  if (path == nullptr) return 0;
  return ResolvedAttributes(path) != platform::kInvalidAttributes ? 1 : 0;
}

unsigned short osh_file_access(const char* path, std::int32_t access) {
  const std::uint32_t attributes = ResolvedAttributes(path);
  if (attributes == platform::kInvalidAttributes) return 0;
  const bool write_asked = (access & 2) != 0;
  return write_asked && (attributes & platform::kAttributeReadOnly) != 0 ? 0 : 1;
}

unsigned short osh_inquire_file(const char* path, unsigned short* mode) {
  const std::uint32_t attributes = ResolvedAttributes(path);
  if (attributes == platform::kInvalidAttributes || mode == nullptr) return 0;
  unsigned short word = (attributes & platform::kAttributeReadOnly) != 0 ? 0x16D : 0x1FF;
  word |= (attributes & platform::kAttributeDirectory) != 0 ? 0x1000 : 0x0400;
  *mode = word;
  return 1;
}

std::int32_t osh_filesize(const char* path) {
  char name[kPathBufferSize];
  std::uint32_t size = 0;
  if (Resolve(path, name) != Resolution::kFound || !platform::file_system().SizeOf(name, &size)) {
    return -1;
  }
  return static_cast<std::int32_t>(size);
}

std::int32_t osh_fdfilesize(std::int32_t fd) {
  std::uint32_t size = 0;
  if (!platform::file_io().DescriptorSize(fd, &size)) return -1;
  return static_cast<std::int32_t>(size);
}
