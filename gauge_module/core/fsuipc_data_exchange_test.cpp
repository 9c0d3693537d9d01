#include "core/fsuipc_data_exchange.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "core/autopilot_control_laws.h"
#include "core/blade_angle_locator.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_client.h"
#include "core/fsuipc_script_window.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "core/settings_file.h"
#include "core/systems_tick.h"
#include "instruments/adf_control_heads.h"
#include "instruments/com_control_heads.h"
#include "instruments/vor_control_heads.h"
#include "zu/platform/timer.h"

namespace zu {
namespace {

class FsuipcExchange : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetClockMode(platform::ClockMode::Lockstep);
        script_ = std::make_unique<testing::FsuipcScriptWindow>();
        testing::ScriptWindowStart(script_.get(), "FS98MAIN");
        uint32_t r = 0;
        ASSERT_TRUE(FsuipcOpen(7, &r));
        HostIoStartDelay = 0;
        HostPassChangeBits = 0x01;
        FrameChangeBits = 0;
        for (int i = 1; i <= 4; ++i) NavSources[i].frequency = NavSources[i].frequency_sent;
        // Nothing pending and nothing sent yet.
        Com1Radio.send_frequency = Com1Radio.sent_frequency = 119;
        Com2Radio.send_frequency = Com2Radio.sent_frequency = 119;
        ButtonSlotClaimed[0] = ButtonSlotClaimed[1] = 0;
    }
    void TearDown() override {
        FsuipcClose();
        testing::ScriptWindowStop(script_.get());
    }
    uint8_t Get8(uint32_t offset) const { return script_->memory[offset]; }
    uint16_t Get16(uint32_t offset) const { return script_->Get16(offset); }
    void Set16(uint32_t offset, uint16_t v) { std::memcpy(script_->memory + offset, &v, 2); }
    double GetDouble(uint32_t offset) const {
        double v;
        std::memcpy(&v, script_->memory + offset, sizeof v);
        return v;
    }
    void SetDouble(uint32_t offset, double v) {
        std::memcpy(script_->memory + offset, &v, sizeof v);
    }

    std::unique_ptr<testing::FsuipcScriptWindow> script_;
};

TEST(FsuipcEncodings, BcdAndPositionUnits) {
    EXPECT_EQ(BcdEncode4(1802), 0x1802);
    EXPECT_EQ(BcdEncode4(12345), 0x2345);
    EXPECT_EQ(BcdDecode4(0x3795), 3795);
    EXPECT_EQ(BcdDecode4(0xFFFF1802u), 1802);
    // Longitudes are wrapped into -180..180 and +180 goes as -180, so the
    // 64-bit product never overflows.
    EXPECT_EQ(LongitudeToUnits(180.0), LongitudeToUnits(-180.0));
    EXPECT_EQ(LongitudeToUnits(190.0), LongitudeToUnits(-170.0));
    EXPECT_LT(LongitudeToUnits(179.999), 0x7FFFFFFFFFFFFFFF);
    EXPECT_GT(LongitudeToUnits(179.999), 0);
    EXPECT_EQ(LatitudeToUnits(95.0), LatitudeToUnits(90.0));
    EXPECT_NEAR(static_cast<double>(LatitudeToUnits(45.0)) / kLatitudeUnits, 45.0, 1e-9);
}

