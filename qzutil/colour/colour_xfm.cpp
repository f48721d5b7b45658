// ColorXfm and the plain colour functions.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "qzutil/colour/colour_functions.h"
#include "qzutil/colour/colour_xfm.h"

namespace {

// A table is one malloc block: this header, then the indices. The header
// counts the transforms that hold the table; it is atomic so that
// transforms sharing one table may live on different threads.
struct TableHeader {
  std::atomic<std::size_t> holders;
};

// Header bytes, rounded up so that the indices stay aligned.
constexpr std::size_t kHeaderBytes = (sizeof(TableHeader) + alignof(std::int32_t) - 1) /
                                     alignof(std::int32_t) * alignof(std::int32_t);

TableHeader* HeaderOf(std::int32_t* table) {
  return reinterpret_cast<TableHeader*>(reinterpret_cast<unsigned char*>(table) - kHeaderBytes);
}

// n zeroed indices held once, or null when memory runs out.
std::int32_t* NewTable(std::int32_t n) {
  const auto count = static_cast<std::size_t>(n);
  if (count > (SIZE_MAX - kHeaderBytes) / sizeof(std::int32_t)) return nullptr;
  void* block = std::calloc(1, kHeaderBytes + count * sizeof(std::int32_t));
  if (block == nullptr) return nullptr;
  new (block) TableHeader{1};
  return reinterpret_cast<std::int32_t*>(static_cast<unsigned char*>(block) + kHeaderBytes);
}

void Hold(std::int32_t* table) {
  if (table != nullptr) HeaderOf(table)->holders.fetch_add(1, std::memory_order_relaxed);
}

// Drops one holder; the last one releases the block.
void Release(std::int32_t* table) {
  if (table == nullptr) return;
  TableHeader* header = HeaderOf(table);
  if (header->holders.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    header->~TableHeader();
    std::free(header);
  }
}

}  // namespace

ColorXfm::ColorXfm(std::int32_t n)
    : size(0),
      table(nullptr),
      numExact(0),
      numWithin3(0),
      numWithin7(0),
      numWithin15(0),
      numWithin31(0) {
  if (n <= 0) return;
  table = NewTable(n);
  if (table != nullptr) size = n;
}

ColorXfm::ColorXfm(const ColorXfm& other)
    : size(other.size),
      table(other.table),
      numExact(other.numExact),
      numWithin3(other.numWithin3),
      numWithin7(other.numWithin7),
      numWithin15(other.numWithin15),
      numWithin31(other.numWithin31) {
  Hold(table);
}

ColorXfm::~ColorXfm() {
  Release(table);
}

ColorXfm& ColorXfm::operator=(const ColorXfm& other) {
  if (this == &other) return *this;
  // Hold before releasing, so that a table both transforms already share is
  // never dropped to zero holders on the way.
  Hold(other.table);
  Release(table);
  size = other.size;
  table = other.table;
  numExact = other.numExact;
  numWithin3 = other.numWithin3;
  numWithin7 = other.numWithin7;
  numWithin15 = other.numWithin15;
  numWithin31 = other.numWithin31;
  return *this;
}

void ColorXfm::MapColors(ColorMap* source, ColorMap* target) {
  numExact = numWithin3 = numWithin7 = numWithin15 = numWithin31 = 0;
  if (source == nullptr || target == nullptr) return;
  const std::int32_t n = size < source->numColors ? size : source->numColors;
  for (std::int32_t i = 0; i < n; ++i) {
    std::int32_t d = 0;
    table[i] = target->GetClosestColor(&source->colors[i], &d);
    if (i == 0 || d < 0) continue;
    if (d == 0) {
      ++numExact;
    } else if (d <= 3) {
      ++numWithin3;
    } else if (d <= 7) {
      ++numWithin7;
    } else if (d <= 15) {
      ++numWithin15;
    } else if (d <= 31) {
      ++numWithin31;
    }
  }
}

std::uint32_t ColorXfm::DoColorXfm(std::uint32_t index) const {
  if (size <= 0 || table == nullptr) return 0;
  const auto last = static_cast<std::uint32_t>(size - 1);
  return static_cast<std::uint32_t>(table[index <= last ? index : last]);
}

ColorMap* ColOpen(std::int32_t n, std::int32_t max_value) {
  return static_cast<ColorMap*>(ColNewColorMap(n, max_value, nullptr));
}

void* ColNewColorMap(std::int32_t n, std::int32_t max_value, const std::int32_t* values) {
  auto* map = new (std::nothrow) ColorMap(n, max_value, values);
  if (map != nullptr && map->colors == nullptr) {
    delete map;
    return nullptr;
  }
  return map;
}

void ColDeleteColorMap(void* map) {
  delete static_cast<ColorMap*>(map);
}

ColorXfm* ColOpenXfm(std::int32_t n) {
  auto* xfm = new (std::nothrow) ColorXfm(n);
  if (xfm != nullptr && n > 0 && xfm->table == nullptr) {
    delete xfm;
    return nullptr;
  }
  return xfm;
}

void ColCloseXfm(ColorXfm** handle) {
  if (handle != nullptr) delete *handle;
}

void ColMapColors(ColorMap* source, ColorMap* target, ColorXfm* xfm) {
  if (xfm != nullptr) xfm->MapColors(source, target);
}

std::int32_t ColGetClosestColor(const ColorRGB* colour, ColorMap* map, std::int32_t* distance) {
  if (map == nullptr) {
    if (distance != nullptr) *distance = -1;
    return 0;
  }
  return map->GetClosestColor(colour, distance);
}
