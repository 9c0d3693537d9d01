// Artwork of the engine-control, fuel, autofeather and gear panels and of the
// trim, flap, compass and inclinometer indicators: every entry of their
// bitmap table (panels/pedestal_art.h), drawn by its kind.
#include "panels/pedestal_art.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "art_kit.h"
#include "families.h"

namespace art {

namespace {

namespace pa = zu::pedestal_art;

constexpr double kPi = 3.14159265358979323846;

void Window(cairo_t* cr, const pa::Box& b) {
    DrawWindow(cr, b.x, b.y, b.width, b.height);
}

void Hole(cairo_t* cr, const pa::Box& b) {
    cairo_set_source_rgb(cr, 0.10, 0.10, 0.11);
    RoundedPath(cr, b.x - 1, b.y - 1, b.width + 2, b.height + 2, 3);
    cairo_fill(cr);
}

// The captions of each plate, in the ink given (white on the unlit plate,
// the warm glow on the lit overlay).
void EgcCaptions(cairo_t* cr, Colour ink) {
    DrawText(cr, Face::SansBold, 8, 5, 74, Align::Left, "ENGINE CONTROL", ink);
    DrawText(cr, Face::Sans, 6, pa::kEgcKnobX, 27, Align::Centre, "1", ink);
    DrawText(cr, Face::Sans, 6, pa::kEgcKnobX + 17, 34, Align::Centre, "2", ink);
    DrawText(cr, Face::Sans, 6, pa::kEgcKnobX + 21, 52, Align::Centre, "3", ink);
    DrawText(cr, Face::Sans, 6, 104, 66, Align::Centre, "ENG 1", ink);
    DrawText(cr, Face::Sans, 6, 144, 66, Align::Centre, "ENG 2", ink);
}

void FuelCaptions(cairo_t* cr, Colour ink) {
    DrawText(cr, Face::SansBold, 8, 83, 7, Align::Centre, "FUEL", ink);
    DrawText(cr, Face::Sans, 5.5, 30, 10, Align::Centre, "XFER VALVE 1", ink);
    DrawText(cr, Face::Sans, 5.5, 136, 10, Align::Centre, "XFER VALVE 2", ink);
    DrawText(cr, Face::Sans, 5.5, 62, 16, Align::Centre, "L", ink);
    DrawText(cr, Face::Sans, 5.5, 104, 16, Align::Centre, "R", ink);
    DrawText(cr, Face::Sans, 5.5, 58, 66, Align::Right, "PUMP 1", ink);
    DrawText(cr, Face::Sans, 5.5, 106, 66, Align::Left, "2", ink);
    DrawText(cr, Face::Sans, 5.5, 126, 71, Align::Right, "TEST", ink);
}

void AutofeatherCaptions(cairo_t* cr, Colour ink) {
    DrawText(cr, Face::SansBold, 8, 133, 12, Align::Centre, "AUTOFEATHER", ink);
    DrawText(cr, Face::Sans, 5.5, 21, 40, Align::Centre, "TEST 1", ink);
    DrawText(cr, Face::Sans, 5.5, 49, 40, Align::Centre, "TEST 2", ink);
    DrawText(cr, Face::Sans, 5.5, 131, 32, Align::Centre, "FEATHER", ink);
    DrawText(cr, Face::Sans, 5.5, 117, 40, Align::Centre, "1", ink);
    DrawText(cr, Face::Sans, 5.5, 145, 40, Align::Centre, "2", ink);
    DrawText(cr, Face::Sans, 5.5, 131, 77, Align::Centre, "UNFEATHER", ink);
    DrawText(cr, Face::Sans, 5.5, 82, 44, Align::Centre, "SELECT", ink);
}

void GearCaptions(cairo_t* cr, Colour ink) {
    DrawText(cr, Face::SansBold, 8, 112, 8, Align::Centre, "LANDING GEAR", ink);
    DrawText(cr, Face::Sans, 6, 25, 20, Align::Centre, "UP", ink);
    DrawText(cr, Face::Sans, 6, 25, 196, Align::Centre, "DN", ink);
    DrawText(cr, Face::Sans, 5.5, 79, 144, Align::Centre, "HORN", ink);
    DrawText(cr, Face::Sans, 5.5, 100, 152, Align::Left, "SIL", ink);
    DrawText(cr, Face::Sans, 5.5, 100, 184, Align::Left, "TEST", ink);
    DrawText(cr, Face::Sans, 5.5, 138, 176, Align::Centre, "NOSE DOOR", ink);
}

void TrimsCaptions(cairo_t* cr, Colour ink) {
    DrawText(cr, Face::SansBold, 7, pa::kTrimsDialX, 8, Align::Centre, "ELEV TRIM", ink);
    DrawText(cr, Face::SansBold, 7, pa::kTrimsIndicationX, 8, Align::Centre, "TRIM IND", ink);
    DrawText(cr, Face::Sans, 6, 40, 132, Align::Centre, "NOSE DN", ink);
    DrawText(cr, Face::Sans, 6, 78, 132, Align::Centre, "NOSE UP", ink);
    // Elevator-trim scale: zero up, nose up to the right.
    for (int i = -3; i <= 3; ++i) {
        DrawTick(cr, pa::kTrimsDialX, pa::kTrimsDialY, 34, i == 0 ? 26 : 29, i * 20.0, 1.4, ink,
                 false);
    }
    DrawText(cr, Face::Sans, 5.5, pa::kTrimsDialX - 30, pa::kTrimsDialY - 24, Align::Centre, "DN",
             ink);
    DrawText(cr, Face::Sans, 5.5, pa::kTrimsDialX + 30, pa::kTrimsDialY - 24, Align::Centre, "UP",
             ink);
    // Trim indication: zero at three o'clock.
    for (int i = -3; i <= 3; ++i) {
        DrawTick(cr, pa::kTrimsIndicationX, pa::kTrimsIndicationY, 30, i == 0 ? 22 : 25,
                 90.0 + i * 20.0, 1.4, ink, false);
    }
}

void Plate(cairo_t* cr, int w, int h, int variant, bool lit) {
    const Colour ink = lit ? kLitMarking : kWhite;
    if (!lit) DrawPlate(cr, w, h);
    switch (variant) {
        case 0:
            if (!lit) {
                for (const pa::Box& b : pa::kEgcButton) Window(cr, b);
                Window(cr, pa::kEgcLampBox);
            }
            EgcCaptions(cr, ink);
            break;
        case 1:
            if (!lit) {
                for (const pa::Box& b : pa::kFuelValveWindow) Window(cr, b);
                for (const pa::Box& b : pa::kFuelLampBox) Window(cr, b);
                for (const pa::Box& b : pa::kFuelPump) Hole(cr, b);
                DrawPushButton(cr, pa::kFuelTest.x + pa::kFuelTest.width / 2.0,
                               pa::kFuelTest.y + pa::kFuelTest.height / 2.0, 7);
            }
            FuelCaptions(cr, ink);
            break;
        case 2:
            if (!lit) {
                Window(cr, pa::kAfSelect);
                for (const pa::Box& b : pa::kAfTestLampBox) Window(cr, b);
                for (const pa::Box& b : pa::kAfTestSwitch) Hole(cr, b);
                for (const pa::Box& b : pa::kAfSpringSwitch) Hole(cr, b);
            }
            AutofeatherCaptions(cr, ink);
            break;
        case 3:
            if (!lit) {
                cairo_set_source_rgb(cr, 0.04, 0.04, 0.04);
                RoundedPath(cr, pa::kGearLeverX + 11, 26, 8, 160, 4);
                cairo_fill(cr);
                for (int row = 0; row < 3; ++row) {
                    for (int column = 0; column < 3; ++column) {
                        Window(cr, pa::GearLampBox(row, column));
                    }
                }
                Window(cr, pa::kGearDoorFlag);
                Hole(cr, {pa::kGearSwitch.x, pa::kGearSwitch.y + 5, pa::kGearSwitch.width, 26});
            }
            GearCaptions(cr, ink);
            break;
        case 4:
            if (!lit) {
                DrawFace(cr, pa::kTrimsDialX, pa::kTrimsDialY, 36, false);
                DrawFace(cr, pa::kTrimsIndicationX, pa::kTrimsIndicationY, 32, false);
                Hole(cr, pa::kTrimsRocker);
            }
            TrimsCaptions(cr, ink);
            break;
        default:
            break;
    }
}

// A toggle seen from the front; its lever at the top, centre or bottom.
void Toggle(cairo_t* cr, int w, int h, int variant) {
    const double cx = w / 2.0;
    const double cy = h / 2.0;
    cairo_set_source_rgb(cr, 0.15, 0.15, 0.16);
    cairo_arc(cr, cx, cy, w * 0.42, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.55, 0.56, 0.58);
    cairo_arc(cr, cx, cy, w * 0.28, 0, 2 * kPi);
    cairo_fill(cr);
    const double tip = variant > 0 ? 3.0 : variant < 0 ? h - 3.0 : cy;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_source_rgb(cr, 0.82, 0.83, 0.85);
    cairo_set_line_width(cr, w * 0.3);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx, tip);
    cairo_stroke(cr);
    cairo_arc(cr, cx, tip, w * 0.22, 0, 2 * kPi);
    cairo_fill(cr);
}

void Lamp(cairo_t* cr, int w, int h, int variant) {
    switch (variant) {
        case 0:
            DrawLamp(cr, 0, 0, w, h, kAmber, true, {"UPTRIM"});
            break;
        case 1:
            DrawLamp(cr, 0, 0, w, h, kGreen, true, {"PUMP"});
            break;
        default:
            DrawLamp(cr, 0, 0, w, h, kGreen, true, {"TEST"});
            break;
    }
}

void GearLever(cairo_t* cr, int w, int h, bool light) {
    const double cx = w / 2.0;
    const double cy = h / 2.0;
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.87);
    cairo_arc(cr, cx, cy, w * 0.46, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.35, 0.35, 0.37);
    cairo_set_line_width(cr, 2);
    cairo_arc(cr, cx, cy, w * 0.30, 0, 2 * kPi);
    cairo_stroke(cr);
    if (light) {
        cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy, 0, cx, cy, w * 0.3);
        cairo_pattern_add_color_stop_rgba(g, 0, 1.0, 0.3, 0.2, 1.0);
        cairo_pattern_add_color_stop_rgba(g, 1, 0.9, 0.1, 0.1, 0.9);
        cairo_set_source(cr, g);
        cairo_arc(cr, cx, cy, w * 0.28, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    }
}

