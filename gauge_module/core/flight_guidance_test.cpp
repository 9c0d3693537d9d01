// Unit tests of the flight guidance: mode logic, control-law values,
// annunciator texts, message timers and the self-test, on the module's
// globals with the systems-tick rate mask set by hand.
#include "core/flight_guidance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/afcs_messages.h"
#include "core/ahrs.h"
#include "core/air_data.h"
#include "core/autopilot_control_laws.h"
#include "core/electrical_system.h"
#include "core/flight_guidance_annunciation.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/radio_altitude_alerting.h"
#include "core/systems_tick.h"
#include "instruments/gauge_framework.h"

namespace zu {
namespace {

class FlightGuidance : public testing::Test {
  protected:
    // What these tests change of other systems' state, put back afterwards.
    struct Saved {
        ElectricsRecord electrics = Electrics_sys;
        NavSourceRecord sources[kNavSourceCount];
        AhrsRecord ahrs1 = Ahrs1, ahrs2 = Ahrs2;
        int32_t on_ground = OnGround;
        float altitude = Altitude, baro1 = BaroAltitude1;
        uint32_t pass_bits = HostPassChangeBits, rate = FrameChangeBits.load(),
                 tick = TickCounter.load();
        int32_t vs = VerticalSpeedRaw, ra = RadioAltitudeReadoutValue,
                selected = AIRDATA_comp_selected_alt;
        Saved() { std::memcpy(sources, NavSources, sizeof sources); }
    };
    void TearDown() override {
        Electrics_sys = saved_.electrics;
        std::memcpy(NavSources, saved_.sources, sizeof saved_.sources);
        Ahrs1 = saved_.ahrs1;
        Ahrs2 = saved_.ahrs2;
        OnGround = saved_.on_ground;
        Altitude = saved_.altitude;
        BaroAltitude1 = saved_.baro1;
        HostPassChangeBits = saved_.pass_bits;
        FrameChangeBits.store(saved_.rate);
        TickCounter.store(saved_.tick);
        VerticalSpeedRaw = saved_.vs;
        RadioAltitudeReadoutValue = saved_.ra;
        AIRDATA_comp_selected_alt = saved_.selected;
    }
    Saved saved_;

