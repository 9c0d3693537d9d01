// Unit tests of the head-up guidance panels: the text pictures on a
// recording context, the touch knob's sectors, the saved-flight keys
// through a file and the instructor's approach status.
#include "displays/hgs_panels.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cabin_link/instructor_state_exchange.h"
#include "core/flight_persistence.h"
#include "displays/efis_resources.h"
#include "displays/head_up_guidance.h"
#include "zu/platform/ini_file.h"

namespace zu {
namespace {

class HgsPanels : public testing::Test {
  protected:
    void SetUp() override {
        dc_ = platform::DrawContextCreateRecording(kHgsTextGridWidth, kHgsTextGridHeight);
        HgsPowered = 1;
        HGS_HGS_actual_mode = 1;
        HGS_HGS_stby_mode = 3;
        HgsBothIls = 0;
        HgsAiiiAvailable = 0;
        HgsElevationEntry = HgsSlopeEntry = HgsEntryTyped = 0;
        HgsBlinkCounter = 8;
        HgsPanelBrightness = 200;
        HGS_RASU_speed = 55;
    }
    void TearDown() override {
        platform::DrawContextDestroy(dc_);
        HgsPowered = 0;
        HGS_HGS_actual_mode = HGS_HGS_stby_mode = 0;
        HgsElevationEntry = HgsSlopeEntry = HgsEntryTyped = 0;
        HgsEntryLength = -1;
        HgsPanelBrightness = 200;
        HGS_RASU_speed = 55;
        HGS_HGS_elevation_set = 543;
        HGS_HGS_gs_slope_angle = -3.0f;
        HGS_HGS_HUD_show_flag = 0;
        RasuTouchSector = 0;
        HgsKeyPress.rasu_up.store(0);
        HgsKeyPress.rasu_down.store(0);
    }
    // The texts of one picture, "x,y:text".
    std::vector<std::string> Paint(void (*paint)(platform::DrawContext*)) {
        platform::DrawBeginPaint(dc_);
        paint(dc_);
        std::vector<std::string> out;
        const platform::DrawTextEntry* t = platform::DrawTexts(dc_);
        for (int32_t i = 0; i < platform::DrawTextCount(dc_); ++i) {
            out.push_back(std::to_string(t[i].x) + "," + std::to_string(t[i].y) + ":" + t[i].text);
        }
        return out;
    }
    static bool Has(const std::vector<std::string>& texts, const std::string& text) {
        for (const auto& t : texts) {
            if (t == text) return true;
        }
        return false;
    }
    static void Typed(const char* digits) {
        std::snprintf(HgsEntryText, sizeof HgsEntryText, "%s", digits);
        HgsEntryLength = static_cast<int32_t>(std::strlen(digits));
        HgsEntryTyped = 1;
    }
    platform::DrawContext* dc_ = nullptr;
};

TEST_F(HgsPanels, ModeAndRunwayLines) {
    auto t = Paint(HgsTextPaint);
    EXPECT_TRUE(Has(t, "4,2:PRI"));
    EXPECT_TRUE(Has(t, "4,20:IMC"));
    EXPECT_TRUE(Has(t, "4,38:E 543FT"));
    EXPECT_TRUE(Has(t, "4,55:-3.00\xB0"));
    EXPECT_FALSE(Has(t, "34,20:AIII"));

    HgsBothIls = 1;  // the AIII-possible cue
    t = Paint(HgsTextPaint);
    EXPECT_TRUE(Has(t, "34,20:AIII"));
    HGS_HGS_actual_mode = 2;  // AIII active but not available
    t = Paint(HgsTextPaint);
    EXPECT_TRUE(Has(t, "4,2:NO AIII"));
    EXPECT_FALSE(Has(t, "34,20:AIII"));

    HgsPowered = 0;  // the background only
    EXPECT_TRUE(Paint(HgsTextPaint).empty());
}

TEST_F(HgsPanels, EntryLinesWithTheirBlinkingCursor) {
    HgsElevationEntry = 1;
    Typed("12");
    HgsBlinkCounter = 8;
    EXPECT_TRUE(Has(Paint(HgsTextPaint), "4,38:EL>12"));
    HgsBlinkCounter = 9;
    EXPECT_TRUE(Has(Paint(HgsTextPaint), "4,38:EL>12_"));
    Typed("12345");  // full: no cursor
    EXPECT_TRUE(Has(Paint(HgsTextPaint), "4,38:EL>12345"));

    HgsElevationEntry = 0;
    HgsSlopeEntry = 1;
    Typed("2");
    HgsBlinkCounter = 8;
    EXPECT_TRUE(Has(Paint(HgsTextPaint), "4,55:>-2."));
    HgsBlinkCounter = 9;
    EXPECT_TRUE(Has(Paint(HgsTextPaint), "4,55:>-2._"));
    Typed("27");
    EXPECT_TRUE(Has(Paint(HgsTextPaint), "4,55:>-2.7_"));
    Typed("275");
    EXPECT_TRUE(Has(Paint(HgsTextPaint), "4,55:>-2.75"));
}

TEST_F(HgsPanels, TextColourFollowsThePanelBrightness) {
    EXPECT_EQ(HgsPanelColour(200), 0x0000C0C0u);
    EXPECT_EQ(HgsPanelColour(255), 0x0000F0F0u);
    EXPECT_EQ(HgsPanelColour(0), 0u);
}

TEST_F(HgsPanels, RasuReadout) {
    EXPECT_TRUE(Has(Paint(RasuReadoutPaint), "32,4:55"));
    HGS_RASU_speed = 0;
    EXPECT_TRUE(Has(Paint(RasuReadoutPaint), "32,4:---"));
    HGS_RASU_speed = 400;
    EXPECT_TRUE(Has(Paint(RasuReadoutPaint), "32,4:400"));
}

// The panels paint when their keys change: each thing a picture shows
// changes its key, the cursor's blink only while an entry is typed, the
// speed only while powered.
TEST_F(HgsPanels, PictureKeysFollowWhatThePicturesShow) {
    const auto key = [](void (*add)(RepaintKeyBuilder&)) {
        RepaintKeyBuilder k;
        add(k);
        return k.Key();
    };
    const RepaintKey text = key(HgsTextKeyAdd);
    EXPECT_EQ(key(HgsTextKeyAdd), text);
    HgsBlinkCounter = 9;
    EXPECT_EQ(key(HgsTextKeyAdd), text);
    const auto changes = [&](auto& value, auto other) {
        const auto saved = value;
        value = other;
        EXPECT_FALSE(key(HgsTextKeyAdd) == text);
        value = saved;
    };
    changes(HGS_HGS_actual_mode, 2);
    changes(HGS_HGS_stby_mode, 1);
    changes(HGS_HGS_elevation_set, 544);
    changes(HGS_HGS_gs_slope_angle, -2.5f);
    changes(HgsBothIls, uint8_t{1});
    changes(HgsPanelBrightness, 255);
    HgsElevationEntry = 1;
    Typed("12");
    const RepaintKey typed = key(HgsTextKeyAdd);
    HgsBlinkCounter = 8;
    EXPECT_FALSE(key(HgsTextKeyAdd) == typed);

    const RepaintKey speed = key(RasuReadoutKeyAdd);
    HGS_RASU_speed = 60;
    EXPECT_FALSE(key(RasuReadoutKeyAdd) == speed);
    HgsPowered = 0;
    const RepaintKey dark = key(RasuReadoutKeyAdd);
    HGS_RASU_speed = 70;
    EXPECT_EQ(key(RasuReadoutKeyAdd), dark);
}

TEST_F(HgsPanels, TouchKnobStepsOncePerSectorEntered) {
    // Rectangles 1..4 are the sectors 0..3, clockwise from top left.
    const auto enter = [](int sector) {
        RASU_panel_touchMouseRect[1 + sector].handler(nullptr, 0);
        const int up = HgsKeyPress.rasu_up.exchange(0);
        const int down = HgsKeyPress.rasu_down.exchange(0);
        return up - down;
    };
    EXPECT_EQ(enter(0), 0);  // from the initial sector 0
    EXPECT_EQ(enter(1), 1);
    EXPECT_EQ(enter(2), 1);
    EXPECT_EQ(enter(3), 1);
    EXPECT_EQ(enter(3), 0);  // the same sector again
    EXPECT_EQ(enter(0), 1);  // round past the top
    EXPECT_EQ(enter(3), -1);
    EXPECT_EQ(enter(2), -1);
    EXPECT_EQ(enter(0), 0);  // across the knob: no step
}

TEST_F(HgsPanels, SavedKeysRoundTripThroughAFileAndRefuseValuesOutOfRange) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("hgs_state_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
         std::to_string(reinterpret_cast<uintptr_t>(this)) + ".flt");
    const std::string path = file.string();
    HGS_HGS_actual_mode = 3;
    HGS_HGS_stby_mode = 4;
    HGS_HGS_elevation_set = 1234;
    HGS_HGS_gs_slope_angle = -2.75f;
    HGS_RASU_speed = 131;
    HGS_HGS_HUD_show_flag = 1;
    HgsStateSave(path.c_str());

