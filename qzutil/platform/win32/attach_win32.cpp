// Win32 backend of the attach calls: the kernel functions themselves.
#include <windows.h>

#include "qzutil/platform/attach.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace qz::platform {
namespace {

class Win32Attach final : public Attach {
 public:
  void DisableThreadLibraryCalls(ModuleHandle module) override {
    ::DisableThreadLibraryCalls(static_cast<HMODULE>(module));
  }
  // SetHandleCount is a no-op on every Win32 platform since NT but is kept for
  // the older systems the library still loads on.
  void SetHandleCount(std::uint32_t count) override { ::SetHandleCount(count); }
};

}  // namespace

Attach& native_attach() {
  static Win32Attach backend;
  return backend;
}

ModuleHandle this_module() {
  return reinterpret_cast<HMODULE>(&__ImageBase);
}

}  // namespace qz::platform
