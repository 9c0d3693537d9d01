// The overhead, caution and side panels in a running module: the stand-in
// simulator drives frames in lockstep, the test clicks the panels' mouse
// rectangles as a pilot would and reads what the gauges show (hidden flags,
// texts and colours as the host keeps them) and what reached the simulator.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cabin_link/instructor_state_exchange.h"
#include "core/air_conditioning.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/systems_tick.h"
#include "e2e_support.h"
#include "module_state.h"
#include "panels/caution_panels.h"
#include "panels/electrical_meters.h"
#include "panels/fdr_switchboard.h"
#include "panels/lighting_panels.h"
#include "panels/overhead_art.h"
#include "panels/side_panels.h"
#include "zu/simhost/gauge_renderer.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

using simhost::GaugeInstance;
using simhost::Simulator;
using simhost::SimulatorConfig;

constexpr uint32_t kOnGroundToken = 60;

class OverheadPanels : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();
        ResetPanels();
        aircraft_ = CopySampleAircraft(tmp_.path());
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        sim_ = std::make_unique<Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
        sim_->SetVariable(kOnGroundToken, 1.0);
    }

    void TearDown() override {
        if (sim_) sim_->Stop();
        ResetPanels();
    }

    // What earlier flights in this process left in the panels' own state.
    static void ResetPanels() {
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
        ElectricsDefaultsDone = 0;
        ElectricalChangeFlag = 0;
        for (int32_t& latch : CautionLatch) latch = 0;
        AirConditioningState = {};
        SystemTimers = {};
        SystemTimers2 = {};
        MeterValues = {};
        DcMeterTestCountdown = AcMeterTestCountdown = 0;
        MeterBlinkCounter = 0;
        Lights_Panel = {0, 0, 0};
        RightPanelLights[0] = RightPanelLights[1] = 0;
        PilotPanelState = {0, {0, 0}, 0};
        flight_controls_COPILOT_antiskid_sw = 0;
        CopilotSwitchHold = 0;
        FdrPanelSwitch = 0;
        FdrTestCountdown = 0;
        FdrPanelMode = 1;
        SwitchboardState = 0;
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

    // Host element i of a gauge (its walk order: a backdrop, where the gauge
    // has one, comes first).
    bool Shown(const char* name, size_t i) {
        const GaugeInstance& g = Gauge(name);
        return i < g.elements.size() && !g.elements[i].hidden;
    }

    // The caution panel's legend of a text: shown, and as written.
    const simhost::ElementState& Legend(const std::string& text, const char* gauge = "Caution") {
        for (int cell = 0; cell < kCautionLegendCells; ++cell) {
            if (text == CautionLegendTable[cell]) return Gauge(gauge).elements[cell + 1];
        }
        ADD_FAILURE() << "no legend " << text;
        return Gauge(gauge).elements[0];
    }
    bool LegendShown(const std::string& text) { return !Legend(text).hidden; }

    // Battery master alone, as a pilot switches it on: both essential buses
    // come alive.
    void BatteryMasterOn() {
        Frames(10);
        Click("battery_panel", 3);
        Frames(20);
    }

    // The annunciators' supply these flights read: the right essential bus
    // with its voltage and its bus-powered byte (0xA1), both of which the
    // battery master alone provides.
    static bool AnnunciatorSupplyOn() {
        return BusVolts.get(kRightEssentialBus) > 20 && BusPowered.get(kPoweredRightEssential) != 0;
    }

    std::string Text(const char* gauge, size_t i) { return Gauge(gauge).elements[i].text; }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(OverheadPanels, BatteryMasterAloneLightsTheCautionsAndFlashesTheMasterCaution) {
    BatteryMasterOn();
    ASSERT_TRUE(AnnunciatorSupplyOn());
    EXPECT_EQ(BatteryMasterSwitch.get(), 255);
    EXPECT_TRUE(Shown("battery_panel", 11));  // the master's on image
    EXPECT_FALSE(Shown("battery_panel", 10));

    for (const char* on : {"DC BUS", "#1 DC GEN", "AUX INV", "MAIN BATTERY", "EMER LTS DISARMED"}) {
        EXPECT_TRUE(LegendShown(on)) << on;
        EXPECT_EQ(Legend(on).text, on);
    }
    EXPECT_FALSE(LegendShown("PRI INV"));

    // Two ticks on, two off, in step with the tick counter's bit 1.
    ASSERT_EQ(MasterCautionFlag.get(), 1);
    int lit_frames = 0;
    for (int i = 0; i < 40; ++i) {
        Frames(1);
        const bool phase = (TickCounter.load() & 2u) != 0;
        EXPECT_EQ(Shown("Master_Caution_Light", 1), phase) << "frame " << i;
        EXPECT_EQ(MasterCautionFlash.get() != 0, phase);
        lit_frames += phase ? 1 : 0;
    }
    EXPECT_GT(lit_frames, 10);
    EXPECT_LT(lit_frames, 30);

    Click("Master_Caution_Light", 1);
    Frames(8);
    EXPECT_EQ(MasterCautionFlag.get(), 0);
    for (int i = 0; i < 30; ++i) {
        Frames(1);
        EXPECT_FALSE(Shown("Master_Caution_Light", 1)) << "frame " << i;
    }
    EXPECT_TRUE(LegendShown("#1 DC GEN"));  // the caution itself stays
}

TEST_F(OverheadPanels, AnnunciatorTestLightsEveryLegendAndNeedsItsSupply) {
    BatteryMasterOn();
    ASSERT_TRUE(AnnunciatorSupplyOn());
    Click("Lights_rightpanel", 6);  // test to 1
    Frames(6);
    ASSERT_EQ(AnnunciatorTestSwitch.get(), 1);
    const GaugeInstance& caution = Gauge("Caution");
    for (int cell = 0; cell < kCautionLegendCells; ++cell) {
        EXPECT_FALSE(caution.elements[cell + 1].hidden) << CautionLegendTable[cell];
        EXPECT_EQ(caution.elements[cell + 1].text, CautionLegendTable[cell]);
    }
    // Both master lamps flash with the test.
    bool caution_seen = false;
    bool warning_seen = false;
    for (int i = 0; i < 8; ++i) {
        Frames(1);
        caution_seen |= Shown("Master_Caution_Light", 1);
        warning_seen |= Shown("Master_Warning_Light", 1);
    }
    EXPECT_TRUE(caution_seen);
    EXPECT_TRUE(warning_seen);

    Click("Lights_rightpanel", 7);  // test to 0
    Frames(2);
    EXPECT_FALSE(LegendShown("PRI INV"));
    EXPECT_FALSE(LegendShown("----"));
    EXPECT_TRUE(LegendShown("DC BUS"));

    // Without the left essential bus the switch cannot stay on.
    BatteryMasterSwitch.set(0);
    Frames(20);
    ASSERT_EQ(BusPowered.get(kPoweredLeftEssential), 0);
    Click("Lights_rightpanel", 6);
    EXPECT_EQ(AnnunciatorTestSwitch.get(), 1);
    Frames(1);
    EXPECT_EQ(AnnunciatorTestSwitch.get(), 0);
}

// Every legend lit by the test, drawn at the default and at twice the scale:
// each shows inside its own lamp, and none reaches its lamp's left or right
// edge, where the lamp's box would cut it and run it into its neighbour.
TEST_F(OverheadPanels, LitLegendsStayWholeInsideTheirOwnLamps) {
    namespace oa = overhead_art;
    BatteryMasterOn();
    ASSERT_TRUE(AnnunciatorSupplyOn());
    Click("Lights_rightpanel", 6);  // test to 1
    Frames(6);
    ASSERT_EQ(AnnunciatorTestSwitch.get(), 1);
    const GaugeInstance& large = Gauge("Caution_Large");
    ASSERT_EQ(large.width, oa::kCautionSize.width);  // placed at its design size
    const simhost::PanelWindow* window = nullptr;
    for (const simhost::PanelWindow& w : sim_->panel_windows()) {
        if (w.number == large.window_number) window = &w;
    }
    ASSERT_NE(window, nullptr);
    simhost::GaugeRenderer renderer(*sim_);
    for (const double scale : {1.0, 2.0}) {
        cairo_surface_t* s = renderer.RenderWindow(*window, {scale, 1.0});
        const unsigned char* data = cairo_image_surface_get_data(s);
        const int stride = cairo_image_surface_get_stride(s);
        // Legend ink: the bright amber or red of a lit legend, not the lens.
        const auto ink = [&](int x, int y) {
            const uint32_t p = reinterpret_cast<const uint32_t*>(data + y * stride)[x];
            return ((p >> 16) & 0xFF) > 90;
        };
        for (int cell = 0; cell < kCautionLegendCells; ++cell) {
            const int row = cell / kCautionColumns;
            const int column = cell % kCautionColumns;
            const int x0 = static_cast<int>(
                (large.x + oa::kCautionLampX0 + oa::kCautionLampPitchX * column) * scale);
            const int y0 = static_cast<int>(
                (large.y + oa::kCautionLampY0 + oa::kCautionLampPitchY * row) * scale);
            const int x1 = x0 + static_cast<int>(oa::kCautionLampW * scale) - 1;
            const int y1 = y0 + static_cast<int>(oa::kCautionLampH * scale) - 1;
            int inside = 0;
            int at_edge = 0;
            for (int y = y0; y <= y1; ++y) {
                for (int x = x0; x <= x1; ++x) inside += ink(x, y) ? 1 : 0;
                at_edge += (ink(x0, y) ? 1 : 0) + (ink(x1, y) ? 1 : 0);
            }
            EXPECT_GT(inside, 0) << CautionLegendTable[cell] << " at scale " << scale;
            EXPECT_EQ(at_edge, 0) << CautionLegendTable[cell] << " at scale " << scale;
        }
        cairo_surface_destroy(s);
    }
}

TEST_F(OverheadPanels, DimmingTurnsTheLegendsDarkAndTheSwitchSpringsBack) {
    BatteryMasterOn();
    Click("Lights_rightpanel", 9);  // dim
    EXPECT_EQ(CautionBrightness.get(), 0);
    EXPECT_EQ(CautionBrightnessSwitch.get(), 2);
    Frames(1);
    // The switch shows dim for the rest of that refresh cycle, then returns.
    EXPECT_EQ(CautionBrightnessSwitch.get(), 2);
    Frames(3);
    EXPECT_EQ(CautionBrightnessSwitch.get(), 0);
    EXPECT_EQ(CautionBrightness.get(), 0);
    ASSERT_TRUE(AnnunciatorSupplyOn());
    Frames(4);
    EXPECT_EQ(Legend("DC BUS").element != nullptr, true);
    const auto colour = [&](const char* text) {
        return reinterpret_cast<const gauge::StringElement*>(Legend(text).element)->fg_colour;
    };
    EXPECT_EQ(colour("DC BUS"), kLegendAmberDim);
    const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
    bool found = false;
    for (const auto& g : state["gauges"]) {
        if (g["name"] != "Caution") continue;
        for (const auto& e : g["elements"]) {
            if (e.value("text", "") == "DC BUS") {
                EXPECT_EQ(e["colour"].get<uint32_t>(), kLegendAmberDim);  // (133, 133, 0)
                found = true;
            }
        }
    }
    EXPECT_TRUE(found);
}

// The state file's summary says what the panels show, and the numbers the
// docs and the log write in hexadecimal (or as signed values) are there in
// that form too.
TEST_F(OverheadPanels, TheStateFileSummarisesThePanelsAndWritesHexBesideNumbers) {
    BatteryMasterOn();
    ASSERT_TRUE(AnnunciatorSupplyOn());
    DcVoltmeterSelector.set(2);
    Click("DcMeterPanel", 1);  // up to 3: the right essential bus
    Frames(3);
    sim_->ReceiveKeyEvent(0x1011C, static_cast<uint32_t>(-730), false);
    const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
    const nlohmann::json& summary = state["summary"];

    std::vector<std::string> shown;
    for (int cell = 0; cell < kCautionLegendCells; ++cell) {
        const simhost::ElementState& e = Gauge("Caution").elements[cell + 1];
        if (!e.hidden && !e.text.empty()) shown.push_back(e.text);
    }
    EXPECT_EQ(summary["lit_cautions"].get<std::vector<std::string>>(), shown);
    EXPECT_NE(std::find(shown.begin(), shown.end(), "DC BUS"), shown.end());
    EXPECT_EQ(std::find(shown.begin(), shown.end(), "PRI INV"), shown.end());

    EXPECT_DOUBLE_EQ(summary["bus_volts"]["dc"].get<double>(), std::stod(Text("DcMeterPanel", 6)));
    EXPECT_GT(summary["bus_volts"]["dc"].get<double>(), 20.0);
    ASSERT_EQ(summary["bus_volts"]["ac"].size(), 2u);
    EXPECT_DOUBLE_EQ(summary["bus_volts"]["ac"][0].get<double>(),
                     std::stod(Text("AcMeterPanel", 6)));
    ASSERT_EQ(summary["engines"].size(), 2u);
    EXPECT_FALSE(summary["engines"][0]["running"].get<bool>());

    const nlohmann::json& last = state["key_events"].back();
    EXPECT_EQ(last["id_hex"], "0x1011C");
    EXPECT_EQ(last["value"].get<uint32_t>(), 4294966566u);
    EXPECT_EQ(last["value_signed"].get<int32_t>(), -730);
    for (const auto& k : state["key_event_log"]["counts"]) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%X", k["id"].get<uint32_t>());
        ASSERT_EQ(k["id_hex"], hex);
        ASSERT_EQ(k["last_value_signed"].get<int32_t>(),
                  static_cast<int32_t>(k["last_value"].get<uint32_t>()));
    }
    ASSERT_FALSE(state["fsuipc"]["write_counts"].empty());
    for (const auto& w : state["fsuipc"]["write_counts"]) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%04X", w["offset"].get<uint32_t>());
        ASSERT_EQ(w["offset_hex"], hex);
    }
    for (const auto& e : state["gauges"][0]["elements"]) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X", e["image_flags"].get<uint32_t>());
        ASSERT_EQ(e["image_flags_hex"], hex);
    }
}

