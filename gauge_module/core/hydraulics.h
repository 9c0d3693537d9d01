// Hydraulic systems: pressures and pump state.
#pragma once

#include <cstdint>

namespace zu {

struct HydraulicsStateRecord {
    int32_t SystemPressure[2];  // psi
    int32_t GearPressure;       // the gear actuators' supply, psi
};
extern HydraulicsStateRecord HydraulicsState;

}  // namespace zu
