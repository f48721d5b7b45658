#include "qzutil/platform/attach.h"

namespace qz::platform {
namespace {
Attach* g_installed = nullptr;
}  // namespace

Attach& attach() {
  return g_installed != nullptr ? *g_installed : native_attach();
}

Attach* set_attach(Attach* backend) {
  Attach* previous = g_installed;
  g_installed = backend;
  return previous;
}

}  // namespace qz::platform
