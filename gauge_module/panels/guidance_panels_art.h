// Bitmaps and layout of the glare-shield guidance panels: the autopilot
// mode-select panel, the two ID809 flight-guidance displays, the AL801
// altitude preselector, the GPWS panel and the two RNAV panels.
//
// One header serves the gauges (element positions, mouse areas) and the
// artwork generator (tools/artwork), which draws each bitmap so that its
// buttons, lamps, windows and knobs sit where the gauges expect them. The
// unlit faces lie on the window background; the gauges draw only the lit
// copy of a face as their element 0. Sizes are design pixels.
//
// This header depends on nothing but <cstdint> and the resource numbers.
#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace zu::guidance_art {

inline constexpr uint32_t kBase = zu::res::kGuidancePanelsBlock;

struct Size {
    int16_t width;
    int16_t height;
};
struct Box {
    int16_t x;
    int16_t y;
    int16_t width;
    int16_t height;
};

// ---------------------------------------------------------------------------
// Autopilot mode-select panel

inline constexpr uint32_t kApFace = kBase + 0x00;     // unlit face (window background)
inline constexpr uint32_t kApFaceLit = kBase + 0x01;  // element 0: the lit overlay
inline constexpr uint32_t kApLamp = kBase + 0x02;     // eight lamps, kBase + 0x02 .. 0x09
inline constexpr uint32_t kApKnobStrip = kBase + 0x0A;
inline constexpr uint32_t kApKnobMask = kBase + 0x0B;
inline constexpr Size kApSize{224, 98};

// The fifteen buttons in the order of the gauge's mouse rectangles, with
// their legends ('|' breaks a line).
struct Button {
    Box box;
    const char* legend;
};
inline constexpr Button kApButtons[15] = {
    {{179, 2, 37, 21}, "AP"},   {{179, 28, 37, 21}, "YD"},    {{179, 50, 37, 21}, "MSTR"},
    {{179, 75, 37, 21}, "SRC"}, {{1, 2, 37, 21}, "HDG"},      {{44, 2, 37, 21}, "NAV"},
    {{87, 2, 37, 21}, "APPR"},  {{1, 30, 37, 21}, "IAS"},     {{44, 30, 37, 21}, "VS"},
    {{87, 30, 37, 21}, "BC"},   {{1, 50, 37, 21}, "ALT"},     {{43, 50, 37, 21}, "ALT SEL"},
    {{87, 50, 37, 21}, "STBY"}, {{1, 75, 37, 21}, "VOR|LOC"}, {{87, 75, 37, 21}, "FMS"},
};
// Lamps 1..8: rows AP, YD, AFCS master, source side; left lamp then right.
inline constexpr Box ApLampBox(int lamp) {
    const int row = (lamp - 1) / 2;
    const int16_t ys[4] = {2, 28, 50, 75};
    return {static_cast<int16_t>((lamp - 1) % 2 == 0 ? 172 : 217),
            static_cast<int16_t>(ys[row] + 4), 6, 13};
}
// The knob: its window on the panel, and the ridged strip that slides
// behind it. The strip element sits kApKnobOverhang above the window so that
// a shift of up to that many pixels either way keeps the window covered.
inline constexpr Box kApKnobWindow{135, 0, 36, 94};
inline constexpr int16_t kApKnobOverhang = 32;
inline constexpr double kApKnobPixelsPerCount = 0.5;  // 63 counts: 31.5 px
inline constexpr int16_t kApKnobRidgePitch = 6;

// ---------------------------------------------------------------------------
// ID809 flight-guidance display

inline constexpr uint32_t kId809Face = kBase + 0x10;
inline constexpr uint32_t kId809FaceLit = kBase + 0x11;
inline constexpr uint32_t kId809Annunciator = kBase + 0x12;  // element 9, always hidden
inline constexpr Size kId809Size{233, 80};
inline constexpr Box kId809Screen{52, 4, 132, 74};
inline constexpr Box kId809AckKey{0, 10, 51, 36};
inline constexpr Box kId809Master1Key{0, 47, 49, 33};
inline constexpr Box kId809Master2Key{186, 47, 47, 33};
// Text columns and rows inside the screen.
inline constexpr int16_t kId809LeftX = 54;
inline constexpr int16_t kId809RightX = 109;
inline constexpr int16_t kId809MiddleX = 69;
inline constexpr int16_t kId809Row[4] = {6, 24, 42, 60};
inline constexpr int16_t kId809TextWidth = 73;
inline constexpr int16_t kId809MiddleWidth = 98;
inline constexpr int16_t kId809TextHeight = 17;

// ---------------------------------------------------------------------------
// AL801 altitude preselector

inline constexpr uint32_t kAl801Face = kBase + 0x20;
inline constexpr uint32_t kAl801FaceLit = kBase + 0x21;
inline constexpr uint32_t kAl801Pointer = kBase + 0x22;  // unlit and lit: the lit bit
inline constexpr Size kAl801Size{103, 56};
inline constexpr Box kAl801Window{0, 22, 63, 21};
inline constexpr int16_t kAl801KnobX = 79;
inline constexpr int16_t kAl801KnobY = 33;
inline constexpr int16_t kAl801KnobRadius = 17;
inline constexpr Size kAl801PointerSize{6, 20};  // pivot at its bottom centre

// ---------------------------------------------------------------------------
// GPWS panel

inline constexpr uint32_t kGpwsFace = kBase + 0x30;
inline constexpr uint32_t kGpwsFaceLit = kBase + 0x31;
inline constexpr uint32_t kGpwsWarningLamp = kBase + 0x32;
inline constexpr uint32_t kGpwsGlideslopeLamp = kBase + 0x33;
inline constexpr Size kGpwsSize{38, 46};
inline constexpr Box kGpwsWarningBox{1, 1, 36, 20};
inline constexpr Box kGpwsGlideslopeBox{4, 28, 30, 17};

// ---------------------------------------------------------------------------
// RNAV panels

inline constexpr uint32_t kRnavFace = kBase + 0x40;
inline constexpr uint32_t kRnavFaceLit = kBase + 0x41;
inline constexpr Size kRnavSize{180, 56};
inline constexpr Box kRnavKey{145, 21, 33, 34};
inline constexpr Box kRnavLegend{147, 23, 29, 29};

}  // namespace zu::guidance_art
