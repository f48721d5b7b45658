// Links the shared library itself (not the objects) and checks that its plain
// functions are exported under their unmangled names and work through it.
#include <dlfcn.h>

#include <utility>

#include <gtest/gtest.h>

#include "qzutil/qzutil.h"

namespace {

TEST(SharedLibrary, ExportsFlatFunctionsUnderPlainNames) {
  const char* const names[] = {
      "initialize_matrix", "set_matrix_type",   "reflect_matrix_x",   "reflect_matrix_y",
      "translate_matrix",  "scale_matrix",      "rotate_matrix",      "orient_matrix",
      "set_xfm",           "invert_matrix",     "multiply_matrices",  "xfm_get_orientation",
      "til_xfm_pnt",       "XfmRect",           "str_lower_string",   "str_parse",
      "str_token",         "VarLookupInt",      "VarLookupString",    "VarLookupNameInfo",
      "VarAddNameInfo",    "VarInsertNameInfo", "VarReplaceNameInfo", "VarExchangeNameInfo",
      "VarDeleteNameInfo", "VarGetName",        "VarListInfo",        "VarNextListEntry",
  };
  for (const char* name : names) {
    EXPECT_NE(dlsym(RTLD_DEFAULT, name), nullptr) << name;
  }
  // The exported address is the one this program calls.
  EXPECT_EQ(dlsym(RTLD_DEFAULT, "set_xfm"), reinterpret_cast<void*>(&set_xfm));
}

TEST(SharedLibrary, ExportsColourFunctionsWithTheirLinkage) {
  for (const char* name :
       {"ColOpen", "ColOpenXfm", "ColCloseXfm", "ColMapColors", "ColGetClosestColor"}) {
    EXPECT_NE(dlsym(RTLD_DEFAULT, name), nullptr) << name;
  }
  // These two keep C++ linkage: no plain name, but callable from here.
  EXPECT_EQ(dlsym(RTLD_DEFAULT, "ColNewColorMap"), nullptr);
  EXPECT_EQ(dlsym(RTLD_DEFAULT, "ColDeleteColorMap"), nullptr);
  const std::int32_t entries[] = {0, 0, 0, 10, 20, 30};
  void* map = ColNewColorMap(2, 255, entries);
  ASSERT_NE(map, nullptr);
  const ColorRGB c{10, 20, 31};
  std::int32_t distance = -1;
  EXPECT_EQ(ColGetClosestColor(&c, static_cast<ColorMap*>(map), &distance), 1);
  EXPECT_EQ(distance, 0);
  ColDeleteColorMap(map);
}

TEST(SharedLibrary, PlacesAPointThroughClassAndFlatInterfaces) {
  Mtx2D m(10.0, 20.0, Mtx2DRot90, 2.0, 3.0, 1.0, 1.0);
  double x = 0, y = 0;
  til_xfm_pnt(11.0, 21.0, &x, &y, &m);  // (1, 1) turns to (-1, 1), scales, shifts
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(-1.0, 4.0));
}

}  // namespace
