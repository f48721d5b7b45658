// Links the shared library itself (not the objects) and checks that its plain
// functions are exported under their unmangled names and work through it.
#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <utility>

#include <gtest/gtest.h>

#include "qzutil/qzutil.h"

namespace {

// The address the library exports under `name`, or null.
void* Exported(const char* name) {
#if defined(_WIN32)
  return reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("libqzutil.dll"), name));
#else
  return dlsym(RTLD_DEFAULT, name);
#endif
}

TEST(SharedLibrary, ExportsFlatFunctionsUnderPlainNames) {
  // clang-format off
  const char* const names[] = {
      "initialize_matrix", "set_matrix_type", "reflect_matrix_x", "reflect_matrix_y",
      "translate_matrix", "scale_matrix", "rotate_matrix", "orient_matrix", "set_xfm",
      "invert_matrix", "multiply_matrices", "xfm_get_orientation", "til_xfm_pnt", "XfmRect",
      "str_lower_string", "str_parse", "str_token", "VarLookupInt", "VarLookupString",
      "VarLookupNameInfo", "VarAddNameInfo", "VarInsertNameInfo", "VarReplaceNameInfo",
      "VarExchangeNameInfo", "VarDeleteNameInfo", "VarGetName", "VarListInfo", "VarNextListEntry",
      "MemPoolNew", "MemPoolDelete", "MemListNew", "MemListClear", "MemListDelete",
      "MemSetDefaultList", "MemSetDefaultObject", "MemAvailable", "MemAllocate", "MemSetPointer",
      "MemFree", "MemListInitializeSearch", "MemListRemoveFromSearch", "MemListRemoveSmallest",
      "MemListRemoveLargest", "MemListRemoveOldest", "trcStart", "trcPrint", "trcFncBegin",
      "trcFncEnd", "trcUsedResource", "trcFreedResource", "trcReportResources", "trcActivated",
      "utl_inches_to_units", "utl_units_to_inches", "drw_get_trig", "utl_rotate_point",
      "utl_is_little_endian", "UtlByteOrderIsIntel", "utl_point_line", "utl_point_point",
      "utl_point_circle", "utl_point_box", "utl_point_circarc", "utl_point_conarc",
      "utl_maxmin_circle", "utl_maxmin_cubic", "utl_maxmin_conic", "utl_maxmin_rotrect",
      "utl_conic_type", "utl_standard_parabola", "utl_standard_hyperbola", "utl_standard_ellipse",
      "utl_parabola_point", "utl_hyperbola_point", "utl_ellipse_point", "utl_evaluate_cubic",
      "UtlCubicToPolyline", "osh_resolve_path", "osh_perror", "osh_initialize", "osh_open_binary",
      "osh_open_text", "osh_close", "osh_lseek", "osh_read", "osh_write", "osh_unlink",
      "osh_fopen_binary", "osh_fopen_text", "osh_fdopen", "osh_fclose", "osh_fflush", "osh_fseek",
      "osh_ftell", "osh_rewind", "osh_fread", "osh_fwrite", "osh_fgets", "osh_getc", "osh_ungetc",
      "osh_fputs", "osh_fputc", "osh_fputint", "osh_feof", "osh_fileno", "osh_readLine",
      "osh_copyfile", "osh_cat", "osh_file_exists", "osh_file_access", "osh_inquire_file",
      "osh_filesize", "osh_fdfilesize", "osh_find_exec_path", "osh_get_working_dir", "osh_mkdir",
      "osh_rmdir", "osh_chmod", "osh_rename", "osh_truncate_path", "osh_append_path",
      "osh_verify_file_name", "osh_alternate_pathname", "osh_get_time_stamp", "osh_gethostname",
      "osh_system", "osh_system_type", "osh_sleep", "osh_setenv", "osh_GetFontFileList",
      "osh_FreeFontFileList", "osh_qsort_compare_strings", "osh_resource_info",
      "osh_resource_info_unload", "osh_get_sys_parms", "osh_get_file_parms", "utl_file_extension",
      "utl_unique_filename", "ColOpen", "ColOpenXfm", "ColCloseXfm", "ColMapColors",
      "ColGetClosestColor", "tra_swap_2", "tra_swap_4", "tra_swap_8", "tra_swap_bytes",
      "tra_reverse_bits", "tra_convert_charset", "tra_convert_flpt",
  };
  // clang-format on
  for (const char* name : names)
    EXPECT_NE(Exported(name), nullptr) << name;
  // The exported address is the one this program calls.
  EXPECT_EQ(Exported("set_xfm"), reinterpret_cast<void*>(&set_xfm));
}

TEST(SharedLibrary, KeepsCxxLinkageWhereDocumentedAndHelpersInside) {
  // The flag word is exported as data: the variable this program reads is the library's.
  EXPECT_EQ(Exported("trcActivated"), static_cast<void*>(&trcActivated));
  // The arc extent (its radius is a float) and the colour-map factory keep
  // C++ linkage; the conic reduction's helpers stay inside.
  for (const char* name :
       {"utl_maxmin_arc", "utl_conic_principal_axes", "ColNewColorMap", "ColDeleteColorMap"})
    EXPECT_EQ(Exported(name), nullptr) << name;
  const RealPtT centre{0, 0}, from{1, 0}, to{0, 1};
  RealPtT max{}, min{};
  utl_maxmin_arc(&centre, 1.0f, &from, &to, 0, &max, &min);
  EXPECT_EQ(std::make_pair(max.x, max.y), std::make_pair(1.0, 1.0));
  const std::int32_t entries[] = {0, 0, 0};
  void* map = ColNewColorMap(1, 255, entries);
  EXPECT_NE(map, nullptr);
  ColDeleteColorMap(map);
}

}  // namespace
