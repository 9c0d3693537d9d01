// Air conditioning, hydraulics and ice protection with the stand-in's
// engines: bleed air and propeller speed from the simulator reach the packs,
// the de-ice boots and the engine-driven pumps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "cabin_link/instructor_state_exchange.h"
#include "core/air_conditioning.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/ice_protection.h"
#include "core/powerplant.h"
#include "e2e_support.h"
#include "instruments/engine_instruments.h"
#include "module_state.h"
#include "zu/simhost/simulator.h"

namespace zu {
namespace {

using namespace e2e;
using simhost::Simulator;
using simhost::SimulatorConfig;

constexpr uint32_t kOnGroundToken = 60;

class SystemsFlight : public testing::Test {
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

    // One frame, with the powerplant's propeller-speed step played by the
    // test: the simulator's spool and propeller speeds pass through.
    void Fly(int frames) {
        for (int i = 0; i < frames; ++i) {
            sim_->RunFrame();
            Nh1State.nh = static_cast<float>(HostVariables[kHvSpool1].value);
            Nh2State.nh = static_cast<float>(HostVariables[kHvSpool2].value);
            PropRpm[0] = HostVariables[kHvPropRpm1].value;
            PropRpm[1] = HostVariables[kHvPropRpm2].value;
        }
    }
    static bool Lit(int row, int column) {
        return CautionLightArray[CautionIndex(row, column)] != 0;
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(SystemsFlight, RunningEnginesFeedBleedAirAndHydraulicPressure) {
    BatteryMasterSwitch.set(255);
    MainBatterySwitch.set(255);
    AuxBatterySwitch.set(255);
    DcGenerator1Switch.set(255);
    DcGenerator2Switch.set(255);
    AcGenerator1Switch.set(255);
    AcGenerator2Switch.set(255);
    Fly(60);
    // Engines stopped: no bleed, no hydraulic pressure.
    EXPECT_EQ(EngineAirValue[0], 0);
    EXPECT_EQ(HydraulicsState.SystemPressure[0], 0);
    EXPECT_TRUE(Lit(1, 7));  // "#1 ENG HYD PUMP"

    MainBusTieSwitch.set(255);
    Powerplants_engine_ign1 = Powerplants_engine_ign2 = 2;
    sim_->model().SetCondition(-1, 1.0);
    Fly(5);
    ASSERT_GT(StartEngineFromPanel(*sim_, 0), 0) << "Nh " << Nh1State.nh;
    ASSERT_GT(StartEngineFromPanel(*sim_, 1), 0) << "Nh " << Nh2State.nh;
    Fly(30 * 60);
    ASSERT_TRUE(sim_->model().state().engines[0].combustion);
    for (int e = 0; e < 2; ++e) {
        EXPECT_GE(EngineAirValue[e], 15) << e;
        EXPECT_LE(EngineAirValue[e], 46) << e;
        EXPECT_GT(AirConditioningState.PackValue[e], 0) << e;
        EXPECT_GT(HydraulicsState.EdpPressure[e], 2800) << e;
        EXPECT_LT(HydraulicsState.EdpPressure[e], 3000) << e;
        EXPECT_GT(HydraulicsState.SystemPressure[e], 2800) << e;
    }
    EXPECT_FALSE(Lit(1, 7));
    EXPECT_EQ(RudderInputInhibit, 0);
    // The ITT dials read an idling engine's temperature, well below the red
    // line (the stand-in publishes it in the simulator's unit).
    for (int e = 0; e < 2; ++e) {
        EXPECT_GT(IttDisplay[e], 250.0f) << e;
        EXPECT_LT(IttDisplay[e], 600.0f) << e;
    }
    // With bleed air the boots have their pressure.
    ASSERT_EQ(BusPowered.get(kPoweredLeftSecondary), 1);
    EXPECT_FALSE(Lit(5, 5));  // "DEICE PRESS"
    // On the ground the outflow valve is open and the cabin at the field.
    EXPECT_FLOAT_EQ(PressurisationState.OutflowValve, 100.0f);
    EXPECT_NEAR(PressurisationState.CabinPressure, ReferencePressure, 1.0);

    // The instructor's gauge values follow the pressures.
    EXPECT_EQ(InstructorHydraulicsValue(kHydValueSystem1Pressure),
              HydraulicsState.SystemPressure[0]);
    EXPECT_NEAR(InstructorHydraulicsValue(kHydValueReservoir1Quarts), 2.3, 0.01);
}

}  // namespace
}  // namespace zu
