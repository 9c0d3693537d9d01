#include "displays/attitude_display.h"

#include <cstdio>
#include <cstring>

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

constexpr uint32_t kSmoothWhite = EfisBasicPalette[0];
constexpr uint32_t kSmoothBlue = EfisBasicPalette[3];
constexpr uint32_t kSmoothAmber = EfisBasicPalette[5];
constexpr uint32_t kSmoothRed = EfisBasicPalette[1];
constexpr uint32_t kSmoothMagenta = EfisBasicPalette[7];
constexpr const char* kPitchLabels[8] = {"10", "20", "30", "40", "50", "60", "70", "80"};

const AhrsRecord& Ahrs(int side) {
    return side == 0 ? Ahrs1 : Ahrs2;
}

// A design rectangle in a surface's device pixels: (W·x / 169, H·y / 131),
// truncated.
platform::DrawRect RegionRect(int32_t width, int32_t height, int32_t left, int32_t top,
                              int32_t right, int32_t bottom) {
    return {width * left / 169, height * top / 131, width * right / 169, height * bottom / 131};
}

// The sphere's turning point (design units, before the pitch shift).
float SphereCentreY(const AhrsRecord& a) {
    return 65.0f + static_cast<float>(a.pitch * 34.0 * 0.1);
}

void DrawSky(platform::DrawContext* dc, const AhrsRecord& a) {
    SmoothSetAlpha(148);
    const float p = static_cast<float>(a.pitch * 34.0 * 0.1);
    const auto b = static_cast<float>(a.bank);
    zu::SmoothSetTransform(dc, b, 84.0f, 65.0f + p, p);
    zu::SmoothFillRect(dc, 0, -100, 170, 165, kSmoothBlue);
    zu::SmoothFillRect(dc, 0, 65, 170, 185, kSmoothAmber);
    SmoothSetAlpha(255);
    zu::SmoothLine(dc, 0, 65, 250, 65, kSmoothWhite);
}

// How far from the turning point a mark of the ladder can show: the
// sphere's clip reaches less than 60 units from it, and the turn keeps
// every mark's distance from it. Marks beyond would paint nothing.
constexpr float kLadderReach = 80.0f;

// The pitch ladder about the turning point's row centre_y: its rungs and
// labels, those out of reach left out.
void DrawPitchLadder(platform::DrawContext* dc, float centre_y) {
    // Within reach: a mark spanning rows top to bottom (a label is 5 high).
    const auto near = [centre_y](int32_t top, int32_t bottom) {
        return static_cast<float>(top) - centre_y <= kLadderReach &&
               centre_y - static_cast<float>(bottom) <= kLadderReach;
    };
    const auto rung = [&](int32_t x1, int32_t y, int32_t x2) {
        if (near(y, y)) zu::SmoothLine(dc, x1, y, x2, y, kSmoothWhite);
    };
    for (int k = 1; k <= 8; ++k) {
        rung(70, 65 - 34 * k, 100);
        rung(70, 65 + 34 * k, 100);
        rung(78, 65 - 34 * k + 17, 92);
        rung(78, 65 + 34 * k - 17, 92);
    }
    for (int k = 1; k <= 8; ++k) {
        const int32_t above = 29 - 34 * (k - 1);
        const int32_t below = 97 + 34 * (k - 1);
        if (near(above, above + 5)) {
            DrawStrokeDigits(dc, 101, above, kPitchLabels[k - 1], 2, kSmoothWhite);
            DrawStrokeDigits(dc, 59, above, kPitchLabels[k - 1], 2, kSmoothWhite);
        }
        if (near(below, below + 5)) {
            DrawStrokeDigits(dc, 101, below, kPitchLabels[k - 1], 2, kSmoothWhite);
            DrawStrokeDigits(dc, 59, below, kPitchLabels[k - 1], 2, kSmoothWhite);
        }
    }
}

void DrawRollPointer(platform::DrawContext* dc, const AhrsRecord& a) {
    const auto b = static_cast<float>(a.bank);
    SetRotation(84, 65, b, 0);
    zu::SmoothSetTransform(dc, b, 84, 65, 0);
    zu::SmoothLine(dc, 85, 11, 83, 16, kSmoothWhite);
    zu::SmoothLine(dc, 83, 16, 87, 16, kSmoothWhite);
    zu::SmoothLine(dc, 87, 16, 85, 11, kSmoothWhite);
}

