// File-name helpers: the extension of a path and a name that does not exist
// yet. Both work on zero-terminated byte strings; slash and backslash both
// separate directories.
#ifndef QZUTIL_GEOMETRY_FILE_NAMES_H
#define QZUTIL_GEOMETRY_FILE_NAMES_H

#include <stdint.h>

#include "qzutil/export.h"

QZ_EXTERN_C_BEGIN

// Points into `path` at the first "." at or after its last separator, or at
// its terminating zero when there is none: "dir/name.tar.gz" -> ".tar.gz",
// "dir.d/name" -> "", "dir/.profile" -> ".profile".
QZ_API const char* utl_file_extension(const char* path);

// Writes `base` followed by `suffix` into `out` and, while a file or
// directory of that name exists, counts the uppercase letters of the suffix
// and of the last character of `base` upwards like an odometer ("FAZ" ->
// "FBA", "FZZ" -> "GAA"); other characters never change. 0 with a name that
// does not exist (errno as on entry), -1 when no letter can advance (`out`
// then holds the last name tried). Creates nothing. `out` must hold both
// texts and a terminator; `base` must not be empty. Neither is checked.
QZ_API int32_t utl_unique_filename(const char* base, const char* suffix, char* out);

QZ_EXTERN_C_END

#endif  // QZUTIL_GEOMETRY_FILE_NAMES_H
