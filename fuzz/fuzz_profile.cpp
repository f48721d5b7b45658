// The settings-file reader on files made of the input: GetString never
// writes past the exact-size output and always terminates it, the integer
// and text answers agree on missing keys, and a fallback comes back trimmed.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "fuzz_check.h"
#include "qzutil/platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string file = (std::filesystem::temp_directory_path() /
                                   ("qz-fuzz-profile-" + std::to_string(getpid()) + ".ini"))
                                      .string();
  FuzzedDataProvider in(data, size);
  const std::string section = in.ConsumeRandomLengthString(12).c_str();
  const std::string key = in.ConsumeRandomLengthString(12).c_str();
  const auto out_size = in.ConsumeIntegralInRange<std::uint32_t>(0, 40);
  const std::string contents = in.ConsumeRemainingBytesAsString();
  std::FILE* f = std::fopen(file.c_str(), "wb");
  FUZZ_CHECK(f != nullptr);
  std::fwrite(contents.data(), 1, contents.size(), f);
  std::fclose(f);

  qz::platform::Profile& reader = qz::platform::native_profile();
  auto out = std::make_unique<char[]>(out_size);
  const std::uint32_t n =
      reader.GetString(file.c_str(), section.c_str(), key.c_str(), "  dflt  ", out.get(), out_size);
  FUZZ_CHECK(out_size == 0 ? n == 0 : n < out_size && out[n] == '\0');
  const std::int32_t a = reader.GetInt(file.c_str(), section.c_str(), key.c_str(), 12345);
  const std::int32_t b = reader.GetInt(file.c_str(), section.c_str(), key.c_str(), -12345);
  // The fallback decides only for a missing or empty value, and then both show it.
  FUZZ_CHECK(a == b || (a == 12345 && b == -12345));
  if (a == 12345 && b == -12345 && out_size > 0)
    FUZZ_CHECK(n == 0 || std::strncmp(out.get(), "  dflt", n) == 0);
  return 0;
}
