// Air data and the two cockpit clocks. Each systems tick the air-data step
// computes both sides' baro-corrected altitudes and runs the air-data and
// recorder test timers; then each clock keeps time of day, elapsed flight
// time and a chronometer and formats its three two-digit fields for the
// clock gauges.
#pragma once

#include <cstdint>

namespace zu {

// Altimeter setting of one side, as the altimeter knobs write it.
struct AltimeterBaroSettingRecord {
    float hpa;         // initial 1013.25, floor 900
    float inhg;        // hpa x 0.02952874413720553
    int32_t off_flag;  // OFF-flag travel 0..12
};
extern AltimeterBaroSettingRecord Altimeter1Baro;
extern AltimeterBaroSettingRecord Altimeter2Baro;

inline constexpr double kFeetPerHpa = 30.41104612602;
inline constexpr float kAirDataTestAltitude = 999.9f;

extern float BaroAltitude1;  // feet
extern float BaroAltitude2;

// The air-data test switch on the pilot's side panel: +1 upper, -1 lower,
// 0 centre; the upper position arms the first timer, the lower the second.
extern int32_t AdcTestSwitch;
inline constexpr int32_t kAdcTestTicks = 120;
extern int32_t AdcTestTimer1;
extern int32_t AdcTestTimer2;
extern int32_t CvrTestTimer;  // 1800 from the recorder panel
extern uint8_t CvrTestDone;   // 1 while no recorder test runs
inline constexpr int32_t kCvrTestTicks = 1800;

// Altitude alerter's selected altitude, feet (saved).
extern int32_t AIRDATA_comp_selected_alt;

struct ClockStateRecord {
    int32_t time_of_day[3];  // seconds, minutes, hours
    int32_t elapsed[3];
    int32_t chrono[3];
    int32_t display_mode;    // 0 time of day, 1 elapsed, 2 chronometer
    int32_t chrono_control;  // 1 run, -1 reset, 0 hold
    int32_t set_control;     // -1 advance, 1 take the entered value, 0 none
    uint8_t entered_value;   // 0..59
    int32_t second_control;  // switch B
    int32_t display_bright;  // 1 while switch B is held at -1
    char texts[3][4];        // seconds, minutes, hours as "%02d"
    uint8_t last_second;
    int32_t mode_switch = -1;  // the clock's mode switch; display mode = switch + 1
};
extern ClockStateRecord Clock1State;
extern ClockStateRecord Clock2State;

// The systems-tick steps.
void AirDataUpdate();
// Clock 0 or 1; its pending-seconds byte is ClockSetBytes[index].
void ClockUpdate(int index);

// Writes the selected altitude to the saved flight; false on a write error.
bool AirDataStateSave(const char* path);

// The altitude each side's altimeter shows, feet.
extern int32_t AltimeterShownAltitude1;
extern int32_t AltimeterShownAltitude2;

// The side-1 altimeter's flag as the instructor sets it: 255 shown, 0 not.
extern uint8_t Altimeter1FlagVisible;
// The instructor's value that shows it.
inline constexpr double kAltimeterFlagShownValue = 100368.0;

}  // namespace zu
