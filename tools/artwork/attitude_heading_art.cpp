// Artwork of the standby attitude indicator, the PFCS indicator, the RMI and
// the AHRS control panels: faces (unlit and lit), the attitude ball and its
// window masks, the bank index, the warning flags, needles and pointers,
// the compass card, selector knobs and legends, the panel plate and the
// slew knob.
//
// Needles whose formulas put zero at three o'clock (the RMI bearing
// pointers, the PFCS needles, the slew knob) are drawn along +x from their
// pivot. Angles of the art kit are degrees clockwise from up, so +x is 90.
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "art_kit.h"
#include "families.h"
#include "instruments/standby_instruments_layout.h"
#include "panels/ahrs_panel_layout.h"

namespace art {

namespace {

namespace sl = zu::standby_layout;
namespace al = zu::ahrs_layout;

constexpr double kPi = 3.14159265358979323846;
constexpr double kPlusX = 90.0;  // +x in the kit's angles

constexpr Colour kSky{0.20, 0.45, 0.80};
constexpr Colour kGround{0.45, 0.28, 0.12};
constexpr Colour kSymbol{1.0, 0.62, 0.05};
constexpr Colour kFlagRed{0.85, 0.10, 0.08};

Colour Marking(bool lit) {
    return lit ? kLitMarking : kWhite;
}

// A filled disc as a mask (opaque where the moving part shows).
void Disc(cairo_t* cr, double cx, double cy, double r) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_fill(cr);
}

// Turns the context so that the kit's upward drawing points along +x from
// (px, py).
void AlongPlusX(cairo_t* cr, double px, double py) {
    cairo_translate(cr, px, py);
    cairo_rotate(cr, kPi / 2);
}

// A warning flag: red with its word in white.
void RenderFlag(BitmapSet& set, uint32_t id, const char* word, const std::string& name) {
    cairo_t* cr = set.Begin(sl::kFlagSize, sl::kFlagSize);
    SetColour(cr, kFlagRed);
    cairo_rectangle(cr, 0, 0, sl::kFlagSize, sl::kFlagSize);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, 0.5, 0.5, sl::kFlagSize - 1, sl::kFlagSize - 1);
    cairo_stroke(cr);
    DrawText(cr, Face::SansBold, 5.5, sl::kFlagSize / 2.0, sl::kFlagSize / 2.0, Align::Centre, word,
             kWhite);
    set.Finish(cr, id, name);
}

void RenderFlagMask(BitmapSet& set) {
    cairo_t* cr = set.Begin(sl::kFlagMaskSize, sl::kFlagMaskSize);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, sl::kFlagWindow.x, sl::kFlagWindow.y, sl::kFlagWindow.width,
                    sl::kFlagWindow.height);
    cairo_fill(cr);
    set.Finish(cr, sl::kFlagMask, "flag_mask");
}

// ---------------------------------------------------------------------------
// Standby attitude indicator

void StbyFace(cairo_t* cr, bool lit) {
    const double cx = sl::kStbyCentre.x;
    const double cy = sl::kStbyCentre.y;
    DrawCase(cr, sl::kStbySize, false);
    DrawFace(cr, cx, cy, sl::kStbyBezelRadius, lit);
    const Colour m = Marking(lit);
    const double r_out = sl::kStbyBezelRadius - 2;
    const double r_in = sl::kStbyWindowRadius + 1;
    for (int side = -1; side <= 1; side += 2) {
        for (int mark : sl::kStbyBankMarks) {
            const bool major = mark == 30 || mark == 60;
            DrawTick(cr, cx, cy, r_out, major ? r_in : r_in + 4, side * mark, major ? 1.6 : 1.0, m,
                     lit);
        }
    }
    // The zero mark: a triangle pointing down at the window.
    double x0, y0, x1, y1;
    PolarPoint(cx, cy, r_out, -5, &x0, &y0);
    PolarPoint(cx, cy, r_out, 5, &x1, &y1);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_line_to(cr, cx, cy - r_in);
    cairo_close_path(cr);
    SetColour(cr, m);
    cairo_fill(cr);
    // The window behind the ball.
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_arc(cr, cx, cy, sl::kStbyWindowRadius, 0, 2 * kPi);
    cairo_fill(cr);
}

