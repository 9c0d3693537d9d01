// The head-up guidance panels in a running module: the test presses their
// keys as a pilot would and reads the panel's text surfaces, lamps and
// switch from the host's state report.
#include "displays/head_up_guidance.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/electrical_system.h"
#include "displays/hgs_panels.h"
#include "e2e_support.h"
#include "module_state.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

using simhost::Simulator;
using simhost::SimulatorConfig;

constexpr uint32_t kYellow200 = 0x0000C0C0;
constexpr uint32_t kYellowBright = 0x0000F0F0;

class HeadUpPanelsE2e : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();
        aircraft_ = CopySampleAircraft(tmp_.path());
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.fps = 30;
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
    // The left main bus on the battery: the HGS is powered.
    void PowerUp() {
        BatteryMasterSwitch.set(255);
        MainBatterySwitch.set(255);
        MainBusTieSwitch.set(255);
        Frames(30);
        ASSERT_EQ(HgsPowered, 1);
    }
    // A key, then enough frames for a tick to take it and the panel to
    // paint it.
    void Press(const char* name, int rect) {
        simhost::GaugeInstance* g = sim_->FindGauge(name);
        ASSERT_NE(g, nullptr) << name;
        std::string error;
        ASSERT_TRUE(sim_->Click(*g, rect, false, &error)) << error;
        Frames(4);
    }
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
    // The text at (x, y) of a gauge's surface ("" when none), and its colour.
    std::string TextAt(const char* gauge, int x, int y, uint32_t* colour = nullptr) {
        const nlohmann::json surface = Surface(gauge);
        for (const auto& t : surface["texts"]) {
            if (t["x"] != x || t["y"] != y) continue;
            if (colour != nullptr) *colour = t["colour"].get<uint32_t>();
            return t["text"].get<std::string>();
        }
        return "";
    }
    bool Shown(const char* gauge, int element) {
        const simhost::GaugeInstance* g = sim_->FindGauge(gauge);
        return g != nullptr && !g->elements.at(static_cast<size_t>(element)).hidden;
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(HeadUpPanelsE2e, ModeLinesCycleAndTransferInPanelYellow) {
    EXPECT_EQ(TextAt("HGS_panel", 4, 2), "");  // unpowered: the background only
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    uint32_t colour = 0;
    EXPECT_EQ(TextAt("HGS_panel", 4, 2, &colour), "PRI");
    EXPECT_EQ(colour, kYellow200);
    EXPECT_EQ(TextAt("HGS_panel", 4, 20), "IMC");
    EXPECT_EQ(TextAt("HGS_panel", 4, 38), "E 543FT");
    EXPECT_EQ(TextAt("HGS_panel", 4, 55).rfind("-3.00", 0), 0u);
    EXPECT_EQ(TextAt("HGS_VC_panel", 4, 2), "PRI");

    Press("HGS_panel", 2);  // cycle
    EXPECT_EQ(TextAt("HGS_panel", 4, 20), "VMC");
    Press("HGS_panel", 1);  // transfer
    EXPECT_EQ(TextAt("HGS_panel", 4, 2), "VMC");
    EXPECT_EQ(TextAt("HGS_panel", 4, 20), "PRI");

    Press("HGS_panel", 18);  // bright
    TextAt("HGS_panel", 4, 2, &colour);
    EXPECT_EQ(colour, kYellowBright);
    Press("HGS_panel", 19);  // dark
    TextAt("HGS_panel", 4, 2, &colour);
    EXPECT_EQ(colour, 0u);
}

TEST_F(HeadUpPanelsE2e, RunwayEntriesLightTheirKeys) {
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    EXPECT_FALSE(Shown("HGS_panel", 1));
    Press("HGS_panel", 3);  // elevation
    EXPECT_TRUE(Shown("HGS_panel", 1));
    EXPECT_EQ(TextAt("HGS_panel", 4, 38), "EL>543");
    Press("HGS_panel", 5);  // 1
    Press("HGS_panel", 6);  // 2
    EXPECT_EQ(TextAt("HGS_panel", 4, 38).rfind("EL>12", 0), 0u);
    Press("HGS_panel", 14);  // enter
    EXPECT_FALSE(Shown("HGS_panel", 1));
    EXPECT_EQ(TextAt("HGS_panel", 4, 38), "E 12FT");

    Press("HGS_panel", 4);  // glideslope angle
    EXPECT_TRUE(Shown("HGS_panel", 2));
    for (int rect : {6, 11, 9}) Press("HGS_panel", rect);  // 2 7 5
    Press("HGS_panel", 14);
    EXPECT_FALSE(Shown("HGS_panel", 2));
    EXPECT_FLOAT_EQ(HGS_HGS_gs_slope_angle, -2.75f);
    EXPECT_EQ(TextAt("HGS_panel", 4, 55).rfind("-2.75", 0), 0u);
}

TEST_F(HeadUpPanelsE2e, RasuReadoutAndTouchKnob) {
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    EXPECT_EQ(TextAt("RASU_panel", 32, 4), "55");
    Press("RASU_panel", 1);  // speed down: blank
    EXPECT_EQ(TextAt("RASU_panel", 32, 4), "---");
    EXPECT_EQ(TextAt("RASU_panel_touch", 32, 4), "---");
    for (int rect : {1, 2, 3, 4}) Press("RASU_panel_touch", rect);  // sectors 0..3
    EXPECT_EQ(HGS_RASU_speed, 57);
    EXPECT_EQ(TextAt("RASU_VC_panel", 32, 4), "57");
    Press("RASU_panel_touch", 3);  // back one sector
    EXPECT_EQ(TextAt("RASU_panel", 32, 4), "56");
}

TEST_F(HeadUpPanelsE2e, AnnunciatorTestAndHudSwitch) {
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    Frames(10);
    for (int lamp : {1, 2, 3}) EXPECT_FALSE(Shown("HGS_Annunciator_panel", lamp)) << lamp;
    AnnunciatorTestSwitch.set(2);
    Frames(10);
    for (int lamp : {1, 2, 3}) EXPECT_TRUE(Shown("HGS_Annunciator_panel", lamp)) << lamp;
    AnnunciatorTestSwitch.set(0);
    Frames(10);
    for (int lamp : {1, 2, 3}) EXPECT_FALSE(Shown("HGS_Annunciator_panel", lamp)) << lamp;

    Press("HGS_HUD_switch", 1);
    EXPECT_EQ(HGS_HGS_HUD_show_flag, 1);
    EXPECT_TRUE(Shown("HGS_HUD_switch", 1));
    EXPECT_FALSE(Shown("HGS_HUD_switch", 2));
    Press("HGS_HUD_switch", 1);
    EXPECT_FALSE(Shown("HGS_HUD_switch", 1));
    EXPECT_TRUE(Shown("HGS_HUD_switch", 2));
}

}  // namespace
}  // namespace zu::e2e
