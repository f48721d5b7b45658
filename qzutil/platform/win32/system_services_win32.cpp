// Win32 backend of the system services: the kernel's clock, Sleep and
// WinExec, the runtime's _putenv with the kernel's environment block, the shell's font folder, and
// the universal thunk to the 16-bit resource library on the old 16-bit-based platform.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "qzutil/platform/system_services.h"

namespace qz::platform {
namespace {

using UtThunk = DWORD(WINAPI*)(LPVOID buffer, DWORD user_value, LPVOID* translation_list);
using UtRegisterFn = BOOL(WINAPI*)(HANDLE module, LPSTR library16, LPSTR init_name, LPSTR proc_name,
                                   UtThunk* thunk, FARPROC callback, LPVOID buffer);
using UtUnRegisterFn = VOID(WINAPI*)(HANDLE module);
using ShGetSpecialFolderPathFn = BOOL(WINAPI*)(HWND owner, LPSTR path, int folder, BOOL create);

constexpr int kCsidlFonts = 20;

// The shell's fonts folder, or the Fonts folder beside the system
// directory; empty when neither can be had.
std::string FontFolder() {
  char folder[MAX_PATH + 1] = {};
  if (HMODULE shell = ::LoadLibraryA("SHELL32.DLL")) {  // stays loaded
    auto query = reinterpret_cast<ShGetSpecialFolderPathFn>(
        reinterpret_cast<void*>(::GetProcAddress(shell, "SHGetSpecialFolderPathA")));
    if (query == nullptr || query(nullptr, folder, kCsidlFonts, FALSE) == FALSE) folder[0] = '\0';
  }
  if (folder[0] != '\0') return folder;
  char system[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemDirectoryA(system, MAX_PATH);
  if (length == 0 || length > MAX_PATH) return std::string();
  std::string parent(system);
  const std::size_t cut = parent.rfind('\\');
  if (cut != std::string::npos) parent.erase(cut);
  return parent + "\\Fonts";
}

class Win32SystemServices final : public SystemServices {
 public:
  LocalTime Now() override {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  }

  void SleepMilliseconds(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }

  std::uint32_t Launch(const char* command_line) override {
    return ::WinExec(command_line, SW_SHOW);
  }

  // The runtime's _putenv copies the text into its own table, so the block
  // is freed here whatever the outcome. An empty value ("NAME=") would make
  // _putenv remove the variable; it still does that for the runtime's table
  // (which cannot hold an empty value, so no stale value stays behind), and
  // the system's environment block, which started programs inherit and
  // GetEnvironmentVariableA reads, then gets the empty value itself.
  std::int32_t PutEnv(char* text) override {
    const char* equals = std::strchr(text, '=');
    const bool empty = equals != nullptr && equals[1] == '\0';
    std::int32_t result = _putenv(text);
    if (result == 0 && empty) {
      const std::string name(text, static_cast<std::size_t>(equals - text));
      result = ::SetEnvironmentVariableA(name.c_str(), "") != FALSE ? 0 : -1;
    }
    std::free(text);
    return result;
  }

  char Separator() override { return '\\'; }

  void ListFontFiles(FontVisitor& visitor) override {
    const std::string folder = FontFolder();
    if (folder.empty()) return;
    const std::string pattern = folder + "\\*.tt?";
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
      if (!visitor.Visit(folder.c_str(), found.cFileName)) break;
    } while (::FindNextFileA(search, &found) != FALSE);
    ::FindClose(search);
  }

  std::uint32_t Version() override { return ::GetVersion(); }

  std::int32_t LegacyResourceInfo(std::int32_t kind, std::uint32_t* answer) override {
    if (register_ == nullptr) {
      kernel_ = ::LoadLibraryA("Kernel32.Dll");
      if (kernel_ == nullptr) return static_cast<std::int32_t>(::GetLastError());
      register_ = reinterpret_cast<UtRegisterFn>(
          reinterpret_cast<void*>(::GetProcAddress(kernel_, "UTRegister")));
      unregister_ = reinterpret_cast<UtUnRegisterFn>(
          reinterpret_cast<void*>(::GetProcAddress(kernel_, "UTUnRegister")));
      if (register_ == nullptr || unregister_ == nullptr) {
        const auto error = static_cast<std::int32_t>(::GetLastError());
        ::FreeLibrary(kernel_);
        kernel_ = nullptr;
        register_ = nullptr;
        unregister_ = nullptr;
        return error;
      }
    }
    if (!registered_) {
      char library[] = "qzresrc.dll";
      char procedure[] = "free_resource_info";
      if (register_(::GetModuleHandleA("qzutil"), library, nullptr, procedure, &thunk_, nullptr,
                    nullptr) == FALSE) {
        return static_cast<std::int32_t>(::GetLastError());
      }
      registered_ = true;
    }
    if (thunk_ == nullptr) return -1;
    *answer = thunk_(nullptr, static_cast<DWORD>(kind), nullptr);
    return 0;
  }

  void UnloadLegacyResources() override {
    if (register_ != nullptr) {
      unregister_(::GetModuleHandleA("qzutil"));
      register_ = nullptr;
      unregister_ = nullptr;
      thunk_ = nullptr;
      registered_ = false;
    }
    if (kernel_ != nullptr) {
      ::FreeLibrary(kernel_);
      kernel_ = nullptr;
    }
  }

 private:
  HMODULE kernel_ = nullptr;
  UtRegisterFn register_ = nullptr;
  UtUnRegisterFn unregister_ = nullptr;
  UtThunk thunk_ = nullptr;
  bool registered_ = false;
};

}  // namespace

SystemServices& native_system_services() {
  static Win32SystemServices backend;
  return backend;
}

}  // namespace qz::platform
