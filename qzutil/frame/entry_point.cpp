#include "qzutil/frame/entry_point.h"

namespace qz::frame {
namespace {
// Set while the image is loaded but not yet attached; cleared by the first
// process attach and never set again (outside tests).
bool g_first_attach = true;
}  // namespace

std::int32_t EntryPoint(platform::ModuleHandle module, std::uint32_t reason) {
  if (reason == kProcessAttach) {
    platform::Attach& system = platform::attach();
    system.DisableThreadLibraryCalls(module);
    if (g_first_attach) {
      system.SetHandleCount(kHandleCount);
      g_first_attach = false;
    }
  }
  return 1;
}

bool FirstAttachPending() {
  return g_first_attach;
}

void ResetFirstAttachForTesting() {
  g_first_attach = true;
}

}  // namespace qz::frame
