// System services: time stamp, host name, programs, sleeping, environment,
// resource information and the fixed data-representation records.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "qzutil/os/osh_system.h"
#include "qzutil/platform/system_services.h"

namespace {

namespace platform = qz::platform;

constexpr char kHostName[] = "localhost";
constexpr unsigned short kSystemType = 8;
constexpr std::int32_t kParameterCount = 10;
constexpr short kParameters[kParameterCount] = {1, 2, kSystemType, 2, 1, 1, 2, 4, 4, 8};
constexpr std::uint32_t kMaxSleepMilliseconds = 0xFFFFFFFEu;  // 0xFFFFFFFF waits forever

short g_sys_parms[kParameterCount] = {1, 2, 0, 2, 1, 1, 2, 4, 4, 8};

// The version word, read on first use of osh_resource_info.
bool g_version_known = false;
std::uint32_t g_version = 0;

// The old 16-bit-based platform: top bit set and a major version of 3 or less.
bool IsOldPlatform(std::uint32_t version) {
  return (version & 0x80000000u) != 0 && (version & 0xFFu) <= 3;
}

}  // namespace

std::int32_t osh_get_time_stamp(char* buffer) {
  const platform::LocalTime now = platform::system_services().Now();
  // Formatted apart so that a field out of its range cannot run past the
  // caller's 14 characters.
  char text[80];
  std::snprintf(text, sizeof text, "%02d%02d%02d.%02d%02d%02d", static_cast<int>(now.year % 100),
                static_cast<int>(now.month), static_cast<int>(now.day), static_cast<int>(now.hour),
                static_cast<int>(now.minute), static_cast<int>(now.second));
  std::memcpy(buffer, text, 13);
  buffer[13] = '\0';
  return 13;
}

std::int32_t osh_gethostname(char* buffer, std::int32_t size) {
  if (size > 0) std::strncpy(buffer, kHostName, static_cast<std::size_t>(size));
  return 0;
}

std::int32_t osh_system(void* /*unused*/, const char* command_line) {
  if (command_line == nullptr) return 2;
  const std::uint32_t code = platform::system_services().Launch(command_line);
  // Above 31: started. 0 means out of resources and is answered as 0 too.
  return code > 31 ? 0 : static_cast<std::int32_t>(code);
}

unsigned short osh_system_type(void) {
  return kSystemType;
}

void osh_sleep(std::int32_t seconds) {
  const std::uint64_t wanted = seconds > 0 ? static_cast<std::uint64_t>(seconds) * 1000u : 0u;
  platform::system_services().SleepMilliseconds(
      static_cast<std::uint32_t>(wanted < kMaxSleepMilliseconds ? wanted : kMaxSleepMilliseconds));
}

std::int32_t osh_setenv(const char* name, const char* value) {
  if (name == nullptr) return -1;
  if (value == nullptr) value = "";
  const std::size_t size = std::strlen(name) + std::strlen(value) + 2;
  char* text = static_cast<char*>(std::malloc(size));
  if (text == nullptr) return -1;
  std::snprintf(text, size, "%s=%s", name, value);
  return platform::system_services().PutEnv(text);
}

std::int32_t osh_resource_info(std::int32_t kind, std::uint32_t* answer) {
  if (!g_version_known) {
    g_version = platform::system_services().Version();
    g_version_known = true;
  }
  if (!IsOldPlatform(g_version)) {
    *answer = 100;
    return 0;
  }
  return platform::system_services().LegacyResourceInfo(kind, answer);
}

void osh_resource_info_unload(void) {
  platform::system_services().UnloadLegacyResources();
}

short* osh_get_sys_parms(void) {
  g_sys_parms[2] = static_cast<short>(kSystemType);
  return g_sys_parms;
}

void osh_get_file_parms(short* record) {
  std::memcpy(record, kParameters, sizeof kParameters);
}
