// Linked into the Windows DLL only (not into programs that link the library's
// objects). The MinGW-w64 start-up code of a DLL refers to this pointer; left
// to itself the linker takes it from the runtime's TLS support, which gives
// the DLL a thread-local-storage directory with callbacks. A DLL with such a
// directory cannot give up thread attach and detach calls:
// DisableThreadLibraryCalls fails for it. The library has no thread-local
// data of its own, so it defines the pointer as null: no TLS directory, no
// callbacks.
//
// The cost: per-thread blocks that the statically linked compiler runtime
// may allocate for a host thread inside the DLL (its exception globals after
// an exception on that thread, its thread record after a lock was taken) are
// not released when that thread ends.
#include <windows.h>

extern "C" {
// NOLINTNEXTLINE(bugprone-reserved-identifier,readability-identifier-naming)
extern const PIMAGE_TLS_CALLBACK __dyn_tls_init_callback;
const PIMAGE_TLS_CALLBACK __dyn_tls_init_callback = nullptr;
}
