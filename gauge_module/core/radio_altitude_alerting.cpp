#include "core/radio_altitude_alerting.h"

namespace zu {

int32_t RadioAltitudeReadoutValue = 0;

}  // namespace zu
