// Artwork of the head-up guidance panels (displays/hgs_panels_art.h): the
// HGS control panel with its keys and the window of its text display, the
// runway-speed unit with its readout window, speed and brightness keys, the
// HGS annunciator's three lamps and the HUD switch. The panel faces are
// drawn unlit (the window background) and with their legends lit (element
// 0); the drawn surfaces get a black bitmap of their size.
#include "displays/hgs_panels_art.h"

#include <string>

#include "art_kit.h"
#include "families.h"

namespace art {

namespace {

namespace ha = zu::hgs_art;

Colour Marking(bool lit) {
    return lit ? kLitMarking : kWhite;
}

void Plate(cairo_t* cr, int w, int h) {
    cairo_set_source_rgb(cr, 0.16, 0.16, 0.17);
    cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.04, 0.04, 0.04);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

void KeyCap(cairo_t* cr, const ha::Box& b, const std::string& legend, bool lit) {
    cairo_set_source_rgb(cr, 0.04, 0.04, 0.04);
    cairo_rectangle(cr, b.x, b.y, b.width, b.height);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.28, 0.28, 0.29);
    cairo_rectangle(cr, b.x + 1.5, b.y + 1.5, b.width - 3, b.height - 3);
    cairo_fill(cr);
    const double size = b.width < 20 ? 6.0 : 7.5;
    DrawText(cr, Face::SansBold, size, b.x + b.width / 2.0, b.y + b.height / 2.0, Align::Centre,
             legend, Marking(lit));
}

void Black(BitmapSet& set, int w, int h, uint32_t id, const char* name) {
    cairo_t* cr = set.Begin(w, h);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    set.Finish(cr, id, name);
}

void HgsFace(BitmapSet& set, bool lit) {
    cairo_t* cr = set.Begin(ha::kHgsSize.width, ha::kHgsSize.height);
    Plate(cr, ha::kHgsSize.width, ha::kHgsSize.height);
    const ha::Box s = ha::kHgsScreenBox;
    DrawWindow(cr, s.x - 1, s.y - 1, s.width + 2, s.height + 2);
    for (const ha::Key& k : ha::kHgsKeys) KeyCap(cr, k.box, k.legend, lit);
    DrawText(cr, Face::SansBold, 7, 30, 8, Align::Centre, "HGS", Marking(lit));
    set.Finish(cr, lit ? ha::kHgsFaceLit : ha::kHgsFace, lit ? "hgs_face_lit" : "hgs_face");
}

void EntryLight(BitmapSet& set, const ha::Box& b, uint32_t id, const char* name) {
    cairo_t* cr = set.Begin(b.width, b.height);
    DrawLamp(cr, 0, 0, b.width, b.height, kGreen, true, {});
    set.Finish(cr, id, name);
}

void RasuFace(BitmapSet& set, bool lit) {
    cairo_t* cr = set.Begin(ha::kRasuSize.width, ha::kRasuSize.height);
    Plate(cr, ha::kRasuSize.width, ha::kRasuSize.height);
    const ha::Box s = ha::kRasuScreenBox;
    DrawWindow(cr, s.x - 1, s.y - 1, s.width + 2, s.height + 2);
    DrawText(cr, Face::SansBold, 7, 120, 30, Align::Centre, "RWY SPEED", Marking(lit));
    DrawKnob(cr, 41, 81, 24, 0);
    KeyCap(cr, ha::kRasuBrightDown, "DIM", lit);
    KeyCap(cr, ha::kRasuBrightUp, "BRT", lit);
    set.Finish(cr, lit ? ha::kRasuFaceLit : ha::kRasuFace, lit ? "rasu_face_lit" : "rasu_face");
}

void AnnunciatorFace(BitmapSet& set, bool lit) {
    cairo_t* cr = set.Begin(ha::kAnnSize.width, ha::kAnnSize.height);
    Plate(cr, ha::kAnnSize.width, ha::kAnnSize.height);
    static const char* const kLegends[3] = {"FLARE", "APCH", "AIII"};
    for (int i = 0; i < 3; ++i) {
        const ha::Box b = ha::kAnnLamps[i];
        DrawLamp(cr, b.x, b.y, b.width, b.height, i == 1 ? kAmber : kGreen, false, {kLegends[i]});
    }
    if (lit) {
        cairo_set_source_rgba(cr, 1.0, 0.85, 0.55, 0.08);
        cairo_paint(cr);
    }
    set.Finish(cr, lit ? ha::kAnnFaceLit : ha::kAnnFace, lit ? "hgs_ann_face_lit" : "hgs_ann_face");
}

void AnnunciatorLamps(BitmapSet& set) {
    static const char* const kLegends[3] = {"FLARE", "APCH", "AIII"};
    static constexpr uint32_t kIds[3] = {ha::kAnnFlare, ha::kAnnApchWarn, ha::kAnnAiii};
    for (int i = 0; i < 3; ++i) {
        const ha::Box b = ha::kAnnLamps[i];
        cairo_t* cr = set.Begin(b.width, b.height);
        DrawLamp(cr, 0, 0, b.width, b.height, i == 1 ? kAmber : kGreen, true, {kLegends[i]});
        set.Finish(cr, kIds[i], std::string("hgs_ann_lamp") + std::to_string(i + 1));
    }
}

void HudSwitch(BitmapSet& set) {
    const int w = ha::kHudSize.width, h = ha::kHudSize.height;
    cairo_t* cr = set.Begin(w, h);
    Plate(cr, w, h);
    DrawText(cr, Face::SansBold, 5, w / 2.0, 3.5, Align::Centre, "HUD", kWhite);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_arc(cr, w / 2.0, h / 2.0, 6, 0, 6.2832);
    cairo_fill(cr);
    set.Finish(cr, ha::kHudBase, "hgs_hud_base");
    for (bool on : {true, false}) {
        cairo_t* c = set.Begin(w, h);
        const ha::Box l = ha::kHudLever;
        const double y = on ? l.y : h / 2.0;
        cairo_set_source_rgb(c, 0.80, 0.80, 0.82);
        cairo_rectangle(c, l.x + 3, y, l.width - 6, l.height / 2.0);
        cairo_fill(c);
        cairo_arc(c, w / 2.0, on ? y + 2 : y + l.height / 2.0 - 2, 3.5, 0, 6.2832);
        cairo_fill(c);
        set.Finish(c, on ? ha::kHudOn : ha::kHudOff, on ? "hgs_hud_on" : "hgs_hud_off");
    }
}

}  // namespace

