// Links the shared library itself (not the objects) and checks that its plain
// functions are exported under their unmangled names and work through it.
#include <dlfcn.h>

#include <utility>

#include <gtest/gtest.h>

#include "qzutil/qzutil.h"

namespace {

TEST(SharedLibrary, ExportsFlatFunctionsUnderPlainNames) {
  const char* const names[] = {
      "initialize_matrix",
      "set_matrix_type",
      "reflect_matrix_x",
      "reflect_matrix_y",
      "translate_matrix",
      "scale_matrix",
      "rotate_matrix",
      "orient_matrix",
      "set_xfm",
      "invert_matrix",
      "multiply_matrices",
      "xfm_get_orientation",
      "til_xfm_pnt",
      "XfmRect",
      // Operating-system layer and file-name helpers.
      "osh_resolve_path",
      "osh_perror",
      "osh_initialize",
      "osh_open_binary",
      "osh_open_text",
      "osh_close",
      "osh_lseek",
      "osh_read",
      "osh_write",
      "osh_unlink",
      "osh_fopen_binary",
      "osh_fopen_text",
      "osh_fdopen",
      "osh_fclose",
      "osh_fflush",
      "osh_fseek",
      "osh_ftell",
      "osh_rewind",
      "osh_fread",
      "osh_fwrite",
      "osh_fgets",
      "osh_getc",
      "osh_ungetc",
      "osh_fputs",
      "osh_fputc",
      "osh_fputint",
      "osh_feof",
      "osh_fileno",
      "osh_readLine",
      "osh_copyfile",
      "osh_cat",
      "osh_file_exists",
      "osh_file_access",
      "osh_inquire_file",
      "osh_filesize",
      "osh_fdfilesize",
      "osh_find_exec_path",
      "osh_get_working_dir",
      "osh_mkdir",
      "osh_rmdir",
      "osh_chmod",
      "osh_rename",
      "osh_truncate_path",
      "osh_append_path",
      "osh_verify_file_name",
      "osh_alternate_pathname",
      "osh_get_time_stamp",
      "osh_gethostname",
      "osh_system",
      "osh_system_type",
      "osh_sleep",
      "osh_setenv",
      "osh_GetFontFileList",
      "osh_FreeFontFileList",
      "osh_qsort_compare_strings",
      "osh_resource_info",
      "osh_resource_info_unload",
      "osh_get_sys_parms",
      "osh_get_file_parms",
      "utl_file_extension",
      "utl_unique_filename",
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
