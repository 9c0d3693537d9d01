// Artwork of the bleed-air, pressurisation and ice-protection panels: their
// unlit faces and lit overlays, the toggles, knobs, push-button and lamps
// (panels/environment_panels_art.h). The faces carry every caption and the
// marks of each knob position at the angle the gauge turns the knob to.
#include "panels/environment_panels_art.h"

#include <cmath>
#include <string>

#include "art_kit.h"
#include "families.h"

namespace art {

namespace {

namespace ea = zu::environment_art;

constexpr double kPi = 3.14159265358979323846;

// A dark socket under a toggle or knob, drawn on the unlit face only.
void Socket(cairo_t* cr, double cx, double cy, double r) {
    cairo_set_source_rgb(cr, 0.14, 0.14, 0.15);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_fill(cr);
}

// The marks and captions of a knob's positions, each at the angle the
// knob points to there.
struct Position {
    double angle;
    const char* caption;
};
template <int N>
void KnobScale(cairo_t* cr, ea::Point c, const Position (&positions)[N], Colour ink,
               double radius = 21.0) {
    for (const Position& p : positions) {
        DrawTick(cr, c.x, c.y, ea::kKnobHalf + 4, ea::kKnobHalf + 1, p.angle, 1.2, ink, false);
        double x, y;
        PolarPoint(c.x, c.y, radius, p.angle, &x, &y);
        if (p.caption[0] != '\0')
            DrawText(cr, Face::Sans, 5.5, x, y, Align::Centre, p.caption, ink);
    }
}

void ToggleCaptions(cairo_t* cr, ea::Point at, const char* title, const char* on, const char* off,
                    Colour ink) {
    const double cx = at.x + ea::kToggleSize.width / 2.0;
    DrawText(cr, Face::SansBold, 5.5, cx, at.y - 10, Align::Centre, title, ink);
    DrawText(cr, Face::Sans, 5, cx, at.y - 3, Align::Centre, on, ink);
    DrawText(cr, Face::Sans, 5, cx, at.y + ea::kToggleSize.height + 4, Align::Centre, off, ink);
}

void ToggleSocket(cairo_t* cr, ea::Point at) {
    Socket(cr, at.x + ea::kToggleSize.width / 2.0, at.y + ea::kToggleSize.height / 2.0, 8);
}

void ModeCaptions(cairo_t* cr, double x, double y, const char* const (&captions)[3], Colour ink) {
    for (int row = 0; row < 3; ++row) {
        DrawText(cr, Face::Sans, 5.5, x, y + row * 12, Align::Left, captions[row], ink);
    }
}

// ---------------------------------------------------------------------------
// Bleed-air and air-conditioning panel

void PneuInk(cairo_t* cr, Colour ink) {
    DrawText(cr, Face::SansBold, 7, 100, 9, Align::Centre, "BLEED AIR / AIR CONDITIONING", ink);
    ToggleCaptions(cr, ea::kPneuToggle[0], "BLEED 1", "OPEN", "CLOSE", ink);
    ToggleCaptions(cr, ea::kPneuToggle[1], "BLEED 2", "OPEN", "CLOSE", ink);
    ToggleCaptions(cr, ea::kPneuToggle[2], "RECIRC", "ON", "OFF", ink);
    ToggleCaptions(cr, ea::kPneuToggle[3], "AIR", "ON", "OFF", ink);
    DrawText(cr, Face::SansBold, 5.5, ea::kPneuIndicatorKnob.x, ea::kPneuIndicatorKnob.y - 34,
             Align::Centre, "DUCT TEMP", ink);
    constexpr Position kIndicator[3] = {{-90, "FLT"}, {0, "DUCT"}, {90, "CAB"}};
    KnobScale(cr, ea::kPneuIndicatorKnob, kIndicator, ink, 23);
    constexpr const char* kZones[2] = {"FLT COMPT", "CABIN"};
    constexpr const char* kModes[3] = {"OFF", "MAN", "AUTO"};
    for (int zone = 0; zone < 2; ++zone) {
        const double x0 = ea::PneuZoneX(zone);
        DrawText(cr, Face::SansBold, 6, x0 + 50, 80, Align::Centre, kZones[zone], ink);
        const ea::Point sw{static_cast<int16_t>(x0 + ea::kPneuTempSwitchX), ea::kPneuTempSwitchY};
        DrawText(cr, Face::Sans, 5, sw.x + 7, sw.y - 4, Align::Centre, "WARM", ink);
        DrawText(cr, Face::Sans, 5, sw.x + 7, sw.y + ea::kToggleSize.height + 4, Align::Centre,
                 "COOL", ink);
        ModeCaptions(cr, x0 + ea::kPneuModeKnobX + 32, ea::kPneuModeKnobY + 3, kModes, ink);
        const ea::Point k = ea::kPneuZoneKnob[zone];
        Position temp[11];
        for (int v = -5; v <= 5; ++v) {
            temp[v + 5] = {30.0 * (v - 3), v == -5 ? "C" : v == 5 ? "H" : ""};
        }
        KnobScale(cr, k, temp, ink);
        DrawText(cr, Face::Sans, 5.5, k.x, k.y + 24, Align::Centre, "TEMP", ink);
    }
    Position flow[10];
    constexpr const char* kFlow[10] = {"0", "", "", "", "", "", "", "", "", "9"};
    for (int v = 0; v <= 9; ++v) flow[v] = {30.0 * v - 40.0, kFlow[v]};
    KnobScale(cr, ea::kPneuFlowKnob, flow, ink);
    DrawText(cr, Face::Sans, 5.5, ea::kPneuFlowKnob.x, ea::kPneuFlowKnob.y + 24, Align::Centre,
             "BLEED FLOW", ink);
}

void PneuFace(BitmapSet& set) {
    cairo_t* cr = set.Begin(ea::kPneuSize.width, ea::kPneuSize.height);
    DrawPlate(cr, ea::kPneuSize.width, ea::kPneuSize.height);
    for (ea::Point t : ea::kPneuToggle) ToggleSocket(cr, t);
    for (int zone = 0; zone < 2; ++zone) {
        ToggleSocket(cr, {static_cast<int16_t>(ea::PneuZoneX(zone) + ea::kPneuTempSwitchX),
                          ea::kPneuTempSwitchY});
    }
    PneuInk(cr, kWhite);
    set.Finish(cr, ea::kPneuFace, "pneu_face");
    cr = set.Begin(ea::kPneuSize.width, ea::kPneuSize.height);
    PneuInk(cr, kLitMarking);
    set.Finish(cr, ea::kPneuFaceLit, "pneu_face_lit");
}

// ---------------------------------------------------------------------------
// Pressurisation panel

void PressInk(cairo_t* cr, Colour ink) {
    DrawText(cr, Face::SansBold, 7, 100, 9, Align::Centre, "PRESSURIZATION", ink);
    constexpr const char* kModes[3] = {"DUMP", "MAN", "AUTO"};
    DrawText(cr, Face::SansBold, 5.5, ea::kPressModeKnob.x + 20, ea::kPressModeKnob.y - 10,
             Align::Centre, "MODE", ink);
    ModeCaptions(cr, ea::kPressModeKnob.x + 32, ea::kPressModeKnob.y + 3, kModes, ink);
    ToggleCaptions(cr, ea::kPressToggle, "LDG FIELD", "ON", "OFF", ink);
    Position manual[5];
    constexpr const char* kManual[5] = {"CLOSE", "", "", "", "OPEN"};
    for (int i = 0; i < 5; ++i) manual[i] = {3.0 * (25 * i) - 30.0, kManual[i]};
    KnobScale(cr, ea::kPressManualKnob, manual, ink, 25);
    DrawText(cr, Face::Sans, 5.5, ea::kPressManualKnob.x, ea::kPressManualKnob.y + 26,
             Align::Centre, "MANUAL", ink);
    Position rate[5];
    constexpr const char* kRate[5] = {"MIN", "", "", "", "MAX"};
    for (int i = 0; i < 5; ++i) rate[i] = {2.0 * (25 * i) - 120.0, kRate[i]};
    KnobScale(cr, ea::kPressRateKnob, rate, ink, 25);
    DrawText(cr, Face::Sans, 5.5, ea::kPressRateKnob.x, ea::kPressRateKnob.y + 26, Align::Centre,
             "RATE", ink);
    DrawText(cr, Face::Sans, 5.5, ea::kPressElevationKnob.x, ea::kPressElevationKnob.y - 21,
             Align::Centre, "LDG ALT", ink);
    DrawText(cr, Face::Sans, 5.5, ea::kPressSmallKnob.x - 24, ea::kPressSmallKnob.y, Align::Right,
             "CAB ALT", ink);
}

void PressFace(BitmapSet& set) {
    cairo_t* cr = set.Begin(ea::kPressSize.width, ea::kPressSize.height);
    DrawPlate(cr, ea::kPressSize.width, ea::kPressSize.height);
    ToggleSocket(cr, ea::kPressToggle);
    DrawLamp(cr, ea::kPressLamp.x, ea::kPressLamp.y, ea::kModeLampSize.width,
             ea::kModeLampSize.height, kAmber, false, {"MODE"});
    PressInk(cr, kWhite);
    set.Finish(cr, ea::kPressFace, "press_face");
    cr = set.Begin(ea::kPressSize.width, ea::kPressSize.height);
    PressInk(cr, kLitMarking);
    set.Finish(cr, ea::kPressFaceLit, "press_face_lit");
}

// ---------------------------------------------------------------------------
// Ice-protection panel

void IceInk(cairo_t* cr, Colour ink) {
    DrawText(cr, Face::SansBold, 7, 108, 9, Align::Centre, "ICE AND RAIN PROTECTION", ink);
    Position a[8];
    constexpr const char* kA[8] = {"A", "", "1", "2", "3", "4", "5", "6"};
    for (int v = 0; v < 8; ++v) a[v] = {45.0 * (v + 2), kA[v]};
    KnobScale(cr, ea::kIceKnobA, a, ink);
    DrawText(cr, Face::SansBold, 5.5, ea::kIceKnobA.x, ea::kIceKnobA.y - 28, Align::Centre, "BOOTS",
             ink);
    constexpr Position kB[5] = {{-30, "2"}, {30, "1"}, {90, "OFF"}, {150, "1"}, {210, "2"}};
    KnobScale(cr, ea::kIceKnobB, kB, ink);
    DrawText(cr, Face::SansBold, 5.5, ea::kIceKnobB.x, ea::kIceKnobB.y - 28, Align::Centre, "PROP",
             ink);
    constexpr Position kC[3] = {{90, "OFF"}, {135, "WARM"}, {180, "HIGH"}};
    KnobScale(cr, ea::kIceKnobC, kC, ink, 24);
    DrawText(cr, Face::SansBold, 5.5, ea::kIceKnobC.x, ea::kIceKnobC.y - 28, Align::Centre, "WSHLD",
             ink);

    const ea::Point cyc = ea::kIceCycleKnob;
    DrawText(cr, Face::SansBold, 5.5, cyc.x, cyc.y - 22, Align::Centre, "DEICE", ink);
    constexpr const char* kCycle[3] = {"OFF", "SLOW", "FAST"};
    for (int i = 0; i < 3; ++i) {
        const ea::Point p = ea::kIceCycleCaption[i];
        DrawText(cr, Face::Sans, 5, p.x, p.y, Align::Centre, kCycle[i], ink);
    }
    constexpr Position kCycleMarks[3] = {{90, ""}, {130, ""}, {180, ""}};
    KnobScale(cr, cyc, kCycleMarks, ink);
    DrawText(cr, Face::SansBold, 5.5, ea::kIcePush.x + 10, ea::kIcePush.y - 8, Align::Centre,
             "PROP TEST", ink);
    constexpr Position kWiper[4] = {{30, "1X"}, {90, "OFF"}, {150, "SLOW"}, {210, "FAST"}};
    KnobScale(cr, ea::kIceWiperKnob, kWiper, ink);
    DrawText(cr, Face::SansBold, 5.5, ea::kIceWiperKnob.x - 20, ea::kIceWiperKnob.y - 18,
             Align::Right, "WIPER", ink);

    ToggleCaptions(cr, ea::kIceThreeWay, "HORN", "TEST", "", ink);
    ToggleCaptions(cr, ea::kIceT1, "HEATER", "ON", "OFF", ink);
    ToggleCaptions(cr, ea::kIceT2, "SIDE WDO", "ON", "OFF", ink);
    ToggleCaptions(cr, ea::kIceT3, "ISOL", "ON", "OFF", ink);
    ToggleCaptions(cr, ea::kIcePitot[0], "PITOT 1", "ON", "OFF", ink);
    ToggleCaptions(cr, ea::kIcePitot[1], "PITOT 2", "ON", "OFF", ink);
}

void IceFace(BitmapSet& set) {
    cairo_t* cr = set.Begin(ea::kIceSize.width, ea::kIceSize.height);
    DrawPlate(cr, ea::kIceSize.width, ea::kIceSize.height);
    for (ea::Point t : {ea::kIceThreeWay, ea::kIceT1, ea::kIceT2, ea::kIceT3, ea::kIcePitot[0],
                        ea::kIcePitot[1]}) {
        ToggleSocket(cr, t);
    }
    for (int i = 0; i < 16; ++i) {
        const ea::Point p = ea::IceLamp(i);
        DrawLamp(cr, p.x, p.y, ea::kDeiceLampSize.width, ea::kDeiceLampSize.height, kGreen, false,
                 {std::to_string(i + 1)});
    }
    IceInk(cr, kWhite);
    set.Finish(cr, ea::kIceFace, "antiice_face");
    cr = set.Begin(ea::kIceSize.width, ea::kIceSize.height);
    IceInk(cr, kLitMarking);
    set.Finish(cr, ea::kIceFaceLit, "antiice_face_lit");
}

// ---------------------------------------------------------------------------
// Parts

// Toggle at position 0 down, 1 centre, 2 up.
void Toggle(BitmapSet& set, uint32_t id, const char* name, int position) {
    const int w = ea::kToggleSize.width;
    const int h = ea::kToggleSize.height;
    cairo_t* cr = set.Begin(w, h);
    const double cx = w / 2.0;
    const double cy = h / 2.0;
    cairo_set_source_rgb(cr, 0.55, 0.56, 0.58);
    cairo_arc(cr, cx, cy, w * 0.32, 0, 2 * kPi);
    cairo_fill(cr);
    const double tip = position == 2 ? 4.0 : position == 0 ? h - 4.0 : cy;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_source_rgb(cr, 0.82, 0.83, 0.85);
    cairo_set_line_width(cr, w * 0.3);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx, tip);
    cairo_stroke(cr);
    cairo_arc(cr, cx, tip, w * 0.24, 0, 2 * kPi);
    cairo_fill(cr);
    set.Finish(cr, id, name);
}

// A pointer knob: a bar across a round base, its white end at `angle`.
void BarKnob(cairo_t* cr, double angle, bool lit) {
    const double c = ea::kKnobHalf;
    cairo_set_source_rgb(cr, 0.10, 0.10, 0.10);
    cairo_arc(cr, c, c, c - 2, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, c, c);
    cairo_rotate(cr, angle * kPi / 180.0);
    cairo_set_source_rgb(cr, 0.22, 0.22, 0.23);
    RoundedPath(cr, -4.5, -(c - 1), 9, 2 * (c - 1), 4);
    cairo_fill(cr);
    cairo_restore(cr);
    DrawTick(cr, c, c, c - 2, c * 0.3, angle, 2.0, lit ? kLitMarking : kWhite, lit);
}

void Knobs(BitmapSet& set) {
    const int s = ea::kKnobSize.width;
    cairo_t* cr = set.Begin(s, s);
    DrawKnob(cr, s / 2.0, s / 2.0, ea::kKnobHalf - 2, 0);
    set.Finish(cr, ea::kRoundKnob, "env_round_knob");
    cr = set.Begin(s, s);
    DrawKnob(cr, s / 2.0, s / 2.0, ea::kKnobHalf - 2, 0);
    DrawTick(cr, s / 2.0, s / 2.0, ea::kKnobHalf - 3, ea::kKnobHalf * 0.4, 0, 2.0, kLitMarking,
             true);
    set.Finish(cr, ea::kRoundKnobLit, "env_round_knob_lit");
    cr = set.Begin(s, s);
    BarKnob(cr, 0, false);
    set.Finish(cr, ea::kBarKnob, "env_bar_knob");
    cr = set.Begin(s, s);
    BarKnob(cr, 0, true);
    set.Finish(cr, ea::kBarKnobLit, "env_bar_knob_lit");
    constexpr uint32_t kMode[3] = {ea::kModeKnob0, ea::kModeKnob1, ea::kModeKnob2};
    for (int i = 0; i < 3; ++i) {
        cr = set.Begin(s, s);
        BarKnob(cr, ea::kModeKnobAngle[i], false);
        set.Finish(cr, kMode[i], "env_mode_knob_" + std::to_string(i));
    }
}

void ButtonsAndLamps(BitmapSet& set) {
    const int s = ea::kPushSize.width;
    cairo_t* cr = set.Begin(s, s);
    DrawPushButton(cr, s / 2.0, s / 2.0, s / 2.0 - 2);
    set.Finish(cr, ea::kPushOut, "env_push_out");
    cr = set.Begin(s, s);
    DrawPushButton(cr, s / 2.0, s / 2.0 + 1, s / 2.0 - 3);
    DrawRoundLamp(cr, s / 2.0, s / 2.0 + 1, 3, kAmber, true);
    set.Finish(cr, ea::kPushIn, "env_push_in");
    cr = set.Begin(ea::kDeiceLampSize.width, ea::kDeiceLampSize.height);
    DrawLamp(cr, 0, 0, ea::kDeiceLampSize.width, ea::kDeiceLampSize.height, kGreen, true, {});
    set.Finish(cr, ea::kDeiceLamp, "env_deice_lamp");
    cr = set.Begin(ea::kModeLampSize.width, ea::kModeLampSize.height);
    DrawLamp(cr, 0, 0, ea::kModeLampSize.width, ea::kModeLampSize.height, kAmber, true, {"MODE"});
    set.Finish(cr, ea::kModeLamp, "env_mode_lamp");
}

}  // namespace

void RenderEnvironmentPanels(BitmapSet& set) {
    PneuFace(set);
    PressFace(set);
    IceFace(set);
    Toggle(set, ea::kToggleDown, "env_toggle_down", 0);
    Toggle(set, ea::kToggleCentre, "env_toggle_centre", 1);
    Toggle(set, ea::kToggleUp, "env_toggle_up", 2);
    Knobs(set);
    ButtonsAndLamps(set);
}

}  // namespace art
