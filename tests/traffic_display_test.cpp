// The traffic displays and the symbol-generator select panels in a running
// module: scripted traffic flies in the stand-in's world, the module reads
// it through the traffic table and the state report carries the traffic
// display's texts; the select panels are clicked as a pilot would.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "core/host_panel_services.h"
#include "core/nav_sources.h"
#include "displays/sg_select_panels.h"
#include "displays/tcas.h"
#include "e2e_support.h"
#include "instruments/atc_control_head.h"
#include "module_state.h"
#include "zu/simhost/scenario.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

using simhost::Simulator;
using simhost::SimulatorConfig;

constexpr double kDeg = 0.017453292519943295;

struct ShownText {
    std::string text;
    int x = 0;
    int y = 0;
    uint32_t colour = 0;
};

class TrafficE2e : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();
        SimulatorConfig cfg;
        cfg.aircraft_dir = CopySampleAircraft(tmp_.path());
        cfg.fps = 15;
        sim_ = std::make_unique<Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
        // Engines running with every generator on line: the buses are up.
        PinRunningEngines(*sim_);
        Frames(60);
        ASSERT_NE(BusPowered.get(kPoweredLeftEssential), 0);
    }
    void TearDown() override {
        if (sim_) sim_->Stop();
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
        RestoreLoadedModuleState();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            ElectricsEnginesRunning();
            sim_->RunFrame();
        }
    }
    // Runs one scenario line now.
    void Verb(const std::string& line) {
        simhost::Scenario s;
        std::string error;
        ASSERT_TRUE(simhost::Scenario::Parse("at 0 " + line + "\n", "t.txt", &s, &error)) << error;
        simhost::ScenarioContext ctx{*sim_, nullptr};
        for (const auto& r : s.RunDue(ctx, 1e9)) ASSERT_TRUE(r.ok) << r.message;
    }
    // A traffic line for a target `nm` ahead of the own aircraft, `ft` above.
    std::string Ahead(int slot, int id, double nm, double ft, double heading_offset, double gs) {
        const auto& st = sim_->model().state();
        const double h = st.heading_true * kDeg;
        const double lat = st.latitude + nm * std::cos(h) / 60.0;
        const double lon = st.longitude + nm * std::sin(h) / (60.0 * std::cos(st.latitude * kDeg));
        char line[200];
        std::snprintf(line, sizeof line, "traffic %d %d %.7f %.7f %.0f %.1f %.0f 0", slot, id, lat,
                      lon, st.altitude_ft + ft, st.heading_true + heading_offset, gs);
        return line;
    }
    std::vector<ShownText> Texts(const char* gauge) {
        const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
        std::vector<ShownText> out;
        for (const auto& g : state["gauges"]) {
            if (g["name"] != gauge) continue;
            for (const auto& e : g["elements"]) {
                if (!e.contains("surface")) continue;
                for (const auto& t : e["surface"]["texts"]) {
                    out.push_back({t["text"].get<std::string>(), t["x"].get<int>(),
                                   t["y"].get<int>(), t["colour"].get<uint32_t>()});
                }
            }
        }
        return out;
    }
    static const ShownText* Find(const std::vector<ShownText>& texts, const std::string& text) {
        for (const ShownText& t : texts) {
            if (t.text == text) return &t;
        }
        return nullptr;
    }

    TempDir tmp_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(TrafficE2e, ScriptedTrafficIsDrawnWhereItFliesAndTurnsYellowAsItCloses) {
    TransponderState.mode = 6;  // TCAS: traffic read and assessed
    // Parked traffic 3 nm ahead, 1000 ft above: r = trunc(3 x 32 / 5) = 19.
    Verb(Ahead(0, 11, 3.0, 1000.0, 0.0, 0.0));
    // Head-on traffic 7.5 nm ahead, 300 ft above, at 600 kt (10 nm a minute).
    Verb(Ahead(1, 12, 7.5, 300.0, 180.0, 600.0));
    Frames(30);
    std::vector<ShownText> texts = Texts("TCAS1 display");
    ASSERT_NE(Find(texts, "5 nm"), nullptr);
    ASSERT_NE(Find(texts, "TA"), nullptr);
    const ShownText* parked = Find(texts, "+10");
    ASSERT_NE(parked, nullptr);
    // Above the own aircraft: the label sits 6 left of and 13 above the symbol.
    EXPECT_NEAR(parked->x, 41 - 6, 1);
    EXPECT_NEAR(parked->y, 56 - 19 - 13, 1);
    EXPECT_EQ(parked->colour, 0xFFFFFFu);
    const ShownText* closing = Find(texts, "+03");
    ASSERT_NE(closing, nullptr);
    EXPECT_EQ(closing->colour, 0xFFFFFFu);  // still beyond 6 nm
    const double y_far = closing->y;

    // Within 6 nm it is proximate, on a collision course: a threat.
    Frames(15 * 12);
    texts = Texts("TCAS1 display");
    closing = Find(texts, "+03");
    ASSERT_NE(closing, nullptr);
    EXPECT_EQ(closing->colour, 0x00FFFFu);
    EXPECT_GT(closing->y, y_far + 10);  // it came down the screen towards us
    EXPECT_EQ(Find(texts, "+10")->colour, 0xFFFFFFu);
    // The same picture on the other pilot's display.
    EXPECT_NE(Find(Texts("TCAS2 display"), "+03"), nullptr);

    // Transponder off: the computer is off and says so.
    TransponderState.mode = 0;
    Frames(8);
    texts = Texts("TCAS1 display");
    // "TCAS" above "OFF", inside the box (41,30)-(70,52).
    const ShownText* tcas = Find(texts, "TCAS");
    const ShownText* off = Find(texts, "OFF");
    ASSERT_NE(tcas, nullptr);
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(tcas->x, 55);
    EXPECT_EQ(off->x, 55);
    EXPECT_LT(tcas->y, off->y);
    EXPECT_GE(tcas->y + 12, 30);
    EXPECT_LE(off->y, 52);
    EXPECT_EQ(Find(texts, "+03"), nullptr);

    // Cleared traffic leaves the table.
    Verb("traffic clear");
    TransponderState.mode = 6;
    Frames(16);
    EXPECT_EQ(TcasShownIntruders().count, 0);
}

