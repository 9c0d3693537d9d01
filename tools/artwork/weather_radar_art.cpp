// The weather radar's bitmaps: the WX display's face (the window
// background) and its lit legends, the screen it paints into, the knobs,
// the push-button lamps, and the two screen bitmaps the gauge loads.
#include <cairo.h>

#include "art_kit.h"
#include "displays/weather_radar.h"
#include "families.h"

namespace art {

namespace {

namespace wl = zu::wx_layout;

constexpr const char* kRangeLegends[6] = {"300", "200", "100", "50", "25", "10"};
constexpr const char* kModeLegends[5] = {"TEST", "WX/CYC", "MAP", "RCT", "GCR"};
constexpr const char* kOptionLegends[4] = {"VAR", "TGT", "RNG", "SECT"};

void Legends(cairo_t* cr, Colour colour) {
    for (int i = 0; i < 6; ++i) {
        DrawText(cr, Face::SansBold, 7, wl::KeyX(i) + wl::kKeyWidth / 2.0, wl::kRangeRowY + 11,
                 Align::Centre, kRangeLegends[i], colour);
    }
    for (int i = 0; i < 5; ++i) {
        DrawText(cr, Face::SansBold, 7, wl::KeyX(i) + wl::kKeyWidth / 2.0, wl::kModeRowY + 11,
                 Align::Centre, kModeLegends[i], colour);
    }
    for (int i = 0; i < 4; ++i) {
        DrawText(cr, Face::SansBold, 7, wl::KeyX(i) + wl::kKeyWidth / 2.0, wl::kOptionRowY + 13,
                 Align::Centre, kOptionLegends[i], colour);
    }
    DrawText(cr, Face::SansBold, 7, wl::kPowerKnobX, wl::kPowerKnobY - 20, Align::Centre, "PWR",
             colour);
    DrawText(cr, Face::SansBold, 7, wl::kGainKnobX, wl::kGainKnobY - 20, Align::Centre, "GAIN",
             colour);
    DrawText(cr, Face::SansBold, 7, wl::kTiltKnobX, wl::kTiltKnobY - 20, Align::Centre, "TILT",
             colour);
}

void PanelFace(BitmapSet& set) {
    cairo_t* cr = set.Begin(wl::kWidth, wl::kHeight);
    cairo_set_source_rgb(cr, 0.17, 0.17, 0.18);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_rectangle(cr, wl::kScreenX - 2, wl::kScreenY - 2, wl::kScreenWidth + 4,
                    wl::kScreenHeight + 4);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.32, 0.32, 0.34);
    for (int i = 0; i < 6; ++i) {
        cairo_rectangle(cr, wl::KeyX(i), wl::kRangeRowY, wl::kKeyWidth, wl::kKeyHeight);
    }
    for (int i = 0; i < 5; ++i) {
        cairo_rectangle(cr, wl::KeyX(i), wl::kModeRowY, wl::kKeyWidth, wl::kKeyHeight);
    }
    for (int i = 0; i < 4; ++i) {
        cairo_rectangle(cr, wl::KeyX(i), wl::kOptionRowY, wl::kKeyWidth, wl::kKeyHeight);
    }
    cairo_fill(cr);
    Legends(cr, kWhite);
    set.Finish(cr, wl::kFace, "wx_radar_face");
    cr = set.Begin(wl::kWidth, wl::kHeight);
    Legends(cr, kLitMarking);
    set.Finish(cr, wl::kOverlayLit, "wx_radar_lit");
}

void Knobs(BitmapSet& set) {
    for (int lit = 0; lit < 2; ++lit) {
        cairo_t* k = set.Begin(wl::kKnobSize, wl::kKnobSize);
        const double c = wl::kKnobSize / 2.0;
        cairo_set_source_rgb(k, 0.1, 0.1, 0.1);
        cairo_arc(k, c, c, c - 1, 0, 6.2832);
        cairo_fill(k);
        cairo_set_line_width(k, 2.5);
        SetColour(k, lit != 0 ? kLitMarking : kWhite);
        cairo_move_to(k, c, c);
        cairo_line_to(k, c, 2);
        cairo_stroke(k);
        set.Finish(k, lit != 0 ? wl::kKnobLit : wl::kKnobUnlit,
                   lit != 0 ? "wx_radar_knob_lit" : "wx_radar_knob");
    }
}

void Lamps(BitmapSet& set) {
    for (int on = 0; on < 2; ++on) {
        cairo_t* cr = set.Begin(wl::kLampWidth, wl::kLampHeight);
        if (on != 0) {
            cairo_set_source_rgb(cr, 0.2, 0.95, 0.3);
        } else {
            cairo_set_source_rgb(cr, 0.12, 0.14, 0.12);
        }
        cairo_paint(cr);
        set.Finish(cr, on != 0 ? wl::kLampOn : wl::kLampOff,
                   on != 0 ? "wx_radar_lamp_on" : "wx_radar_lamp");
    }
}

void Solid(BitmapSet& set, int width, int height, double r, double g, double b, uint32_t id,
           const char* name) {
    cairo_t* cr = set.Begin(width, height);
    cairo_set_source_rgb(cr, r, g, b);
    cairo_paint(cr);
    set.Finish(cr, id, name);
}

}  // namespace

void RenderWeatherRadar(BitmapSet& set) {
    PanelFace(set);
    Knobs(set);
    Lamps(set);
    Solid(set, wl::kScreenWidth, wl::kScreenHeight, 0, 0, 0, wl::kScreen, "wx_radar_screen");
    Solid(set, wl::kScreenWidth, wl::kScreenHeight, 10 / 255.0, 17 / 255.0, 15 / 255.0,
          wl::kRadarScreenArt, "BMP_WX_RADAR_SCREEN");
    Solid(set, wl::kScreenWidth, wl::kScreenHeight, 0, 0, 0, wl::kRadarCloudsArt,
          "BMP_WX_RADAR_CLOUDS");
}

uint32_t WeatherRadarFaceOf(const std::string& gauge) {
    return gauge == "WX display" ? wl::kFace : 0;
}

}  // namespace art
