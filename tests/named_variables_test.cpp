// End-to-end tests of the blade-angle locator and the named variables: the
// module linked into the test process, run by the simulator stand-in in
// lockstep on the sample aircraft. The locator finds the stand-in's engine
// block in the heap the stand-in registers; the named variables are read
// back through the stand-in's named-variable table.
#include "core/named_variables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "core/blade_angle_locator.h"
#include "core/host_panel_services.h"
#include "core/powerplant.h"
#include "e2e_support.h"
#include "module_state.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

using simhost::Simulator;
using simhost::SimulatorConfig;

class NamedVariablesE2e : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();
        aircraft_ = CopySampleAircraft(tmp_.path());
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.audio_silent = true;
        sim_ = std::make_unique<Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
    }
    void TearDown() override {
        if (sim_) sim_->Stop();
        RestoreLoadedModuleState();
    }
    void Run(int frames) {
        for (int i = 0; i < frames; ++i) sim_->RunFrame();
    }
    simhost::NamedVariable Named(const std::string& name) const {
        const int32_t id = sim_->FindNamedVariable(name);
        EXPECT_GE(id, 0) << name;
        if (id < 0) return {};
        return sim_->NamedVariables().at(static_cast<size_t>(id));
    }
    double Value(const std::string& name) const { return Named(name).value; }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(NamedVariablesE2e, RegistersInOrderAndPublishesFromTheFrameTheBladeAnglesAreFound) {
    Run(127);
    EXPECT_EQ(PropBetaLocated, 0);
    EXPECT_EQ(BladeLocatorAttempts, 0u);
    // The aircraft's twelve, then the module's seventy in order.
    const std::vector<simhost::NamedVariable> vars = sim_->NamedVariables();
    ASSERT_EQ(vars.size(), 82u);
    for (int i = 0; i < kNamedVarsLookedUp; ++i) {
        EXPECT_EQ(vars[static_cast<size_t>(i)].name, kNamedVarNames[i]);
        EXPECT_EQ(NamedVariableIds[i], static_cast<uint32_t>(i));
    }
    EXPECT_EQ(vars[12].name, "Hgs fake");
    EXPECT_EQ(vars[13].name, "Hgs no aiii");
    for (int i = kNvMode; i < kNamedVarSlots; ++i) {
        EXPECT_EQ(vars[static_cast<size_t>(i + 1)].name, kNamedVarNames[i]);
    }
    // Nothing is set before the locator has succeeded, but "Hgs no aiii".
    for (const auto& v : vars) {
        if (v.name == "Hgs no aiii") {
            EXPECT_EQ(v.sets, 1u);
            EXPECT_EQ(v.value, 1.0);
        } else {
            EXPECT_EQ(v.sets, 0u) << v.name;
        }
    }

    Run(1);  // the 128th update call
    EXPECT_EQ(PropBetaLocated, 1);
    EXPECT_EQ(BladeLocatorAttempts, 1u);
    EXPECT_EQ(PropBladeAnglePointer[0], sim_->model().HeapBladeAngleAddress(0));
    EXPECT_EQ(PropBladeAnglePointer[1], sim_->model().HeapBladeAngleAddress(1));
    EXPECT_EQ(Named("Hgs ias").sets, 1u);
    EXPECT_EQ(Named("Hgs fake").sets, 0u);
    EXPECT_EQ(Named("HGS FORCE IMC").sets, 0u);
    EXPECT_EQ(Named("HGS Lateral Deviation Y").sets, 0u);
    EXPECT_EQ(Named("HGS Vertical Deviation X").sets, 0u);

    Run(200);
    EXPECT_EQ(BladeLocatorAttempts, 1u);  // never searches again
    EXPECT_EQ(Named("Hgs ias").sets, 201u);
}

TEST_F(NamedVariablesE2e, StoresThroughTheLocatedPointersMoveTheSimulatorsPropellers) {
    // Power levers forward, out of the beta range: the module leaves the
    // blade angles to the simulator.
    sim_->model().SetThrottleLever(-1, 0.5);
    Run(128);
    ASSERT_EQ(PropBetaLocated, 1);
    // The simulator's variables read its engine block bit for bit.
    for (int e = 0; e < 4; ++e) {
        const double token = sim_->Variable(703 + 8 * static_cast<uint32_t>(e));
        EXPECT_EQ(std::memcmp(&token, sim_->model().HeapBladeAngleAddress(e), 8), 0) << e;
    }
    EXPECT_EQ(sim_->Variable(719), 0.0);
    EXPECT_EQ(sim_->Variable(727), 0.0);

    const double before = sim_->model().state().engines[1].blade_angle;
    StoreLocatedBladeAngle(1, 0.25);
    EXPECT_EQ(sim_->model().HeapBladeAngle(1), 0.25);
    sim_->RunFrame();
    // The model stepped from the stored angle toward its own target.
    const double after = sim_->model().state().engines[1].blade_angle;
    EXPECT_GT(after, 0.25);
    EXPECT_LT(after, before);
    const nlohmann::json state = nlohmann::json::parse(BuildStateJson(*sim_, nullptr));
    EXPECT_EQ(state["aircraft"]["engines"][1]["blade_angle"].get<double>(), after);
}

