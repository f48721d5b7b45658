// Point, rectangle, list and point-set transforms against a direct
// evaluation of the mapping and of the round-half-away rule.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
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
template <class Pt>
auto Ps(const Pt* p, std::size_t n) {
  std::vector<decltype(P(*p))> v;
  for (std::size_t i = 0; i < n; ++i)
    v.push_back(P(p[i]));
  return v;
}

RealPtT Map(const Mtx2D& m, double x, double y) {
  return {m.a * x + m.c * y + m.e, m.b * x + m.d * y + m.f};
}

std::int32_t Round(double v) {
  return static_cast<std::int32_t>(v < 0.0 ? v - 0.5 : v + 0.5);
}
IntPtT Round(const RealPtT& p) {
  return {Round(p.x), Round(p.y)};
}

// Matrices of every type code. Integer elements with half-integer offsets and
// inputs make exact halves frequent; kind 4 has arbitrary real elements.
Mtx2D Gen(int kind, std::mt19937& g) {
  std::uniform_int_distribution<int> k(1, 4), h(-40, 40);
  auto nz = [&] { return static_cast<double>(k(g) * (g() % 2 ? 1 : -1)); };
  std::uniform_real_distribution<double> u(-3, 3);
  Mtx2D m;
  if (kind == 0) m.a = nz(), m.d = nz();
  if (kind == 1) m.a = 0, m.b = nz(), m.c = nz(), m.d = 0;
  if (kind == 2) m.a = nz(), m.b = nz(), m.c = nz(), m.d = nz();
  if (kind == 3) m.SetIdentity(), m.Scale(nz(), nz());  // type 3, yet not the identity
  if (kind == 4) m.a = u(g), m.b = u(g), m.c = u(g), m.d = u(g);
  m.e = h(g) / 2.0, m.f = h(g) / 2.0;
  if (kind != 3) m.SetType();
  return m;
}

