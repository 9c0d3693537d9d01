#include "zu/platform/drawing_shapes.h"

#include <gtest/gtest.h>

#include <vector>

namespace zu::platform {
namespace {

struct Surface {
    int32_t w = 40, h = 30, stride = 40 * 4;
    std::vector<uint8_t> data = std::vector<uint8_t>(static_cast<size_t>(40 * 4 * 30), 0);
    bool painted(int32_t x, int32_t y) const { return data[y * stride + x * 4 + 3] != 0; }
    uint8_t red(int32_t x, int32_t y) const { return data[y * stride + x * 4]; }
};

TEST(DrawingShapes, RoundRectAndEllipseFillInsideAndSpareTheCorners) {
    Surface s;
    DrawContext* dc = DrawContextCreate(s.data.data(), s.w, s.h, s.stride);
    ASSERT_NE(dc, nullptr);
    const DrawHandle pen = DrawCreatePen(1, 0x0000FF);
    const DrawHandle brush = DrawCreateBrush(0x0000FF);
    DrawSelectObject(dc, pen);
    DrawSelectObject(dc, brush);
    DrawRoundRect(dc, {2, 2, 30, 20}, 12, 12);
    EXPECT_EQ(s.red(16, 10), 0xFF);  // inside
    EXPECT_FALSE(s.painted(2, 2));   // the cut corner
    EXPECT_TRUE(s.painted(16, 2));   // the straight top edge
    std::fill(s.data.begin(), s.data.end(), 0);
    DrawEllipse(dc, {10, 5, 30, 25});
    EXPECT_TRUE(s.painted(20, 15));
    EXPECT_FALSE(s.painted(11, 6));
    EXPECT_FALSE(s.painted(5, 15));
    // Degenerate rectangles draw nothing.
    std::fill(s.data.begin(), s.data.end(), 0);
    DrawRoundRect(dc, {10, 10, 10, 20}, 4, 4);
    DrawEllipse(dc, {10, 10, 5, 5});
    bool any = false;
    for (uint8_t b : s.data) any = any || b != 0;
    EXPECT_FALSE(any);
    DrawContextDestroy(dc);
    DrawDeleteObject(pen);
    DrawDeleteObject(brush);
}

TEST(DrawingShapes, CentredCharacterKeepsWindows1252DegreeInTheTextList) {
    DrawContext* dc = DrawContextCreateRecording(100, 50);
    ASSERT_NE(dc, nullptr);
    DrawBeginPaint(dc);
    DrawCharCentred(dc, 20, 10, 'A');
    DrawCharCentred(dc, 30, 10, 0xB0);
    ASSERT_EQ(DrawTextCount(dc), 2);
    EXPECT_STREQ(DrawTexts(dc)[0].text, "A");
    EXPECT_EQ(static_cast<unsigned char>(DrawTexts(dc)[1].text[0]), 0xB0);
    EXPECT_EQ(DrawTexts(dc)[1].x, 30);
    // The degree sign also leaves a ring of lines above the cell's middle.
    int lines = 0;
    for (int32_t i = 0; i < DrawRecordedCount(dc); ++i) {
        const DrawCall& c = DrawRecordedCalls(dc)[i];
        if (c.op == DrawOp::LineTo) {
            ++lines;
            EXPECT_LE(c.rect.top, 16);
            EXPECT_GE(c.rect.left, 27);
        }
    }
    EXPECT_EQ(lines, 8);
    DrawContextDestroy(dc);
}

}  // namespace
}  // namespace zu::platform
