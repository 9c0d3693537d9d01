// Flight controls and landing gear: flap selection and the gear sequence.
// The flight-controls step is not part of the module yet: these keep their
// initial values until it is.
#pragma once

#include <cstdint>

namespace zu {

// The flap selection record (saved); [0] is the selection 0..4.
extern int32_t flight_controls_FLAPS[2];
// Passes left of the gear's travel between up and down (0: not moving).
extern int32_t GearTransitCountdown;

}  // namespace zu
