// The command-text scanner, the in-place tokeniser and case folding.
//
// str_parse reads one token of a command-like text (a word, a quoted string
// or a number) into a record owned by the library and tells the caller where
// to resume. There is one such record and one pair of 160-character buffers
// for the whole process: every call overwrites them, so a token's `text` is
// valid only until the next call, callers copy what they want to keep and
// never free it, and calls from several threads must be serialised by the
// callers.
//
// Token rules (blank means the space character, code 32, only):
//   - White space (isspace) before a token is skipped. A first character that
//     is not printable (isprint; control characters and, in the default
//     locale, every byte above 127) ends the walk: STR_END with `next` left
//     on it, so a caller loop stops there.
//   - "$" or a double quote opens a string; either of the two closes it. In a
//     "$" string a backslash is dropped and the character after it is taken
//     as is; a backslash that is the last character of the text is dropped
//     and the string ends there. In a double-quoted string a backslash is an
//     ordinary character. An unclosed string ends at the terminator. An empty
//     string is STR_STRING with null `text`.
//   - A number is an optional sign, digits, an optional point and digits and
//     an optional exponent of at most 3 digits, followed by a blank or the
//     terminator. Only the first 16 digits of the mantissa are kept (its text
//     is shortened by the excess count, from the end). Anything else that
//     starts like a number becomes a word. A sign is taken as the start of a
//     number when a digit or a point follows it, or a digit follows one
//     character later, so "+ 5" reads as the number "+" (0.0) and "-" at the
//     end of the text as a word. The value does not depend on the C locale:
//     the point is always ".".
//   - A word runs up to the next blank or the terminator; tabs and other
//     characters do not end it.
//
// Overlong tokens: a word or string of 160 characters or more keeps its first
// 159 characters in `text` (`length` is then 159), while the scan still runs
// to the real end of the token, so `next` is the same as for a short one.
// Number texts never come near the limit.
#ifndef QZUTIL_TEXT_STR_PARSE_H
#define QZUTIL_TEXT_STR_PARSE_H

#include <stdint.h>

#include "qzutil/export.h"

// Kinds held in StrTokenT::type.
enum {
  STR_WORD = 0,    // characters up to a blank that are neither a string nor a number
  STR_STRING = 1,  // opened by "$" or a double quote
  STR_NUMBER = 2,  // a decimal number; `value` holds it
  STR_END = 3,     // no token: null input, only white space left, or unprintable
};

// The token that str_parse fills and returns. Owned by the library.
typedef struct StrTokenT {
  int32_t type;      // STR_WORD .. STR_END
  double value;      // the number of a STR_NUMBER token; 0.0 for the others
  int32_t length;    // characters in `text`, 0 when `text` is null; at most 159
  char* text;        // the token's characters in the library's buffer, or null
  const char* next;  // where the following call starts; null only for null input
} StrTokenT;

QZ_EXTERN_C_BEGIN

// Replaces every upper-case character (isupper in the current locale) of the
// NUL-terminated `text` by its lower-case form, in place. `text` must not be
// null.
QZ_API void str_lower_string(char* text);

// Reads the token that starts at or after `text` (which may be null) and
// returns the library's token record. To walk a text, pass `next` of each
// result to the following call and stop at STR_END. The input is only read.
QZ_API StrTokenT* str_parse(const char* text);

// Splits the writable `text` in place at the first character of `delimiters`
// that is neither inside double quotes nor right after a backslash. Leading
// blanks are skipped; quotes and backslashes stay in the token. The delimiter
// found is overwritten by a terminator and stored in `*found`, and `*next`
// receives the position after it; at the end of the text `*found` is 0 and
// `*next` null. Returns the token's first character, or null for an empty
// token. `text`, `delimiters`, `next` and `found` must not be null.
QZ_API char* str_token(char* text, const char* delimiters, char** next, char* found);

QZ_EXTERN_C_END

#endif  // QZUTIL_TEXT_STR_PARSE_H
