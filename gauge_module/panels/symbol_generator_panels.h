// Symbol-generator select panels: the SEL key's station request per side
// (set when DME hold engages, served and cleared by the nav-receiver
// update).
#pragma once

#include <cstdint>

namespace zu {

extern uint8_t VsiSelRequest1;
extern uint8_t VsiSelRequest2;

}  // namespace zu
