// Point, rectangle, list and point-set transforms against a direct
// evaluation of the mapping and of the round-half-away rule.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "qzutil/matrix/mtx2d.h"
#include "qzutil/matrix/xfm_kernels.h"

namespace {

template <class Pt>
auto P(const Pt& p) {
  return std::make_pair(p.x, p.y);
}
// The first n points of an array or vector, as pairs.
template <class R>
auto Ps(const R& r, std::size_t n = SIZE_MAX) {
  std::vector<decltype(P(*std::begin(r)))> v;
  for (auto it = std::begin(r); it != std::end(r) && v.size() < n; ++it)
    v.push_back(P(*it));
  return v;
}

RealPtT Map(const Mtx2D& m, double x, double y) {
  return {m.a * x + m.c * y + m.e, m.b * x + m.d * y + m.f};
}

std::int32_t Round(double v) {
  return static_cast<std::int32_t>(v < 0.0 ? v - 0.5 : v + 0.5);
}

// The enclosing box of the mapped corners, in the order the transforms write.
template <class Rect>
std::vector<std::pair<double, double>> Box(const Mtx2D& m, const Rect& r) {
  double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;
  for (const auto& c : r.corner) {
    const RealPtT q = Map(m, c.x, c.y);
    x0 = std::min(x0, q.x), y0 = std::min(y0, q.y), x1 = std::max(x1, q.x), y1 = std::max(y1, q.y);
  }
  return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
}

// The list and set members have a portable loop and vectorised ones; each
// that this machine can run must give the same exact results.
using qz::detail::KernelSet;
class Mtx2DTransform : public ::testing::TestWithParam<KernelSet> {
 protected:
  void SetUp() override {
    if (!qz::detail::KernelSetAvailable(GetParam())) GTEST_SKIP() << "not available here";
    qz::detail::UseKernelSet(GetParam());
  }
  void TearDown() override { qz::detail::UseBestKernelSet(); }
};
const char* const kNames[] = {"Portable", "Sse2", "Avx"};
INSTANTIATE_TEST_SUITE_P(Kernels, Mtx2DTransform,
                         ::testing::Values(KernelSet::kPortable, KernelSet::kSse2, KernelSet::kAvx),
                         [](auto p) { return std::string(kNames[static_cast<int>(p.param)]); });

TEST_P(Mtx2DTransform, EveryFormFollowsThePointRule) {
  // Beyond the signed 32-bit range, and for NaN, every path gives INT32_MIN.
  const RealPtT far[3] = {{2147483647.4, -2147483648.4}, {2147483647.5, 3e9}, {std::nan(""), -3e9}};
  const IntPtT want[3] = {{2147483647, INT32_MIN}, {INT32_MIN, INT32_MIN}, {INT32_MIN, INT32_MIN}};
  IntPtT list[3] = {}, one[3] = {};
  Mtx2D().XfmPts(3, far, list);
  for (int k = 0; k < 3; ++k)
    Mtx2D().XfmPt(&far[k], &one[k]);
  EXPECT_EQ(std::make_pair(Ps(list), Ps(one)), std::make_pair(Ps(want), Ps(want)));

  // Points drawn from three bases, often repeated exactly or nudged, so runs
  // of duplicates and there-and-back triples are common; every third list
  // reaches past 16 bits to show the wrap of the short form.
  std::mt19937 g(8);
  std::uniform_int_distribution<int> one_to_4(1, 4), h(-40, 40), hp(-400, 400);
  std::uniform_real_distribution<double> nudge(-0.3, 0.3), u(-3, 3), up(-1e4, 1e4);
  auto nz = [&] { return static_cast<double>(one_to_4(g) * (g() % 2 ? 1 : -1)); };
  auto point = [&] { return g() % 2 ? RealPtT{hp(g) / 2.0, hp(g) / 2.0} : RealPtT{up(g), up(g)}; };
  for (int i = 0; i < 4000; ++i) {
    // Matrices of every type code. Integer elements with half-integer offsets
    // and inputs (half-integers or arbitrary reals, of either sign) make exact
    // halves frequent; the fifth kind has arbitrary real elements.
    Mtx2D m;
    if (i % 5 == 0) m.a = nz(), m.d = nz();
    if (i % 5 == 1) m.a = 0, m.b = nz(), m.c = nz(), m.d = 0;
    if (i % 5 == 2) m.a = nz(), m.b = nz(), m.c = nz(), m.d = nz();
    if (i % 5 == 3) m.SetIdentity(), m.Scale(nz(), nz());  // type 3, yet not the identity
    if (i % 5 == 4) m.a = u(g), m.b = u(g), m.c = u(g), m.d = u(g);
    m.e = h(g) / 2.0, m.f = h(g) / 2.0;
    if (i % 5 != 3) m.SetType();
    const RealPtT base[3] = {point(), point(), point()};
    const int n = i % 50 == 0   ? static_cast<int>(g() % 3) - 1    // 0, -1 or 1
                  : i % 10 == 0 ? 1 + static_cast<int>(g() % 700)  // past one 256-point block
                                : 1 + static_cast<int>(g() % 8);
    const std::size_t len = static_cast<std::size_t>(std::max(n, 0));
    // One guard entry past the end of each plain-list output must survive.
    std::vector<RealPtT> in(len), world(len + 1, {7, 7}), rp = world;
    std::vector<IntPtT> dev(len + 1, {7, 7}), fdev = dev, ip = dev, fp = dev, pout(len);
    std::vector<DevSPtT> sdev(len + 1, {7, 7}), sp = sdev;
    std::vector<std::uint32_t> attr(len), dattr(len);
    for (std::size_t k = 0; k < len; ++k) {
      in[k] = base[g() % 3];
      if (g() % 2) in[k].x += nudge(g), in[k].y += nudge(g);
      if (i % 3 == 0) in[k].x *= 17, in[k].y *= -13;
      attr[k] = static_cast<std::uint32_t>(g());
      world[k] = Map(m, in[k].x, in[k].y);
      dev[k] = {Round(world[k].x), Round(world[k].y)};
      fdev[k] = {dev[k].x * 8, dev[k].y * 8};
      sdev[k] = {static_cast<short>(dev[k].x), static_cast<short>(dev[k].y)};

      RealPtT r = in[k], rw{}, back{};
      IntPtT d{};
      m.XfmPt(r.x, r.y, &r.x, &r.y);  // outputs may alias the inputs
      m.RealXfmPt(&in[k], &rw), m.XfmPt(&in[k], &d);
      m.InvXfmPt(&d, &back);  // this very matrix, nothing inverted
      ASSERT_EQ(std::make_tuple(P(r), P(rw), P(d), P(back)),
                std::make_tuple(P(world[k]), P(world[k]), P(dev[k]), P(Map(m, d.x, d.y))))
          << i;
    }
    m.XfmPts(n, in.data(), ip.data()), m.XfmFPts(n, in.data(), fp.data());
    m.XfmSPts(n, in.data(), sp.data()), m.RealXfmPts(n, in.data(), rp.data());
    ASSERT_EQ(std::make_tuple(Ps(ip), Ps(fp), Ps(sp), Ps(rp)),
              std::make_tuple(Ps(dev), Ps(fdev), Ps(sdev), Ps(world)))
        << i;

    if (len >= 4) {  // the first four points as a rectangle, in whatever order
      RealRectT rect{{in[0], in[1], in[2], in[3]}}, box{}, from_int{}, same = rect;
      IntRectT irect{{dev[0], dev[1], dev[2], dev[3]}}, ibox{};
      m.XfmRect(&rect, &box), m.XfmRect(&rect, &ibox), m.XfmRect(&irect, &from_int);
      m.XfmRect(&same, &same);                                  // in place
      std::vector<std::pair<std::int32_t, std::int32_t>> near;  // bounds round to nearest
      for (auto [x, y] : Box(m, rect))
        near.emplace_back(Round(x), Round(y));
      ASSERT_EQ(
          std::make_tuple(Ps(box.corner), Ps(same.corner), Ps(from_int.corner), Ps(ibox.corner)),
          std::make_tuple(Box(m, rect), Box(m, rect), Box(m, irect), near))
          << i;
    }
    if (n < 1) continue;

    // The thinned forms follow the single-point ones in the fuzz target; here
    // the set form may rewrite its input attributes in place.
    DrwPSetT src{n, in.data(), attr.data()};
    DrwDPSetT dset{-1, ip.data(), dattr.data()}, shared_out{-1, pout.data(), attr.data()};
    m.XfmPolySetPts(&src, &dset), m.XfmPolySetPts(&src, &shared_out);
    dattr.resize(dset.count), attr.resize(shared_out.count);
    ASSERT_EQ(std::make_tuple(Ps(pout, dset.count), attr),
              std::make_tuple(Ps(ip, dset.count), dattr))
        << i;
  }
}

}  // namespace
