// Artwork of the overhead, side and caution panels and the master lights:
// every entry of the panels' bitmap table (panels/overhead_art.h), drawn by
// its kind: panel plates with their lettering, toggle switches in three
// positions, push buttons, lamps with legends, selector knob pointers,
// guards, handles, the storm-light wash and the switchboard.
#include "panels/overhead_art.h"

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "art_kit.h"
#include "families.h"

namespace art {

namespace {

namespace oa = zu::overhead_art;

constexpr double kPi = 3.14159265358979323846;

Colour FromColorRef(uint32_t c) {
    return {(c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0};
}

std::vector<std::string> Lines(const char* text) {
    std::vector<std::string> lines;
    if (text == nullptr) return lines;
    std::stringstream in(text);
    std::string line;
    while (std::getline(in, line, '|')) lines.push_back(line);
    return lines;
}

// Words of a caption row (separated by two blanks).
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at <= line.size()) {
        const size_t gap = line.find("  ", at);
        const std::string word = line.substr(at, gap == std::string::npos ? gap : gap - at);
        if (!word.empty()) words.push_back(word);
        if (gap == std::string::npos) break;
        at = gap + 2;
    }
    return words;
}

// A grey panel plate with its title at the top and its caption rows.
void Plate(cairo_t* cr, const oa::Art& a) {
    const int w = a.width;
    const int h = a.height;
    cairo_set_source_rgb(cr, 0.30, 0.31, 0.33);
    RoundedPath(cr, 0.5, 0.5, w - 1, h - 1, 4);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    const std::vector<std::string> lines = Lines(a.text);
    if (lines.empty()) return;
    const double title = std::fmin(10.0, h * 0.16);
    DrawText(cr, Face::SansBold, title, w / 2.0, title + 3, Align::Centre, lines[0], kWhite);
    for (size_t i = 1; i < lines.size() && i <= 2; ++i) {
        const std::vector<std::string> words = Words(lines[i]);
        for (size_t k = 0; k < words.size(); ++k) {
            DrawText(cr, Face::Sans, 6.5, a.caption_x + a.caption_step * static_cast<double>(k),
                     a.caption_y[i - 1], Align::Centre, words[k], kWhite);
        }
    }
}

void Backdrop(cairo_t* cr, int w, int h) {
    cairo_set_source_rgb(cr, 0.10, 0.10, 0.11);
    RoundedPath(cr, 0.5, 0.5, w - 1, h - 1, 3);
    cairo_fill(cr);
}

// The caution panel unlit: a dark lens for every legend, amber-tinted for
// the cautions and red-tinted for the warnings of the last row.
void CautionGrid(cairo_t* cr, int w, int h) {
    Backdrop(cr, w, h);
    for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < (row == 6 ? 13 : 14); ++column) {
            const double x = oa::kCautionLampX0 + oa::kCautionLampPitchX * column;
            const double y = oa::kCautionLampY0 + oa::kCautionLampPitchY * row;
            cairo_set_source_rgb(cr, 0.02, 0.02, 0.02);
            cairo_rectangle(cr, x, y, oa::kCautionLampW, oa::kCautionLampH);
            cairo_fill(cr);
            if (row == 6) {
                cairo_set_source_rgb(cr, 0.17, 0.07, 0.06);
            } else {
                cairo_set_source_rgb(cr, 0.16, 0.13, 0.06);
            }
            cairo_rectangle(cr, x + 1, y + 1, oa::kCautionLampW - 2, oa::kCautionLampH - 2);
            cairo_fill(cr);
        }
    }
}

// A toggle lever seen from the front: a round bushing and the bat, up,
// centred or down.
void Toggle(cairo_t* cr, int w, int h, int position) {
    const double cx = w / 2.0;
    const double cy = h / 2.0;
    cairo_set_source_rgb(cr, 0.15, 0.15, 0.16);
    cairo_arc(cr, cx, cy, w * 0.42, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.55, 0.56, 0.58);
    cairo_arc(cr, cx, cy, w * 0.28, 0, 2 * kPi);
    cairo_fill(cr);
    const double tip = position > 0 ? 3.0 : position < 0 ? h - 3.0 : cy;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_source_rgb(cr, 0.82, 0.83, 0.85);
    cairo_set_line_width(cr, w * 0.3);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx, tip);
    cairo_stroke(cr);
    cairo_arc(cr, cx, tip, w * 0.22, 0, 2 * kPi);
    cairo_fill(cr);
}

void Button(cairo_t* cr, int w, int h, bool pressed) {
    cairo_set_source_rgb(cr, 0.08, 0.08, 0.08);
    RoundedPath(cr, 0.5, 0.5, w - 1, h - 1, 3);
    cairo_fill(cr);
    const double inset = pressed ? 4 : 2;
    cairo_set_source_rgb(cr, pressed ? 0.35 : 0.55, pressed ? 0.35 : 0.56, pressed ? 0.36 : 0.58);
    RoundedPath(cr, inset, inset, w - 2 * inset, h - 2 * inset, 2);
    cairo_fill(cr);
}

void KnobPointer(cairo_t* cr, int w, int h) {
    DrawKnob(cr, w / 2.0, h / 2.0, w / 2.0 - 1, 0);
}

