#include "qzutil/platform/posix/native_names.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace qz::platform::posix {

std::string NativeName(const char* name) {
  std::string native(name);
  if (native.size() >= 3 && (native[0] == kPseudoDrive || native[0] == kPseudoDrive + 32) &&
      native[1] == ':' && (native[2] == '\\' || native[2] == '/')) {
    native.erase(0, 2);
  }
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

std::string CurrentDirectory() {
  std::vector<char> buffer(1024);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() > (1u << 20)) return std::string();
    buffer.resize(buffer.size() * 2);
  }
  return std::string(buffer.data());
}

std::uint32_t CopyOut(const std::string& text, std::uint32_t size, char* buffer) {
  const auto length = static_cast<std::uint32_t>(text.size());
  if (buffer == nullptr || length >= size) return length + 1;
  std::memcpy(buffer, text.c_str(), length + 1);
  return length;
}

}  // namespace qz::platform::posix
