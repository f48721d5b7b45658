// ColorValue: the constructors (with their red, blue, green byte order),
// packed colours, the foreground adjustment and the pens taken from a map.
#include <tuple>

#include <gtest/gtest.h>

#include "qzutil/colour/colour_map.h"
#include "qzutil/colour/colour_value.h"

namespace {

using Fields = std::tuple<int, int, int, int, int>;  // pen, alpha, red, green, blue
using UC = unsigned char;

Fields All(const ColorValue& v) {
  return {v.pen, v.alpha, v.red, v.green, v.blue};
}

// The five-field constructor, in field order.
ColorValue Of(short p, UC a, UC r, UC g, UC b) {
  return {p, a, r, g, b};
}

TEST(ColorValue, ConstructorsPackedColoursAndCopies) {
  const std::pair<ColorValue, Fields> made[] = {
      {ColorValue(), {1, 255, 0, 0, 0}},
      {Of(7, 9, 10, 20, 30), {7, 9, 10, 20, 30}},
      {ColorValue(short{-3}), {-3, 0, 0, 0, 0}},
      {ColorValue(UC{10}, UC{20}, UC{30}), {-1, 255, 10, 30, 20}},
      {ColorValue(UC{40}, UC{10}, UC{20}, UC{30}), {-1, 40, 10, 30, 20}},
      {ColorValue(1.0f, 0.5f, 0.0f), {-1, 255, 255, 128, 0}},
      {ColorValue(0x01123456, 99), {-1, 0, 0x56, 0x34, 0x12}},
      {ColorValue(0x00123456, 0x10063), {99, 0, 0x56, 0x34, 0x12}},  // pen from the second
  };
  for (const auto& [value, fields] : made)
    EXPECT_EQ(All(value), fields);

  ColorValue v = Of(5, 1, 2, 3, 4);
  v.SetColorValueFromPackedColor(0x00ABCD56u);
  EXPECT_EQ(All(v), Fields(0x56, 0, 0, 0, 0));
  v.SetColorValueFromPackedColor(0x01123456u);
  EXPECT_EQ(All(v), Fields(-1, 255, 0x56, 0x34, 0x12));

  ColorValue w(short{5}), y(short{0});
  w.SetColorValueFromRGB(ColorRGB{0x1FF, 2, 3});
  EXPECT_EQ(All(w), Fields(5, 255, 255, 2, 3));
  w.SetBackgroundColorValueFromRGB(ColorRGB{4, 5, 6});
  EXPECT_EQ(All(w), Fields(5, 0, 4, 5, 6));
  ColorRGB rgb{};
  rgb.SetRGBColorFromColorValue(w);
  EXPECT_EQ(std::make_tuple(rgb.red, rgb.green, rgb.blue), std::make_tuple(4, 5, 6));

  // Comparison and copies: one differing field is enough.
  y = w;
  EXPECT_EQ(y != w, 0);
  y.SetAlpha(1);
  EXPECT_EQ(y != w, 1);
}

TEST(ColorValue, AdjustForegroundAndUndo) {
  const ColorValue background = Of(2, 0, 250, 10, 10);
  // Closeness 5 + 10 + 5 = 20, 9 + 10 + 10 = 29; then 30 (adjusted) and 31 (not).
  for (const auto& [colour, mode, want] :
       {std::tuple{Of(4, 255, 255, 20, 15), ColAdjShift, Fields(4, 255, 254, 20, 15)},
        {Of(1, 9, 241, 20, 20), ColAdjShift, Fields(1, 9, 242, 20, 20)},
        {Of(1, 9, 240, 20, 20), ColAdjInvert, Fields(1, 9, 15, 235, 235)},
        {Of(1, 9, 239, 20, 20), ColAdjInvert, Fields(1, 9, 239, 20, 20)},
        {Of(1, 9, 240, 20, 20), static_cast<ColAdjT>(3), Fields(1, 9, 240, 20, 20)}}) {
    ColorValue v = colour;
    v.AdjustForeground(background, mode);
    EXPECT_EQ(All(v), want);
  }

  // Only one step of red, nothing else changed, is taken back.
  const ColorValue saved = Of(4, 255, 240, 20, 15);
  for (const auto& [now, back] : {std::pair{Of(0, 0, 241, 20, 15), true},
                                  {Of(0, 0, 239, 20, 15), true},
                                  {Of(0, 0, 242, 20, 15), false},
                                  {Of(0, 0, 15, 235, 240), false}}) {
    ColorValue v = now;
    v.UndoAdjustForeground(saved);
    EXPECT_EQ(All(v), All(back ? saved : now));
  }

  ColorValue xo = Of(0, 77, 0, 0, 0);
  xo.SetXorValue(Of(6, 1, 0xF0, 0x0F, 0xFF), Of(8, 2, 0xFF, 0xFF, 0x0F));
  EXPECT_EQ(All(xo), Fields(6, 77, 0x0F, 0xF0, 0xF0));
}

TEST(ColorValue, PensFromAMap) {
  const std::int32_t entries[] = {10, 20, 30, 100, 100, 100, 12, 20, 30, 200, 0, 0};
  ColorMap map(4, 255, entries);
  ColorValue v = Of(-1, 255, 10, 20, 30);  // entry 0 is never chosen
  v.GetClosestColor(map);
  EXPECT_EQ(v.GetPen(), 2);
  v.SetPen(-1);
  v.SetExactColorValuePenFromRGB(map);  // two steps off: distance 1
  EXPECT_EQ(v.GetPen(), -1);
  v.SetRed(13);  // one step off: distance 0
  v.SetExactColorValuePenFromRGB(map);
  EXPECT_EQ(v.GetPen(), 2);
  v.SetColorValue(0, 255, 190, 5, 0);
  v.SetColorValuePenFromRGB(map);
  EXPECT_EQ(v.GetPen(), 3);
}

}  // namespace
