// Hydraulic systems: pressures and pump state.
//
// The hydraulic step that computes them comes with its system; until it
// runs they keep their initial values (no pressure: flaps hold, the gear
// stays where it is).
#pragma once

#include <cstdint>

namespace zu {

struct HydraulicsStateRecord {
    int32_t SystemPressure[2];  // psi
    int32_t GearPressure;       // the gear actuators' supply, psi
};
extern HydraulicsStateRecord HydraulicsState;

// Consumer pressures read by the flight controls (psi): flap drive, rudder
// per system, roll spoilers inboard and outboard per system.
extern int32_t FlapDrivePressure;
extern int32_t RudderPressure[2];
extern int32_t SpoilerInboardPressure[2];
extern int32_t SpoilerOutboardPressure[2];
// Flap hydraulic word (at least 1 while the flap drive is asked to move).
extern int32_t FlapHydraulicWord;

}  // namespace zu