void DrawAttFail(platform::DrawContext* dc) {
    platform::DrawSelectObject(dc, EfisPens[kEfisBlue]);
    platform::DrawSelectObject(dc, EfisBrushes[kEfisBlue]);
    const platform::DrawPoint sky[4] = {{0, -100}, {170, -100}, {170, 300}, {0, 300}};
    platform::DrawPolygon(dc, sky, 4);
    platform::DrawSelectObject(dc, EfisPens[kEfisMagenta]);
    platform::DrawFillRectBrush(dc, {70, 30, 98, 45}, EfisBrushes[kEfisVariable]);
    platform::DrawMoveTo(dc, 70, 30);
    platform::DrawLineTo(dc, 98, 30);
    platform::DrawLineTo(dc, 98, 46);
    platform::DrawLineTo(dc, 70, 46);
    platform::DrawLineTo(dc, 70, 30);
    platform::DrawSetTextColour(dc, DimColour(EfisPalette[kEfisMagenta]));
    platform::DrawTextOut(dc, 84, 31, "ATT", 3);
    platform::DrawTextOut(dc, 84, 37, "FAIL", 4);
}

void SmoothPath(platform::DrawContext* dc, const float (*points)[2], int count) {
    SmoothMoveTo(points[0][0], points[0][1]);
    for (int i = 1; i < count; ++i) SmoothLineTo(dc, points[i][0], points[i][1], kSmoothWhite);
}

// The roll scale as last painted: its colour and what it painted (the
// same on every surface whose context is as it was drawn under).
uint32_t gRollScaleColour = 0;
platform::SmoothKeep gRollScaleKept;

void DrawRollScale(platform::DrawContext* dc) {
    zu::SmoothSetTransform(dc, 0, 0, 0, 0);
    SmoothResetClip(dc);
    platform::DrawSelectObject(dc, EfisPens[kEfisYellow]);
    static constexpr float kLeftBar[5][2] = {{42, 64}, {47, 64}, {47, 66}, {42, 66}, {42, 64}};
    static constexpr float kRightBar[5][2] = {
        {123, 64}, {128, 64}, {128, 66}, {123, 66}, {123, 64}};
    static constexpr float kZero[4][2] = {{85, 11}, {83, 6}, {87, 6}, {85, 11}};
    static constexpr float kLeft45[4][2] = {{45, 26}, {42, 26}, {45, 23}, {45, 26}};
    static constexpr float kRight45[4][2] = {{124, 26}, {127, 26}, {124, 23}, {124, 26}};
    static constexpr float kMarks[8][4] = {
        {75, 11, 74.5f, 8}, {94, 11, 94.5f, 8},    {66, 13, 65, 10}, {103, 12.7f, 104, 10},
        {57, 17, 54, 12},   {112, 16.7f, 115, 12}, {41, 41, 38, 39}, {128, 41, 131, 39}};
    const uint32_t colour = SmoothColour(kSmoothWhite);
    if (gRollScaleColour == colour && platform::SmoothReplay(dc, gRollScaleKept)) {
        // The pen where the paths leave it.
        SmoothMoveTo(kRight45[3][0], kRight45[3][1]);
        return;
    }
    platform::SmoothKeepBegin(dc, &gRollScaleKept);
    SmoothPath(dc, kLeftBar, 5);
    SmoothPath(dc, kRightBar, 5);
    SmoothPath(dc, kZero, 4);
    for (const auto& m : kMarks) SmoothLineF(dc, kSmoothWhite, m[0], m[1], m[2], m[3]);
    SmoothPath(dc, kLeft45, 4);
    SmoothPath(dc, kRight45, 4);
    platform::SmoothKeepEnd(dc);
    gRollScaleColour = colour;
}

}  // namespace

