#include "core/radio_altitude_alerting.h"

namespace zu {

int32_t RadioAltitudeReadoutValue = 0;

uint8_t GpwsTakeoffPhase = 1;

}  // namespace zu
