#include "displays/weather_radar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/electrical_system.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/systems_tick.h"
#include "displays/efis_display_gauges.h"
#include "displays/efis_resources.h"
#include "displays/navigation_display.h"
#include "panels/display_control_panels.h"

namespace zu {
namespace {

// Saves the radar's state and what it reads, and puts them back.
struct WeatherRadar : ::testing::Test {
    WxRadarRecord state_ = WxRadarState;
    int32_t range_index_ = WxRangeIndex;
    int32_t gain_ = WxGain;
    double tilt_ = WxTilt;
    uint8_t rings_ = WxRangeRings;
    uint8_t sector_ = WxButton2;
    uint8_t blink_ = WxBlink;
    float altitude_ = Altitude;
    ElectricsRecord electrics_ = Electrics_sys;
    DisplayControlRecord control1_ = DisplayControlState1;
    DisplayControlRecord control2_ = DisplayControlState2;
    uint32_t frame_bits_ = FrameChangeBits.load();
    uint32_t tick_ = TickCounter.load();
    uint8_t pending_ = WeatherSampleFlags[kWeatherPending].load();

    void SetUp() override {
        WxRadarState =
            WxRadarRecord{0, 0, 0, 0, kWxWarmUpTicks, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        WxRangeIndex = 3;
        WxGain = 50;
        WxTilt = 0.0;
        WxRangeRings = 1;
        WxButton2 = 1;
        std::memset(WxPolarGrid, 0, sizeof WxPolarGrid);
        FrameChangeBits.store(0x01);
        // The sampling step waits: no answers come in unit tests.
        WeatherSampleFlags[kWeatherPending].store(1);
    }
    void TearDown() override {
        WxRadarState = state_;
        WxRangeIndex = range_index_;
        WxGain = gain_;
        WxTilt = tilt_;
        WxRangeRings = rings_;
        WxButton2 = sector_;
        WxBlink = blink_;
        Altitude = altitude_;
        Electrics_sys = electrics_;
        DisplayControlState1 = control1_;
        DisplayControlState2 = control2_;
        FrameChangeBits.store(frame_bits_);
        TickCounter.store(tick_);
        WeatherSampleFlags[kWeatherPending].store(pending_);
        std::memset(WxPolarGrid, 0, sizeof WxPolarGrid);
    }

    static void PowerRadar(bool on) {
        AcBusPowered.set(2, on ? 1 : 0);
        BusPowered.set(kPoweredLeftEssential, 1);
        WxRadarState.power_switch = 1;
    }
    static void Ticks(int n) {
        for (int i = 0; i < n; ++i) WxRadarUpdate();
    }
    // Builds the picture from the grid as every 4th tick does.
    static const WxPictureImage& Build() {
        FrameChangeBits.store(0x07);
        WxPictureBuild();
        FrameChangeBits.store(0x01);
        return WxPictureFront();
    }
};

TEST_F(WeatherRadar, WarmUpShowsWaitThenTheSelectedModeOrStandby) {
    PowerRadar(true);
    Ticks(1);
    EXPECT_EQ(WxRadarState.display_mode, kWxModeWarmUp);
    EXPECT_EQ(WxRadarState.wait, 0);
    WxControlPress(WxControl::WeatherCycle);
    ASSERT_EQ(WxRadarState.selected_mode, kWxModeWeather);
    Ticks(199);
    EXPECT_EQ(WxRadarState.warm_up_countdown, 0);
    EXPECT_EQ(WxRadarState.display_mode, kWxModeWarmUp);
    EXPECT_EQ(WxRadarState.wait, 1);
    Ticks(1);
    EXPECT_EQ(WxRadarState.display_mode, kWxModeWeather);
    EXPECT_EQ(WxRadarState.wait, 0);

    // Power off clears the modes and re-arms the warm-up; unselected, the
    // radar warms up without WAIT and then stands by.
    AcBusPowered.set(2, 0);
    Ticks(1);
    EXPECT_EQ(WxRadarState.display_mode, kWxModeOff);
    EXPECT_EQ(WxRadarState.selected_mode, 0);
    EXPECT_EQ(WxRadarState.warm_up_countdown, kWxWarmUpTicks);
    AcBusPowered.set(2, 1);
    Ticks(200);
    EXPECT_EQ(WxRadarState.display_mode, kWxModeWarmUp);
    EXPECT_EQ(WxRadarState.wait, 0);
    Ticks(1);
    EXPECT_EQ(WxRadarState.display_mode, kWxModeStandby);

    // TEST from standby, and back.
    WxControlPress(WxControl::Test);
    Ticks(1);
    EXPECT_EQ(WxRadarState.display_mode, kWxModeTest);
    EXPECT_EQ(WxRadarState.test_countdown, kWxTestFrames);
    WxControlPress(WxControl::Test);
    Ticks(1);
    EXPECT_EQ(WxRadarState.display_mode, kWxModeStandby);
    // The mode keys need power; the settings keys do not.
    WxRadarState.power_switch = 0;
    Ticks(1);
    WxControlPress(WxControl::Map);
    WxControlPress(WxControl::Var);
    EXPECT_EQ(WxRadarState.selected_mode, 0);
    EXPECT_EQ(WxRadarState.var_selected, 1);
}

TEST_F(WeatherRadar, GainTiltAndRangeStopAtTheirEnds) {
    WxGain = 5;
    WxControlPress(WxControl::GainDown);
    WxControlPress(WxControl::GainDown);
    EXPECT_EQ(WxGain, 0);
    WxGain = 95;
    WxControlPress(WxControl::GainUp);
    WxControlPress(WxControl::GainUp);
    EXPECT_EQ(WxGain, 100);
    EXPECT_DOUBLE_EQ(WxGainKnobAngle(), 195.0);
    WxTilt = 7.0;
    WxControlPress(WxControl::TiltUp);
    WxControlPress(WxControl::TiltUp);
    EXPECT_DOUBLE_EQ(WxTilt, 7.5);
    EXPECT_DOUBLE_EQ(WxTiltKnobAngle(), 217.5);
    WxTilt = -7.5;
    WxControlPress(WxControl::TiltDown);
    EXPECT_DOUBLE_EQ(WxTilt, -7.5);

    // Range keys need the left essential bus.
    BusPowered.set(kPoweredLeftEssential, 0);
    WxRangeKey(0);
    EXPECT_EQ(WxRangeIndex, 3);
    BusPowered.set(kPoweredLeftEssential, 1);
    WxRangeKey(5);
    Ticks(1);
    EXPECT_EQ(WxRange, 300);
}

TEST_F(WeatherRadar, ColourBandsGainAndCycleBlanking) {
    EXPECT_EQ(WxColour(64), kWxBlack);
    EXPECT_EQ(WxColour(65), kWxGreen);
    EXPECT_EQ(WxColour(137), kWxGreen);
    EXPECT_EQ(WxColour(138), kWxYellow);
    EXPECT_EQ(WxColour(182), kWxYellow);
    EXPECT_EQ(WxColour(183), kWxRed);
    EXPECT_EQ(WxColour(100), kWxGreen);

    // Gain 100 with VAR in WX mode: factor 256, 100 reads as 200.
    PowerRadar(true);
    WxRadarState.warm_up_countdown = 0;
    WxRadarState.selected_mode = kWxModeWeather;
    WxRadarState.var_selected = 1;
    WxGain = 100;
    Ticks(1);
    EXPECT_EQ(WxGainFactor, 256);
    EXPECT_EQ(WxRadarState.manual_gain_active, 1);
    EXPECT_EQ(WxColour(100), kWxRed);
    EXPECT_EQ(WxColour(255), kWxRed);

    // CYC: red is blank while tick bit 0x04 is clear; the other colours stay.
    WxRadarState.var_selected = 0;
    WxRadarState.selected_mode = kWxModeCycle;
    Ticks(1);
    TickCounter.store(8);
    EXPECT_EQ(WxColour(200), kWxBlack);
    EXPECT_EQ(WxColour(150), kWxYellow);
    TickCounter.store(12);
    EXPECT_EQ(WxColour(200), kWxRed);
}

TEST_F(WeatherRadar, SaturatedSumsStayRedAndTheCentreColumnRaisesTheTarget) {
    PowerRadar(true);
    WxRadarState.warm_up_countdown = 0;
    WxRadarState.selected_mode = kWxModeWeather;
    WxRadarState.tgt_selected = 1;
    Ticks(1);
    ASSERT_EQ(WxRadarState.target_alert_enabled, 1);
    // Intensity 25 everywhere: 25 x 16 = 400 saturates at 255 (red), it
    // does not wrap to 144 (yellow).
    std::memset(WxPolarGrid, 25, sizeof WxPolarGrid);
    const WxPictureImage& p = Build();
    EXPECT_EQ(p.pixels[40][kWxCentreColumn], kWxRed);
    EXPECT_EQ(p.pixels[80][kWxCentreColumn], kWxBlack);  // the top rows are cleared
    EXPECT_EQ(WxRadarState.target_detected, 1);

    // Weak returns only: no target; the alert off: never.
    std::memset(WxPolarGrid, 5, sizeof WxPolarGrid);
    EXPECT_EQ(Build().pixels[40][kWxCentreColumn], kWxGreen);
    EXPECT_EQ(WxRadarState.target_detected, 0);
    std::memset(WxPolarGrid, 25, sizeof WxPolarGrid);
    WxRadarState.tgt_selected = 0;
    Ticks(1);
    Build();
    EXPECT_EQ(WxRadarState.target_detected, 0);
}

TEST_F(WeatherRadar, CycleBlanksTheRedOfEveryOtherPicture) {
    PowerRadar(true);
    WxRadarState.warm_up_countdown = 0;
    WxRadarState.selected_mode = kWxModeCycle;
    Ticks(1);
    std::memset(WxPolarGrid, 25, sizeof WxPolarGrid);
    // Pictures are built every 4th tick, so bit 0x04 alternates between
    // successive builds.
    TickCounter.store(8);
    EXPECT_EQ(Build().pixels[40][kWxCentreColumn], kWxBlack);
    TickCounter.store(12);
    EXPECT_EQ(Build().pixels[40][kWxCentreColumn], kWxRed);
    TickCounter.store(16);
    EXPECT_EQ(Build().pixels[40][kWxCentreColumn], kWxBlack);
    // WX never blanks.
    WxRadarState.selected_mode = kWxModeWeather;
    Ticks(1);
    EXPECT_EQ(Build().pixels[40][kWxCentreColumn], kWxRed);
}

// Finds the red cells' column span of a picture.
void RedSpan(const WxPictureImage& p, int* left, int* right, int* low, int* high) {
    *left = kWxPictureWidth;
    *right = -1;
    *low = kWxPictureHeight;
    *high = -1;
    for (int y = 0; y < kWxPictureHeight; ++y) {
        for (int x = 0; x < kWxPictureWidth; ++x) {
            if (p.pixels[y][x] != kWxRed) continue;
            *left = std::min(*left, x);
            *right = std::max(*right, x);
            *low = std::min(*low, y);
            *high = std::max(*high, y);
        }
    }
}

TEST_F(WeatherRadar, TheFanPutsACellWhereItsBeamPoints) {
    // A cell dead ahead (grid columns 14 and 15 look 2 and 0 degrees left),
    // half the range out: red above the apex in the centre column.
    for (int c = 14; c <= 15; ++c) {
        for (int b = 9; b <= 11; ++b) WxPolarGrid[c][b] = 40;
    }
    int left = 0, right = 0, low = 0, high = 0;
    RedSpan(Build(), &left, &right, &low, &high);
    ASSERT_GE(right, 0);
    EXPECT_LE(left, kWxCentreColumn);
    EXPECT_GE(right, kWxCentreColumn - 8);
    EXPECT_LE(right, kWxCentreColumn + 8);
    EXPECT_GT(low, 25);  // away from the apex on row 0
    EXPECT_LT(high, 55);

    // The same cell in the leftmost column: left of centre, lower (the fan
    // turns the column by 60 degrees).
    std::memset(WxPolarGrid, 0, sizeof WxPolarGrid);
    for (int c = 0; c <= 1; ++c) {
        for (int b = 9; b <= 11; ++b) WxPolarGrid[c][b] = 40;
    }
    RedSpan(Build(), &left, &right, &low, &high);
    ASSERT_GE(right, 0);
    EXPECT_LT(right, kWxCentreColumn - 20);
    EXPECT_LT(high, 40);
}

TEST_F(WeatherRadar, CloudIntensityOfTheBeamInALayer) {
    uint8_t record[kWxRecordSize] = {};
    Altitude = 10000.0f;
    const auto add_layer = [&](int i, uint16_t top, int16_t base, uint8_t cover, uint8_t rain,
                               uint8_t turbulence) {
        uint8_t* l = record + kWxLayersOffset + i * kWxLayerSize;
        std::memcpy(l, &top, 2);
        std::memcpy(l + 10, &base, 2);
        l[6] = cover;
        l[7] = rain;
        l[13] = turbulence;
    };
    int32_t count = 1;
    std::memcpy(record + kWxLayerCountOffset, &count, 4);
    // A deep layer fills the beam: 1.0, overcast x 1.7 -> 20.
    add_layer(0, 30000, 0, 8, 2, 0);
    EXPECT_EQ(WxCloudIntensity(record, 10.0), 20);
    // Turbulence 5: x 1.3 -> 26; light rain halves.
    record[kWxLayersOffset + 13] = 5;
    EXPECT_EQ(WxCloudIntensity(record, 10.0), 26);
    record[kWxLayersOffset + 7] = 1;
    EXPECT_EQ(WxCloudIntensity(record, 10.0), 13);
    // No precipitation, no echo; a layer far below the beam neither.
    record[kWxLayersOffset + 7] = 0;
    EXPECT_EQ(WxCloudIntensity(record, 10.0), 0);
    add_layer(0, 2000, 1000, 8, 2, 0);
    EXPECT_EQ(WxCloudIntensity(record, 10.0), 0);
    // Layers beyond the record are never read: the count is taken as 24 at
    // most (every one of them a full beam: 24 x 20 saturates), and a
    // negative count as none.
    for (int i = 0; i < kWxMaxLayers; ++i) add_layer(i, 30000, 0, 8, 2, 0);
    count = 1000000;
    std::memcpy(record + kWxLayerCountOffset, &count, 4);
    EXPECT_EQ(WxCloudIntensity(record, 10.0), 255);
    count = -3;
    std::memcpy(record + kWxLayerCountOffset, &count, 4);
    EXPECT_EQ(WxCloudIntensity(record, 10.0), 0);
}

TEST_F(WeatherRadar, BoxBlurAveragesAndNegativeRadiusCopies) {
    uint8_t src[5 * 4] = {};
    src[2 * 5 + 2] = 90;  // one bright cell in the middle
    uint32_t sum[5 * 4];
    uint8_t out[5 * 4] = {};
    WxIntegralImage(src, 5, 4, sum);
    EXPECT_EQ(sum[5 * 4 - 1], 90u);
    WxBoxBlur(src, 5, 4, out, sum, 1, 1);
    EXPECT_EQ(out[2 * 5 + 2], 10);
    EXPECT_EQ(out[1 * 5 + 1], 10);
    WxBoxBlur(src, 5, 4, out, sum, -1, 1);
    EXPECT_EQ(std::memcmp(out, src, sizeof src), 0);
}

TEST_F(WeatherRadar, RunningBlurEqualsTheSummedAreaBlur) {
    // Many images and boxes, the picture's size and box among them, small
    // and one-row images and boxes wider than the image.
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    struct Case {
        int32_t width, height, rx, ry;
    };
    const Case cases[] = {{kWxPictureWidth, kWxPictureHeight, 3, 3},
                          {kWxPictureWidth, kWxPictureHeight, 1, 2},
                          {5, 4, 1, 1},
                          {1, 1, 3, 3},
                          {1, 9, 0, 2},
                          {9, 1, 2, 0},
                          {7, 6, 9, 12},
                          {2, 2, 0, 0},
                          {31, 17, 5, 3}};
    for (const Case& c : cases) {
        const size_t n = static_cast<size_t>(c.width) * static_cast<size_t>(c.height);
        std::vector<uint8_t> src(n);
        std::vector<uint32_t> sum(n), rows(n);
        std::vector<uint8_t> want(n), got(n);
        for (int round = 0; round < 40; ++round) {
            // Sparse cells, dense noise and saturated blocks.
            const uint32_t style = round % 3;
            for (uint8_t& v : src) {
                const uint32_t r = next();
                v = style == 0   ? (r % 11 == 0 ? static_cast<uint8_t>(r) : 0)
                    : style == 1 ? static_cast<uint8_t>(r)
                                 : static_cast<uint8_t>(r % 4 == 0 ? 255 : r % 30);
            }
            WxIntegralImage(src.data(), c.width, c.height, sum.data());
            WxBoxBlur(src.data(), c.width, c.height, want.data(), sum.data(), c.rx, c.ry);
            WxBoxBlurRunning(src.data(), c.width, c.height, got.data(), rows.data(), c.rx, c.ry);
            ASSERT_EQ(want, got) << c.width << "x" << c.height << " box " << c.rx << "," << c.ry
                                 << " round " << round;
        }
    }
}

TEST_F(WeatherRadar, PicturesOfRandomGridsStayTheSame) {
    // A checksum of the pictures built from a run of random grids in WX
    // and CYC, with and without the manual gain: any change to what the
    // radar shows changes it.
    PowerRadar(true);
    WxRadarState.warm_up_countdown = 0;
    WxRadarState.tgt_selected = 1;
    uint32_t seed = 777;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    uint64_t hash = 1469598103934665603ull;
    int targets = 0;
    for (int round = 0; round < 48; ++round) {
        WxRadarState.selected_mode = round % 4 == 3 ? kWxModeCycle : kWxModeWeather;
        WxRadarState.var_selected = round % 5 == 1 ? 1 : 0;
        WxGain = static_cast<int32_t>(next() % 101);
        WxButton2 = round % 2;
        Ticks(1);
        TickCounter.store(static_cast<uint32_t>(round) * 4);
        for (auto& column : WxPolarGrid) {
            for (uint8_t& cell : column) {
                const uint32_t r = next();
                cell = r % 3 == 0 ? static_cast<uint8_t>(r % 40) : 0;
            }
        }
        const WxPictureImage& p = Build();
        for (int y = 0; y < kWxPictureHeight; ++y) {
            for (int x = 0; x < kWxPictureWidth; ++x) {
                hash = (hash ^ p.pixels[y][x]) * 1099511628211ull;
            }
        }
        targets += WxRadarState.target_detected;
    }
    EXPECT_EQ(hash, 7064337899203249155ull);
    EXPECT_GT(targets, 0);
}

TEST_F(WeatherRadar, APictureShowsItsGridWhateverTheGridWasBefore) {
    // The sampling changes four bins of one column per tick, and every
    // 4th tick builds a picture. Each picture must be the one its grid
    // gives: the same as when every cell has changed since the last build.
    PowerRadar(true);
    WxRadarState.warm_up_countdown = 0;
    WxRadarState.selected_mode = kWxModeWeather;
    Ticks(1);
    TickCounter.store(4);
    uint32_t seed = 4242;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    for (auto& column : WxPolarGrid) {
        for (uint8_t& cell : column) cell = static_cast<uint8_t>(next() % 3 == 0 ? next() % 40 : 0);
    }
    Build();
    auto* grid = &WxPolarGrid[0][0];
    constexpr int kCells = kWxColumns * kWxBins;
    int column = 0;
    int bin = 0;
    int coloured = 0;
    for (int build = 0; build < 60; ++build) {
        for (int tick = 0; tick < 4; ++tick) {
            for (int k = 0; k < 4; ++k) {
                // Storms come and go, and cells clear to nothing.
                const uint32_t r = next();
                WxPolarGrid[column][bin + k] = static_cast<uint8_t>(r % 4 == 0 ? 0 : r % 40);
            }
            bin += 4;
            if (bin >= kWxBins) {
                bin = 0;
                column = (column + 1) % kWxColumns;
            }
        }
        const WxPictureImage& built = Build();
        const std::vector<uint32_t> stepped(
            &built.pixels[0][0], &built.pixels[0][0] + kWxPictureWidth * kWxPictureHeight);
        uint8_t saved[kCells];
        std::memcpy(saved, grid, kCells);
        for (int i = 0; i < kCells; ++i) grid[i] = static_cast<uint8_t>(saved[i] + 1);
        Build();
        std::memcpy(grid, saved, kCells);
        const WxPictureImage& fresh = Build();
        const std::vector<uint32_t> whole(&fresh.pixels[0][0],
                                          &fresh.pixels[0][0] + kWxPictureWidth * kWxPictureHeight);
        ASSERT_EQ(stepped, whole) << "build " << build;
        coloured += static_cast<int>(std::count_if(stepped.begin(), stepped.end(),
                                                   [](uint32_t c) { return c != kWxBlack; }));
    }
    EXPECT_GT(coloured, 0);  // the grids did show weather
}

// The radar screen's draw steps on a recording context.
struct WeatherRadarScreen : WeatherRadar {
    platform::DrawContext* dc = nullptr;
    void SetUp() override {
        WeatherRadar::SetUp();
        CreateEfisResources();
        dc = platform::DrawContextCreateRecording(163, 113);
    }
    void TearDown() override {
        platform::DrawContextDestroy(dc);
        DeleteEfisResources();
        WeatherRadar::TearDown();
    }
    int ScanLineCalls() {
        platform::DrawRecordClear(dc);
        WxScanLinesDraw(dc);
        return platform::DrawRecordedCount(dc);
    }
    std::vector<std::string> Legends() {
        platform::DrawBeginPaint(dc);
        WxLegendsDraw(dc);
        std::vector<std::string> texts;
        for (int i = 0; i < platform::DrawTextCount(dc); ++i) {
            texts.emplace_back(platform::DrawTexts(dc)[i].text);
        }
        return texts;
    }
    static bool Has(const std::vector<std::string>& texts, const char* t) {
        return std::find(texts.begin(), texts.end(), t) != texts.end();
    }
};

TEST_F(WeatherRadarScreen, TestArcsForTenFramesLabelsThroughout) {
    WxRangeRings = 0;
    WxRadarState.display_mode = kWxModeTest;
    WxRadarState.test_countdown = kWxTestFrames;
    for (int frame = 1; frame <= 10; ++frame) {
        EXPECT_GT(ScanLineCalls(), 0) << "frame " << frame;
        EXPECT_TRUE(Has(Legends(), "100")) << "frame " << frame;
    }
    EXPECT_EQ(WxRadarState.test_countdown, 0);
    EXPECT_EQ(ScanLineCalls(), 0);
    const auto texts = Legends();
    EXPECT_TRUE(Has(texts, "TEST"));
    EXPECT_TRUE(Has(texts, "100"));

    // Standby: arcs and labels only while the countdown runs.
    WxRadarState.display_mode = kWxModeStandby;
    WxRadarState.test_countdown = 2;
    EXPECT_GT(ScanLineCalls(), 0);
    EXPECT_TRUE(Has(Legends(), "80"));
    EXPECT_EQ(ScanLineCalls(), 0);
    const auto quiet = Legends();
    EXPECT_FALSE(Has(quiet, "80"));
    EXPECT_TRUE(Has(quiet, "SBY"));
}

TEST_F(WeatherRadarScreen, LegendsNameTheModeWaitVarAndTarget) {
    WxRadarState.display_mode = kWxModeWarmUp;
    WxRadarState.wait = 1;
    auto t = Legends();
    EXPECT_TRUE(Has(t, "WAIT"));
    EXPECT_FALSE(Has(t, "SBY"));
    WxRadarState.wait = 0;
    EXPECT_TRUE(Has(Legends(), "SBY"));

    WxRadarState.display_mode = kWxModeWeather;
    WxRadarState.manual_gain_active = 1;
    WxRadarState.gcr = 1;
    WxTilt = -2.5;
    t = Legends();
    EXPECT_TRUE(Has(t, "WX"));
    EXPECT_TRUE(Has(t, "VAR"));
    EXPECT_TRUE(Has(t, "GCR"));
    EXPECT_TRUE(Has(t, "-2.5"));

    WxRadarState.manual_gain_active = 0;
    WxRadarState.target_alert_enabled = 1;
    WxRadarState.target_detected = 1;
    WxBlink = 1;
    EXPECT_TRUE(Has(Legends(), "TGT"));
    WxRadarState.target_detected = 0;
    t = Legends();
    EXPECT_TRUE(Has(t, "T"));
    EXPECT_FALSE(Has(t, "TGT"));
}

// The overlay on a side-1 navigation display at design size.
struct WeatherOverlay : WeatherRadar {
    static constexpr int kW = 168;
    static constexpr int kH = 134;
    std::vector<uint8_t> pixels = std::vector<uint8_t>(kW * kH * 4, 0);
    platform::DrawContext* dc = nullptr;
    platform::DrawContext* rec = nullptr;
    DisplayScreen& screen = DisplayScreens[4];
    gauge::DrawingSurface* surface_ = screen.surface;
    bool pending_ = screen.setup_pending;
    gauge::DrawingSurface fake_{};

