#include "fms/fms_gauges.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "core/sound_objects.h"
#include "displays/efis_resources.h"
#include "fms/cdu_engine.h"
#include "fms/fms_lifecycle.h"
#include "panels/display_control_panels.h"
#include "zu/platform/paths.h"
#include "zu/platform/timer.h"

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

// The keyboard's click, heard through the loopback audio device.
class FmsKeyClick : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::AudioShutdown();
        ASSERT_TRUE(platform::SetClockMode(platform::ClockMode::Lockstep));
        ASSERT_TRUE(platform::SetAudioMode(platform::AudioMode::Loopback));
        dir_ = std::filesystem::temp_directory_path() /
               ("fms_key_click_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        // A tenth of a second of tone, mono 16-bit at 22050 Hz.
        std::vector<int16_t> s(2205);
        for (size_t i = 0; i < s.size(); ++i)
            s[i] =
                static_cast<int16_t>(12000 * std::sin(2 * std::numbers::pi * 1000.0 * i / 22050));
        const platform::WaveFormat format{1, 1, 22050, 44100, 2, 16, 0};
        const std::string host = (dir_ / "click_switch_small.wav").string();
        ASSERT_TRUE(platform::WriteWaveFile(host.c_str(), format, s.data(), s.size() * 2));
        ASSERT_EQ(SoundObjectCreate(&Click(), platform::FromHostPath(host).c_str()), 0);
        powered_ = FmsPowered;
    }
    void TearDown() override {
        SoundObjectFree(&Click());
        platform::AudioShutdown();
        platform::SetAudioMode(platform::AudioMode::Device);
        platform::SetClockMode(platform::ClockMode::Real);
        std::filesystem::remove_all(dir_);
        FmsKeyCode.store(0);
        FmsFunctionKey.store(0);
        FmsPowered = powered_;
    }
    static SoundObject& Click() { return SoundSet[kSoundClickSwitchSmall]; }
    static bool Playing() {
        uint32_t status = 0;
        platform::SoundBufferGetStatus(Click().buffer, &status);
        return (status & platform::kSoundStatusPlaying) != 0;
    }
    static uint32_t Position() {
        uint32_t play = 0;
        platform::SoundBufferGetCurrentPosition(Click().buffer, &play, nullptr);
        return play;
    }
    static void Render(uint32_t frames) {
        std::vector<int16_t> out(size_t{frames} * 2);
        platform::AudioRender(out.data(), frames);
    }
    std::filesystem::path dir_;
    uint8_t powered_ = 0;
};

TEST_F(FmsKeyClick, EveryKeyClicksFromTheStartAtItsPanPoweredOrNot) {
    FmsPowered = 0;
    FmsKeyPress(11);  // A, on a dead unit
    ASSERT_TRUE(Playing());
    int32_t pan = 0;
    platform::SoundBufferGetPan(Click().buffer, &pan);
    EXPECT_EQ(pan, 682);
    // Half-way through the click the next key starts it again.
    Render(2000);
    ASSERT_TRUE(Playing());
    ASSERT_GT(Position(), 0u);
    FmsPowered = 1;
    FmsKeyPress(12);  // B
    EXPECT_EQ(Position(), 0u);
    EXPECT_TRUE(Playing());
    // So the second click is heard whole: it still sounds where the first,
    // left to run on, would have ended.
    Render(3000);
    EXPECT_TRUE(Playing());
    Render(2000);
    EXPECT_FALSE(Playing());
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
    // A pixel of the first cell's place, which its change paints anew.
    constexpr size_t kInCell = (6 * 251 + 10) * 4;
    auto request = [&] {
        CduPaintRequest.store(1);
        CduGaugeDraw(state, &screen);
        EXPECT_EQ(CduPaintRequest.load(), 0);
    };
    request();
    pixels[kInCell] = 0xAB;
    request();
    EXPECT_EQ(pixels[kInCell], 0xAB);
    CduScreen.text[0] = 'B';
    request();
    EXPECT_NE(pixels[kInCell], 0xAB);
    CduScreen.blink[0] = 1;
    request();
    CduRedraw = 0;
    pixels[kInCell] = 0xAB;
    request();
    EXPECT_EQ(pixels[kInCell], 0xAB);
    EXPECT_EQ(CduRedraw, 1);
    CduScreen = saved;
    FmsPowered = powered;
    platform::DrawContextDestroy(static_cast<platform::DrawContext*>(surface.context));
    DeleteEfisResources();
}

}  // namespace
}  // namespace zu

