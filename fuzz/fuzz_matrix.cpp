// The point-list and point-set transforms of every loop set against the
// single-point transforms, on any matrices and points (NaN and huge values
// included), into outputs of exactly the documented size.
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_check.h"
#include "qzutil/matrix/mtx2d.h"
#include "qzutil/matrix/xfm_kernels.h"

namespace {

namespace qd = qz::detail;

// Mapped points count as duplicates when equal (so 0.0 and -0.0 merge and a
// NaN never does); results match when equal or both NaN.
template <class Pt>
bool Same(const Pt& a, const Pt& b) {
  return a.x == b.x && a.y == b.y;
}
bool Match(const RealPtT& a, const RealPtT& b) {
  return (a.x == b.x || (a.x != a.x && b.x != b.x)) && (a.y == b.y || (a.y != a.y && b.y != b.y));
}

// The thinned polyline the documentation describes, from single-point results.
template <class Pt>
std::vector<std::size_t> Thin(const std::vector<Pt>& pts) {
  std::vector<std::size_t> last;  // index of the last input point of each run
  for (std::size_t i = 0; i < pts.size(); ++i) {
    if (!last.empty() && Same(pts[last.back()], pts[i]))
      last.back() = i;
    else
      last.push_back(i);
  }
  if (last.size() == 3 && Same(pts[last[2]], pts[last[0]])) last.pop_back();
  return last;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  Mtx2D m;
  double* elements[] = {&m.a, &m.b, &m.c, &m.d, &m.e, &m.f};
  for (double* e : elements)
    *e = in.ConsumeBool() ? in.ConsumeFloatingPoint<double>() : in.ConsumeIntegralInRange(-3, 3);
  m.SetType();
  if (in.ConsumeBool()) m.type = in.ConsumeIntegralInRange(0, 3);  // a type that may not fit
  const int n = in.ConsumeIntegralInRange(0, 300);                 // past one 256-point block
  const bool coarse = in.ConsumeBool();  // grid points, so that runs of duplicates occur
  std::vector<RealPtT> pts(n);
  std::vector<std::uint32_t> attrs(n);
  for (int i = 0; i < n; ++i) {
    pts[i] = coarse ? RealPtT{in.ConsumeIntegralInRange(0, 2) * 0.25,
                              in.ConsumeIntegralInRange(0, 2) * 0.25}
                    : RealPtT{in.ConsumeFloatingPoint<double>(), in.ConsumeFloatingPoint<double>()};
    attrs[i] = static_cast<std::uint32_t>(i);
  }
  std::vector<IntPtT> dev(n);
  std::vector<RealPtT> real(n);
  for (int i = 0; i < n; ++i) {
    m.XfmPt(&pts[i], &dev[i]);
    m.RealXfmPt(&pts[i], &real[i]);
    double x = pts[i].x, y = pts[i].y;
    m.XfmPt(x, y, &x, &y);
    FUZZ_CHECK(std::memcmp(&x, &real[i].x, 8) == 0 && std::memcmp(&y, &real[i].y, 8) == 0);
  }
  const std::vector<std::size_t> dev_runs = Thin(dev), real_runs = Thin(real);
  std::vector<IntPtT> fpts_ref;

  for (qd::KernelSet set : {qd::KernelSet::kPortable, qd::KernelSet::kSse2, qd::KernelSet::kAvx}) {
    if (!qd::KernelSetAvailable(set)) continue;
    qd::UseKernelSet(set);
    auto ints = std::make_unique<IntPtT[]>(n);
    m.XfmPts(n, pts.data(), ints.get());
    for (int i = 0; i < n; ++i)
      FUZZ_CHECK(Same(ints[i], dev[i]));
    auto shorts = std::make_unique<DevSPtT[]>(n);
    m.XfmSPts(n, pts.data(), shorts.get());
    for (int i = 0; i < n; ++i)
      FUZZ_CHECK(shorts[i].x == static_cast<short>(dev[i].x) &&
                 shorts[i].y == static_cast<short>(dev[i].y));
    auto reals = std::make_unique<RealPtT[]>(n);
    m.RealXfmPts(n, pts.data(), reals.get());
    for (int i = 0; i < n; ++i)
      FUZZ_CHECK(std::memcmp(&reals[i], &real[i], sizeof(RealPtT)) == 0);
    m.XfmFPts(n, pts.data(), ints.get());
    for (int i = 0; i < n; ++i) {
      if (dev[i].x > -(1 << 27) && dev[i].x < (1 << 27) && dev[i].y > -(1 << 27) &&
          dev[i].y < (1 << 27))
        FUZZ_CHECK(ints[i].x == dev[i].x * 8 && ints[i].y == dev[i].y * 8);
    }
    if (fpts_ref.empty()) fpts_ref.assign(ints.get(), ints.get() + n);
    for (int i = 0; i < n; ++i)
      FUZZ_CHECK(Same(ints[i], fpts_ref[i]));
    if (n == 0) continue;

    // Polylines and point sets.
    auto poly = std::make_unique<IntPtT[]>(n);
    std::int32_t count = -1;
    m.XfmPolyPts(n, &count, pts.data(), poly.get());
    FUZZ_CHECK(count == static_cast<std::int32_t>(dev_runs.size()));
    for (std::size_t k = 0; k < dev_runs.size(); ++k)
      FUZZ_CHECK(Same(poly[k], dev[dev_runs[k]]));
    auto set_pts = std::make_unique<IntPtT[]>(n);
    auto set_attrs = std::make_unique<std::uint32_t[]>(n);
    const DrwPSetT in_set{n, pts.data(), attrs.data()};
    DrwDPSetT out_set{0, set_pts.get(), set_attrs.get()};
    m.XfmPolySetPts(&in_set, &out_set);
    FUZZ_CHECK(out_set.count == count);
    for (std::size_t k = 0; k < dev_runs.size(); ++k)
      FUZZ_CHECK(Same(set_pts[k], dev[dev_runs[k]]) && set_attrs[k] == dev_runs[k]);
    auto real_pts = std::make_unique<RealPtT[]>(n);
    auto real_attrs = std::make_unique<std::uint32_t[]>(n);
    DrwPSetT real_set{0, real_pts.get(), real_attrs.get()};
    m.RealXfmPolyPtSet(&in_set, &real_set);
    FUZZ_CHECK(real_set.count == static_cast<std::int32_t>(real_runs.size()));
    for (std::size_t k = 0; k < real_runs.size(); ++k)
      FUZZ_CHECK(Match(real_pts[k], real[real_runs[k]]) && real_attrs[k] == real_runs[k]);
  }
  qd::UseBestKernelSet();
  return 0;
}
