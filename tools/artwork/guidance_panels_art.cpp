// Artwork of the glare-shield guidance panels (panels/guidance_panels_art.h):
// the autopilot mode-select panel with its fifteen button legends, eight
// lamps and the ridged knob strip with its mask; the ID809 display, AL801
// preselector, GPWS and RNAV faces. Each face is drawn twice: unlit (the
// window background behind the gauge) and with its markings lit by the
// panel lighting (the gauge's element 0).
#include "panels/guidance_panels_art.h"

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "art_kit.h"
#include "families.h"

namespace art {

namespace {

namespace ga = zu::guidance_art;

constexpr double kPi = 3.14159265358979323846;

Colour Marking(bool lit) {
    return lit ? kLitMarking : kWhite;
}

std::vector<std::string> Lines(const char* text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    std::string line;
    while (std::getline(in, line, '|')) lines.push_back(line);
    return lines;
}

void Plate(cairo_t* cr, int w, int h) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.20, 0.20, 0.21);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.12, 0.12, 0.13);
    cairo_set_source(cr, g);
    RoundedPath(cr, 0.5, 0.5, w - 1, h - 1, 3);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    cairo_set_source_rgb(cr, 0.04, 0.04, 0.04);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

// A square push button with its legend lettered on the cap.
void Key(cairo_t* cr, const ga::Box& b, const char* legend, bool lit) {
    cairo_set_source_rgb(cr, 0.04, 0.04, 0.04);
    RoundedPath(cr, b.x, b.y, b.width, b.height, 2);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.27, 0.27, 0.28);
    RoundedPath(cr, b.x + 1.5, b.y + 1.5, b.width - 3, b.height - 3, 2);
    cairo_fill(cr);
    const std::vector<std::string> lines = Lines(legend);
    const double size = lines.size() > 1 ? 6.5 : 8.0;
    const double top = b.y + b.height / 2.0 - (static_cast<double>(lines.size()) - 1) * size * 0.6;
    for (size_t i = 0; i < lines.size(); ++i) {
        DrawText(cr, Face::SansBold, size, b.x + b.width / 2.0,
                 top + static_cast<double>(i) * size * 1.2, Align::Centre, lines[i], Marking(lit));
    }
}

void AutopilotFace(BitmapSet& set, bool lit) {
    cairo_t* cr = set.Begin(ga::kApSize.width, ga::kApSize.height);
    Plate(cr, ga::kApSize.width, ga::kApSize.height);
    for (const ga::Button& b : ga::kApButtons) Key(cr, b.box, b.legend, lit);
    for (int lamp = 1; lamp <= 8; ++lamp) {
        const ga::Box l = ga::ApLampBox(lamp);
        cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
        cairo_rectangle(cr, l.x, l.y, l.width, l.height);
        cairo_fill(cr);
    }
    const ga::Box k = ga::kApKnobWindow;
    cairo_set_source_rgb(cr, 0.03, 0.03, 0.03);
    RoundedPath(cr, k.x - 1, k.y + 1, k.width + 2, k.height, 4);
    cairo_fill(cr);
    set.Finish(cr, lit ? ga::kApFaceLit : ga::kApFace, lit ? "ap_face_lit" : "ap_face");
}

// A lamp: a green triangle pointing to its side (left lamps to the left).
void AutopilotLamp(BitmapSet& set, int lamp) {
    const ga::Box l = ga::ApLampBox(lamp);
    cairo_t* cr = set.Begin(l.width, l.height);
    const bool left = (lamp - 1) % 2 == 0;
    cairo_set_source_rgb(cr, 0.25, 1.0, 0.35);
    if (left) {
        cairo_move_to(cr, 0.5, l.height / 2.0);
        cairo_line_to(cr, l.width - 0.5, 0.5);
        cairo_line_to(cr, l.width - 0.5, l.height - 0.5);
    } else {
        cairo_move_to(cr, l.width - 0.5, l.height / 2.0);
        cairo_line_to(cr, 0.5, 0.5);
        cairo_line_to(cr, 0.5, l.height - 0.5);
    }
    cairo_close_path(cr);
    cairo_fill(cr);
    set.Finish(cr, ga::kApLamp + static_cast<uint32_t>(lamp - 1), "ap_lamp" + std::to_string(lamp));
}