void RenderStby(BitmapSet& set) {
    for (int lit = 0; lit < 2; ++lit) {
        cairo_t* cr = set.Begin(sl::kStbySize, sl::kStbySize);
        StbyFace(cr, lit != 0);
        set.Finish(cr, lit != 0 ? sl::kStbyFaceLit : sl::kStbyFaceUnlit,
                   lit != 0 ? "stby_face_lit" : "stby_face_unlit");
    }

    // The ball: sky over ground, the horizon through the centre and the
    // pitch ladder at the indicator's pixels per degree.
    const int size = sl::kStbyBallSize;
    const double c = size / 2.0;
    cairo_t* cr = set.Begin(size, size);
    SetColour(cr, kSky);
    cairo_rectangle(cr, 0, 0, size, c);
    cairo_fill(cr);
    SetColour(cr, kGround);
    cairo_rectangle(cr, 0, c, size, size - c);
    cairo_fill(cr);
    SetColour(cr, kWhite);
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, 0, c);
    cairo_line_to(cr, size, c);
    cairo_stroke(cr);
    for (int deg = -60; deg <= 60; deg += 5) {
        if (deg == 0) continue;
        const double y = c - deg * sl::kStbyPixelsPerDegree;
        const double half = deg % 10 == 0 ? 9.0 : 4.0;
        cairo_set_line_width(cr, deg % 10 == 0 ? 0.9 : 0.6);
        cairo_move_to(cr, c - half, y);
        cairo_line_to(cr, c + half, y);
        cairo_stroke(cr);
        if (deg % 20 == 0) {
            const std::string n = std::to_string(deg < 0 ? -deg : deg);
            DrawText(cr, Face::Sans, 4.5, c - half - 5, y, Align::Centre, n, kWhite);
            DrawText(cr, Face::Sans, 4.5, c + half + 5, y, Align::Centre, n, kWhite);
        }
    }
    set.Finish(cr, sl::kStbyBall, "stby_ball");

    cr = set.Begin(sl::kStbySize, sl::kStbySize);
    Disc(cr, sl::kStbyCentre.x, sl::kStbyCentre.y, sl::kStbyWindowRadius);
    set.Finish(cr, sl::kStbyBallMask, "stby_ball_mask");

    // Bank index: a triangle at the top of the window pointing at the scale.
    cr = set.Begin(sl::kStbySize, sl::kStbySize);
    {
        const double cx = sl::kStbyCentre.x;
        const double top = sl::kStbyCentre.y - sl::kStbyWindowRadius - 1;
        cairo_move_to(cr, cx, top);
        cairo_line_to(cr, cx + 4, top + 6);
        cairo_line_to(cr, cx - 4, top + 6);
        cairo_close_path(cr);
        SetColour(cr, kSymbol);
        cairo_fill(cr);
    }
    set.Finish(cr, sl::kStbyBankPointer, "stby_bank_index");

    cr = set.Begin(sl::kStbySize, sl::kStbySize);
    Disc(cr, sl::kStbyCentre.x, sl::kStbyCentre.y, sl::kStbyWindowRadius + 2);
    set.Finish(cr, sl::kStbyBankMask, "stby_bank_mask");

    // The aircraft symbol: two wing bars and the centre dot.
    const sl::Box a = sl::kStbyAircraftBox;
    cr = set.Begin(a.width, a.height);
    {
        const double mid = a.height / 2.0;
        SetColour(cr, kSymbol);
        cairo_set_line_width(cr, 2.5);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_move_to(cr, 3, mid);
        cairo_line_to(cr, a.width / 2.0 - 9, mid);
        cairo_line_to(cr, a.width / 2.0 - 6, mid + 3);
        cairo_move_to(cr, a.width - 3, mid);
        cairo_line_to(cr, a.width / 2.0 + 9, mid);
        cairo_line_to(cr, a.width / 2.0 + 6, mid + 3);
        cairo_stroke(cr);
        cairo_arc(cr, a.width / 2.0, mid, 2.0, 0, 2 * kPi);
        cairo_fill(cr);
    }
    set.Finish(cr, sl::kStbyAircraft, "stby_aircraft");

    RenderFlag(set, sl::kStbyFlag, "ATT", "stby_flag");
}

