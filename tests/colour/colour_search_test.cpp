// The closest- and similar-colour searches on every instruction set this
// machine runs: random maps (vacant entries, repeated entries for ties,
// entries beyond the scale, exact matches at entry 0 and elsewhere, block
// tails) against a plain linear search, and each vectorised loop against
// the portable one.
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

// The search as first written: squared distances in double precision, the
// best one held as a float from the bound 3 * scale^2 + 1 (unsigned 32-bit)
// on, entry 0 never considered, the first exact match answering at once.
std::pair<std::int32_t, std::int32_t> LinearClosest(const ColorMap& map, const ColorRGB& c) {
  const auto s = static_cast<std::uint32_t>(map.maxValue);
  auto best = static_cast<float>(3u * s * s + 1u);
  std::int32_t found = 0;
  for (std::int32_t i = 1; i < map.numColors; ++i) {
    const ColorRGB& e = map.colors[i];
    if (e.red < 0) continue;
    const double dr = static_cast<double>(e.red) - c.red,
                 dg = static_cast<double>(e.green) - c.green,
                 db = static_cast<double>(e.blue) - c.blue;
    const double d = dr * dr + dg * dg + db * db;
    if (d == 0) return {i, 0};
    if (d < best) best = static_cast<float>(d), found = i;
  }
  if (found == 0) return {0, -1};
  const ColorRGB& e = map.colors[found];
  const double sum = std::abs(static_cast<double>(e.red) - c.red) +
                     std::abs(static_cast<double>(e.green) - c.green) +
                     std::abs(static_cast<double>(e.blue) - c.blue);
  return {found, static_cast<std::int32_t>(std::floor(sum * 0.3333333333333333 + 0.5))};
}

// The similar search: integer distances, no float, identical entries skipped.
std::int32_t LinearSimilar(const ColorMap& map, const ColorRGB& c) {
  const auto s = static_cast<std::uint32_t>(map.maxValue);
  std::int64_t best = 3u * s * s + 1u;
  std::int32_t found = 0;
  for (std::int32_t i = 0; i < map.numColors; ++i) {
    const ColorRGB& e = map.colors[i];
    if (e.red < 0) continue;
    const std::int64_t dr = std::int64_t{e.red} - c.red, dg = std::int64_t{e.green} - c.green,
                       db = std::int64_t{e.blue} - c.blue;
    const double d = double(dr) * double(dr) + double(dg) * double(dg) + double(db) * double(db);
    if (d > 0 && d < double(best)) best = static_cast<std::int64_t>(d), found = i;
  }
  return found;
}

// A random map and question. Small scales and clusters make many equal
// distances; a few entries are vacant, repeat an earlier one, or lie far
// outside the scale; the question is often an entry (entry 0 included).
struct Case {
  ColorMap map{0, 0};
  ColorRGB colour{};
};

void Draw(std::mt19937& rng, Case& out) {
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  static const std::int32_t kScales[] = {1, 3, 15, 255, 255, 255, 2364, 2365, 37837, -7};
  const std::int32_t scale = kScales[pick(0, 9)];
  const std::int32_t n = pick(0, 9) == 0 ? 256 : pick(0, 70);
  const int spread = scale < 0 ? 20 : scale;
  const ColorRGB centre{pick(0, spread), pick(0, spread), pick(0, spread)};
  const int jitter = pick(0, 1) != 0 ? 3 : spread;
  auto near = [&](std::int32_t v) { return v + pick(-jitter, jitter); };
  ColorMap map(n, scale);
  for (std::int32_t i = 0; i < n; ++i) {
    ColorRGB& e = map.colors[i];
    e = {near(centre.red), near(centre.green), near(centre.blue)};
    const int twist = pick(0, 15);
    if (twist == 0) e.red = pick(0, 1) != 0 ? -pick(1, 1 << 30) : -pick(1, 40);  // vacant
    if (twist == 1 && i > 0) e = map.colors[pick(0, i - 1)];                     // a tie
    if (twist == 2) e.green = pick(0, 1) != 0 ? INT32_MAX : INT32_MIN;           // far off
    if (twist == 3) e.blue += (1 << 24) + pick(-2, 2);
    if (twist == 4) e.red = INT32_MAX - pick(0, 2);
    if (twist == 5) e.green = pick(0, 1) != 0 ? 32767 + pick(-1, 1) : -32768 + pick(-1, 1);
  }
  ColorRGB c{near(centre.red), near(centre.green), near(centre.blue)};
  const int kind = pick(0, 19);
  if (n > 0 && kind < 6) c = map.colors[kind == 0 ? 0 : pick(0, n - 1)];
  if (kind == 6) c.red = (1 << 14) + pick(-1, 1);  // edge of the vectorised path
  if (kind == 7) c.green = -pick(1, 300);
  if (kind == 8) c.blue = INT32_MIN + pick(0, 3);
  if (kind == 9) c.green = 32767 + pick(-1, 1);  // beside the entries at the 16-bit edge
  out.map = map;
  out.colour = c;
}

