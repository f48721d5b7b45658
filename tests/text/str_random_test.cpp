// The scanner and the tokeniser over thousands of generated texts: every
// token must agree with the text it came from, every walk must end, and
// (under the sanitizers) nothing may be touched out of bounds.
#include <cctype>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "qzutil/text/str_parse.h"

namespace {

// A number of any accepted shape: sign, up to 20 digits, a fraction and an
// exponent that may overflow or underflow.
std::string RandomNumber(std::mt19937& rng) {
  std::uniform_int_distribution<int> digits(0, 20), small(0, 3), digit(0, 9);
  auto run = [&](int n) {
    std::string s;
    for (; n > 0; --n)
      s += static_cast<char>('0' + digit(rng));
    return s;
  };
  std::string s = std::string(small(rng) == 0   ? "-"
                              : small(rng) == 0 ? "+"
                                                : "") +
                  run(digits(rng));
  if (small(rng) < 2) s += "." + run(digits(rng));
  static const char* const kExponents[] = {"e", "E", "e-", "e+"};
  if (small(rng) < 2) s += kExponents[small(rng)] + run(1 + small(rng) % 3);
  return " " + s + " ";
}

// Texts rich in the characters the scanner treats specially, with generated
// numbers and the odd long run to cross the 160-character buffers.
std::string RandomText(std::mt19937& rng) {
  static const char* const kPieces[] = {" ", "\t",   "\n",   "0",    "9",    ".",  "+", "-",
                                        "e", "E",    "$",    "\"",   "\\",   "a",  "Z", ",",
                                        ";", "\x01", "\x7F", "\xC3", "\xFF", "1e-"};
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) + 3), run(100, 400);
  std::uniform_int_distribution<int> length(0, 60), percent(0, 99);
  std::string text;
  for (int n = length(rng); n > 0; --n) {
    const std::size_t k = piece(rng);
    const std::string p = k < std::size(kPieces) ? kPieces[k] : RandomNumber(rng);
    text += percent(rng) < 2 ? std::string(run(rng), p[0]) : p;
  }
  return text;
}

TEST(StrParse, WalksGeneratedTextsConsistently) {
  ASSERT_STREQ(std::setlocale(LC_ALL, nullptr), "C");  // strtod and isprint as the scanner's
  std::mt19937 rng(20261206);
  int seen[4] = {}, cut = 0;
  for (int i = 0; i < 4000 && !HasFailure(); ++i) {
    const std::string in = RandomText(rng);
    for (const char* at = in.c_str();;) {
      const StrTokenT* t = str_parse(at);
      while (std::isspace(static_cast<unsigned char>(*at)))
        ++at;
      ASSERT_TRUE(t->type >= 0 && t->type < 4 && t->next >= at && t->next <= &*in.end()) << in;
      ++seen[t->type];
      cut += t->length == 159;
      EXPECT_EQ(t->length, t->text ? static_cast<std::int32_t>(std::strlen(t->text)) : 0) << in;
      EXPECT_TRUE(t->type == STR_NUMBER || t->value == 0.0) << in;
      const std::string raw(at, t->next), text = t->text ? t->text : "";
      const bool blank_after = *t->next == ' ' || *t->next == '\0';
      if (t->type == STR_END) {
        EXPECT_TRUE(t->next == at &&
                    (*at == '\0' || !std::isprint(static_cast<unsigned char>(*at))));
        break;
      }
      if (t->type == STR_WORD) {
        EXPECT_TRUE(blank_after && raw.find(' ') == std::string::npos) << in;
        EXPECT_EQ(text, raw.substr(0, 159)) << in;
      } else if (t->type == STR_NUMBER) {
        EXPECT_TRUE(blank_after && text.size() <= raw.size()) << in;
        EXPECT_EQ(text.find_first_not_of("+-.0123456789eE"), std::string::npos) << in;
        const double want = std::strtod(text.c_str(), nullptr);  // bit for bit, -0.0 too
        EXPECT_EQ(std::memcmp(&t->value, &want, sizeof want), 0) << in << " kept " << text;
      } else {
        const bool closed = raw.size() >= 2 && (raw.back() == '$' || raw.back() == '"');
        EXPECT_TRUE((raw[0] == '$' || raw[0] == '"') && (closed || *t->next == '\0')) << in;
        const bool plain = raw[0] == '"' && raw.find('\\') == std::string::npos;
        const std::string inner = raw.substr(1, raw.size() - 1 - closed).substr(0, 159);
        EXPECT_TRUE(!plain || text == inner) << in;  // no escapes to undo
      }
      ASSERT_GT(t->next, at) << "no progress in " << in;
      at = t->next;
    }
  }
  for (int kind : seen)
    EXPECT_GT(kind, 1000);
  EXPECT_GT(cut, 100);
}

TEST(StrToken, SplitsGeneratedTextsOnlyAtDelimiters) {
  std::mt19937 rng(7);
  for (int i = 0; i < 4000; ++i) {
    const std::string original = RandomText(rng);
    std::string buffer = original;
    for (char* at = buffer.data(); at != nullptr;) {
      char* next = nullptr;
      char found = 'x';
      const char* token = str_token(at, ",;", &next, &found);
      EXPECT_TRUE(token == nullptr || (token >= at && *token != ' ' && *token != '\0'));
      EXPECT_TRUE(next == nullptr ? found == '\0' : found == ',' || found == ';');
      if (next != nullptr) {
        ASSERT_TRUE(next > at && next <= &*buffer.end() && next[-1] == '\0');
        next[-1] = found;  // undo the cut: the whole text must come back
      }
      at = next;
    }
    ASSERT_EQ(buffer, original) << "text #" << i;
  }
}

}  // namespace
