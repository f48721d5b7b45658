// Mtx2D as a value: construction, type codes, edits, composition, inversion,
// the plain and the orientation queries, and the flat functions over them.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

#include "qzutil/matrix/matrix_flat.h"
#include "qzutil/matrix/mtx2d.h"

namespace {

using Elems = std::array<double, 6>;
using Fields = std::tuple<Elems, std::uint32_t, std::int32_t>;  // elements, reflectFlags, type

Fields All(const Mtx2D& m) {
  return {{m.a, m.b, m.c, m.d, m.e, m.f}, m.reflectFlags, m.type};
}

Mtx2D Make(const Elems& v, std::uint32_t flags = 0) {
  Mtx2D m;
  m.a = v[0], m.b = v[1], m.c = v[2], m.d = v[3], m.e = v[4], m.f = v[5], m.reflectFlags = flags;
  m.SetType();
  return m;
}

Mtx2D Random(std::mt19937& g) {
  std::uniform_real_distribution<double> u(-10.0, 10.0);
  return Make({u(g), u(g), u(g), u(g), u(g), u(g)}, static_cast<std::uint32_t>(g() % 4));
}

// The eight orientations applied to the identity.
const Fields kOrient[8] = {{{1, 0, 0, 1, 0, 0}, 0, 0},   {{0, 1, -1, 0, 0, 0}, 0, 1},
                           {{-1, 0, 0, -1, 0, 0}, 0, 0}, {{0, -1, 1, 0, 0, 0}, 0, 1},
                           {{1, 0, 0, -1, 0, 0}, 1, 0},  {{-1, 0, 0, 1, 0, 0}, 2, 0},
                           {{0, 1, 1, 0, 0, 0}, 2, 1},   {{0, -1, -1, 0, 0, 0}, 1, 1}};

TEST(Mtx2DModel, IdentityClassificationAndEdits) {
  std::mt19937 g(1);
  Mtx2D m, r = Random(g), s = Random(g);
  r.Identity(), s.Initialize();
  EXPECT_EQ(std::make_tuple(All(m), All(r), All(s)),
            std::make_tuple(kOrient[0], kOrient[0], kOrient[0]));
  const int fresh = m.IsIdentity();
  // None of these can create an off-diagonal term, so the mark survives
  // them, and SetIdentity on the resulting non-identity leaves it too.
  m.SetIdentity(), m.Translate(5, 5), m.Scale(2, -3), m.ReflectInX(), m.ReflectInY();
  m.InvertYAxis(480), m.SetIdentity();
  EXPECT_EQ(std::make_pair(fresh, int{m.IsIdentity()}), std::make_pair(0, 1));

  const double nan = std::nan(""), up = std::nextafter(1.0, 2.0);
  const Elems in[] = {{2, 0, -0.0, 3, 9, 9},   {nan, 0, 0, 1, 0, 0},     {0, 2, 0, 0, 0, 0},
                      {-0.0, 0, -1, 0, 0, 0},  {0, nan, 0, 0, 0, 0},     {1, nan, 0, 0, 0, 0},
                      {0, 1, 1, 1e-300, 0, 0}, {1, -0.0, 0, 1, -0.0, 0}, {1, 0, 0, up, 0, 0},
                      {1, 0, 0, 1, 0, 0.5}};
  const std::int32_t want[] = {0, 0, 1, 1, 1, 2, 2, 3, 0, 0};  // SetIdentity applied after
  for (int i = 0; i < 10; ++i) {
    Mtx2D c = Make(in[i]);
    c.SetIdentity();
    EXPECT_EQ(c.type, want[i]) << i;
  }

  s = Random(g);
  const auto [a, b, c, d, e, f] = std::get<0>(All(s));
  const std::uint32_t fl = s.reflectFlags;
  Mtx2D sc = s, x = s, y = s, h = s, sh = s;
  sc.Scale(-2.5, 3.0);  // a negative factor is not a recorded reflection
  x.ReflectInX(), y.ReflectInY(), h.InvertYAxis(480), sh.ShearInX(0.25);
  EXPECT_EQ(All(sc), (Fields{{a * -2.5, b * 3, c * -2.5, d * 3, e * -2.5, f * 3}, fl, s.type}));
  EXPECT_EQ(All(x), (Fields{{a, -b, c, -d, e, -f}, fl ^ 1u, s.type}));
  EXPECT_EQ(All(y), (Fields{{-a, b, -c, d, -e, f}, fl ^ 2u, s.type}));
  EXPECT_EQ(All(h), (Fields{{a, b, c, -d, e, 480}, fl, s.type}));
  EXPECT_EQ(All(sh), (Fields{{a, b, 0.25, d, e, f}, fl, Mtx2DGeneral}));  // replaced, not composed
  sh.Identity(), sh.ShearInX(0.5);
  EXPECT_EQ(sh.type, Mtx2DGeneral);
  sh.ShearInX(0.0);
  EXPECT_EQ(sh.type, Mtx2DAligned);
}

TEST(Mtx2DModel, ProductAndInverse) {
  // This matrix first, then the other; small integers keep every step exact.
  Mtx2D p = Make({1, 2, 3, 4, 5, 6}, 1), q = Make({0, -1, 2, 1, 7, -3}, 3), s;
  const Fields pq{{4, 1, 8, 1, 19, -2}, 2, Mtx2DGeneral};
  Mtx2D::Multiply(&p, &q, &s);
  EXPECT_EQ(std::make_tuple(All(p * q), All(s)), std::make_tuple(pq, pq));
  p = p * q, q = p * q;  // a factor may receive its own product
  EXPECT_EQ(std::make_tuple(All(p), q.a, q.e), std::make_tuple(pq, 2.0, 3.0));
  EXPECT_EQ(All(Make({0, -1, 2, 1, 7, -3}, 3).Invert()),
            (Fields{{0.5, 0.5, -1, 0, -6.5, -3.5}, 3, Mtx2DGeneral}));
  EXPECT_EQ(All(Mtx2D(0, 0, Mtx2DRot0, 1, 1, 3, 4).Invert()),
            (Fields{{1, 0, 0, 1, -3, -4}, 0, Mtx2DAligned}));
  EXPECT_FALSE(std::isfinite(Make({1, 2, 2, 4, 0, 0}).Invert().a));  // singular: no error
}

TEST(Mtx2DModel, RotateUsesExactRightAnglesAndTwoModes) {
  std::mt19937 g(3);
  const Mtx2D m = Random(g);
  for (double deg : {0.0, 90.0, 180.0, 270.0, 45.0, -90.0, 360.0, 33.3}) {
    const double exact[4][2] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}};  // sine, cosine
    const int q = static_cast<int>(deg / 90);
    const bool right = deg >= 0 && deg < 360 && q * 90 == deg;
    const double s = right ? exact[q][0] : std::sin(deg * 0.017453292522222223);
    const double k = right ? exact[q][1] : std::cos(deg * 0.017453292522222223);
    for (std::int32_t mode : {1, 2, 0, 7}) {
      Mtx2D r = m;
      r.Rotate(deg, mode);
      EXPECT_EQ(std::get<0>(All(r)),
                mode == Mtx2DRotatePre
                    ? (Elems{k * m.a + s * m.c, k * m.b + s * m.d, k * m.c - s * m.a,
                             k * m.d - s * m.b, m.e, m.f})
                    : (Elems{k * m.a - s * m.b, k * m.b + s * m.a, k * m.c - s * m.d,
                             k * m.d + s * m.c, k * m.e - s * m.f, k * m.f + s * m.e}));
    }
    Mtx2D id;  // -90 and 360 leave tiny terms that are not zero
    id.Rotate(deg, Mtx2DRotatePost);
    EXPECT_EQ(id.type, !right ? Mtx2DGeneral : (q % 2 ? Mtx2DSwapped : Mtx2DAligned)) << deg;
  }
}

