#include "displays/navigation_display.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "core/ahrs.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
#include "displays/efis_display_gauges.h"
#include "displays/efis_resources.h"
#include "displays/ehsi_map.h"
#include "displays/sg_select_panels.h"
#include "displays/weather_radar.h"
#include "fms/flight_plan.h"
#include "panels/display_control_panels.h"

namespace zu {
namespace {

// A side-1 navigation display at design size: the 168 x 130 grid on the
// 168 x 131 pixels above the surface's three bottom rows.
struct NavigationPicture : ::testing::Test {
    static constexpr int kW = 168;
    static constexpr int kH = 134;
    std::vector<uint8_t> pixels = std::vector<uint8_t>(kW * kH * 4, 0);
    platform::DrawContext* dc = nullptr;
    EhsiSet& set = EhsiSets[0];

    void SetUp() override {
        CreateEfisResources();
        SmoothStartup();
        DisplayBrightness = 191;
        RecreateDimmablePens();
        dc = platform::DrawContextCreate(pixels.data(), kW, kH, kW * 4);
        platform::DrawSetMapping(dc, 168, 130, 168, 131);
        platform::DrawSetTextAlign(dc, platform::kDrawTaCenter | platform::kDrawTaTop);
        SmoothSetBrightness(255);
        SmoothSetAlpha(255);
        EhsiClipRegionsCreate(set, 168, 131);
        set.pointers[0] = set.pointers[1] = EhsiBearingPointer{};
        set.map = EhsiMapState{};
        Ahrs1.valid[1] = 0;
        Ahrs1.heading = 0;
        Ahrs1.heading_bias = 0;
        Ahrs1.gyro_mode = 0;
        NavSourceSel1 = kNavVor1;
        vor = NavSources[kNavVor1];
        NavSources[kNavVor1].kind = 1;
        NavSources[kNavVor1].receive_state = 1;
        NavSources[kNavVor1].course = 0;
        NavSources[kNavVor1].deviation_valid = 1;
        NavSources[kNavVor1].lateral_deviation = 0;
        DisplayControlState1.Mode = 0;
        WxRange = 100;
        FGC_comp_FGC1_system_test_timer = 0;
        FdBarSense = 0;
    }
    void TearDown() override {
        platform::DrawContextDestroy(dc);
        SmoothShutdown();
        DeleteEfisResources();
        NavSources[kNavVor1] = vor;
        NavSourceSel1 = 1;
        Ahrs1.heading = 0;
        FGC_comp_HSI1_heading_sel = 0;
        DisplayControlState1.Mode = 0;
        WxRange = 100;
        DisplayControlState1.BearingPointerSource[0] =
            DisplayControlState1.BearingPointerSource[1] = 0;
        RedrawRequest.store(0);
    }
    EhsiPaint Paint() { return {set, set.regions, dc, dc}; }

