// Internal helpers shared by the operating-system layer: the report call,
// the name buffers and path resolution. Not installed.
#ifndef QZUTIL_OS_REPORT_H
#define QZUTIL_OS_REPORT_H

#include <cstdint>

namespace qz::os::detail {

// Size of every name buffer of the layer, terminator included.
inline constexpr std::uint32_t kPathBufferSize = 1024;

// The source-file name carried by every report.
inline constexpr char kSourceName[] = "wosh_snk0";

// Hands a failure to osh_perror.
void Report(std::int32_t error, const char* name, std::int32_t line);

// Sees every report that reaches osh_perror; for tests. Returns the
// previous observer.
using ReportObserver = void (*)(std::int32_t error, const char* name, const char* source,
                                std::int32_t line);
ReportObserver set_report_observer(ReportObserver observer);

enum class Resolution { kFound, kNotFound, kRefused };

// Resolves `path` into `out` (kPathBufferSize characters). kRefused, with
// `out` empty and errno ENAMETOOLONG, for a null path or one that does not
// fit the buffer.
Resolution Resolve(const char* path, char* out);

// Copies `text` into a kPathBufferSize buffer; false (and `out` empty) when
// it is null or does not fit.
bool CopyName(const char* text, char* out);

}  // namespace qz::os::detail

#endif  // QZUTIL_OS_REPORT_H
