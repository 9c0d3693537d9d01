#include "displays/navigation_display.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/ahrs.h"
#include "core/flight_guidance.h"
#include "core/flight_guidance_annunciation.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/shared_maths.h"
#include "displays/efis_resources.h"
#include "displays/ehsi_map.h"
#include "displays/weather_radar.h"
#include "fms/flight_plan.h"
#include "fms/fms_lifecycle.h"
#include "panels/display_control_panels.h"

namespace zu {

EhsiSet EhsiSets[kEhsiSetCount] = {
    {"HSI1", 0, false},
    {"HSI1_VC", 0, true},
    {"HSI2", 1, false},
    {"HSI2_VC", 1, true},
};

EhsiSet& EhsiSetOf(int side, bool virtual_cockpit) {
    return EhsiSets[(side != 0 ? 2 : 0) + (virtual_cockpit ? 1 : 0)];
}

namespace {

using platform::DrawContext;
using platform::DrawPoint;

constexpr const char* kCardLabels[12] = {"N", "3",  "6",  "E", "12", "15",
                                         "S", "21", "24", "W", "30", "33"};

// Fonts by role.
DrawHandle MainFont() {
    return EfisFonts[1];
}
DrawHandle LargeFont() {
    return EfisFonts[2];
}
DrawHandle NarrowFont() {
    return EfisFonts[0];
}

// Smooth-layer colours.
constexpr uint32_t kSmoothWhite = EfisBasicPalette[0];
constexpr uint32_t kSmoothYellow = EfisBasicPalette[4];

// --- The data of a side.

const AhrsRecord& Ahrs(int side) {
    return side == 0 ? Ahrs1 : Ahrs2;
}

bool HeadingValid(int side) {
    return Ahrs(side).valid[1] == 0;
}

int ClampSource(int32_t index) {
    return index < 0 || index >= kNavSourceCount ? 0 : index;
}

int SelectedIndex(int side) {
    return ClampSource(side == 0 ? NavSourceSel1 : NavSourceSel2);
}

const NavSourceRecord& Selected(int side) {
    return NavSources[SelectedIndex(side)];
}

int PointerSource(int side, int pointer) {
    return ClampSource(
        (side != 0 ? DisplayControlState2 : DisplayControlState1).BearingPointerSource[pointer]);
}

int32_t SelectedHeading(int side) {
    return side == 0 ? FGC_comp_HSI1_heading_sel : FGC_comp_HSI2_heading_sel;
}

int32_t Mode(int side) {
    return (side != 0 ? DisplayControlState2 : DisplayControlState1).Mode;
}

// The nav-source (0) and heading-source (1) reversion toggles of a side.
bool Reverted(int side, int which) {
    return (side == 0 ? DisplayFormatFlags1[which] : DisplayControlState2.Transfer[which]) != 0;
}

bool TimeToGoShown(int side) {
    return (side == 0 ? DisplayFormatToggle : DisplayFormatFlags1[3]) != 0;
}

bool ReceivingLocaliser(const NavSourceRecord& r) {
    return r.kind == 1 && r.receive_state == 2;
}

// --- Drawing helpers.

void TextColour(DrawContext* dc, int colour) {
    platform::DrawSetTextColour(dc, DimColour(EfisPalette[colour]));
}

void Pen(DrawContext* dc, int colour) {
    platform::DrawSelectObject(dc, EfisPens[colour]);
}

void Text(DrawContext* dc, int32_t x, int32_t y, const char* text) {
    platform::DrawTextOut(dc, x, y, text, static_cast<int32_t>(std::strlen(text)));
}

void Line(DrawContext* dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    platform::DrawMoveTo(dc, x1, y1);
    platform::DrawLineTo(dc, x2, y2);
}

// A polyline through the points, turned by the current rotation.
void RotPath(DrawContext* dc, const DrawPoint* points, int count, int32_t dx = 0, int32_t dy = 0) {
    RotMoveTo(dc, points[0].x + dx, points[0].y + dy);
    for (int i = 1; i < count; ++i) RotLineTo(dc, points[i].x + dx, points[i].y + dy);
}

void Path(DrawContext* dc, const DrawPoint* points, int count) {
    platform::DrawMoveTo(dc, points[0].x, points[0].y);
    for (int i = 1; i < count; ++i) platform::DrawLineTo(dc, points[i].x, points[i].y);
}

// A filled triangle with its points turned by the current rotation.
void RotTriangle(DrawContext* dc, DrawPoint a, DrawPoint b, DrawPoint c) {
    const DrawPoint t[3] = {{RotX(a.x, a.y), RotY(a.x, a.y)},
                            {RotX(b.x, b.y), RotY(b.x, b.y)},
                            {RotX(c.x, c.y), RotY(c.x, c.y)}};
    platform::DrawPolygon(dc, t, 3);
}

// A diamond of half-size 2 centred at (x, y), turned.
void RotDiamond(DrawContext* dc, int32_t x, int32_t y) {
    const DrawPoint d[5] = {{x, y - 2}, {x + 2, y}, {x, y + 2}, {x - 2, y}, {x, y - 2}};
    RotPath(dc, d, 5);
}

// Bounded text formatting: a text that does not fit its buffer is cut.
const char* FormatInto(char* buffer, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, size, format, args);
    va_end(args);
    return buffer;
}

template <size_t N, typename T>
const char* Format(char (&buffer)[N], const char* format, T value) {
    return FormatInto(buffer, N, format, value);
}

// A value truncated toward zero into the i32 range (0 when not a number).
int32_t Trunc(double v) {
    if (!(v == v)) return 0;
    return static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

// The whole-degree difference from `from` to `to`, wrapped to -179..180.
int32_t WholeDegreeDiff(int32_t to, int32_t from) {
    int64_t d = (static_cast<int64_t>(to) - from) % 360;
    if (d <= -180) {
        d += 360;
    } else if (d > 180) {
        d -= 360;
    }
    return static_cast<int32_t>(d);
}

// The turn index of a heading: quarter degrees of (359.25 - heading), 0
// below zero.
int32_t TurnIndex(double heading) {
    const double i = (359.25 - heading) * 4.0;
    return i < 0 ? 0 : Trunc(i);
}

}  // namespace

// --- Set-up.

namespace {

void BuildTickTable(EhsiTick (&table)[kEhsiTickRows][kEhsiTicks], int32_t cx, int32_t cy,
                    int32_t outer, int32_t inner_long, int32_t inner_short) {
    for (int r = 0; r < kEhsiTickRows; ++r) {
        for (int k = 0; k < kEhsiTicks; ++k) {
            const float a = static_cast<float>(5 * k) + 0.25f * static_cast<float>(r);
            SetRotation(cx * 8, cy * 8, a, 0);
            const int32_t inner = (k % 2 == 0 ? inner_long : inner_short) * 8;
            const int32_t oy = cy * 8 - outer * 8;
            const int32_t iy = cy * 8 - inner;
            table[r][k] = {RotX(cx * 8, oy), RotY(cx * 8, oy), RotX(cx * 8, iy), RotY(cx * 8, iy)};
        }
    }
}

DrawPoint DesignPoint(int32_t x, int32_t y, int32_t width, int32_t height) {
    return {x * width / 169, y * height / 131};
}

}  // namespace

EhsiClipRegions EhsiMakeClipRegions(int32_t width, int32_t height) {
    EhsiClipRegions r{};
    r.width = width;
    r.height = height;
    const DrawPoint trapezoid[4] = {
        DesignPoint(60, 126, width, height), DesignPoint(12, 0, width, height),
        DesignPoint(163, 0, width, height), DesignPoint(108, 126, width, height)};
    platform::DrawRegionPolygon(&r.trapezoid, trapezoid, 4);
    const DrawPoint e0 = DesignPoint(-5, 21, width, height);
    const DrawPoint e1 = DesignPoint(177, 199, width, height);
    const platform::DrawRegion ellipse = platform::DrawRegionEllipse({e0.x, e0.y, e1.x, e1.y});
    platform::DrawRegionAnd(&r.arc_window, ellipse, r.trapezoid);
    const DrawPoint t0 = DesignPoint(53, 98, width, height);
    const DrawPoint t1 = DesignPoint(113, 130, width, height);
    r.tape_window = platform::DrawRegionRect({t0.x, t0.y, t1.x, t1.y});
    return r;
}

namespace {

// Both tick tables, once per set.
void BuildTickTables(EhsiSet& set) {
    if (set.ready) return;
    BuildTickTable(set.rose, 84, 65, 53, 48, 51);
    BuildTickTable(set.arc, 84, 110, 89, 84, 87);
    SetRotation(0, 0, 0.0f, 0);
    set.ready = true;
}

}  // namespace

void EhsiClipRegionsCreate(EhsiSet& set, int32_t width, int32_t height) {
    BuildTickTables(set);
    set.regions = EhsiMakeClipRegions(width, height);
}

// --- Compass cards.

namespace {

// The rose's ticks as a set last painted them: their row and colour, and
// what they painted (nothing kept at first). Every set's ticks are the
// same, so any set's keep serves any other.
struct KeptTicks {
    int32_t row = 0;
    uint32_t colour = 0;
    platform::SmoothKeep rows;
};
KeptTicks gKeptTicks[kEhsiSetCount];

KeptTicks& KeptTicksOf(const EhsiSet& set) {
    for (int i = 1; i < kEhsiSetCount; ++i) {
        if (&set == &EhsiSets[i]) return gKeptTicks[i];
    }
    return gKeptTicks[0];
}

void DrawTick(DrawContext* g, const EhsiTick& t) {
    SmoothLineF(g, kSmoothWhite, static_cast<float>(t.outer_x) / 8.0f,
                static_cast<float>(t.outer_y) / 8.0f, static_cast<float>(t.inner_x) / 8.0f,
                static_cast<float>(t.inner_y) / 8.0f);
}

void DrawCardLabels(DrawContext* dc, int32_t turn, int32_t cy, int32_t label_y, int32_t below) {
    platform::DrawSelectObject(dc, MainFont());
    TextColour(dc, kEfisWhite);
    for (int j = 0; j < 12; ++j) {
        SetRotation(84, cy, static_cast<float>(turn + 30 * j), 0);
        const int32_t x = RotX(84, label_y);
        const int32_t y = RotY(84, label_y);
        if (y < below) Text(dc, x, y, kCardLabels[j]);
    }
}

// The selected-heading marker, `dy` units below the rose's.
void DrawHeadingMarker(DrawContext* dc, int side, int32_t cy, int32_t dy) {
    static constexpr DrawPoint kMarker[9] = {{78, 12}, {78, 9}, {79, 7}, {81, 7}, {84, 11},
                                             {87, 7},  {89, 7}, {90, 9}, {90, 12}};
    Pen(dc, kEfisCyan);
    SetRotation(84, cy, static_cast<float>(SelectedHeading(side) - Ahrs(side).heading), 0);
    RotPath(dc, kMarker, 9, 0, dy);
}

void DrawDriftMark(DrawContext* dc, int32_t cy, int32_t tip_y) {
    const DrawPoint mark[4] = {{84, tip_y}, {81, tip_y - 3}, {87, tip_y - 3}, {84, tip_y}};
    Pen(dc, kEfisMagenta);
    SetRotation(84, cy, static_cast<float>(MapDisplayState.map_value), 0);
    RotPath(dc, mark, 4);
}

void DrawAircraftSymbol(DrawContext* dc, int32_t cy) {
    Pen(dc, kEfisWhite);
    Line(dc, 84, cy - 5, 84, cy + 7);
    Line(dc, 78, cy, 90, cy);
    Line(dc, 82, cy + 7, 87, cy + 7);
}

void DrawHeadingFailLegend(DrawContext* dc) {
    static constexpr DrawPoint kLegend[6] = {{74, 6},  {74, 11}, {79, 22},
                                             {89, 22}, {94, 11}, {94, 5}};
    Pen(dc, kEfisMagenta);
    Path(dc, kLegend, 6);
    TextColour(dc, kEfisMagenta);
    Text(dc, 84, -2, "HDG");
    Text(dc, 84, 4, "FAIL");
}

// Drawing-state reset at the end of a card.
void EndCard(const EhsiPaint& p) {
    zu::SmoothSetTransform(p.g, 0, 0, 0, 0);
    TextColour(p.dc, kEfisWhite);
    platform::DrawSetRop2(p.dc, platform::DrawRop2::MergePen);
}

}  // namespace

void EhsiRoseDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    BuildTickTables(p.set);
    const int side = p.set.side;
    const AhrsRecord& ahrs = Ahrs(side);
    const bool valid = HeadingValid(side);
    // 1. Ticks of the card's row.
    platform::DrawSetRop2(p.dc, platform::DrawRop2::CopyPen);
    SmoothResetClip(p.g);
    const int32_t i = TurnIndex(ahrs.heading);
    // (Those of the row and colour last painted are painted again from
    // what they painted, where the context lets them.)
    const int32_t row = i % kEhsiTickRows;
    const uint32_t colour = SmoothColour(kSmoothWhite);
    KeptTicks& kept = KeptTicksOf(p.set);
    if (kept.row != row || kept.colour != colour || !platform::SmoothReplay(p.g, kept.rows)) {
        platform::SmoothKeepBegin(p.g, &kept.rows);
        for (const EhsiTick& t : p.set.rose[row]) DrawTick(p.g, t);
        platform::SmoothKeepEnd(p.g);
        kept.row = row;
        kept.colour = colour;
    }
    // 2. Labels.
    DrawCardLabels(p.dc, i / 4, 61, 19, 1 << 30);
    // 3. Lubber mark or the failure legend.
    platform::DrawSelectObject(p.dc, EfisBrushes[kEfisWhite]);
    if (valid) {
        Pen(p.dc, kEfisWhite);
        const DrawPoint lubber[3] = {{84, 11}, {81, 3}, {87, 3}};
        platform::DrawPolygon(p.dc, lubber, 3);
    } else {
        DrawHeadingFailLegend(p.dc);
    }
    // 4. Aircraft symbol.
    DrawAircraftSymbol(p.dc, 65);
    // 5./6. Heading marker and drift mark.
    if (valid) {
        DrawHeadingMarker(p.dc, side, 65, 0);
        if (FmsPowered != 0) DrawDriftMark(p.dc, 65, 11);
    }
    SetRotation(0, 0, 0.0f, 0);
    // 7.
    EndCard(p);
}

void EhsiArcDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    BuildTickTables(p.set);
    const int side = p.set.side;
    const AhrsRecord& ahrs = Ahrs(side);
    const bool valid = HeadingValid(side);
    // 1. Ticks from -60 to +55 degrees about the top, clipped.
    platform::DrawSetRop2(p.dc, platform::DrawRop2::CopyPen);
    platform::DrawSelectClipRegion(p.dc, p.regions.trapezoid);
    const int32_t i = TurnIndex(ahrs.heading);
    const EhsiTick(&row)[kEhsiTicks] = p.set.arc[i % kEhsiTickRows];
    for (int k = 0; k < 12; ++k) DrawTick(p.g, row[k]);
    for (int k = 60; k < kEhsiTicks; ++k) DrawTick(p.g, row[k]);
    // 2. Labels above y 76.
    DrawCardLabels(p.dc, i / 4, 106, 28, 76);
    // 3. Range arcs.
    zu::SmoothArc(p.g, -5, 20, 178, 180, -148, 120, kSmoothWhite);
    zu::SmoothArc(p.g, 40, 70, 88, 84, -146, 120, kSmoothWhite);
    // 4. Heading marker and drift mark.
    if (valid) {
        DrawHeadingMarker(p.dc, side, 110, 8);
        if (FmsPowered != 0) DrawDriftMark(p.dc, 110, 19);
    }
    // 5. Unclipped, unturned: the aircraft symbol.
    zu::SmoothSetTransform(p.g, 0, 0, 0, 0);
    platform::DrawResetClip(p.dc);
    DrawAircraftSymbol(p.dc, 110);
    // 6. Half-range label, in the second half of the heading buffer.
    platform::DrawSelectObject(p.dc, MainFont());
    TextColour(p.dc, kEfisWhite);
    char* half = p.set.heading_text + 8;
    if (WxRange == 25) {
        FormatInto(half, 8, "%3.1f", 12.5);
    } else {
        FormatInto(half, 8, "%3d", static_cast<int32_t>(WxRange * 0.5));
    }
    Text(p.dc, 47, 92, half);
    // 7. Heading box.
    Pen(p.dc, kEfisWhite);
    static constexpr DrawPoint kBoxLeft[4] = {{72, 5}, {72, 12}, {84, 12}, {84, 20}};
    static constexpr DrawPoint kBoxRight[3] = {{84, 12}, {95, 12}, {95, 6}};
    Path(p.dc, kBoxLeft, 4);
    Path(p.dc, kBoxRight, 3);
    // 8. Heading readout.
    platform::DrawSelectObject(p.dc, LargeFont());
    if (valid) {
        TextColour(p.dc, kEfisWhite);
        char* heading = p.set.heading_text;
        FormatInto(heading, 8, "%03d", Trunc(ahrs.heading));
        Text(p.dc, 84, 1, heading);
    } else {
        TextColour(p.dc, kEfisMagenta);
        Text(p.dc, 84, 1, "---");
    }
    // 9.
    SetRotation(0, 0, 0.0f, 0);
    Pen(p.dc, kEfisWhite);
    SmoothResetClip(p.g);
    EndCard(p);
}

void EhsiSyncMarkDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    const AhrsRecord& ahrs = Ahrs(p.set.side);
    if (!HeadingValid(p.set.side) || ahrs.gyro_mode != 0) return;
    Pen(p.dc, kEfisWhite);
    Line(p.dc, 13, 29, 13, 35);
    Pen(p.dc, kEfisGreen);
    Line(p.dc, 10, 30, 10, 34);
    if (ahrs.heading_ahead == 0) {
        Line(p.dc, 9, 33, 11, 33);
        static constexpr DrawPoint kBox[5] = {{15, 30}, {18, 30}, {18, 34}, {15, 34}, {15, 30}};
        Path(p.dc, kBox, 5);
    } else {
        Line(p.dc, 9, 31, 11, 31);
        static constexpr DrawPoint kBox[5] = {{16, 30}, {17, 30}, {17, 32}, {16, 32}, {16, 30}};
        Path(p.dc, kBox, 5);
    }
}

// --- Readouts.

namespace {

// The selected source's name: "ILS1"/"ILS2" on a localiser, else its own.
const char* SourceName(int side) {
    const NavSourceRecord& r = Selected(side);
    if (r.receive_state == 2) return SelectedIndex(side) == 1 ? "ILS1" : "ILS2";
    return r.name != nullptr ? r.name : "";
}

int SourceNameColour(int side) {
    if (Reverted(0, 0) || Reverted(1, 0)) return kEfisYellow;
    return SelectedIndex(side) > 4 ? kEfisCyan : kEfisWhite;
}

// The selected source's distance text, formatted into `buffer`.
const char* DistanceTextInto(char (&buffer)[10], int side) {
    const NavSourceRecord& r = Selected(side);
    if (r.distance_valid == 0) return "N/A";
    return Format(buffer, r.distance >= 100.0 ? "%3.0f" : "%2.1f", r.distance);
}

const char* DistanceText(EhsiSet& set) {
    return DistanceTextInto(set.distance_text, set.side);
}

void DrawName4(DrawContext* dc, int32_t x, int32_t y, const char* name) {
    platform::DrawTextOut(dc, x, y, name, 4);
}

}  // namespace

void EhsiNavReadoutsDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    const int side = p.set.side;
    DrawContext* dc = p.dc;
    platform::DrawSelectObject(dc, MainFont());
    TextColour(dc, kEfisWhite);
    const bool map = Mode(side) == 2;
    // 1. Bearing pointers' sources.
    const NavSourceRecord& b1 = NavSources[PointerSource(side, 0)];
    if (b1.kind != 0) {
        DrawName4(dc, 15, 93, b1.name != nullptr ? b1.name : "");
        if (!map) {
            Pen(dc, kEfisCyan);
            static constexpr DrawPoint kDiamond[5] = {
                {11, 83}, {13, 85}, {11, 87}, {9, 85}, {11, 83}};
            Path(dc, kDiamond, 5);
        }
    }
    const NavSourceRecord& b2 = NavSources[PointerSource(side, 1)];
    if (b2.kind != 0) {
        DrawName4(dc, 15, 70, b2.name != nullptr ? b2.name : "");
        if (!map) {
            Pen(dc, kEfisGreen);
            static constexpr DrawPoint kRing[9] = {{9, 63},  {9, 64},  {10, 65}, {11, 65}, {12, 64},
                                                   {12, 63}, {11, 62}, {10, 62}, {9, 63}};
            Path(dc, kRing, 9);
        }
    }
    // 2. "WPT" near the FMS's TO waypoint.
    const NavSourceRecord& fms = NavSources[kNavFms1];
    if (fms.distance < 8.0 && fms.distance_valid != 0 && FmsToLegIndex > 0) {
        TextColour(dc, kEfisYellow);
        Text(dc, 12, 47, "WPT");
    }
    // 3. The selected source.
    const NavSourceRecord& sel = Selected(side);
    if (sel.kind != 0) {
        TextColour(dc, kEfisWhite);
        Text(dc, 157, 12, "NM");
        TextColour(dc, SourceNameColour(side));
        DrawName4(dc, 142, 3, SourceName(side));
        TextColour(dc, kEfisYellow);
        Text(dc, 139, 12, DistanceText(p.set));
        if (sel.computed_distance != 0) Text(dc, 126, 12, "H");
    }
    // 4. Heading-source label.
    if (HeadingValid(side)) {
        if (!Reverted(0, 1) && !Reverted(1, 1)) {
            TextColour(dc, kEfisWhite);
            const bool gyro = Ahrs(side).gyro_mode != 0;
            if (side == 0) {
                Text(dc, 45, 3, gyro ? "DG1" : "HDG1");
            } else {
                Text(dc, 45, 3, gyro ? "DG2" : "HDG2");
            }
        } else {
            // Each side names the other's heading source when its own
            // toggle is set.
            TextColour(dc, kEfisYellow);
            const bool own = Reverted(side, 1);
            Text(dc, 55, 3, (side == 0) == own ? "MAG2" : "MAG1");
        }
    }
    TextColour(dc, kEfisWhite);
}

void EhsiHdgCrsReadoutsDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    const int side = p.set.side;
    DrawContext* dc = p.dc;
    platform::DrawSelectObject(dc, MainFont());
    TextColour(dc, kEfisWhite);
    Text(dc, 15, 109, "HDG");
    Text(dc, 15, 3, "CRS");
    platform::DrawSelectObject(dc, LargeFont());
    if (HeadingValid(side)) {
        TextColour(dc, kEfisYellow);
        Text(dc, 15, 13, Format(p.set.course_text, "%03d", Trunc(Selected(side).course)));
        TextColour(dc, kEfisCyan);
        Text(dc, 15, 119, Format(p.set.selected_text, "%03d", SelectedHeading(side)));
    } else {
        TextColour(dc, kEfisYellow);
        Text(dc, 15, 13, "---");
        Text(dc, 15, 119, "---");
    }
    platform::DrawSelectObject(dc, MainFont());
    TextColour(dc, kEfisWhite);
    if (!TimeToGoShown(side)) {
        Text(dc, 152, 110, "GSPD");
        Text(dc, 155, 120, "KTS");
        TextColour(dc, kEfisCyan);
        Text(dc, 137, 120, Format(p.set.speed_text, "%3d", GroundSpeed));
    } else {
        Text(dc, 152, 110, "TTG");
        Text(dc, 155, 120, "MIN");
        TextColour(dc, kEfisCyan);
        const int32_t ttg = Selected(side).time_to_station;
        Text(dc, 137, 120, ttg >= 399 ? "---" : Format(p.set.speed_text, "%3d", ttg));
    }
    TextColour(dc, kEfisWhite);
}

void EhsiWxAnnunciationDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    DrawContext* dc = p.dc;
    const WxRadarRecord& wx = WxRadarState;
    platform::DrawSelectObject(dc, NarrowFont());
    // 1. Mode.
    if (wx.display_mode > 0 && wx.gcr == 0 && wx.rct == 0 &&
        (p.set.side != 0 ? DisplayControlState2 : DisplayControlState1).Overlay != 0) {
        static constexpr const char* kModes[7] = {nullptr, "STBY", "TEST", "STBY",
                                                  "WX",    "CYC",  "GMAP"};
        const char* text = wx.display_mode <= 6 ? kModes[wx.display_mode] : nullptr;
        if (wx.display_mode == 1 && wx.wait != 0) text = "WAIT";
        if (text != nullptr) {
            TextColour(dc, kEfisGreen);
            Text(dc, 12, 37, text);
        }
    }
    // 2. Sub-modes.
    if (wx.display_mode > 3) {
        TextColour(dc, kEfisYellow);
        if (wx.gcr != 0) {
            Text(dc, 15, 40, "GCR");
        } else if (wx.rct != 0) {
            Text(dc, 15, 40, "RCT");
        }
    }
    // 3. Gain and target alert.
    if (wx.manual_gain_active != 0) {
        TextColour(dc, kEfisYellow);
        Text(dc, 113, 3, "VAR");
    } else if (wx.target_alert_enabled != 0) {
        TextColour(dc, wx.target_detected != 0 ? kEfisYellow : kEfisGreen);
        Text(dc, 113, 3, "TGT");
    }
    TextColour(dc, kEfisWhite);
}

void EhsiWindComponentsDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    DrawContext* dc = p.dc;
    Pen(dc, kEfisWhite);
    platform::DrawSelectObject(dc, MainFont());
    TextColour(dc, kEfisWhite);
    char text[12];
    Text(dc, 45, 111, Format(text, "%3d", Trunc(MapDisplayState.wind_y)));
    Line(dc, 52, 117, 52, 111);
    if (WindComponentSense[0] == 0) {
        Line(dc, 50, 113, 52, 117);
        Line(dc, 54, 113, 52, 117);
    } else {
        Line(dc, 50, 114, 52, 111);
        Line(dc, 54, 114, 52, 111);
    }
    Text(dc, 45, 120, Format(text, "%3d", Trunc(MapDisplayState.wind_x)));
    Line(dc, 52, 124, 58, 124);
    if (WindComponentSense[1] != 0) {
        Line(dc, 55, 122, 58, 124);
        Line(dc, 55, 126, 58, 124);
    } else {
        Line(dc, 55, 122, 52, 124);
        Line(dc, 55, 126, 52, 124);
    }
}

void CompositeReadoutsDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    const int side = p.set.side;
    DrawContext* dc = p.dc;
    platform::DrawSelectObject(dc, MainFont());
    TextColour(dc, kEfisWhite);
    Pen(dc, kEfisCyan);
    // Unturned: the glyph marks a fixed readout.
    SetRotation(0, 0, 0.0f, 0);
    static constexpr DrawPoint kGlyph[5] = {{10, 79}, {10, 74}, {16, 79}, {22, 74}, {22, 80}};
    RotPath(dc, kGlyph, 5);
    Text(dc, 15, 3, "CRS");
    platform::DrawSelectObject(dc, LargeFont());
    const bool valid = HeadingValid(side);
    if (valid) {
        TextColour(dc, kEfisYellow);
        Text(dc, 15, 13, Format(p.set.course_text, "%03d", Trunc(Selected(side).course)));
        TextColour(dc, kEfisCyan);
        Text(dc, 15, 83, Format(p.set.selected_text, "%03d", SelectedHeading(side)));
    } else {
        TextColour(dc, kEfisYellow);
        Text(dc, 15, 12, "---");
        Text(dc, 15, 82, "---");
    }
    platform::DrawSelectObject(dc, MainFont());
    if (valid && !Reverted(side, 1)) {
        TextColour(dc, kEfisWhite);
        const bool gyro = Ahrs(side).gyro_mode != 0;
        Text(dc, 16, 95, side == 0 ? (gyro ? "DG1" : "HDG1") : (gyro ? "DG2" : "HDG2"));
    } else if (valid) {
        TextColour(dc, kEfisYellow);
        Text(dc, 16, 96, side == 0 ? "HDG2" : "HDG1");
    }
    TextColour(dc, kEfisWhite);
}

void CompositeHeadingTapeDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    const int side = p.set.side;
    DrawContext* dc = p.dc;
    const double heading = Ahrs(side).heading;
    const auto h = Trunc(heading);
    const bool valid = HeadingValid(side);
    // 1. Readout.
    platform::DrawSelectObject(dc, LargeFont());
    if (valid) {
        TextColour(dc, kEfisWhite);
        Text(dc, 83, 87, Format(p.set.heading_text, "%03d", h));
    } else {
        TextColour(dc, kEfisMagenta);
        Text(dc, 83, 87, "---");
    }
    TextColour(dc, kEfisWhite);
    // 2. Window, baseline and lubber line.
    platform::DrawSelectClipRegion(dc, p.regions.tape_window);
    Pen(dc, kEfisWhite);
    Line(dc, 53, 107, 112, 107);
    Pen(dc, kEfisMagenta);
    Line(dc, 83, 97, 83, 107);
    // 3. Ticks, 2 degrees a unit.
    Pen(dc, kEfisWhite);
    const int32_t base = 84 - (h % 30) / 2;
    for (int32_t d = -60; d < 60; d += 5)
        Line(dc, base + d, 107, base + d, d % 15 == 0 ? 111 : 109);
    // 4. Selected-heading marker.
    if (valid) {
        const int32_t x = 84 + WholeDegreeDiff(SelectedHeading(side), h) / 2;
        if (x > 20 && x < 110) {
            Pen(dc, kEfisCyan);
            const DrawPoint marker[5] = {
                {x - 6, 106}, {x - 6, 101}, {x, 106}, {x + 6, 101}, {x + 6, 107}};
            Path(dc, marker, 5);
        }
    }
    // 5. Labels.
    platform::DrawSelectObject(dc, MainFont());
    TextColour(dc, kEfisWhite);
    for (int j = 0; j < 12; ++j) {
        const auto x = Trunc(84 + 0.5 * AngleDiff(30.0 * j, heading));
        if (x > 20 && x < 110) Text(dc, x, 110, kCardLabels[j]);
    }
    platform::DrawResetClip(dc);
}

void CompositeNavReadoutsDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    const int side = p.set.side;
    DrawContext* dc = p.dc;
    const NavSourceRecord& sel = Selected(side);
    if (sel.kind == 0) return;
    platform::DrawSelectObject(dc, MainFont());
    TextColour(dc, kEfisWhite);
    Text(dc, 157, 3, "NM");
    TextColour(dc, SourceNameColour(side));
    DrawName4(dc, 112, 3, SourceName(side));
    TextColour(dc, kEfisCyan);
    Text(dc, 140, 3, DistanceText(p.set));
    if (sel.computed_distance != 0) Text(dc, 19, 3, "H");
    TextColour(dc, kEfisWhite);
}

// --- Bearing pointers.

double EhsiLateralDeviation(int side) {
    const NavSourceRecord& r = Selected(side);
    // The needle value as its unsigned byte form 0..255 (-1 is 255).
    double v = r.lateral_deviation;
    if (!std::isfinite(v)) v = 0;
    v = std::fmod(v, 256.0);
    if (v < 0) v += 256.0;
    double d = v < 128 ? v * 20.0 / 127.0 : -(256.0 - v) * 20.0 / 127.0;
    if (FdBarSense != 0 && r.receive_state == 2) d = -d;
    return d;
}

namespace {

bool Within5(double a, double b) {
    return std::abs(AngleDiff(a, b)) <= 5.0;
}

// Truncated to whole degrees, then `step` toward whichever of the two
// results is nearer `target`.
double StepToward(double angle, double target, double step) {
    const double base = std::trunc(angle);
    const double up = base + step, down = base - step;
    return std::abs(AngleDiff(up, target)) <= std::abs(AngleDiff(down, target)) ? up : down;
}

void BearingUpdate(EhsiBearingPointer& ptr, const NavSourceRecord& r) {
    const bool v = r.bearing_valid != 0;
    double& angle = ptr.angle;
    if (v && ptr.countdown == 0) {
        // 1. Following the bearing.
        angle = r.bearing;
        ptr.shown = true;
    } else if (v || Within5(angle, 90.0) || Within5(angle, 270.0)) {
        // 2. Re-acquiring, or parked.
        if (std::abs(AngleDiff(angle, r.bearing)) > 5.0 && v && ptr.countdown > 0) {
            angle = StepToward(angle, r.bearing, 4.0);
            ptr.shown = true;
        } else if (!v) {
            ptr.shown = false;
        } else {
            ptr.countdown = 0;
        }
    } else {
        // 3. Swinging to the nearer of 3 and 9 o'clock.
        const double park =
            std::abs(AngleDiff(angle, 90.0)) <= std::abs(AngleDiff(angle, -90.0)) ? 90.0 : -90.0;
        angle = StepToward(angle, park, 2.0);
        ptr.countdown = 200;
        ptr.shown = true;
    }
    // 4.
    if (v && ptr.countdown > 0) {
        --ptr.countdown;
        RedrawRequest.store(255, std::memory_order_release);
    }
    // 5.
    if (angle >= 360.0) angle -= 360.0;
    if (angle < 0.0) angle += 360.0;
}

}  // namespace

void EhsiBearing1Update(EhsiSet& set) {
    BearingUpdate(set.pointers[0], NavSources[PointerSource(set.side, 0)]);
}

