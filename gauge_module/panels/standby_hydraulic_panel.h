// The standby hydraulic pump panel (`Stby_hydr`): a selector per standby
// pump (1 auto, 2 on) and the power-transfer push-button with its lamp.
// Refresh group 5.
//
// Mouse rectangles, in order (a scenario's `click` numbers them from 1):
// pump 1 selector (upper, middle, lower part), pump 2 selector (the same),
// the push-button. Each part of a selector switches it between 1 and 2.
//
// Elements (numbered after an always-shown backdrop): 0 the lit captions;
// 1 pump 1 selector neutral (before the first refresh), 2 pump 1 at 2;
// 3 pump 2 neutral, 4 pump 2 at 2; 5 the push-button's lamp; 6 pump 1 at
// 1; 7 pump 2 at 1.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

extern gauge::ElementHeader* Stby_hydrElementList[2];
extern gauge::MouseRect Stby_hydrMouseRect[];
void StbyHydrCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The first numbered element (element 0), for tests.
gauge::ElementHeader* StbyHydrFirst();

// The push-button: off always; on only with system 1 above 1500 psi.
void StbyPumpButton();

}  // namespace zu
