// Landing gear: the alternate gear extension's guards and doors.
//
// Only the values the overhead's display-only gear gauges read are here so
// far; the gear sequence that writes them comes with its system.
#pragma once

#include <cstdint>

namespace zu {

extern uint8_t GearInhibitGuard;      // 0 closed, else open
extern uint8_t GearInhibitSwitch;     // 0 / 1
extern uint8_t NoseGearAltDoorGuard;  // 0 cover closed, else open

struct AltGearRecord {
    int32_t nose_door;  // 0 closed; counted down by the door gauge while above 1
};
extern AltGearRecord AltGearState;

}  // namespace zu