// ---------------------------------------------------------------------------
// PFCS

// A spoiler scale from the pivot: 0 .. sweep degrees from the needle's rest
// direction `rest` (kit angles), clockwise (+1) or anticlockwise (-1).
void SpoilerScale(cairo_t* cr, sl::Pivot p, double rest, int sense, bool lit) {
    const Colour m = Marking(lit);
    const double r = sl::kPfcsSpoilerLength + 2;
    DrawArc(cr, p.x, p.y, r, rest, rest + sense * sl::kPfcsSpoilerSweep, 0.8, m, lit);
    for (int k = 0; k <= 3; ++k) {
        const double a = rest + sense * k * sl::kPfcsSpoilerSweep / 3;
        DrawTick(cr, p.x, p.y, r + (k % 3 == 0 ? 4 : 2.5), r, a, 0.8, m, lit);
    }
}

void PfcsFace(cairo_t* cr, bool lit) {
    const int s = sl::kPfcsSize;
    DrawCase(cr, s, false);
    cairo_set_source_rgb(cr, kFaceBlack.r, kFaceBlack.g, kFaceBlack.b);
    cairo_rectangle(cr, 4, 4, s - 8, s - 8);
    cairo_fill(cr);
    const Colour m = Marking(lit);
    // Left needles rest pointing right and sweep clockwise; right needles
    // rest pointing left and sweep anticlockwise.
    SpoilerScale(cr, sl::kPfcsLeftInner, kPlusX, 1, lit);
    SpoilerScale(cr, sl::kPfcsLeftOuter, kPlusX, 1, lit);
    SpoilerScale(cr, sl::kPfcsRightInner, kPlusX + 180.0, -1, lit);
    SpoilerScale(cr, sl::kPfcsRightOuter, kPlusX + 180.0, -1, lit);
    const double rr = sl::kPfcsRudderLength + 2;
    const sl::Pivot rud = sl::kPfcsRudder;
    DrawArc(cr, rud.x, rud.y, rr, -sl::kPfcsRudderSweep, sl::kPfcsRudderSweep, 0.8, m, lit);
    for (int k = -2; k <= 2; ++k) {
        DrawTick(cr, rud.x, rud.y, rr + (k % 2 == 0 ? 4 : 2.5), rr, k * sl::kPfcsRudderSweep / 2,
                 0.8, m, lit);
    }
    DrawText(cr, Face::SansBold, 7, s / 2.0, 10, Align::Centre, "SPLR", m);
    DrawText(cr, Face::SansBold, 7, 10, 10, Align::Left, "L", m);
    DrawText(cr, Face::SansBold, 7, s - 10, 10, Align::Right, "R", m);
    DrawText(cr, Face::Sans, 6, sl::kPfcsLeftInner.x + 2, sl::kPfcsLeftInner.y - 8, Align::Left,
             "IB", m);
    DrawText(cr, Face::Sans, 6, sl::kPfcsLeftOuter.x + 2, sl::kPfcsLeftOuter.y - 8, Align::Left,
             "OB", m);
    DrawText(cr, Face::Sans, 6, sl::kPfcsRightInner.x - 2, sl::kPfcsRightInner.y - 8, Align::Right,
             "IB", m);
    DrawText(cr, Face::Sans, 6, sl::kPfcsRightOuter.x - 2, sl::kPfcsRightOuter.y - 8, Align::Right,
             "OB", m);
    DrawText(cr, Face::SansBold, 7, 10, sl::kPfcsRudder.y, Align::Left, "RUD", m);
}

// A needle bitmap along +x: `tail` pixels behind the pivot, `length` ahead.
void RenderPlusXNeedle(BitmapSet& set, uint32_t id, int length, int tail, int height, bool lit,
                       const std::string& name) {
    cairo_t* cr = set.Begin(tail + length, height);
    cairo_save(cr);
    AlongPlusX(cr, tail, height / 2.0);
    DrawPointer(cr, 0, 0, length, tail - 1, height * 0.35, lit);
    cairo_restore(cr);
    set.Finish(cr, id, name);
}

