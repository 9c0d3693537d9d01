// The fire panel, the hydraulic panels and indicators and the air-system
// indicators in a running module: the stand-in drives frames in lockstep,
// the test clicks the panels' rectangles as a pilot would and reads what the
// gauges show (hidden flags and needle values as the host keeps them) and
// what reached the simulator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "cabin_link/instructor_state_exchange.h"
#include "core/air_conditioning.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/fire_protection.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "e2e_support.h"
#include "module_state.h"
#include "panels/pressurisation_panel.h"
#include "zu/simhost/simulator.h"

namespace zu::e2e {
namespace {

using simhost::GaugeInstance;
using simhost::Simulator;
using simhost::SimulatorConfig;

constexpr uint32_t kOnGroundToken = 60;

class SystemPanelsFlight : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();
        aircraft_ = CopySampleAircraft(tmp_.path());
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.audio_silent = true;
        sim_ = std::make_unique<Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
        sim_->SetVariable(kOnGroundToken, 1.0);
    }
    void TearDown() override {
        if (sim_) sim_->Stop();
        RestoreLoadedModuleState();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) sim_->RunFrame();
    }
    GaugeInstance& Gauge(const char* name) {
        GaugeInstance* g = sim_->FindGauge(name);
        EXPECT_NE(g, nullptr) << name;
        return *g;
    }
    void Click(const char* name, int rect) {
        std::string error;
        ASSERT_TRUE(sim_->Click(Gauge(name), rect, false, &error)) << error;
    }
    // Host element i (the walk order: a backdrop, where the gauge has one,
    // comes first).
    bool Shown(const char* name, size_t i) {
        const GaugeInstance& g = Gauge(name);
        return i < g.elements.size() && !g.elements[i].hidden;
    }
    double Value(const char* name, size_t i) { return Gauge(name).elements[i].value; }
    // Numbered fire-panel element k (after its backdrop).
    bool FireShown(int k) { return Shown("FirePanel", static_cast<size_t>(k) + 1); }

    void BatteryMasterOn() {
        Frames(10);
        Click("battery_panel", 3);
        Frames(20);
    }
    static bool Lit(int row, int column) {
        return CautionLightArray[CautionIndex(row, column)] != 0;
    }
    // The essential buses the fire panel and the warnings need.
    static bool EssentialsPowered() {
        return BusPowered.get(kPoweredLeftEssential) != 0 &&
               BusPowered.get(kPoweredRightEssential) != 0;
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(SystemPanelsFlight, FireDetectionTestLightsEngineOnesHandleAndLoopFaults) {
    BatteryMasterOn();
    ASSERT_TRUE(EssentialsPowered());
    EXPECT_FALSE(FireShown(35));
    EXPECT_TRUE(FireShown(13));  // handle 1 in, dark
    Click("FirePanel", 3);       // detection test to 1
    Frames(8);
    EXPECT_EQ(FireProtectionState.DetectionTestSelector, 1);
    EXPECT_TRUE(FireShown(23));  // the test selector's image at 1
    EXPECT_FALSE(FireShown(24));
    EXPECT_TRUE(FireShown(35));  // handle 1 in, its lamp lit
    EXPECT_FALSE(FireShown(13));
    EXPECT_FALSE(FireShown(36));  // engine 2 untouched
    EXPECT_TRUE(FireShown(9));    // engine 1 loop A fault
    EXPECT_TRUE(FireShown(10));   // loop B
    EXPECT_FALSE(FireShown(11));
    EXPECT_FALSE(FireShown(12));
    EXPECT_TRUE(Lit(6, 5));  // "CHECK FIRE DET"
    Click("FirePanel", 4);   // back to off
    Frames(8);
    EXPECT_FALSE(FireShown(35));
    EXPECT_FALSE(FireShown(9));
    EXPECT_FALSE(Lit(6, 5));
}

TEST_F(SystemPanelsFlight, InstructorFireWarnsThroughEitherLoopAndABottleStaysEmpty) {
    BatteryMasterOn();
    ASSERT_TRUE(EssentialsPowered());
    EngineFailureWord1 = kEngineFailureFire;  // group 4, index 7, value 8
    Frames(6);
    EXPECT_EQ(FireWarningActive, 1);
    EXPECT_TRUE(Lit(6, 5));
    EXPECT_TRUE(FireShown(35));
    // Either loop alone still sees the fire.
    for (int rect : {15, 17, 16}) {
        Click("FirePanel", rect);
        Frames(6);
        EXPECT_EQ(FireWarningActive, 1) << rect;
        EXPECT_TRUE(FireShown(35)) << rect;
    }
    // Pull the handle: fuel off, both bottles of engine 1 armed.
    const uint64_t events_before = sim_->KeyEventsTotal();
    Click("FirePanel", 1);
    Frames(6);
    EXPECT_EQ(EngineFuelFeed[0], 0);
    EXPECT_TRUE(FireShown(33));  // pulled, lamp lit
    EXPECT_TRUE(FireShown(1));   // "FUEL OFF" of engine 1 (lamp word 8)
    EXPECT_FALSE(FireShown(2));  // "FUEL ON" (lamp word 9)
    EXPECT_TRUE(FireShown(5));   // both bottles armed (lamp words 4 and 5)
    EXPECT_TRUE(FireShown(8));
    EXPECT_GT(sim_->KeyEventsTotal(), events_before);
    bool cut = false;
    for (const simhost::KeyEventRecord& k : sim_->KeyEvents()) {
        cut |= k.id == kEvtPropLever1 && k.value == 0;
    }
    EXPECT_TRUE(cut);
    EXPECT_NE(FireProtectionState.Lamp[kFireLampBottle1Engine1], 0);
    EXPECT_NE(FireProtectionState.Lamp[kFireLampBottle2Engine1], 0);
    // Discharge bottle 1, turn the selector back: it stays empty.
    Click("FirePanel", 9);
    Frames(6);
    Click("FirePanel", 10);
    Frames(20);
    EXPECT_EQ(FireProtectionState.Lamp[kFireLampBottle1Engine1], 0);
    EXPECT_NE(FireProtectionState.Lamp[kFireLampBottle2Engine1], 0);
    EXPECT_FALSE(FireShown(5));  // lamp word 4: bottle 1 of engine 1
    EXPECT_TRUE(FireShown(8));   // lamp word 5: bottle 2
}

TEST_F(SystemPanelsFlight, ExtinguisherTestLightsSmokeOnlyAfterSevenCounts) {
    BatteryMasterOn();
    ASSERT_TRUE(EssentialsPowered());
    Click("FirePanel", 6);  // extinguisher test to 1
    EXPECT_EQ(FireTestCountdown, 7);
    int passes = 0;
    while (!Lit(6, 4) && passes < 40) {  // "SMOKE"
        const int32_t before = FireTestCountdown;
        Frames(1);
        if (FireTestCountdown != before) ++passes;
    }
    EXPECT_TRUE(Lit(6, 4));
    EXPECT_EQ(passes, 7);
    Click("FirePanel", 7);  // back to 0: the test ends
    Frames(6);
    EXPECT_FALSE(Lit(6, 4));
    EXPECT_EQ(FireTestCountdown, 0);
}

TEST_F(SystemPanelsFlight, MainPressureNeedlesFollowRunningEnginesOneUnitPerFrame) {
    BatteryMasterOn();
    MainBatterySwitch.set(255);
    AuxBatterySwitch.set(255);
    DcGenerator1Switch.set(255);
    DcGenerator2Switch.set(255);
    AcGenerator1Switch.set(255);
    AcGenerator2Switch.set(255);
    PinRunningEngines(*sim_);
    // Engines turning: the needles climb by at most one unit a frame.
    double last1 = Value("Main_hydr_pres", 2);
    double last2 = Value("Main_hydr_pres", 4);
    for (int i = 0; i < 300; ++i) {
        Frames(1);
        const double n1 = Value("Main_hydr_pres", 2);
        const double n2 = Value("Main_hydr_pres", 4);
        ASSERT_LE(std::fabs(n1 - last1), 1.0 + 1e-9) << i;
        ASSERT_LE(std::fabs(n2 - last2), 1.0 + 1e-9) << i;
        last1 = n1;
        last2 = n2;
    }
    for (int e = 0; e < 2; ++e) {
        EXPECT_GT(HydraulicsState.EdpPressure[e], 2800) << e;
        EXPECT_LT(HydraulicsState.EdpPressure[e], 3000) << e;
    }
    EXPECT_NEAR(last1, 130 + HydraulicsState.SystemPressure[0] / 35, 1.0);
    EXPECT_NEAR(last2, 50 - HydraulicsState.SystemPressure[1] / 35, 1.0);
    // A pulled fire handle stops that engine's pump on the next pass.
    Click("FirePanel", 1);
    Frames(3);
    EXPECT_EQ(HydraulicsState.EdpPressure[0], 0);
    EXPECT_GT(HydraulicsState.EdpPressure[1], 2800);
    // Engines stopped: the needles run back down with the pressures.
    for (uint32_t token : {626u, 645u, 700u, 708u, 131u, 166u}) sim_->SetVariable(token, 0.0);
    Frames(400);
    ASSERT_LT(HydraulicsState.SystemPressure[0], 1000);
    EXPECT_DOUBLE_EQ(Value("Main_hydr_pres", 2), 130 + HydraulicsState.SystemPressure[0] / 35);
    EXPECT_DOUBLE_EQ(Value("Main_hydr_pres", 4), 50 - HydraulicsState.SystemPressure[1] / 35);
}

TEST_F(SystemPanelsFlight, StandbyPumpAndShutoffPanelsWriteTheirWords) {
    BatteryMasterOn();
    HydraulicsState.SystemPressure[0] = 0;
    Click("Stby_hydr", 7);
    Frames(2);
    EXPECT_EQ(StbyPumpToggle, 0);  // no system 1 pressure: stays off
    Click("Stby_hydr", 1);
    Frames(2);
    EXPECT_EQ(StbyHydPumpSelect[0], 2);
    EXPECT_TRUE(Shown("Stby_hydr", 3));  // pump 1 at 2
    Click("Roll_spoilers_shutoff", 1);
    Frames(2);
    EXPECT_EQ(HydraulicShutoff[0], 255);
    EXPECT_EQ(Gauge("Roll_spoilers_shutoff").elements[2].text, "OFF");
    Click("StickPusher_shutoff", 1);
    Frames(2);
    EXPECT_EQ(StickPusherShutoff, 1);
    EXPECT_TRUE(Shown("StickPusher_shutoff", 2));
    EXPECT_EQ(Gauge("StickPusher_shutoff").elements[2].text, "PUSH OFF");
}

TEST_F(SystemPanelsFlight, AirIndicatorsFollowTheCabinPoweredAndParkUnpowered) {
    Frames(20);
    // Unpowered: every dial at its rest value.
    EXPECT_DOUBLE_EQ(Value("DuctTemp", 2), 180.0);
    EXPECT_NEAR(Value("PressComp_Diff", 2), 248.0 - 14.4, 1e-4);
    EXPECT_DOUBLE_EQ(Value("PressComp_Alt", 2), 232.0);
    EXPECT_DOUBLE_EQ(Value("PressComp_Rate", 2), 180.0);
    // Powered with the engines turning, the dials show the cabin.
    BatteryMasterOn();
    MainBatterySwitch.set(255);
    AuxBatterySwitch.set(255);
    DcGenerator1Switch.set(255);
    DcGenerator2Switch.set(255);
    AcGenerator1Switch.set(255);
    AcGenerator2Switch.set(255);
    MainBusTieSwitch.set(255);
    PinRunningEngines(*sim_);
    Frames(300);
    ASSERT_NE(BusPowered.get(kPoweredRightMainDc), 0);
    ASSERT_NE(BusPowered.get(kPoweredLeftSecondary), 0);
    const float diff = std::clamp(PressurisationState.Differential, 0.0f, 6.0f);
    EXPECT_NEAR(Value("PressComp_Diff", 2), 248.0 + 48.0 * diff, 0.5);
    const double alt = Value("PressComp_Alt", 2);
    EXPECT_GE(alt, 265.0);
    EXPECT_LE(alt, 265.0 + 260.0);
    EXPECT_NEAR(Value("CabAltSetIndicator", 1), LandingFieldElevation * 0.026 + 153.0, 1e-9);
    // Power gone: back at rest at once.
    BatteryMasterSwitch.set(0);
    MainBatterySwitch.set(0);
    AuxBatterySwitch.set(0);
    DcGenerator1Switch.set(0);
    DcGenerator2Switch.set(0);
    AcGenerator1Switch.set(0);
    AcGenerator2Switch.set(0);
    for (uint32_t token : {626u, 645u, 700u, 708u, 131u, 166u}) sim_->SetVariable(token, 0.0);
    Frames(60);
    ASSERT_EQ(BusPowered.get(kPoweredRightMainDc), 0);
    EXPECT_NEAR(Value("PressComp_Diff", 2), 248.0 - 14.4, 1e-4);
    EXPECT_DOUBLE_EQ(Value("PressComp_Rate", 2), 180.0);
}

}  // namespace
}  // namespace zu::e2e
