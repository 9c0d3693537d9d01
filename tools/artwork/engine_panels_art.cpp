// Artwork of the engine start panel and the lever quadrant: every entry of
// their bitmap table (panels/engine_panels_art.h), drawn by its kind.
#include "panels/engine_panels_art.h"

#include <cmath>

#include "art_kit.h"
#include "families.h"

namespace art {

namespace {

namespace ep = zu::engine_panels_art;

constexpr double kPi = 3.14159265358979323846;

// The start panel: title, ignition captions with their positions, the
// selector's positions and the START button (its legend is a string
// element of the gauge).
void StartPlate(cairo_t* cr, int w, int h) {
    DrawPlate(cr, w, h);
    DrawText(cr, Face::SansBold, 9, w / 2.0, 11, Align::Centre, "ENGINE START", kWhite);
    for (int side = 0; side < 2; ++side) {
        const double x = side == 0 ? 25 : 166;
        DrawText(cr, Face::Sans, 6.5, x, 26, Align::Centre, side == 0 ? "IGN 1" : "IGN 2", kWhite);
        DrawText(cr, Face::Sans, 5.5, x, 38, Align::Centre, "ON", kWhite);
        DrawText(cr, Face::Sans, 5.5, x + 16, 63, Align::Centre, "NORM", kWhite);
        DrawText(cr, Face::Sans, 5.5, x, 90, Align::Centre, "OFF", kWhite);
    }
    DrawText(cr, Face::Sans, 6.5, 79, 26, Align::Centre, "START SELECT", kWhite);
    DrawText(cr, Face::Sans, 5.5, 58, 40, Align::Centre, "1", kWhite);
    DrawText(cr, Face::Sans, 5.5, 79, 36, Align::Centre, "OFF", kWhite);
    DrawText(cr, Face::Sans, 5.5, 100, 40, Align::Centre, "2", kWhite);
    cairo_set_source_rgb(cr, 0.08, 0.08, 0.08);
    RoundedPath(cr, 116, 42, 34, 30, 3);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.20, 0.20, 0.21);
    RoundedPath(cr, 119, 45, 28, 24, 2);
    cairo_fill(cr);
}

void Toggle(cairo_t* cr, int w, int h, int position) {
    const double cx = w / 2.0;
    const double cy = h / 2.0;
    cairo_set_source_rgb(cr, 0.15, 0.15, 0.16);
    cairo_arc(cr, cx, cy, w * 0.42, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.55, 0.56, 0.58);
    cairo_arc(cr, cx, cy, w * 0.28, 0, 2 * kPi);
    cairo_fill(cr);
    const double tip = position == 2 ? 3.0 : position == 0 ? h - 3.0 : cy;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_source_rgb(cr, 0.82, 0.83, 0.85);
    cairo_set_line_width(cr, w * 0.3);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx, tip);
    cairo_stroke(cr);
    cairo_arc(cr, cx, tip, w * 0.22, 0, 2 * kPi);
    cairo_fill(cr);
}

