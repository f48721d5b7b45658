#include "qzutil/frame/entry_point.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/mock_attach.h"

namespace {

// A strict mock behind the platform seam: any call not expected fails.
class EntryPointTest : public ::testing::Test {
 protected:
  ::testing::StrictMock<qz::testing::MockAttach> attach_;
  qz::testing::ScopedAttach installed_{&attach_};
  int tag_ = 0;
  qz::platform::ModuleHandle module_ = &tag_;
};

TEST_F(EntryPointTest, LoadHookHasAlreadyRunTheFirstAttach) {
#if defined(_WIN32)
  GTEST_SKIP() << "DllMain runs only for the DLL; qz_test_shared checks its attach";
#endif
  EXPECT_FALSE(qz::frame::FirstAttachPending());
  EXPECT_CALL(attach_, DisableThreadLibraryCalls(module_));
  EXPECT_EQ(qz::frame::EntryPoint(module_, qz::frame::kProcessAttach), 1);
}

TEST_F(EntryPointTest, OnlyTheFirstProcessAttachAsksForHandles) {
  qz::frame::ResetFirstAttachForTesting();
  // Other reasons succeed and leave the first-attach step for a real attach.
  for (std::uint32_t reason : {0u, 2u, 3u, 4u, 0xFFFFFFFFu})
    EXPECT_EQ(qz::frame::EntryPoint(module_, reason), 1) << reason;
  EXPECT_TRUE(qz::frame::FirstAttachPending());
  {
    ::testing::InSequence order;
    EXPECT_CALL(attach_, DisableThreadLibraryCalls(module_));
    EXPECT_CALL(attach_, SetHandleCount(60u));
    EXPECT_CALL(attach_, DisableThreadLibraryCalls(module_)).Times(2);
  }
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(qz::frame::EntryPoint(module_, qz::frame::kProcessAttach), 1);
    EXPECT_FALSE(qz::frame::FirstAttachPending());
  }
}

}  // namespace
