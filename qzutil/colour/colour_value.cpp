// ColorValue: construction, packed colours, map lookups and the foreground
// adjustment.
#include <cstdint>
#include <cstdlib>

#include "qzutil/colour/colour_map.h"
#include "qzutil/colour/colour_rgb.h"
#include "qzutil/colour/colour_round.h"
#include "qzutil/colour/colour_value.h"

namespace {

constexpr std::uint32_t kTagMask = 0xFF000000u;

unsigned char Byte(std::uint32_t v, int shift) {
  return static_cast<unsigned char>((v >> shift) & 0xFFu);
}

unsigned char UnitToByte(float c) {
  return static_cast<unsigned char>(qz::detail::TruncateToInt(c * 255.0 + 0.5) & 0xFF);
}

// Index of the closest usable entry and its reported distance.
std::int32_t ClosestPen(const ColorValue& value, ColorMap& map, std::int32_t* distance) {
  ColorRGB rgb{};
  rgb.SetRGBColorFromColorValue(value);
  return map.GetClosestColor(&rgb, distance);
}

}  // namespace

ColorValue::ColorValue() : pen(1), alpha(255), red(0), green(0), blue(0) {}

ColorValue::ColorValue(short p, unsigned char a, unsigned char r, unsigned char g, unsigned char b)
    : pen(p), alpha(a), red(r), green(g), blue(b) {}

ColorValue::ColorValue(short p) : pen(p), alpha(0), red(0), green(0), blue(0) {}

ColorValue::ColorValue(unsigned char r, unsigned char b, unsigned char g)
    : pen(-1), alpha(255), red(r), green(g), blue(b) {}

ColorValue::ColorValue(unsigned char a, unsigned char r, unsigned char b, unsigned char g)
    : pen(-1), alpha(a), red(r), green(g), blue(b) {}

ColorValue::ColorValue(float r, float g, float b)
    : pen(-1), alpha(255), red(UnitToByte(r)), green(UnitToByte(g)), blue(UnitToByte(b)) {}

ColorValue::ColorValue(std::int32_t packed, std::int32_t p)
    : pen((static_cast<std::uint32_t>(packed) & kTagMask) != 0 ? static_cast<short>(-1)
                                                               : static_cast<short>(p)),
      alpha(0),
      red(Byte(static_cast<std::uint32_t>(packed), 0)),
      green(Byte(static_cast<std::uint32_t>(packed), 8)),
      blue(Byte(static_cast<std::uint32_t>(packed), 16)) {}

void ColorValue::operator=(const ColorValue& other) {
  pen = other.pen;
  alpha = other.alpha;
  red = other.red;
  green = other.green;
  blue = other.blue;
}

unsigned short ColorValue::operator!=(const ColorValue& other) const {
  return pen != other.pen || alpha != other.alpha || red != other.red || green != other.green ||
         blue != other.blue;
}

void ColorValue::GetColorValue(short& p, unsigned char& a, unsigned char& r, unsigned char& g,
                               unsigned char& b) const {
  p = pen, a = alpha, r = red, g = green, b = blue;
}

void ColorValue::SetColorValue(short p, unsigned char a, unsigned char r, unsigned char g,
                               unsigned char b) {
  pen = p, alpha = a, red = r, green = g, blue = b;
}

void ColorValue::SetColorValueFromPackedColor(std::uint32_t packed) {
  if ((packed & kTagMask) != 0) {
    pen = -1;
    alpha = 255;
    red = Byte(packed, 0);
    green = Byte(packed, 8);
    blue = Byte(packed, 16);
  } else {
    pen = Byte(packed, 0);
    alpha = red = green = blue = 0;
  }
}

void ColorValue::SetColorValueFromRGB(const ColorRGB& rgb) {
  alpha = 255;
  red = static_cast<unsigned char>(rgb.red & 0xFF);
  green = static_cast<unsigned char>(rgb.green & 0xFF);
  blue = static_cast<unsigned char>(rgb.blue & 0xFF);
}

void ColorValue::SetBackgroundColorValueFromRGB(const ColorRGB& rgb) {
  SetColorValueFromRGB(rgb);
  alpha = 0;
}

void ColorValue::GetClosestColor(ColorMap& map) {
  std::int32_t distance = 0;
  pen = static_cast<short>(ClosestPen(*this, map, &distance));
}

void ColorValue::SetColorValuePenFromRGB(ColorMap& map) {
  GetClosestColor(map);
}

void ColorValue::SetExactColorValuePenFromRGB(ColorMap& map) {
  std::int32_t distance = 0;
  const std::int32_t index = ClosestPen(*this, map, &distance);
  if (distance == 0) pen = static_cast<short>(index);
}

short ColorValue::GetPen() {
  return pen;
}
unsigned char ColorValue::GetAlpha() {
  return alpha;
}
unsigned char ColorValue::GetRed() {
  return red;
}
unsigned char ColorValue::GetGreen() {
  return green;
}
unsigned char ColorValue::GetBlue() {
  return blue;
}
void ColorValue::SetPen(short p) {
  pen = p;
}
void ColorValue::SetAlpha(unsigned char a) {
  alpha = a;
}
void ColorValue::SetRed(unsigned char r) {
  red = r;
}
void ColorValue::SetGreen(unsigned char g) {
  green = g;
}
void ColorValue::SetBlue(unsigned char b) {
  blue = b;
}

void ColorValue::AdjustForeground(const ColorValue& background, ColAdjT mode) {
  const int closeness = std::abs(red - background.red) + std::abs(green - background.green) +
                        std::abs(blue - background.blue);
  if (closeness > 30) return;
  if (mode == ColAdjShift) {
    red = red < 255 ? static_cast<unsigned char>(red + 1) : static_cast<unsigned char>(254);
  } else if (mode == ColAdjInvert) {
    red = static_cast<unsigned char>(255 - red);
    green = static_cast<unsigned char>(255 - green);
    blue = static_cast<unsigned char>(255 - blue);
  }
}

void ColorValue::UndoAdjustForeground(const ColorValue& saved) {
  if (std::abs(red - saved.red) == 1 && green == saved.green && blue == saved.blue) *this = saved;
}

void ColorValue::SetXorValue(const ColorValue& a, const ColorValue& b) {
  pen = a.pen;
  red = static_cast<unsigned char>(a.red ^ b.red);
  green = static_cast<unsigned char>(a.green ^ b.green);
  blue = static_cast<unsigned char>(a.blue ^ b.blue);
}
