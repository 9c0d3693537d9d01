// End to end: the control-display unit in the stand-in, in lockstep. Keys
// go through the stand-in's CDU keyboard (the `cdu` verb's queue, one key
// every 192 ms through the FMS gauge's rectangles); what shows is read back
// as the state report folds the painted screen onto its grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "core/electrical_system.h"
#include "core/fsuipc_client.h"
#include "core/host_panel_services.h"
#include "e2e_support.h"
#include "fms/cdu_engine.h"
#include "fms/flight_plan.h"
#include "fms/fms_lifecycle.h"
#include "module_state.h"
#include "zu/simhost/cdu_keys.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

using simhost::CduKeyRects;
using simhost::CduScreenFold;

// The keyboard by name and the fold, without a module.
TEST(CduKeyboard, NamesTextAndQuotedTextMapToTheGaugeRectangles) {
    std::vector<int> rects;
    std::string error;
    ASSERT_TRUE(CduKeyRects({"L1", "R5", "NAV", "MENU", "ENTER", "BACK", "K43"}, &rects, &error));
    EXPECT_EQ(rects, (std::vector<int>{1, 10, 38, 47, 63, 58, 62}));
    // Other words, and quoted key names, are typed.
    ASSERT_TRUE(CduKeyRects({"xa09", "\"NAV\""}, &rects, &error));
    EXPECT_EQ(rects, (std::vector<int>{34, 11, 59, 57, 24, 11, 32}));
    EXPECT_FALSE(CduKeyRects({"A-B"}, &rects, &error));
    EXPECT_NE(error.find("'-'"), std::string::npos);
    EXPECT_FALSE(CduKeyRects({"\"\""}, &rects, &error));
}

platform::DrawTextEntry Text(const char* t, int column, int line, uint32_t bgr, bool bold = true) {
    platform::DrawTextEntry e{};
    std::snprintf(e.text, sizeof e.text, "%s", t);
    e.x = 11 + 10 * column;
    e.y = (bold ? 1 : 2) + 14 * line;
    e.colour = bgr;
    return e;
}

TEST(CduKeyboard, FoldPlacesCellsAndNamesColoursWhateverTheBrightness) {
    // Colours dimmed to half: green, amber, grey, white; black in the box.
    const std::vector<platform::DrawTextEntry> texts = {
        Text("N", 0, 0, 0x007000),  Text("\xB0", 1, 0, 0x005070, false),
        Text("G", 2, 10, 0x303030), Text("W", 23, 10, 0x707070),
        Text("M", 5, 3, 0x700070),  Text("K", 6, 3, 0x000000),
        Text("x", 24, 0, 0x707070),  // beyond the grid: dropped
    };
    const CduScreenFold fold = simhost::FoldCduTexts(texts);
    EXPECT_EQ(fold.lines[0].substr(0, 4), "N\xC2\xB0 ");
    EXPECT_EQ(fold.colours[0].substr(0, 3), "ga ");
    EXPECT_EQ(fold.colours[10][2], 'r');
    EXPECT_EQ(fold.colours[10][23], 'w');
    EXPECT_EQ(fold.lines[3].substr(5, 2), "MK");
    EXPECT_EQ(fold.colours[3].substr(5, 2), "mk");
    EXPECT_EQ(fold.colours[1], std::string(24, ' '));
}