void RenderHgsPanels(BitmapSet& set) {
    for (bool lit : {false, true}) {
        HgsFace(set, lit);
        RasuFace(set, lit);
        AnnunciatorFace(set, lit);
    }
    EntryLight(set, ha::kHgsElevationLightBox, ha::kHgsElevationLight, "hgs_elevation_light");
    EntryLight(set, ha::kHgsSlopeLightBox, ha::kHgsSlopeLight, "hgs_slope_light");
    EntryLight(set, ha::kHgsSpareBox, ha::kHgsSpare, "hgs_spare");
    Black(set, ha::kHgsScreenBox.width, ha::kHgsScreenBox.height, ha::kHgsScreen, "hgs_screen");
    Black(set, ha::kRasuScreenBox.width, ha::kRasuScreenBox.height, ha::kRasuScreen, "rasu_screen");
    AnnunciatorLamps(set);
    HudSwitch(set);
}

uint32_t HgsPanelFaceOf(const std::string& gauge) {
    if (gauge == "HGS_panel" || gauge == "HGS_VC_panel") return ha::kHgsFace;
    if (gauge == "RASU_panel" || gauge == "RASU_VC_panel" || gauge == "RASU_panel_touch") {
        return ha::kRasuFace;
    }
    if (gauge == "HGS_Annunciator_panel") return ha::kAnnFace;
    return 0;
}

}  // namespace art
