// Files, paths and directories of the operating-system layer.
//
// The source of osh_copyfile and osh_cat, the name given to
// osh_file_exists, osh_file_access, osh_inquire_file, osh_filesize and
// osh_chmod, and the old name of osh_rename are resolved as osh_resolve_path
// does (see osh_io.h); every other name is used unchanged. Resolved names
// are held in 1024-character buffers: a name of 1024 characters or more (or
// a null name) is refused with the operation's failure result. The
// 1024-character buffers of osh_get_working_dir and osh_alternate_pathname
// are never written past; the other output buffers are the caller's to size
// and are not checked.
#ifndef QZUTIL_OS_OSH_FILES_H
#define QZUTIL_OS_OSH_FILES_H

#include <stdint.h>

#include "qzutil/export.h"

QZ_EXTERN_C_BEGIN

// Copies `source` over `destination` (replaced when it exists, unless it is
// read-only). Nonzero when copied, 0 otherwise (also when the source is
// found nowhere or is a directory).
QZ_API int32_t osh_copyfile(const char* destination, const char* source);
// Appends `source` to `destination`, which is created (owner read and
// write) when missing. 1 when the whole source was appended, 0 otherwise; a
// source that is missing or a directory answers 0 before the destination is
// created or opened, and a read-only destination answers 0 unchanged.
QZ_API unsigned short osh_cat(const char* destination, const char* source);
// 1 if the file or directory exists, 0 otherwise (also for null).
QZ_API unsigned short osh_file_exists(const char* path);
// 1 if it exists and, when `access` has the write bit 2, is not read-only.
QZ_API unsigned short osh_file_access(const char* path, int32_t access);
// Stores the mode word: 0x1FF if writable or 0x16D if read-only, plus
// 0x1000 for a directory or 0x0400 for anything else. 1 when stored, 0 if
// the path does not exist.
QZ_API unsigned short osh_inquire_file(const char* path, unsigned short* mode);
// Size in bytes (low 32 bits), or -1 (also for a directory).
QZ_API int32_t osh_filesize(const char* path);
QZ_API int32_t osh_fdfilesize(int32_t fd);
// The full path of `name` (which need not exist) in a new zero-filled
// buffer; null on failure. Release it with LocalFree on Windows and with
// free on POSIX.
QZ_API char* osh_find_exec_path(const char* name);
// Stores the current directory in `buffer` (1024 characters): 1, or 0 when
// it cannot be read or does not fit.
QZ_API unsigned short osh_get_working_dir(char* buffer);
// 1 created or removed, 0 on failure.
QZ_API unsigned short osh_mkdir(const char* path);
QZ_API unsigned short osh_rmdir(const char* path);
// Makes the file writable when `permissions` has any write bit (0x92),
// read-only otherwise. 1 done, 0 on failure.
QZ_API unsigned short osh_chmod(const char* path, int32_t permissions);
// 0 done, -1 on failure. An existing `new_path` is never replaced: the call
// answers -1 and leaves both names as they were.
QZ_API short osh_rename(const char* old_path, const char* new_path);
// Splits `path` at its last slash or backslash into `directory` and `name`
// (each must hold the length of `path` plus one). Without a separator the
// directory is empty. Always 1.
QZ_API unsigned short osh_truncate_path(const char* path, char* directory, char* name);
// Writes `directory`, a backslash unless the directory ends with one or the
// name starts with one, and `name` into `out` (the lengths of both plus 2).
// An empty directory gives the name alone. `out` may be `directory`. Always 1.
QZ_API unsigned short osh_append_path(const char* directory, const char* name, char* out);
// Makes no test. Always 0.
QZ_API unsigned short osh_verify_file_name(const char* name);
// Stores the short form of `path` in `out` (1024 characters): 1 if it
// differs from the path (ignoring case), 0 if it is the same, -1 if there is
// none (then `out` holds the path, or is empty when the path is too long).
QZ_API int32_t osh_alternate_pathname(const char* path, char* out);

QZ_EXTERN_C_END

#endif  // QZUTIL_OS_OSH_FILES_H
