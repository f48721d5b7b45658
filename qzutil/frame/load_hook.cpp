// Connects the loader to EntryPoint. On Windows the loader calls DllMain for
// every attach and detach; an ELF shared object has no such callback, so the
// library runs a constructor of its own once at load time, as a process
// attach. The library has no other static initialisation.
#include "qzutil/frame/entry_point.h"

#if defined(_WIN32)

extern "C" int __stdcall DllMain(void* module, unsigned long reason, void* /*reserved*/) {
  return qz::frame::EntryPoint(module, static_cast<std::uint32_t>(reason));
}

#else

namespace {
__attribute__((constructor)) void qz_load_hook() {
  qz::frame::EntryPoint(qz::platform::this_module(), qz::frame::kProcessAttach);
}
}  // namespace

#endif
