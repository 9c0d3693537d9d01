// The cabin pressurisation control panel (`PressPanel`, `PressPanel_touch`):
// the mode selector, a toggle, the manual knob, the cabin-rate knob, the
// landing-field elevation knob, the small knob of the cabin-altitude set
// indicator and the mode-change light. The panel keeps the settings; the
// pressurisation step computes the cabin from them.
//
// Mouse rectangles, in order (a scenario's `click` numbers them from 1):
// mode selector to 2, 1, 0 (top to bottom); the toggle; manual knob right
// (+3), left (-3) half; cabin-rate knob right, left; elevation knob right,
// left; small knob right, left. On the touch variant the manual knob's two
// halves are four quadrants instead (upper left, upper right, lower right,
// lower left).
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// Controller mode: 0 automatic, 1 manual, 2 outflow valve open.
extern int32_t PressurisationMode;
// Auxiliary selector (0 / 255): in automatic mode the controller aims at
// the landing-field elevation.
extern int32_t PressurisationSwitch;
// Manual outflow-valve setting 0..100.
extern int32_t PressPanelKnob;
// Cabin rate limit R 0..100 (initial 50): climb limited to 25 R, descent to
// -15 R.
extern float CabinRateKnob;
// Landing-field elevation, feet -1000..10000.
extern int32_t LandingFieldElevation;
// The small knob the cabin-altitude set indicator shows, 0..100 (initial 50).
extern int32_t CabinAltSetKnob;
// Power-up countdown of the controller: held at 10 while the right
// essential bus is unpowered; the panel's mode-change light shows while it
// runs. Leaving mode 2 for 0 or 1 restarts it.
extern int32_t PressModeChangeTimer;
// Quadrant (0..3, clockwise from the upper left) the pointer last entered
// on the touch variant's manual knob.
extern int32_t PressKnobQuadrant;

// Elements, numbered after the always-shown unlit face: 0 lit overlay; 1/2
// manual knob lit/unlit; 3/4 cabin-rate knob lit/unlit; 5/6/7 mode selector
// at 0/1/2; 8/9 toggle off/on; 10/11 the caps of the elevation and small
// knobs; 12 the mode-change light.
extern gauge::ElementHeader* PressPanelElementList[2];
extern gauge::ElementHeader* PressPanelTouchElementList[2];
extern gauge::MouseRect PressPanelMouseRect[14];
extern gauge::MouseRect PressPanelTouchMouseRect[16];
void PressPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void PressPanelTouchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// Rotation of the knob images, degrees clockwise from up.
double PressManualKnobAngle();
double PressRateKnobAngle();

// Shows, hides and lights the elements after the unlit face.
void PressPanelVisibility(gauge::ElementHeader* first, bool lit);

// The mode selector's action: set the mode, restarting the mode-change
// countdown when leaving mode 2 for 0 or 1.
void PressSetMode(int32_t mode);

}  // namespace zu
