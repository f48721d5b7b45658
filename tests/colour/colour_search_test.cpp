// The closest- and similar-colour searches on every instruction set this
// machine runs: random maps against a plain linear search, and each
// vectorised loop against the portable one on random slices.
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "qzutil/colour/colour_map.h"
#include "qzutil/colour/colour_search.h"

namespace {

namespace col = qz::detail::col;
using col::KernelSet;

// The searches as first written, in double precision. Closest: entry 0 never
// considered, the best distance held as a float from the bound 3 * scale^2 + 1
// (unsigned 32-bit) on, the first exact match answering at once, and the
// distance the mean absolute difference rounded half up. Similar: identical
// entries passed over.
std::pair<std::int32_t, std::int32_t> Linear(const ColorMap& map, const ColorRGB& c, bool closest) {
  const auto s = static_cast<std::uint32_t>(map.maxValue);
  double best = 3u * s * s + 1u;
  if (closest) best = static_cast<float>(best);
  std::int32_t found = 0;
  for (std::int32_t i = closest ? 1 : 0; i < map.numColors; ++i) {
    const ColorRGB& e = map.colors[i];
    const double dr = 1.0 * e.red - c.red, dg = 1.0 * e.green - c.green, db = 1.0 * e.blue - c.blue,
                 d = dr * dr + dg * dg + db * db;
    if (e.red < 0 || (d == 0 && !closest)) continue;
    if (d == 0) return {i, 0};
    if (d < best) best = closest ? static_cast<float>(d) : d, found = i;
  }
  if (!closest || found == 0) return {found, -1};
  const ColorRGB& e = map.colors[found];
  const double sum = std::abs(1.0 * e.red - c.red) + std::abs(1.0 * e.green - c.green) +
                     std::abs(1.0 * e.blue - c.blue);
  return {found, static_cast<std::int32_t>(std::floor(sum * 0.3333333333333333 + 0.5))};
}

// A random map and question. Small scales and clusters make many equal
// distances; a few entries are vacant, repeat an earlier one, or lie far
// outside the scale; the question is often an entry (entry 0 included).
// Some maps span more than one 256-entry chunk of the vectorised loops.
void Draw(std::mt19937& rng, ColorMap& map, ColorRGB& c) {
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  static const std::int32_t kScales[] = {1, 3, 15, 255, 255, 255, 2364, 2365, 37837, -7};
  const std::int32_t scale = kScales[pick(0, 9)];
  const std::int32_t n = pick(0, 9) == 0 ? pick(250, 600) : pick(0, 70);
  const int spread = scale < 0 ? 20 : scale;
  const ColorRGB centre{pick(0, spread), pick(0, spread), pick(0, spread)};
  const int jitter = pick(0, 1) != 0 ? 3 : spread;
  auto near = [&]() -> ColorRGB {
    return {centre.red + pick(-jitter, jitter), centre.green + pick(-jitter, jitter),
            centre.blue + pick(-jitter, jitter)};
  };
  map = ColorMap(n, scale);
  for (std::int32_t i = 0; i < n; ++i) {
    ColorRGB& e = map.colors[i] = near();
    const int twist = pick(0, 15);
    if (twist == 0) e.red = pick(0, 1) != 0 ? -pick(1, 1 << 30) : -pick(1, 40);  // vacant
    if (twist == 1 && i > 0) e = map.colors[pick(0, i - 1)];                     // a tie
    if (twist == 2) e.green = pick(0, 1) != 0 ? INT32_MAX : INT32_MIN;           // far off
    if (twist == 3) e.blue += (1 << 24) + pick(-2, 2);
    if (twist == 4) e.red = INT32_MAX - pick(0, 2);
    if (twist == 5) e.green = pick(0, 1) != 0 ? 32767 + pick(-1, 1) : -32768 + pick(-1, 1);
  }
  c = near();
  const int kind = pick(0, 19);
  if (n > 0 && kind < 6) c = map.colors[kind == 0 ? 0 : pick(0, n - 1)];
  if (kind == 6) c.red = (1 << 14) + pick(-1, 1);  // edge of the vectorised path
  if (kind == 7) c.green = -pick(1, 300);
  if (kind == 8) c.blue = INT32_MIN + pick(0, 3);
  if (kind == 9) c.green = 32767 + pick(-1, 1);  // beside the entries at the 16-bit edge
}

class ColourSearchKernels : public ::testing::TestWithParam<KernelSet> {
 protected:
  void SetUp() override {
    if (!col::KernelSetAvailable(GetParam())) GTEST_SKIP() << "not available here";
    col::UseKernelSet(GetParam());
  }
  void TearDown() override { col::UseBestKernelSet(); }
  std::mt19937 rng_{11 + static_cast<unsigned>(GetParam())};
  ColorMap map_{0, 0};
  ColorRGB c_{};
};

TEST_P(ColourSearchKernels, MembersAnswerAsTheLinearSearch) {
  int vectorised = 0;
  for (int trial = 0; trial < 4000; ++trial) {
    Draw(rng_, map_, c_);
    const auto want = Linear(map_, c_, true);
    std::int32_t distance = -2;
    ASSERT_EQ(std::make_pair(map_.GetClosestColor(&c_, &distance), distance), want) << trial;
    // Asked again, the memo answers, even after the answer is made vacant.
    ColorRGB vacant{-1, 0, 0};
    if (want.first > 0) std::swap(map_.colors[want.first], vacant);
    ASSERT_EQ(std::make_pair(map_.GetClosestColor(&c_, &distance), distance), want) << trial;
    if (want.first > 0) std::swap(map_.colors[want.first], vacant);
    ASSERT_EQ(map_.GetSimilarColor(&c_), Linear(map_, c_, false).first) << trial;
    const auto s = static_cast<std::uint32_t>(map_.maxValue);
    vectorised += col::Vectorisable({nullptr, 0, 0, c_.red, c_.green, c_.blue, 3u * s * s + 1u,
                                     col::SearchMode::kClosest})
                      ? 1
                      : 0;
  }
  // Both paths were taken often.
  EXPECT_GT(vectorised, 2000);
  EXPECT_LT(vectorised, 3800);
}

TEST_P(ColourSearchKernels, LoopsAnswerAsThePortableOneOnEverySlice) {
  for (int trial = 0; trial < 3000; ++trial) {
    Draw(rng_, map_, c_);
    const std::int32_t n = map_.numColors;
    const std::int32_t begin = n > 0 ? std::uniform_int_distribution<int>(0, n - 1)(rng_) : 0;
    const std::int32_t end = std::uniform_int_distribution<int>(begin, n)(rng_);
    const auto bound = std::uniform_int_distribution<std::uint32_t>(1, 1u << 25)(rng_);
    for (auto mode : {col::SearchMode::kClosest, col::SearchMode::kSimilar}) {
      const col::SearchQuery q{map_.colors, begin, end, c_.red, c_.green, c_.blue, bound, mode};
      ASSERT_EQ(col::Search(q), col::portable::Search(q)) << trial;
    }
  }
}

std::string SetName(const ::testing::TestParamInfo<KernelSet>& info) {
  const char* const names[] = {"Portable", "Sse2", "Avx2", "Avx512"};
  return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Kernels, ColourSearchKernels,
                         ::testing::Values(KernelSet::kPortable, KernelSet::kSse2, KernelSet::kAvx2,
                                           KernelSet::kAvx512),
                         SetName);

}  // namespace
