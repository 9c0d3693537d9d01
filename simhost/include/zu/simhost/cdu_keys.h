// The stand-in's reach into the control-display unit: the keyboard of the
// `FMS` gauge by key name and by character (for the `cdu` scenario verb and
// the live window's keyboard), and the fold of a painted CDU screen's texts
// back onto its 11 x 24 character grid (for the state report).
//
// The keyboard is the gauge's mouse rectangles 1..63: line-select keys
// L1..L5 and R1..R5 are 1..10, A..Z 11..36, then the function keys, the
// digits, BACK and ENTER.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "zu/platform/drawing.h"

namespace zu::simhost {

// The panel window that holds the CDU (its `FMS_show` button toggles it).
inline constexpr uint32_t kCduWindowIdent = 53;
// Name of the gauge whose keyboard the stand-in presses.
inline constexpr const char* kCduKeyboardGauge = "FMS";
// One key press every 192 ms (three systems ticks), so every key is taken.
inline constexpr uint64_t kCduKeyIntervalMs = 192;

// The rectangle of a named key: L1..L5, R1..R5, DATA NAV DTO LIST PREV FPL
// PERF MENU NEXT BACK ENTER K12 K16 K19 K41 K42 K43 (exact, upper case).
std::optional<int> CduNamedKeyRect(std::string_view name);
// The rectangle of a character key: a letter (either case) or a digit.
std::optional<int> CduCharacterRect(char c);
// The rectangles of a `cdu` command's words: a key name presses that key,
// any other word (and a word given in double quotes, which arrives here
// still quoted) is typed key by key. False with `error` on a character the
// keyboard has no key for.
bool CduKeyRects(const std::vector<std::string>& words, std::vector<int>* rects,
                 std::string* error);

// The CDU screen as the grid shows it: 11 lines of 24 cells, and per cell
// the colour letter (g green, a amber, y yellow, r grey, w white, m
// magenta, k black, blank where nothing was drawn).
struct CduScreenFold {
    std::array<std::string, 11> lines;
    std::array<std::string, 11> colours;
};
// Folds the texts of one paint of the CDU screen (logical units of the
// 251 x 160 screen) onto the grid: column (x - 11) / 10, line (y - 1) / 14.
// 0xB0 shows as "°" (the lines are UTF-8); the framed glyph is drawn as "M"
// and arrows, being lines, show as blanks.
CduScreenFold FoldCduTexts(const std::vector<platform::DrawTextEntry>& texts);

}  // namespace zu::simhost
