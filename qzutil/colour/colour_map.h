// ColorMap, an indexed palette of ColorRGB entries on a common component
// scale, and ColorRWMap, a list of colour indices (the writable entries of a
// map, from which the read-only ones are derived).
//
// Vacant entries: an entry whose red is negative is never answered by the
// searches. GetClosestColor never answers entry 0.
//
// The closest-colour memo. GetClosestColor remembers, for the whole process,
// the map it searched last (by address), the colour asked for and its answer,
// and answers a repeated question about the same colour in the same map
// without a search (runs of equal pixels). Memo policy of this library: the
// memo is cleared when another map is searched, and also whenever the
// remembered map changes through its members (SetIndex, SetRGBIndex, SetMap,
// CopyColorMap into it, assignment to it) or is destroyed, so that a map
// built later at the same address never inherits a stale answer. Writes
// straight into `colors` bypass this: a caller that edits entries that way
// must not rely on an earlier answer for the same colour. The memo has no
// lock: GetClosestColor, and everything that calls it (the pen members of
// ColorValue, ColorXfm::MapColors, ColGetClosestColor), must not run on two
// threads at once.
//
// Ownership: a map owns its entry array (operator new[]), a ColorRWMap its
// index list (malloc); both are released by the destructors. Copying and
// assignment duplicate the array, so every copy may be destroyed on its own.
// When memory runs out the object is left empty (no entries, null array),
// which every member handles.
#ifndef QZUTIL_COLOUR_COLOUR_MAP_H
#define QZUTIL_COLOUR_COLOUR_MAP_H

#include <cstdint>

#include "qzutil/colour/colour_rgb.h"
#include "qzutil/export.h"

// Pixel layouts known to ColorMap::GetValue.
enum ImageType : std::int32_t {
  ImageType1Bit = 1,
  ImageType8Bit = 8,
  ImageType32Bit = 32,
};

// Channel orders of ColorMap::GetValue; every value other than 1 acts as RGB.
enum RGBOrder : std::int32_t {
  RGBOrderRGB = 0,
  RGBOrderBGR = 1,
};

class ColorRWMap;

class QZ_API ColorMap {
 public:
  std::int32_t numColors;  // entries; bounds the searches and the setters' index checks
  std::int32_t mapSize;    // entries compared by Identical and copied by CopyColorMap
  std::int32_t maxValue;   // component scale (255 for 8-bit colours); at most 37837
  ColorRGB* colors;        // numColors entries, owned

  // n black entries (a negative n makes an empty map).
  ColorMap(std::int32_t n, std::int32_t maxValue);
  // Entry i takes values[3i], values[3i + 1], values[3i + 2] as red, green,
  // blue; a null `values` gives black entries.
  ColorMap(std::int32_t n, std::int32_t maxValue, const std::int32_t* values);
  ColorMap(const ColorMap& other);
  ~ColorMap();
  ColorMap& operator=(const ColorMap& other);

  // When dest's mapSize equals this one's, copies maxValue and the entries
  // into dest (dest's numColors untouched); otherwise, or for a null dest,
  // does nothing.
  void CopyColorMap(ColorMap* dest) const;
  // 1 when both maps have the same mapSize and every entry the same red,
  // green and blue; maxValue and numColors are not compared. 0 for null.
  unsigned short Identical(const ColorMap* other) const;

  // Index (1..numColors - 1) of the usable entry nearest to `colour` by the
  // sum of squared component differences; the first exact match wins at
  // once, equal distances keep the lower index (the best distance so far is
  // held as a float, so on scales beyond 2364 a later entry must come below
  // that rounded value to win). *distance (when the pointer
  // is not null) receives the mean absolute component difference rounded
  // half up: trunc((|dr| + |dg| + |db|) * 0.3333333333333333 + 0.5), so 0
  // for an exact match and for one step off in a single component. When no
  // entry from 1 on is usable (fewer than two entries, all vacant, or all
  // beyond the scale) the answer is 0 with distance -1.
  // Cost: a memo hit a few comparisons; otherwise one pass over the
  // entries, on x86 8 or 16 at a step (SSE2, or AVX2 or AVX-512, whichever
  // the processor runs) for scales up to 2364 and colours within +-16384,
  // entry by entry for anything else.
  std::int32_t GetClosestColor(const ColorRGB* colour, std::int32_t* distance);
  // Index (0..numColors - 1) of the nearest usable entry that is not
  // identical to `colour`; 0 when there is none. Leaves the memo alone.
  // Same cost as a search of GetClosestColor.
  std::int32_t GetSimilarColor(const ColorRGB* colour) const;

  // For 0 <= index < numColors, sets that entry from a text line with
  // ColorRGB::SetValue and answers its result; otherwise answers 0.
  unsigned short SetIndex(std::int32_t index, unsigned short flag, const char* text);
  // For 0 <= index < numColors, ColorRGB::SetRGBColor on that entry;
  // otherwise 0.
  unsigned short SetRGBIndex(std::int32_t index, float r, float g, float b);
  // Copies the colour into the entry; an index outside the map is ignored.
  void SetMap(std::int32_t index, const ColorRGB* colour);

  // Pixel value of an entry: the index itself for ImageType8Bit; the entry
  // packed by RGBToBGR32BitColor (order RGBOrderBGR) or RGBToRGB32BitColor
  // (any other order) for ImageType32Bit and ImageType1Bit, 0 when the index
  // lies outside the map; 1 for any other type. A map without an entry array
  // (and a call through a null map pointer) answers 1 for index 0 and 0 for
  // every other index.
  std::uint32_t GetValue(ImageType type, RGBOrder order, std::int32_t index) const;

  // 1 when one of this map's entries 0 .. readOnly->count - 1 (the map's own
  // entries, in index order; readOnly's indices are not consulted and vacant
  // entries are not skipped) matches (r, g, b) exactly, or lies within
  // `tolerance` (strictly) in every component with a summed difference below
  // 3 * maxValue. Entries past numColors are not read.
  unsigned short ColxGetReadOnlyColor(const ColorRWMap* readOnly, std::int32_t r, std::int32_t g,
                                      std::int32_t b, std::int32_t tolerance) const;
};

class QZ_API ColorRWMap {
 public:
  std::int32_t size;   // capacity of list
  std::int32_t count;  // valid indices at the front of list
  std::int32_t* list;  // size indices, zero-filled at construction, owned

  // A negative size makes an empty list. Not explicit, like the other
  // colour constructors that take one count.
  ColorRWMap(std::int32_t size);
  ColorRWMap(const ColorRWMap& other);
  ~ColorRWMap();
  ColorRWMap& operator=(const ColorRWMap& other);

  // Called on the list of writable indices, which must be ascending without
  // repeats: out->count = out->size - count - reserved, and out->list
  // receives that many indices, counting up from 0 and skipping the ones in
  // this list. A count that would be negative, or beyond out->size, is cut to
  // 0 or out->size.
  void MakeRoList(ColorRWMap* out, std::int32_t reserved) const;
};

#endif  // QZUTIL_COLOUR_COLOUR_MAP_H
