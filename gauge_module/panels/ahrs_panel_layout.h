// Layout of the two AHRS control panels: bitmap numbers, the panel's size,
// the legend windows, the buttons and the slew knob, shared by the panels
// (ahrs_panels.cpp) and the artwork generator (tools/artwork).
//
// Design pixels: 220 x 90 (the panel is 220 mm wide). The slew knob's
// angle is 45 x switch - 90 with zero at three o'clock, so its pointer
// bitmap is drawn along +x from the knob's centre.
//
// This header depends on nothing but <cstdint> and the resource numbers so
// the generator can use it.
#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace zu::ahrs_layout {

struct Box {
    int32_t x, y, width, height;
};

// Bitmap numbers (block kAttitudeHeadingBlock, second half).
inline constexpr uint32_t kBlock = res::kAttitudeHeadingBlock + 0x80;
inline constexpr uint32_t kPlateUnlit = kBlock + 0x00;  // always shown, under the rest
inline constexpr uint32_t kPlateLit = kBlock + 0x01;    // element 0: the glowing captions
inline constexpr uint32_t kKnobUnlit = kBlock + 0x02;   // element 6
inline constexpr uint32_t kKnobLit = kBlock + 0x03;     // element 7

inline constexpr int32_t kWidth = 220;
inline constexpr int32_t kHeight = 90;

// The five legend windows in element order 1..5.
inline constexpr int kLegendCount = 5;
inline constexpr const char* kLegendText[kLegendCount] = {"DG", "SLAVE", "FAST", "BASIC", "AUXPR"};
constexpr Box LegendBox(int i) {
    return {10 + 42 * i, 16, 38, 16};
}
inline constexpr int32_t kLegendFontHeight = 11;

// The slew knob: centre, radius, and its two halves as click zones.
inline constexpr int32_t kKnobX = 38;
inline constexpr int32_t kKnobY = 62;
inline constexpr int32_t kKnobRadius = 14;
inline constexpr int32_t kKnobBitmap = 2 * kKnobRadius + 4;
inline constexpr Box kSlewLeft = {18, 42, 20, 40};
inline constexpr Box kSlewRight = {38, 42, 20, 40};
// Pointer positions of the knob, -2..+2, printed around it.
inline constexpr int32_t kSlewPositions = 5;

// Push buttons, with their captions below.
inline constexpr Box kDgButton = {86, 46, 30, 24};
inline constexpr Box kFastButton = {130, 46, 30, 24};
inline constexpr Box kAlignButton = {174, 46, 30, 24};

}  // namespace zu::ahrs_layout
