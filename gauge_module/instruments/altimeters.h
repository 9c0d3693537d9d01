// The pilots' drum-pointer altimeters and the standby altimeter.
//
// Each pilot's altimeter follows its side's baro altitude (BaroAltitude1/2
// of the air-data step) at 25 ft a frame while either essential bus is
// powered, shows it on a pointer (one turn per 1000 ft) and five drums,
// shows its setting in hPa and inHg, drops an OFF flag when the left
// essential bus fails or the side's air-data test runs, and lights its
// altitude-alert lamp. The standby altimeter works from pressure altitude
// and a setting of its own, without power.
//
// Six gauges, all in refresh group 2: Altimeter1, Altimeter2 (knob
// rectangles repeating while held), Altimeter1_touch, Altimeter2_touch,
// Stby Altimeter and Stby Altimeter_touch (four-zone drag knobs).
//
// Elements (all six): 0 lit face, 1 unlit face, 2/3 twenty-foot drum,
// 4 hundreds, 5 thousands, 6 ten-thousands, 7-10 hPa drums (lowest first),
// 11-14 inHg drums, 15 OFF flag, 16/17 pointer unlit/lit, 18 alert lamp,
// 19 lit overlay. The standby keeps 11-15 and 18 hidden.
//
// Mouse rectangles: 1 setting down, 2 setting up (plain gauges); touch
// zones 1-4 for zones 0-3 clockwise from the top left.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// The standby altimeter's setting.
struct StbyAltimeterBaroRecord {
    float hpa;   // initial 1013.25
    float inhg;  // hpa x kInHgPerHpa
};
extern StbyAltimeterBaroRecord StbyAltimeterBaro;

inline constexpr double kInHgPerHpa = 0.02952874413720553;
inline constexpr float kBaroSettingLow = 900.0f;
inline constexpr float kBaroSettingHigh = 1150.0f;
inline constexpr float kBaroSettingStep = 0.25f;
// The standby's pressure correction takes 1013.0 as its standard setting.
inline constexpr double kStbyStandardHpa = 1013.0;
// Largest step of a pilot's shown altitude per frame.
inline constexpr int32_t kShownAltitudeRate = 25;
inline constexpr int32_t kOffFlagTravel = 12;

// Drum state of one altimeter and the values its elements show.
struct AltimeterDrumState {
    float source;      // drum source altitude, feet (absolute value of the shown one)
    int32_t whole;     // its whole feet
    uint8_t negative;  // 1 while the shown altitude is below zero
    int32_t carry[4];  // the drums' last values (drum 0's carry, drums 1-3)
    int32_t drum[4];   // twenty-foot, hundreds, thousands, ten-thousands
    int32_t hpa[4];    // setting drums, lowest first
    int32_t inhg[4];
    int32_t pointer;  // degrees, zero at three o'clock
};
enum AltimeterIndex : int { kAltimeter1, kAltimeter2, kStbyAltimeter, kAltimeterCount };
extern AltimeterDrumState AltimeterDrums[kAltimeterCount];
// Last drag-knob zone of Altimeter1_touch, Altimeter2_touch, Stby Altimeter_touch.
extern int32_t AltimeterTouchZone[kAltimeterCount];

// The drum rules, exposed for tests: drum values of `feet` (whole, >= 0)
// with the carry of the pilots' altimeters or of the standby.
void AltitudeDrums(AltimeterDrumState* s, bool standby);
// Setting-window drums of x (hPa x 10 or inHg x 1000).
void SettingDrums(int32_t x, int32_t out[4]);
// Pointer angle of whole feet.
int32_t AltimeterPointerAngle(int32_t feet, bool negative);

extern gauge::ElementHeader* Altimeter1ElementList[2];
extern gauge::ElementHeader* Altimeter2ElementList[2];
extern gauge::ElementHeader* Altimeter1TouchElementList[2];
extern gauge::ElementHeader* Altimeter2TouchElementList[2];
extern gauge::ElementHeader* StbyAltimeterElementList[2];
extern gauge::ElementHeader* StbyAltimeterTouchElementList[2];

extern gauge::MouseRect Altimeter1MouseRect[4];
extern gauge::MouseRect Altimeter2MouseRect[4];
extern gauge::MouseRect Altimeter1TouchMouseRect[6];
extern gauge::MouseRect Altimeter2TouchMouseRect[6];
extern gauge::MouseRect StbyAltimeterMouseRect[4];
extern gauge::MouseRect StbyAltimeterTouchMouseRect[6];

void Altimeter1Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void Altimeter2Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void Altimeter1TouchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void Altimeter2TouchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void StbyAltimeterCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void StbyAltimeterTouchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
