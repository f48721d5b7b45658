// The library's entry point: what it does when the system attaches or
// detaches a process or thread. Internal, not installed.
#ifndef QZUTIL_FRAME_ENTRY_POINT_H
#define QZUTIL_FRAME_ENTRY_POINT_H

#include <cstdint>

#include "qzutil/platform/attach.h"

namespace qz::frame {

// Reason codes, numbered as the Windows loader numbers them.
enum AttachReason : std::uint32_t {
  kProcessDetach = 0,
  kProcessAttach = 1,
  kThreadAttach = 2,
  kThreadDetach = 3,
};

// The number of file handles requested on the first process attach.
inline constexpr std::uint32_t kHandleCount = 60;

// On process attach: asks the platform to stop thread notifications for
// `module`, then, on the first attach of this loaded image only, asks for
// kHandleCount file handles. Every other reason does nothing. Always 1.
// The system calls this serially, so the first-attach flag takes no lock.
std::int32_t EntryPoint(platform::ModuleHandle module, std::uint32_t reason);

// True until the first process attach has run (the load hook runs it).
bool FirstAttachPending();

// Test seam: sets the first-attach flag again, as in a freshly loaded image.
void ResetFirstAttachForTesting();

}  // namespace qz::frame

#endif  // QZUTIL_FRAME_ENTRY_POINT_H