EadiClipRegions EadiMakeClipRegions(int32_t width, int32_t height) {
    EadiClipRegions r;
    r.width = width;
    r.height = height;
    // 1. The strips beside the sphere.
    const platform::DrawRect strip_a = RegionRect(width, height, 29, 0, 42, 131);
    const platform::DrawRect strip_b = RegionRect(width, height, 130, 0, 148, 131);
    // 2. The normal region.
    const platform::DrawRegion ellipse =
        platform::DrawRegionEllipse(RegionRect(width, height, 31, 11, 142, 117));
    platform::DrawRegionSubtractRect(&r.normal, ellipse, strip_a);
    platform::DrawRegionSubtractRect(&r.normal, r.normal, strip_b);
    // 3. The composite region: also without the tape's rows and the notch.
    platform::DrawRegionSubtractRect(&r.composite, r.normal,
                                     RegionRect(width, height, 29, 97, 200, 133));
    platform::DrawRegionSubtractRect(&r.composite, r.composite,
                                     RegionRect(width, height, 74, 87, 96, 97));
    return r;
}

const platform::DrawRegion& EadiSphereRegion(const EadiClipRegions& regions, int side) {
    return DisplayFormat[side != 0 ? 1 : 0] == 0 ? regions.normal : regions.composite;
}

bool EadiAttitudeAvailable(int side) {
    const AhrsRecord& a = Ahrs(side);
    return a.valid[0] == 0 && a.valid[2] == 0;
}

void EadiSphereDraw(platform::DrawContext* dc, int side, const EadiClipRegions& regions) {
    if (dc == nullptr || !EfisResourcesReady()) return;
    // 1. Clip and copy-pen. The context keeps the region after this step:
    // in the composite format it cuts the aircraft symbol and the runway.
    const platform::DrawRegion& region = EadiSphereRegion(regions, side);
    platform::DrawSelectClipRegion(dc, region);
    SmoothSetClip(dc, region);
    platform::DrawSetRop2(dc, platform::DrawRop2::CopyPen);
    // 2./3. The sphere, or ATT FAIL.
    if (EadiAttitudeAvailable(side)) {
        const AhrsRecord& a = Ahrs(side);
        DrawSky(dc, a);
        DrawPitchLadder(dc, SphereCentreY(a));
        DrawRollPointer(dc, a);
    } else {
        DrawAttFail(dc);
    }
    // 4. The fixed roll scale, unturned, free of the smooth clip.
    DrawRollScale(dc);
}

