// Settings of the cabin pressurisation control panel that the
// pressurisation step reads.
#pragma once

#include <cstdint>

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
// runs.
extern int32_t PressModeChangeTimer;

}  // namespace zu
