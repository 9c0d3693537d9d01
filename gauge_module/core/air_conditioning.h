// Air conditioning: packs, zone temperatures and the battery temperature
// readouts.
//
// Only the battery temperature readouts are here so far (the electrical
// meters show them and the caution logic lights "MAIN/AUX BAT HOT" from
// them); the air-conditioning step that recomputes them every 2nd tick
// comes with its system.
#pragma once

#include <cstdint>

namespace zu {

struct AirConditioningRecord {
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

}  // namespace zu
