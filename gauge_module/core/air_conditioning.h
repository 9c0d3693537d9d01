// Air conditioning and pressurisation: packs, zone temperatures, cabin
// pressure and the battery temperature readouts.
//
// Only the values other systems read are here so far; the air-conditioning
// and pressurisation steps that compute them come with their system.
#pragma once

#include <cstdint>

namespace zu {

struct AirConditioningRecord {
    int32_t RecircFan;     // recirculation fan word, non-zero while it runs
    int32_t PackValue[2];  // pack valve position per pack, 0..14
    // Battery temperature readouts, degrees C: [0] main, [1] auxiliary.
    float battery_temperature[2];
    // Their values at the last pass, for the redraw trigger below.
    float battery_temperature_last[2];
    // Armed with 20 when a readout rose by more than 0.5 degrees; the
    // battery-temperature meter redraws while it runs.
    int32_t battery_redraw_countdown;
};
extern AirConditioningRecord AirConditioningState;

// The readouts above this temperature light "MAIN BAT HOT" / "AUX BAT HOT".
inline constexpr float kBatteryHotDegrees = 68.0f;

struct PressurisationStateRecord {
    float Differential;  // cabin differential pressure, psi
    float Rate;          // cabin rate, ft/min
};
extern PressurisationStateRecord PressurisationState;

struct PressurisationState2Record {
    float CabinAltitude;  // feet
};
extern PressurisationState2Record PressurisationState2;

}  // namespace zu
