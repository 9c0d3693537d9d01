// Fire protection: detection loops, extinguishers and the fire warning.
//
// Only the values other systems read and write are here so far; the
// fire-protection step that computes them comes with its system.
#pragma once

#include <cstdint>

namespace zu {

// Fuel feed per engine (1 open, 0 shut off by the fire handle).
extern uint8_t EngineFuelFeed[2];

// Fire warning per engine (non-zero while the loop detects a fire).
extern uint8_t EngineFireWarning[2];

// Non-zero while a fire warning is active (written by the fire-protection
// step).
extern int32_t FireWarningActive;

// Set to 1 by a click on the master fire warning light; the fire-protection
// step resets it when the fire warning ends.
extern uint8_t FireWarningAck;

}  // namespace zu
