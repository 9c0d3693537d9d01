#include "fms/fms_gauges.h"

#include <gtest/gtest.h>

#include <vector>

#include "displays/efis_resources.h"
#include "fms/cdu_engine.h"
#include "fms/fms_lifecycle.h"

namespace zu {
namespace {

TEST(FmsGauges, KeyboardRectanglesFollowTheKeyOrder) {
    EXPECT_EQ(FmsMouseRect[0].kind, gauge::MouseRectKind::Parent);
    EXPECT_EQ(FmsMouseRect[0].width, kFmsBezelWidth);
    EXPECT_EQ(FmsMouseRect[1].x, 1);
    EXPECT_EQ(FmsMouseRect[1].y, 37);
    EXPECT_EQ(FmsMouseRect[6].x, 299);
    EXPECT_EQ(FmsMouseRect[11].y, 238);      // A
    EXPECT_EQ(FmsMouseRect[25].x, 40);       // O
    EXPECT_EQ(FmsMouseRect[59].width, 31);   // 0
    EXPECT_EQ(FmsMouseRect[63].height, 87);  // ENTER
    EXPECT_EQ(FmsMouseRect[63].y + FmsMouseRect[63].height, 413);
    EXPECT_EQ(FmsMouseRect[64].kind, gauge::MouseRectKind::End);
    for (int r = 1; r <= kFmsKeyRects; ++r) {
        EXPECT_EQ(FmsVcMouseRect[r].x, FmsMouseRect[r].x) << r;
        EXPECT_NE(FmsMouseRect[r].handler, nullptr) << r;
    }
    EXPECT_EQ(FmsRectKeys[37], 10);
    EXPECT_EQ(FmsRectKeys[40], 12);
    EXPECT_EQ(FmsRectKeys[58], 40);
    EXPECT_EQ(FmsRectKeys[59], '0');
}

TEST(FmsGauges, KeysDepositOnlyWhilePoweredAndTheLastCharacterWins) {
    const uint8_t powered = FmsPowered;
    FmsKeyCode.store(0);
    FmsFunctionKey.store(0);
    FmsPowered = 0;
    FmsKeyPress(3);
    FmsKeyPress(11);
    EXPECT_EQ(FmsKeyCode.load(), 0);
    EXPECT_EQ(FmsFunctionKey.load(), 0);
    FmsPowered = 1;
    FmsKeyPress(8);
    EXPECT_EQ(FmsKeyCode.load(), 8);
    FmsKeyPress(11);  // A
    FmsKeyPress(12);  // B
    EXPECT_EQ(FmsFunctionKey.load(), kCduKeyCharacter | ('B' << 8));
    FmsKeyPress(63);
    EXPECT_EQ(FmsFunctionKey.load() & 0xFF, kCduKeyEnter);
    FmsKeyPress(0);  // no such rectangle
    FmsKeyPress(64);
    EXPECT_EQ(FmsFunctionKey.load() & 0xFF, kCduKeyEnter);
    FmsKeyCode.store(0);
    FmsFunctionKey.store(0);
    FmsPowered = powered;
}

}  // namespace
}  // namespace zu

namespace zu {
namespace {

// A paint request for the picture already on the screen leaves the surface
// as it is; a changed cell paints anew; a blinking cell still asks for the
// next picture when its request is answered without painting.
TEST(FmsGauges, APaintRequestPaintsOnlyAChangedScreen) {
    CreateEfisResources();
    std::vector<uint8_t> pixels(251 * 160 * 4);
    gauge::DrawingSurface surface{
        251, 160, 251 * 4, static_cast<uint32_t>(pixels.size()), pixels.data(), nullptr};
    surface.context = platform::DrawContextCreate(pixels.data(), 251, 160, 251 * 4);
    gauge::ElementHeader screen{};
    screen.surface = &surface;
    const CduScreenRecord saved = CduScreen;
    const uint8_t powered = FmsPowered;
    FmsPowered = 1;
    CduGaugeState state;
    state.display_warmup = 40;
    CduScreen.text[0] = 'A';
    auto request = [&] {
        CduPaintRequest.store(1);
        CduGaugeDraw(state, &screen);
        EXPECT_EQ(CduPaintRequest.load(), 0);
    };
    request();
    pixels[0] = 0xAB;
    request();
    EXPECT_EQ(pixels[0], 0xAB);
    CduScreen.text[0] = 'B';
    request();
    EXPECT_NE(pixels[0], 0xAB);
    CduScreen.blink[0] = 1;
    request();
    CduRedraw = 0;
    pixels[0] = 0xAB;
    request();
    EXPECT_EQ(pixels[0], 0xAB);
    EXPECT_EQ(CduRedraw, 1);
    CduScreen = saved;
    FmsPowered = powered;
    platform::DrawContextDestroy(static_cast<platform::DrawContext*>(surface.context));
    DeleteEfisResources();
}

}  // namespace
}  // namespace zu
