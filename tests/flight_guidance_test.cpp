// End to end: the flight guidance flies the stand-in aircraft. The module is
// linked into the test; the panels' requests are raised the way the
// autopilot panel raises them.
#include "core/flight_guidance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "core/ahrs.h"
#include "core/air_data.h"
#include "core/autopilot_control_laws.h"
#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "core/flight_guidance_annunciation.h"
#include "core/host_panel_services.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "core/radio_altitude_alerting.h"
#include "core/settings_file.h"
#include "core/systems_tick.h"
#include "e2e_support.h"
#include "module_state.h"
#include "zu/simhost/aircraft_model.h"
#include "zu/simhost/simulator.h"

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
    void Press(int request) {
        ApButtonRequest[request].store(1);
        Frames(3);
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

}  // namespace
}  // namespace zu::e2e
