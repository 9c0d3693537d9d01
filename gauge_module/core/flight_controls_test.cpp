#include "core/flight_controls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "cabin_link/instructor_state_exchange.h"
#include "core/air_data.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/joystick_input.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/radio_altitude_alerting.h"
#include "core/settings_file.h"
#include "core/systems_tick.h"
#include "zu/platform/ini_file.h"

namespace zu {
namespace {

// Key events the module sends, as the simulator receives them.
std::vector<std::pair<uint32_t, int32_t>> g_events;

void RecordKeyEvent(uint32_t event, uint32_t value) {
    g_events.emplace_back(event, static_cast<int32_t>(value));
}

// The simulator's gear events.
constexpr uint32_t kGearUpEvent = 66079;
constexpr uint32_t kGearDownEvent = 66080;
constexpr uint32_t kGearToggleEvent = 65570;

class FlightControlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        table_.slot[gauge::kSlotTriggerKeyEvent] = reinterpret_cast<void*>(&RecordKeyEvent);
        saved_panels_ = ImportTable.panels;
        ImportTable.panels = &table_;
        g_events.clear();
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
        std::fill(std::begin(FlightSurfacesInstructorStates),
                  std::end(FlightSurfacesInstructorStates), 0);
        Throttles_delta = 12.0;
        FlapPosition = 4096.0f;
        FlapLastCommand = 4096.0;
        FlapCountdown = 0;
        FlapDriveWait = 0;
        FlapDetent = 2;
        std::memset(flight_controls_FLAPS, 0, sizeof flight_controls_FLAPS);
        FlapsHydraulicPressure = 3000;
        HydraulicsState.SystemPressure[0] = HydraulicsState.SystemPressure[1] = 3000;
        SystemTimers.HydraulicTimer = 0;
        OnGround = 0;
        IndicatedAirspeed = 150.0f;
        Altitude = 5000.0f;
        TorqueFiltered[0] = TorqueFiltered[1] = 0.0f;
        ElevatorTrimInput = 0;
        PowerLeverValue[0] = PowerLeverValue[1] = 21000;
        PowerLeverPosition[0] = PowerLeverPosition[1] = 14000;
        ParkingBrake = 0;
        GearCommanded = flight_controls_GEAR = HostGearHandle = GearHandlePrevious = 16383;
        GearHandleCountdown = GearToggleCountdown = 0;
        GearTransitCountdown = 0;
        GearAltExtension = 0;
        for (int i = 0; i < 3; ++i) {
            GearLegPosition[i] = 76;
            GearLegLight[i] = 1;
        }
        GearStates = {};
        AltGearState = {};
        GearWarningRequest = GearWarningTestCount = 0;
        Autofeather = {};
        Autofeather.select = 1;
    }
    void TearDown() override { ImportTable.panels = saved_panels_; }

    static int EventCount(uint32_t event) {
        int n = 0;
        for (const auto& e : g_events) n += e.first == event ? 1 : 0;
        return n;
    }
    // The gear retracted and locked up, the handle up.
    static void GearUp() {
        GearCommanded = flight_controls_GEAR = HostGearHandle = GearHandlePrevious = 0;
        for (int leg = 0; leg < 3; ++leg) {
            GearLegPosition[leg] = 0;
            GearLegLight[leg] = 0;
        }
    }
    // One simulator frame's gear handle step and one systems tick's gear
    // sequence.
    static void GearPass() {
        GearHandleUpdate();
        GearSequenceUpdate();
    }
    static bool ThreeGreen() {
        for (int leg = 0; leg < 3; ++leg) {
            if (GearLegPosition[leg] != 76 || GearLegLight[leg] != 1) return false;
        }
        return true;
    }

  private:
    gauge::PanelServiceTable table_{};
    gauge::PanelServiceTable* saved_panels_ = nullptr;
};

TEST_F(FlightControlsTest, FlapLeverMovesOneDetentBeyondTwentyAndOnlyWithDrivePressure) {
    FlapPosition = 4096.0f + 20.0f;  // beyond the delta, not beyond 20
    FlightSurfacesUpdate();
    EXPECT_EQ(FlapSelection(), 0);
    EXPECT_EQ(FlapDetent, 2);
    FlapCountdown = 0;
    FlapPosition = 4096.0f + 21.0f;
    FlightSurfacesUpdate();
    EXPECT_EQ(FlapSelection(), 1);
    EXPECT_EQ(FlapDetent, 3);
    EXPECT_EQ(FlapMotionFlag, 1);
    EXPECT_DOUBLE_EQ(FlapLastCommand, 3 * 2048.0);
    EXPECT_EQ(FlapCountdown, 12);
    // While the countdown runs nothing else of the flap logic runs.
    FlapPosition = 16383.0f;
    for (int i = 0; i < 12; ++i) FlightSurfacesUpdate();
    EXPECT_EQ(FlapDetent, 3);

    // 500 of drive pressure holds the detent and waits; 501 moves it.
    FlapsHydraulicPressure = 500;
    FlightSurfacesUpdate();
    EXPECT_EQ(FlapSelection(), 4);
    EXPECT_EQ(FlapDetent, 3);
    EXPECT_EQ(FlapDriveWait, 1);
    FlapsHydraulicPressure = 501;
    FlapCountdown = 0;
    FlightSurfacesUpdate();
    EXPECT_EQ(FlapDetent, 6);
    EXPECT_EQ(FlapDriveWait, 0);
}