void DoorFlag(cairo_t* cr, int w, int h, bool striped) {
    cairo_set_source_rgb(cr, 0.02, 0.02, 0.02);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    if (!striped) return;
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
    cairo_set_line_width(cr, 3);
    for (int x = -h; x < w + h; x += 7) {
        cairo_move_to(cr, x, h);
        cairo_line_to(cr, x + h, 0);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

// The rocker: two halves; the pressed half is darker and sunk.
void TrimRocker(cairo_t* cr, int w, int h, int variant) {
    cairo_set_source_rgb(cr, 0.08, 0.08, 0.08);
    RoundedPath(cr, 0.5, 0.5, w - 1, h - 1, 4);
    cairo_fill(cr);
    for (int half = 0; half < 2; ++half) {
        const bool pressed = (half == 0 && variant < 0) || (half == 1 && variant > 0);
        const double shade = pressed ? 0.22 : 0.45;
        cairo_set_source_rgb(cr, shade, shade, shade + 0.01);
        RoundedPath(cr, 3 + half * (w / 2.0), pressed ? 5 : 3, w / 2.0 - 6, h - 8, 3);
        cairo_fill(cr);
    }
    DrawText(cr, Face::SansBold, 7, w * 0.25, h / 2.0, Align::Centre, "DN", kWhite);
    DrawText(cr, Face::SansBold, 7, w * 0.75, h / 2.0, Align::Centre, "UP", kWhite);
}

void Needle(cairo_t* cr, int w, int h) {
    DrawPointer(cr, w / 2.0, h / 2.0, h / 2.0 - 2, 4, w, false);
}

void FlapFace(cairo_t* cr, int size, bool lit) {
    const double c = size / 2.0;
    cairo_set_source_rgb(cr, 0.14, 0.14, 0.15);
    RoundedPath(cr, 0.5, 0.5, size - 1, size - 1, 4);
    cairo_fill(cr);
    DrawFace(cr, c, c, c - 4, lit);
    const Colour ink = lit ? kLitMarking : kWhite;
    const char* labels[5] = {"0", "5", "10", "15", "35"};
    for (int i = 0; i < 5; ++i) {
        DrawTick(cr, c, c, c - 5, c - 10, pa::kFlapDetentAngle[i], 1.5, ink, lit);
        double x = 0, y = 0;
        PolarPoint(c, c, c - 16, pa::kFlapDetentAngle[i], &x, &y);
        DrawText(cr, Face::Sans, 6, x, y, Align::Centre, labels[i], ink);
    }
    DrawText(cr, Face::SansBold, 6, c, c + 16, Align::Centre, "FLAPS", ink);
}

void CompassFace(cairo_t* cr, int w, int h) {
    cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
    RoundedPath(cr, 0.5, 0.5, w - 1, h - 1, 10);
    cairo_fill(cr);
    const pa::Box b = pa::kCompassWindow;
    cairo_set_source_rgb(cr, 0.02, 0.02, 0.02);
    RoundedPath(cr, b.x - 2, b.y - 2, b.width + 4, b.height + 4, 8);
    cairo_fill(cr);
    DrawText(cr, Face::Sans, 6, w / 2.0, 12, Align::Centre, "STANDBY COMPASS", kWhite);
    DrawText(cr, Face::Sans, 5, w / 2.0, 70, Align::Centre, "CALIBRATED WITH RADIOS ON", kWhite);
}

// Heading d of the strip sits at x = kCardLubber + (360 - d) x px/deg.
void CompassCard(cairo_t* cr, int w, int h, bool lit) {
    cairo_set_source_rgb(cr, 0.04, 0.04, 0.04);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    const Colour ink = lit ? kLitMarking : kWhite;
    for (int d = -30; d <= 390; d += 5) {
        const double x = pa::kCardLubber + (360 - d) * pa::kCardPixelsPerDegree;
        const bool major = d % 30 == 0;
        SetColour(cr, ink);
        cairo_set_line_width(cr, major ? 1.4 : 0.8);
        cairo_move_to(cr, x, 2);
        cairo_line_to(cr, x, major ? 10 : 6);
        cairo_stroke(cr);
        if (!major) continue;
        const int heading = ((d % 360) + 360) % 360;
        std::string label;
        switch (heading) {
            case 0:
                label = "N";
                break;
            case 90:
                label = "E";
                break;
            case 180:
                label = "S";
                break;
            case 270:
                label = "W";
                break;
            default: {
                char text[8];
                std::snprintf(text, sizeof text, "%d", heading / 10);
                label = text;
            }
        }
        DrawText(cr, Face::SansBold, 9, x, 20, Align::Centre, label, ink);
    }
}

// The mask is opaque where the card shows; a gap leaves the lubber line.
void CompassMask(cairo_t* cr, int w, int h) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    RoundedPath(cr, 0, 0, w, h, 8);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(cr, pa::kCardLubber - 0.75, 0, 1.5, h);
    cairo_fill(cr);
}

void TubePath(cairo_t* cr, int w) {
    RoundedPath(cr, 6, 10, w - 12, 22, 11);
}

void TubeFace(cairo_t* cr, int w, int h, bool lit) {
    if (!lit) {
        cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
        RoundedPath(cr, 0.5, 0.5, w - 1, h - 1, 6);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.80, 0.78, 0.70);
        TubePath(cr, w);
        cairo_fill(cr);
    }
    const Colour ink = lit ? kLitMarking : Colour{0.05, 0.05, 0.05};
    SetColour(cr, ink);
    cairo_set_line_width(cr, 1.2);
    for (double x : {w / 2.0 - pa::kBallRadius - 1.5, w / 2.0 + pa::kBallRadius + 1.5}) {
        cairo_move_to(cr, x, 10);
        cairo_line_to(cr, x, 32);
    }
    cairo_stroke(cr);
    (void)h;
}

