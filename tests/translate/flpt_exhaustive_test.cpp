// Every one of the 2^32 single-precision patterns, in both directions,
// against a model of the exact values in integer arithmetic: a finite IEEE
// single is m * 2^k, an IBM single f * 2^(4x - 280). The model finds the
// result from the value's binary length alone, independently of how the
// library walks the fields. The patterns are split between threads, each
// converting its share in the largest calls the library takes.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "qzutil/translate/translate.h"

namespace {

int Length(std::uint32_t m) {
  return 32 - std::countl_zero(m);
}
// m * 2^s, truncated toward zero.
std::uint32_t Shift(std::uint32_t m, int s) {
  return s >= 0 ? m << s : (s <= -32 ? 0 : m >> -s);
}

std::uint32_t IeeeToIbm(std::uint32_t w) {
  const std::uint32_t sign = w & 0x80000000u, e = (w >> 23) & 0xFF, f = w & 0x7FFFFF;
  if (e == 255) return sign | (f != 0 ? 0x20000000u : 0x7FFFFFFFu);
  if (e == 0 && f == 0) return 0;
  const std::uint32_t m = e != 0 ? f | 0x800000u : f;
  const int k = (e != 0 ? int(e) : 1) - 150;
  // The smallest q with |v| < 16^q; the fraction is |v| / 16^q in 24 bits.
  const int bits = Length(m) + k;  // 2^(bits-1) <= |v| < 2^bits
  const int q = bits > 0 ? (bits + 3) / 4 : -(-bits / 4);
  return sign | std::uint32_t(q + 64) << 24 | Shift(m, k + 24 - 4 * q);
}

std::uint32_t IbmToIeee(std::uint32_t w) {
  const std::uint32_t sign = w & 0x80000000u, x = (w >> 24) & 0x7F, f = w & 0xFFFFFF;
  if (f == 0) return x == 0 ? sign : sign | 0x7FFFFFFFu;
  const int k = 4 * int(x) - 280;
  const int bits = Length(f) + k;
  if (bits > 128) return sign | 0x7F800000u;
  if (bits >= -125)
    return sign | std::uint32_t(bits + 126) << 23 | (Shift(f, 24 - Length(f)) & 0x7FFFFF);
  return sign | Shift(f, k + 149);  // subnormal or zero
}

struct Mismatch {
  std::uint64_t count = 0;
  std::uint32_t first_in = 0, got = 0, want = 0;
};

// Patterns [begin, end) through tra_convert_flpt in calls of 65535.
Mismatch Sweep(int mode, std::uint32_t (*model)(std::uint32_t), std::uint64_t begin,
               std::uint64_t end) {
  Mismatch m;
  std::vector<std::uint32_t> in(65535), out(65535);
  for (std::uint64_t base = begin; base < end; base += in.size()) {
    const auto n = static_cast<unsigned short>(std::min<std::uint64_t>(in.size(), end - base));
    for (unsigned i = 0; i < n; ++i)
      in[i] = static_cast<std::uint32_t>(base + i);
    tra_convert_flpt(mode, 0xA4, n, reinterpret_cast<unsigned char*>(in.data()),
                     reinterpret_cast<unsigned char*>(out.data()));
    for (unsigned i = 0; i < n; ++i) {
      const std::uint32_t want = model(in[i]);
      if (out[i] != want && m.count++ == 0) m = {1, in[i], out[i], want};
    }
  }
  return m;
}

void ExpectAllPatterns(int mode, std::uint32_t (*model)(std::uint32_t)) {
  const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 16u);
  std::vector<Mismatch> results(threads);
  std::vector<std::thread> pool;
  const std::uint64_t share = (std::uint64_t{1} << 32) / threads + 1;
  for (unsigned t = 0; t < threads; ++t)
    pool.emplace_back([&, t] {
      results[t] = Sweep(mode, model, t * share, std::min((t + 1) * share, std::uint64_t{1} << 32));
    });
  for (std::thread& t : pool)
    t.join();
  for (const Mismatch& m : results)
    EXPECT_EQ(m.count, 0u) << "mode " << mode << std::hex << ", first at 0x" << m.first_in
                           << ": got 0x" << m.got << ", want 0x" << m.want;
}

TEST(FlptExhaustive, EveryIeeeSingleToIbm) {
  ExpectAllPatterns(4, IeeeToIbm);
}

TEST(FlptExhaustive, EveryIbmSingleToIeee) {
  ExpectAllPatterns(16, IbmToIeee);
}

}  // namespace
