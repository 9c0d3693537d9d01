// Switch state of the bleed-air and air-conditioning panel that the
// systems and instruments read.
#pragma once

#include <cstdint>

namespace zu {

// Toggles 0/255, initial 255: [0] and [1] engine 1 and 2 bleed, [2] the
// air-conditioning switch, [3] the large switch read by the engine sound.
extern int32_t PneuPanelSwitches[4];

}  // namespace zu
