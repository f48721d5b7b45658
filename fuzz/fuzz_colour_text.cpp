// Colour text and names: a setter succeeds with components in 0..255 or leaves
// the colour alone; a name found maps back to the same colour; HSV stays in range.
#include <string>

#include "fuzz_check.h"
#include "qzutil/colour/colour_map.h"
#include "qzutil/colour/colour_rgb.h"

namespace {

bool Equal(const ColorRGB& a, const ColorRGB& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}
bool InByteRange(const ColorRGB& c, std::int32_t top = 255) {
  return c.red >= 0 && c.red <= top && c.green >= 0 && c.green <= top && c.blue >= 0 &&
         c.blue <= top;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const auto index = in.ConsumeIntegralInRange<std::int32_t>(-2, 5);
  const float f[3] = {in.ConsumeFloatingPoint<float>(), in.ConsumeFloatingPoint<float>(),
                      in.ConsumeFloatingPoint<float>()};
  const auto scale = in.ConsumeIntegralInRange<std::int32_t>(1, 37837);
  const ColorRGB on_scale{in.ConsumeIntegralInRange(0, scale), in.ConsumeIntegralInRange(0, scale),
                          in.ConsumeIntegralInRange(0, scale)};
  const std::string text = in.ConsumeRemainingBytesAsString().c_str();

  const ColorRGB start{-7, 300, 9};
  ColorRGB c = start;
  const unsigned short set = c.SetValue(0, text.c_str());
  FUZZ_CHECK(set == 1 ? InByteRange(c) : set == 0 && Equal(c, start));

  // The same line through a map entry gives the same colour.
  ColorMap map(4, 255);
  const unsigned short by_index = map.SetIndex(index, 0, text.c_str());
  FUZZ_CHECK(by_index == ((index >= 0 && index < 4) ? set : 0));
  if (by_index == 1) FUZZ_CHECK(Equal(map.colors[index], c));

  ColorRGB named = start;
  if (named.FindName(text.c_str()) == 1) {
    char* name = nullptr;
    FUZZ_CHECK(named.FindNameForRgb(&name) == 1 && name != nullptr);
    ColorRGB again = start;
    FUZZ_CHECK(again.SetNamedColor(name) == 1 && Equal(again, named));
  } else {
    FUZZ_CHECK(Equal(named, start));
  }

  ColorRGB rgb = start, hsv = start;
  FUZZ_CHECK(rgb.SetRGBColor(f[0], f[1], f[2]) == 1 ? InByteRange(rgb) : Equal(rgb, start));
  FUZZ_CHECK(hsv.SetHSVColor(f[0], f[1], f[2]) == 1 ? InByteRange(hsv) : Equal(hsv, start));

  // Any colour on 0..scale converts to HSV in range and back onto the scale.
  ColorHSV h{};
  on_scale.RgbToHsv(scale, &h);
  FUZZ_CHECK(h.hue >= 0.0f && h.hue < 360.0f && h.saturation >= 0.0f && h.saturation <= 1.0f &&
             h.value >= 0.0f && h.value <= 1.0f);
  ColorRGB back{};
  back.HsvToRgb(&h, scale);
  FUZZ_CHECK(InByteRange(back, scale));
  return 0;
}