TEST_F(FlightControlsTest, FlapPowerLightsWithoutDrivePressureOrWithTheFailure) {
    BusPowered.set(kPoweredRightEssential, 1);
    FlapsHydraulicPressure = 0;
    FlapPosition = 8192.0f;
    FlightSurfacesUpdate();
    EXPECT_NE(CautionLightArray[CautionIndex(5, 11)], 0u);  // "FLAP POWER"
    FlapsHydraulicPressure = 3000;
    FlapCountdown = 0;
    FlightSurfacesUpdate();
    EXPECT_EQ(CautionLightArray[CautionIndex(5, 11)], 0u);
}

// The seven hydraulic surface lights: rows/columns "#1 RUD HYD" (3,10),
// "#2 RYD HYD" (3,11), "RUD FULL PRESS" (4,10), "RUD PRESS" (0,10),
// "ROLL SPLR INBD HYD" (2,10), "ROLL SPLR OUTB HYD" (2,11), "FLAP POWER"
// (5,11).
constexpr int kSurfaceLights[7][2] = {{3, 10}, {3, 11}, {4, 10}, {0, 10},
                                      {2, 10}, {2, 11}, {5, 11}};

TEST_F(FlightControlsTest, SurfaceLightsGoDarkWhenTheirBusDrops) {
    BusPowered.set(kPoweredRightEssential, 1);
    IndicatedAirspeed = 100.0f;
    RudderPressure[0] = 50;    // below 100 and 600
    RudderPressure[1] = 3000;  // full pressure
    RollSpoilerPressure[0] = 0;
    RollSpoilerPressure[1] = 0;
    FlapsHydraulicPressure = 0;
    FlapHydraulicWord = 1;
    HostPassChangeBits = 0x08;
    FlightSurfacesUpdate();
    for (const auto& l : kSurfaceLights) {
        const bool lit = !(l[0] == 3 && l[1] == 11);  // rudder 2 is pressurised
        EXPECT_EQ(CautionLightArray[CautionIndex(l[0], l[1])] != 0u, lit) << l[0] << "," << l[1];
    }
    // Unpowered, all seven go dark at once, even on a pass that does not
    // re-evaluate the first three.
    CautionLightArray[CautionIndex(3, 11)] = 255;
    BusPowered.set(kPoweredRightEssential, 0);
    HostPassChangeBits = 0x01;
    FlapCountdown = 0;
    FlightSurfacesUpdate();
    for (const auto& l : kSurfaceLights) {
        EXPECT_EQ(CautionLightArray[CautionIndex(l[0], l[1])], 0u) << l[0] << "," << l[1];
    }
}

TEST_F(FlightControlsTest, RudderPressureLightIsOffWhileEitherAirDataTestRuns) {
    BusPowered.set(kPoweredRightEssential, 1);
    RudderPressure[0] = 3000;
    RudderPressure[1] = 99;
    AdcTestTimer1 = AdcTestTimer2 = 0;
    FlightSurfacesUpdate();
    EXPECT_NE(CautionLightArray[CautionIndex(0, 10)], 0u);  // "RUD PRESS"
    AdcTestTimer1 = 30;
    FlightSurfacesUpdate();
    EXPECT_EQ(CautionLightArray[CautionIndex(0, 10)], 0u);
    AdcTestTimer1 = 0;
    AdcTestTimer2 = 1;
    FlightSurfacesUpdate();
    EXPECT_EQ(CautionLightArray[CautionIndex(0, 10)], 0u);
    AdcTestTimer2 = 0;
    FlightSurfacesUpdate();
    EXPECT_NE(CautionLightArray[CautionIndex(0, 10)], 0u);
}

