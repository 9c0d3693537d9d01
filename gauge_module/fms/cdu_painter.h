// The CDU screen painter: draws the character screen, the active edit
// field and the line art into a CDU gauge's drawing surface, on a logical
// surface of 251 x 160 units. Runs on the host's gauge thread.
#pragma once

#include <cstdint>

#include "displays/repaint_key.h"
#include "zu/platform/drawing.h"

namespace zu {

inline constexpr int32_t kCduSurfaceWidth = 251;
inline constexpr int32_t kCduSurfaceHeight = 160;

// The two clip regions of the holding picture (left and right turns).
inline constexpr platform::DrawRect kCduLeftClip = {65, 87, 85, 119};
inline constexpr platform::DrawRect kCduRightClip = {170, 87, 210, 119};

// Drawing set-up: clip regions, centred text, the main display font.
void CduClipRegionsCreate(platform::DrawContext* dc);
void CduClipRegionsDelete();
bool CduClipRegionsExist();

void CduRegionsDraw(platform::DrawContext* dc);
void CduScreenDraw(platform::DrawContext* dc);
void CduEditFieldDraw(platform::DrawContext* dc);
void CduHoldPictureDraw(platform::DrawContext* dc, int32_t turnSide);

// True while a cell of the screen blinks: each picture then asks for the
// next (CduRedraw), as the screen's drawing does.
bool CduScreenBlinks();
// Adds what the three drawing steps read to a repaint key: the screen's
// cells, the blink phase while a cell blinks, the line art, the edit field
// with its buffer and cursor phase while it is edited, the brightness.
void CduPictureKeyAdd(RepaintKeyBuilder& key);

}  // namespace zu
