#include "zu/platform/drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
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

// Helpers for the GDI-rule tests: a painted pixel's colour as 0x00BBGGRR.
uint32_t Colour(const Pixels& px, int32_t x, int32_t y) {
    const uint8_t* p = px.at(x, y);
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16);
}

TEST(Drawing, LinesLeaveTheirEndPixelAndMergePenOrsChannels) {
    Pixels px(12, 8);
    DrawContext* dc = DrawContextCreate(px.data.data(), px.w, px.h, px.stride);
    const DrawHandle red = DrawCreatePen(1, 0x0000F0);
    const DrawHandle blue = DrawCreatePen(1, 0xF00000);
    EXPECT_EQ(DrawSelectObject(dc, red), 0u);
    DrawMoveTo(dc, 1, 2);
    DrawLineTo(dc, 6, 2);
    for (int32_t x = 1; x < 6; ++x) EXPECT_EQ(Colour(px, x, 2), 0x0000F0u) << x;
    EXPECT_EQ(px.at(6, 2)[3], 0);  // the end pixel is left
    EXPECT_EQ(px.at(1, 1)[3], 0);  // one device pixel wide
    // Merge pen: an exact OR with what is there.
    DrawSetRop2(dc, DrawRop2::MergePen);
    EXPECT_EQ(DrawSelectObject(dc, blue), red);
    DrawMoveTo(dc, 3, 2);
    DrawLineTo(dc, 3, 5);
    EXPECT_EQ(Colour(px, 3, 2), 0xF000F0u);
    EXPECT_EQ(Colour(px, 3, 4), 0xF00000u);
    EXPECT_EQ(px.at(3, 5)[3], 0);
    DrawSelectObject(dc, red);
    EXPECT_TRUE(DrawDeleteObject(blue));
    EXPECT_FALSE(DrawDeleteObject(red));  // still selected
    DrawContextDestroy(dc);
    EXPECT_TRUE(DrawDeleteObject(red));  // the context let it go
}

TEST(Drawing, HandlesCarryAGenerationAndStaleOnesAreRefused) {
    const int32_t live = DrawLiveObjects();
    const DrawHandle a = DrawCreateBrush(0x123456);
    ASSERT_NE(a, 0u);
    EXPECT_EQ(DrawObjectKindOf(a), DrawObjectKind::Brush);
    EXPECT_EQ(DrawObjectColour(a), 0x123456u);
    EXPECT_TRUE(DrawDeleteObject(a));
    EXPECT_FALSE(DrawDeleteObject(a));               // twice
    const DrawHandle b = DrawCreateBrush(0x654321);  // may reuse the slot
    EXPECT_NE(a, b);
    EXPECT_EQ(DrawObjectKindOf(a), DrawObjectKind::None);
    Pixels px(4, 4);
    DrawContext* dc = DrawContextCreate(px.data.data(), px.w, px.h, px.stride);
    EXPECT_EQ(DrawSelectObject(dc, a), 0u);  // stale: nothing selected
    DrawFillRectBrush(dc, {0, 0, 4, 4}, a);
    EXPECT_EQ(px.at(0, 0)[3], 0);
    DrawFillRectBrush(dc, {0, 0, 4, 4}, b);
    EXPECT_EQ(Colour(px, 3, 3), 0x654321u);
    EXPECT_FALSE(DrawDeleteObject(0xDEADBEEFu));
    EXPECT_TRUE(DrawDeleteObject(b));
    DrawContextDestroy(dc);
    EXPECT_EQ(DrawLiveObjects(), live);
    // The pool is fixed: creation fails cleanly when it is full.
    std::vector<DrawHandle> all;
    for (int i = 0; i < kDrawPoolSize + 4; ++i) {
        const DrawHandle h = DrawCreatePen(1, 0);
        if (h == 0) break;
        all.push_back(h);
    }
    EXPECT_LE(static_cast<int32_t>(all.size()), kDrawPoolSize);
    EXPECT_EQ(DrawCreatePen(1, 0), 0u);
    for (DrawHandle h : all) EXPECT_TRUE(DrawDeleteObject(h));
}

