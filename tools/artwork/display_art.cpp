// The electronic flight displays' bitmaps: the screen every display gauge
// paints into (black) and the two screen backgrounds its pictures are drawn
// over (black where the painters draw).
#include <cairo.h>

#include "art_kit.h"
#include "displays/efis_display_gauges.h"
#include "families.h"
#include "panels/display_control_panels.h"

namespace art {

namespace {

void Black(BitmapSet& set, int width, int height, uint32_t id, const char* name) {
    cairo_t* cr = set.Begin(width, height);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    set.Finish(cr, id, name);
}

namespace dc = zu::display_control;

constexpr const char* kButtonLegends[8] = {"ARC", "WX", "MAP", "GSPD", "ATT", "HDG", "NAV", "TEST"};

void ControlPanelFace(BitmapSet& set) {
    cairo_t* cr = set.Begin(dc::kWidth, dc::kHeight);
    cairo_set_source_rgb(cr, 0.17, 0.17, 0.18);
    cairo_paint(cr);
    for (int b = 0; b < 8; ++b) {
        cairo_set_source_rgb(cr, 0.32, 0.32, 0.34);
        cairo_rectangle(cr, dc::ButtonX(b), dc::kButtonY, dc::kButtonWidth, dc::kButtonHeight);
        cairo_fill(cr);
        DrawText(cr, Face::SansBold, 7, dc::ButtonX(b) + dc::kButtonWidth / 2.0, dc::kButtonY + 11,
                 Align::Centre, kButtonLegends[b], kWhite);
    }
    constexpr const char* kKnobLegends[4] = {"BRG", "BRG", "DH", "BRT"};
    constexpr int kKnobX[4] = {dc::kBearing0KnobX, dc::kBearing1KnobX, dc::kDhKnobX,
                               dc::kBrightnessKnobX};
    for (int k = 0; k < 4; ++k) {
        DrawText(cr, Face::SansBold, 7, kKnobX[k], dc::kKnobY - 17, Align::Centre, kKnobLegends[k],
                 kWhite);
    }
    set.Finish(cr, dc::kFace, "display_control_face");
    cr = set.Begin(dc::kWidth, dc::kHeight);
    for (int b = 0; b < 8; ++b) {
        DrawText(cr, Face::SansBold, 7, dc::ButtonX(b) + dc::kButtonWidth / 2.0, dc::kButtonY + 11,
                 Align::Centre, kButtonLegends[b], kLitMarking);
    }
    set.Finish(cr, dc::kOverlayLit, "display_control_lit");
    for (int lit = 0; lit < 2; ++lit) {
        cairo_t* k = set.Begin(dc::kKnobSize, dc::kKnobSize);
        const double c = dc::kKnobSize / 2.0;
        cairo_set_source_rgb(k, 0.1, 0.1, 0.1);
        cairo_arc(k, c, c, c - 1, 0, 6.2832);
        cairo_fill(k);
        cairo_set_line_width(k, 2.5);
        if (lit != 0) {
            cairo_set_source_rgb(k, 1.0, 0.85, 0.55);
        } else {
            cairo_set_source_rgb(k, 0.9, 0.9, 0.9);
        }
        cairo_move_to(k, c, c);
        cairo_line_to(k, c, 2);
        cairo_stroke(k);
        set.Finish(k, lit != 0 ? dc::kKnobLit : dc::kKnobUnlit,
                   lit != 0 ? "display_control_knob_lit" : "display_control_knob");
    }
}

}  // namespace

void RenderDisplays(BitmapSet& set) {
    Black(set, 168, 134, zu::kDisplaySurfaceBitmap, "display_screen");
    Black(set, zu::kDisplayBackgroundWidth, zu::kDisplayBackgroundHeight, zu::kVsiScreenBackground,
          "BMP_VSI_SCREEN2");
    Black(set, zu::kDisplayBackgroundWidth, zu::kDisplayBackgroundHeight, zu::kHsiScreenBackground,
          "BMP_VSI_SCREEN2a");
    ControlPanelFace(set);
}

}  // namespace art
