// Artwork of the radio control heads: for each head a face (unlit, the panel
// background behind the gauge) and the same face with its markings lit by
// the panel lighting (the gauge's element 0), and the XFR/MEM rocker in its
// three positions. Windows, knobs, buttons and legends sit where the shared
// layout (instruments/radio_head_layout.h) puts the elements and the mouse
// areas.
#include <cmath>
#include <string>

#include "art_kit.h"
#include "families.h"
#include "instruments/radio_head_layout.h"
#include "displays/sg_select_panels.h"
#include "panels/display_control_panels.h"

namespace art {

namespace {

using namespace zu::radio_layout;

constexpr double kPi = 3.14159265358979323846;

Colour Marking(bool lit) {
    return lit ? kLitMarking : kWhite;
}

void Plate(cairo_t* cr, int width, int height) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, height);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.19, 0.19, 0.20);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.11, 0.11, 0.12);
    cairo_set_source(cr, g);
    cairo_rectangle(cr, 0.5, 0.5, width - 1, height - 1);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    cairo_set_source_rgb(cr, 0.04, 0.04, 0.04);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    // Dzus fasteners at the four corners.
    for (double x : {6.0, width - 6.0}) {
        for (double y : {6.0, height - 6.0}) {
            cairo_set_source_rgb(cr, 0.32, 0.32, 0.33);
            cairo_arc(cr, x, y, 3.0, 0, 2 * kPi);
            cairo_fill(cr);
        }
    }
}

void Window(cairo_t* cr, const Box& b) {
    DrawWindow(cr, b.x, b.y, b.width, b.height);
}

void SmallButton(cairo_t* cr, const Box& b, const std::string& label, bool lit) {
    cairo_save(cr);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_rectangle(cr, b.x - 1, b.y - 1, b.width + 2, b.height + 2);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.28, 0.28, 0.29);
    cairo_rectangle(cr, b.x, b.y, b.width, b.height);
    cairo_fill(cr);
    cairo_restore(cr);
    if (!label.empty()) {
        DrawText(cr, Face::SansBold, 8, b.x + b.width / 2.0, b.y + b.height / 2.0, Align::Centre,
                 label, Marking(lit));
    }
}

void Legend(cairo_t* cr, double x, double y, const std::string& text, bool lit, double size = 9) {
    DrawText(cr, Face::SansBold, size, x, y, Align::Centre, text, Marking(lit));
}

void PowerKnob(cairo_t* cr, const Box& b, bool lit) {
    DrawKnob(cr, b.x + b.width / 2.0, b.y + b.height / 2.0, b.width / 2.0, -45);
    Legend(cr, b.x - 8, b.y + 4, "OFF", lit, 7);
    Legend(cr, b.x + b.width + 8, b.y + 4, "ON", lit, 7);
}

void DualKnob(cairo_t* cr, const FrequencyHead& h) {
    DrawKnob(cr, h.knob_x, h.knob_y, h.outer_radius, 0);
    DrawKnob(cr, h.knob_x, h.knob_y, h.inner_radius, 30);
}

// The drag ring of a touch head: a knurled annulus with grip marks.
void Ring(cairo_t* cr, const FrequencyHead& h, bool lit) {
    const double r = h.outer_radius;
    cairo_save(cr);
    cairo_set_source_rgb(cr, 0.08, 0.08, 0.08);
    cairo_arc(cr, h.knob_x, h.knob_y, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.24, 0.24, 0.25);
    cairo_set_line_width(cr, r * 0.35);
    cairo_arc(cr, h.knob_x, h.knob_y, r * 0.78, 0, 2 * kPi);
    cairo_stroke(cr);
    for (int i = 0; i < 24; ++i) {
        DrawTick(cr, h.knob_x, h.knob_y, r * 0.95, r * 0.62, i * 15.0, 1.2, kFaceBlack, false);
    }
    cairo_restore(cr);
    Legend(cr, h.knob_x, h.knob_y, "TUNE", lit, 8);
}

