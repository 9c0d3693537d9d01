// Artwork of the pilots' flight dials: course and heading selectors, clocks,
// airspeed indicators, altimeters and the standby altimeter. Scales and drum
// strips come from the formulas of instruments/flight_dials.h, so a mark or
// a drum label sits where the gauge's value puts the needle or the strip.
#include <cmath>
#include <cstdio>
#include <string>

#include "art_kit.h"
#include "families.h"
#include "instruments/flight_dials.h"

namespace art {

namespace {

using namespace zu::flight_dials;

constexpr double kPi = 3.14159265358979323846;

Colour Marking(bool lit) {
    return lit ? kLitMarking : kWhite;
}

void Plate(cairo_t* cr, double w, double h) {
    cairo_set_source_rgb(cr, 0.13, 0.13, 0.14);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.25, 0.25, 0.27);
    cairo_set_line_width(cr, 2);
    cairo_rectangle(cr, 1, 1, w - 2, h - 2);
    cairo_stroke(cr);
}

void Opaque(BitmapSet& set, int w, int h, uint32_t id, const char* name) {
    cairo_t* cr = set.Begin(w, h);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    set.Finish(cr, id, name);
}

// A needle pointing up from its pivot (width / 2, length): a line ending in
// a triangle.
void ArrowNeedle(BitmapSet& set, const NeedleSize& n, Colour colour, bool lit, uint32_t id,
                 const char* name) {
    cairo_t* cr = set.Begin(n.width, n.length + n.tail);
    const double cx = n.width / 2.0;
    Colour c = colour;
    if (lit) c = Colour{std::fmin(1.0, c.r + 0.1), std::fmin(1.0, c.g * 0.9 + 0.05), c.b * 0.7};
    SetColour(cr, c);
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, cx, n.length);
    cairo_line_to(cr, cx, n.width);
    cairo_stroke(cr);
    cairo_move_to(cr, cx, 0);
    cairo_line_to(cr, n.width, n.width);
    cairo_line_to(cr, 0, n.width);
    cairo_close_path(cr);
    cairo_fill(cr);
    set.Finish(cr, id, name);
}

// ---------------------------------------------------------------------------
// Course and heading selector

void SelectorFace(BitmapSet& set, bool lit, bool touch, uint32_t id, const char* name) {
    cairo_t* cr = set.Begin(kSelectorWidth, kSelectorHeight);
    Plate(cr, kSelectorWidth, kSelectorHeight);
    const Colour mark = Marking(lit);
    const char* labels[2] = {"CRS", "HDG"};
    for (int knob = 0; knob < 2; ++knob) {
        const double cx = kSelectorWidth / 2.0;
        const double cy = KnobCentreY(knob);
        for (int a = 0; a < 360; a += 30) {
            DrawTick(cr, cx, cy, kSelectorNeedleSize.length, kSelectorNeedleSize.length - 4, a,
                     a % 90 == 0 ? 2.0 : 1.0, mark, lit);
        }
        DrawKnob(cr, cx, cy, kSelectorKnobRadius, 0);
        DrawText(cr, Face::SansBold, 9, 9, cy - 34, Align::Left, labels[knob], mark);
        if (touch) {
            // Arrows round the knob show the drag sense.
            SetColour(cr, mark);
            cairo_set_line_width(cr, 1.2);
            cairo_arc(cr, cx, cy, kSelectorKnobRadius + 4, -0.3 * kPi, 0.2 * kPi);
            cairo_stroke(cr);
        }
    }
    set.Finish(cr, id, name);
}

void RenderSelectors(BitmapSet& set) {
    SelectorFace(set, false, false, kSelectorFace, "selector_face");
    SelectorFace(set, true, false, kSelectorFaceLit, "selector_face_lit");
    SelectorFace(set, false, true, kSelectorTouchFace, "selector_touch_face");
    ArrowNeedle(set, kSelectorNeedleSize, kWhite, false, kSelectorCourseNeedle, "selector_course");
    ArrowNeedle(set, kSelectorNeedleSize, kWhite, true, kSelectorCourseNeedleLit,
                "selector_course_lit");
    ArrowNeedle(set, kSelectorNeedleSize, kCyan, false, kSelectorHeadingNeedle, "selector_heading");
    ArrowNeedle(set, kSelectorNeedleSize, kCyan, true, kSelectorHeadingNeedleLit,
                "selector_heading_lit");
}

// ---------------------------------------------------------------------------
// Clock

