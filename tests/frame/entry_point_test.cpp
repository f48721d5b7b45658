#include "qzutil/frame/entry_point.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "qzutil/platform/attach.h"

namespace {

using ::testing::InSequence;

class MockAttach : public qz::platform::Attach {
 public:
  MOCK_METHOD(void, DisableThreadLibraryCalls, (qz::platform::ModuleHandle), (override));
  MOCK_METHOD(void, SetHandleCount, (std::uint32_t), (override));
};

class EntryPointTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = qz::platform::set_attach(&attach_); }
  void TearDown() override { qz::platform::set_attach(previous_); }

  ::testing::StrictMock<MockAttach> attach_;
  qz::platform::Attach* previous_ = nullptr;
  int module_tag_ = 0;
  qz::platform::ModuleHandle module_ = &module_tag_;
};

TEST_F(EntryPointTest, LoadHookHasAlreadyAttachedTheProcess) {
  // The load hook ran the first attach before main; a later attach therefore
  // only stops thread notifications.
  EXPECT_FALSE(qz::frame::FirstAttachPending());
  EXPECT_CALL(attach_, DisableThreadLibraryCalls(module_));
  EXPECT_EQ(qz::frame::EntryPoint(module_, qz::frame::kProcessAttach), 1);
}

TEST_F(EntryPointTest, FirstAttachAsksForHandlesOnceAfterDisablingThreadCalls) {
  qz::frame::ResetFirstAttachForTesting();
  {
    InSequence order;
    EXPECT_CALL(attach_, DisableThreadLibraryCalls(module_));
    EXPECT_CALL(attach_, SetHandleCount(60u));
    EXPECT_CALL(attach_, DisableThreadLibraryCalls(module_)).Times(2);
  }
  EXPECT_EQ(qz::frame::EntryPoint(module_, qz::frame::kProcessAttach), 1);
  EXPECT_FALSE(qz::frame::FirstAttachPending());
  EXPECT_EQ(qz::frame::EntryPoint(module_, qz::frame::kProcessAttach), 1);
  EXPECT_EQ(qz::frame::EntryPoint(module_, qz::frame::kProcessAttach), 1);
}

TEST_F(EntryPointTest, OtherReasonsDoNothingAndSucceed) {
  qz::frame::ResetFirstAttachForTesting();
  for (std::uint32_t reason : {0u, 2u, 3u, 4u, 0xFFFFFFFFu}) {
    EXPECT_EQ(qz::frame::EntryPoint(module_, reason), 1) << reason;
  }
  // None of them consumed the first-attach step.
  EXPECT_TRUE(qz::frame::FirstAttachPending());
  qz::frame::EntryPoint(nullptr, qz::frame::kProcessDetach);
  EXPECT_TRUE(qz::frame::FirstAttachPending());
  EXPECT_CALL(attach_, DisableThreadLibraryCalls(module_));
  EXPECT_CALL(attach_, SetHandleCount(60u));
  qz::frame::EntryPoint(module_, qz::frame::kProcessAttach);
}

}  // namespace
