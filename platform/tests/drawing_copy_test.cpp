// DrawCopyPicture: one context's picture (pixels and texts) made another's.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "zu/platform/drawing.h"

namespace zu::platform {
namespace {

// A surface of w x h pixels with `pad` bytes after each row.
struct Surface {
    int32_t w, h, stride;
    std::vector<uint8_t> data;
    DrawContext* dc;
    Surface(int32_t width, int32_t height, int32_t pad, uint8_t fill)
        : w(width),
          h(height),
          stride(width * 4 + pad),
          data(static_cast<size_t>(stride) * height, fill),
          dc(DrawContextCreate(data.data(), width, height, stride)) {}
    ~Surface() { DrawContextDestroy(dc); }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    const uint8_t* at(int32_t x, int32_t y) const { return &data[y * stride + x * 4]; }
};

bool SamePixels(const Surface& a, const Surface& b) {
    for (int32_t y = 0; y < a.h; ++y) {
        if (std::memcmp(a.at(0, y), b.at(0, y), static_cast<size_t>(a.w) * 4) != 0) return false;
    }
    return true;
}

bool SameTexts(const DrawContext* a, const DrawContext* b) {
    return DrawTextCount(a) == DrawTextCount(b) &&
           std::memcmp(DrawTexts(a), DrawTexts(b),
                       static_cast<size_t>(DrawTextCount(a)) * sizeof(DrawTextEntry)) == 0;
}

TEST(DrawingCopy, APictureCopiesItsPixelsAndTextsAcrossStrides) {
    Surface src(40, 16, 0, 0);
    Surface dst(40, 16, 12, 0x5A);  // another stride, its padding marked
    ASSERT_NE(src.dc, nullptr);
    ASSERT_NE(dst.dc, nullptr);
    const DrawHandle font = DrawCreateFont(12, 5, 400, "Arial");
    ASSERT_NE(font, 0u) << "Liberation Sans is missing (fonts-liberation2)";
    DrawSelectObject(src.dc, font);
    DrawSelectObject(dst.dc, font);
    DrawSetTextColour(src.dc, 0x00FF00);
    DrawBeginPaint(src.dc);
    DrawFillRect(src.dc, {0, 0, 40, 16}, 0x00102030);
    DrawFillRect(src.dc, {3, 2, 9, 7}, 0x00C08040);
    DrawTextOut(src.dc, 12, 2, "HDG", 3);
    DrawTextOut(src.dc, 24, 2, "270", 3);
    // dst has a paint of its own, replaced whole.
    DrawBeginPaint(dst.dc);
    DrawTextOut(dst.dc, 0, 0, "OLD", 3);
    DrawTextOut(dst.dc, 0, 0, "OLDER", 5);
    DrawTextOut(dst.dc, 0, 0, "OLDEST", 6);
    ASSERT_TRUE(DrawCopyPicture(dst.dc, src.dc));
    EXPECT_TRUE(SamePixels(src, dst));
    ASSERT_EQ(DrawTextCount(dst.dc), 2);
    EXPECT_TRUE(SameTexts(src.dc, dst.dc));
    EXPECT_STREQ(DrawTexts(dst.dc)[1].text, "270");
    // The row padding is not the picture's: untouched.
    for (int32_t y = 0; y < dst.h; ++y) {
        for (int32_t i = dst.w * 4; i < dst.stride; ++i) {
            EXPECT_EQ(dst.data[static_cast<size_t>(y * dst.stride + i)], 0x5A) << y << "," << i;
        }
    }
    // The copy is dst's own: src's next paint leaves it.
    DrawBeginPaint(src.dc);
    DrawFillRect(src.dc, {0, 0, 40, 16}, 0);
    EXPECT_EQ(DrawTextCount(dst.dc), 2);
    EXPECT_EQ(dst.at(4, 3)[0], 0x40);
    // The same picture from pixels and texts held apart (a kept copy).
    std::vector<uint8_t> kept(dst.data);
    std::vector<DrawTextEntry> texts(DrawTexts(dst.dc), DrawTexts(dst.dc) + 2);
    ASSERT_TRUE(DrawCopyPicture(src.dc, kept.data(), 40, 16, dst.stride, texts.data(), 2));
    EXPECT_TRUE(SamePixels(src, dst));
    EXPECT_TRUE(SameTexts(src.dc, dst.dc));
    DrawContextDestroy(src.dc);
    DrawContextDestroy(dst.dc);
    src.dc = dst.dc = nullptr;
    EXPECT_TRUE(DrawDeleteObject(font));
}

TEST(DrawingCopy, AnotherSizeOrNoPictureIsRefusedAndChangesNothing) {
    Surface src(20, 10, 0, 0x11);
    Surface wider(21, 10, 0, 0x22);
    Surface taller(20, 11, 0, 0x33);
    DrawBeginPaint(wider.dc);
    DrawTextOut(wider.dc, 0, 0, "KEEP", 4);
    EXPECT_FALSE(DrawCopyPicture(wider.dc, src.dc));
    EXPECT_FALSE(DrawCopyPicture(taller.dc, src.dc));
    EXPECT_FALSE(DrawCopyPicture(src.dc, wider.dc));
    EXPECT_EQ(wider.data, std::vector<uint8_t>(wider.data.size(), 0x22));
    EXPECT_EQ(taller.data, std::vector<uint8_t>(taller.data.size(), 0x33));
    ASSERT_EQ(DrawTextCount(wider.dc), 1);
    EXPECT_STREQ(DrawTexts(wider.dc)[0].text, "KEEP");
    // Null, recording and the same context; pixels with a short stride, too
    // many texts or a count without texts.
    DrawContext* recording = DrawContextCreateRecording(20, 10);
    EXPECT_FALSE(DrawCopyPicture(nullptr, src.dc));
    EXPECT_FALSE(DrawCopyPicture(src.dc, nullptr));
    EXPECT_FALSE(DrawCopyPicture(recording, src.dc));
    EXPECT_FALSE(DrawCopyPicture(src.dc, recording));
    EXPECT_FALSE(DrawCopyPicture(src.dc, src.dc));
    std::vector<uint8_t> pixels(20 * 10 * 4, 0x44);
    std::vector<DrawTextEntry> texts(kDrawTextCapacity + 1);
    EXPECT_FALSE(DrawCopyPicture(src.dc, pixels.data(), 20, 10, 79, nullptr, 0));
    EXPECT_FALSE(
        DrawCopyPicture(src.dc, pixels.data(), 20, 10, 80, texts.data(), kDrawTextCapacity + 1));
    EXPECT_FALSE(DrawCopyPicture(src.dc, pixels.data(), 20, 10, 80, nullptr, 1));
    EXPECT_FALSE(DrawCopyPicture(src.dc, nullptr, 20, 10, 80, nullptr, 0));
    EXPECT_EQ(src.data, std::vector<uint8_t>(src.data.size(), 0x11));
    // A full text store is copied whole.
    for (DrawTextEntry& t : texts) t = {"T", 1, 2, 3, 0};
    EXPECT_TRUE(
        DrawCopyPicture(src.dc, pixels.data(), 20, 10, 80, texts.data(), kDrawTextCapacity));
    EXPECT_EQ(DrawTextCount(src.dc), kDrawTextCapacity);
    EXPECT_EQ(src.data, pixels);
    DrawContextDestroy(recording);
}

// A rectangle's copy takes the pixels a clip of that rectangle lets a paint
// reach (at a scale that rounds its edges), leaves dst's others, and takes
// every text.
TEST(DrawingCopy, ARectanglesCopyTakesThePixelsItsClipReachesAndEveryText) {
    Surface src(30, 15, 0, 0x11);
    Surface dst(30, 15, 8, 0x22);
    DrawSetMapping(src.dc, 20, 10, 30, 15);
    DrawBeginPaint(src.dc);
    DrawSetClipRect(src.dc, {3, 2, 8, 5});
    DrawFillRect(src.dc, {0, 0, 20, 10}, 0x00C0C0C0);
    DrawResetClip(src.dc);
    DrawTextOut(src.dc, 1, 1, "A", 1);
    DrawTextOut(src.dc, 9, 1, "B", 1);
    ASSERT_TRUE(DrawCopyPictureRect(dst.dc, src.dc, {3, 2, 8, 5}));
    int32_t inside = 0;
    for (int32_t y = 0; y < src.h; ++y) {
        for (int32_t x = 0; x < src.w; ++x) {
            const bool in = src.at(x, y)[0] == 0xC0;
            inside += in;
            EXPECT_EQ(dst.at(x, y)[0], in ? 0xC0 : 0x22) << x << "," << y;
        }
    }
    EXPECT_EQ(inside, 8 * 4);  // columns 4..11 and rows 3..6 at 1.5 pixels a unit
    EXPECT_TRUE(SameTexts(src.dc, dst.dc));
    // Nothing of the pixels for an empty rectangle; the texts still.
    DrawBeginPaint(src.dc);
    DrawTextOut(src.dc, 1, 1, "C", 1);
    DrawFillRect(src.dc, {0, 0, 20, 10}, 0x00333333);
    ASSERT_TRUE(DrawCopyPictureRect(dst.dc, src.dc, {5, 5, 5, 9}));
    EXPECT_EQ(dst.at(7, 5)[0], 0xC0);
    EXPECT_TRUE(SameTexts(src.dc, dst.dc));
}

}  // namespace
}  // namespace zu::platform