// Half-integers or arbitrary reals, of either sign.
RealPtT Point(std::mt19937& g) {
  std::uniform_int_distribution<int> h(-400, 400);
  std::uniform_real_distribution<double> u(-1e4, 1e4);
  return g() % 2 ? RealPtT{h(g) / 2.0, h(g) / 2.0} : RealPtT{u(g), u(g)};
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

// Keeps a point unless it equals the last kept one, which then takes its
// attribute; a kept there-and-back triple drops its last point.
template <class Pt>
std::pair<std::vector<Pt>, std::vector<std::uint32_t>> Thin(
    const std::vector<Pt>& pts, const std::vector<std::uint32_t>& attr) {
  std::vector<Pt> kept{pts[0]};
  std::vector<std::uint32_t> kattr{attr[0]};
  auto same = [](const Pt& p, const Pt& q) { return p.x == q.x && p.y == q.y; };
  for (std::size_t i = 1; i < pts.size(); ++i) {
    if (same(pts[i], kept.back())) {
      kattr.back() = attr[i];
    } else {
      kept.push_back(pts[i]), kattr.push_back(attr[i]);
    }
  }
  if (kept.size() == 3 && same(kept[2], kept[0])) kept.pop_back(), kattr.pop_back();
  return {kept, kattr};
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
std::string KernelName(const ::testing::TestParamInfo<KernelSet>& info) {
  return info.param == KernelSet::kPortable ? "Portable"
         : info.param == KernelSet::kSse2   ? "Sse2"
                                            : "Avx";
}
INSTANTIATE_TEST_SUITE_P(Kernels, Mtx2DTransform,
                         ::testing::Values(KernelSet::kPortable, KernelSet::kSse2, KernelSet::kAvx),
                         KernelName);

TEST_P(Mtx2DTransform, EveryFormFollowsThePointRule) {
  // Beyond the signed 32-bit range, and for NaN, every path gives INT32_MIN.
  const std::int32_t lo = std::numeric_limits<std::int32_t>::min();
  const RealPtT far[3] = {{2147483647.4, -2147483648.4}, {2147483647.5, 3e9}, {std::nan(""), -3e9}};
  const IntPtT want[6] = {{2147483647, lo}, {lo, lo}, {lo, lo},
                          {2147483647, lo}, {lo, lo}, {lo, lo}};
  IntPtT far_out[6] = {};
  Mtx2D().XfmPts(3, far, far_out);
  for (int k = 0; k < 3; ++k)
    Mtx2D().XfmPt(&far[k], &far_out[3 + k]);
  EXPECT_EQ(Ps(far_out, 6), Ps(want, 6));

  // Points drawn from three bases, often repeated exactly or nudged, so runs
  // of duplicates and there-and-back triples are common; every third list
  // reaches past 16 bits to show the wrap of the short form.
  std::mt19937 g(8);
  std::uniform_real_distribution<double> nudge(-0.3, 0.3);
  for (int i = 0; i < 4000; ++i) {
    const Mtx2D m = Gen(i % 5, g);
    const RealPtT base[3] = {Point(g), Point(g), Point(g)};
    const int n = i % 50 == 0   ? static_cast<int>(g() % 3) - 1    // 0, -1 or 1
                  : i % 10 == 0 ? 1 + static_cast<int>(g() % 700)  // past one 256-point block
                                : 1 + static_cast<int>(g() % 8);
    const std::size_t len = static_cast<std::size_t>(std::max(n, 0));
    // One guard entry past the end of each output must survive.
    std::vector<RealPtT> in(len), world(len + 1, {7, 7}), rp = world, wout(len);
    std::vector<IntPtT> dev(len + 1, {7, 7}), fdev = dev, ip = dev, fp = dev, pout(len);
    std::vector<DevSPtT> sdev(len + 1, {7, 7}), sp = sdev;
    std::vector<std::uint32_t> attr(len), dattr(len), wattr(len);
    for (std::size_t k = 0; k < len; ++k) {
      in[k] = base[g() % 3];
      if (g() % 2) in[k].x += nudge(g), in[k].y += nudge(g);
      if (i % 3 == 0) in[k].x *= 17, in[k].y *= -13;
      attr[k] = static_cast<std::uint32_t>(g());
      world[k] = Map(m, in[k].x, in[k].y);
      dev[k] = Round(world[k]);
      fdev[k] = {dev[k].x * 8, dev[k].y * 8};
      sdev[k] = {static_cast<short>(dev[k].x), static_cast<short>(dev[k].y)};

      RealPtT r = in[k], back{};
      IntPtT d{};
      m.XfmPt(r.x, r.y, &r.x, &r.y);  // outputs may alias the inputs
      ASSERT_EQ(P(r), P(world[k])) << i;
      m.RealXfmPt(&in[k], &r);
      ASSERT_EQ(P(r), P(world[k])) << i;
      m.XfmPt(&in[k], &d);
      ASSERT_EQ(P(d), P(dev[k])) << i;
      m.InvXfmPt(&d, &back);  // this very matrix, nothing inverted
      ASSERT_EQ(P(back), P(Map(m, d.x, d.y))) << i;
    }
    m.XfmPts(n, in.data(), ip.data());
    m.XfmFPts(n, in.data(), fp.data());
    m.XfmSPts(n, in.data(), sp.data());
    m.RealXfmPts(n, in.data(), rp.data());
    ASSERT_EQ(Ps(ip.data(), len + 1), Ps(dev.data(), len + 1)) << i;
    ASSERT_EQ(Ps(fp.data(), len + 1), Ps(fdev.data(), len + 1)) << i;
    ASSERT_EQ(Ps(sp.data(), len + 1), Ps(sdev.data(), len + 1)) << i;
    ASSERT_EQ(Ps(rp.data(), len + 1), Ps(world.data(), len + 1)) << i;

    if (len >= 4) {  // the first four points as a rectangle, in whatever order
      RealRectT rect{{in[0], in[1], in[2], in[3]}}, box{}, from_int{};
      IntRectT irect{{dev[0], dev[1], dev[2], dev[3]}}, ibox{};
      m.XfmRect(&rect, &box);
      m.XfmRect(&rect, &ibox);
      m.XfmRect(&irect, &from_int);
      ASSERT_EQ(Ps(box.corner, 4), Box(m, rect)) << i;
      ASSERT_EQ(Ps(from_int.corner, 4), Box(m, irect)) << i;
      for (int k = 0; k < 4; ++k) {  // bounds round to nearest, not outward
        ASSERT_EQ(P(ibox.corner[k]), P(Round(box.corner[k]))) << i;
      }
      m.XfmRect(&rect, &rect);  // in place
      ASSERT_EQ(Ps(rect.corner, 4), Ps(box.corner, 4)) << i;
    }
    if (n < 1) continue;

    dev.pop_back(), world.pop_back();
    const auto [dkeep, dka] = Thin(dev, attr);
    const auto [wkeep, wka] = Thin(world, attr);
    DrwPSetT src{n, in.data(), attr.data()}, wset{-1, wout.data(), wattr.data()};
    DrwDPSetT dset{-1, ip.data(), dattr.data()};
    std::int32_t count = -1;
    m.XfmPolyPts(n, &count, in.data(), pout.data());
    m.XfmPolySetPts(&src, &dset);
    m.RealXfmPolyPtSet(&src, &wset);
    const auto nd = static_cast<std::int32_t>(dkeep.size());
    ASSERT_EQ(std::make_tuple(count, dset.count, wset.count),
              std::make_tuple(nd, nd, static_cast<std::int32_t>(wkeep.size())))
        << i;
    ASSERT_EQ(Ps(pout.data(), dkeep.size()), Ps(dkeep.data(), dkeep.size())) << i;
    ASSERT_EQ(Ps(ip.data(), dkeep.size()), Ps(dkeep.data(), dkeep.size())) << i;
    ASSERT_EQ(Ps(wout.data(), wkeep.size()), Ps(wkeep.data(), wkeep.size())) << i;
    ASSERT_EQ(std::vector<std::uint32_t>(dattr.begin(), dattr.begin() + nd), dka) << i;
    DrwPSetT shared{n, in.data(), attr.data()};  // attributes rewritten in place
    DrwDPSetT shared_out{-1, ip.data(), attr.data()};
    m.XfmPolySetPts(&shared, &shared_out);
    ASSERT_EQ(std::vector<std::uint32_t>(attr.begin(), attr.begin() + nd), dka) << i;
    ASSERT_EQ(std::vector<std::uint32_t>(wattr.begin(), wattr.begin() + wset.count), wka) << i;
  }
}

}  // namespace
