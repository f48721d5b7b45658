// How the POSIX backends read the library's names.
//
// Internal to platform/posix/. The library speaks drive letters and
// backslashes; POSIX has one tree. A name that starts with the pseudo drive
// "C:" (either case) and a separator loses the "C:", and every backslash
// becomes a slash, so "C:\data\file", "\data\file" and "/data/file" all
// name /data/file. Anything else is used as it stands.
#ifndef QZUTIL_PLATFORM_POSIX_NATIVE_NAMES_H
#define QZUTIL_PLATFORM_POSIX_NATIVE_NAMES_H

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

}  // namespace qz::platform::posix

#endif  // QZUTIL_PLATFORM_POSIX_NATIVE_NAMES_H
