// The weather radar in a running module: the WX display's keys, its screen
// texts, and a storm cell of the stand-in's weather shown on the radar
// screen and on the navigation display's overlay.
#include "displays/weather_radar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "core/fsuipc_data_exchange.h"
#include "displays/efis_resources.h"
#include "e2e_support.h"
#include "module_state.h"
#include "panels/display_control_panels.h"
#include "zu/platform/drawing.h"
#include "zu/simhost/simulator.h"

namespace zu::e2e {
namespace {

constexpr double kDegToRad = 0.017453292519943295;

struct WeatherRadarE2e : ::testing::Test {
    TempDir tmp;
    std::unique_ptr<simhost::Simulator> sim;
    simhost::GaugeInstance* wx = nullptr;
    simhost::GaugeInstance* hsi = nullptr;

    void SetUp() override {
        RestoreLoadedModuleState();
        simhost::SimulatorConfig cfg;
        cfg.aircraft_dir = CopySampleAircraft(tmp.path());
        cfg.fps = 15;
        sim = std::make_unique<simhost::Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim));
        PinRunningEngines(*sim);
        Frames(30);
        ASSERT_NE(AcBusPowered.get(2), 0) << "right avionics bus";
        wx = sim->FindGauge("WX display");
        hsi = sim->FindGauge("HSI1");
        ASSERT_NE(wx, nullptr);
        ASSERT_NE(hsi, nullptr);
    }
    void TearDown() override {
        if (sim) sim->Stop();
        DisplayControlState1.Mode = 0;
        DisplayControlState1.Overlay = 0;
        RestoreLoadedModuleState();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            ElectricsEnginesRunning();
            sim->RunFrame();
        }
    }
    void Click(int rect) {
        std::string error;
        ASSERT_TRUE(sim->Click(*wx, rect, false, &error)) << error;
    }
    const simhost::DrawnSurface& Screen(const simhost::GaugeInstance* g) const {
        return *g->surfaces.at(0);
    }
    bool ScreenShows(const char* text) const {
        for (const auto& t : Screen(wx).texts) {
            if (std::strcmp(t.text, text) == 0) return true;
        }
        return false;
    }
    // The picture's pixel at a point of a surface's design grid.
    // `spare_rows`: rows at the surface's bottom the grid leaves out.
    const uint8_t* At(const simhost::GaugeInstance* g, double x, double y, double grid_w,
                      double grid_h, int spare_rows = 0) const {
        const simhost::DrawnSurface& s = Screen(g);
        const auto px = static_cast<int>(x * s.surface.width / grid_w);
        const auto py = static_cast<int>(y * (s.surface.height - spare_rows) / grid_h);
        return &s.picture[(static_cast<size_t>(py) * s.surface.width + px) * 4];
    }
};

TEST_F(WeatherRadarE2e, PowerOnWaitsThenShowsTheSelectedMode) {
    Click(1);  // power
    Frames(2);
    Click(3);  // WX
    EXPECT_EQ(WxRadarState.selected_mode, kWxModeWeather);
    Frames(60);
    EXPECT_EQ(WxRadarState.display_mode, kWxModeWarmUp);
    EXPECT_TRUE(ScreenShows("WAIT"));
    Frames(160);
    EXPECT_EQ(WxRadarState.display_mode, kWxModeWeather);
    Frames(10);
    EXPECT_TRUE(ScreenShows("WX"));
    EXPECT_FALSE(ScreenShows("WAIT"));

    // VAR lights its lamp: element 7 in place of 6; in WX it shows on the
    // screen.
    ASSERT_GE(wx->elements.size(), 16u);
    EXPECT_FALSE(wx->elements[6].hidden);
    EXPECT_TRUE(wx->elements[7].hidden);
    Click(13);
    Frames(10);
    EXPECT_TRUE(wx->elements[6].hidden);
    EXPECT_FALSE(wx->elements[7].hidden);
    EXPECT_TRUE(ScreenShows("VAR"));

    // Gain and tilt keys stop at their ends.
    for (int i = 0; i < 12; ++i) Click(17);
    EXPECT_EQ(WxGain, 100);
    for (int i = 0; i < 20; ++i) Click(20);
    EXPECT_DOUBLE_EQ(WxTilt, -7.5);
}

