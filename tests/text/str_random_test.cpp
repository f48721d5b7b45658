// The scanner and the tokeniser over thousands of generated texts: every
// token must be consistent with the text it came from, every walk must end,
// and (under the sanitizers) nothing may be read or written out of bounds.
#include <cctype>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "qzutil/text/str_parse.h"

namespace {

// Texts rich in the characters the scanner treats specially, with the odd
// long run to cross the 160-character buffers.
std::string RandomText(std::mt19937& rng) {
  static const char* const kPieces[] = {
      " ",    " ",    "\t",   "\n",  "0",    "1",    "7",      "9",        ".",       "+", "-",
      "e",    "E",    "$",    "\"",  "\\",   "a",    "Z",      ",",        ";",       "x", "\x01",
      "\x7F", "\xC3", "\xFF", "1e-", "9e99", " 12 ", " -3.5 ", " .25e+2 ", " 4e-320 "};
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> length(0, 60), percent(0, 99), run(100, 400);
  std::string text;
  for (int n = length(rng); n > 0; --n) {
    const std::string p = kPieces[piece(rng)];
    text += percent(rng) < 2 ? std::string(static_cast<std::size_t>(run(rng)), p[0]) : p;
  }
  return text;
}

bool BlankOrEnd(char c) {
  return c == ' ' || c == '\0';
}

// Kinds met, and tokens cut at the buffer size, over a whole run.
int g_seen[4];
int g_cut;

// Checks one token read at `at` in `in`; returns where the walk goes on, or
// null when it stops.
const char* CheckToken(const std::string& in, const char* at) {
  const char* const end = in.c_str() + in.size();
  const StrTokenT* t = str_parse(at);
  const char* start = at;
  while (std::isspace(static_cast<unsigned char>(*start)))
    ++start;
  EXPECT_TRUE(t->next >= start && t->next <= end);
  if (t->type >= 0 && t->type < 4) ++g_seen[t->type];
  g_cut += t->length == 159;
  if (t->text == nullptr) {
    EXPECT_EQ(t->length, 0);
  } else {
    EXPECT_EQ(static_cast<std::size_t>(t->length), std::strlen(t->text));
    EXPECT_LE(t->length, 159);
  }
  EXPECT_TRUE(t->type == STR_NUMBER || t->value == 0.0);
  const std::size_t span = static_cast<std::size_t>(t->next - start);
  const std::string raw(start, span);
  switch (t->type) {
    case STR_END:
      EXPECT_EQ(t->next, start);
      EXPECT_TRUE(*start == '\0' || !std::isprint(static_cast<unsigned char>(*start)));
      return nullptr;
    case STR_WORD:
      EXPECT_TRUE(BlankOrEnd(*t->next));
      EXPECT_EQ(raw.find(' '), std::string::npos);
      EXPECT_EQ(t->text, raw.substr(0, 159));
      break;
    case STR_NUMBER:
      EXPECT_TRUE(BlankOrEnd(*t->next));
      EXPECT_EQ(std::strspn(t->text, "+-.0123456789eE"), std::strlen(t->text));
      EXPECT_LE(static_cast<std::size_t>(t->length), span);
      EXPECT_EQ(t->value, std::strtod(t->text, nullptr)) << t->text;
      break;
    case STR_STRING: {
      EXPECT_TRUE(*start == '$' || *start == '"');
      const bool closed = span >= 2 && (start[span - 1] == '$' || start[span - 1] == '"');
      EXPECT_TRUE(closed || *t->next == '\0');
      if (*start == '"' && std::strchr(raw.c_str() + 1, '\\') == nullptr) {
        const std::string inner = raw.substr(1, span - 1 - (closed ? 1 : 0));
        EXPECT_EQ(t->text ? t->text : "", inner.substr(0, 159));
      }
      break;
    }
    default:
      ADD_FAILURE() << "kind " << t->type;
      return nullptr;
  }
  EXPECT_GT(t->next, start) << "no progress";
  return t->next > start ? t->next : nullptr;
}

TEST(StrParse, WalksGeneratedTextsConsistently) {
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");  // strtod is the reference
  std::mt19937 rng(20261206);
  for (int i = 0; i < 4000; ++i) {
    const std::string in = RandomText(rng);
    for (const char* at = in.c_str(); at != nullptr;)
      at = CheckToken(in, at);
    if (HasFailure()) {
      ADD_FAILURE() << "text #" << i << ": [" << in << "]";
      return;
    }
  }
  for (int kind : g_seen)
    EXPECT_GT(kind, 1000);
  EXPECT_GT(g_cut, 100);
}

// Generated number texts of every shape the scanner accepts, from tiny to
// huge, against the C library's conversion of the kept text.
TEST(StrParse, NumberValuesMatchTheCLibrary) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> digits(0, 20), small(0, 3), digit(0, 9), coin(0, 1);
  auto run = [&](int n) {
    std::string s;
    for (; n > 0; --n)
      s += static_cast<char>('0' + digit(rng));
    return s;
  };
  for (int i = 0; i < 20000; ++i) {
    std::string in = std::string(small(rng) == 0   ? "-"
                                 : small(rng) == 0 ? "+"
                                                   : "") +
                     run(digits(rng)) + (coin(rng) ? "." + run(digits(rng)) : "");
    if (coin(rng)) in += std::string("e") + (coin(rng) ? "-" : "") + run(1 + small(rng) % 3);
    const StrTokenT* t = str_parse(in.c_str());
    if (t->type != STR_NUMBER) continue;  // a lone sign or point is a word
    const double want = std::strtod(t->text, nullptr);
    ASSERT_EQ(std::memcmp(&t->value, &want, sizeof want), 0) << in << " kept " << t->text;
  }
}

TEST(StrToken, SplitsGeneratedTextsOnlyAtDelimiters) {
  std::mt19937 rng(7);
  for (int i = 0; i < 4000; ++i) {
    const std::string original = RandomText(rng);
    std::string buffer = original;
    char* const base = buffer.data();
    for (char* at = base; at != nullptr;) {
      char* next = nullptr;
      char found = 'x';
      const char* token = str_token(at, ",;", &next, &found);
      EXPECT_TRUE(token == nullptr || (token >= at && *token != ' ' && *token != '\0'));
      if (next == nullptr) {
        EXPECT_EQ(found, '\0');
      } else {
        ASSERT_TRUE(next > at && next <= base + original.size());
        EXPECT_EQ(original[static_cast<std::size_t>(next - 1 - base)], found);
        EXPECT_TRUE(found == ',' || found == ';');
        next[-1] = found;  // undo the cut to compare with the original below
      }
      at = next;
    }
    ASSERT_EQ(buffer, original) << "text #" << i;
  }
}

}  // namespace