namespace zu {
namespace {

// A drawn surface with its own drawing context.
struct TestSurface {
    std::vector<uint8_t> buffers[2];
    gauge::DrawingSurface surface{};
    gauge::ElementHeader screen{};
    TestSurface(int32_t w, int32_t h) {
        for (std::vector<uint8_t>& b : buffers) b.assign(static_cast<size_t>(w) * h * 4, 0);
        surface = {w,
                   h,
                   w * 4,
                   static_cast<uint32_t>(buffers[0].size()),
                   buffers[0].data(),
                   platform::DrawContextCreate(buffers[0].data(), w, h, w * 4)};
        screen.surface = &surface;
    }
    ~TestSurface() {
        platform::DrawContextDestroy(static_cast<platform::DrawContext*>(surface.context));
    }
    platform::DrawContext* Context() const {
        return static_cast<platform::DrawContext*>(surface.context);
    }
    // As a host swapping its picture buffers after taking a picture.
    void Swap() {
        uint8_t* other =
            surface.pixels == buffers[0].data() ? buffers[1].data() : buffers[0].data();
        surface.pixels = other;
        platform::DrawContextSetPixels(Context(), other);
    }
    std::vector<uint8_t> Pixels() const { return {surface.pixels, surface.pixels + surface.bytes}; }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        const platform::DrawTextEntry* t = platform::DrawTexts(Context());
        for (int32_t i = 0; i < platform::DrawTextCount(Context()); ++i) {
            out.push_back(std::string(t[i].text) + "@" + std::to_string(t[i].x) + "," +
                          std::to_string(t[i].y) + "/" + std::to_string(t[i].colour));
        }
        return out;
    }
};

// A gauge painting each new screen over its last picture (into one
// buffer, or into two the host swaps; at the screen's size or larger)
// shows, byte for byte and text for text, what a gauge painting it whole
// into a clear surface shows: through single cells changed (wide glyphs,
// the framed M, arrows, the degree sign, a blank), colours and sizes, a
// blinking cell, the edit field typed into with its cursor blinking and
// left, line art and the holding picture with a cell changed inside it,
// dimming, page changes and the power cycled.
TEST(FmsGauges, PicturesPaintedOverTheLastAreThoseOfAWholeRepaint) {
    CreateEfisResources();
    const CduScreenRecord saved = CduScreen;
    const uint8_t powered = FmsPowered;
    const int32_t brightness = DisplayBrightnessLevel;
    // The 2D gauge's size in one buffer and in two; a larger surface.
    struct Case {
        int32_t w, h;
        bool swapped;
    };
    for (const Case size : {Case{251, 160, false}, Case{251, 160, true}, Case{326, 208, true}}) {
        const int32_t w = size.w, h = size.h;
        const bool swapped = size.swapped;
        CduResetForLoad();
        CduClearScreen();
        FmsPowered = 1;
        DisplayBrightnessLevel = 255;
        UpdateDisplayBrightness();
        TestSurface keyed(w, h);
        CduGaugeState state;
        state.display_warmup = 33;  // blank for three pictures yet
        int step = 0;
        std::vector<uint8_t> shown;
        std::vector<std::string> shown_texts;
        const auto check = [&] {
            ++step;
            CduGaugeState fresh;
            fresh.display_warmup = state.display_warmup;
            CduPaintRequest.store(1);
            CduGaugeDraw(state, &keyed.screen);
            // Taken by the host when painted, as the host takes pictures.
            if ((keyed.screen.image_flags & gauge::kImageOnScreen) == 0) {
                shown = keyed.Pixels();
                shown_texts = keyed.Texts();
                keyed.screen.image_flags |= gauge::kImageOnScreen;
                if (swapped) keyed.Swap();
            }
            TestSurface whole(w, h);
            CduPaintRequest.store(1);
            CduGaugeDraw(fresh, &whole.screen);
            EXPECT_TRUE(shown == whole.Pixels())
                << "step " << step << " " << w << (swapped ? " swapped" : "");
            EXPECT_EQ(shown_texts, whole.Texts())
                << "step " << step << " " << w << (swapped ? " swapped" : "");
        };
        // The INIT page with its clock running, after the warm-up.
        CduWriteText("INIT/REF INDEX", 5, 0, 4, 0);
        CduWriteText("UTC 12:34:56", 1, 2, 0, 1);
        CduWriteText("POS 45\xB0 07.0N", 1, 4, 1, 0);
        for (int i = 0; i < 4; ++i) check();
        for (const char* seconds : {"57", "58", "W9", "M@", "  ", "00"}) {
            CduWriteText(seconds, 11, 2, 0, 1);
            check();
        }
        for (const char* art : {"m", "q", "w", "a", "y", "\xB0", "W"}) {
            CduWriteText(art, 23, 10, 2, 0);
            check();
        }
        CduWriteText("W", 0, 5, 5, 0);  // first column
        check();
        CduScreen.colour[2 * kCduColumns + 5] = 2;  // a colour, then a size
        check();
        CduScreen.size[2 * kCduColumns + 6] = 0;
        check();
        // A blinking cell in both phases.
        CduBlinkOn();
        CduWriteText("X", 20, 6, 4, 0);
        CduBlinkOff();
        for (const uint8_t phase : {0, 1, 0}) {
            CduBlinkPhase = phase;
            check();
        }
        // The edit field over line 8: shown, typed into with the cursor
        // blinking, left.
        CduWriteText("-----", 2, 8, 4, 0);
        CduFieldTable[3] = CduField{2, 8, 5, kCduFieldText, {}, 0};
        CduActiveField = 3;
        check();
        CduEditModified = 1;
        std::snprintf(CduEditBuffer, sizeof CduEditBuffer, "KA");
        CduEditCursor = 2;
        for (const uint8_t phase : {1, 0, 1}) {
            CduCursorPhase = phase;
            check();
        }
        std::snprintf(CduEditBuffer, sizeof CduEditBuffer, "KAPW");
        CduEditCursor = 4;
        check();
        CduWriteText("A", 3, 8, 1, 1);  // a cell under the box
        check();
        CduActiveField = 0;
        CduEditModified = 0;
        check();
        // Line art, then the holding picture with a cell inside its turn.
        CduRegions[0] = CduRegion{1, 3, 2, 3, 20, 3};
        CduRegionCount = 1;
        check();
        CduRegions[1] = CduRegion{2, 0, 2, 0, 0, 0};
        CduRegionCount = 2;
        check();
        for (const char* c : {"8", "W", " "}) {
            CduWriteText(c, 7, 6, 0, 0);
            check();
        }
        CduRegions[1].x1 = 1;
        check();
        // Dimmed, and a cell changed dimmed.
        DisplayBrightnessLevel = 128;
        UpdateDisplayBrightness();
        check();
        CduWriteText("7", 12, 2, 0, 1);
        check();
        // Another page.
        CduClearScreen();
        CduWriteText("NAV 1/2", 8, 0, 4, 0);
        CduWriteText("<LEGS       ACCEPT>", 0, 10, 0, 1);
        check();
        // Power off (the screen blank), on again.
        FmsPowered = 0;
        check();
        FmsPowered = 1;
        check();
        CduWriteText("2", 11, 0, 4, 0);
        check();
    }
    CduResetForLoad();
    CduScreen = saved;
    FmsPowered = powered;
    DisplayBrightnessLevel = brightness;
    UpdateDisplayBrightness();
    DeleteEfisResources();
}

// The two CDU gauges, the virtual cockpit's drawn first as on the sample
// panel: it paints each picture over its last one and copies it into the
// 2D gauge's swapped buffers, where only the part that differs from the
// picture already there is copied. Both show a whole repaint's picture.
TEST(FmsGauges, TheTwinShowsTheWholePictureOfEachCopy) {
    CreateEfisResources();
    const CduScreenRecord saved = CduScreen;
    const uint8_t powered = FmsPowered;
    CduResetForLoad();
    CduClearScreen();
    FmsPowered = 1;
    gauge::ElementHeader* const screens[2] = {FmsVcElementList[0]->next_element[0]->next_element[0],
                                              FmsElementList[0]->next_element[0]->next_element[0]};
    void (*const callbacks[2])(gauge::GaugeHeader*, int32_t, uintptr_t) = {FmsVcCallback,
                                                                           FmsCallback};
    CduGaugeState* const states[2] = {&FmsVcGaugeState, &FmsGaugeState};
    TestSurface surfaces[2] = {TestSurface(251, 160), TestSurface(251, 160)};
    std::vector<uint8_t> shown[2];
    for (int g = 0; g < 2; ++g) {
        screens[g]->surface = &surfaces[g].surface;
        screens[g]->image_flags &= ~gauge::kImageOnScreen;
        states[g]->display_warmup = 40;
    }
    const auto check = [&](const char* what) {
        CduPaintRequest.store(1);
        for (int g = 0; g < 2; ++g) {
            callbacks[g](nullptr, gauge::kServiceDraw, 0);
            if ((screens[g]->image_flags & gauge::kImageOnScreen) == 0) {
                shown[g] = surfaces[g].Pixels();
                screens[g]->image_flags |= gauge::kImageOnScreen;
                if (g == 1) surfaces[g].Swap();
            }
        }
        TestSurface whole(251, 160);
        CduGaugeState fresh;
        fresh.display_warmup = 40;
        CduPaintRequest.store(1);
        CduGaugeDraw(fresh, &whole.screen);
        EXPECT_TRUE(shown[0] == whole.Pixels()) << what;
        EXPECT_TRUE(shown[1] == whole.Pixels()) << what;
    };
    CduWriteText("UTC 12:34:56", 1, 2, 0, 1);
    check("first");
    for (const char* seconds : {"57", "58", "W9", "  ", "00"}) {
        CduWriteText(seconds, 11, 2, 0, 1);
        check(seconds);
    }
    CduBlinkOn();
    CduWriteText("X", 20, 6, 4, 0);
    CduBlinkOff();
    for (const uint8_t phase : {0, 1, 0, 1}) {
        CduBlinkPhase = phase;
        check("blink");
    }
    CduClearScreen();
    CduWriteText("NAV 1/2", 8, 0, 4, 0);
    check("page");
    for (int g = 0; g < 2; ++g) {
        callbacks[g](nullptr, gauge::kServiceKill, 0);
        screens[g]->surface = nullptr;
    }
    CduResetForLoad();
    CduScreen = saved;
    FmsPowered = powered;
    DeleteEfisResources();
}

}  // namespace
}  // namespace zu
