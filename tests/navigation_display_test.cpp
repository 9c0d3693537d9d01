// The navigation displays in a running module: the stand-in simulator
// drives frames in lockstep (one tick a frame at 15 frames a second) and the
// state report carries the texts of the arc picture.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/ahrs.h"
#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "displays/weather_radar.h"
#include "e2e_support.h"
#include "module_state.h"
#include "panels/display_control_panels.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

TEST(NavigationDisplayE2e, ArcTextsReachTheStateReport) {
    RestoreLoadedModuleState();
    TempDir tmp;
    simhost::SimulatorConfig cfg;
    cfg.aircraft_dir = CopySampleAircraft(tmp.path());
    cfg.fps = 15;
    auto sim = std::make_unique<simhost::Simulator>(cfg);
    ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim));
    sim->SetVariable(81, 90.4);  // simulator heading; the poll adds 0.2
    DisplayControlState1.Mode = 1;
    WxRange = 100;
    // Engines running with every generator on line: the displays' bus is
    // powered and the attitude and heading reference aligns on the way.
    PinRunningEngines(*sim);
    for (int i = 0; i < 300; ++i) {
        ElectricsEnginesRunning();
        sim->RunFrame();
    }
    ASSERT_EQ(Ahrs1.valid[1], 0);
    ASSERT_NE(BusPowered.get(kPoweredLeftEssential), 0);

    const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim, nullptr));
    bool heading = false, half_range = false;
    for (const auto& g : state["gauges"]) {
        if (g["name"] != "HSI1") continue;
        for (const auto& e : g["elements"]) {
            if (!e.contains("surface")) continue;
            EXPECT_GT(e["surface"]["pictures"].get<uint64_t>(), 0u);
            for (const auto& t : e["surface"]["texts"]) {
                heading |= t["text"] == "090" && t["x"] == 84 && t["y"] == 1;
                half_range |= t["text"] == " 50" && t["x"] == 47 && t["y"] == 92;
            }
        }
    }
    EXPECT_TRUE(heading);
    EXPECT_TRUE(half_range);
    sim->Stop();
    DisplayControlState1.Mode = 0;
    Ahrs1.heading = 0;
    std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
}

// The rose's lubber mark (design point (84, 6), surface pixel (81, 6) of the
// sample panel's 163-wide HSI1) follows a brightness change like every other
// colour of the display: white at 255 is 0xF0F0F0, at 175 0xA0A0A0.
TEST(NavigationDisplayE2e, ABrightnessChangeDimsTheLubberMark) {
    RestoreLoadedModuleState();
    TempDir tmp;
    simhost::SimulatorConfig cfg;
    cfg.aircraft_dir = CopySampleAircraft(tmp.path());
    cfg.fps = 15;
    auto sim = std::make_unique<simhost::Simulator>(cfg);
    ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim));
    DisplayControlState1.Mode = 0;
    DisplayBrightnessLevel = 255;
    PinRunningEngines(*sim);
    for (int i = 0; i < 300; ++i) {
        ElectricsEnginesRunning();
        sim->RunFrame();
    }
    ASSERT_EQ(Ahrs1.valid[1], 0);
    const simhost::GaugeInstance* hsi = sim->FindGauge("HSI1");
    ASSERT_NE(hsi, nullptr);
    ASSERT_FALSE(hsi->surfaces.empty());
    const simhost::DrawnSurface& d = *hsi->surfaces[0];
    const auto pixel = [&d](int x, int y) {
        const uint8_t* p = &d.picture[(static_cast<size_t>(y) * d.surface.width + x) * 4];
        return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
    };
    EXPECT_EQ(pixel(81, 6), 0xF0F0F0u);
    DisplayBrightnessLevel = 175;
    for (int i = 0; i < 10; ++i) {
        ElectricsEnginesRunning();
        sim->RunFrame();
    }
    EXPECT_EQ(pixel(81, 6), 0xA0A0A0u);
    sim->Stop();
    DisplayBrightnessLevel = 191;
    Ahrs1.heading = 0;
    std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
}

}  // namespace
}  // namespace zu::e2e
