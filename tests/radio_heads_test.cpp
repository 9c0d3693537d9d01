// End-to-end tests of the radio control heads: the module linked into the
// test process and run by the simulator stand-in in lockstep on the sample
// aircraft's panels. Clicks go to the heads' mouse rectangles by index (1 is
// the first area of each head's table); what the module sends is read from
// the stand-in's FSUIPC write log and offsets, which the stand-in's radios
// echo back to the module's poll.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "core/host_panel_services.h"
#include "core/nav_sources.h"
#include "displays/tcas.h"
#include "e2e_support.h"
#include "instruments/adf_control_heads.h"
#include "instruments/atc_control_head.h"
#include "instruments/com_control_heads.h"
#include "instruments/vor_control_heads.h"
#include "module_state.h"
#include "zu/simhost/gauge_renderer.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

namespace fs = std::filesystem;
using simhost::GaugeInstance;
using simhost::Simulator;
using simhost::SimulatorConfig;

// Mouse rectangles of the frequency heads, in their table's order.
enum HeadRect : int {
    kPowerKnob = 1,
    kInnerDown = 2,
    kInnerUp = 3,
    kOuterDown = 4,
    kOuterUp = 5,
    kXfr = 6,
    kMem = 7,
    kDirectTune = 8,
    kPresetButton = 9,
};
// The touch heads: zones 0..3 are rectangles 1..4, then XFR.
constexpr int kTouchXfr = 5;
// The transponder head.
enum AtcRect : int {
    kAtcPower = 1,
    kAtcIdent = 2,
    kAtcFl = 3,
    kAtcDigitSelect = 4,
    kAtcRangeDown = 5,
    kAtcRangeUp = 6,
    kAtcCodeDown = 7,
    kAtcCodeUp = 8,
    kAtcModeDown = 9,
    kAtcModeUp = 10,
};

