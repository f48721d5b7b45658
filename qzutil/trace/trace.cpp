// Settings, the trace stream, the line buffer and the formatted trace calls.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "qzutil/platform/file_io.h"
#include "qzutil/platform/profile.h"
#include "qzutil/trace/trace.h"
#include "qzutil/trace/trace_output.h"

QZ_EXTERN_C_BEGIN
QZ_API std::int32_t trcActivated = 1;
QZ_EXTERN_C_END

namespace qz::detail {
namespace {

constexpr const char* kSettingsFile = "TRC.INI";
constexpr const char* kSection = "Internal";
constexpr std::int32_t kFileBits = TRC_FILE_KEEP | TRC_FILE_APPEND;

// The line under construction. Text beyond kCapacity characters is cut, so
// that the line feed and the terminator always fit.
class LineBuffer {
 public:
  void Clear() { used_ = 0; }

  void Blanks(std::int32_t count) {
    const std::size_t made = std::min<std::size_t>(count > 0 ? count : 0, kCapacity - used_);
    std::memset(text_ + used_, ' ', made);
    used_ += made;
  }

  void Put(char c) {
    if (used_ < kCapacity) text_[used_++] = c;
  }

  void Append(const char* format, std::va_list args) {
    // Writes at most `room` characters and a terminator. A runtime that
    // answers -1 for a cut text has still filled the room (without a
    // terminator), so what it wrote is measured instead.
    const std::size_t room = kCapacity - used_;
    char* const start = text_ + used_;
    *start = '\0';  // so that a runtime that writes nothing leaves nothing
    // clang-analyzer 14 reports every va_list call in all but the first file
    // of a run as uninitialised; `args` comes from va_start in every caller.
    // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized)
    const int wanted = std::vsnprintf(start, room + 1, format, args);
    std::size_t made = room;
    if (wanted >= 0) {
      made = static_cast<std::size_t>(wanted);
    } else if (const void* end = std::memchr(start, '\0', room)) {
      made = static_cast<std::size_t>(static_cast<const char*>(end) - start);
    }
    used_ += std::min(made, room);
  }

  // Appends the first `length` characters of `text`.
  void Text(const char* text, std::size_t length) {
    const std::size_t made = std::min(length, kCapacity - used_);
    std::memcpy(text_ + used_, text, made);
    used_ += made;
  }

  void Text(const char* text) { Text(text, std::strlen(text)); }

  const char* Finish() {
    text_[used_] = '\n';
    text_[used_ + 1] = '\0';
    return text_;
  }

