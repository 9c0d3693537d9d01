// Drawing layer: what the module paints into its drawn surfaces with.
//
// A drawing context paints into the pixels of one surface (rows top down,
// 4 bytes a pixel in the order R, G, B, A, as the module's bitmaps), or
// records its calls without pixels (a recording context, for painters'
// unit tests). Colours are Windows colour values 0x00BBGGRR; painted pixels
// are opaque.
//
// Rules the painters rely on (those of the original platform):
// - coordinates are logical units of the painter's design grid
//   (DrawSetLogicalSize; by default the pixel grid), mapped onto the pixels;
//   at 1:1 an integer coordinate is a pixel centre, (0, 0) the top-left
//   pixel; a width-1 pen is one device pixel whatever the scale;
// - a filled rectangle covers left <= x < right and top <= y < bottom (the
//   right column and the bottom row are not painted); an empty or inverted
//   rectangle paints nothing; everything is clipped to the surface and to
//   the context's clip rectangle;
// - a line leaves its end pixel; the merge raster operation ORs each channel
//   exactly (the layer's own integer code, as are every one-pixel primitive,
//   rectangle fills and blits);
// - pens, brushes and fonts live in fixed pools behind handles carrying a
//   generation: a stale handle is refused, never dereferenced; deleting an
//   object selected into a context fails. Objects may be created and deleted
//   on another thread while a context paints.
// - the smooth (anti-aliased) calls are carried by Cairo, their colours are
//   0x00RRGGBB (alpha ignored: painted pixels are opaque).
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

enum class DrawOp : uint32_t {
    FillRect = 1,        // rect, colour
    LineTo = 2,          // rect = from (left, top) to (right, bottom), pen colour
    Rectangle = 3,       // rect, pen colour; value = brush colour (or ~0u: none)
    SetPixel = 4,        // rect.left/top, colour
    TextOut = 5,         // rect.left/top, text colour; value = text length
    SmoothLine = 6,      // rect = from/to in 1/16 units, colour 0x00RRGGBB
    SmoothFillRect = 7,  // rect = x, y, width, height, colour 0x00RRGGBB
    SmoothEllipse = 8,   // rect = x, y, width, height
    SmoothArc = 9,       // rect = x, y, width, height; value = start | sweep << 16
    BitBlt = 10,         // rect = x, y, width, height; value = raster operation
    Polygon = 11,        // rect = bounding box; value = point count
    StretchDib = 12,     // rect = x, y, width, height; value = raster operation
};

// One recorded call, in logical units.
struct DrawCall {
    DrawOp op;
    DrawRect rect;
    uint32_t colour;  // 0x00BBGGRR for the GDI calls, 0x00RRGGBB smooth
    uint32_t value = 0;
};

// Object handles: 0 is none; otherwise pool slot and generation.
using DrawHandle = uint32_t;
enum class DrawObjectKind : uint32_t { None = 0, Pen = 1, Brush = 2, Font = 3 };
inline constexpr int32_t kDrawPoolSize = 256;

// Raster operations of lines and fills (SetROP2) and of blits.
enum class DrawRop2 : uint32_t { CopyPen = 13, MergePen = 15 };
enum class DrawBlitRop : uint32_t { SrcCopy = 0x00CC0020, SrcPaint = 0x00EE0086 };

// Text alignment (SetTextAlign): left/centre/right and top/baseline.
inline constexpr uint32_t kDrawTaLeft = 0;
inline constexpr uint32_t kDrawTaTop = 0;
inline constexpr uint32_t kDrawTaRight = 2;
inline constexpr uint32_t kDrawTaCenter = 6;
inline constexpr uint32_t kDrawTaBaseline = 24;

// A text of the context's current paint, for the host's state report.
struct DrawTextEntry {
    char text[32];
    int32_t x;
    int32_t y;
    uint32_t colour;  // 0x00BBGGRR
    DrawHandle font;
};
// Room for a full character-grid screen (11 x 24 cells) and its edit box.
inline constexpr int32_t kDrawTextCapacity = 320;

struct DrawPoint {
    int32_t x;
    int32_t y;
};

inline constexpr int32_t kDrawRecordCapacity = 4096;

struct DrawContext;

