// Mtx2D: point-list and point-set transforms, the loops that run over every
// drawn point.
//
// Each member selects its loop once: the matrix type picks one of three
// mapping shapes (aligned, swapped, general) and the build picks the SSE2 or
// the portable form. Points are mapped two at a time. Inside a loop there is
// no branch on the data: device rounding adds copysign(0.5, v) before
// truncating, and thinning always stores the candidate point at the next free
// slot and advances the count only when it differs from the last stored one.
#include <cstring>
#include <type_traits>

#include "qzutil/matrix/mtx2d.h"
#include "qzutil/matrix/xfm_map.h"

namespace qz::detail {
namespace {
bool g_portable_kernels = false;
}  // namespace

bool SimdKernelsCompiled() {
  return QZUTIL_HAVE_SSE2 != 0;
}
void UsePortableKernels(bool portable) {
  g_portable_kernels = portable;
}
bool UsingPortableKernels() {
  return g_portable_kernels || !SimdKernelsCompiled();
}

}  // namespace qz::detail

namespace {

using namespace qz::detail;

// ---- values produced by the mappers ------------------------------------
// A mapper turns two input points into a pair of results; Lo/Hi take them
// apart, Same compares two results exactly, and the Store functions write
// one result or a pair. Portable pairs are plain records; SSE2 pairs keep
// device points in one register and world points in two.

struct IntPair {
  IntPtT lo, hi;
};
struct RealPair {
  RealPtT lo, hi;
};

inline IntPtT Lo(const IntPair& p) {
  return p.lo;
}
inline IntPtT Hi(const IntPair& p) {
  return p.hi;
}
inline RealPtT Lo(const RealPair& p) {
  return p.lo;
}
inline RealPtT Hi(const RealPair& p) {
  return p.hi;
}
inline bool Same(IntPtT p, IntPtT q) {
  return p.x == q.x && p.y == q.y;
}
inline bool Same(RealPtT p, RealPtT q) {
  return p.x == q.x && p.y == q.y;
}  // NaN never same

// Output forms. Device8: rounded value times 8, shifted in unsigned
// arithmetic since a large coordinate may wrap. Short: low 16 bits.
struct Device {
  static void Store(IntPtT* o, IntPtT v) { *o = v; }
  static void StorePair(IntPtT* o, const IntPair& p) { o[0] = p.lo, o[1] = p.hi; }
};
struct Device8 {
  static std::int32_t Times8(std::int32_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v) << 3);
  }
  static void Store(IntPtT* o, IntPtT v) { *o = {Times8(v.x), Times8(v.y)}; }
  static void StorePair(IntPtT* o, const IntPair& p) { Store(o, p.lo), Store(o + 1, p.hi); }
};
struct Short {
  static short Low16(std::int32_t v) { return static_cast<short>(static_cast<std::uint16_t>(v)); }
  static void Store(DevSPtT* o, IntPtT v) { *o = {Low16(v.x), Low16(v.y)}; }
  static void StorePair(DevSPtT* o, const IntPair& p) { Store(o, p.lo), Store(o + 1, p.hi); }
};
struct World {
  static void Store(RealPtT* o, RealPtT v) { *o = v; }
  static void StorePair(RealPtT* o, const RealPair& p) { o[0] = p.lo, o[1] = p.hi; }
};

template <class Map>
struct PortableDevice {
  Map map;
  IntPair operator()(const RealPtT* p, const RealPtT* q) const {
    return {RoundPoint(map(p->x, p->y)), RoundPoint(map(q->x, q->y))};
  }
};
template <class Map>
struct PortableWorld {
  Map map;
  RealPair operator()(const RealPtT* p, const RealPtT* q) const {
    return {map(p->x, p->y), map(q->x, q->y)};
  }
};

#if QZUTIL_HAVE_SSE2

// Two device points: (x0, y0, x1, y1) as 32-bit lanes.
struct SseIntPair {
  __m128i v;
};
// One device point as its 8 bytes (x then y). Thinning compares and stores
// device points as 64-bit words: bitwise equality of two int32 pairs is
// their equality, and a general-purpose compare is cheaper than a vector one.
struct PackedInt {
  std::uint64_t bits;
};
// Two world points, one per register.
struct SseRealPair {
  __m128d lo, hi;
};
struct SseReal {
  __m128d v;
};

