// A mock behind the attach seam of the platform layer, and a guard that
// installs it for the lifetime of a test.
#ifndef QZUTIL_TESTS_PLATFORM_MOCK_ATTACH_H
#define QZUTIL_TESTS_PLATFORM_MOCK_ATTACH_H

#include <gmock/gmock.h>

#include <cstdint>

#include "qzutil/platform/attach.h"

namespace qz::testing {

class MockAttach : public platform::Attach {
 public:
  MOCK_METHOD(void, DisableThreadLibraryCalls, (platform::ModuleHandle), (override));
  MOCK_METHOD(void, SetHandleCount, (std::uint32_t), (override));
};

// Installs `backend` on construction and restores the previous one on
// destruction.
class ScopedAttach {
 public:
  explicit ScopedAttach(platform::Attach* backend) : previous_(platform::set_attach(backend)) {}
  ~ScopedAttach() { platform::set_attach(previous_); }
  ScopedAttach(const ScopedAttach&) = delete;
  ScopedAttach& operator=(const ScopedAttach&) = delete;

 private:
  platform::Attach* previous_;
};

}  // namespace qz::testing

#endif  // QZUTIL_TESTS_PLATFORM_MOCK_ATTACH_H
