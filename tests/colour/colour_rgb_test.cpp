// ColorRGB: the text form, the HSV conversions against a textbook reference,
// the packed pixel forms and the name lookups.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <random>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "qzutil/colour/colour_rgb.h"

namespace {

using Rgb = std::array<std::int32_t, 3>;

Rgb Of(const ColorRGB& c) {
  return {c.red, c.green, c.blue};
}

// Result and colour of SetValue on a colour that starts as 1, 2, 3.
std::pair<int, Rgb> Parse(const char* text) {
  ColorRGB c{1, 2, 3};
  const int ok = c.SetValue(0, text);
  return {ok, Of(c)};
}

const Rgb kUnchanged = {1, 2, 3};

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
      {"HSV 0 0 0.5", 1, {128, 128, 128}},
      {"HSV 120 1 1", 1, {0, 255, 0}},
      {"hsv 240 0.5 1", 1, {128, 128, 255}},
      {"HSV 0 1.5 1", 0, kUnchanged},
      {"Name LightGrey", 1, {211, 211, 211}},
      {"Name light grey", 0, kUnchanged},
      {"Name \"light grey\"", 1, {192, 192, 192}},
      {"Name darkgreen", 1, {0, 100, 0}},
      {"Name \"dark green\"", 1, {0, 128, 0}},
      {"Name \"\"", 0, kUnchanged},
      {"Name", 0, kUnchanged},
      {"Name nosuchcolour", 0, kUnchanged},
      {"1 1 1 1", 0, kUnchanged},
      {"\"\" 1 1 1", 0, kUnchanged},
      {"", 0, kUnchanged},
  };
  for (const auto& [text, ok, rgb] : cases)
    EXPECT_EQ(Parse(text), std::make_pair(ok, rgb)) << text;
  EXPECT_EQ(Parse(nullptr), std::make_pair(0, kUnchanged));
  // An overlong name is cut by the scanner and simply not found.
  EXPECT_EQ(Parse(("Name " + std::string(400, 'q')).c_str()), std::make_pair(0, kUnchanged));
  // Not-a-number components, which no text gives, are refused as well.
  const float nan = std::nanf("");
  ColorRGB c{1, 2, 3};
  EXPECT_EQ(c.SetRGBColor(0, 0, nan) + c.SetHSVColor(nan, 0, 0) + c.SetHSVColor(0, nan, 0) +
                c.SetHSVColor(0, 0, nan),
            0);
  EXPECT_EQ(Of(c), kUnchanged);
}

TEST(ColorRGBText, RandomTextsNeverBreakTheColour) {
  static const char* const kPieces[] = {
      "RGB ", "HSV ", "Name ", "rgb", "name", " ",   " ",    "0",   "1",    "0.5",  ".25",
      "-1",   "1e0",  "2",     "\"",  "$",    "\\",  "\t",   "red", "grey", "Grey", "light grey",
      "\x01", "\xC3", "\xFF",  "+",   "-",    "360", "1e-9", "e",   "x"};
  std::mt19937 rng(7);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> length(0, 12), percent(0, 99);
  int successes = 0;
  for (int n = 0; n < 5000; ++n) {
    // Most texts start with a keyword, so that the value paths are reached.
    std::string text = percent(rng) < 70 ? kPieces[n % 3] : "";
    for (int k = length(rng); k > 0; --k)
      text += percent(rng) < 3 ? std::string(200, kPieces[piece(rng)][0]) : kPieces[piece(rng)];
    const auto [ok, rgb] = Parse(text.c_str());
    if (ok == 0) {
      EXPECT_EQ(rgb, kUnchanged) << text;
    } else {
      ++successes;
      EXPECT_EQ(ok, 1);
      for (int c : rgb)
        EXPECT_TRUE(c >= 0 && c <= 255) << text;
    }
  }
  EXPECT_GT(successes, 200) << successes;  // the generator does reach the success paths
}

