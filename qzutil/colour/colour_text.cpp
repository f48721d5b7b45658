// ColorRGB::SetValue: the one-line text form of a colour, read with the
// library's scanner.
#include <cstdint>

#include "qzutil/colour/colour_rgb.h"
#include "qzutil/text/name_info.h"
#include "qzutil/text/str_parse.h"

namespace {

enum ColourKeyword : std::int32_t { kKeywordRGB = 0, kKeywordHSV = 1, kKeywordName = 2 };

const VarNameIntT kColourKeywords[] = {
    {"RGB", kKeywordRGB},
    {"HSV", kKeywordHSV},
    {"Name", kKeywordName},
    {nullptr, 0},
};

}  // namespace

unsigned short ColorRGB::SetValue(unsigned short /*flag*/, const char* text) {
  const StrTokenT* token = str_parse(text);
  if (token->type == STR_END || token->text == nullptr) return 0;
  std::int32_t keyword = 0;
  if (VarLookupInt(kColourKeywords, token->text, &keyword) == 0) return 0;

  if (keyword == kKeywordName) {
    token = str_parse(token->next);
    if (token->type == STR_END || token->text == nullptr) return 0;
    return SetNamedColor(token->text);
  }

  // The token record is overwritten by every call, so the values are taken
  // as they come.
  float v[3];
  for (float& component : v) {
    token = str_parse(token->next);
    if (token->type == STR_END) return 0;
    component = static_cast<float>(token->value);
  }
  return keyword == kKeywordRGB ? SetRGBColor(v[0], v[1], v[2]) : SetHSVColor(v[0], v[1], v[2]);
}
