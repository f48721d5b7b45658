// The list of installed TrueType font files and the string comparison that
// sorts it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "qzutil/os/osh_system.h"
#include "qzutil/platform/system_services.h"

namespace {

constexpr std::size_t kMaxFonts = 1200;

// Gathers "<folder><separator><name>" texts, each in its own allocation.
class Gatherer final : public qz::platform::FontVisitor {
 public:
  explicit Gatherer(char separator) : separator_(separator) {}
  ~Gatherer() {
    for (std::size_t i = 0; i < count_; ++i)
      std::free(names_[i]);
  }
  Gatherer(const Gatherer&) = delete;
  Gatherer& operator=(const Gatherer&) = delete;

  bool Visit(const char* folder, const char* name) override {
    const std::size_t size = std::strlen(folder) + std::strlen(name) + 4;
    char* text = static_cast<char*>(std::calloc(size, 1));
    if (text == nullptr) {
      failed_ = true;
      return false;
    }
    std::snprintf(text, size, "%s%c%s", folder, separator_, name);
    names_[count_++] = text;
    return count_ < kMaxFonts;
  }

  // The null-terminated list, which takes the texts over; null when there
  // are none or memory ran out.
  char** Release() {
    if (failed_ || count_ == 0) return nullptr;
    auto** list = static_cast<char**>(std::calloc(count_ + 1, sizeof(char*)));
    if (list == nullptr) return nullptr;
    std::memcpy(list, names_, count_ * sizeof(char*));
    count_ = 0;
    return list;
  }

 private:
  char separator_;
  bool failed_ = false;
  std::size_t count_ = 0;
  char* names_[kMaxFonts] = {};
};

}  // namespace

char** osh_GetFontFileList(void) {
  qz::platform::SystemServices& system = qz::platform::system_services();
  auto* gatherer = new (std::nothrow) Gatherer(system.Separator());
  if (gatherer == nullptr) return nullptr;
  system.ListFontFiles(*gatherer);
  char** list = gatherer->Release();
  delete gatherer;
  return list;
}

void osh_FreeFontFileList(char*** list) {
  if (list == nullptr || *list == nullptr) return;
  for (char** name = *list; *name != nullptr; ++name)
    std::free(*name);
  std::free(*list);
  *list = nullptr;
}

std::int32_t osh_qsort_compare_strings(const void* first, const void* second) {
  const int order = std::strcmp(*static_cast<const char* const*>(first),
                                *static_cast<const char* const*>(second));
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}
