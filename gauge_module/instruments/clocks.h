// The pilots' digital clocks, clock1 and clock2: three two-digit readouts
// (hours, minutes, seconds of the time of day, the elapsed time or the
// chronometer, as the air-data step's ClockUpdate formats them) and four
// three-position switches that the clock logic reads from the clock's
// record (Clock1State / Clock2State):
//   A  set control (-1 advance, 1 take the entered value; its position 1
//      copies the time-of-day seconds into the entered value),
//   B  second control (-1 brightens the readouts; 1 is momentary and sends
//      the simulator's key event 0x1007A),
//   mode switch (-1 time of day, 0 elapsed, 1 chronometer),
//   D  chronometer control (1 run, -1 reset, 0 hold).
// clock1 shows while the left essential bus is powered, clock2 while the
// right main DC bus is. Refresh group 4, lit by PanelLightingCircuit4
// (never in the virtual cockpit).
//
// Elements: a backdrop (the unlit face, always shown), then 0 lit face,
// 1-3 switch A at -1, 1, 0; 4-6 switch B; 7-9 mode switch; 10-12 switch D;
// 13-15 the readouts (hours, minutes, seconds).
// Mouse rectangles: 1-3 switch A at -1, 0, 1; 4-6 B; 7-9 mode; 10-12 D.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

inline constexpr uint32_t kClockSecondKeyEvent = 0x1007A;
inline constexpr int32_t kClockSwitchPan = 166;
// Colour values (0x00BBGGRR) of the readouts: red, and dim red unless
// switch B is at -1.
inline constexpr uint32_t kClockBrightColour = 255;
inline constexpr uint32_t kClockDimColour = 180;

// The ClockDisplayBright each readout saw last, per clock.
extern int32_t ClockReadoutBrightSeen[2][3];

extern gauge::ElementHeader* clock1ElementList[2];
extern gauge::ElementHeader* clock2ElementList[2];
extern gauge::MouseRect clock1MouseRect[14];
extern gauge::MouseRect clock2MouseRect[14];

void Clock1Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void Clock2Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
