// ColorValue: the constructors (with their red, blue, green byte order),
// packed colours, the foreground adjustment and the pens taken from a map.
#include <tuple>

#include <gtest/gtest.h>

#include "qzutil/colour/colour_map.h"
#include "qzutil/colour/colour_value.h"

namespace {

using Fields = std::tuple<int, int, int, int, int>;  // pen, alpha, red, green, blue

Fields All(const ColorValue& v) {
  return {v.pen, v.alpha, v.red, v.green, v.blue};
}

using UC = unsigned char;

TEST(ColorValue, ConstructorsAndPackedColours) {
  const std::pair<ColorValue, Fields> made[] = {
      {ColorValue(), {1, 255, 0, 0, 0}},
      {ColorValue(short{7}, UC{9}, UC{10}, UC{20}, UC{30}), {7, 9, 10, 20, 30}},
      {ColorValue(short{-3}), {-3, 0, 0, 0, 0}},
      {ColorValue(UC{10}, UC{20}, UC{30}), {-1, 255, 10, 30, 20}},
      {ColorValue(UC{40}, UC{10}, UC{20}, UC{30}), {-1, 40, 10, 30, 20}},
      {ColorValue(1.0f, 0.5f, 0.0f), {-1, 255, 255, 128, 0}},
      {ColorValue(0x01123456, 99), {-1, 0, 0x56, 0x34, 0x12}},
      {ColorValue(0x00123456, 0x10063), {99, 0, 0x56, 0x34, 0x12}},  // pen from the second
  };
  for (const auto& [value, fields] : made)
    EXPECT_EQ(All(value), fields);

  ColorValue v(short{5}, UC{1}, UC{2}, UC{3}, UC{4});
  v.SetColorValueFromPackedColor(0x00ABCD56u);
  EXPECT_EQ(All(v), Fields(0x56, 0, 0, 0, 0));
  v.SetColorValueFromPackedColor(0x01123456u);
  EXPECT_EQ(All(v), Fields(-1, 255, 0x56, 0x34, 0x12));

  ColorValue w(short{5});
  w.SetColorValueFromRGB(ColorRGB{0x1FF, 2, 3});
  EXPECT_EQ(All(w), Fields(5, 255, 255, 2, 3));
  w.SetBackgroundColorValueFromRGB(ColorRGB{4, 5, 6});
  EXPECT_EQ(All(w), Fields(5, 0, 4, 5, 6));
  ColorRGB rgb{};
  rgb.SetRGBColorFromColorValue(w);
  EXPECT_EQ(std::make_tuple(rgb.red, rgb.green, rgb.blue), std::make_tuple(4, 5, 6));

  // Comparison and copies: one differing field is enough.
  ColorValue x = w, y(short{0});
  y = w;
  EXPECT_EQ((x != w) + (y != w), 0);
  y.SetAlpha(1);
  EXPECT_EQ(y != w, 1);
}

TEST(ColorValue, AdjustForegroundAndUndo) {
  const ColorValue background(short{2}, UC{0}, UC{250}, UC{10}, UC{10});
  ColorValue f(short{4}, UC{255}, UC{255}, UC{20}, UC{15});  // closeness 5 + 10 + 5 = 20
  const ColorValue saved = f;
  f.AdjustForeground(background, ColAdjShift);
  EXPECT_EQ(All(f), Fields(4, 255, 254, 20, 15));
  f.UndoAdjustForeground(saved);
  EXPECT_EQ(All(f), All(saved));

  ColorValue at30(short{1}, UC{9}, UC{240}, UC{20}, UC{20});  // 10 + 10 + 10
  ColorValue at31(short{1}, UC{9}, UC{239}, UC{20}, UC{20});
  at30.AdjustForeground(background, ColAdjInvert);
  at31.AdjustForeground(background, ColAdjInvert);
  EXPECT_EQ(All(at30), Fields(1, 9, 15, 235, 235));
  EXPECT_EQ(All(at31), Fields(1, 9, 239, 20, 20));
  at31.AdjustForeground(background, static_cast<ColAdjT>(3));
  EXPECT_EQ(All(at31), Fields(1, 9, 239, 20, 20));

  // Two steps of red, or an inverted colour, are not an adjustment.
  ColorValue two(short{1}, UC{9}, UC{241}, UC{20}, UC{20});
  two.UndoAdjustForeground(at31);
  at30.UndoAdjustForeground(at31);
  EXPECT_EQ(std::make_pair(All(two), All(at30)),
            std::make_pair(Fields(1, 9, 241, 20, 20), Fields(1, 9, 15, 235, 235)));

  ColorValue xo(short{0}, UC{77}, UC{0}, UC{0}, UC{0});
  xo.SetXorValue(ColorValue(short{6}, UC{1}, UC{0xF0}, UC{0x0F}, UC{0xFF}),
                 ColorValue(short{8}, UC{2}, UC{0xFF}, UC{0xFF}, UC{0x0F}));
  EXPECT_EQ(All(xo), Fields(6, 77, 0x0F, 0xF0, 0xF0));
}

TEST(ColorValue, PensFromAMap) {
  const std::int32_t entries[] = {10, 20, 30, 100, 100, 100, 12, 20, 30, 200, 0, 0};
  ColorMap map(4, 255, entries);
  ColorValue v(short{-1}, UC{255}, UC{10}, UC{20}, UC{30});  // entry 0 is never chosen
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
