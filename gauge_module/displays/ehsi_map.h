// The navigation displays' map: the phase counter of the side-1 and side-2
// 2D display sets (0..7); 0 rebuilds the waypoint list on the next draw.
#pragma once

#include <cstdint>

namespace zu {

extern int32_t EhsiMapPhase[2];

}  // namespace zu
