#include "displays/attitude_display.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/ahrs.h"
#include "displays/efis_resources.h"
#include "panels/display_control_panels.h"

namespace zu {
namespace {

// A surface at design size: 168 x 131 design units on 168 x 134 pixels.
struct AttitudePicture : ::testing::Test {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(168 * 134 * 4, 0);
    platform::DrawContext* dc = nullptr;
    void SetUp() override {
        CreateEfisResources();
        DisplayBrightness = 191;
        DisplayFormat[0] = 0;
        dc = platform::DrawContextCreate(pixels.data(), 168, 134, 168 * 4);
        platform::DrawSetMapping(dc, 168, 131, 168, 131);
        SmoothSetBrightness(255);
        SmoothSetAlpha(255);
        Ahrs1.valid[0] = Ahrs1.valid[2] = 0;
        Ahrs1.bank = 0;
        Ahrs1.pitch = 0;
    }
    void TearDown() override {
        platform::DrawContextDestroy(dc);
        DeleteEfisResources();
        Ahrs1.valid[0] = Ahrs1.valid[2] = 0;
        Ahrs1.bank = 0;
    }
    const uint8_t* At(int x, int y) const { return &pixels[(y * 168 + x) * 4]; }
    bool Sky(int x, int y) const { return At(x, y)[2] > 200 && At(x, y)[0] < 50; }
    bool Ground(int x, int y) const { return At(x, y)[0] > 200 && At(x, y)[2] < 50; }
};

TEST_F(AttitudePicture, BankTurnsTheHorizon) {
    Ahrs1.bank = 30;
    EadiSphereDraw(dc, 0);
    // Either side of the horizon turned 30 degrees clockwise about (84, 65).
    EXPECT_TRUE(Sky(92, 52));
    EXPECT_TRUE(Ground(76, 78));
    // Right of the centre the horizon lies lower: y = 65 + 16 tan 30 = 74.
    EXPECT_TRUE(Sky(100, 69));
    EXPECT_TRUE(Ground(100, 79));
    // Left of it higher.
    EXPECT_TRUE(Ground(68, 61));
    // Outside the sphere's clip nothing is painted.
    EXPECT_EQ(At(20, 65)[3], 0);
}

TEST_F(AttitudePicture, PitchMovesTheHorizon) {
    // 3.4 units a degree; the transform's y offset moves the picture up by
    // the pitch value: the horizon at y 48.
    Ahrs1.pitch = 5;
    EadiSphereDraw(dc, 0);
    EXPECT_TRUE(Sky(60, 44));
    EXPECT_TRUE(Ground(60, 52));
}

TEST_F(AttitudePicture, AttFailWhileAligning) {
    Ahrs1.valid[2] = 1;
    platform::DrawBeginPaint(dc);
    EadiSphereDraw(dc, 0);
    ASSERT_EQ(platform::DrawTextCount(dc), 2);
    EXPECT_STREQ(platform::DrawTexts(dc)[0].text, "ATT");
    EXPECT_STREQ(platform::DrawTexts(dc)[1].text, "FAIL");
    EXPECT_EQ(platform::DrawTexts(dc)[0].colour, DimColour(EfisPalette[kEfisMagenta]));
    // The box outline in the dimmed magenta pen.
    EXPECT_EQ(At(80, 30)[0], 0xB0);
    EXPECT_EQ(At(80, 30)[1], 0x00);
    EXPECT_EQ(At(80, 30)[2], 0xB0);
    // Outside the box: the blue field (dimmed blue brush).
    EXPECT_EQ(At(60, 90)[2], 0xB0);
}

TEST_F(AttitudePicture, NothingWithoutResources) {
    DeleteEfisResources();
    EadiSphereDraw(dc, 0);
    for (size_t i = 3; i < pixels.size(); i += 4) ASSERT_EQ(pixels[i], 0);
    CreateEfisResources();
}

}  // namespace
}  // namespace zu
