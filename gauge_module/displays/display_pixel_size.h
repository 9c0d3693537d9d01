// Pixel sizes of the simulator's screen as the display gauges record them:
// DisplayPixelSize by the attitude and navigation display set-ups,
// DisplayPixelSize2 by the VSI1 gauge. Until a display records them they
// hold 1024 x 768. The VOR and COM heads choose their window rendering by
// the width; the airspeed indicators scale their dial clicks by them.
#pragma once

#include <cstdint>

namespace zu {

// [0] width, [1] height.
extern int32_t DisplayPixelSize[2];
extern int32_t DisplayPixelSize2[2];

}  // namespace zu
