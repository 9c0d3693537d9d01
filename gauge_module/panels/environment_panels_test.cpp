// Unit tests of the bleed-air, pressurisation and ice-protection panels:
// their handlers called through the mouse rectangles in table order, their
// update services and what they show.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "cabin_link/cabin_test_support.h"
#include "core/electrical_system.h"
#include "core/ice_protection.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "instruments/gauge_framework.h"
#include "panels/anti_ice_panel.h"
#include "panels/bleed_air_panel.h"
#include "panels/pressurisation_panel.h"

namespace zu {
namespace {

// Rectangles of PneuPanel (1-based, as a scenario's `click` numbers them).
constexpr int kPneuToggle0 = 1;
constexpr int kPneuZone1Temp = 5;   // -1, 0, +1
constexpr int kPneuZone2Mode = 14;  // 0, 1, 2
constexpr int kPneuFlowLeft = 17;
constexpr int kPneuFlowRight = 18;
constexpr int kPneuZone1KnobLeft = 19;
constexpr int kPneuSelectorLeft = 23;
constexpr int kPneuSelectorRight = 24;
// PneuPanel_touch: the flow sectors and the selector sectors.
constexpr int kTouchFlowSector1 = 17;
constexpr int kTouchSelectorSector1 = 24;

class EnvironmentPanels : public cabin_test::CabinSoundTest {
  protected:
    void SetUp() override {
        CabinSoundTest::SetUp();
        Start();
        saved_ice_ = IceProtectionState;
        saved_timers_ = SystemTimers;
        ResetPanels();
        TakePlays();
        pneu_.element_list = PneuPanelElementList;
        pneu_touch_.element_list = PneuPanelTouchElementList;
        press_.element_list = PressPanelElementList;
        press_touch_.element_list = PressPanelTouchElementList;
        ice_.element_list = AntiicePanelElementList;
    }
    void TearDown() override {
        ResetPanels();
        IceProtectionState = saved_ice_;
        SystemTimers = saved_timers_;
        CabinSoundTest::TearDown();
    }
    static void ResetPanels() {
        for (auto& r : RefreshCountdown) r = 0;
        std::fill(std::begin(PneuPanelSwitches), std::end(PneuPanelSwitches), 255);
        std::fill(std::begin(PneuSwitch), std::end(PneuSwitch), 0);
        std::fill(std::begin(PneuKnob), std::end(PneuKnob), 0);
        TempIndicatorSelector = 1;
        PneuFlowKnobSector = 0;
        PneuSelectorSector = 1;
        PressurisationMode = 0;
        PressurisationSwitch = 0;
        PressPanelKnob = 0;
        CabinRateKnob = 50.0f;
        LandingFieldElevation = 0;
        CabinAltSetKnob = 50;
        PressModeChangeTimer = 10;
        PressKnobQuadrant = 0;
        WiperSelector = 1;
        Antiice_sys_pitot1_ice_sw = Antiice_sys_pitot2_ice_sw = 0;
        AnnunciatorTestSwitch.set(0);
        PanelLightingCircuit1.set(0);
    }
    // A click, and a quarter of a second of sound so that the next click
    // starts its sound afresh.
    static int32_t Click(gauge::MouseRect* rects, int n) {
        const int32_t r = rects[n].handler(nullptr, gauge::kMouseLeftSingle);
        platform::AudioRender(nullptr, 44100 / 4);
        return r;
    }
    // Runs one update with the refresh group armed, as after a click.
    static void Refresh(gauge::GaugeHeader& g) {
        RefreshCountdown[kRefreshOverhead] = 300;
        Update(g);
    }
    static void Update(gauge::GaugeHeader& g) {
        if (g.element_list == PneuPanelElementList) PneuPanelCallback(&g, gauge::kServiceUpdate, 0);
        if (g.element_list == PneuPanelTouchElementList)
            PneuPanelTouchCallback(&g, gauge::kServiceUpdate, 0);
        if (g.element_list == PressPanelElementList)
            PressPanelCallback(&g, gauge::kServiceUpdate, 0);
        if (g.element_list == PressPanelTouchElementList)
            PressPanelTouchCallback(&g, gauge::kServiceUpdate, 0);
        if (g.element_list == AntiicePanelElementList)
            AntiicePanelCallback(&g, gauge::kServiceUpdate, 0);
    }
    // Element k of the numbered run (after the unlit face).
    static gauge::ElementHeader* Numbered(const gauge::GaugeHeader& g, int k) {
        gauge::ElementHeader* e = g.element_list[0]->next_element[0];
        for (int i = 0; i < k && e != nullptr; ++i) e = e->next_element[0];
        return e;
    }
    static int Count(const gauge::GaugeHeader& g) {
        int n = 0;
        for (gauge::ElementHeader* e = g.element_list[0]; e != nullptr; e = e->next_element[0]) ++n;
        return n - 1;
    }
    static bool Shown(const gauge::GaugeHeader& g, int k) {
        return (Numbered(g, k)->image_flags & gauge::kImageHidden) == 0;
    }
    static bool Bright(const gauge::GaugeHeader& g, int k) {
        return (Numbered(g, k)->image_flags & gauge::kImageLuminous) != 0;
    }
    static double Angle(const gauge::GaugeHeader& g, int k) {
        gauge::ElementHeader* e = Numbered(g, k);
        return e->callback(e);
    }
    // The de-ice lights shown (1..16).
    std::vector<int> LightsShown() {
        std::vector<int> out;
        for (int i = 0; i < 16; ++i) {
            if (Shown(ice_, 28 + i)) out.push_back(i + 1);
        }
        return out;
    }