TEST(Mtx2DModel, OrientAndSetXfm) {
  for (int o = -1; o < 9; ++o) {
    Mtx2D m = Make({2, 0, 0, 2, 0, 0});  // values outside 0..7 only re-classify
    m.type = Mtx2DGeneral, m.Orient(static_cast<Mtx2DOrient>(o)), m.Scale(0.5, 0.5);
    EXPECT_EQ(All(m), kOrient[o < 0 || o > 7 ? 0 : o]) << o;
  }
  // Small integers keep every step exact, so the placement can be checked
  // bit for bit: orient(p - origin), scaled, then shifted.
  std::mt19937 g(5);
  std::uniform_int_distribution<int> n(-50, 50), sc(-3, 3);
  for (int i = 0; i < 300; ++i) {
    const double x0 = n(g), y0 = n(g), tx = n(g), ty = n(g), px = n(g), py = n(g);
    const double sx = sc(g) | 1, sy = sc(g) | 1;
    const auto o = static_cast<Mtx2DOrient>(g() % 8);
    Mtx2D m = Random(g);  // whatever was there is discarded
    m.SetXfm(x0, y0, o, sx, sy, tx, ty);
    EXPECT_EQ(All(Mtx2D(x0, y0, o, sx, sy, tx, ty)), All(m));
    const auto& [w, flags, type] = kOrient[o];
    EXPECT_EQ(std::make_tuple(m.reflectFlags, m.type), std::make_tuple(flags, type));
    double rx = 0, ry = 0;
    m.XfmPt(px, py, &rx, &ry);
    EXPECT_EQ(rx, ((px - x0) * w[0] + (py - y0) * w[2]) * sx + tx);
    EXPECT_EQ(ry, ((px - x0) * w[1] + (py - y0) * w[3]) * sy + ty);
  }
}