    HGS_HGS_actual_mode = 1;
    HGS_HGS_stby_mode = 3;
    HGS_HGS_elevation_set = 543;
    HGS_HGS_gs_slope_angle = -3.0f;
    HGS_RASU_speed = 55;
    HGS_HGS_HUD_show_flag = 0;
    HgsStateLoad(path.c_str());
    EXPECT_EQ(HGS_HGS_actual_mode, 3);
    EXPECT_EQ(HGS_HGS_stby_mode, 4);
    EXPECT_EQ(HGS_HGS_elevation_set, 1234);
    EXPECT_FLOAT_EQ(HGS_HGS_gs_slope_angle, -2.75f);
    EXPECT_EQ(HGS_RASU_speed, 131);
    EXPECT_EQ(HGS_HGS_HUD_show_flag, 1);

    // Values out of range are written intact but not taken back.
    const int32_t mode = 7, speed = 30;
    const float angle = 3.0f;
    FlightKeySave(path.c_str(), "HGS_HGS_actual_mode", &mode, 4);
    FlightKeySave(path.c_str(), "HGS_RASU_speed", &speed, 4);
    FlightKeySave(path.c_str(), "HGS_HGS_gs_slope_angle", &angle, 4);
    HgsStateLoad(path.c_str());
    EXPECT_EQ(HGS_HGS_actual_mode, 3);
    EXPECT_EQ(HGS_RASU_speed, 131);
    EXPECT_FLOAT_EQ(HGS_HGS_gs_slope_angle, -2.75f);
    std::filesystem::remove(file);
}

TEST_F(HgsPanels, InstructorSeesTheApproachStatus) {
    HgsAiiiAvailable = 1;
    HgsApproachWarning = 0;
    EXPECT_EQ(InstructorGetValue(kInstructorGroupAvionics, kAvionicsHgsApproachStatus), 1.0);
    HgsApproachWarning = 1;
    EXPECT_EQ(InstructorGetValue(kInstructorGroupAvionics, kAvionicsHgsApproachStatus), 0.0);
    HgsApproachWarning = 0;
    HgsAiiiAvailable = 0;
    EXPECT_EQ(InstructorGetValue(kInstructorGroupAvionics, kAvionicsHgsApproachStatus), 0.0);
}

}  // namespace
}  // namespace zu