void EhsiBearing2Update(EhsiSet& set) {
    BearingUpdate(set.pointers[1], NavSources[PointerSource(set.side, 1)]);
}

namespace {

// Both pointers about (84, cy); `arc` picks the arc's shapes.
void DrawPointer1(const EhsiPaint& p, int32_t cy, bool arc) {
    const EhsiBearingPointer& ptr = p.set.pointers[0];
    if (!ptr.shown) return;
    const auto angle = static_cast<float>(ptr.angle - Ahrs(p.set.side).heading_bias);
    SetRotation(84, cy, angle, 0);
    zu::SmoothSetTransform(p.g, angle, 84, static_cast<float>(cy), 0);
    const uint32_t cyan = EfisBasicPalette[6];
    Pen(p.dc, kEfisCyan);
    if (arc) {
        zu::SmoothEllipse(p.g, 80, 47, 8, 8, cyan);
        RotLine(p.dc, 84, 28, 84, 47);
        RotLine(p.dc, 84, 161, 84, 192);
    } else {
        zu::SmoothEllipse(p.g, 81, 37, 6, 6, cyan);
        RotLine(p.dc, 84, 19, 84, 37);
        RotLine(p.dc, 84, 93, 84, 109);
    }
}

void DrawPointer2(const EhsiPaint& p, int32_t cy, bool arc) {
    const EhsiBearingPointer& ptr = p.set.pointers[1];
    if (!ptr.shown) return;
    SetRotation(84, cy, static_cast<float>(ptr.angle - Ahrs(p.set.side).heading_bias), 0);
    Pen(p.dc, kEfisGreen);
    if (arc) {
        static constexpr DrawPoint kDiamond[5] = {{84, 44}, {80, 47}, {84, 50}, {88, 47}, {84, 44}};
        RotLine(p.dc, 84, 28, 84, 44);
        RotPath(p.dc, kDiamond, 5);
        RotLine(p.dc, 80, 47, 80, 60);
        RotLine(p.dc, 88, 47, 88, 60);
        RotLine(p.dc, 84, 161, 84, 192);
    } else {
        static constexpr DrawPoint kDiamond[5] = {{84, 33}, {81, 36}, {84, 39}, {87, 36}, {84, 33}};
        RotLine(p.dc, 84, 19, 84, 33);
        RotPath(p.dc, kDiamond, 5);
        RotLine(p.dc, 81, 36, 81, 45);
        RotLine(p.dc, 87, 36, 87, 45);
        RotLine(p.dc, 84, 93, 84, 109);
    }
}

void EndPointers(const EhsiPaint& p) {
    zu::SmoothSetTransform(p.g, 0, 0, 0, 0);
    SetRotation(0, 0, 0.0f, 0);
    Pen(p.dc, kEfisWhite);
}

}  // namespace

void EhsiBearingPointersDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    EhsiBearing2Update(p.set);
    EhsiBearing1Update(p.set);
    if (!HeadingValid(p.set.side)) return;
    DrawPointer1(p, 65, false);
    DrawPointer2(p, 65, false);
    EndPointers(p);
}

void EhsiBearingPointersArcDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    EhsiBearing1Update(p.set);
    EhsiBearing2Update(p.set);
    if (!HeadingValid(p.set.side)) return;
    platform::DrawSelectClipRegion(p.dc, p.regions.trapezoid);
    DrawPointer1(p, 110, true);
    DrawPointer2(p, 110, true);
    platform::DrawResetClip(p.dc);
    EndPointers(p);
}

// --- Course pointer and deviation.

namespace {

bool ToFromShown(const NavSourceRecord& r) {
    return r.kind != 0 && !ReceivingLocaliser(r) && r.to_from != 0;
}

// The shapes of the rose (cy 65) or of the arc (cy 110).
struct CourseShapes {
    int32_t cy;
    DrawPoint to[3];
    DrawPoint from[3];
    DrawPoint stem[2];
    DrawPoint arrow[9];
    DrawPoint tail[7];
    DrawPoint tail_stem[2];
    float bar[7][2];  // x less the deviation
    int32_t cross_top, cross_bottom;
};

constexpr CourseShapes kRoseCourse = {
    65,
    {{84, 51}, {80, 55}, {88, 55}},
    {{84, 76}, {80, 72}, {88, 72}},
    {{84, 19}, {84, 27}},
    {{84, 27}, {88, 31}, {87, 31}, {87, 50}, {84, 48}, {81, 50}, {81, 31}, {80, 31}, {84, 27}},
    {{81, 79}, {84, 77}, {87, 79}, {87, 103}, {84, 101}, {81, 103}, {81, 79}},
    {{84, 101}, {84, 111}},
    {{87, 52}, {84, 50}, {81, 52}, {81, 77}, {84, 74}, {87, 77}, {87, 52}},
    60,
    70};

constexpr CourseShapes kArcCourse = {
    110,
    {{84, 94}, {80, 98}, {88, 98}},
    {{84, 98}, {80, 94}, {88, 94}},
    {{84, 28}, {84, 37}},
    {{84, 37}, {88, 41}, {87, 41}, {87, 90}, {84, 88}, {81, 90}, {81, 41}, {80, 41}, {84, 37}},
    {{81, 124}, {84, 122}, {87, 124}, {87, 183}, {84, 181}, {81, 183}, {81, 124}},
    {{84, 181}, {84, 192}},
    {{87, 93}, {84, 91}, {81, 93}, {81, 121}, {84, 118}, {87, 121}, {87, 93}},
    105,
    115};

void DrawDeviationDots(DrawContext* dc, int32_t cy) {
    Pen(dc, kEfisGrey);
    for (int32_t x : {64, 74, 94, 104}) RotDiamond(dc, x, cy);
}

void DrawToFromPointer(DrawContext* dc, const CourseShapes& s, const NavSourceRecord& r) {
    if (!ToFromShown(r)) return;
    Pen(dc, kEfisGrey);
    platform::DrawSelectObject(dc, EfisBrushes[kEfisRed]);
    const DrawPoint* t = r.to_from == 1 ? s.to : s.from;
    RotTriangle(dc, t[0], t[1], t[2]);
}

void DrawCourseArrow(DrawContext* dc, const CourseShapes& s) {
    Pen(dc, kEfisYellow);
    RotPath(dc, s.stem, 2);
    RotPath(dc, s.arrow, 9);
    RotPath(dc, s.tail, 7);
    RotPath(dc, s.tail_stem, 2);
}

void DrawDeviationBar(DrawContext* g, const CourseShapes& s, double d) {
    const auto dx = static_cast<float>(d);
    SmoothMoveTo(s.bar[0][0] + dx, s.bar[0][1]);
    for (int k = 1; k < 7; ++k) SmoothLineTo(g, s.bar[k][0] + dx, s.bar[k][1], kSmoothYellow);
}

void DrawDeviationCross(DrawContext* dc, const CourseShapes& s) {
    Pen(dc, kEfisRed);
    RotLine(dc, 60, s.cross_top, 108, s.cross_bottom);
    RotLine(dc, 60, s.cross_bottom, 108, s.cross_top);
}

void CoursePointer(const EhsiPaint& p, const CourseShapes& s, bool arc) {
    const int side = p.set.side;
    const NavSourceRecord& r = Selected(side);
    const bool valid = HeadingValid(side);
    const auto angle = static_cast<float>(r.course - Ahrs(side).heading);
    SetRotation(84, s.cy, angle, 0);
    zu::SmoothSetTransform(p.g, angle, 84, static_cast<float>(s.cy), 0);
    DrawDeviationDots(p.dc, s.cy);
    if (valid) {
        DrawToFromPointer(p.dc, s, r);
        DrawCourseArrow(p.dc, s);
    }
    const double d = EhsiLateralDeviation(side);
    const int32_t test = FGC_comp_FGC1_system_test_timer;
    if (arc) {
        if (valid && r.deviation_valid == 0) DrawDeviationCross(p.dc, s);
        if (valid && r.deviation_valid != 0) DrawDeviationBar(p.g, s, d);
    } else {
        if ((r.deviation_valid != 0 && valid) || test > 345) DrawDeviationBar(p.g, s, d);
        if (test >= 346 || r.deviation_valid == 0) DrawDeviationCross(p.dc, s);
    }
    SetRotation(0, 0, 0.0f, 0);
    zu::SmoothSetTransform(p.g, 0, 0, 0, 0);
    Pen(p.dc, kEfisWhite);
}

}  // namespace

void EhsiCoursePointerDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    CoursePointer(p, kRoseCourse, false);
}

void EhsiCoursePointerArcDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    platform::DrawSelectClipRegion(p.dc, p.regions.trapezoid);
    CoursePointer(p, kArcCourse, true);
    platform::DrawResetClip(p.dc);
}

void EhsiDeviationScaleDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    const uint32_t grey = EfisBasicPalette[10];
    Pen(p.dc, kEfisGrey);
    for (int32_t x : {64, 74, 94, 104}) {
        const DrawPoint d[5] = {{x, 123}, {x + 2, 125}, {x, 127}, {x - 2, 125}, {x, 123}};
        Path(p.dc, d, 5);
        for (int k = 0; k < 4; ++k) {
            SmoothLineF(p.g, grey, static_cast<float>(d[k].x), static_cast<float>(d[k].y),
                        static_cast<float>(d[k + 1].x), static_cast<float>(d[k + 1].y));
        }
    }
    Line(p.dc, 84, 122, 84, 128);
    SmoothLineF(p.g, grey, 84, 122, 84, 128);
    if (Selected(p.set.side).deviation_valid != 0) {
        const auto d = static_cast<int32_t>(EhsiLateralDeviation(p.set.side));
        Pen(p.dc, kEfisYellow);
        platform::DrawSelectObject(p.dc, EfisBrushes[kEfisYellow]);
        platform::DrawRectangle(p.dc, {d + 83, 122, d + 86, 129});
    }
    Pen(p.dc, kEfisWhite);
}

void EhsiToFromDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    const NavSourceRecord& r = Selected(p.set.side);
    if (!ToFromShown(r)) return;
    platform::DrawSelectObject(p.dc, MainFont());
    TextColour(p.dc, kEfisWhite);
    Text(p.dc, 32, 12, r.to_from == 1 ? "TO" : "FR");
}

void EhsiVerticalDeviationDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    const NavSourceRecord& r = Selected(p.set.side);
    const bool tuned_low = r.frequency >= 1 && r.frequency <= 11199;
    const bool fms = r.kind == 4;
    if (!tuned_low && r.receive_state != 2 && !fms) return;
    DrawContext* dc = p.dc;
    // 1. Scale.
    Pen(dc, kEfisWhite);
    static constexpr platform::DrawRect kMarks[5] = {{147, 63, 151, 67},
                                                     {148, 52, 150, 54},
                                                     {148, 34, 150, 36},
                                                     {148, 76, 150, 79},
                                                     {148, 95, 150, 97}};
    for (const platform::DrawRect& m : kMarks) {
        const DrawPoint box[5] = {{m.left, m.top},
                                  {m.right, m.top},
                                  {m.right, m.bottom},
                                  {m.left, m.bottom},
                                  {m.left, m.top}};
        Path(dc, box, 5);
    }
    // 2. Offset.
    const auto v = static_cast<uint8_t>(r.glideslope_deviation);
    const int32_t o = v < 128 ? -(35 * v) / 127 : (256 - v) * 35 / 127;
    SetRotation(0, 0, 0.0f, o);
    // 3. Source letter.
    platform::DrawSelectObject(dc, MainFont());
    TextColour(dc, kEfisGreen);
    Text(dc, 158, 60 - o, r.receive_state == 2 ? "G" : (fms ? "V" : " "));
    // 4. Pointer.
    if (r.glideslope_alive != 0) {
        Pen(dc, kEfisGreen);
        static constexpr DrawPoint kPointer[7] = {{153, 62}, {153, 69}, {158, 71}, {161, 71},
                                                  {161, 60}, {158, 60}, {153, 62}};
        RotPath(dc, kPointer, 7);
    }
    // 5. Flag.
    SetRotation(0, 0, 0.0f, 0);
    if (FGC_comp_FGC1_system_test_timer == 0 && !fms && r.receive_state != 2 && tuned_low) {
        Pen(dc, kEfisRed);
        Line(dc, 146, 32, 152, 99);
        Line(dc, 152, 32, 146, 99);
    }
    TextColour(dc, kEfisWhite);
    Pen(dc, kEfisWhite);
}

// --- Station symbols.

namespace {

constexpr DrawPoint kStationSymbol[11] = {{0, 0}, {0, -1}, {1, -1}, {1, 0},  {3, 2}, {2, 3},
                                          {1, 2}, {0, 2},  {-1, 3}, {-2, 2}, {0, 0}};

void DrawStation(DrawContext* dc, int32_t x, int32_t y) {
    platform::DrawMoveTo(dc, x + kStationSymbol[0].x, y + kStationSymbol[0].y);
    for (int k = 1; k < 11; ++k)
        platform::DrawLineTo(dc, x + kStationSymbol[k].x, y + kStationSymbol[k].y);
}

bool StationPlaced(const NavSourceRecord& r) {
    return r.kind != 0 && !ReceivingLocaliser(r) && r.bearing_valid != 0 && r.to_from != 0 &&
           r.distance > 0.1 && r.distance < WxRange;
}

}  // namespace

void EhsiStationSymbolsDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    const int side = p.set.side;
    const bool vor1 = StationPlaced(NavSources[kNavVor1]);
    const bool vor2 = StationPlaced(NavSources[kNavVor2]);
    // 1. Beside the source names.
    if (vor1 && PointerSource(side, 0) == kNavVor1) {
        Pen(p.dc, kEfisCyan);
        DrawStation(p.dc, 20, 85);
    }
    if (vor2 && PointerSource(side, 1) == kNavVor2) {
        Pen(p.dc, kEfisGreen);
        DrawStation(p.dc, 20, 63);
    }
    // 2. At their bearing and distance.
    platform::DrawSelectClipRegion(p.dc, p.regions.trapezoid);
    const double bias = Ahrs(side).heading_bias;
    for (int k : {kNavVor1, kNavVor2}) {
        if (!(k == kNavVor1 ? vor1 : vor2)) continue;
        const NavSourceRecord& r = NavSources[k];
        const auto radius = Trunc(r.distance * 92.0 / WxRange);
        SetRotation(84, 110, static_cast<float>(r.bearing - bias), 0);
        Pen(p.dc, k == kNavVor1 ? kEfisCyan : kEfisGreen);
        DrawStation(p.dc, RotX(84, 110 - radius), RotY(84, 110 - radius));
    }
    // 3.
    platform::DrawResetClip(p.dc);
    SetRotation(84, 65, 0.0f, 0);
    Pen(p.dc, kEfisWhite);
}

// --- Flight-plan map.

int32_t EhsiMapRadius(double distance, double range) {
    // Far beyond the screen the radius is held where the integer rotation
    // cannot overflow.
    return std::clamp(Trunc(110.0 - distance * 92.0 / (range + 0.00001)), -30000, 30000);
}