TEST_F(FlightControlsTest, TouchedRunwayWarningFollowsTheTailStrike) {
    BusPowered.set(kPoweredRightEssential, 1);
    GearFlags[kGearFlagTailStrike] = 1;
    GearHandleUpdate();
    EXPECT_NE(CautionLightArray[CautionIndex(6, 1)], 0u);  // "TOUCHED RUNWAY"
    GearFlags[kGearFlagTailStrike] = 0;
    GearHandleUpdate();
    EXPECT_EQ(CautionLightArray[CautionIndex(6, 1)], 0u);
    GearFlags[kGearFlagTailStrike] = 1;
    BusPowered.set(kPoweredRightEssential, 0);
    GearHandleUpdate();
    EXPECT_EQ(CautionLightArray[CautionIndex(6, 1)], 0u);
}

// The steering output for a rudder position s: gain(|s x 81920|) x s x
// -81920 within +-15000; with the joystick in use, -(rudder axis + that).
TEST_F(FlightControlsTest, NoseSteeringWithTheJoystickAddsItsRudderAxisAndReverses) {
    NoseSteeringSwitch = 255;
    IndicatedAirspeed = 20.0f;
    BusPowered.set(kPoweredRightMainDc, 1);
    ControlSurfacePositions[0] = 0.02f;
    // |s x 81920| = 1638.4, between 512 (0.25) and 2048 (0.5).
    const double x = std::fabs(0.02f * 81920.0);
    const double k = 0.5 - (2048.0 - x) / (2048.0 - 512.0) * 0.25;
    const double rudder = k * 0.02f * -81920.0;  // about -710
    DINPUT_USE = 0;
    JoystickRudderAxis = 1000;
    NoseSteeringUpdate();
    EXPECT_NEAR(JoystickRudderOut, rudder, 1.0);
    DINPUT_USE = 1;
    NoseSteeringUpdate();
    EXPECT_NEAR(JoystickRudderOut, -(1000 + rudder), 1.0);
    JoystickRudderAxis = 16000;
    NoseSteeringUpdate();
    EXPECT_EQ(JoystickRudderOut, -15000);
    // Full rudder one way, the stick's rudder the other: the sum is limited.
    ControlSurfacePositions[0] = 0.5f;  // -15000 from the rudder
    JoystickRudderAxis = -4000;
    NoseSteeringUpdate();
    EXPECT_EQ(JoystickRudderOut, 15000);
    // Without steering (too fast) the joystick adds nothing.
    IndicatedAirspeed = 40.0f;
    NoseSteeringUpdate();
    EXPECT_EQ(JoystickRudderOut, 0);
    DINPUT_USE = 0;
    JoystickRudderAxis = 0;
}

TEST_F(FlightControlsTest, OverspeedLimitFallsAboveFourteenThousandFeet) {
    Altitude = 14000.0f;
    IndicatedAirspeed = 242.0f;
    GearHandleUpdate();
    EXPECT_EQ(GearFlags[kGearFlagTakeoffWarning], 0);
    IndicatedAirspeed = 243.0f;
    GearHandleUpdate();
    EXPECT_EQ(GearFlags[kGearFlagTakeoffWarning], 1);
    Altitude = 17140.0f;  // the limit is 232 kt
    IndicatedAirspeed = 231.9f;
    GearHandleUpdate();
    EXPECT_EQ(GearFlags[kGearFlagTakeoffWarning], 0);
    IndicatedAirspeed = 232.1f;
    GearHandleUpdate();
    EXPECT_EQ(GearFlags[kGearFlagTakeoffWarning], 1);
}

TEST_F(FlightControlsTest, ConfigurationWarningOnTheGroundWithPower) {
    OnGround = 255;
    IndicatedAirspeed = 0.0f;
    // Take-off configuration: power, flaps at selection 1, brake released.
    TorqueFiltered[0] = 61.0f;
    const int32_t selection = 1;
    std::memcpy(flight_controls_FLAPS, &selection, 4);
    for (int16_t trim : {int16_t{-2555}, int16_t{7599}}) {
        ElevatorTrimInput = trim;
        GearHandleUpdate();
        EXPECT_EQ(GearFlags[kGearFlagTakeoffWarning], 0) << trim;
    }
    for (int16_t trim : {int16_t{-2556}, int16_t{7600}}) {
        ElevatorTrimInput = trim;
        GearHandleUpdate();
        EXPECT_EQ(GearFlags[kGearFlagTakeoffWarning], 1) << trim;
    }
    ElevatorTrimInput = 0;
    TorqueFiltered[0] = 60.0f;  // not above 60: no power
    ParkingBrake = 1;
    GearHandleUpdate();
    EXPECT_EQ(GearFlags[kGearFlagTakeoffWarning], 0);
}

