// POSIX backend of the attach calls. A shared object on POSIX receives no
// thread notifications and has no per-process handle limit to raise, so both
// calls are deliberately without effect.
#include <dlfcn.h>

#include "qzutil/platform/attach.h"

namespace qz::platform {
namespace {

class PosixAttach final : public Attach {
 public:
  void DisableThreadLibraryCalls(ModuleHandle /*module*/) override {}
  void SetHandleCount(std::uint32_t /*count*/) override {}
};

}  // namespace

Attach& native_attach() {
  static PosixAttach backend;
  return backend;
}

ModuleHandle this_module() {
  Dl_info info{};
  // Any address inside this object identifies the module; dli_fbase is its
  // load address, the closest POSIX analogue of a module handle.
  if (dladdr(reinterpret_cast<void*>(&this_module), &info) == 0) return nullptr;
  return info.dli_fbase;
}

}  // namespace qz::platform
