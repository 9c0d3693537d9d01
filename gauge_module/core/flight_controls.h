// Flight controls and landing gear: nose-wheel steering, the flap lever and
// its detents, the hydraulic surface lights, the gear handle with its key
// events and warnings, the power-induced trim and yaw values, the stick
// pusher (host pass, in this order) and the gear extension and retraction
// sequence (systems tick, after head-up guidance).
#pragma once

#include <cstdint>

namespace zu {

// Gear handle: the commanded gear that drives the sequence and the
// remembered handle position (0 up, 16383 down; saved).
extern int32_t GearCommanded;
extern int32_t flight_controls_GEAR;
extern int32_t GearHandlePrevious;
extern int32_t GearHandleCountdown;
extern int32_t GearToggleCountdown;
// The transit countdown of the gear sequence (0: not moving).
extern int32_t GearTransitCountdown;

// Legs in the order nose, left, right: position (0 up .. 76 down) and the
// down-and-locked light.
extern int32_t GearLegPosition[3];
extern int32_t GearLegLight[3];
// Per leg: in-transit flag and disagree flag, in the order left, nose,
// right; then the nose-door word.
struct GearStatesRecord {
    int32_t in_transit[3];
    int32_t disagree[3];
    int32_t nose_door;
};
extern GearStatesRecord GearStates;
inline constexpr int kGearStateLeft = 0;
inline constexpr int kGearStateNose = 1;
inline constexpr int kGearStateRight = 2;
// The alternate-gear words: the nose alternate-door request (counted down
// by the door gauge while above 1) and the two alternate pump requests
// (each served once by the sequence).
struct AltGearRecord {
    int32_t nose_door;
    int32_t pump[2];
};
extern AltGearRecord AltGearState;
extern uint8_t GearAltExtension;
extern int32_t GearAltExtensionCountdown;
// Alternate extension guards and switch on the overhead: the gear-inhibit
// guard (0 closed) and switch (0/1), the nose-door guard (0 closed).
extern uint8_t GearInhibitGuard;
extern uint8_t GearInhibitSwitch;
extern uint8_t NoseGearAltDoorGuard;

// Flaps: the saved record (first i32 the selection 0..4), the detent sent
// to the simulator (2..6), the last flap command, the flap countdown and
// the drive-wait flag; FlapMotionFlag is set when the detent changes.
extern int32_t flight_controls_FLAPS[2];
extern int32_t FlapDetent;
extern double FlapLastCommand;
extern int32_t FlapCountdown;
extern uint8_t FlapDriveWait;
extern uint8_t FlapMotionFlag;
int32_t FlapSelection();

// Steering output written to the simulator, the nose-steering switch
// (0/255) and the shut-off switches (0/255).
extern int16_t JoystickRudderOut;
extern int32_t NoseSteeringSwitch;
extern uint8_t RuddersShutoffA[2];
extern uint8_t RuddersShutoffB[2];
extern uint8_t HydraulicShutoff[2];
extern uint8_t StickPusherShutoff;

// Power-induced pitch trim (read by the servo output and as the gating
// value of the control-input byte) and yaw value (sent as the trim value).
extern int32_t RudderTrimOutput;
extern int32_t FlightControlGating;
extern float TorqueYawValue;
extern int32_t RudderTrimValue;
extern float ControlTorque[2];

// Stick pusher.
extern int32_t PusherHoldCountdown;
extern int32_t PusherPushCountdown;
extern int32_t PusherBudget;

// Flag bytes of the gear and configuration logic, read by the warning
// tones; the up-request byte is the handle-moving byte, set when the gear
// handle moves and cleared by the gear sound.
enum GearFlagByte : int {
    kGearFlagWarning = 0,         // gear warning horn request
    kGearFlagTakeoffWarning = 1,  // overspeed / take-off configuration warning
    kGearFlagUpRequest = 2,       // the handle moved
    kGearFlagTailStrike = 3,      // written by the tail-strike sound
    kGearFlagCount
};
extern uint8_t GearFlags[kGearFlagCount];
// The handle-down countdown and the horn-silenced byte written by the gear
// gauge.
extern uint8_t GearWarningTestCount;
extern uint8_t GearWarningRequest;

// Copilot panel.
extern int32_t flight_controls_COPILOT_antiskid_sw;
extern int32_t CopilotPanelTimer;
extern uint8_t CopilotSwitchPowered;
extern double flight_controls_FF_TRIM;

void NoseSteeringUpdate();
void FlightSurfacesUpdate();
void GearHandleUpdate();
void TorqueEffectsUpdate();
void StickPusherUpdate();
void GearSequenceUpdate();

void FlightControlsStateSave(const char* path);
// A value out of range (flap selection 0..4, gear 0 or 16383, antiskid
// -1..1) leaves its variable unchanged.
void FlightControlsStateLoad(const char* path);

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
