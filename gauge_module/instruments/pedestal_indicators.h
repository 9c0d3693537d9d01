// Three small indicators of the pedestal and glare shield:
//   `TRIMS` (refresh group 1): the elevator-trim needle with the spring-loaded
//     trim switch that steps the simulator's trim, and a second trim
//     indication with its own knob;
//   `FLAPS indicator` (group 5): the flap needle, running toward the
//     selected detent at a speed set by the flap drive's hydraulic pressure;
//     its arrival ends the flap-motion state;
//   `Whiskey compass` (group 1): the standby compass card.
//
// TRIMS mouse rectangles, in order (a scenario's `click` numbers them from
// 1): switch nose down, switch nose up, indication down, indication up; all
// repeat while held. The other two have none.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// The TRIMS knob's trim indication (no bounds).
struct TrimsPanelStateRecord {
    float indication;
};
extern TrimsPanelStateRecord TrimsPanelState;

// The trim switch: -1 nose down, 0 centred, +1 nose up, and the countdown
// (0..4) that holds its image deflected.
extern int32_t TrimSwitchDirection;
extern int32_t TrimSwitchHold;

// The flap needle, degrees (kept between frames; initial -90).
extern float FlapNeedlePosition;

// Trim step of one switch click and of one knob click.
inline constexpr float kTrimClickStep = 0.00174f;

// TRIMS elements, after an always-shown plate: 0 lit face, 1/2 elevator-trim
// needle unlit/lit, 3/4 trim-indication needle unlit/lit, 5/6/7 trim switch
// centred/nose down/nose up, 8/9 knob pointer unlit/lit.
extern gauge::ElementHeader* TRIMSElementList[2];
extern gauge::MouseRect TRIMSMouseRect[6];
void TrimsCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
gauge::ElementHeader* TrimsFirst();

// Needle values of TRIMS.
double TrimsElevatorNeedle();
double TrimsIndicationNeedle();
double TrimsKnobPointer();
// The trim switch's action (d = -1 nose down, +1 nose up).
void TrimSwitch(int32_t direction);

// FLAPS indicator elements: 0 lit face, 1 unlit face, 2/3 needle unlit/lit.
extern gauge::ElementHeader* FLAPSIndicatorElementList[2];
void FlapsIndicatorCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
// One frame of the flap needle; returns the angle shown.
double FlapNeedleStep();

// Whiskey compass elements: 0 face, 1 unlit card, 2 lit card.
extern gauge::ElementHeader* WhiskeyCompassElementList[2];
void WhiskeyCompassCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
// The card value: 360 - Heading, 0 outside 0..360.
double CompassCardValue();

}  // namespace zu
