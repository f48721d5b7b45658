// Internal helpers of the name tables: names folded to lower case in the
// 160-character working buffers, and the allocation seam of the lists.
#ifndef QZUTIL_TEXT_NAME_FOLD_H
#define QZUTIL_TEXT_NAME_FOLD_H

#include <cstddef>

namespace qz::detail {

// A name folded with str_lower_string in a working buffer of 160 characters
// (terminator included); longer names are cut to 159 characters. A null name
// matches nothing.
class FoldedName {
 public:
  explicit FoldedName(const char* name);
  // Whether `other`, folded the same way, equals this name.
  bool Matches(const char* other) const;

 private:
  static constexpr std::size_t kSize = 160;
  char text_[kSize];
  bool null_;
};

// Case-insensitive comparison of whole names, letter by letter with tolower
// (the platform's _stricmp). Null equals nothing.
bool SameNameIgnoringCase(const char* a, const char* b);

// The allocator of list entries and name copies: std::malloc unless a test
// installed another. Blocks are always released with std::free, so an
// installed allocator must hand out malloc'd blocks (or null).
using NameAllocator = void* (*)(std::size_t bytes);
void* name_alloc(std::size_t bytes);
// Installs `allocator` (nullptr restores std::malloc) and returns the one it
// replaces.
NameAllocator set_name_allocator(NameAllocator allocator);

}  // namespace qz::detail

#endif  // QZUTIL_TEXT_NAME_FOLD_H
