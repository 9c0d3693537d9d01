// Unit tests of the head-up guidance computer and its runway projection, on
// the module's globals with the buses and sources set by hand.
#include "displays/head_up_guidance.h"

#include <gtest/gtest.h>

#include <cstring>

#include "cabin_link/instructor_state_exchange.h"
#include "core/autopilot_control_laws.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/radio_altitude_alerting.h"
#include "core/settings_file.h"
#include "core/systems_tick.h"
#include "displays/hgs_runway_projection.h"

namespace zu {
namespace {

class HeadUpGuidance : public testing::Test {
  protected:
    struct Saved {
        ElectricsRecord electrics = Electrics_sys;
        NavSourceRecord sources[kNavSourceCount];
        int32_t sel = NavSourceSel1, on_ground = OnGround, ra = RadioAltitudeReadoutValue,
                vs = VerticalSpeedRaw, lat = FGC_comp_AP1_lateral_mode,
                vert = FGC_comp_AP1_vertical_mode, ap1 = FGC_comp_AP1_engaged,
                avionics = AvionicsInstructorStates[0];
        float pitch = PitchAttitude, bank = BankAttitude, heading = Heading,
              ias = IndicatedAirspeed, altitude = Altitude;
        double nav_heading = NavHeading, radio_alt = RadioAltitude,
               fd_roll = FlightDirectorRollCommand, fd_pitch = FlightDirectorPitchCommand,
               accel = LongitudinalAccelFiltered;
        double accels[4];
        int32_t station[6];
        uint32_t rate = FrameChangeBits.load();
        int32_t refresh[kRefreshGroups];
        AircraftPositionRecord position = AircraftPosition;
        uint8_t fgc_state = FgcState, takeoff = GpwsTakeoffPhase;
        Saved() {
            std::memcpy(sources, NavSources, sizeof sources);
            std::memcpy(accels, HgsAccelerations, sizeof accels);
            std::memcpy(station, Nav1StationPosition, sizeof station);
            std::memcpy(refresh, RefreshCountdown, sizeof refresh);
        }
    };
    Saved saved_;