TEST_F(OverheadPanels, MetersReadTheSelectedBusAndRunTheirTests) {
    BatteryMasterOn();
    ASSERT_TRUE(AnnunciatorSupplyOn());
    DcVoltmeterSelector.set(2);
    Click("DcMeterPanel", 1);  // up to 3: the right essential bus
    Frames(3);
    EXPECT_EQ(DcVoltmeterSelector.get(), 3);
    EXPECT_EQ(Text("DcMeterPanel", 6), "26.0");
    Click("DcMeterPanel", 1);  // 4: the right main bus
    Frames(3);
    EXPECT_EQ(Text("DcMeterPanel", 6), "0.0");

    EXPECT_EQ(Text("AcMeterPanel", 6), "110.0");

    // The test: "88.8" first, then the test texts, then the values again.
    Click("DcMeterPanel", 5);
    EXPECT_EQ(DcMeterTestCountdown, 256);
    Frames(2);
    EXPECT_EQ(Text("DcMeterPanel", 6), "88.8");
    Frames(40);
    EXPECT_EQ(Text("DcMeterPanel", 6), "30.5");
    EXPECT_EQ(Text("DcMeterPanel", 7), "1.05");
    Frames(40);
    EXPECT_EQ(DcMeterTestCountdown, 0);
    EXPECT_EQ(Text("DcMeterPanel", 6), "0.0");

    // Unpowered, an exact zero is four blanks and the test does nothing.
    BatteryMasterSwitch.set(0);
    Frames(30);
    RefreshCountdown[0] = 300;
    Frames(2);
    EXPECT_EQ(Text("DcMeterPanel", 6), "    ");
    Click("DcMeterPanel", 5);
    EXPECT_EQ(DcMeterTestCountdown, 0);
}

