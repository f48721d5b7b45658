// Platform seam for names in the file system: drives, existence and
// attributes, whole-file operations, directories and the full, short and
// current-directory forms of a name.
//
// Internal: not installed, not exported. Names are the library's names
// (drive letters and backslashes are understood); each backend maps them to
// its own form. Results follow the Windows conventions of the calls they
// stand for, so the portable layer states its rules once.
#ifndef QZUTIL_PLATFORM_FILE_SYSTEM_H
#define QZUTIL_PLATFORM_FILE_SYSTEM_H

#include <cstdint>

namespace qz::platform {

// File attribute bits, as the Windows file system reports them.
inline constexpr std::uint32_t kAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeNormal = 0x80;
inline constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFFu;

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Letter of the current drive ('C', ...).
  virtual char CurrentDrive() = 0;
  // The drive roots as consecutive zero-terminated texts ("C:\", "D:\", ...)
  // followed by an empty text. Returns the length without the final zero,
  // a length above `size` when the buffer is too small (nothing written), or
  // 0 on failure or when the system has no drive roots.
  virtual std::uint32_t DriveRoots(std::uint32_t size, char* buffer) = 0;
  // Whether the system counts the byte `c` as a letter.
  virtual bool IsAlpha(char c) = 0;

  // Whether the name exists (a file or a directory).
  virtual bool Exists(const char* name) = 0;
  // The attribute bits above, or kInvalidAttributes when there is no answer.
  virtual std::uint32_t Attributes(const char* name) = 0;
  // Sets kAttributeNormal, possibly with kAttributeReadOnly.
  virtual bool SetAttributes(const char* name, std::uint32_t attributes) = 0;

  // Copies `from` to `to`, replacing an existing `to`.
  virtual bool CopyReplacing(const char* from, const char* to) = 0;
  virtual bool MoveTo(const char* from, const char* to) = 0;
  virtual bool DeleteName(const char* name) = 0;
  virtual bool MakeDir(const char* name) = 0;
  virtual bool RemoveDir(const char* name) = 0;
  // Size in bytes (low 32 bits) of an existing file opened for reading.
  virtual bool SizeOf(const char* name, std::uint32_t* size) = 0;

  // The next three write into `buffer` of `size` bytes. Each returns the
  // length stored (without the terminator), the size needed (with the
  // terminator) when `size` is too small, or 0 on failure.
  virtual std::uint32_t FullPath(const char* name, std::uint32_t size, char* buffer) = 0;
  virtual std::uint32_t ShortPath(const char* name, std::uint32_t size, char* buffer) = 0;
  virtual std::uint32_t WorkingDir(std::uint32_t size, char* buffer) = 0;

  // A zero-filled block of `size` bytes that the caller releases with the
  // platform's release function (LocalFree on Windows, free on POSIX).
  virtual char* AllocateZeroed(std::uint32_t size) = 0;

  // The system's last error code after a failed call.
  virtual std::int32_t LastError() = 0;
};

// The backend in use: the native one unless a test installed another.
FileSystem& file_system();

// Installs `backend` (nullptr restores the native one) and returns the
// previously installed backend, or nullptr if that was the native one.
// The caller keeps ownership and must restore before destroying it.
FileSystem* set_file_system(FileSystem* backend);

// The native backend of this build (POSIX or Win32).
FileSystem& native_file_system();

}  // namespace qz::platform

#endif  // QZUTIL_PLATFORM_FILE_SYSTEM_H