TEST_F(WeatherRadarE2e, AStormCellAheadShowsRedWhereTheFanPutsIt) {
    // A storm 50 nm ahead on the aircraft's track (range 100 nm).
    const auto& state = sim->model().state();
    const double track = state.heading_true * kDegToRad;
    const double lat = state.latitude + 50.0 / 60.0 * std::cos(track);
    const double lon =
        state.longitude + 50.0 / 60.0 * std::sin(track) / std::cos(state.latitude * kDegToRad);
    sim->model().AddWeatherCell(simhost::WeatherCell{lat, lon, 12.0, 0, 30000, 5});
    WxRadarState.power_switch = 1;
    WxRadarState.warm_up_countdown = 0;
    WxRadarState.selected_mode = kWxModeWeather;
    DisplayControlState1.Mode = 1;
    DisplayControlState1.Overlay = 1;
    // The beam sweeps from the left edge; the middle columns come halfway.
    for (int i = 0; i < 900 && WxGridColumn < 18; ++i) Frames(1);
    ASSERT_GE(WxGridColumn, 18);
    Frames(16);
    // The picture: red above the apex in the centre column, nothing at the
    // sides of the fan.
    const WxPictureImage& p = WxPictureFront();
    int red_rows = 0;
    for (int y = 30; y < 52; ++y) red_rows += p.pixels[y][kWxCentreColumn] == kWxRed ? 1 : 0;
    EXPECT_GT(red_rows, 3);
    EXPECT_NE(p.pixels[41][kWxCentreColumn - 40], kWxRed);
    EXPECT_EQ(p.pixels[5][kWxCentreColumn], kWxBlack);

    // On the radar screen (picture row 41 lands at y 12 + 90 - 41 x 90 / 83).
    const uint8_t* screen = At(wx, 77, 57, 163, 113);
    EXPECT_GE(screen[0], 0x60);
    EXPECT_LT(screen[1], 0x40);
    // On the navigation display's arc, under the card.
    const uint8_t* overlay = At(hsi, 78, 17 + 98 - 41 * 98 / 83, 168, 130, 3);
    EXPECT_GE(overlay[0], 0x60);
    EXPECT_LT(overlay[1], 0x40);

    // The rose clears the overlay.
    DisplayControlState1.Mode = 0;
    Frames(2);
    EXPECT_EQ(DisplayControlState1.Overlay, 0);
}

// Every display colour in its 16 levels: each channel (c x brightness) / 256,
// cut to its upper four bits.
uint32_t Dimmed(uint32_t colour, int brightness) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t c = (colour >> shift) & 0xFF;
        out |= ((c * static_cast<uint32_t>(brightness) / 256) & 0xF0) << shift;
    }
    return out;
}

// The radar screen's picture selects the shared pens and brushes (white scan
// lines, the grey key outline and its brushes, red target box); a
// brightness change after it still makes every one of them anew, so every
// display dims.
TEST_F(WeatherRadarE2e, ABrightnessChangeAfterARadarPictureDimsEveryPen) {
    // The displays' colours: white, red, green, blue, yellow, amber, cyan,
    // magenta, light grey, grey, dark red, dark green, dark blue, olive,
    // teal, brown (0x00BBGGRR), and black.
    static constexpr uint32_t kColours[17] = {
        0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0x00B4F5, 0xFFFF00, 0xFF00FF, 0xE1E1E1,
        0x808080, 0x000080, 0x008000, 0x800000, 0x008080, 0x808000, 0x006EC2, 0x000000};
    const auto expect_dimmed = [](int brightness) {
        for (int i = 0; i < 17; ++i) {
            EXPECT_EQ(platform::DrawObjectColour(EfisPens[i]), Dimmed(kColours[i], brightness))
                << "pen " << i << " at " << brightness;
            EXPECT_EQ(platform::DrawObjectColour(EfisBrushes[i]), Dimmed(kColours[i], brightness))
                << "brush " << i << " at " << brightness;
        }
    };
    WxRadarState.power_switch = 1;
    WxRadarState.warm_up_countdown = 0;
    WxRadarState.selected_mode = kWxModeWeather;
    Frames(60);
    ASSERT_TRUE(ScreenShows("WX"));
    DisplayBrightnessLevel = 255;
    Frames(3);
    expect_dimmed(255);
    EXPECT_EQ(platform::DrawObjectColour(EfisPens[9]), 0x707070u);  // grey
    // Twice more, the second time after a picture with the target alert.
    DisplayBrightnessLevel = 100;
    Frames(20);
    expect_dimmed(100);
    WxRadarState.tgt_selected = 1;
    Frames(20);
    ASSERT_TRUE(ScreenShows("T"));
    DisplayBrightnessLevel = 191;
    Frames(3);
    expect_dimmed(191);
    EXPECT_EQ(platform::DrawObjectColour(EfisPens[0]), 0xB0B0B0u);  // white
}

}  // namespace
}  // namespace zu::e2e
