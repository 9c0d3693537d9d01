// The two RNAV panels on the glare shield, `RNAV1_Panel` (side 1) and
// `RNAV2_Panel` (side 2): each flashes a red "AP DISNG" legend while its
// side's autopilot-disengage warning is on (and during the annunciator
// test); the key on either panel acknowledges the warning of both sides.
// Refresh group 4.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// Flash phase of each panel's legend (0 or 1): bit 1 of the tick counter
// while the warning or the test is on, else 0.
extern uint8_t RnavFlashPhase[2];

// Rectangle 1: the acknowledge key.
extern gauge::ElementHeader* RNAV1_PanelElementList[2];
extern gauge::MouseRect RNAV1_PanelMouseRect[];
void Rnav1PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* RNAV2_PanelElementList[2];
extern gauge::MouseRect RNAV2_PanelMouseRect[];
void Rnav2PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
