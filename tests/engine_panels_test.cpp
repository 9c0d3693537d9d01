// End to end: the lever quadrant's rectangles move the stand-in's levers
// through the key events, and the start panel's pictures follow its switches.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/host_panel_services.h"
#include "core/powerplant.h"
#include "e2e_support.h"
#include "instruments/gauge_framework.h"
#include "module_state.h"
#include "zu/simhost/aircraft_model.h"
#include "zu/simhost/simulator.h"

namespace zu::e2e {
namespace {

using simhost::Simulator;
using simhost::SimulatorConfig;

class EnginePanelsFlight : public testing::Test {
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
    void Click(const char* gauge, int rect) {
        std::string error;
        ASSERT_TRUE(sim_->Click(*sim_->FindGauge(gauge), rect, false, &error)) << error;
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(EnginePanelsFlight, QuadrantRectanglesMoveTheSimulatorsLevers) {
    Click("engine_panel", 6);  // power lever 1 high
    Click("engine_panel", 8);  // power lever 2 high
    Click("engine_panel", 3);  // condition lever 1 high
    Frames(2);
    EXPECT_DOUBLE_EQ(sim_->model().power_axes()[0], 7750.0);
    EXPECT_DOUBLE_EQ(sim_->model().power_axes()[1], 7750.0);
    EXPECT_DOUBLE_EQ(sim_->model().condition_axes()[0], -3200.0);
    // The module reads the moved levers back from the simulator.
    EXPECT_EQ(HostThrottleInput[0], -3200);
    EXPECT_DOUBLE_EQ(HostThrottleLever[1], 7750.0);
    Click("engine_panel", 5);  // power lever 1 low
    Frames(2);
    EXPECT_DOUBLE_EQ(sim_->model().power_axes()[0], 3000.0);
}

TEST_F(EnginePanelsFlight, StartPanelPicturesFollowTheSwitches) {
    gauge::ElementHeader* first = FirstElement(sim_->FindGauge("EngineStartPanel")->header);
    ASSERT_NE(first, nullptr);
    Click("EngineStartPanel", 3);  // ignition 1 to 2
    Click("EngineStartPanel", 9);  // start selector to engine 2
    Frames(2);
    EXPECT_EQ(Powerplants_engine_ign1, 2);
    EXPECT_TRUE(ElementShown(first, 3));   // ignition 1 at 2, unlit
    EXPECT_FALSE(ElementShown(first, 2));  // not at 0
    EXPECT_TRUE(ElementShown(first, 15));  // the selector on engine 2
    EXPECT_FALSE(ElementShown(first, 16));
}

}  // namespace
}  // namespace zu::e2e
