// Links the shared library itself (not the objects) and checks that its plain
// functions are exported under their unmangled names and work through it.
#include <dlfcn.h>

#include <utility>

#include <gtest/gtest.h>

#include "qzutil/qzutil.h"

namespace {

TEST(SharedLibrary, ExportsFlatFunctionsUnderPlainNames) {
  const char* const names[] = {
      "initialize_matrix", "set_matrix_type", "reflect_matrix_x",  "reflect_matrix_y",
      "translate_matrix",  "scale_matrix",    "rotate_matrix",     "orient_matrix",
      "set_xfm",           "invert_matrix",   "multiply_matrices", "xfm_get_orientation",
      "til_xfm_pnt",       "XfmRect",         "tra_swap_2",        "tra_swap_4",
      "tra_swap_8",        "tra_swap_bytes",  "tra_reverse_bits",  "tra_convert_charset",
      "tra_convert_flpt",
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
  til_xfm_pnt(11.0, 21.0, &x, &y, &m);  // (1, 1) turns to (-1, 1), scales, shifts
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(-1.0, 4.0));
}

}  // namespace
