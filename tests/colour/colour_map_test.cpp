// ColorMap, ColorRWMap, ColorXfm and the plain colour functions: the
// closest-colour search and its memo, the similar-colour search, the
// setters, pixel values, read-only lists and index translation.
#include <functional>
#include <new>
#include <tuple>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "qzutil/colour/colour_functions.h"
#include "qzutil/colour/colour_value.h"

namespace {

std::pair<std::int32_t, std::int32_t> Closest(ColorMap& map, ColorRGB c) {
  std::int32_t distance = -2;
  const std::int32_t index = map.GetClosestColor(&c, &distance);
  return {index, distance};
}

// Vacant entries, the bound, ties, exact matches, the best distance held as
// a float and the rounding of the distance are compared with a linear search
// on random maps in colour_search_test.cpp. Random maps never hold
// components whose squared differences would wrap around to a small sum.
TEST(ColorMapSearch, FarOffComponentsOverflowNothing) {
  ColorMap map(4, 10);
  map.colors[3] = {INT32_MAX, INT32_MAX, 1 << 17};
  const ColorRGB low{INT32_MIN, INT32_MIN, 0};  // squares that would wrap to 2
  EXPECT_EQ(std::make_pair(map.GetSimilarColor(&low), Closest(map, low).first),
            std::make_pair(0, 0));
}

TEST(ColorMapSearch, MemoAnswersRepeatsUntilAnotherMapOrAChange) {
  ColorMap a(3, 255), b(3, 255);
  a.colors[1] = {50, 50, 50};
  a.colors[2] = {60, 60, 60};
  EXPECT_EQ(Closest(a, {58, 58, 58}), std::make_pair(2, 2));
  // A write straight into the entries is not seen: the repeat is answered
  // from the memo, without a search.
  a.colors[2] = {255, 255, 255};
  EXPECT_EQ(Closest(a, {58, 58, 58}), std::make_pair(2, 2));
  EXPECT_EQ(Closest(a, {57, 58, 58}), std::make_pair(1, 8));  // another colour searches
  EXPECT_EQ(Closest(a, {58, 58, 58}), std::make_pair(1, 8));
  a.colors[2] = {58, 58, 58};
  EXPECT_EQ(Closest(b, {58, 58, 58}).first, 1);  // another map clears the memo
  EXPECT_EQ(Closest(a, {58, 58, 58}), std::make_pair(2, 0));

  // Every member that changes entries forgets the remembered answer at once.
  const ColorRGB grey{10, 10, 10};
  b.colors[1] = grey;
  const std::function<void()> changes[] = {
      [&] { a.SetMap(1, &grey); }, [&] { a.SetRGBIndex(1, 0.04f, 0.04f, 0.04f); },
      [&] { a.SetIndex(1, 0, "RGB 0.04 0.04 0.04"); }, [&] { b.CopyColorMap(&a); }};
  for (const auto& change : changes) {
    a.colors[1] = {0, 0, 0};
    b.GetClosestColor(&grey, nullptr);  // another map: a is searched afresh
    EXPECT_EQ(Closest(a, grey), std::make_pair(1, 10));
    change();
    EXPECT_EQ(Closest(a, grey), std::make_pair(1, 0));
  }

  // A map destroyed and another made at the same address start afresh.
  ColorMap* first = ColOpen(2, 255);
  EXPECT_EQ(Closest(*first, {1, 1, 1}), std::make_pair(1, 1));
  first->~ColorMap();
  ColorMap* second = new (first) ColorMap(3, 255);
  second->colors[1] = {99, 99, 99};
  EXPECT_EQ(Closest(*second, {1, 1, 1}), std::make_pair(2, 1));
  ColDeleteColorMap(second);
}

TEST(ColorMapEntries, SettersCopiesAndPixelValues) {
  ColorMap map(4, 255);
  EXPECT_EQ(map.SetIndex(4, 0, "RGB 1 1 1") + map.SetIndex(-1, 0, "RGB 1 1 1") +
                map.SetRGBIndex(4, 1, 1, 1) + map.SetRGBIndex(-1, 1, 1, 1) +
                map.SetIndex(1, 0, "RGB 2 2 2"),
            0);
  EXPECT_EQ(map.SetIndex(3, 0, "Name \"dark red\"") + map.SetRGBIndex(2, 0, 0, 1), 2);
  const ColorRGB outside{7, 7, 7};
  map.SetMap(4, &outside);
  map.SetMap(-1, &outside);

  EXPECT_EQ(map.GetValue(ImageType32Bit, RGBOrderBGR, 3), 0x800000u);
  EXPECT_EQ(map.GetValue(ImageType1Bit, static_cast<RGBOrder>(7), 3), 0x80u);
  EXPECT_EQ(map.GetValue(ImageType32Bit, RGBOrderRGB, 2), 0xFF0000u);
  EXPECT_EQ(map.GetValue(ImageType8Bit, RGBOrderRGB, 12345), 12345u);
  EXPECT_EQ(map.GetValue(static_cast<ImageType>(4), RGBOrderRGB, 2), 1u);
  EXPECT_EQ(map.GetValue(ImageType32Bit, RGBOrderRGB, 4), 0u);
  ColorMap empty(0, 255);
  delete[] empty.colors;
  empty.colors = nullptr;  // as left when memory runs out: no map
  EXPECT_EQ(empty.GetValue(ImageType8Bit, RGBOrderRGB, 0), 1u);
  EXPECT_EQ(empty.GetValue(ImageType8Bit, RGBOrderRGB, 5), 0u);

  // Identical and CopyColorMap look at mapSize only.
  ColorMap copy(map), other(5, 7);
  copy.maxValue = 100;
  EXPECT_EQ(copy.Identical(&map) + map.Identical(&copy), 2);
  copy.colors[3].blue = 1;
  EXPECT_EQ(copy.Identical(&map) + map.Identical(&other) + map.Identical(nullptr), 0);
  map.CopyColorMap(&copy);
  EXPECT_EQ(std::make_pair(copy.Identical(&map) + 0, copy.maxValue), std::make_pair(1, 255));
  map.CopyColorMap(&other);  // another size: untouched
  EXPECT_EQ(other.maxValue, 7);
  other = map;  // a deep copy: both may be destroyed
  EXPECT_NE(other.colors, map.colors);
  EXPECT_EQ(std::make_pair(other.numColors, other.Identical(&map) + 0), std::make_pair(4, 1));
}

TEST(ColorRWMap, ReadOnlyListsAndColours) {
  ColorRWMap writable(8), out(8), copy(1);
  writable.count = 3;
  writable.list[0] = 1, writable.list[1] = 2, writable.list[2] = 5;
  writable.MakeRoList(&out, 1);
  EXPECT_EQ(std::vector<int>(out.list, out.list + out.count), (std::vector<int>{0, 3, 4, 6}));
  copy = writable;
  copy.MakeRoList(&out, 5);
  EXPECT_EQ(out.count, 0);
  copy.MakeRoList(&out, -4);  // would be 9: cut to the capacity
  EXPECT_EQ(std::vector<int>(out.list, out.list + out.count),
            (std::vector<int>{0, 3, 4, 6, 7, 8, 9, 10}));

  // Entry 3 lies beyond readOnly.count and is never examined; the vacant
  // entry 1 is examined like any other.
  const std::int32_t entries[] = {100, 100, 100, -1, 0, 0, 0, 0, 0, 50, 50, 50};
  ColorMap map(4, 255, entries);
  ColorRWMap readOnly(4);
  readOnly.count = 3;
  EXPECT_EQ(map.ColxGetReadOnlyColor(&readOnly, 100, 100, 100, 0), 1);
  EXPECT_EQ(map.ColxGetReadOnlyColor(&readOnly, -1, 0, 0, 0), 1);
  EXPECT_EQ(map.ColxGetReadOnlyColor(&readOnly, 101, 100, 100, 0), 0);
  EXPECT_EQ(map.ColxGetReadOnlyColor(&readOnly, 104, 97, 100, 5), 1);
  EXPECT_EQ(map.ColxGetReadOnlyColor(&readOnly, 105, 100, 100, 5), 0);
  EXPECT_EQ(map.ColxGetReadOnlyColor(&readOnly, 200, 200, 200, 300), 1);  // 300 away, below 765
  EXPECT_EQ(map.ColxGetReadOnlyColor(&readOnly, 50, 50, 50, 0), 0);
  readOnly.count = 99;  // more than the map holds: its entries only
  EXPECT_EQ(map.ColxGetReadOnlyColor(&readOnly, 50, 50, 50, 0), 1);
}

TEST(ColorXfm, TranslatesIndicesAndCountsTheMatches) {
  // Source entry i is grey (d, d, d), at mean distance d from the black entry
  // 1 of the target (the last one is nearer white); entry 0 is not counted,
  // and the target's entry 0, nearest to 8, 8, 8, is never answered.
  std::vector<std::int32_t> src;
  for (int d : {0, 0, 3, 4, 7, 8, 15, 16, 31, 32, 40, 250})
    src.insert(src.end(), {d, d, d});
  const std::int32_t dst[] = {9, 9, 9, 0, 0, 0, 255, 255, 255};
  auto* source = static_cast<ColorMap*>(ColNewColorMap(12, 255, src.data()));
  ColorMap target(3, 255, dst);
  ColorXfm* xfm = ColOpenXfm(12);
  EXPECT_EQ(xfm->DoColorXfm(3), 0u);  // never mapped: zero-filled
  for (int run = 0; run < 2; ++run) {
    ColMapColors(source, &target, xfm);
    EXPECT_EQ(std::vector<int>(xfm->table, xfm->table + 12),
              (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2}));
    EXPECT_EQ(std::make_tuple(xfm->numExact, xfm->numWithin3, xfm->numWithin7, xfm->numWithin15,
                              xfm->numWithin31),
              std::make_tuple(1, 1, 3, 2, 2));
  }
  EXPECT_EQ(xfm->DoColorXfm(12) + xfm->DoColorXfm(0xFFFFFFFFu), 4u);  // the last entry