TEST_F(FlightControlsTest, GearExtendsLegByLegWithTheirLightWindows) {
    // Retracted, then the handle goes down airborne.
    HostGearHandle = 0;
    GearHandleUpdate();
    EXPECT_EQ(GearCommanded, 0);
    EXPECT_EQ(GearTransitCountdown, 76);
    while (GearTransitCountdown > 0) GearSequenceUpdate();
    GearSequenceUpdate();
    for (int leg = 0; leg < 3; ++leg) {
        EXPECT_EQ(GearLegPosition[leg], 0) << leg;
        EXPECT_EQ(GearLegLight[leg], 0) << leg;
    }
    HostGearHandle = 16383;
    GearHandleCountdown = 0;
    GearHandleUpdate();
    ASSERT_EQ(GearCommanded, 16383);
    int nose_lit_at = -1, left_lit_at = -1, right_lit_at = -1;
    while (GearTransitCountdown > 0) {
        GearSequenceUpdate();
        const int t = GearTransitCountdown;
        if (nose_lit_at < 0 && GearLegLight[0] == 1) nose_lit_at = t;
        if (left_lit_at < 0 && GearLegLight[1] == 1) left_lit_at = t;
        if (right_lit_at < 0 && GearLegLight[2] == 1) right_lit_at = t;
        if (t == 0) break;
        EXPECT_EQ(GearStates.in_transit[kGearStateNose], 1) << t;
        EXPECT_EQ(GearStates.nose_door, t >= 66 ? 1 : 0) << t;
    }
    EXPECT_EQ(nose_lit_at, 34);
    EXPECT_EQ(left_lit_at, 32);
    EXPECT_EQ(right_lit_at, 37);
    for (int leg = 0; leg < 3; ++leg) {
        EXPECT_EQ(GearLegPosition[leg], 76) << leg;
        EXPECT_EQ(GearLegLight[leg], 1) << leg;
    }
    EXPECT_EQ(GearStates.in_transit[kGearStateLeft], 0);
    EXPECT_EQ(GearStates.disagree[kGearStateRight], 0);
}

TEST_F(FlightControlsTest, GearHoldsWithoutHydraulicPressure) {
    HydraulicsState.SystemPressure[1] = 0;
    HostGearHandle = 0;
    GearHandleUpdate();
    for (int i = 0; i < 100; ++i) GearSequenceUpdate();
    EXPECT_EQ(GearTransitCountdown, 76);
    EXPECT_EQ(GearLegPosition[0], 76);
    for (int32_t flag : GearStates.disagree) EXPECT_EQ(flag, 1);  // every leg down, the handle up
}

// The instructor station lowers the handle by writing 32767; any non-zero
// handle is down, and the remembered handle keeps the simulator's 16383.
TEST_F(FlightControlsTest, HandleAt32767ExtendsTheGearAndIsSavedAsDown) {
    GearUp();
    HydraulicsState.SystemPressure[1] = 2100;
    HostGearHandle = 32767;
    for (int pass = 0; pass < 80; ++pass) GearPass();
    EXPECT_TRUE(ThreeGreen());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(GearStates.in_transit[i], 0) << i;
        EXPECT_EQ(GearStates.disagree[i], 0) << i;
    }
    EXPECT_EQ(flight_controls_GEAR, 16383);
    EXPECT_EQ(EventCount(kGearToggleEvent), 0);

    const std::string path = ::testing::TempDir() + "flight_controls_gear_32767.ini";
    std::remove(path.c_str());
    FlightControlsStateSave(path.c_str());
    int32_t saved = -1;
    ASSERT_TRUE(platform::GetPrivateProfileStruct("zodudori", "flight_controls_GEAR", &saved, 4,
                                                  path.c_str()));
    EXPECT_EQ(saved, 16383);
    std::remove(path.c_str());

    // The simulator's own 16383 comes back with the next poll: the handle did
    // not move, so the gear stays down and locked.
    HostGearHandle = 16383;
    for (int pass = 0; pass < 40; ++pass) {
        GearPass();
        ASSERT_TRUE(ThreeGreen()) << pass;
    }
    EXPECT_EQ(GearTransitCountdown, 0);
    EXPECT_EQ(EventCount(kGearToggleEvent), 0);
}

TEST_F(FlightControlsTest, HandleAt32767AgainstARememberedDownGearNeitherTogglesNorRetracts) {
    HostGearHandle = 32767;  // the gear is down and remembered as 16383
    for (int pass = 0; pass < 40; ++pass) {
        GearPass();
        ASSERT_TRUE(ThreeGreen()) << pass;
    }
    EXPECT_EQ(EventCount(kGearToggleEvent), 0);
    EXPECT_EQ(flight_controls_GEAR, 16383);
    // On the ground too, where the simulator's handle is made to agree.
    OnGround = 255;
    for (int pass = 0; pass < 40; ++pass) GearPass();
    EXPECT_EQ(EventCount(kGearToggleEvent), 0);
    EXPECT_TRUE(ThreeGreen());
}

