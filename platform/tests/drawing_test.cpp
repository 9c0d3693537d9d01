#include "zu/platform/drawing.h"

#include <gtest/gtest.h>

#include <vector>

namespace zu::platform {
namespace {

struct Pixels {
    int32_t w, h, stride;
    std::vector<uint8_t> data;
    Pixels(int32_t width, int32_t height)
        : w(width), h(height), stride(width * 4 + 8), data(static_cast<size_t>(stride) * height) {}
    const uint8_t* at(int32_t x, int32_t y) const { return &data[y * stride + x * 4]; }
};

TEST(Drawing, FillRectExcludesRightAndBottomAndClips) {
    Pixels px(10, 6);
    DrawContext* dc = DrawContextCreate(px.data.data(), px.w, px.h, px.stride);
    ASSERT_NE(dc, nullptr);
    DrawFillRect(dc, {2, 1, 5, 3}, 0x00C08040);  // R 0x40, G 0x80, B 0xC0
    for (int32_t y = 0; y < px.h; ++y) {
        for (int32_t x = 0; x < px.w; ++x) {
            const bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
            const uint8_t* p = px.at(x, y);
            if (inside) {
                EXPECT_EQ(p[0], 0x40);
                EXPECT_EQ(p[1], 0x80);
                EXPECT_EQ(p[2], 0xC0);
                EXPECT_EQ(p[3], 255);
            } else {
                EXPECT_EQ(p[3], 0) << x << "," << y;
            }
        }
    }
    // Far outside, inverted and empty rectangles paint nothing and do not
    // write past the rows (the stride padding stays untouched).
    DrawFillRect(dc, {-100, -100, 1000, 1000}, 0x000000FF);
    DrawFillRect(dc, {5, 5, 2, 2}, 0x0000FF00);
    EXPECT_EQ(px.at(9, 5)[0], 255);
    EXPECT_EQ(px.at(9, 5)[1], 0);
    EXPECT_EQ(px.data[px.w * 4], 0);  // padding of row 0
    DrawContextDestroy(dc);
}

TEST(Drawing, RecordingContextKeepsCallsInOrderAndCountsOverflow) {
    DrawContext* dc = DrawContextCreateRecording(76, 10);
    ASSERT_NE(dc, nullptr);
    DrawFillRect(dc, {0, 1, 76, 10}, 0x000000);
    DrawFillRect(dc, {0, 1, 5, 10}, 0x00D000);
    ASSERT_EQ(DrawRecordedCount(dc), 2);
    EXPECT_EQ(DrawRecordedCalls(dc)[1].rect.right, 5);
    EXPECT_EQ(DrawRecordedCalls(dc)[1].colour, 0x00D000u);
    for (int i = 0; i < kDrawRecordCapacity; ++i) DrawFillRect(dc, {0, 0, 1, 1}, 0);
    EXPECT_EQ(DrawRecordedCount(dc), kDrawRecordCapacity);
    EXPECT_EQ(DrawRecordOverflow(dc), 2);
    DrawRecordClear(dc);
    EXPECT_EQ(DrawRecordedCount(dc), 0);
    DrawContextDestroy(dc);
    DrawFillRect(nullptr, {0, 0, 1, 1}, 0);  // harmless
    EXPECT_EQ(DrawContextCreate(nullptr, 1, 1, 4), nullptr);
    uint8_t one[4];
    EXPECT_EQ(DrawContextCreate(one, 2, 1, 4), nullptr);  // stride too small
}

}  // namespace
}  // namespace zu::platform