TEST_F(TrafficE2e, SelectPanelTransferHoldAndMarkerLegends) {
    auto click = [this](const char* name, int rect) {
        simhost::GaugeInstance* g = sim_->FindGauge(name);
        ASSERT_NE(g, nullptr) << name;
        std::string error;
        ASSERT_TRUE(sim_->Click(*g, rect, false, &error)) << error;
    };
    auto hidden = [this](const char* gauge, int k) {
        const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
        for (const auto& g : state["gauges"]) {
            if (g["name"] == gauge) return g["elements"][k]["hidden"].get<bool>();
        }
        ADD_FAILURE() << gauge;
        return true;
    };
    // Transfer: side 1 shows side 2's picture, with the red S G 2.
    click("VSI1 SEL", 3);
    Frames(45);
    EXPECT_EQ(SgTransfer[0], 1);
    EXPECT_FALSE(hidden("VSI1 SEL", kSgSelElemTransferLamp));
    const std::vector<ShownText> vsi = [&] {
        const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
        std::vector<ShownText> out;
        for (const auto& g : state["gauges"]) {
            if (g["name"] != "VSI1") continue;
            for (const auto& e : g["elements"]) {
                if (!e.contains("surface")) continue;
                for (const auto& t : e["surface"]["texts"])
                    out.push_back({t["text"].get<std::string>(), t["x"].get<int>(),
                                   t["y"].get<int>(), t["colour"].get<uint32_t>()});
            }
        }
        return out;
    }();
    ASSERT_NE(Find(vsi, "S"), nullptr);
    ASSERT_NE(Find(vsi, "G"), nullptr);
    ASSERT_NE(Find(vsi, "2"), nullptr);
    click("VSI1 SEL", 3);
    Frames(2);
    EXPECT_EQ(SgTransfer[0], 0);
    EXPECT_TRUE(hidden("VSI1 SEL", kSgSelElemTransferLamp));

    // Marker legends (the simulator's marker variable).
    sim_->SetVariable(354, 2);
    Frames(3);
    EXPECT_FALSE(hidden("VSI2 SEL", kSgSelElemMiddle));
    EXPECT_TRUE(hidden("VSI2 SEL", kSgSelElemOuter));
    sim_->SetVariable(354, 4);
    Frames(3);
    EXPECT_FALSE(hidden("VSI1 SEL", kSgSelElemInner));
    EXPECT_TRUE(hidden("VSI1 SEL", kSgSelElemMiddle));
    sim_->SetVariable(354, 0);

    // DME hold needs a received station with a distance: without one the
    // navigation-source update drops the hold again.
    click("VSI1 SEL", 1);
    Frames(3);
    EXPECT_EQ(NavSources[kNavVor1].computed_distance, 0);
    EXPECT_TRUE(hidden("VSI1 SEL", kSgSelElemHold));
}

}  // namespace
}  // namespace zu::e2e
