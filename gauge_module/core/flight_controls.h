// Flight controls and landing gear: flap selection, gear handle and legs,
// and the warning flags the gear and configuration logic raises for the
// warning tones.
#pragma once

#include <cstdint>

namespace zu {

// The flap selection record (saved); [0] is the selection 0..4.
extern int32_t flight_controls_FLAPS[2];
// The remembered gear handle: 0 up, 16383 down (initial 16383, saved).
extern int32_t flight_controls_GEAR;
// Leg positions nose, left, right: 0 up .. 76 down (initial 76).
extern int32_t GearLegPosition[3];
// Passes left of the gear's travel between up and down (0: not moving).
extern int32_t GearTransitCountdown;

// Flag bytes of the gear and configuration logic.
enum GearFlagByte : int {
    kGearFlagWarning = 0,         // gear warning horn request
    kGearFlagTakeoffWarning = 1,  // take-off configuration warning
    kGearFlagUpRequest = 2,       // raised when the gear is selected up
    kGearFlagTailStrike = 3,      // written by the tail-strike sound
    kGearFlagCount
};
extern uint8_t GearFlags[kGearFlagCount];

// The flap selection 0..4 (the first word of flight_controls_FLAPS).
int32_t FlapSelection();
// Set while the flap detent moves.
extern uint8_t FlapMotionFlag;
// Set while the gear is extended by the alternate system.
extern uint8_t GearAltExtension;
// Shut-off switches (0/255): rudder actuators, roll-spoiler actuators and
// the two hydraulic shut-off words.
extern uint8_t RuddersShutoffA[2];
extern uint8_t RuddersShutoffB[2];
extern uint8_t HydraulicShutoff[2];

}  // namespace zu
