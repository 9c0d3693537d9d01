#include "core/flight_controls.h"

namespace zu {

int32_t flight_controls_FLAPS[2] = {0, 0};
int32_t flight_controls_GEAR = 16383;
int32_t GearLegPosition[3] = {76, 76, 76};
int32_t GearTransitCountdown = 0;
uint8_t GearFlags[kGearFlagCount] = {};

}  // namespace zu
