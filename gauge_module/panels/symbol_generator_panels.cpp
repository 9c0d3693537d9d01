#include "panels/symbol_generator_panels.h"

namespace zu {

uint8_t VsiSelRequest1 = 0;
uint8_t VsiSelRequest2 = 0;

}  // namespace zu