TEST_F(FlightControlsTest, GearWarningWithLeversBackAndTheGearUp) {
    flight_controls_GEAR = 0;
    IndicatedAirspeed = 120.0f;
    PowerLeverPosition[0] = PowerLeverPosition[1] = 5000;
    GearHandleUpdate();
    EXPECT_EQ(GearFlags[kGearFlagWarning], 1);
    flight_controls_GEAR = 16383;
    GearHandleUpdate();
    EXPECT_EQ(GearFlags[kGearFlagWarning], 0);
    // The handle-down test count holds the warning for its passes.
    GearWarningTestCount = 64;
    for (int i = 0; i < 64; ++i) {
        GearHandleUpdate();
        EXPECT_EQ(GearFlags[kGearFlagWarning], 1) << i;
    }
    GearHandleUpdate();
    EXPECT_EQ(GearFlags[kGearFlagWarning], 0);
}

TEST_F(FlightControlsTest, SavedKeysOutOfRangeLeaveTheVariables) {
    const std::string path = ::testing::TempDir() + "flight_controls_keys.ini";
    std::remove(path.c_str());
    int32_t selection = 3;
    std::memcpy(flight_controls_FLAPS, &selection, 4);
    flight_controls_GEAR = 0;
    flight_controls_COPILOT_antiskid_sw = -1;
    FlightControlsStateSave(path.c_str());
    std::memset(flight_controls_FLAPS, 0, 8);
    flight_controls_GEAR = 16383;
    flight_controls_COPILOT_antiskid_sw = 0;
    FlightControlsStateLoad(path.c_str());
    EXPECT_EQ(FlapSelection(), 3);
    EXPECT_EQ(flight_controls_GEAR, 0);
    EXPECT_EQ(HostGearHandle, 0);
    EXPECT_EQ(GearCommanded, 0);
    EXPECT_EQ(flight_controls_COPILOT_antiskid_sw, -1);

    const uint8_t flaps[8] = {5, 0, 0, 0, 0, 0, 0, 0};
    const int32_t gear = 100;
    const int32_t antiskid = 2;
    platform::WritePrivateProfileStruct("zodudori", "flight_controls_FLAPS", flaps, 8,
                                        path.c_str());
    platform::WritePrivateProfileStruct("zodudori", "flight_controls_GEAR", &gear, 4, path.c_str());
    platform::WritePrivateProfileStruct("zodudori", "flight_controls_COPILOT_antiskid_sw",
                                        &antiskid, 4, path.c_str());
    FlightControlsStateLoad(path.c_str());
    EXPECT_EQ(FlapSelection(), 3);
    EXPECT_EQ(flight_controls_GEAR, 0);
    EXPECT_EQ(flight_controls_COPILOT_antiskid_sw, -1);
    std::remove(path.c_str());
}

// The retraction's light windows by transit count t (76 passes from the
// handle going up): nose light and door word on for t >= 66, the light off
// from 65 and the door from 65 down to 28; left light on for t >= 68, off
// from 67; right light on for t >= 64, off from 63; every leg at t - 12.
TEST_F(FlightControlsTest, GearRetractsWithTheLightWindowsOfEachLeg) {
    HostGearHandle = 0;
    GearHandleUpdate();
    ASSERT_EQ(GearTransitCountdown, 76);
    for (int t = 75; t >= 1; --t) {
        GearSequenceUpdate();
        ASSERT_EQ(GearTransitCountdown, t);
        EXPECT_EQ(GearLegLight[0], t >= 66 ? 1 : 0) << "nose, t " << t;
        EXPECT_EQ(GearLegLight[1], t >= 68 ? 1 : 0) << "left, t " << t;
        EXPECT_EQ(GearLegLight[2], t >= 64 ? 1 : 0) << "right, t " << t;
        EXPECT_EQ(GearStates.nose_door, t >= 66 ? 1 : 0) << t;
        for (int leg = 0; leg < 3; ++leg) {
            EXPECT_EQ(GearLegPosition[leg], std::max(t - 12, 0)) << leg << ", t " << t;
            EXPECT_EQ(GearStates.in_transit[leg], 1) << leg << ", t " << t;
            EXPECT_EQ(GearStates.disagree[leg], t - 12 > 0 ? 1 : 0) << leg << ", t " << t;
        }
    }
    GearSequenceUpdate();
    for (int leg = 0; leg < 3; ++leg) {
        EXPECT_EQ(GearLegPosition[leg], 0) << leg;
        EXPECT_EQ(GearLegLight[leg], 0) << leg;
        EXPECT_EQ(GearStates.in_transit[leg], 0) << leg;
    }
}