TEST(Drawing, RectangleAndPolygonFollowTheGdiEdges) {
    Pixels px(12, 12);
    DrawContext* dc = DrawContextCreate(px.data.data(), px.w, px.h, px.stride);
    const DrawHandle pen = DrawCreatePen(1, 0x00FF00);
    const DrawHandle brush = DrawCreateBrush(0x0000FF);
    DrawSelectObject(dc, pen);
    DrawSelectObject(dc, brush);
    DrawRectangle(dc, {1, 1, 5, 4});
    EXPECT_EQ(Colour(px, 1, 1), 0x00FF00u);
    EXPECT_EQ(Colour(px, 4, 3), 0x00FF00u);  // outline's last column/row
    EXPECT_EQ(Colour(px, 2, 2), 0x0000FFu);  // inside
    EXPECT_EQ(px.at(5, 1)[3], 0);
    EXPECT_EQ(px.at(1, 4)[3], 0);
    // A clip rectangle keeps everything else out.
    DrawSetClipRect(dc, {6, 6, 9, 9});
    const DrawPoint tri[] = {{6, 6}, {11, 6}, {6, 11}};
    DrawPolygon(dc, tri, 3);
    EXPECT_NE(px.at(7, 7)[3], 0);
    EXPECT_EQ(px.at(9, 6)[3], 0);
    EXPECT_EQ(px.at(6, 9)[3], 0);
    DrawResetClip(dc);
    DrawContextDestroy(dc);
    DrawDeleteObject(pen);
    DrawDeleteObject(brush);
}

TEST(Drawing, TheLogicalGridMapsOntoThePixels) {
    // A 2x surface painted on a design grid of half its size.
    Pixels px(20, 20);
    DrawContext* dc = DrawContextCreate(px.data.data(), px.w, px.h, px.stride);
    DrawSetLogicalSize(dc, 10, 10);
    DrawFillRect(dc, {1, 1, 3, 2}, 0xFFFFFF);
    EXPECT_EQ(px.at(1, 1)[3], 0);
    EXPECT_EQ(Colour(px, 2, 2), 0xFFFFFFu);
    EXPECT_EQ(Colour(px, 5, 3), 0xFFFFFFu);
    EXPECT_EQ(px.at(6, 2)[3], 0);
    EXPECT_EQ(px.at(2, 4)[3], 0);
    // A width-1 pen stays one device pixel.
    const DrawHandle pen = DrawCreatePen(1, 0x0000FF);
    DrawSelectObject(dc, pen);
    DrawMoveTo(dc, 0, 8);
    DrawLineTo(dc, 9, 8);
    int painted = 0;
    for (int32_t y = 14; y < 20; ++y) painted += px.at(4, y)[3] != 0;
    EXPECT_EQ(painted, 1);
    DrawContextDestroy(dc);
    DrawDeleteObject(pen);
}

TEST(Drawing, BlitsCopyOrOrAndSmoothCallsPaintInTheirColour) {
    Pixels a(8, 8), b(8, 8);
    DrawContext* da = DrawContextCreate(a.data.data(), a.w, a.h, a.stride);
    DrawContext* db = DrawContextCreate(b.data.data(), b.w, b.h, b.stride);
    DrawFillRect(da, {0, 0, 8, 8}, 0x000080);
    DrawFillRect(db, {0, 0, 8, 8}, 0x008000);
    DrawBitBlt(db, 2, 2, 3, 3, da, 0, 0, DrawBlitRop::SrcPaint);
    EXPECT_EQ(Colour(b, 2, 2), 0x008080u);
    EXPECT_EQ(Colour(b, 5, 5), 0x008000u);
    DrawBitBlt(db, 0, 0, 1, 1, da, 0, 0, DrawBlitRop::SrcCopy);
    EXPECT_EQ(Colour(b, 0, 0), 0x000080u);
    // Smooth colours are 0x00RRGGBB: red lands in the first byte.
    SmoothFillRect(da, 0, 0, 4, 4, 0xFF0000);
    EXPECT_EQ(a.at(1, 1)[0], 255);
    EXPECT_EQ(a.at(1, 1)[2], 0);
    EXPECT_EQ(a.at(5, 5)[0], 0x80);  // outside: untouched
    SmoothLine(da, 0, 6, 7, 6, 0x00FF00);
    EXPECT_EQ(a.at(3, 6)[1], 255);  // a horizontal line on pixel centres
    DrawContextDestroy(da);
    DrawContextDestroy(db);
}

