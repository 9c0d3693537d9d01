// The passenger-address panel `PA_panel` (three latching buttons with
// lamps and the cabin call) and the cockpit voice recorder panel
// `CVR_panel` (TEST starts the recorder's self-test, ERASE shows its
// indication). Both in refresh group 1.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// The three latching buttons (0 / 1, lamp on at 1). Not saved.
extern uint8_t PaPanelSwitches[3];
// Refreshes of the powered CVR panel left to show the erase indication.
extern int32_t CvrEraseCountdown;
inline constexpr int32_t kCvrErasePasses = 25;

// PA_panel rectangles 1-4: button 1, button 2, call, button 3.
extern gauge::ElementHeader* PA_panelElementList[2];
extern gauge::MouseRect PA_panelMouseRect[];
void PaPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// CVR_panel rectangles 1-2: TEST (repeats while held), ERASE.
extern gauge::ElementHeader* CVR_panelElementList[2];
extern gauge::MouseRect CVR_panelMouseRect[];
void CvrPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