// Torque-induced pitch trim from the torque tables: the lever table times
// rpm / 900 with the engine running, the ground table with both ITTs up on
// the ground, the blade-angle table times rpm / 1200 for an engine without
// ITT (both halved when neither has one), 2048 in reverse above 1000; the
// sum times the height factor.
TEST_F(FlightControlsTest, TorqueEffectsFollowTheLeverBladeAndHeightTables) {
    struct Case {
        const char* name;
        bool ground;
        int32_t itt[2];
        int32_t lever[2];
        double rpm[2];
        double blade[2];
        double ra_ft;
        double trim;
    } cases[] = {
        {"running", false, {9, 9}, {7000, 12000}, {900, 1200}, {.3, .3}, 500, 255 + 100},
        {"interpolated", false, {9, 9}, {5000, 15500}, {900, 900}, {.3, .3}, 500, 588 + 45},
        {"ground", true, {9, 9}, {3000, 7000}, {1200, 1200}, {.3, .3}, 500, 1228 + 600},
        {"reverse >1000", true, {9, 9}, {3000, 3000}, {1200, 1200}, {-.2, -.12}, 500, 2048 + 1228},
        {"reverse <1000", true, {9, 9}, {7000, 7000}, {1200, 1200}, {-.2, -.2}, 500, 600 + 600},
        {"one out", false, {0, 9}, {7000, 7000}, {600, 900}, {0, .3}, 500, 512 + 255},
        {"one lit, ground", true, {9, 0}, {7000, 3000}, {900, 1200}, {.3, .421053}, 500, 255 + 512},
        {"both out", false, {0, 0}, {3000, 3000}, {1200, 1200}, {.210526, 0}, 500, 400 + 512},
        {"30 ft", false, {9, 9}, {7000, 12000}, {900, 1200}, {.3, .3}, 30, 1.3 * 355},
        {"-5 ft", false, {9, 9}, {7000, 12000}, {900, 1200}, {.3, .3}, -5, 1.6 * 355},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OnGround = c.ground ? 255 : 0;
        for (int e = 0; e < 2; ++e) {
            IttValue[e] = c.itt[e];
            PowerLeverPosition[e] = c.lever[e];
            PropRpm[e] = c.rpm[e];
        }
        PropPitch1 = c.blade[0];
        PropPitch2 = c.blade[1];
        RadioAltitude = c.ra_ft / 3.2857;
        TorqueEffectsUpdate();
        EXPECT_NEAR(RudderTrimOutput, c.trim, 1.0);
    }
}

TEST_F(FlightControlsTest, TorqueTrimAddsTheTrimStepAndTheLegsDownWithTheGearUp) {
    for (int e = 0; e < 2; ++e) {
        IttValue[e] = 500;
        PowerLeverPosition[e] = 7000;
        PropRpm[e] = 900;
    }
    PropPitch1 = PropPitch2 = 0.3;
    RadioAltitude = 500 / 3.2857;
    TrimInhibit = 1;
    PilotTrimRequest = -1;
    TorqueEffectsUpdate();
    EXPECT_NEAR(RudderTrimOutput, 510 - 200, 1.0);
    TrimInhibit = 0;
    // Commanded up with all three legs still down: 150 each.
    GearCommanded = 0;
    TorqueEffectsUpdate();
    EXPECT_NEAR(RudderTrimOutput, 510 + 3 * 150, 1.0);
    GearLegPosition[1] = 40;
    TorqueEffectsUpdate();
    EXPECT_NEAR(RudderTrimOutput, 510 + 2 * 150, 1.0);
}

// Yaw = yaw table(torque 2 - torque 1) x 0.001745 plus the filtered torque
// difference x 0.001, a torque negated while its blade angle is negative.
TEST_F(FlightControlsTest, TorqueYawFromTheTorqueDifferenceAndTheReverseSign) {
    for (int e = 0; e < 2; ++e) IttValue[e] = 500;
    PowerLeverPosition[0] = 7000;   // 255
    PowerLeverPosition[1] = 12000;  // 75 x 1200 / 900 = 100
    PropRpm[0] = 900;
    PropRpm[1] = 1200;
    PropPitch1 = PropPitch2 = 0.3;
    TorqueFiltered[0] = 50.0f;
    TorqueFiltered[1] = 30.0f;
    const double yaw = -155.0 / 512.0 * 75.0 * 0.001745;
    TorqueEffectsUpdate();
    EXPECT_NEAR(TorqueYawValue, yaw + 20 * 0.001, 1e-5);
    PropPitch1 = -0.1;  // reverse, torque 1 still below 1000
    TorqueEffectsUpdate();
    EXPECT_NEAR(TorqueYawValue, yaw - 80 * 0.001, 1e-5);
    // A difference beyond 8000 saturates at 100.
    IttValue[0] = 0;
    PropRpm[0] = 0;
    PowerLeverPosition[1] = 3000;
    PropRpm[1] = 9000;  // 921 x 10 = 9210
    PropPitch1 = 0.3;
    TorqueEffectsUpdate();
    EXPECT_NEAR(TorqueYawValue, 100 * 0.001745 + 20 * 0.001, 1e-5);
}

