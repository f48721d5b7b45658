// POSIX backend of the profile lookups: a reader of the settings file itself.
// The file name is opened as given, so a name without a directory is looked
// up in the current working directory, and file names keep their case.
// Only the first section of a given name is searched, and in it the first
// line of the key; lines without '=' and lines before the first section
// header are skipped. The file is read anew on every lookup.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>

#include "qzutil/platform/profile.h"

namespace qz::platform {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  return TrimRight(text);
}

char FoldCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCase(x) == FoldCase(y);
         });
}

// Sets `value` to the value of the key and answers true, or answers false
// when the file, the section or the key is missing.
bool FindValue(const char* file, const char* section, const char* key, std::string& value) {
  if (file == nullptr || section == nullptr || key == nullptr) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string line;
  bool in_section = false;
  bool first_line = true;
  while (std::getline(in, line)) {
    std::string_view text = line;
    if (first_line && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    first_line = false;
    text = Trim(text);
    if (!text.empty() && text.front() == '[') {
      if (in_section) return false;  // the section ended without the key
      text.remove_prefix(1);
      in_section = SameName(Trim(text.substr(0, text.find(']'))), section);
      continue;
    }
    const std::size_t equals = text.find('=');
    if (!in_section || equals == std::string_view::npos) continue;
    if (!SameName(Trim(text.substr(0, equals)), key)) continue;
    std::string_view found = Trim(text.substr(equals + 1));
    if (found.size() >= 2 && (found.front() == '"' || found.front() == '\'') &&
        found.back() == found.front()) {
      found = found.substr(1, found.size() - 2);
    }
    value.assign(found);
    return true;
  }
  return false;
}

// FindValue for callers that must not see an exception (a failed allocation
// reads as a missing key).
bool Lookup(const char* file, const char* section, const char* key, std::string& value) {
  try {
    return FindValue(file, section, key, value);
  } catch (...) {
    return false;
  }
}

std::int32_t ParseInt(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  std::uint32_t base = 10;
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  std::uint32_t magnitude = 0;  // wraps modulo 2^32, as the Windows reader does
  for (char c : text) {
    std::uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<std::uint32_t>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<std::uint32_t>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<std::uint32_t>(c - 'A' + 10);
    } else {
      break;
    }
    if (digit >= base) break;
    magnitude = magnitude * base + digit;
  }
  return static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
}

std::uint32_t CopyOut(std::string_view text, char* out, std::uint32_t size) {
  if (out == nullptr || size == 0) return 0;
  const std::size_t count = std::min<std::size_t>(text.size(), size - 1);
  std::memcpy(out, text.data(), count);
  out[count] = '\0';
  return static_cast<std::uint32_t>(count);
}

class PosixProfile final : public Profile {
 public:
  std::int32_t GetInt(const char* file, const char* section, const char* key,
                      std::int32_t fallback) override {
    std::string value;
    if (!Lookup(file, section, key, value) || value.empty()) return fallback;
    return ParseInt(value);
  }

  std::uint32_t GetString(const char* file, const char* section, const char* key,
                          const char* fallback, char* out, std::uint32_t size) override {
    std::string value;
    if (Lookup(file, section, key, value)) return CopyOut(value, out, size);
    return CopyOut(TrimRight(fallback != nullptr ? fallback : ""), out, size);
  }
};

}  // namespace

Profile& native_profile() {
  static PosixProfile backend;
  return backend;
}

}  // namespace qz::platform
