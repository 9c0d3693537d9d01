// Geometry and bitmap numbers of the radio control heads (VOR, ADF, COM and
// the transponder head), shared by the gauges and the artwork generator so
// that the faces, the elements and the mouse rectangles line up.
//
// Design pixels: the VOR heads are 330 x 120, the ADF, COM and transponder
// heads 276 x 120 (110 and 92 mm wide, 40 mm high on the panel).
#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace zu::radio_layout {

struct Box {
    int32_t x, y, width, height;
};

// Bitmaps (block kRadioHeadsBlock).
enum Bitmap : uint32_t {
    kVorOverlay = res::kRadioHeadsBlock + 0x00,  // lit faces: element 0
    kVorTouchOverlay = res::kRadioHeadsBlock + 0x01,
    kAdfOverlay = res::kRadioHeadsBlock + 0x02,
    kAdfTouchOverlay = res::kRadioHeadsBlock + 0x03,
    kComOverlay = res::kRadioHeadsBlock + 0x04,
    kAtcOverlay = res::kRadioHeadsBlock + 0x05,
    kVorFace = res::kRadioHeadsBlock + 0x10,  // unlit faces: the panel background
    kVorTouchFace = res::kRadioHeadsBlock + 0x11,
    kAdfFace = res::kRadioHeadsBlock + 0x12,
    kAdfTouchFace = res::kRadioHeadsBlock + 0x13,
    kComFace = res::kRadioHeadsBlock + 0x14,
    kAtcFace = res::kRadioHeadsBlock + 0x15,
    kRockerRest = res::kRadioHeadsBlock + 0x20,
    kRockerUp = res::kRadioHeadsBlock + 0x21,
    kRockerDown = res::kRadioHeadsBlock + 0x22,
};

inline constexpr int32_t kHeight = 120;
inline constexpr int32_t kVorWidth = 330;
inline constexpr int32_t kNarrowWidth = 276;  // ADF, COM, transponder

// A frequency head. Boxes are relative to the head's top-left corner.
struct FrequencyHead {
    int32_t width;
    Box upper;          // window 1 (and its second rendering)
    Box lower;          // window 2
    Box xfr_legend;     // element 3
    Box mem_legend;     // element 4
    Box rocker;         // elements 5..7 (one bitmap size)
    Box preset_legend;  // element 8: "MEM", a preset is stored
    Box side_legend_1;  // VOR "D"; COM "T"
    Box side_legend_2;  // COM "X"
    Box power_knob;
    int32_t knob_x, knob_y;  // centre of the dual knob (or drag ring)
    int32_t outer_radius, inner_radius;
    Box direct_button;  // below the knob
    Box preset_button;  // left of the knob
    Box touch_xfr;      // the touch gauges' XFR button at the top
};

inline constexpr FrequencyHead kVor = {
    kVorWidth,
    {34, 10, 140, 44},
    {34, 64, 140, 44},
    {178, 6, 34, 14},
    {178, 100, 34, 14},
    {184, 24, 22, 72},
    {2, 24, 30, 14},
    {6, 78, 24, 18},
    {0, 0, 0, 0},
    {224, 8, 24, 24},
    278,
    66,
    36,
    20,
    {268, 104, 20, 14},
    {220, 70, 18, 16},
    {172, 0, 46, 60},
};

inline constexpr FrequencyHead kNarrow = {
    kNarrowWidth,
    {30, 10, 122, 44},
    {30, 64, 122, 44},
    {154, 6, 34, 14},
    {154, 100, 34, 14},
    {160, 24, 22, 72},
    {0, 24, 30, 14},
    {6, 68, 20, 16},
    {6, 88, 20, 16},
    {194, 8, 24, 24},
    236,
    66,
    34,
    18,
    {226, 104, 20, 14},
    {190, 72, 16, 16},
    {148, 0, 46, 60},
};

// Mouse areas of a dual knob.
constexpr Box InnerLeft(const FrequencyHead& h) {
    return {h.knob_x - h.inner_radius, h.knob_y - h.inner_radius, h.inner_radius,
            2 * h.inner_radius};
}
constexpr Box InnerRight(const FrequencyHead& h) {
    return {h.knob_x, h.knob_y - h.inner_radius, h.inner_radius, 2 * h.inner_radius};
}
constexpr Box OuterLeft(const FrequencyHead& h) {
    return {h.knob_x - h.outer_radius, h.knob_y - h.outer_radius, h.outer_radius,
            2 * h.outer_radius};
}
constexpr Box OuterRight(const FrequencyHead& h) {
    return {h.knob_x, h.knob_y - h.outer_radius, h.outer_radius, 2 * h.outer_radius};
}
// Quadrant z of the drag ring: 0 upper left, 1 upper right, 2 lower right,
// 3 lower left (clockwise).
constexpr Box RingZone(const FrequencyHead& h, int z) {
    const int32_t r = h.outer_radius;
    const int32_t x = (z == 1 || z == 2) ? h.knob_x : h.knob_x - r;
    const int32_t y = z >= 2 ? h.knob_y : h.knob_y - r;
    return {x, y, r, r};
}
// The rocker's two halves.
constexpr Box RockerUpper(const FrequencyHead& h) {
    return {h.rocker.x, h.rocker.y, h.rocker.width, h.rocker.height / 2};
}
constexpr Box RockerLower(const FrequencyHead& h) {
    return {h.rocker.x, h.rocker.y + h.rocker.height / 2, h.rocker.width, h.rocker.height / 2};
}

// Window text heights of the two renderings.
inline constexpr int32_t kWindowFont = 26;
inline constexpr int32_t kWindowFontSecond = 30;
inline constexpr int32_t kComWindowFont = 22;
inline constexpr int32_t kComWindowFontSecond = 24;
inline constexpr int32_t kLegendFont = 12;

// The transponder head.
struct TransponderHead {
    Box code;          // element 1
    Box alt_source;    // 2 "FL1"/"FL2"
    Box ta;            // 3 "TA"
    Box range;         // 4 range
    Box mode;          // 5 mode legend
    Box ident;         // 6 "IDT"
    Box power_switch;  // mouse areas, in order
    Box ident_button;
    Box fl_button;
    Box digit_button;
    Box range_left, range_right;
    Box code_lower, code_upper;
    Box mode_left, mode_right;
    int32_t code_knob_x, code_knob_y, code_knob_radius;
    int32_t mode_knob_x, mode_knob_y, mode_knob_radius;
};

inline constexpr TransponderHead kAtc = {
    {20, 10, 116, 44},
    {20, 62, 40, 18},
    {62, 62, 30, 18},
    {96, 62, 40, 18},
    {20, 86, 56, 22},
    {80, 86, 56, 22},
    {146, 10, 26, 26},
    {146, 46, 40, 22},
    {146, 78, 26, 16},
    {146, 100, 26, 16},
    {184, 10, 22, 26},
    {206, 10, 22, 26},
    {234, 30, 36, 20},
    {234, 10, 36, 20},
    {216, 62, 28, 52},
    {244, 62, 28, 52},
    252,
    30,
    18,
    244,
    88,
    24,
};

}  // namespace zu::radio_layout
