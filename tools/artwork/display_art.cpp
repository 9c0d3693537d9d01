// The electronic flight displays' bitmaps: the screen every display gauge
// paints into (black) and the two screen backgrounds its pictures are drawn
// over (black where the painters draw).
#include <cairo.h>

#include <cmath>

#include "art_kit.h"
#include "displays/efis_display_gauges.h"
#include "displays/sg_select_panels.h"
#include "displays/tcas_display.h"
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

// The traffic display's screen and its background: a dark bezel ring
// around the black screen with the 3 o'clock-to-9 o'clock vertical-speed
// scale marks (0, 1, 2, 4, 6 thousand ft/min each way), drawn on the
// 86 x 84 design grid at twice its size.
void TcasScreens(BitmapSet& set) {
    Black(set, zu::kTcasBitmapWidth, zu::kTcasBitmapHeight, zu::kTcasSurfaceBitmap,
          "tcas_screen");
    cairo_t* cr = set.Begin(zu::kTcasBitmapWidth, zu::kTcasBitmapHeight);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    cairo_scale(cr, zu::kTcasBitmapWidth / 86.0, zu::kTcasBitmapHeight / 84.0);
    cairo_set_source_rgb(cr, 0.75, 0.75, 0.75);
    cairo_set_line_width(cr, 0.5);
    // Needle angles of 0, 1000, 2000, 4000 and 6000 ft/min.
    constexpr double kMarks[5] = {0.0, 66.0, 109.0, 149.5, 172.0};
    for (double m : kMarks) {
        for (int sign = -1; sign <= 1; sign += 2) {
            const double a = (180.0 + sign * m) * 3.14159265358979 / 180.0;
            cairo_move_to(cr, 41 + 38 * std::cos(a), 41.5 - 38 * std::sin(a));
            cairo_line_to(cr, 41 + 41 * std::cos(a), 41.5 - 41 * std::sin(a));
        }
    }
    cairo_stroke(cr);
    set.Finish(cr, zu::kTcasBackgroundBitmap, "BMP_TCAS_BKGa");
}

// The symbol-generator select panel: three square push-buttons on a dark
// plate (the legends are the gauge's own strings), lit with the panel
// lighting; the TAS lamp (white) and the transfer lamp (amber).
void SelectPanels(BitmapSet& set) {
    for (int lit = 0; lit < 2; ++lit) {
        cairo_t* cr = set.Begin(zu::kSgSelWidth, zu::kSgSelHeight);
        cairo_set_source_rgb(cr, 0.17, 0.17, 0.18);
        cairo_paint(cr);
        for (int b = 0; b < 3; ++b) {
            cairo_set_source_rgb(cr, 0.30, 0.30, 0.32);
            cairo_rectangle(cr, zu::kSgSelButtonX[b] + 0.5, 0.5, zu::kSgSelButtonWidth - 1,
                            zu::kSgSelButtonHeight - 1);
            cairo_fill(cr);
        }
        DrawText(cr, Face::SansBold, 6, zu::kSgSelButtonX[2] + zu::kSgSelButtonWidth / 2.0, 22,
                 Align::Centre, "SG XFR", lit != 0 ? kLitMarking : kWhite);
        set.Finish(cr, lit != 0 ? zu::kSgSelFaceLit : zu::kSgSelFace,
                   lit != 0 ? "sg_select_face_lit" : "sg_select_face");
    }
    cairo_t* cr = set.Begin(zu::kSgSelLampWidth, zu::kSgSelLampHeight);
    cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
    cairo_rectangle(cr, 1, 1, zu::kSgSelLampWidth - 2, zu::kSgSelLampHeight - 2);
    cairo_fill(cr);
    set.Finish(cr, zu::kSgSelTasLamp, "sg_select_tas_lamp");
    cr = set.Begin(zu::kSgSelLampWidth, zu::kSgSelLampHeight);
    cairo_set_source_rgb(cr, 1.0, 0.7, 0.0);
    cairo_rectangle(cr, 1, 1, zu::kSgSelLampWidth - 2, zu::kSgSelLampHeight - 2);
    cairo_fill(cr);
    set.Finish(cr, zu::kSgSelTransferLamp, "sg_select_transfer_lamp");
}

}  // namespace

void RenderDisplays(BitmapSet& set) {
    Black(set, 168, 134, zu::kDisplaySurfaceBitmap, "display_screen");
    Black(set, zu::kDisplayBackgroundWidth, zu::kDisplayBackgroundHeight, zu::kVsiScreenBackground,
          "BMP_VSI_SCREEN2");
    Black(set, zu::kDisplayBackgroundWidth, zu::kDisplayBackgroundHeight, zu::kHsiScreenBackground,
          "BMP_VSI_SCREEN2a");
    ControlPanelFace(set);
    TcasScreens(set);
    SelectPanels(set);
}

}  // namespace art
