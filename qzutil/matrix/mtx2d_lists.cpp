// Mtx2D: point-list and point-set transforms, the loops that run over every
// drawn point.
//
// Each member selects its loop once: the matrix type picks one of three
// mapping shapes (aligned, swapped, general) and the processor picks the
// AVX (plain lists only), SSE2 or portable form. Inside a loop there is no
// branch on the data: device rounding adds copysign(0.5, v) before
// truncating, and thinning always stores the candidate point at the next
// free slot and advances the count only when it differs from the last
// stored point (see xfm_loops.h).
#include <cstring>
#include <type_traits>

#include "qzutil/frame/cpu_features.h"
#include "qzutil/matrix/mtx2d.h"
#include "qzutil/matrix/xfm_avx.h"
#include "qzutil/matrix/xfm_loops.h"
#include "qzutil/matrix/xfm_map.h"

// Defined by the build when mtx2d_lists_avx.cpp is compiled in.
#ifndef QZUTIL_HAVE_AVX_KERNELS
#define QZUTIL_HAVE_AVX_KERNELS 0
#endif

namespace qz::detail {
namespace {

// The AVX loops are compiled in and the processor and operating system
// support AVX. This code itself is compiled without AVX.
bool AvxUsable() {
  return QZUTIL_HAVE_AVX_KERNELS != 0 && CpuSupports(CpuFeature::kAvx);
}

KernelSet BestKernelSet() {
  if (AvxUsable()) return KernelSet::kAvx;
  return QZUTIL_HAVE_SSE2 ? KernelSet::kSse2 : KernelSet::kPortable;
}

constinit KernelChoice<KernelSet, KernelSetAvailable, BestKernelSet> g_choice;

}  // namespace

bool KernelSetAvailable(KernelSet set) {
  switch (set) {
    case KernelSet::kPortable:
      return true;
    case KernelSet::kSse2:
      return QZUTIL_HAVE_SSE2 != 0;
    case KernelSet::kAvx: {
      static const bool usable = AvxUsable();
      return usable;
    }
  }
  return false;
}

void UseKernelSet(KernelSet set) {
  g_choice.Use(set);
}

void UseBestKernelSet() {
  g_choice.UseBest();
}

KernelSet ActiveKernelSet() {
  return g_choice.Active();
}

}  // namespace qz::detail

namespace {

using namespace qz::detail;

// ---- portable mappers: one point per call -----------------------------

template <class Shape>
struct PortableWorld {
  static constexpr int kWidth = 1;
  Shape shape;
  RealPtT operator()(const RealPtT* p) const {
    RealPtT r;
    shape(p->x, p->y, r.x, r.y);
    return r;
  }
};
template <class Shape>
struct PortableDevice {
  static constexpr int kWidth = 1;
  PortableWorld<Shape> world;
  PackedInt operator()(const RealPtT* p) const { return Pack(RoundPoint(world(p))); }
};

#if QZUTIL_HAVE_SSE2

// ---- SSE2 mappers: two points per call ---------------------------------

// Two device points: (x0, y0, x1, y1) as 32-bit lanes.
struct SseIntPair {
  __m128i v;
};
// Two world points, one per register.
struct SseRealPair {
  __m128d p[2];
};

inline PackedInt Element(const SseIntPair& g, int k) {
  return Lane64(g.v, k);
}
inline RealPtT Element(const SseRealPair& g, int k) {
  RealPtT r;
  _mm_storeu_pd(&r.x, g.p[k]);
  return r;
}

struct SseDevice : Device {
  using Device::StoreGroup;
  static void StoreGroup(IntPtT* o, const SseIntPair& g) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), g.v);
  }
};
struct SseDevice8 : Device8 {
  using Device8::StoreGroup;
  static void StoreGroup(IntPtT* o, const SseIntPair& g) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_slli_epi32(g.v, 3));
  }
};
struct SseShort : Short {
  using Short::StoreGroup;
  static void StoreGroup(DevSPtT* o, const SseIntPair& g) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(o), Low16Lanes(g.v));
  }
};
struct SseWorld : World {
  using World::StoreGroup;
  static void StoreGroup(RealPtT* o, const SseRealPair& g) {
    _mm_storeu_pd(&o[0].x, g.p[0]);
    _mm_storeu_pd(&o[1].x, g.p[1]);
  }
};

