#include "panels/display_control_panels.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/radio_altitude_alerting.h"

namespace zu {
namespace {

class DisplayControlPanels : public ::testing::Test {
  protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
        DisplayControlState1 = {};
        DisplayControlState2 = {};
        std::memset(DisplayFormatFlags1, 0, sizeof DisplayFormatFlags1);
        DisplayFormatToggle = 0;
        DisplayBrightnessLevel = 191;
        DisplayFormat[0] = DisplayFormat[1] = 0;
        BrightnessKnobTurn[0] = BrightnessKnobTurn[1] = 0;
        BrightnessKnobHold[0] = BrightnessKnobHold[1] = 0;
        DhKnobQuadrant = BrightnessKnobQuadrant = 0;
        FGC_comp_DH_altitude1 = FGC_comp_DH_altitude2 = 200;
        FGC_comp_HSI1_bearing0_select = FGC_comp_HSI1_bearing1_select = 0;
        FGC_comp_AP1_vertical_mode = FGC_comp_AP2_vertical_mode = 5;
        RadioAltTestCountdown[0] = RadioAltTestCountdown[1] = 0;
    }
    static void Power(bool on) { BusPowered.set(kPoweredRightEssential, on ? 1 : 0); }
};

TEST_F(DisplayControlPanels, UnpoweredButtonsOnlyClickButTheWeatherOverlayStillToggles) {
    for (int b = 1; b <= 7; ++b) DisplayControlButton(0, b);
    EXPECT_EQ(DisplayControlState1.Mode, 0);
    EXPECT_EQ(DisplayControlState1.Overlay, 1);
    EXPECT_EQ(DisplayFormatToggle, 0);
    EXPECT_EQ(DisplayFormatFlags1[0] + DisplayFormatFlags1[1] + DisplayFormatFlags1[2], 0);
}

TEST_F(DisplayControlPanels, ModeButtonsAndTransfersActOnTheirOwnSide) {
    Power(true);
    DisplayControlButton(0, 1);
    EXPECT_EQ(DisplayControlState1.Mode, 1);
    DisplayControlButton(0, 2);  // in mode 1 only the overlay changes
    EXPECT_EQ(DisplayControlState1.Mode, 1);
    EXPECT_EQ(DisplayControlState1.Overlay, 1);
    DisplayControlButton(0, 1);  // back to 0, the overlay cleared
    EXPECT_EQ(DisplayControlState1.Mode, 0);
    EXPECT_EQ(DisplayControlState1.Overlay, 0);
    DisplayControlButton(0, 2);  // from mode 0: map with the overlay
    EXPECT_EQ(DisplayControlState1.Mode, 2);
    EXPECT_EQ(DisplayControlState1.Overlay, 1);
    DisplayControlButton(0, 3);
    EXPECT_EQ(DisplayControlState1.Mode, 0);

    // Side 2's readout toggle is side 1's fourth flag byte; its transfers
    // are its own record's.
    DisplayControlButton(1, 4);
    DisplayControlButton(1, 5);
    DisplayControlButton(1, 7);
    EXPECT_EQ(DisplayFormatFlags1[3], 1);
    EXPECT_EQ(DisplayControlState2.Transfer[2], 1);
    EXPECT_EQ(DisplayControlState2.Transfer[0], 1);
    EXPECT_EQ(DisplayFormatFlags1[0], 0);
    DisplayControlButton(0, 4);
    DisplayControlButton(0, 6);
    EXPECT_EQ(DisplayFormatToggle, 1);
    EXPECT_EQ(DisplayFormatFlags1[1], 1);
}

TEST_F(DisplayControlPanels, BrightnessIsSharedButTheCompositeFlagBelongsToTheTurningSide) {
    const int32_t expected[8] = {175, 159, 143, 127, 111, 95, 79, 64};
    for (int i = 0; i < 8; ++i) {
        DisplayBrightnessKnob(1, true);
        EXPECT_EQ(DisplayBrightnessLevel, expected[i]);
        EXPECT_EQ(DisplayFormat[1], i == 7 ? 1 : 0);
    }
    EXPECT_EQ(DisplayFormat[0], 0);
    EXPECT_EQ(BrightnessKnobTurn[1], -1);
    EXPECT_EQ(BrightnessKnobHold[1], 2);
    EXPECT_DOUBLE_EQ(DisplayBrightnessKnobAngle(1), -125.0);
    DisplayBrightnessKnob(1, false);
    EXPECT_EQ(DisplayBrightnessLevel, 80);
    EXPECT_EQ(DisplayFormat[1], 0);
    DisplayBrightnessLevel = 250;
    DisplayBrightnessKnob(0, false);
    EXPECT_EQ(DisplayBrightnessLevel, 255);
    DisplayBrightnessKnob(0, false);
    EXPECT_EQ(DisplayBrightnessLevel, 255);
}

TEST_F(DisplayControlPanels, KnobsStopAtTheirEndsAndShowTheirAngles) {
    for (int i = 0; i < 100; ++i) DisplayDhKnob(0, false);
    EXPECT_EQ(FGC_comp_DH_altitude1, 990);
    EXPECT_DOUBLE_EQ(DisplayDhKnobAngle(0), 780.0);
    for (int i = 0; i < 120; ++i) DisplayDhKnob(0, true);
    EXPECT_EQ(FGC_comp_DH_altitude1, 0);
    FGC_comp_DH_altitude1 = 5;  // below one step: stays
    DisplayDhKnob(0, true);
    EXPECT_EQ(FGC_comp_DH_altitude1, 5);

    for (int i = 0; i < 6; ++i) DisplayBearingKnob(0, 0, true);  // left half counts up
    EXPECT_EQ(FGC_comp_HSI1_bearing0_select, 4);
    EXPECT_DOUBLE_EQ(DisplayBearingKnobAngle(0, 0), -135.0);
    for (int i = 0; i < 6; ++i) DisplayBearingKnob(0, 1, false);  // right half counts up
    EXPECT_EQ(FGC_comp_HSI1_bearing1_select, 4);
    EXPECT_DOUBLE_EQ(DisplayBearingKnobAngle(0, 1), -45.0);
    DisplayBearingKnob(0, 1, true);
    EXPECT_EQ(FGC_comp_HSI1_bearing1_select, 3);
}

TEST_F(DisplayControlPanels, TouchKnobsStepOnlyWhenCircledToTheNextQuadrant) {
    for (int q : {1, 2, 3, 0}) DisplayDhQuadrant(q);
    EXPECT_EQ(FGC_comp_DH_altitude1, 240);
    DisplayDhQuadrant(2);  // a jump across: nothing
    EXPECT_EQ(FGC_comp_DH_altitude1, 240);
    DisplayDhQuadrant(1);  // back one: down a step
    EXPECT_EQ(FGC_comp_DH_altitude1, 230);
    for (int q : {3, 2}) DisplayBrightnessQuadrant(q);  // 0 -> 3 -> 2: two down
    EXPECT_EQ(DisplayBrightnessLevel, 159);
}

TEST_F(DisplayControlPanels, TestIsRefusedInVerticalModeFour) {
    FGC_comp_AP2_vertical_mode = 4;
    DisplayTestButton(0);
    EXPECT_EQ(RadioAltTestCountdown[0], 0);
    FGC_comp_AP2_vertical_mode = 5;
    DisplayTestButton(1);
    EXPECT_EQ(RadioAltTestCountdown[1], kDisplayTestTicks);
    EXPECT_EQ(RadioAltTestCountdown[0], 0);
}

}  // namespace
}  // namespace zu