TEST_F(FsuipcExchange, RadiosAreSentInBcdAndClamped) {
    Com1Radio.send_frequency = 11802;  // 118.025 without its last 5 kHz
    NavSources[kNavVor1].frequency = 10000;
    NavSources[kNavVor2].frequency = 13850;
    NavSources[kNavAdf1].frequency = 4155;
    NavSources[kNavAdf2].frequency = 12345;
    FsuipcWriteBatch();
    EXPECT_EQ(Get16(0x034E), 0x1802);
    EXPECT_EQ(Get8(0x038A), 2);
    EXPECT_EQ(Get16(0x0350), 0x0800);
    EXPECT_EQ(NavSources[kNavVor1].frequency, 10800);
    EXPECT_EQ(Get16(0x0352), 0x3795);
    EXPECT_EQ(Get8(0x0388), 2);
    EXPECT_EQ(Get16(0x034C), 0x0415);
    EXPECT_EQ(Get16(0x0356), 5);
    EXPECT_EQ(Get16(0x02D4), 0x0234);
    EXPECT_EQ(Get16(0x02D6), 0x0105);
    EXPECT_EQ(Get8(0x0389), 2);

    // Nothing is sent again while nothing changed.
    Set16(0x034E, 0);
    Set16(0x0350, 0);
    FsuipcWriteBatch();
    EXPECT_EQ(Get16(0x034E), 0);
    EXPECT_EQ(Get16(0x0350), 0);

    // An ADF frequency below the band goes out as 190.0 kHz.
    NavSources[kNavAdf1].frequency = 1000;
    FsuipcWriteBatch();
    EXPECT_EQ(NavSources[kNavAdf1].frequency, 1900);
    EXPECT_EQ(Get16(0x034C), 0x0190);
    EXPECT_EQ(Get16(0x0356), 0);
}

TEST_F(FsuipcExchange, PollRetunesTheHeadsFromTheSimulator) {
    Set16(0x034E, 0x1802);
    Set16(0x0350, 0x1450);
    Set16(0x034C, 0x0234);
    Set16(0x0356, 0x0105);
    Set16(0x0274, 0);  // frame-rate word 0 counts as 1
    FsuipcPoll();
    EXPECT_NEAR(Com1Radio.active, 118.025, 1e-4);
    EXPECT_EQ(RadioChangedFlag, 1);
    EXPECT_NEAR(Vor1Radio.active, 114.50, 1e-4);
    EXPECT_EQ(NavSources[kNavVor1].frequency, 11450);
    EXPECT_NEAR(Adf1Radio.active, 1234.5, 1e-3);
    EXPECT_EQ(NavSources[kNavAdf1].frequency, 12345);
    EXPECT_EQ(FrameRate, 32768);

    // What the simulator tuned is not sent back to it.
    Set16(0x0350, 0);
    FsuipcWriteBatch();
    EXPECT_EQ(Get16(0x0350), 0);
}

// The echo of the module's own write is not a retune: a head that moved on
// meanwhile keeps its new frequency. A write the batch had to clamp does come
// back.
TEST_F(FsuipcExchange, OwnEchoDoesNotRetuneTheHeads) {
    Com1Radio.active = 121.525f;
    Com1Radio.send_frequency = 12152;
    NavSources[kNavVor1].frequency = 11120;
    NavSources[kNavAdf1].frequency = 4155;
    FsuipcWriteBatch();
    ASSERT_EQ(Get16(0x034E), 0x2152);
    // The heads move on before the next poll reads the echo.
    Com1Radio.active = 122.525f;
    Com1Radio.send_frequency = 12252;
    Vor1Radio.active = 111.25f;
    NavSources[kNavVor1].frequency = 11125;
    Adf1Radio.active = 416.0f;
    NavSources[kNavAdf1].frequency = 4160;
    FsuipcPoll();
    EXPECT_FLOAT_EQ(Com1Radio.active, 122.525f);
    EXPECT_FLOAT_EQ(Vor1Radio.active, 111.25f);
    EXPECT_EQ(NavSources[kNavVor1].frequency, 11125);
    EXPECT_FLOAT_EQ(Adf1Radio.active, 416.0f);
    // A real retune by the simulator is taken.
    Set16(0x034E, 0x2400);
    FsuipcPoll();
    EXPECT_NEAR(Com1Radio.active, 124.0, 1e-4);
    // An ADF frequency below what the batch sends comes back clamped.
    Adf1Radio.active = 109.5f;
    NavSources[kNavAdf1].frequency = 1095;
    FsuipcWriteBatch();
    ASSERT_EQ(Get16(0x034C), 0x0190);
    NavSources[kNavAdf1].frequency = 1095;  // the head writes it again
    FsuipcPoll();
    EXPECT_FLOAT_EQ(Adf1Radio.active, 190.0f);
}