  std::int32_t distance = 0;  // without a map: none
  EXPECT_EQ(ColGetClosestColor(&target.colors[2], nullptr, &distance), 0);
  EXPECT_EQ(distance, -1);

  ColCloseXfm(&xfm);
  ColorXfm* none = nullptr;
  ColCloseXfm(&none);
  ColCloseXfm(nullptr);
  ColDeleteColorMap(nullptr);
  ColDeleteColorMap(source);
}

// Entry i of the transform becomes base + i.
void Fill(ColorXfm& xfm, std::int32_t base) {
  for (std::int32_t i = 0; i < xfm.size; ++i)
    xfm.table[i] = base + i;
}

// Copies and assignments share one counted table; the reads catch a table
// released while still held and handed out again (random sequences of the
// same run in the colour-map fuzz target, under the sanitizers).
TEST(ColorXfmSharing, CopiesAndAssignmentsKeepEveryHoldersTableAlive) {
  auto* a = new ColorXfm(4);
  ColorXfm b(4), c(4);
  Fill(*a, 10), Fill(b, 20), Fill(c, 30);
  a->numWithin7 = 2;
  const ColorXfm copy(*a);
  EXPECT_EQ(std::make_tuple(copy.size, copy.table, copy.numWithin7),
            std::make_tuple(4, a->table, 2));
  *a = b;
  *a = c;  // b still holds the table a held a moment ago
  *a = *a;
  ColorXfm reuse(4);  // lands on a wrongly released table
  Fill(reuse, 90);
  EXPECT_EQ(a->table, c.table);
  EXPECT_EQ(std::make_tuple(b.DoColorXfm(3), c.DoColorXfm(0), copy.DoColorXfm(9)),
            std::make_tuple(23u, 30u, 13u));
  c = b;
  delete a;  // the last holder of the 30s
  EXPECT_EQ(std::make_tuple(b.table, c.DoColorXfm(3)), std::make_tuple(c.table, 23u));
  const ColorXfm empty(0), empty_copy(empty);  // a null table is shared too
  EXPECT_EQ(empty_copy.table, nullptr);
}

// Code written against the declared members compiles unchanged: copies of a
// transform, and the one-count constructors used as conversions.
static_assert(std::is_copy_constructible_v<ColorXfm>);
static_assert(std::is_convertible_v<std::int32_t, ColorXfm> &&
              std::is_convertible_v<std::int32_t, ColorRWMap> &&
              std::is_convertible_v<short, ColorValue>);

}  // namespace
