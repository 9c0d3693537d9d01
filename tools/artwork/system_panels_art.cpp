// Artwork of the fire-protection panel, the hydraulic panels and
// indicators, the shut-off panels, the alternate gear pump, the bypass
// doors and the air-system indicators: every entry of their bitmap table
// (panels/system_panels_art.h), drawn by its kind. The dial scales follow
// the needle values the gauges compute (degrees clockwise from up).
#include "panels/system_panels_art.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "art_kit.h"
#include "families.h"

namespace art {

namespace {

namespace sa = zu::system_panels_art;

constexpr double kPi = 3.14159265358979323846;

Colour Ink(bool lit) {
    return lit ? kLitMarking : kWhite;
}

// --- Fire panel.

struct FireLampText {
    const char* line1;
    const char* line2;
    Colour colour;
};
const FireLampText kFireLampText[12] = {
    {"LOOP A", "FAULT", kAmber}, {"LOOP B", "FAULT", kAmber}, {"LOOP A", "FAULT", kAmber},
    {"LOOP B", "FAULT", kAmber}, {"BTL 1", "ARM", kGreen},    {"BTL 2", "ARM", kGreen},
    {"BTL 1", "ARM", kGreen},    {"BTL 2", "ARM", kGreen},    {"FUEL", "OFF", kAmber},
    {"FUEL", "ON", kGreen},      {"FUEL", "OFF", kAmber},     {"FUEL", "ON", kGreen},
};
// Where each lamp sits on the plate (the gauge's table, by lamp word).
const double kFireLampXY[12][2] = {
    {74, 146},  {134, 146}, {265, 146}, {325, 146}, {10, 102}, {74, 102},
    {325, 102}, {389, 102}, {10, 76},   {74, 76},   {325, 76}, {389, 76},
};

void FireCaptions(cairo_t* cr, bool lit) {
    const Colour ink = Ink(lit);
    DrawText(cr, Face::SansBold, 8, 70, 8, Align::Centre, "ENG 1 FIRE", ink);
    DrawText(cr, Face::SansBold, 8, 385, 8, Align::Centre, "ENG 2 FIRE", ink);
    DrawText(cr, Face::Sans, 6, 165, 16, Align::Centre, "EXTG 1", ink);
    DrawText(cr, Face::Sans, 6, 227, 16, Align::Centre, "FIRE DET TEST", ink);
    DrawText(cr, Face::Sans, 6, 290, 16, Align::Centre, "EXTG 2", ink);
    DrawText(cr, Face::Sans, 6, 227, 92, Align::Centre, "EXTG TEST", ink);
    for (double x : {165.0, 227.0, 290.0}) {
        DrawText(cr, Face::Sans, 5.5, x - 17, 62, Align::Centre, "1", ink);
        DrawText(cr, Face::Sans, 5.5, x, 62, Align::Centre, "OFF", ink);
        DrawText(cr, Face::Sans, 5.5, x + 17, 62, Align::Centre, "2", ink);
    }
    DrawText(cr, Face::Sans, 5.5, 210, 136, Align::Centre, "1", ink);
    DrawText(cr, Face::Sans, 5.5, 227, 140, Align::Centre, "OFF", ink);
    DrawText(cr, Face::Sans, 5.5, 244, 136, Align::Centre, "2", ink);
    for (double x : {30.0, 395.0}) {
        DrawText(cr, Face::Sans, 6, x + 15, 134, Align::Centre, "LOOP", ink);
        DrawText(cr, Face::Sans, 5.5, x + 36, 146, Align::Centre, "A", ink);
        DrawText(cr, Face::Sans, 5.5, x + 44, 166, Align::Centre, "BOTH", ink);
        DrawText(cr, Face::Sans, 5.5, x + 36, 188, Align::Centre, "B", ink);
    }
}

void FirePlate(cairo_t* cr, int w, int h) {
    DrawPlate(cr, w, h);
    for (int i = 0; i < 12; ++i) {
        DrawLamp(cr, kFireLampXY[i][0], kFireLampXY[i][1], sa::kFireLampSize.width,
                 sa::kFireLampSize.height, kFireLampText[i].colour, false,
                 {kFireLampText[i].line1, kFireLampText[i].line2});
    }
    for (double x : {30.0, 395.0}) {
        cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
        cairo_arc(cr, x + 15, 165, 14, 0, 2 * kPi);
        cairo_fill(cr);
    }
    FireCaptions(cr, false);
}

void FireHandle(cairo_t* cr, int w, int h, int variant) {
    const bool pulled = (variant & 1) != 0;
    const bool lit = (variant & 2) != 0;
    const double y = pulled ? 14.0 : 4.0;
    // The slot, then the T-handle.
    cairo_set_source_rgb(cr, 0.06, 0.06, 0.06);
    RoundedPath(cr, 8, 2, w - 16, h - 4, 6);
    cairo_fill(cr);
    const Colour body = lit ? Colour{1.0, 0.25, 0.15} : Colour{0.60, 0.08, 0.06};
    cairo_set_source_rgb(cr, body.r, body.g, body.b);
    RoundedPath(cr, 4, y, w - 8, 30, 8);
    cairo_fill(cr);
    DrawText(cr, Face::SansBold, 10, w / 2.0, y + 15, Align::Centre, "FIRE",
             lit ? Colour{0.1, 0.02, 0.0} : Colour{0.9, 0.8, 0.8});
    if (pulled) {
        cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
        cairo_rectangle(cr, w / 2.0 - 6, 2, 12, y - 2);
        cairo_fill(cr);
    }
}

// --- Bypass doors.

void BypassCaptions(cairo_t* cr, bool lit) {
    const Colour ink = Ink(lit);
    DrawText(cr, Face::SansBold, 7, 57, 8, Align::Centre, "BYPASS DOORS", ink);
    DrawText(cr, Face::Sans, 6, 28, 20, Align::Centre, "ENG 1", ink);
    DrawText(cr, Face::Sans, 6, 86, 20, Align::Centre, "ENG 2", ink);
    DrawText(cr, Face::Sans, 5.5, 28, 112, Align::Centre, "CLOSE", ink);
    DrawText(cr, Face::Sans, 5.5, 86, 112, Align::Centre, "CLOSE", ink);
}

void BypassPlate(cairo_t* cr, int w, int h) {
    DrawPlate(cr, w, h);
    const char* text[3] = {"CLOSED", "HEATER", "OPEN"};
    const Colour colour[3] = {kGreen, kAmber, kCyan};
    for (int door = 0; door < 2; ++door) {
        for (int i = 0; i < 3; ++i) {
            DrawLamp(cr, 8 + 58 * door, 26 + 20 * i, sa::kDoorLampSize.width,
                     sa::kDoorLampSize.height, colour[i], false, {text[i]});
        }
        cairo_set_source_rgb(cr, 0.55, 0.56, 0.58);
        cairo_arc(cr, 28 + 58 * door, 96, 7, 0, 2 * kPi);
        cairo_fill(cr);
    }
    BypassCaptions(cr, false);
}

// --- Standby hydraulic panel.

void StbyHydrCaptions(cairo_t* cr, bool lit) {
    const Colour ink = Ink(lit);
    DrawText(cr, Face::SansBold, 7, 72, 8, Align::Centre, "STBY HYD PUMPS", ink);
    DrawText(cr, Face::Sans, 6, 30, 20, Align::Centre, "PUMP 1", ink);
    DrawText(cr, Face::Sans, 6, 72, 20, Align::Centre, "PUMP 2", ink);
    for (double x : {30.0, 72.0}) {
        DrawText(cr, Face::Sans, 5.5, x + 16, 30, Align::Centre, "ON", ink);
        DrawText(cr, Face::Sans, 5.5, x + 18, 60, Align::Centre, "AUTO", ink);
    }
    DrawText(cr, Face::Sans, 6, 120, 20, Align::Centre, "PTU", ink);
}

void Toggle(cairo_t* cr, int w, int h, int variant) {
    const double cx = w / 2.0;
    const double cy = h / 2.0;
    cairo_set_source_rgb(cr, 0.15, 0.15, 0.16);
    cairo_arc(cr, cx, cy, w * 0.42, 0, 2 * kPi);
    cairo_fill(cr);
    const double tip = variant == 2 ? 3.0 : variant == 1 ? h - 3.0 : cy;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_source_rgb(cr, 0.82, 0.83, 0.85);
    cairo_set_line_width(cr, w * 0.3);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx, tip);
    cairo_stroke(cr);
    cairo_arc(cr, cx, tip, w * 0.22, 0, 2 * kPi);
    cairo_fill(cr);
}

// --- Indicator faces.

struct Scale {
    double a0;                        // needle value at the scale's start
    double a1;                        // and at its end
    int ticks;                        // intervals
    std::vector<std::string> labels;  // at the major ticks (every `ticks / (n - 1)`)
};

void DrawScale(cairo_t* cr, double cx, double cy, double r, const Scale& s, bool lit, double size) {
    const Colour ink = Ink(lit);
    DrawArc(cr, cx, cy, r, s.a0, s.a1, 1.0, ink, lit);
    // Labels sit on every `step`-th tick, the first on the scale's start.
    const int majors = s.labels.empty() ? 1 : static_cast<int>(s.labels.size()) - 1;
    const int step = std::max(1, s.ticks / std::max(1, majors));
    for (int i = 0; i <= s.ticks; ++i) {
        const double a = s.a0 + (s.a1 - s.a0) * i / s.ticks;
        const bool major = i % step == 0;
        DrawTick(cr, cx, cy, r, r - (major ? 5 : 3), a, major ? 1.3 : 0.8, ink, lit);
        const size_t label = static_cast<size_t>(i / step);
        if (major && label < s.labels.size()) {
            double x = 0;
            double y = 0;
            PolarPoint(cx, cy, r - 10, a, &x, &y);
            DrawText(cr, Face::Sans, size, x, y, Align::Centre, s.labels[label], ink);
        }
    }
}

void Title(cairo_t* cr, double cx, double y, const char* text, bool lit, double size = 5.5) {
    DrawText(cr, Face::SansBold, size, cx, y, Align::Centre, text, Ink(lit));
}

void DialFace(cairo_t* cr, int w, int h, int dial, bool lit) {
    const double cx = w / 2.0;
    const double cy = h / 2.0;
    const double r = w / 2.0 - 3;
    if (dial != sa::kDialCabAltSet) {
        cairo_set_source_rgb(cr, 0.14, 0.14, 0.15);
        RoundedPath(cr, 0.5, 0.5, w - 1, h - 1, 4);
        cairo_fill(cr);
        DrawFace(cr, cx, cy, r, lit);
    }
    switch (dial) {
        case sa::kDialStbyHydr:  // psi / 40: 3000 psi = 75
            DrawScale(cr, cx, cy, r - 2, {130, 205, 6, {"0", "1", "2", "3"}}, lit, 5.5);
            DrawScale(cr, cx, cy, r - 2, {50, -25, 6, {"0", "1", "2", "3"}}, lit, 5.5);
            Title(cr, cx - 14, cy, "1", lit);
            Title(cr, cx + 14, cy, "2", lit);
            Title(cr, cx, cy + 10, "STBY HYD", lit);
            Title(cr, cx, cy - 10, "PSI x1000", lit, 4.5);
            break;
        case sa::kDialMainHydr:  // psi / 35, needle 1 capped at 100 (3500 psi)
            DrawScale(cr, cx, cy, r - 2, {130, 230, 7, {"0", "1", "2", "3"}}, lit, 5.5);
            DrawScale(cr, cx, cy, r - 2, {50, -50, 7, {"0", "1", "2", "3"}}, lit, 5.5);
            Title(cr, cx - 14, cy, "1", lit);
            Title(cr, cx + 14, cy, "2", lit);
            Title(cr, cx, cy + 10, "HYD PRESS", lit);
            Title(cr, cx, cy - 10, "PSI x1000", lit, 4.5);
            break;
        case sa::kDialBrakeHydr:  // psi / 40
            DrawScale(cr, cx, cy, r - 2, {130, 230, 8, {"0", "1", "2", "3", "4"}}, lit, 5.5);
            Title(cr, cx, cy - 10, "PARK BRAKE", lit);
            Title(cr, cx, cy - 3, "PSI x1000", lit, 4.5);
            break;
        case sa::kDialHydrQty:  // reservoir 1 x 40, reservoir 2 x 20 (quarts)
            DrawScale(cr, cx, cy, r - 2, {140, 240, 5, {"0", "", "1", "", "2", ""}}, lit, 5.5);
            DrawScale(cr, cx, cy, r - 2, {40, -60, 5, {"0", "1", "2", "3", "4", "5"}}, lit, 5.5);
            Title(cr, cx - 14, cy, "1", lit);
            Title(cr, cx + 14, cy, "2", lit);
            Title(cr, cx, cy + 10, "HYD QTY", lit);
            Title(cr, cx, cy - 10, "QT", lit, 4.5);
            break;
        case sa::kDialDuctTemp:  // 193 + 2.1 T
            DrawScale(cr, cx, cy, r - 1, {193, 340, 7, {"0", "", "20", "", "40", "", "60", ""}},
                      lit, 5);
            Title(cr, cx, cy + 12, "DUCT", lit, 5);
            Title(cr, cx, cy + 19, "DEG C", lit, 5);
            break;
        case sa::kDialCabinDiff:  // 248 + 48 p
            DrawScale(cr, cx, cy, r - 1, {248, 536, 6, {"0", "1", "2", "3", "4", "5", "6"}}, lit,
                      5);
            Title(cr, cx, cy + 12, "DIFF", lit, 5);
            Title(cr, cx, cy + 19, "PSI", lit, 5);
            break;
        case sa::kDialCabinAlt: {  // 265 + the cabin-altitude table
            const double marks[6] = {0, 82, 167, 200, 235, 260};
            const char* labels[6] = {"0", "5", "10", "14", "20", "30"};
            DrawArc(cr, cx, cy, r - 1, 265, 525, 1.0, Ink(lit), lit);
            for (int i = 0; i < 6; ++i) {
                DrawTick(cr, cx, cy, r - 1, r - 6, 265 + marks[i], 1.3, Ink(lit), lit);
                double x = 0;
                double y = 0;
                PolarPoint(cx, cy, r - 11, 265 + marks[i], &x, &y);
                DrawText(cr, Face::Sans, 5, x, y, Align::Centre, labels[i], Ink(lit));
            }
            Title(cr, cx, cy + 12, "CAB ALT", lit, 5);
            Title(cr, cx, cy + 19, "FT x1000", lit, 4.5);
            break;
        }
        case sa::kDialCabinRate:  // 180 + r / 22
            DrawScale(
                cr, cx, cy, r - 1,
                {180 - 3000 / 22.0, 180 + 3000 / 22.0, 6, {"3", "2", "1", "0", "1", "2", "3"}}, lit,
                5);
            Title(cr, cx + 10, cy - 8, "DN", lit, 5);
            Title(cr, cx - 10, cy - 8, "UP", lit, 5);
            Title(cr, cx, cy + 12, "RATE", lit, 5);
            Title(cr, cx, cy + 19, "FPM x1000", lit, 4.5);
            break;
        case sa::kDialCabAltSet: {
            // Unlit: the plate and two dark dials; lit: the markings, shown
            // with the lit bit when the panel lights are on.
            const double dx[2] = {21, 63};
            const double dy = 24;
            if (!lit) {
                DrawPlate(cr, w, h);
                for (double x : dx) {
                    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
                    cairo_arc(cr, x, dy, 19, 0, 2 * kPi);
                    cairo_fill(cr);
                }
                break;
            }
            // Dial 1: 153 + 0.026 x field elevation (-1000 .. 10000 ft).
            DrawScale(cr, dx[0], dy, 18, {153 - 26, 153 + 260, 11, {}}, false, 4);
            DrawText(cr, Face::Sans, 4.5, dx[0], dy + 8, Align::Centre, "LDG ALT", kWhite);
            // Dial 2: (85 - knob) x 2, knob 0..100.
            DrawScale(cr, dx[1], dy, 18, {170, -30, 10, {}}, false, 4);
            DrawText(cr, Face::Sans, 4.5, dx[1], dy + 8, Align::Centre, "CAB ALT", kWhite);
            break;
        }
        default:
            break;
    }
}

// --- Shut-off panels.

void ShutoffCaptions(cairo_t* cr, int w, int switches, bool lit) {
    const Colour ink = Ink(lit);
    const char* title = switches == 2   ? "ROLL SPLR"
                        : switches == 4 ? "RUDDER / SPOILER SHUTOFF"
                                        : "PUSHER";
    DrawText(cr, Face::SansBold, 6, w / 2.0, 7, Align::Centre, title, ink);
    static const char* kRudderNames[4] = {"RUD 1", "SPLR 1", "SPLR 2", "RUD 2"};
    static const char* kRollNames[2] = {"L", "R"};
    const double pitch = static_cast<double>(w) / switches;
    for (int i = 0; i < switches; ++i) {
        const char* name = switches == 4 ? kRudderNames[i] : switches == 2 ? kRollNames[i] : "";
        DrawText(cr, Face::Sans, 5.5, pitch * (i + 0.5), 56, Align::Centre, name, ink);
    }
}

void ShutoffPlate(cairo_t* cr, int w, int h, int switches) {
    DrawPlate(cr, w, h);
    const double pitch = static_cast<double>(w) / switches;
    for (int i = 0; i < switches; ++i) {
        const double cx = pitch * (i + 0.5);
        // A guarded push switch; its legend window sits in the middle.
        cairo_set_source_rgb(cr, 0.60, 0.10, 0.08);
        RoundedPath(cr, cx - 14, 12, 28, 36, 3);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
        RoundedPath(cr, cx - 11, 22, 22, 14, 2);
        cairo_fill(cr);
    }
    ShutoffCaptions(cr, w, switches, false);
}

void AltGearPlate(cairo_t* cr, int w, int h) {
    DrawPlate(cr, w, h);
    DrawText(cr, Face::SansBold, 7, w / 2.0, 9, Align::Centre, "ALTERNATE GEAR", kWhite);
    DrawText(cr, Face::Sans, 6, w / 2.0, 92, Align::Centre, "PUMP", kWhite);
    for (int i = 0; i < 3; ++i) {
        DrawRoundLamp(cr, 20 + 30 * i, 30, 7, kGreen, false);
    }
}

void AltGearPart(cairo_t* cr, int w, int h, int variant) {
    switch (variant) {
        case 0:
            cairo_set_source_rgba(cr, 0.70, 0.08, 0.06, 0.85);
            RoundedPath(cr, 1, 1, w - 2, h - 2, 3);
            cairo_fill(cr);
            break;
        case 1:
        case 2:
            Toggle(cr, w, h, variant == 1 ? 2 : 1);
            break;
        default:
            DrawRoundLamp(cr, w / 2.0, h / 2.0, w / 2.0 - 2, kGreen, true);
            break;
    }
}

void Draw(BitmapSet& set, const sa::Art& a) {
    cairo_t* cr = set.Begin(a.width, a.height);
    const int w = a.width;
    const int h = a.height;
    switch (a.kind) {
        case sa::Kind::FirePlate:
            FirePlate(cr, w, h);
            break;
        case sa::Kind::FireLit:
            FireCaptions(cr, true);
            break;
        case sa::Kind::FireLamp: {
            const FireLampText& t = kFireLampText[a.variant];
            DrawLamp(cr, 0, 0, w, h, t.colour, true, {t.line1, t.line2});
            break;
        }
        case sa::Kind::FireHandle:
            FireHandle(cr, w, h, a.variant);
            break;
        case sa::Kind::Selector:
            DrawKnob(cr, w / 2.0, h / 2.0, w / 2.0 - 1,
                     a.variant == 1   ? -45.0
                     : a.variant == 2 ? 45.0
                                      : 0.0);
            break;
        case sa::Kind::KnobPointer:
            DrawKnob(cr, w / 2.0, h / 2.0, w / 2.0 - 2, 0.0);
            if (a.variant == 1) {
                SetColour(cr, Colour{kLitMarking.r, kLitMarking.g, kLitMarking.b, 0.9});
                cairo_set_line_width(cr, 2);
                cairo_move_to(cr, w / 2.0, 3);
                cairo_line_to(cr, w / 2.0, h / 2.0 - 4);
                cairo_stroke(cr);
            }
            break;
        case sa::Kind::BypassPlate:
            BypassPlate(cr, w, h);
            break;
        case sa::Kind::BypassLit:
            BypassCaptions(cr, true);
            break;
        case sa::Kind::DoorLamp: {
            const char* text[3] = {"CLOSED", "HEATER", "OPEN"};
            const Colour colour[3] = {kGreen, kAmber, kCyan};
            DrawLamp(cr, 0, 0, w, h, colour[a.variant], true, {text[a.variant]});
            break;
        }
        case sa::Kind::StbyHydrPlate:
            DrawPlate(cr, w, h);
            DrawLamp(cr, 103, 30, sa::kPtuLampSize.width, sa::kPtuLampSize.height, kGreen, false,
                     {"PTU", "ON"});
            StbyHydrCaptions(cr, false);
            break;
        case sa::Kind::StbyHydrLit:
            StbyHydrCaptions(cr, true);
            break;
        case sa::Kind::Toggle:
            Toggle(cr, w, h, a.variant);
            break;
        case sa::Kind::PtuLamp:
            DrawLamp(cr, 0, 0, w, h, kGreen, true, {"PTU", "ON"});
            break;
        case sa::Kind::DialFace:
            DialFace(cr, w, h, a.variant, a.lit);
            break;
        case sa::Kind::DialNeedle: {
            const double len = a.variant == 0 ? 26.0 : 14.0;
            DrawPointer(cr, w / 2.0, h - (a.variant == 0 ? 6.0 : 4.0), len, 3, w / 2.0 - 0.5,
                        a.lit);
            break;
        }
        case sa::Kind::ShutoffPlate:
            ShutoffPlate(cr, w, h, a.variant);
            break;
        case sa::Kind::ShutoffLit:
            ShutoffCaptions(cr, w, a.variant, true);
            break;
        case sa::Kind::AltGearPlate:
            AltGearPlate(cr, w, h);
            break;
        case sa::Kind::AltGearPart:
            AltGearPart(cr, w, h, a.variant);
            break;
    }
    set.Finish(cr, a.id, a.name);
}

}  // namespace

void RenderSystemPanels(BitmapSet& set) {
    for (const sa::Art& a : sa::kArt) Draw(set, a);
}

}  // namespace art
