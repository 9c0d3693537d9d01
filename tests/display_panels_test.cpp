// The display control panels in a running module: the test clicks their
// rectangles as a pilot would and reads the knob angles from the host's
// state report.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/flight_guidance.h"
#include "e2e_support.h"
#include "module_state.h"
#include "panels/display_control_panels.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

using simhost::Simulator;
using simhost::SimulatorConfig;

class DisplayPanelsE2e : public testing::Test {
  protected:
    // At 15 frames a second every frame step sees a new tick.
    virtual int Fps() const { return 30; }
    void SetUp() override {
        RestoreLoadedModuleState();
        aircraft_ = CopySampleAircraft(tmp_.path());
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.fps = Fps();
        sim_ = std::make_unique<Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
        Frames(5);
    }
    void TearDown() override {
        if (sim_) sim_->Stop();
        RestoreLoadedModuleState();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) sim_->RunFrame();
    }
    void Click(const char* name, int rect) {
        simhost::GaugeInstance* g = sim_->FindGauge(name);
        ASSERT_NE(g, nullptr) << name;
        std::string error;
        ASSERT_TRUE(sim_->Click(*g, rect, false, &error)) << error;
    }
    // Element k's angle as the state report has it.
    double Angle(const char* gauge, int k) {
        const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
        for (const auto& g : state["gauges"]) {
            if (g["name"] != gauge) continue;
            return g["elements"][k]["angle"].get<double>();
        }
        ADD_FAILURE() << "no gauge " << gauge;
        return 0.0;
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(DisplayPanelsE2e, KnobAnglesFollowTheSettingsAndTheBrightnessKnobSpringsBack) {
    EXPECT_DOUBLE_EQ(Angle("DisplayControl_Panel1", 1), -10.0);   // DH 200
    EXPECT_DOUBLE_EQ(Angle("DisplayControl_Panel1", 3), 45.0);    // bearing 0 at 0
    EXPECT_DOUBLE_EQ(Angle("DisplayControl_Panel1", 5), -225.0);  // bearing 1 at 0
    EXPECT_DOUBLE_EQ(Angle("DisplayControl_Panel1", 7), -90.0);

    Click("DisplayControl_Panel1", 13);  // DH right half
    Click("DisplayControl_Panel1", 8);   // bearing 0 left half: up
    Click("DisplayControl_Panel1", 11);  // bearing 1 right half: up
    Click("DisplayControl_Panel1", 14);  // brightness down
    Frames(1);
    EXPECT_EQ(FGC_comp_DH_altitude1, 210);
    EXPECT_DOUBLE_EQ(Angle("DisplayControl_Panel1", 1), 0.0);
    EXPECT_DOUBLE_EQ(Angle("DisplayControl_Panel1", 3), 0.0);
    EXPECT_DOUBLE_EQ(Angle("DisplayControl_Panel1", 5), -180.0);
    EXPECT_DOUBLE_EQ(Angle("DisplayControl_Panel1", 7), -125.0);
    // Side 2 keeps its own knobs; its one gauge shows a turn for two passes.
    EXPECT_DOUBLE_EQ(Angle("DisplayControl_Panel2", 1), -10.0);
    Frames(4);
    Click("DisplayControl_Panel2", 15);
    Frames(1);
    EXPECT_DOUBLE_EQ(Angle("DisplayControl_Panel2", 7), -55.0);
    Frames(1);
    EXPECT_DOUBLE_EQ(Angle("DisplayControl_Panel2", 7), -55.0);
    Frames(1);
    EXPECT_DOUBLE_EQ(Angle("DisplayControl_Panel2", 7), -90.0);
    EXPECT_EQ(DisplayBrightnessLevel, 191);
}

TEST_F(DisplayPanelsE2e, TouchGaugeNumbersItsQuadrantsAfterTheSharedButtons) {
    for (int rect : {13, 14, 15, 12}) Click("DisplayControl_Panel1_touch", rect);  // 1, 2, 3, 0
    EXPECT_EQ(FGC_comp_DH_altitude1, 240);
    Click("DisplayControl_Panel1_touch", 14);  // 0 -> 2: nothing
    EXPECT_EQ(FGC_comp_DH_altitude1, 240);
    Click("DisplayControl_Panel1_touch", 19);  // brightness 0 -> 3: down
    EXPECT_EQ(DisplayBrightnessLevel, 175);
    Click("DisplayControl_Panel1_touch", 20);  // TEST
    Click("DisplayControl_Panel1_touch", 10);  // bearing 1 left half
    EXPECT_EQ(FGC_comp_HSI1_bearing1_select, 0);
    Click("DisplayControl_Panel1_touch", 11);
    EXPECT_EQ(FGC_comp_HSI1_bearing1_select, 1);
    Frames(2);
    // The panel gauges share side 1's state.
    EXPECT_DOUBLE_EQ(Angle("DisplayControl_Panel1", 1), 30.0);
}

class DisplayPicturesE2e : public DisplayPanelsE2e {
  protected:
    int Fps() const override { return 15; }
    // The drawn surface of a gauge in the state report.
    nlohmann::json Surface(const char* gauge) {
        const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
        for (const auto& g : state["gauges"]) {
            if (g["name"] != gauge) continue;
            for (const auto& e : g["elements"]) {
                if (e.contains("surface")) return e["surface"];
            }
        }
        ADD_FAILURE() << "no surface on " << gauge;
        return {};
    }
    static bool HasText(const nlohmann::json& surface, const char* text, int x, int y) {
        for (const auto& t : surface["texts"]) {
            if (t["text"] == text && t["x"] == x && t["y"] == y) return true;
        }
        return false;
    }
};

TEST_F(DisplayPicturesE2e, AttitudeDisplayDrawsAfterItsWarmUpAndReportsItsTexts) {
    const nlohmann::json dark = Surface("VSI1");
    EXPECT_TRUE(dark["texts"].empty());  // the background only
    Click("battery_panel", 3);           // battery master: both essential buses
    Frames(60);
    const nlohmann::json lit = Surface("VSI1");
    ASSERT_FALSE(lit["texts"].empty()) << "no picture with the battery master on";
    EXPECT_TRUE(HasText(lit, "DH", 38, 119));
    EXPECT_TRUE(HasText(lit, "200", 20, 120));
    EXPECT_TRUE(HasText(lit, "SPD", 23, 19));
    // Turned down to its stop, side 1 shows the composite picture: no speed
    // scale, and the heading tape's readout (dashed while the heading
    // reference aligns).
    for (int i = 0; i < 8; ++i) Click("DisplayControl_Panel1", 14);
    Frames(3);
    const nlohmann::json composite = Surface("VSI1");
    EXPECT_FALSE(HasText(composite, "SPD", 23, 19));
    EXPECT_TRUE(HasText(composite, "DH", 38, 119));
    EXPECT_TRUE(HasText(composite, "---", 83, 87));
    EXPECT_FALSE(HasText(lit, "---", 83, 87));
}

}  // namespace
}  // namespace zu::e2e
