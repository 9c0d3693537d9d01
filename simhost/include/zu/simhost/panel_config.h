// The simulator stand-in's reader of panel configuration files.
//
// The format is the simulator's panel.cfg: [WindowNN] sections, each with
// optional `size_mm=W,H`, `position=N`, `visible=0|1` and `ident=N` keys and
// gauge lines `gaugeNN=Module!Name, x, y, w[, h][, parameters]`; window titles
// come from `[Window Titles]` (`WindowNN=Title`). Lines starting with ';' or
// "//" are comments. Problems with single lines (a malformed gauge line, a
// NUL byte, a gauge line outside a window section, text without '=') are
// collected as warnings with their line number and the line is skipped. A
// file that cannot be read, and one that places no gauge at all (empty, or
// not a panel configuration), is an error of LoadPanelConfig.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zu::simhost {

struct PanelGaugeEntry {
    int line = 0;        // line number in the file (1-based)
    std::string key;     // "gauge00"
    std::string module;  // text before '!'
    std::string name;    // gauge name after '!'
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;  // equals width when the line gives no height
    bool height_given = false;
    std::string parameters;  // "" when none
};

struct PanelWindow {
    int number = 0;       // NN of [WindowNN]
    std::string title;    // from [Window Titles], "" when none
    uint32_t ident = 0;   // `ident=`; the window number when absent
    bool visible = true;  // `visible=`
    int position = 0;     // `position=`
    int size_w = 0;       // `size_mm=` (0 when absent)
    int size_h = 0;
    std::string background;               // `file=`: the window's background picture (PNG),
                                          // in the panel folder; "" when none
    std::vector<PanelGaugeEntry> gauges;  // in file order
};

struct PanelConfig {
    std::vector<PanelWindow> windows;   // in file order
    std::vector<std::string> warnings;  // "line N: ..." texts
};

PanelConfig ParsePanelConfig(const std::string& text);
// Reads and parses a file; false with `error` when it cannot be read.
bool LoadPanelConfig(const std::filesystem::path& file, PanelConfig* out, std::string* error);

}  // namespace zu::simhost