// The ball at its rest position: 12 units of the shown value left of the
// centre and raised by 12 units, so that the element's offsets put it at
// the centre for a shown value of 0.
void Ball(cairo_t* cr, int w) {
    const double cx = w / 2.0 - 12 * pa::kBallScaleX;
    const double cy = pa::kBallCentreY + 12 * pa::kBallScaleY;
    cairo_pattern_t* g = cairo_pattern_create_radial(cx - 2, cy - 2, 1, cx, cy, pa::kBallRadius);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.35, 0.35, 0.35);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.02, 0.02, 0.02);
    cairo_set_source(cr, g);
    cairo_arc(cr, cx, cy, pa::kBallRadius, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

void Draw(BitmapSet& set, const pa::Art& a) {
    cairo_t* cr = set.Begin(a.width, a.height);
    const int w = a.width;
    const int h = a.height;
    switch (a.kind) {
        case pa::Kind::Plate:
            Plate(cr, w, h, a.variant, false);
            break;
        case pa::Kind::PlateLit:
            Plate(cr, w, h, a.variant, true);
            break;
        case pa::Kind::Knob:
            DrawKnob(cr, w / 2.0, h / 2.0, w / 2.0 - 1, 0.0);
            break;
        case pa::Kind::Selector:
            DrawKnob(cr, w / 2.0, h / 2.0, w / 2.0 - 1, a.variant * 45.0);
            break;
        case pa::Kind::Toggle:
            Toggle(cr, w, h, a.variant);
            break;
        case pa::Kind::Lamp:
            Lamp(cr, w, h, a.variant);
            break;
        case pa::Kind::Button:
            DrawPushButton(cr, w / 2.0, h / 2.0, w / 2.0 - 2);
            break;
        case pa::Kind::GearLever:
            GearLever(cr, w, h, a.variant != 0);
            break;
        case pa::Kind::DoorFlag:
            DoorFlag(cr, w, h, a.variant != 0);
            break;
        case pa::Kind::TrimRocker:
            TrimRocker(cr, w, h, a.variant);
            break;
        case pa::Kind::Needle:
            Needle(cr, w, h);
            break;
        case pa::Kind::FlapFace:
            FlapFace(cr, w, a.variant != 0);
            break;
        case pa::Kind::CompassFace:
            CompassFace(cr, w, h);
            break;
        case pa::Kind::CompassCard:
            CompassCard(cr, w, h, a.variant != 0);
            break;
        case pa::Kind::CompassMask:
            CompassMask(cr, w, h);
            break;
        case pa::Kind::TubeFace:
            TubeFace(cr, w, h, a.variant != 0);
            break;
        case pa::Kind::Ball:
            Ball(cr, w);
            break;
        case pa::Kind::TubeMask:
            cairo_set_source_rgb(cr, 1, 1, 1);
            TubePath(cr, w);
            cairo_fill(cr);
            break;
    }
    set.Finish(cr, a.id, a.name);
}

}  // namespace

void RenderPedestalPanels(BitmapSet& set) {
    for (const pa::Art& a : pa::kArt) Draw(set, a);
}

}  // namespace art