TEST(Mtx2DModel, QueriesAndComparison) {
  const Mtx2D m = Make({1.5, -2, 3, 0.25, 7, -8});
  Elems v{};
  m.GetElements(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]);
  EXPECT_EQ(v, std::get<0>(All(m)));
  EXPECT_EQ(std::make_tuple(m.GetDeterminant(), m.GetScale(), m.GetRotation()),
            std::make_tuple(6.375, 2.5, std::acos(0.6)));
  EXPECT_EQ(Make({1.5, 2, 3, 0.25, 7, -8}).GetRotation(), std::acos(0.6));  // sign of b ignored
  EXPECT_TRUE(std::isnan(Make({0, 0, 1, 1, 0, 0}).GetRotation()));
  Mtx2D same = m;
  same.reflectFlags = 3, same.type = Mtx2DIdentity;
  EXPECT_EQ(m != same, 0);  // flags and type take no part
  for (int i = 0; i < 6; ++i) {
    v = std::get<0>(All(m)), v[i] += 1;
    EXPECT_EQ(m != Make(v), 1) << i;
    v[i] = std::nan("");
    EXPECT_EQ(Make(v) != Make(v), 1) << i;
  }
}

// Orientation code of the image (a, b) of the x axis.
std::int32_t Code(double a, double b) {
  if (b == 0) return a > 0 ? 0 : a < 0 ? 2 : -1;
  return b < 0 ? 3 : 1;
}

// Turning angle in degrees before snapping.
double RawDegrees(double a, double b) {
  const double deg = std::acos(a / std::sqrt(b * b + a * a)) * 57.29577950560105;
  return b < 0.0 ? 360.0 - deg : deg;
}

TEST(Mtx2DOrientation, MirrorOrientationAndRotation) {
  // Each snapping interval is open at both ends.
  const double snap[5][3] = {
      {0.0, 0.1, 0}, {89.9, 90.1, 90}, {179.9, 180.1, 180}, {269.9, 270.1, 270}, {359.9, 360.0, 0}};
  auto unnan = [](double v) { return std::isnan(v) ? -9.0 : v; };  // NaN is never snapped
  std::mt19937 g(21);
  std::uniform_real_distribution<double> off(-0.3, 0.3), scale(0.01, 100), u(-5, 5);
  for (int i = 0; i < 16000; ++i) {
    // Right-angle orientations with unequal scales, turns near each right
    // angle (half of them mirrored), arbitrary matrices, an x image of (0, 0)
    // or (0, NaN), and a y part so small that the angle computes as exactly
    // 360, which lies outside (359.9, 360).
    Mtx2D m;
    const double t = (i % 5) * 90 + off(g), k = scale(g), flip = g() % 2 ? -1 : 1;
    const double ca = k * std::cos(t / 57.29577950560105), sa = k * std::sin(t / 57.29577950560105);
    if (i % 4 == 0) m.Orient(static_cast<Mtx2DOrient>(i / 4 % 8)), m.Scale(k, scale(g));
    if (i % 8 == 1 || i % 8 == 7) m = Make({ca, sa, -sa * flip, ca * flip, 0, 0});
    if (i % 8 == 5) m = Make({u(g), i % 3 ? u(g) : 0.0, u(g), u(g), 0, 0});
    if (i % 4 == 2) m = Make({0, i % 8 == 2 ? 0.0 : std::nan(""), ca, sa, 0, 0});
    if (i % 8 == 3) m = Make({k, -1e-300, 0, k, 0, 0});
    const unsigned short mirror = m.a * m.d - m.c * m.b < 0;
    // GetOrientation: bit value 1 (ReflectInX) changes the sign of a, bit
    // value 2 that of b, so that Orient with 4 or 5 reports pi and with 6 or 7
    // -pi/2; unequal scales push the cosine outside [-1, 1], where it is clamped.
    m.reflectFlags = static_cast<std::uint32_t>(g() % 4);
    const double xa = m.reflectFlags & 1 ? -m.a : m.a, xb = m.reflectFlags & 2 ? -m.b : m.b;
    const double q =
        std::acos(std::clamp(xa / std::sqrt(std::fabs(m.a * m.d - m.c * m.b)), -1.0, 1.0));
    double want = RawDegrees(m.a, m.b);
    for (const auto& s : snap)
      want = want > s[0] && want < s[1] ? s[2] : want;
    unsigned short m1 = 9, m2 = 9, m3 = 9;
    std::int32_t first = 9, last = 9, flags = 9;
    double deg = -1, rad = -1;
    m.GetXMirrorAndOrientation(&m1, &first);  // mirror applied first: a and b as they are
    m.GetOrientationAndXMirror(&m2, &last);   // mirror applied last: b changes sign
    m.GetXMirrorAndRotation(&m3, &deg);
    m.GetOrientation(&rad, &flags);
    ASSERT_EQ(std::make_tuple(m.ReversesOrientation(), m1, m2, m3, first, last, unnan(deg),
                              unnan(rad), flags),
              std::make_tuple(mirror, mirror, mirror, mirror, Code(m.a, m.b),
                              Code(m.a, mirror ? -m.b : m.b), unnan(want), unnan(xb < 0 ? -q : q),
                              std::int32_t(m.reflectFlags)))
        << i;
  }
  // Angles that compute to exactly an interval's end stay unsnapped.
  for (double end : {89.9, 90.1, 269.9, 270.1}) {
    const double b = end < 180 ? 2.0 : -2.0;  // the angle falls as a grows when b > 0
    double a = 2 / std::tan(std::min(end, 360 - end) / 57.29577950560105), deg = 0;
    for (int i = 0; i < 1000 && RawDegrees(a, b) != end; ++i)
      a = std::nextafter(a, (RawDegrees(a, b) > end) == (b > 0) ? 3.0 : -3.0);
    ASSERT_EQ(RawDegrees(a, b), end);
    unsigned short mirror = 9;
    Make({a, b, -b, a, 0, 0}).GetXMirrorAndRotation(&mirror, &deg);
    EXPECT_EQ(deg, end);
  }
}