void RenderPfcs(BitmapSet& set) {
    for (int lit = 0; lit < 2; ++lit) {
        cairo_t* cr = set.Begin(sl::kPfcsSize, sl::kPfcsSize);
        PfcsFace(cr, lit != 0);
        set.Finish(cr, lit != 0 ? sl::kPfcsFaceLit : sl::kPfcsFaceUnlit,
                   lit != 0 ? "pfcs_face_lit" : "pfcs_face_unlit");
        RenderPlusXNeedle(set, lit != 0 ? sl::kPfcsSpoilerLit : sl::kPfcsSpoilerUnlit,
                          sl::kPfcsSpoilerLength, sl::kPfcsNeedleTail, sl::kPfcsNeedleHeight,
                          lit != 0, lit != 0 ? "pfcs_spoiler_lit" : "pfcs_spoiler_unlit");
        RenderPlusXNeedle(set, lit != 0 ? sl::kPfcsRudderLit : sl::kPfcsRudderUnlit,
                          sl::kPfcsRudderLength, sl::kPfcsNeedleTail, sl::kPfcsNeedleHeight,
                          lit != 0, lit != 0 ? "pfcs_rudder_lit" : "pfcs_rudder_unlit");
    }
}

// ---------------------------------------------------------------------------
// RMI

void RmiFace(cairo_t* cr, bool lit) {
    const double cx = sl::kRmiCentre.x;
    const double cy = sl::kRmiCentre.y;
    DrawCase(cr, sl::kRmiSize, true);
    DrawFace(cr, cx, cy, sl::kRmiCardRadius + 5, lit);
    const Colour m = Marking(lit);
    // Fixed marks every 45 degrees and the lubber triangle at the top.
    for (int a = 45; a < 360; a += 45) {
        DrawTick(cr, cx, cy, sl::kRmiCardRadius + 5, sl::kRmiCardRadius + 1, a, 1.2, m, lit);
    }
    cairo_move_to(cr, cx, cy - sl::kRmiCardRadius + 1);
    cairo_line_to(cr, cx + 3.5, cy - sl::kRmiCardRadius - 5);
    cairo_line_to(cr, cx - 3.5, cy - sl::kRmiCardRadius - 5);
    cairo_close_path(cr);
    SetColour(cr, kSymbol);
    cairo_fill(cr);
    // The pointer symbols beside their knobs: one bar for pointer 1, two
    // for pointer 2.
    cairo_set_line_width(cr, 1.2);
    SetColour(cr, m);
    const double y = sl::kRmiLeftKnob.y - 3;
    cairo_move_to(cr, sl::kRmiLeftKnob.x + 5, y);
    cairo_line_to(cr, sl::kRmiLeftKnob.x + 17, y);
    cairo_move_to(cr, sl::kRmiRightKnob.x + 5, y - 1.5);
    cairo_line_to(cr, sl::kRmiRightKnob.x + 17, y - 1.5);
    cairo_move_to(cr, sl::kRmiRightKnob.x + 5, y + 1.5);
    cairo_line_to(cr, sl::kRmiRightKnob.x + 17, y + 1.5);
    cairo_stroke(cr);
}

void RmiCard(cairo_t* cr, bool lit) {
    const double c = sl::kRmiCardBitmap / 2.0;
    const double r = sl::kRmiCardRadius;
    cairo_set_source_rgb(cr, 0.07, 0.07, 0.07);
    cairo_arc(cr, c, c, r, 0, 2 * kPi);
    cairo_fill(cr);
    const Colour m = Marking(lit);
    for (int a = 0; a < 360; a += 5) {
        const bool major = a % 10 == 0;
        DrawTick(cr, c, c, r - 0.5, r - (major ? 5 : 3), a, major ? 1.0 : 0.7, m, false);
    }
    static const char* const kLabels[12] = {"N", "3",  "6",  "E", "12", "15",
                                            "S", "21", "24", "W", "30", "33"};
    for (int i = 0; i < 12; ++i) {
        cairo_save(cr);
        cairo_translate(cr, c, c);
        cairo_rotate(cr, i * 30.0 * kPi / 180.0);
        DrawText(cr, i % 3 == 0 ? Face::SansBold : Face::Sans, i % 3 == 0 ? 8 : 6.5, 0, -r + 11,
                 Align::Centre, kLabels[i], m);
        cairo_restore(cr);
    }
}

