// Air data and clocks, and the cockpit voice recorder's self-test.
//
// Only what other systems read and the panels write is here so far: the
// barometric altitudes, the air-data test switch with its two timers and the
// recorder test. The air-data step that counts them comes
// with its system.
#pragma once

#include <cstdint>

namespace zu {

// Barometric altitudes of both sides (feet), corrected with the altimeter
// settings by the barometric-altitude step.
extern float BaroAltitude1;
extern float BaroAltitude2;

extern int32_t AdcTestSwitch;  // +1 upper, -1 lower, 0 centre
extern int32_t AdcTestTimer1;  // ticks; armed with kAdcTestTicks by the upper position
extern int32_t AdcTestTimer2;  // ticks; armed with kAdcTestTicks by the lower position
inline constexpr int32_t kAdcTestTicks = 120;

// Recorder self-test: the CVR_panel TEST button arms the timer while no
// test runs (CvrTestReady set); the recorder step counts it down.
extern int32_t CvrTestTimer;
extern uint8_t CvrTestReady;
inline constexpr int32_t kCvrTestTicks = 1800;

// Altitude alerter's selected altitude, feet (saved).
extern int32_t AIRDATA_comp_selected_alt;
// The altitude each side's altimeter shows, feet.
extern int32_t AltimeterShownAltitude1;
extern int32_t AltimeterShownAltitude2;

}  // namespace zu
