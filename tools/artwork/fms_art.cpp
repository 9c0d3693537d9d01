// The control-display unit's bitmaps: the bezel with its keyboard, the lit
// legends over it, the screen the painter draws into and the FMS_show
// button.
#include <cairo.h>

#include "art_kit.h"
#include "families.h"
#include "fms/fms_gauges.h"

namespace art {

namespace {

struct KeyCap {
    double x, y, w, h;
    const char* legend;
};

// Function keys in rectangle order; keys with no effect have blank caps.
constexpr const char* kTopRow[6] = {"DATA", "NAV", "DTO", "", "LIST", "PREV"};
constexpr const char* kSecondRow[6] = {"", "FPL", "PERF", "", "MENU", "NEXT"};
constexpr double kLineY[5] = {37, 64, 93, 121, 149};
constexpr double kLetterX[7] = {8, 40, 71, 102, 132, 164, 195};
constexpr double kFunctionX[6] = {6, 42, 79, 115, 151, 186};
constexpr double kDigitX[3] = {231, 262, 293};

template <typename F>
void ForEachCap(F&& f) {
    for (int i = 0; i < 5; ++i) {
        f(KeyCap{1, kLineY[i], 35, 28, ""});
        f(KeyCap{299, kLineY[i], 35, 28, ""});
    }
    static const char* const kLetters[26] = {"A", "B", "C", "D", "E", "F", "G", "H", "I",
                                             "J", "K", "L", "M", "N", "O", "P", "Q", "R",
                                             "S", "T", "U", "V", "W", "X", "Y", "Z"};
    for (int i = 0; i < 14; ++i)
        f(KeyCap{kLetterX[i % 7], i < 7 ? 238.0 : 267.0, 30, 27, kLetters[i]});
    for (int i = 0; i < 12; ++i) {
        f(KeyCap{kLetterX[i % 6 + 1], i < 6 ? 295.0 : 324.0, 30, 27, kLetters[14 + i]});
    }
    for (int i = 0; i < 6; ++i) {
        f(KeyCap{kFunctionX[i], 180, 36, 29, kTopRow[i]});
        f(KeyCap{kFunctionX[i], 211, 36, 29, kSecondRow[i]});
    }
    static const char* const kDigits[9] = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    constexpr double kDigitY[3] = {181, 210, 237};
    for (int i = 0; i < 9; ++i) f(KeyCap{kDigitX[i % 3], kDigitY[i / 3], 31, 28, kDigits[i]});
    f(KeyCap{231, 265, 30, 26, "BACK"});
    f(KeyCap{262, 265, 31, 27, "0"});
    f(KeyCap{293, 265, 30, 26, ""});
    f(KeyCap{231, 293, 30, 26, ""});
    f(KeyCap{262, 293, 30, 26, ""});
    f(KeyCap{231, 326, 61, 87, "ENTER"});
}

void Legend(cairo_t* cr, const KeyCap& k, Colour colour) {
    if (k.legend[0] == '\0') return;
    const double size = k.legend[1] == '\0' ? 11 : 7.5;
    DrawText(cr, Face::SansBold, size, k.x + k.w / 2.0, k.y + k.h / 2.0 + size / 3.0, Align::Centre,
             k.legend, colour);
}

void Bezel(BitmapSet& set) {
    cairo_t* cr = set.Begin(zu::kFmsBezelWidth, zu::kFmsBezelHeight);
    cairo_set_source_rgb(cr, 0.16, 0.16, 0.17);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.04, 0.07, 0.06);
    cairo_rectangle(cr, zu::kFmsScreenX - 2, zu::kFmsScreenY - 2, zu::kFmsScreenWidth + 4,
                    zu::kFmsScreenHeight + 4);
    cairo_fill(cr);
    ForEachCap([&](const KeyCap& k) {
        cairo_set_source_rgb(cr, 0.30, 0.30, 0.32);
        cairo_rectangle(cr, k.x + 1, k.y + 1, k.w - 2, k.h - 2);
        cairo_fill(cr);
        Legend(cr, k, kWhite);
    });
    set.Finish(cr, zu::kFmsBezelBitmap, "fms_bezel");
    cr = set.Begin(zu::kFmsBezelWidth, zu::kFmsBezelHeight);
    ForEachCap([&](const KeyCap& k) { Legend(cr, k, kLitMarking); });
    set.Finish(cr, zu::kFmsLitBitmap, "fms_lit");
    cr = set.Begin(zu::kFmsScreenWidth, zu::kFmsScreenHeight);
    cairo_set_source_rgb(cr, 10 / 255.0, 17 / 255.0, 15 / 255.0);
    cairo_paint(cr);
    set.Finish(cr, zu::kFmsScreenBitmap, "fms_screen");
}

void ShowButton(BitmapSet& set) {
    cairo_t* cr = set.Begin(zu::kFmsShowWidth + 1, zu::kFmsShowHeight);
    cairo_set_source_rgb(cr, 0.16, 0.16, 0.17);
    cairo_paint(cr);
    DrawText(cr, Face::SansBold, 40, (zu::kFmsShowWidth + 1) / 2.0, zu::kFmsShowHeight / 2.0 + 14,
             Align::Centre, "FMS", kWhite);
    set.Finish(cr, zu::kFmsShowBitmap, "fms_show");
}

}  // namespace

void RenderFms(BitmapSet& set) {
    Bezel(set);
    ShowButton(set);
}

}  // namespace art
