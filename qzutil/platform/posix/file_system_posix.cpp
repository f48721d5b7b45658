// POSIX backend of the file-system seam. POSIX has no drive letters: the
// backend reports one pseudo drive whose root is the root of the tree (see
// native_names.h) and no drive roots at all. Read-only means that the owner
// may not write, and it holds for every process, root included: a read-only
// file is neither removed nor written over. A move never replaces an
// existing name. There are no short names, so a name's short form is the
// name itself when it exists.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "qzutil/platform/file_system.h"
#include "qzutil/platform/posix/native_names.h"

namespace qz::platform {
namespace {

int OpenNoInterrupt(const char* name, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = open(name, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Copies the whole of `in` to `out`; false on a read or write error.
bool CopyDescriptor(int in, int out) {
  char block[16384];
  for (;;) {
    ssize_t got = read(in, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return got == 0;
    for (ssize_t done = 0; done < got;) {
      ssize_t put = write(out, block + done, static_cast<size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return false;
      done += put;
    }
  }
}

// Closes `fd` and keeps the errno of an earlier failure.
void CloseKeepingErrno(int fd) {
  const int saved = errno;
  close(fd);
  errno = saved;
}

std::string LexicalFullPath(const char* name) {
  std::string native = posix::NativeName(name);
  if (native.empty()) return native;
  if (native[0] != '/') {
    std::string cwd = posix::CurrentDirectory();
    if (cwd.empty()) return cwd;
    native = cwd + "/" + native;
  }
  std::vector<std::string> parts;
  for (std::size_t start = 0; start <= native.size();) {
    std::size_t end = native.find('/', start);
    if (end == std::string::npos) end = native.size();
    std::string part = native.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string full;
  for (const std::string& part : parts)
    full += "/" + part;
  return full.empty() ? std::string("/") : full;
}

class PosixFileSystem final : public FileSystem {
 public:
  char CurrentDrive() override { return posix::kPseudoDrive; }
  std::uint32_t DriveRoots(std::uint32_t /*size*/, char* /*buffer*/) override { return 0; }
  bool IsAlpha(char c) override { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

  bool Exists(const char* name) override {
    return access(posix::NativeName(name).c_str(), F_OK) == 0;
  }

  std::uint32_t Attributes(const char* name) override {
    struct stat info {};
    if (stat(posix::NativeName(name).c_str(), &info) != 0) return kInvalidAttributes;
    std::uint32_t attributes = S_ISDIR(info.st_mode) ? kAttributeDirectory : kAttributeNormal;
    if ((info.st_mode & S_IWUSR) == 0) {
      attributes = (attributes & ~kAttributeNormal) | kAttributeReadOnly;
    }
    return attributes;
  }

  bool SetAttributes(const char* name, std::uint32_t attributes) override {
    const std::string native = posix::NativeName(name);
    struct stat info {};
    if (stat(native.c_str(), &info) != 0) return false;
    mode_t mode = info.st_mode & 07777;
    mode = (attributes & kAttributeReadOnly) != 0 ? (mode & ~S_IWUSR) : (mode | S_IWUSR);
    return chmod(native.c_str(), mode) == 0;
  }

  bool CopyReplacing(const char* from, const char* to) override {
    int in = posix::OpenUnderRules(posix::NativeName(from).c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (in < 0) return false;
    struct stat info {};
    if (fstat(in, &info) != 0) {
      CloseKeepingErrno(in);
      return false;
    }
    // Truncated only once it is known not to be the source itself, which a
    // copy onto itself would otherwise empty. A read-only destination is
    // refused; a new one takes the source's permissions.
    int out = posix::OpenUnderRules(posix::NativeName(to).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC,
                                    info.st_mode & 0777);
    if (out < 0) {
      CloseKeepingErrno(in);
      return false;
    }
    struct stat target {};
    const bool same =
        fstat(out, &target) == 0 && target.st_dev == info.st_dev && target.st_ino == info.st_ino;
    if (same) errno = EINVAL;
    if (same || ftruncate(out, 0) != 0) {
      CloseKeepingErrno(in);
      CloseKeepingErrno(out);
      return false;
    }
    bool copied = CopyDescriptor(in, out);
    CloseKeepingErrno(in);
    if (close(out) != 0) copied = false;
    return copied;
  }

  bool MoveTo(const char* from, const char* to) override {
    return posix::MoveWithoutReplacing(posix::NativeName(from).c_str(),
                                       posix::NativeName(to).c_str());
  }
  // The entry itself is tested (lstat): removing a link leaves its target
  // alone, so only a read-only entry of its own is kept.
  bool DeleteName(const char* name) override {
    const std::string native = posix::NativeName(name);
    struct stat info {};
    if (lstat(native.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0) {
      errno = EACCES;
      return false;
    }
    return unlink(native.c_str()) == 0;
  }
  bool MakeDir(const char* name) override {
    return mkdir(posix::NativeName(name).c_str(), 0777) == 0;
  }
  bool RemoveDir(const char* name) override { return rmdir(posix::NativeName(name).c_str()) == 0; }

  bool SizeOf(const char* name, std::uint32_t* size) override {
    int fd = OpenNoInterrupt(posix::NativeName(name).c_str(), O_RDONLY);
    if (fd < 0) return false;
    struct stat info {};
    // A directory has no size of its own here, as on systems with drives.
    const bool ok = fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
    CloseKeepingErrno(fd);
    if (ok) *size = static_cast<std::uint32_t>(info.st_size);
    return ok;
  }

  std::uint32_t FullPath(const char* name, std::uint32_t size, char* buffer) override {
    std::string full = LexicalFullPath(name);
    return full.empty() ? 0 : posix::CopyOut(full, size, buffer);
  }
  std::uint32_t ShortPath(const char* name, std::uint32_t size, char* buffer) override {
    return Exists(name) ? posix::CopyOut(name, size, buffer) : 0;
  }
  std::uint32_t WorkingDir(std::uint32_t size, char* buffer) override {
    std::string cwd = posix::CurrentDirectory();
    return cwd.empty() ? 0 : posix::CopyOut(cwd, size, buffer);
  }

  char* AllocateZeroed(std::uint32_t size) override {
    return static_cast<char*>(std::calloc(size, 1));
  }
  std::int32_t LastError() override { return errno; }
};

}  // namespace

namespace posix {

bool MoveByLink(const char* from, const char* to) {
  struct stat info {};
  if (lstat(from, &info) != 0) return false;
  if (S_ISDIR(info.st_mode)) {
    if (lstat(to, &info) == 0) {
      errno = EEXIST;
      return false;
    }
    return errno == ENOENT && rename(from, to) == 0;
  }
  if (link(from, to) != 0) return false;
  if (unlink(from) == 0) return true;
  const int saved = errno;
  unlink(to);
  errno = saved;
  return false;
}

bool MoveWithoutReplacing(const char* from, const char* to) {
#ifdef RENAME_NOREPLACE
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return true;
  // Only a system or file system without the flag falls back.
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
#endif
  return MoveByLink(from, to);
}

}  // namespace posix

FileSystem& native_file_system() {
  static PosixFileSystem backend;
  return backend;
}

}  // namespace qz::platform
