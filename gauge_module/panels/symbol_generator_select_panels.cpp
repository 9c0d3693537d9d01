#include "panels/symbol_generator_select_panels.h"

namespace zu {

uint8_t SgTransfer[2] = {0, 0};

}  // namespace zu
