// Platform seam for the system services of the operating-system layer: the
// local clock, sleeping, starting programs, the environment, the installed
// font files, the version word and the free-resource query of the old
// 16-bit-based platform.
//
// Internal: not installed, not exported.
#ifndef QZUTIL_PLATFORM_SYSTEM_SERVICES_H
#define QZUTIL_PLATFORM_SYSTEM_SERVICES_H

#include <cstdint>

namespace qz::platform {

struct LocalTime {
  std::int32_t year;    // e.g. 2007
  std::int32_t month;   // 1 to 12
  std::int32_t day;     // 1 to 31
  std::int32_t hour;    // 0 to 23
  std::int32_t minute;  // 0 to 59
  std::int32_t second;  // 0 to 59 (60 for a leap second)
};

// Receives the font files one at a time: `folder` without a trailing
// separator and the file's `name` in it. Returning false ends the listing.
class FontVisitor {
 public:
  virtual bool Visit(const char* folder, const char* name) = 0;

 protected:
  ~FontVisitor() = default;
};

class SystemServices {
 public:
  virtual ~SystemServices() = default;

  virtual LocalTime Now() = 0;
  virtual void SleepMilliseconds(std::uint32_t milliseconds) = 0;

  // Starts a command line without waiting for it. Answers as the Windows
  // program launcher does: above 31 when started, 1 to 31 for an error
  // (2: program not found), 0 when out of memory or resources.
  virtual std::uint32_t Launch(const char* command_line) = 0;

  // Hands "name=value" to the process environment; the backend takes
  // ownership of `text` (a malloc block). Returns 0, or -1 on failure.
  virtual std::int32_t PutEnv(char* text) = 0;

  // The separator that joins a font folder and a file name.
  virtual char Separator() = 0;
  // Lists the TrueType font files of the system's font folders.
  virtual void ListFontFiles(FontVisitor& visitor) = 0;

  // The system's version word (GetVersion's layout: low byte the major
  // version, top bit set on the old 16-bit-based platform).
  virtual std::uint32_t Version() = 0;
  // Asks the old platform's 16-bit resource library for the free share of
  // resource `kind`; 0 with `answer` stored, else an error code.
  virtual std::int32_t LegacyResourceInfo(std::int32_t kind, std::uint32_t* answer) = 0;
  virtual void UnloadLegacyResources() = 0;
};

// The backend in use: the native one unless a test installed another.
SystemServices& system_services();

// Installs `backend` (nullptr restores the native one) and returns the
// previously installed backend, or nullptr if that was the native one.
// The caller keeps ownership and must restore before destroying it.
SystemServices* set_system_services(SystemServices* backend);

// The native backend of this build (POSIX or Win32).
SystemServices& native_system_services();

}  // namespace qz::platform

#endif  // QZUTIL_PLATFORM_SYSTEM_SERVICES_H
