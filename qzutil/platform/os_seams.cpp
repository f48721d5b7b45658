// Installers of the operating-system layer's seams: a test may put a fake
// behind any of them; nullptr brings back the native backend.
#include "qzutil/platform/file_io.h"
#include "qzutil/platform/file_system.h"
#include "qzutil/platform/system_services.h"

namespace qz::platform {
namespace {

template <class Backend>
Backend*& installed() {
  static Backend* backend = nullptr;
  return backend;
}

template <class Backend>
Backend* swap_installed(Backend* backend) {
  Backend* previous = installed<Backend>();
  installed<Backend>() = backend;
  return previous;
}

}  // namespace

FileSystem& file_system() {
  FileSystem* fake = installed<FileSystem>();
  return fake != nullptr ? *fake : native_file_system();
}
FileSystem* set_file_system(FileSystem* backend) {
  return swap_installed(backend);
}

FileIo& file_io() {
  FileIo* fake = installed<FileIo>();
  return fake != nullptr ? *fake : native_file_io();
}
FileIo* set_file_io(FileIo* backend) {
  return swap_installed(backend);
}

SystemServices& system_services() {
  SystemServices* fake = installed<SystemServices>();
  return fake != nullptr ? *fake : native_system_services();
}
SystemServices* set_system_services(SystemServices* backend) {
  return swap_installed(backend);
}

}  // namespace qz::platform
