// The module's bitmap resources: every bitmap its gauge elements name, drawn
// at build time by the artwork generator (tools/artwork) and embedded in the
// module. The host reaches the table through Linkage.find_resource.
//
// Pixels are 32-bit, rows top down, bytes R, G, B, A, colour premultiplied by
// alpha; the row stride is width x 4.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// The bitmap with this resource number, or null when the module has none.
const gauge::BitmapResource* FindResource(uint32_t id);

// Number of bitmaps in the table and the i-th of them in ascending number
// order (null past the end).
uint32_t ResourceCount();
const gauge::BitmapResource* ResourceAt(uint32_t index);

}  // namespace zu