TEST_F(OverheadPanels, SidePanelsSpringBackAndTheSwitchboardOpensWindows) {
    Frames(5);
    Click("Copilot panel", 1);
    EXPECT_EQ(flight_controls_COPILOT_antiskid_sw, 1);
    Frames(3);
    EXPECT_EQ(flight_controls_COPILOT_antiskid_sw, 1);
    Frames(1);
    EXPECT_EQ(flight_controls_COPILOT_antiskid_sw, -1);

    Click("FDR_panel", 1);
    EXPECT_EQ(FdrPanelSwitch, 1);
    Frames(12);
    EXPECT_EQ(FdrPanelSwitch, 1);
    Frames(1);
    EXPECT_EQ(FdrPanelSwitch, 0);

    // The switchboard's events among the module's own (the host pass sends
    // its key events every frame).
    const auto board_events = [&](size_t from) {
        std::vector<std::pair<uint32_t, uint32_t>> out;
        const auto all = sim_->KeyEvents();
        for (size_t i = from; i < all.size(); ++i) {
            if (all[i].id == 0x100A5u || (all[i].id >= 0x10172u && all[i].id <= 0x1017Au)) {
                out.emplace_back(all[i].id, all[i].value);
            }
        }
        return out;
    };
    using Events = std::vector<std::pair<uint32_t, uint32_t>>;
    size_t keys = sim_->KeyEvents().size();
    const size_t windows = sim_->PanelWindowCalls().size();
    Click("SWITCHBOARD_gauge", 1);  // folded: opens the board only
    EXPECT_EQ(board_events(keys), (Events{{0x100A5u, 47u}}));
    EXPECT_EQ(sim_->PanelWindowCalls().size(), windows);
    Frames(2);
    EXPECT_TRUE(Shown("SWITCHBOARD_gauge", 0));
    EXPECT_FALSE(Shown("SWITCHBOARD_gauge", 1));

    keys = sim_->KeyEvents().size();
    Click("SWITCHBOARD_gauge", 1);  // open: windows 22 and 0, then the events
    const auto calls = sim_->PanelWindowCalls();
    ASSERT_EQ(calls.size(), windows + 2);
    EXPECT_EQ(calls[windows].slot, gauge::kSlotPanelWindowOpen);
    EXPECT_EQ(calls[windows].ident, 22u);
    EXPECT_EQ(calls[windows + 1].ident, 0u);
    EXPECT_EQ(board_events(keys), (Events{{0x10172u, 255u}, {0x100A5u, 47u}}));
    EXPECT_EQ(sim_->OpenPanelWindows().count(22), 1u);
}

