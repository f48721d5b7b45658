// Byte order, bit reversal and the two character-set tables, in every
// instruction set, and the two exits for bad codes.
#include <fcntl.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cstdint>
#include <cstdio>
#include <numeric>
#include <random>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "qzutil/translate/translate.h"
#include "translate/kernel_sets.h"

namespace {

using Bytes = std::vector<unsigned char>;
using qz_test::EachKernelSet;
using qz_test::KernelSet;

// Code page 037 over the printable ASCII characters, as runs of characters
// at consecutive EBCDIC codes, and the ASCII control characters.
constexpr std::pair<int, const char*> kPrintable[] = {
    {0x40, " "},          {0x4B, ".<(+|"},      {0x50, "&"},        {0x5A, "!$*);"},
    {0x60, "-/"},         {0x6B, ",%_>?"},      {0x79, "`:#@'=\""}, {0x81, "abcdefghi"},
    {0x91, "jklmnopqr"},  {0xA1, "~stuvwxyz"},  {0xB0, "^"},        {0xBA, "[]"},
    {0xC0, "{ABCDEFGHI"}, {0xD0, "}JKLMNOPQR"}, {0xE0, "\\"},       {0xE2, "STUVWXYZ"},
    {0xF0, "0123456789"}};
constexpr unsigned char kControls[33] = {0x00, 0x01, 0x02, 0x03, 0x37, 0x2D, 0x2E, 0x2F, 0x16,
                                         0x05, 0x25, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11,
                                         0x12, 0x13, 0x3C, 0x3D, 0x32, 0x26, 0x18, 0x19, 0x3F,
                                         0x27, 0x1C, 0x1D, 0x1E, 0x1F, 0x07 /* DEL */};

Bytes AllBytes() {
  Bytes b(256);
  std::iota(b.begin(), b.end(), 0);
  return b;
}

Bytes Convert(short conversion, Bytes in) {
  tra_convert_charset(conversion, static_cast<unsigned short>(in.size()), in.data(), in.data());
  return in;
}

class ByteLoops : public EachKernelSet {};
QZ_INSTANTIATE_FOR_KERNEL_SETS(ByteLoops);

TEST_P(ByteLoops, BothTablesFollowCodePage037AndTheirExceptions) {
  std::vector<int> to_ebcdic(128);  // code page 037 first
  for (int a = 0; a < 32; ++a)
    to_ebcdic[a] = kControls[a];
  to_ebcdic[0x7F] = kControls[32];
  for (const auto& [ebcdic, chars] : kPrintable)
    for (int k = 0; chars[k] != 0; ++k)
      to_ebcdic[static_cast<unsigned char>(chars[k])] = ebcdic + k;
  // EBCDIC to ASCII: the inverse code page, 0 elsewhere, and 29 exceptions.
  std::vector<int> to_ascii(256, 0);
  for (int a = 0; a < 128; ++a)
    to_ascii[to_ebcdic[a]] = a;
  const int extra[][2] = {{0x13, 0},   {0x1C, 0},   {0x22, 0x1C}, {0x35, 0x1E}, {0x5F, '^'},
                          {0x6A, '|'}, {0x8B, '{'}, {0x8D, '('},  {0x8E, '+'},  {0x8F, '+'},
                          {0x9B, '}'}, {0x9D, ')'}, {0xA0, '-'},  {0xAD, '['},  {0xBA, 0},
                          {0xBB, 0},   {0xBD, ']'}, {0xBF, '-'},  {0xFA, '|'}};
  for (const auto& e : extra)
    to_ascii[e[0]] = e[1];
  for (int d = 0; d < 10; ++d)
    to_ascii[0xB0 + d] = '0' + d;
  const Bytes e2a = Convert(2, AllBytes());
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(e2a[b], to_ascii[b]) << "EBCDIC " << b;

  // ASCII to EBCDIC: the code page with eight exceptions; the upper half
  // repeats the lower half.
  const int deviations[][2] = {{0x13, 0x00}, {0x1C, 0x22}, {0x1E, 0x35}, {0x5B, 0xAD},
                               {0x5D, 0xBD}, {0x5E, 0x5F}, {0x5F, 0xBF}, {0x7B, 0x8B}};
  for (const auto& d : deviations)
    to_ebcdic[d[0]] = d[1];
  const Bytes a2e = Convert(1, AllBytes());
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(a2e[b], to_ebcdic[b & 0x7F]) << "ASCII " << b;
}

// Every byte loop at every count up to past the widest vector group (and a
// long one), starting at odd addresses too, in place and out of place: the
// same bytes as element by element, and nothing written past the count.
TEST_P(ByteLoops, EveryLoopAtEveryCountInAndOutOfPlace) {
  const Bytes a2e = Convert(1, AllBytes()), e2a = Convert(2, AllBytes());
  const struct {
    unsigned short code;  // swap code, or 0 for the character-set conversion
    short conversion;
    std::size_t size;
  } loops[] = {{0x42, 0, 2}, {0x52, 0, 2}, {0x62, 0, 2}, {0x74, 0, 4}, {0x84, 0, 4},
               {0x94, 0, 4}, {0xA4, 0, 4}, {0xB8, 0, 8}, {0, 1, 1},    {0, 2, 1}};
  std::vector<std::size_t> counts(71);
  std::iota(counts.begin(), counts.end(), 0);
  counts.push_back(4099);
  for (const auto& l : loops) {
    for (const std::size_t count : counts) {
      const std::size_t bytes = count * l.size, start = count % 3;
      Bytes in(start + bytes + 8);
      std::mt19937 rng(static_cast<unsigned>(count + l.code));
      for (auto& x : in)
        x = static_cast<unsigned char>(rng());
      Bytes out(in.size(), 0xEE), same(in);
      const auto run = [&](unsigned char* src, unsigned char* dst) {
        l.conversion != 0
            ? tra_convert_charset(l.conversion, static_cast<unsigned short>(count), src, dst)
            : tra_swap_bytes(l.code, static_cast<std::uint32_t>(count), src, dst);
      };
      run(in.data() + start, out.data() + start);
      run(same.data() + start, same.data() + start);
      for (std::size_t i = 0; i < bytes; ++i) {
        const std::size_t k = start + i, mirror = k - i % l.size + (l.size - 1 - i % l.size);
        const int want = l.conversion == 1   ? a2e[in[k]]
                         : l.conversion == 2 ? e2a[in[k]]
                                             : in[mirror];
        ASSERT_EQ(out[k], want) << l.code << " " << l.conversion << " " << count << " " << i;
        ASSERT_EQ(same[k], want) << l.code << " " << l.conversion << " " << count << " " << i;
      }
      for (std::size_t k = 0; k < in.size(); ++k) {
        if (k >= start && k < start + bytes) continue;
        ASSERT_EQ(out[k], 0xEE) << "written outside the count";
        ASSERT_EQ(same[k], in[k]) << "written outside the count";
      }
    }
  }
}

TEST(Translate, SingleSwapsAndBitReversal) {
  Bytes eight = {1, 2, 3, 4, 5, 6, 7, 8};
  tra_swap_2(eight.data()), tra_swap_4(eight.data() + 2);
  EXPECT_EQ(eight, (Bytes{2, 1, 6, 5, 4, 3, 7, 8}));
  tra_swap_8(eight.data());
  EXPECT_EQ(eight, (Bytes{8, 7, 3, 4, 5, 6, 1, 2}));

  // Every byte against its bits read one by one; out of place leaves the
  // source alone, and in place gives the same.
  const Bytes all = AllBytes();
  Bytes src(all), out(257, 0xEE), same(all);
  tra_reverse_bits(256, src.data(), out.data());
  tra_reverse_bits(256, same.data(), same.data());
  EXPECT_EQ(src, all);
  EXPECT_EQ(out[256], 0xEE);
  for (int b = 0; b < 256; ++b) {
    int want = 0;
    for (int bit = 0; bit < 8; ++bit)
      want |= ((b >> bit) & 1) << (7 - bit);
    EXPECT_EQ(out[b], want) << b;
    EXPECT_EQ(same[b], want) << b;
  }
}

// Runs `call` with standard output sent to standard error, where the death
// test reads, and standard error discarded (Windows text mode ends the line
// with CR LF). Null buffers show that the code is checked before any byte is
// touched: a read or write would crash instead of exiting.
template <class Call>
void OnStdout(Call call) {
  std::fflush(stdout);
#if defined(_WIN32)
  _dup2(_fileno(stderr), _fileno(stdout));
  _dup2(_open("NUL", _O_WRONLY), _fileno(stderr));
#else
  dup2(fileno(stderr), fileno(stdout));
  dup2(open("/dev/null", O_WRONLY), fileno(stderr));
#endif
  call();
}

TEST(TranslateDeathTest, BadCodesEndTheProcessWithStatus1) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(OnStdout([] { tra_swap_bytes(0x43, 5, nullptr, nullptr); }),
              ::testing::ExitedWithCode(1), "^tra_swap_bytes: invalid primitive type 0x43\r?\n$");
  EXPECT_EXIT(OnStdout([] { tra_swap_bytes(0xA8, 0, nullptr, nullptr); }),
              ::testing::ExitedWithCode(1), "^tra_swap_bytes: invalid primitive type 0xa8\r?\n$");
  EXPECT_EXIT(OnStdout([] { tra_convert_charset(3, 5, nullptr, nullptr); }),
              ::testing::ExitedWithCode(1), "^tra_convert_charset: invalid conversion 3\r?\n$");
  EXPECT_EXIT(OnStdout([] { tra_convert_charset(-1, 0, nullptr, nullptr); }),
              ::testing::ExitedWithCode(1),
              "^tra_convert_charset: invalid conversion ffffffff\r?\n$");
}

}  // namespace
