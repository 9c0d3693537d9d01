// Drawing layer additions for character-screen painters: rounded
// rectangles and ellipses in the selected pen and brush, and one character
// of the Windows-1252 set centred on a point.
#pragma once

#include <cstdint>

#include "zu/platform/drawing.h"

namespace zu::platform {

// Outline in the selected pen, inside in the selected brush, as a polygon
// of straight segments; the corners are quarter ellipses of
// corner_width x corner_height (clamped to the rectangle).
void DrawRoundRect(DrawContext* dc, const DrawRect& rect, int32_t corner_width,
                   int32_t corner_height);
// The ellipse inscribed in the rectangle, pen and brush as above.
void DrawEllipse(DrawContext* dc, const DrawRect& rect);
// An arc of the ellipse inscribed in the rectangle, in the selected pen,
// counter-clockwise (on the screen) from the ray towards the start point to
// the ray towards the end point; the whole ellipse when both rays coincide.
void DrawArc(DrawContext* dc, const DrawRect& rect, int32_t start_x, int32_t start_y, int32_t end_x,
             int32_t end_y);
// One Windows-1252 character centred horizontally on x with its cell top
// at y, in the selected font and text colour. The degree sign (0xB0), which
// the layer's lettering does not carry, is drawn as a small ring in the
// selected pen; it still enters the context's text list as the byte 0xB0.
void DrawCharCentred(DrawContext* dc, int32_t x, int32_t y, unsigned char ch);

}  // namespace zu::platform
