// The display control panels of both sides: seven push-buttons (navigation
// display mode, weather overlay, second mode, ground-speed / time-to-go
// readout, attitude, heading and navigation-source transfer), two
// bearing-pointer source knobs, the decision-height knob, the brightness
// knob and TEST. They only keep settings; the displays, the weather radar,
// the navigation-source update, the flight guidance and the alerting read
// them. The touch variant turns the decision-height and brightness knobs by
// circling the pointer through four quadrants.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// Side 1: [0] navigation-source, [1] heading-source, [2] attitude-source
// transfer, [3] the side-2 ground-speed / time-to-go toggle.
extern uint8_t DisplayFormatFlags1[4];

struct DisplayControlRecord {
    uint8_t Transfer[3];  // navigation-, heading- and attitude-source transfer
    uint8_t Overlay;      // weather overlay
    int32_t Mode;         // navigation display mode 0..2
    // Bearing pointers 0 and 1: indices into NavSources.
    int32_t BearingPointerSource[2];
};
extern DisplayControlRecord DisplayControlState1;
extern DisplayControlRecord DisplayControlState2;

// The display brightness knob's level, 64..255, one for both sides.
extern int32_t DisplayBrightnessLevel;
// Per side: 1 while that side's brightness knob is at its lower stop (the
// composite format), else 0.
extern int32_t DisplayFormat[2];
// Side 1's ground-speed / time-to-go readout (1: time to go).
extern uint8_t DisplayFormatToggle;

// The brightness knob's spring-back, per side (side 1 shared by both side-1
// gauges): the direction shown (-1, 0, +1) and the passes left to show it.
extern int32_t BrightnessKnobTurn[2];
extern int32_t BrightnessKnobHold[2];
// The touch gauge's last quadrants (0 upper left, clockwise to 3).
extern int32_t DhKnobQuadrant;
extern int32_t BrightnessKnobQuadrant;

// Display test length (ticks) set by TEST; the radio-altitude step counts
// the side's RadioAltTestCountdown down.
inline constexpr int32_t kDisplayTestTicks = 230;

// Handlers, for the mouse rectangles and the tests (side 0 or 1).
int32_t DisplayControlButton(int side, int button);  // 1..7 left to right
int32_t DisplayBearingKnob(int side, int pointer, bool left_half);
int32_t DisplayDhKnob(int side, bool left_half);
int32_t DisplayBrightnessKnob(int side, bool left_half);
int32_t DisplayTestButton(int side);
// A touch knob's quadrant event (0..3).
int32_t DisplayDhQuadrant(int quadrant);
int32_t DisplayBrightnessQuadrant(int quadrant);

// Knob rotations shown by the element callbacks, degrees.
double DisplayDhKnobAngle(int side);
double DisplayBearingKnobAngle(int side, int pointer);
double DisplayBrightnessKnobAngle(int side);

// Gauges DisplayControl_Panel1, DisplayControl_Panel1_touch and
// DisplayControl_Panel2.
void DisplayControlCallback1(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void DisplayControlCallback1Touch(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void DisplayControlCallback2(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
extern gauge::ElementHeader* DisplayControlPanel1ElementList[2];
extern gauge::ElementHeader* DisplayControlPanel1TouchElementList[2];
extern gauge::ElementHeader* DisplayControlPanel2ElementList[2];
extern gauge::MouseRect DisplayControlPanelMouseRect1[18];
extern gauge::MouseRect DisplayControlPanelMouseRectTouch[22];
extern gauge::MouseRect DisplayControlPanelMouseRect2[18];

// Panel geometry, shared with the artwork generator.
namespace display_control {
inline constexpr int32_t kWidth = 223;
inline constexpr int32_t kHeight = 80;
inline constexpr uint32_t kOverlayLit = 15720;
inline constexpr uint32_t kKnobUnlit = 15721;
inline constexpr uint32_t kKnobLit = 15722;
inline constexpr uint32_t kFace = 15723;
inline constexpr int32_t kKnobSize = 28;  // knob bitmaps, pivot at the centre
inline constexpr int32_t kButtonWidth = 24;
inline constexpr int32_t kButtonHeight = 16;
inline constexpr int32_t kButtonY = 8;
// Push-button b (0..6) and TEST (7), left edge.
constexpr int32_t ButtonX(int b) {
    return 6 + b * 27;
}
inline constexpr int32_t kKnobY = 54;
// Knob centres: decision height, bearing 0, bearing 1, brightness.
inline constexpr int32_t kDhKnobX = 140;
inline constexpr int32_t kBearing0KnobX = 30;
inline constexpr int32_t kBearing1KnobX = 85;
inline constexpr int32_t kBrightnessKnobX = 195;
}  // namespace display_control

}  // namespace zu
