#include "core/flight_controls.h"

namespace zu {

int32_t flight_controls_FLAPS[2] = {0, 0};
int32_t GearTransitCountdown = 0;

}  // namespace zu