class RadioHeadsE2e : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();
        aircraft_ = CopySampleAircraft(tmp_.path());
    }
    void TearDown() override {
        if (sim_) sim_->Stop();
        RestoreLoadedModuleState();
    }

    void Start() {
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.audio_silent = true;
        sim_ = std::make_unique<Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
    }
    void Run(int frames) {
        for (int i = 0; i < frames; ++i) sim_->RunFrame();
    }
    // Engines running with every generator on line: every bus is powered.
    void PowerUp() {
        ElectricsSwitchesOn();
        PinRunningEngines(*sim_);
        Run(300);
        ASSERT_NE(BusPowered.get(kPoweredLeftEssential), 0);
        ASSERT_NE(BusPowered2.get(0), 0);
        ASSERT_NE(AcBusPowered.get(2), 0);
        ASSERT_NE(AcBusPowered.get(3), 0);
    }
    void Click(const std::string& gauge, int rect) {
        std::string error;
        GaugeInstance* g = sim_->FindGauge(gauge);
        ASSERT_NE(g, nullptr) << gauge;
        ASSERT_TRUE(sim_->Click(*g, rect, false, &error)) << error;
        Run(1);
    }
    void Clicks(const std::string& gauge, int rect, int n) {
        for (int i = 0; i < n; ++i) Click(gauge, rect);
    }
    const simhost::ElementState& Element(const std::string& gauge, int k) {
        return sim_->FindGauge(gauge)->elements.at(k);
    }
    std::string Text(const std::string& gauge, int k) { return Element(gauge, k).text; }
    // The window text as shown: the rendering on view.
    std::string Window(const std::string& gauge, int first, int second) {
        return Element(gauge, second).hidden ? Text(gauge, first) : Text(gauge, second);
    }
    std::vector<simhost::FsuipcWriteRecord> Writes(uint32_t offset, uint64_t from_frame) const {
        std::vector<simhost::FsuipcWriteRecord> out;
        for (const auto& w : sim_->fsuipc().Writes()) {
            if (w.offset == offset && w.frame >= from_frame) out.push_back(w);
        }
        return out;
    }
    template <typename T>
    T Offset(uint32_t offset) const {
        T v{};
        sim_->fsuipc().Peek(offset, &v, sizeof v);
        return v;
    }

    TempDir tmp_;
    fs::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(RadioHeadsE2e, Vor1TunesTransfersAndReadsBackTheSimulatorsFrequency) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    // The touch twin (on its own window) switches the side's head on.
    EXPECT_EQ(Vor1PanelState.mode, 1);
    Vor1Radio.standby = 108.0f;
    Click("VOR1_Panel", kInnerDown);
    EXPECT_EQ(Window("VOR1_Panel", 2, 11), "108.95");
    const uint64_t from = sim_->frame();
    Click("VOR1_Panel", kXfr);
    Run(2);
    ASSERT_FALSE(Writes(0x0350, from).empty());
    EXPECT_EQ(Offset<uint16_t>(0x0350), 0x0895);
    EXPECT_EQ(Offset<uint8_t>(0x0388), 2);
    Run(3);  // the echo keeps it
    EXPECT_FLOAT_EQ(Vor1Radio.active, 108.95f);
    EXPECT_EQ(Window("VOR1_Panel", 1, 10), "108.95");
    // The whole-MHz knob wraps within the band.
    Vor1Radio.standby = 108.3f;
    Click("VOR1_Panel", kOuterDown);
    EXPECT_EQ(Window("VOR1_Panel", 2, 11), "117.30");
    // A retune by the simulator comes back into the head.
    sim_->fsuipc().Publish(0x0350, "\x50\x13", 2);  // 113.50
    Run(3);
    EXPECT_EQ(Window("VOR1_Panel", 1, 10), "113.50");
    // DME hold freezes the lower window and shows "D".
    NavSources[kNavVor1].computed_distance = 1;
    Run(2);
    EXPECT_EQ(Window("VOR1_Panel", 2, 11), "113.50");
    EXPECT_FALSE(Element("VOR1_Panel", 9).hidden);
    EXPECT_EQ(Text("VOR1_Panel", 9), "D");
    // The rocker springs back after its ten update runs.
    Click("VOR1_Panel", kMem);
    EXPECT_FALSE(Element("VOR1_Panel", 7).hidden);
    Run(12);
    EXPECT_FALSE(Element("VOR1_Panel", 5).hidden);
    EXPECT_TRUE(Element("VOR1_Panel", 7).hidden);
}

TEST_F(RadioHeadsE2e, Vor1ChannelsAndPresets) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    // No preset stored: channel mode shows "1" and "---.--".
    Click("VOR1_Panel", kMem);
    Run(1);
    EXPECT_EQ(Vor1PanelState.mode, 3);
    EXPECT_EQ(Window("VOR1_Panel", 1, 10), "1");
    EXPECT_EQ(Window("VOR1_Panel", 2, 11), "---.--");
    Click("VOR1_Panel", kXfr);  // back to mode 1
    // Program presets 2 and 5 with the knob.
    Click("VOR1_Panel", kPresetButton);
    Click("VOR1_Panel", kOuterUp);  // preset number 2
    Click("VOR1_Panel", kXfr);      // edit its frequency
    Clicks("VOR1_Panel", kOuterUp, 3);
    EXPECT_FLOAT_EQ(Vor1PanelState.presets[2], 111.0f);
    Click("VOR1_Panel", kXfr);  // choose the number again
    Clicks("VOR1_Panel", kOuterUp, 3);
    Click("VOR1_Panel", kXfr);
    Clicks("VOR1_Panel", kInnerUp, 2);
    EXPECT_FLOAT_EQ(Vor1PanelState.presets[5], 108.1f);
    EXPECT_FALSE(Element("VOR1_Panel", 8).hidden);  // the "MEM" legend
    // Channel mode: from 2 a step up gives 5, then it stays.
    Click("VOR1_Panel", kMem);
    Run(1);
    EXPECT_EQ(Vor1PanelState.mode, 3);
    Vor1Radio.channel = 2;
    Click("VOR1_Panel", kOuterUp);
    EXPECT_EQ(Vor1Radio.channel, 5);
    Click("VOR1_Panel", kOuterUp);
    EXPECT_EQ(Vor1Radio.channel, 5);
    EXPECT_EQ(Window("VOR1_Panel", 2, 11), "108.10");
    // Without input the head returns to mode 1 (the knob restarted the
    // timer with 300 runs; both VOR1 gauges count it).
    Run(160);
    EXPECT_EQ(Vor1PanelState.mode, 1);
}

