// Switch state of the lighting panels kept beside the electrical record.
#pragma once

#include <cstdint>

namespace zu {

// The two lighting toggles of the right-hand lighting panel (0 / 255);
// the first is the cabin sign.
extern int32_t RightPanelLights[2];
// Follows the gear while the second toggle is off (1 down, 0 up); the
// cabin-sign chime sounds on each change.
extern uint8_t RightPanelSwitchLatch;

}  // namespace zu