// A context painting into `pixels` (width x height, `stride` bytes a row).
// Null when the sizes are not positive or the stride is too small.
DrawContext* DrawContextCreate(uint8_t* pixels, int32_t width, int32_t height, int32_t stride);
// Paints into other pixels of the context's size and stride from now on
// (a host swapping its picture buffers; swapping between two buffers
// allocates nothing after the first swap). False for a null or recording
// context or null pixels.
bool DrawContextSetPixels(DrawContext* dc, uint8_t* pixels);
// A context of the given size that records its calls and paints nothing.
DrawContext* DrawContextCreateRecording(int32_t width, int32_t height);
// Safe with null.
void DrawContextDestroy(DrawContext* dc);

// Fills the rectangle with a solid colour. Nothing for a null context.
void DrawFillRect(DrawContext* dc, const DrawRect& rect, uint32_t colour);

// The painter's design grid (width x height logical units) over the pixels.
void DrawSetLogicalSize(DrawContext* dc, int32_t width, int32_t height);
// The same with a viewport other than the whole surface: the window extent
// (logical units) shown on the viewport extent (pixels) from the top left.
void DrawSetMapping(DrawContext* dc, int32_t window_width, int32_t window_height,
                    int32_t viewport_width, int32_t viewport_height);
// Begins a picture: forgets the texts of the previous one and the current
// point; keeps selections and the clip.
void DrawBeginPaint(DrawContext* dc);

// --- Objects (thread-safe).
DrawHandle DrawCreatePen(int32_t width, uint32_t colour);
DrawHandle DrawCreateBrush(uint32_t colour);
// Face "Arial" or "Arial Narrow" (Liberation Sans), anything else the same;
// a cell (ascent + descent) of `height` units and an average character
// width of `width` (0: the face's own); bold from weight 700.
DrawHandle DrawCreateFont(int32_t height, int32_t width, int32_t weight, const char* face);
// False for a stale handle or an object still selected into a context.
bool DrawDeleteObject(DrawHandle handle);
DrawObjectKind DrawObjectKindOf(DrawHandle handle);  // None when stale
uint32_t DrawObjectColour(DrawHandle handle);        // pens and brushes
int32_t DrawLiveObjects();                           // for leak checks

// --- Context state. SelectObject returns the previously selected object of
// that kind (0 when none or the handle is stale: nothing changes then).
DrawHandle DrawSelectObject(DrawContext* dc, DrawHandle handle);
void DrawSetRop2(DrawContext* dc, DrawRop2 rop);
void DrawSetTextColour(DrawContext* dc, uint32_t colour);
void DrawSetTextAlign(DrawContext* dc, uint32_t align);
// Background of texts: transparent (the default), or opaque, when each
// text's cell is first filled with the background colour.
void DrawSetBkMode(DrawContext* dc, bool opaque);
void DrawSetBkColour(DrawContext* dc, uint32_t colour);
// Clip rectangle in logical units (right and bottom excluded); reset by
// DrawResetClip. Clips both layers: the smooth layer's own clip, if it had
// one, is given up (as by DrawSelectClipRegion and DrawResetClip).
void DrawSetClipRect(DrawContext* dc, const DrawRect& rect);
void DrawResetClip(DrawContext* dc);

// --- Saved state (as the original platform's saved device-context
// states): the selected pen, brush and font, the raster operation, the text
// colour, alignment and background, the clip and the current point. The
// objects kept count as selected (they cannot be deleted) until the state
// is restored; a restore releases the objects selected since. The smooth
// layer's own clip is not part of it. States nest up to kDrawStateDepth.
inline constexpr int32_t kDrawStateDepth = 4;
// The depth after saving (1..kDrawStateDepth), or 0 (nothing saved) when
// the context is null or kDrawStateDepth states are kept.
int32_t DrawSaveState(DrawContext* dc);
// Restores the last saved state; false when none is kept.
bool DrawRestoreState(DrawContext* dc);

