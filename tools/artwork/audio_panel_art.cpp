// Artwork of the marker, audio and entertainment panels: the lit panel
// overlays with their legends, the toggle switches in both positions, the
// push-buttons with their lit-lamp twins, the volume knob's pointer, and the
// entertainment panel's display and programme lamps.
#include <cairo.h>

#include <string>

#include "art_kit.h"
#include "families.h"
#include "instruments/audio_panel_layout.h"

namespace art {

namespace {

namespace ap = zu::audio_panels;

void PanelPlate(cairo_t* cr, int w, int h) {
    cairo_set_source_rgb(cr, 0.17, 0.17, 0.18);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.06, 0.06, 0.06);
    cairo_set_line_width(cr, 2.0);
    cairo_rectangle(cr, 1, 1, w - 2, h - 2);
    cairo_stroke(cr);
}

// A lit overlay: the panel's legends glowing, the rest transparent.
void LegendGlow(cairo_t* cr, double x, double y, const std::string& text) {
    DrawText(cr, Face::SansBold, 10, x, y, Align::Centre, text, kLitMarking);
}

// A toggle switch seen from the front, its bat up (on) or down (off), with
// its legend above.
void DrawToggle(cairo_t* cr, const ap::Box& b, bool on, const std::string& legend) {
    const double cx = b.width / 2.0;
    const double cy = b.height / 2.0 + 6;
    DrawText(cr, Face::SansBold, 9, cx, 7, Align::Centre, legend, kWhite);
    cairo_set_source_rgb(cr, 0.55, 0.55, 0.57);
    cairo_arc(cr, cx, cy, 9, 0, 6.2832);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.86);
    const double tip = on ? cy - 18 : cy + 18;
    cairo_set_line_width(cr, 6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx, tip);
    cairo_stroke(cr);
    cairo_arc(cr, cx, tip, 4.5, 0, 6.2832);
    cairo_fill(cr);
}

void RenderMarkers(BitmapSet& set) {
    cairo_t* cr = set.Begin(ap::kMarkersWidth, ap::kMarkersHeight);
    for (int s = 0; s < 2; ++s) {
        const ap::Box b = ap::kMarkersSwitch[s];
        LegendGlow(cr, b.x + b.width / 2.0, b.y + 7, ap::kMarkersLegend[s]);
    }
    set.Finish(cr, ap::kMarkersBackgroundLit, "markers_background_lit");
    for (int s = 0; s < 2; ++s) {
        const ap::Box b = ap::kMarkersSwitch[s];
        for (int on = 0; on < 2; ++on) {
            cairo_t* c = set.Begin(b.width, b.height);
            DrawToggle(c, b, on != 0, ap::kMarkersLegend[s]);
            set.Finish(c, (on != 0 ? ap::kMarkersSwitchOn : ap::kMarkersSwitchOff) + s * 2,
                       std::string("markers_switch") + std::to_string(s) + (on ? "_on" : "_off"));
        }
    }
}

