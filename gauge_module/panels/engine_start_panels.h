// Switch state of the engine-start panel that the systems read.
#pragma once

#include <cstdint>

namespace zu {

// Start selector: 0 = engine 1, 1 = off, 2 = engine 2. It springs back to
// off after a start.
extern int32_t EngineStartSelector;

}  // namespace zu