 private:
  static constexpr std::size_t kCapacity = TRC_LINE_SIZE - 2;
  char text_[TRC_LINE_SIZE] = {};
  std::size_t used_ = 0;
};

bool g_started = false;
std::int32_t g_depth = 0;  // indentation, never negative
char g_file_name[TRC_LINE_SIZE] = {};
std::FILE* g_stream = nullptr;  // the kept-open trace file, if any
bool g_close_registered = false;
LineBuffer g_line;

void CloseStream() {
  if (g_stream != nullptr) std::fclose(g_stream);
  g_stream = nullptr;
}

// Writes a finished line. Returns its length, or -1 when it is lost (no file
// bit, no file name, or a file that cannot be opened or written).
std::int32_t WriteLine(const char* text) {
  const auto length = static_cast<std::int32_t>(std::strlen(text));
  if ((trcActivated & kFileBits) == 0) return -1;
  if ((trcActivated & TRC_FILE_APPEND) == 0 && g_stream != nullptr) {
    return std::fputs(text, g_stream) >= 0 ? length : -1;
  }
  if (g_file_name[0] == '\0') return -1;
  std::FILE* stream = platform::file_io().OpenStream(g_file_name, "a");
  if (stream == nullptr) return -1;
  std::setvbuf(stream, nullptr, _IONBF, 0);
  const bool written = std::fputs(text, stream) >= 0 && std::fflush(stream) == 0;
  return (std::fclose(stream) == 0 && written) ? length : -1;
}

// A marker of '\0' writes a plain line: no indentation, no marker.
void FormatLine(char marker, const char* file, std::int32_t line, const char* format,
                std::va_list args) {
  g_line.Clear();
  if (marker != '\0') {
    g_line.Blanks(g_depth);
    g_line.Put(marker);
  }
  g_line.Append(format != nullptr ? format : "", args);
  if (file != nullptr) {
    char number[16];
    std::snprintf(number, sizeof number, ",%d]", static_cast<int>(line));
    g_line.Text("  [");
    g_line.Text(file);
    g_line.Text(number);
  }
  WriteLine(g_line.Finish());
}

// Reads the trace file's name under `flag_key` + "File" and, for a kept-open
// file, opens it from empty.
void OpenTraceFile(const char* flag_key) {
  char file_key[TRC_LINE_SIZE];
  std::snprintf(file_key, sizeof file_key, "%sFile", flag_key);
  char name[TRC_LINE_SIZE];
  platform::profile().GetString(kSettingsFile, kSection, file_key, "TRC.TRC", name, sizeof name);
  if (name[0] == '\0') return;
  std::memcpy(g_file_name, name, sizeof g_file_name);
  if ((trcActivated & TRC_FILE_APPEND) != 0) return;
  g_stream = platform::file_io().OpenStream(g_file_name, "w");
  if (g_stream == nullptr) return;
  if (!g_close_registered) g_close_registered = std::atexit(CloseStream) == 0;
  std::setvbuf(g_stream, nullptr, _IONBF, 0);
}

std::int32_t Start(const char* key) {
  // The resource table needs no clearing here: it starts zeroed, and a
  // repeated start keeps it.
  g_started = true;
  CloseStream();
  const char* flag_key = key != nullptr ? key : "Trace";
  trcActivated = platform::profile().GetInt(kSettingsFile, kSection, flag_key, 0);
  if (trcActivated == 0) return 0;
  if ((trcActivated & kFileBits) != 0) OpenTraceFile(flag_key);

  const std::time_t now = std::time(nullptr);
  const char* stamp = std::ctime(&now);  // its line feed is cut here and put back by Finish
  if (stamp == nullptr) stamp = "";
  g_line.Clear();
  g_line.Text("########## Trace Run at ");
  g_line.Text(stamp, std::strcspn(stamp, "\n"));
  return WriteLine(g_line.Finish());
}

}  // namespace

void TraceEnsureStarted() {
  if (!g_started) Start(nullptr);
}

void TraceLine(char marker, const char* file, std::int32_t line, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  FormatLine(marker, file, line, format, args);
  va_end(args);
}

void TracePlainLine(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  FormatLine('\0', nullptr, 0, format, args);
  va_end(args);
}

}  // namespace qz::detail

std::int32_t trcStart(const char* key) {
  return qz::detail::Start(key);
}

void trcPrint(const char* file, std::int32_t line, const char* format, ...) {
  qz::detail::TraceEnsureStarted();
  if ((trcActivated & TRC_PRINT) == 0) return;
  std::va_list args;
  va_start(args, format);
  qz::detail::FormatLine('.', file, line, format, args);
  va_end(args);
}

void trcFncBegin(const char* format, ...) {
  using qz::detail::g_depth;
  qz::detail::TraceEnsureStarted();
  if ((trcActivated & TRC_FUNCTIONS) == 0) return;
  std::va_list args;
  va_start(args, format);
  qz::detail::FormatLine('>', nullptr, 0, format, args);
  va_end(args);
  if (g_depth < INT32_MAX) ++g_depth;
}

void trcFncEnd(const char* file, std::int32_t line, const char* format, ...) {
  using qz::detail::g_depth;
  qz::detail::TraceEnsureStarted();
  if ((trcActivated & TRC_FUNCTIONS) == 0) return;
  if (g_depth > 0) --g_depth;
  std::va_list args;
  va_start(args, format);
  qz::detail::FormatLine('<', file, line, format, args);
  va_end(args);
}