void Guard(cairo_t* cr, int w, int h, bool closed) {
    cairo_set_source_rgba(cr, 0.78, 0.10, 0.08, closed ? 0.95 : 1.0);
    RoundedPath(cr, 1, 1, w - 2, h - 2, 3);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
    cairo_set_line_width(cr, 1.5);
    for (int i = 1; i < 4; ++i) {
        cairo_move_to(cr, 4, h * i / 4.0);
        cairo_line_to(cr, w - 4, h * i / 4.0);
    }
    cairo_stroke(cr);
}

void Handle(cairo_t* cr, int w, int h, bool pulled) {
    cairo_set_source_rgb(cr, 0.85, 0.70, 0.10);
    cairo_set_line_width(cr, 4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const double y = pulled ? h - 5.0 : h / 2.0;
    cairo_move_to(cr, 6, y);
    cairo_line_to(cr, w - 6, y);
    cairo_stroke(cr);
    cairo_move_to(cr, w / 2.0, 2);
    cairo_line_to(cr, w / 2.0, y);
    cairo_stroke(cr);
}

void Board(cairo_t* cr, int w, int h, bool open) {
    if (!open) {
        // The folded board: its cover over the ten buttons, the buttons'
        // places showing as shallow recesses, the name on the hinge strip.
        cairo_set_source_rgb(cr, 0.22, 0.22, 0.24);
        RoundedPath(cr, 0.5, 0.5, w - 1, h - 1, 3);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
        cairo_set_line_width(cr, 1);
        RoundedPath(cr, 0.5, 0.5, w - 1, h - 1, 3);
        cairo_stroke(cr);
        for (int i = 0; i < 10; ++i) {
            const double x = 2 + 26 * i;
            cairo_set_source_rgb(cr, 0.17, 0.17, 0.18);
            RoundedPath(cr, x + 3, 4, 18, 18, 3);
            cairo_fill(cr);
            DrawText(cr, Face::Sans, 7, x + 12, 13, Align::Centre, std::to_string(i + 1),
                     Colour{0.55, 0.55, 0.55});
        }
        cairo_set_source_rgb(cr, 0.14, 0.14, 0.15);
        cairo_rectangle(cr, 1, h - 13, w - 2, 1);
        cairo_fill(cr);
        DrawText(cr, Face::SansBold, 8, w / 2.0, h - 6, Align::Centre, "SWITCHBOARD", kWhite);
        return;
    }
    Plate(cr, oa::Art{0, "", static_cast<int16_t>(w), static_cast<int16_t>(h), oa::Kind::Plate, 0,
                      nullptr});
    for (int i = 0; i < 10; ++i) {
        const double x = 2 + 26 * i;
        cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
        RoundedPath(cr, x + 1, 5, 22, 30, 3);
        cairo_fill(cr);
        DrawText(cr, Face::SansBold, 9, x + 12, 20, Align::Centre, std::to_string(i + 1), kWhite);
    }
}

void Draw(BitmapSet& set, const oa::Art& a) {
    cairo_t* cr = set.Begin(a.width, a.height);
    switch (a.kind) {
        case oa::Kind::Plate:
            Plate(cr, a);
            break;
        case oa::Kind::Backdrop:
            Backdrop(cr, a.width, a.height);
            break;
        case oa::Kind::ToggleUp:
            Toggle(cr, a.width, a.height, 1);
            break;
        case oa::Kind::ToggleCentre:
            Toggle(cr, a.width, a.height, 0);
            break;
        case oa::Kind::ToggleDown:
            Toggle(cr, a.width, a.height, -1);
            break;
        case oa::Kind::Button:
            Button(cr, a.width, a.height, false);
            break;
        case oa::Kind::ButtonIn:
            Button(cr, a.width, a.height, true);
            break;
        case oa::Kind::LampOff:
        case oa::Kind::LampOn:
            DrawLamp(cr, 0, 0, a.width, a.height, FromColorRef(a.colour),
                     a.kind == oa::Kind::LampOn, Lines(a.text));
            break;
        case oa::Kind::KnobPointer:
            KnobPointer(cr, a.width, a.height);
            break;
        case oa::Kind::GuardClosed:
            Guard(cr, a.width, a.height, true);
            break;
        case oa::Kind::GuardOpen:
            Guard(cr, a.width, a.height, false);
            break;
        case oa::Kind::Handle:
            Handle(cr, a.width, a.height, false);
            break;
        case oa::Kind::HandlePulled:
            Handle(cr, a.width, a.height, true);
            break;
        case oa::Kind::Wash:
            cairo_set_source_rgba(cr, 0.95, 0.95, 1.0, 0.22);
            cairo_paint(cr);
            break;
        case oa::Kind::Clear:
            break;
        case oa::Kind::Board:
            Board(cr, a.width, a.height, true);
            break;
        case oa::Kind::Strip:
            Board(cr, a.width, a.height, false);
            break;
        case oa::Kind::CautionGrid:
            CautionGrid(cr, a.width, a.height);
            break;
        case oa::Kind::HousedLamp:
            Backdrop(cr, a.width, a.height);
            DrawLamp(cr, 4, 4, a.width - 8, a.height - 8, FromColorRef(a.colour), false,
                     Lines(a.text));
            break;
        case oa::Kind::Bar:
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_paint(cr);
            break;
    }
    set.Finish(cr, a.id, a.name);
}

}  // namespace

void RenderOverheadPanels(BitmapSet& set) {
    for (const oa::Art& a : oa::kArt) Draw(set, a);
}

}  // namespace art