void FrequencyFace(cairo_t* cr, const FrequencyHead& h, const char* name, bool touch, bool lit) {
    Plate(cr, h.width, kHeight);
    Window(cr, h.upper);
    Window(cr, h.lower);
    // The rocker's well.
    cairo_set_source_rgb(cr, 0.04, 0.04, 0.04);
    cairo_rectangle(cr, h.rocker.x - 2, h.rocker.y - 2, h.rocker.width + 4, h.rocker.height + 4);
    cairo_fill(cr);
    Legend(cr, (h.upper.x + h.upper.width) / 2.0 + h.upper.x / 2.0, kHeight - 5, name, lit, 8);
    if (touch) {
        Ring(cr, h, lit);
        cairo_save(cr);
        cairo_set_source_rgba(cr, 0.35, 0.35, 0.36, 0.35);
        cairo_rectangle(cr, h.touch_xfr.x, h.touch_xfr.y, h.touch_xfr.width, 4);
        cairo_fill(cr);
        cairo_restore(cr);
    } else {
        PowerKnob(cr, h.power_knob, lit);
        DualKnob(cr, h);
        SmallButton(cr, h.direct_button, "", lit);
        Legend(cr, h.direct_button.x - 12, h.direct_button.y + 7, "DIR", lit, 7);
        SmallButton(cr, h.preset_button, "", lit);
        Legend(cr, h.preset_button.x + h.preset_button.width / 2.0, h.preset_button.y - 6, "PGM",
               lit, 7);
    }
}

void TransponderFace(cairo_t* cr, bool lit) {
    const TransponderHead& a = kAtc;
    Plate(cr, kNarrowWidth, kHeight);
    Window(cr, a.code);
    Window(cr, {a.alt_source.x, a.alt_source.y, a.range.x + a.range.width - a.alt_source.x,
                a.ident.y + a.ident.height - a.alt_source.y});
    // Power switch: a toggle in its slot.
    const Box& p = a.power_switch;
    DrawPushButton(cr, p.x + p.width / 2.0, p.y + p.height / 2.0, p.width / 2.0 - 2);
    Legend(cr, p.x + p.width / 2.0, p.y + p.height + 6, "PWR", lit, 7);
    SmallButton(cr, a.ident_button, "IDENT", lit);
    SmallButton(cr, a.fl_button, "FL", lit);
    SmallButton(cr, a.digit_button, "SEL", lit);
    // Range rocker.
    const Box rr = {a.range_left.x, a.range_left.y,
                    a.range_right.x + a.range_right.width - a.range_left.x, a.range_left.height};
    SmallButton(cr, rr, "RNG", lit);
    DrawKnob(cr, a.code_knob_x, a.code_knob_y, a.code_knob_radius, 0);
    Legend(cr, a.code_knob_x, a.code_knob_y + a.code_knob_radius + 7, "CODE", lit, 7);
    DrawKnob(cr, a.mode_knob_x, a.mode_knob_y, a.mode_knob_radius, 315);
    Legend(cr, a.mode_knob_x, a.mode_knob_y - a.mode_knob_radius - 6, "MODE", lit, 7);
    Legend(cr, a.code.x + a.code.width / 2.0, kHeight - 5, "ATC / TCAS", lit, 8);
}

// The rocker: a bar pressed at its top (up), its bottom (down) or level.
void Rocker(cairo_t* cr, int width, int height, int position) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, height);
    const double top = position == 1 ? 0.18 : position == 2 ? 0.42 : 0.34;
    const double bottom = position == 1 ? 0.42 : position == 2 ? 0.18 : 0.22;
    cairo_pattern_add_color_stop_rgb(g, 0, top, top, top + 0.01);
    cairo_pattern_add_color_stop_rgb(g, 1, bottom, bottom, bottom + 0.01);
    cairo_set_source(cr, g);
    cairo_rectangle(cr, 1, 1, width - 2, height - 2);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, 2, height / 2.0);
    cairo_line_to(cr, width - 2, height / 2.0);
    cairo_stroke(cr);
    // Ridges on the half that stands out.
    const double y0 = position == 1 ? height * 0.6 : position == 2 ? height * 0.1 : height * 0.1;
    for (int i = 0; i < 4; ++i) {
        const double y = y0 + i * 5.0;
        cairo_move_to(cr, 4, y);
        cairo_line_to(cr, width - 4, y);
    }
    cairo_set_source_rgb(cr, 0.12, 0.12, 0.12);
    cairo_stroke(cr);
}

