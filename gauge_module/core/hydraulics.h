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

// Consumer pressures read by the flight controls and the gauges (psi): the
// flap drive, the rudder actuators per system, and the four roll-spoiler
// actuators: left inboard, left outboard, right inboard, right outboard
// (the PFCS needles move only above 400).
extern int32_t FlapsHydraulicPressure;
extern int32_t RudderPressure[2];
extern int32_t RollSpoilerPressure[4];
// Flap hydraulic word (at least 1 while the flap drive is asked to move).
extern int32_t FlapHydraulicWord;

}  // namespace zu
