// The attitude and heading reference, air data, radio altitude and alerting
// in a running module: the simulator stand-in flies, the test plays the
// pilot's switches and checks what the systems make of the stand-in's values.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "core/ahrs.h"
#include "core/air_data.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "core/flight_guidance.h"
#include "core/host_panel_services.h"
#include "core/nav_sources.h"
#include "core/radio_altitude_alerting.h"
#include "core/systems_tick.h"
#include "e2e_support.h"
#include "instruments/adf_control_heads.h"
#include "module_state.h"
#include "zu/simhost/aircraft_model.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

using simhost::Simulator;
using simhost::SimulatorConfig;

constexpr uint32_t kOnGroundToken = 60;
constexpr uint32_t kHeadingToken = 81;
constexpr uint32_t kRadioAltitudeToken = 614;

class FlightInstrumentsFlight : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();
        aircraft_ = CopySampleAircraft(tmp_.path());
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        sim_ = std::make_unique<Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
        sim_->SetVariable(kOnGroundToken, 1.0);
    }
    void TearDown() override {
        if (sim_) sim_->Stop();
        RestoreLoadedModuleState();
    }
    // Runs frames until `done` holds; the number of ticks it took, or -1.
    template <typename F>
    int TicksUntil(F done, int max_frames = 2000) {
        const uint64_t start = sim_->ticks();
        for (int i = 0; i < max_frames; ++i) {
            if (done()) return static_cast<int>(sim_->ticks() - start);
            sim_->RunFrame();
        }
        return -1;
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) sim_->RunFrame();
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(FlightInstrumentsFlight, BatteryPowerAlignsBothAhrsOnTheSimulatorHeading) {
    sim_->SetVariable(kHeadingToken, 88.0);  // the poll adds 0.2
    Frames(20);
    EXPECT_EQ(+Ahrs1.powered, 0);
    BatteryMasterSwitch.set(255);
    MainBatterySwitch.set(255);
    // On the ground each FGC's power-up self-test holds its AHRS aligning
    // until the test's last pass; the fine alignment follows it.
    const int test_ticks = TicksUntil([] { return FGC_comp_FGC1_system_test_timer == 100; });
    ASSERT_GT(test_ticks, 0);
    EXPECT_EQ(Ahrs1.align_countdown, 5);
    EXPECT_EQ(Ahrs2.align_countdown, 5);
    EXPECT_EQ(+Ahrs1.aligned, 0);
    TicksUntil([] { return FGC_comp_FGC1_system_test_timer == 0; });
    EXPECT_EQ(Ahrs1.align_countdown, 0);
    const int ticks = TicksUntil([] { return Ahrs1.aligned != 0 && Ahrs2.aligned != 0; });
    ASSERT_GT(ticks, 0);
    EXPECT_NEAR(ticks, kAhrsFineAlignTicks, 2);
    Frames(2);
    EXPECT_NEAR(+AhrsSource1->heading, 88.19824, 1e-5);
    EXPECT_NEAR(+AhrsSource2->heading, 88.19824, 1e-5);
    EXPECT_EQ(+Ahrs1.valid[0], 0);
}

TEST_F(FlightInstrumentsFlight, RadioAltitudeAndStallWarningFromTheStandIn) {
    ElectricsEnginesRunning();
    Frames(60);
    ASSERT_EQ(BusPowered.get(kPoweredLeftMainDc), 1);
    sim_->SetVariable(kRadioAltitudeToken, 60.9);
    Frames(40);
    EXPECT_EQ(RadioAltitudeReadoutValue, 190);
    // Parked: no airspeed, no stall warning.
    EXPECT_EQ(StallSystemFail[0], 0);
    EXPECT_EQ(StallWarnUnpowered, 0);
    // The side panel's stall test: "#1 STALL SYS FAIL" for 18 ticks.
    StallWarningState.test_state = 1;
    StallWarningState.test_countdown = 35;
    int lit = 0;
    for (int i = 0; i < 40; ++i) {
        const uint64_t before = sim_->ticks();
        sim_->RunFrame();
        if (sim_->ticks() != before && CautionLightArray[kStall1SysFailLight] != 0) {
            lit += static_cast<int>(sim_->ticks() - before);
        }
    }
    EXPECT_NEAR(lit, 18, 1);
    EXPECT_EQ(CautionLightArray[kStall1SysFailLight], 0u);
}

TEST_F(FlightInstrumentsFlight, BaroAltitudeFollowsThePressureAltitude) {
    ElectricsEnginesRunning();
    Frames(60);
    Altimeter1Baro.hpa = 1014.25f;
    Frames(5);
    EXPECT_NEAR(BaroAltitude1 - PressureAltitude, 30.411, 0.01);
    EXPECT_NEAR(BaroAltitude2, PressureAltitude, 0.01);
}

TEST_F(FlightInstrumentsFlight, NdbNorthOfTheAircraftBearsLeftAbeam) {
    ElectricsEnginesRunning();
    Frames(60);
    // Parked at 45 N 10 E heading 090 true; the NDB 30 nm due north.
    sim_->model().AddStation({simhost::RadioStation::kNdb, 3450, 45.5, 10.0, 0.0, 0.0, "NB"});
    Adf1PanelState.mode = 1;  // the ADF head on and tuned to the beacon
    Adf1Radio.active = 345.0f;
    NavSources[kNavAdf1].frequency = 3450;
    Frames(10);
    EXPECT_NEAR(NavSources[kNavAdf1].bearing, 270.0, 0.5);
}

TEST_F(FlightInstrumentsFlight, UnpoweredReceiversKeepTheirFrequencies) {
    // Cold and dark: the receivers' bus is off, so VOR1 to AUX2 are cleared
    // every frame, yet no receiver is retuned.
    NavSources[kNavAdf1].receive_state = 3;
    Frames(30);
    ASSERT_EQ(BusPowered2.get(0), 0);
    EXPECT_EQ(NavSources[kNavAdf1].receive_state, 0);
    EXPECT_EQ(NavSources[kNavAdf1].frequency, 3200);  // the simulator's 320.0 kHz
    const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
    for (const auto& w : state["fsuipc"]["writes"]) {
        EXPECT_NE(w["offset"].get<uint32_t>(), 0x034Cu) << w.dump();
    }
}

}  // namespace
}  // namespace zu::e2e
