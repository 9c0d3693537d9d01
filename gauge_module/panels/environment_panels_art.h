// Bitmaps and layout of the bleed-air, pressurisation and ice-protection
// panels (`PneuPanel`, `PressPanel`, `AntiicePanel` and the touch variants).
//
// One header serves the gauges (element positions, mouse areas) and the
// artwork generator (tools/artwork), which draws every bitmap so that its
// switches, knobs, lamps and captions sit where the gauges expect them.
// Each gauge starts with its unlit face, always shown; its numbered
// elements follow, the first being the lit overlay. Knobs are needles
// (bitmaps drawn pointing up, turned by the element callback's value in
// degrees clockwise from up). Sizes are design pixels.
//
// This header depends on nothing but <cstdint> and the resource numbers.
#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace zu::environment_art {

inline constexpr uint32_t kBase = zu::res::kEnvironmentPanelsBlock;

struct Size {
    int16_t width;
    int16_t height;
};
struct Point {
    int16_t x;
    int16_t y;
};

// ---------------------------------------------------------------------------
// Bitmap numbers

inline constexpr uint32_t kPneuFace = kBase + 0x00;
inline constexpr uint32_t kPneuFaceLit = kBase + 0x01;
inline constexpr uint32_t kPressFace = kBase + 0x02;
inline constexpr uint32_t kPressFaceLit = kBase + 0x03;
inline constexpr uint32_t kIceFace = kBase + 0x04;
inline constexpr uint32_t kIceFaceLit = kBase + 0x05;

inline constexpr uint32_t kToggleDown = kBase + 0x10;  // off
inline constexpr uint32_t kToggleCentre = kBase + 0x11;
inline constexpr uint32_t kToggleUp = kBase + 0x12;  // on

inline constexpr uint32_t kRoundKnob = kBase + 0x18;  // fluted knob, index up
inline constexpr uint32_t kRoundKnobLit = kBase + 0x19;
inline constexpr uint32_t kBarKnob = kBase + 0x1A;  // pointer knob, pointing up
inline constexpr uint32_t kBarKnobLit = kBase + 0x1B;
// A pointer knob fixed at one of the mode selectors' three angles.
inline constexpr uint32_t kModeKnob0 = kBase + 0x1C;
inline constexpr uint32_t kModeKnob1 = kBase + 0x1D;
inline constexpr uint32_t kModeKnob2 = kBase + 0x1E;

inline constexpr uint32_t kPushOut = kBase + 0x20;
inline constexpr uint32_t kPushIn = kBase + 0x21;
inline constexpr uint32_t kDeiceLamp = kBase + 0x22;  // a lit de-ice light
inline constexpr uint32_t kModeLamp = kBase + 0x23;   // the pressurisation panel's light

// ---------------------------------------------------------------------------
// Parts every panel shares

inline constexpr Size kToggleSize{14, 28};
inline constexpr Size kKnobSize{30, 30};  // knobs turn about its centre
inline constexpr int16_t kKnobHalf = 15;
inline constexpr Size kPushSize{20, 20};
inline constexpr Size kDeiceLampSize{22, 14};
inline constexpr Size kModeLampSize{36, 16};
// Angles of a mode selector's three images, top to bottom.
inline constexpr double kModeKnobAngle[3] = {55.0, 90.0, 125.0};

// ---------------------------------------------------------------------------
// Bleed-air and air-conditioning panel

inline constexpr Size kPneuSize{200, 200};
// Toggles [0]..[3] (top-left corners).
inline constexpr Point kPneuToggle[4] = {{14, 36}, {48, 36}, {82, 36}, {116, 36}};
inline constexpr Point kPneuIndicatorKnob{166, 58};  // centre
// Zone z (0 flight compartment, 1 cabin): x offset of its column.
inline constexpr int16_t PneuZoneX(int zone) {
    return static_cast<int16_t>(zone * 100);
}
inline constexpr int16_t kPneuTempSwitchX = 14;  // plus the zone offset
inline constexpr int16_t kPneuTempSwitchY = 94;
inline constexpr int16_t kPneuModeKnobX = 44;  // top-left of the image, plus the zone offset
inline constexpr int16_t kPneuModeKnobY = 94;
inline constexpr Point kPneuFlowKnob{100, 160};
inline constexpr Point kPneuZoneKnob[2] = {{36, 160}, {164, 160}};

// ---------------------------------------------------------------------------
// Pressurisation panel

inline constexpr Size kPressSize{201, 201};
inline constexpr Point kPressModeKnob{22, 36};  // top-left of the image
inline constexpr Point kPressToggle{96, 38};
inline constexpr Point kPressLamp{140, 44};
inline constexpr Point kPressManualKnob{42, 130};  // centres
inline constexpr Point kPressRateKnob{106, 130};
inline constexpr Point kPressElevationKnob{166, 130};
inline constexpr Point kPressSmallKnob{166, 176};

// ---------------------------------------------------------------------------
// Ice-protection panel

inline constexpr Size kIceSize{217, 217};
inline constexpr Point kIceKnobA{34, 46};  // centres
inline constexpr Point kIceKnobB{108, 46};
inline constexpr Point kIceKnobC{182, 46};
inline constexpr Point kIceCycleKnob{30, 104};
inline constexpr Point kIceWiperKnob{168, 104};
// The cycle selector's three rectangles (positions 0, 1, 2) lie on its
// captions: to the right, lower right and below the knob.
inline constexpr Point kIceCycleCaption[3] = {{56, 104}, {50, 119}, {30, 126}};
inline constexpr Point kIcePush{84, 94};  // top-left corners
// The row of switches: the three-position switch, T1, T2, T3, pitot 1 and 2.
inline constexpr Point kIceThreeWay{12, 142};
inline constexpr Point kIceT1{46, 142};
inline constexpr Point kIceT2{80, 142};
inline constexpr Point kIceT3{114, 142};
inline constexpr Point kIcePitot[2] = {{148, 142}, {182, 142}};
inline constexpr Point kIceSpare{122, 94};  // a toggle never shown
// De-ice light i (0..15): eight a row, two rows.
inline constexpr Point IceLamp(int i) {
    return {static_cast<int16_t>(6 + (i % 8) * 26), static_cast<int16_t>(182 + (i / 8) * 18)};
}

}  // namespace zu::environment_art
