#!/usr/bin/env python3
"""Writes qzutil/colour/named_colours_table.cpp, the library's table of colour names.

The order of the rows and the library's own rows are fixed here; every other
row takes its red, green and blue from the X colour database (rgb.txt), whose
path is the first argument:

    python3 tools/gen_named_colours.py /path/to/rgb.txt [output.cpp]

The output defaults to qzutil/colour/named_colours_table.cpp beside this
script's folder. The script stops with an error when the database lacks a
name the table needs, or holds a name without blanks that the table neither
takes nor deliberately leaves out, so a changed database cannot slip through
unnoticed.
"""

import os
import sys

# Rows 1-136: the names without a number, in the library's order (grey spellings
# before gray ones).
UNNUMBERED = """
snow GhostWhite WhiteSmoke gainsboro FloralWhite OldLace linen AntiqueWhite PapayaWhip
BlanchedAlmond bisque PeachPuff NavajoWhite moccasin cornsilk ivory LemonChiffon seashell
honeydew MintCream azure AliceBlue lavender LavenderBlush MistyRose white black DarkSlateGrey
DimGrey SlateGrey LightSlateGrey grey LightGrey DarkSlateGray DimGray SlateGray LightSlateGray
gray LightGray MidnightBlue navy NavyBlue CornflowerBlue DarkSlateBlue SlateBlue
MediumSlateBlue LightSlateBlue MediumBlue RoyalBlue blue DodgerBlue DeepSkyBlue SkyBlue
LightSkyBlue SteelBlue LightSteelBlue LightBlue PowderBlue PaleTurquoise DarkTurquoise
MediumTurquoise turquoise cyan LightCyan CadetBlue MediumAquamarine aquamarine DarkGreen
DarkOliveGreen DarkSeaGreen SeaGreen MediumSeaGreen LightSeaGreen PaleGreen SpringGreen
LawnGreen green chartreuse MediumSpringGreen GreenYellow LimeGreen YellowGreen ForestGreen
OliveDrab DarkKhaki khaki PaleGoldenrod LightGoldenYellow LightYellow yellow gold
LightGoldenrod goldenrod DarkGoldenrod RosyBrown IndianRed SaddleBrown sienna peru burlywood
beige wheat SandyBrown tan chocolate firebrick brown DarkSalmon salmon LightSalmon orange
DarkOrange coral LightCoral tomato OrangeRed red HotPink DeepPink pink LightPink PaleVioletRed
maroon MediumVioletRed VioletRed magenta violet plum orchid MediumOrchid DarkOrchid DarkViolet
BlueViolet purple MediumPurple thistle
""".split()

# Rows 137-454: four numbered shades of each stem, in this order.
STEMS = """
snow seashell AntiqueWhite bisque PeachPuff NavajoWhite LemonChiffon cornsilk ivory honeydew
LavenderBlush MistyRose azure SlateBlue RoyalBlue blue DodgerBlue SteelBlue DeepSkyBlue SkyBlue
LightSkyBlue SlateGray LightSteelBlue LightBlue LightCyan PaleTurquoise CadetBlue turquoise cyan
DarkSlateGray aquamarine DarkSeaGreen SeaGreen PaleGreen SpringGreen green chartreuse OliveDrab
DarkOliveGreen khaki LightGoldenrod LightYellow yellow gold goldenrod DarkGoldenrod RosyBrown
IndianRed sienna burlywood wheat tan chocolate firebrick brown salmon LightSalmon orange
DarkOrange coral tomato OrangeRed red DeepPink HotPink pink LightPink PaleVioletRed maroon
VioletRed magenta orchid plum MediumOrchid DarkOrchid purple MediumPurple thistle
""".split()

# The library's own rows: name -> value, and the database row each follows.
OWN = {
    "LightGoldenYellow": (250, 250, 210),
    "dark blue": (0, 0, 128),
    "dark cyan": (0, 128, 128),
    "dark green": (0, 128, 0),
    "dark yellow": (128, 128, 0),
    "dark red": (128, 0, 0),
    "dark magenta": (128, 0, 128),
    "medium grey": (128, 128, 128),
    "light grey": (192, 192, 192),
}
AFTER = {
    "blue4": "dark blue",
    "cyan4": "dark cyan",
    "green4": "dark green",
    "yellow4": "dark yellow",
    "red4": "dark red",
    "magenta4": "dark magenta",
    "grey50": "medium grey",
    "grey75": "light grey",
}

# Database names without blanks that the table leaves out on purpose: the
# library's LightGoldenYellow replaces the first, its "dark ..." rows stand
# for the Dark* ones, and the last is a distribution's own addition.
LEFT_OUT = {
    "LightGoldenrodYellow", "DarkGrey", "DarkGray", "DarkBlue", "DarkCyan", "DarkMagenta",
    "DarkRed", "LightGreen", "DebianRed",
}


def row_names():
    names = list(UNNUMBERED)
    for stem in STEMS:
        names += [stem + str(k) for k in range(1, 5)]
    for level in range(101):
        names += ["gray%d" % level, "grey%d" % level]
    rows = []
    for name in names:
        rows.append(name)
        if name in AFTER:
            rows.append(AFTER[name])
    return rows


def read_database(path):
    values = {}
    with open(path, encoding="ascii") as f:
        for line in f:
            if line.startswith("!") or not line.strip():
                continue
            parts = line.split()
            values[" ".join(parts[3:])] = tuple(int(p) for p in parts[:3])
    return values


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: gen_named_colours.py RGB_TXT [OUTPUT]")
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[2] if len(sys.argv) > 2 else os.path.join(
        here, "..", "qzutil", "colour", "named_colours_table.cpp")
    database = read_database(sys.argv[1])
    rows = row_names()
    if len(rows) != 658 or len(set(rows)) != len(rows):
        sys.exit("the row list is not 658 distinct names")
    missing = [n for n in rows if n not in OWN and n not in database]
    if missing:
        sys.exit("names missing from the database: " + ", ".join(missing))
    unexpected = [n for n in database
                  if " " not in n and n not in rows and n not in LEFT_OUT]
    if unexpected:
        sys.exit("database names neither taken nor left out: " + ", ".join(unexpected))

    lines = [
        "// Generated by tools/gen_named_colours.py from the X colour database (rgb.txt).",
        "// Do not edit: change the script and run it again.",
        '#include "qzutil/colour/named_colours.h"',
        "",
        "namespace qz::detail {",
        "",
        "// clang-format off",
        "const NamedColour kNamedColours[kNamedColourCount] = {",
    ]
    for number, name in enumerate(rows, start=1):
        r, g, b = OWN.get(name) or database[name]
        lines.append('    {%d, %d, %d, "%s"},  // %d' % (r, g, b, name, number))
    lines += ["};", "// clang-format on", "", "}  // namespace qz::detail", ""]
    with open(out, "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