    // The pixel of a design-grid point: rows y x 131 / 130.
    const uint8_t* At(int x, int y) const {
        const int py = static_cast<int>(std::floor((y + 0.5) * 131.0 / 130.0));
        return &pixels[(py * kW + x) * 4];
    }
    // GDI pixels in a dimmed palette colour (0x00BBGGRR).
    bool Is(int x, int y, int colour) const {
        const uint32_t c = DimColour(EfisPalette[colour]);
        const uint8_t* p = At(x, y);
        return p[0] == (c & 0xFF) && p[1] == ((c >> 8) & 0xFF) && p[2] == ((c >> 16) & 0xFF);
    }
    bool Yellowish(int x, int y) const {
        const uint8_t* p = At(x, y);
        return p[0] > 150 && p[1] > 150 && p[2] < 60;
    }
    bool Blank(int x, int y) const { return At(x, y)[3] == 0; }
    const platform::DrawTextEntry* FindText(const char* text) const {
        for (int i = 0; i < platform::DrawTextCount(dc); ++i) {
            if (std::strcmp(platform::DrawTexts(dc)[i].text, text) == 0)
                return &platform::DrawTexts(dc)[i];
        }
        return nullptr;
    }
    NavSourceRecord vor{};
};

// The slaving mark's arrow shows which way the heading last stepped: a
// steady heading after a step keeps the heading and changes the arrow, so
// the picture's key must follow the arrow itself.
TEST_F(NavigationPicture, SlavingMarkArrowChangesThePictureAndItsKey) {
    const auto draw = [&] {
        std::fill(pixels.begin(), pixels.end(), 0);
        platform::DrawBeginPaint(dc);
        EhsiSyncMarkDraw(Paint());
        return pixels;
    };
    const auto key = [] {
        RepaintKeyBuilder k;
        EhsiInputsKeyAdd(k, 0);
        return k.Key();
    };
    Ahrs1.heading = 90.0;
    Ahrs1.heading_ahead = 1;
    const std::vector<uint8_t> ahead = draw();
    const RepaintKey ahead_key = key();
    Ahrs1.heading_ahead = 0;
    EXPECT_NE(draw(), ahead);
    EXPECT_FALSE(key() == ahead_key);
    Ahrs1.heading_ahead = 1;
    EXPECT_EQ(draw(), ahead);
    EXPECT_EQ(key(), ahead_key);
    Ahrs1.heading_ahead = 0;
}

TEST_F(NavigationPicture, RoseAt090TurnsTheCardAndTheSelectedHeadingMarker) {
    Ahrs1.heading = 90;
    FGC_comp_HSI1_heading_sel = 120;
    platform::DrawBeginPaint(dc);
    EhsiRoseDraw(Paint());
    // The marker is turned 30 degrees clockwise about (84, 65): its tip
    // (84, 11) and its first point (78, 12) land where the rotation puts them.
    SetRotation(84, 65, 30.0f, 0);
    const int tip_x = RotX(84, 11);
    const int start_x = RotX(78, 12), start_y = RotY(78, 12);
    SetRotation(0, 0, 0.0f, 0);
    EXPECT_GT(tip_x, 84 + 20);
    EXPECT_TRUE(Is(start_x, start_y, kEfisCyan));
    EXPECT_FALSE(Is(84, 11, kEfisCyan));
    // The lubber mark stays at the top; north is on the left, east at the top.
    EXPECT_TRUE(Is(84, 7, kEfisWhite));
    const platform::DrawTextEntry* north = FindText("N");
    const platform::DrawTextEntry* east = FindText("E");
    ASSERT_NE(north, nullptr);
    ASSERT_NE(east, nullptr);
    EXPECT_NEAR(north->x, 84 - 42, 1);
    EXPECT_NEAR(north->y, 61, 1);
    EXPECT_NEAR(east->x, 84, 1);
    EXPECT_EQ(east->y, 19);
}

TEST_F(NavigationPicture, RoseHeadingFailureShowsTheLegendAndNoMarker) {
    Ahrs1.valid[1] = 1;
    FGC_comp_HSI1_heading_sel = 0;
    platform::DrawBeginPaint(dc);
    EhsiRoseDraw(Paint());
    ASSERT_NE(FindText("HDG"), nullptr);
    ASSERT_NE(FindText("FAIL"), nullptr);
    EXPECT_EQ(FindText("FAIL")->colour, DimColour(EfisPalette[kEfisMagenta]));
    EXPECT_TRUE(Is(74, 8, kEfisMagenta));
    EXPECT_FALSE(Is(78, 10, kEfisCyan));
}

TEST_F(NavigationPicture, LateralDeviationScale) {
    const struct {
        double value;
        double units;
    } cases[] = {{127, 20.0},       {129, -20.0}, {128, -128.0 * 20 / 127}, {255, -20.0 / 127},
                 {-1, -20.0 / 127}, {0, 0},       {63.5, 63.5 * 20 / 127}};
    for (const auto& c : cases) {
        NavSources[kNavVor1].lateral_deviation = c.value;
        EXPECT_NEAR(EhsiLateralDeviation(0), c.units, 1e-9) << c.value;
    }
    // Back course on a localiser turns it over.
    NavSources[kNavVor1].lateral_deviation = 127;
    NavSources[kNavVor1].receive_state = 2;
    FdBarSense = 1;
    EXPECT_NEAR(EhsiLateralDeviation(0), -20.0, 1e-9);
}

TEST_F(NavigationPicture, DeviationBarTwoDotsRightOrRedCross) {
    Ahrs1.heading = 40;
    NavSources[kNavVor1].course = 40;  // the course pointer straight up
    NavSources[kNavVor1].lateral_deviation = 127;
    EhsiCoursePointerDraw(Paint());
    // The bar's left side x = 81 + 20 (one-pixel window), nothing at 81.
    EXPECT_TRUE(Yellowish(101, 60));
    EXPECT_FALSE(Yellowish(81, 60));
    EXPECT_FALSE(Is(60, 60, kEfisRed));

    std::fill(pixels.begin(), pixels.end(), 0);
    NavSources[kNavVor1].deviation_valid = 0;
    EhsiCoursePointerDraw(Paint());
    EXPECT_FALSE(Yellowish(101, 60));
    EXPECT_TRUE(Is(60, 60, kEfisRed));
    EXPECT_TRUE(Is(60, 70, kEfisRed));
    // The course arrow is there either way.
    EXPECT_TRUE(Is(84, 20, kEfisYellow));

    // In the system test the rose shows both; the arc only the cross.
    std::fill(pixels.begin(), pixels.end(), 0);
    FGC_comp_FGC1_system_test_timer = 346;
    EhsiCoursePointerDraw(Paint());
    EXPECT_TRUE(Yellowish(101, 60));
    EXPECT_TRUE(Is(60, 60, kEfisRed));
}

TEST_F(NavigationPicture, LostSignalParksThePointerAndHidesIt) {
    DisplayControlState1.BearingPointerSource[0] = kNavVor1;
    NavSources[kNavVor1].bearing_valid = 1;
    NavSources[kNavVor1].bearing = 100;
    EhsiBearing1Update(set);
    EXPECT_DOUBLE_EQ(set.pointers[0].angle, 100);
    EXPECT_TRUE(set.pointers[0].shown);
    NavSources[kNavVor1].bearing_valid = 0;
    NavSources[kNavVor1].bearing = 90;
    for (double expected : {98.0, 96.0, 94.0}) {
        EhsiBearing1Update(set);
        EXPECT_DOUBLE_EQ(set.pointers[0].angle, expected);
        EXPECT_TRUE(set.pointers[0].shown);
    }
    EhsiBearing1Update(set);
    EXPECT_DOUBLE_EQ(set.pointers[0].angle, 94);
    EXPECT_FALSE(set.pointers[0].shown);
    // The signal returns at 120: 4-degree slews while the countdown runs
    // (asking for redraws), then it follows the bearing.
    NavSources[kNavVor1].bearing_valid = 1;
    NavSources[kNavVor1].bearing = 120;
    EhsiBearing1Update(set);  // still parked: arms nothing yet
    RedrawRequest.store(0);
    std::vector<double> seen;
    for (int k = 0; k < 12 && set.pointers[0].countdown != 0; ++k) {
        EhsiBearing1Update(set);
        seen.push_back(set.pointers[0].angle);
    }
    EhsiBearing1Update(set);
    EXPECT_DOUBLE_EQ(set.pointers[0].angle, 120);
    EXPECT_TRUE(set.pointers[0].shown);
    ASSERT_FALSE(seen.empty());
    for (size_t k = 1; k < seen.size(); ++k) EXPECT_LE(seen[k] - seen[k - 1], 4.0);
}

TEST_F(NavigationPicture, PointerDrawnOnTheRoseAtItsAngle) {
    DisplayControlState1.BearingPointerSource[0] = kNavVor1;
    NavSources[kNavVor1].bearing_valid = 1;
    NavSources[kNavVor1].bearing = 90;
    EhsiBearingPointersDraw(Paint());
    // Turned 90 degrees: the head (84, 19)-(84, 37) lies along y 65 right of
    // the centre.
    SetRotation(84, 65, 90.0f, 0);
    const int x = RotX(84, 25), y = RotY(84, 25);
    SetRotation(0, 0, 0.0f, 0);
    EXPECT_TRUE(Is(x, y, kEfisCyan));
    EXPECT_FALSE(Is(84, 25, kEfisCyan));
    // Hidden pointer: nothing.
    std::fill(pixels.begin(), pixels.end(), 0);
    set.pointers[0].shown = false;
    NavSources[kNavVor1].bearing_valid = 0;
    set.pointers[0].angle = 90;
    EhsiBearingPointersDraw(Paint());
    EXPECT_FALSE(Is(x, y, kEfisCyan));
}

TEST_F(NavigationPicture, ArcReadoutsAndHalfRangeLabel) {
    Ahrs1.heading = 90.7;
    DisplayControlState1.Mode = 1;
    WxRange = 100;
    platform::DrawBeginPaint(dc);
    EhsiArcDraw(Paint());
    const platform::DrawTextEntry* heading = FindText("090");
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->x, 84);
    EXPECT_EQ(heading->y, 1);
    const platform::DrawTextEntry* half = FindText(" 50");
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(half->x, 47);
    EXPECT_EQ(half->y, 92);
    // No card label at or below y 76.
    for (int i = 0; i < platform::DrawTextCount(dc); ++i)
        EXPECT_LT(platform::DrawTexts(dc)[i].y, 93);