namespace {

using platform::DrawPoint;

// Font n of the family table (1..6).
platform::DrawHandle Font(int n) {
    return EfisFonts[n - 1];
}

void Text(platform::DrawContext* dc, int font, EfisColour colour, int32_t x, int32_t y,
          const char* text, int32_t max_length) {
    platform::DrawSelectObject(dc, Font(font));
    platform::DrawSetTextColour(dc, DimColour(EfisPalette[colour]));
    platform::DrawTextOut(dc, x, y, text, static_cast<int32_t>(strnlen(text, max_length)));
}

// An open or closed outline through the points with the selected pen.
void Outline(platform::DrawContext* dc, const DrawPoint* points, int count) {
    platform::DrawMoveTo(dc, points[0].x, points[0].y);
    for (int i = 1; i < count; ++i) platform::DrawLineTo(dc, points[i].x, points[i].y);
}

void Box(platform::DrawContext* dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const DrawPoint p[5] = {
        {left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
    Outline(dc, p, 5);
}

void RotOutline(platform::DrawContext* dc, const DrawPoint* points, int count) {
    RotMoveTo(dc, points[0].x, points[0].y);
    for (int i = 1; i < count; ++i) RotLineTo(dc, points[i].x, points[i].y);
}

void Pen(platform::DrawContext* dc, EfisColour colour) {
    platform::DrawSelectObject(dc, EfisPens[colour]);
}

int32_t DecisionHeight(int side) {
    return side == 0 ? FGC_comp_DH_altitude1 : FGC_comp_DH_altitude2;
}

// A bounded copy of a message line for comparison.
bool LineIs(const char* line, const char* text) {
    return std::strncmp(line, text, 20) == 0;
}

constexpr DrawPoint kLeftWing[6] = {{77, 63}, {50, 63}, {50, 68}, {72, 68}, {72, 72}, {77, 72}};
constexpr DrawPoint kRightWing[6] = {{93, 63}, {120, 63}, {120, 68}, {98, 68}, {98, 72}, {93, 72}};
constexpr DrawPoint kCentreSquare[4] = {{84, 64}, {86, 64}, {86, 66}, {84, 66}};

void DrawRunway(platform::DrawContext* dc) {
    const int32_t o = RadioAltitudeReadoutValue / 6;
    platform::DrawFillRectBrush(dc, {72, 73 + o, 98, 77 + o}, EfisBrushes[kEfisBrown]);
    SetRotation(84, 65, 0.0f, -1 - o);
    static constexpr DrawPoint kEdge[5] = {{72, 71}, {98, 71}, {98, 75}, {72, 75}, {72, 71}};
    RotOutline(dc, kEdge, 5);
    static constexpr DrawPoint kCentre[4] = {{85, 71}, {79, 75}, {85, 71}, {91, 75}};
    RotOutline(dc, kCentre, 4);
}

void DrawDecisionHeightAlert(platform::DrawContext* dc, int side) {
    const int32_t dh = DecisionHeight(side);
    const int32_t ra = RadioAltitudeReadoutValue;
    if (!(dh > 40 && dh - 40 < ra && ra < dh + 20)) return;
    Pen(dc, kEfisWhite);
    Text(dc, 2, kEfisYellow, 117, 119, "DH", 2);
    static constexpr DrawPoint kBox[5] = {
        {109, 119}, {124, 119}, {124, 130}, {109, 130}, {109, 119}};
    RotOutline(dc, kBox, 5);
}

// Lateral and vertical FMA highlight boxes: n characters from x.
void FmaBox(platform::DrawContext* dc, int32_t x, int32_t n, int32_t bottom) {
    Pen(dc, kEfisWhite);
    Box(dc, x, -1, x + 3 * n, bottom);
}

void DrawEngageMessages(platform::DrawContext* dc) {
    if (FgcFlags1[0] != 0) {
        Text(dc, 1, kEfisWhite, 147, 100, "TCS ENG", 7);
    } else if (FGC_comp_AP1_engaged != 0 && LineIs(FgcMessageLines[1], "AP ENG")) {
        Text(dc, 1, kEfisDarkGreen, 150, 100, "AP ENG", 6);
    } else if (FGC_comp_AP1_engaged == 0 && LineIs(FgcMessageLines[0], "AP DISENG")) {
        Text(dc, 1, kEfisYellow, 140, 100, "AP DISENG", 9);
    }
}

}  // namespace

EadiSet EadiSets[2][2] = {{{0, false, -1, {}, 0, {}}, {0, true, -1, {}, 0, {}}},
                          {{1, false, -1, {}, 0, {}}, {1, true, -1, {}, 0, {}}}};

EadiSet& EadiSetOf(int side, bool virtual_cockpit) {
    return EadiSets[side != 0 ? 1 : 0][virtual_cockpit ? 1 : 0];
}

void EadiAircraftSymbolDraw(platform::DrawContext* dc) {
    // 1. Wings and centre square.
    SetRotation(84, 65, 0.0f, 0);
    Pen(dc, kEfisYellow);
    platform::DrawSelectObject(dc, EfisBrushes[kEfisBrown]);
    platform::DrawPolygon(dc, kLeftWing, 6);
    platform::DrawPolygon(dc, kRightWing, 6);
    platform::DrawPolygon(dc, kCentreSquare, 4);
    // 2. The rising runway below 200 ft.
    if (RadioAltitudeReadoutValue < 200 && RadioAltNotReady == 0 && RadioAltOutOfRange == 0) {
        DrawRunway(dc);
    }
    platform::DrawSetRop2(dc, platform::DrawRop2::MergePen);
    SetRotation(84, 65, 0.0f, 0);
}

void EadiRadioAltitudeDraw(platform::DrawContext* dc, EadiSet& set) {
    if (RadioAltOutOfRange == 0) {
        Text(dc, 2, kEfisWhite, 156, 119, "RA", 2);
        if (RadioAltitudeReadoutValue != set.readout_value) {
            const int n = std::snprintf(set.readout_text, sizeof set.readout_text, "%5d",
                                        RadioAltitudeReadoutValue);
            set.readout_length = n < 0 ? 0 : (n < 10 ? n : 10);
            set.readout_value = RadioAltitudeReadoutValue;
        }
        if (RadioAltNotReady != 0) {
            Text(dc, 3, kEfisMagenta, 134, 120, "----", 4);
        } else {
            Text(dc, 3, kEfisCyan, 134, 120, set.readout_text, set.readout_length);
        }
        platform::DrawSelectObject(dc, Font(2));
        DrawDecisionHeightAlert(dc, set.side);
    }
    const int32_t dh = DecisionHeight(set.side);
    if (dh > 0) {
        Text(dc, 2, kEfisWhite, 38, 119, "DH", 2);
        // Formatted in full, kept to the cache's size; three characters show.
        char full[12];
        std::snprintf(full, sizeof full, "%3d", dh);
        std::memcpy(set.dh_text, full, sizeof set.dh_text - 1);
        set.dh_text[sizeof set.dh_text - 1] = '\0';
        Text(dc, 3, kEfisYellow, 20, 120, set.dh_text, 3);
    }
}

namespace {

// The speed pointer's offset in grid units, from the stall-warning output
// (8192 lower with the anti-ice selector off centre).
int32_t SpeedPointerOffset(int side) {
    int32_t v = StallWarningState.output[side != 0 ? 1 : 0];
    if (IceProtectionState.AntiIceSelector != 0) {
        v -= 8192;
        if (v < -16384) v = -16384;
    }
    return -v / 482;
}

// The vertical-speed pointer's offset in grid units: +-300 ft/min, 20 a unit.
int32_t VerticalSpeedPointerOffset() {
    int32_t v = VerticalSpeed;
    if (v < -300) v = -300;
    if (v > 300) v = 300;
    return v / 20;
}

}  // namespace

void EadiSpeedScaleDraw(platform::DrawContext* dc, int side) {
    // 1./2. The pointer's offset from the stall-warning output.
    const int32_t d = SpeedPointerOffset(side);
    // 3. Marks and letters.
    Pen(dc, kEfisWhite);
    static constexpr DrawPoint kMark[5] = {{28, 64}, {34, 64}, {34, 66}, {28, 66}, {28, 64}};
    static constexpr DrawPoint kUpper[5] = {{31, 47}, {32, 48}, {31, 49}, {30, 48}, {31, 47}};
    static constexpr DrawPoint kLower[5] = {{31, 81}, {32, 82}, {31, 83}, {30, 82}, {31, 81}};
    Outline(dc, kMark, 5);
    Outline(dc, kUpper, 5);
    Outline(dc, kLower, 5);
    Text(dc, 2, kEfisWhite, 31, 29, "F", 1);
    Text(dc, 2, kEfisWhite, 31, 95, "S", 1);
    Text(dc, 2, kEfisWhite, 23, 19, "SPD", 3);
    // 4. The pointer, or a red cross without stall-warning power.
    if (StallWarnUnpowered == 0) {
        Pen(dc, kEfisGreen);
        const DrawPoint p[5] = {
            {21, 64 + d}, {27, 64 + d}, {27, 66 + d}, {21, 66 + d}, {21, 64 + d}};
        Outline(dc, p, 5);
    } else {
        zu::SmoothLine(dc, 27, 31, 35, 100, kSmoothRed);
        zu::SmoothLine(dc, 35, 31, 27, 100, kSmoothRed);
    }
}

void EadiAttSourceDraw(platform::DrawContext* dc, int side) {
    platform::DrawSelectObject(dc, Font(2));
    const bool side1 = DisplayFormatFlags1[2] != 0;
    const bool side2 = DisplayControlState2.Transfer[2] != 0;
    if (!EadiAttitudeAvailable(side) || !(side1 || side2)) return;
    const bool own = side == 0 ? side1 : side2;
    const char* label = side == 0 ? (own ? "ATT2" : "ATT1") : (own ? "ATT1" : "ATT2");
    Text(dc, 2, kEfisYellow, 32, 7, label, 4);
}

void EadiSgSourceDraw(platform::DrawContext* dc, int side) {
    platform::DrawSelectObject(dc, Font(2));
    if (SgTransfer[0] == 0 && SgTransfer[1] == 0) return;
    Text(dc, 2, kEfisRed, 38, 37, "S", 1);
    Text(dc, 2, kEfisRed, 38, 45, "G", 1);
    const bool own = SgTransfer[side != 0 ? 1 : 0] != 0;
    const char* digit = side == 0 ? (own ? "2" : "1") : (own ? "1" : "2");
    Text(dc, 2, kEfisRed, 38, 53, digit, 1);
}

void EadiMarkerDraw(platform::DrawContext* dc) {
    if (MarkerBeacons == 0) return;
    if (MarkerBeacons == 1) {
        Text(dc, 3, kEfisCyan, 151, 105, "O", 1);
    } else if (MarkerBeacons == 2) {
        Text(dc, 3, kEfisYellow, 150, 105, "M", 1);
    } else {
        Text(dc, 3, kEfisWhite, 150, 105, "I", 1);
    }
    platform::DrawSetTextColour(dc, DimColour(EfisPalette[kEfisWhite]));
    Pen(dc, kEfisWhite);
    Box(dc, 143, 105, 156, 117);
    platform::DrawSelectObject(dc, Font(2));
}

void EadiFlightDirectorDraw(platform::DrawContext* dc, int side, const EadiClipRegions& regions) {
    // 1. The format's clip.
    const platform::DrawRegion& region = EadiSphereRegion(regions, side);
    platform::DrawSelectClipRegion(dc, region);
    SmoothSetClip(dc, region);
    // 2. The bars.
    if (EadiAttitudeAvailable(side)) {
        const double roll = side == 0 ? FlightDirectorRollCommand : FlightDirectorRollCommand2;
        const double pitch = side == 0 ? FlightDirectorPitchCommand : FlightDirectorPitchCommand2;
        if (FGC_comp_AP1_lateral_mode != 7) {
            const auto x0 = static_cast<float>(84.0 - roll);
            SmoothLineF(dc, kSmoothMagenta, x0 + 0.75f, 35.5f, x0 + 0.5f, 95.0f);
            SmoothLineF(dc, kSmoothMagenta, x0 + 1.25f, 35.5f, x0 + 1.5f, 95.0f);
        }
        if (FGC_comp_AP1_vertical_mode != 5) {
            const auto y0 = static_cast<float>(65.0 - pitch * -36.0 * 0.0999999000001);
            SmoothLineF(dc, kSmoothMagenta, 114.0f, y0 + 0.5f, 54.0f, y0 + 0.5f);
            SmoothLineF(dc, kSmoothMagenta, 114.0f, y0 - 0.5f, 54.0f, y0 - 0.5f);
        }
    }
    // 3. No clip for the steps that follow: the context's region goes, and
    // the smooth clip with it (the speed scale's cross lies outside the
    // sphere).
    platform::DrawResetClip(dc);
}

void EadiFmaDraw(platform::DrawContext* dc, const EadiSet& set) {
    const auto& fma = FgcSide1.fma;
    const int32_t bottom = set.side == 1 && set.virtual_cockpit ? 8 : 10;
    // 1. Armed modes, cyan.
    if (FGC_comp_AP1_lateral_armed_mode != 7) {
        Text(dc, 1, kEfisCyan, 16, -1, fma.lateral_armed, 20);
    }
    if ((FGC_comp_AP1_vertical_armed_mode_2 == 5 || FGC_comp_AP1_vertical_armed_mode_2 == 0) &&
        FGC_comp_AP1_vertical_armed_mode_1 != 5) {
        Text(dc, 1, kEfisCyan, 110, -1, fma.vertical_armed1, 20);
    }
    if (FGC_comp_AP1_vertical_armed_mode_2 != 5) {
        Text(dc, 1, kEfisCyan, 110, -1, fma.vertical_armed2, 20);
    }
    // 2. Lateral active, green, boxed while newly captured.
    const int32_t lateral_n = static_cast<int32_t>(strnlen(fma.lateral, 20));
    if (FGC_comp_AP1_lateral_mode != 7) {
        Text(dc, 1, kEfisGreen, 53, -1, fma.lateral, 20);
        if (Id809BlankCountdown[1] != 0 && lateral_n > 0) FmaBox(dc, 44, lateral_n, bottom);
    }
    // 3. Vertical active: yellow in go-around.
    const EfisColour vertical = FgcState != 0 ? kEfisYellow : kEfisGreen;
    if (FGC_comp_AP1_vertical_mode == 2) {
        Text(dc, 1, vertical, 140, -2, "VS", 2);
    } else if (FGC_comp_AP1_vertical_mode == 3) {
        Text(dc, 1, vertical, 140, -2, "IAS", 3);
    } else {
        Text(dc, 1, vertical, 140, -1, fma.vertical, 20);
    }
    // 4. Its highlight.
    platform::DrawSetTextColour(dc, DimColour(EfisPalette[kEfisGreen]));
    const int32_t vertical_n = static_cast<int32_t>(strnlen(fma.vertical, 20));
    if (Id809BlankCountdown[0] != 0 && vertical_n > 0) FmaBox(dc, 127, vertical_n, bottom);
    // 5. Engage messages while no marker shows.
    if ((FgcMessageState1.code.load(std::memory_order_relaxed) != 0 ||
         FgcMessageState1.upper_time != 0) &&
        MarkerBeacons == 0) {
        DrawEngageMessages(dc);
    }
}

void EadiTestDraw(platform::DrawContext* dc, int side) {
    if (RadioAltTestCountdown[side != 0 ? 1 : 0] == 0) return;
    Text(dc, 2, kEfisYellow, 13, -2, "TEST", 4);
}

void EadiBottomScaleDraw(platform::DrawContext* dc, int side, const EhsiPaint* navigation) {
    // 1.
    SmoothResetClip(dc);
    // 2. Flight management or a localiser: the navigation display's
    // deviation scale instead, drawn by the side's set.
    const int32_t sel = side == 0 ? NavSourceSel1 : NavSourceSel2;
    if (sel >= 0 && sel < kNavSourceCount) {
        const NavSourceRecord& r = NavSources[sel];
        if (r.kind == 4 || r.receive_state == 2) {
            if (navigation != nullptr) EhsiDeviationScaleDraw(*navigation);
            return;
        }
    }
    // 3. Tick boxes.
    Pen(dc, kEfisWhite);
    for (int32_t x : {68, 83, 98}) {
        const DrawPoint p[5] = {{x, 126}, {x, 121}, {x + 2, 121}, {x + 2, 126}, {x, 126}};
        Outline(dc, p, 5);
    }
    // 4. The vertical-speed pointer.
    const int32_t d = VerticalSpeedPointerOffset();
    Pen(dc, kEfisGreen);
    const DrawPoint p[5] = {
        {83 + d, 124}, {81 + d, 129}, {87 + d, 129}, {85 + d, 124}, {83 + d, 124}};
    Outline(dc, p, 5);
    Pen(dc, kEfisWhite);
}

namespace {

void EadiNormalSequence(platform::DrawContext* dc, EadiSet& set, const EadiClipRegions& clips,
                        const EhsiPaint* nav) {
    const int side = set.side;
    EadiSphereDraw(dc, side, clips);
    EadiFlightDirectorDraw(dc, side, clips);
    EadiAircraftSymbolDraw(dc);
    EadiRadioAltitudeDraw(dc, set);
    EadiSpeedScaleDraw(dc, side);
    EadiAttSourceDraw(dc, side);
    EadiSgSourceDraw(dc, side);
    EadiMarkerDraw(dc);
    EadiFmaDraw(dc, set);
    EadiBottomScaleDraw(dc, side, nav);
    if (nav != nullptr) EhsiVerticalDeviationDraw(*nav);
    EadiTestDraw(dc, side);
}

void EadiCompositeSequence(platform::DrawContext* dc, EadiSet& set, const EadiClipRegions& clips,
                           const EhsiPaint* nav) {
    const int side = set.side;
    EadiSphereDraw(dc, side, clips);
    EadiAircraftSymbolDraw(dc);
    EadiFlightDirectorDraw(dc, side, clips);
    EadiRadioAltitudeDraw(dc, set);
    EadiAttSourceDraw(dc, side);
    EadiSgSourceDraw(dc, side);
    if (nav != nullptr) {
        CompositeHeadingTapeDraw(*nav);
        CompositeReadoutsDraw(*nav);
        EhsiToFromDraw(*nav);
        CompositeNavReadoutsDraw(*nav);
    }
    EadiMarkerDraw(dc);
    if (nav != nullptr) {
        EhsiDeviationScaleDraw(*nav);
        EhsiVerticalDeviationDraw(*nav);
    }
    EadiTestDraw(dc, side);
}

}  // namespace

void EadiPictureDraw(platform::DrawContext* dc, EadiSet& set, const EadiClipRegions& regions,
                     const EhsiPaint* navigation) {
    if (dc == nullptr || !EfisResourcesReady()) return;
    if (DisplayFormat[set.side] == 0) {
        EadiNormalSequence(dc, set, regions, navigation);
    } else {
        EadiCompositeSequence(dc, set, regions, navigation);
    }
}

void EadiInputsKeyAdd(RepaintKeyBuilder& key, int side) {
    // Each value as the steps draw it; small ones share a word.
    const AhrsRecord& a = Ahrs(side);
    const bool available = EadiAttitudeAvailable(side);
    const int32_t lateral = FGC_comp_AP1_lateral_mode;
    const int32_t vertical = FGC_comp_AP1_vertical_mode;
    key.Pack(side, available, DisplayFormat[side != 0 ? 1 : 0] != 0);
    key.Pack(lateral, vertical);
    if (available) {
        // The sphere: shifted and turned in the smooth layer's floats (the
        // roll pointer's integer rotation takes the same bank).
        key.Pack(static_cast<float>(a.pitch * 34.0 * 0.1), static_cast<float>(a.bank));
        // The flight director's bars, where they show (the modes above say
        // which).
        const double roll = side == 0 ? FlightDirectorRollCommand : FlightDirectorRollCommand2;
        const double pitch = side == 0 ? FlightDirectorPitchCommand : FlightDirectorPitchCommand2;
        key.Pack(lateral != 7 ? static_cast<float>(84.0 - roll) : 0.0f,
                 vertical != 5 ? static_cast<float>(65.0 - pitch * -36.0 * 0.0999999000001) : 0.0f);
    }
    // The radio altitude (its readout, the rising runway and the DH box)
    // shows only while in range; the decision height.
    key.Pack(RadioAltOutOfRange, RadioAltNotReady, StallWarnUnpowered, SgTransfer);
    key.Pack(RadioAltOutOfRange == 0 ? RadioAltitudeReadoutValue : 0,
             side == 0 ? FGC_comp_DH_altitude1 : FGC_comp_DH_altitude2);
    // The speed scale's pointer or cross, the sources, the marker.
    key.Pack(StallWarnUnpowered == 0 ? SpeedPointerOffset(side) : 0, DisplayFormatFlags1);
    key.Add(DisplayControlState2).Pack(MarkerBeacons, DisplayBrightness);
    // The mode annunciations: the texts, the highlight boxes while their
    // countdowns run, the engage messages while either message time runs.
    key.Add(FgcSide1.fma);
    key.Pack(FgcState != 0, FgcFlags1[0], Id809BlankCountdown[0] != 0, Id809BlankCountdown[1] != 0,
             FgcMessageState1.code.load(std::memory_order_relaxed) != 0 ||
                 FgcMessageState1.upper_time != 0,
             RadioAltTestCountdown[side != 0 ? 1 : 0] != 0);
    key.Pack(FGC_comp_AP1_engaged, FGC_comp_AP1_lateral_armed_mode);
    key.Pack(FGC_comp_AP1_vertical_armed_mode_1, FGC_comp_AP1_vertical_armed_mode_2);
    key.Add(FgcMessageLines);
    // The vertical-speed pointer in grid units, the test legend.
    key.Add(VerticalSpeedPointerOffset());
    // The navigation steps the sequences share.
    EhsiSharedStepsKeyAdd(key, side);
}

RepaintKey EadiStateKey(const EadiSet& set) {
    RepaintKeyBuilder key;
    key.Add(set.readout_text).Add(set.dh_text).Pack(set.readout_value, set.readout_length);
    return key.Key();
}

}  // namespace zu