// Maps points p[0] and p[1]: their x values go in one register, their y
// values in another, so one multiply serves both points.
template <class Shape>
inline void MapXY(const Shape& shape, const RealPtT* p, __m128d& X, __m128d& Y) {
  const __m128d p0 = _mm_loadu_pd(&p[0].x);
  const __m128d p1 = _mm_loadu_pd(&p[1].x);
  shape(_mm_unpacklo_pd(p0, p1), _mm_unpackhi_pd(p0, p1), X, Y);
}

// The device rounding rule on both lanes: add copysign(0.5, v), truncate.
// Out-of-range and NaN lanes become INT32_MIN, as RoundToDevice defines.
// The two results are the low two 32-bit lanes.
inline __m128i RoundLanes(__m128d v) {
  const __m128d sign = _mm_and_pd(v, _mm_set1_pd(-0.0));
  const __m128d half = _mm_or_pd(sign, _mm_set1_pd(0.5));
  return _mm_cvttpd_epi32(_mm_add_pd(v, half));
}

template <class Shape>
struct SseDeviceMapper {
  static constexpr int kWidth = 2;
  Shape shape;
  SseIntPair operator()(const RealPtT* p) const {
    __m128d X, Y;
    MapXY(shape, p, X, Y);
    return {_mm_unpacklo_epi32(RoundLanes(X), RoundLanes(Y))};
  }
};
template <class Shape>
struct SseWorldMapper {
  static constexpr int kWidth = 2;
  Shape shape;
  SseRealPair operator()(const RealPtT* p) const {
    __m128d X, Y;
    MapXY(shape, p, X, Y);
    return {{_mm_unpacklo_pd(X, Y), _mm_unpackhi_pd(X, Y)}};
  }
};

template <class Form>
using SseForm = std::conditional_t<
    std::is_same_v<Form, Device>, SseDevice,
    std::conditional_t<std::is_same_v<Form, Device8>, SseDevice8,
                       std::conditional_t<std::is_same_v<Form, Short>, SseShort, SseWorld>>>;

#endif  // QZUTIL_HAVE_SSE2

// Calls body(mapper, form) with the portable or SSE2 mapper for the matrix
// type; Form names the portable output form (World means no rounding).
template <class Form, class Body>
void Dispatch(const Mtx2D& m, KernelSet kernels, Body&& body) {
  constexpr bool kDevice = !std::is_same_v<Form, World>;
#if QZUTIL_HAVE_SSE2
  if (kernels != KernelSet::kPortable) {
    WithShape<__m128d>(m, [&](const auto& shape) {
      using Shape = std::decay_t<decltype(shape)>;
      if constexpr (kDevice) {
        body(SseDeviceMapper<Shape>{shape}, SseForm<Form>{});
      } else {
        body(SseWorldMapper<Shape>{shape}, SseForm<Form>{});
      }
    });
    return;
  }
#else
  (void)kernels;
#endif
  WithShape<double>(m, [&](const auto& shape) {
    using Shape = std::decay_t<decltype(shape)>;
    if constexpr (kDevice) {
      body(PortableDevice<Shape>{{shape}}, Form{});
    } else {
      body(PortableWorld<Shape>{shape}, Form{});
    }
  });
}

template <class Form, class Point>
void List(const Mtx2D& m, std::int32_t n, const RealPtT* in, Point* out) {
  Dispatch<Form>(m, ActiveKernelSet(), [&](const auto& mapper, auto form) {
    MapList<decltype(form)>(mapper, n, in, out);
  });
}

// A count below 1 is outside the contract of the thinning forms; it reads
// and writes nothing and answers 0 rather than reading a point that is not
// there.
template <class Form, class Point>
std::int32_t ThinList(const Mtx2D& m, std::int32_t n, const RealPtT* in, Point* out,
                      const std::uint32_t* attr_in, std::uint32_t* attr_out) {
  if (n < 1) return 0;
  std::int32_t count = 0;
  Dispatch<Form>(m, ActiveKernelSet(), [&](const auto& mapper, auto form) {
    count = Thin<decltype(form)>(mapper, n, in, out, attr_in, attr_out);
  });
  return count;
}