    IceProtectionStateRecord saved_ice_{};
    SystemTimersRecord saved_timers_{};
    gauge::GaugeHeader pneu_{};
    gauge::GaugeHeader pneu_touch_{};
    gauge::GaugeHeader press_{};
    gauge::GaugeHeader press_touch_{};
    gauge::GaugeHeader ice_{};
};

// ---------------------------------------------------------------------------
// Bleed-air panel

TEST_F(EnvironmentPanels, PneuElementListsAndRectanglesHaveTheirLengths) {
    EXPECT_EQ(Count(pneu_), 29);
    EXPECT_EQ(Count(pneu_touch_), 29);
    EXPECT_EQ(Count(press_), 13);
    EXPECT_EQ(Count(press_touch_), 13);
    EXPECT_EQ(Count(ice_), 44);
    EXPECT_EQ(PneuPanelMouseRect[25].kind, gauge::MouseRectKind::End);
    EXPECT_EQ(PneuPanelTouchMouseRect[27].kind, gauge::MouseRectKind::End);
    EXPECT_EQ(PressPanelMouseRect[13].kind, gauge::MouseRectKind::End);
    EXPECT_EQ(PressPanelTouchMouseRect[15].kind, gauge::MouseRectKind::End);
    EXPECT_EQ(AntiicePanelMouseRect[21].kind, gauge::MouseRectKind::End);
    // Every child lies inside its gauge.
    for (const gauge::MouseRect* rects :
         {PneuPanelMouseRect, PneuPanelTouchMouseRect, PressPanelMouseRect,
          PressPanelTouchMouseRect, AntiicePanelMouseRect}) {
        for (int i = 1; rects[i].kind != gauge::MouseRectKind::End; ++i) {
            EXPECT_GE(rects[i].x, 0) << i;
            EXPECT_GE(rects[i].y, 0) << i;
            EXPECT_LE(rects[i].x + rects[i].width, rects[0].width) << i;
            EXPECT_LE(rects[i].y + rects[i].height, rects[0].height) << i;
            EXPECT_NE(rects[i].handler, nullptr) << i;
        }
    }
}

TEST_F(EnvironmentPanels, PneuSelectorWrapsWithTheMouseAndStopsOnTouch) {
    TempIndicatorSelector = 2;
    Click(PneuPanelMouseRect, kPneuSelectorRight);
    EXPECT_EQ(TempIndicatorSelector, 0);
    Click(PneuPanelMouseRect, kPneuSelectorLeft);
    EXPECT_EQ(TempIndicatorSelector, 2);
    EXPECT_EQ(TakePlays(),
              (std::vector<std::string>{"click_switch_small.wav", "click_switch_small.wav"}));
    EXPECT_EQ(RefreshCountdown[kRefreshOverhead], 300);
    EXPECT_DOUBLE_EQ(PneuIndicatorSelectorAngle(), 90.0);

    // Touch: from the top sector to the right one is a step up, stopped at 2.
    PneuSelectorSector = 2;
    Click(PneuPanelTouchMouseRect, kTouchSelectorSector1 + 2);
    EXPECT_EQ(TempIndicatorSelector, 2);
    EXPECT_TRUE(TakePlays().empty());
    // Right to top steps down, with its click.
    Click(PneuPanelTouchMouseRect, kTouchSelectorSector1 + 1);
    EXPECT_EQ(TempIndicatorSelector, 1);
    EXPECT_EQ(TakePlays().size(), 1u);
}

TEST_F(EnvironmentPanels, PneuTouchKnobStepsOnlyFromANeighbouringSector) {
    auto enter = [](int sector) { Click(PneuPanelTouchMouseRect, kTouchFlowSector1 + sector - 1); };
    PneuFlowKnobSector = 3;
    for (int s : {1, 2, 3, 1}) enter(s);
    EXPECT_EQ(PneuKnob[0], 4);
    PneuFlowKnobSector = 1;
    for (int s : {3, 2, 1}) enter(s);
    EXPECT_EQ(PneuKnob[0], 1);
    // The first sector after start gives no step, whichever it is.
    for (int s : {1, 2, 3}) {
        PneuFlowKnobSector = 0;
        enter(s);
        EXPECT_EQ(PneuKnob[0], 1) << s;
        EXPECT_EQ(PneuFlowKnobSector, s);
    }
    // Stopped at 9, silently.
    PneuKnob[0] = 9;
    for (int s : {1, 2, 3}) enter(s);
    EXPECT_EQ(PneuKnob[0], 9);
    EXPECT_TRUE(TakePlays().empty());
}

TEST_F(EnvironmentPanels, PneuKnobsClampSilentlyAndSwitchesClick) {
    PneuKnob[0] = 9;
    Click(PneuPanelMouseRect, kPneuFlowRight);
    EXPECT_EQ(PneuKnob[0], 9);
    EXPECT_EQ(RefreshCountdown[kRefreshOverhead], 300);
    Click(PneuPanelMouseRect, kPneuFlowLeft);
    EXPECT_EQ(PneuKnob[0], 8);
    PneuKnob[1] = -5;
    Click(PneuPanelMouseRect, kPneuZone1KnobLeft);
    EXPECT_EQ(PneuKnob[1], -5);
    Click(PneuPanelMouseRect, kPneuZone1KnobLeft + 1);
    EXPECT_EQ(PneuKnob[1], -4);
    EXPECT_TRUE(TakePlays().empty());

    Click(PneuPanelMouseRect, kPneuToggle0);
    EXPECT_EQ(PneuPanelSwitches[0], 0);
    Click(PneuPanelMouseRect, kPneuToggle0 + 3);
    EXPECT_EQ(PneuPanelSwitches[3], 0);
    Click(PneuPanelMouseRect, kPneuZone1Temp);
    EXPECT_EQ(PneuSwitch[0], -1);
    Click(PneuPanelMouseRect, kPneuZone1Temp + 2);
    EXPECT_EQ(PneuSwitch[0], 1);
    Click(PneuPanelMouseRect, kPneuZone2Mode + 2);  // the bottom row
    EXPECT_EQ(PneuSwitch[3], 2);
    EXPECT_EQ(TakePlays().size(), 5u);
}

TEST_F(EnvironmentPanels, PneuImagesFollowTheSwitchesAndThePanelLights) {
    PneuPanelSwitches[0] = 0;
    PneuSwitch[2] = 1;
    PneuSwitch[3] = 2;
    PneuKnob[2] = 5;
    Refresh(pneu_);
    EXPECT_FALSE(Shown(pneu_, 0));
    EXPECT_TRUE(Shown(pneu_, 3));  // switch [0] off
    EXPECT_FALSE(Shown(pneu_, 4));
    EXPECT_TRUE(Shown(pneu_, 24));  // switch [3] on
    EXPECT_TRUE(Shown(pneu_, 12));  // zone 2 at +1
    EXPECT_FALSE(Shown(pneu_, 11));
    EXPECT_TRUE(Shown(pneu_, 25));  // zone 2 mode 2
    EXPECT_FALSE(Shown(pneu_, 15));
    EXPECT_FALSE(Shown(pneu_, 16));
    EXPECT_TRUE(Shown(pneu_, 19));  // zone 2 knob, unlit
    EXPECT_FALSE(Shown(pneu_, 20));
    EXPECT_DOUBLE_EQ(Angle(pneu_, 19), 60.0);

    PanelLightingCircuit1.set(255);
    Refresh(pneu_);
    EXPECT_TRUE(Shown(pneu_, 0));
    for (int k : {18, 20, 22, 28}) EXPECT_TRUE(Shown(pneu_, k)) << k;
    for (int k : {17, 19, 21, 27}) EXPECT_FALSE(Shown(pneu_, k)) << k;
    for (int k = 1; k <= 26; ++k) {
        EXPECT_EQ(Bright(pneu_, k), k <= 16 || k >= 23) << k;
    }
    // Lights off: every switch loses the bright flag and keeps its position.
    PanelLightingCircuit1.set(0);
    Refresh(pneu_);
    for (int k : {1, 3, 12, 24, 25}) EXPECT_FALSE(Bright(pneu_, k)) << k;
    EXPECT_TRUE(Shown(pneu_, 3));
    EXPECT_TRUE(Shown(pneu_, 12));
    EXPECT_TRUE(Shown(pneu_, 25));
    // The virtual-cockpit instance is never lit.
    PanelLightingCircuit1.set(255);
    pneu_.parameters = "VC";
    Refresh(pneu_);
    EXPECT_FALSE(Shown(pneu_, 0));
    pneu_.parameters = nullptr;

    // Values outside their sets: the temperature switch keeps its image,
    // the mode selector shows none.
    PneuSwitch[2] = 7;
    PneuSwitch[3] = 3;
    Refresh(pneu_);
    EXPECT_TRUE(Shown(pneu_, 12));
    EXPECT_FALSE(Shown(pneu_, 15));
    EXPECT_FALSE(Shown(pneu_, 16));
    EXPECT_FALSE(Shown(pneu_, 25));
}

TEST_F(EnvironmentPanels, PneuRefreshesOnlyWhileItsGroupRuns) {
    PneuPanelSwitches[1] = 0;
    PneuPanelCallback(&pneu_, gauge::kServiceUpdate, 0);
    EXPECT_FALSE(Shown(pneu_, 5));  // nothing armed: the images stay
    Click(PneuPanelMouseRect, kPneuToggle0 + 1);
    PneuPanelCallback(&pneu_, gauge::kServiceUpdate, 0);
    EXPECT_EQ(PneuPanelSwitches[1], 255);
    EXPECT_EQ(RefreshCountdown[kRefreshOverhead], 299);
}

// ---------------------------------------------------------------------------
// Pressurisation panel

TEST_F(EnvironmentPanels, PressModeChangeTimerStartsOnlyWhenLeavingMode2) {
    auto mode = [](int m) { Click(PressPanelMouseRect, 3 - m); };  // rows: 2, 1, 0
    PressModeChangeTimer = 0;
    PressurisationMode = 2;
    mode(1);
    EXPECT_EQ(PressurisationMode, 1);
    EXPECT_EQ(PressModeChangeTimer, 10);
    PressModeChangeTimer = 0;
    PressurisationMode = 0;
    mode(1);
    EXPECT_EQ(PressModeChangeTimer, 0);
    mode(2);
    mode(2);
    EXPECT_EQ(PressModeChangeTimer, 0);
    mode(0);
    EXPECT_EQ(PressurisationMode, 0);
    EXPECT_EQ(PressModeChangeTimer, 10);
    EXPECT_EQ(TakePlays().size(), 5u);
}

TEST_F(EnvironmentPanels, PressKnobsStopAtTheirLimits) {
    LandingFieldElevation = 9950;
    Click(PressPanelMouseRect, 9);
    Click(PressPanelMouseRect, 9);
    EXPECT_EQ(LandingFieldElevation, 10000);
    LandingFieldElevation = -950;
    Click(PressPanelMouseRect, 10);
    Click(PressPanelMouseRect, 10);
    EXPECT_EQ(LandingFieldElevation, -1000);
    CabinRateKnob = 99.0f;
    Click(PressPanelMouseRect, 7);
    EXPECT_FLOAT_EQ(CabinRateKnob, 100.0f);
    CabinRateKnob = 1.0f;
    Click(PressPanelMouseRect, 8);
    EXPECT_FLOAT_EQ(CabinRateKnob, 0.0f);
    CabinRateKnob = std::numeric_limits<float>::quiet_NaN();
    Click(PressPanelMouseRect, 7);
    EXPECT_FLOAT_EQ(CabinRateKnob, 0.0f);  // back within its stops
    PressPanelKnob = 98;
    Click(PressPanelMouseRect, 5);
    EXPECT_EQ(PressPanelKnob, 100);
    Click(PressPanelMouseRect, 6);
    EXPECT_EQ(PressPanelKnob, 97);
    CabinAltSetKnob = 2;
    Click(PressPanelMouseRect, 12);
    EXPECT_EQ(CabinAltSetKnob, 0);
    Click(PressPanelMouseRect, 11);
    EXPECT_EQ(CabinAltSetKnob, 3);
    EXPECT_TRUE(TakePlays().empty());
    EXPECT_EQ(RefreshCountdown[kRefreshOverhead], 300);
    Click(PressPanelMouseRect, 4);
    EXPECT_EQ(PressurisationSwitch, 255);
    EXPECT_EQ(TakePlays().size(), 1u);
}

TEST_F(EnvironmentPanels, PressTouchQuadrantsTurnTheManualKnob) {
    auto enter = [](int q) { Click(PressPanelTouchMouseRect, 5 + q); };
    PressKnobQuadrant = 0;
    for (int q : {1, 2, 3, 0, 1}) enter(q);
    EXPECT_EQ(PressPanelKnob, 15);
    enter(0);
    enter(3);
    EXPECT_EQ(PressPanelKnob, 9);
    enter(1);  // across the knob: nothing
    EXPECT_EQ(PressPanelKnob, 9);
    EXPECT_EQ(PressKnobQuadrant, 1);
    PressPanelKnob = 99;
    enter(2);
    EXPECT_EQ(PressPanelKnob, 100);
    // The other knobs keep their halves.
    Click(PressPanelTouchMouseRect, 11);
    EXPECT_EQ(LandingFieldElevation, 100);
}

TEST_F(EnvironmentPanels, PressLightNeedsTheAnnunciatorBusAndARunningTimer) {
    PressurisationMode = 1;
    PressurisationSwitch = 255;
    PressPanelKnob = 40;
    PressModeChangeTimer = 5;
    Refresh(press_);
    EXPECT_FALSE(Shown(press_, 12));
    EXPECT_TRUE(Shown(press_, 6));
    EXPECT_FALSE(Shown(press_, 5));
    EXPECT_TRUE(Shown(press_, 9));
    EXPECT_FALSE(Shown(press_, 8));
    EXPECT_TRUE(Shown(press_, 2));  // unlit manual knob
    EXPECT_FALSE(Shown(press_, 1));
    EXPECT_DOUBLE_EQ(Angle(press_, 2), 90.0);
    EXPECT_DOUBLE_EQ(Angle(press_, 4), -20.0);
    Power(kPoweredRightEssential);
    Refresh(press_);
    EXPECT_TRUE(Shown(press_, 12));
    PressModeChangeTimer = 0;
    Refresh(press_);
    EXPECT_FALSE(Shown(press_, 12));

    PanelLightingCircuit1.set(255);
    Refresh(press_touch_);
    EXPECT_TRUE(Shown(press_touch_, 0));
    EXPECT_TRUE(Shown(press_touch_, 1));
    EXPECT_TRUE(Shown(press_touch_, 3));
    EXPECT_FALSE(Shown(press_touch_, 2));
    for (int k = 5; k <= 11; ++k) EXPECT_TRUE(Bright(press_touch_, k)) << k;
    // The touch variant has no virtual-cockpit instance.
    press_touch_.parameters = "VC";
    Refresh(press_touch_);
    EXPECT_TRUE(Shown(press_touch_, 0));
    press_touch_.parameters = nullptr;
    // A mode outside 0..2 leaves the selector's image.
    PressurisationMode = 5;
    Refresh(press_);
    EXPECT_TRUE(Shown(press_, 6));
}

// ---------------------------------------------------------------------------
// Ice-protection panel

TEST_F(EnvironmentPanels, IceKnobAWrapsAndClampedKnobsStopSilently) {
    IceProtectionState.ManualBootSelector = 0;
    Click(AntiicePanelMouseRect, 4);
    EXPECT_EQ(IceProtectionState.ManualBootSelector, 7);
    Click(AntiicePanelMouseRect, 5);
    EXPECT_EQ(IceProtectionState.ManualBootSelector, 0);
    EXPECT_EQ(TakePlays(), (std::vector<std::string>{"click_tiny.wav", "click_tiny.wav"}));

    IceProtectionState.AntiIceSelector = 2;
    Click(AntiicePanelMouseRect, 7);
    EXPECT_EQ(IceProtectionState.AntiIceSelector, 2);
    EXPECT_TRUE(TakePlays().empty());
    for (int i = 0; i < 5; ++i) Click(AntiicePanelMouseRect, 6);
    EXPECT_EQ(IceProtectionState.AntiIceSelector, -2);
    EXPECT_EQ(TakePlays().size(), 4u);
    IceProtectionState.WindshieldMode = 2;
    Click(AntiicePanelMouseRect, 9);
    EXPECT_EQ(IceProtectionState.WindshieldMode, 2);
    WiperSelector = 0;
    Click(AntiicePanelMouseRect, 10);
    EXPECT_EQ(WiperSelector, 0);
    EXPECT_TRUE(TakePlays().empty());
    Click(AntiicePanelMouseRect, 11);
    EXPECT_EQ(WiperSelector, 1);
    EXPECT_EQ(TakePlays().size(), 1u);
}

TEST_F(EnvironmentPanels, IceSwitchesClickOnlyWhenTheyMove) {
    IceProtectionState.BootMode = 0;
    IceProtectionState.HornHeatTestSwitch = 0;
    RefreshCountdown[kRefreshOverhead] = 0;
    Click(AntiicePanelMouseRect, 13);  // middle, already 0
    EXPECT_TRUE(TakePlays().empty());
    EXPECT_EQ(RefreshCountdown[kRefreshOverhead], 300);
    Click(AntiicePanelMouseRect, 1);  // cycle selector already 0
    EXPECT_TRUE(TakePlays().empty());
    Click(AntiicePanelMouseRect, 3);
    EXPECT_EQ(IceProtectionState.BootMode, 2);
    EXPECT_EQ(TakePlays(), std::vector<std::string>{"click_tiny.wav"});
    // The upper position starts the horn-heat test.
    Click(AntiicePanelMouseRect, 12);
    EXPECT_EQ(IceProtectionState.HornHeatTestSwitch, -1);
    EXPECT_EQ(IceProtectionState.HornHeatTestCountdown, 2);
    Click(AntiicePanelMouseRect, 14);
    EXPECT_EQ(IceProtectionState.HornHeatTestSwitch, 1);
    EXPECT_EQ(TakePlays().size(), 2u);
    // Toggles T1, T2, pitot 1, pitot 2, T3 and the push-button always click.
    Click(AntiicePanelMouseRect, 15);
    Click(AntiicePanelMouseRect, 16);
    Click(AntiicePanelMouseRect, 17);
    Click(AntiicePanelMouseRect, 18);
    Click(AntiicePanelMouseRect, 19);
    Click(AntiicePanelMouseRect, 20);
    EXPECT_EQ(IceProtectionState.HeaterSwitch, 255);
    EXPECT_EQ(IceProtectionState.SideWindowSwitch, 255);
    EXPECT_EQ(Antiice_sys_pitot1_ice_sw, 255);
    EXPECT_EQ(Antiice_sys_pitot2_ice_sw, 255);
    EXPECT_EQ(IceProtectionState.IsolationSwitch, 255);
    EXPECT_EQ(IceProtectionState.PropTestLamp, 255);
    EXPECT_EQ(IceProtectionState.PropTestCountdown, 5);
    const std::vector<std::string> plays = TakePlays();
    EXPECT_EQ(plays.size(), 6u);
    EXPECT_EQ(std::count(plays.begin(), plays.end(), "click_switch_small.wav"), 6);

    Refresh(ice_);
    for (int k : {15, 17, 19, 23, 25, 26, 13}) EXPECT_TRUE(Shown(ice_, k)) << k;
    for (int k : {14, 16, 18, 22, 24, 27, 11, 12, 20, 21}) EXPECT_FALSE(Shown(ice_, k)) << k;
    EXPECT_DOUBLE_EQ(Angle(ice_, 2), -180.0);  // cycle selector at 2, unlit
}

TEST_F(EnvironmentPanels, IceLampTestLightsEveryDeiceLightWithAnnunciatorPower) {
    AnnunciatorTestSwitch.set(2);
    Refresh(ice_);
    EXPECT_TRUE(LightsShown().empty());  // no annunciator power
    Power(kPoweredRightEssential);
    Refresh(ice_);
    EXPECT_EQ(LightsShown().size(), 16u);
    AnnunciatorTestSwitch.set(1);
    Refresh(ice_);
    EXPECT_TRUE(LightsShown().empty());
    // Outside the test the lights show the boot outputs and heaters.
    IceProtectionState.BootOutput[7] = 255;
    IceProtectionState.HeaterOutput[3] = 1;
    Refresh(ice_);
    EXPECT_EQ(LightsShown(), (std::vector<int>{7, 16}));
    // Lit panel: knobs swap and the switches glow.
    PanelLightingCircuit1.set(255);
    Refresh(ice_);
    for (int k : {0, 1, 3, 5, 7, 9}) EXPECT_TRUE(Shown(ice_, k)) << k;
    for (int k : {2, 4, 6, 8, 10}) EXPECT_FALSE(Shown(ice_, k)) << k;
    for (int k = 11; k <= 27; ++k) EXPECT_TRUE(Bright(ice_, k)) << k;
}

// The boot cycle as the panel's lights show it, pass by pass of the ice
// step: the lights lit and how many passes each set lasts.
using Runs = std::vector<std::pair<std::vector<int>, int>>;
Runs BootCycleOnTheLights(gauge::GaugeHeader* ice, const std::function<std::vector<int>()>& lights,
                          int passes) {
    Runs runs;
    for (int i = 0; i < passes; ++i) {
        IceProtectionUpdate();
        AntiicePanelCallback(ice, gauge::kServiceUpdate, 0);
        std::vector<int> lit = lights();
        if (runs.empty() || runs.back().first != lit) {
            runs.push_back({lit, 1});
        } else {
            ++runs.back().second;
        }
    }
    return runs;
}

TEST_F(EnvironmentPanels, IceCycleLightsStepThroughTheBootPairs) {
    Power(kPoweredLeftSecondary);
    Power(kPoweredRightSecondary);
    EngineAirValue[0] = EngineAirValue[1] = 30;
    IceProtectionReset();
    IceProtectionState.BootStep = -1;
    IceProtectionState.BootTimer = IceProtectionState.BootWait = 0;
    IceProtectionState.BootMode = 2;
    AntiicePanelCallback(&ice_, gauge::kServiceUpdate, 0);
    Runs runs = BootCycleOnTheLights(
        &ice_, [this] { return LightsShown(); }, 36 + 24 + 6);
    const Runs expected = {{{5, 12}, 6}, {{6, 11}, 6}, {{7, 10}, 6}, {{8, 9}, 6},
                           {{2, 3}, 6},  {{1, 4}, 6},  {{}, 24},     {{5, 12}, 6}};
    EXPECT_EQ(runs, expected);

    // Mode 1 runs the rest of the cycle, then waits 204 passes.
    IceProtectionState.BootMode = 1;
    runs = BootCycleOnTheLights(
        &ice_, [this] { return LightsShown(); }, 30 + 204 + 1);
    const Runs expected1 = {{{6, 11}, 6}, {{7, 10}, 6}, {{8, 9}, 6}, {{2, 3}, 6},
                            {{1, 4}, 6},  {{}, 204},    {{5, 12}, 1}};
    EXPECT_EQ(runs, expected1);
    EngineAirValue[0] = EngineAirValue[1] = 0;
}

}  // namespace
}  // namespace zu
