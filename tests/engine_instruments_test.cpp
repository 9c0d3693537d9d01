// End-to-end tests of the engine instruments: the module linked into the
// test process and run by the simulator stand-in in lockstep, on a panel
// that holds the eighteen indicators; the host draws them from the module's
// own bitmaps.
#include "instruments/engine_instruments.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cabin_link/instructor_state_exchange.h"
#include "core/electrical_system.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/sound_objects.h"
#include "e2e_support.h"
#include "instruments/engine_dials.h"
#include "module_state.h"
#include "zu/platform/paths.h"
#include "zu/simhost/gauge_renderer.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

namespace fs = std::filesystem;
namespace ed = engine_dials;
using simhost::GaugeInstance;
using simhost::Simulator;
using simhost::SimulatorConfig;

// The engine panel: the indicators at their design sizes.
const char kEnginePanel[] = R"([Window Titles]
Window00=Engine Panel

[Window00]
size_mm=1200,600
visible=1
ident=0
gauge00=ZeveridUvo!maingauge, 0, 0, 25
gauge01=ZeveridUvo!Torque1, 0, 0, 200
gauge02=ZeveridUvo!Torque2, 200, 0, 200
gauge03=ZeveridUvo!Rpm1, 400, 0, 200
gauge04=ZeveridUvo!Rpm2, 600, 0, 200
gauge05=ZeveridUvo!Nh1, 800, 0, 200
gauge06=ZeveridUvo!Nh2, 1000, 0, 200
gauge07=ZeveridUvo!NL1, 0, 200, 200
gauge08=ZeveridUvo!NL2, 200, 200, 200
gauge09=ZeveridUvo!Itt1, 400, 200, 200
gauge10=ZeveridUvo!Itt2, 600, 200, 200
gauge11=ZeveridUvo!ff1, 800, 200, 200
gauge12=ZeveridUvo!ff2, 1000, 200, 200
gauge13=ZeveridUvo!Oil1, 0, 400, 176
gauge14=ZeveridUvo!Oil2, 190, 400, 176
gauge15=ZeveridUvo!F_QTY1, 380, 400, 156
gauge16=ZeveridUvo!F_QTY2, 550, 400, 156
gauge17=ZeveridUvo!F_TANK_TEMP, 720, 400, 156
gauge18=ZeveridUvo!F_TEMP, 890, 400, 186
)";

// A short click as a 16-bit mono PCM WAV file.
void WriteClickWav(const fs::path& file) {
    std::vector<int16_t> samples(2205);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(8000.0 * std::sin(i * 0.3) * (1.0 - i / 2205.0));
    }
    const uint32_t data_bytes = static_cast<uint32_t>(samples.size() * 2);
    std::ofstream out(file, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + data_bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);      // PCM
    u16(1);      // mono
    u32(22050);  // rate
    u32(44100);  // bytes per second
    u16(2);      // block
    u16(16);     // bits
    out.write("data", 4);
    u32(data_bytes);
    out.write(reinterpret_cast<const char*>(samples.data()), data_bytes);
}

