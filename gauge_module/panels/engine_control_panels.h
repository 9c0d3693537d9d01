// The engine-control, fuel and autofeather panels of the pedestal
// (`EGC_panel`, `FUEL_panel`, `Autofeather_panel`), all in refresh group 1.
// They set the switch words the powerplant's steps read (the EGC selector
// and push-buttons, the fuel transfer selector and pump switches, the
// fuel-quantity test, the autofeather select, test and spring switches) and
// show the states those steps compute.
//
// Mouse rectangles, in order (a scenario's `click` numbers them from 1):
//   EGC_panel: knob left half, knob right half, engine-1 button, engine-2
//     button.
//   FUEL_panel: selector left, centre, right; pump switch 1, 2; test button.
//   Autofeather_panel: select button; test switch 1, 2; spring switch 1
//     upper half, spring switch 2 upper half, spring switch 1 lower half,
//     spring switch 2 lower half.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// 255 while the autofeather's own countdowns (trigger or feather) run for
// the engine (0 or 1), else 0.
int32_t AutofeatherWord(int engine);

// Elements, counted after an always-shown plate:
//   EGC_panel: 0 background (stays hidden), 1 lit overlay, 2/3 knob pointer
//     unlit/lit, 4/5 engine-1/2 upper legend, 6/7 engine-1/2 lower legend,
//     8 lamp.
//   FUEL_panel: 0 background (stays hidden), 1 lit overlay, 2/3 side-1/2
//     upper legend, 4/5 side-1/2 lower legend, 6/7/8 selector at 1/-1/0,
//     9/10 side-1/2 lamp, 11/12 pump switch 1 off/on, 13/14 pump switch 2
//     off/on.
//   Autofeather_panel: 0 background (stays hidden), 1 lit overlay, 2 "ARM",
//     3 "SLCT", 4/5 test switch 1 on/off, 6/7 test switch 2 on/off, 8/9/10
//     spring switch 1 at 1/0/-1, 11/12/13 spring switch 2 at 1/0/-1, 14/15
//     engine-1/2 test lamp.
extern gauge::ElementHeader* EGC_panelElementList[2];
extern gauge::MouseRect EGC_panelMouseRect[6];
void EgcPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* FUEL_panelElementList[2];
extern gauge::MouseRect FUEL_panelMouseRect[8];
void FuelPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* Autofeather_panelElementList[2];
extern gauge::MouseRect Autofeather_panelMouseRect[9];
void AutofeatherPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The first numbered element of each panel (after its plate).
gauge::ElementHeader* EgcPanelFirst();
gauge::ElementHeader* FuelPanelFirst();
gauge::ElementHeader* AutofeatherPanelFirst();

}  // namespace zu
