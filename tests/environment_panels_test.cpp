// End to end: the bleed-air, pressurisation and ice-protection panels
// clicked through the stand-in, their pictures, and the systems that act on
// them (the pressurisation controller and its light, the de-ice boots on
// the panel's lights).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/air_conditioning.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/ice_protection.h"
#include "e2e_support.h"
#include "instruments/gauge_framework.h"
#include "module_state.h"
#include "panels/bleed_air_panel.h"
#include "panels/pressurisation_panel.h"
#include "zu/simhost/aircraft_model.h"
#include "zu/simhost/simulator.h"

namespace zu::e2e {
namespace {

using simhost::Simulator;
using simhost::SimulatorConfig;

constexpr uint32_t kBleedTokens[2] = {634, 653};
constexpr int kIcePassTicks = 16;

class EnvironmentPanelsFlight : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();
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
        RestoreLoadedModuleState();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) sim_->RunFrame();
    }
    // Batteries and external DC: every DC bus powered.
    void PowerUp() {
        BatteryMasterSwitch.set(255);
        MainBatterySwitch.set(255);
        AuxBatterySwitch.set(255);
        ExternalDcSwitch.set(255);
        MainBusTieSwitch.set(255);  // keeps the left main bus in the air
        Frames(60);
        ASSERT_EQ(BusPowered.get(kPoweredLeftSecondary), 1);
        ASSERT_EQ(BusPowered.get(kPoweredRightSecondary), 1);
        ASSERT_EQ(BusPowered.get(kPoweredRightEssential), 1);
        ASSERT_EQ(BusPowered.get(kPoweredLeftMainDc), 1);
    }
    void Bleed(double value) {
        for (uint32_t token : kBleedTokens) sim_->SetVariable(token, value);
    }
    void Click(const char* gauge, int rect) {
        std::string error;
        ASSERT_TRUE(sim_->Click(*sim_->FindGauge(gauge), rect, false, &error)) << error;
    }
    // Element k of a gauge's numbered run (after its unlit face).
    bool Shown(const char* gauge, int k) {
        return ElementShown(FirstElement(sim_->FindGauge(gauge)->header), k + 1);
    }
    std::vector<int> DeiceLights() {
        std::vector<int> lit;
        for (int i = 0; i < 16; ++i) {
            if (Shown("AntiicePanel", 28 + i)) lit.push_back(i + 1);
        }
        return lit;
    }
    static bool Lit(int row, int column) {
        return CautionLightArray[CautionIndex(row, column)] != 0;
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(EnvironmentPanelsFlight, BleedPanelClicksMoveItsSwitchesAndPictures) {
    Click("PneuPanel", 1);   // engine 1 bleed off
    Click("PneuPanel", 16);  // cabin zone automatic
    Click("PneuPanel", 18);  // bleed flow up
    Frames(2);
    EXPECT_EQ(PneuPanelSwitches[0], 0);
    EXPECT_EQ(PneuSwitch[3], 2);
    EXPECT_EQ(PneuKnob[0], 1);
    EXPECT_TRUE(Shown("PneuPanel", 3));
    EXPECT_FALSE(Shown("PneuPanel", 4));
    EXPECT_TRUE(Shown("PneuPanel", 25));
    // The touch twin shows the same state; its selector stops at 2.
    EXPECT_TRUE(Shown("PneuPanel_touch", 3));
    Click("PneuPanel_touch", 25);  // top sector, from the left one: up
    Click("PneuPanel_touch", 26);  // right sector, from the top one: up, stopped
    EXPECT_EQ(TempIndicatorSelector, 2);
}

TEST_F(EnvironmentPanelsFlight, PressModeLightShowsWhileTheControllerCountsDown) {
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    EXPECT_EQ(PressModeChangeTimer, 0);
    EXPECT_FALSE(Shown("PressPanel", 12));
    Click("PressPanel", 1);  // mode 2
    Click("PressPanel", 2);  // back to manual: the countdown restarts
    Frames(2);
    EXPECT_EQ(PressurisationMode, 1);
    EXPECT_GT(PressModeChangeTimer, 0);
    EXPECT_TRUE(Shown("PressPanel", 12));
    EXPECT_TRUE(Shown("PressPanel_touch", 12));
    Frames(90);
    EXPECT_EQ(PressModeChangeTimer, 0);
    EXPECT_FALSE(Shown("PressPanel", 12));
    EXPECT_FALSE(Shown("PressPanel_touch", 12));
}

TEST_F(EnvironmentPanelsFlight, OpenOutflowValveAtAltitudeLightsCabinPress) {
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    sim_->model().PlaceAirborne(20000, 200);
    // Automatic: the cabin climbs at the rate knob's limit.
    Frames(20 * 30);
    EXPECT_FALSE(Lit(6, 6));
    EXPECT_LT(PressurisationState2.CabinAltitude, 9500.0f);
    Click("PressPanel", 1);  // outflow valve open
    bool lit = false;
    for (int i = 0; i < 60 * 30 && !lit; ++i) {
        sim_->RunFrame();
        lit = Lit(6, 6);  // "CABIN PRESS"
    }
    EXPECT_TRUE(lit) << "cabin " << PressurisationState2.CabinAltitude;
    EXPECT_GT(PressurisationState2.CabinAltitude, 9500.0f);
    EXPECT_FLOAT_EQ(PressurisationState.OutflowValve, 100.0f);
}

TEST_F(EnvironmentPanelsFlight, FastCycleStepsThroughTheBootPairsOnTheLights) {
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    Bleed(30.0);
    Click("AntiicePanel", 3);  // cycle selector to 2
    const std::vector<int> first_pair = {5, 12};
    int frames = 0;
    while (DeiceLights() != first_pair && frames++ < 30 * 30) sim_->RunFrame();
    ASSERT_EQ(DeiceLights(), first_pair);
    EXPECT_FALSE(Lit(5, 5));  // "DEICE PRESS"
    // The lights as they change, with the tick of each change.
    std::vector<std::vector<int>> seen = {first_pair};
    std::vector<uint64_t> at = {sim_->ticks()};
    for (int i = 0; i < 2 * 30 * 60 && seen.size() < 8; ++i) {
        sim_->RunFrame();
        const std::vector<int> lit = DeiceLights();
        if (seen.back() != lit) {
            seen.push_back(lit);
            at.push_back(sim_->ticks());
        }
    }
    const std::vector<std::vector<int>> cycle = {{5, 12}, {6, 11}, {7, 10}, {8, 9},
                                                 {2, 3},  {1, 4},  {},      {5, 12}};
    ASSERT_EQ(seen, cycle);
    // Six steps of 6 passes, then 24 passes dark.
    for (size_t k = 0; k + 1 < at.size(); ++k) {
        const uint64_t passes = (at[k + 1] - at[k] + kIcePassTicks / 2) / kIcePassTicks;
        EXPECT_EQ(passes, k == 6 ? 24u : 6u) << k;
    }
}

TEST_F(EnvironmentPanelsFlight, WithoutBleedNoBootInflatesAndDeicePressLights) {
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    Bleed(0.0);
    Click("AntiicePanel", 3);
    for (int i = 0; i < 40 * 30; ++i) {
        sim_->RunFrame();
        ASSERT_TRUE(DeiceLights().empty()) << i;
    }
    EXPECT_TRUE(Lit(5, 5));
}

TEST_F(EnvironmentPanelsFlight, ManualSelectorHoldsOneBootPair) {
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    Bleed(30.0);
    for (int i = 0; i < 4; ++i) Click("AntiicePanel", 5);  // knob A to 4
    EXPECT_EQ(IceProtectionState.ManualBootSelector, 4);
    Frames(60);
    for (int i = 0; i < 20 * 30; ++i) {
        sim_->RunFrame();
        ASSERT_EQ(DeiceLights(), (std::vector<int>{7, 10})) << i;
    }
}

}  // namespace
}  // namespace zu::e2e
