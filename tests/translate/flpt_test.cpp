// IEEE and IBM floating point: the stated values, the diagnostic, and a million
// generated doubles each way against a reference on the exact value, in every
// instruction set. flpt_exhaustive_test checks every single-precision pattern
// (best loops); the fuzz target holds every loop set to the portable one.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "qzutil/translate/translate.h"
#include "shared/generated_cases.h"
#include "translate/kernel_sets.h"

namespace {

using qz_test::EachKernelSet;
using qz_test::KernelSet;

// floor(m * 2^s); the caller keeps the result within 64 bits.
std::uint64_t Floor(std::uint64_t m, int s) {
  return s >= 0 ? m << s : -s >= 64 ? 0 : m >> -s;
}

// The references work on the exact value, m * 2^q, and truncate toward zero.
// IBM: the leading hexadecimal digit non-zero where the exponent allows,
// exponent 0 (unnormalised) below that, the largest magnitude above the
// range, and a plain 0 when nothing is left. Subnormal doubles give 0.
std::uint64_t RefIeeeToIbm64(std::uint64_t w) {
  const std::uint64_t sign = w & 0x8000000000000000u, f = w & 0xFFFFFFFFFFFFFu;
  const int e = int((w >> 52) & 0x7FF), q = e - 1075;  // 2^(e-1023) <= value
  if (e == 2047) return sign | (f != 0 ? 0x7F00000000000000u : 0x7FFFFFFFFFFFFFFFu);
  if (e == 0) return 0;
  const int x = std::max(((e - 1023) >> 2) + 65, 0);  // arithmetic shift: floor
  if (x > 127) return sign | 0x7FFFFFFFFFFFFFFFu;
  const std::uint64_t fraction = Floor(f | (std::uint64_t{1} << 52), q - 4 * (x - 64) + 56);
  return fraction == 0 ? 0 : sign | (std::uint64_t(x) << 56) | fraction;
}

// IEEE: infinity above the range, subnormal or zero below it; a zero fraction
// with a non-zero top byte gives all ones.
std::uint64_t RefIbmToIeee64(std::uint64_t w) {
  const std::uint64_t f = w & 0xFFFFFFFFFFFFFFu, sign = w & 0x8000000000000000u;
  if (f == 0) return (w >> 56) == 0 ? 0 : ~std::uint64_t{0};
  const int q = 4 * (int((w >> 56) & 0x7F) - 64) - 56;
  const int u = int(std::bit_width(f)) - 1 + q;  // 2^u <= value < 2^(u+1)
  if (u > 1023) return sign | 0x7FF0000000000000u;
  if (u < -1022) return sign | Floor(f, q + 1074);
  return sign | (std::uint64_t(u + 1023) << 52) | (Floor(f, 52 - u + q) - (std::uint64_t{1} << 52));
}

constexpr int kCopy = 0, kToIbm = 4, kToIeee = 16;

// Converts `in`, out of place or in place, first in calls of 0 to 70
// elements, so every tail of every vector width is met at varied addresses,
// then in calls of the largest count, 65535.
template <class Word>
std::vector<Word> Run(int mode, const std::vector<Word>& in, bool in_place) {
  std::vector<Word> out = in_place ? in : std::vector<Word>(in.size());
  std::vector<Word> src(in);
  std::size_t n = 0;
  for (std::size_t i = 0, call = 0; i < in.size(); i += n, ++call) {
    n = std::min<std::size_t>(call < 142 ? call % 71 : 65535, in.size() - i);
    auto* s = reinterpret_cast<unsigned char*>((in_place ? out : src).data() + i);
    tra_convert_flpt(mode, sizeof(Word) == 4 ? 0xA4 : 0xB8, static_cast<unsigned short>(n), s,
                     reinterpret_cast<unsigned char*>(out.data() + i));
  }
  return out;
}

// Converts w as 17 copies, so whole vector groups and the tail both see it.
template <class Word>
Word One(int mode, Word w) {
  const std::vector<Word> out = Run<Word>(mode, std::vector<Word>(17, w), false);
  for (const Word o : out)
    EXPECT_EQ(o, out.back()) << std::hex << "input 0x" << +w;
  return out.back();
}

template <class F>
auto Bits(F f) {
  return std::bit_cast<std::conditional_t<sizeof(F) == 4, std::uint32_t, std::uint64_t>>(f);
}

// Random doubles' words, half uniform and half built from a chosen top byte or
// 12 bits (sign and exponent), a fraction with a random number of leading
// zeros and a few specials, so every range and boundary is crossed often. Runs
// of 64 words share a class, so the vectorised loops see groups with and
// without the elements they hand over.
std::vector<std::uint64_t> Patterns(std::size_t n, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::vector<std::uint64_t> v(n);
  int kind = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (i % 64 == 0) kind = int(rng() % 4);
    std::uint64_t w = rng();
    if (kind == 1 || (kind == 2 && rng() % 8 == 0)) {
      const std::uint64_t top = rng() % 4 == 0 ? (rng() % 2 ? 0 : 0xFFFF) : rng() % 65536;
      const std::uint64_t fraction = w & (~std::uint64_t{0} >> (8 + rng() % 56));
      w = fraction | (top << (rng() % 2 ? 56 : 52));
    }
    if (kind == 3 && rng() % 16 == 0) w &= std::uint64_t{0xFFF} << 52;
    v[i] = w;
  }
  return v;
}

