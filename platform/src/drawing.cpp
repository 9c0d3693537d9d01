#include "zu/platform/drawing.h"

#include <algorithm>
#include <new>

namespace zu::platform {

struct DrawContext {
    uint8_t* pixels = nullptr;  // null: recording
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
    int32_t recorded = 0;
    int32_t overflow = 0;
    DrawCall calls[kDrawRecordCapacity];
};

namespace {

void Record(DrawContext* dc, const DrawCall& call) {
    if (dc->recorded < kDrawRecordCapacity) {
        dc->calls[dc->recorded++] = call;
    } else {
        ++dc->overflow;
    }
}

}  // namespace

DrawContext* DrawContextCreate(uint8_t* pixels, int32_t width, int32_t height, int32_t stride) {
    if (pixels == nullptr || width <= 0 || height <= 0 || stride < width * 4) return nullptr;
    auto* dc = new (std::nothrow) DrawContext;
    if (dc == nullptr) return nullptr;
    dc->pixels = pixels;
    dc->width = width;
    dc->height = height;
    dc->stride = stride;
    return dc;
}

DrawContext* DrawContextCreateRecording(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return nullptr;
    auto* dc = new (std::nothrow) DrawContext;
    if (dc == nullptr) return nullptr;
    dc->width = width;
    dc->height = height;
    return dc;
}

void DrawContextDestroy(DrawContext* dc) {
    delete dc;
}

void DrawFillRect(DrawContext* dc, const DrawRect& rect, uint32_t colour) {
    if (dc == nullptr) return;
    if (dc->pixels == nullptr) {
        Record(dc, {DrawOp::FillRect, rect, colour});
        return;
    }
    const int32_t left = std::max(rect.left, 0);
    const int32_t top = std::max(rect.top, 0);
    const int32_t right = std::min(rect.right, dc->width);
    const int32_t bottom = std::min(rect.bottom, dc->height);
    if (left >= right || top >= bottom) return;
    const uint8_t r = static_cast<uint8_t>(colour & 0xFF);
    const uint8_t g = static_cast<uint8_t>((colour >> 8) & 0xFF);
    const uint8_t b = static_cast<uint8_t>((colour >> 16) & 0xFF);
    for (int32_t y = top; y < bottom; ++y) {
        uint8_t* p = dc->pixels + static_cast<size_t>(y) * static_cast<size_t>(dc->stride) +
                     static_cast<size_t>(left) * 4;
        for (int32_t x = left; x < right; ++x, p += 4) {
            p[0] = r;
            p[1] = g;
            p[2] = b;
            p[3] = 255;
        }
    }
}

int32_t DrawRecordedCount(const DrawContext* dc) {
    return dc != nullptr ? dc->recorded : 0;
}

const DrawCall* DrawRecordedCalls(const DrawContext* dc) {
    return dc != nullptr ? dc->calls : nullptr;
}

int32_t DrawRecordOverflow(const DrawContext* dc) {
    return dc != nullptr ? dc->overflow : 0;
}

void DrawRecordClear(DrawContext* dc) {
    if (dc == nullptr) return;
    dc->recorded = 0;
    dc->overflow = 0;
}

}  // namespace zu::platform
