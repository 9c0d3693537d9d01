// Drawing layer: what the module paints into its drawn surfaces with.
//
// A drawing context paints into the pixels of one surface (rows top down,
// 4 bytes a pixel in the order R, G, B, A, as the module's bitmaps), or
// records its calls without pixels (a recording context, for painters'
// unit tests). Colours are Windows colour values 0x00BBGGRR; painted pixels
// are opaque.
//
// Rules the painters rely on (those of the original platform):
// - coordinates are pixels, (0, 0) the top-left pixel;
// - a filled rectangle covers left <= x < right and top <= y < bottom (the
//   right column and the bottom row are not painted); an empty or inverted
//   rectangle paints nothing; everything is clipped to the surface.
//
// The layer's calls never allocate: a context is made once (with its
// surface) and reused for every picture. A recording context keeps at most
// kDrawRecordCapacity calls and counts the ones beyond.
#pragma once

#include <cstdint>

namespace zu::platform {

struct DrawRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

enum class DrawOp : uint32_t { FillRect = 1 };

// One recorded call.
struct DrawCall {
    DrawOp op;
    DrawRect rect;
    uint32_t colour;  // 0x00BBGGRR
};

inline constexpr int32_t kDrawRecordCapacity = 4096;

struct DrawContext;

// A context painting into `pixels` (width x height, `stride` bytes a row).
// Null when the sizes are not positive or the stride is too small.
DrawContext* DrawContextCreate(uint8_t* pixels, int32_t width, int32_t height, int32_t stride);
// A context of the given size that records its calls and paints nothing.
DrawContext* DrawContextCreateRecording(int32_t width, int32_t height);
// Safe with null.
void DrawContextDestroy(DrawContext* dc);

// Fills the rectangle with a solid colour. Nothing for a null context.
void DrawFillRect(DrawContext* dc, const DrawRect& rect, uint32_t colour);

// Recording contexts: the calls kept (in order), the count of calls that
// did not fit, and forgetting them. Pixel contexts record nothing.
int32_t DrawRecordedCount(const DrawContext* dc);
const DrawCall* DrawRecordedCalls(const DrawContext* dc);
int32_t DrawRecordOverflow(const DrawContext* dc);
void DrawRecordClear(DrawContext* dc);

}  // namespace zu::platform