// The module keeps the blade angles it found for its life. A new flight in
// the same process, its first simulator gone, must have its engines where
// the module writes: the stand-in's memory outlives every flight.
TEST(BladeAngleMemory, ANewFlightInTheSameProcessHasItsEnginesWhereTheModuleWrites) {
    TempDir tmp;
    SimulatorConfig cfg;
    cfg.aircraft_dir = CopySampleAircraft(tmp.path());
    cfg.audio_silent = true;
    auto first = std::make_unique<Simulator>(cfg);
    ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*first));
    for (int i = 0; i < 128; ++i) first->RunFrame();
    ASSERT_EQ(PropBetaLocated, 1);
    first->Stop();

    // The next flight, the module left as the first one left it.
    auto second = std::make_unique<Simulator>(cfg);
    first.reset();
    ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*second));
    EXPECT_EQ(PropBetaLocated, 1);
    for (int i = 0; i < 60; ++i) second->RunFrame();
    // On the ground at idle the module drives the blade angles every pass,
    // through the kept pointers too.
    ASSERT_LT(ThrottleCommand[0], 0.0);
    EXPECT_EQ(PropBladeAnglePointer[0], second->model().HeapBladeAngleAddress(0));
    EXPECT_EQ(PropBladeAnglePointer[1], second->model().HeapBladeAngleAddress(1));
    StoreLocatedBladeAngle(1, 0.25);
    EXPECT_EQ(second->model().HeapBladeAngle(1), 0.25);
    second->Stop();
}

TEST_F(NamedVariablesE2e, PublishesAirDataFromTheSimulatorsValues) {
    sim_->SetVariable(61, 35.0);  // indicated airspeed, knots
    const int32_t vs = -618;      // x 0.768836: -475 ft/min
    sim_->fsuipc().Poke(0x02C8, &vs, sizeof vs);
    sim_->SetVariable(73, 20000.0 / 3.28);  // 20000 ft
    sim_->SetVariable(332, 0.0);
    Run(140);
    ASSERT_EQ(PropBetaLocated, 1);
    EXPECT_EQ(Value("Hgs ias"), 50.0);
    EXPECT_EQ(Value("Hgs vs"), -450.0);
    EXPECT_EQ(Value("Hgs alt trend"), -47.0);
    EXPECT_NEAR(Value("HGS ias max"), 232.5714, 1e-3);
    // Token 332 set: at most 175 kt, then in 44/7-knot steps.
    sim_->SetVariable(332, 1.0);
    Run(2);
    EXPECT_NEAR(Value("HGS ias max"), 28 * 44.0 / 7.0, 1e-9);
}

TEST_F(NamedVariablesE2e, PublishesLeversWiperAndPropellersByTheirFormulas) {
    Run(130);
    ASSERT_EQ(PropBetaLocated, 1);
    EXPECT_EQ(Value("qorra prop0 rpm"), PropRpm[0]);
    EXPECT_EQ(Value("qorra prop1 rpm"), PropRpm[1]);
    EXPECT_NEAR(Value("qorra prop0 pitch"), 100.0 - std::min(std::fabs(PropPitch1 * 63.66), 100.0),
                1e-12);
    EXPECT_EQ(Value("qorra wiper position"), 0.0);  // parked
    EXPECT_EQ(Value("qorra wiper operating"), 0.0);
    EXPECT_EQ(Value("ZAZ PL1 Position"), PowerLeverPosition[0] / 240);
    EXPECT_EQ(Value("ZAZ CL1 Position"), 0.0);
    EXPECT_EQ(Value("ZAZ ControlLock Position"), 100.0);
    EXPECT_EQ(Value("ZAZ Flaps Position"), 0.0);
    EXPECT_EQ(Value("Hgs mode"), 0.0);
    EXPECT_EQ(Value("HGS WOW"), 255.0);
    EXPECT_EQ(Value("Hgs ra alt"), 9999.0);  // on the ground
}

}  // namespace
}  // namespace zu::e2e
