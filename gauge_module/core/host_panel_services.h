// Access to the simulator through its panel service table: module variables
// looked up by token (slot 40), key events sent with a value (slot 36), and
// the start-up hold of the host input and output.
//
// Three steps use it every frame, all on the gauge thread:
//  - HostVarsPoll, at the start of the host pass, refreshes the records of
//    HostVariables and turns them into the module's flight, engine and
//    control values (with the on-ground hold and the split power-lever
//    synchronisation);
//  - HostKeyEventsSend, later in the host pass, sends the start-up events
//    once and then the throttle, propeller-lever, start, flight-control,
//    trim, flap, light and brake events on change;
//  - FscomTrimming, on the main gauge's update and draw services, sends the
//    autopilot's pitch-trim and aileron servo outputs and the rudder trim.
//
// On the systems tick, PilotTrimTimerStep runs out the pilot trim switch's
// request.
//
// Values the systems tick writes and these steps send (throttle outputs,
// powerplant values, servo outputs) are read without locks; the powerplant
// values are handed over with PowerplantValuesPending.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/flight_controls.h"
#include "core/powerplant.h"
#include "zu/platform/gauge_api.h"

namespace zu {

// Start-up hold of the host input and output: counted down once per frame
// by the main gauge's update service, set back to 8 by a failed FSUIPC link
// step. While it is above 0 the host variable poll reads only the first
// variable and the FSUIPC write batch does nothing.
inline constexpr int32_t kHostIoStartHold = 8;
extern int32_t HostIoStartDelay;

// Set once the start-up key events were sent; cleared by the main gauge's
// kill service so that a new install sends them again.
extern uint8_t StartupEventsSent;

// The on-ground flag kept from the host variable poll (the engine speeds
// are the powerplant's, core/powerplant.h).
// Non-zero (255) while the aircraft is on the ground.
inline int32_t OnGround = 0;

// Flight values from the host variable poll: indicated airspeed (knots)
// and altitude (feet).
inline float IndicatedAirspeed = 0.0f;
inline float Altitude = 0.0f;

// The simulator's combustion word per engine (low byte of its rounded
// value); bit 0 set while the engine burns fuel.
inline int32_t IttValue[2] = {0, 0};

// ---------------------------------------------------------------------------
// Host variables

// The records looked up by the poll, in the order they are read. Each entry
// holds the token number from load; the lookup refreshes it in place.
enum HostVarIndex : int {
    kHvTickCount,           // 1: the simulator's tick count
    kHvAmbientTemperature,  // 341
    kHvAmbientSecond,       // 800
    kHvIndicatedAirspeed,   // 61
    kHvSpeedValue,          // 64
    kHvAltitude,            // 73 (metres)
    kHvPressureAltitude,    // 74
    kHvOnGround,            // 60
    kHvBank,                // 79
    kHvPitch,               // 77
    kHvAdvisoryValue,       // 834
    kHvNavHeading,          // 82
    kHvHeading,             // 81
    kHvRadioAltitude,       // 614
    kHvVerticalSpeed,       // 65
    kHvPropPitch1,          // 703
    kHvPropPitch2,          // 711
    kHvItt1,                // 131
    kHvItt2,                // 166
    kHvEngineValueA1,       // 705
    kHvEngineValueA2,       // 713
    kHvPropRpm1,            // 700: propeller rpm of engine 1
    kHvPropRpm2,            // 708
    kHvLever1,              // 198: power lever of engine 1
    kHvLever2,              // 233
    kHvThrottleInput1,      // 199
    kHvThrottleInput2,      // 234
    kHvSpool1,              // 626: spool records of engine 1 and 2
    kHvSpool2,              // 645
    kHvSpool1b,             // 627
    kHvSpool2b,             // 646
    kHvEngineValueB1,       // 633
    kHvEngineValueB2,       // 652
    kHvEngineValue702,      // 702
    kHvFlapPosition,        // 328
    kHvFlightControlA,      // 320
    kHvFlightControlB,      // 321
    kHvSurface1,            // 784
    kHvSurface3,            // 786
    kHvGearHandle,          // 331
    kHvElevatorTrim,        // 785
    kHvTrimValue,           // 787
    kHvFuelTank1,           // 304
    kHvFuelTank2,           // 303
    kHvEngineAir1,          // 634
    kHvEngineAir2,          // 653
    kHvAirConditioning1,    // 147
    kHvAirConditioning2,    // 147 (second record)
    kHvReferencePressure,   // 348
    kHvVerticalSpeed70,     // 70
    kHvValue369,            // 369
    kHvRecord550,           // 550
    kHvNav31a,              // 31: VOR1 radio value
    kHvNav31b,              // 31 (second record): ADF1 radio value
    kHvNav40,               // NAV1 bearing
    kHvNav49,               // NAV2 bearing
    kHvNav59,               // NAV1 DME distance
    kHvNav50,               // NAV2 DME distance
    kHvNav58,               // NAV1 lateral deviation (byte form)
    kHvNav35,               // NAV2 lateral deviation (byte form)
    kHvNav39,               // ADF1 relative bearing
    kHvNav20,               // VOR2 radio value
    kHvMarkerBeacons,       // 354
    kHvWindSpeed,           // 343
    kHvWindDirection,       // 344
    kHvFlapsValue,          // 332
    kHvValue325,            // 325
    kHvStarter1,            // 563
    kHvStarter2,            // 573
    kHvCheck895,            // looked up every 16th pass by the key events
    kHvCheck896,
    kHvCheck897,
    kHvCheck898,
    kHvCheck891,
    kHvCheck892,
    kHvCheck364,
    kHvOilTemperature2,  // 182: engine 2's oil temperature (engine 1's is 147)
    kHostVariableCount,
};

extern gauge::HostVariable HostVariables[kHostVariableCount];

// Values the poll derives from the records.
extern int32_t HostTickCount;        // token 1, rounded
extern float AmbientTemperature;     // degrees Celsius (every 32nd tick)
extern double AmbientSecondValue;    // token 800 beside it
extern double HostSpeedValue;        // token 64 x 0.00005
extern float PressureAltitude;       // feet
extern float BankAttitude;           // degrees, -180..180
extern float PitchAttitude;          // degrees, negative nose up
extern double FgcAdvisoryHostValue;  // token 834, for the flight-guidance advisories
extern double NavHeading;            // the magnetic variation at the aircraft (degrees)
extern float Heading;                // degrees
extern double RadioAltitude;         // metres
extern double PropPitch1;            // blade angles (radians)
extern double PropPitch2;
extern float EngineHostValueA[2];  // tokens 705, 713
extern float EngineHostValueB[2];  // tokens 633, 652
extern double EngineHostValue702;
extern float FlapPosition;                // the simulator's flap handle value
extern float ControlSurfacePositions[3];  // [0] roll input, [2] the third surface
extern int32_t HostGearHandle;            // 0 up .. 16383 down
extern float ElevatorTrim;
extern double ElevatorTrimHostValue;          // token 787
extern int32_t FuelQuantity[2];               // tank 1 and tank 2
extern int32_t EngineAirValue[2];             // tokens 634, 653 (air conditioning, ice protection)
extern int32_t AirConditioningHostValues[2];  // token 147 x 0.0454545 - 101
extern double ReferencePressure;              // hPa (token 348 x 0.0628931); 1013.0 before the poll
extern int32_t VerticalSpeed;                 // token 70, rounded
extern int32_t HostValue369;
extern int32_t MarkerBeacons;
extern double WindData[2];      // [0] speed, [1] direction relative to NavHeading 0..360
extern int32_t HostFlapsValue;  // token 332 (flaps, ground proximity, named variables)
extern int32_t HostValue325;
extern double EngineStarterValue[2];  // tokens 563, 573, rounded
// The NAV1 and NAV2 bearings (degrees): the first token-31 record and the
// token-50 record, five places apart in the table.
extern double HostNavBearing[2];

// Hold of an airborne change of the on-ground flag, in host passes.
inline constexpr int32_t kOnGroundReleaseHold = 32;
extern int32_t OnGroundHold;

// ---------------------------------------------------------------------------
// Key-event and servo state

extern double ThrottleLastSent[2];      // last throttle output sent per engine
extern double PowerplantValuesSent[2];  // last powerplant values sent
extern double PropLeverLastSent[2];     // last propeller-lever output sent
extern uint8_t RudderDriven;            // the rudder is being driven by the joystick
extern uint8_t ThrottleLimiterSent;     // the throttle limiter's elevator hold is out
extern uint8_t TrimInhibit;             // set while a trim failure holds the trim
extern uint8_t TrimInhibitPrevious;     // last TrimInhibit the write batch saw
extern double TrimRunValue;             // trim run-away value of the trim failures
extern float TrimOutput;                // sent to the simulator by the write batch
extern float TrimOutputKept;            // last trim output that re-armed the display
extern int32_t TrimDisplayCountdown;    // 128 after the trim output moved
extern int32_t FlapDetentSent;          // last flap detent sent
extern int32_t KeyEventPairSent[2];     // last OR of each on/off panel word pair
extern int32_t LandingLightCopy;        // last landing-light switch seen
extern int32_t BrakeCountdown;          // frames until the brakes are looked at again
extern uint8_t BrakesApplied;
extern uint8_t ThrottlesReleased;    // the once-per-life throttle release was sent
extern uint8_t LoadingWindowOpened;  // the loading window was opened
// The autopilot servo output.
extern uint8_t ApServoEngaged;
extern int32_t ElevatorTrimOut;  // trim output sent with the servo event
extern int32_t RudderTrimSent;   // last rudder trim sent

// The panel window shown while a saved flight is loading.
inline constexpr uint32_t kLoadingPanelWindow = 76;

// Key events, by their simulator numbers.
inline constexpr uint32_t kEvtAxisA = 0x10181;
inline constexpr uint32_t kEvtAxisB = 0x10182;
inline constexpr uint32_t kEvtThrottle1 = 0x10183;
inline constexpr uint32_t kEvtThrottle2 = 0x10184;
inline constexpr uint32_t kEvtThrottle3 = 0x10185;
inline constexpr uint32_t kEvtThrottle4 = 0x10186;
inline constexpr uint32_t kEvtPowerplant1 = 0x1011C;
inline constexpr uint32_t kEvtPowerplant2 = 0x1011D;
inline constexpr uint32_t kEvtStarter1 = 0x1018C;
inline constexpr uint32_t kEvtStarter2 = 0x10192;
inline constexpr uint32_t kEvtPropLever1 = 0x1017F;
inline constexpr uint32_t kEvtPropLever2 = 0x10180;
inline constexpr uint32_t kEvtRudder = 0x100A0;
inline constexpr uint32_t kEvtElevator = 0x1009E;
inline constexpr uint32_t kEvtAileron = 0x1009F;
inline constexpr uint32_t kEvtFlaps = 0x100A2;
inline constexpr uint32_t kEvtElevatorTrim = 0x100AA;
inline constexpr uint32_t kEvtRudderTrim = 0x100FA;
inline constexpr uint32_t kEvtBrakeLeft = 0x10307;
inline constexpr uint32_t kEvtBrakeRight = 0x10308;
inline constexpr uint32_t kEvtTrimDown = 0x10047;
inline constexpr uint32_t kEvtTrimUp = 0x1004F;
inline constexpr uint32_t kEvtLandingLightsOff = 0x1014A;
inline constexpr uint32_t kEvtLandingLightsUp = 0x10147;

// ---------------------------------------------------------------------------
// Values of systems the host exchange reads that are not part of the module
// yet. They keep these initial values until their systems write them.

// Flight controls and landing gear (the flap detent, steering, yaw and
// gating values are the flight controls', core/flight_controls.h).
extern uint8_t RudderInputInhibit;

// Instructor link.
extern double RemotePositionValues[3];  // gate (> 7.0), northing, easting (nm)

// Pilot side panel.
extern uint8_t PilotPanelFlag;
extern int32_t PilotTrimRequest;       // +1 / -1 trim request
extern int32_t PilotTrimTimer;         // ticks; armed with 8 with each trim request
extern int32_t PilotPanelOverride;     // -1 / 0 / +1 power-lever override
extern int32_t KeyEventPanelWords[4];  // two pairs of on/off panel words

// ---------------------------------------------------------------------------
// Routines

// Looks a record up through the simulator's lookup service (nothing when
// the service is missing).
void LookupHostVariable(gauge::HostVariable* var);
// Sends a key event with its value (nothing when the service is missing).
void SendKeyEvent(uint32_t event, uint32_t value);

void HostVarsPoll();
void HostKeyEventsSend();
void FscomTrimming();
// Systems tick: counts the pilot trim switch's timer down; when it has run
// out the trim request returns to 0, so one click trims for the timer's
// ticks and the switch springs back to its centre.
void PilotTrimTimerStep();

}  // namespace zu