class CduEndToEnd : public testing::Test {
  protected:
    void SetUp() override {
        aircraft_ = CopySampleAircraft(tmp_.path());
        WriteFile(aircraft_ / "ini" / "Kvx4f700.ini", "[Dirarov]\nSTAMP=15\nNETWORK_SERVER=0\n");
        RestoreLoadedModuleState();
        simhost::SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.audio_silent = true;
        sim_ = std::make_unique<simhost::Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
        for (int i = 0; i < 60 && (HostIoStartDelay > 0 || FsuipcLinkReady == 0); ++i) Frames(1);
    }
    void TearDown() override {
        if (sim_) sim_->Stop();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) sim_->RunFrame();
    }
    // Battery power on the left main DC bus, the FMS bus.
    void PowerFms() {
        BatteryMasterSwitch.set(255);
        MainBatterySwitch.set(255);
        MainBusTieSwitch.set(255);
        for (int i = 0; i < 600 && FmsPowered == 0; ++i) Frames(1);
        ASSERT_EQ(FmsPowered, 1);
    }
    // The keys pressed one by one, then a few frames for the page and the
    // paint to follow.
    void Cdu(const std::vector<std::string>& words) {
        std::vector<int> rects;
        std::string error;
        ASSERT_TRUE(CduKeyRects(words, &rects, &error)) << error;
        ASSERT_TRUE(sim_->QueueCduKeys(rects, &error)) << error;
        for (int i = 0; i < 200 && sim_->PendingCduKeys() > 0; ++i) Frames(1);
        Frames(12);
    }
    CduScreenFold Screen(const char* gauge = "FMS") {
        const simhost::GaugeInstance* g = sim_->FindGauge(gauge);
        EXPECT_NE(g, nullptr);
        if (g == nullptr || g->surfaces.empty()) return {};
        return simhost::FoldCduTexts(g->surfaces.front()->texts);
    }
    // Powered, past the self-test, on the INIT page.
    void ReachInit() {
        ASSERT_NO_FATAL_FAILURE(PowerFms());
        for (int i = 0; i < 600 && Screen().lines[0].find("INIT 1/1") == std::string::npos; ++i) {
            Frames(1);
        }
        ASSERT_NE(Screen().lines[0].find("INIT 1/1"), std::string::npos);
    }
    void Accept() {
        ASSERT_NO_FATAL_FAILURE(ReachInit());
        Cdu({"L5"});
        ASSERT_EQ(FmsInitialised, 1);
    }
    std::vector<std::string> PlanIdents() const {
        std::vector<std::string> idents;
        for (uint32_t i = 0; i < FlightPlan.count; ++i)
            idents.emplace_back(FlightPlan.legs[i].ident);
        return idents;
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<simhost::Simulator> sim_;
};

TEST_F(CduEndToEnd, SelfTestThenInitAcceptedByItsLineKey) {
    ASSERT_NO_FATAL_FAILURE(PowerFms());
    // The self-test: its labels, and PASS marks piling up from line 4 down.
    bool all_passed = false;
    for (int i = 0; i < 600 && !all_passed; ++i) {
        Frames(1);
        const CduScreenFold s = Screen();
        if (s.lines[0].find("VADIVUZEV 1E") == std::string::npos) continue;
        EXPECT_EQ(s.lines[4].substr(0, 11), "CPU/PROGRAM");
        EXPECT_EQ(s.colours[4][0], 'a');
        all_passed = s.lines[10].substr(20, 4) == "PASS";
        if (all_passed) {
            for (int line = 4; line <= 10; ++line) EXPECT_EQ(s.lines[line].substr(20, 4), "PASS");
        }
    }
    EXPECT_TRUE(all_passed);
    for (int i = 0; i < 300 && Screen().lines[0].find("INIT 1/1") == std::string::npos; ++i) {
        Frames(1);
    }
    CduScreenFold s = Screen();
    ASSERT_NE(s.lines[0].find("INIT 1/1"), std::string::npos);
    EXPECT_EQ(s.lines[4].substr(0, 10), "N  45 00.0");
    EXPECT_EQ(s.colours[4][0], 'y');
    EXPECT_NE(s.lines[10].find("ACCEPT"), std::string::npos);
    // Function keys do nothing before ACCEPT.
    Cdu({"NAV"});
    EXPECT_EQ(CduPage, kCduPageInit);
    Cdu({"L5"});
    s = Screen();
    EXPECT_EQ(s.lines[10].find("ACCEPT"), std::string::npos);
    EXPECT_EQ(s.colours[4][0], 'g');
    EXPECT_EQ(s.colours[2][15], 'g');  // the date
    Cdu({"NAV"});
    EXPECT_EQ(CduPage, kCduPageNav);
    // The report carries the same fold for both CDU gauges.
    const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
    int cdus = 0;
    for (const auto& g : state["gauges"]) {
        if (g["name"] != "FMS" && g["name"] != "FMS_VC") continue;
        ++cdus;
        ASSERT_EQ(g["cdu"]["lines"].size(), 11u);
        ASSERT_EQ(g["cdu"]["colours"].size(), 11u);
    }
    EXPECT_EQ(cdus, 2);
}

