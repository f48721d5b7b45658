#include "qzutil/platform/profile.h"

namespace qz::platform {
namespace {
Profile* g_installed = nullptr;
}  // namespace

Profile& profile() {
  return g_installed != nullptr ? *g_installed : native_profile();
}

Profile* set_profile(Profile* backend) {
  Profile* previous = g_installed;
  g_installed = backend;
  return previous;
}

}  // namespace qz::platform
