// Air conditioning and pressurisation: two packs fed by engine bleed air,
// temperature control of the flight compartment (zone 1) and the cabin
// (zone 2), the cabin pressure controller with its outflow valve, and the
// battery temperature readouts.
//
// AirConditioningUpdate and PressurisationUpdate run on every second
// systems tick, in that order, after the one-shot cabin reset. Temperatures
// are in degrees C, pressures in hPa unless a name says otherwise.
#pragma once

#include <cstdint>

namespace zu {

struct AirConditioningRecord {
    int32_t RecircFan;     // recirculation flag 0/1 (fan switch on, left secondary bus)
    int32_t PackValue[2];  // pack flow per pack
    // Battery temperature readouts, degrees C: [0] main, [1] auxiliary.
    float battery_temperature[2];
    // Their values at the last pass, for the redraw trigger below.
    float battery_temperature_last[2];
    // Armed with 20 when a readout rose by more than 0.5 degrees; the
    // battery-temperature meter redraws while it runs.
    int32_t battery_redraw_countdown;
    float PackOutletTemperature[2];
    float MeanFlow;               // F
    float MeanOutletTemperature;  // M
};
extern AirConditioningRecord AirConditioningState;

// The zones: [0] flight compartment, [1] cabin.
struct AirConditioningValuesRecord {
    float ZoneValve[2];        // 0..100 %, initial 50
    float ZoneTemperature[2];  // initial 15
    float DuctTemperature[2];
};
extern AirConditioningValuesRecord AirConditioningValues;

// The readouts above this temperature light "MAIN BAT HOT" / "AUX BAT HOT".
inline constexpr float kBatteryHotDegrees = 68.0f;

// Packs' bleed flow is limited to this value of the engines' bleed words.
inline constexpr int32_t kBleedFlowLimit = 46;

struct PressurisationStateRecord {
    float Differential;    // cabin differential pressure, psi
    float Rate;            // cabin rate, ft/min
    float OutflowValve;    // 0..100 %, initial 100
    double CabinPressure;  // initial 1013
    float CabinAltitudeLast;
    float RateLast;
    float ReferenceCabinAltitude;  // the cabin altitude last seen on the ground
    int32_t ManualPosition;        // the manual-position word
    float TargetError;             // e of the automatic controller
};
extern PressurisationStateRecord PressurisationState;

struct PressurisationState2Record {
    float CabinAltitude;  // feet
};
extern PressurisationState2Record PressurisationState2;

// Set at start: the next even tick copies the ambient pressure into the
// cabin before the packs run, then clears it.
extern uint8_t CabinPressureResetRequest;

// The one-shot cabin reset (when requested).
void CabinPressureReset();
void AirConditioningUpdate();
void PressurisationUpdate();

}  // namespace zu