class EngineInstrumentsE2e : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();  // whatever earlier flights left
        aircraft_ = CopySampleAircraft(tmp_.path());
        panel_ = aircraft_ / "panel" / "engines.cfg";
        WriteFile(panel_, kEnginePanel);
        ResetEngineState();
    }
    // The next test starts from the loaded state again (SetUp restores it).
    void TearDown() override {
        if (sim_) sim_->Stop();
    }
    static void ResetEngineState() {
        PowerplantState = {};
        std::fill(std::begin(EngineTestCountdown), std::end(EngineTestCountdown), 0);
        InstructorDisplayValues = {};
        PropRpm[0] = PropRpm[1] = 0.0;
        Nh1State = {};
        Nh2State = {};
        NLValue[0] = NLValue[1] = 0.0f;
        IndicatedAirspeed = 0.0f;
    }

    void Start() {
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.panel_file = panel_;
        cfg.audio_silent = true;
        sim_ = std::make_unique<Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
    }
    void Run(int frames) {
        for (int i = 0; i < frames; ++i) sim_->RunFrame();
    }

    // Batteries and external DC power on, which powers every DC bus; the
    // systems tick computes the bus bytes from them.
    void PowerUp() {
        BatteryMasterSwitch.set(255);
        MainBatterySwitch.set(255);
        AuxBatterySwitch.set(255);
        ExternalDcSwitch.set(255);
        Run(60);
    }

    // The simulator's engines running: spool, propeller, combustion and
    // condition-lever records pinned, ignition on; the module's engine
    // model follows them (the propeller speed rises 5 rpm a pass).
    void RunEngine(int e, double nh, double rpm, double nl = 80.0) {
        sim_->SetVariable(e == 0 ? 626 : 645, nh);
        sim_->SetVariable(e == 0 ? 627 : 646, nl);
        sim_->SetVariable(e == 0 ? 700 : 708, rpm);
        sim_->SetVariable(e == 0 ? 131 : 166, 1.0);
        sim_->SetVariable(e == 0 ? 199 : 234, 16383.0);
        (e == 0 ? Powerplants_engine_ign1 : Powerplants_engine_ign2) = 1;
    }
    // A readout's text as a number in the printed unit (tenths shown as
    // whole digits for the percentage dials).
    double Readout(const std::string& name, double scale) { return std::stod(Text(name)) * scale; }

    const GaugeInstance& Gauge(const std::string& name) { return *sim_->FindGauge(name); }
    const simhost::ElementState& Element(const std::string& name, int k) {
        return Gauge(name).elements.at(k);
    }
    // The needle angle of the shown copy (unlit element k or lit element k + 1).
    double Angle(const std::string& name, int k) {
        const simhost::ElementState& unlit = Element(name, k);
        return unlit.hidden ? Element(name, k + 1).value : unlit.value;
    }
    std::string Text(const std::string& name) { return Element(name, 2).text; }

    TempDir tmp_;
    fs::path aircraft_;
    fs::path panel_;
    std::unique_ptr<Simulator> sim_;
};

// Mean brightness (0..255) of a gauge drawn alone.
double MeanBrightness(simhost::GaugeRenderer& renderer, const GaugeInstance& g,
                      const simhost::RenderOptions& options) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, g.width, g.height);
    cairo_t* cr = cairo_create(s);
    renderer.RenderGauge(cr, g, options.scale, options.ambient);
    cairo_destroy(cr);
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    double sum = 0;
    for (int y = 0; y < g.height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < g.width; ++x) {
            sum += (((row[x] >> 16) & 0xFF) + ((row[x] >> 8) & 0xFF) + (row[x] & 0xFF)) / 3.0;
        }
    }
    cairo_surface_destroy(s);
    return sum / (g.width * g.height);
}

double TorqueAngle(double displayed) {
    return displayed * 0.058291 + 160.0;
}

TEST_F(EngineInstrumentsE2e, UnpoweredIndicatorsShowTheirRestReadings) {
    Start();
    Run(30);
    for (const BusPoweredByte b : kBusPoweredBytes) {
        if (b != kPoweredMainBattery && b != kPoweredAuxBattery) {
            ASSERT_EQ(BusPowered.get(b), 0) << b;
        }
    }
    struct Rest {
        const char* gauge;
        int element;
        double angle;
    };
    const Rest rests[] = {
        {"Torque1", 3, TorqueAngle(-245)},
        {"Torque2", 3, TorqueAngle(-245)},
        {"Torque1", 5, 377.94},
        {"Rpm1", 3, -45 * 0.1525 + 164.0},
        {"Rpm2", 3, -45 * 0.1525 + 164.0},
        {"Nh1", 3, -4.5 * 2.0 + 160.0},
        {"Nh2", 3, -4.5 * 2.0 + 160.0},
        {"NL1", 3, -45 * 0.201 + 161.0},
        {"NL2", 3, -45 * 0.201 + 161.0},
        {"Itt1", 3, -63 * 0.22511 + 157.4},
        {"Itt2", 3, -63 * 0.22511 + 157.4},
        {"ff1", 3, -45 * 0.18 + 163.0},
        {"ff2", 3, -45 * 0.18 + 163.0},
        {"Oil1", 2, 160.0},
        {"Oil1", 4, 50.0},
        {"Oil2", 2, 160.0},
        {"F_QTY1", 2, -32 * 0.603954 + 134.0},
        {"F_QTY2", 2, -32 * 0.603954 + 134.0},
        {"F_TANK_TEMP", 2, -65 * 1.33333 + 270.0},
    };
    for (const Rest& r : rests) {
        EXPECT_NEAR(Angle(r.gauge, r.element), r.angle, 1e-3) << r.gauge << " " << r.element;
    }
    for (const char* g : {"Torque1", "Rpm2", "Nh1", "NL2", "Itt1", "ff2"}) {
        EXPECT_EQ(Text(g), " ") << g;
    }
}