TEST_F(FsuipcExchange, SecondPassConstantsLightsAndTheStartHold) {
    HostIoStartDelay = 2;
    HostPassChangeBits = 0x03;
    const uint32_t batches = script_->batches;
    FsuipcWriteBatch();
    EXPECT_EQ(script_->batches, batches);  // nothing while the start hold runs

    HostIoStartDelay = 0;
    StartupEventsSent = 1;
    ExteriorPanelLights = 1;
    ExteriorNavLights = 1;
    RefreshCountdown[9] = 0;
    FsuipcWriteBatch();
    EXPECT_EQ(Get16(0x0330), 16212);
    EXPECT_EQ(Get8(0x3102), 1);
    EXPECT_EQ(Get8(0x3103), 1);
    EXPECT_EQ(script_->Get32(0x2EE0), 1u);
    EXPECT_EQ(Get8(0x0888), 12);
    EXPECT_EQ(Get16(0x0D0C), 0x21);

    // While the clock and caution panels' countdown runs, the panel-light bit
    // is inverted.
    RefreshCountdown[9] = 2;
    FsuipcWriteBatch();
    EXPECT_EQ(Get16(0x0D0C), 0x01);
    EXPECT_EQ(RefreshCountdown[9], 1);
    ExteriorPanelLights = 0;
    ExteriorNavLights = 0;
    RefreshCountdown[9] = 0;
}

TEST_F(FsuipcExchange, TrafficCountIsHeldAtTheTableSize) {
    TcasSlotCount = 0;
    TcasSlotSize = 0;
    Set16(kTrafficSlotCountOffset, 500);
    Set16(kTrafficSlotSizeOffset, 40);
    TcasTrafficRead();
    EXPECT_EQ(TcasSlotCount, 500);
    script_->Set32(kTrafficSlotsOffset, 77);
    script_->Set32(kTrafficSlotsOffset + 40 * 5, 78);
    HostPassChangeBits = 0x07;
    TcasTrafficRead();
    EXPECT_EQ(TcasSlotsRead, kTcasTrafficSlotCapacity);
    EXPECT_EQ(TcasTrafficCount, 2);
    EXPECT_EQ(TcasTrafficSlots[5].identifier, 78u);
}

TEST_F(FsuipcExchange, ButtonSlotsTakeOnlyAFreeSlot) {
    AP_TCS_JOYSTICK_NUMBER = 1;
    AP_TCS_BUTTON_NUMBER = 3;
    AP_DISC_JOYSTICK_NUMBER = 1;
    AP_DISC_BUTTON_NUMBER = 4;
    for (uint32_t o = kButtonSlotFirst; o < kButtonSlotEnd - 4; o += 4) script_->memory[o] = 0x81;
    JoystickButtonsSend();
    // One slot left: the first button takes it, the second finds none and
    // writes nothing.
    EXPECT_EQ(ButtonSlotClaimed[0], 1);
    EXPECT_EQ(ButtonSlotOffset[0], kButtonSlotEnd - 4);
    EXPECT_EQ(script_->memory[kButtonSlotEnd - 4], 129);
    EXPECT_EQ(script_->memory[kButtonSlotEnd - 3], 3);
    EXPECT_EQ(ButtonSlotClaimed[1], 0);
    EXPECT_EQ(script_->memory[kButtonSlotEnd], 0);

    // A press reported in the slot sets the button's flag and is cleared.
    script_->memory[kButtonSlotEnd - 1] = 0x03;
    FsuipcPoll();
    EXPECT_EQ(TcsButtonState.load(), 1);
    EXPECT_EQ(ButtonSlotBytes[0][3], 0x02);
}

TEST_F(FsuipcExchange, The31E8ReadGoesWithTheNextBatch) {
    script_->Set32(0x31E8, 0xABCD);
    script_->Set32(0xF002, 0);
    HostFeed31E8 = 0;
    TcasSlotCount = 0;  // the traffic read goes out right after the poll
    HostPassChangeBits = 0x07;
    FsuipcPoll();
    EXPECT_EQ(HostFeed31E8, 0xABCDu);

    // With the traffic counts known and no traffic pass, the write batch
    // carries it.
    HostFeed31E8 = 0;
    TcasSlotCount = 1;
    TcasSlotSize = 40;
    HostPassChangeBits = 0x04;
    FsuipcPoll();
    HostPassChangeBits = 0x01;
    EXPECT_EQ(HostFeed31E8, 0xABCDu);
    TcasSlotCount = 0;
}

