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
    const Mtx2D turn = Make({k, s, -s, k, 0, 0});  // pre: turn, then m; else m, then turn
    for (std::int32_t mode : {1, 2, 0, 7}) {
      Mtx2D r = m;
      r.Rotate(deg, mode);
      EXPECT_EQ(std::get<0>(All(r)),
                std::get<0>(All(mode == Mtx2DRotatePre ? turn * m : m * turn)));
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

constexpr double kDeg = 180 / 3.141592654;  // the documented pi, not the double nearest it

// Turning angle in degrees before snapping.
double RawDegrees(double a, double b) {
  const double deg = std::acos(a / std::sqrt(b * b + a * a)) * kDeg;
  return b < 0.0 ? 360.0 - deg : deg;
}

double Rotation(double a, double b) {
  double deg = -1;
  unsigned short mirror = 9;
  Make({a, b, -b, a, 0, 0}).GetXMirrorAndRotation(&mirror, &deg);
  return deg;
}

TEST(Mtx2DOrientation, MirrorOrientationAndRotation) {
  const double nan = std::nan(""), pi = std::acos(-1.0), q = std::acos(0.6), qd = q * kDeg,
               qn = std::acos(-0.6), h = std::acos(0.5);
  // a, b, c, d, flags; mirror, orientation with the mirror first and last,
  // degrees, radians. A mirror is a negative determinant (0 and NaN are not);
  // applied last it negates b. GetOrientation divides by the root of |det|
  // and clamps: (1, 4) and (2, 0.5) differ from |(a, b)|. Flag bit 1 negates
  // a, bit 2 b. An x image of (0, 0) has no code; a NaN b counts as positive;
  // a y part of -1e-300 makes exactly 360 degrees, outside (359.9, 360).
  const double rows[][10] = {
      {1, 0, 0, 1, 0, 0, 0, 0, 0, 0},          {0, 2, -2, 0, 0, 0, 1, 1, 90, pi / 2},
      {-1, 0, 0, -1, 3, 0, 2, 2, 180, 0},      {-2, 0, 0, -0.5, 0, 0, 2, 2, 180, pi},
      {0, -1, 1, 0, 0, 0, 3, 3, 270, -pi / 2}, {1, 0, 0, -1, 1, 1, 0, 0, 0, pi},
      {0, 1, 1, 0, 2, 1, 1, 3, 90, -pi / 2},   {3, 4, 4, -3, 1, 1, 1, 3, qd, qn},
      {3, 4, 4, -3, 2, 1, 1, 3, qd, -q},       {3, -4, 4, 3, 0, 0, 3, 3, 360 - qd, -q},
      {1, 0, 0, 4, 0, 0, 0, 0, 0, h},          {2, 0, 0, 0.5, 0, 0, 0, 0, 0, 0},
      {1, -1e-300, 0, 1, 0, 0, 3, 3, 360, 0},  {0, 0, 1, 1, 0, 0, -1, -1, nan, nan},
      {0, nan, 1, 1, 0, 0, 1, 1, nan, nan}};
  auto unnan = [](double v) { return std::isnan(v) ? -9.0 : v; };
  for (const auto& r : rows) {
    const Mtx2D m = Make({r[0], r[1], r[2], r[3], 0, 0}, static_cast<std::uint32_t>(r[4]));
    unsigned short m1 = 9, m2 = 9, m3 = 9;
    std::int32_t first = 9, last = 9, flags = 9;
    double deg = -1, rad = -1;
    m.GetXMirrorAndOrientation(&m1, &first), m.GetOrientationAndXMirror(&m2, &last);
    m.GetXMirrorAndRotation(&m3, &deg), m.GetOrientation(&rad, &flags);
    EXPECT_EQ(std::make_tuple(m.ReversesOrientation(), m1, m2, m3, first, last, unnan(deg),
                              unnan(rad), flags),
              std::make_tuple(r[5], r[5], r[5], r[5], r[6], r[7], unnan(r[8]), unnan(r[9]), r[4]))
        << r[0] << " " << r[1] << " " << r[4];
  }
  // Within 0.1 degree of a right angle the rotation snaps to it; the
  // intervals are open, so angles computing to exactly an end stay as they are.
  for (int i = 0; i < 3600; ++i) {
    const double t = 0.05 + i / 10.0, near = std::round(t / 90) * 90,
                 deg = Rotation(std::cos(t / kDeg), std::sin(t / kDeg));
    EXPECT_TRUE(std::fabs(t - near) < 0.1 ? deg == std::fmod(near, 360) : std::fabs(deg - t) < 1e-6)
        << t << " " << deg;
  }
  for (double end : {89.9, 90.1, 269.9, 270.1}) {
    const double b = end < 180 ? 2.0 : -2.0;  // the angle falls as a grows when b > 0
    double a = 2 / std::tan(std::min(end, 360 - end) / kDeg);
    for (int i = 0; i < 1000 && RawDegrees(a, b) != end; ++i)
      a = std::nextafter(a, (RawDegrees(a, b) > end) == (b > 0) ? 3.0 : -3.0);
    ASSERT_EQ(RawDegrees(a, b), end);
    EXPECT_EQ(Rotation(a, b), end);
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