void ClockFace(BitmapSet& set, bool lit, uint32_t id, const char* name) {
    cairo_t* cr = set.Begin(kClockWidth, kClockHeight);
    Plate(cr, kClockWidth, kClockHeight);
    const Colour mark = Marking(lit);
    for (int r = 0; r < 3; ++r) {
        DrawWindow(cr, kClockReadoutX[r], kClockReadoutY, kClockReadoutWidth, kClockReadoutHeight);
    }
    for (int r = 0; r < 2; ++r) {
        const double x = (kClockReadoutX[r] + kClockReadoutWidth + kClockReadoutX[r + 1]) / 2.0;
        DrawText(cr, Face::SansBold, 18, x, kClockReadoutY + kClockReadoutHeight / 2.0,
                 Align::Centre, ":", mark);
    }
    for (const ClockSwitchPlace& s : kClockSwitches) {
        DrawText(cr, Face::SansNarrow, 9, s.x + kClockSwitchWidth / 2.0, s.y - 8, Align::Centre,
                 s.legend, mark);
    }
    set.Finish(cr, id, name);
}

// A three-position lever seen from the front: `position` -1 left, 0 centre,
// 1 right.
void ClockSwitch(BitmapSet& set, int position, uint32_t id, const char* name) {
    cairo_t* cr = set.Begin(kClockSwitchWidth, kClockSwitchHeight);
    const double cx = kClockSwitchWidth / 2.0;
    const double cy = kClockSwitchHeight / 2.0;
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_arc(cr, cx, cy, 8, 0, 2 * kPi);
    cairo_fill(cr);
    const double tip = cx + position * 18.0;
    cairo_set_source_rgb(cr, 0.78, 0.78, 0.80);
    cairo_set_line_width(cr, 5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, tip, cy - (position == 0 ? 9 : 4));
    cairo_stroke(cr);
    cairo_arc(cr, tip, cy - (position == 0 ? 9 : 4), 4, 0, 2 * kPi);
    cairo_fill(cr);
    set.Finish(cr, id, name);
}

void RenderClocks(BitmapSet& set) {
    ClockFace(set, false, kClockFace, "clock_face");
    ClockFace(set, true, kClockFaceLit, "clock_face_lit");
    ClockSwitch(set, -1, kClockSwitchMinus, "clock_switch_minus");
    ClockSwitch(set, 1, kClockSwitchPlus, "clock_switch_plus");
    ClockSwitch(set, 0, kClockSwitchCentre, "clock_switch_centre");
}

// ---------------------------------------------------------------------------
// Airspeed indicator

void AirspeedFace(BitmapSet& set, bool lit, uint32_t id, const char* name) {
    cairo_t* cr = set.Begin(kAsiSize, kAsiSize);
    const double c = kAsiCentre;
    const double r = kAsiFaceRadius;
    const Colour mark = Marking(lit);
    DrawCase(cr, kAsiSize, true);
    DrawFace(cr, c, c, r, lit);
    DrawArc(cr, c, c, r - 4, AsiAngle(kAsiMinShown), AsiAngle(kAsiMaxShown), 1.2, mark, lit);
    for (int v = kAsiMinShown; v <= kAsiMaxShown; v += 10) {
        const bool major = v % 50 == 0;
        DrawTick(cr, c, c, r - 4, r - (major ? 16 : 10), AsiAngle(v), major ? 2.2 : 1.2, mark, lit);
        if (major) {
            double x, y;
            PolarPoint(c, c, r - 28, AsiAngle(v), &x, &y);
            DrawText(cr, Face::Sans, 13, x, y, Align::Centre, std::to_string(v), mark);
        }
    }
    DrawText(cr, Face::SansBold, 11, c, c - 30, Align::Centre, "KNOTS", mark);
    DrawWindow(cr, kAsiStripX - 2, kAsiStripY - 2, kAsiStripWindowWidth + 4,
               kAsiStripWindowHeight + 4);
    DrawKnob(cr, kAsiKnobX, kAsiKnobY, kAsiKnobRadius, 0);
    set.Finish(cr, id, name);
}

void AirspeedStrip(BitmapSet& set) {
    cairo_t* cr = set.Begin(kAsiStripLength, kAsiStripWindowHeight);
    cairo_set_source_rgb(cr, 0.04, 0.04, 0.04);
    cairo_paint(cr);
    for (int knots = 0; knots < 100; ++knots) {
        char text[8];
        std::snprintf(text, sizeof text, "%02d", knots);
        const double x = kAsiStripWindowWidth / 2.0 - knots * kAsiStripScale;
        DrawText(cr, Face::Sans, 13, x, kAsiStripWindowHeight / 2.0, Align::Centre, text, kWhite);
    }
    set.Finish(cr, kAsiStrip, "asi_strip");
}

