// The pilots' airspeed indicators: indicated-airspeed needle, the maximum
// operating speed pointer that falls with altitude, a speed bug set by a
// knob and two bugs dropped onto the dial by clicking it.
//
// Four gauges in refresh group 2, lit by PanelLightingCircuit3, with no
// power gating: Speedometer1 and Speedometer2 (knob rectangles repeating
// while held) and Speedometer1_touch and Speedometer2_touch (a four-zone
// drag knob). The plain and touch gauge of a side share the side's bugs.
//
// Elements: 0 lit face, 1 unlit face, 2 knots strip, 3/4 maximum-speed
// pointer unlit/lit, 5/6 airspeed needle, 7/8 click bug A, 9/10 click bug B,
// 11/12 knob speed bug, 13/14 knob pointer.
//
// Mouse rectangles: 1 knob down, 2 knob up, 3 the dial (plain gauges);
// 1-4 knob zones 0-3 clockwise from the top left, 5 the dial (touch).
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

struct AirspeedBugs {
    int32_t knob;    // knots, 50..400 in steps of 2 (initial 200)
    int32_t bug_a;   // needle angle, degrees (initial 0)
    int32_t bug_b;   // (initial 10)
    uint8_t toggle;  // which bug the next dial click moves (initial 1)
};
extern AirspeedBugs AirspeedSide[2];
// Last knob zone of Speedometer1_touch and Speedometer2_touch.
extern int32_t AsiTouchZone[2];

inline constexpr int32_t kSpeedBugLow = 50;
inline constexpr int32_t kSpeedBugHigh = 400;
inline constexpr int32_t kSpeedBugStep = 2;

// Exposed for tests: the needle's and the maximum-speed pointer's angles.
double AirspeedNeedleAngle(float indicated_airspeed);
double MaxSpeedKnots(float altitude_ft);
// A dial click of side `side` at (x, y) with the display pixel size w x h.
void AirspeedDialClick(int side, int32_t x, int32_t y, int32_t w, int32_t h);

extern gauge::ElementHeader* Speedometer1ElementList[2];
extern gauge::ElementHeader* Speedometer2ElementList[2];
extern gauge::ElementHeader* Speedometer1TouchElementList[2];
extern gauge::ElementHeader* Speedometer2TouchElementList[2];

extern gauge::MouseRect Speedometer1MouseRect[5];
extern gauge::MouseRect Speedometer2MouseRect[5];
extern gauge::MouseRect Speedometer1TouchMouseRect[7];
extern gauge::MouseRect Speedometer2TouchMouseRect[7];

void Speedometer1Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void Speedometer2Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