// One click of the pilot trim switch: with the left essential bus (0xA2)
// and the panel toggle on, the trim key event goes out on every host pass
// for the 8 systems ticks of the switch's timer, then stops, and the switch
// shows its centre image (element 10) again.
TEST_F(OverheadPanels, OneTrimClickTrimsForEightSystemsTicksAndTheSwitchReturns) {
    BatteryMasterOn();
    ASSERT_NE(BusPowered.get(kPoweredLeftEssential), 0);
    Click("Pilot_Panel", 9);  // the toggle
    Frames(2);
    ASSERT_EQ(PilotPanelFlag, 1);
    const auto sent_in = [&](uint64_t frame, uint32_t id) {
        int n = 0;
        for (const auto& k : sim_->KeyEvents()) n += k.frame == frame && k.id == id ? 1 : 0;
        return n;
    };
    Click("Pilot_Panel", 7);  // trim, upper
    const uint32_t tick0 = TickCounter.load();
    int passes_sent = 0;
    for (int i = 0; i < 40; ++i) {
        Frames(1);  // the frame's ticks run before its host pass
        const uint32_t ticks = TickCounter.load() - tick0;
        const int n = sent_in(sim_->frame(), 0x10047);
        EXPECT_EQ(n, ticks < 8 ? 1 : 0) << "frame " << i << ", " << ticks << " ticks";
        EXPECT_EQ(sent_in(sim_->frame(), 0x1004F), 0);
        passes_sent += n;
    }
    EXPECT_GE(passes_sent, 4);
    EXPECT_GT(TickCounter.load() - tick0, 8u);
    EXPECT_TRUE(Shown("Pilot_Panel", 11));  // element 10, after the backdrop
    EXPECT_FALSE(Shown("Pilot_Panel", 10));
    EXPECT_FALSE(Shown("Pilot_Panel", 12));
}

