#include <cstring>

#include "qzutil/text/str_parse.h"

char* str_token(char* text, const char* delimiters, char** next, char* found) {
  char* start = text;
  while (*start == ' ')
    ++start;
  char* s = start;
  for (;;) {
    const char c = *s;
    if (c == '\0') {
      *found = '\0';
      *next = nullptr;
      break;
    }
    if (c == '"') {
      // A quoted section runs to the next quote, which is consumed, or to the end.
      char* close = std::strchr(s + 1, '"');
      s = close != nullptr ? close + 1 : s + std::strlen(s);
      continue;
    }
    if (c == '\\') {
      s += s[1] != '\0' ? 2 : 1;
      continue;
    }
    if (std::strchr(delimiters, c) != nullptr) {
      *found = c;
      *next = s + 1;
      *s = '\0';
      break;
    }
    ++s;
  }
  return *start != '\0' ? start : nullptr;
}