// Applies the flat call to x and the member call to y, both copies of base.
#define EXPECT_FORWARDS(flat_call, member_call) \
  do {                                          \
    Mtx2D x = base, y = base;                   \
    flat_call;                                  \
    y.member_call;                              \
    EXPECT_EQ(All(x), All(y)) << #flat_call;    \
  } while (0)

TEST(MatrixFlat, EachFunctionForwardsToItsMember) {
  // A general matrix with reflections recorded and a deliberately stale type,
  // so that a missing or an extra re-classification shows.
  std::mt19937 g(9);
  Mtx2D base = Random(g), q = Random(g);
  base.reflectFlags = 1, base.type = Mtx2DIdentity, q.reflectFlags = 3;
  EXPECT_FORWARDS(initialize_matrix(&x), Initialize());
  EXPECT_FORWARDS(set_matrix_type(&x), SetType());
  EXPECT_FORWARDS(reflect_matrix_x(&x), ReflectInX());
  EXPECT_FORWARDS(reflect_matrix_y(&x), ReflectInY());
  EXPECT_FORWARDS(translate_matrix(2, -3, &x), Translate(2, -3));
  EXPECT_FORWARDS(scale_matrix(2, -3, &x), Scale(2, -3));
  EXPECT_FORWARDS(rotate_matrix(33, &x, 1), Rotate(33, 1));
  EXPECT_FORWARDS(rotate_matrix(33, &x, 2), Rotate(33, 2));
  EXPECT_FORWARDS(orient_matrix(Mtx2DRot90ReflectY, &x), Orient(Mtx2DRot90ReflectY));
  EXPECT_FORWARDS(set_xfm(1, 2, Mtx2DRot270, 3, 4, 5, 6, &x),
                  SetXfm(1, 2, Mtx2DRot270, 3, 4, 5, 6));
  // Inverse and product are computed whole before they are stored, so the
  // result may be any of the inputs; the order of the factors matters.
  Mtx2D inv = base, first = base, second = q;
  invert_matrix(&inv, &inv);
  multiply_matrices(&first, &q, &first);
  multiply_matrices(&base, &second, &second);
  EXPECT_EQ(std::make_tuple(All(inv), All(first), All(second)),
            std::make_tuple(All(base.Invert()), All(base * q), All(base * q)));

  // The remaining three only write their outputs: compare those byte for byte.
  double rad[2] = {}, pt[4] = {0, 0, 1, 1};
  std::int32_t flags[2] = {0, 9};
  const RealRectT in{{{0, 0}, {1, 3}, {-2, 1}, {4, 4}}};
  RealRectT box[2] = {};
  xfm_get_orientation(&base, &rad[0], &flags[0]), base.GetOrientation(&rad[1], &flags[1]);
  til_xfm_pnt(1.25, -2.5, &pt[0], &pt[1], &base), base.XfmPt(1.25, -2.5, &pt[2], &pt[3]);
  XfmRect(&in, &box[0], &base), base.XfmRect(&in, &box[1]);
  EXPECT_EQ(std::make_tuple(rad[0], flags[0], pt[0], pt[1], std::memcmp(box, box + 1, sizeof *box)),
            std::make_tuple(rad[1], flags[1], pt[2], pt[3], 0));
}

}  // namespace
