// The trace facility: a development trace that the host switches on per run
// through the settings file "TRC.INI", without rebuilding.
//
// Settings, section "Internal" of "TRC.INI" (a name without a directory: on
// Windows the system's profile lookup finds it, on POSIX it is read from the
// current working directory):
//   Trace=<flag word>      (or the key given to trcStart), default 0 = off
//   TraceFile=<file name>  (or that key followed by "File"), default "TRC.TRC";
//                          read only when a file bit (TRC_FILE_KEEP or
//                          TRC_FILE_APPEND) is set. Without a file bit every
//                          line is lost. The name is opened through the
//                          platform's file layer, which reads names as the
//                          other file calls of the library do (on POSIX a
//                          backslash separates folders).
//
// Every call except trcStart starts the facility with the default key on its
// first use. Lines are built in one line buffer of TRC_LINE_SIZE characters:
// a line longer than TRC_LINE_SIZE - 1 characters with its line feed keeps its
// first TRC_LINE_SIZE - 2 characters and its line feed.
//
// Not thread-safe: the flag word, indentation depth, trace stream, line
// buffer and resource table are process-wide, so the host serialises trace
// calls.
#ifndef QZUTIL_TRACE_TRACE_H
#define QZUTIL_TRACE_TRACE_H

#include <stdint.h>

#include "qzutil/export.h"

// printf-style checking of the format texts, so that each argument is passed
// with its real type (a pointer or a 64-bit word stays 64 bits wide).
#if defined(__MINGW32__) && defined(__MINGW_PRINTF_FORMAT)
#define QZ_TRC_FORMAT(fmt, first) __attribute__((format(__MINGW_PRINTF_FORMAT, fmt, first)))
#elif defined(__GNUC__) || defined(__clang__)
#define QZ_TRC_FORMAT(fmt, first) __attribute__((format(printf, fmt, first)))
#else
#define QZ_TRC_FORMAT(fmt, first)
#endif

// Bits of the flag word.
enum {
  TRC_FUNCTIONS = 1,     // trcFncBegin/trcFncEnd write and indent
  TRC_RESOURCES = 2,     // trcUsedResource/trcFreedResource write and record
  TRC_REPORT = 4,        // trcReportResources writes its report
  TRC_PRINT = 8,         // trcPrint writes
  TRC_ZERO_WARN = 16,    // trcUsedResource warns about a value of 0
  TRC_FILE_KEEP = 32,    // the file is emptied at start and kept open
  TRC_FILE_APPEND = 64,  // every line is appended; wins over TRC_FILE_KEEP
};

enum {
  // Size of the line buffer and of the trace file's name, terminator included.
  TRC_LINE_SIZE = 1024,
  // Number of records of the resource table.
  TRC_RESOURCE_COUNT = 500,
};

// A record of the resource table. `name` is the caller's pointer, kept as
// given: the caller keeps the text alive while the resource is recorded.
// A count of 0 marks a free record.
typedef struct TrcResourceT {
  const char* name;
  int32_t value;
  int32_t count;
} TrcResourceT;

QZ_EXTERN_C_BEGIN

// The flag word: 1 before the settings have been read, the flag word read
// afterwards. A host may test it before calling, and may change it.
QZ_API extern int32_t trcActivated;

// Reads the settings with `key` (null for "Trace") and, when tracing is on,
// opens the trace file as the file bits ask and writes the header line
// "########## Trace Run at <ctime text>". Returns 0 when tracing is off, else
// the length of the header line when it was written and -1 when it was lost.
// A repeated call closes a kept-open trace file, reads the settings again
// and opens (and so empties) the file anew; the resource table and the
// indentation survive it.
QZ_API int32_t trcStart(const char* key);

// With TRC_PRINT: the line "." + message + "  [file,line]" (or no source
// part when `file` is null).
QZ_API void trcPrint(const char* file, int32_t line, const char* format, ...) QZ_TRC_FORMAT(3, 4);

// With TRC_FUNCTIONS: the line ">" + message, then one more blank of
// indentation for the lines that follow.
QZ_API void trcFncBegin(const char* format, ...) QZ_TRC_FORMAT(1, 2);

// With TRC_FUNCTIONS: one blank less of indentation (never below 0), then the
// line "<" + message + source part.
QZ_API void trcFncEnd(const char* file, int32_t line, const char* format, ...) QZ_TRC_FORMAT(3, 4);

// With TRC_RESOURCES: records one more use of the resource `name` with
// `value` (names compared exactly) and writes "+Used  resource <name>: <hex>".
// Warns "*** Resource used again:" for an outstanding pair, "*** Resource
// <name> is 0" for a value of 0 with TRC_ZERO_WARN, and "*** Resource list
// overflow" when all TRC_RESOURCE_COUNT records are in use (nothing is
// recorded then).
QZ_API void trcUsedResource(const char* file, int32_t line, const char* name, int32_t value);

// With TRC_RESOURCES: writes "-Freed resource <name>: <hex>" and takes one
// use of the pair back, or warns "*** No matching resource use found".
QZ_API void trcFreedResource(const char* file, int32_t line, const char* name, int32_t value);

// With TRC_REPORT: writes every outstanding resource between two rules, as
// "Resource <name>: <hex> in <count> use", in table order.
QZ_API void trcReportResources(void);

QZ_EXTERN_C_END

#endif  // QZUTIL_TRACE_TRACE_H
