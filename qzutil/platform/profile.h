// Platform seam for reading settings ("profile") files: text files of
// "[section]" headers followed by "key=value" lines.
//
// Internal: not installed, not exported. Portable code reads its settings
// only through the backend installed here; tests put a fake behind the same
// interface. Every backend follows the private-profile conventions of the
// Windows calls of the same purpose:
// - section and key names are compared without regard to (ASCII) case;
// - a value is the text after the first '=', without surrounding blanks, and
//   without one pair of matching single or double quotes around it;
// - a missing file, section or key gives the caller's default.
#ifndef QZUTIL_PLATFORM_PROFILE_H
#define QZUTIL_PLATFORM_PROFILE_H

#include <cstdint>

namespace qz::platform {

class Profile {
 public:
  virtual ~Profile() = default;

  // The value of `key` in `section` of `file` read as an integer: blanks, an
  // optional sign, then decimal digits, or hexadecimal digits after "0x",
  // up to the first other character (no digits read as 0; the value wraps
  // modulo 2^32). A missing or empty value gives `fallback`.
  virtual std::int32_t GetInt(const char* file, const char* section, const char* key,
                              std::int32_t fallback) = 0;

  // Copies the value of `key` in `section` of `file` (or `fallback` without
  // its trailing blanks when there is none; a null `fallback` reads as "")
  // into `out`, cut to `size` - 1 characters and always terminated when
  // `size` > 0. Returns the number of characters copied, without the
  // terminator.
  virtual std::uint32_t GetString(const char* file, const char* section, const char* key,
                                  const char* fallback, char* out, std::uint32_t size) = 0;
};

// The backend in use: the native one unless a test installed another.
Profile& profile();

// Installs `backend` (nullptr restores the native one) and returns the
// previously installed backend, or nullptr if that was the native one.
// The caller keeps ownership and must restore before destroying it.
Profile* set_profile(Profile* backend);

// The native backend of this build (POSIX or Win32).
Profile& native_profile();

}  // namespace qz::platform

#endif  // QZUTIL_PLATFORM_PROFILE_H