void VmoPointer(BitmapSet& set, bool lit, uint32_t id, const char* name) {
    const NeedleSize& n = kVmoPointerSize;
    cairo_t* cr = set.Begin(n.width, n.length + n.tail);
    const double x0 = n.width / 2.0 - 2;
    for (int y = 0; y < n.length - 30; y += 8) {
        SetColour(cr, (y / 8) % 2 == 0 ? kRed : (lit ? kLitMarking : kWhite));
        cairo_rectangle(cr, x0, y, 4, 8);
        cairo_fill(cr);
    }
    set.Finish(cr, id, name);
}

void RenderAirspeed(BitmapSet& set) {
    AirspeedFace(set, true, kAsiFaceLit, "asi_face_lit");
    AirspeedFace(set, false, kAsiFace, "asi_face");
    AirspeedStrip(set);
    Opaque(set, kAsiStripWindowWidth, kAsiStripWindowHeight, kAsiStripMask, "asi_strip_mask");
    VmoPointer(set, false, kAsiVmoPointer, "asi_vmo");
    VmoPointer(set, true, kAsiVmoPointerLit, "asi_vmo_lit");
    for (int lit = 0; lit < 2; ++lit) {
        const NeedleSize& n = kAsiNeedleSize;
        cairo_t* cr = set.Begin(n.width, n.length + n.tail);
        DrawPointer(cr, n.width / 2.0, n.length, n.length, n.tail, n.width / 2.0 - 1, lit != 0);
        set.Finish(cr, kAsiNeedle + lit, lit ? "asi_needle_lit" : "asi_needle");
        cr = set.Begin(kAsiBugSize.width, kAsiBugSize.length);
        DrawBug(cr, kAsiBugSize.width, kAsiBugSize.length, kAmber, lit != 0);
        set.Finish(cr, kAsiClickBug + lit, lit ? "asi_click_bug_lit" : "asi_click_bug");
        cr = set.Begin(kAsiBugSize.width, kAsiBugSize.length);
        DrawBug(cr, kAsiBugSize.width, kAsiBugSize.length, kCyan, lit != 0);
        set.Finish(cr, kAsiKnobBug + lit, lit ? "asi_knob_bug_lit" : "asi_knob_bug");
    }
    ArrowNeedle(set, kKnobPointerSize, kWhite, false, kAsiKnobPointer, "asi_knob_pointer");
    ArrowNeedle(set, kKnobPointerSize, kWhite, true, kAsiKnobPointerLit, "asi_knob_pointer_lit");
}

// ---------------------------------------------------------------------------
// Altimeters

// A strip of labels at the drum values given: label i centred where the
// drum shows value[i].
void DrumStrip(BitmapSet& set, int width, int window, int length, double scale, const int* values,
               const std::string* labels, int count, double font, Colour colour, uint32_t id,
               const char* name) {
    cairo_t* cr = set.Begin(width, length);
    cairo_set_source_rgb(cr, 0.04, 0.04, 0.04);
    cairo_paint(cr);
    for (int i = 0; i < count; ++i) {
        const double y = window / 2.0 - values[i] * scale;
        if (labels[i].empty()) {
            // The negative-altitude flag: hatching across the drum.
            cairo_save(cr);
            cairo_rectangle(cr, 0, y - window / 2.0, width, window);
            cairo_clip(cr);
            SetColour(cr, kWhite);
            cairo_set_line_width(cr, 3);
            for (int x = -window; x < width + window; x += 7) {
                cairo_move_to(cr, x, y + window / 2.0);
                cairo_line_to(cr, x + window, y - window / 2.0);
            }
            cairo_stroke(cr);
            cairo_restore(cr);
            continue;
        }
        DrawText(cr, Face::SansBold, font, width / 2.0, y, Align::Centre, labels[i], colour);
    }
    set.Finish(cr, id, name);
}

void DigitStrip(BitmapSet& set, int width, int window, int length, double scale, double font,
                Colour colour, bool negative_flag, uint32_t id, const char* name) {
    int values[12];
    std::string labels[12];
    int n = 0;
    for (int d = 0; d <= 10; ++d) {  // 10: the 0 that rolls in after 9
        values[n] = DigitDrumValue(d);
        labels[n++] = std::to_string(d % 10);
    }
    if (negative_flag) {
        values[n] = 0;
        labels[n++] = "";
    }
    DrumStrip(set, width, window, length, scale, values, labels, n, font, colour, id, name);
}

