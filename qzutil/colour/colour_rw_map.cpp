// ColorRWMap: the list of colour indices and the read-only list derived
// from it.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "qzutil/colour/colour_map.h"

namespace {

// n zeroed indices, or null (n <= 0 or memory out).
std::int32_t* NewIndexList(std::int32_t n) {
  if (n <= 0) return nullptr;
  return static_cast<std::int32_t*>(std::calloc(static_cast<std::size_t>(n), sizeof(std::int32_t)));
}

}  // namespace

ColorRWMap::ColorRWMap(std::int32_t n) : size(0), count(0), list(NewIndexList(n)) {
  if (list != nullptr) size = n;
}

ColorRWMap::ColorRWMap(const ColorRWMap& other) : size(0), count(0), list(nullptr) {
  *this = other;
}

ColorRWMap::~ColorRWMap() {
  std::free(list);
}

ColorRWMap& ColorRWMap::operator=(const ColorRWMap& other) {
  if (this == &other) return *this;
  std::int32_t* copy = NewIndexList(other.size);
  std::free(list);
  list = copy;
  if (copy == nullptr) {
    size = count = 0;
    return *this;
  }
  size = other.size;
  count = other.count;
  std::memcpy(list, other.list, static_cast<std::size_t>(size) * sizeof(std::int32_t));
  return *this;
}

void ColorRWMap::MakeRoList(ColorRWMap* out, std::int32_t reserved) const {
  if (out == nullptr) return;
  std::int64_t wanted = static_cast<std::int64_t>(out->size) - count - reserved;
  if (wanted < 0) wanted = 0;
  if (wanted > out->size) wanted = out->size;
  out->count = static_cast<std::int32_t>(wanted);
  const std::int32_t known = count < size ? count : size;  // never read past the list
  std::int32_t j = 0, c = 0;
  for (std::int32_t appended = 0; appended < out->count; ++c) {
    if (j < known && list[j] == c) {
      ++j;
      continue;
    }
    out->list[appended++] = c;
  }
}