// The simulator's side of the gear handle: the gear events move its handle.
void SimulatorHandleFollowsTheEvents(size_t from) {
    for (size_t i = from; i < g_events.size(); ++i) {
        if (g_events[i].first == kGearDownEvent) HostGearHandle = 16383;
        if (g_events[i].first == kGearUpEvent) HostGearHandle = 0;
        if (g_events[i].first == kGearToggleEvent) HostGearHandle = 16383 - HostGearHandle;
    }
}

// System 2 lost with the gear up: the inhibit switch sets the alternate
// extension, the pump requests free the legs, which fall 4 per pass and
// lock; once all three are free the gear is commanded down (transit 66)
// and the simulator's handle is sent down while the handle countdown is
// above 8. The cockpit handle stays where it was until the pilot moves it.
TEST_F(FlightControlsTest, AlternateExtensionLowersAndLocksTheGearWithoutPressure) {
    GearUp();
    HydraulicsState.SystemPressure[1] = 0;
    IndicatedAirspeed = 150.0f;
    GearInhibitSwitch = 1;
    auto pass = [] {
        const size_t from = g_events.size();
        GearHandleUpdate();
        TorqueEffectsUpdate();
        GearSequenceUpdate();
        SimulatorHandleFollowsTheEvents(from);
    };
    AltGearState.pump[0] = 1;  // frees the left leg
    for (int i = 0; i < 19; ++i) pass();
    EXPECT_EQ(AltGearState.pump[0], 0);
    EXPECT_EQ(GearTransitCountdown, 61);
    EXPECT_EQ(GearLegPosition[1], 76);
    EXPECT_EQ(GearLegLight[1], 1);
    EXPECT_EQ(GearLegPosition[0], 0);
    EXPECT_EQ(GearLegPosition[2], 0);
    EXPECT_EQ(GearCommanded, 0);  // not all three free yet

    AltGearState.nose_door = 1;  // frees nose and right
    pass();
    EXPECT_EQ(GearLegPosition[0], 4);
    EXPECT_EQ(GearLegPosition[2], 4);
    pass();
    EXPECT_EQ(GearCommanded, 16383);
    EXPECT_EQ(GearTransitCountdown, 66);
    for (int i = 0; i < 30; ++i) pass();
    EXPECT_TRUE(ThreeGreen());
    EXPECT_EQ(EventCount(kGearDownEvent), 4);  // countdown 12, 11, 10 and 9
    EXPECT_EQ(EventCount(kGearToggleEvent), 0);
    EXPECT_EQ(GearTransitCountdown, 66);  // no pressure: it does not run
    EXPECT_EQ(HostGearHandle, 16383);
    EXPECT_EQ(flight_controls_GEAR, 0);
    for (int32_t flag : GearStates.disagree) EXPECT_EQ(flag, 1);

    // The pilot moves the cockpit handle: the simulator's handle is held
    // down and the cockpit handle goes down; nothing disagrees any more.
    SendKeyEvent(kGearToggleEvent, 255);
    SimulatorHandleFollowsTheEvents(g_events.size() - 1);
    for (int i = 0; i < 30; ++i) pass();
    EXPECT_EQ(HostGearHandle, 16383);
    EXPECT_EQ(flight_controls_GEAR, 16383);
    EXPECT_TRUE(ThreeGreen());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(GearStates.disagree[i], 0) << i;
}

