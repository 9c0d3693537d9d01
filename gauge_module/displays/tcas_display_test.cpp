#include "displays/tcas_display.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/systems_tick.h"
#include "displays/efis_resources.h"
#include "displays/tcas.h"
#include "instruments/atc_control_head.h"

namespace zu {
namespace {

using platform::DrawCall;
using platform::DrawOp;

TEST(TcasSymbolPlace, RangeScalesDistanceAndTheEdgeClampsToAnOctagon) {
    BuildTrigTables();
    int32_t x = 0, y = 0;
    // 20 nm range: 10 nm ahead is 16 units above the own aircraft.
    EXPECT_FALSE(TcasSymbolPlace(0.0, 10.0, 20, &x, &y));
    EXPECT_EQ(x, 41);
    EXPECT_EQ(y, 56 - 16);
    // The edge straight ahead lies 47 units away.
    EXPECT_FALSE(TcasSymbolPlace(0.0, 29.0, 20, &x, &y));
    EXPECT_EQ(y, 56 - 46);
    EXPECT_TRUE(TcasSymbolPlace(0.0, 30.0, 20, &x, &y));
    EXPECT_EQ(y, 56 - 47);
    // Abeam the edge is nearer (the own aircraft sits low on the screen).
    EXPECT_TRUE(TcasSymbolPlace(90.0, 30.0, 20, &x, &y));
    EXPECT_EQ(x, 41 + 28);
    EXPECT_NEAR(y, 56, 1);
    // Behind: 17 units to the bottom edge.
    EXPECT_FALSE(TcasSymbolPlace(180.0, 20.0, 40, &x, &y));
    EXPECT_TRUE(TcasSymbolPlace(180.0, 25.0, 40, &x, &y));
    EXPECT_NEAR(y, 56 + 17, 1);
}

TEST(TcasNeedleAngle, TableSignAndTestSequence) {
    EXPECT_FLOAT_EQ(TcasNeedleAngle(-2500, 0, 0.0f), -120.5f);
    EXPECT_FLOAT_EQ(TcasNeedleAngle(1000, 0, 0.0f), 66.0f);
    EXPECT_FLOAT_EQ(TcasNeedleAngle(9000, 0, 0.0f), 172.0f);
    // The test swings the needle up from 120 and back down below 64, and
    // holds it (blanked) in between.
    EXPECT_FLOAT_EQ(TcasNeedleAngle(0, 120, 5.0f), 0.0f);
    EXPECT_FLOAT_EQ(TcasNeedleAngle(0, 89, 5.0f), 149.5f - (149.5f - 132.0f) * 0.125f);
    EXPECT_FLOAT_EQ(TcasNeedleAngle(0, 70, 5.0f), 5.0f);
    EXPECT_FLOAT_EQ(TcasNeedleAngle(0, 32, 5.0f), 109.0f);
}

// The traffic pictures on a recording context.
struct TcasDrawFixture : ::testing::Test {
    void SetUp() override {
        CreateEfisResources();
        dc = platform::DrawContextCreateRecording(172, 168);
        platform::DrawSetLogicalSize(dc, kTcasGridWidth, kTcasGridHeight);
        TransponderState = {};
        TransponderState.tcas_mode = 3;
        TcasRangeNm = 20;
        TcasIntruders[0] = {};
        TcasIntruderShown.store(0);
        Heading = 0.0f;
        NavHeading = 0.0;
        Altitude = 5000.0f;
    }
    void TearDown() override {
        platform::DrawContextDestroy(dc);
        DeleteEfisResources();
        TransponderState = {};
        TcasRangeNm = 5;
        TcasIntruders[0] = {};
        Altitude = 0.0f;
    }
    static TcasIntruder& Add(double bearing, double distance, double altitude, const char* text,
                             int16_t vs = 0) {
        TcasIntruderTable& t = TcasIntruders[0];
        TcasIntruder& i = t.intruders[t.count++];
        i = {};
        i.identifier = static_cast<uint32_t>(t.count);
        i.bearing = bearing;
        i.distance = distance;
        i.altitude = altitude;
        i.vertical_speed = vs;
        std::strcpy(i.relative_altitude_text, text);
        return i;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (int i = 0; i < platform::DrawTextCount(dc); ++i) {
            out.emplace_back(platform::DrawTexts(dc)[i].text);
        }
        return out;
    }
    const platform::DrawTextEntry* FindText(const char* text) const {
        for (int i = 0; i < platform::DrawTextCount(dc); ++i) {
            if (std::strcmp(platform::DrawTexts(dc)[i].text, text) == 0)
                return &platform::DrawTexts(dc)[i];
        }
        return nullptr;
    }
    int Count(DrawOp op) const {
        int n = 0;
        for (int i = 0; i < platform::DrawRecordedCount(dc); ++i) {
            n += platform::DrawRecordedCalls(dc)[i].op == op ? 1 : 0;
        }
        return n;
    }
    platform::DrawContext* dc = nullptr;
};

TEST_F(TcasDrawFixture, StatusTextsFollowLevelAndRange) {
    TcasStatusDraw(dc);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"20nm", "TA"}));
    EXPECT_EQ(Count(DrawOp::SmoothLine), 12);  // the range dots
    platform::DrawBeginPaint(dc);
    TransponderState.tcas_mode = 1;
    TcasRangeNm = 5;
    TcasStatusDraw(dc);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"5 nm", "STBY"}));
    EXPECT_EQ(FindText("5 nm")->x, 62);
    platform::DrawBeginPaint(dc);
    TransponderState.tcas_mode = 0;
    TcasStatusDraw(dc);
    // Off: in the box (41,30)-(70,52), "TCAS" above "OFF" (the 12-unit font
    // does not fit both words on the box's 29 units), each centred on x 55,
    // the two lines centred down the box.
    EXPECT_EQ(Texts(), (std::vector<std::string>{"TCAS", "OFF"}));
    const platform::DrawTextEntry* tcas = FindText("TCAS");
    const platform::DrawTextEntry* off = FindText("OFF");
    EXPECT_EQ(tcas->x, 55);
    EXPECT_EQ(off->x, 55);
    EXPECT_EQ(tcas->y, 29);
    EXPECT_EQ(off->y, 29 + 12);
}