namespace {

int32_t& MapPhase(EhsiSet& set) {
    return set.virtual_cockpit ? set.map.phase : EhsiMapPhase[set.side != 0 ? 1 : 0];
}

bool EhsiLegIsShown(const LegRecord& leg) {
    return leg.fixed_distance != 0 && leg.leg_class != 5;
}

// Projects a candidate leg and stores it; false when the list is full or
// the leg is no candidate.
bool StoreLeg(EhsiSet& set, const LegRecord& leg, bool highlight) {
    EhsiMapState& m = set.map;
    if (m.last >= kEhsiMapEntries - 1 || !EhsiLegIsShown(leg)) return false;
    GreatCircleDistanceCourse(leg.end_latitude, leg.end_longitude, AircraftPosition.latitude,
                              AircraftPosition.longitude);
    const GreatCircleResult gc = GreatCircleDistanceCourseResult;
    // A rotation of its own: the list is built by the picture's key too,
    // which leaves the gauge's rotation as it was.
    EfisRotationRecord turn{};
    SetRotation(turn, 84, 110, static_cast<float>(gc.course - Ahrs(set.side).heading - NavHeading),
                0);
    const int32_t r = EhsiMapRadius(gc.distance, WxRange);
    EhsiMapEntry& e = m.entries[++m.last];
    e.x = RotX(turn, 84, r);
    e.y = RotY(turn, 84, r);
    e.highlight = highlight ? 1 : 0;
    // The fix identifier, at most six characters.
    size_t n = 0;
    while (n < kEhsiMapNameSize && n < sizeof leg.ident && leg.ident[n] != '\0') ++n;
    std::memcpy(e.name, leg.ident, n);
    e.name[n] = '\0';
    return true;
}

void RebuildMap(EhsiSet& set) {
    set.map.last = -1;
    // a. The TO leg.
    if (FmsToLegCopy.list_kind == kSlotFilled) StoreLeg(set, FmsToLegCopy, true);
    // b. The NEXT leg and the plan's legs after it.
    if (FmsNextLeg.list_kind == kSlotFilled) {
        if (FmsNextLegIndex >= 0) StoreLeg(set, FmsNextLeg, true);
        const int64_t end =
            std::min<int64_t>({FmsLegCount, static_cast<int64_t>(FmsNextLegIndex) + 5,
                               static_cast<int64_t>(kLegListCapacity)});
        for (int64_t k = static_cast<int64_t>(FmsNextLegIndex) + 1; k < end; ++k) {
            if (k < 0) continue;
            StoreLeg(set, FlightPlan.legs[k], k == FmsToLegIndex);
        }
    }
    // c. Otherwise the plan's first legs.
    if (set.map.last < 0) {
        const int64_t end =
            std::min<int64_t>({FmsLegCount, 5, static_cast<int64_t>(kLegListCapacity)});
        for (int64_t k = 0; k < end; ++k) StoreLeg(set, FlightPlan.legs[k], k == FmsToLegIndex);
    }
    set.map.last = std::min(set.map.last, kEhsiMapEntries - 1);
}

// One picture's step of the map's count: a new range or a count of 0
// rebuilds the list, then the count goes on (0..7).
void MapStep(EhsiSet& set) {
    int32_t& phase = MapPhase(set);
    if (static_cast<double>(WxRange) != set.map.range_drawn) {
        set.map.range_drawn = WxRange;
        phase = 0;
    }
    if (phase == 0) RebuildMap(set);
    phase = (phase + 1) % 8;
    if (phase < 0) phase = 0;
}

void DrawMapNames(DrawContext* dc, const EhsiMapState& m) {
    SetRotation(84, 110, 0.0f, 0);
    platform::DrawSetBkMode(dc, true);
    platform::DrawSetBkColour(dc, EfisVariableColour);
    for (int k = m.last; k >= 0; --k) {
        const EhsiMapEntry& e = m.entries[k];
        TextColour(dc, e.highlight != 0 ? kEfisMagenta : kEfisWhite);
        const auto len = static_cast<int32_t>(std::strlen(e.name));
        platform::DrawTextOut(dc, e.x - 3 * len - 4, e.y - 5, e.name, len);
    }
    platform::DrawSetBkMode(dc, false);
}

// A four-pointed star reaching 4 units from the point, in 16 segments.
void DrawWaypointStar(DrawContext* dc, int32_t x, int32_t y) {
    static constexpr DrawPoint kQuarter[4] = {{1, -2}, {1, -1}, {2, -1}, {4, 0}};
    int32_t px = x, py = y - 4;
    for (int q = 0; q < 4; ++q) {
        for (const DrawPoint& k : kQuarter) {
            // The quarter turned by q x 90 degrees.
            int32_t dx = k.x, dy = k.y;
            for (int t = 0; t < q; ++t) {
                const int32_t nx = -dy;
                dy = dx;
                dx = nx;
            }
            RotLine(dc, px, py, x + dx, y + dy);
            px = x + dx;
            py = y + dy;
        }
    }
}

void DrawMapRoute(const EhsiPaint& p, const EhsiMapState& m) {
    for (int k = 0; k <= m.last; ++k) {
        const EhsiMapEntry& e = m.entries[k];
        if (k > 0) {
            const EhsiMapEntry& prev = m.entries[k - 1];
            SmoothLineF(p.g, kSmoothWhite, static_cast<float>(prev.x), static_cast<float>(prev.y),
                        static_cast<float>(e.x), static_cast<float>(e.y));
        } else if (e.highlight != 0) {
            SmoothLineF(p.g, kSmoothWhite, 84, 110, static_cast<float>(e.x),
                        static_cast<float>(e.y));
        }
        Pen(p.dc, e.highlight != 0 ? kEfisMagenta : kEfisWhite);
        DrawWaypointStar(p.dc, e.x, e.y);
        Pen(p.dc, kEfisVariable);
        Line(p.dc, e.x - 3, e.y, e.x + 3, e.y);
        Line(p.dc, e.x, e.y - 3, e.x, e.y + 3);
    }
}

}  // namespace

void EhsiMapDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    EhsiSet& set = p.set;
    // 1.
    platform::DrawSelectObject(p.dc, NarrowFont());
    platform::DrawSetRop2(p.dc, platform::DrawRop2::CopyPen);
    platform::DrawSelectClipRegion(p.dc, p.regions.arc_window);
    // 2./3./6. The count's step (a new range or 0 rebuilds), unless the
    // picture's key took it; the list drawn is the step's.
    if (!set.map.stepped) MapStep(set);
    set.map.stepped = false;
    // 4./5.
    DrawMapNames(p.dc, set.map);
    DrawMapRoute(p, set.map);
    zu::SmoothSetTransform(p.g, 0, 0, 0, 0);
    platform::DrawResetClip(p.dc);
    platform::DrawSetRop2(p.dc, platform::DrawRop2::MergePen);
    TextColour(p.dc, kEfisWhite);
}

void EhsiMapTakenAsDrawn(EhsiSet& set) {
    // As EhsiPictureDraw's map step leaves it: its key took the step.
    if (DisplayFormat[set.side != 0 ? 1 : 0] == 0 && Mode(set.side) == 2) {
        set.map.stepped = false;
    }
}

// --- The picture of the normal format.

void EhsiPictureDraw(const EhsiPaint& p) {
    if (p.dc == nullptr || !EfisResourcesReady()) return;
    const int32_t mode = Mode(p.set.side);
    if (mode == 0) {
        EhsiRoseDraw(p);
        EhsiBearingPointersDraw(p);
        EhsiCoursePointerDraw(p);
        EhsiSyncMarkDraw(p);
    } else {
        // The radar picture first: the card draws over it.
        HsiWxOverlayDraw(p.dc, p.regions.arc_window, p.set.side);
        EhsiArcDraw(p);
        EhsiStationSymbolsDraw(p);
        if (mode == 2) {
            EhsiToFromDraw(p);
            EhsiDeviationScaleDraw(p);
            EhsiMapDraw(p);
        } else {
            EhsiBearingPointersArcDraw(p);
            EhsiCoursePointerArcDraw(p);
            EhsiWindComponentsDraw(p);
        }
    }
    EhsiNavReadoutsDraw(p);
    EhsiWxAnnunciationDraw(p);
    EhsiHdgCrsReadoutsDraw(p);
    EhsiVerticalDeviationDraw(p);
}

}  // namespace zu

