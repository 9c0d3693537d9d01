// The engine start panel (`EngineStartPanel`): an ignition selector per
// engine (0, 1, 2), the start selector (engine 1, off, engine 2) that springs
// back to off after a start, and the START button. The panel only sets the
// switch words; the powerplant's start step acts on them.
//
// Mouse rectangles, in order (a scenario's `click` numbers them from 1):
// ignition 1 to 0, 1, 2; ignition 2 to 0, 1, 2; start selector to 0, 1, 2;
// START.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// Start selector: 0 = engine 1, 1 = off, 2 = engine 2. It springs back to
// off after a start.
extern int32_t EngineStartSelector;

// True while the START legend is shown (a start flag is set).
extern uint8_t EngineStartLegendShown;
// True while the SELECT legend is shown.
extern uint8_t EngineStartSelectShown;

// Elements: 0 the plate, 1 its lit copy, 2-19 the ignition selectors' and
// the start selector's position images (unlit, then lit), 20 the SELECT
// legend, 21 the START legend.
extern gauge::ElementHeader* EngineStartPanelElementList[2];
extern gauge::MouseRect EngineStartPanelMouseRect[12];
void EngineStartPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The START button's action (also the mouse handler's).
void EngineStartButton();

}  // namespace zu
