// Element records of the flight dials that gauge_framework.h has no builder
// for: moving images (drums, strips and flags seen through a window) and
// icons that start hidden.
#pragma once

#include <cstdint>

#include "instruments/gauge_framework.h"

namespace zu {

// A moving image placed with its mask at (x, y). The host shifts the bitmap
// by value x x_scale across and y_callback x y_scale down; a null main
// callback (and no source) gives 0 across.
constexpr gauge::MovingImageElement MovingImageRecord(
    uint32_t resource, uint32_t mask, int32_t x, int32_t y, uint32_t flags,
    gauge::ElementHeader** next, gauge::ElementCallback x_callback, double x_scale,
    gauge::ElementCallback y_callback, double y_scale) {
    return {{gauge::ElementType::MovingImage, resource, {x, y}, flags, next, 0, 0.0, x_callback},
            mask,
            y_callback,
            x_scale,
            y_scale,
            0.0,
            0.0};
}

// A drum moving vertically by the value of `callback`.
constexpr gauge::MovingImageElement DrumRecord(uint32_t resource, uint32_t mask, int32_t x,
                                               int32_t y, uint32_t flags,
                                               gauge::ElementHeader** next,
                                               gauge::ElementCallback callback, double scale) {
    return MovingImageRecord(resource, mask, x, y, flags, next, nullptr, 0.0, callback, scale);
}

}  // namespace zu
