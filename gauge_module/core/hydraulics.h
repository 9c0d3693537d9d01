// Hydraulic systems: two systems, each with a reservoir, an engine-driven
// pump (EDP) and a standby pump, joined by a power transfer unit (PTU), and
// the consumer pressures the flight controls, the gear, the brakes and the
// hydraulic gauges read.
//
// HydraulicsDriver runs on every second systems tick. The consumers are
// numbered 8..18 after the instructor's state table (entry k is consumer
// k); docs/hydraulics.md lists each word's role.
#pragma once

#include <cstdint>

namespace zu {

// Elements of the instructor's hydraulics table (HydraulicsInstructorStates).
enum HydraulicElement : int {
    kHydElemStandbyPump1 = 0,
    kHydElemMainLine1 = 1,
    kHydElemMainLine2 = 2,
    kHydElemEdp1 = 3,
    kHydElemEdp2 = 4,
    kHydElemStandbyPump2 = 5,
    kHydElemPtu1 = 6,
    kHydElemPtu2 = 7,
    kHydElemFlapDrive = 8,      // consumer 8
    kHydElemSpoilers1 = 9,      // consumer 9
    kHydElemBrakes = 10,        // consumer 10
    kHydElemConsumer11 = 11,    // carries no load
    kHydElemRudder1 = 12,       // consumer 12
    kHydElemSpoilers2 = 13,     // consumer 13
    kHydElemParkingBrake = 14,  // consumer 14
    kHydElemGear = 15,          // consumer 15
    kHydElemUtility2 = 16,      // consumer 16
    kHydElemRudder2 = 17,       // consumer 17
    kHydElemConsumer18 = 18,    // carries no load
};

// The two hydraulic systems.
struct HydraulicsStateRecord {
    int32_t SystemPressure[2];  // psi
    int32_t GearPressure;       // the gear actuators' supply (consumer 15), psi

    double Reservoir[3];     // quarts: system 1, system 2, the PTU-fed side of system 2
    double PumpFactor[3];    // 6 with fluid enough, less when a reservoir runs low
    int32_t EdpPressure[2];  // psi
    int32_t EdpFlowFactor[2];
    int32_t StandbyOutput[2];  // psi
    uint8_t System2Weak;       // 0 / 255
    uint8_t PtuSwitchFlag;     // 0 / 255, from StbyPumpToggle
    uint8_t PtuAutoCommand;    // 0 / 255
    uint8_t PtuRunning;        // 1 while the PTU pushed system 2 on the last pass
    int32_t FlapMotionCountdown;
    int32_t Consumer[19];  // outputs of consumers 8..18 (psi); 0..7 unused
    int32_t Consumer9Copy;
    int32_t Consumer13Copy;
    int32_t Consumer16Copy;
    // Heat terms and displayed fluid temperatures (degrees C): EDP 1, EDP 2,
    // standby pump 1, standby pump 2.
    float HeatTerm[4];
    float FluidTemperature[4];
    // Values of the last pass.
    int32_t LastSystemPressure[2];
    int32_t LastFlapSelection;
    int16_t LastParkingBrake;
};
extern HydraulicsStateRecord HydraulicsState;

// The parking-brake accumulator (psi, initial 3000).
struct HydraulicFluidStateRecord {
    int32_t Accumulator;
};
extern HydraulicFluidStateRecord HydraulicFluidState;

// Words the flight controls and the landing gear read (psi).
extern int32_t FlapsHydraulicPressure;  // consumer 8, the flap drive
extern int32_t RudderPressure[2];       // consumers 12 and 17
// The roll-spoiler actuators: left inboard, left outboard, right inboard,
// right outboard. The inboard pair is consumer 9 and its copy (system 1),
// the outboard pair consumer 13 and its copy (system 2, cut above 150 kt).
// The PFCS needles move only above 400.
extern int32_t RollSpoilerPressure[4];
// The flap-motion countdown: at least 1 while the flap drive is asked to move.
extern int32_t FlapHydraulicWord;

// Standby-pump selectors per side (1 auto, 2 on; initial 1).
extern int32_t StbyHydPumpSelect[2];
// PTU switch word, toggled by the standby hydraulic panel's push-button
// (0 off, 255 on; it goes on only with system 1 above 1500 psi).
extern int32_t StbyPumpToggle;

// Leak factor applied to a reservoir on each pass a leaking element works;
// the instructor link sets it (cabin_link/instructor_state_exchange.h:
// HydraulicDecayFactor).

// One pass of the hydraulic simulation.
void HydraulicsUpdate();
// HydraulicsUpdate, then the hydraulic timer := 15 when a system pressure
// changed since the last pass.
void HydraulicsDriver();

}  // namespace zu
