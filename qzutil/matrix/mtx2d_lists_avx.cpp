// AVX forms of the plain point-list loops: four points per step. (The
// thinning loops gain nothing from wider mapping, since their cost is the
// serial walk over the results, so they keep their SSE2 form.)
// This file is compiled with AVX code generation; nothing in it runs unless
// the processor was found to support AVX. The helpers it shares with the
// other loops (xfm_map.h, xfm_loops.h) have internal linkage, and it calls no
// inline function of external linkage, so no code generated for AVX can be
// merged into a caller compiled without it.
#include "qzutil/matrix/xfm_avx.h"

#if defined(__AVX__)

#include <immintrin.h>

#include "qzutil/matrix/xfm_loops.h"
#include "qzutil/matrix/xfm_map.h"

namespace {

// Four device points: points 0 and 1 in lo, 2 and 3 in hi, (x, y) each.
struct AvxIntQuad {
  __m128i lo, hi;
};
// Four world points: 0 and 1 in p01, 2 and 3 in p23.
struct AvxRealQuad {
  __m256d p01, p23;
};

// Single results, for the last points of a list that fill no whole group.
PackedInt Element(const AvxIntQuad& g, int k) {
  return Lane64(k < 2 ? g.lo : g.hi, k & 1);
}
RealPtT Element(const AvxRealQuad& g, int k) {
  RealPtT v[4];
  _mm256_storeu_pd(&v[0].x, g.p01);
  _mm256_storeu_pd(&v[2].x, g.p23);
  return v[k];
}

struct AvxDevice : Device {
  using Device::StoreGroup;
  static void StoreGroup(IntPtT* o, const AvxIntQuad& g) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), g.lo);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 2), g.hi);
  }
};
struct AvxDevice8 : Device8 {
  using Device8::StoreGroup;
  static void StoreGroup(IntPtT* o, const AvxIntQuad& g) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_slli_epi32(g.lo, 3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 2), _mm_slli_epi32(g.hi, 3));
  }
};
struct AvxShort : Short {
  using Short::StoreGroup;
  static void StoreGroup(DevSPtT* o, const AvxIntQuad& g) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o),
                     _mm_unpacklo_epi64(Low16Lanes(g.lo), Low16Lanes(g.hi)));
  }
};
struct AvxWorld : World {
  using World::StoreGroup;
  static void StoreGroup(RealPtT* o, const AvxRealQuad& g) {
    _mm256_storeu_pd(&o[0].x, g.p01);
    _mm256_storeu_pd(&o[2].x, g.p23);
  }
};

// Loads p[0..3] and maps them. The lanes come out in the order 0, 2, 1, 3
// (the in-lane unpack of two 256-bit loads); the mappers below put them back.
template <class Shape>
void MapXY(const Shape& shape, const RealPtT* p, __m256d& X, __m256d& Y) {
  const __m256d p01 = _mm256_loadu_pd(&p[0].x);
  const __m256d p23 = _mm256_loadu_pd(&p[2].x);
  shape(_mm256_unpacklo_pd(p01, p23), _mm256_unpackhi_pd(p01, p23), X, Y);
}

// The device rounding rule on four lanes: add copysign(0.5, v), truncate;
// out-of-range and NaN lanes become INT32_MIN as in every other form.
__m128i RoundLanes(__m256d v) {
  const __m256d sign = _mm256_and_pd(v, _mm256_set1_pd(-0.0));
  const __m256d half = _mm256_or_pd(sign, _mm256_set1_pd(0.5));
  return _mm256_cvttpd_epi32(_mm256_add_pd(v, half));
}

template <class Shape>
struct AvxDeviceMapper {
  static constexpr int kWidth = 4;
  Shape shape;
  AvxIntQuad operator()(const RealPtT* p) const {
    __m256d X, Y;
    MapXY(shape, p, X, Y);
    const __m128i xs = RoundLanes(X), ys = RoundLanes(Y);  // lanes 0, 2, 1, 3
    const __m128i p02 = _mm_unpacklo_epi32(xs, ys);        // x0 y0 x2 y2
    const __m128i p13 = _mm_unpackhi_epi32(xs, ys);        // x1 y1 x3 y3
    return {_mm_unpacklo_epi64(p02, p13), _mm_unpackhi_epi64(p02, p13)};
  }
};
template <class Shape>
struct AvxWorldMapper {
  static constexpr int kWidth = 4;
  Shape shape;
  AvxRealQuad operator()(const RealPtT* p) const {
    __m256d X, Y;
    MapXY(shape, p, X, Y);
    return {_mm256_unpacklo_pd(X, Y), _mm256_unpackhi_pd(X, Y)};
  }
};

template <class Body>
void WithDeviceMapper(const Mtx2D& m, Body&& body) {
  WithShape<__m256d>(
      m, [&](const auto& shape) { body(AvxDeviceMapper<std::decay_t<decltype(shape)>>{shape}); });
}
template <class Body>
void WithWorldMapper(const Mtx2D& m, Body&& body) {
  WithShape<__m256d>(
      m, [&](const auto& shape) { body(AvxWorldMapper<std::decay_t<decltype(shape)>>{shape}); });
}

}  // namespace

namespace qz::detail::avx {

void XfmPts(const Mtx2D& m, std::int32_t n, const RealPtT* in, IntPtT* out) {
  WithDeviceMapper(m, [&](const auto& mapper) { MapList<AvxDevice>(mapper, n, in, out); });
}

void XfmFPts(const Mtx2D& m, std::int32_t n, const RealPtT* in, IntPtT* out) {
  WithDeviceMapper(m, [&](const auto& mapper) { MapList<AvxDevice8>(mapper, n, in, out); });
}

void XfmSPts(const Mtx2D& m, std::int32_t n, const RealPtT* in, DevSPtT* out) {
  WithDeviceMapper(m, [&](const auto& mapper) { MapList<AvxShort>(mapper, n, in, out); });
}

void RealXfmPts(const Mtx2D& m, std::int32_t n, const RealPtT* in, RealPtT* out) {
  WithWorldMapper(m, [&](const auto& mapper) { MapList<AvxWorld>(mapper, n, in, out); });
}

}  // namespace qz::detail::avx

#endif  // __AVX__
