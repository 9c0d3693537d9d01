// The autopilot mode-select panel on the glare shield: `Autopilot` (fifteen
// push-buttons and a knob with separate up and down areas that repeat while
// held) and `Autopilot_touch` (the same buttons and a drag knob of four
// stacked zones). The panel keeps no mode logic: each button raises one
// request byte of the flight guidance (ApButtonRequest), the knob counts
// clicks into ApKnob, and eight lamps show engagement, coupled side and
// source side. Refresh group 4.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// Touch knob: the last zone touched (0..3) and the quick-step clock of
// StepTouchKnob (tick of the last step, countdown to the ten-count steps).
// Never reset, not saved.
extern int32_t ApTouchZone;
extern int32_t ApTouchLastTick;
extern int32_t ApTouchCountdown;
inline constexpr int32_t kApTouchQuickTicks = 14;
inline constexpr int32_t kApTouchFastStep = 10;

// Adds one knob step (+1 or -1) as the touch knob counts it: ten at a time
// from the fourteenth quick step in a row.
void StepTouchKnob(int32_t step);
// A touch-zone message: the step the drag from ApTouchZone to `zone` takes
// (-1, 0 or +1), already counted into ApKnob.
int32_t ApTouchZoneMessage(int32_t zone);

// The knob's strip position: ApKnob modulo 64 with the sign of ApKnob.
int32_t ApKnobDisplayValue(int32_t knob);

// Mouse rectangles 1-15 are the buttons of request bytes 0, 1, 2, 3, 6, 9,
// 12, 7, 10, 13, 8, 11, 14, 4, 5; `Autopilot` then has knob up and knob
// down, `Autopilot_touch` the touch zones 0-3 (top to bottom).
extern gauge::ElementHeader* AutopilotElementList[2];
extern gauge::MouseRect AutopilotMouseRect[];
void AutopilotCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* Autopilot_touchElementList[2];
extern gauge::MouseRect Autopilot_touchMouseRect[];
void AutopilotTouchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