TEST_F(OverheadPanels, MeterWindowStaysOpenWithoutCalls) {
    Frames(60);
    EXPECT_EQ(sim_->OpenPanelWindows().count(kMeterPanelWindow), 1u);
    for (const auto& call : sim_->PanelWindowCalls()) EXPECT_NE(call.ident, kMeterPanelWindow);
}

TEST_F(OverheadPanels, RecorderLightFollowsItsBusesAndTheNavigationLights) {
    BatteryMasterSwitch.set(255);
    MainBatterySwitch.set(255);
    MainBusTieSwitch.set(255);  // the left main bus on the battery as well
    Frames(30);
    ASSERT_NE(BusPowered.get(kPoweredLeftMainDc), 0);
    ASSERT_NE(BusPowered.get(kPoweredLeftEssential), 0);
    EXPECT_EQ(CautionLightArray[CautionIndex(0, 13)], 255u);
    EXPECT_TRUE(LegendShown("FLT DATA RECORDER"));

    Click("Lights_exterior2_Panel", 4);  // navigation lights
    Frames(10);
    EXPECT_EQ(NavBeaconSelector.get(), 1);
    EXPECT_EQ(CautionLightArray[CautionIndex(0, 13)], 0u);
    EXPECT_FALSE(LegendShown("FLT DATA RECORDER"));
}

