// The symbol-generator select panels of both sides.
#pragma once

#include <cstdint>

namespace zu {

// Per side: 1 while that side's displays show the other side's symbol
// generator (its data, format and mode), else 0.
extern uint8_t SgTransfer[2];

}  // namespace zu
