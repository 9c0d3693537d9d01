// The display control panels of both sides: buttons, bearing-pointer and
// decision-height knobs, the brightness knob and TEST. Shared display
// settings written by the panels and read by the displays live here.
#pragma once

#include <cstdint>

namespace zu {

// The display brightness knob's level, 64..255, one for both sides.
extern int32_t DisplayBrightnessLevel;
// Per side: 1 while that side's brightness knob is at its lower stop (the
// composite format), else 0.
extern int32_t DisplayFormat[2];
// Per side: the navigation display's mode, 0 rose, 1 arc, 2 map.
extern int32_t HsiMode[2];
// Per side: the weather-radar picture on the navigation display.
extern uint8_t WxOverlay[2];
// Per side: the sources of bearing pointers 1 and 2 (indices into
// NavSources, 0 = none).
extern int32_t BearingPointerSource[2][2];
// Side 1's toggle bytes: [0] nav-source reversion, [1] heading-source
// reversion, [2] attitude-source reversion, [3] side 2's ground-speed /
// time-to-go toggle.
extern uint8_t DisplayFormatFlags1[4];
// Side 2's nav-source, heading-source and attitude-source reversions.
extern uint8_t DisplayFormatFlags2[3];
// Side 1's ground-speed / time-to-go toggle (1: time to go).
extern uint8_t DisplayFormatToggle;

}  // namespace zu
