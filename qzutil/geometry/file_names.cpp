#include "qzutil/geometry/file_names.h"

#include <cerrno>
#include <cstring>

#include "qzutil/os/osh_files.h"

const char* utl_file_extension(const char* path) {
  std::size_t start = std::strlen(path);
  if (start == 0) return path;
  // Back to the last separator; without one the scan ends at the first byte.
  --start;
  while (start > 0 && path[start] != '\\' && path[start] != '/')
    --start;
  const char* dot = std::strchr(path + start, '.');
  return dot != nullptr ? dot : path + std::strlen(path);
}

std::int32_t utl_unique_filename(const char* base, const char* suffix, char* out) {
  const int saved_errno = errno;
  const std::size_t base_length = std::strlen(base);
  const std::size_t suffix_length = std::strlen(suffix);
  std::memcpy(out, base, base_length);
  std::memcpy(out + base_length, suffix, suffix_length + 1);
  const std::size_t end = base_length + suffix_length;  // one past the last position
  const std::size_t first = base_length > 0 ? base_length - 1 : 0;

  while (osh_file_exists(out) != 0) {
    std::size_t wheel = end;
    while (wheel > first && !(out[wheel - 1] >= 'A' && out[wheel - 1] <= 'Y'))
      --wheel;
    if (wheel == first) return -1;
    ++out[wheel - 1];
    for (std::size_t i = wheel; i < end; ++i) {
      if (out[i] >= 'B' && out[i] <= 'Z') out[i] = 'A';
    }
  }
  errno = saved_errno;
  return 0;
}