void RenderAudio(BitmapSet& set) {
    // Lit overlay: the knob's scale and legend glowing.
    cairo_t* cr = set.Begin(ap::kAudioWidth, ap::kAudioHeight);
    for (int k = 0; k < 6; ++k) {
        double x, y;
        PolarPoint(ap::kAudioKnobX, ap::kAudioKnobY, ap::kAudioKnobRadius + 8,
                   ap::kAudioKnobFirstMark + ap::kAudioKnobAngle[k], &x, &y);
        DrawText(cr, Face::Sans, 9, x, y, Align::Centre, std::to_string(k), kLitMarking);
    }
    LegendGlow(cr, ap::kAudioKnobX, ap::kAudioKnobY + ap::kAudioKnobRadius + 20, "VOLUME");
    set.Finish(cr, ap::kAudioBackgroundLit, "audio_background_lit");

    for (int lit = 0; lit < 2; ++lit) {
        cairo_t* c = set.Begin(ap::kAudioPointerWidth, ap::kAudioPointerHeight);
        const double cx = ap::kAudioPointerPivotX;
        const double cy = ap::kAudioPointerPivotY;
        DrawKnob(c, cx, cy, ap::kAudioKnobRadius, 0);
        // The index mark, glowing with the panel lighting, pointing at the
        // scale's first mark.
        SetColour(c, lit != 0 ? kLitMarking : kWhite);
        cairo_set_line_width(c, 3);
        cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
        double x0, y0, x1, y1;
        PolarPoint(cx, cy, ap::kAudioKnobRadius * 0.35, ap::kAudioKnobFirstMark, &x0, &y0);
        PolarPoint(cx, cy, ap::kAudioKnobRadius * 0.95, ap::kAudioKnobFirstMark, &x1, &y1);
        cairo_move_to(c, x0, y0);
        cairo_line_to(c, x1, y1);
        cairo_stroke(c);
        set.Finish(c, lit != 0 ? ap::kAudioPointerLit : ap::kAudioPointerUnlit,
                   lit != 0 ? "audio_pointer_lit" : "audio_pointer_unlit");
    }

    for (int b = 0; b < 14; ++b) {
        for (int on = 0; on < 2; ++on) {
            cairo_t* c = set.Begin(ap::kAudioButtonWidth, ap::kAudioButtonHeight);
            DrawLamp(c, 0, 0, ap::kAudioButtonWidth, ap::kAudioButtonHeight, kGreen, on != 0,
                     {ap::kAudioButtonLegend[b]});
            set.Finish(c, (on != 0 ? ap::kAudioButtonOn : ap::kAudioButtonOff) + b,
                       std::string("audio_button") + std::to_string(b + 1) + (on ? "_on" : "_off"));
        }
    }
    for (int s = 0; s < 2; ++s) {
        const ap::Box b = ap::kAudioSwitch[s];
        for (int on = 0; on < 2; ++on) {
            cairo_t* c = set.Begin(b.width, b.height);
            DrawToggle(c, b, on != 0, ap::kAudioSwitchLegend[s]);
            set.Finish(c, (on != 0 ? ap::kAudioSwitchOn : ap::kAudioSwitchOff) + s * 2,
                       std::string("audio_switch") + std::to_string(s) + (on ? "_on" : "_off"));
        }
    }
}

void RenderEntertainment(BitmapSet& set) {
    // The panel's display with every button unlit.
    cairo_t* cr = set.Begin(ap::kEntertainmentWidth, ap::kEntertainmentHeight);
    PanelPlate(cr, ap::kEntertainmentWidth, ap::kEntertainmentHeight);
    for (int e = 1; e <= 13; ++e) {
        const ap::Box b = ap::EntertainmentLamp(e);
        DrawLamp(cr, b.x, b.y, b.width, b.height, kCyan, false, {ap::kEntertainmentLegend[e - 1]});
    }
    DrawText(cr, Face::SansBold, 10, ap::kEntertainmentWidth / 2.0, ap::kEntertainmentHeight - 10,
             Align::Centre, "CABIN ENTERTAINMENT", kWhite);
    set.Finish(cr, ap::kEntertainmentBackground, "entertainment_background");
    for (int e = 1; e <= 13; ++e) {
        const ap::Box b = ap::EntertainmentLamp(e);
        cairo_t* c = set.Begin(b.width, b.height);
        DrawLamp(c, 0, 0, b.width, b.height, e == 1 || e == 13 ? kGreen : kCyan, true,
                 {ap::kEntertainmentLegend[e - 1]});
        set.Finish(c, ap::kEntertainmentLamp + (e - 1),
                   std::string("entertainment_lamp") + std::to_string(e));
    }
}

}  // namespace

void RenderAudioPanels(BitmapSet& set) {
    RenderMarkers(set);
    RenderAudio(set);
    RenderEntertainment(set);
}

}  // namespace art
