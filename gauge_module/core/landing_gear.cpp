#include "core/landing_gear.h"

namespace zu {

uint8_t GearInhibitGuard = 0;
uint8_t GearInhibitSwitch = 0;
uint8_t NoseGearAltDoorGuard = 0;
AltGearRecord AltGearState = {0};

}  // namespace zu
