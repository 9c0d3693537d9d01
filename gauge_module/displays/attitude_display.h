// The attitude display's drawing steps (one set for all four attitude
// display gauges, given the data side). They draw in the 168 x 131 design
// grid with the attitude centre at (84, 65).
#pragma once

#include "zu/platform/drawing.h"

namespace zu {

// The attitude sphere: sky, ground, horizon, pitch ladder and labels turned
// by bank and shifted by pitch, the roll pointer; "ATT FAIL" when the
// attitude is not available; then the fixed roll scale.
void EadiSphereDraw(platform::DrawContext* dc, int side);

// True while the side's attitude is valid (both validity bytes 0).
bool EadiAttitudeAvailable(int side);

}  // namespace zu
