#include "qzutil/platform/posix/font_search.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

namespace qz::platform::posix {
namespace {

constexpr int kMaxDepth = 8;

bool IsTrueTypeName(const char* name) {
  const std::size_t length = std::strlen(name);
  if (length < 5 || name[length - 4] != '.') return false;
  const char* ext = name + length - 3;
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
  return lower(ext[0]) == 't' && lower(ext[1]) == 't' &&
         (lower(ext[2]) == 'f' || lower(ext[2]) == 'c');
}

bool Collect(const std::string& folder, FontVisitor& visitor, int depth) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return true;
  std::vector<std::string> subfolders;
  bool going = true;
  while (going) {
    const dirent* entry = readdir(dir);
    if (entry == nullptr) break;
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    const std::string path = folder + "/" + name;
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) continue;
    if (S_ISDIR(info.st_mode)) {
      subfolders.push_back(path);
    } else if (IsTrueTypeName(name) && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
      going = visitor.Visit(folder.c_str(), name);
    }
  }
  closedir(dir);
  if (depth < kMaxDepth) {
    for (std::size_t i = 0; going && i < subfolders.size(); ++i) {
      going = Collect(subfolders[i], visitor, depth + 1);
    }
  }
  return going;
}

}  // namespace

bool CollectTrueTypeFiles(const char* folder, FontVisitor& visitor) {
  return Collect(folder, visitor, 0);
}

}  // namespace qz::platform::posix
