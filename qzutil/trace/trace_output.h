// Shared by the trace sources: starting on first use, and building and
// writing lines through the one line buffer. Internal, not installed.
#ifndef QZUTIL_TRACE_TRACE_OUTPUT_H
#define QZUTIL_TRACE_TRACE_OUTPUT_H

#include <cstdint>

#include "qzutil/trace/trace.h"

namespace qz::detail {

// Runs trcStart with the default key unless the facility has been started.
void TraceEnsureStarted();

// Writes one line: as many blanks as the indentation depth, `marker`, the
// message made from `format` and the arguments, then "  [file,line]" when
// `file` is not null, and a line feed.
void TraceLine(char marker, const char* file, std::int32_t line, const char* format, ...)
    QZ_TRC_FORMAT(4, 5);

// Writes the message made from `format` and the arguments and a line feed,
// without indentation or marker.
void TracePlainLine(const char* format, ...) QZ_TRC_FORMAT(1, 2);

}  // namespace qz::detail

#endif  // QZUTIL_TRACE_TRACE_OUTPUT_H
