// Stall warning values that the stick pusher reads. The stall warning
// computes them; until it runs they keep their initial values.
#pragma once

#include <cstdint>

namespace zu {

// Stall-warning output (above -14000 while no stall is near) and the stall
// warning state flag (1 or 2 while a channel has failed).
extern int32_t StallWarningOutput;
extern int32_t StallWarningState;

}  // namespace zu
