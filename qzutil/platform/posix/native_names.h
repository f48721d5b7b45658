// How the POSIX backends read the library's names.
//
// Internal to platform/posix/. The library speaks drive letters and
// backslashes; POSIX has one tree. A name that starts with the pseudo drive
// "C:" (either case) and a separator loses the "C:", and every backslash
// becomes a slash, so "C:\data\file", "\data\file" and "/data/file" all
// name /data/file. Anything else is used as it stands.
#ifndef QZUTIL_PLATFORM_POSIX_NATIVE_NAMES_H
#define QZUTIL_PLATFORM_POSIX_NATIVE_NAMES_H

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace qz::platform::posix {

// The letter the POSIX backend reports as its current drive.
inline constexpr char kPseudoDrive = 'C';

std::string NativeName(const char* name);

// The working directory, or an empty text when it cannot be read.
std::string CurrentDirectory();

// Copies `text` into `buffer` of `size` bytes with the Windows name-query
// convention: the length stored, or the size needed (terminator included)
// when the buffer is too small, in which case nothing is written.
std::uint32_t CopyOut(const std::string& text, std::uint32_t size, char* buffer);

// The file rules of the library, which POSIX does not give by itself (a
// process running as root may write anything, and a directory opens like a
// file). Both take native names and report failures through errno.
//
// Opens `native` with open(2) `flags` and `mode`, but refuses a directory
// (EISDIR) and, when writing is asked, an existing entry whose owner write
// bit is clear (EACCES), whatever the privilege; a file this call creates is
// writable through the descriptor whatever its mode. O_TRUNC takes effect
// only once the file has passed these checks. A descriptor, or -1.
int OpenUnderRules(const char* native, int flags, mode_t mode);

// Moves `from` to `to` only if `to` does not exist, atomically: there is no
// moment at which an existing `to` has been replaced. Uses renameat2 with
// RENAME_NOREPLACE, and MoveByLink where the system or the file system does
// not offer it.
bool MoveWithoutReplacing(const char* from, const char* to);
// The fallback: link(2), which refuses an existing `to`, then unlink(2) of
// `from` (undone when that fails). A directory, which cannot be linked, is
// renamed after checking that `to` is absent; rename(2) could then replace
// at most an empty directory made in between, never a file or its data.
// File systems without hard links refuse the move.
bool MoveByLink(const char* from, const char* to);

}  // namespace qz::platform::posix

#endif  // QZUTIL_PLATFORM_POSIX_NATIVE_NAMES_H
