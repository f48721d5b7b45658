// Mtx2D as a value: construction, type codes, edits, composition, inversion
// and the plain queries.
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <tuple>

#include <gtest/gtest.h>

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
  EXPECT_EQ(m.IsIdentity(), 0);
  m.SetIdentity();
  EXPECT_EQ(m.IsIdentity(), 1);
  // None of these can create an off-diagonal term, so the mark survives
  // them, and SetIdentity on the resulting non-identity leaves it too.
  m.Translate(5, 5), m.Scale(2, -3), m.ReflectInX(), m.ReflectInY(), m.InvertYAxis(480);
  m.SetIdentity();
  EXPECT_EQ(m.type, Mtx2DIdentity);

  const double nan = std::numeric_limits<double>::quiet_NaN(), up = std::nextafter(1.0, 2.0);
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
  std::mt19937 g(7);
  for (int i = 0; i < 200; ++i) {
    Mtx2D p = Random(g), q = Random(g), s;
    const Mtx2D r = p * q;
    EXPECT_EQ(All(r), (Fields{{p.a * q.a + p.b * q.c, p.a * q.b + p.b * q.d, p.c * q.a + p.d * q.c,
                               p.c * q.b + p.d * q.d, p.e * q.a + p.f * q.c + q.e,
                               p.e * q.b + p.f * q.d + q.f},
                              p.reflectFlags ^ q.reflectFlags,
                              Mtx2DGeneral}));
    Mtx2D::Multiply(&p, &q, &s);
    EXPECT_EQ(All(s), All(r));
    p = p * q;  // a factor may receive its own product
    EXPECT_EQ(All(p), All(r));
    const double k = 1 / (q.a * q.d - q.c * q.b);
    EXPECT_EQ(All(q.Invert()),
              (Fields{{q.d * k, -(q.b * k), -(q.c * k), q.a * k, (q.c * q.f - q.e * q.d) * k,
                       -((q.a * q.f - q.e * q.b) * k)},
                      q.reflectFlags,
                      Mtx2DGeneral}));
  }
  Mtx2D t;
  t.Translate(3, 4);
  EXPECT_EQ(All(t.Invert()), (Fields{{1, 0, 0, 1, -3, -4}, 0, Mtx2DAligned}));
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
    v[i] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Make(v) != Make(v), 1) << i;
  }
}

}  // namespace