// The knob's ridged strip (taller than its window by the overhang at both
// ends) and the mask that shows it only inside the window.
void AutopilotKnob(BitmapSet& set) {
    const ga::Box k = ga::kApKnobWindow;
    const int h = k.height + 2 * ga::kApKnobOverhang;
    cairo_t* cr = set.Begin(k.width, h);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, k.width, 0);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.08, 0.08, 0.08);
    cairo_pattern_add_color_stop_rgb(g, 0.5, 0.34, 0.34, 0.35);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.08, 0.08, 0.08);
    cairo_set_source(cr, g);
    cairo_rectangle(cr, 2, 0, k.width - 4, h);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_set_line_width(cr, 1.5);
    for (int y = 0; y < h; y += ga::kApKnobRidgePitch) {
        cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
        cairo_move_to(cr, 2, y + 0.75);
        cairo_line_to(cr, k.width - 2, y + 0.75);
        cairo_stroke(cr);
    }
    set.Finish(cr, ga::kApKnobStrip, "ap_knob_strip");

    cairo_t* m = set.Begin(k.width, h);
    cairo_set_source_rgb(m, 1, 1, 1);
    RoundedPath(m, 2, ga::kApKnobOverhang + 2, k.width - 4, k.height - 4, 6);
    cairo_fill(m);
    set.Finish(m, ga::kApKnobMask, "ap_knob_mask");
}

void Id809Face(BitmapSet& set, bool lit) {
    cairo_t* cr = set.Begin(ga::kId809Size.width, ga::kId809Size.height);
    Plate(cr, ga::kId809Size.width, ga::kId809Size.height);
    const ga::Box s = ga::kId809Screen;
    DrawWindow(cr, s.x, s.y, s.width, s.height);
    Key(cr, ga::kId809AckKey, "MSG|ACK", lit);
    Key(cr, ga::kId809Master1Key, "< MSTR", lit);
    Key(cr, ga::kId809Master2Key, "MSTR >", lit);
    set.Finish(cr, lit ? ga::kId809FaceLit : ga::kId809Face, lit ? "id809_face_lit" : "id809_face");
}

void Id809Annunciator(BitmapSet& set) {
    cairo_t* cr = set.Begin(8, 8);
    DrawRoundLamp(cr, 4, 4, 3.5, kAmber, true);
    set.Finish(cr, ga::kId809Annunciator, "id809_annunciator");
}

void Al801Face(BitmapSet& set, bool lit) {
    cairo_t* cr = set.Begin(ga::kAl801Size.width, ga::kAl801Size.height);
    Plate(cr, ga::kAl801Size.width, ga::kAl801Size.height);
    const ga::Box w = ga::kAl801Window;
    DrawWindow(cr, w.x + 2, w.y, w.width - 4, w.height);
    DrawText(cr, Face::SansBold, 7, w.x + w.width / 2.0, w.y - 8, Align::Centre, "ALT SEL",
             Marking(lit));
    DrawText(cr, Face::Sans, 6, w.x + w.width / 2.0, w.y + w.height + 7, Align::Centre, "FT",
             Marking(lit));
    DrawKnob(cr, ga::kAl801KnobX, ga::kAl801KnobY, ga::kAl801KnobRadius, 0);
    DrawKnob(cr, ga::kAl801KnobX, ga::kAl801KnobY, ga::kAl801KnobRadius * 0.6, 20);
    set.Finish(cr, lit ? ga::kAl801FaceLit : ga::kAl801Face, lit ? "al801_face_lit" : "al801_face");
}

void Al801Pointer(BitmapSet& set) {
    const ga::Size p = ga::kAl801PointerSize;
    cairo_t* cr = set.Begin(p.width, p.height);
    cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
    cairo_rectangle(cr, p.width / 2.0 - 1, 1, 2, p.height * 0.45);
    cairo_fill(cr);
    set.Finish(cr, ga::kAl801Pointer, "al801_pointer");
}

