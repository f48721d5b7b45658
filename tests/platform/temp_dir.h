// A fresh directory under the system's temporary directory, removed with its
// contents when the object goes away, and small file helpers.
#ifndef QZUTIL_TESTS_PLATFORM_TEMP_DIR_H
#define QZUTIL_TESTS_PLATFORM_TEMP_DIR_H

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace qz::testing {

struct TempDir {
  std::filesystem::path path = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "qz_test_XXXXXX").string();
    return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
  }();

  TempDir() = default;
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path / name, std::ios::binary) << bytes;
  }
  // The bytes of the file, or "<missing>".
  std::string Read(const std::string& name) const {
    std::ifstream in(path / name, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
  }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
};

}  // namespace qz::testing

#endif  // QZUTIL_TESTS_PLATFORM_TEMP_DIR_H
