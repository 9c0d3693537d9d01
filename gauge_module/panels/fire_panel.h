// The engine fire-protection panel (`FirePanel`): two fire handles with
// their warning lamps, two extinguisher-bottle selectors, the
// fire-detection and extinguisher test selectors, two detection-loop
// selectors and twelve lamps. The panel writes the handle and selector
// words of FireProtectionState; the fire-protection step decides every lamp.
//
// Mouse rectangles, in order (a scenario's `click` numbers them from 1):
// fire handle 1, fire handle 2; detection test to 1, 0, 2; extinguisher
// test to 1, 0, 2; extinguisher selector 1 to 1, 0, 2; extinguisher
// selector 2 to 1, 0, 2; loop selector 1 to 1, 0, 2; loop selector 2 to 1,
// 0, 2.
//
// Elements (numbered after an always-shown backdrop): 0 the lit captions;
// 1-12 the lamps (lamp words 8, 9, 10, 11, 4, 6, 7, 5, 0, 1, 2, 3); 13/14
// handle 1 in / pulled, dark; 15/16 handle 2 the same; 17-19, 20-22, 23-25
// and 26-28 extinguisher selector 1, extinguisher selector 2, detection
// test and extinguisher test at positions 1, 0, 2; 29/30 and 31/32 the loop
// selector needles unlit / lit; 33/34 handle 1 / 2 pulled with the lamp
// lit; 35/36 handle 1 / 2 in with the lamp lit.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

extern gauge::ElementHeader* FirePanelElementList[2];
extern gauge::MouseRect FirePanelMouseRect[];
void FirePanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The first numbered element (element 0), for tests.
gauge::ElementHeader* FirePanelFirst();

// The loop selectors' needle value: 90 at 0, 50 at 1, -220 at 2, else 0.
double FireLoopSelectorAngle(int32_t selector);

}  // namespace zu