void GpwsFace(BitmapSet& set, bool lit) {
    cairo_t* cr = set.Begin(ga::kGpwsSize.width, ga::kGpwsSize.height);
    Plate(cr, ga::kGpwsSize.width, ga::kGpwsSize.height);
    const ga::Box w = ga::kGpwsWarningBox;
    const ga::Box g = ga::kGpwsGlideslopeBox;
    DrawLamp(cr, w.x, w.y, w.width, w.height, kRed, false, {"GPWS", "TEST"});
    DrawLamp(cr, g.x, g.y, g.width, g.height, kAmber, false, {"BELOW", "G/S"});
    DrawText(cr, Face::Sans, 4.5, g.x + g.width / 2.0, g.y - 3, Align::Centre, "CANCEL",
             Marking(lit));
    set.Finish(cr, lit ? ga::kGpwsFaceLit : ga::kGpwsFace, lit ? "gpws_face_lit" : "gpws_face");
}

void GpwsLamps(BitmapSet& set) {
    const ga::Box w = ga::kGpwsWarningBox;
    const ga::Box g = ga::kGpwsGlideslopeBox;
    cairo_t* cr = set.Begin(w.width, w.height);
    DrawLamp(cr, 0, 0, w.width, w.height, kRed, true, {"GPWS", "TEST"});
    set.Finish(cr, ga::kGpwsWarningLamp, "gpws_warning_lamp");
    cr = set.Begin(g.width, g.height);
    DrawLamp(cr, 0, 0, g.width, g.height, kAmber, true, {"BELOW", "G/S"});
    set.Finish(cr, ga::kGpwsGlideslopeLamp, "gpws_glideslope_lamp");
}

void RnavFace(BitmapSet& set, bool lit) {
    cairo_t* cr = set.Begin(ga::kRnavSize.width, ga::kRnavSize.height);
    Plate(cr, ga::kRnavSize.width, ga::kRnavSize.height);
    DrawText(cr, Face::SansBold, 9, 70, 14, Align::Centre, "RNAV", Marking(lit));
    DrawWindow(cr, 10, 24, 120, 24);
    const ga::Box k = ga::kRnavKey;
    cairo_set_source_rgb(cr, 0.04, 0.04, 0.04);
    RoundedPath(cr, k.x, k.y, k.width, k.height, 2);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.10, 0.05, 0.05);
    RoundedPath(cr, k.x + 2, k.y + 2, k.width - 4, k.height - 4, 2);
    cairo_fill(cr);
    DrawText(cr, Face::Sans, 5.5, k.x + k.width / 2.0, k.y - 5, Align::Centre, "ACK", Marking(lit));
    set.Finish(cr, lit ? ga::kRnavFaceLit : ga::kRnavFace, lit ? "rnav_face_lit" : "rnav_face");
}

}  // namespace

void RenderGuidancePanels(BitmapSet& set) {
    for (bool lit : {false, true}) {
        AutopilotFace(set, lit);
        Id809Face(set, lit);
        Al801Face(set, lit);
        GpwsFace(set, lit);
        RnavFace(set, lit);
    }
    for (int lamp = 1; lamp <= 8; ++lamp) AutopilotLamp(set, lamp);
    AutopilotKnob(set);
    Id809Annunciator(set);
    Al801Pointer(set);
    GpwsLamps(set);
}

uint32_t GuidancePanelFaceOf(const std::string& gauge) {
    struct Entry {
        const char* gauge;
        uint32_t face;
    };
    static constexpr Entry kFaces[] = {
        {"Autopilot", ga::kApFace},       {"Autopilot_touch", ga::kApFace},
        {"ID809a_Panel", ga::kId809Face}, {"ID809b_Panel", ga::kId809Face},
        {"AL801_Panel", ga::kAl801Face},  {"AL801_Panel_touch", ga::kAl801Face},
        {"GPWS_Panel", ga::kGpwsFace},    {"RNAV1_Panel", ga::kRnavFace},
        {"RNAV2_Panel", ga::kRnavFace},
    };
    for (const Entry& e : kFaces) {
        if (gauge == e.gauge) return e.face;
    }
    return WeatherRadarFaceOf(gauge);
}

}  // namespace art