    void SetUp() override {
        Electrics_sys = {};
        BusPowered.set(kPoweredLeftMainDc, 1);
        for (auto& s : NavSources) {
            s.receive_state = 0;
            s.deviation_valid = 0;
            s.glideslope_alive = 0;
            s.glideslope_inclination = 0;
            s.glideslope_deviation = 0;
            s.lateral_deviation = 0;
            s.bearing = 0;
            s.course = 0;
            s.runway_heading = 0;
            s.glideslope_latitude = 0;
        }
        NavSourceSel1 = kNavVor1;
        OnGround = 0;
        RadioAltitudeReadoutValue = 2500;
        RadioAltitude = 800.0;
        VerticalSpeedRaw = 0;
        FGC_comp_AP1_lateral_mode = 1;
        FGC_comp_AP1_vertical_mode = 1;
        FGC_comp_AP1_engaged = FGC_comp_AP2_engaged = 0;
        AvionicsInstructorStates[0] = 0;
        FgcState = 0;
        FgcFlags1[3] = 0;
        GpwsTakeoffPhase = 0;
        PitchAttitude = BankAttitude = 0.0f;
        Heading = 90.0f;
        NavHeading = 0.0;
        IndicatedAirspeed = 150.0f;
        Altitude = 3000.0f;
        // Flying east, level.
        HgsAccelerations[0] = 0.0;
        HgsAccelerations[1] = 250.0;
        HgsAccelerations[2] = 250.0;
        HgsAccelerations[3] = 0.0;
        LongitudinalAccelFiltered = 0.0;
        FlightDirectorRollCommand = FlightDirectorPitchCommand = 0.0;
        FrameChangeBits.store(0x01);
        HGS_HGS_actual_mode = 1;
        HGS_HGS_stby_mode = 3;
        HGS_HGS_elevation_set = 543;
        HGS_HGS_gs_slope_angle = -3.0f;
        HGS_RASU_speed = 55;
        HgsAiiiAvailable = HgsAiiiArmed = HgsApproachWarning = 0;
        HgsAiiiPresetLatch = HgsGoAroundLatch = 0;
        HgsOnGroundPrevious = 0;
        HgsElevationEntry = HgsSlopeEntry = HgsEntryTyped = 0;
        HgsEntryLength = -1;
        HgsDigitKey.store(-1);
        HgsFlareArmed = HgsFlareActive = HgsIdleTimer = 0;
        HgsFlareCommand = HgsFlarePitchTarget = HgsFlareSinkRef = 0.0;
        HgsPanelBrightness = 200;
        for (auto* k :
             {&HgsKeyPress.transfer, &HgsKeyPress.cycle, &HgsKeyPress.elevation, &HgsKeyPress.slope,
              &HgsKeyPress.enter, &HgsKeyPress.clear, &HgsKeyPress.bright, &HgsKeyPress.dark,
              &HgsKeyPress.rasu_down, &HgsKeyPress.rasu_up}) {
            k->store(0);
        }
    }
    void TearDown() override {
        Electrics_sys = saved_.electrics;
        std::memcpy(NavSources, saved_.sources, sizeof saved_.sources);
        std::memcpy(HgsAccelerations, saved_.accels, sizeof saved_.accels);
        std::memcpy(Nav1StationPosition, saved_.station, sizeof saved_.station);
        std::memcpy(RefreshCountdown, saved_.refresh, sizeof saved_.refresh);
        NavSourceSel1 = saved_.sel;
        OnGround = saved_.on_ground;
        RadioAltitudeReadoutValue = saved_.ra;
        VerticalSpeedRaw = saved_.vs;
        FGC_comp_AP1_lateral_mode = saved_.lat;
        FGC_comp_AP1_vertical_mode = saved_.vert;
        FGC_comp_AP1_engaged = saved_.ap1;
        AvionicsInstructorStates[0] = saved_.avionics;
        PitchAttitude = saved_.pitch;
        BankAttitude = saved_.bank;
        Heading = saved_.heading;
        IndicatedAirspeed = saved_.ias;
        Altitude = saved_.altitude;
        NavHeading = saved_.nav_heading;
        RadioAltitude = saved_.radio_alt;
        FlightDirectorRollCommand = saved_.fd_roll;
        FlightDirectorPitchCommand = saved_.fd_pitch;
        LongitudinalAccelFiltered = saved_.accel;
        FrameChangeBits.store(saved_.rate);
        AircraftPosition = saved_.position;
        FgcState = saved_.fgc_state;
        GpwsTakeoffPhase = saved_.takeoff;
        HGS_HGS_actual_mode = HGS_HGS_stby_mode = 0;
        HgsAiiiAvailable = HgsApproachWarning = 0;
        HGS_HGS_elevation_set = 543;
        HGS_HGS_gs_slope_angle = -3.0f;
        HgsFlareArmed = HgsFlareActive = HgsIdleTimer = 0;
        HgsIdleMessage = 0;
    }

