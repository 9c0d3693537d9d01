// Bitmaps and layout of the head-up guidance panels: the HGS control panel
// (mode keys, keypad and its text display), the runway-speed unit (speed
// keys, brightness keys and its readout), the HGS annunciator's three lamps
// and the HUD switch.
//
// One header serves the gauges (element positions, mouse areas) and the
// artwork generator (tools/artwork). The unlit faces of the HGS panel, the
// RASU and the annunciator lie on the window background; their element 0 is
// the lit copy. Sizes are design pixels.
//
// This header depends on nothing but <cstdint> and the resource numbers.
#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace zu::hgs_art {

inline constexpr uint32_t kBase = zu::res::kHeadUpPanelsBlock;

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
// HGS control panel

inline constexpr uint32_t kHgsFace = kBase + 0x00;            // unlit face (window background)
inline constexpr uint32_t kHgsFaceLit = kBase + 0x01;         // element 0
inline constexpr uint32_t kHgsElevationLight = kBase + 0x02;  // element 1
inline constexpr uint32_t kHgsSlopeLight = kBase + 0x03;      // element 2
inline constexpr uint32_t kHgsSpare = kBase + 0x04;           // element 3, never shown
inline constexpr uint32_t kHgsScreen = kBase + 0x05;          // element 4, the drawn text
inline constexpr Size kHgsSize{207, 122};
// The text display: its window on the face and its design grid.
inline constexpr Box kHgsScreenBox{54, 20, 68, 69};
inline constexpr Box kHgsElevationLightBox{2, 62, 7, 8};
inline constexpr Box kHgsSlopeLightBox{2, 81, 7, 8};
inline constexpr Box kHgsSpareBox{125, 2, 6, 6};

// The nineteen keys in the order of the gauge's mouse rectangles.
struct Key {
    Box box;
    const char* legend;
};
inline constexpr Key kHgsKeys[19] = {
    {{11, 18, 38, 18}, "XFR"},   {{11, 38, 38, 18}, "MODE"}, {{11, 57, 38, 18}, "ELEV"},
    {{11, 76, 38, 18}, "G/S"},   {{157, 22, 15, 16}, "1"},   {{173, 22, 15, 16}, "2"},
    {{189, 22, 15, 16}, "3"},    {{157, 41, 15, 16}, "4"},   {{173, 41, 15, 16}, "5"},
    {{189, 41, 15, 16}, "6"},    {{157, 60, 15, 16}, "7"},   {{173, 60, 15, 16}, "8"},
    {{189, 60, 15, 16}, "9"},    {{157, 79, 15, 16}, "ENT"}, {{173, 79, 15, 16}, "0"},
    {{189, 79, 15, 16}, "TST"},  {{54, 102, 33, 17}, "CLR"}, {{88, 102, 31, 17}, "BRT"},
    {{120, 102, 31, 17}, "DIM"},
};

// ---------------------------------------------------------------------------
// Runway-speed unit

inline constexpr uint32_t kRasuFace = kBase + 0x10;
inline constexpr uint32_t kRasuFaceLit = kBase + 0x11;  // element 0
inline constexpr uint32_t kRasuScreen = kBase + 0x12;   // element 1, the drawn readout
inline constexpr Size kRasuSize{163, 115};
inline constexpr Box kRasuScreenBox{10, 14, 65, 34};
inline constexpr Box kRasuSpeedDown{6, 59, 37, 47};
inline constexpr Box kRasuSpeedUp{42, 59, 37, 47};
inline constexpr Box kRasuBrightDown{85, 67, 25, 44};
inline constexpr Box kRasuBrightUp{110, 67, 25, 44};
// The touch knob's four sectors, clockwise from top left.
inline constexpr Box kRasuSectors[4] = {
    {11, 51, 30, 30}, {41, 51, 30, 30}, {41, 81, 30, 30}, {11, 81, 30, 30}};

// ---------------------------------------------------------------------------
// HGS annunciator

inline constexpr uint32_t kAnnFace = kBase + 0x20;
inline constexpr uint32_t kAnnFaceLit = kBase + 0x21;   // element 0
inline constexpr uint32_t kAnnFlare = kBase + 0x22;     // element 1
inline constexpr uint32_t kAnnApchWarn = kBase + 0x23;  // element 2
inline constexpr uint32_t kAnnAiii = kBase + 0x24;      // element 3
inline constexpr Size kAnnSize{31, 66};
inline constexpr Box kAnnLamps[3] = {{2, 3, 27, 18}, {2, 24, 27, 18}, {2, 45, 27, 18}};

// ---------------------------------------------------------------------------
// HUD switch

inline constexpr uint32_t kHudBase = kBase + 0x30;  // element 0
inline constexpr uint32_t kHudOn = kBase + 0x31;    // element 1
inline constexpr uint32_t kHudOff = kBase + 0x32;   // element 2
inline constexpr Size kHudSize{32, 32};
inline constexpr Box kHudLever{11, 4, 10, 24};

}  // namespace zu::hgs_art