TEST_F(FsuipcExchange, PauseWatchFreezesAfterFourUnchangedTicks) {
    PauseWatchClock = 10.0;
    SimPauseWatch();
    EXPECT_EQ(SimFrozen, 0);
    for (int i = 0; i < 3; ++i) SimPauseWatch();
    EXPECT_EQ(SimFrozen, 0);
    ApPitchServoOutput1 = 1.0;
    SimPauseWatch();
    EXPECT_EQ(SimFrozen, 1);
    EXPECT_EQ(ApPitchServoOutput1, 0.0);
    PauseWatchClock = 10.1;
    SimPauseWatch();
    EXPECT_EQ(SimFrozen, 0);
}

TEST_F(FsuipcExchange, RepositionWritesPositionAndAttitude) {
    RemotePositionValues[0] = 8.0;
    RemotePositionValues[1] = 60.0 * 60.0;  // 60 degrees north
    RemotePositionValues[2] = 30.0 * 60.0;  // 30 nm per degree at 60 north
    Heading = 90.0f;
    Altitude = 1000.0f;
    AircraftReposition();
    int64_t lat = 0;
    int64_t lon = 0;
    std::memcpy(&lat, script_->memory + 0x0560, 8);
    std::memcpy(&lon, script_->memory + 0x0568, 8);
    EXPECT_NEAR(lat / kLatitudeUnits, 60.0, 1e-6);
    EXPECT_NEAR(lon / kLongitudeUnits, 60.0, 1e-3);
    EXPECT_EQ(script_->Get32(0x0580), 0x40000000u);
    EXPECT_EQ(script_->Get32(0x0574), 305u);
    EXPECT_EQ(Get16(0x0262), 1);
    RemotePositionValues[0] = 0.0;
}

// Blade-angle targets, degrees converted to radians.
constexpr double kRad = 3.14159265358979323846 / 180.0;

// Both engines on the ground with the power levers in beta: the throttle
// command is negative, the propellers are not feathering.
void GroundBeta() {
    OnGround = 255;
    for (int e = 0; e < 2; ++e) {
        PowerLeverPosition[e] = 3300;
        ThrottleCommand[e] = -705.0;  // the ground lever-to-throttle table at 3300
        PropRpm[e] = 500.0;
        PropFeatherCountdown[e] = 0;
        PropFeatherHold[e] = 0;
        IttValue[e] = 1;
    }
    Nh1State.nh = Nh2State.nh = 70.0f;
}

TEST_F(FsuipcExchange, OnTheGroundInBetaTheBladesFollowTheLeverAndInReverseTheRpm) {
    GroundBeta();
    PowerLeverPosition[1] = 2600;
    ThrottleCommand[1] = -16000.0;
    PropRpm[1] = 1100.0;
    FsuipcWriteBatch();
    EXPECT_NEAR(GetDouble(0x2418), 0.002269, 5e-7);  // 0.13 degrees at lever 3300
    // Lever 2600 asks for -12 degrees; above 1000 rpm the rpm table rules.
    EXPECT_NEAR(GetDouble(0x2518), -0.7018, 1e-6);

    // Every pass writes them again; at exactly 1000 rpm the lever's -12
    // degrees stand.
    SetDouble(0x2418, 9.0);
    PropRpm[1] = 1000.0;
    FsuipcWriteBatch();
    EXPECT_NEAR(GetDouble(0x2418), 0.002269, 5e-7);
    EXPECT_NEAR(GetDouble(0x2518), -12.0 * kRad, 1e-6);

    // Out of beta (throttle command 0 and up) the simulator keeps its own.
    ThrottleCommand[0] = 0.0;
    ThrottleCommand[1] = 4000.0;
    SetDouble(0x2418, 9.0);
    SetDouble(0x2518, 9.0);
    FsuipcWriteBatch();
    EXPECT_EQ(GetDouble(0x2418), 9.0);
    EXPECT_EQ(GetDouble(0x2518), 9.0);
}

