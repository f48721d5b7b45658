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

// Rows are numbered from 1.
std::array<int, 3> Rgb(int number) {
  const auto& row = kNamedColours[number - 1];
  return {row.red, row.green, row.blue};
}
std::string Name(int number) {
  return kNamedColours[number - 1].name;
}

TEST(NamedColours, OwnRowsDatabaseValuesAndAbsentNames) {
  ASSERT_EQ(kNamedColourCount, 658);
  const std::tuple<int, const char*, std::array<int, 3>> rows[] = {
      {88, "LightGoldenYellow", {250, 250, 210}}, {201, "dark blue", {0, 0, 128}},
      {254, "dark cyan", {0, 128, 128}},          {283, "dark green", {0, 128, 0}},
      {312, "dark yellow", {128, 128, 0}},        {393, "dark red", {128, 0, 0}},
      {426, "dark magenta", {128, 0, 128}},       {557, "medium grey", {128, 128, 128}},
      {608, "light grey", {192, 192, 192}},       {1, "snow", {255, 250, 250}},
      {33, "LightGrey", {211, 211, 211}},         {68, "DarkGreen", {0, 100, 0}},
      {658, "grey100", {255, 255, 255}},
  };
  for (const auto& [number, name, rgb] : rows) {
    EXPECT_EQ(Name(number), name) << number;
    EXPECT_EQ(Rgb(number), rgb) << name;
  }
  // Every row is found by its upper-case name with its own value: no earlier
  // row shadows a later one differing only in case. Only the eight own
  // "dark ..."/"... grey" rows hold a blank.
  int blanks = 0;
  for (int number = 1; number <= kNamedColourCount; ++number) {
    std::string upper = Name(number);
    for (char& ch : upper)
      ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    ColorRGB found{-1, -1, -1};
    ASSERT_EQ(found.FindName(upper.c_str()), 1) << upper;
    EXPECT_EQ((std::array{found.red, found.green, found.blue}), Rgb(number)) << upper;
    blanks += upper.find(' ') != std::string::npos;
  }
  EXPECT_EQ(blanks, 8);
  ColorRGB c{1, 2, 3};
  for (const char* name :
       {"DarkGrey", "DarkGray", "DarkBlue", "DarkCyan", "DarkMagenta", "DarkRed", "LightGreen",
        "LightGoldenrodYellow", "DebianRed", "light goldenrod yellow", "navy blue"})
    EXPECT_EQ(c.FindName(name), 0) << name;
  EXPECT_EQ(c.red + c.green + c.blue, 6);
}

TEST(NamedColours, BlocksFollowTheFixedOrder) {
  // Rows 28-39: the six grey spellings, then the same six with gray.
  const char* const greys[] = {"DarkSlateGrey",  "DimGrey", "SlateGrey",
                               "LightSlateGrey", "grey",    "LightGrey"};
  for (int i = 0; i < 6; ++i) {
    std::string gray = greys[i];
    gray.replace(gray.rfind("rey"), 3, "ray");
    EXPECT_EQ(std::make_tuple(Name(28 + i), Name(34 + i), Rgb(28 + i)),
              std::make_tuple(greys[i], gray, Rgb(34 + i)));
  }
  EXPECT_EQ(Name(136), "thistle");

  // Rows 137-454: 78 stems with four shades each, plus six "dark" rows, each
  // right after the fourth shade of its stem (the own-row check above pins
  // which stems).
  int stems = 0, dark_rows = 0, number = 137;
  for (; number <= 454; ++stems) {
    const std::string first = Name(number), stem = first.substr(0, first.size() - 1);
    for (int k = 1; k <= 4; ++k)
      ASSERT_EQ(Name(number++), stem + std::to_string(k));
    if (Name(number) == "dark " + stem) ++number, ++dark_rows;
  }
  EXPECT_EQ(std::make_tuple(stems, dark_rows, number, Name(454)),
            std::make_tuple(78, 6, 455, std::string("thistle4")));

  // Rows 455-658: gray then grey at every level 0..100 (the same value), with
  // the two own greys after grey50 and grey75.
  for (int level = 0; level <= 100; ++level, number += 2) {
    const std::string n = std::to_string(level);
    EXPECT_EQ(std::make_tuple(Name(number), Name(number + 1), Rgb(number)),
              std::make_tuple("gray" + n, "grey" + n, Rgb(number + 1)));
    number += level == 50 || level == 75;  // the own rows, checked above
  }
  EXPECT_EQ(number, 659);
}

}  // namespace
