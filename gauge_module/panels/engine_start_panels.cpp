#include "panels/engine_start_panels.h"

namespace zu {

int32_t EngineStartSelector = 1;

}  // namespace zu
