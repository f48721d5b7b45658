#include "qzutil/text/str_parse.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <system_error>

namespace {

constexpr std::size_t kBufferSize = 160;  // terminator included

// The scanner's storage, shared by every caller in the process.
StrTokenT g_token;
char g_text_buffer[kBufferSize];
char g_number_buffer[kBufferSize];

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsSign(char c) {
  return c == '+' || c == '-';
}

// Stores up to room - 1 characters, then a terminator. Returns the count
// stored.
std::int32_t CopyCut(char* buffer, std::size_t room, const char* from, std::size_t count) {
  if (count > room - 1) count = room - 1;
  std::memcpy(buffer, from, count);
  buffer[count] = '\0';
  return static_cast<std::int32_t>(count);
}

// Decimal conversion of a number text as the C library's atof does it in the
// "C" locale: the longest valid prefix, 0.0 when there is none, and the
// overflow and underflow results of strtod.
double ToDouble(const char* text) {
  const char* first = text;
  if (*first == '+') ++first;  // from_chars takes no plus sign
  const char* last = first + std::strlen(first);
  double value = 0.0;
  const std::from_chars_result r = std::from_chars(first, last, value);
  if (r.ec == std::errc::result_out_of_range) {
    const bool negative = *first == '-';
    const char* e = std::strpbrk(first, "eE");
    const bool tiny = e != nullptr && e[1] == '-';
    value = tiny ? 0.0 : HUGE_VAL;
    if (negative) value = -value;
  } else if (r.ec != std::errc()) {
    value = 0.0;
  }
  return value;
}

// Reads a word from p: everything up to the next blank or the terminator.
void ScanWord(const char* p) {
  const char* end = p;
  while (*end != '\0' && *end != ' ')
    ++end;
  g_token.type = STR_WORD;
  g_token.length = CopyCut(g_text_buffer, kBufferSize, p, static_cast<std::size_t>(end - p));
  g_token.text = g_text_buffer;
  g_token.next = end;
}

// Reads a string whose opener is at p. Characters past the buffer's room are
// scanned but not stored.
void ScanString(const char* p) {
  const bool escapes = *p == '$';
  const char* s = p + 1;
  std::size_t count = 0;
  while (*s != '\0' && *s != '$' && *s != '"') {
    if (escapes && *s == '\\') {
      ++s;
      if (*s == '\0') break;  // a trailing backslash is dropped
    }
    if (count < kBufferSize - 1) g_text_buffer[count] = *s;
    ++count;
    ++s;
  }
  if (*s != '\0') ++s;  // consume the closer
  g_token.type = STR_STRING;
  g_token.next = s;
  if (count == 0) return;  // an empty string has no text
  if (count > kBufferSize - 1) count = kBufferSize - 1;
  g_text_buffer[count] = '\0';
  g_token.text = g_text_buffer;
  g_token.length = static_cast<std::int32_t>(count);
}

// Reads a number candidate at p; falls back to a word when the text after
// the mantissa or exponent is not a blank or the terminator, or when the
// exponent has more than 3 digits.
void ScanNumber(const char* p) {
  const char* s = p;
  if (IsSign(*s)) ++s;
  std::size_t digits = 0;
  while (IsDigit(*s)) {
    ++digits;
    ++s;
  }
  if (*s == '.') {
    ++s;
    while (IsDigit(*s)) {
      ++digits;
      ++s;
    }
  }
  std::size_t mantissa = static_cast<std::size_t>(s - p);
  if (digits > 16) mantissa -= digits - 16;

  const char* exponent = nullptr;
  std::size_t exponent_digits = 0;
  if (*s == 'e' || *s == 'E') {
    exponent = s++;
    if (IsSign(*s)) ++s;
    while (IsDigit(*s)) {
      ++exponent_digits;
      ++s;
    }
    if (exponent_digits > 3) return ScanWord(p);
  }
  if (*s != ' ' && *s != '\0') return ScanWord(p);

  // Never near the limit: at most 18 mantissa characters and 5 of exponent.
  std::int32_t length = CopyCut(g_number_buffer, kBufferSize, p, mantissa);
  if (exponent_digits > 0) {
    const auto used = static_cast<std::size_t>(length);
    length += CopyCut(g_number_buffer + used, kBufferSize - used, exponent,
                      static_cast<std::size_t>(s - exponent));
  }
  g_token.type = STR_NUMBER;
  g_token.length = length;
  g_token.text = g_number_buffer;
  g_token.value = ToDouble(g_number_buffer);
  g_token.next = s;
}

}  // namespace

void str_lower_string(char* text) {
  for (; *text != '\0'; ++text) {
    const int c = static_cast<unsigned char>(*text);
    if (std::isupper(c)) *text = static_cast<char>(std::tolower(c));
  }
}

StrTokenT* str_parse(const char* text) {
  g_token.type = STR_END;
  g_token.value = 0.0;
  g_token.length = 0;
  g_token.text = nullptr;
  g_token.next = nullptr;
  if (text == nullptr) return &g_token;

  const char* p = text;
  while (std::isspace(static_cast<unsigned char>(*p)))
    ++p;
  g_token.next = p;
  if (*p == '\0' || !std::isprint(static_cast<unsigned char>(*p))) return &g_token;

  const char c = p[0];
  if (c == '$' || c == '"') {
    ScanString(p);
  } else if (IsDigit(c) || (c == '.' && IsDigit(p[1])) ||
             (IsSign(c) && (IsDigit(p[1]) || p[1] == '.' || (p[1] != '\0' && IsDigit(p[2]))))) {
    ScanNumber(p);
  } else {
    ScanWord(p);
  }
  return &g_token;
}
