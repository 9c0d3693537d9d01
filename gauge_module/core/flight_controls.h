// Flight controls and landing gear: the flap lever and detents, the gear
// handle and extension sequence, nose-wheel steering and the stick pusher.
//
// Declared ahead of the flight-control steps: the values the alerting reads
// keep their initial values until those steps land.
#pragma once

#include <cstdint>

namespace zu {

// Saved flap state; [0] is the flap selection 0..4.
inline int32_t flight_controls_FLAPS[2] = {0, 0};

// Gear leg positions: nose, left, right; 0 up, 76 down.
inline int32_t GearLegPosition[3] = {76, 76, 76};

}  // namespace zu