TEST_F(CduEndToEnd, FlightPlanByKeysAlone) {
    ASSERT_NO_FATAL_FAILURE(Accept());
    Cdu({"FPL"});
    CduScreenFold s = Screen();
    // The entry line, its field already active (the edit box: black text).
    EXPECT_EQ(s.lines[2].substr(0, 8), " 1 -----");
    EXPECT_EQ(s.colours[2].substr(3, 5), "kkkkk");
    // XNA is an intersection and an NDB: the nearer first.
    Cdu({"XNA", "ENTER"});
    s = Screen();
    EXPECT_NE(s.lines[0].find(" 1/ 2"), std::string::npos);
    EXPECT_NE(s.lines[5].find("INTERSECTION"), std::string::npos);
    Cdu({"ENTER"});
    ASSERT_EQ(PlanIdents(), std::vector<std::string>{"XNA"});
    EXPECT_EQ(+FlightPlan.legs[0].fix_latitude, 44.7);
    for (const char* id : {"XOMBA", "XEDIS", "XFODA", "XGALE"}) {
        Cdu({id, "ENTER"});
        Cdu({"ENTER"});
    }
    ASSERT_EQ(FlightPlan.count, 5u);
    s = Screen();
    EXPECT_NE(s.lines[0].find(" 2/ 2"), std::string::npos);
    EXPECT_EQ(s.lines[2].substr(0, 8), " 6 -----");
    // DEL arms, any other line key cancels, a second DEL deletes.
    Cdu({"PREV", "L2"});
    EXPECT_NE(Screen().lines[2].find("DEL"), std::string::npos);
    Cdu({"R1", "R2"});
    EXPECT_EQ(FlightPlan.count, 5u);
    Cdu({"R1", "R1"});
    EXPECT_EQ(PlanIdents(), (std::vector<std::string>{"XNA", "XEDIS", "XFODA", "XGALE"}));
}

// The sample panel calls the virtual cockpit's CDU before the CDU's own
// window: both screens show every page, line for line.
TEST_F(CduEndToEnd, VirtualCockpitScreenShowsTheSameLinesAsTheCdu) {
    ASSERT_NO_FATAL_FAILURE(ReachInit());
    const auto same = [this](const char* stage) {
        const CduScreenFold cdu = Screen("FMS");
        const CduScreenFold vc = Screen("FMS_VC");
        for (int line = 0; line < 11; ++line) {
            EXPECT_EQ(vc.lines[line], cdu.lines[line]) << stage << " line " << line;
            EXPECT_EQ(vc.colours[line], cdu.colours[line]) << stage << " line " << line;
        }
    };
    same("init");
    Cdu({"L5", "FPL", "XEDIS", "ENTER", "ENTER"});
    ASSERT_EQ(Screen().lines[2].substr(0, 8), " 1 XEDIS");
    same("flight plan");
    Cdu({"NAV"});
    same("nav");
}

TEST_F(CduEndToEnd, DepartureAndArrivalFromTheSampleDatabase) {
    ASSERT_NO_FATAL_FAILURE(Accept());
    Cdu({"FPL", "XFODA", "ENTER", "ENTER"});
    ASSERT_EQ(PlanIdents(), std::vector<std::string>{"XFODA"});
    Cdu({"MENU", "L4", "R1", "XZVA", "ENTER", "ENTER"});
    ASSERT_EQ(CduPage, kCduPageDeparture);
    // The sample's start airport has ten runways: two sub-pages of eight.
    Cdu({"R2"});
    CduScreenFold s = Screen();
    EXPECT_EQ(s.lines[1].substr(0, 10), "SEL RUNWAY");
    EXPECT_NE(s.lines[0].find(" 1/ 2"), std::string::npos);
    EXPECT_NE(s.lines[9].substr(0, 3), "   ");
    Cdu({"NEXT"});
    s = Screen();
    EXPECT_EQ(s.lines[2].substr(0, 2), " 9");
    EXPECT_EQ(s.lines[4].substr(0, 3), "   ");
    // Runway 36 is the sixth of the file; then the SID and its transition.
    Cdu({"6", "ENTER", "R3", "1", "ENTER", "R4"});
    EXPECT_EQ(Screen().lines[2].substr(0, 8), " 1 XEDIS");
    Cdu({"1", "ENTER"});
    // The departure ends at XEDIS, far from the plan's XFODA: no link.
    std::vector<std::string> idents = PlanIdents();
    const std::vector<std::string> departure = {"XZVA",  "(1300)",    "XOMBA", "XVA16",
                                                "XEDIS", "*NO LINK*", "XFODA"};
    EXPECT_EQ(idents, departure);
    // The arrival and approach to LIPO end at the destination.
    Cdu({"R5", "MENU", "R4", "R1", "LIPO", "ENTER", "ENTER"});
    ASSERT_EQ(CduPage, kCduPageArrival);
    Cdu({"R3", "1", "ENTER"});
    EXPECT_EQ(CduActiveField, 11);
    Cdu({"1", "ENTER", "R4", "1", "ENTER"});
    EXPECT_EQ(CduActiveField, 12);
    Cdu({"1", "ENTER"});
    idents = PlanIdents();
    ASSERT_FALSE(idents.empty());
    EXPECT_EQ(idents.back(), "LIPO");
    EXPECT_NE(std::find(idents.begin(), idents.end(), "XRW14"), idents.end());
    EXPECT_EQ(Screen().lines[8].substr(11, 13), "    I14.  XNA");
}

