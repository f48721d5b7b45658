// Win32 backend of the profile lookups: the kernel's private-profile calls.
// A file named without a directory is looked up where Windows looks for it
// (the Windows directory).
#include <windows.h>

#include "qzutil/platform/profile.h"

namespace qz::platform {
namespace {

class Win32Profile final : public Profile {
 public:
  std::int32_t GetInt(const char* file, const char* section, const char* key,
                      std::int32_t fallback) override {
    return static_cast<std::int32_t>(::GetPrivateProfileIntA(section, key, fallback, file));
  }
  std::uint32_t GetString(const char* file, const char* section, const char* key,
                          const char* fallback, char* out, std::uint32_t size) override {
    if (out == nullptr || size == 0) return 0;
    return static_cast<std::uint32_t>(
        ::GetPrivateProfileStringA(section, key, fallback, out, size, file));
  }
};

}  // namespace

Profile& native_profile() {
  static Win32Profile backend;
  return backend;
}

}  // namespace qz::platform
