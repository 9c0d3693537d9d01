// The inclinometer (`Inclinometer`, refresh group 3): the sideslip ball in
// its tube. Each frame the simulator's ball value is corrected for bank
// (the result is `InclinometerInput`, which the named-variable pass
// publishes) and followed through a viscous filter: small offsets almost at
// once, large ones slowly. While the instructor's display values are shown
// the ball shows the instructor's raw value instead.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// The ball input after the bank correction.
extern float InclinometerInput;
// The filtered ball position (kept between frames) and the position shown,
// -127..127.
extern double InclinometerBall;
extern double InclinometerShown;

// The simulator's variable of the ball (-127..127).
inline constexpr uint32_t kBallToken = 0x45;

// One frame of the ball from the simulator's ball value; returns the
// position shown.
double InclinometerBallStep(double ball_value);

// Elements, after an always-shown tube: 0 lit face, 1 the ball (a moving
// image on the simulator's ball variable).
extern gauge::ElementHeader* InclinometerElementList[2];
void InclinometerCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
gauge::ElementHeader* InclinometerFirst();

}  // namespace zu
