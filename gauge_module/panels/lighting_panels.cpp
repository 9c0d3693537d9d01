#include "panels/lighting_panels.h"

namespace zu {

int32_t RightPanelLights[2] = {0, 0};
uint8_t RightPanelSwitchLatch = 0;

}  // namespace zu