TEST_F(OverheadPanels, DoorWarningsFlashUntilAcknowledgedAndGoOutWithTheNavigationLights) {
    Frames(10);
    Click("battery_panel", 3);  // battery master
    Click("battery_panel", 8);  // external DC power
    Frames(40);
    ASSERT_TRUE(AnnunciatorSupplyOn());
    ASSERT_NE(BusPowered.get(kPoweredLeftMainDc), 0);
    EXPECT_TRUE(Shown("battery_panel", 34));  // external DC available
    ASSERT_NE(MasterWarningFlag.get(), 0);
    // Latched: dark whenever the master warning's flash phase is on.
    int lit = 0;
    for (int i = 0; i < 24; ++i) {
        Frames(1);
        const bool phase = MasterWarningFlash.get() != 0;
        EXPECT_EQ(LegendShown("PASS DOOR"), !phase) << i;
        EXPECT_EQ(LegendShown("BAG DOOR"), !phase) << i;
        lit += LegendShown("SERVICE DOOR") ? 1 : 0;
    }
    EXPECT_GT(lit, 4);
    EXPECT_LT(lit, 20);
    Click("Master_Warning_Light", 1);
    Frames(6);
    for (int i = 0; i < 12; ++i) {
        Frames(1);
        EXPECT_TRUE(LegendShown("PASS DOOR")) << i;
        EXPECT_TRUE(LegendShown("SERVICE DOOR")) << i;
    }
    EXPECT_TRUE(LegendShown("FLT DATA RECORDER"));

    Click("Lights_exterior2_Panel", 4);  // navigation lights: the doors close
    Frames(60);
    EXPECT_FALSE(LegendShown("PASS DOOR"));
    EXPECT_FALSE(LegendShown("BAG DOOR"));
    EXPECT_FALSE(LegendShown("SERVICE DOOR"));
    EXPECT_FALSE(LegendShown("FLT DATA RECORDER"));
    int lights_word = -1;
    const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
    for (const auto& w : state["fsuipc"]["writes"]) {
        if (w["offset"].get<uint32_t>() == 0x0D0C) {
            lights_word = static_cast<int>(
                std::strtol(w["hex"].get<std::string>().substr(0, 2).c_str(), nullptr, 16));
        }
    }
    EXPECT_EQ(lights_word, 0x21);
}