TEST_F(EngineInstrumentsE2e, PoweredTorqueNeedleAndReadoutFollowTorque) {
    Start();
    PowerUp();
    for (const BusPoweredByte b :
         {kPoweredRightMainDc, kPoweredLeftMainDc, kPoweredRightEssential, kPoweredLeftEssential}) {
        ASSERT_EQ(BusPowered.get(b), 1) << b;
    }
    RunEngine(0, 88.0, 1000.0);
    Run(600);
    const double high = PowerplantState.Torque[0];
    EXPECT_GT(high, 60.0);
    EXPECT_NEAR(Angle("Torque1", 3), TorqueAngle(high * 32.938), 0.5);
    EXPECT_NEAR(Readout("Torque1", 0.1), high, 0.2);
    RunEngine(0, 78.0, 1000.0);
    Run(300);
    const double low = PowerplantState.Torque[0];
    EXPECT_LT(low, high - 10.0);
    EXPECT_NEAR(Angle("Torque1", 3), TorqueAngle(low * 32.938), 0.5);
    EXPECT_NEAR(Readout("Torque1", 0.1), low, 0.2);
    EXPECT_EQ(Text("Torque2"), "   0");
    // The reference needle reads the torque reference word.
    EXPECT_NEAR(Angle("Torque1", 5), 16000 * 0.01333 + 138.0, 1e-3);
}

TEST_F(EngineInstrumentsE2e, TestButtonShowsTheTestReadingWithAClick) {
    WriteClickWav(aircraft_ / "sound" / "click_tiny.wav");
    Start();
    PowerUp();
    // The click of the sound set, loaded from the aircraft's sound folder.
    const std::string wav =
        platform::FromHostPath((aircraft_ / "sound" / "click_tiny.wav").string());
    SoundObject& click = SoundSet[kSoundClickTiny];
    if (click.buffer == nullptr) {
        ASSERT_EQ(SoundObjectCreate(&click, wav.c_str()), 0);
    }
    const size_t events_before = sim_->SoundEvents().size();

    RunEngine(0, 78.0, 1000.0);
    Run(600);
    const double torque = PowerplantState.Torque[0];
    ASSERT_GT(torque, 10.0);
    std::string error;
    ASSERT_TRUE(sim_->Click(*sim_->FindGauge("Torque1"), 1, false, &error)) << error;
    int test_frames = 0;
    bool lamp_seen = false;
    for (int i = 0; i < 40; ++i) {
        Run(1);
        if (std::fabs(Angle("Torque1", 3) - TorqueAngle(3419.0)) < 1e-3) ++test_frames;
        lamp_seen = lamp_seen || !Element("Torque1", 7).hidden;
    }
    // The gauge and its needle both count the 55 down: 27 frames.
    EXPECT_EQ(test_frames, 27);
    EXPECT_TRUE(lamp_seen);  // 3419 is over the torque limit
    EXPECT_TRUE(Element("Torque1", 7).hidden);
    EXPECT_NEAR(Angle("Torque1", 3), TorqueAngle(PowerplantState.Torque[0] * 32.938), 0.5);
    EXPECT_NEAR(PowerplantState.Torque[0], torque, 0.5);

    const std::vector<platform::AudioEvent> events = sim_->SoundEvents();
    int plays = 0;
    bool panned = false;
    for (size_t i = events_before; i < events.size(); ++i) {
        const platform::AudioEvent& e = events[i];
        if (std::strstr(e.label, "click_tiny.wav") == nullptr) continue;
        if (e.kind == platform::AudioEventKind::Play) ++plays;
        if (e.kind == platform::AudioEventKind::Pan && e.value == 833) panned = true;
    }
    EXPECT_EQ(plays, 1);
    EXPECT_TRUE(panned);
    SoundObjectFree(&click);
}

