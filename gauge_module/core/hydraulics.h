// Hydraulic pressures that the flight controls and landing gear read. The
// hydraulic system computes them; until it runs they keep their initial
// values (no pressure: flaps hold, the gear stays where it is).
#pragma once

#include <cstdint>

namespace zu {

// System pressure per hydraulic system (psi).
extern int32_t HydraulicSystemPressure[2];
// Consumer pressures: flap drive, rudder per system, roll spoilers inboard
// and outboard per system (psi).
extern int32_t FlapDrivePressure;
extern int32_t RudderPressure[2];
extern int32_t SpoilerInboardPressure[2];
extern int32_t SpoilerOutboardPressure[2];
// Flap hydraulic word (at least 1 while the flap drive is asked to move).
extern int32_t FlapHydraulicWord;

}  // namespace zu
