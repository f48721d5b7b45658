// The resource table: uses and releases of named resources, and the report
// of those still in use.
#include <cstring>

#include "qzutil/trace/trace.h"
#include "qzutil/trace/trace_output.h"

namespace {

// Zeroed at load: every record free. Only records 0..g_highest have ever been
// used; the reach only grows, and freed records are reused.
TrcResourceT g_table[TRC_RESOURCE_COUNT];
std::int32_t g_highest = -1;

// The text written for a name; a null name is allowed and reads "(null)".
const char* Shown(const char* name) {
  return name != nullptr ? name : "(null)";
}

bool SameName(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return std::strcmp(a, b) == 0;
}

// The outstanding record of `name` with `value`, or null.
TrcResourceT* FindOutstanding(const char* name, std::int32_t value) {
  for (std::int32_t i = 0; i <= g_highest; ++i) {
    TrcResourceT& record = g_table[i];
    if (record.count > 0 && record.value == value && SameName(record.name, name)) return &record;
  }
  return nullptr;
}

unsigned int Hex(std::int32_t value) {
  return static_cast<unsigned int>(value);
}

}  // namespace

void trcUsedResource(const char* file, std::int32_t line, const char* name, std::int32_t value) {
  using qz::detail::TraceLine;
  qz::detail::TraceEnsureStarted();
  if ((trcActivated & TRC_RESOURCES) == 0) return;
  TraceLine('+', file, line, "Used  resource %s: %x", Shown(name), Hex(value));
  if ((trcActivated & TRC_ZERO_WARN) != 0 && value == 0) {
    TraceLine('*', file, line, "** Resource %s is 0", Shown(name));
  }
  if (TrcResourceT* record = FindOutstanding(name, value)) {
    TraceLine('*', file, line, "** Resource used again:");
    if (record->count < INT32_MAX) ++record->count;
    return;
  }
  for (std::int32_t i = 0; i < TRC_RESOURCE_COUNT; ++i) {
    if (g_table[i].count != 0) continue;
    g_table[i] = TrcResourceT{name, value, 1};
    if (i > g_highest) g_highest = i;
    return;
  }
  TraceLine('*', nullptr, 0, "** Resource list overflow");
}

void trcFreedResource(const char* file, std::int32_t line, const char* name, std::int32_t value) {
  using qz::detail::TraceLine;
  qz::detail::TraceEnsureStarted();
  if ((trcActivated & TRC_RESOURCES) == 0) return;
  TraceLine('-', file, line, "Freed resource %s: %x", Shown(name), Hex(value));
  if (TrcResourceT* record = FindOutstanding(name, value)) {
    --record->count;
  } else {
    TraceLine('*', file, line, "** No matching resource use found");
  }
}

void trcReportResources(void) {
  using qz::detail::TracePlainLine;
  qz::detail::TraceEnsureStarted();
  if ((trcActivated & TRC_REPORT) == 0) return;
  TracePlainLine("############ Used Resource Report #############");
  for (std::int32_t i = 0; i <= g_highest; ++i) {
    const TrcResourceT& record = g_table[i];
    if (record.count > 0) {
      TracePlainLine("Resource %s: %x in %d use", Shown(record.name), Hex(record.value),
                     static_cast<int>(record.count));
    }
  }
  TracePlainLine("###############################################");
}