TEST_F(EngineInstrumentsE2e, IttOverLimitLampFollowsTheDisplayedTemperature) {
    Start();
    PowerUp();
    sim_->SetVariable(626, 90.0);  // Nh
    Nh1State.nh = 90.0f;
    sim_->SetVariable(631, 5000.0);
    Run(80);
    EXPECT_GT(IttDisplay[0], 800.0f);
    EXPECT_FALSE(Element("Itt1", 5).hidden);
    const std::string text = Text("Itt1");
    ASSERT_EQ(text.size(), 4u);
    EXPECT_GT(std::stoi(text), 800);
    sim_->SetVariable(631, 0.0);
    Run(150);
    EXPECT_LT(IttDisplay[0], 800.0f);
    EXPECT_TRUE(Element("Itt1", 5).hidden);
}

TEST_F(EngineInstrumentsE2e, LitArtworkShowsWithTheEngineInstrumentLights) {
    Start();
    PowerUp();
    const char* gauges[] = {"Torque1", "Rpm1", "Nh2", "Itt2", "ff1", "Oil1", "F_QTY2", "F_TEMP"};
    for (const char* g : gauges) {
        EXPECT_TRUE(Element(g, 0).hidden) << g;
        EXPECT_FALSE(Element(g, 1).hidden) << g;
    }
    LightingSwitchD.set(255);
    Run(20);
    ASSERT_NE(PanelLightingCircuit2.get(), 0);
    for (const char* g : gauges) {
        EXPECT_FALSE(Element(g, 0).hidden) << g;
        EXPECT_TRUE(Element(g, 1).hidden) << g;
    }
    EXPECT_FALSE(Element("Torque1", 4).hidden);  // lit needle
    EXPECT_TRUE(Element("Torque1", 3).hidden);

    // At night the lit face keeps its brightness; the unlit one darkens.
    simhost::GaugeRenderer renderer(*sim_);
    const simhost::RenderOptions night{1.0, 0.25};
    const double lit = MeanBrightness(renderer, Gauge("Torque1"), night);

    LightingSwitchD.set(0);
    Run(20);
    EXPECT_TRUE(Element("Torque1", 0).hidden);
    EXPECT_FALSE(Element("Torque1", 3).hidden);
    const double unlit = MeanBrightness(renderer, Gauge("Torque1"), night);
    EXPECT_GT(lit, 2.0 * unlit);
}

TEST_F(EngineInstrumentsE2e, StateJsonShowsNeedleAnglesAndReadoutTexts) {
    Start();
    PowerUp();
    RunEngine(0, 85.0, 1010.0);
    sim_->SetVariable(61, 100.0);
    Run(600);
    ASSERT_EQ(PropRpm[0], 1010.0);
    const fs::path file = tmp_.path() / "state.json";
    std::string error;
    ASSERT_TRUE(simhost::WriteStateJson(file, *sim_, nullptr, &error)) << error;
    const nlohmann::json state = ReadJson(file);
    const nlohmann::json* rpm = nullptr;
    for (const nlohmann::json& g : state["gauges"]) {
        if (g["name"] == "Rpm1") rpm = &g;
    }
    ASSERT_NE(rpm, nullptr);
    const nlohmann::json& elements = (*rpm)["elements"];
    EXPECT_EQ(elements[2]["type"], "string");
    EXPECT_EQ(elements[2]["text"], "1010");
    EXPECT_EQ(elements[3]["type"], "needle");
    EXPECT_NEAR(elements[3]["angle"].get<double>(), 1010.0 * 0.1525 + 164.0, 1e-3);
}

