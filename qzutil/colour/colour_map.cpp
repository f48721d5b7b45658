// ColorMap: construction, the closest-colour search and its memo, the
// setters, pixel values and the read-only colour query.
#include <cstdint>
#include <new>

#include "qzutil/colour/colour_map.h"
#include "qzutil/colour/colour_round.h"
#include "qzutil/colour/colour_search.h"

namespace {

// The last question answered by GetClosestColor, for the whole process.
struct ClosestMemo {
  const ColorMap* map = nullptr;  // identity only, never dereferenced
  bool valid = false;
  std::int32_t red = 0;
  std::int32_t green = 0;
  std::int32_t blue = 0;
  std::int32_t index = 0;
  std::int32_t distance = 0;
};

ClosestMemo g_memo;

void Remember(const ColorRGB& colour, std::int32_t index, std::int32_t distance) {
  g_memo.valid = true;
  g_memo.red = colour.red;
  g_memo.green = colour.green;
  g_memo.blue = colour.blue;
  g_memo.index = index;
  g_memo.distance = distance;
}

// Called by every member that may change the entries of `map`.
void ForgetAnswersFor(const ColorMap* map) {
  if (g_memo.map == map) g_memo.valid = false;
}

// n zeroed entries, or null when memory runs out.
ColorRGB* NewEntries(std::int32_t n) {
  return new (std::nothrow) ColorRGB[static_cast<std::size_t>(n)]();
}

std::int64_t AbsDiff(std::int32_t a, std::int32_t b) {
  const std::int64_t d = static_cast<std::int64_t>(a) - b;
  return d < 0 ? -d : d;
}

// 3 * scale * scale + 1 in unsigned 32-bit arithmetic, the search bound.
std::uint32_t SearchBound(std::int32_t scale) {
  const auto s = static_cast<std::uint32_t>(scale);
  return 3u * s * s + 1u;
}

}  // namespace

ColorMap::ColorMap(std::int32_t n, std::int32_t max_value) : ColorMap(n, max_value, nullptr) {}

ColorMap::ColorMap(std::int32_t n, std::int32_t max_value, const std::int32_t* values)
    : numColors(0), mapSize(0), maxValue(max_value), colors(nullptr) {
  if (n < 0) n = 0;
  colors = NewEntries(n);
  if (colors == nullptr) return;
  numColors = mapSize = n;
  if (values == nullptr) return;
  for (std::int32_t i = 0; i < n; ++i) {
    const std::int32_t* v = values + 3 * static_cast<std::ptrdiff_t>(i);
    colors[i] = ColorRGB{v[0], v[1], v[2]};
  }
}

ColorMap::ColorMap(const ColorMap& other)
    : numColors(0), mapSize(0), maxValue(other.maxValue), colors(nullptr) {
  *this = other;
}

ColorMap::~ColorMap() {
  if (g_memo.map == this) g_memo = ClosestMemo{};
  delete[] colors;
}

ColorMap& ColorMap::operator=(const ColorMap& other) {
  if (this == &other) return *this;
  ForgetAnswersFor(this);
  ColorRGB* copy = other.colors != nullptr ? NewEntries(other.numColors) : nullptr;
  delete[] colors;
  colors = copy;
  maxValue = other.maxValue;
  if (copy == nullptr) {
    numColors = mapSize = 0;
    return *this;
  }
  numColors = other.numColors;
  mapSize = other.mapSize;
  for (std::int32_t i = 0; i < numColors; ++i)
    colors[i] = other.colors[i];
  return *this;
}

void ColorMap::CopyColorMap(ColorMap* dest) const {
  if (dest == nullptr || dest->mapSize != mapSize || dest == this) return;
  ForgetAnswersFor(dest);
  dest->maxValue = maxValue;
  for (std::int32_t i = 0; i < mapSize; ++i)
    dest->colors[i] = colors[i];
}

unsigned short ColorMap::Identical(const ColorMap* other) const {
  if (other == nullptr || other->mapSize != mapSize) return 0;
  for (std::int32_t i = 0; i < mapSize; ++i) {
    const ColorRGB& a = colors[i];
    const ColorRGB& b = other->colors[i];
    if (a.red != b.red || a.green != b.green || a.blue != b.blue) return 0;
  }
  return 1;
}

