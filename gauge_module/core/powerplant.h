// Engine, propeller and fuel state of the powerplant simulation, as the
// systems tick computes it and the engine instruments and panels read it.
#pragma once

#include <atomic>
#include <cstdint>

namespace zu {

// Powerplant state shared with the engine panels and instruments.
struct PowerplantStateRecord {
    // Published torque per engine, percent (the torque needles read it).
    double Torque[2];
    // Torque dip per engine: loaded by the engine-control panel, read and
    // counted down only by the torque needles, which show 0 while it runs.
    int32_t TorqueDipCountdown[2];
    // Autofeather test switch per engine (0 off); the torque needle shows
    // the test torque while it is on.
    int32_t AutofeatherTestSwitch[2];
};
extern PowerplantStateRecord PowerplantState;

// Engine-control torque reference word per engine; the engine-manual step
// keeps it at 16000. The torque reference needles read it.
extern int32_t TorqueBugValue[2];

// Low-pressure spool speed per engine, percent.
extern float NLValue[2];

// Light-off temperature rise per engine, added to the ITT during the first
// ticks of a start; 0 while the engine does not burn fuel.
extern float IttCorrection[2];

// Engine oil quantity per engine, quarts (initial 4.8 and 5.2).
extern float EngineOilQty[2];

// Fuel temperature, degrees Celsius.
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
    int32_t GearTransit;           // the gear panels re-evaluate while it is non-zero
    int32_t AutofeatherReturn[2];  // autofeather spring-switch returns (100)
};
extern SystemTimers2Record SystemTimers2;

// Lever and command values of the power levers, as the host-variable poll
// reads them and the power-lever step turns them into the commands the key
// events send (per engine).
extern double HostThrottleLever[2];      // the simulator's lever value (initial 3000.0)
extern int32_t HostThrottleInput[2];     // the simulator's throttle axis (initial -4096)
extern int32_t PowerLeverPosition[2];    // 128 (full reverse) .. 24000 (initial 3000)
extern int32_t PropControlDemand[2];     // propeller-control demand (initial -4096)
extern double ThrottleCommand[2];        // throttle sent to the simulator (initial -128.0)
extern int32_t ConditionCommand[2];      // propeller-lever value sent to the simulator
extern int32_t PropFeatherCountdown[2];  // initial 12
extern uint8_t PropFeatherHold[2];       // feather-hold flag of the oil step
extern double PropFeatherHeldAngle[2];   // blade angle held while it is set (radians)
extern int32_t Powerplants_engine_ign1;  // ignition selectors 0..2
extern int32_t Powerplants_engine_ign2;
extern int32_t Powerplants_controls_throttle_limiter;  // initial 1
// Propeller speed the governor is set to, rpm, per engine.
extern double PropRpmCommand[2];

// The lever value shown by the engine-control panel, per engine
// (-4096..16383).
extern int32_t PowerLeverValue[2];
// The disconnect button on the power levers (1 = pressed); the flight
// guidance acts on it as on the go-around request and clears it.
extern std::atomic<uint8_t> ApDisconnectRequest;
}  // namespace zu
