// End to end: the gear panel's lamps through a gear retraction, the flap
// needle following the flap lever, the trim switch stepping the stand-in's
// trim, the standby compass and the slip ball, and the autofeather select
// button, all through the sample panel and the stand-in simulator.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/powerplant.h"
#include "e2e_support.h"
#include "instruments/gauge_framework.h"
#include "instruments/inclinometer.h"
#include "instruments/pedestal_indicators.h"
#include "module_state.h"
#include "zu/simhost/aircraft_model.h"
#include "zu/simhost/simulator.h"

namespace zu::e2e {
namespace {

using simhost::Simulator;
using simhost::SimulatorConfig;

class PedestalFlight : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();  // whatever earlier flights left
        aircraft_ = CopySampleAircraft(tmp_.path());
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.audio_silent = true;
        sim_ = std::make_unique<Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
        Frames(30);
    }
    void TearDown() override {
        if (sim_) sim_->Stop();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) sim_->RunFrame();
    }
    template <typename F>
    bool Until(F done, int max_frames) {
        for (int i = 0; i < max_frames; ++i) {
            if (done()) return true;
            sim_->RunFrame();
        }
        return done();
    }
    void Click(const char* gauge, int rect) {
        std::string error;
        ASSERT_TRUE(sim_->Click(*sim_->FindGauge(gauge), rect, false, &error)) << error;
    }
    // Element k of a gauge, counted after its always-shown first element.
    gauge::ElementHeader* First(const char* gauge) {
        gauge::ElementHeader* plate = FirstElement(sim_->FindGauge(gauge)->header);
        return plate != nullptr ? plate->next_element[0] : nullptr;
    }
    bool Shown(const char* gauge, int k) { return ElementShown(First(gauge), k); }
    const simhost::ElementState& State(const char* gauge, int index) {
        return sim_->FindGauge(gauge)->elements.at(index);
    }

    // Batteries and external DC power on: every DC bus powered.
    void PowerUp() {
        BatteryMasterSwitch.set(255);
        MainBatterySwitch.set(255);
        AuxBatterySwitch.set(255);
        ExternalDcSwitch.set(255);
        Frames(60);
    }
    // Engines running (their hydraulic pumps with them), in the air, the
    // generators on line once the ground cart is unplugged.
    void FlyWithEnginesRunning() {
        DcGenerator1Switch.set(255);
        DcGenerator2Switch.set(255);
        PinRunningEngines(*sim_);
        sim_->model().PlaceAirborne(3000, 160);
        ASSERT_TRUE(Until([] { return HydraulicsState.SystemPressure[1] > 2000; }, 60 * 30))
            << "system 2 pressure " << HydraulicsState.SystemPressure[1];
        ASSERT_TRUE(Until([] { return OnGround == 0; }, 120));
        ASSERT_TRUE(Until([] { return BusPowered.get(kPoweredLeftMainDc) != 0; }, 120));
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(PedestalFlight, GearLampsFollowARetraction) {
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    ASSERT_NO_FATAL_FAILURE(FlyWithEnginesRunning());
    // The sequence's first run with pressure ends with the gear locked down.
    ASSERT_TRUE(Until([] { return GearTransitCountdown == 0; }, 30 * 30));
    Frames(10);
    // Down and locked: the middle row lit, doors and unsafe lamps dark.
    for (int k = 7; k <= 9; ++k) EXPECT_TRUE(Shown("Gear", k)) << k;
    for (int k : {4, 5, 6, 10, 11, 12}) EXPECT_FALSE(Shown("Gear", k)) << k;
    EXPECT_DOUBLE_EQ(State("Gear", 2).y, 0.0);  // the lever down

    Click("Gear", 1);
    ASSERT_TRUE(Until([] { return GearTransitCountdown > 0; }, 30));
    Frames(30);
    // In transit: the doors and the unsafe lamps lit, down-and-locked dark.
    for (int k : {4, 5, 6, 10, 11, 12}) EXPECT_TRUE(Shown("Gear", k)) << k;
    for (int k = 7; k <= 9; ++k) EXPECT_FALSE(Shown("Gear", k)) << k;
    EXPECT_FALSE(sim_->model().state().gear_handle_down);

    ASSERT_TRUE(Until([] { return GearTransitCountdown == 0; }, 30 * 30));
    Frames(10);
    for (int k = 4; k <= 12; ++k) EXPECT_FALSE(Shown("Gear", k)) << k;
    EXPECT_NEAR(State("Gear", 2).y, -110.0, 1e-9);  // the lever up
}

TEST_F(PedestalFlight, FlapNeedleRunsToTheSelectedDetentAndEndsTheMotion) {
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    ASSERT_NO_FATAL_FAILURE(FlyWithEnginesRunning());
    ASSERT_GE(FlapsHydraulicPressure, 1001);
    // The needle starts at flaps up.
    Frames(5);
    const auto needle = [this] {
        const simhost::ElementState& unlit = State("FLAPS indicator", 2);
        return unlit.hidden ? State("FLAPS indicator", 3).value : unlit.value;
    };
    EXPECT_NEAR(needle(), -90.0, 0.2);

    sim_->model().SetFlaps(2);  // flaps 10: detent 4
    ASSERT_TRUE(Until([] { return FlapDetent == 4; }, 10 * 30));
    EXPECT_EQ(FlapMotionFlag, 1);
    // 55 degrees at 0.18 a frame.
    ASSERT_TRUE(Until([] { return FlapMotionFlag == 0; }, 20 * 30));
    EXPECT_NEAR(needle(), -35.0, 1.0);
    Frames(30);
    EXPECT_NEAR(needle(), -35.0, 0.2);
}

TEST_F(PedestalFlight, TrimSwitchStepsTheSimulatorsTrimAndTheNeedleShowsIt) {
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    for (int i = 0; i < 10; ++i) {
        Click("TRIMS", 2);  // nose up
        Frames(1);
    }
    Frames(5);
    EXPECT_NEAR(ElevatorTrim, 10 * 0.00174, 1e-5);
    const simhost::ElementState& unlit = State("TRIMS", 2);
    const double angle = unlit.hidden ? State("TRIMS", 3).value : unlit.value;
    EXPECT_NEAR(angle, 10 * 0.00174 * 228.0, 1e-3);
    // The switch springs back to centre.
    Frames(30);
    EXPECT_TRUE(Shown("TRIMS", 5));
    EXPECT_FALSE(Shown("TRIMS", 7));
}

TEST_F(PedestalFlight, CompassCardAndSlipBallFollowTheAircraft) {
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    sim_->model().PlaceAirborne(3000, 160);
    Frames(60);
    const double heading = Heading;
    // The face has no plate before it: the cards are elements 1 and 2.
    const simhost::ElementState& unlit = State("Whiskey compass", 1);
    const simhost::ElementState& card = unlit.hidden ? State("Whiskey compass", 2) : unlit;
    EXPECT_NEAR(card.x, -(360.0 - heading) * 1.5, 1.0);

    // Right rudder in the air: the ball goes left, filtered.
    sim_->SetVariable(0x45, -60.0);
    Frames(1);
    const double first = InclinometerShown;
    EXPECT_LT(first, 0.0);
    EXPECT_GT(first, -60.0);
    Frames(300);
    EXPECT_NEAR(InclinometerShown, -60.0, 1.0);
}

TEST_F(PedestalFlight, AutofeatherSelectShowsItsLegendOnlyWithPower) {
    Click("Autofeather_panel", 1);
    Frames(5);
    EXPECT_EQ(Autofeather.select, 0);
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    Click("Autofeather_panel", 1);
    Frames(5);
    EXPECT_EQ(Autofeather.select, 1);
    EXPECT_TRUE(Shown("Autofeather_panel", 3));   // SLCT
    EXPECT_FALSE(Shown("Autofeather_panel", 2));  // not armed on the ground at idle
    EXPECT_EQ(State("Autofeather_panel", 4).text, "SLCT");
}

}  // namespace
}  // namespace zu::e2e
