// Path resolution: a root-relative name ("\data\file") is looked for on the
// current drive first and then on every drive root the system lists.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "qzutil/os/osh_io.h"
#include "qzutil/os/report.h"
#include "qzutil/platform/file_system.h"

namespace qz::os::detail {
namespace {

// Writes "<letter>:<path>" into `out` and answers whether it exists. A
// candidate that does not fit is not tried.
bool ExistsOnDrive(platform::FileSystem& fs, char letter, const char* path, char* out) {
  const int length = std::snprintf(out, kPathBufferSize, "%c:%s", letter, path);
  return length > 0 && static_cast<std::uint32_t>(length) < kPathBufferSize && fs.Exists(out);
}

// A drive root as the system lists it: letter, colon, backslash. The a/b
// exclusion is in lower case only, so "A:\" and "B:\" are tried.
bool IsSearchedRoot(platform::FileSystem& fs, const char* root) {
  return fs.IsAlpha(root[0]) && root[1] == ':' && root[2] == '\\' && root[0] != 'a' &&
         root[0] != 'b';
}

Resolution FoundIf(bool found) {
  return found ? Resolution::kFound : Resolution::kNotFound;
}

}  // namespace

bool CopyName(const char* text, char* out) {
  const std::size_t length = text != nullptr ? std::strlen(text) : kPathBufferSize;
  if (length >= kPathBufferSize) {
    out[0] = '\0';
    errno = ENAMETOOLONG;
    return false;
  }
  std::memcpy(out, text, length + 1);
  return true;
}

Resolution Resolve(const char* path, char* out) {
  if (!CopyName(path, out)) return Resolution::kRefused;
  platform::FileSystem& fs = platform::file_system();
  if (path[0] != '\\' || path[1] == '\\') return FoundIf(fs.Exists(out));

  if (ExistsOnDrive(fs, fs.CurrentDrive(), path, out)) return Resolution::kFound;
  char roots[kPathBufferSize];
  const std::uint32_t length = fs.DriveRoots(kPathBufferSize, roots);
  if (length != 0 && length < kPathBufferSize) {
    for (const char* root = roots; *root != '\0'; root += std::strlen(root) + 1) {
      if (IsSearchedRoot(fs, root) && ExistsOnDrive(fs, root[0], path, out)) {
        return Resolution::kFound;
      }
    }
  }
  CopyName(path, out);
  return Resolution::kNotFound;
}

}  // namespace qz::os::detail

unsigned short osh_resolve_path(const char* path, char* out) {
  return qz::os::detail::Resolve(path, out) == qz::os::detail::Resolution::kFound ? 1 : 0;
}