    void SetUp() override {
        WeatherRadar::SetUp();
        CreateEfisResources();
        dc = platform::DrawContextCreate(pixels.data(), kW, kH, kW * 4);
        platform::DrawSetMapping(dc, 168, 130, 168, 131);
        rec = platform::DrawContextCreateRecording(168, 130);
        EhsiClipRegionsCreate(EhsiSets[0], 168, 131);
        screen.surface = &fake_;
        screen.setup_pending = false;
        WxRadarState.display_mode = kWxModeWeather;
        // A picture all red.
        for (auto& row : WxPicture[WxPictureShown.load() & 1].pixels) {
            for (uint32_t& px : row) px = kWxRed;
        }
    }
    void TearDown() override {
        screen.surface = surface_;
        screen.setup_pending = pending_;
        platform::DrawContextDestroy(dc);
        platform::DrawContextDestroy(rec);
        DeleteEfisResources();
        for (auto& picture : WxPicture) std::memset(&picture, 0, sizeof picture);
        WeatherRadar::TearDown();
    }
    const uint8_t* Pixel(int x, int y) const { return &pixels[(y * kW + x) * 4]; }
};

TEST_F(WeatherOverlay, DrawsUnderTheArcCardInsideTheArcWindowOnly) {
    DisplayControlState1.Mode = 1;
    DisplayControlState1.Overlay = 1;
    const EhsiClipRegions& regions = EhsiSets[0].regions;
    EhsiPictureDraw({EhsiSets[0], regions, rec, nullptr});
    ASSERT_GT(platform::DrawRecordedCount(rec), 1);
    EXPECT_EQ(platform::DrawRecordedCalls(rec)[0].op, platform::DrawOp::StretchDib);
    EXPECT_EQ(platform::DrawRecordedCalls(rec)[0].value,
              static_cast<uint32_t>(platform::DrawBlitRop::SrcPaint));

    HsiWxOverlayDraw(dc, regions.arc_window, 0);
    EXPECT_EQ(Pixel(84, 70)[0], 0x60);  // ahead of the symbol: red
    EXPECT_EQ(Pixel(84, 70)[1], 0);
    EXPECT_EQ(Pixel(3, 20)[0], 0);  // outside the arc window
    EXPECT_EQ(Pixel(84, 125)[0], 0);

    // Standby draws nothing; neither does a side without the overlay.
    std::fill(pixels.begin(), pixels.end(), 0);
    WxRadarState.display_mode = kWxModeStandby;
    HsiWxOverlayDraw(dc, regions.arc_window, 0);
    EXPECT_EQ(Pixel(84, 70)[0], 0);
    WxRadarState.display_mode = kWxModeWeather;
    HsiWxOverlayDraw(dc, regions.arc_window, 1);
    EXPECT_EQ(Pixel(84, 70)[0], 0);
}

TEST_F(WeatherOverlay, TheRoseClearsTheOverlay) {
    DisplayControlState1.Mode = 0;
    DisplayControlState1.Overlay = 1;
    DisplayControlState2.Mode = 2;
    DisplayControlState2.Overlay = 1;
    Ticks(1);
    EXPECT_EQ(DisplayControlState1.Overlay, 0);
    EXPECT_EQ(DisplayControlState2.Overlay, 1);
    EhsiPictureDraw({EhsiSets[0], EhsiSets[0].regions, rec, nullptr});
    for (int i = 0; i < platform::DrawRecordedCount(rec); ++i) {
        EXPECT_NE(platform::DrawRecordedCalls(rec)[i].op, platform::DrawOp::StretchDib);
    }
}

}  // namespace
}  // namespace zu
