// Autopilot control laws: per FGC a cascade that turns the active modes and
// targets of the mode logic into flight-director bars and, with the
// autopilot engaged, into roll and pitch servo demands that the host pass
// sends to the simulator (FscomTrimming). FGC 1's set is ApControlLaws,
// FGC 2's ApControlLaws2; each runs at the end of its FGC step after a fresh
// FSUIPC poll.
#pragma once

#include <cstdint>

namespace zu {

// Flight-director bars, degrees: roll +-20, pitch +-13.
extern double FlightDirectorRollCommand;
extern double FlightDirectorPitchCommand;
extern double FlightDirectorRollCommand2;
extern double FlightDirectorPitchCommand2;

// Servo demands of the engaged autopilot: roll +-15500 (0 when not engaged),
// pitch +-1.5 (FGC 1) and +-1.0 (FGC 2).
extern int32_t ApRollServoOutput;
extern double ApPitchServoOutput1;
extern double ApPitchServoOutput2;
// Servo valid (the FGC supply) and fault flags read by the servo output.
extern uint8_t FgcServoValid[2];
extern uint8_t FgcServoFault[2];

// Working state of one law set.
struct ApLawState {
    double intercept;         // +-45
    double integrator;        // +-3
    int32_t integrator_hold;  // passes
    int32_t last_course;      // whole degrees
    double roll_rate_demand;
    double pitch_rate_demand;
    double turn_compensation;
};
extern ApLawState ApLaw1;
extern ApLawState ApLaw2;

void ApControlLaws();
void ApControlLaws2();

}  // namespace zu