// The picture of the engine panel: every needle points at the printed value
// that its readout shows. The check samples the picture along each needle's
// angle (bright needle over the dark face) and at the opposite side (face).
TEST_F(EngineInstrumentsE2e, SnapshotShowsDialsWhoseNeedlesPointAtTheirValues) {
    Start();
    PowerUp();
    // Turning propellers unplug the ground cart: the generators take over.
    DcGenerator1Switch.set(255);
    DcGenerator2Switch.set(255);
    AcGenerator1Switch.set(255);
    AcGenerator2Switch.set(255);
    RunEngine(0, 84.0, 1020.0, 80.0);
    RunEngine(1, 82.0, 980.0, 78.0);
    sim_->SetVariable(61, 120.0);
    Run(600);

    simhost::GaugeRenderer renderer(*sim_);
    std::string problem;
    ASSERT_TRUE(renderer.fonts_ok(&problem)) << problem;
    const fs::path dir = tmp_.path() / "snapshots";
    ASSERT_TRUE(renderer.WritePngs(dir, "engines", {}, &problem)) << problem;
    const fs::path png = dir / "engines-Engine_Panel.png";
    ASSERT_TRUE(fs::exists(png));
    if (const char* keep = std::getenv("ZU_E2E_KEEP_SNAPSHOT"))
        fs::copy_file(png, keep, fs::copy_options::overwrite_existing);

    cairo_surface_t* picture = cairo_image_surface_create_from_png(png.c_str());
    ASSERT_EQ(cairo_surface_status(picture), CAIRO_STATUS_SUCCESS);
    ASSERT_EQ(cairo_image_surface_get_width(picture), 1200);
    const unsigned char* data = cairo_image_surface_get_data(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    auto brightness = [&](double x, double y) {
        const uint32_t p = reinterpret_cast<const uint32_t*>(
            data + static_cast<int>(y) * stride)[static_cast<int>(x)];
        return (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
    };
    struct Dial {
        const char* gauge;
        double value;  // in the printed unit
        ed::Dial dial;
        double readout_unit;
    };
    // The values the module computed from the simulator's engines, and the
    // readout's digits per printed unit.
    const Dial dials[] = {
        {"Torque1", PowerplantState.Torque[0], ed::Dial::Torque, 0.1},
        {"Rpm1", PropRpm[0], ed::Dial::Rpm, 1.0},
        {"Nh2", Nh2State.nh, ed::Dial::Nh, 0.1},
        {"NL1", NLValue[0], ed::Dial::Nl, 0.1},
    };
    for (const Dial& d : dials) {
        const GaugeInstance& g = Gauge(d.gauge);
        const ed::DialLayout& layout = ed::Layout(d.dial);
        const double angle = ed::ScaleAngle(layout.scale[0], d.value);
        EXPECT_NEAR(Angle(d.gauge, 3), angle, 0.5) << d.gauge;
        EXPECT_NEAR(Readout(d.gauge, d.readout_unit), d.value, 0.2 + d.readout_unit) << d.gauge;
        const double k = static_cast<double>(g.width) / layout.size;
        const double c = ed::Centre(layout) * k;
        const double a = angle * M_PI / 180.0;
        for (double along : {0.3, 0.5, 0.65}) {
            const double r = ed::FaceRadius(layout) * along * k;
            EXPECT_GT(brightness(g.x + c + r * std::sin(a), g.y + c - r * std::cos(a)), 150)
                << d.gauge << ": no needle at " << along << " along " << angle;
        }
    }
    cairo_surface_destroy(picture);
}

}  // namespace
}  // namespace zu::e2e