// A bearing pointer across the card along +x: the head at +x, the tail
// feathers at -x; one bar (pointer 1) or two (pointer 2).
void RmiPointer(cairo_t* cr, bool two_bars, bool lit) {
    const double half = sl::kRmiPointerHalf;
    const double cy = sl::kRmiPointerHeight / 2.0;
    const Colour col = two_bars ? Colour{0.55, 0.95, 0.55} : Colour{0.95, 0.95, 0.95};
    const Colour c = lit ? Colour{std::fmin(1.0, col.r + 0.05), col.g, col.b * 0.8} : col;
    SetColour(cr, c);
    cairo_set_line_width(cr, 1.4);
    const double head = 2 * half - 1;
    for (int bar = 0; bar < (two_bars ? 2 : 1); ++bar) {
        const double y = two_bars ? cy + (bar == 0 ? -1.6 : 1.6) : cy;
        cairo_move_to(cr, 2, y);
        cairo_line_to(cr, head - 7, y);
    }
    cairo_stroke(cr);
    cairo_move_to(cr, head, cy);
    cairo_line_to(cr, head - 8, cy - 4.5);
    cairo_line_to(cr, head - 8, cy + 4.5);
    cairo_close_path(cr);
    cairo_fill(cr);
    // Tail feathers.
    cairo_move_to(cr, 1, cy - 3.5);
    cairo_line_to(cr, 7, cy);
    cairo_line_to(cr, 1, cy + 3.5);
    cairo_stroke(cr);
    // Hub.
    cairo_set_source_rgb(cr, 0.25, 0.25, 0.25);
    cairo_arc(cr, half, cy, 2.5, 0, 2 * kPi);
    cairo_fill(cr);
}

void RenderRmi(BitmapSet& set) {
    for (int lit = 0; lit < 2; ++lit) {
        const bool l = lit != 0;
        cairo_t* cr = set.Begin(sl::kRmiSize, sl::kRmiSize);
        RmiFace(cr, l);
        set.Finish(cr, l ? sl::kRmiFaceLit : sl::kRmiFaceUnlit,
                   l ? "rmi_face_lit" : "rmi_face_unlit");
        cr = set.Begin(sl::kRmiCardBitmap, sl::kRmiCardBitmap);
        RmiCard(cr, l);
        set.Finish(cr, l ? sl::kRmiCardLit : sl::kRmiCardUnlit,
                   l ? "rmi_card_lit" : "rmi_card_unlit");
        for (int p = 0; p < 2; ++p) {
            cr = set.Begin(2 * sl::kRmiPointerHalf, sl::kRmiPointerHeight);
            RmiPointer(cr, p == 1, l);
            const uint32_t id = p == 0 ? (l ? sl::kRmiPointer1Lit : sl::kRmiPointer1Unlit)
                                       : (l ? sl::kRmiPointer2Lit : sl::kRmiPointer2Unlit);
            set.Finish(cr, id,
                       std::string("rmi_pointer") + (p == 0 ? "1" : "2") + (l ? "_lit" : "_unlit"));
        }
    }
    RenderFlag(set, sl::kRmiFlag, "HDG", "rmi_flag");
    // Selector knobs: turned left to ADF, right to VOR.
    for (int vor = 0; vor < 2; ++vor) {
        cairo_t* cr = set.Begin(sl::kRmiKnobSize, sl::kRmiKnobSize);
        const double c = sl::kRmiKnobSize / 2.0;
        DrawKnob(cr, c, c, c - 1.5, vor != 0 ? 45.0 : -45.0);
        set.Finish(cr, vor != 0 ? sl::kRmiKnobVor : sl::kRmiKnobAdf,
                   vor != 0 ? "rmi_knob_vor" : "rmi_knob_adf");
        cr = set.Begin(sl::kRmiLegendWidth, sl::kRmiLegendHeight);
        DrawText(cr, Face::SansBold, 6.5, sl::kRmiLegendWidth / 2.0, sl::kRmiLegendHeight / 2.0,
                 Align::Centre, vor != 0 ? "VOR" : "ADF", kWhite);
        set.Finish(cr, vor != 0 ? sl::kRmiLegendVor : sl::kRmiLegendAdf,
                   vor != 0 ? "rmi_legend_vor" : "rmi_legend_adf");
    }
}

// ---------------------------------------------------------------------------
// AHRS control panels