#if QZUTIL_HAVE_AVX_KERNELS
bool UseAvx() {
  return ActiveKernelSet() == KernelSet::kAvx;
}
#endif

}  // namespace

void Mtx2D::XfmPts(std::int32_t n, const RealPtT* in, IntPtT* out) const {
#if QZUTIL_HAVE_AVX_KERNELS
  if (UseAvx()) return avx::XfmPts(*this, n, in, out);
#endif
  List<Device>(*this, n, in, out);
}

void Mtx2D::XfmFPts(std::int32_t n, const RealPtT* in, IntPtT* out) const {
#if QZUTIL_HAVE_AVX_KERNELS
  if (UseAvx()) return avx::XfmFPts(*this, n, in, out);
#endif
  List<Device8>(*this, n, in, out);
}

void Mtx2D::XfmSPts(std::int32_t n, const RealPtT* in, DevSPtT* out) const {
#if QZUTIL_HAVE_AVX_KERNELS
  if (UseAvx()) return avx::XfmSPts(*this, n, in, out);
#endif
  List<Short>(*this, n, in, out);
}

void Mtx2D::RealXfmPts(std::int32_t n, const RealPtT* in, RealPtT* out) const {
#if QZUTIL_HAVE_AVX_KERNELS
  if (UseAvx()) return avx::RealXfmPts(*this, n, in, out);
#endif
  List<World>(*this, n, in, out);
}

namespace {

// Device point sets by blocks: a block is mapped and rounded by the plain-list
// loop (AVX where available) into the caller's output, at the indices of its
// input points, and then compacted in place. With one attribute store per
// point this measured faster than the fused walk of Thin; without attributes
// (XfmPolyPts) the fused walk is faster. Same results: the compaction is the
// thinning walk of Thin over device points as 64-bit words. In place is safe
// because slot `count` never lies beyond the point being read, and all
// writes stay within the caller's n entries.
std::int32_t ThinSetByBlocks(const Mtx2D& m, std::int32_t n, const RealPtT* in, IntPtT* out,
                             const std::uint32_t* attr_in, std::uint32_t* attr_out) {
  if (n < 1) return 0;
  if (attr_out == nullptr) return ThinList<Device>(m, n, in, out, nullptr, nullptr);
  constexpr std::int32_t kBlock = 256;  // 2 KiB of device points: stays in L1
  m.XfmPts(1, in, out);
  attr_out[0] = attr_in[0];
  std::int32_t count = 1;
  PackedInt last;
  std::memcpy(&last.bits, out, sizeof last.bits);
  for (std::int32_t i = 1; i < n; i += kBlock) {
    const std::int32_t len = n - i < kBlock ? n - i : kBlock;
    m.XfmPts(len, in + i, out + i);
    for (std::int32_t k = 0; k < len; ++k) {
      PackedInt current;
      std::memcpy(&current.bits, out + i + k, sizeof current.bits);
      Device::Store(out + count, current);
      count += Same(current, last) ? 0 : 1;
      last = current;
      attr_out[count - 1] = attr_in[i + k];
    }
  }
  if (count == 3 && SameStored(out[2], out[0])) count = 2;
  return count;
}

}  // namespace

void Mtx2D::XfmPolyPts(std::int32_t n, std::int32_t* out_count, const RealPtT* in,
                       IntPtT* out) const {
  *out_count = ThinList<Device>(*this, n, in, out, nullptr, nullptr);
}

void Mtx2D::XfmPolySetPts(const DrwPSetT* in, DrwDPSetT* out) const {
  out->count =
      ThinSetByBlocks(*this, in->count, in->points, out->points, in->attributes, out->attributes);
}

void Mtx2D::RealXfmPolyPtSet(const DrwPSetT* in, DrwPSetT* out) const {
  out->count =
      ThinList<World>(*this, in->count, in->points, out->points, in->attributes, out->attributes);
}
