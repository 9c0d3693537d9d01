// The electronic flight displays' bitmaps: the screen every display gauge
// paints into (black) and the two screen backgrounds its pictures are drawn
// over (black where the painters draw).
#include <cairo.h>

#include "art_kit.h"
#include "displays/efis_display_gauges.h"
#include "families.h"

namespace art {

namespace {

void Black(BitmapSet& set, int width, int height, uint32_t id, const char* name) {
    cairo_t* cr = set.Begin(width, height);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    set.Finish(cr, id, name);
}

}  // namespace

void RenderDisplays(BitmapSet& set) {
    Black(set, 168, 134, zu::kDisplaySurfaceBitmap, "display_screen");
    Black(set, zu::kDisplayBackgroundWidth, zu::kDisplayBackgroundHeight, zu::kVsiScreenBackground,
          "BMP_VSI_SCREEN2");
    Black(set, zu::kDisplayBackgroundWidth, zu::kDisplayBackgroundHeight, zu::kHsiScreenBackground,
          "BMP_VSI_SCREEN2a");
}

}  // namespace art
