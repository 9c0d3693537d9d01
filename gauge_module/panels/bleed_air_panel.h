// The bleed-air and air-conditioning panel (`PneuPanel`, `PneuPanel_touch`):
// four toggles, two three-position zone temperature switches, two zone mode
// selectors, the bleed-flow knob, two zone temperature knobs and the source
// selector of the duct-temperature indicator. The panel only keeps switch
// and knob state; the air-conditioning step acts on it every tick.
//
// Mouse rectangles, in order (a scenario's `click` numbers them from 1):
// toggles [0], [1], [2], [3]; zone 1 temperature switch to -1, 0, +1; zone 2
// temperature switch to -1, 0, +1; zone 1 mode selector to 0, 1, 2 (top to
// bottom); zone 2 mode selector to 0, 1, 2; bleed-flow knob left, right
// half; zone 1 temperature knob left, right; zone 2 temperature knob left,
// right; indicator selector left, right. On the touch variant the
// bleed-flow knob and the indicator selector are each three sectors (left,
// top, right) instead of two halves.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// Toggles 0/255, initial 255: [0] and [1] engine 1 and 2 bleed, [2] the
// air-conditioning switch, [3] the large switch read by the engine sound.
extern int32_t PneuPanelSwitches[4];

// Zone temperature controls: [0] zone 1 manual step (-1, 0, +1), [1] zone 1
// mode (0 neither, 1 manual, 2 automatic), [2] and [3] the same for zone 2.
// Zone 1 is the flight compartment, zone 2 the cabin.
extern int32_t PneuSwitch[4];
// [0] bleed-flow knob 0..9 (flow limit 5 x the setting), [1] and [2] the
// zone 1 and zone 2 temperature knobs -5..+5 (target 4 x value + 20 C).
extern int32_t PneuKnob[3];
// Source selector of the duct-temperature indicator, 0..2 (initial 1).
extern int32_t TempIndicatorSelector;

// Last sector (1 left, 2 top, 3 right; 0 none yet) the pointer entered on
// the touch variant's bleed-flow knob and indicator selector.
extern int32_t PneuFlowKnobSector;
extern int32_t PneuSelectorSector;

// Elements, numbered after the always-shown unlit face: 0 lit overlay; 1/2
// switch [2] off/on; 3/4 switch [0]; 5/6 switch [1]; 7/8/9 zone 1
// temperature switch at -1/0/+1; 10/11/12 zone 2; 13/14 zone 1 mode
// selector at 0/1; 15/16 zone 2 mode selector at 0/1; 17/18 bleed-flow knob
// unlit/lit; 19/20 zone 2 temperature knob; 21/22 zone 1 temperature knob;
// 23/24 switch [3] off/on; 25 zone 2 mode selector at 2; 26 zone 1 mode
// selector at 2; 27/28 indicator selector unlit/lit.
extern gauge::ElementHeader* PneuPanelElementList[2];
extern gauge::ElementHeader* PneuPanelTouchElementList[2];
extern gauge::MouseRect PneuPanelMouseRect[26];
extern gauge::MouseRect PneuPanelTouchMouseRect[28];
void PneuPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void PneuPanelTouchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// Rotation of the knob images, degrees clockwise from up.
double PneuFlowKnobAngle();
double PneuZoneKnobAngle(int zone);  // zone 0 or 1
double PneuIndicatorSelectorAngle();

// Shows, hides and lights the elements of a gauge after the first (the
// unlit face) from the panel state.
void PneuPanelVisibility(gauge::ElementHeader* first, bool lit);

}  // namespace zu
