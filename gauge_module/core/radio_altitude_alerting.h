// Radio altitude, stall warning and ground-proximity alerting. The
// radio-altitude readout is the height every system uses: the displays,
// head-up guidance, ground-proximity logic, flight guidance, sounds and the
// instructor link's gear rule.
//
// The alerting steps are not part of the module yet: the readout keeps its
// initial value until they are.
#pragma once

#include <cstdint>

namespace zu {

// Radio altitude readout (whole feet).
extern int32_t RadioAltitudeReadoutValue;

// Set while the aircraft is in its take-off phase (initial 1).
extern uint8_t GpwsTakeoffPhase;
}  // namespace zu
