// ColorRGB: the text form, the HSV conversions against a textbook reference,
// the packed pixel forms and the name lookups.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <random>
#include <tuple>

#include <gtest/gtest.h>

#include "qzutil/colour/colour_rgb.h"

namespace {

using Rgb = std::array<std::int32_t, 3>;

Rgb Of(const ColorRGB& c) {
  return {c.red, c.green, c.blue};
}

const Rgb kUnchanged = {1, 2, 3};

// Result and colour of SetValue on a colour that starts as kUnchanged.
std::pair<int, Rgb> Parse(const char* text) {
  ColorRGB c{1, 2, 3};
  return {c.SetValue(0, text), Of(c)};
}

TEST(ColorRGBText, KeywordsNumbersAndNames) {
  const std::tuple<const char*, int, Rgb> cases[] = {
      {"rgb 1 0.5 0 and more", 1, {255, 128, 0}},
      {"\"Rgb\" 0 0 1", 1, {0, 0, 255}},  // the keyword may be any kind of token
      {"RGB a b c", 1, {0, 0, 0}},        // words count as 0
      {"RGB 1.2 0 0", 0, kUnchanged},
      {"RGB -0.1 0 0", 0, kUnchanged},
      {"RGB 1 1", 0, kUnchanged},
      {"HSV 360 1 1", 0, kUnchanged},
      {"HSV 359.9 1 1", 1, {255, 0, 0}},
      {"hsv 240 0.5 1", 1, {128, 128, 255}},
      {"HSV 0 0 0.5", 1, {128, 128, 128}},  // saturation 0: value for all three
      {"HSV 0 1.5 1", 0, kUnchanged},
      {"Name light grey", 0, kUnchanged},  // the name is the word "light"
      {"Name \"dark green\"", 1, {0, 128, 0}},
      {"Name \"\"", 0, kUnchanged},
      {"Name", 0, kUnchanged},
      {"1 1 1 1", 0, kUnchanged},
      {"", 0, kUnchanged},
  };
  for (const auto& [text, ok, rgb] : cases)
    EXPECT_EQ(Parse(text), std::make_pair(ok, rgb)) << text;
  EXPECT_EQ(Parse(nullptr), std::make_pair(0, kUnchanged));
  // Not-a-number components, which no text gives, are refused as well.
  const float nan = std::nanf("");
  ColorRGB c{1, 2, 3};
  const int set = c.SetRGBColor(0, 0, nan) + c.SetHSVColor(nan, 0, 0) + c.SetHSVColor(0, nan, 0) +
                  c.SetHSVColor(0, 0, nan);
  EXPECT_EQ(std::make_pair(set, Of(c)), std::make_pair(0, kUnchanged));
}

TEST(ColorRGBHsv, StatedExamplesAndGeneratedColours) {
  const std::pair<Rgb, std::array<float, 3>> examples[] = {
      {{255, 0, 0}, {0.0f, 1.0f, 1.0f}},
      {{0, 0, 255}, {240.0f, 1.0f, 1.0f}},
      {{255, 0, 255}, {300.0f, 1.0f, 1.0f}},
      {{0, 0, 0}, {0.0f, 0.0f, 0.0f}},
      // The sector goes through a float before the scaling to degrees.
      {{0, 1, 14}, {235.714294f, 1.0f, 14.0f / 255.0f}},
  };
  for (const auto& [rgb, hsv] : examples) {
    ColorHSV out{-1, -1, -1};
    ColorRGB{rgb[0], rgb[1], rgb[2]}.RgbToHsv(255, &out);
    EXPECT_EQ((std::array<float, 3>{out.hue, out.saturation, out.value}), hsv);
  }

  // Against textbook HSV, worked independently of the library's sector
  // arithmetic, on 8-bit colours and on a 1000-level scale.
  std::mt19937 rng(3);
  for (int n = 0; n < 20000; ++n) {
    const int scale = n % 4 == 0 ? 1000 : 255;
    std::uniform_int_distribution<int> level(0, scale);
    const ColorRGB c{level(rng), level(rng), n % 50 == 1 ? scale : level(rng)};
    const double r = c.red * 1.0 / scale, g = c.green * 1.0 / scale, b = c.blue * 1.0 / scale;
    const double v = std::max({r, g, b}), delta = v - std::min({r, g, b});
    const double sector = delta == 0.0 ? 0.0
                          : v == r     ? std::fmod((g - b) / delta + 6.0, 6.0)
                          : v == g     ? (b - r) / delta + 2.0
                                       : (r - g) / delta + 4.0;
    ColorHSV hsv{};
    c.RgbToHsv(scale, &hsv);
    SCOPED_TRACE(testing::Message() << c.red << " " << c.green << " " << c.blue << " / " << scale);
    ASSERT_NEAR(hsv.hue, sector * 60.0, 1e-3);
    ASSERT_NEAR(hsv.saturation, v > 0.0 ? delta / v : 0.0, 1e-6);
    ASSERT_NEAR(hsv.value, v, 1e-6);
    ASSERT_TRUE(hsv.hue >= 0.0f && hsv.hue < 360.0f);
    // Back on the same scale, every colour comes out exactly as it went in.
    ColorRGB back{};
    back.HsvToRgb(&hsv, scale);
    ASSERT_EQ(Of(back), Of(c));
  }
}

TEST(ColorRGBPacked, LayoutsAndInverses) {
  const ColorRGB c{1, 2, 3};
  EXPECT_EQ(c.RGBTo24BitColor(), 0x030201u);
  if constexpr (std::endian::native == std::endian::little) {
    EXPECT_EQ(c.RGBToBGR32BitColor(), 66051u);
    EXPECT_EQ(c.RGBToRGB32BitColor(), 197121u);
  }
  ColorRGB a{}, b{}, d{};
  a.BGR32BitToRGBColor(static_cast<std::int32_t>(0x7F030201));
  b.Col24BitToRGBColor(static_cast<std::int32_t>(c.RGBToRGB32BitColor()));
  d.RGB32BitToRGBColor(static_cast<std::int32_t>(c.RGBToBGR32BitColor() | 0xFF000000u));
  EXPECT_EQ(std::make_tuple(Of(a), Of(b), Of(d)), std::make_tuple(Of(c), Of(c), Of(c)));
}

TEST(ColorRGBNames, LookupsBothWays) {
  // The first row with the value wins.
  const std::pair<Rgb, const char*> first_rows[] = {{{0, 0, 128}, "navy"},
                                                    {{47, 79, 79}, "DarkSlateGrey"},
                                                    {{127, 127, 127}, "gray50"},
                                                    {{0, 0, 0}, "black"}};
  for (const auto& [rgb, name] : first_rows) {
    char* found = nullptr;  // declared as char**: plain char* must do
    EXPECT_EQ((ColorRGB{rgb[0], rgb[1], rgb[2]}.FindNameForRgb(&found)), 1);
    EXPECT_STREQ(found, name);
  }
  char mine[] = "x";
  char* untouched = mine;
  EXPECT_EQ((ColorRGB{1, 2, 3}.FindNameForRgb(&untouched)), 0);
  EXPECT_EQ((ColorRGB{-256, 0, 0}.FindNameForRgb(&untouched)), 0);  // bytes widen, no wrap
  EXPECT_STREQ(untouched, "x");

  ColorRGB c{};  // blanks must match exactly
  EXPECT_EQ(c.FindName("medium  grey") + c.FindName("medium grey ") + c.FindName(nullptr), 0);
}

}  // namespace
