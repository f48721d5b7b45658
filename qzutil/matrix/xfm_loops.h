// Internal: the loops of the point-list and point-set transforms, written
// once over a "mapper" and instantiated for each matrix shape and for each
// instruction set (portable, SSE2, AVX).
//
// Everything here sits in an unnamed namespace on purpose: the AVX
// instantiations are compiled with different code-generation flags in their
// own translation unit, and no copy of a helper compiled for one instruction
// set may be merged by the linker with a copy compiled for another.
//
// A mapper provides
//   static constexpr int kWidth;            points mapped per call
//   Group operator()(const RealPtT* p);     maps p[0] .. p[kWidth - 1]
// and free functions over its Group:
//   Element(group, k)                       result k, as a Value
//   Same(Value, Value)                      exact equality
// An output form provides
//   Store(Point* out, Value)                writes one result
//   StoreGroup(Point* out, Group)           writes kWidth results
#ifndef QZUTIL_MATRIX_XFM_LOOPS_H
#define QZUTIL_MATRIX_XFM_LOOPS_H

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

#include "qzutil/frame/records.h"
#include "qzutil/matrix/xfm_kernels.h"

namespace {  // NOLINT(google-build-namespaces): see the header comment

// A device point as its 8 bytes (x then y). Thinning compares and stores
// device points as 64-bit words: bitwise equality of two int32 pairs is
// their equality, and a general-purpose compare is cheaper than a vector one.
struct PackedInt {
  std::uint64_t bits;
};

inline bool Same(PackedInt p, PackedInt q) {
  return p.bits == q.bits;
}
inline bool Same(const RealPtT& p, const RealPtT& q) {
  return p.x == q.x && p.y == q.y;  // NaN is never the same
}
inline bool SameStored(const IntPtT& p, const IntPtT& q) {
  return p.x == q.x && p.y == q.y;
}
inline bool SameStored(const RealPtT& p, const RealPtT& q) {
  return Same(p, q);
}
inline PackedInt Pack(IntPtT v) {
  PackedInt p;
  std::memcpy(&p.bits, &v, sizeof p.bits);
  return p;
}
inline IntPtT Unpack(PackedInt p) {
  IntPtT v;
  std::memcpy(&v, &p.bits, sizeof v);
  return v;
}

// The scalar output forms. Device8: rounded value times 8, shifted in
// unsigned arithmetic since a large coordinate may wrap. Short: the low
// 16 bits, no clamping.
struct Device {
  static void Store(IntPtT* o, PackedInt v) { std::memcpy(o, &v.bits, sizeof v.bits); }
  static void StoreGroup(IntPtT* o, PackedInt v) { Store(o, v); }
};
struct Device8 {
  static std::int32_t Times8(std::int32_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v) << 3);
  }
  static void Store(IntPtT* o, PackedInt p) {
    const IntPtT v = Unpack(p);
    *o = {Times8(v.x), Times8(v.y)};
  }
  static void StoreGroup(IntPtT* o, PackedInt v) { Store(o, v); }
};
struct Short {
  static short Low16(std::int32_t v) { return static_cast<short>(static_cast<std::uint16_t>(v)); }
  static void Store(DevSPtT* o, PackedInt p) {
    const IntPtT v = Unpack(p);
    *o = {Low16(v.x), Low16(v.y)};
  }
  static void StoreGroup(DevSPtT* o, PackedInt v) { Store(o, v); }
};
struct World {
  static void Store(RealPtT* o, const RealPtT& v) { *o = v; }
  static void StoreGroup(RealPtT* o, const RealPtT& v) { *o = v; }
};

// One-point groups, as the portable mappers produce them.
inline PackedInt Element(PackedInt g, int /*k*/) {
  return g;
}
inline const RealPtT& Element(const RealPtT& g, int /*k*/) {
  return g;
}

#if QZUTIL_HAVE_SSE2
// 64-bit lane k (0 or 1) of v as a device point.
inline PackedInt Lane64(__m128i v, int k) {
#if defined(__x86_64__) || defined(_M_X64)
  return {static_cast<std::uint64_t>(_mm_cvtsi128_si64(k == 0 ? v : _mm_unpackhi_epi64(v, v)))};
#else
  std::uint64_t bits[2];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bits), v);
  return {bits[k]};
