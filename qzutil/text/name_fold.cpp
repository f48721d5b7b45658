#include "qzutil/text/name_fold.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "qzutil/text/str_parse.h"

namespace qz::detail {

namespace {

void* SystemAlloc(std::size_t bytes) {
  return std::malloc(bytes);
}

NameAllocator g_allocator = &SystemAlloc;

// Copies at most size - 1 characters of `name` and folds them.
void Fold(char* buffer, std::size_t size, const char* name) {
  std::size_t n = 0;
  while (n + 1 < size && name[n] != '\0') {
    buffer[n] = name[n];
    ++n;
  }
  buffer[n] = '\0';
  str_lower_string(buffer);
}

}  // namespace

FoldedName::FoldedName(const char* name) : text_(), null_(name == nullptr) {
  if (!null_) Fold(text_, kSize, name);
}

bool FoldedName::Matches(const char* other) const {
  if (null_ || other == nullptr) return false;
  char folded[kSize];
  Fold(folded, kSize, other);
  return std::strcmp(text_, folded) == 0;
}

bool SameNameIgnoringCase(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return false;
  for (;; ++a, ++b) {
    const int ca = std::tolower(static_cast<unsigned char>(*a));
    const int cb = std::tolower(static_cast<unsigned char>(*b));
    if (ca != cb) return false;
    if (ca == 0) return true;
  }
}

void* name_alloc(std::size_t bytes) {
  return g_allocator(bytes);
}

NameAllocator set_name_allocator(NameAllocator allocator) {
  const NameAllocator previous = g_allocator;
  g_allocator = allocator != nullptr ? allocator : &SystemAlloc;
  return previous;
}

}  // namespace qz::detail