namespace zu {

namespace {

// --- Repaint keys: what each step reads, as the step draws it.

void KeyText(RepaintKeyBuilder& key, const char* text) {
    const size_t n = text != nullptr ? std::strlen(text) : 0;
    key.Add(n);
    if (n > 0) key.Bytes(text, n);
}

// The integer rotation's table index of an angle.
int32_t RotationIndex(float angle) {
    return EfisAngleIndex(angle);
}

// The rose's and the arc's card: the row and labels of the turn index, the
// heading marker's and the drift mark's rotations.
void KeyCard(RepaintKeyBuilder& key, int side) {
    const AhrsRecord& a = Ahrs(side);
    const bool valid = HeadingValid(side);
    const bool map_mark = valid && FmsPowered != 0;
    key.Pack(valid, map_mark, TurnIndex(a.heading));
    if (valid) {
        key.Pack(RotationIndex(static_cast<float>(SelectedHeading(side) - a.heading)),
                 map_mark ? RotationIndex(static_cast<float>(MapDisplayState.map_value)) : 0);
    }
}

// EhsiArcDraw beyond the card: the half-range label and the readout.
void KeyArc(RepaintKeyBuilder& key, int side) {
    KeyCard(key, side);
    key.Add(WxRange);
    if (HeadingValid(side)) key.Add(Trunc(Ahrs(side).heading));
}

void KeySyncMark(RepaintKeyBuilder& key, int side) {
    const bool shown = HeadingValid(side) && Ahrs(side).gyro_mode == 0;
    key.Pack(shown, shown && Ahrs(side).heading_ahead == 0);
}

// The pointers' update reads their sources' bearings (the pointers' own
// state is the set's, in EhsiStateKey); the drawing turns them by the
// angle less the bias, in the smooth layer's floats too.
void KeyBearingPointers(RepaintKeyBuilder& key, int side) {
    for (int k = 0; k < 2; ++k) {
        const NavSourceRecord& r = NavSources[PointerSource(side, k)];
        key.Add(r.bearing_valid).Add(r.bearing);
    }
    key.Add(Ahrs(side).heading_bias);
}

int32_t ToFromState(const NavSourceRecord& r) {
    return ToFromShown(r) ? (r.to_from == 1 ? 1 : 2) : 0;
}

// CoursePointer: the card's angle (the rotation's and the smooth layer's),
// the TO/FROM pointer, the deviation bar's offset and its cross.
void KeyCoursePointer(RepaintKeyBuilder& key, int side) {
    const NavSourceRecord& r = Selected(side);
    key.Pack(static_cast<float>(r.course - Ahrs(side).heading),
             static_cast<float>(EhsiLateralDeviation(side)));
    key.Pack(ToFromState(r), r.deviation_valid != 0);
}

void KeyWindComponents(RepaintKeyBuilder& key) {
    key.Add(Trunc(MapDisplayState.wind_y)).Add(Trunc(MapDisplayState.wind_x));
    key.Add(WindComponentSense[0] == 0).Add(WindComponentSense[1] != 0);
}

// Each VOR station's placed point: its radius and its rotation.
void KeyStationSymbols(RepaintKeyBuilder& key, int side) {
    const double bias = Ahrs(side).heading_bias;
    for (int k : {kNavVor1, kNavVor2}) {
        const NavSourceRecord& r = NavSources[k];
        const bool placed = StationPlaced(r);
        key.Add(placed);
        if (!placed) continue;
        key.Add(Trunc(r.distance * 92.0 / WxRange));
        key.Add(RotationIndex(static_cast<float>(r.bearing - bias)));
    }
}

void KeyDeviationScale(RepaintKeyBuilder& key, int side) {
    const bool valid = Selected(side).deviation_valid != 0;
    key.Pack(valid, valid ? static_cast<int32_t>(EhsiLateralDeviation(side)) : 0);
}

// The source names, distance and flags of the readouts (the rose's and
// arc's, and the composite format's).
void KeyNavReadouts(RepaintKeyBuilder& key, int side) {
    const NavSourceRecord& b0 = NavSources[PointerSource(side, 0)];
    const NavSourceRecord& b1 = NavSources[PointerSource(side, 1)];
    const NavSourceRecord& fms = NavSources[kNavFms1];
    const NavSourceRecord& sel = Selected(side);
    key.Pack(b0.kind != 0, b1.kind != 0,
             fms.distance < 8.0 && fms.distance_valid != 0 && FmsToLegIndex > 0, sel.kind != 0);
    if (b0.kind != 0) key.Add(b0.name);
    if (b1.kind != 0) key.Add(b1.name);
    if (sel.kind != 0) {
        key.Add(SourceName(side)).Pack(SourceNameColour(side), sel.computed_distance != 0);
        char distance[10]{};
        KeyText(key, DistanceTextInto(distance, side));
    }
}

void KeyHdgCrsReadouts(RepaintKeyBuilder& key, int side) {
    if (HeadingValid(side)) key.Add(Trunc(Selected(side).course));
    if (!TimeToGoShown(side)) {
        key.Add(GroundSpeed);
    } else {
        key.Add(std::min(Selected(side).time_to_station, int32_t{399}));
    }
}

void KeyWxAnnunciation(RepaintKeyBuilder& key) {
    const WxRadarRecord& wx = WxRadarState;
    key.Pack(wx.display_mode, wx.gcr, wx.rct, wx.wait, wx.manual_gain_active);
    key.Pack(wx.target_alert_enabled, wx.target_detected);
}

void KeyVerticalDeviation(RepaintKeyBuilder& key, int side) {
    const NavSourceRecord& r = Selected(side);
    const bool tuned_low = r.frequency >= 1 && r.frequency <= 11199;
    const bool fms = r.kind == 4;
    const bool shown = tuned_low || r.receive_state == 2 || fms;
    if (!shown) {
        key.Pack(shown);
        return;
    }
    key.Pack(shown, tuned_low, fms, r.receive_state == 2, r.glideslope_deviation,
             r.glideslope_alive != 0);
}

// The composite format's heading tape: the whole-degree heading, the
// marker and the labels' places.
void KeyCompositeHeadingTape(RepaintKeyBuilder& key, int side) {
    const double heading = Ahrs(side).heading;
    key.Add(Trunc(heading));
    for (int j = 0; j < 12; ++j) {
        const auto x = Trunc(84 + 0.5 * AngleDiff(30.0 * j, heading));
        key.Add(x > 20 && x < 110 ? x : 0);
    }
}

// The data every step reads, or whose change is rare: the side's mode and
// controls, the heading reference's validity and mode, the selections, the
// test timer's three shown states and the brightness.
void KeyCommon(RepaintKeyBuilder& key, int side) {
    const AhrsRecord& a = Ahrs(side);
    const int32_t test = FGC_comp_FGC1_system_test_timer;
    key.Pack(side, Mode(side));
    const auto test_shown = static_cast<uint8_t>(test > 345 ? 2 : test != 0 ? 1 : 0);
    key.Pack(a.valid, a.gyro_mode, test_shown, DisplayFormatToggle, FdBarSense);
    key.Pack(NavSourceSel1, NavSourceSel2);
    key.Add(DisplayControlState1).Add(DisplayControlState2);
    key.Pack(DisplayFormatFlags1, SelectedHeading(side)).Pack(DisplayBrightness);
}

}  // namespace

void EhsiInputsKeyAdd(RepaintKeyBuilder& key, int side) {
    KeyCommon(key, side);
    // As EhsiPictureDraw runs the steps.
    const int32_t mode = Mode(side);
    if (mode == 0) {
        KeyCard(key, side);
        KeyBearingPointers(key, side);
        KeyCoursePointer(key, side);
        KeySyncMark(key, side);
    } else {
        HsiWxOverlayKeyAdd(key, side);
        KeyArc(key, side);
        KeyStationSymbols(key, side);
        if (mode == 2) {
            key.Add(ToFromState(Selected(side)));
            KeyDeviationScale(key, side);
        } else {
            KeyBearingPointers(key, side);
            KeyCoursePointer(key, side);
            KeyWindComponents(key);
        }
    }
    KeyNavReadouts(key, side);
    KeyWxAnnunciation(key);
    KeyHdgCrsReadouts(key, side);
    KeyVerticalDeviation(key, side);
}

void EhsiPictureKeyAdd(RepaintKeyBuilder& key, EhsiSet& set) {
    const int side = set.side;
    // The composite format: the display gauge draws no sequence.
    if (DisplayFormat[side != 0 ? 1 : 0] != 0) return;
    if (Mode(side) == 2) {
        // The map's count is the picture's: its step is taken here, for the
        // pictures drawn and the ones left as they are, so the list is
        // rebuilt when a drawn picture would have rebuilt it.
        MapStep(set);
        set.map.stepped = true;
        const EhsiMapState& m = set.map;
        key.Add(m.last);
        for (int k = 0; k <= m.last && k < kEhsiMapEntries; ++k) {
            const EhsiMapEntry& e = m.entries[k];
            key.Add(e.x).Add(e.y).Add(e.highlight);
            KeyText(key, e.name);
        }
    }
    EhsiInputsKeyAdd(key, side);
}

void EhsiSharedStepsKeyAdd(RepaintKeyBuilder& key, int side) {
    KeyCommon(key, side);
    if (DisplayFormat[side != 0 ? 1 : 0] == 0) {
        // The deviation scale in place of the bottom scale, for a flight
        // management source or a localiser; the vertical deviation.
        const NavSourceRecord& r = Selected(side);
        key.Add(r.kind == 4 || r.receive_state == 2);
        KeyDeviationScale(key, side);
        KeyVerticalDeviation(key, side);
        return;
    }
    // The composite sequence's heading tape, readouts, TO/FROM, source
    // readouts, deviation scale and vertical deviation.
    KeyCompositeHeadingTape(key, side);
    if (HeadingValid(side)) key.Add(Trunc(Selected(side).course));
    key.Add(ToFromState(Selected(side)));
    KeyNavReadouts(key, side);
    KeyDeviationScale(key, side);
    KeyVerticalDeviation(key, side);
}

RepaintKey EhsiStateKey(EhsiSet& set) {
    // The texts are formatted anew before each is drawn, and the map's list
    // and count are the picture's key (EhsiPictureKeyAdd): neither is state.
    RepaintKeyBuilder key;
    key.Add(set.ready).Add(set.pointers);
    return key.Key();
}

}  // namespace zu
