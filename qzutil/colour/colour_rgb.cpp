// ColorRGB: setters from numbers and names, the HSV conversions and the
// packed pixel forms. The text form (SetValue) lives in colour_text.cpp.
#include <bit>
#include <cstdint>

#include "qzutil/colour/colour_rgb.h"
#include "qzutil/colour/colour_round.h"
#include "qzutil/colour/colour_value.h"
#include "qzutil/colour/named_colours.h"

namespace {

using qz::detail::kNamedColourCount;
using qz::detail::kNamedColours;
using qz::detail::TruncateToInt;

// The host's byte order decides how the two 32-bit pixel forms are laid out.
constexpr bool kHostIsLittleEndian = std::endian::native == std::endian::little;

// Letter case of ASCII letters ignored, every other byte exact.
bool SameNameIgnoringCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
    if (x == 0) return true;
  }
}

// True for 0 <= c <= 1; false for NaN too.
bool IsUnitComponent(float c) {
  return c >= 0.0f && c <= 1.0f;
}

std::int32_t UnitToByte(float c) {
  return TruncateToInt(c * 255.0 + 0.5);
}

std::uint32_t Pack(std::int32_t high, std::int32_t middle, std::int32_t low) {
  return (static_cast<std::uint32_t>(high) << 16) | (static_cast<std::uint32_t>(middle) << 8) |
         static_cast<std::uint32_t>(low);
}

}  // namespace

unsigned short ColorRGB::SetNamedColor(const char* name) {
  return FindName(name);
}

unsigned short ColorRGB::FindName(const char* name) {
  if (name == nullptr) return 0;
  for (const auto& row : kNamedColours) {
    if (SameNameIgnoringCase(name, row.name)) {
      red = row.red;
      green = row.green;
      blue = row.blue;
      return 1;
    }
  }
  return 0;
}

unsigned short ColorRGB::FindNameForRgb(char** name) const {
  for (int i = 0; i < kNamedColourCount; ++i) {
    const auto& row = kNamedColours[i];
    if (row.red == red && row.green == green && row.blue == blue) {
      // The interface hands the name out as char*; the text stays read-only.
      *name = const_cast<char*>(row.name);
      return 1;
    }
  }
  return 0;
}

unsigned short ColorRGB::SetRGBColor(float r, float g, float b) {
  if (!IsUnitComponent(r) || !IsUnitComponent(g) || !IsUnitComponent(b)) return 0;
  red = UnitToByte(r);
  green = UnitToByte(g);
  blue = UnitToByte(b);
  return 1;
}

unsigned short ColorRGB::SetHSVColor(float h, float s, float v) {
  if (!(h >= 0.0f && h < 360.0f)) return 0;
  if (!IsUnitComponent(s) || !IsUnitComponent(v)) return 0;
  const ColorHSV hsv{h, s, v};
  HsvToRgb(&hsv, 255);
  return 1;
}

void ColorRGB::RgbToHsv(std::int32_t scale, ColorHSV* out) const {
  const double r = static_cast<double>(red) / scale;
  const double g = static_cast<double>(green) / scale;
  const double b = static_cast<double>(blue) / scale;
  double v = r, m = r;
  if (g > v) v = g;
  if (b > v) v = b;
  if (g < m) m = g;
  if (b < m) m = b;
  const double delta = v - m;
  out->value = static_cast<float>(v);
  out->saturation = v != 0.0 ? static_cast<float>(delta / v) : 0.0f;
  if (delta == 0.0) {
    out->hue = 0.0f;
    return;
  }
  double sector;
  if (v == r) {
    sector = (g - b) / delta;
  } else if (v == g) {
    sector = 2.0 + (b - r) / delta;
  } else {
    sector = 4.0 + (r - g) / delta;
  }
  // The sector position goes through a float before it is scaled to degrees.
  float hue = static_cast<float>(sector);
  hue = hue * 60.0f;
  if (hue < 0.0f) hue = hue + 360.0f;
  out->hue = hue;
}

void ColorRGB::HsvToRgb(const ColorHSV* in, std::int32_t scale) {
  const double s = in->saturation;
  const double v = in->value;
  double fr = v, fg = v, fb = v;
  if (s > 0.0) {
    const double hh = in->hue * 0.016666666666666666;
    const std::int32_t i = TruncateToInt(hh);
    const double f = hh - i;
    const double p = v * (1.0 - s);
    const double q = v * (1.0 - s * f);
    const double t = v * (1.0 - s * (1.0 - f));
    switch (i) {
      case 1:
        fr = q, fg = v, fb = p;
        break;
      case 2:
        fr = p, fg = v, fb = t;
        break;
      case 3:
        fr = p, fg = q, fb = v;
        break;
      case 4:
        fr = t, fg = p, fb = v;
        break;
      case 5:
        fr = v, fg = p, fb = q;
        break;
      default:
        fr = v, fg = t, fb = p;
        break;
    }
  }
  red = TruncateToInt(scale * fr + 0.5);
  green = TruncateToInt(scale * fg + 0.5);
  blue = TruncateToInt(scale * fb + 0.5);
}

std::uint32_t ColorRGB::RGBTo24BitColor() const {
  return Pack(blue, green, red);
}

std::uint32_t ColorRGB::RGBToBGR32BitColor() const {
  return kHostIsLittleEndian ? Pack(red, green, blue) : Pack(blue, green, red);
}

std::uint32_t ColorRGB::RGBToRGB32BitColor() const {
  return kHostIsLittleEndian ? Pack(blue, green, red) : Pack(red, green, blue);
}

void ColorRGB::BGR32BitToRGBColor(std::int32_t packed) {
  red = packed & 0xFF;
  green = (packed >> 8) & 0xFF;
  blue = (packed >> 16) & 0xFF;
}

void ColorRGB::Col24BitToRGBColor(std::int32_t packed) {
  BGR32BitToRGBColor(packed);
}

void ColorRGB::RGB32BitToRGBColor(std::int32_t packed) {
  red = (packed >> 16) & 0xFF;
  green = (packed >> 8) & 0xFF;
  blue = packed & 0xFF;
}

void ColorRGB::SetRGBColorFromColorValue(ColorValue value) {
  red = value.red;
  green = value.green;
  blue = value.blue;
}
