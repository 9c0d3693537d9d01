#include "panels/pressurisation_panel.h"

namespace zu {

int32_t PressurisationMode = 0;
int32_t PressurisationSwitch = 0;
int32_t PressPanelKnob = 0;
float CabinRateKnob = 50.0f;
int32_t LandingFieldElevation = 0;
int32_t CabinAltSetKnob = 50;
int32_t PressModeChangeTimer = 10;

}  // namespace zu
