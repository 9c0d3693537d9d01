#include "displays/attitude_display.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/ahrs.h"
#include "core/autopilot_control_laws.h"
#include "core/flight_guidance.h"
#include "core/flight_guidance_annunciation.h"
#include "core/host_panel_services.h"
#include "core/ice_protection.h"
#include "core/nav_sources.h"
#include "core/radio_altitude_alerting.h"
#include "displays/efis_resources.h"
#include "displays/navigation_display.h"
#include "displays/sg_select_panels.h"
#include "panels/display_control_panels.h"
#include "panels/id809_panels.h"

namespace zu {
namespace {

// A surface at design size: 168 x 131 design units on 168 x 134 pixels.
struct AttitudePicture : ::testing::Test {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(168 * 134 * 4, 0);
    platform::DrawContext* dc = nullptr;
    EadiClipRegions regions = EadiMakeClipRegions(168, 131);
    void SetUp() override {
        CreateEfisResources();
        DisplayBrightness = 191;
        DisplayFormat[0] = 0;
        dc = platform::DrawContextCreate(pixels.data(), 168, 134, 168 * 4);
        platform::DrawSetMapping(dc, 168, 131, 168, 131);
        SmoothSetBrightness(255);
        SmoothSetAlpha(255);
        Ahrs1.valid[0] = Ahrs1.valid[2] = 0;
        Ahrs1.bank = 0;
        Ahrs1.pitch = 0;
    }
    void TearDown() override {
        platform::DrawContextDestroy(dc);
        DeleteEfisResources();
        Ahrs1.valid[0] = Ahrs1.valid[2] = 0;
        Ahrs1.bank = 0;
    }
    const uint8_t* At(int x, int y) const { return &pixels[(y * 168 + x) * 4]; }
    bool Sky(int x, int y) const { return At(x, y)[2] > 200 && At(x, y)[0] < 50; }
    bool Ground(int x, int y) const { return At(x, y)[0] > 200 && At(x, y)[2] < 50; }
};

TEST_F(AttitudePicture, BankTurnsTheHorizon) {
    Ahrs1.bank = 30;
    EadiSphereDraw(dc, 0, regions);
    // Either side of the horizon turned 30 degrees clockwise about (84, 65).
    EXPECT_TRUE(Sky(92, 52));
    EXPECT_TRUE(Ground(76, 78));
    // Right of the centre the horizon lies lower: y = 65 + 16 tan 30 = 74.
    EXPECT_TRUE(Sky(100, 69));
    EXPECT_TRUE(Ground(100, 79));
    // Left of it higher.
    EXPECT_TRUE(Ground(68, 61));
    // Outside the sphere's clip nothing is painted.
    EXPECT_EQ(At(20, 65)[3], 0);
}

TEST_F(AttitudePicture, SphereClipsToTheEllipseAndTheCompositeNotch) {
    EadiSphereDraw(dc, 0, regions);
    // Inside the ellipse between the strips; its corners and the strips
    // stay clear.
    EXPECT_TRUE(Sky(84, 30));
    EXPECT_TRUE(Ground(84, 100));
    EXPECT_EQ(At(46, 20)[3], 0);   // above the ellipse's edge
    EXPECT_EQ(At(135, 65)[3], 0);  // the right strip
    EXPECT_EQ(At(40, 65)[3], 0);   // the speed scale's strip
    // Composite: nothing on the tape's rows or in the readout's notch,
    // while the same rows beside the notch are drawn.
    std::fill(pixels.begin(), pixels.end(), 0);
    DisplayFormat[0] = 1;
    EadiSphereDraw(dc, 0, regions);
    EXPECT_EQ(At(84, 100)[3], 0);
    EXPECT_EQ(At(84, 90)[3], 0);
    EXPECT_TRUE(Ground(60, 90));
    EXPECT_TRUE(Ground(110, 90));
    DisplayFormat[0] = 0;
    // The regions follow the surface's pixels: half size, half the notch.
    const EadiClipRegions half = EadiMakeClipRegions(84, 65);
    EXPECT_FALSE(platform::DrawRegionContains(half.composite, 42, 45));
    EXPECT_TRUE(platform::DrawRegionContains(half.composite, 30, 45));
    EXPECT_TRUE(platform::DrawRegionContains(half.normal, 42, 45));
}

TEST_F(AttitudePicture, PitchMovesTheHorizon) {
    // 3.4 units a degree; the transform's y offset moves the picture up by
    // the pitch value: the horizon at y 48.
    Ahrs1.pitch = 5;
    EadiSphereDraw(dc, 0, regions);
    EXPECT_TRUE(Sky(60, 44));
    EXPECT_TRUE(Ground(60, 52));
}

TEST_F(AttitudePicture, AttFailWhileAligning) {
    Ahrs1.valid[2] = 1;
    platform::DrawBeginPaint(dc);
    EadiSphereDraw(dc, 0, regions);
    ASSERT_EQ(platform::DrawTextCount(dc), 2);
    EXPECT_STREQ(platform::DrawTexts(dc)[0].text, "ATT");
    EXPECT_STREQ(platform::DrawTexts(dc)[1].text, "FAIL");
    EXPECT_EQ(platform::DrawTexts(dc)[0].colour, DimColour(EfisPalette[kEfisMagenta]));
    // The box outline in the dimmed magenta pen.
    EXPECT_EQ(At(80, 30)[0], 0xB0);
    EXPECT_EQ(At(80, 30)[1], 0x00);
    EXPECT_EQ(At(80, 30)[2], 0xB0);
    // Outside the box: the blue field (dimmed blue brush).
    EXPECT_EQ(At(60, 90)[2], 0xB0);
}

TEST_F(AttitudePicture, NothingWithoutResources) {
    DeleteEfisResources();
    EadiSphereDraw(dc, 0, regions);
    for (size_t i = 3; i < pixels.size(); i += 4) ASSERT_EQ(pixels[i], 0);
    CreateEfisResources();
}

// The other steps of the picture, read from a recording context (texts and
// calls in design units) or from pixels where the shape matters.
struct AttitudeSteps : AttitudePicture {
    platform::DrawContext* rec = nullptr;
    EadiSet set{0, false, -1, {}, 0, {}};
    void SetUp() override {
        AttitudePicture::SetUp();
        rec = platform::DrawContextCreateRecording(168, 131);
        RadioAltitudeReadoutValue = 1500;
        RadioAltNotReady = RadioAltOutOfRange = 0;
        FGC_comp_DH_altitude1 = 200;
        MarkerBeacons = 0;
        std::memset(&FgcSide1.fma, 0, sizeof FgcSide1.fma);
    }
    void TearDown() override {
        platform::DrawContextDestroy(rec);
        RadioAltitudeReadoutValue = 0;
        FGC_comp_DH_altitude1 = 200;
        MarkerBeacons = 0;
        StallWarningState = {};
        VerticalSpeed = 0;
        FgcMessageState1.code.store(0);
        FgcMessageState1.upper_time = 0;
        FgcMessageState1.code3_flag = 0;
        FgcMessageState1.lower_time = 0;
        std::memset(FgcMessageLines, 0, sizeof FgcMessageLines);
        std::memset(&FgcSide1.fma, 0, sizeof FgcSide1.fma);
        Id809BlankCountdown[0] = Id809BlankCountdown[1] = 0;
        FGC_comp_AP1_lateral_mode = 7;
        FGC_comp_AP1_vertical_mode = 5;
        FlightDirectorRollCommand = FlightDirectorPitchCommand = 0;
        SgTransfer[0] = SgTransfer[1] = 0;
        DisplayFormatFlags1[2] = 0;
        AttitudePicture::TearDown();
    }
    // The texts of the recorded picture.
    bool HasText(const char* text, int32_t x, int32_t y) const {
        for (int32_t i = 0; i < platform::DrawTextCount(rec); ++i) {
            const platform::DrawTextEntry& t = platform::DrawTexts(rec)[i];
            if (std::strcmp(t.text, text) == 0 && t.x == x && t.y == y) return true;
        }
        return false;
    }
    bool HasCall(platform::DrawOp op, platform::DrawRect r) const {
        for (int32_t i = 0; i < platform::DrawRecordedCount(rec); ++i) {
            const platform::DrawCall& c = platform::DrawRecordedCalls(rec)[i];
            if (c.op == op && c.rect.left == r.left && c.rect.top == r.top &&
                c.rect.right == r.right && c.rect.bottom == r.bottom) {
                return true;
            }
        }
        return false;
    }
    void Record(void (*step)(AttitudeSteps&)) {
        platform::DrawRecordClear(rec);
        platform::DrawBeginPaint(rec);
        step(*this);
    }
};

TEST_F(AttitudeSteps, RunwayRisesBelowTwoHundredFeet) {
    RadioAltitudeReadoutValue = 199;
    EadiAircraftSymbolDraw(dc);
    // 199 / 6 = 33 units below its rest (73..77).
    EXPECT_GT(At(85, 108)[0], 0);
    EXPECT_EQ(At(85, 108)[2], 0);
    EXPECT_EQ(At(85, 104)[0], 0);
    std::fill(pixels.begin(), pixels.end(), 0);
    RadioAltitudeReadoutValue = 200;
    EadiAircraftSymbolDraw(dc);
    EXPECT_EQ(At(85, 108)[0], 0);
    // The wings stay.
    EXPECT_GT(At(60, 65)[0], 0);
}

// The sphere's region stays selected into the context until the flight
// director's step: in the composite format (aircraft symbol first) it cuts
// the rising runway at the readout's notch. The roll scale above the sphere
// is drawn in both formats, the speed scale's cross beside it in the normal
// one.
TEST_F(AttitudeSteps, TheSphereRegionCutsTheCompositeRunwayOnly) {
    RadioAltitudeReadoutValue = 100;  // runway 16 units down: rows 89..92
    const uint8_t unpowered = StallWarnUnpowered;
    StallWarnUnpowered = 1;
    const uint32_t brown = platform::DrawObjectColour(EfisBrushes[kEfisBrown]);
    const auto runway_in_notch = [&] {
        int n = 0;
        for (int y = 88; y < 96; ++y) {
            for (int x = 75; x < 94; ++x) {
                const uint8_t* p = At(x, y);
                n += (p[0] | (p[1] << 8) | (p[2] << 16)) == static_cast<int>(brown);
            }
        }
        return n;
    };
    for (int32_t format : {0, 1}) {
        std::fill(pixels.begin(), pixels.end(), 0);
        DisplayFormat[0] = format;
        EadiPictureDraw(dc, set, regions);
        EXPECT_GT(At(85, 6)[0], 0x80) << format;  // the roll scale's zero index
        if (format == 0) {
            EXPECT_GT(runway_in_notch(), 20);
            EXPECT_GT(At(31, 65)[0], 0x80);  // the red cross
            EXPECT_EQ(At(31, 65)[1], 0);
        } else {
            EXPECT_EQ(runway_in_notch(), 0);
        }
    }
    DisplayFormat[0] = 0;
    StallWarnUnpowered = unpowered;
}

TEST_F(AttitudeSteps, DecisionHeightBoxShowsInsideItsWindowOnly) {
    for (int32_t ra : {160, 161, 219, 220}) {
        RadioAltitudeReadoutValue = ra;
        Record([](AttitudeSteps& t) { EadiRadioAltitudeDraw(t.rec, t.set); });
        EXPECT_EQ(HasText("DH", 117, 119), ra == 161 || ra == 219) << ra;
        EXPECT_TRUE(HasText("DH", 38, 119));
        EXPECT_TRUE(HasText("200", 20, 120));
    }
    EXPECT_TRUE(HasText("  220", 134, 120));
    FGC_comp_DH_altitude1 = 40;  // never the box
    RadioAltitudeReadoutValue = 20;
    Record([](AttitudeSteps& t) { EadiRadioAltitudeDraw(t.rec, t.set); });
    EXPECT_FALSE(HasText("DH", 117, 119));
    RadioAltNotReady = 1;
    Record([](AttitudeSteps& t) { EadiRadioAltitudeDraw(t.rec, t.set); });
    EXPECT_TRUE(HasText("----", 134, 120));
    RadioAltOutOfRange = 1;  // readout gone, decision height kept
    Record([](AttitudeSteps& t) { EadiRadioAltitudeDraw(t.rec, t.set); });
    EXPECT_FALSE(HasText("RA", 156, 119));
    EXPECT_TRUE(HasText(" 40", 20, 120));
}

TEST_F(AttitudeSteps, SpeedAndVerticalSpeedPointersScale) {
    StallWarningState.output[0] = -4820;
    const uint8_t unpowered = StallWarnUnpowered;
    StallWarnUnpowered = 0;
    Record([](AttitudeSteps& t) { EadiSpeedScaleDraw(t.rec, 0); });
    EXPECT_TRUE(HasCall(platform::DrawOp::LineTo, {21, 74, 27, 74}));
    // The anti-ice selector shifts it: 0 - 8192 gives 16 units.
    StallWarningState.output[0] = 0;
    IceProtectionState.AntiIceSelector = 1;
    Record([](AttitudeSteps& t) { EadiSpeedScaleDraw(t.rec, 0); });
    EXPECT_TRUE(HasCall(platform::DrawOp::LineTo, {21, 80, 27, 80}));
    IceProtectionState.AntiIceSelector = 0;
    // Without stall-warning power a red cross replaces the pointer.
    StallWarnUnpowered = 1;
    Record([](AttitudeSteps& t) { EadiSpeedScaleDraw(t.rec, 0); });
    EXPECT_FALSE(HasCall(platform::DrawOp::LineTo, {21, 64, 27, 64}));
    EXPECT_TRUE(HasCall(platform::DrawOp::SmoothLine, {27 * 16, 31 * 16, 35 * 16, 100 * 16}));
    StallWarnUnpowered = unpowered;
    VerticalSpeed = 1000;
    Record([](AttitudeSteps& t) { EadiBottomScaleDraw(t.rec, 0); });
    EXPECT_TRUE(HasCall(platform::DrawOp::LineTo, {98, 124, 96, 129}));
    VerticalSpeed = -19;
    Record([](AttitudeSteps& t) { EadiBottomScaleDraw(t.rec, 0); });
    EXPECT_TRUE(HasCall(platform::DrawOp::LineTo, {83, 124, 81, 129}));
}

// With a localiser received or a flight-management source the bottom
// scale is the navigation display's deviation scale (diamonds at 64, 74, 94
// and 104, centre mark 84, y 122..128) in place of the vertical-speed one.
TEST_F(AttitudeSteps, BottomScaleGivesWayToTheDeviationScale) {
    const NavSourceRecord vor = NavSources[kNavVor1];
    const NavSourceRecord fms = NavSources[kNavFms1];
    const int32_t selected = NavSourceSel1;
    const EhsiClipRegions nav_regions = EhsiMakeClipRegions(168, 131);
    const EhsiPaint nav{EhsiSetOf(0, false), nav_regions, rec, rec};
    NavSources[kNavVor1].kind = 1;
    NavSources[kNavFms1].kind = 4;
    NavSources[kNavFms1].receive_state = 0;
    struct Case {
        int32_t source;
        int32_t receive_state;
        bool deviation;
    };
    for (const Case c :
         {Case{kNavVor1, 2, true}, Case{kNavVor1, 1, false}, Case{kNavFms1, 0, true}}) {
        NavSourceSel1 = c.source;
        NavSources[kNavVor1].receive_state = c.receive_state;
        platform::DrawRecordClear(rec);
        EadiPictureDraw(rec, set, regions, &nav);
        EXPECT_EQ(HasCall(platform::DrawOp::LineTo, {84, 122, 84, 128}), c.deviation) << c.source;
        EXPECT_EQ(HasCall(platform::DrawOp::LineTo, {68, 126, 68, 121}), !c.deviation) << c.source;
    }
    NavSources[kNavVor1] = vor;
    NavSources[kNavFms1] = fms;
    NavSourceSel1 = selected;
}

TEST_F(AttitudeSteps, FmaTextsHighlightsAndEngageMessages) {
    std::strcpy(FgcSide1.fma.lateral, "HDG");
    std::strcpy(FgcSide1.fma.vertical, "ALT");
    FGC_comp_AP1_lateral_mode = 1;
    FGC_comp_AP1_vertical_mode = 1;
    Id809BlankCountdown[0] = 5;
    FgcMessageState1.upper_time = 3;
    FGC_comp_AP1_engaged = 1;
    std::strcpy(FgcMessageLines[1], "AP ENG");
    Record([](AttitudeSteps& t) { EadiFmaDraw(t.rec, t.set); });
    EXPECT_TRUE(HasText("HDG", 53, -1));
    EXPECT_TRUE(HasText("ALT", 140, -1));
    EXPECT_TRUE(HasText("AP ENG", 150, 100));
    EXPECT_TRUE(HasCall(platform::DrawOp::LineTo, {127, -1, 136, -1}));  // 3 characters
    EXPECT_FALSE(HasCall(platform::DrawOp::LineTo, {44, -1, 53, -1}));
    // A marker suppresses the messages; mode 2 reads "VS".
    MarkerBeacons = 4;
    FGC_comp_AP1_vertical_mode = 2;
    Record([](AttitudeSteps& t) {
        EadiFmaDraw(t.rec, t.set);
        EadiMarkerDraw(t.rec);
    });
    EXPECT_FALSE(HasText("AP ENG", 150, 100));
    EXPECT_TRUE(HasText("VS", 140, -2));
    EXPECT_TRUE(HasText("I", 150, 105));
    FGC_comp_AP1_engaged = 0;
}

TEST_F(AttitudeSteps, SourceLegendsNameTheOtherSide) {
    SgTransfer[0] = 1;
    DisplayFormatFlags1[2] = 1;
    Record([](AttitudeSteps& t) {
        EadiSgSourceDraw(t.rec, 1);
        EadiAttSourceDraw(t.rec, 1);
    });
    EXPECT_TRUE(HasText("2", 38, 53));  // side 2's own byte is clear
    EXPECT_TRUE(HasText("ATT2", 32, 7));
    Ahrs2.valid[0] = 1;  // no attitude: no legend
    Record([](AttitudeSteps& t) { EadiAttSourceDraw(t.rec, 1); });
    EXPECT_EQ(platform::DrawTextCount(rec), 0);
    Ahrs2.valid[0] = 0;
}

TEST_F(AttitudeSteps, FlightDirectorBarsFollowTheCommands) {
    FGC_comp_AP1_lateral_mode = 1;
    FGC_comp_AP1_vertical_mode = 1;
    FlightDirectorRollCommand = 10;   // bar at x 75
    FlightDirectorPitchCommand = -5;  // bar at y 65 - 18 = 47
    EadiFlightDirectorDraw(dc, 0, regions);
    EXPECT_GT(At(75, 80)[0], 0x40);
    EXPECT_GT(At(75, 80)[2], 0x40);
    EXPECT_EQ(At(75, 80)[1], 0);
    EXPECT_GT(At(100, 47)[0], 0x40);
    EXPECT_EQ(At(84, 80)[0], 0);
    // Attitude lost: no bars.
    std::fill(pixels.begin(), pixels.end(), 0);
    Ahrs1.valid[0] = 1;
    EadiFlightDirectorDraw(dc, 0, regions);
    EXPECT_EQ(At(75, 80)[0], 0);
}

}  // namespace
}  // namespace zu