    void SetUp() override {
        Electrics_sys = {};
        LeftAvionicsBus.set(115);
        RightAvionicsBus.set(115);
        AcBusPowered.set(2, 1);
        AcBusPowered.set(3, 1);
        BusPowered.set(kPoweredRightEssential, 1);
        AfcsPower1 = AfcsPower2 = 1;
        for (auto& r : ApButtonRequest) r.store(0);
        ApKnob.store(0);
        FGC_comp_AP_master.store(1);
        TcsButtonState.store(0);
        ApDisconnectButtonState.store(0);
        FGC_comp_AP1_engaged = FGC_comp_AP2_engaged = 0;
        FGC_comp_YD1_engaged = FGC_comp_YD2_engaged = 0;
        FGC_comp_AP1_vertical_mode = kVertNone;
        FGC_comp_AP1_lateral_mode = kLatNone;
        FGC_comp_AP1_vertical_armed_mode_1 = FGC_comp_AP1_vertical_armed_mode_2 = 0;
        FGC_comp_AP1_lateral_armed_mode = 0;
        FGC_comp_FGC1_system_test_timer = FGC_comp_FGC2_system_test_timer = 0;
        FgcChannel1 = FgcChannel2 = {};
        FgcChannel1.saved_coupled_side = FgcChannel2.saved_coupled_side = -1;
        FgcSelect = {};
        ApLaw1 = ApLaw2 = {};
        FgcState = FdBarSense = 0;
        FgcFlags1[0] = Fgc2TcsActive = 0;
        FgcSide1.coupled_side = 1;
        FgcSide1.nav_source = &NavSources[kNavVor1];
        FgcSide2.nav_source = &NavSources[kNavVor1];
        NavSources[kNavVor1].receive_state = 0;
        NavSources[kNavVor1].kind = 1;
        FgcVsTarget = FgcPitchTarget = 0.0f;
        FgcBankLimit = 25.0;
        FgcRollCommand = 0.0;
        std::memset(FgcMessageLines, 0, sizeof FgcMessageLines);
        FgcMessageState1.code.store(0);
        FgcMessageState2.code.store(0);
        FgcMessageState1.upper_time = FgcMessageState1.lower_time = 0;
        OnGround = 0;
        VerticalSpeedRaw = 0;
        StallSystemFail[0] = StallSystemFail[1] = 0;
        AhrsSetAligned(Ahrs1);
        AhrsSetAligned(Ahrs2);
        Ahrs1.valid[0] = Ahrs1.valid[1] = Ahrs1.valid[2] = 0;
        Ahrs2.valid[0] = Ahrs2.valid[1] = Ahrs2.valid[2] = 0;
        Ahrs1.bank = Ahrs1.pitch = 0.0;
        Ahrs2.bank = Ahrs2.pitch = 0.0;
        HostPauseIndicator = 0;
        FrameChangeBits.store(0x02);
    }
    void Select(int request) {
        ApButtonRequest[request].store(1);
        FrameChangeBits.store(0x02);
        FgcModeSelect();
    }
    // One guidance tick with the rate mask `rate`.
    void Tick(uint32_t rate = 0x02) {
        FrameChangeBits.store(rate);
        if (rate & 0x02) FgcModeSelect();
        Fgc1Step();
        Fgc2Step();
    }
};

TEST_F(FlightGuidance, ButtonsToggleTheirModesOnBothComputers) {
    Select(kApRequestAp);
    ASSERT_EQ(FGC_comp_AP1_engaged, 1);
    EXPECT_EQ(FGC_comp_YD1_engaged, 1);
    EXPECT_EQ(FGC_comp_AP1_vertical_mode, kVertPitch);
    EXPECT_EQ(FGC_comp_AP1_lateral_mode, kLatBasic);
    struct Row {
        int request;
        int32_t* mode;
        int32_t before, after;
    };
    const Row rows[] = {
        {kApRequestHdg, &FGC_comp_AP1_lateral_mode, kLatBasic, kLatHdg},
        {kApRequestHdg, &FGC_comp_AP1_lateral_mode, kLatHdg, kLatWingsLevel},
        {kApRequestAlt, &FGC_comp_AP1_vertical_mode, kVertPitch, kVertAlt},
        {kApRequestAlt, &FGC_comp_AP1_vertical_mode, kVertAlt, kVertPitch},
        {kApRequestVs, &FGC_comp_AP1_vertical_mode, kVertAlt, kVertVs},
        {kApRequestVs, &FGC_comp_AP1_vertical_mode, kVertVs, kVertPitch},
        {kApRequestIas, &FGC_comp_AP1_vertical_mode, kVertVs, kVertIas},
        {kApRequestIas, &FGC_comp_AP1_vertical_mode, kVertIas, kVertPitch},
    };
    for (const Row& r : rows) {
        *r.mode = r.before;
        Select(r.request);
        EXPECT_EQ(*r.mode, r.after) << "request " << r.request << " from " << r.before;
        EXPECT_EQ(ApButtonRequest[r.request].load(), 0);
    }
    // The second computer follows the first.
    EXPECT_EQ(FGC_comp_AP2_vertical_mode, FGC_comp_AP1_vertical_mode);
    EXPECT_EQ(FGC_comp_AP2_lateral_mode, FGC_comp_AP1_lateral_mode);
    // Standby clears both axes; the AP then drops (no lateral mode).
    Select(kApRequestStandby);
    EXPECT_EQ(FGC_comp_AP1_vertical_mode, kVertNone);
    EXPECT_EQ(FGC_comp_AP1_lateral_mode, kLatNone);
    EXPECT_EQ(FGC_comp_AP1_engaged, 0);
}

TEST_F(FlightGuidance, RequestsThatCannotActGiveTheirMessages) {
    OnGround = 1;
    Select(kApRequestAp);
    EXPECT_EQ(FGC_comp_AP1_engaged, 0);
    EXPECT_STREQ(FgcMessageLines[kMsgSide1Upper], "ACFT ON GND");
    EXPECT_STREQ(FgcMessageLines[kMsgSide2Upper], "ACFT ON GND");
    EXPECT_EQ(FgcMessageState1.code.load(), 3);
    OnGround = 0;
    Select(kApRequestNav);
    EXPECT_STREQ(FgcMessageLines[kMsgSide1Lower], "CHECK NAV FREQ");
    NavSources[kNavVor1].kind = 4;
    NavSources[kNavVor1].receive_state = 4;
    Select(kApRequestAppr);
    EXPECT_STREQ(FgcMessageLines[kMsgSide1Lower], "CHECK NAV SOURCE");
    FGC_comp_AP1_vertical_mode = kVertGs;
    Select(kApRequestAltSel);
    EXPECT_EQ(FGC_comp_AP1_vertical_armed_mode_1, 0);
    EXPECT_STREQ(FgcMessageLines[kMsgSide1Upper], "INVALID OP");
}

TEST_F(FlightGuidance, RequestsWaitForComputerOnePower) {
    LeftAvionicsBus.set(0);
    Select(kApRequestHdg);
    EXPECT_EQ(ApButtonRequest[kApRequestHdg].load(), 1);
    LeftAvionicsBus.set(115);
    FgcModeSelect();
    EXPECT_EQ(ApButtonRequest[kApRequestHdg].load(), 0);
    EXPECT_EQ(FGC_comp_AP1_lateral_mode, kLatHdg);
}

TEST_F(FlightGuidance, AltitudePreselectCapturesInsideTheBand) {
    FGC_comp_AP1_vertical_mode = kVertVs;
    FGC_comp_AP1_lateral_mode = kLatHdg;
    FGC_comp_AP1_vertical_armed_mode_1 = 1;
    AIRDATA_comp_selected_alt = 5000;
    VerticalSpeedRaw = 1000;
    BaroAltitudeSource = &BaroAltitude1;
    BaroAltitude1 = 4690.0f;
    Fgc1Step();
    EXPECT_EQ(FGC_comp_AP1_vertical_mode, kVertVs);
    BaroAltitude1 = 4705.0f;
    Fgc1Step();
    EXPECT_EQ(FGC_comp_AP1_vertical_mode, kVertAlt);
    EXPECT_EQ(FGC_comp_AP1_vertical_armed_mode_1, 0);
    EXPECT_EQ(FGC_comp_AP_prog_alt, 5000.0f);
}

TEST_F(FlightGuidance, KnobStepsInVerticalSpeedAndAltitudeHold) {
    FGC_comp_AP1_vertical_mode = kVertVs;
    FGC_comp_AP1_lateral_mode = kLatHdg;
    FgcChannel1.last_knob = ApKnob.load();
    FgcSide1.previous_vertical_mode = kVertVs;
    FgcVsTarget = 0.0f;
    ApKnob.fetch_add(3);
    Fgc1Step();
    EXPECT_NEAR(FgcVsTarget, -300.3f, 0.01f);
    FrameChangeBits.store(0x04);
    Fgc1Step();
    EXPECT_EQ(FgcVsTarget, -300.0f);
    // A knob step in altitude hold gives pitch hold and "VERT MODE OFF".
    FGC_comp_AP1_vertical_mode = kVertAlt;
    ApKnob.fetch_add(1);
    Fgc1Step();
    EXPECT_EQ(FGC_comp_AP1_vertical_mode, kVertPitch);
    EXPECT_STREQ(FgcMessageLines[kMsgSide1Upper], "VERT MODE OFF");
    EXPECT_EQ(FgcMessageState1.code.load(), 2);
}

// The knob count is taken on every pass, powered or not: clicks made while
// FGC 1 is unpowered are not applied in a burst when its power returns.
TEST_F(FlightGuidance, KnobClicksWithoutPowerAreDroppedNotAppliedLater) {
    FGC_comp_AP1_vertical_mode = kVertPitch;
    FGC_comp_AP1_lateral_mode = kLatHdg;
    FgcSide1.previous_vertical_mode = kVertPitch;
    FgcChannel1.last_knob = ApKnob.load();
    FgcPitchTarget = 2.0f;
    AfcsPower1 = 0;
    ApKnob.fetch_add(5);
    Fgc1Step();
    EXPECT_EQ(FgcChannel1.last_knob, ApKnob.load());
    AfcsPower1 = 1;
    Fgc1Step();
    EXPECT_EQ(FgcPitchTarget, 2.0f);
    // Powered, one click that raises the count lowers the target by 0.1.
    ApKnob.fetch_add(1);
    Fgc1Step();
    EXPECT_NEAR(FgcPitchTarget, 1.9f, 1e-6f);
}

// Engaged and paused, the roll servo output is 0; running again it
// integrates from 0. Bank 10 with a zero command: the bank error term is
// held at -0.12, the demand is 3 x -0.12 and one pass adds 3000 x 0.36.
TEST_F(FlightGuidance, RollServoIsZeroWhilePausedAndStartsAgainFromZero) {
    FGC_comp_AP1_engaged = 1;
    FGC_comp_AP1_lateral_mode = kLatBasic;
    AfcsPower1 = 1;
    BankAttitude = 10.0f;
    RollRate = RollAcceleration = 0.0;
    IndicatedAirspeed = 100.0f;
    ApControlLaws();
    EXPECT_NEAR(ApRollServoOutput, 1080, 1);
    ApControlLaws();
    EXPECT_NEAR(ApRollServoOutput, 2160, 2);
    HostPauseIndicator = 1;
    ApControlLaws();
    EXPECT_EQ(ApRollServoOutput, 0);
    ApControlLaws();
    EXPECT_EQ(ApRollServoOutput, 0);
    HostPauseIndicator = 0;
    ApControlLaws();
    EXPECT_NEAR(ApRollServoOutput, 1080, 1);
    // The same for FGC 2's law set with AP 2 engaged.
    FGC_comp_AP1_engaged = 0;
    FGC_comp_AP2_engaged = 1;
    FGC_comp_AP2_lateral_mode = kLatBasic;
    AfcsPower2 = 1;
    HostPauseIndicator = 1;
    ApControlLaws2();
    EXPECT_EQ(ApRollServoOutput, 0);
}

TEST_F(FlightGuidance, AnnunciatorTextsAreExact) {
    FGC_comp_AP1_lateral_mode = kLatHdg;
    FGC_comp_AP1_vertical_mode = kVertVs;
    FgcVsTarget = -300.0f;
    FmaTextUpdate();
    EXPECT_STREQ(FgcSide1.fma.vertical, "VS -300 FPM ");
    FgcFlags1[0] = 1;
    FmaTextUpdate();
    EXPECT_STREQ(FgcSide1.fma.vertical, "VS ---- FPM ");
    FgcFlags1[0] = 0;
    FGC_comp_AP1_vertical_mode = kVertIas;
    FgcIasTarget = 5;
    FmaTextUpdate();
    EXPECT_STREQ(FgcSide1.fma.vertical, "IAS   5 KTS ");
    FGC_comp_AP1_vertical_mode = kVertAlt;
    BaroAltitudeSource = &BaroAltitude1;
    BaroAltitude1 = 3060.0f;
    FGC_comp_AP_prog_alt = 3000.0f;
    FmaTextUpdate();
    EXPECT_STREQ(FgcSide1.fma.vertical, "ALT*   ");
    EXPECT_EQ(FmaFlags1[0], 0);
    // Navigation mode: localiser and VOR thresholds.
    FGC_comp_AP1_lateral_mode = kLatNav;
    NavSources[kNavVor1].receive_state = 2;
    FgcChannel1.lateral_deviation = 19.0;
    FmaTextUpdate();
    EXPECT_STREQ(FgcSide1.fma.lateral, "    LOC");
    NavSources[kNavVor1].receive_state = 1;
    FgcChannel1.lateral_deviation = 29.0;
    FmaTextUpdate();
    EXPECT_STREQ(FgcSide1.fma.lateral, "    VOR");
    FgcChannel1.lateral_deviation = -30.0;
    FmaTextUpdate();
    EXPECT_STREQ(FgcSide1.fma.lateral, "    VOR*");
    EXPECT_EQ(FmaFlags1[1], 0);
    // Mode 4 does not exist: the field stays as it was.
    FGC_comp_AP1_lateral_mode = 4;
    FmaTextUpdate();
    EXPECT_STREQ(FgcSide1.fma.lateral, "    VOR*");
    // Only every 2nd tick.
    FGC_comp_AP1_lateral_mode = kLatHdg;
    FrameChangeBits.store(0x01);
    FmaTextUpdate();
    EXPECT_STREQ(FgcSide1.fma.lateral, "    VOR*");
}

// Over the station the navigation mode keeps its captured flag; the
// approach mode's station-passage texts mark the lateral field captured.
TEST_F(FlightGuidance, StationPassageCapturedFlagByMode) {
    struct Case {
        int32_t mode;
        int32_t kind;
        uint8_t back_course;
        const char* text;
        uint8_t flag;  // after a capturing text left it 0
    };
    for (const Case& c : {Case{5, 1, 0, "VOR OS", 0}, Case{5, 2, 0, "LOC OS", 0},
                          Case{5, 2, 1, "BC LOC OS", 0}, Case{6, 1, 0, "APP VOR OS", 1},
                          Case{6, 2, 0, "APP LOC OS", 1}, Case{6, 2, 1, "BC LOC OS", 1}}) {
        FGC_comp_AP1_lateral_mode = kLatNav;
        FgcChannel1.over_station = 0;
        FgcChannel1.lateral_deviation = 40.0;
        NavSources[kNavVor1].receive_state = 1;
        FdBarSense = 0;
        FmaTextUpdate();
        ASSERT_STREQ(FgcSide1.fma.lateral, "    VOR*");
        ASSERT_EQ(FmaFlags1[1], 0);
        FGC_comp_AP1_lateral_mode = c.mode;
        FgcChannel1.over_station = 1;
        FgcChannel1.signal_kind = c.kind;
        FdBarSense = c.back_course;
        FmaTextUpdate();
        EXPECT_STREQ(FgcSide1.fma.lateral, c.text) << c.mode << " " << c.kind;
        EXPECT_EQ(FmaFlags1[1], c.flag) << c.text;
    }
    // A captured flag stays set through the navigation mode's passage.
    FGC_comp_AP1_lateral_mode = kLatHdg;
    FmaTextUpdate();
    FGC_comp_AP1_lateral_mode = kLatNav;
    FgcChannel1.signal_kind = 1;
    FdBarSense = 0;
    FmaTextUpdate();
    EXPECT_STREQ(FgcSide1.fma.lateral, "VOR OS");
    EXPECT_EQ(FmaFlags1[1], 1);
}

TEST_F(FlightGuidance, MessageLinesRunOutAndBlinkUntilAcknowledged) {
    FgcMessageSet("ACFT ON GND", 3, 36);
    int passes = 0;
    while (FgcMessageLines[kMsgSide1Upper][0] != '\0' && passes < 100) {
        TickCounter.store(static_cast<uint32_t>(passes));
        AfcsSelfTest1();
        if (passes == 2) {
            EXPECT_EQ(FgcMessageState1.code3_flag, 1);  // tick bit 1 set
        }
        if (passes == 4) {
            EXPECT_EQ(FgcMessageState1.code3_flag, 0);
        }
        ++passes;
    }
    EXPECT_EQ(passes, 36);
    EXPECT_EQ(FgcMessageState1.code.load(), 0);
    // Acknowledged (code 2): steady.
    FgcMessageSet("AP DISENG", 3, 36);
    FgcMessageState1.code.store(2);
    TickCounter.store(2);
    AfcsSelfTest1();
    EXPECT_EQ(FgcMessageState1.code3_flag, 0);
    EXPECT_STREQ(FgcMessageLines[kMsgSide1Upper], "AP DISENG");
    // A text without a code disappears on the next pass.
    FgcMessageSet("X", 0, 36);
    AfcsSelfTest1();
    EXPECT_STREQ(FgcMessageLines[kMsgSide1Upper], "");
    FgcMessageSetLower("AP ENG", 8);
    for (int i = 0; i < 8; ++i) AfcsSelfTest1();
    EXPECT_STREQ(FgcMessageLines[kMsgSide1Lower], "");
}

TEST_F(FlightGuidance, SelfTestOnTheGroundHoldsTheAhrsAligning) {
    OnGround = 1;
    BusPowered.set(kPoweredRightEssential, 0);
    AfcsSelfTest1();
    EXPECT_EQ(FGC_comp_FGC1_system_test_timer, kFgcTestTicks - 1);  // re-armed, then counted
    BusPowered.set(kPoweredRightEssential, 1);
    bool master_seen = false;
    while (FGC_comp_FGC1_system_test_timer > 0) {
        AfcsSelfTest1();
        const int32_t t = FGC_comp_FGC1_system_test_timer;
        if (t > 232) {
            EXPECT_STREQ(FgcMessageLines[kMsgSide1Lower], "SYSTEM TEST") << t;
        }
        if (t == 208)
            master_seen = std::strcmp(FgcMessageLines[kMsgSide1Lower], "L AFCS MSTR") == 0;
        if (t < 347 && t > 1) {
            EXPECT_EQ(+Ahrs1.align_countdown, 5) << t;
        }
    }
    EXPECT_TRUE(master_seen);
    EXPECT_EQ(+Ahrs1.align_countdown, 0);
    // Power cycled, then airborne: the test ends at once.
    BusPowered.set(kPoweredRightEssential, 0);
    AfcsSelfTest1();
    BusPowered.set(kPoweredRightEssential, 1);
    OnGround = 0;
    AfcsSelfTest1();
    EXPECT_EQ(FGC_comp_FGC1_system_test_timer, 0);
}

TEST_F(FlightGuidance, ControlLawPassValues) {
    NavSourceRecord& src = NavSources[kNavVor1];
    src.receive_state = 2;
    src.lateral_deviation = 200.0;
    src.course = 90.0;
    FGC_comp_AP1_lateral_mode = kLatAppr;
    AfcsPower1 = 1;
    ApControlLaws();
    EXPECT_EQ(FgcChannel1.lateral_deviation, -56.0);
    // A course change holds the integrator at 0 for 5000 passes, even with
    // the needle inside its window.
    src.lateral_deviation = 1.0;
    src.course = 100.0;
    ApLaw1.integrator = 1.0;
    ApControlLaws();
    EXPECT_EQ(ApLaw1.integrator_hold, 5000 - 1);
    EXPECT_EQ(ApLaw1.integrator, 0.0);
    src.lateral_deviation = 200.0;
    FdBarSense = 1;
    ApControlLaws();
    EXPECT_EQ(FgcChannel1.lateral_deviation, 56.0);
    FdBarSense = 0;

    // LNAV above 10000 ft: the bank command stays within 17 degrees.
    src.kind = 4;
    src.receive_state = 4;
    src.lateral_deviation = 127.0;
    FGC_comp_AP1_lateral_mode = kLatNav;
    Altitude = 12000.0f;
    for (int i = 0; i < 200; ++i) ApControlLaws();
    EXPECT_EQ(FgcBankLimit, 17.0);
    EXPECT_LE(std::fabs(FgcRollCommand), 17.0);
    EXPECT_GT(std::fabs(FgcRollCommand), 16.0);

    // Flight director only: the pitch target stays within 3 degrees of the
    // aircraft's pitch.
    FGC_comp_AP1_vertical_mode = kVertVs;
    FgcVsTarget = 3000.0f;
    Ahrs1.pitch = -2.0;  // 2 degrees nose up
    FgcPitchTarget = 2.0f;
    for (int i = 0; i < 2000; ++i) ApControlLaws();
    EXPECT_LE(FgcPitchTarget, 5.0f + 1e-4f);
    EXPECT_GT(FgcPitchTarget, 4.9f);
    // Beyond 90 degrees of bank the turn compensation is 0, not NaN.
    FGC_comp_AP1_engaged = 1;
    FGC_comp_AP1_vertical_mode = kVertAlt;
    Ahrs1.bank = 120.0;
    HostPassChangeBits = 0x04;
    ApControlLaws();
    EXPECT_EQ(ApLaw1.turn_compensation, 0.0);
    EXPECT_TRUE(std::isfinite(ApPitchServoOutput1));
}

TEST_F(FlightGuidance, TouchControlSteeringTakesTheBank) {
    Select(kApRequestAp);
    FGC_comp_AP1_lateral_mode = kLatWingsLevel;
    Fgc1Step();  // notes the mode without TCS
    TcsButtonState.store(1);
    Ahrs1.bank = 4.0;
    Fgc1Step();
    EXPECT_EQ(FgcFlags1[0], 1);
    EXPECT_EQ(FGC_comp_AP1_lateral_mode, kLatWingsLevel);
    EXPECT_EQ(FgcRollCommand, 0.0);
    Ahrs1.bank = 15.0;
    Fgc1Step();
    EXPECT_EQ(FGC_comp_AP1_lateral_mode, kLatRollHold);
    EXPECT_EQ(FgcRollCommand, -15.0);
    EXPECT_EQ(FgcBankLimit, 15.0);
    FgcModeSelect();
    EXPECT_STREQ(FgcMessageLines[kMsgSide1Lower], "TCS ENGAGE");
}

TEST_F(FlightGuidance, DualApproachKeepsBothAutopilots) {
    Select(kApRequestAp);
    FGC_comp_AP_master.store(3);
    FGC_comp_AP2_engaged = 1;
    FGC_comp_AP1_lateral_mode = kLatAppr;
    FGC_comp_AP1_vertical_mode = kVertGs;
    FGC_comp_AP2_lateral_mode = kLatAppr;
    FGC_comp_AP2_vertical_mode = kVertGs;
    NavSources[kNavVor1].receive_state = 2;
    NavSources[kNavVor2].receive_state = 2;
    NavSources[kNavVor1].glideslope_alive = 1;
    RadioAltitudeReadoutValue = 1199;
    FrameChangeBits.store(0x01);
    Fgc1Step();
    Fgc2Step();
    EXPECT_EQ(FGC_comp_AP1_dual_approach_mode, 1);
    EXPECT_EQ(FGC_comp_AP2_dual_approach_mode, 1);
    EXPECT_EQ(FgcSide1.coupled_side, 3);
    EXPECT_EQ(FGC_comp_AP2_engaged, 1);
    // Above the window: AP 2 drops and the coupled side comes back.
    RadioAltitudeReadoutValue = 1200;
    Fgc1Step();
    EXPECT_EQ(FGC_comp_AP1_dual_approach_mode, 0);
    EXPECT_EQ(FGC_comp_AP2_engaged, 0);
    EXPECT_EQ(FgcSide1.coupled_side, 1);
}

// A TAS press during the ground self-test: the line stays blank while the
// test timer is above 222, and the countdown runs out meanwhile as it
// does outside the test.
TEST_F(FlightGuidance, TasCountdownRunsThroughTheSelfTestBlank) {
    TrueAirspeed = 180 * 128;
    FGC_comp_FGC1_system_test_timer = 300;
    TasDisplayRequest[0].store(1);
    FrameChangeBits.store(0x01);
    PfdAdvisoriesUpdate();
    EXPECT_EQ(TasDisplayCountdown[0], 3);
    EXPECT_STREQ(FgcMessageLines[kMsgAdvisory1], "");
    for (int pass = 0; pass < 3; ++pass) {
        FrameChangeBits.store(0x08);
        PfdAdvisoriesUpdate();
        EXPECT_STREQ(FgcMessageLines[kMsgAdvisory1], "") << pass;
    }
    EXPECT_EQ(TasDisplayCountdown[0], 0);
    // After the test the line shows the temperature, not a late TAS.
    FGC_comp_FGC1_system_test_timer = 222;
    PfdAdvisoriesUpdate();
    EXPECT_NE(std::strstr(FgcMessageLines[kMsgAdvisory1], "SAT"), nullptr)
        << FgcMessageLines[kMsgAdvisory1];
    // Outside the test the same press shows TAS for its four passes.
    TasDisplayRequest[0].store(1);
    FrameChangeBits.store(0x01);
    PfdAdvisoriesUpdate();
    EXPECT_STREQ(FgcMessageLines[kMsgAdvisory1], "180 kt  TAS");
    TrueAirspeed = 0;
    TasDisplayCountdown[0] = TasDisplayCountdown[1] = 0;
}

// The wind components of the navigation displays: the point (0, whole
// knots) turned by the relative wind angle in the displays' integer
// rotation (sine and cosine of i / 572 rad x 32767).
TEST_F(FlightGuidance, WindComponentsTurnTheWholeKnotsInTheIntegerRotation) {
    const double wind[2] = {WindData[0], WindData[1]};
    const float heading = Heading;
    const double variation = NavHeading;
    const MapDisplayStateRecord map = MapDisplayState;
    const struct {
        double speed, direction;
        float heading;
        double variation;
        float along, across;
        uint8_t tailwind, from_left;
    } kCases[] = {
        // 19 kt turned by 60 deg: 8 along, 15 across (from the right).
        {19.9, 60.0, 0.0f, 0.0, 8.0f, 15.0f, 0, 0},
        // The same relative angle from heading and variation.
        {19.9, 100.0, 30.0f, 10.0, 8.0f, 15.0f, 0, 0},
        // 5 kt from 185 deg: a tailwind of 5 and no crosswind, whose arrow
        // then points left.
        {5.0, 185.0, 0.0f, 0.0, 5.0f, 0.0f, 1, 0},
        {5.9, 185.0, 0.0f, 0.0, 5.0f, 0.0f, 1, 0},
        // Abeam: from the right 19 (the table's sine), from the left 20.
        {20.0, 90.0, 0.0f, 0.0, 0.0f, 19.0f, 0, 0},
        {20.0, 270.0, 0.0f, 0.0, 0.0f, 20.0f, 0, 1},
        {25.0, 300.0, 0.0f, 0.0, 12.0f, 22.0f, 0, 1},
        // Below a tenth of a degree there is no turn.
        {10.0, 0.05, 0.0f, 0.0, 10.0f, 0.0f, 0, 0},
    };
    for (const auto& c : kCases) {
        WindData[0] = c.speed;
        WindData[1] = c.direction;
        Heading = c.heading;
        NavHeading = c.variation;
        FrameChangeBits.store(0x08);
        PfdAdvisoriesUpdate();
        EXPECT_EQ(MapDisplayState.wind_y, c.along) << c.speed << " at " << c.direction;
        EXPECT_EQ(MapDisplayState.wind_x, c.across) << c.speed << " at " << c.direction;
        EXPECT_EQ(WindComponentSense[0], c.tailwind) << c.speed << " at " << c.direction;
        EXPECT_EQ(WindComponentSense[1], c.from_left) << c.speed << " at " << c.direction;
    }
    WindData[0] = wind[0];
    WindData[1] = wind[1];
    Heading = heading;
    NavHeading = variation;
    MapDisplayState = map;
    WindComponentSense[0] = WindComponentSense[1] = 0;
}

TEST_F(FlightGuidance, AdvisoriesRedrawForTheAirDataTestAndScaleThePosition) {
    const int32_t timer = AdcTestTimer1, refresh = RefreshCountdown[kRefreshEngineInstruments];
    const AircraftPositionRecord position = AircraftPosition;
    // A starting air-data test redraws the flight instruments and releases
    // the test switch; in the failure window it raises the side's flag.
    AdcTestSwitch = 1;
    AdcTestTimer1 = 113;
    RefreshCountdown[kRefreshEngineInstruments] = 0;
    FrameChangeBits.store(0x01);
    PfdAdvisoriesUpdate();
    EXPECT_EQ(RefreshCountdown[kRefreshEngineInstruments], 25);
    EXPECT_EQ(AdcTestSwitch, 0);
    EXPECT_EQ(AirDataFlags[0], 0);
    AdcTestTimer1 = 70;
    PfdAdvisoriesUpdate();
    EXPECT_EQ(AirDataFlags[0], 1);
    // Every 4th tick the position's distance factors follow it.
    AircraftPosition = {60.0, 10.0, 0.0, 0.0};
    PfdAdvisoriesUpdate();
    EXPECT_EQ(AircraftPosition.north_nm, 0.0);
    FrameChangeBits.store(0x04);
    PfdAdvisoriesUpdate();
    EXPECT_NEAR(AircraftPosition.north_nm, 3600.0, 1e-9);
    EXPECT_NEAR(AircraftPosition.east_nm, 300.0, 1e-9);
    AdcTestTimer1 = timer;
    RefreshCountdown[kRefreshEngineInstruments] = refresh;
    AircraftPosition = position;
    AirDataFlags[0] = 0;
}

}  // namespace
}  // namespace zu
