#include "displays/ehsi_map.h"

namespace zu {

int32_t EhsiMapPhase[2] = {0, 0};

}  // namespace zu