TEST_F(FsuipcExchange, InTheAirTheBladesFollowTheAirTableOrTheSimulatorsOwnAngle) {
    GroundBeta();
    OnGround = 0;
    for (int e = 0; e < 2; ++e) {
        PowerLeverPosition[e] = 5000;  // 10 degrees on the air table
        ThrottleCommand[e] = -300.0;
    }
    HostBladeAngle1 = 0.2;
    PropPitch2 = 0.2;
    PropRpm[0] = 1200.0;
    PropBladeTarget[0] = 0.0;
    PropRpm[1] = 1350.0;
    PropBladeTarget[1] = 0.4;
    FsuipcWriteBatch();
    // Engine 1: (1200 - 1350) x 0.001 + (a + 0) x 0.5 is below a.
    EXPECT_NEAR(GetDouble(0x2418), 10.0 * kRad, 1e-6);
    // Engine 2: (a + 0.4) x 0.5 is above a.
    EXPECT_NEAR(GetDouble(0x2518), (10.0 * kRad + 0.4) * 0.5, 1e-6);

    // A simulator angle of 57 x angle at or below -4, or 900 rpm or less:
    // the simulator's own angle.
    HostBladeAngle1 = -0.1;
    PropRpm[1] = 900.0;
    PropPitch2 = 0.3;
    FsuipcWriteBatch();
    EXPECT_DOUBLE_EQ(GetDouble(0x2418), -0.1);
    EXPECT_DOUBLE_EQ(GetDouble(0x2518), 0.3);
}

TEST_F(FsuipcExchange, OnTheGroundAFeatheringPropellerGoesTo85Or90DegreesAndAHeldOneStays) {
    GroundBeta();
    uint8_t located[8] = {};
    PropBladeAnglePointer[0] = located;
    for (int e = 0; e < 2; ++e) PropFeatherCountdown[e] = 5;
    Nh1State.nh = 20.0f;  // start value below 29
    Nh2State.nh = 40.0f;
    PropRpm[0] = PropRpm[1] = 100.0;  // at or below 150 rpm the hold runs
    FsuipcWriteBatch();
    EXPECT_NEAR(GetDouble(0x2418), 85.0 * kRad, 1e-6);
    EXPECT_NEAR(GetDouble(0x2518), 90.0 * kRad, 1e-6);
    double stored;
    std::memcpy(&stored, located, sizeof stored);
    EXPECT_NEAR(stored, 85.0 * kRad, 1e-6);

    // Between 150 and 400 rpm the hold counts down from 34: engine 1 goes to
    // 90 degrees on the 34th pass.
    PropRpm[0] = 300.0;
    for (int pass = 1; pass <= 33; ++pass) {
        FsuipcWriteBatch();
        ASSERT_NEAR(GetDouble(0x2418), 85.0 * kRad, 1e-6) << pass;
    }
    FsuipcWriteBatch();
    EXPECT_NEAR(GetDouble(0x2418), 90.0 * kRad, 1e-6);

    // An engine that is not burning feathers to 85 degrees; a held blade
    // stays at its held angle.
    IttValue[1] = 0;
    PropFeatherHold[0] = 1;
    PropFeatherHeldAngle[0] = 0.5;
    FsuipcWriteBatch();
    EXPECT_DOUBLE_EQ(GetDouble(0x2418), 0.5);
    EXPECT_NEAR(GetDouble(0x2518), 85.0 * kRad, 1e-6);
    PropBladeAnglePointer[0] = nullptr;
}

// The oil step does not feather a propeller whose oil is gone (below 8 % Nh,
// no standby oil), and its held blade angle reaches the simulator only with
// the instructor's hold bit: on the ground in beta the blade angle goes on
// following the lever.
TEST_F(FsuipcExchange, OnTheGroundAPropellerWithoutOilIsNotFeatheredAndFollowsTheLever) {
    GroundBeta();
    Nh1State.nh = 5.0f;
    for (int pass = 0; pass < 3; ++pass) EngineOilUpdate();
    FsuipcWriteBatch();
    EXPECT_NEAR(GetDouble(0x2418), 0.002269, 5e-7);  // 0.13 degrees at lever 3300
    EXPECT_NEAR(GetDouble(0x2518), 0.002269, 5e-7);  // engine 2, with its oil, alike
}

}  // namespace
}  // namespace zu
