// The ice- and rain-protection panel (`AntiicePanel`): the de-ice cycle
// selector, knobs A, B and C, the wiper selector, a three-position switch,
// toggles T1, T2, T3 and the two pitot heat switches, the propeller de-ice
// test button and sixteen de-ice lights. The switch state lives in
// `IceProtectionState` (core/ice_protection.h); the ice-protection step runs
// the cycles, heaters and lights from it.
//
// What each control sets:
//   cycle selector          BootMode (0 off, 1 and 2 the two cycles)
//   knob A                  ManualBootSelector 0..7, wrapping (2..7 hold a pair)
//   knob B                  AntiIceSelector -2..+2 (propeller de-ice)
//   knob C                  WindshieldMode 0..2
//   wiper selector          WiperSelector 0..3
//   three-position switch   HornHeatTestSwitch; up (-1) also starts the
//                           horn-heat test (HornHeatTestCountdown := 2)
//   T1, T2, T3              HeaterSwitch, SideWindowSwitch, IsolationSwitch
//   pitot 1, pitot 2        Antiice_sys_pitot1_ice_sw, Antiice_sys_pitot2_ice_sw
//   push-button             PropTestLamp := 255, PropTestCountdown := 5
// The de-ice lights 1..12 show boot outputs 1..12, lights 13..16 the
// propeller heaters A1, A2, B1, B2.
//
// Mouse rectangles, in order (a scenario's `click` numbers them from 1):
// cycle selector to 0, 1, 2; knob A left, right half; knob B left, right;
// knob C left, right; wiper selector left, right; three-position switch
// upper, middle, lower; T1; T2; pitot 1; pitot 2; T3; the push-button.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// Windshield-wiper selector 0..3 (1 off; 0 single sweep, 2 slow, 3 fast).
extern int32_t WiperSelector;

// Elements, numbered after the always-shown unlit face: 0 lit overlay; 1/2
// cycle selector lit/unlit; 3/4 knob A; 5/6 knob B; 7/8 knob C; 9/10 wiper
// selector; 11/12/13 three-position switch at -1/0/+1; 14/15 T1 off/on;
// 16/17 push-button out/in; 18/19 T2 off/on; 20/21 never shown; 22/23
// pitot 1 off/on; 24/25 pitot 2 off/on; 26 T3 on; 27 T3 off; 28..43 the
// sixteen de-ice lights.
extern gauge::ElementHeader* AntiicePanelElementList[2];
extern gauge::MouseRect AntiicePanelMouseRect[22];
void AntiicePanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// Rotation of the knob images, degrees clockwise from up.
double AntiiceCycleSelectorAngle();
double AntiiceKnobAAngle();
double AntiiceKnobBAngle();
double AntiiceKnobCAngle();
double AntiiceWiperAngle();

// Word 1..16 of the de-ice light array: boot outputs 1..12, then the
// propeller heaters A1, A2, B1, B2 (0 for any other word).
int32_t IceTimingWord(int word);

// Shows, hides and lights the elements after the unlit face.
void AntiicePanelVisibility(gauge::ElementHeader* first, bool lit);

}  // namespace zu