TEST_F(CduEndToEnd, ShowButtonTogglesTheCduWindow) {
    simhost::GaugeInstance* show = sim_->FindGauge("FMS_show");
    ASSERT_NE(show, nullptr);
    std::string error;
    ASSERT_TRUE(sim_->Click(*show, 1, false, &error)) << error;
    Frames(1);
    EXPECT_EQ(sim_->OpenPanelWindows().count(simhost::kCduWindowIdent), 1u);
    ASSERT_TRUE(sim_->Click(*show, 1, false, &error)) << error;
    Frames(1);
    EXPECT_EQ(sim_->OpenPanelWindows().count(simhost::kCduWindowIdent), 0u);
}

TEST_F(CduEndToEnd, KeysHideTheLitOverlayOfADarkPanelButNeverTheScreen) {
    ASSERT_NO_FATAL_FAILURE(ReachInit());
    Cdu({"L5"});
    for (const char* name : {"FMS", "FMS_VC"}) {
        const simhost::GaugeInstance* g = sim_->FindGauge(name);
        ASSERT_NE(g, nullptr);
        ASSERT_EQ(g->elements.size(), 3u);
        EXPECT_TRUE(g->elements[1].hidden) << name;
        EXPECT_FALSE(g->elements[2].hidden) << name;
    }
}

TEST_F(CduEndToEnd, KeysPressedUnpoweredClickAndChangeNothing) {
    Frames(30);
    ASSERT_EQ(FmsPowered, 0);
    const uint64_t sounds = sim_->SoundEventsTotal();
    Cdu({"L5", "NAV", "A", "ENTER"});
    EXPECT_GT(sim_->SoundEventsTotal(), sounds);
    EXPECT_EQ(FmsKeyCode.load(), 0);
    EXPECT_EQ(FmsFunctionKey.load(), 0);
    EXPECT_EQ(FmsInitialised, 0);
    EXPECT_EQ(CduPage, -1);
    EXPECT_EQ(Screen().lines[0], std::string(24, ' '));
}

// The verb in a scenario, through the program: quoted text is typed, a bad
// key is refused with the line, and the report shows the lines.
TEST(CduScenario, VerbTypesIntoThePlanAndTheReportShowsIt) {
    TempDir tmp;
    const std::filesystem::path aircraft = CopySampleAircraft(tmp.path());
    const std::filesystem::path bad = tmp.path() / "bad.txt";
    WriteFile(bad, "at 1 cdu L1 \"X-1\"\n");
    ProcessResult r = RunSimhost({"--aircraft", aircraft.string(), "--scenario", bad.string(),
                                  "--state-json", (tmp.path() / "bad.json").string()});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_NE(r.err.find("bad.txt:1"), std::string::npos) << r.err;

    const std::filesystem::path scenario = tmp.path() / "cdu.txt";
    WriteFile(scenario,
              "at 1 click battery_panel 3\n"
              "at 1.2 click battery_panel 2\n"
              "at 1.4 click battery_panel 1\n"
              "at 1.6 click battery_panel 6\n"
              "at 1.8 click battery_panel 4\n"
              "at 2 click battery_panel 5\n"
              "at 9 cdu L5 FPL \"XEDIS\" ENTER\n"
              "at 9 cdu ENTER\n");
    const std::filesystem::path state = tmp.path() / "state.json";
    r = RunSimhost({"--aircraft", aircraft.string(), "--scenario", scenario.string(), "--seconds",
                    "14", "--state-json", state.string()});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const nlohmann::json j = ReadJson(state);
    bool seen = false;
    for (const auto& g : j["gauges"]) {
        if (g["name"] != "FMS") continue;
        seen = true;
        EXPECT_EQ(g["cdu"]["lines"][2].get<std::string>().substr(0, 8), " 1 XEDIS");
        EXPECT_EQ(g["cdu"]["lines"][4].get<std::string>().substr(0, 8), " 2 -----");
    }
    EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace zu::e2e