void TwentyFootStrips(BitmapSet& set) {
    // r = 0, 20, 40, 60, 80 ft show 110 - r / 2; then the next hundred.
    int values[7];
    std::string tens[7];
    std::string zeros[7];
    for (int i = 0; i < 7; ++i) {
        values[i] = 110 - i * 10;
        tens[i] = std::to_string((i * 2) % 10);
        zeros[i] = "0";
    }
    DrumStrip(set, kDrumWidth, kDrumHeight, kDrumStripLength, kDrumScale, values, tens, 7, 15,
              kWhite, kAltTwentyStrip, "alt_twenty_strip");
    DrumStrip(set, kDrumWidth, kDrumHeight, kDrumStripLength, kDrumScale, values, zeros, 7, 15,
              kWhite, kAltZeroStrip, "alt_zero_strip");
}

void SettingLowStrip(BitmapSet& set, bool hpa, uint32_t id, const char* name) {
    int values[100];
    std::string labels[100];
    for (int m = 0; m < 100; ++m) {
        values[m] = 110 - m;
        char text[8];
        if (hpa) {
            std::snprintf(text, sizeof text, "%d.%d", m / 10, m % 10);
        } else {
            std::snprintf(text, sizeof text, "%02d", m);
        }
        labels[m] = text;
    }
    DrumStrip(set, kSetLowWidth, kSetDrumHeight, kSetLowStripLength, kSetLowScale, values, labels,
              100, 10, kWhite, id, name);
}

void AltimeterFace(BitmapSet& set, bool lit, bool standby, uint32_t id, const char* name) {
    cairo_t* cr = set.Begin(kAltSize, kAltSize);
    const double c = kAltCentre;
    const double r = kAltFaceRadius;
    const Colour mark = Marking(lit);
    DrawCase(cr, kAltSize, true);
    DrawFace(cr, c, c, r, lit);
    // One turn per 1000 ft: a mark every 20 ft, numerals every 100 ft.
    for (int ft = 0; ft < 1000; ft += 20) {
        const double a = ft * kAltDegreesPerFoot;
        const bool major = ft % 100 == 0;
        DrawTick(cr, c, c, r - 3, r - (major ? 14 : 8), a, major ? 2.2 : 1.0, mark, lit);
        if (major) {
            double x, y;
            PolarPoint(c, c, r - 25, a, &x, &y);
            DrawText(cr, Face::Sans, 16, x, y, Align::Centre, std::to_string(ft / 100), mark);
        }
    }
    DrawWindow(cr, kDrumX[0] - 2, kDrumRowY - 2, kDrumX[4] + kDrumWidth - kDrumX[0] + 4,
               kDrumHeight + 4);
    const int set_width = 3 * kSetDrumWidth + kSetLowWidth;
    DrawWindow(cr, kSetHpaX - 2, kSetRowY - 2, set_width + 4, kSetDrumHeight + 4);
    DrawText(cr, Face::SansNarrow, 9, kSetHpaX + set_width / 2.0, kSetRowY + kSetDrumHeight + 8,
             Align::Centre, "hPa", mark);
    if (!standby) {
        DrawWindow(cr, kSetInHgX - 2, kSetRowY - 2, set_width + 4, kSetDrumHeight + 4);
        DrawText(cr, Face::SansNarrow, 9, kSetInHgX + set_width / 2.0,
                 kSetRowY + kSetDrumHeight + 8, Align::Centre, "IN HG", mark);
        DrawWindow(cr, kOffFlagX - 1, kOffFlagY - 1, kOffFlagWidth + 2, kOffFlagHeight + 2);
    }
    DrawText(cr, Face::SansBold, 10, c, c + 18, Align::Centre, standby ? "STBY ALT" : "ALT", mark);
    DrawKnob(cr, standby ? 100 : 19, 109, 10, 0);
    set.Finish(cr, id, name);
}

// The pointer is drawn along +x: its pivot at (tail, width / 2).
void AltimeterPointer(BitmapSet& set, bool lit, double hub, uint32_t id, const char* name) {
    cairo_t* cr = set.Begin(kAltPointerTail + kAltPointerLength, kAltPointerWidth);
    cairo_translate(cr, kAltPointerTail, kAltPointerWidth / 2.0);
    cairo_rotate(cr, kPi / 2);
    DrawPointer(cr, 0, 0, kAltPointerLength, kAltPointerTail, hub, lit);
    set.Finish(cr, id, name);
}