void FrequencyHeadBitmaps(BitmapSet& set, const FrequencyHead& h, const char* name, bool touch,
                          uint32_t face_id, uint32_t overlay_id, const std::string& tag) {
    for (bool lit : {false, true}) {
        cairo_t* cr = set.Begin(h.width, kHeight);
        FrequencyFace(cr, h, name, touch, lit);
        set.Finish(cr, lit ? overlay_id : face_id, tag + (lit ? "_lit" : "_face"));
    }
}

}  // namespace

void RenderRadioHeads(BitmapSet& set) {
    FrequencyHeadBitmaps(set, kVor, "NAV", false, kVorFace, kVorOverlay, "vor");
    FrequencyHeadBitmaps(set, kVor, "NAV", true, kVorTouchFace, kVorTouchOverlay, "vor_touch");
    FrequencyHeadBitmaps(set, kNarrow, "ADF", false, kAdfFace, kAdfOverlay, "adf");
    FrequencyHeadBitmaps(set, kNarrow, "ADF", true, kAdfTouchFace, kAdfTouchOverlay, "adf_touch");
    FrequencyHeadBitmaps(set, kNarrow, "COM", false, kComFace, kComOverlay, "com");
    for (bool lit : {false, true}) {
        cairo_t* cr = set.Begin(kNarrowWidth, kHeight);
        TransponderFace(cr, lit);
        set.Finish(cr, lit ? kAtcOverlay : kAtcFace, lit ? "atc_lit" : "atc_face");
    }
    const uint32_t rocker_ids[3] = {kRockerRest, kRockerUp, kRockerDown};
    const char* rocker_names[3] = {"rocker_rest", "rocker_up", "rocker_down"};
    for (int p = 0; p < 3; ++p) {
        cairo_t* cr = set.Begin(kVor.rocker.width, kVor.rocker.height);
        Rocker(cr, kVor.rocker.width, kVor.rocker.height, p);
        set.Finish(cr, rocker_ids[p], rocker_names[p]);
    }
}

// The unlit face a gauge leaves on the panel background (0: none).
uint32_t PanelFaceOf(const std::string& gauge) {
    struct Entry {
        const char* gauge;
        uint32_t face;
    };
    static constexpr Entry kFaces[] = {
        {"VOR1_Panel", kVorFace},
        {"VOR2_Panel", kVorFace},
        {"VOR1_Panel_touch", kVorTouchFace},
        {"VOR2_Panel_touch", kVorTouchFace},
        {"ADF1_Panel", kAdfFace},
        {"ADF2_Panel", kAdfFace},
        {"ADF1_Panel_touch", kAdfTouchFace},
        {"ADF2_Panel_touch", kAdfTouchFace},
        {"COM1_Panel", kComFace},
        {"COM2_Panel", kComFace},
        {"ATC1_Panel", kAtcFace},
        {"DisplayControl_Panel1", zu::display_control::kFace},
        {"DisplayControl_Panel1_touch", zu::display_control::kFace},
        {"DisplayControl_Panel2", zu::display_control::kFace},
        {"VSI1 SEL", zu::kSgSelFace},
        {"VSI2 SEL", zu::kSgSelFace},
    };
    for (const Entry& e : kFaces) {
        if (gauge == e.gauge) return e.face;
    }
    if (const uint32_t face = GuidancePanelFaceOf(gauge)) return face;
    return HgsPanelFaceOf(gauge);
}

}  // namespace art
