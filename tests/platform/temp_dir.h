// A fresh directory under the system's temporary directory, removed with its
// contents, and small helpers for tests on real files, on every platform.
#ifndef QZUTIL_TESTS_PLATFORM_TEMP_DIR_H
#define QZUTIL_TESTS_PLATFORM_TEMP_DIR_H

#if defined(_WIN32)
#include <windows.h>
#endif

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>

namespace qz::testing {

#if defined(_WIN32)
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The bytes of the file, or "<missing>".
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

// Sets (or, with nullptr, removes) a variable that later children inherit.
inline void SetEnvironment(const char* name, const char* value) {
#if defined(_WIN32)
  _putenv_s(name, value != nullptr ? value : "");
#else
  if (value != nullptr)
    setenv(name, value, 1);
  else
    unsetenv(name);
#endif
}

// A variable as the programs this process starts see it (on Windows the
// system's block, which can hold an empty value the runtime's table cannot).
inline std::optional<std::string> EnvironmentValue(const std::string& name) {
#if defined(_WIN32)
  std::optional<std::string> found;
  char* block = ::GetEnvironmentStringsA();
  for (const char* entry = block; entry != nullptr && *entry != '\0';
       entry += std::char_traits<char>::length(entry) + 1) {
    if (std::string_view(entry).substr(0, name.size() + 1) == name + "=") {
      found = entry + name.size() + 1;
    }
  }
  ::FreeEnvironmentStringsA(block);
  return found;
#else
  const char* value = std::getenv(name.c_str());
  return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
#endif
}

#if !defined(_WIN32)
// Descriptors this process has open (for the POSIX backend's tests).
inline int OpenDescriptorCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    ++count;
  return count;
}
#endif

class TempDir {
 public:
  TempDir() { Create(); }
  // For re-executed children (death tests): the parent creates the directory
  // and names it in `shared_as`; a child that inherits the variable uses it
  // and leaves it for the parent to check and remove.
  explicit TempDir(const char* shared_as) {
    if (const char* inherited = std::getenv(shared_as); inherited != nullptr && *inherited) {
      path_ = inherited;
      owned_ = false;
      return;
    }
    Create();
    shared_as_ = shared_as;
    SetEnvironment(shared_as, path_.c_str());
  }

  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    if (!shared_as_.empty()) SetEnvironment(shared_as_.c_str(), nullptr);
    std::error_code ignored;
    if (owned_ && !path_.empty()) std::filesystem::remove_all(path_, ignored);
  }

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + kSeparator + name; }

  void Write(const std::string& name, const std::string& bytes) const {
    WriteFile(*this / name, bytes);
  }
  std::string Read(const std::string& name) const { return ReadFile(*this / name); }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      names.insert(entry.path().filename().string());
    return names;
  }

 private:
  // create_directory fails for a name somebody else holds: try another.
  void Create() {
    auto seed = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    std::error_code error;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
      const auto candidate = std::filesystem::temp_directory_path() /
                             ("qz_test_" + std::to_string(seed % 1000000007ULL));
      if (std::filesystem::create_directory(candidate, error)) path_ = candidate.string();
    }
  }

  std::string path_;
  std::string shared_as_;
  bool owned_ = true;
};

}  // namespace qz::testing

#endif  // QZUTIL_TESTS_PLATFORM_TEMP_DIR_H
