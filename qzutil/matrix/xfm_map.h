// Internal: the mapping of one point by matrix type, in scalar and (where the
// build has SSE2) vector form. The three shapes skip only terms that the type
// guarantees to be zero, and keep the written order of operations
// ((a*x + c*y) + e), so every form gives bit-identical results.
#ifndef QZUTIL_MATRIX_XFM_MAP_H
#define QZUTIL_MATRIX_XFM_MAP_H

#include <cstdint>

#include "qzutil/frame/records.h"
#include "qzutil/matrix/mtx2d.h"
#include "qzutil/matrix/xfm_kernels.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define QZUTIL_HAVE_SSE2 1
#include <emmintrin.h>
#else
#define QZUTIL_HAVE_SSE2 0
#endif

namespace qz::detail {

struct AlignedMap {
  double a, d, e, f;
  RealPtT operator()(double x, double y) const { return {a * x + e, d * y + f}; }
};

struct SwappedMap {
  double b, c, e, f;
  RealPtT operator()(double x, double y) const { return {c * y + e, b * x + f}; }
};

struct GeneralMap {
  double a, b, c, d, e, f;
  RealPtT operator()(double x, double y) const { return {a * x + c * y + e, b * x + d * y + f}; }
};

// Calls body(map) with the scalar map for m's type. Instantiating the body
// once per shape gives each loop its own specialised code; the type is
// tested once, here, not per point.
template <class Body>
inline void WithMap(const Mtx2D& m, Body&& body) {
  switch (m.type) {
    case Mtx2DAligned:
      body(AlignedMap{m.a, m.d, m.e, m.f});
      return;
    case Mtx2DSwapped:
      body(SwappedMap{m.b, m.c, m.e, m.f});
      return;
    default:  // general, identity and any other value: the full formula
      body(GeneralMap{m.a, m.b, m.c, m.d, m.e, m.f});
      return;
  }
}

inline RealPtT MapPoint(const Mtx2D& m, double x, double y) {
  RealPtT r{};
  WithMap(m, [&](const auto& map) { r = map(x, y); });
  return r;
}

inline IntPtT RoundPoint(RealPtT p) {
  return {RoundToDevice(p.x), RoundToDevice(p.y)};
}

#if QZUTIL_HAVE_SSE2

// Vector maps work on two points at once, held as their x values (xs) and
// their y values (ys); X and Y receive the two mapped x and y values.
struct AlignedPairMap {
  __m128d a, d, e, f;  // each element in both lanes
  void operator()(__m128d xs, __m128d ys, __m128d& X, __m128d& Y) const {
    X = _mm_add_pd(_mm_mul_pd(a, xs), e);
    Y = _mm_add_pd(_mm_mul_pd(d, ys), f);
  }
};

struct SwappedPairMap {
  __m128d b, c, e, f;
  void operator()(__m128d xs, __m128d ys, __m128d& X, __m128d& Y) const {
    X = _mm_add_pd(_mm_mul_pd(c, ys), e);
    Y = _mm_add_pd(_mm_mul_pd(b, xs), f);
  }
};

struct GeneralPairMap {
  __m128d a, b, c, d, e, f;
  void operator()(__m128d xs, __m128d ys, __m128d& X, __m128d& Y) const {
    X = _mm_add_pd(_mm_add_pd(_mm_mul_pd(a, xs), _mm_mul_pd(c, ys)), e);
    Y = _mm_add_pd(_mm_add_pd(_mm_mul_pd(b, xs), _mm_mul_pd(d, ys)), f);
  }
};

template <class Body>
inline void WithPairMap(const Mtx2D& m, Body&& body) {
  const __m128d e = _mm_set1_pd(m.e), f = _mm_set1_pd(m.f);
  switch (m.type) {
    case Mtx2DAligned:
      body(AlignedPairMap{_mm_set1_pd(m.a), _mm_set1_pd(m.d), e, f});
      return;
    case Mtx2DSwapped:
      body(SwappedPairMap{_mm_set1_pd(m.b), _mm_set1_pd(m.c), e, f});
      return;
    default:
      body(GeneralPairMap{_mm_set1_pd(m.a), _mm_set1_pd(m.b), _mm_set1_pd(m.c), _mm_set1_pd(m.d), e,
                          f});
      return;
  }
}

// The device rounding rule on both lanes: add copysign(0.5, v), truncate.
// Out-of-range and NaN lanes become INT32_MIN, as RoundToDevice defines.
// The two results are the low two 32-bit lanes.
inline __m128i RoundLanes(__m128d v) {
  const __m128d sign = _mm_and_pd(v, _mm_set1_pd(-0.0));
  const __m128d half = _mm_or_pd(sign, _mm_set1_pd(0.5));
  return _mm_cvttpd_epi32(_mm_add_pd(v, half));
}

#endif  // QZUTIL_HAVE_SSE2

}  // namespace qz::detail

#endif  // QZUTIL_MATRIX_XFM_MAP_H
