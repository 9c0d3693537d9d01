// The CDU screen painter: draws the character screen, the active edit
// field and the line art into a CDU gauge's drawing surface, on a logical
// surface of 251 x 160 units. Runs on the host's gauge thread.
#pragma once

#include <cstdint>

#include "displays/repaint_key.h"
#include "fms/cdu_engine.h"
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

// The whole picture: the background, the line art, the screen and the edit
// field. With a clip (logical units) every call is cut to it, so each
// pixel inside is painted as by the whole picture and none outside.
void CduPictureDraw(platform::DrawContext* dc, platform::DrawHandle background,
                    const platform::DrawRect* clip);
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

// What a picture is painted from, split by where it shows: each cell of the
// screen, the edit field, and the rest (the line art, the brightness and
// the display objects, and what the caller adds), which shows anywhere.
inline constexpr int kCduScreenCells = kCduVisibleLines * kCduColumns;
struct CduPictureInputs {
    RepaintKey rest{};
    char shown[kCduScreenCells]{};  // as drawn: a blinking cell blank in its off phase
    char text[kCduScreenCells]{};
    uint8_t colour[kCduScreenCells]{};
    uint8_t size[kCduScreenCells]{};
    RepaintKey edit{};
    bool edit_box = false;  // the edit field is drawn, its box on the screen
    platform::DrawRect box{};
};
// The inputs of a picture now; `rest` is what the caller's picture depends
// on besides.
void CduPictureInputsTake(RepaintKeyBuilder rest, CduPictureInputs* out);
// The part of the screen (logical units) where the pictures of two inputs
// can differ: an empty rectangle when nowhere, the whole screen when their
// rest differs.
platform::DrawRect CduPictureChange(const CduPictureInputs& a, const CduPictureInputs& b);

}  // namespace zu
