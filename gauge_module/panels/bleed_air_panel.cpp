#include "panels/bleed_air_panel.h"

namespace zu {

int32_t PneuPanelSwitches[4] = {255, 255, 255, 255};

}  // namespace zu