TEST(Drawing, SmoothShapesTurnScaleAndStayInsideTheClip) {
    Pixels a(40, 40);
    DrawContext* dc = DrawContextCreate(a.data.data(), a.w, a.h, a.stride);
    // At 2:1 a smooth line is one device pixel wide, centred on the middle
    // of its logical unit (device y 11.0): half of rows 10 and 11 each.
    DrawSetLogicalSize(dc, 20, 20);
    SmoothLine(dc, 2, 5, 18, 5, 0xFFFFFF);
    EXPECT_NEAR(a.at(20, 10)[0] + a.at(20, 11)[0], 255, 3);
    EXPECT_NEAR(a.at(20, 10)[0], 128, 10);
    EXPECT_EQ(a.at(20, 9)[0], 0);
    EXPECT_EQ(a.at(20, 12)[0], 0);
    // A fill turned 90 degrees about its centre, clipped to the left half.
    DrawSetLogicalSize(dc, 40, 40);
    DrawSetClipRect(dc, {0, 0, 20, 40});
    SmoothSetTransform(dc, 90, 20, 20, 0);
    SmoothFillRect(dc, 10, 18, 20, 4, 0x0000FF);  // lies 18..22 x 10..30 once turned
    SmoothSetTransform(dc, 0, 0, 0, 0);
    EXPECT_EQ(a.at(19, 15)[2], 255);
    EXPECT_EQ(a.at(19, 8)[2], 0);
    EXPECT_EQ(a.at(20, 15)[2], 0);  // right of the clip
    DrawResetClip(dc);
    DrawContextDestroy(dc);
}

TEST(Drawing, TextIsLetteredAndKeptForTheHost) {
    Pixels px(60, 20);
    DrawContext* dc = DrawContextCreate(px.data.data(), px.w, px.h, px.stride);
    const DrawHandle font = DrawCreateFont(12, 5, 700, "Arial");
    ASSERT_NE(font, 0u) << "Liberation Sans is missing (fonts-liberation2)";
    DrawSelectObject(dc, font);
    DrawSetTextColour(dc, 0x00FF00);
    DrawBeginPaint(dc);
    DrawTextOut(dc, 2, 3, "090", 3);
    ASSERT_EQ(DrawTextCount(dc), 1);
    EXPECT_STREQ(DrawTexts(dc)[0].text, "090");
    EXPECT_EQ(DrawTexts(dc)[0].x, 2);
    EXPECT_EQ(DrawTexts(dc)[0].font, font);
    // Inked within the cell: TA_TOP puts the cell top at y, 12 rows high.
    int inked = 0, outside = 0;
    for (int32_t y = 0; y < px.h; ++y) {
        for (int32_t x = 0; x < px.w; ++x) {
            if (px.at(x, y)[1] == 0) continue;
            ++inked;
            if (y < 3 || y >= 15 || x < 2 || x > 20) ++outside;
        }
    }
    EXPECT_GT(inked, 10);
    EXPECT_EQ(outside, 0);
    // Over-long texts are cut to the entry; the list is per paint.
    DrawTextOut(dc, 0, 0, "0123456789012345678901234567890123456789", 40);
    EXPECT_EQ(std::string(DrawTexts(dc)[1].text).size(), 31u);
    DrawBeginPaint(dc);
    EXPECT_EQ(DrawTextCount(dc), 0);
    // An entry is its text and zeros after it, whatever the slot held before.
    DrawTextOut(dc, 0, 0, "AB", 2);
    DrawTextOut(dc, 0, 0, "C", 1);
    ASSERT_EQ(DrawTextCount(dc), 2);
    for (size_t i = 1; i < sizeof DrawTexts(dc)[1].text; ++i) {
        EXPECT_EQ(DrawTexts(dc)[1].text[i], 0) << i;
    }
    for (size_t i = 2; i < sizeof DrawTexts(dc)[0].text; ++i) {
        EXPECT_EQ(DrawTexts(dc)[0].text[i], 0) << i;
    }
    EXPECT_FALSE(DrawDeleteObject(font));
    DrawContextDestroy(dc);
    EXPECT_TRUE(DrawDeleteObject(font));
}