#endif
}

// The low 16 bits of each 32-bit lane of v, gathered into the low 64 bits.
inline __m128i Low16Lanes(__m128i v) {
  const __m128i t =
      _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, _MM_SHUFFLE(3, 3, 2, 0)), _MM_SHUFFLE(3, 3, 2, 0));
  return _mm_shuffle_epi32(t, _MM_SHUFFLE(3, 3, 2, 0));
}
#endif

// Calls f(std::integral_constant<int, k>) for k = 0 .. K - 1, unrolled at
// compile time, so that a group's elements are taken out by fixed lanes.
template <int... K, class F>
void ForEachLane(std::integer_sequence<int, K...>, F&& f) {
  (f(std::integral_constant<int, K>{}), ...);
}

// Maps the last n % kWidth points (fewer than a group) through a padded
// copy, so that a mapper never reads past the caller's array.
template <class Mapper>
auto MapTail(const Mapper& mapper, const RealPtT* in, std::int32_t left) {
  RealPtT padded[Mapper::kWidth];
  for (int k = 0; k < Mapper::kWidth; ++k)
    padded[k] = in[k < left ? k : left - 1];
  return mapper(padded);
}

// Maps n points in order; no point is dropped.
template <class Form, class Mapper, class Point>
void MapList(const Mapper& mapper, std::int32_t n, const RealPtT* in, Point* out) {
  constexpr int W = Mapper::kWidth;
  std::int32_t i = 0;
  for (; i + W <= n; i += W)
    Form::StoreGroup(out + i, mapper(in + i));
  if (i < n) {
    const auto group = MapTail(mapper, in + i, n - i);
    for (int k = 0; i + k < n; ++k)
      Form::Store(out + i + k, Element(group, k));
  }
}

// The thinning walk shared by the three polyline forms. Point 0 is always
// kept; a later point is dropped when it equals the last stored point, and
// its attribute then replaces that point's attribute. A three-point result
// whose last point equals its first is cut to two (a there-and-back
// segment). attr_in and attr_out are used when attr_out is not null; they
// may be the same array, since slot count - 1 never lies beyond input i.
// Requires n >= 1. Returns the count.
template <class Form, class Mapper, class Point>
std::int32_t Thin(const Mapper& mapper, std::int32_t n, const RealPtT* in, Point* out,
                  const std::uint32_t* attr_in, std::uint32_t* attr_out) {
  constexpr int W = Mapper::kWidth;
  std::int32_t count = 0;
  auto run = [&](auto with_attributes) {
    constexpr bool kAttributes = decltype(with_attributes)::value;
    auto last = Element(MapTail(mapper, in, 1), 0);
    Form::Store(out, last);
    if constexpr (kAttributes) attr_out[0] = attr_in[0];
    count = 1;
    // The candidate always goes to slot `count`, which lies within the
    // caller's n entries; a duplicate is overwritten later or left beyond
    // the count. A duplicate equals the stored point, so `last` may follow
    // every input.
    auto step = [&](const auto& current, [[maybe_unused]] std::int32_t i) {
      Form::Store(out + count, current);
      count += Same(current, last) ? 0 : 1;
      last = current;
      if constexpr (kAttributes) attr_out[count - 1] = attr_in[i];
    };
    std::int32_t i = 1;
    for (; i + W <= n; i += W) {
      const auto group = mapper(in + i);
      ForEachLane(std::make_integer_sequence<int, W>{},
                  [&](auto k) { step(Element(group, k()), i + k()); });
    }
    if (i < n) {
      const auto group = MapTail(mapper, in + i, n - i);
      for (int k = 0; i + k < n; ++k)
        step(Element(group, k), i + k);
    }
  };
  if (attr_out != nullptr) {
    run(std::true_type{});
  } else {
    run(std::false_type{});
  }
  if (count == 3 && SameStored(out[2], out[0])) count = 2;
  return count;
}

}  // namespace

#endif  // QZUTIL_MATRIX_XFM_LOOPS_H