TEST_F(TcasDrawFixture, IntrudersColoursLabelsAndArrows) {
    // Grey outline, label below (own aircraft above it), climbing.
    Add(0.0, 10.0, 4000.0, "-10", 800);
    // Proximate, no threat: filled grey, label above.
    TcasIntruder& near = Add(90.0, 5.0, 5500.0, "+05", -500);
    near.proximate = 1;
    // Threat: yellow.
    TcasIntruder& threat = Add(180.0, 2.5, 5200.0, "+02", -501);
    threat.proximate = 1;
    threat.threat = 1;
    // Beyond the edge: an octagon only.
    Add(0.0, 35.0, 5000.0, "+00");
    TcasTrafficDraw(dc, TcasClipRegionCreate(172, 168));
    ASSERT_EQ(Texts().size(), 3u);
    const platform::DrawTextEntry* below = FindText("-10");
    ASSERT_NE(below, nullptr);
    EXPECT_EQ(below->x, 41 - 7);
    EXPECT_EQ(below->y, 56 - 16 + 6);
    EXPECT_EQ(below->colour, 0xFFFFFFu);
    const platform::DrawTextEntry* above = FindText("+05");
    EXPECT_EQ(above->x, 41 + 8 - 6);
    EXPECT_EQ(above->y, 56 - 13);
    EXPECT_EQ(FindText("+02")->colour, 0x00FFFFu);
    // Two arrows of two strokes and a line each (first and third), the
    // outline diamond: 4 + 3 + 4 line segments, and three filled shapes.
    EXPECT_EQ(Count(DrawOp::LineTo), 4 + 3 + 3);
    EXPECT_EQ(Count(DrawOp::Polygon), 3);
}