TEST(Drawing, ClipRegionsKeepBothLayersInsideTheirPixels) {
    Pixels px(40, 40);
    DrawContext* dc = DrawContextCreate(px.data.data(), px.w, px.h, px.stride);
    // A trapezoid, narrow at the bottom, and an ellipse cutting its top.
    const DrawPoint trapezoid[4] = {{15, 39}, {0, 0}, {40, 0}, {25, 39}};
    DrawRegion poly{};
    ASSERT_TRUE(DrawRegionPolygon(&poly, trapezoid, 4));
    const DrawRegion ellipse = DrawRegionEllipse({0, 10, 40, 70});
    DrawRegion both{};
    ASSERT_TRUE(DrawRegionAnd(&both, ellipse, poly));
    EXPECT_FALSE(DrawRegionAnd(&both, poly, poly));
    EXPECT_TRUE(DrawRegionContains(both, 20, 20));
    EXPECT_FALSE(DrawRegionContains(both, 20, 5));  // above the ellipse
    EXPECT_FALSE(DrawRegionContains(both, 5, 30));  // left of the trapezoid
    EXPECT_TRUE(DrawRegionContains(poly, 20, 5));
    // A rectangle region excludes its right column and bottom row.
    const DrawRegion rect = DrawRegionRect({2, 2, 5, 5});
    EXPECT_TRUE(DrawRegionContains(rect, 4, 4));
    EXPECT_FALSE(DrawRegionContains(rect, 5, 4));
    EXPECT_FALSE(DrawRegionContains(rect, 4, 5));

    DrawSelectClipRegion(dc, both);
    const DrawHandle pen = DrawCreatePen(1, 0x00FF00);
    DrawSelectObject(dc, pen);
    DrawMoveTo(dc, 0, 30);
    DrawLineTo(dc, 40, 30);
    SmoothLine(dc, 0, 20, 39, 20, 0x0000FF);
    SmoothLine(dc, 20, 0, 20, 39, 0xFF0000);
    for (int32_t y = 0; y < 40; ++y) {
        for (int32_t x = 0; x < 40; ++x) {
            if (!DrawRegionContains(both, x, y)) {
                ASSERT_EQ(px.at(x, y)[3], 0) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(Colour(px, 14, 30), 0x00FF00u);
    EXPECT_GT(px.at(10, 20)[2], 200);  // smooth blue inside
    EXPECT_GT(px.at(20, 25)[0], 200);  // smooth red inside
    // Reset: everything paints again.
    DrawResetClip(dc);
    DrawMoveTo(dc, 0, 5);
    DrawLineTo(dc, 40, 5);
    EXPECT_EQ(Colour(px, 1, 5), 0x00FF00u);
    DrawContextDestroy(dc);
    DrawDeleteObject(pen);
}

TEST(Drawing, SavedStateKeepsItsObjectsAndRestoresSelectionsAndClip) {
    Pixels px(20, 20);
    DrawContext* dc = DrawContextCreate(px.data.data(), px.w, px.h, px.stride);
    const DrawHandle before = DrawCreatePen(1, 0x0000FF);
    const DrawHandle during = DrawCreatePen(1, 0x00FF00);
    const DrawHandle brush = DrawCreateBrush(0xFF0000);
    DrawSelectObject(dc, before);
    EXPECT_EQ(DrawSaveState(dc), 1);
    // A kept object cannot be deleted even once another is selected.
    DrawSelectObject(dc, during);
    DrawSelectObject(dc, brush);
    DrawSetRop2(dc, DrawRop2::MergePen);
    DrawSetClipRect(dc, {0, 0, 5, 5});
    EXPECT_FALSE(DrawDeleteObject(before));
    EXPECT_FALSE(DrawDeleteObject(during));
    ASSERT_TRUE(DrawRestoreState(dc));
    EXPECT_FALSE(DrawRestoreState(dc));  // nothing more kept
    // What the picture selected is free again; the first pen draws, with
    // the clip and raster operation of before.
    EXPECT_TRUE(DrawDeleteObject(during));
    EXPECT_TRUE(DrawDeleteObject(brush));
    EXPECT_FALSE(DrawDeleteObject(before));
    DrawFillRect(dc, {0, 0, 20, 20}, 0x00FF00);
    DrawMoveTo(dc, 0, 10);
    DrawLineTo(dc, 20, 10);
    EXPECT_EQ(Colour(px, 15, 10), 0x0000FFu);  // copy-pen, outside the old clip
    // Nesting is bounded; a full stack refuses and changes nothing.
    for (int32_t i = 1; i <= kDrawStateDepth; ++i) EXPECT_EQ(DrawSaveState(dc), i);
    EXPECT_EQ(DrawSaveState(dc), 0);
    EXPECT_EQ(DrawSaveState(nullptr), 0);
    // Destroying the context releases the kept objects too.
    DrawContextDestroy(dc);
    EXPECT_TRUE(DrawDeleteObject(before));
}

TEST(Drawing, TheSmoothLayersOwnClipStandsApartFromTheContexts) {
    Pixels px(40, 40);
    DrawContext* dc = DrawContextCreate(px.data.data(), px.w, px.h, px.stride);
    const DrawHandle pen = DrawCreatePen(1, 0x00FF00);
    DrawSelectObject(dc, pen);
    const DrawRegion left = DrawRegionRect({0, 0, 20, 40});
    const DrawRegion top = DrawRegionRect({0, 0, 40, 20});
    DrawSelectClipRegion(dc, left);
    DrawSetSmoothClip(dc, top);
    // Lines of one pixel and texts keep to the context's region, smooth
    // shapes to their own.
    DrawMoveTo(dc, 0, 30);
    DrawLineTo(dc, 40, 30);
    SmoothLine(dc, 0, 10, 39, 10, 0xFF0000);
    SmoothLine(dc, 30, 0, 30, 39, 0x0000FF);
    EXPECT_EQ(Colour(px, 10, 30), 0x00FF00u);
    EXPECT_EQ(px.at(30, 30)[3], 0);
    EXPECT_GT(px.at(25, 10)[0], 200);  // right of the context's region
    EXPECT_GT(px.at(30, 5)[2], 200);
    EXPECT_EQ(px.at(30, 25)[3], 0);  // below its own
    // Resetting the smooth clip frees the smooth shapes alone.
    DrawResetSmoothClip(dc);
    SmoothLine(dc, 35, 0, 35, 39, 0x0000FF);
    EXPECT_GT(px.at(35, 30)[2], 200);
    DrawMoveTo(dc, 0, 35);
    DrawLineTo(dc, 40, 35);
    EXPECT_EQ(px.at(30, 35)[1], 0);
    // A clip of both layers gives the smooth clip up.
    DrawSetSmoothClip(dc, top);
    DrawResetClip(dc);
    SmoothLine(dc, 38, 0, 38, 39, 0x0000FF);
    EXPECT_GT(px.at(38, 30)[2], 200);
    DrawContextDestroy(dc);
    DrawDeleteObject(pen);
}

TEST(Drawing, RectanglesCutOutOfARegionSplitItsRows) {
    Pixels px(40, 40);
    DrawContext* dc = DrawContextCreate(px.data.data(), px.w, px.h, px.stride);
    // An ellipse less a notch in its middle and its lower quarter.
    const DrawRegion ellipse = DrawRegionEllipse({0, 0, 40, 40});
    DrawRegion cut{};
    ASSERT_TRUE(DrawRegionSubtractRect(&cut, ellipse, {15, 20, 25, 30}));
    ASSERT_TRUE(DrawRegionSubtractRect(&cut, cut, {0, 30, 40, 40}));
    EXPECT_TRUE(DrawRegionContains(cut, 10, 25));
    EXPECT_FALSE(DrawRegionContains(cut, 20, 25));  // the notch
    EXPECT_TRUE(DrawRegionContains(cut, 25, 25));   // its right edge is excluded
    EXPECT_FALSE(DrawRegionContains(cut, 20, 32));  // the lower quarter
    // The cut-outs are kept when the region meets a polygon, up to the limit.
    const DrawPoint square[4] = {{0, 0}, {40, 0}, {40, 40}, {0, 40}};
    DrawRegion poly{}, both{};
    ASSERT_TRUE(DrawRegionPolygon(&poly, square, 4));
    ASSERT_TRUE(DrawRegionAnd(&both, poly, cut));
    EXPECT_FALSE(DrawRegionContains(both, 20, 25));
    DrawRegion full = cut;
    while (DrawRegionSubtractRect(&full, full, {0, 0, 1, 1})) {
    }
    EXPECT_EQ(full.cut_count, kDrawRegionMaxCuts);
    DrawRegion poly_cut{};
    ASSERT_TRUE(DrawRegionSubtractRect(&poly_cut, poly, {0, 0, 1, 1}));
    EXPECT_FALSE(DrawRegionAnd(&both, poly_cut, full));
    EXPECT_FALSE(DrawRegionSubtractRect(&full, DrawRegion{}, {0, 0, 1, 1}));

    // Both layers paint exactly the region's pixels, on both sides of the
    // notch.
    DrawSelectClipRegion(dc, cut);
    SmoothFillRect(dc, 0, 0, 40, 40, 0x0000FF);
    const DrawHandle brush = DrawCreateBrush(0x00FF00);
    DrawFillRectBrush(dc, {0, 22, 40, 23}, brush);
    for (int32_t y = 0; y < 40; ++y) {
        for (int32_t x = 0; x < 40; ++x) {
            ASSERT_EQ(px.at(x, y)[3] != 0, DrawRegionContains(cut, x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(Colour(px, 10, 22), 0x00FF00u);
    EXPECT_EQ(Colour(px, 30, 22), 0x00FF00u);
    DrawContextDestroy(dc);
    DrawDeleteObject(brush);
}

// A text laid out in a box: format 0x15 centres each line across and the
// lines' block down, and breaks at blanks; everything is cut to the box.
TEST(Drawing, BoxedTextBreaksIntoCentredLinesClippedToTheBox) {
    Pixels px(100, 70);
    DrawContext* dc = DrawContextCreate(px.data.data(), px.w, px.h, px.stride);
    const DrawHandle font = DrawCreateFont(12, 5, 700, "Arial");
    ASSERT_NE(font, 0u);
    DrawSelectObject(dc, font);
    DrawSetTextColour(dc, 0xFFFFFF);
    DrawSetTextAlign(dc, kDrawTaRight | kDrawTaBaseline);
    DrawBeginPaint(dc);
    const DrawRect box{41, 30, 70, 52};
    DrawTextInRect(dc, box, "TCAS OFF", 8, 0x15);
    // Two lines 12 apart, their block of 24 centred on the box's 22 rows,
    // each centred on x 55.
    ASSERT_EQ(DrawTextCount(dc), 2);
    EXPECT_STREQ(DrawTexts(dc)[0].text, "TCAS");
    EXPECT_STREQ(DrawTexts(dc)[1].text, "OFF");
    EXPECT_EQ(DrawTexts(dc)[0].x, 55);
    EXPECT_EQ(DrawTexts(dc)[1].x, 55);
    EXPECT_EQ(DrawTexts(dc)[0].y, 29);
    EXPECT_EQ(DrawTexts(dc)[1].y, 41);
    int outside = 0, upper = 0, lower = 0;
    int32_t left = px.w, right = 0;
    for (int32_t y = 0; y < px.h; ++y) {
        for (int32_t x = 0; x < px.w; ++x) {
            if (px.at(x, y)[0] == 0) continue;
            if (x < box.left || x >= box.right || y < box.top || y >= box.bottom) ++outside;
            (y < 41 ? upper : lower) += 1;
            if (y < 41) left = std::min(left, x), right = std::max(right, x);
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(upper, 20);
    EXPECT_GT(lower, 20);
    EXPECT_NEAR((left + right) / 2.0, 55.0, 1.5);
    // The alignment and clip are the context's again: a text right-aligned
    // on its baseline at (99, 68), far outside the box, shows.
    DrawTextOut(dc, 99, 68, "I", 1);
    EXPECT_GT(px.at(98, 64)[0] + px.at(97, 64)[0] + px.at(96, 64)[0], 0);

    // Without word break one line, cut at the box; a word wider than the box
    // stands alone on its line; a line that fits centres down the box.
    DrawBeginPaint(dc);
    DrawTextInRect(dc, {10, 0, 30, 12}, "TCAS OFF", 8, 0);
    ASSERT_EQ(DrawTextCount(dc), 1);
    EXPECT_EQ(DrawTexts(dc)[0].x, 10);
    EXPECT_EQ(DrawTexts(dc)[0].y, 0);
    DrawBeginPaint(dc);
    DrawTextInRect(dc, {0, 0, 20, 40}, "STANDBY  ON OFF", 15, 0x15);
    ASSERT_EQ(DrawTextCount(dc), 3);
    EXPECT_STREQ(DrawTexts(dc)[0].text, "STANDBY");
    EXPECT_STREQ(DrawTexts(dc)[1].text, "ON");
    EXPECT_STREQ(DrawTexts(dc)[2].text, "OFF");
    EXPECT_EQ(DrawTexts(dc)[0].y, 2);
    DrawBeginPaint(dc);
    DrawTextInRect(dc, {0, 0, 60, 40}, "ON OFF", 6, 0x15);
    ASSERT_EQ(DrawTextCount(dc), 1);
    EXPECT_STREQ(DrawTexts(dc)[0].text, "ON OFF");
    EXPECT_EQ(DrawTexts(dc)[0].y, 14);
    DrawContextDestroy(dc);
    DrawDeleteObject(font);
}

TEST(Drawing, OpaqueTextFillsItsCellWithTheBackground) {
    Pixels px(60, 20);
    DrawContext* dc = DrawContextCreate(px.data.data(), px.w, px.h, px.stride);
    DrawFillRect(dc, {0, 0, 60, 20}, 0xFFFFFF);
    const DrawHandle font = DrawCreateFont(12, 5, 700, "Arial");
    ASSERT_NE(font, 0u);
    DrawSelectObject(dc, font);
    DrawSetTextColour(dc, 0x0000FF);
    DrawTextOut(dc, 2, 2, "II", 2);  // transparent: white between the strokes
    EXPECT_EQ(Colour(px, 2, 13), 0xFFFFFFu);
    DrawSetBkMode(dc, true);
    DrawSetBkColour(dc, 0x000000);
    DrawTextOut(dc, 30, 2, " I", 2);
    // The cell, rows 2..13: black under the blank.
    int black = 0;
    for (int32_t y = 2; y < 14; ++y) black += Colour(px, 31, y) == 0u;
    EXPECT_EQ(black, 12);
    EXPECT_EQ(Colour(px, 30, 1), 0xFFFFFFu);   // above the cell
    EXPECT_EQ(Colour(px, 30, 15), 0xFFFFFFu);  // below it
    DrawContextDestroy(dc);
    DrawDeleteObject(font);
}

}  // namespace
}  // namespace zu::platform

namespace zu::platform {
namespace {

// A scene touching every path with a fast and a reference form: fills and
// merged fills through a region with cuts, stretched pictures copied and
// merged, smooth shapes of every coverage over a varied background (with
// and without the smooth layer's own clip), text (also cut by a clip
// rectangle), and a region selected again after another. Painted once each way, the pixels must
// agree.
void PaintMixedScene(DrawContext* dc, int32_t w, int32_t h) {
    std::vector<uint32_t> dib(37 * 23);
    for (size_t i = 0; i < dib.size(); ++i) dib[i] = static_cast<uint32_t>(i * 2654435761u);
    DrawBeginPaint(dc);
    DrawStretchDib(dc, -3, 2, w + 5, h - 1, dib.data(), 37, 23, true, DrawBlitRop::SrcCopy);
    DrawRegion wheel = DrawRegionEllipse({4, 3, w - 6, h - 2});
    DrawRegion cut{};
    ASSERT_TRUE(DrawRegionSubtractRect(&cut, wheel, {w / 2 - 5, 0, w / 2 + 4, h / 3}));
    const DrawPoint diamond[5] = {
        {w / 2, 1}, {w - 2, h / 2}, {w / 2 + 3, h - 1}, {2, h / 2}, {w / 3, 4}};
    DrawRegion poly{};
    ASSERT_TRUE(DrawRegionPolygon(&poly, diamond, 5));
    DrawSelectClipRegion(dc, cut);
    DrawFillRect(dc, {0, h / 2, w, h}, 0x00304050);
    DrawSetRop2(dc, DrawRop2::MergePen);
    DrawFillRect(dc, {w / 4, 0, w, h / 2 + 7}, 0x00800801);
    DrawSetRop2(dc, DrawRop2::CopyPen);
    DrawStretchDib(dc, 5, 5, w / 2, h / 2, dib.data(), 37, 23, false, DrawBlitRop::SrcPaint);
    for (int32_t i = 0; i < 40; ++i) {
        const double a = i * 0.157;
        SmoothLine(dc, w / 2.0, h / 2.0, w / 2.0 + std::cos(a) * w * 0.6,
                   h / 2.0 + std::sin(a) * h * 0.6, 0x102030u * static_cast<uint32_t>(i + 1));
    }
    DrawSelectClipRegion(dc, poly);
    SmoothSetTransform(dc, 17.5, w / 2.0, h / 2.0, 1.25);
    SmoothFillRect(dc, w / 4.0 + 0.3, h / 4.0 + 0.6, w / 2.0, h / 3.0, 0x00E0A030);
    SmoothSetTransform(dc, 0, 0, 0, 0);
    SmoothEllipse(dc, 3.4, 2.7, w - 7.1, h - 5.3, 0x0040F0C0);
    DrawSetSmoothClip(dc, wheel);
    SmoothArc(dc, 6.2, 4.9, w - 12.0, h - 9.0, 30, 250, 0x00FFFFFF);
    DrawSelectClipRegion(dc, cut);  // the first region again
    DrawHandle font = DrawCreateFont(14, 0, 400, "Arial");
    DrawSelectObject(dc, font);
    DrawSetTextColour(dc, 0x0000C0FF);
    DrawSetBkMode(dc, true);
    DrawSetBkColour(dc, 0x00102000);
    DrawTextOut(dc, 6, h / 2 - 7, "N 123.45", 8);
    DrawSetBkMode(dc, false);
    DrawTextOut(dc, w / 2, h - 16, "WXYZ", 4);
    DrawSetClipRect(dc, {w / 3, h / 2 - 5, w / 2 + 2, h / 2 + 2});  // across the letters
    DrawSetTextColour(dc, 0x0040FF40);
    DrawTextOut(dc, w / 3 - 4, h / 2 - 9, "8.5", 3);
    DrawResetClip(dc);
    DrawSelectObject(dc, 0);
    DrawContextDestroy(dc);
    DrawDeleteObject(font);
}

TEST(Drawing, EveryPathPaintsWhatItsReferencePathPaints) {
    for (const auto& [w, h] : {std::pair{96, 64}, std::pair{151, 117}}) {
        Pixels fast(w, h), reference(w, h);
        PaintMixedScene(DrawContextCreate(fast.data.data(), w, h, fast.stride), w, h);
        DrawUseReferencePaths(true);
        PaintMixedScene(DrawContextCreate(reference.data.data(), w, h, reference.stride), w, h);
        DrawUseReferencePaths(false);
        int32_t differing = 0, painted = 0;
        for (size_t i = 0; i < fast.data.size(); ++i) {
            differing += fast.data[i] != reference.data[i];
            painted += fast.data[i] != 0;
        }
        EXPECT_EQ(differing, 0) << w << "x" << h;
        EXPECT_GT(painted, w * h);
    }
}

}  // namespace
}  // namespace zu::platform

namespace zu::platform {
namespace {

// A context moved between two buffers paints into the one it was last
// given, on every path (the reference path composites through pixman's
// image of the buffer, which has to follow).
TEST(Drawing, AContextPaintsIntoTheBufferItWasLastGiven) {
    for (const bool reference : {false, true}) {
        DrawUseReferencePaths(reference);
        Pixels a(12, 8), b(12, 8);
        DrawContext* dc = DrawContextCreate(a.data.data(), a.w, a.h, a.stride);
        ASSERT_NE(dc, nullptr);
        // One colour both ways: 0x00BBGGRR for fills, 0x00RRGGBB smooth.
        const auto paint = [dc](uint32_t bgr, uint32_t rgb) {
            DrawFillRect(dc, {0, 0, 6, 8}, bgr);
            SmoothFillRect(dc, 6, 0, 6, 8, rgb);
        };
        paint(0x000000FF, 0x00FF0000);
        ASSERT_TRUE(DrawContextSetPixels(dc, b.data.data()));
        paint(0x0000FF00, 0x0000FF00);
        ASSERT_TRUE(DrawContextSetPixels(dc, a.data.data()));
        DrawFillRect(dc, {0, 0, 1, 1}, 0x00FF0000);
        SmoothFillRect(dc, 11, 7, 1, 1, 0x000000FF);
        for (const int32_t x : {3, 9}) {
            EXPECT_EQ(a.at(x, 4)[0], 255) << x << (reference ? " reference" : "");
            EXPECT_EQ(b.at(x, 4)[1], 255) << x << (reference ? " reference" : "");
            EXPECT_EQ(b.at(x, 4)[0], 0) << x << (reference ? " reference" : "");
        }
        EXPECT_EQ(a.at(0, 0)[2], 255);
        EXPECT_EQ(a.at(11, 7)[2], 255);
        EXPECT_EQ(b.at(0, 0)[2], 0);
        EXPECT_EQ(b.at(11, 7)[2], 0);
        EXPECT_FALSE(DrawContextSetPixels(dc, nullptr));
        DrawContextDestroy(dc);
    }
    DrawUseReferencePaths(false);
    DrawContext* recording = DrawContextCreateRecording(4, 4);
    uint8_t pixels[64]{};
    EXPECT_FALSE(DrawContextSetPixels(recording, pixels));
    DrawContextDestroy(recording);
}

}  // namespace
}  // namespace zu::platform
