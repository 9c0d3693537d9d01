// The alternate gear pump display (`Alternate Gear Pump`). No mouse
// rectangles: no control of this panel sets its cover or pump-switch
// bytes, so it shows its face with the pump switch off, and it counts the
// two alternate pump request words down to 1. Refresh group 5.
//
// Elements: 0 the face; 1 and 2 the cover, closed and open; 3 to 5 the
// gear-leg lamps (nose, left, right); 6 and 7 the pump-running lamps;
// 8 and 10 the pump switch on, under the cover and with it open; 9 the pump
// switch off.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

extern gauge::ElementHeader* Alternate_Gear_PumpElementList[2];
void AlternateGearPumpCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
