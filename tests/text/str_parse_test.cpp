// The scanner and the tokeniser on hand-picked texts, including overlong
// tokens and bytes outside printable ASCII.
#include <cstdio>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "qzutil/text/str_parse.h"

namespace {

// One token of `in` read at `at`, as "kind text value @next-offset" (text "-"
// when null), or the whole walk from there joined by " | " when `walk`.
std::string Read(const std::string& in, std::size_t at = 0, bool walk = false) {
  const StrTokenT* t = str_parse(in.c_str() + at);
  EXPECT_EQ(t->length, t->text ? static_cast<std::int32_t>(std::strlen(t->text)) : 0) << in;
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
}

TEST(StrParse, OverlongWordsAndStringsAreCutButFullyScanned) {
  for (std::size_t n : {159u, 160u, 1000u}) {
    const std::string body(n, 'w'), cut = body.substr(0, 159), end = std::to_string(n + 2);
    EXPECT_EQ(Read(body + " 7", 0, true),
              "W " + cut + " 0 @" + std::to_string(n) + " | N 7 7 @" + end + " | E - 0 @" + end);
    EXPECT_EQ(Read("$" + body + "$ 7"), "S " + cut + " 0 @" + end);
    std::string escaped = "$";  // each escape lets in one character
    for (std::size_t i = 0; i < n; ++i)
      escaped += "\\$";
    EXPECT_EQ(Read(escaped + "$"),
              "S " + std::string(cut.size(), '$') + " 0 @" + std::to_string(2 * n + 2));
  }
}

TEST(StrToken, SplitsOutsideQuotesAndEscapes) {
  const char* const cases[][2] = {{" a,b", "a , @3"},         {",b", "- , @1"},
                                  {"abc", "abc - -"},         {"", "- - -"},
                                  {"   ", "- - -"},           {R"("a,b",c)", R"("a,b" , @6)"},
                                  {R"("",x)", "\"\" , @3"},   {R"(a\,b,c)", R"(a\,b , @5)"},
                                  {R"("a;b)", R"("a;b - -)"}, {"a\\", "a\\ - -"},
                                  {"a b ;c", "a b  ; @5"}};
  for (const auto& c : cases) {
    std::string buffer = c[0];
    char* next = buffer.data();
    char found = 'x';
    const char* token = str_token(buffer.data(), ",;", &next, &found);
    EXPECT_EQ(std::string(token ? token : "-") + " " + (found ? std::string(1, found) : "-") + " " +
                  (next ? "@" + std::to_string(next - buffer.data()) : "-"),
              c[1])
        << c[0];
  }
}

}  // namespace