// A million generated words (fewer under emulation: shared/generated_cases.h)
// through the library, out of place and in place, against the reference.
void ExpectFollows(int mode, std::uint64_t (*ref)(std::uint64_t), unsigned seed) {
  const auto in = Patterns(qz::test::GeneratedCases(1u << 20) + 13, seed);
  for (const bool in_place : {false, true}) {
    const std::vector<std::uint64_t> got = Run(mode, in, in_place);
    std::size_t bad = 0;
    for (std::size_t i = 0; i < got.size(); ++i) {
      if (got[i] != ref(in[i]) && ++bad <= 5)
        ADD_FAILURE() << std::hex << "mode " << mode << " in_place " << in_place << " input 0x"
                      << in[i] << ": got 0x" << got[i] << ", want 0x" << ref(in[i]);
    }
    EXPECT_EQ(bad, 0u);
  }
}

class Flpt : public EachKernelSet {};
QZ_INSTANTIATE_FOR_KERNEL_SETS(Flpt);

TEST_P(Flpt, StatedValuesAndSpecials) {
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    int mode;
    std::uint32_t in, want;
  } singles[] = {
      // clang-format off
      {kToIbm, Bits(1.0f), 0x41100000},  {kToIbm, Bits(0.5f), 0x40800000},
      {kToIbm, Bits(-2.0f), 0xC1200000}, {kToIbm, Bits(100.0f), 0x42640000},
      {kToIeee, 0x41100000, Bits(1.0f)}, {kToIeee, 0x40800000, Bits(0.5f)},
      {kToIeee, 0xC1200000, Bits(-2.0f)}, {kToIeee, 0x42640000, Bits(100.0f)},
      {kToIbm, Bits(inf), 0x7FFFFFFF},   {kToIbm, Bits(-inf), 0xFFFFFFFF},
      {kToIbm, Bits(-0.0f), 0},          {kToIbm, 0x7FC00000, 0x20000000},
      {kToIbm, 0x7F800001, 0x20000000},  {kToIbm, 0xFFFFFFFF, 0xA0000000},
      {kToIeee, 0x20000000, 0x7FFFFFFF}, {kToIeee, 0xA0000000, 0xFFFFFFFF},
      {kToIeee, 0x00000000, Bits(0.0f)}, {kToIeee, 0x80000000, Bits(-0.0f)},
      {kToIeee, 0x7FFFFFFF, Bits(inf)},  {kToIeee, 0x00100000, 0},
      {kToIbm + 1, Bits(1.0f), 0x41100000},  // the two low bits of the mode are ignored
      {kCopy + 3, 0x12345678, 0x12345678},   // copying reverses nothing
      // clang-format on
  };
  for (const auto& c : singles)
    EXPECT_EQ(One<std::uint32_t>(c.mode, c.in), c.want) << std::hex << c.mode << " 0x" << c.in;
  EXPECT_EQ(One<std::uint64_t>(kToIbm, Bits(1.0)), 0x4110000000000000u);
  EXPECT_EQ(One<std::uint64_t>(kToIeee + 1, 0x4110000000000000u), Bits(1.0));
  EXPECT_EQ(One<std::uint64_t>(kToIeee, 0x8000000000000000u), ~std::uint64_t{0});
  EXPECT_EQ(One<std::uint64_t>(kCopy, 0x0102030405060708u), 0x0102030405060708u);
}

TEST_P(Flpt, GeneratedPatternsFollowTheExactValue) {
  ExpectFollows(kToIbm, RefIeeeToIbm64, 3);
  ExpectFollows(kToIeee, RefIbmToIeee64, 4);
}

TEST(FlptDiagnostic, UnsupportedRequestsReportAndLeaveDstAlone) {
  const std::string line = "ZRK MSG(tra_prm0,409): tra_convert_flpt: unimplemented conversion\n";
  unsigned char src[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  unsigned char dst[16] = {};
  const struct {
    int mode;
    unsigned short type;
    unsigned short count;
  } bad[] = {{8, 0xA4, 2}, {12, 0xB8, 2}, {4, 0x74, 2}, {0, 0x84, 2}, {20, 0xB8, 0}, {-4, 0xA4, 1}};
  for (const auto& b : bad) {
    ::testing::internal::CaptureStderr();
    tra_convert_flpt(b.mode, b.type, b.count, src, dst);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), line) << b.mode << " " << b.type;
    EXPECT_EQ(std::string(dst, dst + 16), std::string(16, '\0'));
  }
  ::testing::internal::CaptureStderr();
  tra_convert_flpt(0, 0xA4, 0, src, dst);  // a valid empty request says nothing
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
