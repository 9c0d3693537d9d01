#include "panels/anti_ice_panel.h"

namespace zu {

int32_t WiperSelector = 1;

}  // namespace zu