// Above 160 kt the nose and right legs reach 76 unlit; the second pump
// request locks them.
TEST_F(FlightControlsTest, AlternateExtensionAboveOneSixtyKnotsLocksWithTheSecondPump) {
    GearUp();
    HydraulicsState.SystemPressure[1] = 0;
    IndicatedAirspeed = 170.0f;
    NoseGearAltDoorGuard = 1;
    TorqueEffectsUpdate();
    ASSERT_EQ(GearAltExtension, 1);
    AltGearState.pump[0] = 1;
    AltGearState.nose_door = 1;
    for (int i = 0; i < 25; ++i) GearSequenceUpdate();
    for (int leg = 0; leg < 3; ++leg) EXPECT_EQ(GearLegPosition[leg], 76) << leg;
    EXPECT_EQ(GearLegLight[1], 1);  // the left leg locks at any speed
    EXPECT_EQ(GearLegLight[0], 0);
    EXPECT_EQ(GearLegLight[2], 0);
    AltGearState.pump[1] = 1;
    GearSequenceUpdate();
    EXPECT_EQ(AltGearState.pump[1], 0);
    EXPECT_EQ(GearLegLight[0], 1);
    EXPECT_EQ(GearLegLight[2], 1);
    NoseGearAltDoorGuard = 0;  // the guard closed: the alternate extension ends
    TorqueEffectsUpdate();
    EXPECT_EQ(GearAltExtension, 0);
}

class StickPusherTest : public FlightControlsTest {
  protected:
    void SetUp() override {
        FlightControlsTest::SetUp();
        BusPowered.set(kPoweredLeftEssential, 1);
        Stalled();
        ElevatorTrimOut = 5000;
    }
    // Stalled, at the edge of every other hold: 400 ft, 30 kt over the
    // ground, 200 kt.
    static void Stalled() {
        StallWarningState.output[0] = -14000;
        RadioAltitudeReadoutValue = 400;
        GroundSpeed = 30;
        IndicatedAirspeed = 200.0f;
    }
    static int Pushes() { return EventCount(kPusherTrimEvent); }
    static constexpr uint32_t kPusherTrimEvent = 65706;
};

TEST_F(StickPusherTest, EachHoldConditionKeepsThePusherBack) {
    struct Case {
        const char* name;
        void (*apply)();
    } cases[] = {
        {"stall output above -14000", [] { StallWarningState.output[0] = -13999; }},
        {"below 400 ft", [] { RadioAltitudeReadoutValue = 399; }},
        {"below 30 kt over the ground", [] { GroundSpeed = 29; }},
        {"above 200 kt", [] { IndicatedAirspeed = 200.5f; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Stalled();
        c.apply();
        for (int i = 0; i < 300; ++i) StickPusherUpdate();
        EXPECT_EQ(Pushes(), 0);
    }
    // The hold runs 20 passes once the last condition clears.
    Stalled();
    for (int i = 0; i < 19; ++i) StickPusherUpdate();
    EXPECT_EQ(Pushes(), 0);
    StickPusherUpdate();
    ASSERT_EQ(Pushes(), 1);
    EXPECT_EQ(g_events.back().second, 5000 - 3500);
    EXPECT_EQ(RudderTrimValue, 20);
}

TEST_F(StickPusherTest, ThreePushesAtMostWhateverHappensToTheBus) {
    std::vector<int> push_passes;
    for (int i = 0; i < 2000; ++i) {
        const int before = Pushes();
        StickPusherUpdate();
        if (Pushes() != before) push_passes.push_back(i);
    }
    ASSERT_EQ(push_passes.size(), 3u);
    EXPECT_EQ(push_passes[1] - push_passes[0], 196);
    EXPECT_EQ(push_passes[2] - push_passes[1], 196);
    // Power lost and back, the shut-off reset: still no fourth push.
    StickPusherShutoff = 255;
    BusPowered.set(kPoweredLeftEssential, 0);
    StickPusherUpdate();
    EXPECT_EQ(StickPusherShutoff, 0);
    BusPowered.set(kPoweredLeftEssential, 1);
    for (int i = 0; i < 2000; ++i) StickPusherUpdate();
    EXPECT_EQ(Pushes(), 3);
}

TEST_F(StickPusherTest, ShutOffStopsThePushAndLightsPusherSysFail) {
    const size_t light = CautionIndex(1, 11);  // "PUSHER SYS FAIL"
    StickPusherShutoff = 255;
    for (int i = 0; i < 300; ++i) StickPusherUpdate();
    EXPECT_EQ(Pushes(), 0);
    EXPECT_NE(CautionLightArray[light], 0u);
    StickPusherShutoff = 0;
    for (int state : {1, 2}) {
        StallWarningState.test_state = state;
        StickPusherUpdate();
        EXPECT_NE(CautionLightArray[light], 0u) << state;
    }
    StallWarningState.test_state = 0;
    StickPusherUpdate();
    EXPECT_EQ(CautionLightArray[light], 0u);
    StallWarningState.test_state = 1;
    BusPowered.set(kPoweredLeftEssential, 0);
    StickPusherUpdate();
    EXPECT_EQ(CautionLightArray[light], 0u);
}

}  // namespace
}  // namespace zu
