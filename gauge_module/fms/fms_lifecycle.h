// The flight management system's power as the displays see it.
#pragma once

#include <cstdint>

namespace zu {

// Copy of the FMS bus-powered byte, taken on every tick (1 at start).
extern uint8_t FmsPowered;

}  // namespace zu
