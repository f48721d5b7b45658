// The scanner and the tokeniser on hand-picked texts, including overlong
// tokens and bytes outside printable ASCII.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "qzutil/text/str_parse.h"

namespace {

struct Tok {
  std::int32_t type;
  std::string text;  // "<null>" for a null text
  double value;
  std::size_t next;  // offset of `next` in the input
  bool operator==(const Tok&) const = default;
};

void PrintTo(const Tok& t, std::ostream* os) {
  *os << "{" << t.type << ", \"" << t.text << "\", " << t.value << ", @" << t.next << "}";
}

// Reads one token of `in` at `offset`, checking `length` on the way.
Tok Read(const std::string& in, std::size_t offset = 0) {
  const StrTokenT* t = str_parse(in.c_str() + offset);
  const std::string text = t->text != nullptr ? std::string(t->text) : "<null>";
  EXPECT_EQ(t->length, t->text != nullptr ? static_cast<std::int32_t>(text.size()) : 0) << in;
  return {t->type, text, t->value, static_cast<std::size_t>(t->next - in.c_str())};
}

// Walks the whole text and returns every token up to and including STR_END.
std::vector<Tok> Walk(const std::string& in) {
  std::vector<Tok> out{Read(in)};
  while (out.back().type != STR_END && out.size() < 100)
    out.push_back(Read(in, out.back().next));
  return out;
}

TEST(StrParse, NullBlankAndAColourLine) {
  const StrTokenT* t = str_parse(nullptr);
  EXPECT_EQ(t->type, STR_END);
  EXPECT_EQ(t->next, nullptr);
  EXPECT_EQ(Read(" \t\r\n\v\f "), (Tok{STR_END, "<null>", 0.0, 7}));
  EXPECT_EQ(Walk("rgb 1 0.5 .25"), (std::vector<Tok>{{STR_WORD, "rgb", 0, 3},
                                                     {STR_NUMBER, "1", 1, 5},
                                                     {STR_NUMBER, "0.5", 0.5, 9},
                                                     {STR_NUMBER, ".25", 0.25, 13},
                                                     {STR_END, "<null>", 0, 13}}));
}

TEST(StrParse, NumbersAndTheirNearMisses) {
  const struct {
    const char* in;
    Tok want;
  } cases[] = {
      {"12abc", {STR_WORD, "12abc", 0, 5}},
      {"1.2.3", {STR_WORD, "1.2.3", 0, 5}},
      {"12\t3 x", {STR_WORD, "12\t3", 0, 4}},
      {"1.5e10", {STR_NUMBER, "1.5e10", 1.5e10, 6}},
      {"2E-3 ", {STR_NUMBER, "2E-3", 2e-3, 4}},
      {"1e123", {STR_NUMBER, "1e123", 1e123, 5}},
      {"1e1234", {STR_WORD, "1e1234", 0, 6}},
      {"12e", {STR_NUMBER, "12", 12, 3}},
      {"12e+ z", {STR_NUMBER, "12", 12, 4}},
      {"-5", {STR_NUMBER, "-5", -5, 2}},
      {"+.", {STR_NUMBER, "+.", 0, 2}},
      {"+ 5", {STR_NUMBER, "+", 0, 1}},  // a digit two places on makes a number
      {"-", {STR_WORD, "-", 0, 1}},
      {"-x", {STR_WORD, "-x", 0, 2}},
      {".", {STR_WORD, ".", 0, 1}},
      {"-e5", {STR_NUMBER, "-e5", 0, 3}},
      {"12345678901234567890", {STR_NUMBER, "1234567890123456", 1234567890123456.0, 20}},
      {"-1234567890.1234567890e2", {STR_NUMBER, "-1234567890.123456e2", -123456789012.3456, 24}},
      {"12345678901234567.8", {STR_NUMBER, "12345678901234567", 12345678901234567.0, 19}},
      {"1e999", {STR_NUMBER, "1e999", HUGE_VAL, 5}},
      {"-1e-999", {STR_NUMBER, "-1e-999", -0.0, 7}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Read(c.in), c.want) << c.in;
  EXPECT_TRUE(std::signbit(Read("-1e-999").value));
}

TEST(StrParse, Strings) {
  const struct {
    const char* in;
    Tok want;
  } cases[] = {
      {R"($a\$b$ x)", {STR_STRING, "a$b", 0, 6}},
      {R"("a\" x)", {STR_STRING, "a\\", 0, 4}},
      {R"("light grey$x)", {STR_STRING, "light grey", 0, 12}},
      {"$a\tb\"", {STR_STRING, "a\tb", 0, 5}},
      {"\"\" x", {STR_STRING, "<null>", 0, 2}},
      {"$", {STR_STRING, "<null>", 0, 1}},
      {"\"open", {STR_STRING, "open", 0, 5}},
      {"$ab\\", {STR_STRING, "ab", 0, 4}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Read(c.in), c.want) << c.in;
}

TEST(StrParse, UnprintableFirstCharacterStopsTheWalk) {
  for (const char* in : {"  \x01"
                         "abc",
                         " \xC3\xA9t\xC3\xA9", "\x7F"})
    EXPECT_EQ(Read(in), (Tok{STR_END, "<null>", 0, in[0] == ' ' ? 1u + (in[1] == ' ') : 0u})) << in;
  // Inside a word they are ordinary characters.
  EXPECT_EQ(Read("a\x01\xFF b"), (Tok{STR_WORD, "a\x01\xFF", 0, 3}));
}

TEST(StrParse, OverlongWordsAndStringsAreCutButFullyScanned) {
  for (std::size_t n : {158u, 159u, 160u, 161u, 1000u}) {
    const std::string body(n, 'w');
    const std::string cut = body.substr(0, 159);
    EXPECT_EQ(Walk(body + " 7"), (std::vector<Tok>{{STR_WORD, cut, 0, n},
                                                   {STR_NUMBER, "7", 7, n + 2},
                                                   {STR_END, "<null>", 0, n + 2}}));
    EXPECT_EQ(Read("$" + body + "$ 7"), (Tok{STR_STRING, cut, 0, n + 2}));
    // Escapes count as the character they let in.
    std::string escaped = "$";
    for (std::size_t i = 0; i < n; ++i)
      escaped += "\\$";
    EXPECT_EQ(Read(escaped + "$"), (Tok{STR_STRING, std::string(cut.size(), '$'), 0, 2 * n + 2}));
  }
}

TEST(StrLowerString, FoldsUpperCaseOnly) {
  char text[] = "RGB Name-1 \xC4Z";
  str_lower_string(text);
  EXPECT_STREQ(text, "rgb name-1 \xC4z");
  char empty[] = "";
  str_lower_string(empty);
  EXPECT_STREQ(empty, "");
}

struct Split {
  std::string token;  // "<null>" for a null result
  char found;
  std::ptrdiff_t next;  // offset, -1 for null
  bool operator==(const Split&) const = default;
};

void PrintTo(const Split& s, std::ostream* os) {
  *os << "{\"" << s.token << "\", " << static_cast<int>(s.found) << ", @" << s.next << "}";
}

Split Cut(std::string& buffer, const char* delimiters) {
  char* next = buffer.data();
  char found = 'x';
  const char* token = str_token(buffer.data(), delimiters, &next, &found);
  return {token != nullptr ? std::string(token) : "<null>", found,
          next != nullptr ? next - buffer.data() : -1};
}

TEST(StrToken, SplitsOutsideQuotesAndEscapes) {
  const struct {
    std::string in;
    Split want;
  } cases[] = {
      {" a,b", {"a", ',', 3}},
      {",b", {"<null>", ',', 1}},
      {"abc", {"abc", '\0', -1}},
      {"", {"<null>", '\0', -1}},
      {"   ", {"<null>", '\0', -1}},
      {R"("a,b",c)", {R"("a,b")", ',', 6}},
      {R"(a\,b,c)", {R"(a\,b)", ',', 5}},
      {R"("",x)", {R"("")", ',', 3}},
      {R"("a;b)", {R"("a;b)", '\0', -1}},
      {"a\\", {"a\\", '\0', -1}},
      {"a b ;c", {"a b ", ';', 5}},
  };
  for (auto c : cases) {
    std::string buffer = c.in;
    EXPECT_EQ(Cut(buffer, ",;"), c.want) << c.in;
  }
}

}  // namespace
