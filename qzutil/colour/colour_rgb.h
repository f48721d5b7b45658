// ColorRGB, the integer colour that maps, colour values and transforms
// exchange, and ColorHSV, its hue-saturation-value form.
//
// Components are signed 32-bit integers, 0..255 when set by the setters
// below; a colour map marks a vacant entry with a negative red. The HSV
// conversions take the component scale as a parameter.
//
// Text form, read by SetValue: a keyword (RGB, HSV or Name, letter case
// ignored) followed by three numbers or by a colour name, e.g.
//   RGB 1 0.5 0        components 0..1
//   HSV 240 0.5 1      hue 0 <= h < 360, saturation and value 0..1
//   Name LightGrey     a row of the library's 658-row colour-name table
//   Name "light grey"  names with a blank must be quoted
// The text is read with str_parse, whose token record is shared by the whole
// process: SetValue (and ColorMap::SetIndex) must not run on two threads at
// once. Every other member touches only its own object and constant tables.
//
// Every setter that answers unsigned short answers 1 on success and 0 on
// failure, and leaves the colour unchanged when it fails. Nothing prints.
#ifndef QZUTIL_COLOUR_COLOUR_RGB_H
#define QZUTIL_COLOUR_COLOUR_RGB_H

#include <cstdint>

#include "qzutil/export.h"

class ColorValue;

// Hue in degrees (0 <= hue < 360), saturation and value 0..1.
struct QZ_API ColorHSV {
  float hue;
  float saturation;
  float value;
};

struct QZ_API ColorRGB {
  std::int32_t red;
  std::int32_t green;
  std::int32_t blue;

  // Sets the colour from a text line (see the top of this file). The flag is
  // accepted and not used. Text after the last token used is ignored; a null
  // or empty text, an unknown keyword, fewer than three values after RGB or
  // HSV, a value out of range, or an unknown name answers 0. Tokens after RGB
  // or HSV that are not numbers count as 0.
  unsigned short SetValue(unsigned short flag, const char* text);

  // Same as FindName.
  unsigned short SetNamedColor(const char* name);
  // Sets the colour from the first table row whose name equals `name`, ASCII
  // letter case ignored, every other character (blanks included) exact.
  // A null name answers 0.
  unsigned short FindName(const char* name);
  // Stores the name of the first table row whose bytes equal red, green and
  // blue; 0 (and *name untouched) when none does. The text is the library's
  // constant: the caller must never free or change it, even though it is
  // handed out as char*.
  unsigned short FindNameForRgb(char** name) const;

  // Components 0..1, each stored as trunc(c * 255.0 + 0.5). A component
  // below 0, above 1 or not a number answers 0.
  unsigned short SetRGBColor(float r, float g, float b);
  // Hue 0 <= h < 360 (360 is refused), saturation and value 0..1; stored
  // through HsvToRgb on the scale 255. Not-a-number arguments answer 0.
  unsigned short SetHSVColor(float h, float s, float v);

  // HSV of this colour whose components run from 0 to `scale`, worked out in
  // double precision and stored as floats. Black, and every grey, has hue 0
  // and saturation 0; ties between equal largest components go to red, then
  // green.
  void RgbToHsv(std::int32_t scale, ColorHSV* out) const;
  // Sets the components, on 0..`scale`, from `in`: each is
  // trunc(scale * factor + 0.5) with the factors of the usual six-sector
  // formula, worked out in double precision. A saturation of 0 or less gives
  // the grey of the value. Hues outside 0 <= h < 360 are the caller's to
  // avoid (sectors other than 0..5 take the formula of sector 0).
  void HsvToRgb(const ColorHSV* in, std::int32_t scale);

  // Packed pixels. Components are shifted and OR-ed without masking, so they
  // must lie within 0..255.
  // (blue << 16) | (green << 8) | red on every host.
  std::uint32_t RGBTo24BitColor() const;
  // Bytes blue, green, red, 0 in memory: (red << 16) | (green << 8) | blue on
  // a little-endian host, (blue << 16) | (green << 8) | red on a big-endian.
  std::uint32_t RGBToBGR32BitColor() const;
  // Bytes red, green, blue, 0 in memory: the reverse arrangement.
  std::uint32_t RGBToRGB32BitColor() const;

  // red = bits 0-7, green = bits 8-15, blue = bits 16-23, on every host: the
  // inverse of RGBTo24BitColor (and of RGBToRGB32BitColor on a little-endian
  // host).
  void BGR32BitToRGBColor(std::int32_t packed);
  // The same operation under its other name.
  void Col24BitToRGBColor(std::int32_t packed);
  // red = bits 16-23, green = bits 8-15, blue = bits 0-7: the inverse of
  // RGBToBGR32BitColor on a little-endian host.
  void RGB32BitToRGBColor(std::int32_t packed);

  // Takes red, green and blue of the value; its pen and alpha are ignored.
  void SetRGBColorFromColorValue(ColorValue value);
};

static_assert(sizeof(ColorRGB) == 12, "ColorRGB is three 32-bit words");
static_assert(sizeof(ColorHSV) == 12, "ColorHSV is three 32-bit floats");

#endif  // QZUTIL_COLOUR_COLOUR_RGB_H