TEST_F(RadioHeadsE2e, TouchRingTunesWithAcceleration) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    Vor1Radio.standby = 110.0f;
    GaugeInstance* ring = sim_->FindGauge("VOR1_Panel_touch");
    ASSERT_NE(ring, nullptr);
    std::string error;
    // Dragged clockwise within one tick: 0.05, 0.05, then 0.25 MHz.
    std::vector<float> steps;
    float last = Vor1Radio.standby;
    for (int zone : {0, 1, 2, 3}) {
        ASSERT_TRUE(sim_->Click(*ring, 1 + zone, false, &error)) << error;
        steps.push_back(Vor1Radio.standby - last);
        last = Vor1Radio.standby;
    }
    EXPECT_NEAR(steps[0], 0.0f, 1e-4);
    EXPECT_NEAR(steps[1], 0.05f, 1e-4);
    EXPECT_NEAR(steps[2], 0.05f, 1e-4);
    EXPECT_NEAR(steps[3], 0.25f, 1e-4);
    // Its XFR button makes the standby frequency active.
    Click("VOR1_Panel_touch", kTouchXfr);
    Run(1);
    EXPECT_FLOAT_EQ(Vor1Radio.active, 110.35f);
}

TEST_F(RadioHeadsE2e, Adf1FlashesBelowTheBandAndSendsTheExtensionWord) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    Click("ADF1_Panel", kPowerKnob);
    ASSERT_EQ(Adf1PanelState.mode, 1);
    Adf1Radio.standby = 100.0f;
    Click("ADF1_Panel", kInnerDown);
    // " 109.5" flashes, four ticks on and four off.
    std::vector<std::string> seen;
    for (int i = 0; i < 24; ++i) {
        Run(1);
        seen.push_back(Text("ADF1_Panel", 2));
    }
    EXPECT_NE(std::find(seen.begin(), seen.end(), " 109.5"), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), "      "), seen.end());
    // XFR sends it; the simulator's side clamps it to 190.0 and echoes that.
    Click("ADF1_Panel", kXfr);
    Run(4);
    EXPECT_EQ(Offset<uint16_t>(0x034C), 0x0190);
    EXPECT_FLOAT_EQ(Adf1Radio.active, 190.0f);
    EXPECT_EQ(Text("ADF1_Panel", 1), " 190.0");
    // Direct tune: 999.5 + 0.5 gives 1000.0 with the thousands digit in the
    // extension word.
    Click("ADF1_Panel", kDirectTune);
    Adf1Radio.active = 999.5f;
    const uint64_t from = sim_->frame();
    Click("ADF1_Panel", kInnerUp);
    Run(3);
    EXPECT_EQ(Text("ADF1_Panel", 1), "1000.0");
    EXPECT_EQ(Offset<uint16_t>(0x034C), 0x0000);
    EXPECT_EQ(Offset<uint16_t>(0x0356), 0x0100);
    EXPECT_FALSE(Writes(0x0389, from).empty());
    EXPECT_EQ(Offset<uint8_t>(0x0389), 2);
}