void OffFlag(BitmapSet& set) {
    cairo_t* cr = set.Begin(kOffFlagWidth, kOffFlagHeight);
    cairo_set_source_rgb(cr, 0.85, 0.1, 0.1);
    cairo_paint(cr);
    DrawText(cr, Face::SansBold, 12, kOffFlagWidth / 2.0, kOffFlagHeight / 2.0, Align::Centre,
             "OFF", kWhite);
    set.Finish(cr, kAltOffFlag, "alt_off_flag");
}

void LitOverlay(BitmapSet& set, uint32_t id, const char* name) {
    cairo_t* cr = set.Begin(kAltSize, kAltSize);
    cairo_pattern_t* p = cairo_pattern_create_radial(kAltCentre, kAltCentre, kAltFaceRadius - 12,
                                                     kAltCentre, kAltCentre, kAltFaceRadius);
    cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.8, 0.5, 0.0);
    cairo_pattern_add_color_stop_rgba(p, 1, 1.0, 0.8, 0.5, 0.18);
    cairo_set_source(cr, p);
    cairo_arc(cr, kAltCentre, kAltCentre, kAltFaceRadius, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    set.Finish(cr, id, name);
}

void RenderAltimeters(BitmapSet& set) {
    AltimeterFace(set, true, false, kAltFaceLit, "alt_face_lit");
    AltimeterFace(set, false, false, kAltFace, "alt_face");
    AltimeterFace(set, true, true, kStbyFaceLit, "stby_face_lit");
    AltimeterFace(set, false, true, kStbyFace, "stby_face");
    TwentyFootStrips(set);
    DigitStrip(set, kDrumWidth, kDrumHeight, kDrumStripLength, kDrumScale, 17, kWhite, true,
               kAltDigitStrip, "alt_digit_strip");
    DigitStrip(set, kDrumWidth, kDrumHeight, kDrumStripLength, kDrumScale, 17, kGreen, false,
               kStbyThousandsStrip, "stby_thousands_strip");
    DigitStrip(set, kSetDrumWidth, kSetDrumHeight, kSetDigitStripLength, kSetDrumScale, 11, kWhite,
               false, kSetDigitStrip, "set_digit_strip");
    SettingLowStrip(set, true, kSetLowStripHpa, "set_low_strip_hpa");
    SettingLowStrip(set, false, kSetLowStripInHg, "set_low_strip_inhg");
    Opaque(set, kDrumWidth, kDrumHeight, kAltDrumMask, "alt_drum_mask");
    Opaque(set, kSetDrumWidth, kSetDrumHeight, kSetDigitMask, "set_digit_mask");
    Opaque(set, kSetLowWidth, kSetDrumHeight, kSetLowMask, "set_low_mask");
    Opaque(set, kOffFlagWidth, kOffFlagHeight, kAltOffFlagMask, "alt_off_flag_mask");
    OffFlag(set);
    // The standby's pointer is the slimmer one, on a smaller hub.
    AltimeterPointer(set, false, kAltPointerWidth / 2.0 - 1, kAltPointer, "alt_pointer");
    AltimeterPointer(set, true, kAltPointerWidth / 2.0 - 1, kAltPointerLit, "alt_pointer_lit");
    AltimeterPointer(set, false, kAltPointerWidth / 4.0, kStbyPointer, "stby_pointer");
    AltimeterPointer(set, true, kAltPointerWidth / 4.0, kStbyPointerLit, "stby_pointer_lit");
    cairo_t* cr = set.Begin(kAlertLampSize, kAlertLampSize);
    DrawRoundLamp(cr, kAlertLampSize / 2.0, kAlertLampSize / 2.0, kAlertLampSize / 2.0, kAmber,
                  true);
    set.Finish(cr, kAltAlertLamp, "alt_alert_lamp");
    LitOverlay(set, kAltLitOverlay, "alt_lit_overlay");
    LitOverlay(set, kStbyLitOverlay, "stby_lit_overlay");
}

}  // namespace

void RenderFlightDials(BitmapSet& set) {
    RenderSelectors(set);
    RenderClocks(set);
    RenderAirspeed(set);
    RenderAltimeters(set);
}

}  // namespace art
