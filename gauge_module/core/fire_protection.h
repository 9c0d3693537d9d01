// Engine fire protection.
#pragma once

#include <cstdint>

namespace zu {

// Fire warning per engine (non-zero while the loop detects a fire).
extern uint8_t EngineFireWarning[2];
// Master fire warning acknowledged (non-zero silences the bell).
extern uint8_t FireWarningAck;

}  // namespace zu
