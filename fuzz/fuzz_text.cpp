// The scanner and the in-place tokeniser on arbitrary bytes: every walk ends,
// tokens keep their limits, positions never leave the text, and case folding
// changes upper-case letters only.
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "qzutil/text/str_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string delimiters = in.ConsumeRandomLengthString(4);
  const std::string text = in.ConsumeRemainingBytesAsString().c_str();  // up to the first NUL
  const char* const begin = text.c_str();
  const char* const end = begin + text.size();

  FUZZ_CHECK(str_parse(nullptr)->type == STR_END && str_parse(nullptr)->next == nullptr);
  for (const char* p = begin;;) {
    const StrTokenT* t = str_parse(p);
    FUZZ_CHECK(t->next >= p && t->next <= end);
    if (t->type == STR_END) break;
    FUZZ_CHECK(t->type >= STR_WORD && t->type < STR_END && t->next > p);
    FUZZ_CHECK(t->length >= 0 && t->length <= 159 && (t->text == nullptr) == (t->length == 0));
    FUZZ_CHECK(t->text == nullptr || std::strlen(t->text) == static_cast<std::size_t>(t->length));
    FUZZ_CHECK(t->type == STR_NUMBER || t->value == 0.0);
    p = t->next;
  }

  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  const char* const delims = delimiters.c_str();
  for (char* p = buffer.data(); p != nullptr;) {
    char* next = nullptr;
    char found = 'x';
    const char* token = str_token(p, delims, &next, &found);
    FUZZ_CHECK(token == nullptr || (token >= p && token < buffer.data() + buffer.size()));
    FUZZ_CHECK(found == '\0' ? next == nullptr
                             : std::strchr(delims, found) != nullptr && next > p &&
                                   next[-1] == '\0' && next < buffer.data() + buffer.size());
    p = next;
  }

  std::string lowered = text;
  str_lower_string(lowered.data());
  for (std::size_t i = 0; i < text.size(); ++i)
    FUZZ_CHECK(lowered[i] == static_cast<char>(std::tolower(static_cast<unsigned char>(text[i]))));
  return 0;
}
