#include "core/joystick_input.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/flight_persistence.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/settings_file.h"

namespace zu {
namespace {

using platform::ScriptedJoystickSetAxis;

constexpr int kX = 0, kY = 1, kRz = 5;

class JoystickInput : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SelectJoystick(platform::JoystickKind::kScripted);
        platform::ScriptedJoystickPlug(true);
        for (int a = 0; a < 8; ++a) ScriptedJoystickSetAxis(a, 0);
        DINPUT_USE = 1;
        DINPUT_ailerons_axis_deadzone = 0;
        DINPUT_elevator_axis_deadzone = 0;
        DINPUT_rudder_axis_deadzone = 0;
        DINPUT_ailerons_axis_dump = 0;
        DINPUT_elevator_axis_dump = 0;
        DINPUT_rudder_axis_dump = 0;
        ApServoEngaged = 0;
        FlightLoadCounter = kFlightLoadDone;
        JoystickRudderBias = 0;
        JoystickRudderSum = 0;
        JoystickRudderCount = 0;
        JoystickRudderBiasLearnt = 0;
        JoystickAileronOut = JoystickElevatorOut = 0;
        JoystickAileronAxis = JoystickElevatorAxis = JoystickRudderAxis = 0;
        const uint8_t config[6] = {0, kY, 0, kX, 0, kRz};
        ASSERT_GE(JoystickInit(config), 0);
        JoystickReady = 1;
    }
    void TearDown() override {
        JoystickRelease();
        JoystickReady = 0;
        DINPUT_USE = 0;
        FlightLoadCounter = 0;
        platform::ScriptedJoystickPlug(true);
        EXPECT_EQ(platform::ScriptedJoystickOpenHandles(), 0);
    }
};

TEST_F(JoystickInput, ChannelMapFollowsTheDeviceRecord) {
    platform::JoystickState s{};
    int32_t* fields[32] = {&s.lX,
                           &s.lY,
                           &s.lZ,
                           &s.lRx,
                           &s.lRy,
                           &s.lRz,
                           &s.lAX,
                           &s.lAY,
                           &s.lAZ,
                           &s.lARx,
                           &s.lARy,
                           &s.lARz,
                           &s.lFX,
                           &s.lFY,
                           &s.lFZ,
                           &s.lFRx,
                           &s.lFRy,
                           &s.lFRz,
                           &s.lVX,
                           &s.lVY,
                           &s.lVZ,
                           &s.lVRx,
                           &s.lVRy,
                           &s.lVRz,
                           &s.rglSlider[0],
                           &s.rglSlider[1],
                           &s.rglASlider[0],
                           &s.rglASlider[1],
                           &s.rglFSlider[0],
                           &s.rglFSlider[1],
                           &s.rglVSlider[0],
                           &s.rglVSlider[1]};
    for (int c = 0; c < 32; ++c) *fields[c] = 1000 + c;
    for (uint32_t c = 0; c < 32; ++c) EXPECT_EQ(JoystickChannel(s, c), int32_t(1000 + c)) << c;
    EXPECT_EQ(JoystickChannel(s, 32), 0);
    EXPECT_EQ(JoystickChannel(s, 255), 0);
}

TEST_F(JoystickInput, AileronCurveElevatorOffsetAndClamp) {
    ScriptedJoystickSetAxis(kX, 4096);
    ScriptedJoystickSetAxis(kY, -16383);  // full back: e = 16383 + 8192, clamped
    ReadJoystickAxes();
    EXPECT_EQ(JoystickAileronOut, 6000);
    EXPECT_EQ(JoystickElevatorOut, 16500);
    ScriptedJoystickSetAxis(kX, 16383);
    ScriptedJoystickSetAxis(kY, 0);
    ReadJoystickAxes();
    EXPECT_EQ(JoystickAileronOut, 16383);
    EXPECT_EQ(JoystickElevatorOut, 8192);
    ScriptedJoystickSetAxis(kX, -4096);
    ReadJoystickAxes();
    EXPECT_EQ(JoystickAileronOut, -6000);
}

TEST_F(JoystickInput, DeadZoneIsStrict) {
    DINPUT_ailerons_axis_deadzone = 100;
    ScriptedJoystickSetAxis(kX, 99);
    ReadJoystickAxes();
    EXPECT_EQ(JoystickAileronAxis, 0);
    ScriptedJoystickSetAxis(kX, 100);
    ReadJoystickAxes();
    EXPECT_EQ(JoystickAileronAxis, 100);
    ScriptedJoystickSetAxis(kX, -100);
    ReadJoystickAxes();
    EXPECT_EQ(JoystickAileronAxis, -100);
}