class ColourSearchKernels : public ::testing::TestWithParam<KernelSet> {
 protected:
  void SetUp() override {
    if (!col::KernelSetAvailable(GetParam())) GTEST_SKIP() << "not available here";
    col::UseKernelSet(GetParam());
  }
  void TearDown() override { col::UseBestKernelSet(); }
};

TEST_P(ColourSearchKernels, MembersAnswerAsTheLinearSearch) {
  std::mt19937 rng(11 + static_cast<unsigned>(GetParam()));
  Case k;
  int vectorised = 0;
  for (int trial = 0; trial < 4000; ++trial) {
    Draw(rng, k);
    const auto want = LinearClosest(k.map, k.colour);
    std::int32_t distance = -2;
    ASSERT_EQ(std::make_pair(k.map.GetClosestColor(&k.colour, &distance), distance), want)
        << "trial " << trial;
    // Asked again, the memo answers, even after an entry changes behind it.
    ColorRGB* const answer = want.first > 0 ? &k.map.colors[want.first] : nullptr;
    const ColorRGB kept = answer != nullptr ? *answer : ColorRGB{};
    if (answer != nullptr) answer->red = -1;
    ASSERT_EQ(std::make_pair(k.map.GetClosestColor(&k.colour, &distance), distance), want);
    if (answer != nullptr) *answer = kept;
    ASSERT_EQ(k.map.GetSimilarColor(&k.colour), LinearSimilar(k.map, k.colour))
        << "trial " << trial;
    const auto s = static_cast<std::uint32_t>(k.map.maxValue);
    vectorised += col::Vectorisable({nullptr, 0, 0, k.colour.red, k.colour.green, k.colour.blue,
                                     3u * s * s + 1u, col::SearchMode::kClosest})
                      ? 1
                      : 0;
  }
  // Both paths were taken often.
  EXPECT_GT(vectorised, 2000);
  EXPECT_LT(vectorised, 3800);
}

TEST_P(ColourSearchKernels, LoopsAnswerAsThePortableOneOnEverySlice) {
  std::mt19937 rng(29 + static_cast<unsigned>(GetParam()));
  Case k;
  for (int trial = 0; trial < 3000; ++trial) {
    Draw(rng, k);
    const std::int32_t n = k.map.numColors;
    const std::int32_t begin = n > 0 ? std::uniform_int_distribution<int>(0, n - 1)(rng) : 0;
    const std::int32_t end = std::uniform_int_distribution<int>(begin, n)(rng);
    const auto bound = std::uniform_int_distribution<std::uint32_t>(1, 1u << 25)(rng);
    for (auto mode : {col::SearchMode::kClosest, col::SearchMode::kSimilar}) {
      const col::SearchQuery q{k.map.colors,   begin,         end,   k.colour.red,
                               k.colour.green, k.colour.blue, bound, mode};
      ASSERT_EQ(col::Search(q), col::portable::Search(q)) << "trial " << trial;
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

// Every lane of every block: a single exact match (and a single nearest
// entry) placed at each index of a 64-entry map is found wherever it lies,
// and the first of two equal entries wins whichever lanes they share.
TEST(ColourSearchLanes, EachIndexAndEachPairOfEqualEntries) {
  const ColorRGB ask{10, 20, 30}, near{11, 20, 30}, far{200, 200, 200};
  ColorMap map(64, 255);
  for (std::int32_t i = 0; i < 64; ++i)
    map.SetMap(i, &far);
  for (KernelSet set : {KernelSet::kSse2, KernelSet::kAvx2, KernelSet::kAvx512}) {
    if (!col::KernelSetAvailable(set)) continue;
    col::UseKernelSet(set);
    for (std::int32_t i = 1; i < 64; ++i) {
      map.SetMap(i, &ask);
      std::int32_t distance = -2;
      EXPECT_EQ(map.GetClosestColor(&ask, &distance), i);
      EXPECT_EQ(map.GetSimilarColor(&ask), 0);
      map.SetMap(i, &near);
      EXPECT_EQ(map.GetClosestColor(&ask, &distance), i);
      EXPECT_EQ(map.GetSimilarColor(&ask), i);
      for (std::int32_t j = i + 1; j < 64; j += 5) {
        map.SetMap(j, &near);
        EXPECT_EQ(map.GetClosestColor(&ask, &distance), i) << i << ' ' << j;
        EXPECT_EQ(map.GetSimilarColor(&ask), i) << i << ' ' << j;
        map.SetMap(j, &far);
      }
      map.SetMap(i, &far);
    }
  }
  col::UseBestKernelSet();
}

}  // namespace
