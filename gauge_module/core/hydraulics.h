// Hydraulic systems: pressures and pump state.
#pragma once

#include <cstdint>

namespace zu {

struct HydraulicsStateRecord {
    int32_t SystemPressure[2];  // psi
    int32_t GearPressure;       // the gear actuators' supply, psi
};
extern HydraulicsStateRecord HydraulicsState;

// Pressures of the four roll-spoiler actuators (psi): left inner, left
// outer, right inner, right outer. The PFCS needles move only above 400.
extern int32_t RollSpoilerPressure[4];

}  // namespace zu