// Textbook HSV, worked independently of the library's sector arithmetic.
std::array<double, 3> ReferenceHsv(const Rgb& c, double scale) {
  const double r = c[0] / scale, g = c[1] / scale, b = c[2] / scale;
  const double v = std::max({r, g, b}), delta = v - std::min({r, g, b});
  double h = 0.0;
  if (delta > 0.0) {
    if (v == r)
      h = std::fmod((g - b) / delta + 6.0, 6.0);
    else if (v == g)
      h = (b - r) / delta + 2.0;
    else
      h = (r - g) / delta + 4.0;
  }
  return {h * 60.0, v > 0.0 ? delta / v : 0.0, v};
}

TEST(ColorRGBHsv, StatedExamplesAndGeneratedColours) {
  const std::pair<Rgb, std::array<float, 3>> examples[] = {
      {{255, 0, 0}, {0.0f, 1.0f, 1.0f}},
      {{0, 0, 255}, {240.0f, 1.0f, 1.0f}},
      {{255, 0, 255}, {300.0f, 1.0f, 1.0f}},
      {{0, 0, 0}, {0.0f, 0.0f, 0.0f}},
      {{255, 255, 0}, {60.0f, 1.0f, 1.0f}},
      {{51, 51, 51}, {0.0f, 0.0f, 0.2f}},
      // The sector goes through a float before the scaling to degrees.
      {{0, 1, 14}, {235.714294f, 1.0f, 14.0f / 255.0f}},
  };
  for (const auto& [rgb, hsv] : examples) {
    ColorHSV out{-1, -1, -1};
    ColorRGB{rgb[0], rgb[1], rgb[2]}.RgbToHsv(255, &out);
    EXPECT_EQ((std::array<float, 3>{out.hue, out.saturation, out.value}), hsv);
  }

  std::mt19937 rng(3);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int n = 0; n < 20000; ++n) {
    const ColorRGB c{byte(rng), byte(rng), n % 50 == 0 ? 255 : byte(rng)};
    ColorHSV hsv{};
    c.RgbToHsv(255, &hsv);
    const auto ref = ReferenceHsv(Of(c), 255.0);
    ASSERT_NEAR(hsv.hue, ref[0], 1e-3) << c.red << " " << c.green << " " << c.blue;
    ASSERT_NEAR(hsv.saturation, ref[1], 1e-6);
    ASSERT_NEAR(hsv.value, ref[2], 1e-6);
    ASSERT_TRUE(hsv.hue >= 0.0f && hsv.hue < 360.0f);
    // Back on the same scale, every colour comes out exactly as it went in.
    ColorRGB back{};
    back.HsvToRgb(&hsv, 255);
    ASSERT_EQ(Of(back), Of(c)) << hsv.hue << " " << hsv.saturation << " " << hsv.value;
  }
  // Another scale: 1000 levels.
  const ColorRGB deep{1000, 250, 0};
  ColorHSV hsv{};
  deep.RgbToHsv(1000, &hsv);
  EXPECT_EQ(hsv.hue, 15.0f);
  ColorRGB back{};
  back.HsvToRgb(&hsv, 1000);
  EXPECT_EQ(Of(back), Of(deep));
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
  const std::pair<Rgb, const char*> first_rows[] = {{{0, 0, 128}, "navy"},
                                                    {{47, 79, 79}, "DarkSlateGrey"},
                                                    {{190, 190, 190}, "grey"},
                                                    {{127, 127, 127}, "gray50"},
                                                    {{255, 255, 255}, "white"},
                                                    {{0, 0, 0}, "black"},
                                                    {{250, 250, 210}, "LightGoldenYellow"}};
  for (const auto& [rgb, name] : first_rows) {
    const char* found = nullptr;
    EXPECT_EQ((ColorRGB{rgb[0], rgb[1], rgb[2]}.FindNameForRgb(&found)), 1);
    EXPECT_STREQ(found, name);
  }
  const char* untouched = "x";
  EXPECT_EQ((ColorRGB{1, 2, 3}.FindNameForRgb(&untouched)), 0);
  EXPECT_EQ((ColorRGB{-256, 0, 0}.FindNameForRgb(&untouched)), 0);  // bytes widen, no wrap
  EXPECT_STREQ(untouched, "x");

  ColorRGB c{};  // blanks must match exactly
  EXPECT_EQ(c.FindName("medium  grey") + c.FindName("medium grey ") + c.FindName(nullptr), 0);
}

}  // namespace