std::int32_t ColorMap::GetClosestColor(const ColorRGB* colour, std::int32_t* distance) {
  std::int32_t scratch = 0;
  if (distance == nullptr) distance = &scratch;
  if (colour == nullptr) {
    *distance = -1;
    return 0;
  }
  if (g_memo.map != this) {
    g_memo.map = this;
    g_memo.valid = false;
  } else if (g_memo.valid && g_memo.red == colour->red && g_memo.green == colour->green &&
             g_memo.blue == colour->blue) {
    *distance = g_memo.distance;
    return g_memo.index;
  }

  // The bound is formed in unsigned 32-bit arithmetic; the search holds the
  // best distance so far as a float (see colour_search.h).
  const std::int32_t found =
      qz::detail::col::Search({colors, 1, numColors, colour->red, colour->green, colour->blue,
                               SearchBound(maxValue), qz::detail::col::SearchMode::kClosest});
  // An exact match reports distance 0 through the formula below.
  std::int32_t mean = -1;
  if (found != 0) {
    const ColorRGB& e = colors[found];
    const std::int64_t sum = AbsDiff(e.red, colour->red) + AbsDiff(e.green, colour->green) +
                             AbsDiff(e.blue, colour->blue);
    mean = qz::detail::TruncateToInt(static_cast<double>(sum) * 0.3333333333333333 + 0.5);
  }
  Remember(*colour, found, mean);
  *distance = mean;
  return found;
}

std::int32_t ColorMap::GetSimilarColor(const ColorRGB* colour) const {
  if (colour == nullptr) return 0;
  return qz::detail::col::Search({colors, 0, numColors, colour->red, colour->green, colour->blue,
                                  SearchBound(maxValue), qz::detail::col::SearchMode::kSimilar});
}

unsigned short ColorMap::SetIndex(std::int32_t index, unsigned short flag, const char* text) {
  if (index < 0 || index >= numColors) return 0;
  ForgetAnswersFor(this);
  return colors[index].SetValue(flag, text);
}

unsigned short ColorMap::SetRGBIndex(std::int32_t index, float r, float g, float b) {
  if (index < 0 || index >= numColors) return 0;
  ForgetAnswersFor(this);
  return colors[index].SetRGBColor(r, g, b);
}

void ColorMap::SetMap(std::int32_t index, const ColorRGB* colour) {
  if (colour == nullptr || index < 0 || index >= numColors) return;
  ForgetAnswersFor(this);
  colors[index] = *colour;
}

std::uint32_t ColorMap::GetValue(ImageType type, RGBOrder order, std::int32_t index) const {
  // Callers hand in the map they hold, which may be none. The compiler may
  // assume `this` is never null, so the test reads it through a volatile.
  const ColorMap* volatile self = this;
  if (self == nullptr || self->colors == nullptr) return index == 0 ? 1u : 0u;
  switch (type) {
    case ImageType8Bit:
      return static_cast<std::uint32_t>(index);
    case ImageType32Bit:
    case ImageType1Bit:
      if (index < 0 || index >= numColors) return 0;
      return order == RGBOrderBGR ? colors[index].RGBToBGR32BitColor()
                                  : colors[index].RGBToRGB32BitColor();
    default:
      return 1;
  }
}

unsigned short ColorMap::ColxGetReadOnlyColor(const ColorRWMap* readOnly, std::int32_t r,
                                              std::int32_t g, std::int32_t b,
                                              std::int32_t tolerance) const {
  if (readOnly == nullptr) return 0;
  const std::int64_t limit = 3 * static_cast<std::int64_t>(maxValue);
  std::int64_t best = limit;
  const std::int32_t n = readOnly->count < numColors ? readOnly->count : numColors;
  for (std::int32_t i = 0; i < n; ++i) {
    const ColorRGB& e = colors[i];
    const std::int64_t dr = AbsDiff(e.red, r), dg = AbsDiff(e.green, g), db = AbsDiff(e.blue, b);
    const std::int64_t sum = dr + dg + db;
    if (sum == 0) return 1;
    if (sum < best && dr < tolerance && dg < tolerance && db < tolerance) best = sum;
  }
  return best < limit ? 1 : 0;
}
