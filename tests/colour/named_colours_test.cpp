// The facts that pin the 658-row colour-name table down: its size, the
// library's own rows and their places, the order of the unnumbered, numbered
// and grey-level blocks, and the database names that must be absent.
#include <array>
#include <cctype>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

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

TEST(NamedColours, OwnRowsAndDatabaseValues) {
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
  int blanks = 0;  // only the eight own "dark ..."/"... grey" rows have one
  for (const auto& row : kNamedColours)
    blanks += std::strchr(row.name, ' ') != nullptr;
  EXPECT_EQ(blanks, 8);
}

TEST(NamedColours, BlocksFollowTheFixedOrder) {
  // Rows 28-39: the six grey spellings, then the same six with gray.
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
  const std::string darks[] = {"blue", "cyan", "green", "yellow", "red", "magenta"};
  int stems = 0, dark_rows = 0, number = 137;
  while (number <= 454) {
    const std::string first = Name(number);
    ASSERT_EQ(first.back(), '1') << number;
    const std::string stem = first.substr(0, first.size() - 1);
    for (int k = 1; k <= 4; ++k, ++number)
      ASSERT_EQ(Name(number), stem + std::to_string(k));
    for (const std::string& d : darks) {
      const bool here = stem == d && Name(number) == "dark " + d;
      number += here, dark_rows += here;
    }
    ++stems;
  }
  EXPECT_EQ(std::make_tuple(stems, dark_rows, number, Name(454)),
            std::make_tuple(78, 6, 455, std::string("thistle4")));

  // Rows 455-658: gray then grey at every level 0..100 (the same value), with
  // the two own greys after grey50 and grey75.
  std::vector<std::string> want, got;
  for (int level = 0; level <= 100; ++level) {
    for (const char* spelling : {"gray", "grey"})
      want.push_back(spelling + std::to_string(level));
    if (level == 50) want.emplace_back("medium grey");
    if (level == 75) want.emplace_back("light grey");
  }
  for (number = 455; number <= 658; ++number) {
    got.push_back(Name(number));
    EXPECT_TRUE(got.back().rfind("grey", 0) != 0 || Rgb(number) == Rgb(number - 1)) << number;
  }
  EXPECT_EQ(got, want);
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
        "LightGoldenrodYellow", "DebianRed", "light goldenrod yellow", "navy blue"}) {
    EXPECT_EQ(c.FindName(name), 0) << name;
  }
  EXPECT_EQ(c.red + c.green + c.blue, 6);
}

}  // namespace
