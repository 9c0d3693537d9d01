// Engine, propeller and fuel state of the powerplant simulation, as the
// systems tick computes it and the engine instruments and panels read it.
//
// The tick runs, in this order: PropRpmUpdate (only while no powerplant
// values are pending for the key events), then PowerLeversUpdate,
// EngineStartUpdate, EnginePressureLights, EngineOilUpdate,
// EngineManualLights, FuelUpdate, AutofeatherUpdate and
// PilotPanelRequestUpdate; later, after the landing gear,
// AutofeatherTimers. The simulator flies the engines; these steps turn the
// cockpit's levers, switches and failures into the commands the key-event
// step sends (ThrottleCommand, PropControlDemand, ConditionCommand and the
// start flags) and into the values the instruments show. Index 0 is
// engine 1, index 1 engine 2 throughout.
#pragma once

#include <atomic>
#include <cstdint>

namespace zu {

// Status bytes of the propeller oil system that the instructor station's
// propellers page shows (each 0 or 1, written by the oil step): a component
// reads 1 while it works or acts, a line while it carries oil. The run holds
// pairs (engine 1's byte, then engine 2's) from byte 1 and one block of five
// bytes per engine from byte 13; the three flag rows hold the rest.
inline constexpr int kStatusByteRunSize = 23;
inline constexpr int kOilStatusFlagsASize = 9;
inline constexpr int kOilStatusFlagsBSize = 6;
inline constexpr int kOilStatusFlagsCSize = 6;
namespace status_byte {
// The run: engine 1's engine-to-ECU line (engine 2's is OilStatusFlagsA 0).
inline constexpr int kEcuLine1 = 0;
// Pairs, engine e at byte + e.
inline constexpr int kGovernor = 1;            // p: status enabled, propeller oil
inline constexpr int kStandbyOilLine = 3;      // standby oil to standby pump
inline constexpr int kPumpToGovernorLine = 5;  // PCU pump to governor
inline constexpr int kEngineOilLine = 7;       // engine oil to PCU pump
inline constexpr int kOsgvToMfvLine = 9;       // q: past the OSGV
inline constexpr int kStandbyToAfvLine = 11;   // standby pump to AFV
// Engine e's block starts at kEngineBlock + kEngineBlockSize * e.
inline constexpr int kEngineBlock = 13;
inline constexpr int kEngineBlockSize = 5;
inline constexpr int kPcuPump = 0;  // the oil supply is up
inline constexpr int kNormal = 1;   // the governor governs undisturbed
inline constexpr int kAfv = 2;      // r and feather direction
inline constexpr int kMfv = 3;      // q and lever
inline constexpr int kOsgv = 4;     // p and overspeed
// OilStatusFlagsA.
inline constexpr int kEcuLine2 = 0;
inline constexpr int kDriveLine = 7;  // engine drive to PCU pump, engine e at 7 + e
// OilStatusFlagsB.
inline constexpr int kSynchrophaserLine = 0;
inline constexpr int kEngine2Oil = 1;    // engine 2's oil supply is up
inline constexpr int kAfvToMfvLine = 4;  // engine e at 4 + e
// OilStatusFlagsC: the two segments of the line from the MFV to the PCU,
// engine e at 0 + e and 4 + e.
inline constexpr int kMfvToPcuLine = 0;
inline constexpr int kMfvToPcuLine2 = 4;
}  // namespace status_byte

// Powerplant state shared with the engine panels and instruments.
struct PowerplantStateRecord {
    // Published torque per engine, percent (the torque needles read it).
    double Torque[2];
    // Torque dip per engine: loaded by the engine-control panel, read and
    // counted down only by the torque needles, which show 0 while it runs.
    int32_t TorqueDipCountdown[2];
    // Published spool value (Nh x 288, x 0.9 with the oil run out) and fuel
    // pressure (Nh x 218, 0 without fuel feed) per engine.
    int32_t SpoolValue[2];
    int32_t FuelPressure[2];
    // The simulator's oil temperature record per engine (tokens 147 and
    // 182, (degrees C + 101) / 0.0454545); only oil running out reaches
    // 10000.
    double OilTemperatureWord[2];
    // EGC selector (0..2), set by the engine-control panel.
    int32_t EgcSelector;
    // The propeller oil system's status bytes (see status_byte above).
    uint8_t StatusBytes[kStatusByteRunSize];
    uint8_t OilStatusFlagsA[kOilStatusFlagsASize];
    uint8_t OilStatusFlagsB[kOilStatusFlagsBSize];
    uint8_t OilStatusFlagsC[kOilStatusFlagsCSize];
};
extern PowerplantStateRecord PowerplantState;

// Engine-control torque reference word per engine; the engine-manual step
// keeps it at 16000. The torque reference needles read it.
extern int32_t TorqueBugValue[2];

// Propeller speed per engine (rpm).
extern double PropRpm[2];

// High-pressure spool record per engine: spool speed Nh (percent), the
// lever activity, the lever blend weight (0..1) and the lever position of
// the last pass.
struct SpoolState {
    float nh;
    float lever_activity;
    float lever_weight;
    int32_t lever_position;
};
extern SpoolState Nh1State;
extern SpoolState Nh2State;

// Low-pressure spool speed per engine, percent.
extern float NLValue[2];

// Light-off temperature rise per engine, added to the ITT during the first
// ticks of a start; 0 while the engine does not burn fuel.
extern float IttCorrection[2];

// Engine oil quantity per engine, quarts (initial 4.8 and 5.2), and the
// standby oil of the propeller (initial 1.0).
extern float EngineOilQty[2];
extern float StbyOilQty[2];

// Fuel temperature, degrees Celsius (follows the ambient temperature).
extern float FuelTemp;

// Countdowns of the systems (32-bit each, decremented once per pass).
struct SystemTimersRecord {
    int32_t first;                // refresh trigger of the engine-control and fuel panels
    int32_t EngineStartReturn;    // engine-start selector spring return
    int32_t EngineStartTimer[2];  // held at 360 while a start runs, then counted down
    int32_t HydraulicTimer;
    int32_t IceTimer;
};
extern SystemTimersRecord SystemTimers;

// Second set of countdowns (32-bit each).
struct SystemTimers2Record {
    int32_t BatteryTempTest;       // battery-temperature test; the readouts hold while it runs
    int32_t AutofeatherReturn[2];  // autofeather spring-switch returns (100)
};
extern SystemTimers2Record SystemTimers2;

// Lever and command values of the power levers, as the host-variable poll
// reads them and the power-lever step turns them into the commands the key
// events send (per engine).
extern double HostThrottleLever[2];      // the simulator's lever value (initial 3000.0)
extern int32_t HostThrottleInput[2];     // the simulator's throttle axis (initial -4096)
extern int32_t PowerLeverPosition[2];    // 128 (full reverse) .. 24000 (initial 3000)
extern int32_t PowerLeverValue[2];       // shown by the engine-control panel
extern int32_t PropControlDemand[2];     // propeller-control demand (initial -4096)
extern double ThrottleCommand[2];        // throttle sent to the simulator (initial -128.0)
extern int32_t ConditionCommand[2];      // propeller-lever value sent to the simulator
extern float NhTarget[2];                // automatic mode's spool target, percent
extern int32_t PropFeatherCountdown[2];  // initial 12
extern uint8_t PropFeatherHold[2];       // feather-hold flag of the oil step
extern uint8_t PropFeatherFromOil[2];    // feather-from-oil flag of the oil step
extern double PropFeatherHeldAngle[2];   // blade angle held while it is set (radians)
extern int32_t PropBladeHoldCountdown[2];
extern int32_t Powerplants_engine_ign1;  // ignition selectors 0..2
extern int32_t Powerplants_engine_ign2;
extern int32_t Powerplants_controls_throttle_limiter;  // initial 1
// Propeller speed the governor is set to, rpm, per engine.
extern double PropRpmCommand[2];

// The host lever value each engine's lever position was last derived from
// (initial 25.0): a move beyond the threshold re-derives the position.
extern double PowerLeverLastHostValue[2];

// EGC switch per engine (0 automatic), written by the engine-control panel,
// and the engine manual flag (0 or 255).
extern int32_t EgcSwitch[2];
extern int32_t EngineManualFlag[2];

// Start in progress per engine (0/1): set by the START button, cleared by
// the start step; also the flag the start key events follow.
extern int32_t EngineStartRequest[2];

// Uptrim flag per engine (0/255): set on the engine that keeps running
// when the other is autofeathered.
extern int32_t UptrimFlag[2];

// Autofeather state of the autofeather panel and its step.
struct AutofeatherRecord {
    int32_t select;             // select switch (0 off)
    int32_t armed;              // 0/1
    int32_t test[2];            // test switch per engine (0 off, 255 on); the torque
                                // needle shows the test torque while it is on
    int32_t feather_switch[2];  // positive, 0 or negative
    float torque[2];            // filtered torque
    int32_t trigger[2];         // trigger countdown (300)
    int32_t feather[2];         // feather countdown (150)
    int32_t direction[2];       // feather direction (+1 / -1)
    int32_t test_light[2];      // test-light countdowns (100 when started)
    int32_t refresh;            // the panel's own refresh countdown
    int32_t select_previous;
    int32_t armed_previous;
    int32_t uptrim_had[2];  // which engine had the uptrim when it was cleared
};
extern AutofeatherRecord Autofeather;

// Fuel system: transfer switch (-1/0/+1), the two transfer valves, the left
// and right valves and the two fuel-panel switches.
struct FuelSystemRecord {
    int32_t transfer_switch;
    int32_t transfer_valve[2];
    int32_t left_valve;
    int32_t right_valve;
    int32_t panel_switch[2];
};
extern FuelSystemRecord FuelSystemState;

// Filtered torque per engine (percent) and its smoothing count.
extern float TorqueFiltered[2];
extern int32_t TorqueSmoothCount[2];

// Oil and propeller status per engine for the instructor station: the
// Nh-above-8, oil-supply, standby-oil, propeller-oil, overspeed, lever,
// feather-direction and normal states, and the governor cascade outputs.
struct EngineOilStatusRecord {
    uint8_t has_oil_pressure;
    uint8_t nh_above_8;
    uint8_t oil_supply;
    uint8_t standby_oil;
    uint8_t prop_oil;
    uint8_t status_enable;
    uint8_t overspeed;
    uint8_t lever;
    uint8_t feather_direction;
    uint8_t p;
    uint8_t p_overspeed;
    uint8_t q;
    uint8_t q_lever;
    uint8_t r;
    uint8_t r_feather;
    uint8_t normal;
};
extern EngineOilStatusRecord EngineOilStatus[2];

// Engine-model state kept between passes.
struct EngineModelRecord {
    float spool_copy;      // the rate limit starts from it
    float starter_factor;  // k, initial 1.0
    int32_t itt_last;      // last non-zero IttValue (initial 1)
    int32_t oil_watch;     // passes left before an oil watch cut-off
    double rpm_governed;   // the condition governor's copy of PropRpm
    int32_t ground_idle;   // return-to-ground-idle countdown
};
extern EngineModelRecord EngineModel[2];
// Synchrophaser correction added to engine 2's propeller speed (rpm).
extern float PropSyncCorrection;

// Power-lever mapping tables and thresholds.
inline constexpr int32_t kLeverRederiveThreshold = 32;
inline constexpr int32_t kStartTimerHold = 360;
inline constexpr int32_t kStartEndCountdown = 8;
inline constexpr int32_t kOilWatchPasses = 480;
inline constexpr int32_t kAutofeatherTrigger = 300;
inline constexpr int32_t kFeatherCountdown = 150;

void PropRpmUpdate();
void PowerLeversUpdate();
void EngineStartUpdate();
void EnginePressureLights();
void EngineOilUpdate();
void EngineManualLights();
void FuelUpdate();
void AutofeatherUpdate();
void PilotPanelRequestUpdate();
void AutofeatherTimers();
// The synchrophaser works while the copilot switch is powered and the
// instructor has not failed it.
bool SynchrophaserAvailable();

// The saved powerplant keys of a saved flight (section "zodudori").
void PowerplantStateSave(const char* path);
// Returns true when the success key was present. A value out of range
// leaves its variable unchanged.
bool PowerplantStateLoad(const char* path);
// 1 after a load that found the last key.
extern uint8_t PowerplantLoaded;

// The disconnect button on the power levers (1 = pressed); the flight
// guidance acts on it as on the go-around request and clears it.
extern std::atomic<uint8_t> ApDisconnectRequest;
}  // namespace zu
