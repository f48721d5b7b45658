// ColorValue: a colour named both by a pen (an index into a colour map) and
// by red, green and blue bytes, with an alpha byte that tells a foreground
// colour (255) from a background colour (0). A plain value without heap
// storage, copied freely.
//
// Packed colour: bits 0-7 red, 8-15 green, 16-23 blue, and a tag in bits
// 24-31; a non-zero tag marks a direct RGB colour, a zero tag a pen.
//
// The pen-from-map members go through ColorMap::GetClosestColor and its
// process-wide memo: they must not run on two threads at once.
#ifndef QZUTIL_COLOUR_COLOUR_VALUE_H
#define QZUTIL_COLOUR_COLOUR_VALUE_H

#include <cstdint>

#include "qzutil/export.h"

class ColorMap;
struct ColorRGB;

// Modes of ColorValue::AdjustForeground; every other value changes nothing.
enum ColAdjT : std::int32_t {
  ColAdjShift = 1,   // red one step away (up, or 255 down to 254)
  ColAdjInvert = 2,  // every component c becomes 255 - c
};

class QZ_API ColorValue {
 public:
  short pen;  // index into a colour map; -1: no pen, the bytes alone give the colour
  unsigned char alpha;
  unsigned char red;
  unsigned char green;
  unsigned char blue;

  // Pen 1, alpha 255, black.
  ColorValue();
  ColorValue(short p, unsigned char a, unsigned char r, unsigned char g, unsigned char b);
  // Pen p, alpha 0, black. Not explicit: host code converts a pen to a value.
  ColorValue(short p);
  // No pen, alpha 255. Note the byte order: red, BLUE, GREEN (the second
  // byte is stored as blue, the third as green).
  ColorValue(unsigned char r, unsigned char b, unsigned char g);
  // No pen, alpha a; the same red, blue, green order.
  ColorValue(unsigned char a, unsigned char r, unsigned char b, unsigned char g);
  // No pen, alpha 255; each component 0..1 stored as the low byte of
  // trunc(c * 255.0 + 0.5). No range check.
  ColorValue(float r, float g, float b);
  // Alpha 0 and the bytes of `packed`; the pen is -1 for a direct RGB colour
  // (non-zero tag), else the low 16 bits of `p` (not of `packed`).
  ColorValue(std::int32_t packed, std::int32_t p);
  ColorValue(const ColorValue&) = default;

  // Copies all five fields; answers nothing.
  void operator=(const ColorValue& other);
  // 1 if any field differs, else 0. There is no equality operator.
  unsigned short operator!=(const ColorValue& other) const;

  void GetColorValue(short& p, unsigned char& a, unsigned char& r, unsigned char& g,
                     unsigned char& b) const;
  void SetColorValue(short p, unsigned char a, unsigned char r, unsigned char g, unsigned char b);
  // Non-zero tag: no pen, alpha 255 and the bytes. Zero tag: pen = bits 0-7
  // and alpha and the bytes 0, whatever bits 8-23 held.
  void SetColorValueFromPackedColor(std::uint32_t packed);
  // Alpha 255 and the low bytes of the components; the pen stays.
  void SetColorValueFromRGB(const ColorRGB& rgb);
  // Alpha 0 and the low bytes of the components; the pen stays.
  void SetBackgroundColorValueFromRGB(const ColorRGB& rgb);

  // The pen becomes the index of the map entry closest to the bytes (entry 0
  // is never chosen; see ColorMap::GetClosestColor).
  void GetClosestColor(ColorMap& map);
  // Same as GetClosestColor.
  void SetColorValuePenFromRGB(ColorMap& map);
  // As GetClosestColor, but the pen changes only when the map reports
  // distance 0: an exact match, or one step off in a single component.
  void SetExactColorValuePenFromRGB(ColorMap& map);

  short GetPen();
  unsigned char GetAlpha();
  unsigned char GetRed();
  unsigned char GetGreen();
  unsigned char GetBlue();
  void SetPen(short p);
  void SetAlpha(unsigned char a);
  void SetRed(unsigned char r);
  void SetGreen(unsigned char g);
  void SetBlue(unsigned char b);

  // When the sum of the absolute byte differences from `background` is 30 or
  // less, changes the bytes as `mode` says; pen and alpha never change.
  void AdjustForeground(const ColorValue& background, ColAdjT mode);
  // Copies all five fields of `saved` when this colour is its ColAdjShift
  // adjustment (red one apart, green and blue equal); else nothing changes.
  // An inverted colour is never restored.
  void UndoAdjustForeground(const ColorValue& saved);
  // Pen of `a`, bytes a XOR b; alpha stays.
  void SetXorValue(const ColorValue& a, const ColorValue& b);
};

static_assert(sizeof(ColorValue) == 6, "ColorValue is a 16-bit pen and four bytes");

#endif  // QZUTIL_COLOUR_COLOUR_VALUE_H