// --- Clip regions (as the original platform's regions): device pixels, a
// polygon (winding fill), an ellipse in its bounding box, or a polygon
// intersected with an ellipse, each less up to kDrawRegionMaxCuts
// rectangles. A pixel belongs to a region when its centre lies inside.
// Regions are plain values: making and selecting one never allocates.
inline constexpr int32_t kDrawRegionMaxPoints = 8;
inline constexpr int32_t kDrawRegionMaxCuts = 4;
struct DrawRegion {
    int32_t point_count = 0;  // 0: no polygon
    DrawPoint points[kDrawRegionMaxPoints]{};
    bool has_ellipse = false;
    DrawRect ellipse{};
    int32_t cut_count = 0;  // rectangles taken out (right and bottom excluded)
    DrawRect cuts[kDrawRegionMaxCuts]{};
};
// False when the count is below 3 or above kDrawRegionMaxPoints.
bool DrawRegionPolygon(DrawRegion* out, const DrawPoint* points, int32_t count);
DrawRegion DrawRegionEllipse(const DrawRect& box);
DrawRegion DrawRegionRect(const DrawRect& rect);  // right and bottom excluded
// a AND b for a polygon and an ellipse (either order), keeping the cuts of
// both; false (and `out` untouched) for any other pair or too many cuts.
bool DrawRegionAnd(DrawRegion* out, const DrawRegion& a, const DrawRegion& b);
// region minus the rectangle (right and bottom excluded); false (and `out`
// untouched) when the region is empty or already has kDrawRegionMaxCuts.
bool DrawRegionSubtractRect(DrawRegion* out, const DrawRegion& region, const DrawRect& rect);
bool DrawRegionContains(const DrawRegion& region, int32_t x, int32_t y);
// Clips both layers to the region (in place of the clip rectangle) until
// DrawResetClip or DrawSetClipRect.
void DrawSelectClipRegion(DrawContext* dc, const DrawRegion& region);
// The smooth layer's own clip, apart from the context's: the smooth shapes
// are cut to the region alone (DrawSetSmoothClip), or not at all
// (DrawResetSmoothClip), whatever clips the one-pixel primitives and texts,
// until a clip call of both layers above.
void DrawSetSmoothClip(DrawContext* dc, const DrawRegion& region);
void DrawResetSmoothClip(DrawContext* dc);

// --- GDI primitives.
void DrawMoveTo(DrawContext* dc, int32_t x, int32_t y);
void DrawLineTo(DrawContext* dc, int32_t x, int32_t y);
void DrawSetPixel(DrawContext* dc, int32_t x, int32_t y, uint32_t colour);
// Outline with the selected pen, inside with the selected brush.
void DrawRectangle(DrawContext* dc, const DrawRect& rect);
void DrawFillRectBrush(DrawContext* dc, const DrawRect& rect, DrawHandle brush);
// A filled polygon (selected brush, even-odd) outlined with the pen.
void DrawPolygon(DrawContext* dc, const DrawPoint* points, int32_t count);
// Text in the selected font and the text colour, placed by the alignment
// (TA_TOP puts the cell top at y). Kept in the context's text list.
void DrawTextOut(DrawContext* dc, int32_t x, int32_t y, const char* text, int32_t count);
// Formats of DrawTextInRect (the original platform's values; 0 is left and
// top): each line centred across the rectangle, the lines' block centred
// down it, the text broken into lines at blanks.
inline constexpr uint32_t kDrawDtCenter = 0x01;
inline constexpr uint32_t kDrawDtVCenter = 0x04;
inline constexpr uint32_t kDrawDtWordBreak = 0x10;
inline constexpr int32_t kDrawTextMaxLines = 8;
// Text laid out in a rectangle (logical units, right and bottom excluded)
// and clipped to it, in the selected font and the text colour. With word
// break a line takes words while they fit the rectangle's width (a word
// wider than that stands alone on its line); the blanks at a break are
// dropped, and lines beyond kDrawTextMaxLines are not drawn. Lines are the
// font's height apart. Each line is drawn and kept as a DrawTextOut at its
// top, at the rectangle's left (or, centred, at the truncated middle of
// left and right). The text alignment and the clip stay as they were.
void DrawTextInRect(DrawContext* dc, const DrawRect& rect, const char* text, int32_t count,
                    uint32_t format);
// Copies w x h logical units from `src` at (sx, sy) to (x, y): SrcCopy, or
// SrcPaint (per-channel OR). Contexts of different scales copy pixels 1:1.
void DrawBitBlt(DrawContext* dst, int32_t x, int32_t y, int32_t w, int32_t h,
                const DrawContext* src, int32_t sx, int32_t sy, DrawBlitRop rop);
// Stretches a 32-bit device-independent picture of src_width x src_height
// pixels (each a little-endian word: blue, green, red, unused byte) onto
// w x h logical units at (x, y): SrcCopy or SrcPaint. A bottom-up picture
// has its row 0 at the bottom of the target rectangle.
void DrawStretchDib(DrawContext* dst, int32_t x, int32_t y, int32_t w, int32_t h,
                    const uint32_t* pixels, int32_t src_width, int32_t src_height, bool bottom_up,
                    DrawBlitRop rop);