void LeverKnob(cairo_t* cr, int w, int h, double r, double g, double b) {
    cairo_set_source_rgb(cr, r, g, b);
    RoundedPath(cr, 0.5, 0.5, w - 1, h - 1, h / 3.0);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// The quadrant: two power-lever slots, two condition-lever slots, the flap
// slot with its detents, the parking brake and the trim scale.
void Quadrant(cairo_t* cr, int w, int h, bool lit) {
    if (!lit) {
        cairo_set_source_rgb(cr, 0.16, 0.16, 0.17);
        RoundedPath(cr, 0.5, 0.5, w - 1, h - 1, 5);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.03, 0.03, 0.03);
        for (double x : {30.0, 62.0, 112.0, 138.0}) {
            RoundedPath(cr, x, 24, 6, 196, 3);
            cairo_fill(cr);
        }
        RoundedPath(cr, 176, 24, 6, 160, 3);
        cairo_fill(cr);
    }
    const Colour ink = lit ? Colour{1.0, 0.85, 0.55} : kWhite;
    DrawText(cr, Face::SansBold, 8, 49, 14, Align::Centre, "POWER", ink);
    DrawText(cr, Face::SansBold, 8, 128, 14, Align::Centre, "CONDITION", ink);
    DrawText(cr, Face::SansBold, 8, 179, 14, Align::Centre, "FLAP", ink);
    DrawText(cr, Face::Sans, 6, 16, 30, Align::Centre, "MAX", ink);
    DrawText(cr, Face::Sans, 6, 16, 150, Align::Centre, "FLT", ink);
    DrawText(cr, Face::Sans, 6, 16, 180, Align::Centre, "IDLE", ink);
    DrawText(cr, Face::Sans, 6, 16, 215, Align::Centre, "REV", ink);
    DrawText(cr, Face::Sans, 6, 155, 30, Align::Centre, "MAX", ink);
    DrawText(cr, Face::Sans, 6, 155, 160, Align::Centre, "START", ink);
    DrawText(cr, Face::Sans, 6, 155, 215, Align::Centre, "OFF", ink);
    const char* flaps[] = {"0", "5", "10", "15", "35"};
    for (int i = 0; i < 5; ++i) {
        DrawText(cr, Face::Sans, 6, 194, 32 + 36 * i, Align::Centre, flaps[i], ink);
    }
    DrawText(cr, Face::Sans, 6, 60, 238, Align::Centre, "PARK BRAKE", ink);
    DrawText(cr, Face::Sans, 6, 150, 238, Align::Centre, "PITCH TRIM", ink);
    cairo_set_source_rgb(cr, ink.r, ink.g, ink.b);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, 115, 250);
    cairo_line_to(cr, 185, 250);
    cairo_stroke(cr);
}

void Draw(BitmapSet& set, const ep::Art& a) {
    cairo_t* cr = set.Begin(a.width, a.height);
    const int w = a.width;
    const int h = a.height;
    switch (a.kind) {
        case ep::Kind::StartPlate:
            StartPlate(cr, w, h);
            break;
        case ep::Kind::Toggle:
            Toggle(cr, w, h, a.position);
            break;
        case ep::Kind::Selector:
            DrawKnob(cr, w / 2.0, h / 2.0, w / 2.0 - 1, (a.position - 1) * 45.0);
            break;
        case ep::Kind::QuadrantPlate:
            Quadrant(cr, w, h, false);
            break;
        case ep::Kind::QuadrantLit:
            Quadrant(cr, w, h, true);
            break;
        case ep::Kind::PowerKnob:
            LeverKnob(cr, w, h, 0.85, 0.85, 0.87);
            break;
        case ep::Kind::ConditionKnob:
            LeverKnob(cr, w, h, 0.20, 0.35, 0.75);
            break;
        case ep::Kind::Gate:
            cairo_set_source_rgb(cr, 0.85, 0.70, 0.10);
            cairo_paint(cr);
            break;
        case ep::Kind::FlapKnob:
            LeverKnob(cr, w, h, 0.75, 0.75, 0.78);
            break;
        case ep::Kind::BrakeHandle:
            LeverKnob(cr, w, h, 0.80, 0.12, 0.10);
            break;
        case ep::Kind::TrimPointer:
            cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
            cairo_move_to(cr, 0, 0);
            cairo_line_to(cr, w, 0);
            cairo_line_to(cr, w / 2.0, h);
            cairo_close_path(cr);
            cairo_fill(cr);
            break;
        case ep::Kind::DisconnectButton:
            DrawRoundLamp(cr, w / 2.0, h / 2.0, w / 2.0 - 1, Colour{0.85, 0.1, 0.1}, false);
            break;
    }
    set.Finish(cr, a.id, a.name);
}

}  // namespace

void RenderEnginePanels(BitmapSet& set) {
    for (const ep::Art& a : ep::kArt) Draw(set, a);
}

}  // namespace art