// A placed display as the host makes it.
struct PlacedTcas {
    std::vector<uint8_t> pixels;
    gauge::DrawingSurface surface{};
    gauge::ElementHeader element{};
    PlacedTcas(int32_t w, int32_t h) : pixels(static_cast<size_t>(w) * h * 4) {
        surface = {w, h, w * 4, static_cast<uint32_t>(pixels.size()), pixels.data(), nullptr};
        surface.context = platform::DrawContextCreate(pixels.data(), w, h, w * 4);
        element.image_flags = gauge::kImageDrawnSurface | gauge::kImageOnScreen;
        element.surface = &surface;
    }
    ~PlacedTcas() {
        platform::DrawContextDestroy(static_cast<platform::DrawContext*>(surface.context));
    }
};

TEST(TcasDisplayFrame, DrawsAfterFifteenPoweredFramesOncePerTickAndBlackUnpowered) {
    CreateEfisResources();
    const uint8_t saved = BusPowered.get(kPoweredLeftEssential);
    TransponderState = {};
    TransponderState.tcas_mode = 3;
    TcasScreen& screen = TcasScreens[2];
    PlacedTcas d(172, 168);
    TcasDisplayInstall(screen, nullptr);
    screen.pictures = 0;
    BusPowered.set(kPoweredLeftEssential, 1);
    TickCounter.store(10);
    for (int i = 0; i < 14; ++i) {
        TickCounter.fetch_add(1);
        TcasDisplayFrame(screen, &d.element);
    }
    EXPECT_EQ(screen.pictures, 0u);
    TickCounter.fetch_add(1);
    TcasDisplayFrame(screen, &d.element);
    EXPECT_EQ(screen.pictures, 1u);
    EXPECT_EQ(d.element.image_flags & gauge::kImageOnScreen, 0u);
    TcasDisplayFrame(screen, &d.element);  // same tick
    EXPECT_EQ(screen.pictures, 1u);
    // The needle's white stroke shows left of the pivot, also with the
    // computer off (level 0: transponder off or in its test), when only the
    // status reads "TCAS OFF".
    const size_t at = (static_cast<size_t>(41 * 2) * 172 + 20 * 2) * 4;
    EXPECT_GT(d.pixels[at] + d.pixels[at + 4] + d.pixels[at + 172 * 4], 0);
    TransponderState.tcas_mode = 0;
    TickCounter.fetch_add(1);
    TcasDisplayFrame(screen, &d.element);
    EXPECT_EQ(screen.pictures, 2u);
    EXPECT_GT(d.pixels[at] + d.pixels[at + 4] + d.pixels[at + 172 * 4], 0);
    const auto* dc = static_cast<const platform::DrawContext*>(d.surface.context);
    ASSERT_EQ(platform::DrawTextCount(dc), 2);
    EXPECT_STREQ(platform::DrawTexts(dc)[0].text, "TCAS");
    EXPECT_STREQ(platform::DrawTexts(dc)[1].text, "OFF");
    // White lettering only inside the box (at twice the grid's scale).
    int inside = 0, beside = 0;
    for (int32_t y = 30 * 2; y < 52 * 2; ++y) {
        for (int32_t x = 0; x < 172; ++x) {
            const uint8_t* p = &d.pixels[(static_cast<size_t>(y) * 172 + x) * 4];
            if (p[0] != 0xFF || p[1] != 0xFF || p[2] != 0xFF) continue;
            const bool in = x >= 41 * 2 && x < 70 * 2;
            (in ? inside : beside) += 1;
        }
    }
    EXPECT_GT(inside, 40);
    EXPECT_EQ(beside, 0);
    // A tick with the same picture to show leaves the surface as it is.
    TickCounter.fetch_add(1);
    TcasDisplayFrame(screen, &d.element);
    EXPECT_EQ(screen.pictures, 2u);
    BusPowered.set(kPoweredLeftEssential, 0);
    TickCounter.fetch_add(1);
    TcasDisplayFrame(screen, &d.element);
    EXPECT_EQ(screen.power_on, 0);
    EXPECT_EQ(d.pixels[at], 0);
    // Black is painted once.
    d.pixels[at] = 7;
    TcasDisplayFrame(screen, &d.element);
    EXPECT_EQ(d.pixels[at], 7);
    TcasDisplayKill(screen);
    DeleteEfisResources();
    BusPowered.set(kPoweredLeftEssential, saved);
    TransponderState = {};
    TickCounter.store(0);
}

}  // namespace
}  // namespace zu