// --- Smooth (anti-aliased) layer; colours 0x00RRGGBB.
void SmoothLine(DrawContext* dc, double x1, double y1, double x2, double y2, uint32_t colour);
void SmoothFillRect(DrawContext* dc, double x, double y, double w, double h, uint32_t colour);
void SmoothEllipse(DrawContext* dc, double x, double y, double w, double h, uint32_t colour);
// Angles in degrees, clockwise from the positive x axis (the GDI+ sense).
void SmoothArc(DrawContext* dc, double x, double y, double w, double h, double start, double sweep,
               uint32_t colour);
// Identity when all four are 0; else rotate by `angle` degrees about
// (cx, cy), then shift up by `y_offset`.
void SmoothSetTransform(DrawContext* dc, double angle, double cx, double cy, double y_offset);

// --- Kept smooth shapes. What the smooth lines and rectangles drawn
// between SmoothKeepBegin and SmoothKeepEnd paint is kept, row by row, to
// be painted again: SmoothReplay paints over the context's pixels exactly
// what those calls would, while the context's size, mapping, smooth
// transform and smooth clip are the ones they were drawn under (and the
// keeping was not cut short: an arc or ellipse in between, or more rows
// than the keep holds). Otherwise it paints nothing and returns false.
inline constexpr int32_t kSmoothKeepWords = 16384;
// The context's state the kept rows were drawn under.
struct SmoothKeepState {
    int32_t width = 0, height = 0;
    double sx = 0, sy = 0, angle = 0, cx = 0, cy = 0, y_offset = 0;
    DrawRect clip{};
    bool has_region = false;
    DrawRegion region{};
};
struct SmoothKeep {
    bool valid = false;
    SmoothKeepState state{};
    // Each row: y, colour, a0, a1, b0, b1, then its cells.
    int32_t used = 0;
    int32_t words[kSmoothKeepWords]{};
};
void SmoothKeepBegin(DrawContext* dc, SmoothKeep* keep);
void SmoothKeepEnd(DrawContext* dc);
bool SmoothReplay(DrawContext* dc, const SmoothKeep& keep);

// The texts of the current paint.
int32_t DrawTextCount(const DrawContext* dc);
const DrawTextEntry* DrawTexts(const DrawContext* dc);

// --- Copying a picture: dst is left as if it had painted the picture
// itself. The pixels (dst's own width x height; `stride` bytes a row, at
// least width x 4) replace all of dst's, and the `text_count` texts become
// those of dst's current paint (its current point is forgotten, as by
// DrawBeginPaint). Nothing else changes: dst keeps its selections, clip,
// mapping, saved states and smooth-layer state. False, and dst untouched,
// for a null or recording dst, null pixels, another size than dst's, a short
// stride, or a text count below 0 or above kDrawTextCapacity (or texts null
// with a count). The pixels must not overlap dst's unless they are dst's
// own. Allocates nothing: the text store is the context's own.
bool DrawCopyPicture(DrawContext* dst, const uint8_t* pixels, int32_t width, int32_t height,
                     int32_t stride, const DrawTextEntry* texts, int32_t text_count);
// The same from another context: src's pixels (of dst's size; the strides
// may differ) and the texts of src's current paint. False for a null or
// recording src, or src == dst.
bool DrawCopyPicture(DrawContext* dst, const DrawContext* src);
// The same with only the pixels inside a rectangle copied (logical units
// of src's mapping, cut as a clip rectangle cuts them): for a dst whose
// picture differs from src's only there. dst's other pixels stay.
bool DrawCopyPictureRect(DrawContext* dst, const DrawContext* src, const DrawRect& rect);

// For tests: paint with the layer's plain pixel-at-a-time paths (a region
// test per pixel, a mask composite per smooth call, spans rebuilt on every
// clip), which the normal paths must match pixel for pixel. Process-wide.
void DrawUseReferencePaths(bool on);

// Recording contexts: the calls kept (in order), the count of calls that
// did not fit, and forgetting them. Pixel contexts record nothing.
int32_t DrawRecordedCount(const DrawContext* dc);
const DrawCall* DrawRecordedCalls(const DrawContext* dc);
int32_t DrawRecordOverflow(const DrawContext* dc);
void DrawRecordClear(DrawContext* dc);

}  // namespace zu::platform
