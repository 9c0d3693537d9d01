// Switch state of the lighting panels kept beside the electrical record.
#pragma once

#include <cstdint>

namespace zu {

// The two lighting toggles of the right-hand lighting panel (0 / 255);
// the first is the cabin sign.
extern int32_t RightPanelLights[2];

}  // namespace zu
