#include "zu/platform/joystick.h"

#include <gtest/gtest.h>

namespace zu::platform {
namespace {

class JoystickLayer : public ::testing::Test {
  protected:
    void TearDown() override {
        JoystickClose(handle_);
        SelectJoystick(JoystickKind::kScripted);
        ScriptedJoystickPlug(true);
        for (int a = 0; a < 8; ++a) ScriptedJoystickSetAxis(a, 0);
    }
    JoystickHandle handle_ = 0;
};

TEST_F(JoystickLayer, ScriptedStickNeedsAcquireAndMapsTheRange) {
    SelectJoystick(JoystickKind::kScripted);
    ASSERT_EQ(JoystickOpen(&handle_), kJoystickOk);
    EXPECT_EQ(JoystickPoll(handle_), kJoystickNotAcquired);
    JoystickState s{};
    EXPECT_EQ(JoystickGetState(handle_, &s), kJoystickNotAcquired);
    ASSERT_EQ(JoystickSetRange(handle_, 0, 1000), kJoystickOk);
    ASSERT_EQ(JoystickAcquire(handle_), kJoystickOk);
    ScriptedJoystickSetAxis(0, 16383);
    ScriptedJoystickSetAxis(6, -16383);
    ScriptedJoystickSetAxis(5, 99999);  // clamped
    ASSERT_EQ(JoystickGetState(handle_, &s), kJoystickOk);
    EXPECT_EQ(s.lX, 1000);
    EXPECT_EQ(s.lY, 500);
    EXPECT_EQ(s.lRz, 1000);
    EXPECT_EQ(s.rglSlider[0], 0);
    EXPECT_EQ(s.rgdwPOV[0], 0xFFFFFFFFu);

    // Unplugged: every call fails and the device must be taken again.
    ScriptedJoystickPlug(false);
    EXPECT_EQ(JoystickPoll(handle_), kJoystickNoDevice);
    ScriptedJoystickPlug(true);
    EXPECT_EQ(JoystickPoll(handle_), kJoystickNotAcquired);
    EXPECT_EQ(JoystickAcquire(handle_), kJoystickOk);
    EXPECT_EQ(JoystickPoll(handle_), kJoystickOk);
}

TEST_F(JoystickLayer, NoDeviceAndBadHandles) {
    SelectJoystick(JoystickKind::kNone);
    EXPECT_EQ(JoystickOpen(&handle_), kJoystickNoDevice);
    EXPECT_EQ(handle_, 0u);
    SelectJoystick(JoystickKind::kEvdev, "/nonexistent/event99");
    EXPECT_EQ(JoystickOpen(&handle_), kJoystickNoDevice);
    JoystickState s{};
    EXPECT_EQ(JoystickGetState(0, &s), kJoystickBadHandle);
    EXPECT_EQ(JoystickPoll(77), kJoystickBadHandle);
    JoystickClose(77);  // ignored
}

}  // namespace
}  // namespace zu::platform