    WxRange = 25;
    platform::DrawBeginPaint(dc);
    EhsiArcDraw(Paint());
    EXPECT_NE(FindText("12.5"), nullptr);

    // An absurd range is cut to the label's buffer, not written past it.
    WxRange = 2000000000;
    platform::DrawBeginPaint(dc);
    EhsiArcDraw(Paint());
    EXPECT_NE(FindText("1000000"), nullptr);
}

TEST_F(NavigationPicture, ArcCardIsClippedToTheTrapezoid) {
    DisplayControlState1.Mode = 1;
    EhsiArcDraw(Paint());
    // The outer range arc passes (84, 20) at the top; its ends at -148 and
    // -28 degrees run out of the trapezoid, whose left edge at y 60 is
    // x = 12 + 48 x 60/126 = 34.8.
    bool painted_inside = false;
    for (int y = 19; y <= 21; ++y) painted_inside |= !Blank(84, y);
    EXPECT_TRUE(painted_inside);
    for (int y = 40; y < 90; ++y) {
        const int edge = 12 + 48 * y / 126;
        for (int x = 0; x < edge - 1; ++x) {
            ASSERT_TRUE(Blank(x, y)) << x << "," << y;
        }
    }
}

TEST_F(NavigationPicture, ReadoutTextsAreBounded) {
    NavSources[kNavVor1].distance_valid = 1;
    NavSources[kNavVor1].distance = 100.0;
    platform::DrawBeginPaint(dc);
    EhsiNavReadoutsDraw(Paint());
    EXPECT_NE(FindText("100"), nullptr);
    NavSources[kNavVor1].distance = 99.96;
    platform::DrawBeginPaint(dc);
    EhsiNavReadoutsDraw(Paint());
    EXPECT_NE(FindText("100.0"), nullptr);
    // Far beyond the buffer: cut to its nine characters.
    NavSources[kNavVor1].distance = 1e15;
    platform::DrawBeginPaint(dc);
    EhsiNavReadoutsDraw(Paint());
    EXPECT_NE(FindText("100000000"), nullptr);
    NavSources[kNavVor1].distance_valid = 0;
    platform::DrawBeginPaint(dc);
    EhsiNavReadoutsDraw(Paint());
    EXPECT_NE(FindText("N/A"), nullptr);
    // Heading-source reversion: side 1 names MAG2 for its own toggle, MAG1
    // for the other side's.
    DisplayFormatFlags1[1] = 1;
    platform::DrawBeginPaint(dc);
    EhsiNavReadoutsDraw(Paint());
    EXPECT_NE(FindText("MAG2"), nullptr);
    DisplayFormatFlags1[1] = 0;
    DisplayControlState2.Transfer[1] = 1;
    platform::DrawBeginPaint(dc);
    EhsiNavReadoutsDraw(Paint());
    EXPECT_NE(FindText("MAG1"), nullptr);
    // Side 2 the other way round, and HDG1 on its composite readout.
    const EhsiPaint side2{EhsiSets[2], set.regions, dc, dc};
    Ahrs2.valid[1] = 0;
    platform::DrawBeginPaint(dc);
    EhsiNavReadoutsDraw(side2);
    CompositeReadoutsDraw(side2);
    DisplayControlState2.Transfer[1] = 0;
    EXPECT_NE(FindText("MAG1"), nullptr);
    EXPECT_NE(FindText("HDG1"), nullptr);
    EXPECT_EQ(FindText("MAG2"), nullptr);
    // The other side's nav-source reversion turns the name yellow.
    DisplayControlState2.Transfer[0] = 1;
    platform::DrawBeginPaint(dc);
    EhsiNavReadoutsDraw(Paint());
    DisplayControlState2.Transfer[0] = 0;
    ASSERT_NE(FindText("VOR1"), nullptr);
    EXPECT_EQ(FindText("VOR1")->colour, DimColour(EfisPalette[kEfisYellow]));
}

// The composite tape's selected-heading marker sits at x = 84 + d / 2, d
// the whole-degree difference from the heading to the selection wrapped to
// -179..180, and shows only for 20 < x < 110: 52 degrees right (x 110) is
// not drawn, 51 is; to the left it reaches down to -127.
TEST_F(NavigationPicture, CompositeTapeMarkerFollowsTheWholeDegreeDifference) {
    platform::DrawContext* rec = platform::DrawContextCreateRecording(168, 130);
    const EhsiPaint paint{set, set.regions, rec, rec};
    struct Case {
        double heading;
        int32_t selected;
        int32_t x;  // 0: not drawn
    };
    for (const Case c :
         {Case{0.0, 52, 0}, Case{0.0, 51, 109}, Case{359.9, 51, 0}, Case{359.9, 50, 109},
          Case{0.0, 233, 21}, Case{0.0, 232, 0}, Case{350.7, 10, 94}, Case{10.2, 190, 0}}) {
        Ahrs1.heading = c.heading;
        FGC_comp_HSI1_heading_sel = c.selected;
        platform::DrawRecordClear(rec);
        CompositeHeadingTapeDraw(paint);
        int markers = 0;
        bool at_x = false;
        for (int i = 0; i < platform::DrawRecordedCount(rec); ++i) {
            const platform::DrawCall& call = platform::DrawRecordedCalls(rec)[i];
            // The marker's left edge: (x - 6, 106) up to (x - 6, 101).
            if (call.op != platform::DrawOp::LineTo || call.rect.top != 106 ||
                call.rect.bottom != 101 || call.rect.left != call.rect.right)
                continue;
            ++markers;
            at_x |= call.rect.left == c.x - 6;
        }
        EXPECT_EQ(markers, c.x != 0 ? 1 : 0) << c.heading << " " << c.selected;
        EXPECT_EQ(at_x, c.x != 0) << c.heading << " " << c.selected;
    }
    platform::DrawContextDestroy(rec);
}

// A flight plan of legs due north of the aircraft at the given distances.
struct NavigationMap : NavigationPicture {
    void SetUp() override {
        NavigationPicture::SetUp();
        DisplayControlState1.Mode = 2;
        WxRange = 50;
        NavHeading = 0;
        AircraftPosition = {0.0, 0.0, 0.0, 0.0};
        FlightPlan = LegList{};
        FmsToLegCopy = LegRecord{};
        FmsNextLeg = LegRecord{};
        FmsToLegIndex = -1;
        FmsNextLegIndex = -1;
        EhsiMapPhase[0] = 0;
    }
    void TearDown() override {
        FlightPlan.count = 0;
        FmsToLegIndex = FmsNextLegIndex = -1;
        NavigationPicture::TearDown();
    }
    void AddLeg(const char* ident, double nm) {
        LegRecord& leg = FlightPlan.legs[FlightPlan.count++];
        leg = LegRecord{};
        std::strncpy(leg.ident, ident, sizeof leg.ident - 1);
        std::strncpy(leg.label, "K7", sizeof leg.label - 1);
        leg.end_latitude = nm / 60.0;
        leg.end_longitude = 0;
        leg.fixed_distance = 1;
    }
    int ExpectedRadius(double nm) {
        GreatCircleDistanceCourse(nm / 60.0, 0, 0, 0);
        return static_cast<int>(110 - GreatCircleDistanceCourseResult.distance * 92 / 50);
    }
};

TEST_F(NavigationMap, WaypointsAtTheirProjectedRadius) {
    const double distances[7] = {5, 10, 15, 20, 25, 30, 35};
    const char* names[7] = {"ALPHA", "BRAVOXRAY", "CHARL", "DELTA", "ECHO", "FOXT", "GOLF"};
    for (int k = 0; k < 7; ++k) AddLeg(names[k], distances[k]);
    FlightPlan.legs[3].leg_class = 5;  // not shown
    FmsToLegIndex = 1;
    platform::DrawBeginPaint(dc);
    EhsiMapDraw(Paint());
    // Legs 0..4 are looked at; leg 3 is no candidate: four entries.
    ASSERT_EQ(set.map.last, 3);
    const int expected_legs[4] = {0, 1, 2, 4};
    for (int e = 0; e < 4; ++e) {
        const EhsiMapEntry& entry = set.map.entries[e];
        EXPECT_EQ(entry.x, 84);
        EXPECT_EQ(entry.y, ExpectedRadius(distances[expected_legs[e]])) << e;
        EXPECT_EQ(entry.highlight, expected_legs[e] == 1 ? 1 : 0);
    }
    // Names are the fix identifiers, at most six characters, left of the
    // point; the TO waypoint's in magenta.
    const platform::DrawTextEntry* bravo = FindText("BRAVOX");
    ASSERT_NE(bravo, nullptr);
    EXPECT_EQ(bravo->x, 84 - 3 * 6 - 4);
    EXPECT_EQ(bravo->y, ExpectedRadius(10) - 5);
    EXPECT_EQ(bravo->colour, DimColour(EfisPalette[kEfisMagenta]));
    // The waypoint star's right tip (off the route line), in its pen.
    EXPECT_TRUE(Is(88, ExpectedRadius(25), kEfisWhite));
    EXPECT_TRUE(Is(88, ExpectedRadius(10), kEfisMagenta));
    // The route runs from the last point down to the first, not to the
    // aircraft (the first waypoint is not the TO waypoint).
    EXPECT_FALSE(Blank(84, ExpectedRadius(20) + 2));
    EXPECT_TRUE(Blank(84, ExpectedRadius(5) + 7));
    EXPECT_EQ(EhsiMapPhase[0], 1);
}

// Byte 162 of a leg is its label (the region code, or "PPOS", "PVOR"): read
// from there every waypoint of a region would show the same two letters.
TEST_F(NavigationMap, WaypointNamesMendAreTheIdentifiersAtByte9NotTheLabelsAt162) {
    static_assert(offsetof(LegRecord, ident) == 9 && offsetof(LegRecord, label) == 162);
    AddLeg("ALPHA", 5);
    AddLeg("BRAVO", 10);
    std::strncpy(FlightPlan.legs[1].label, "PPOS", sizeof FlightPlan.legs[1].label - 1);
    platform::DrawBeginPaint(dc);
    EhsiMapDraw(Paint());
    ASSERT_EQ(set.map.last, 1);
    EXPECT_STREQ(set.map.entries[0].name, "ALPHA");
    EXPECT_STREQ(set.map.entries[1].name, "BRAVO");
    EXPECT_NE(FindText("ALPHA"), nullptr);
    EXPECT_NE(FindText("BRAVO"), nullptr);
    EXPECT_EQ(FindText("K7"), nullptr);
    EXPECT_EQ(FindText("PPOS"), nullptr);
}

TEST_F(NavigationMap, NextLegFirstAndFiveEntriesAtMost) {
    for (int k = 0; k < 9; ++k) AddLeg("WPT", 3.0 * (k + 1));
    FmsNextLeg = FlightPlan.legs[2];
    FmsNextLeg.list_kind = kSlotFilled;
    FmsNextLegIndex = 2;
    FmsToLegCopy = FlightPlan.legs[1];
    FmsToLegCopy.list_kind = kSlotFilled;
    FmsToLegIndex = 1;
    EhsiMapDraw(Paint());
    // TO, NEXT, then plan legs 3..6: capped at five.
    ASSERT_EQ(set.map.last, 4);
    EXPECT_EQ(set.map.entries[0].y, ExpectedRadius(6));
    EXPECT_EQ(set.map.entries[1].y, ExpectedRadius(9));
    EXPECT_EQ(set.map.entries[4].y, ExpectedRadius(18));
    EXPECT_EQ(set.map.entries[0].highlight, 1);
    EXPECT_EQ(set.map.entries[1].highlight, 1);
    EXPECT_EQ(set.map.entries[2].highlight, 0);
}

TEST_F(NavigationMap, ListIsKeptUntilTheRangeChangesOrTheEighthDraw) {
    AddLeg("ONE", 10);
    EhsiMapDraw(Paint());
    const int y50 = set.map.entries[0].y;
    // The plan moves; the stored list is drawn until the phase wraps.
    FlightPlan.legs[0].end_latitude = 20 / 60.0;
    for (int k = 1; k < 8; ++k) {
        EhsiMapDraw(Paint());
        EXPECT_EQ(set.map.entries[0].y, y50);
    }
    EhsiMapDraw(Paint());
    EXPECT_EQ(set.map.entries[0].y, ExpectedRadius(20));
    // A range change rebuilds at once.
    WxRange = 100;
    EhsiMapDraw(Paint());
    GreatCircleDistanceCourse(20 / 60.0, 0, 0, 0);
    EXPECT_EQ(set.map.entries[0].y, EhsiMapRadius(GreatCircleDistanceCourseResult.distance, 100));
    // A range of 0 leaves the point far off the screen, not overflowing.
    WxRange = 0;
    EhsiMapDraw(Paint());
    EXPECT_LT(set.map.entries[0].y, -29000);
}

// The HSI1 gauge painting its placed surface through the frame step.
struct NavigationFrame : ::testing::Test {
    static constexpr int kW = 168;
    static constexpr int kH = 134;
    std::vector<uint8_t> pixels = std::vector<uint8_t>(kW * kH * 4, 0);
    gauge::DrawingSurface surface{};
    gauge::ElementHeader element{};
    DisplayScreen& hsi1 = DisplayScreens[4];

