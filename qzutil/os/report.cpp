#include "qzutil/os/report.h"

#include "qzutil/os/osh_io.h"

namespace qz::os::detail {
namespace {
ReportObserver g_observer = nullptr;
}  // namespace

void Report(std::int32_t error, const char* name, std::int32_t line) {
  osh_perror(error, name, kSourceName, line);
}

ReportObserver set_report_observer(ReportObserver observer) {
  ReportObserver previous = g_observer;
  g_observer = observer;
  return previous;
}

}  // namespace qz::os::detail

// The layer keeps no table of open files, so descriptor and stream reports
// carry no name. Reports are not printed: callers act on the results.
void osh_perror(std::int32_t error, const char* name, const char* source, std::int32_t line) {
  if (qz::os::detail::g_observer != nullptr) qz::os::detail::g_observer(error, name, source, line);
}

void osh_initialize(void) {}
