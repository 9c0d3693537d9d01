// Fire protection values that other systems read. The fire protection
// writes them; until it runs they keep their initial values.
#pragma once

#include <cstdint>

namespace zu {

// Fuel feed per engine (1 open, 0 shut off by the fire handle).
extern uint8_t EngineFuelFeed[2];

}  // namespace zu