TEST_F(JoystickInput, RudderCentreIsLearntDuringTheLoad) {
    FlightLoadCounter = 100;
    ScriptedJoystickSetAxis(kRz, -2000);  // r = 2000
    for (int i = 0; i < 10; ++i) ReadJoystickAxes();
    EXPECT_EQ(JoystickRudderBias, 0);
    EXPECT_EQ(JoystickRudderAxis, 2000 * 2048 / 4096);  // uncentred meanwhile
    ScriptedJoystickSetAxis(kRz, -1000);                // r = 1000
    for (int i = 0; i < 10; ++i) ReadJoystickAxes();
    FlightLoadCounter = kFlightLoadDone;
    ScriptedJoystickSetAxis(kRz, -1500);
    ReadJoystickAxes();
    EXPECT_EQ(JoystickRudderBias, 1500);
    EXPECT_EQ(JoystickRudderAxis, 0);
    EXPECT_EQ(JoystickRudderCount, 0);
    FlightLoadCounter = 100;  // learnt once
    ReadJoystickAxes();
    EXPECT_EQ(JoystickRudderBias, 1500);
}

TEST_F(JoystickInput, NoSamplesBeforeTheLoadEndedMeansNoBias) {
    ScriptedJoystickSetAxis(kRz, -4096);
    ReadJoystickAxes();
    EXPECT_EQ(JoystickRudderBias, 0);
    EXPECT_EQ(JoystickRudderAxis, 2048);
}

TEST_F(JoystickInput, FilterFactorAndNegativeFactor) {
    DINPUT_ailerons_axis_dump = 3.0;
    ScriptedJoystickSetAxis(kX, 16383);
    ReadJoystickAxes();
    EXPECT_EQ(JoystickAileronAxis, 16383 / 4);
    ReadJoystickAxes();
    EXPECT_EQ(JoystickAileronAxis, (4095 * 3 + 16383) / 4);
    DINPUT_ailerons_axis_dump = -1.0;  // counts as 0: no division by zero
    ReadJoystickAxes();
    EXPECT_EQ(JoystickAileronAxis, 16383);
}

TEST_F(JoystickInput, ServoEngagedHoldsTheOutputsNotTheAxes) {
    ScriptedJoystickSetAxis(kX, 4096);
    ReadJoystickAxes();
    ApServoEngaged = 1;
    ScriptedJoystickSetAxis(kX, -8000);
    ScriptedJoystickSetAxis(kY, 3000);
    ReadJoystickAxes();
    EXPECT_EQ(JoystickAileronOut, 6000);
    EXPECT_EQ(JoystickElevatorOut, 8192);
    EXPECT_EQ(JoystickAileronAxis, -8000);
    EXPECT_EQ(JoystickElevatorAxis, 8192 - 3000);
}

TEST_F(JoystickInput, UnpluggedKeepsSamplesAndOutputs) {
    ScriptedJoystickSetAxis(kX, 4096);
    ScriptedJoystickSetAxis(kY, 1000);
    ReadJoystickAxes();
    const int32_t e = JoystickSampleElevator;
    platform::ScriptedJoystickPlug(false);
    ScriptedJoystickSetAxis(kX, -16383);
    for (int i = 0; i < 5; ++i) ReadJoystickAxes();
    EXPECT_EQ(JoystickAileronOut, 6000);
    EXPECT_EQ(JoystickSampleElevator, e);  // the offset is not added again
    EXPECT_EQ(JoystickElevatorOut, 8192 - 1000);
    platform::ScriptedJoystickPlug(true);  // taken again on the next poll
    ReadJoystickAxes();
    EXPECT_EQ(JoystickAileronOut, -16383);
}

TEST_F(JoystickInput, FailedStartReleasesWhatItMade) {
    JoystickRelease();
    platform::ScriptedJoystickPlug(false);
    const uint8_t config[6] = {};
    for (int i = 0; i < 10; ++i) EXPECT_LT(JoystickInit(config), 0);
    EXPECT_EQ(platform::ScriptedJoystickOpenHandles(), 0);
    EXPECT_EQ(JoystickDevice, 0u);
    platform::SelectJoystick(platform::JoystickKind::kNone);
    platform::ScriptedJoystickPlug(true);
    EXPECT_LT(JoystickInit(config), 0);
    platform::SelectJoystick(platform::JoystickKind::kScripted);
    EXPECT_GE(JoystickInit(config), 0);
    EXPECT_GE(JoystickInit(config), 0);  // a second start keeps one device
    EXPECT_EQ(platform::ScriptedJoystickOpenHandles(), 1);
}

}  // namespace
}  // namespace zu
