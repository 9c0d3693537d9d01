// A turned (rotated) image painted straight with Pixman, as Cairo's image
// backend paints it: the same transform, filter, offsets and rectangle, on
// Pixman images kept by the caller, so nothing is allocated per paint.
#pragma once

#include <cairo.h>
#include <pixman.h>

namespace zu::simhost {

// Paints `source` (a Pixman image over an ARGB32 picture, used for nothing
// else) with OVER onto `target`, through the pattern matrix `pattern` (user
// space to the source's pixels) and the current transformation of `cr`,
// within the whole-pixel clip [x0, x1) x [y0, y1) — exactly what
// cairo_set_source + cairo_paint on `cr` would do with that clip, for a
// surface pattern of the default filter and no extend. False, with nothing
// drawn, where the result is not known to be the same (the caller then
// paints with Cairo).
bool PaintTurnedImage(cairo_t* cr, const cairo_matrix_t& pattern, pixman_image_t* source,
                      pixman_image_t* target, int x0, int y0, int x1, int y1);

}  // namespace zu::simhost
