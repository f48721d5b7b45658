// Installers of every platform seam: a test may put a fake behind any of them;
// nullptr brings back the native backend. One pointer per seam, null until a
// fake is installed, so loading the library runs no code.
#include "qzutil/platform/attach.h"
#include "qzutil/platform/file_io.h"
#include "qzutil/platform/file_system.h"
#include "qzutil/platform/profile.h"
#include "qzutil/platform/system_services.h"

namespace qz::platform {
namespace {

template <class Backend>
Backend*& installed() {
  static Backend* backend = nullptr;
  return backend;
}

template <class Backend>
Backend& active(Backend& native) {
  Backend* fake = installed<Backend>();
  return fake != nullptr ? *fake : native;
}

template <class Backend>
Backend* swap_installed(Backend* backend) {
  Backend* previous = installed<Backend>();
  installed<Backend>() = backend;
  return previous;
}

}  // namespace

Attach& attach() {
  return active(native_attach());
}
Attach* set_attach(Attach* backend) {
  return swap_installed(backend);
}

Profile& profile() {
  return active(native_profile());
}
Profile* set_profile(Profile* backend) {
  return swap_installed(backend);
}

FileSystem& file_system() {
  return active(native_file_system());
}
FileSystem* set_file_system(FileSystem* backend) {
  return swap_installed(backend);
}

FileIo& file_io() {
  return active(native_file_io());
}
FileIo* set_file_io(FileIo* backend) {
  return swap_installed(backend);
}

SystemServices& system_services() {
  return active(native_system_services());
}
SystemServices* set_system_services(SystemServices* backend) {
  return swap_installed(backend);
}

}  // namespace qz::platform