    void SetUp() override {
        CreateEfisResources();
        SmoothStartup();
        surface = {kW,
                   kH,
                   kW * 4,
                   static_cast<uint32_t>(pixels.size()),
                   pixels.data(),
                   platform::DrawContextCreate(pixels.data(), kW, kH, kW * 4)};
        element.image_flags = gauge::kImageDrawnSurface | gauge::kImageOnScreen;
        element.surface = &surface;
        DisplayKill(hsi1);
        hsi1.last_drawn_tick = 0;
        hsi1.pictures = 0;
        DisplayWarmUp[kNavigationDisplay][0] = 0;
        HalfRateSkip[2] = 0;
        SgTransfer[0] = SgTransfer[1] = 0;
        BusPowered.set(kPoweredLeftEssential, 1);
        TickCounter.store(1000);
        Ahrs1.valid[1] = Ahrs2.valid[1] = 0;
        Ahrs1.heading = 90.4;
        Ahrs2.heading = 200.2;
        DisplayControlState1.Mode = 1;
        DisplayControlState2.Mode = 2;
        DisplayFormat[0] = DisplayFormat[1] = 0;
        WxRange = 100;
    }
    void TearDown() override {
        DisplayKill(hsi1);
        platform::DrawContextDestroy(static_cast<platform::DrawContext*>(surface.context));
        SmoothShutdown();
        DeleteEfisResources();
        BusPowered.set(kPoweredLeftEssential, 0);
        SgTransfer[0] = 0;
        DisplayControlState1.Mode = DisplayControlState2.Mode = 0;
        Ahrs1.heading = Ahrs2.heading = 0;
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            TickCounter.fetch_add(1);
            DisplayFrameStep(hsi1, &element);
        }
    }
    const platform::DrawTextEntry* FindText(const char* text) const {
        const auto* dc = static_cast<const platform::DrawContext*>(surface.context);
        for (int i = 0; i < platform::DrawTextCount(dc); ++i) {
            if (std::strcmp(platform::DrawTexts(dc)[i].text, text) == 0)
                return &platform::DrawTexts(dc)[i];
        }
        return nullptr;
    }
};