TEST_F(OverheadPanels, BatteryTemperatureGraphsArePaintedIntoTheirSurfaces) {
    BatteryMasterSwitch.set(255);
    MainBatterySwitch.set(255);
    Frames(20);
    ASSERT_NE(BusPowered.get(kPoweredRightEssential), 0);
    AirConditioningState.battery_temperature[0] = 60.0f;  // into the yellow zone
    AirConditioningState.battery_temperature[1] = 10.0f;  // empty
    RefreshCountdown[0] = 10;
    Frames(3);

    const GaugeInstance& g = Gauge("BatTempMeterPanel");
    ASSERT_EQ(g.surfaces.size(), 2u);
    const simhost::DrawnSurface& hot = *g.surfaces[0];
    const simhost::DrawnSurface& cool = *g.surfaces[1];
    EXPECT_GT(hot.pictures, 0u);
    // Placed at 191 of its 191 design pixels: the surfaces keep their size.
    EXPECT_EQ(hot.surface.width, 152);
    EXPECT_EQ(hot.surface.height, 14);
    const auto pixel = [](const simhost::DrawnSurface& d, int x, int y) {
        const uint8_t* p = &d.picture[(static_cast<size_t>(y) * d.surface.width + x) * 4];
        return (uint32_t{p[0]}) | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
    };
    // The bars' colours as red, green and blue bytes: green 0x00D000 and
    // yellow 0x00D0D0 (COLORREF, blue in the high byte).
    EXPECT_EQ(pixel(hot, 3, 7), 0x00D000u);       // a lit segment
    EXPECT_EQ(pixel(hot, 1, 7), kBarBackground);  // a cut between segments
    EXPECT_EQ(pixel(hot, 79, 7), 0x00D0D0u);
    EXPECT_EQ(pixel(hot, 121, 7), kBarBackground);  // no red below 65
    EXPECT_EQ(pixel(cool, 3, 7), kBarBackground);

    // Nothing is copied while the overhead refresh is idle (a flashing
    // master caution keeps the electrical change flag, and so the refresh,
    // running: acknowledge it first, once the ice protection's pass has lit
    // the pitot-heat cautions).
    Frames(40);
    MasterCautionAck.set(1);
    MasterWarningAck.set(1);
    Frames(400);
    const uint64_t pictures = hot.pictures;
    Frames(10);
    EXPECT_EQ(hot.pictures, pictures);

    const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
    int surfaces = 0;
    for (const auto& gauge : state["gauges"]) {
        if (gauge["name"] != "BatTempMeterPanel") continue;
        for (const auto& e : gauge["elements"]) {
            if (!e.contains("surface")) continue;
            ++surfaces;
            EXPECT_EQ(e["surface"]["width"], 152);
            EXPECT_GT(e["surface"]["pictures"].get<uint64_t>(), 0u);
        }
    }
    EXPECT_EQ(surfaces, 2);

    // A snapshot writes each surface's picture beside the window pictures.
    simhost::GaugeRenderer renderer(*sim_);
    std::string error;
    ASSERT_TRUE(renderer.WritePngs(tmp_.path() / "shots", "snap", {}, &error)) << error;
    EXPECT_TRUE(std::filesystem::exists(tmp_.path() / "shots" / "snap-BatTempMeterPanel.png"));
    EXPECT_TRUE(std::filesystem::exists(tmp_.path() / "shots" / "snap-BatTempMeterPanel-2.png"));
}

// The program: surfaces are made at the pictures' scale, listed in the
// state file and written with a snapshot.
TEST(OverheadPanelsProgram, SurfacesFollowTheScaleAndAreSnapshot) {
    TempDir tmp;
    const std::filesystem::path aircraft = CopySampleAircraft(tmp.path());
    WriteFile(tmp.path() / "s.txt",
              "at 0.5 click battery_panel 3\n"
              "at 0.6 click battery_panel 2\n"
              "at 1.5 snapshot bars\n");
    const ProcessResult r =
        RunSimhost({"--aircraft", aircraft.string(), "--scenario", (tmp.path() / "s.txt").string(),
                    "--seconds", "2", "--scale", "2", "--out", (tmp.path() / "out").string()});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const std::filesystem::path shots = tmp.path() / "out" / "snapshots";
    EXPECT_TRUE(std::filesystem::exists(shots / "bars-BatTempMeterPanel.png"));
    EXPECT_TRUE(std::filesystem::exists(shots / "bars-BatTempMeterPanel-2.png"));
    const nlohmann::json state = ReadJson(shots / "bars.json");  // surfaces live until kill
    int surfaces = 0;
    for (const auto& g : state["gauges"]) {
        for (const auto& e : g["elements"]) {
            // The sample panel's flight displays have surfaces of their own.
            if (!e.contains("surface") || g["name"] != "BatTempMeterPanel") continue;
            ++surfaces;
            EXPECT_EQ(e["surface"]["width"], 2 * 152);
            EXPECT_EQ(e["surface"]["height"], 2 * 14);
        }
    }
    EXPECT_EQ(surfaces, 2);
}

}  // namespace
}  // namespace zu::e2e
