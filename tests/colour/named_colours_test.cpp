// The facts that pin the 658-row colour-name table down: its size, the
// library's own rows and their places, the order of the unnumbered, numbered
// and grey-level blocks, and the database names that must be absent.
#include <array>
#include <cctype>
#include <cstring>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "qzutil/colour/colour_rgb.h"
#include "qzutil/colour/named_colours.h"

namespace {

using qz::detail::kNamedColourCount;
using qz::detail::kNamedColours;

struct Row {
  int number;  // 1-based
  const char* name;
  std::array<int, 3> rgb;
};

std::array<int, 3> Rgb(int number) {
  const auto& row = kNamedColours[number - 1];
  return {row.red, row.green, row.blue};
}

std::string Name(int number) {
  return kNamedColours[number - 1].name;
}

TEST(NamedColours, OwnRowsStandAtTheirPlacesWithTheirValues) {
  ASSERT_EQ(kNamedColourCount, 658);
  const Row own[] = {
      {88, "LightGoldenYellow", {250, 250, 210}}, {201, "dark blue", {0, 0, 128}},
      {254, "dark cyan", {0, 128, 128}},          {283, "dark green", {0, 128, 0}},
      {312, "dark yellow", {128, 128, 0}},        {393, "dark red", {128, 0, 0}},
      {426, "dark magenta", {128, 0, 128}},       {557, "medium grey", {128, 128, 128}},
      {608, "light grey", {192, 192, 192}},
  };
  for (const Row& r : own) {
    EXPECT_EQ(Name(r.number), r.name) << r.number;
    EXPECT_EQ(Rgb(r.number), r.rgb) << r.name;
  }
  // Database values, and the only names with a blank are the own ones.
  EXPECT_EQ(std::make_tuple(Name(1), Rgb(1), Name(33), Rgb(33), Name(658), Rgb(658)),
            std::make_tuple("snow", std::array{255, 250, 250}, "LightGrey",
                            std::array{211, 211, 211}, "grey100", std::array{255, 255, 255}));
  int blanks = 0;
  for (const auto& row : kNamedColours)
    blanks += std::strchr(row.name, ' ') != nullptr;
  EXPECT_EQ(blanks, 8);
}

TEST(NamedColours, BlocksFollowTheFixedOrder) {
  // Grey spellings of the six grey names come before the gray ones.
  const char* const greys[] = {"DarkSlateGrey",  "DimGrey", "SlateGrey",
                               "LightSlateGrey", "grey",    "LightGrey"};
  for (int i = 0; i < 6; ++i) {
    std::string gray = greys[i];
    gray.replace(gray.rfind("rey"), 3, "ray");
    EXPECT_EQ(Name(28 + i), greys[i]);
    EXPECT_EQ(Name(34 + i), gray);
    EXPECT_EQ(Rgb(28 + i), Rgb(34 + i));
  }
  EXPECT_EQ(Name(136), "thistle");

  // Rows 137-454: 78 stems with four shades each, plus six "dark" rows, each
  // right after the fourth shade of its stem.
  const char* const darks[][2] = {{"blue4", "dark blue"},   {"cyan4", "dark cyan"},
                                  {"green4", "dark green"}, {"yellow4", "dark yellow"},
                                  {"red4", "dark red"},     {"magenta4", "dark magenta"}};
  int stem_count = 0, number = 137;
  while (number <= 454) {
    const std::string first = Name(number);
    ASSERT_EQ(first.back(), '1') << number;
    const std::string stem = first.substr(0, first.size() - 1);
    for (int k = 1; k <= 4; ++k, ++number)
      ASSERT_EQ(Name(number), stem + std::to_string(k));
    for (const auto& d : darks) {
      if (stem + "4" == d[0]) {
        EXPECT_EQ(Name(number++), d[1]);
      }
    }
    ++stem_count;
  }
  EXPECT_EQ(stem_count, 78);
  EXPECT_EQ(Name(137), "snow1");
  EXPECT_EQ(Name(454), "thistle4");

  // Rows 455-658: gray then grey at every level 0..100, with the two own
  // greys after grey50 and grey75.
  number = 455;
  for (int level = 0; level <= 100; ++level) {
    EXPECT_EQ(Name(number++), "gray" + std::to_string(level));
    EXPECT_EQ(Name(number++), "grey" + std::to_string(level));
    EXPECT_EQ(Rgb(number - 1), Rgb(number - 2));
    if (level == 50) {
      EXPECT_EQ(Name(number++), "medium grey");
    }
    if (level == 75) {
      EXPECT_EQ(Name(number++), "light grey");
    }
  }
  EXPECT_EQ(number, 659);
}

TEST(NamedColours, EveryRowIsFoundAndNoLeftOutName) {
  // No earlier row may shadow a later one whose name differs only in case.
  for (int number = 1; number <= kNamedColourCount; ++number) {
    ColorRGB found{-1, -1, -1};
    std::string upper = Name(number);
    for (char& ch : upper)
      ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    ASSERT_EQ(found.FindName(upper.c_str()), 1) << upper;
    EXPECT_EQ((std::array{found.red, found.green, found.blue}), Rgb(number)) << upper;
  }
  ColorRGB c{1, 2, 3};
  for (const char* name :
       {"DarkGrey", "DarkGray", "DarkBlue", "DarkCyan", "DarkMagenta", "DarkRed", "LightGreen",
        "LightGoldenrodYellow", "light goldenrod yellow", "dark slate gray", "navy blue"}) {
    EXPECT_EQ(c.FindName(name), 0) << name;
  }
  EXPECT_EQ(c.red + c.green + c.blue, 6);
}

}  // namespace
