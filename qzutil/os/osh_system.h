// System services of the operating-system layer: time stamps, the host name,
// programs, sleeping, the environment, the installed TrueType fonts, the
// free share of system resources and the fixed data-representation records.
#ifndef QZUTIL_OS_OSH_SYSTEM_H
#define QZUTIL_OS_OSH_SYSTEM_H

#include <stdint.h>

#include "qzutil/export.h"

QZ_EXTERN_C_BEGIN

// Writes the local time as "YYMMDD.hhmmss" (13 characters and a terminator)
// into `buffer` (at least 14 characters). Returns 13.
QZ_API int32_t osh_get_time_stamp(char* buffer);
// Copies the library's fixed host name, "localhost", with strncpy rules: the
// rest of `buffer` is zero-filled, and there is no terminator when `size`
// does not exceed the name's length. Returns 0.
QZ_API int32_t osh_gethostname(char* buffer, int32_t size);
// Starts `command_line` without waiting for it. 0 when started, else the
// launch error code (2: the program was not found). `unused` is ignored.
QZ_API int32_t osh_system(void* unused, const char* command_line);
// The system type code, 8.
QZ_API unsigned short osh_system_type(void);
// Suspends the calling thread for `seconds` (a negative count as 0).
QZ_API void osh_sleep(int32_t seconds);
// Sets `name` to `value` (null: the empty text) in the process environment.
// 0 when set, -1 on failure or for a null name.
QZ_API int32_t osh_setenv(const char* name, const char* value);

// The full names of the installed TrueType font files, at most 1200, in a
// null-terminated array; null when there is none. Unsorted. Release it with
// osh_FreeFontFileList.
QZ_API char** osh_GetFontFileList(void);
// Frees the list held by `*list` and sets `*list` to null; a null list is
// left alone.
QZ_API void osh_FreeFontFileList(char*** list);
// qsort comparison of two text pointers: -1, 0 or 1 by unsigned bytes.
QZ_API int32_t osh_qsort_compare_strings(const void* first, const void* second);

// The free share of system resources of `kind`, in percent, in `*answer`
// (100 on every current platform). 0 when stored, else an error code.
QZ_API int32_t osh_resource_info(int32_t kind, uint32_t* answer);
QZ_API void osh_resource_info_unload(void);

// The library's record of ten 16-bit values: 1, 2, 8, 2, 1, 1, 2, 4, 4, 8.
// Valid until the next call; not to be freed.
QZ_API short* osh_get_sys_parms(void);
// Fills the caller's record of ten 16-bit values with the same values.
QZ_API void osh_get_file_parms(short* record);

QZ_EXTERN_C_END

#endif  // QZUTIL_OS_OSH_SYSTEM_H