inline PackedInt Lo(const SseIntPair& p) {
  std::uint64_t bits[2];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bits), p.v);
  return {bits[0]};
}
inline PackedInt Hi(const SseIntPair& p) {
  std::uint64_t bits[2];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bits), p.v);
  return {bits[1]};
}
inline SseReal Lo(const SseRealPair& p) {
  return {p.lo};
}
inline SseReal Hi(const SseRealPair& p) {
  return {p.hi};
}
inline bool Same(PackedInt p, PackedInt q) {
  return p.bits == q.bits;
}
inline IntPtT Unpack(PackedInt p) {
  IntPtT v;
  std::memcpy(&v, &p.bits, sizeof v);
  return v;
}
inline bool Same(SseReal p, SseReal q) {
  return _mm_movemask_pd(_mm_cmpeq_pd(p.v, q.v)) == 3;
}

inline void StoreLow64(void* o, __m128i v) {
  _mm_storel_epi64(static_cast<__m128i*>(o), v);
}

// The low 16 bits of each 32-bit lane, gathered into the low 64 bits.
inline __m128i Low16Lanes(__m128i v) {
  const __m128i t =
      _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, _MM_SHUFFLE(3, 3, 2, 0)), _MM_SHUFFLE(3, 3, 2, 0));
  return _mm_shuffle_epi32(t, _MM_SHUFFLE(3, 3, 2, 0));
}

struct SseDevice {
  static void Store(IntPtT* o, PackedInt p) { std::memcpy(o, &p.bits, sizeof p.bits); }
  static void StorePair(IntPtT* o, const SseIntPair& p) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), p.v);
  }
};
struct SseDevice8 {
  static void Store(IntPtT* o, PackedInt p) { Device8::Store(o, Unpack(p)); }
  static void StorePair(IntPtT* o, const SseIntPair& p) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_slli_epi32(p.v, 3));
  }
};
struct SseShort {
  static void Store(DevSPtT* o, PackedInt p) { Short::Store(o, Unpack(p)); }
  static void StorePair(DevSPtT* o, const SseIntPair& p) { StoreLow64(o, Low16Lanes(p.v)); }
};
struct SseWorld {
  static void Store(RealPtT* o, SseReal p) { _mm_storeu_pd(&o->x, p.v); }
  static void StorePair(RealPtT* o, const SseRealPair& p) {
    _mm_storeu_pd(&o[0].x, p.lo);
    _mm_storeu_pd(&o[1].x, p.hi);
  }
};

// Maps points p and q: their x values go in one register, their y values in
// another, so one multiply serves both points.
template <class PairMap>
inline void MapXY(const PairMap& map, const RealPtT* p, const RealPtT* q, __m128d& X, __m128d& Y) {
  const __m128d pv = _mm_loadu_pd(&p->x);
  const __m128d qv = _mm_loadu_pd(&q->x);
  map(_mm_unpacklo_pd(pv, qv), _mm_unpackhi_pd(pv, qv), X, Y);
}

template <class PairMap>
struct SseDeviceMapper {
  PairMap map;
  SseIntPair operator()(const RealPtT* p, const RealPtT* q) const {
    __m128d X, Y;
    MapXY(map, p, q, X, Y);
    return {_mm_unpacklo_epi32(RoundLanes(X), RoundLanes(Y))};
  }
};
template <class PairMap>
struct SseWorldMapper {
  PairMap map;
  SseRealPair operator()(const RealPtT* p, const RealPtT* q) const {
    __m128d X, Y;
    MapXY(map, p, q, X, Y);
    return {_mm_unpacklo_pd(X, Y), _mm_unpackhi_pd(X, Y)};
  }
};

#endif  // QZUTIL_HAVE_SSE2

// Calls body(mapper, output form) specialised for the matrix type and for
// the kernel family in use. Out names the portable output form; kDevice
// chooses rounding.
template <class Out, class Body>
void Dispatch(const Mtx2D& m, Body&& body) {
  constexpr bool kDevice = !std::is_same_v<Out, World>;
#if QZUTIL_HAVE_SSE2
  if (!UsingPortableKernels()) {
    using SseOut = std::conditional_t<
        std::is_same_v<Out, Device>, SseDevice,
        std::conditional_t<std::is_same_v<Out, Device8>, SseDevice8,
                           std::conditional_t<std::is_same_v<Out, Short>, SseShort, SseWorld>>>;
    WithPairMap(m, [&](const auto& map) {
      using PairMap = std::decay_t<decltype(map)>;
      if constexpr (kDevice) {
        body(SseDeviceMapper<PairMap>{map}, SseOut{});
      } else {
        body(SseWorldMapper<PairMap>{map}, SseOut{});
      }
    });
    return;
  }
#endif
  WithMap(m, [&](const auto& map) {
    using Map = std::decay_t<decltype(map)>;
    if constexpr (kDevice) {
      body(PortableDevice<Map>{map}, Out{});
    } else {
      body(PortableWorld<Map>{map}, Out{});
    }
  });
}

