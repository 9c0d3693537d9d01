// The display control panels of both sides: buttons, bearing-pointer and
// decision-height knobs, the brightness knob and TEST. Shared display
// settings written by the panels and read by the displays live here.
#pragma once

#include <cstdint>

namespace zu {

// Side 1: [0] navigation-source, [1] heading-source, [2] attitude-source
// transfer, [3] the side-2 ground-speed / time-to-go toggle.
extern uint8_t DisplayFormatFlags1[4];

struct DisplayControlRecord {
    uint8_t Transfer[3];  // navigation-, heading- and attitude-source transfer
    uint8_t Overlay;      // weather overlay
    int32_t Mode;         // navigation display mode 0..2
    // Bearing pointers 0 and 1: indices into NavSources.
    int32_t BearingPointerSource[2];
};
extern DisplayControlRecord DisplayControlState1;
extern DisplayControlRecord DisplayControlState2;

// The display brightness knob's level, 64..255, one for both sides.
extern int32_t DisplayBrightnessLevel;
// Per side: 1 while that side's brightness knob is at its lower stop (the
// composite format), else 0.
extern int32_t DisplayFormat[2];

}  // namespace zu