TEST_F(RadioHeadsE2e, Com1TunesOnTheQuarterGridAndShowsTheTransmitLegend) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    Click("COM1_Panel", kPowerKnob);
    Com1Radio.standby = 118.0f;
    Click("COM1_Panel", kInnerDown);
    EXPECT_EQ(Window("COM1_Panel", 2, 10), "118.975");
    Click("COM1_Panel", kXfr);
    Run(3);
    EXPECT_EQ(Offset<uint16_t>(0x034E), 0x1897);
    Run(3);  // the read-back keeps 118.975
    EXPECT_EQ(Window("COM1_Panel", 1, 9), "118.975");
    // Direct tune: the whole-MHz knob keeps the kilohertz.
    Com1Radio.active = 121.525f;
    Click("COM1_Panel", kDirectTune);
    Click("COM1_Panel", kOuterUp);
    Run(3);
    EXPECT_EQ(Window("COM1_Panel", 1, 9), "122.525");
    EXPECT_EQ(Window("COM1_Panel", 2, 10), "---.--");
    EXPECT_EQ(Offset<uint16_t>(0x034E), 0x2252);
    Run(320);
    EXPECT_EQ(Com1PanelState.mode, 1);
    // "T" over "X" follow the simulator's transmit byte.
    sim_->fsuipc().Publish(0x7B96, "\x01", 1);
    Run(2);
    EXPECT_EQ(Text("COM1_Panel", 12), "T");
    EXPECT_EQ(Text("COM1_Panel", 11), "X");
    sim_->fsuipc().Publish(0x7B96, "\x00", 1);
    Run(2);
    EXPECT_EQ(Text("COM1_Panel", 12), "   ");
}

TEST_F(RadioHeadsE2e, TransponderTestCodeIdentAndRange) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    Click("ATC1_Panel", kAtcPower);
    Run(2);
    EXPECT_EQ(Text("ATC1_Panel", 1), "8888");
    EXPECT_EQ(Text("ATC1_Panel", 5), "TST");
    // A tick comes every 64 ms, about every second frame at 30 frames a
    // second: 16 ticks of the pattern, then the altitude; standby after 48.
    Run(40);
    char altitude[8];
    std::snprintf(altitude, sizeof altitude, "%03d", static_cast<int>(Altitude * 0.01f));
    EXPECT_EQ(Text("ATC1_Panel", 1), altitude);
    Run(60);
    EXPECT_EQ(TransponderState.mode, 2);
    EXPECT_EQ(Text("ATC1_Panel", 5), "SBY");
    EXPECT_EQ(Offset<uint8_t>(0x7B91), 1);
    Click("ATC1_Panel", kAtcModeUp);
    Run(3);
    EXPECT_EQ(Offset<uint8_t>(0x7B91), 0);
    EXPECT_EQ(Text("ATC1_Panel", 5), "ON ");
    Click("ATC1_Panel", kAtcModeUp);  // altitude reporting
    // Code 7700: digits 1 and 2 up to 7.
    Click("ATC1_Panel", kAtcDigitSelect);
    Clicks("ATC1_Panel", kAtcCodeDown, 1);
    Click("ATC1_Panel", kAtcDigitSelect);
    Clicks("ATC1_Panel", kAtcCodeDown, 1);
    EXPECT_STREQ(TransponderCodeText, "7700");
    const uint64_t from = sim_->frame();
    Run(3);
    EXPECT_EQ(Offset<uint16_t>(0x0354), 0x7700);
    EXPECT_FALSE(Writes(0x038A, from).empty());
    EXPECT_EQ(Offset<uint8_t>(0x038A), 1);
    // Mode 5 sends the VFR code, mode 4 the code again.
    Click("ATC1_Panel", kAtcModeUp);
    Run(3);
    EXPECT_EQ(Offset<uint16_t>(0x0354), 0x0021);
    Click("ATC1_Panel", kAtcModeDown);
    Run(3);
    EXPECT_EQ(Offset<uint16_t>(0x0354), 0x7700);
    // IDENT for 144 ticks.
    Click("ATC1_Panel", kAtcIdent);
    Run(2);
    EXPECT_EQ(Text("ATC1_Panel", 6), "IDT");
    EXPECT_EQ(Offset<uint8_t>(0x7B93), 1);
    Run(300);
    EXPECT_EQ(Text("ATC1_Panel", 6), "   ");
    EXPECT_EQ(Offset<uint8_t>(0x7B93), 0);
    // The range steps 5, 10, 20, 40 and stays.
    for (const char* range : {"10", "20", "40", "40"}) {
        Click("ATC1_Panel", kAtcRangeUp);
        EXPECT_EQ(Text("ATC1_Panel", 4), range);
    }
    EXPECT_EQ(TcasState.range_index, 3);
    // The state file carries the simulator's decoded radios.
    const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
    EXPECT_EQ(state["aircraft"]["radios"]["transponder_code"], "7700");
    EXPECT_EQ(state["aircraft"]["radios"]["transponder_standby"], 0);
}

