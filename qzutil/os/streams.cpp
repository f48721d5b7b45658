// Stream operations: the runtime's buffered streams with the layer's result
// conventions and reports. Opening goes through path resolution and the
// platform; everything on an open stream is the C library's stream calls.
#include <cerrno>
#include <climits>
#include <cstdio>

#include "qzutil/os/osh_io.h"
#include "qzutil/os/report.h"
#include "qzutil/platform/file_io.h"
#include "qzutil/platform/file_system.h"

namespace {

using qz::os::detail::Report;
using qz::os::detail::Resolution;

std::int32_t LastError() {
  return qz::platform::file_system().LastError();
}

std::FILE* OpenStream(const char* path, const char* mode) {
  char name[qz::os::detail::kPathBufferSize];
  const Resolution resolution = qz::os::detail::Resolve(path, name);
  if (resolution == Resolution::kRefused || mode == nullptr) {
    Report(errno, path, __LINE__);
    return nullptr;
  }
  if (resolution == Resolution::kNotFound) Report(errno, name, __LINE__);
  std::FILE* stream = qz::platform::file_io().OpenStream(name, mode);
  if (stream == nullptr) Report(errno, name, __LINE__);
  return stream;
}

}  // namespace

std::FILE* osh_fopen_binary(const char* path, const char* mode) {
  if (mode == nullptr) return OpenStream(path, mode);
  // First character, "b", second character; a third one is dropped.
  const char binary[4] = {mode[0], 'b', mode[0] != '\0' ? mode[1] : '\0', '\0'};
  return OpenStream(path, binary);
}

std::FILE* osh_fopen_text(const char* path, const char* mode) {
  return OpenStream(path, mode);
}

std::FILE* osh_fdopen(std::int32_t fd, const char* mode) {
  return qz::platform::file_io().StreamOnDescriptor(fd, mode);
}

short osh_fclose(std::FILE* stream) {
  const int result = std::fclose(stream);
  if (result != 0) Report(errno, nullptr, __LINE__);
  return static_cast<short>(result);
}

short osh_fflush(std::FILE* stream) {
  if (std::fflush(stream) == 0) return 0;
  Report(LastError(), nullptr, __LINE__);
  return -1;
}

short osh_fseek(std::FILE* stream, std::int32_t offset, short origin) {
  const int result = std::fseek(stream, offset, origin);
  if (result != 0) Report(LastError(), nullptr, __LINE__);
  return static_cast<short>(result);
}

std::int32_t osh_ftell(std::FILE* stream) {
  long position = std::ftell(stream);
  if (position > INT32_MAX) {
    errno = EOVERFLOW;
    position = -1;
  }
  if (position == -1) Report(LastError(), nullptr, __LINE__);
  return static_cast<std::int32_t>(position);
}

void osh_rewind(std::FILE* stream) {
  std::rewind(stream);
}

std::uint32_t osh_fread(void* buffer, std::uint32_t size, std::uint32_t count, std::FILE* stream) {
  return static_cast<std::uint32_t>(std::fread(buffer, size, count, stream));
}

std::uint32_t osh_fwrite(const void* buffer, std::uint32_t size, std::uint32_t count,
                         std::FILE* stream) {
  return static_cast<std::uint32_t>(std::fwrite(buffer, size, count, stream));
}

char* osh_fgets(char* buffer, std::int32_t size, std::FILE* stream) {
  return std::fgets(buffer, size, stream);
}

std::int32_t osh_getc(std::FILE* stream) {
  return std::getc(stream);
}
std::int32_t osh_ungetc(std::int32_t c, std::FILE* stream) {
  return std::ungetc(c, stream);
}
std::int32_t osh_fputs(const char* text, std::FILE* stream) {
  return std::fputs(text, stream);
}
std::int32_t osh_fputc(std::int32_t c, std::FILE* stream) {
  return std::fputc(c, stream);
}

std::int32_t osh_fputint(std::int32_t value, std::int32_t width, std::FILE* stream) {
  return width != 0 ? std::fprintf(stream, "%*d", static_cast<int>(width), static_cast<int>(value))
                    : std::fprintf(stream, "%d", static_cast<int>(value));
}

std::int32_t osh_feof(std::FILE* stream) {
  return std::feof(stream);
}

short osh_fileno(std::FILE* stream) {
  return static_cast<short>(qz::platform::file_io().StreamDescriptor(stream));
}

namespace {

// Keeps the stream locked for one line, which makes each getc much cheaper.
class StreamLock {
 public:
  explicit StreamLock(std::FILE* stream) : stream_(stream) {
    qz::platform::file_io().LockStream(stream_);
  }
  ~StreamLock() { qz::platform::file_io().UnlockStream(stream_); }
  StreamLock(const StreamLock&) = delete;
  StreamLock& operator=(const StreamLock&) = delete;

 private:
  std::FILE* stream_;
};

}  // namespace

std::int32_t osh_readLine(std::FILE* stream, char* buffer, std::int32_t size) {
  if (size < 1) return 0;
  const StreamLock lock(stream);
  std::int32_t count = 0;
  for (;;) {
    const int c = std::getc(stream);
    if (c == EOF) return count;
    buffer[count++] = static_cast<char>(c);
    if (c == '\n' || count == size) return count;
    if (c == '\r') {
      // A carriage return ends the line unless another line end follows,
      // which then belongs to this line too.
      const int next = std::getc(stream);
      if (next == EOF) return count;
      std::ungetc(next, stream);
      if (next != '\r' && next != '\n') return count;
    }
  }
}
