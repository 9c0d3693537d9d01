#include "core/air_data.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/electrical_system.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/systems_tick.h"
#include "zu/platform/ini_file.h"

namespace zu {
namespace {

class AirDataTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
        BusPowered.set(kPoweredLeftEssential, 1);
        BusPowered.set(kPoweredRightMainDc, 1);
        BusPowered.set(kPoweredLeftMainDc, 1);
        Altimeter1Baro.hpa = Altimeter2Baro.hpa = 1013.25f;
        AdcTestTimer1 = AdcTestTimer2 = 0;
        PressureAltitude = 5000.0f;
        FrameChangeBits.store(1);
        OnGround = 0;
        Clock1State = {};
        Clock2State = {};
        ClockSetBytes[0] = ClockSetBytes[1] = 255;
        SimClockUtc[0] = 15;
        SimClockUtc[1] = 1;
        SimClockUtc[2] = 12;
    }
};

TEST_F(AirDataTest, BaroAltitudeFollowsTheSetting) {
    AirDataUpdate();
    EXPECT_FLOAT_EQ(BaroAltitude1, 5000.0f);
    Altimeter1Baro.hpa = 1014.25f;
    Altimeter2Baro.hpa = 1012.25f;
    AirDataUpdate();
    EXPECT_NEAR(BaroAltitude1, 5030.411, 0.01);  // reads higher with a higher setting
    EXPECT_NEAR(BaroAltitude2, 4969.589, 0.01);
    // An unpowered side keeps its last value.
    BusPowered.set(kPoweredRightMainDc, 0);
    PressureAltitude = 6000.0f;
    AirDataUpdate();
    EXPECT_NEAR(BaroAltitude2, 4969.589, 0.01);
}

TEST_F(AirDataTest, AirDataTestShowsItsAltitudeAbove64) {
    AdcTestTimer1 = 66;  // 65 after this pass
    AirDataUpdate();
    EXPECT_FLOAT_EQ(BaroAltitude1, kAirDataTestAltitude);
    AirDataUpdate();  // 64
    EXPECT_FLOAT_EQ(BaroAltitude1, 5000.0f);
    EXPECT_EQ(AdcTestTimer1, 64);
}

TEST_F(AirDataTest, RecorderTestRunsEveryEighthTickOnGround) {
    OnGround = 255;
    CvrTestTimer = 4;
    FrameChangeBits.store(0x0F);
    AirDataUpdate();
    EXPECT_EQ(CvrTestTimer, 3);
    EXPECT_EQ(CvrTestDone, 0);
    FrameChangeBits.store(0x01);
    AirDataUpdate();
    EXPECT_EQ(CvrTestTimer, 3);
    FrameChangeBits.store(0x0F);
    AirDataUpdate();
    AirDataUpdate();
    EXPECT_EQ(CvrTestTimer, 0);
    EXPECT_EQ(CvrTestDone, 1);
    OnGround = 0;
    CvrTestTimer = 500;
    AirDataUpdate();
    EXPECT_EQ(CvrTestTimer, 0);
    EXPECT_EQ(RefreshCountdown[1], 25);
}

TEST_F(AirDataTest, ClockShowsTimeOfDayOncePerSecond) {
    ClockUpdate(0);
    EXPECT_STREQ(Clock1State.texts[0], "15");
    EXPECT_STREQ(Clock1State.texts[1], "01");
    EXPECT_STREQ(Clock1State.texts[2], "12");
    EXPECT_EQ(Clock1State.elapsed[0], 1);
    ClockUpdate(0);  // same second: nothing
    EXPECT_EQ(Clock1State.elapsed[0], 1);
    ClockUpdate(5);  // no such clock
}

TEST_F(AirDataTest, ElapsedTimeRollsOverAtMidnight) {
    Clock1State.elapsed[0] = 59;
    Clock1State.elapsed[1] = 59;
    Clock1State.elapsed[2] = 23;
    Clock1State.display_mode = 1;
    ClockUpdate(0);
    EXPECT_STREQ(Clock1State.texts[0], "00");
    EXPECT_STREQ(Clock1State.texts[1], "00");
    EXPECT_STREQ(Clock1State.texts[2], "00");
}

TEST_F(AirDataTest, ChronometerRunsAndResets) {
    Clock2State.chrono_control = 1;
    Clock2State.chrono[0] = 59;
    Clock2State.display_mode = 2;
    ClockUpdate(1);
    EXPECT_STREQ(Clock2State.texts[0], "00");
    EXPECT_STREQ(Clock2State.texts[1], "01");
    Clock2State.chrono_control = -1;
    Clock2State.elapsed[1] = 5;
    SimClockUtc[0] = 16;
    ClockUpdate(1);
    EXPECT_EQ(Clock2State.chrono_control, 0);
    EXPECT_EQ(Clock2State.chrono[1], 0);
    EXPECT_EQ(Clock2State.elapsed[1], 5);  // a clock bus is on
    EXPECT_EQ(RefreshCountdown[4], 37);
    BusPowered.set(kPoweredRightMainDc, 0);
    BusPowered.set(kPoweredLeftMainDc, 0);
    Clock2State.chrono_control = -1;
    SimClockUtc[0] = 17;
    ClockUpdate(1);
    EXPECT_EQ(Clock2State.elapsed[1], 0);
}

TEST_F(AirDataTest, SetControlSendsSecondsOnce) {
    Clock1State.set_control = -1;
    ClockUpdate(0);
    EXPECT_EQ(ClockSetBytes[0], 16);
    SimClockUtc[0] = 16;
    ClockUpdate(0);  // pending: waits for the write batch
    EXPECT_EQ(Clock1State.last_second, 15);
    ClockSetBytes[0] = 255;
    Clock1State.set_control = 1;
    Clock1State.entered_value = 42;
    ClockUpdate(0);
    EXPECT_EQ(ClockSetBytes[0], 42);
    ClockSetBytes[0] = 255;
    Clock1State.set_control = -1;
    SimClockUtc[0] = 55;
    ClockUpdate(0);
    EXPECT_EQ(ClockSetBytes[0], 255);  // no advance from 50 up
    Clock1State.second_control = -1;
    SimClockUtc[0] = 56;
    ClockUpdate(0);
    EXPECT_EQ(Clock1State.display_bright, 1);
}

TEST_F(AirDataTest, SelectedAltitudeIsSaved) {
    const std::string path =
        ::testing::TempDir() + "air_data_test_" + std::to_string(::getpid()) + ".flt";
    std::remove(path.c_str());
    AIRDATA_comp_selected_alt = 12500;
    ASSERT_TRUE(AirDataStateSave(path.c_str()));
    int32_t back = 0;
    ASSERT_TRUE(platform::GetPrivateProfileStruct("zodudori", "AIRDATA_comp_selected_alt", &back,
                                                  sizeof back, path.c_str()));
    EXPECT_EQ(back, 12500);
    std::remove(path.c_str());
}

}  // namespace
}  // namespace zu
