// The instructor link on the systems tick: turns each received instructor
// message into aircraft state and a reply, and holds the state the
// instructor sets for the systems to read.
//
//  - DataRequest: answered with the group's values (readings of the
//    aircraft) and states (the group's instructor table), kind DataReply.
//  - SetValue: one entry of the group's instructor table; acknowledged.
//  - BulkSet (group 15): a whole set of target values that the host pass
//    moves the aircraft towards, frame by frame, while
//    RemoteDisplayCountdown runs (InstructorSmoothValues); acknowledged.
// Only replies built here are sent; a received Acknowledge or DataReply,
// or any unknown kind, gets no answer.
//
// Input checks: an index, identifier or state is used only when it is a
// finite number whose whole part lies in range (an index inside its table,
// a state inside the 32-bit range); anything else is not stored (a SetValue
// is still acknowledged, so the panel's command protocol moves on). A
// BulkSet takes at most 512 items; an item with a non-finite identifier or
// target is kept as identifier 0, which changes nothing.
//
// Tables are written on the tick thread and read by the systems (tick) and
// by gauges (gauge thread) as whole aligned 32-bit words.
#pragma once

#include <atomic>
#include <cstdint>

#include "cabin_link/instructor_message.h"

namespace zu {

// ---------------------------------------------------------------------------
// Instructor state tables, one per system group (0 = no failure). The
// meaning of each entry is given with the group's constants in
// instructor_message.h.

extern int32_t HydraulicsInstructorStates[kHydraulicsStateCount];
extern int32_t FlightSurfacesInstructorStates[kFlightSurfacesStateCount];
// Copied into Electrics_sys by the electrical step; entry 25 (breaker F5) is
// cleared again after use.
extern int32_t ElectricsInstructorStates[kElectricsStateCount];
// Bit 0 of entry 0 makes the head-up guidance declare its approach status
// not available.
extern int32_t AvionicsInstructorStates[kAvionicsStateCount];

// Powerplant failure and state words of the instructor (23 entries);
// entries 11 and 22 are oil refill tokens, cleared by the oil step after use.
inline constexpr int kPowerplantsInstructorStateCount = kPowerplantsStateCount;
extern int32_t PowerplantsInstructorStates[kPowerplantsInstructorStateCount];
// Engine failure bit sets: bit 0 engine failed, bit 4 spool decay, bit 5
// hot start, bit 6 oil leak, bit 7 starter failed; value 8 is the fire bit.
inline int32_t& EngineFailureWord1 = PowerplantsInstructorStates[kPpEngine1];
inline int32_t& EngineFailureWord2 = PowerplantsInstructorStates[kPpEngine2];

// Per-pass decay of the hydraulic simulation, set from the leak speed
// (hydraulics state 19): 0.979 at speed 100 .. 0.999 at speed 0.
extern double HydraulicDecayFactor;  // initial 0.995

// Values the instructor supplies for display; shown while
// RemoteDisplayCountdown runs.
struct InstructorDisplayRecord {
    double itt[2];        // per engine
    double fuel_flow[2];  // per engine
    uint8_t prop_ground_lamp[2];
    double spoiler[4];
    double ball;
};
extern InstructorDisplayRecord InstructorDisplayValues;

// ---------------------------------------------------------------------------
// Bulk targets (BulkSet) and the repositioning burst

inline constexpr int kRemoteTargetCapacity = 512;
inline constexpr int32_t kRemoteBurstFrames = 750;  // RemoteDisplayCountdown on a BulkSet
// Identifiers the smoothing treats specially.
inline constexpr int32_t kRemoteIdHeading = 53;
inline constexpr int32_t kRemoteIdFrameNumber = 116;
// A value above this counts as "on" for the switch-like identifiers; targets
// at or above it are never glided to.
inline constexpr double kRemoteOnThreshold = 100000.0;

extern int32_t RemoteTargetInts[kRemoteTargetCapacity];    // identifier per item
extern double RemoteTargetValues[kRemoteTargetCapacity];   // target per item
extern int32_t RemoteValueCount;                           // items in use
extern double RemoteCurrentValues[kRemoteTargetCapacity];  // smoothed value per item
extern double RemoteStepValues[kRemoteTargetCapacity];     // per-call step per item
// 1 when new targets arrived (tick -> gauge thread).
extern std::atomic<uint8_t> RemoteValuesSetFlag;
// Set by the first smoothing call of a burst, after the preset.
extern uint8_t RemoteBurstStarted;
// HostPassCounter at the last target update.
extern uint32_t RemoteLastUpdatePass;

// Link-side state the bulk identifiers write.
extern uint8_t RemoteApMirror;  // autopilot-engage mirror (255 / 0)
extern uint8_t RemoteYdMirror;  // yaw-damper mirror (255 / 0)
// Which sides the remote source engages (bit 0 side 1, bit 1 side 2);
// copied into the engaged words while a mirror byte is set.
extern int32_t RemoteApEngageWord;
extern uint8_t RemoteSourceDisplay[2];  // remote-source display bytes (1 / 0)
extern int32_t RemoteFrameNumber;       // the sender's frame number
extern int32_t RemoteFrameNumberSeen;   // ... at the last climb-rate update
extern float RemoteAltitudeAtChange;    // Altitude at that update
extern double RemoteClimbRate;          // feet per minute, kept between updates

// ---------------------------------------------------------------------------
// Routines

// Systems tick, while NetworkReceiveFlag is set: lowers the flag and decodes
// every waiting message, queueing each reply for its sender; after the last
// one it wakes the network thread once to write them.
void InstructorProcessMessage();

// Decodes InstructorMessageBuffer and builds the reply in it; true when a
// reply (Acknowledge or DataReply) was built and must be sent.
bool InstructorDecodeMessage();

// The value at `index` of a group's DataReply; 0 for an index or group with
// no value.
double InstructorGetValue(int group, int index);

// Per-group value sources. Each is a switch over the group's value indices
// (constants in instructor_message.h) reading the owning system's state.
// Values whose system is not part of the module yet read 0; when such a
// system arrives, its engineer replaces the `return 0` of those indices with
// a read of the new state (and nothing else changes).
double InstructorHydraulicsValue(int index);
double InstructorFlightSurfacesValue(int index);
double InstructorPowerplantsValue(int index);
double InstructorElectricsValue(int index);
double InstructorAvionicsValue(int index);

// Stores one bulk target (identifier 1..122) into the aircraft state: the
// flight-guidance test countdowns are cleared, the identifier's row is
// applied, then autopilot 1 and yaw damper 1 follow the remote engage word
// and the gear handle follows the radio altitude (up above 1000 ft, down
// below).
void InstructorApplyValue(int32_t id, double value);

// Host pass, twice per frame while RemoteDisplayCountdown is above 0: moves
// the aircraft state towards the bulk targets.
void InstructorSmoothValues();

}  // namespace zu
