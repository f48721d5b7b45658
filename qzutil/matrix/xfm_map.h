// Internal: the mapping of points by matrix type.
//
// The three shapes skip only terms that the type guarantees to be zero and
// keep the written order of operations ((a*x + c*y) + e), so every form gives
// bit-identical results. Each is written once over a lane type T: a double
// for one point, or the x (or y) values of two points (SSE2) or four points
// (AVX) in one register.
//
// Like xfm_loops.h, everything here has internal linkage so that the copies
// compiled with AVX code generation stay in their own translation unit.
#ifndef QZUTIL_MATRIX_XFM_MAP_H
#define QZUTIL_MATRIX_XFM_MAP_H

#include <cstdint>

#include "qzutil/frame/records.h"
#include "qzutil/matrix/mtx2d.h"
#include "qzutil/matrix/xfm_kernels.h"

#if defined(__AVX__)
#include <immintrin.h>
#endif

namespace {  // NOLINT(google-build-namespaces): see the header comment

// Arithmetic on each lane type.
inline double Mul(double a, double b) {
  return a * b;
}
inline double Add(double a, double b) {
  return a + b;
}
template <class T>
T Splat(double v);
template <>
inline double Splat<double>(double v) {
  return v;
}
#if QZUTIL_HAVE_SSE2
inline __m128d Mul(__m128d a, __m128d b) {
  return _mm_mul_pd(a, b);
}
inline __m128d Add(__m128d a, __m128d b) {
  return _mm_add_pd(a, b);
}
template <>
inline __m128d Splat<__m128d>(double v) {
  return _mm_set1_pd(v);
}
#endif
#if defined(__AVX__)
inline __m256d Mul(__m256d a, __m256d b) {
  return _mm256_mul_pd(a, b);
}
inline __m256d Add(__m256d a, __m256d b) {
  return _mm256_add_pd(a, b);
}
template <>
inline __m256d Splat<__m256d>(double v) {
  return _mm256_set1_pd(v);
}
#endif

// Each shape maps x values xs and y values ys to X and Y.
template <class T>
struct AlignedShape {
  T a, d, e, f;
  void operator()(T xs, T ys, T& X, T& Y) const {
    X = Add(Mul(a, xs), e);
    Y = Add(Mul(d, ys), f);
  }
};

template <class T>
struct SwappedShape {
  T b, c, e, f;
  void operator()(T xs, T ys, T& X, T& Y) const {
    X = Add(Mul(c, ys), e);
    Y = Add(Mul(b, xs), f);
  }
};

template <class T>
struct GeneralShape {
  T a, b, c, d, e, f;
  void operator()(T xs, T ys, T& X, T& Y) const {
    X = Add(Add(Mul(a, xs), Mul(c, ys)), e);
    Y = Add(Add(Mul(b, xs), Mul(d, ys)), f);
  }
};

// Calls body(shape) with the shape for m's type. Instantiating the body once
// per shape gives each loop its own specialised code; the type is tested
// once, here, not per point.
template <class T, class Body>
void WithShape(const Mtx2D& m, Body&& body) {
  const T e = Splat<T>(m.e), f = Splat<T>(m.f);
  switch (m.type) {
    case Mtx2DAligned:
      body(AlignedShape<T>{Splat<T>(m.a), Splat<T>(m.d), e, f});
      return;
    case Mtx2DSwapped:
      body(SwappedShape<T>{Splat<T>(m.b), Splat<T>(m.c), e, f});
      return;
    default:  // general, identity and any other value: the full formula
      body(GeneralShape<T>{Splat<T>(m.a), Splat<T>(m.b), Splat<T>(m.c), Splat<T>(m.d), e, f});
      return;
  }
}

// One point, mapped by the shape of m's type.
inline RealPtT MapPoint(const Mtx2D& m, double x, double y) {
  RealPtT r{};
  WithShape<double>(m, [&](const auto& shape) { shape(x, y, r.x, r.y); });
  return r;
}

inline IntPtT RoundPoint(RealPtT p) {
  return {qz::detail::RoundToDevice(p.x), qz::detail::RoundToDevice(p.y)};
}

}  // namespace

#endif  // QZUTIL_MATRIX_XFM_MAP_H
