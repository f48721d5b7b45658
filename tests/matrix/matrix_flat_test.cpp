// The flat functions: each must reach its member with its arguments in the
// documented order, and the two that produce a matrix must tolerate aliasing.
#include <cstdint>
#include <cstring>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

#include "qzutil/matrix/matrix_flat.h"
#include "qzutil/matrix/mtx2d.h"

namespace {

auto All(const Mtx2D& m) {
  return std::make_tuple(m.a, m.b, m.c, m.d, m.e, m.f, m.reflectFlags, m.type);
}

// A general matrix with a reflection recorded and a deliberately stale type,
// so that a missing or an extra re-classification shows.
Mtx2D Base() {
  Mtx2D m(3, -2, Mtx2DRot90ReflectX, 1.5, 2, 7, -4);
  m.Rotate(25, Mtx2DRotatePre);
  m.type = Mtx2DIdentity;
  return m;
}

// Applies the flat call to x and the member call to y, both copies of Base().
#define EXPECT_FORWARDS(flat_call, member_call) \
  do {                                          \
    Mtx2D x = Base(), y = Base();               \
    flat_call;                                  \
    y.member_call;                              \
    EXPECT_EQ(All(x), All(y)) << #flat_call;    \
  } while (0)

TEST(MatrixFlat, EachFunctionForwardsToItsMember) {
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

  // The remaining three only write their outputs: compare those byte for byte.
  const Mtx2D m = Base();
  double got[2] = {}, want[2] = {1, 1};
  std::int32_t flags[2] = {0, 9};
  xfm_get_orientation(&m, &got[0], &flags[0]);
  m.GetOrientation(&got[1], &flags[1]);
  EXPECT_EQ(std::make_pair(got[0], flags[0]), std::make_pair(got[1], flags[1]));
  til_xfm_pnt(1.25, -2.5, &got[0], &got[1], &m);
  m.XfmPt(1.25, -2.5, &want[0], &want[1]);
  EXPECT_EQ(std::memcmp(got, want, sizeof got), 0);
  const RealRectT in{{{0, 0}, {1, 3}, {-2, 1}, {4, 4}}};
  RealRectT out{}, box{};
  XfmRect(&in, &out, &m);
  m.XfmRect(&in, &box);
  EXPECT_EQ(std::memcmp(&out, &box, sizeof out), 0);
}

TEST(MatrixFlat, InvertAndMultiplyMayWriteOverTheirInputs) {
  const Mtx2D p = Base(), q(0, 0, Mtx2DReflectY, 2, 0.5, 1, -1);
  Mtx2D first = p, second = q;
  invert_matrix(&first, &first);
  EXPECT_EQ(All(first), All(p.Invert()));
  first = p;
  multiply_matrices(&first, &second, &first);  // the order matters: p then q
  EXPECT_EQ(All(first), All(p * q));
  first = p;
  multiply_matrices(&first, &second, &second);
  EXPECT_EQ(All(second), All(p * q));
}

}  // namespace
