// The centre-pedestal lever quadrant (`engine_panel`): the power and
// condition levers shown as sliders with rectangles that move them through
// the simulator's key events, the throttle-limiter gate with its lock
// sounds, the flap lever, the parking brake, the elevator-trim indication
// and the autopilot disconnect button. It only sets the state the engine and
// flight-guidance steps act on, and shows it.
//
// Mouse rectangles, in order (a scenario's `click` numbers them from 1):
// condition lever 1 low, condition lever 2 low, condition lever 1 high,
// condition lever 2 high, power lever 1 low, power lever 1 high, power
// lever 2 low, power lever 2 high, gate lock, gate unlock, autopilot
// disconnect.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// 1 after the power-lever up sound has played, 0 after the down sound.
extern uint8_t PowerLeverSoundLatch;

// Elements: 0 the lit markings; 1-8 the sliders of power lever 1 and 2,
// condition lever 1 and 2, the limiter gate, the parking brake, the flap
// lever and the trim pointer.
extern gauge::ElementHeader* engine_panelElementList[2];
extern gauge::MouseRect engine_panelMouseRect[];
void EnginePanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The slider values (also what the elements show).
double EnginePanelPowerLever1(gauge::ElementHeader* element);
double EnginePanelFlapX(gauge::ElementHeader* element);
double EnginePanelFlapY(gauge::ElementHeader* element);

// The gate's two rectangles.
void ThrottleGateLock();
void ThrottleGateUnlock();

}  // namespace zu
