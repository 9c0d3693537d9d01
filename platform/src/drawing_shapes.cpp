// Rounded rectangles, ellipses and centred characters (see
// drawing_shapes.h), built on the layer's polygons, lines and text.
#include "zu/platform/drawing_shapes.h"

#include <algorithm>
#include <cmath>

namespace zu::platform {

namespace {

inline constexpr int32_t kArcSteps = 8;  // segments per quarter
inline constexpr double kHalfPi = 1.57079632679489661923;

// Appends a quarter ellipse centred at (cx, cy) with radii (rx, ry), from
// angle a0 over a quarter turn (y down).
int32_t Quarter(DrawPoint* out, int32_t n, double cx, double cy, double rx, double ry, double a0) {
    for (int32_t i = 0; i <= kArcSteps; ++i) {
        const double a = a0 + kHalfPi * i / kArcSteps;
        out[n++] = DrawPoint{static_cast<int32_t>(std::lround(cx + rx * std::cos(a))),
                             static_cast<int32_t>(std::lround(cy - ry * std::sin(a)))};
    }
    return n;
}

void RoundedOutline(DrawContext* dc, const DrawRect& r, double rx, double ry) {
    DrawPoint pts[4 * (kArcSteps + 1)];
    const double left = r.left, top = r.top;
    const double right = r.right - 1, bottom = r.bottom - 1;
    rx = std::clamp(rx, 0.0, (right - left) / 2.0);
    ry = std::clamp(ry, 0.0, (bottom - top) / 2.0);
    int32_t n = 0;
    n = Quarter(pts, n, right - rx, top + ry, rx, ry, 0.0);
    n = Quarter(pts, n, left + rx, top + ry, rx, ry, kHalfPi);
    n = Quarter(pts, n, left + rx, bottom - ry, rx, ry, 2 * kHalfPi);
    n = Quarter(pts, n, right - rx, bottom - ry, rx, ry, 3 * kHalfPi);
    DrawPolygon(dc, pts, n);
}

}  // namespace

void DrawRoundRect(DrawContext* dc, const DrawRect& rect, int32_t corner_width,
                   int32_t corner_height) {
    if (dc == nullptr || rect.right <= rect.left || rect.bottom <= rect.top) return;
    RoundedOutline(dc, rect, corner_width / 2.0, corner_height / 2.0);
}

void DrawEllipse(DrawContext* dc, const DrawRect& rect) {
    if (dc == nullptr || rect.right <= rect.left || rect.bottom <= rect.top) return;
    RoundedOutline(dc, rect, (rect.right - rect.left) / 2.0, (rect.bottom - rect.top) / 2.0);
}

void DrawArc(DrawContext* dc, const DrawRect& rect, int32_t start_x, int32_t start_y, int32_t end_x,
             int32_t end_y) {
    if (dc == nullptr || rect.right <= rect.left || rect.bottom <= rect.top) return;
    constexpr int32_t kSteps = 32;  // segments of a whole turn's arc
    const double cx = (rect.left + rect.right - 1) / 2.0;
    const double cy = (rect.top + rect.bottom - 1) / 2.0;
    const double rx = (rect.right - 1 - rect.left) / 2.0;
    const double ry = (rect.bottom - 1 - rect.top) / 2.0;
    // Angles counted counter-clockwise on the screen (y down).
    const double a0 = std::atan2(cy - start_y, start_x - cx);
    double sweep = std::atan2(cy - end_y, end_x - cx) - a0;
    while (sweep <= 0) sweep += 4 * kHalfPi;
    const auto steps = std::max<int32_t>(2, static_cast<int32_t>(kSteps * sweep / (4 * kHalfPi)));
    for (int32_t i = 0; i <= steps; ++i) {
        const double a = a0 + sweep * i / steps;
        const auto px = static_cast<int32_t>(std::lround(cx + rx * std::cos(a)));
        const auto py = static_cast<int32_t>(std::lround(cy - ry * std::sin(a)));
        if (i == 0) {
            DrawMoveTo(dc, px, py);
        } else {
            DrawLineTo(dc, px, py);
        }
    }
}

void DrawCharCentred(DrawContext* dc, int32_t x, int32_t y, unsigned char ch) {
    if (dc == nullptr) return;
    DrawSetTextAlign(dc, kDrawTaCenter | kDrawTaTop);
    const char text[1] = {static_cast<char>(ch)};
    DrawTextOut(dc, x, y, text, 1);
    if (ch == 0xB0) {
        // A ring in the upper part of the cell.
        DrawMoveTo(dc, x - 1, y + 2);
        DrawLineTo(dc, x + 1, y + 2);
        DrawLineTo(dc, x + 2, y + 3);
        DrawLineTo(dc, x + 2, y + 5);
        DrawLineTo(dc, x + 1, y + 6);
        DrawLineTo(dc, x - 1, y + 6);
        DrawLineTo(dc, x - 2, y + 5);
        DrawLineTo(dc, x - 2, y + 3);
        DrawLineTo(dc, x - 1, y + 2);
    }
}

}  // namespace zu::platform