// Snapshots of the heads dark (their faces are the window's background) and
// lit (the overlays glow).
TEST_F(RadioHeadsE2e, SnapshotShowsEveryHeadDarkAndLit) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(PowerUp());
    Click("COM1_Panel", kPowerKnob);
    Run(10);
    simhost::GaugeRenderer renderer(*sim_);
    std::string problem;
    ASSERT_TRUE(renderer.fonts_ok(&problem)) << problem;
    auto brightness = [&](const fs::path& png, const GaugeInstance& g) {
        cairo_surface_t* picture = cairo_image_surface_create_from_png(png.c_str());
        EXPECT_EQ(cairo_surface_status(picture), CAIRO_STATUS_SUCCESS);
        const unsigned char* data = cairo_image_surface_get_data(picture);
        const int stride = cairo_image_surface_get_stride(picture);
        double sum = 0;
        for (int y = g.y; y < g.y + g.height; ++y) {
            const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
            for (int x = g.x; x < g.x + g.width; ++x) {
                const uint32_t p = row[x];
                sum += ((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) / 3.0;
            }
        }
        cairo_surface_destroy(picture);
        return sum / (g.width * g.height);
    };
    const fs::path dir = tmp_.path() / "snapshots";
    simhost::RenderOptions dark;
    dark.ambient = 0.2;
    ASSERT_TRUE(renderer.WritePngs(dir, "dark", dark, &problem)) << problem;
    LightingSwitchB.set(255);
    LightingSwitchD.set(255);
    Run(20);
    ASSERT_NE(PanelLightingCircuit2.get(), 0);
    ASSERT_NE(PanelLightingCircuit4.get(), 0);
    ASSERT_TRUE(renderer.WritePngs(dir, "lit", dark, &problem)) << problem;
    if (const char* keep = std::getenv("ZU_E2E_KEEP_SNAPSHOT")) {
        fs::copy_file(dir / "lit-Pedestal.png", keep, fs::copy_options::overwrite_existing);
    }
    for (const char* name : {"VOR1_Panel", "VOR2_Panel", "ADF1_Panel", "ADF2_Panel", "ATC1_Panel",
                             "COM1_Panel", "COM2_Panel"}) {
        const GaugeInstance& g = *sim_->FindGauge(name);
        const double unlit = brightness(dir / "dark-Pedestal.png", g);
        const double lit = brightness(dir / "lit-Pedestal.png", g);
        EXPECT_GT(unlit, 2.0) << name << ": the face is on the background";
        EXPECT_GT(lit, unlit * 1.5) << name;
    }
    for (const char* name :
         {"VOR1_Panel_touch", "VOR2_Panel_touch", "ADF1_Panel_touch", "ADF2_Panel_touch"}) {
        const GaugeInstance& g = *sim_->FindGauge(name);
        EXPECT_GT(brightness(dir / "lit-Touch_Controls.png", g),
                  brightness(dir / "dark-Touch_Controls.png", g) * 1.5)
            << name;
    }
}

}  // namespace
}  // namespace zu::e2e