// Maps n points in order; no point is dropped.
template <class Out, class Point>
void MapList(const Mtx2D& m, std::int32_t n, const RealPtT* in, Point* out) {
  Dispatch<Out>(m, [&](const auto& mapper, auto form) {
    using Form = decltype(form);
    std::int32_t i = 0;
    for (; i + 1 < n; i += 2)
      Form::StorePair(out + i, mapper(in + i, in + i + 1));
    if (i < n) Form::Store(out + i, Lo(mapper(in + i, in + i)));
  });
}

// The thinning walk shared by the three polyline forms. Point 0 is always
// kept; a later point is dropped when it equals the last stored point, and
// its attribute then replaces that point's attribute. A three-point result
// whose last point equals its first is cut to two (there-and-back segment).
// Returns the count. attr_in/attr_out are used only when kAttributes; they
// may be the same array, since slot count - 1 never lies beyond input i.
// A count below 1 is outside the contract; it reads and writes nothing and
// answers 0 rather than reading a point that is not there.
template <class Out, bool kAttributes, class Point>
std::int32_t Thin(const Mtx2D& m, std::int32_t n, const RealPtT* in, Point* out,
                  const std::uint32_t* attr_in, std::uint32_t* attr_out) {
  if (n < 1) return 0;
  std::int32_t count = 1;
  Dispatch<Out>(m, [&](const auto& mapper, auto form) {
    using Form = decltype(form);
    auto last = Lo(mapper(in, in));
    Form::Store(out, last);
    if constexpr (kAttributes) attr_out[0] = attr_in[0];
    // Slot `count` lies within the caller's n entries; when the candidate is
    // a duplicate it is overwritten later or left beyond the count. A
    // duplicate equals the stored point, so `last` may follow every input.
    auto step = [&](const auto& current, std::int32_t i) {
      Form::Store(out + count, current);
      count += Same(current, last) ? 0 : 1;
      last = current;
      if constexpr (kAttributes) attr_out[count - 1] = attr_in[i];
    };
    std::int32_t i = 1;
    for (; i + 1 < n; i += 2) {
      const auto two = mapper(in + i, in + i + 1);
      step(Lo(two), i);
      step(Hi(two), i + 1);
    }
    if (i < n) step(Lo(mapper(in + i, in + i)), i);
  });
  if (count == 3 && Same(out[2], out[0])) count = 2;
  return count;
}

}  // namespace

void Mtx2D::XfmPts(std::int32_t n, const RealPtT* in, IntPtT* out) const {
  MapList<Device>(*this, n, in, out);
}

void Mtx2D::XfmFPts(std::int32_t n, const RealPtT* in, IntPtT* out) const {
  MapList<Device8>(*this, n, in, out);
}

void Mtx2D::XfmSPts(std::int32_t n, const RealPtT* in, DevSPtT* out) const {
  MapList<Short>(*this, n, in, out);
}

void Mtx2D::RealXfmPts(std::int32_t n, const RealPtT* in, RealPtT* out) const {
  MapList<World>(*this, n, in, out);
}

void Mtx2D::XfmPolyPts(std::int32_t n, std::int32_t* out_count, const RealPtT* in,
                       IntPtT* out) const {
  *out_count = Thin<Device, false>(*this, n, in, out, nullptr, nullptr);
}

void Mtx2D::XfmPolySetPts(const DrwPSetT* in, DrwDPSetT* out) const {
  out->count = Thin<Device, true>(*this, in->count, in->points, out->points, in->attributes,
                                  out->attributes);
}

void Mtx2D::RealXfmPolyPtSet(const DrwPSetT* in, DrwPSetT* out) const {
  out->count =
      Thin<World, true>(*this, in->count, in->points, out->points, in->attributes, out->attributes);
}
