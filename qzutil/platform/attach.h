// Platform seam for the calls the library makes when a process attaches it.
//
// Internal: not installed, not exported. The portable entry-point logic in
// frame/ reaches the operating system only through the backend installed
// here; tests put a fake behind the same interface.
#ifndef QZUTIL_PLATFORM_ATTACH_H
#define QZUTIL_PLATFORM_ATTACH_H

#include <cstdint>

namespace qz::platform {

// Opaque handle of the loaded library module (the HMODULE on Windows, the
// load address of the shared object on POSIX).
using ModuleHandle = void*;

class Attach {
 public:
  virtual ~Attach() = default;
  // Asks the system not to report thread attach/detach to this module.
  virtual void DisableThreadLibraryCalls(ModuleHandle module) = 0;
  // Asks the runtime for at least `count` file handles.
  virtual void SetHandleCount(std::uint32_t count) = 0;
};

// The backend in use: the native one unless a test installed another.
Attach& attach();

// Installs `backend` (nullptr restores the native one) and returns the
// previously installed backend, or nullptr if that was the native one.
// The caller keeps ownership and must restore before destroying it.
Attach* set_attach(Attach* backend);

// The native backend of this build (POSIX or Win32).
Attach& native_attach();

// The handle of the module that contains this library.
ModuleHandle this_module();

}  // namespace qz::platform

#endif  // QZUTIL_PLATFORM_ATTACH_H
