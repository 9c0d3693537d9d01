// The flight-guidance display panels of both sides (mode and message
// texts, reverse-video highlights, acknowledge keys). The panels complete
// this file pair; the attitude displays read the highlight countdowns.
#pragma once

#include <cstdint>

namespace zu {

// [0] set when the vertical mode becomes captured, [1] the lateral mode:
// while one runs the attitude displays box that active mode (ticks).
extern int32_t Id809BlankCountdown[2];

}  // namespace zu
