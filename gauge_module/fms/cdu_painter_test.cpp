#include "fms/cdu_painter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "displays/efis_resources.h"
#include "fms/cdu_engine.h"

namespace zu {
namespace {

using platform::DrawCall;
using platform::DrawOp;

class CduPainterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CreateEfisResources();
        CduResetForLoad();
        dc_ = platform::DrawContextCreateRecording(kCduSurfaceWidth, kCduSurfaceHeight);
        ASSERT_NE(dc_, nullptr);
        CduClipRegionsCreate(dc_);
        platform::DrawBeginPaint(dc_);
    }
    void TearDown() override {
        platform::DrawContextDestroy(dc_);
        CduClipRegionsDelete();
        CduResetForLoad();
        DeleteEfisResources();
    }
    std::vector<DrawCall> Calls(DrawOp op) const {
        std::vector<DrawCall> out;
        for (int32_t i = 0; i < platform::DrawRecordedCount(dc_); ++i) {
            if (platform::DrawRecordedCalls(dc_)[i].op == op) {
                out.push_back(platform::DrawRecordedCalls(dc_)[i]);
            }
        }
        return out;
    }
    std::string Texts() const {
        std::string s;
        for (int32_t i = 0; i < platform::DrawTextCount(dc_); ++i)
            s += platform::DrawTexts(dc_)[i].text;
        return s;
    }
    platform::DrawContext* dc_ = nullptr;
};

TEST_F(CduPainterTest, CellsAreCentredOnTheirGridByFont) {
    CduClearScreen();
    CduWriteText("A", 0, 0, 0, 0);
    CduWriteText("B", 3, 2, 1, 1);
    CduWriteText("\xB0", 5, 2, 1, 1);
    CduScreenDraw(dc_);
    ASSERT_EQ(platform::DrawTextCount(dc_), 3);
    const platform::DrawTextEntry* t = platform::DrawTexts(dc_);
    EXPECT_EQ(t[0].x, 11);  // 7 + 4
    EXPECT_EQ(t[0].y, 1);   // 8 - 7, bold
    EXPECT_EQ(t[0].colour, DimColour(EfisPalette[kEfisGreen]));
    EXPECT_EQ(t[1].x, 7 + 30 + 4);
    EXPECT_EQ(t[1].y, 8 + 28 - 6);  // light font sits one unit lower
    EXPECT_EQ(t[1].colour, DimColour(EfisPalette[kEfisAmber]));
    EXPECT_EQ(t[1].font, EfisFonts[4]);
    EXPECT_EQ(static_cast<unsigned char>(t[2].text[0]), 0xB0);
}

TEST_F(CduPainterTest, ArrowGlyphsAreLinesAndTheFramedGlyphAnM) {
    CduClearScreen();
    CduWriteText("qwaym", 0, 3, 4, 0);
    CduScreenDraw(dc_);
    EXPECT_EQ(Texts(), "M");
    // Three lines per arrow, four for the frame.
    EXPECT_EQ(Calls(DrawOp::LineTo).size(), 4u * 3u + 4u);
    const DrawCall first = Calls(DrawOp::LineTo)[0];
    EXPECT_EQ(first.rect.left, 7 + 7);  // q starts at x + 7
    EXPECT_EQ(first.rect.top, 8 + 42);
}

TEST_F(CduPainterTest, BlinkingCellsAlternateAndKeepTheRedrawSet) {
    CduClearScreen();
    CduBlinkOn();
    CduWriteText("DEL", 20, 2, 4, 0);
    CduBlinkOff();
    CduRedraw = 0;
    CduBlinkPhase = 0;
    CduScreenDraw(dc_);
    EXPECT_EQ(Texts(), "");
    EXPECT_EQ(CduRedraw, 1);
    platform::DrawBeginPaint(dc_);
    CduBlinkPhase = 1;
    CduScreenDraw(dc_);
    EXPECT_EQ(Texts(), "DEL");
}

TEST_F(CduPainterTest, EditBoxIsWhiteWithTheTypedTextInBlack) {
    CduClearScreen();
    CduWriteText("-----", 3, 2, 4, 0);
    CduDefineField(1, kCduFieldText, 3, 2, 5, 0);
    CduActiveField = 1;
    CduEditFieldDraw(dc_);
    const auto boxes = Calls(DrawOp::Rectangle);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rect.left, 34);
    EXPECT_EQ(boxes[0].rect.top, 29);
    EXPECT_EQ(boxes[0].rect.right, 87);
    EXPECT_EQ(boxes[0].rect.bottom, 43);
    EXPECT_EQ(boxes[0].value, platform::DrawObjectColour(EfisBrushes[kEfisWhite]));
    EXPECT_EQ(Texts(), "-----");  // nothing typed: the page's own text
    platform::DrawBeginPaint(dc_);
    CduEditModified = 1;
    CduEditBuffer[0] = 'K';
    CduEditBuffer[1] = 'X';
    CduEditCursor = 2;
    CduCursorPhase = 1;
    CduEditFieldDraw(dc_);
    EXPECT_EQ(Texts(), "KX-");
    EXPECT_EQ(platform::DrawTexts(dc_)[0].colour, EfisVariableColour);
    EXPECT_EQ(platform::DrawTexts(dc_)[0].x, 41);
}

TEST_F(CduPainterTest, LineArtAndHoldPicture) {
    CduClearScreen();
    CduAddLine(17, 1, 17, 10, 5);
    CduAddHoldPicture(2, 0);
    CduRegionsDraw(dc_);
    const auto lines = Calls(DrawOp::LineTo);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rect.left, 181);
    EXPECT_EQ(lines[0].rect.top, 21);
    EXPECT_EQ(lines[0].rect.bottom, 147);
    EXPECT_EQ(lines[0].colour, platform::DrawObjectColour(EfisPens[kEfisCyan]));
    // Racetrack, inner turn, two circles.
    const auto shapes = Calls(DrawOp::Polygon);
    ASSERT_EQ(shapes.size(), 4u);
    EXPECT_EQ(shapes[0].rect.left, 65);
    EXPECT_EQ(shapes[0].rect.right, 188);
    // Unknown kinds and sides draw no turn marks and do not fail.
    platform::DrawRecordClear(dc_);
    CduHoldPictureDraw(dc_, 7);
    EXPECT_EQ(Calls(DrawOp::Polygon).size(), 3u);
}

}  // namespace
}  // namespace zu
