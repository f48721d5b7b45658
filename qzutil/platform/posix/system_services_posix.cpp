// POSIX backend of the system services: the local clock, sleeping, starting
// programs without waiting for them, the environment and the TrueType files
// of the system font folders. There is no old 16-bit platform here, so the
// version word never asks for the resource library.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "qzutil/platform/posix/font_search.h"
#include "qzutil/platform/posix/native_names.h"
#include "qzutil/platform/system_services.h"

namespace qz::platform {
namespace {

constexpr std::uint32_t kStarted = 33;     // any launch code above 31
constexpr std::uint32_t kNotFound = 2;     // the system's "file not found"
constexpr std::uint32_t kNoResources = 0;  // the launcher's "out of resources"

// Splits a command line at blanks and tabs; double quotes group blanks into
// one argument and are removed. There is no escape character.
std::vector<std::string> SplitCommandLine(const char* line) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;
  bool quoted = false;
  for (const char* p = line; *p != '\0'; ++p) {
    if (*p == '"') {
      quoted = !quoted;
      in_word = true;
    } else if ((*p == ' ' || *p == '\t') && !quoted) {
      if (in_word) words.push_back(word);
      word.clear();
      in_word = false;
    } else {
      word += *p;
      in_word = true;
    }
  }
  if (in_word) words.push_back(word);
  return words;
}

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The program's path as execv needs it: as given when it holds a slash,
// else the first match on PATH. Empty when there is none. `program` is
// already in native form.
std::string FindProgram(const std::string& program) {
  if (program.empty()) return program;
  if (program.find('/') != std::string::npos) {
    return IsExecutableFile(program) ? program : std::string();
  }
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  for (std::size_t start = 0; start <= dirs.size();) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + program;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return std::string();
}

// Closes every descriptor from 3 up except `keep`; kernels without
// close_range get a plain loop over the usual range.
void CloseAllBut(int keep) {
  bool closed = false;
#if defined(SYS_close_range)
  const auto from = [](int fd, unsigned last) {
    return syscall(SYS_close_range, fd, last, 0U) == 0;
  };
  closed = keep < 3
               ? from(3, ~0U)
               : (keep == 3 || from(3, static_cast<unsigned>(keep - 1))) && from(keep + 1, ~0U);
#endif
  for (int fd = 3; !closed && fd < 1024; ++fd) {
    if (fd != keep) close(fd);
  }
}

// Runs in the forked child: only async-signal-safe calls from here on. The
// grandchild keeps only the standard three descriptors and `status`, the
// close-on-exec end of a pipe: a successful exec closes it unwritten, a
// failed one writes the errno into it.
[[noreturn]] void ExecDetached(const char* program, char* const* argv, int status) {
  const pid_t grandchild = fork();
  if (grandchild == 0) {
    CloseAllBut(status);
    execv(program, argv);
    const int error = errno;
    [[maybe_unused]] const ssize_t ignored = write(status, &error, sizeof error);
    _exit(127);
  }
  _exit(grandchild < 0 ? 1 : 0);
}

class PosixSystemServices final : public SystemServices {
 public:
  LocalTime Now() override {
    const time_t now = time(nullptr);
    struct tm local {};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
  }

  void SleepMilliseconds(std::uint32_t milliseconds) override {
    timespec left{static_cast<time_t>(milliseconds / 1000),
                  static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
  }

  // The program runs as a grandchild: the intermediate child exits at once
  // and is reaped here, so the caller is left with no child to wait for and
  // the program, adopted by the system, leaves no zombie behind.
  std::uint32_t Launch(const char* command_line) override {
    std::vector<std::string> words = SplitCommandLine(command_line);
    if (words.empty()) return kNotFound;
    const std::string program = FindProgram(posix::NativeName(words[0].c_str()));
    if (program.empty()) return kNotFound;
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words)
      argv.push_back(word.data());
    argv.push_back(nullptr);

    int status[2];
    if (pipe2(status, O_CLOEXEC) != 0) return kNoResources;
    const pid_t child = fork();
    if (child < 0) {
      close(status[0]);
      close(status[1]);
      return kNoResources;
    }
    if (child == 0) ExecDetached(program.c_str(), argv.data(), status[1]);
    close(status[1]);
    int exit_status = 0;
    while (waitpid(child, &exit_status, 0) < 0 && errno == EINTR) {
    }
    std::uint32_t code = kNoResources;
    if (WIFEXITED(exit_status) && WEXITSTATUS(exit_status) == 0) {
      // The pipe reads empty once the program is running, and holds the
      // errno when the exec failed (not an executable format, say).
      int error = 0;
      ssize_t got;
      do {
        got = read(status[0], &error, sizeof error);
      } while (got < 0 && errno == EINTR);
      code = got == 0 ? kStarted : kNotFound;
    }
    close(status[0]);
    return code;
  }

  std::int32_t PutEnv(char* text) override {
    char* equals = std::strchr(text, '=');
    std::int32_t result = -1;
    if (equals != nullptr && equals != text) {
      *equals = '\0';
      result = setenv(text, equals + 1, 1) == 0 ? 0 : -1;
    } else {
      errno = EINVAL;
    }
    std::free(text);  // setenv keeps copies
    return result;
  }

  char Separator() override { return '/'; }

  void ListFontFiles(FontVisitor& visitor) override {
    for (const char* folder : {"/usr/share/fonts", "/usr/local/share/fonts"}) {
      if (!posix::CollectTrueTypeFiles(folder, visitor)) return;
    }
  }

  std::uint32_t Version() override { return 0; }
  std::int32_t LegacyResourceInfo(std::int32_t /*kind*/, std::uint32_t* answer) override {
    *answer = 100;
    return 0;
  }
  void UnloadLegacyResources() override {}
};

}  // namespace

SystemServices& native_system_services() {
  static PosixSystemServices backend;
  return backend;
}

}  // namespace qz::platform
