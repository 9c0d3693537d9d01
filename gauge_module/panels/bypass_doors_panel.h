// The engine intake bypass-door panel (`Bypass_doors`): a switch per door
// and three lights per door (closed, heater, open) that the ice-protection
// step computes. Refresh group 1; the panel keeps refreshing while a door
// travels.
//
// Mouse rectangles, in order (a scenario's `click` numbers them from 1):
// door 1 switch, door 2 switch.
//
// Elements (numbered after an always-shown backdrop): 0 the lit captions;
// 1-3 door 1's closed, heater and open lights (left secondary bus); 4-6
// door 2's (right secondary bus).
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

extern gauge::ElementHeader* Bypass_doorsElementList[2];
extern gauge::MouseRect Bypass_doorsMouseRect[];
void BypassDoorsCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The first numbered element (element 0), for tests.
gauge::ElementHeader* BypassDoorsFirst();

}  // namespace zu