TEST_F(NavigationFrame, ArcPictureTextsAfterTheWarmUp) {
    Frames(37);
    ASSERT_EQ(hsi1.pictures, 1u);
    const platform::DrawTextEntry* heading = FindText("090");
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->x, 84);
    EXPECT_EQ(heading->y, 1);
    const platform::DrawTextEntry* half = FindText(" 50");
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(half->x, 47);
    EXPECT_EQ(half->y, 92);
}

TEST_F(NavigationFrame, TransferShowsTheOtherSidesDataClippedByItsOwnSurface) {
    // HSI2 was never set up here: its set is shown all the same, clipped by
    // HSI1's own regions.
    SgTransfer[0] = 1;
    Frames(37);
    ASSERT_EQ(hsi1.pictures, 1u);
    EXPECT_NE(FindText("200"), nullptr);
    EXPECT_EQ(FindText("090"), nullptr);
    // The map's route and card are painted (HSI2's set has no regions of
    // its own: HSI1's clip them).
    EXPECT_EQ(EhsiSetOf(1, false).regions.width, 0);
    int painted = 0;
    for (int y = 30; y < 90; ++y) {
        for (int x = 60; x < 108; ++x) painted += pixels[(y * kW + x) * 4] > 100;
    }
    EXPECT_GT(painted, 20);
}

}  // namespace
}  // namespace zu
