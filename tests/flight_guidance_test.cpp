// End to end: the flight guidance flies the stand-in aircraft. The module is
// linked into the test; the panels' requests are raised the way the
// autopilot panel raises them.
#include "core/flight_guidance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "cabin_link/sound_scheme.h"
#include "core/afcs_messages.h"
#include "core/ahrs.h"
#include "core/air_data.h"
#include "core/autopilot_control_laws.h"
#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "core/flight_controls.h"
#include "core/flight_guidance_annunciation.h"
#include "core/flight_persistence.h"
#include "core/host_panel_services.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "core/radio_altitude_alerting.h"
#include "core/settings_file.h"
#include "core/sound_objects.h"
#include "core/systems_tick.h"
#include "e2e_support.h"
#include "instruments/vor_control_heads.h"
#include "module_state.h"
#include "zu/simhost/aircraft_model.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

using simhost::Simulator;
using simhost::SimulatorConfig;

class FlightGuidanceFlight : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();
        aircraft_ = CopySampleAircraft(tmp_.path());
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        sim_ = std::make_unique<Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
        ElectricsEnginesRunning();
    }
    void TearDown() override {
        if (sim_) sim_->Stop();
        RestoreLoadedModuleState();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) sim_->RunFrame();
    }
    void Seconds(double s) { Frames(static_cast<int>(s * 30.0)); }
    template <typename F>
    bool Until(F done, double seconds) {
        for (int i = 0; i < static_cast<int>(seconds * 30.0); ++i) {
            if (done()) return true;
            sim_->RunFrame();
        }
        return done();
    }
    // Raises a request and runs until the mode-select pass took it.
    void Press(int request) {
        ApButtonRequest[request].store(1);
        for (int i = 0; i < 10 && ApButtonRequest[request].load() != 0; ++i) sim_->RunFrame();
        ASSERT_EQ(ApButtonRequest[request].load(), 0);
    }
    const simhost::AircraftState& Aircraft() const { return sim_->model().state(); }
    double MagneticHeading() const {
        return std::fmod(Aircraft().heading_true - Aircraft().variation + 360.0, 360.0);
    }
    // Powered and flying, the self-test done and both AHRS aligned.
    void Airborne(double altitude_ft, double speed_kt) {
        Frames(10);  // past the module's once-per-life throttle release
        // The power-lever step's part: control lock released, cruise power.
        Powerplants_controls_throttle_limiter = 0;
        ThrottleCommand[0] = ThrottleCommand[1] = 11000.0;
        PropControlDemand[0] = PropControlDemand[1] = 16383;
        Frames(2);
        sim_->model().PlaceAirborne(altitude_ft, speed_kt);
        Frames(60);
        ASSERT_NE(LeftAvionicsBus.get(), 0);
        ASSERT_TRUE(Until(
            [] {
                return Ahrs1.aligned != 0 && Ahrs2.aligned != 0 && Ahrs1.redraw_countdown == 0 &&
                       Ahrs2.redraw_countdown == 0;
            },
            30.0));
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(FlightGuidanceFlight, EngagesTurnsToTheSelectedHeadingAndHoldsAltitude) {
    ASSERT_NO_FATAL_FAILURE(Airborne(3000, 160));
    Press(kApRequestAp);
    EXPECT_EQ(FGC_comp_AP1_engaged, 1);
    EXPECT_EQ(FGC_comp_YD1_engaged, 1);
    Frames(4);
    EXPECT_STREQ(FgcSide1.fma.vertical, "PITCH  ");
    EXPECT_STREQ(FgcSide1.fma.lateral, " WINGS LEVEL");
    EXPECT_STREQ(FgcMessageLines[kMsgSide1Lower], "AP ENG");
    EXPECT_EQ(FgcSide1.coupled_side, 1);
    EXPECT_EQ(FgcSide1.nav_select_side, 1);

    FGC_comp_HSI1_heading_sel = 0;
    Press(kApRequestHdg);
    Press(kApRequestAlt);
    const double held = FGC_comp_AP_prog_alt;
    double worst_bank = 0.0, worst_alt = 0.0;
    for (int i = 0; i < 60 * 30; ++i) {
        sim_->RunFrame();
        worst_bank = std::max(worst_bank, std::fabs(Aircraft().bank));
        worst_alt = std::max(worst_alt, std::fabs(Aircraft().altitude_ft - held));
        EXPECT_STREQ(FgcSide1.fma.vertical, "ALT     ");
    }
    EXPECT_STREQ(FgcSide1.fma.lateral, "   HDG");
    EXPECT_LT(std::fabs(std::remainder(MagneticHeading(), 360.0)), 3.0);
    EXPECT_LE(worst_bank, 27.0);
    EXPECT_LT(worst_alt, 50.0);
}

TEST_F(FlightGuidanceFlight, VerticalSpeedKnobAndAltitudeCapture) {
    ASSERT_NO_FATAL_FAILURE(Airborne(3000, 160));
    Press(kApRequestAp);
    Press(kApRequestVs);
    // Ten clicks that raise the knob count: 1000 ft/min down once cut to
    // whole hundreds.
    const double start = FgcVsTarget;
    for (int i = 0; i < 10; ++i) {
        ApKnob.fetch_add(1);
        Frames(1);
    }
    Frames(10);
    EXPECT_NEAR(FgcVsTarget, std::trunc((start - 1001.0) / 100.0) * 100.0, 100.0);
    FgcVsTarget = -1000.0f;
    Seconds(20);
    EXPECT_STREQ(FgcSide1.fma.vertical, "VS -1000 FPM ");
    EXPECT_NEAR(sim_->model().VerticalSpeedFpm(), -1000.0, 150.0);

    // Climb at 1000 ft/min towards 4000 ft with ALT SEL armed.
    AIRDATA_comp_selected_alt = 4000;
    FgcVsTarget = 1000.0f;
    Press(kApRequestAltSel);
    Frames(4);
    EXPECT_STREQ(FgcSide1.fma.vertical_armed1, "ALT SEL   ");
    double captured_at = 0.0;
    ASSERT_TRUE(Until(
        [&] {
            captured_at = BaroAltitude1;
            return FGC_comp_AP1_vertical_mode == kVertAlt;
        },
        180.0));
    EXPECT_GT(captured_at, 4000 - 300 - 30);
    EXPECT_LT(captured_at, 4000 - 250 + 30);
    EXPECT_EQ(FGC_comp_AP_prog_alt, 4000.0f);
    Seconds(40);
    EXPECT_NEAR(Aircraft().altitude_ft, 4000.0, 100.0);
    EXPECT_STREQ(FgcSide1.fma.vertical, "ALT     ");
}

TEST_F(FlightGuidanceFlight, IasModeHoldsTheSpeedOfTheMomentInAFullPowerClimb) {
    ASSERT_NO_FATAL_FAILURE(Airborne(3000, 160));
    Press(kApRequestAp);
    Press(kApRequestIas);
    Frames(4);
    ASSERT_EQ(FGC_comp_AP1_vertical_mode, kVertIas);
    const double target = FgcIasTarget;
    EXPECT_NEAR(target, sim_->model().IndicatedAirspeedKt(), 1.0);
    sim_->model().SetThrottleLever(0, 1.0);
    sim_->model().SetThrottleLever(1, 1.0);
    // The pitch follows the speed slowly: an overshoot while the aircraft
    // still accelerates, then the target held.
    Seconds(150);
    EXPECT_GT(sim_->model().VerticalSpeedFpm(), 800.0);
    for (int i = 0; i < 30; ++i) {
        Seconds(1);
        EXPECT_NEAR(sim_->model().IndicatedAirspeedKt(), target, 2.0) << i;
    }
}

// Low and slow at take-off power the climb needs more than 9 degrees of
// pitch: the autopilot trims the nose further up and the speed holds.
TEST_F(FlightGuidanceFlight, IasModeHoldsTheSpeedInATakeOffPowerClimbFromLowLevel) {
    ASSERT_NO_FATAL_FAILURE(Airborne(800, 150));
    Press(kApRequestAp);
    Press(kApRequestIas);
    Frames(4);
    ASSERT_EQ(FGC_comp_AP1_vertical_mode, kVertIas);
    // The knob 20 kt down from the speed of the moment.
    const double before = FgcIasTarget;
    ApKnob.fetch_sub(20);
    Frames(4);
    const double target = FgcIasTarget;
    ASSERT_EQ(target, before - 20.0);
    sim_->model().SetThrottleLever(0, 1.0);
    sim_->model().SetThrottleLever(1, 1.0);
    Seconds(150);
    EXPECT_GT(sim_->model().VerticalSpeedFpm(), 1000.0);
    for (int i = 0; i < 30; ++i) {
        Seconds(1);
        EXPECT_NEAR(sim_->model().IndicatedAirspeedKt(), target, 2.0) << i;
    }
}

TEST_F(FlightGuidanceFlight, GearUpDescentIntoTheGroundSaysTooLow) {
    ASSERT_NO_FATAL_FAILURE(Airborne(2000, 150));
    std::string error;
    ASSERT_TRUE(sim_->Click(*sim_->FindGauge("Gear"), 1, false, &error)) << error;  // lever up
    ASSERT_TRUE(Until([] { return GearLegPosition[0] == 0 && GearLegPosition[1] == 0; }, 30.0));
    Press(kApRequestAp);
    Press(kApRequestVs);
    FgcVsTarget = -1500.0f;
    bool too_low = false, said = false;
    while (!Aircraft().on_ground && sim_->frame() < 30 * 600) {
        sim_->RunFrame();
        // "Too low, terrain" or "too low, gear" below 1000 ft with the gear up.
        too_low = too_low || VoiceAlertIndex == 7 || VoiceAlertIndex == 8;
        said = said || SoundPlaying(kSoundGpwsTooLow);
    }
    EXPECT_TRUE(too_low);
    EXPECT_TRUE(said);
}

TEST_F(FlightGuidanceFlight, PowerUpSelfTestAndMessagesOnTheGround) {
    sim_->model().PlaceOnGround(45.0, 10.0, 300.0, 90.0);
    // Powered once the flight has loaded; the test starts as at power-up.
    ASSERT_TRUE(Until(
        [] {
            return FlightLoadCounter > 240 && OnGround != 0 &&
                   BusPowered.get(kPoweredRightEssential) != 0;
        },
        30.0));
    FGC_comp_FGC1_system_test_timer = FGC_comp_FGC2_system_test_timer = kFgcTestTicks;
    bool system_test = false, master = false, blank_advisory = true, alert_lamp = false;
    ASSERT_TRUE(Until(
        [&] {
            const int32_t t = FGC_comp_FGC1_system_test_timer;
            if (t > 232 && t < 340) {
                system_test = std::strcmp(FgcMessageLines[kMsgSide1Lower], "SYSTEM TEST") == 0;
            }
            if (t == 200) master = std::strcmp(FgcMessageLines[kMsgSide1Lower], "L AFCS MSTR") == 0;
            if (t > 223 && t < 340) {
                blank_advisory = blank_advisory && FgcMessageLines[kMsgAdvisory1][0] == '\0';
            }
            alert_lamp = alert_lamp || FgcFlags1[1] != 0;
            return t == 0 && BusPowered.get(kPoweredRightEssential) != 0;
        },
        60.0));
    EXPECT_TRUE(system_test);
    EXPECT_TRUE(master);
    EXPECT_TRUE(blank_advisory);
    EXPECT_TRUE(alert_lamp);
    Frames(20);
    EXPECT_EQ(FgcFlags1[1], 0);  // the alert ends with the test
    EXPECT_NE(FgcMessageLines[kMsgAdvisory1][0], '\0');
    // The outside air temperature advisory ("%2d°c  SAT") as the state file
    // writes the display's text: the degree sign as the character.
    const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
    std::string advisory;
    for (const auto& g : state["gauges"]) {
        if (g["name"] != "ID809a_Panel") continue;
        for (const auto& e : g["elements"]) {
            const std::string t = e.value("text", "");
            if (t.find("SAT") != std::string::npos) advisory = t;
        }
    }
    EXPECT_TRUE(advisory.ends_with("°c  SAT")) << advisory;
    EXPECT_EQ(advisory.find("\\x"), std::string::npos) << advisory;

    // AP on the ground: refused, blinking until acknowledged.
    Press(kApRequestAp);
    EXPECT_EQ(FGC_comp_AP1_engaged, 0);
    EXPECT_STREQ(FgcMessageLines[kMsgSide1Upper], "ACFT ON GND");
    bool blinked_on = false, blinked_off = false;
    for (int i = 0; i < 8; ++i) {
        sim_->RunFrame();
        blinked_on = blinked_on || FgcMessageState1.code3_flag != 0;
        blinked_off = blinked_off || FgcMessageState1.code3_flag == 0;
    }
    EXPECT_TRUE(blinked_on && blinked_off);
    FgcMessageState1.code.store(2);  // the ID809 acknowledge key
    Frames(4);
    EXPECT_EQ(FgcMessageState1.code3_flag, 0);
    EXPECT_TRUE(Until([] { return FgcMessageLines[kMsgSide1Upper][0] == '\0'; }, 3.0));

    // NAV without a station.
    Press(kApRequestNav);
    EXPECT_STREQ(FgcMessageLines[kMsgSide1Lower], "CHECK NAV FREQ");
}

TEST_F(FlightGuidanceFlight, PilotDisconnectShowsApDisengWithoutTheAfcsSound) {
    ASSERT_NO_FATAL_FAILURE(Airborne(3000, 160));
    Press(kApRequestAp);
    ASSERT_EQ(FGC_comp_AP1_engaged, 1);
    Seconds(1);
    Press(kApRequestAp);
    EXPECT_EQ(FGC_comp_AP1_engaged, 0);
    EXPECT_STREQ(FgcMessageLines[kMsgSide1Upper], "AP DISENG");
    EXPECT_EQ(FgcMessageState1.code.load(), 1);
    // The RNAV alert lamp comes on until its key acknowledges it.
    EXPECT_TRUE(Until([] { return FgcFlags1[1] != 0; }, 2.0));
    RnavRequest1.store(1);
    Frames(4);
    EXPECT_EQ(FgcFlags1[1], 0);
    // Gone after 36 passes; the acknowledge is cleared with it.
    EXPECT_TRUE(Until([] { return FgcMessageLines[kMsgSide1Upper][0] == '\0'; }, 3.0));
    Frames(2);
    EXPECT_EQ(RnavRequest1.load(), 0);
}

// Both NAV receivers on and tuned to `mhz`, the side-1 course set.
void TuneReceivers(double mhz, double course) {
    for (int side = 0; side < 2; ++side) {
        (side == 0 ? Vor1PanelState : Vor2PanelState).mode = 1;
        (side == 0 ? Vor1Radio : Vor2Radio).active = static_cast<float>(mhz);
        NavSources[side == 0 ? kNavVor1 : kNavVor2].frequency =
            static_cast<int32_t>(std::lround(mhz * 100.0));
    }
    NavSources[kNavVor1].course = course;
}

TEST_F(FlightGuidanceFlight, CapturesAndTracksAVorCourse) {
    // The VOR 20 nm north, 2 nm east of the aircraft; course 000.
    sim_->model().AddStation({simhost::RadioStation::kVor, 11300, 45.33, 10.09, 300.0, 0.0, "VRN"});
    sim_->model().PlaceOnGround(45.0, 10.0, 300, 30.0);
    ASSERT_NO_FATAL_FAILURE(Airborne(3000, 160));
    TuneReceivers(113.0, 0.0);
    Frames(10);
    ASSERT_EQ(NavSources[kNavVor1].receive_state, 1);
    FGC_comp_HSI1_heading_sel = 30;
    Press(kApRequestAp);
    Press(kApRequestHdg);
    Press(kApRequestAlt);
    Press(kApRequestNav);
    EXPECT_EQ(FGC_comp_AP1_lateral_armed_mode, 1);
    EXPECT_STREQ(FgcSide1.fma.lateral_armed, "  VOR ");
    ASSERT_TRUE(Until([] { return FGC_comp_AP1_lateral_mode == kLatNav; }, 60.0));
    Frames(4);
    EXPECT_STREQ(FgcSide1.fma.lateral, "    VOR*");
    ASSERT_TRUE(Until([] { return std::strcmp(FgcSide1.fma.lateral, "    VOR") == 0; }, 120.0));
    Seconds(20);
    EXPECT_LT(std::fabs(sim_->model().nav(0).deviation), 30.0);
    EXPECT_STREQ(FgcSide1.fma.lateral, "    VOR");
}

TEST_F(FlightGuidanceFlight, FliesAnIlsApproachDownToTheRunway) {
    // Threshold at 45.3 N 10 E, elevation 300 ft, front course 000 true;
    // the aircraft 12 nm out, 1 nm west of the centre line, below the path.
    sim_->model().AddStation({simhost::RadioStation::kIls, 10990, 45.3, 10.0, 300.0, 0.0, "IZV"});
    sim_->model().PlaceOnGround(45.3 - 12.0 / 60.0, 10.0 - 1.0 / 60.0 / std::cos(45.1 * 0.01745),
                                300, 20.0);
    ASSERT_NO_FATAL_FAILURE(Airborne(2600, 150));
    TuneReceivers(109.9, 0.0);
    Frames(10);
    ASSERT_EQ(NavSources[kNavVor1].receive_state, 2);
    FGC_comp_HSI1_heading_sel = 18;
    Press(kApRequestAp);
    Press(kApRequestHdg);
    Press(kApRequestAlt);
    Press(kApRequestAppr);
    Frames(4);
    EXPECT_STREQ(FgcSide1.fma.lateral_armed, "  LOC");
    EXPECT_STREQ(FgcSide1.fma.vertical_armed2, "GS   ");
    ASSERT_TRUE(Until([] { return FGC_comp_AP1_lateral_mode == kLatAppr; }, 60.0));
    Frames(4);
    EXPECT_STREQ(FgcSide1.fma.lateral, "    LOC*");
    ASSERT_TRUE(Until([] { return FGC_comp_AP1_vertical_mode == kVertGs; }, 200.0));
    Frames(4);
    EXPECT_STREQ(FgcSide1.fma.vertical, "GS* ");
    bool dual_seen = false;
    double worst_loc = 0.0, worst_gs = 0.0;
    while (sim_->model().nav(0).distance_nm > 1.0 && !Aircraft().on_ground) {
        sim_->RunFrame();
        const double d = sim_->model().nav(0).distance_nm;
        if (d < 4.0) {
            worst_loc = std::max(worst_loc, std::fabs(sim_->model().nav(0).deviation));
            worst_gs = std::max(worst_gs, std::fabs(sim_->model().nav(0).glideslope_deviation));
            EXPECT_STREQ(FgcSide1.fma.lateral, "    LOC");
            EXPECT_STREQ(FgcSide1.fma.vertical, "GS  ");
        }
        const int32_t ra = RadioAltitudeReadoutValue;
        if (ra >= 30 && ra <= 1150 && FGC_comp_AP1_vertical_mode == kVertGs) {
            dual_seen = dual_seen || FGC_comp_AP1_dual_approach_mode != 0;
        }
    }
    EXPECT_LT(worst_loc, 20.0);
    EXPECT_LT(worst_gs, 25.0);
    EXPECT_TRUE(dual_seen);
    EXPECT_EQ(FgcSide1.coupled_side, 3);
}

}  // namespace
}  // namespace zu::e2e
