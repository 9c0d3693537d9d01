#include "displays/efis_resources.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "panels/display_control_panels.h"

namespace zu {
namespace {

struct EfisResourcesFixture : ::testing::Test {
    void SetUp() override {
        DisplayBrightnessLevel = 191;
        DisplayFormat[0] = DisplayFormat[1] = 0;
        CreateEfisResources();
    }
    void TearDown() override {
        DeleteEfisResources();
        DisplayBrightnessLevel = 191;
    }
};

TEST_F(EfisResourcesFixture, DimColourQuantisesEachChannel) {
    DisplayBrightness = 255;
    EXPECT_EQ(DimColour(0xFFFFFF), 0xF0F0F0u);
    DisplayBrightness = 64;
    EXPECT_EQ(DimColour(0xFFFFFF), 0x303030u);
    EXPECT_EQ(DimColour(0x00B4F5), 0x002030u);  // amber: 0xF5 -> 0x3D, 0xB4 -> 0x2D
}

TEST_F(EfisResourcesFixture, BrightnessStepClampsAndCompositeIsFull) {
    DisplayBrightnessLevel = 40;
    UpdateDisplayBrightness();
    EXPECT_EQ(DisplayBrightness, 64);
    EXPECT_EQ(platform::DrawObjectColour(EfisPens[kEfisWhite]), 0x303030u);
    EXPECT_EQ(platform::DrawObjectColour(EfisBrushes[kEfisWhite]), 0x303030u);
    DisplayFormat[1] = 1;
    UpdateDisplayBrightness();
    EXPECT_EQ(DisplayBrightness, 255);
    EXPECT_EQ(platform::DrawObjectColour(EfisPens[kEfisWhite]), 0xF0F0F0u);
    // The 17th pen and brush are in the variable colour (black).
    EXPECT_EQ(platform::DrawObjectKindOf(EfisPens[kEfisVariable]), platform::DrawObjectKind::Pen);
    EXPECT_EQ(platform::DrawObjectColour(EfisBrushes[kEfisVariable]), 0u);
}

TEST_F(EfisResourcesFixture, ASelectedPenKeepsItsColourUntilTheNextChange) {
    DisplayBrightnessLevel = 255;
    UpdateDisplayBrightness();
    platform::DrawContext* dc = platform::DrawContextCreateRecording(10, 10);
    const DrawHandle selected = EfisPens[kEfisGreen];
    platform::DrawSelectObject(dc, selected);
    DisplayBrightnessLevel = 128;
    UpdateDisplayBrightness();
    EXPECT_EQ(EfisPens[kEfisGreen], selected);  // still there, old colour
    EXPECT_EQ(platform::DrawObjectColour(selected), 0x00F000u);
    EXPECT_NE(platform::DrawObjectColour(EfisPens[kEfisWhite]), 0xF0F0F0u);
    platform::DrawContextDestroy(dc);  // released
    DisplayBrightnessLevel = 112;
    UpdateDisplayBrightness();
    EXPECT_NE(EfisPens[kEfisGreen], selected);
    EXPECT_EQ(platform::DrawObjectColour(EfisPens[kEfisGreen]), 0x006000u);  // 255 x 112 / 256
}

TEST(EfisResources, CreateAndDeleteLeaveNoObjectsBehind) {
    const int32_t before = platform::DrawLiveObjects();
    CreateEfisResources();
    EXPECT_TRUE(EfisResourcesReady());
    EXPECT_EQ(platform::DrawLiveObjects() - before, 17 + 17 + 7 + 6 + kEfisFontCount);
    for (DrawHandle f : EfisFonts)
        EXPECT_EQ(platform::DrawObjectKindOf(f), platform::DrawObjectKind::Font);
    CreateEfisResources();  // a second install
    EXPECT_EQ(platform::DrawLiveObjects() - before, 17 + 17 + 7 + 6 + kEfisFontCount);
    DeleteEfisResources();
    EXPECT_FALSE(EfisResourcesReady());
    EXPECT_EQ(platform::DrawLiveObjects(), before);
    EXPECT_EQ(EfisPens[0], 0u);
}

TEST(EfisResources, TrigTablesAndRotation) {
    BuildTrigTables();
    EXPECT_EQ(EfisSine[0], 0);
    EXPECT_EQ(EfisCosine[0], 32767);
    EXPECT_EQ(EfisSine[900], 32766);
    EXPECT_EQ(EfisAngleIndex(0.05f), 0);
    EXPECT_EQ(EfisAngleIndex(-90.0f), 2700);
    EXPECT_EQ(EfisAngleIndex(360.0f), 0);
    EXPECT_EQ(EfisAngleIndex(1.0e30f), EfisAngleIndex(std::fmod(1.0e30f, 360.0f)));
    EXPECT_EQ(EfisAngleIndex(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(EfisAngleIndex(std::numeric_limits<float>::infinity()), 0);

    EfisRotationRecord r;
    SetRotation(r, 84, 65, 0.05f, 3);
    EXPECT_EQ(RotX(r, 100, 70), 100);
    EXPECT_EQ(RotY(r, 100, 70), 67);
    // 90 degrees clockwise: a point right of the centre goes below it.
    SetRotation(r, 84, 65, 90.0f, 0);
    EXPECT_NEAR(RotX(r, 94, 65), 84, 1);
    EXPECT_NEAR(RotY(r, 94, 65), 75, 1);
    // The centre is compared itself: (a, b) then (b, a) turns about the new one.
    SetRotation(r, 10, 20, 30.0f, 0);
    SetRotation(r, 20, 10, 30.0f, 0);
    EXPECT_EQ(r.centre_x, 20);
    EXPECT_EQ(r.centre_y, 10);
    EXPECT_EQ(RotX(r, 20, 10), 20);
}

TEST(EfisResources, SmoothColoursFollowTheBrightnessByte) {
    SmoothSetBrightness(0x180);  // only the low byte counts
    SmoothSetAlpha(255);
    EXPECT_EQ(SmoothColour(0xFFFFFF), 0xFF7F7F7Fu);
    SmoothSetBrightness(255);
    EXPECT_EQ(SmoothColour(0xF5B400), 0xFFF4B300u);
}

TEST(EfisResources, StrokeDigitsSkipCharactersOutsideZeroToSix) {
    platform::DrawContext* dc = platform::DrawContextCreateRecording(100, 50);
    SmoothSetBrightness(255);
    DrawStrokeDigits(dc, 10, 20, "7", 1, 0xFFFFFF);
    EXPECT_EQ(platform::DrawRecordedCount(dc), 0);
    DrawStrokeDigits(dc, 10, 20, "1a2", 3, 0xFFFFFF);
    // '1': two lines in cell 0; '2': five lines in cell 2 (left edge 20).
    ASSERT_EQ(platform::DrawRecordedCount(dc), 7);
    const platform::DrawCall* calls = platform::DrawRecordedCalls(dc);
    EXPECT_EQ(calls[0].rect.left, 11 * 16);    // from (L+1, T)
    EXPECT_EQ(calls[1].rect.bottom, 25 * 16);  // to (L+2, T+5)
    EXPECT_EQ(calls[2].rect.left, 20 * 16);    // '2' starts at (L, T+1) of cell 2
    EXPECT_EQ(calls[2].rect.top, 21 * 16);
    EXPECT_EQ(calls[6].rect.right, 24 * 16);  // ends at (R+1, T+4)
    platform::DrawContextDestroy(dc);
}

}  // namespace
}  // namespace zu
