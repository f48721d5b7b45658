// The scanner and the tokeniser: hand-picked texts, overlong tokens and bytes
// outside printable ASCII, then thousands of generated texts where every token
// must agree with the text it came from, every walk must end, and (under the
// sanitizers) nothing may be touched out of bounds.
#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "qzutil/text/str_parse.h"

namespace {

// One token of `in` read at `at`, as "kind text value @next-offset" (text "-"
// when null), or the whole walk from there joined by " | " when `walk`.
std::string Read(const std::string& in, std::size_t at = 0, bool walk = false) {
  const StrTokenT* t = str_parse(in.c_str() + at);
  char value[32];
  std::snprintf(value, sizeof value, "%.17g", t->value);
  const auto next = static_cast<std::size_t>(t->next - in.c_str());
  std::string out = std::string(1, "WSNE"[t->type & 3]) + " " + (t->text ? t->text : "-") + " " +
                    value + " @" + std::to_string(next);
  if (walk && t->type != STR_END) out += " | " + Read(in, next, true);
  return out;
}

TEST(StrParse, HandPickedTexts) {
  EXPECT_EQ(Read("rgb 1 0.5 .25", 0, true),
            "W rgb 0 @3 | N 1 1 @5 | N 0.5 0.5 @9 | N .25 0.25 @13 | E - 0 @13");
  EXPECT_EQ(str_parse(nullptr)->next, nullptr);  // reset after a token
  // Blanks; numbers and what turns them into words ("+ 5": a digit two places
  // on starts a number); strings; starts that are not printable.
  const char* const cases[][2] = {
      {" \t\r\n\v\f ", "E - 0 @7"},
      {"12abc", "W 12abc 0 @5"},
      {"1.2.3", "W 1.2.3 0 @5"},
      {"12\t3 x", "W 12\t3 0 @4"},
      {"1.5e10", "N 1.5e10 15000000000 @6"},
      {"1e1234", "W 1e1234 0 @6"},
      {"12e", "N 12 12 @3"},
      {"12e+ z", "N 12 12 @4"},
      {"-5", "N -5 -5 @2"},
      {"+.", "N +. 0 @2"},
      {"+ 5", "N + 0 @1"},
      {"-", "W - 0 @1"},
      {".", "W . 0 @1"},
      {"12345678901234567890", "N 1234567890123456 1234567890123456 @20"},
      {"-1234567890.1234567890e2", "N -1234567890.123456e2 -123456789012.3456 @24"},
      {"12345678901234567.8", "N 12345678901234567 12345678901234568 @19"},
      {R"($a\$b$ x)", "S a$b 0 @6"},
      {R"("a\" x)", R"(S a\ 0 @4)"},
      {R"("light grey$x)", "S light grey 0 @12"},
      {"$a\tb\"", "S a\tb 0 @5"},
      {"\"\" x", "S - 0 @2"},
      {"$", "S - 0 @1"},
      {"\"open", "S open 0 @5"},
      {"$ab\\", "S ab 0 @4"},
      {"  \x01z", "E - 0 @2"},
      {" \xC3\xA9t\xC3\xA9", "E - 0 @1"},
      {"a\x01\xFF b", "W a\x01\xFF 0 @3"}};
  for (const auto& c : cases)
    EXPECT_EQ(Read(c[0]), c[1]);
  // Long words and plain strings are cut and scanned whole in the generated
  // texts below; an escape lets in one character, and the cut counts those.
  for (std::size_t n : {159u, 160u, 1000u}) {
    std::string escaped = "$";
    for (std::size_t i = 0; i < n; ++i)
      escaped += "\\$";
    EXPECT_EQ(Read(escaped + "$ 7"), "S " + std::string(std::min<std::size_t>(n, 159), '$') +
                                         " 0 @" + std::to_string(2 * n + 2));
  }
}

TEST(StrToken, SplitsOutsideQuotesAndEscapes) {
  const char* const cases[][2] = {{" a,b", "a , @3"},         {",b", "- , @1"},
                                  {"abc", "abc - -"},         {"", "- - -"},
                                  {"   ", "- - -"},           {R"("a,b",c)", R"("a,b" , @6)"},
                                  {R"("",x)", "\"\" , @3"},   {R"(a\,b,c)", R"(a\,b , @5)"},
                                  {R"("a;b)", R"("a;b - -)"}, {"a\\", "a\\ - -"},
                                  {"a b ;c", "a b  ; @5"}};
  for (const auto& c : cases) {  // as "token found @next-offset" ("-" for null or 0)
    std::string buffer = c[0];
    char found = 'x', *next = buffer.data();
    const char* token = str_token(buffer.data(), ",;", &next, &found);
    EXPECT_EQ(std::string(token ? token : "-") + " " + (found ? std::string(1, found) : "-") + " " +
                  (next ? "@" + std::to_string(next - buffer.data()) : "-"),
              c[1]);
  }
}

// Texts rich in the characters that mean something to the scanner, numbers of
// every accepted shape (sign, up to 20 digits, a fraction, an exponent that may
// overflow or underflow) and the odd long run to cross the 160-character
// buffers.
std::string RandomText(std::mt19937& rng) {
  static const char* const kPieces[] = {" ", "\t",   "\n",   "0",    "9",    ".",  "+", "-",
                                        "e", "E",    "$",    "\"",   "\\",   "a",  "Z", ",",
                                        ";", "\x01", "\x7F", "\xC3", "\xFF", "1e-"};
  static const char* const kSigns[] = {"-", "+", "", ""};
  static const char* const kExponents[] = {"e", "E", "e-", "e+"};
  auto digits = [&](std::size_t n) {
    std::string s;
    while (n-- > 0)
      s += static_cast<char>('0' + rng() % 10);
    return s;
  };
  std::string text;
  for (std::size_t n = rng() % 61; n > 0; --n) {
    const std::size_t k = rng() % (std::size(kPieces) + 4);
    std::string p = k < std::size(kPieces) ? kPieces[k] : kSigns[rng() % 4] + digits(rng() % 21);
    if (k >= std::size(kPieces)) {  // a number
      if (rng() % 2) p += "." + digits(rng() % 21);
      if (rng() % 2) p += kExponents[rng() % 4] + digits(1 + rng() % 3);
      p = " " + p + " ";
    }
    text += rng() % 50 == 0 ? std::string(100 + rng() % 301, p[0]) : p;
  }
  return text;
}

TEST(StrParseAndToken, WalkGeneratedTextsConsistently) {
  ASSERT_STREQ(std::setlocale(LC_ALL, nullptr), "C");  // strtod and isprint as the scanner's
  std::mt19937 rng(20261206);
  int seen[4] = {}, cut = 0;
  for (int i = 0; i < 4000 && !HasFailure(); ++i) {
    const std::string in = RandomText(rng);
    for (const char* at = in.c_str();;) {
      const StrTokenT* t = str_parse(at);
      at += std::strspn(at, " \t\n\v\f\r");
      ASSERT_TRUE(t->type >= 0 && t->type < 4 && t->next >= at && t->next <= &*in.end()) << in;
      ++seen[t->type];
      cut += t->length == 159;
      const std::string raw(at, t->next), text = t->text ? t->text : "";
      const bool blank_after = *t->next == ' ' || *t->next == '\0';
      if (t->type == STR_END) {
        EXPECT_TRUE(t->next == at &&
                    (*at == '\0' || !std::isprint(static_cast<unsigned char>(*at))));
        break;
      }
      if (t->type == STR_WORD) {
        EXPECT_TRUE(blank_after && raw.find(' ') == std::string::npos && text == raw.substr(0, 159))
            << in;
      } else if (t->type == STR_NUMBER) {
        // The C library's atof, bit for bit, -0.0 too (MinGW's own strtod gives
        // -0.0 for a sign without digits, where the runtime's atof gives 0).
        const double want = std::atof(text.c_str());
        EXPECT_TRUE(blank_after && text.size() <= raw.size() &&
                    text.find_first_not_of("+-.0123456789eE") == std::string::npos &&
                    std::memcmp(&t->value, &want, sizeof want) == 0)
            << in << " kept " << text;
      } else {  // without escapes to undo, the text is what lies between the quotes
        const bool closed = raw.size() >= 2 && (raw.back() == '$' || raw.back() == '"');
        const bool plain = raw[0] == '"' || raw.find('\\') == std::string::npos;
        EXPECT_TRUE((raw[0] == '$' || raw[0] == '"') && (closed || *t->next == '\0') &&
                    (!plain || text == raw.substr(1, raw.size() - 1 - closed).substr(0, 159)))
            << in;
      }
      ASSERT_GT(t->next, at) << "no progress in " << in;
      at = t->next;
    }
    // The tokeniser cuts only at a delimiter: putting each back restores the text.
    std::string buffer = in;
    for (char* at = buffer.data(); at != nullptr;) {
      char found = 'x', *next = nullptr;
      const char* token = str_token(at, ",;", &next, &found);
      EXPECT_TRUE((token == nullptr || (token >= at && *token != ' ' && *token != '\0')) &&
                  (next == nullptr ? found == '\0' : found == ',' || found == ';'));
      if (next != nullptr) {
        ASSERT_TRUE(next > at && next <= &*buffer.end() && next[-1] == '\0');
        next[-1] = found;
      }
      at = next;
    }
    ASSERT_EQ(buffer, in) << "text #" << i;
  }
  for (int kind : seen)
    EXPECT_GT(kind, 1000);
  EXPECT_GT(cut, 100);
}

}  // namespace
