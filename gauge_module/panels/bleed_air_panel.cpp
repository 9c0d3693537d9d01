#include "panels/bleed_air_panel.h"

namespace zu {

int32_t PneuPanelSwitches[4] = {255, 255, 255, 255};
int32_t PneuSwitch[4] = {0, 0, 0, 0};
int32_t PneuKnob[3] = {0, 0, 0};
int32_t TempIndicatorSelector = 1;

}  // namespace zu
