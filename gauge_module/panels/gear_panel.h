// The landing gear panel (`Gear`, refresh group 1): the gear lever, the
// nine leg and door lamps with their legends, the lever's light, the nose
// door indicator and the gear-warning switch (up: silence the horn, down: a
// timed test of the horn). The lever asks the simulator to move the gear;
// the gear sequence drives what the panel shows.
//
// Mouse rectangles, in order (a scenario's `click` numbers them from 1):
// the lever, the switch's upper, middle and lower third.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// 1 while the warning switch shows its up position.
extern int32_t GearWarningSwitchUp;

// Elements, counted after an always-shown plate: 0 lit background, 1/2/3
// the lever (unlit, lit, with its light), 4/5/6 "L DOOR" "N DOOR" "R DOOR",
// 7/8/9 " LEFT " " NOSE " " RIGHT" (down and locked), 10/11/12 the same
// (unsafe), 13/14 the nose door indicator open/closed, 15/16/17 the
// warning switch up/centre/down.
extern gauge::ElementHeader* GearElementList[2];
extern gauge::MouseRect GearMouseRect[6];
void GearPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The first numbered element (after the plate).
gauge::ElementHeader* GearPanelFirst();

// The lever sliders' vertical value: 0 with the gear selected down,
// -16383 with it up.
double GearLeverValue(gauge::ElementHeader* element);

}  // namespace zu
