// Links the shared library itself (not the objects) and checks that its plain
// functions are exported under their unmangled names and work through it.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include "qzutil/qzutil.h"

namespace {

TEST(SharedLibrary, ExportsFlatFunctionsUnderPlainNames) {
  const char* const names[] = {
      "initialize_matrix", "set_matrix_type", "reflect_matrix_x",  "reflect_matrix_y",
      "translate_matrix",  "scale_matrix",    "rotate_matrix",     "orient_matrix",
      "set_xfm",           "invert_matrix",   "multiply_matrices", "xfm_get_orientation",
      "til_xfm_pnt",       "XfmRect",
  };
  for (const char* name : names) {
    EXPECT_NE(dlsym(RTLD_DEFAULT, name), nullptr) << name;
  }
  // The exported address is the one this program calls.
  EXPECT_EQ(dlsym(RTLD_DEFAULT, "set_xfm"), reinterpret_cast<void*>(&set_xfm));
}

TEST(SharedLibrary, PlacesAPointThroughClassAndFlatInterfaces) {
  Mtx2D m(10.0, 20.0, Mtx2DRot90, 2.0, 3.0, 1.0, 1.0);
  double x = 0, y = 0;
  til_xfm_pnt(11.0, 21.0, &x, &y, &m);
  // (1, 1) turned a quarter to (-1, 1), scaled to (-2, 3), shifted by (1, 1).
  EXPECT_EQ(x, -1.0);
  EXPECT_EQ(y, 4.0);
  RealPtT in[2] = {{11.0, 21.0}, {12.5, 20.0}};
  IntPtT out[2];
  m.XfmPts(2, in, out);
  EXPECT_EQ(out[0].x, -1);
  EXPECT_EQ(out[0].y, 4);
  // (2.5, 0) turns to (0, 2.5), scales to (0, 7.5), shifts to (1, 8.5).
  EXPECT_EQ(out[1].x, 1);
  EXPECT_EQ(out[1].y, 9);  // 8.5 rounds away from zero
}

}  // namespace