    // Both receivers on a localiser with glideslope, FGC 1 in LOC and GS.
    void CapturedIls() {
        for (int i : {kNavVor1, kNavVor2}) {
            NavSources[i].receive_state = 2;
            NavSources[i].deviation_valid = 1;
            NavSources[i].glideslope_alive = 1;
            NavSources[i].glideslope_inclination = 64990;
            NavSources[i].glideslope_inclination_copy = 64990;  // 3 degrees down
        }
        FGC_comp_AP1_lateral_mode = 6;
        FGC_comp_AP1_vertical_mode = 4;
    }
    static void Digit(int d) {
        HgsDigitKey.store(d);
        HgsKeyEntry();
    }
    static void Press(std::atomic<uint8_t>& key) {
        key.store(1);
        HgsUpdate();
    }
};

TEST_F(HeadUpGuidance, CycleSkipsActiveAndUnavailableModesAndTransferSwaps) {
    Press(HgsKeyPress.cycle);
    EXPECT_EQ(HGS_HGS_stby_mode, 4);
    Press(HgsKeyPress.cycle);
    EXPECT_EQ(HGS_HGS_stby_mode, 3);  // 1 is active, 2 refused
    Press(HgsKeyPress.transfer);
    EXPECT_EQ(HGS_HGS_actual_mode, 3);
    EXPECT_EQ(HGS_HGS_stby_mode, 4);
    EXPECT_EQ(RefreshCountdown[2], RefreshHoldCount2);
}

TEST_F(HeadUpGuidance, PowerUpTakeOffAndGoAroundReturnToPrimary) {
    HGS_HGS_actual_mode = HGS_HGS_stby_mode = 0;
    HgsUpdate();
    EXPECT_EQ(HGS_HGS_actual_mode, 1);
    EXPECT_EQ(HGS_HGS_stby_mode, 3);

    HGS_HGS_actual_mode = 4;
    OnGround = 255;
    HgsUpdate();
    EXPECT_EQ(HGS_HGS_actual_mode, 4);
    OnGround = 0;  // lift-off
    HgsUpdate();
    EXPECT_EQ(HGS_HGS_actual_mode, 1);

    HGS_HGS_actual_mode = 4;
    HGS_HGS_stby_mode = 1;
    FgcState = 1;
    HgsUpdate();
    EXPECT_EQ(HGS_HGS_actual_mode, 1);
    EXPECT_EQ(HGS_HGS_stby_mode, 3);
    HGS_HGS_actual_mode = 4;  // only the first go-around pass
    HgsUpdate();
    EXPECT_EQ(HGS_HGS_actual_mode, 4);

    BusPowered.set(kPoweredLeftMainDc, 0);
    HgsElevationEntry = 1;
    HgsUpdate();
    EXPECT_EQ(HGS_HGS_actual_mode, 0);
    EXPECT_EQ(HGS_HGS_stby_mode, 0);
    EXPECT_EQ(HgsElevationEntry, 0);
}

TEST_F(HeadUpGuidance, AiiiAvailabilityArmingAndInstructorFailure) {
    CapturedIls();
    HgsAiiiAvailability();
    EXPECT_EQ(HgsBothIls, 1);
    EXPECT_EQ(HgsAiiiAvailable, 1);
    EXPECT_EQ(HgsAiiiArmed, 1);
    HgsModeLogic();  // the standby is preset to AIII once
    EXPECT_EQ(HGS_HGS_stby_mode, 2);
    EXPECT_EQ(RefreshCountdown[2], 2 * RefreshHoldCount2);

    // A large fly-up needle removes it above 150 ft.
    NavSources[kNavVor1].glideslope_deviation = 120;
    HgsAiiiAvailability();
    EXPECT_EQ(HgsAiiiAvailable, 0);
    // Below: only heading and course near the runway keep it.
    NavSources[kNavVor1].glideslope_deviation = -20;
    NavSources[kNavVor1].runway_heading = 49152;  // inverse 270: runway 090
    NavSources[kNavVor1].course = 92.0;
    HgsAiiiAvailability();
    EXPECT_EQ(HgsAiiiAvailable, 1);
    Heading = 110.0f;
    HgsAiiiAvailability();
    EXPECT_EQ(HgsAiiiAvailable, 0);

    Heading = 90.0f;
    AvionicsInstructorStates[kAvionicsHgsApproachStatus] = 255;
    HgsAiiiAvailability();
    EXPECT_EQ(HgsAiiiAvailable, 0);
    EXPECT_EQ(HgsAiiiArmed, 0);
}

TEST_F(HeadUpGuidance, ApproachWarningConditions) {
    CapturedIls();
    Nav1StationPosition[2] = 165;  // 542 ft
    HGS_HGS_actual_mode = 2;
    HgsAiiiAvailable = 1;
    RadioAltitudeReadoutValue = 300;
    HgsModeLogic();
    EXPECT_EQ(HgsApproachWarning, 0);

    HGS_HGS_gs_slope_angle = -2.5f;  // disagrees with the 3 degree glideslope
    HgsModeLogic();
    EXPECT_EQ(HgsApproachWarning, 1);
    HGS_HGS_gs_slope_angle = -3.0f;
    HGS_HGS_elevation_set = 600;  // disagrees by 58 ft
    HgsModeLogic();
    EXPECT_EQ(HgsApproachWarning, 1);
    HGS_HGS_elevation_set = 543;

    FGC_comp_AP1_engaged = 1;
    HgsModeLogic();
    EXPECT_EQ(HgsApproachWarning, 1);
    OnGround = 255;
    HgsModeLogic();
    EXPECT_EQ(HgsApproachWarning, 0);
}

TEST_F(HeadUpGuidance, GlideslopeAndElevationEntries) {
    HgsKeyPress.slope.store(1);
    HgsKeyEntry();
    EXPECT_STREQ(HgsEntryText, "300");
    Digit(3);
    HgsKeyPress.enter.store(1);
    HgsKeyEntry();
    EXPECT_FLOAT_EQ(HGS_HGS_gs_slope_angle, -3.0f);
    EXPECT_EQ(HgsSlopeEntry, 0);

    HgsKeyPress.slope.store(1);
    HgsKeyEntry();
    for (int d : {2, 7, 5, 9}) Digit(d);  // the fourth digit does not fit
    EXPECT_STREQ(HgsEntryText, "275");
    HgsKeyPress.enter.store(1);
    HgsKeyEntry();
    EXPECT_FLOAT_EQ(HGS_HGS_gs_slope_angle, -2.75f);

    HgsKeyPress.slope.store(1);
    HgsKeyEntry();
    Digit(2);
    Digit(5);
    HgsKeyPress.enter.store(1);
    HgsKeyEntry();
    EXPECT_FLOAT_EQ(HGS_HGS_gs_slope_angle, -2.5f);

    // Enter with nothing typed only ends the entry.
    HgsKeyPress.slope.store(1);
    HgsKeyEntry();
    HgsKeyPress.enter.store(1);
    HgsKeyEntry();
    EXPECT_EQ(HgsSlopeEntry, 0);
    EXPECT_FLOAT_EQ(HGS_HGS_gs_slope_angle, -2.5f);

    // Elevation: at most five digits, clear removes the last.
    HgsKeyPress.elevation.store(1);
    HgsKeyEntry();
    EXPECT_STREQ(HgsEntryText, "543");
    for (int d : {1, 2, 3, 4, 5, 6}) Digit(d);
    EXPECT_STREQ(HgsEntryText, "12345");
    HgsKeyPress.clear.store(1);
    HgsKeyEntry();
    EXPECT_STREQ(HgsEntryText, "1234");
    HgsKeyPress.enter.store(1);
    HgsKeyEntry();
    EXPECT_EQ(HGS_HGS_elevation_set, 1234);
    EXPECT_EQ(HgsEntryTyped, 0);

    // A digit pressed outside an entry waits for the next one.
    HgsDigitKey.store(7);
    HgsKeyEntry();
    EXPECT_EQ(HgsDigitKey.load(), 7);
    HgsKeyPress.elevation.store(1);
    HgsKeyEntry();
    EXPECT_STREQ(HgsEntryText, "7");
}

TEST_F(HeadUpGuidance, RasuSpeedStepsAndBlank) {
    HGS_RASU_speed = 0;
    Press(HgsKeyPress.rasu_up);
    EXPECT_EQ(HGS_RASU_speed, 55);
    Press(HgsKeyPress.rasu_down);
    EXPECT_EQ(HGS_RASU_speed, 0);
    Press(HgsKeyPress.rasu_down);
    EXPECT_EQ(HGS_RASU_speed, 0);
    HGS_RASU_speed = 400;
    Press(HgsKeyPress.rasu_up);
    EXPECT_EQ(HGS_RASU_speed, 400);
    Press(HgsKeyPress.rasu_down);
    EXPECT_EQ(HGS_RASU_speed, 399);
}

TEST_F(HeadUpGuidance, FlightPathSymbolNeutralSlowAndLimited) {
    HgsUpdate();
    EXPECT_NEAR(HgsFpsX, 525.0, 1e-6);
    EXPECT_NEAR(HgsFpsY, 249.0, 1e-6);
    EXPECT_EQ(HgsFpsLimited, 0);

    // Drifting 10 degrees right of the heading: 193.5 pixels right.
    Heading = 80.0f;
    HgsUpdate();
    EXPECT_NEAR(HgsFpsX, 525.0 + 193.5, 0.25);
    EXPECT_EQ(HgsFpsLimited, 0);
    // 20 degrees passes the PRI layout's right edge.
    Heading = 70.0f;
    HgsUpdate();
    EXPECT_EQ(HgsFpsX, 841.0);
    EXPECT_EQ(HgsFpsLimited, 1);

    IndicatedAirspeed = 39.0f;
    HgsUpdate();
    EXPECT_EQ(HgsFpsX, 525.0);
    EXPECT_EQ(HgsFpsY, 249.0);
    EXPECT_EQ(HgsFpsLimited, 0);
}

TEST_F(HeadUpGuidance, PitchCompressionHalvesVerticalCueOffsets) {
    FlightDirectorPitchCommand = 6.0;  // 2 degrees of cue: 48 pixels
    PitchAttitude = 10.0f;
    HgsUpdate();
    EXPECT_EQ(HgsPitchCompression, 1);
    EXPECT_NEAR(HgsFdCueY - HgsFpsY, 48.0 + 6.0, 1e-9);
    PitchAttitude = 25.0f;
    HgsUpdate();
    EXPECT_EQ(HgsPitchCompression, 2);
    EXPECT_NEAR(HgsFdCueY - HgsFpsY, 24.0 + 6.0, 1e-9);
    EXPECT_NEAR(HgsGsLineY, 12.5 - 3.0, 1e-6);
}

TEST_F(HeadUpGuidance, FlareSinkReferenceAndActivation) {
    CapturedIls();
    HGS_HGS_actual_mode = 2;
    HGS_HGS_stby_mode = 3;
    RadioAltitudeReadoutValue = 60;
    RadioAltitude = 25.0;  // 72 ft above the wheels
    VerticalSpeedRaw = -700;
    HgsFlareGuidance();
    EXPECT_EQ(HgsFlareArmed, 1);
    EXPECT_EQ(HgsFlareSinkRef, -450.0);
    EXPECT_EQ(HgsFlareActive, 0);

    HgsFlareArmed = 0;
    VerticalSpeedRaw = -480;
    HgsFlareGuidance();
    EXPECT_EQ(HgsFlareSinkRef, -480.0);

    RadioAltitude = 15.0;  // 39 ft: the flare becomes active
    HgsFlareGuidance();
    EXPECT_EQ(HgsFlareActive, 1);
    HgsFlareGuidance();
    EXPECT_EQ(HgsFdCueY, HgsFlareCueY);  // the FD cue follows the flare cue

    RadioAltitude = 4.0;  // 3 ft: IDLE for 64 passes
    HgsFlareGuidance();
    EXPECT_EQ(HgsIdleMessage, 1);
    EXPECT_EQ(HgsIdleTimer, kHgsIdlePasses - 1);

    RadioAltitude = 40.0;  // above 90 ft both reset
    HgsFlareGuidance();
    EXPECT_EQ(HgsFlareArmed, 0);
    EXPECT_EQ(HgsFlareActive, 0);
}

TEST_F(HeadUpGuidance, DeviationPointersAndWarningHidesCues) {
    CapturedIls();
    HGS_HGS_actual_mode = 3;
    NavSources[kNavVor1].lateral_deviation = 221.0;  // the byte form of -35
    NavSources[kNavVor1].course = 90.0;
    NavSources[kNavVor1].glideslope_deviation = -84;
    HgsUpdate();
    EXPECT_NEAR(HgsLateralDeviation, -1.0, 1e-9);
    EXPECT_NEAR(HgsVerticalDeviation, -84 * 0.023752969121140142, 1e-9);
    EXPECT_EQ(HgsGroundLocLineX, kHgsNotShown);
    EXPECT_EQ(HgsGsPointer, -84.0);
    EXPECT_NE(HgsFdCueX, kHgsNotShown);

    // On the ground in PRI: the ground-roll line, scaled by 1/8.
    NavSources[kNavVor1].lateral_deviation = 240.0;  // -16
    OnGround = 255;
    HGS_HGS_actual_mode = 1;
    HgsUpdate();
    EXPECT_NEAR(HgsGroundLocLineX, -2.0, 1e-9);
    EXPECT_EQ(HgsLateralDeviation, kHgsNotShown);

    OnGround = 0;
    HgsOnGroundPrevious = 0;
    HGS_HGS_actual_mode = 2;
    HGS_HGS_stby_mode = 3;
    RadioAltitudeReadoutValue = 300;
    AvionicsInstructorStates[kAvionicsHgsApproachStatus] = 1;  // AIII not available
    HgsUpdate();
    EXPECT_EQ(HgsApproachWarning, 1);
    EXPECT_EQ(HgsVerticalDeviation, kHgsNotShown);
    EXPECT_EQ(HgsFdCueX, kHgsNotShown);
    EXPECT_EQ(HgsFdCueY, kHgsNotShown);
    EXPECT_EQ(HgsFlareCueY, kHgsCueNotShown);

    // A source without glideslope.
    NavSources[kNavVor1].glideslope_inclination = 0;
    HgsUpdate();
    EXPECT_EQ(HgsGsPointer, kHgsNoGlideslope);
}

TEST_F(HeadUpGuidance, BrightDarkAndBlink) {
    const int32_t blink = HgsBlinkCounter;
    Press(HgsKeyPress.dark);
    EXPECT_EQ(HgsPanelBrightness, 0);
    Press(HgsKeyPress.bright);
    EXPECT_EQ(HgsPanelBrightness, 255);
    EXPECT_EQ(HgsBlinkCounter, blink);  // not on odd ticks
    FrameChangeBits.store(0x03);
    HgsUpdate();
    EXPECT_EQ(HgsBlinkCounter, (blink + 1) % 16);
}

// --- Runway projection -------------------------------------------------------

class HgsRunway : public HeadUpGuidance {};

TEST_F(HgsRunway, OutlineAlongTheRunwayAxis) {
    AircraftPosition.latitude = 0.0;
    NavSources[kNavVor1].runway_heading = 0;  // inverse 0: runway 180
    NavSources[kNavVor1].glideslope_latitude = 1000000;
    NavSources[kNavVor1].glideslope_longitude = 0;
    NavSources[kNavVor1].glideslope_altitude = 1852;
    // The NAV1 station 0.3 nm south of the transmitter, along a runway
    // heading 180.
    const double units_per_nm = 10001750.0 / 90.0 / 60.0;
    const int32_t offset = 556;  // 0.3002 nm
    Nav1StationPosition[0] = 1000000 - offset;
    Nav1StationPosition[1] = 0;
    Nav1StationPosition[2] = 0;
    HgsRunwayOutline();
    const double r_north = 1000000 / units_per_nm;
    const auto along = [&](int i) { return r_north - HgsRunwayGroundPoints[i][1]; };
    const double s = offset / units_per_nm;
    EXPECT_NEAR(s, 0.3, 1e-3);
    EXPECT_NEAR(along(0), s, 1e-9);
    EXPECT_NEAR(along(1), s - 0.1, 1e-9);
    EXPECT_NEAR(along(2), s + 0.5, 1e-9);
    EXPECT_NEAR(along(3), s + 0.5, 1e-9);
    EXPECT_NEAR(along(4), s - 0.1, 1e-9);
    // Heading south, left is east.
    EXPECT_NEAR(HgsRunwayGroundPoints[1][0], 0.012, 1e-9);
    EXPECT_NEAR(HgsRunwayGroundPoints[3][0], -0.012, 1e-9);
    EXPECT_NEAR(HgsRunwayGroundPoints[0][2], 1.0, 1e-12);

    // No runway data: the outline stays.
    NavSources[kNavVor1].glideslope_latitude = 0;
    Nav1StationPosition[0] = 0;
    HgsRunwayOutline();
    EXPECT_NEAR(along(2), s + 0.5, 1e-9);
}

TEST_F(HgsRunway, ProjectionAtKnownScreenPoints) {
    HUD_RWY_EDGE_LINES_ZOOMx100 = 1.0;
    HUD_RWY_EDGE_LAT_ANGLEx100 = 46.0;
    HUD_RWY_EDGE_VERT_ANGLEx100 = 42.5;
    HUD_RWY_EDGE_CENTER_X = 576.0;
    HUD_RWY_EDGE_CENTER_Y = 277.0;
    HUD_RWY_CAMERA_X_SHIFT = 0.001;
    AircraftPosition.east_nm = 10.0;
    AircraftPosition.north_nm = 20.0;
    Altitude = 0.0f;
    Heading = 0.5f;  // the camera looks due north
    const double ground[kHgsRunwayPoints][3] = {
        {10.0, 21.0, 0.0},    {10.1, 21.0, 0.0}, {10.0, 21.0, -0.1},
        {10.05, 20.5, -0.02}, {10.0, 19.0, 0.0},  // behind: rejected
    };
    std::memcpy(HgsRunwayGroundPoints, ground, sizeof ground);
    HgsRunwayScreenPoints[4][0] = -7;
    HgsRunwayScreenPoints[4][1] = -8;
    HgsRunwayProject();
    const int32_t expected[4][2] = {{577, 277}, {697, 277}, {577, 408}, {699, 329}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(HgsRunwayScreenPoints[i][0], expected[i][0]) << i;
        EXPECT_EQ(HgsRunwayScreenPoints[i][1], expected[i][1]) << i;
    }
    EXPECT_EQ(HgsRunwayScreenPoints[4][0], -7);
    EXPECT_EQ(HgsRunwayScreenPoints[4][1], -8);

    // Outside AIII the tick's step leaves the points alone.
    HgsRunwayScreenPoints[0][0] = 1;
    HGS_HGS_actual_mode = 3;
    RadioAltitudeReadoutValue = 200;
    HgsUpdate();
    EXPECT_EQ(HgsRunwayScreenPoints[0][0], 1);
}

}  // namespace
}  // namespace zu
