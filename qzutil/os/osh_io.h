// Descriptors, streams and failure reporting of the operating-system layer.
//
// Names given to the open operations and to osh_unlink first go through
// osh_resolve_path, so a root-relative name such as "\data\file" finds an
// existing file on the current drive or on any other drive. A name that is
// found nowhere is used as given (an open may then create it).
//
// Names are held in 1024-character buffers (terminator included): a name of
// 1024 characters or more is refused with the operation's failure result and
// errno set to ENAMETOOLONG, as is a null name.
//
// Open flags are those of the Windows runtime on every platform: 0 read-only,
// 0x1 write-only, 0x2 read-write, 0x8 append, 0x80 not inherited, 0x100
// create, 0x200 truncate, 0x400 exclusive, 0x4000 text, 0x8000 binary.
// Permission modes are the owner/group/others bits (0x180: owner read and
// write).
//
// Files as Windows treats them, on every platform and for every process,
// root included: a directory never opens as a file (descriptor or stream),
// and a read-only file (see osh_file_access) does not open for writing and
// is not removed. A file that an open creates read-only may still be written
// through that open's descriptor or stream.
//
// Every failure is handed to osh_perror with the error number, the name
// involved (null for descriptors and streams), the source name "wosh_snk0"
// and a line; osh_perror does nothing, so results are the only failure
// signal. Streams are the runtime's FILE objects; a null stream is not
// checked.
#ifndef QZUTIL_OS_OSH_IO_H
#define QZUTIL_OS_OSH_IO_H

#include <stdint.h>
#include <stdio.h>
#ifdef __cplusplus
#include <cstdio>
#endif

#include "qzutil/export.h"

QZ_EXTERN_C_BEGIN

// Resolves `path` into `out` (1024 characters): 1 when an existing file or
// directory was found (then `out` holds its name, possibly with a drive
// letter added), 0 otherwise (then `out` holds `path`, or is empty when
// `path` is null or too long).
QZ_API unsigned short osh_resolve_path(const char* path, char* out);

// The reporting hook: takes a report and does nothing with it.
QZ_API void osh_perror(int32_t error, const char* name, const char* source, int32_t line);
// Start-up of the layer; there is nothing to start.
QZ_API void osh_initialize(void);

// Descriptors. osh_open_binary adds the binary flag 0x8000; osh_open_text
// passes the flags unchanged. Negative on failure.
QZ_API short osh_open_binary(const char* path, unsigned short flags, int32_t mode);
QZ_API short osh_open_text(const char* path, unsigned short flags, int32_t mode);
// 0, or negative on failure.
QZ_API short osh_close(int32_t fd);
// Origin 0 start, 1 current, 2 end. The new position, or -1.
QZ_API int32_t osh_lseek(int32_t fd, int32_t offset, short origin);
// Bytes read (0 at end of file), negative on failure.
QZ_API int32_t osh_read(int32_t fd, void* buffer, uint32_t count);
// `count`, or -1 when fewer bytes were written.
QZ_API int32_t osh_write(int32_t fd, const void* buffer, uint32_t count);
// 0 when the file was removed, 1 otherwise (a read-only file is kept).
QZ_API unsigned short osh_unlink(const char* path);

// Streams. osh_fopen_binary rewrites the mode as its first character, "b"
// and its second character ("r" -> "rb", "w+" -> "wb+"; a third character is
// dropped); osh_fopen_text passes it unchanged. Null on failure.
QZ_API FILE* osh_fopen_binary(const char* path, const char* mode);
QZ_API FILE* osh_fopen_text(const char* path, const char* mode);
QZ_API FILE* osh_fdopen(int32_t fd, const char* mode);
// 0, or nonzero on failure.
QZ_API short osh_fclose(FILE* stream);
// 0, or -1 on failure.
QZ_API short osh_fflush(FILE* stream);
// 0, or nonzero on failure.
QZ_API short osh_fseek(FILE* stream, int32_t offset, short origin);
// The position, or -1 (also when it does not fit 32 bits).
QZ_API int32_t osh_ftell(FILE* stream);
QZ_API void osh_rewind(FILE* stream);
QZ_API uint32_t osh_fread(void* buffer, uint32_t size, uint32_t count, FILE* stream);
QZ_API uint32_t osh_fwrite(const void* buffer, uint32_t size, uint32_t count, FILE* stream);
QZ_API char* osh_fgets(char* buffer, int32_t size, FILE* stream);
QZ_API int32_t osh_getc(FILE* stream);
QZ_API int32_t osh_ungetc(int32_t c, FILE* stream);
QZ_API int32_t osh_fputs(const char* text, FILE* stream);
QZ_API int32_t osh_fputc(int32_t c, FILE* stream);
// Writes `value` as decimal text, right-aligned in `width` characters when
// `width` is not 0. Characters written, negative on failure.
QZ_API int32_t osh_fputint(int32_t value, int32_t width, FILE* stream);
QZ_API int32_t osh_feof(FILE* stream);
QZ_API short osh_fileno(FILE* stream);

// Reads one line into `buffer` (`size` bytes) and returns the number of
// characters stored; no terminator is written. A line ends after a line
// feed, or after a carriage return not followed by another carriage return
// or a line feed ("a\r\nb" gives "a\r\n"; "a\rb" gives "a\r"); its end
// characters are stored with it. At most `size` characters; 0 when `size`
// is less than 1 or the stream is at its end.
QZ_API int32_t osh_readLine(FILE* stream, char* buffer, int32_t size);

QZ_EXTERN_C_END

#endif  // QZUTIL_OS_OSH_IO_H