void AhrsButton(cairo_t* cr, const al::Box& b) {
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_rectangle(cr, b.x - 1.5, b.y - 1.5, b.width + 3, b.height + 3);
    cairo_fill(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, b.y, 0, b.y + b.height);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.50, 0.50, 0.52);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.26, 0.26, 0.27);
    cairo_set_source(cr, g);
    cairo_rectangle(cr, b.x, b.y, b.width, b.height);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

// Captions of the panel: the title, the slew scale and the button names.
void AhrsCaptions(cairo_t* cr, bool lit) {
    const Colour m = Marking(lit);
    DrawText(cr, Face::SansBold, 8, 10, 8, Align::Left, "AHRS", m);
    static const char* const kSlewMarks[al::kSlewPositions] = {"L", "", "0", "", "R"};
    for (int k = 0; k < al::kSlewPositions; ++k) {
        const double a = 45.0 * k - 90.0;  // the knob's angle for slew k - 2, plus 90
        DrawTick(cr, al::kKnobX, al::kKnobY, al::kKnobRadius + 6, al::kKnobRadius + 2, a, 1.0, m,
                 lit);
        if (kSlewMarks[k][0] != '\0') {
            double x, y;
            PolarPoint(al::kKnobX, al::kKnobY, al::kKnobRadius + 11, a, &x, &y);
            DrawText(cr, Face::Sans, 6.5, x, y, Align::Centre, kSlewMarks[k], m);
        }
    }
    DrawText(cr, Face::SansBold, 7, al::kKnobX, al::kKnobY + al::kKnobRadius + 6, Align::Centre,
             "SLEW", m);
    const struct {
        al::Box box;
        const char* name;
    } kButtons[3] = {{al::kDgButton, "DG"}, {al::kFastButton, "FAST"}, {al::kAlignButton, "ALIGN"}};
    for (const auto& b : kButtons) {
        DrawText(cr, Face::SansBold, 7, b.box.x + b.box.width / 2.0, b.box.y + b.box.height + 8,
                 Align::Centre, b.name, m);
    }
}

void RenderAhrsPanel(BitmapSet& set) {
    cairo_t* cr = set.Begin(al::kWidth, al::kHeight);
    cairo_set_source_rgb(cr, 0.17, 0.17, 0.18);
    cairo_rectangle(cr, 0, 0, al::kWidth, al::kHeight);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.06, 0.06, 0.06);
    cairo_set_line_width(cr, 2.0);
    cairo_rectangle(cr, 1, 1, al::kWidth - 2, al::kHeight - 2);
    cairo_stroke(cr);
    for (int i = 0; i < al::kLegendCount; ++i) {
        const al::Box b = al::LegendBox(i);
        DrawLamp(cr, b.x, b.y, b.width, b.height, i == 3 ? kGreen : kAmber, false, {});
    }
    AhrsButton(cr, al::kDgButton);
    AhrsButton(cr, al::kFastButton);
    AhrsButton(cr, al::kAlignButton);
    AhrsCaptions(cr, false);
    set.Finish(cr, al::kPlateUnlit, "ahrs_plate_unlit");

    cr = set.Begin(al::kWidth, al::kHeight);
    AhrsCaptions(cr, true);
    set.Finish(cr, al::kPlateLit, "ahrs_plate_lit");

    for (int lit = 0; lit < 2; ++lit) {
        cr = set.Begin(al::kKnobBitmap, al::kKnobBitmap);
        const double c = al::kKnobBitmap / 2.0;
        DrawKnob(cr, c, c, al::kKnobRadius, kPlusX);
        if (lit != 0)
            DrawTick(cr, c, c, al::kKnobRadius * 0.8, al::kKnobRadius * 0.35, kPlusX, 1.5,
                     kLitMarking, true);
        set.Finish(cr, lit != 0 ? al::kKnobLit : al::kKnobUnlit,
                   lit != 0 ? "ahrs_knob_lit" : "ahrs_knob_unlit");
    }
}

}  // namespace

void RenderAttitudeHeading(BitmapSet& set) {
    RenderFlagMask(set);
    RenderStby(set);
    RenderPfcs(set);
    RenderRmi(set);
    RenderAhrsPanel(set);
}

}  // namespace art
