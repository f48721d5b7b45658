// Links the shared library itself (not the objects) and checks that its plain
// functions are exported under their unmangled names and work through it.
#include <dlfcn.h>

#include <utility>

#include <gtest/gtest.h>

#include "qzutil/qzutil.h"

namespace {

TEST(SharedLibrary, ExportsFlatFunctionsUnderPlainNames) {
  // One family a block, so that each family adds its names in one place.
  // clang-format off
  const char* const names[] = {
      // matrix
      "initialize_matrix", "set_matrix_type", "reflect_matrix_x", "reflect_matrix_y",
      "translate_matrix", "scale_matrix", "rotate_matrix", "orient_matrix", "set_xfm",
      "invert_matrix", "multiply_matrices", "xfm_get_orientation", "til_xfm_pnt", "XfmRect",
      // text
      "str_lower_string", "str_parse", "str_token", "VarLookupInt", "VarLookupString",
      "VarLookupNameInfo", "VarAddNameInfo", "VarInsertNameInfo", "VarReplaceNameInfo",
      "VarExchangeNameInfo", "VarDeleteNameInfo", "VarGetName", "VarListInfo", "VarNextListEntry",
      // memory
      "MemPoolNew", "MemPoolDelete", "MemListNew", "MemListClear", "MemListDelete",
      "MemSetDefaultList", "MemSetDefaultObject", "MemAvailable", "MemAllocate", "MemSetPointer",
      "MemFree", "MemListInitializeSearch", "MemListRemoveFromSearch", "MemListRemoveSmallest",
      "MemListRemoveLargest", "MemListRemoveOldest",
      // trace
      "trcStart", "trcPrint", "trcFncBegin", "trcFncEnd", "trcUsedResource", "trcFreedResource",
      "trcReportResources", "trcActivated",
  };
  // clang-format on
  for (const char* name : names) {
    EXPECT_NE(dlsym(RTLD_DEFAULT, name), nullptr) << name;
  }
  // The exported address is the one this program calls.
  EXPECT_EQ(dlsym(RTLD_DEFAULT, "set_xfm"), reinterpret_cast<void*>(&set_xfm));
}

TEST(SharedLibrary, ExportsTheTraceFlagWordAsData) {
  // The flag word is exported as data: the variable this program reads is the library's.
  EXPECT_EQ(dlsym(RTLD_DEFAULT, "trcActivated"), static_cast<void*>(&trcActivated));
}

TEST(SharedLibrary, PlacesAPointThroughClassAndFlatInterfaces) {
  Mtx2D m(10.0, 20.0, Mtx2DRot90, 2.0, 3.0, 1.0, 1.0);
  double x = 0, y = 0;
  til_xfm_pnt(11.0, 21.0, &x, &y, &m);  // (1, 1) turns to (-1, 1), scales, shifts
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(-1.0, 4.0));
}

}  // namespace
