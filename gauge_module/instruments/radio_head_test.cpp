#include "instruments/radio_head.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "core/electrical_system.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/settings_file.h"
#include "core/systems_tick.h"
#include "instruments/adf_control_heads.h"
#include "instruments/com_control_heads.h"
#include "instruments/vor_control_heads.h"

namespace zu {
namespace {

class RadioHeadTest : public testing::Test {
  protected:
    void SetUp() override {
        saved_electrics_ = Electrics_sys;
        Electrics_sys = {};
        BusPowered.set(kPoweredLeftEssential, 1);
        BusPowered2.set(0, 1);
        AcBusPowered.set(2, 1);
        Vor1Radio = {108.0f, 108.0f, 108.0f, 1, 1, 300, 100};
        Vor1PanelState = {};
        Vor1PanelState.mode = kHeadNormal;
        Adf1Radio = {320.0f, 320.0f, 1, 1, 300, 100};
        Adf1PanelState = {};
        Adf1PanelState.mode = kHeadNormal;
        Com1Radio = {119, 119, 118, 119, 118.0f, 118.0f, 1, 1, 300, 100};
        Com1PanelState = {};
        Com1PanelState.mode = kHeadNormal;
        NavSources[kNavVor1].computed_distance = 0;
        TickCounter.store(0);
        EPIC = 0;
    }
    void TearDown() override {
        Electrics_sys = saved_electrics_;
        EPIC = 0;
        TickCounter.store(0);
    }

    static std::string Upper(const RadioHead& head) {
        char text[64];
        RadioHeadUpperText(head, text, sizeof text);
        return text;
    }
    static std::string Lower(const RadioHeadGauge& gauge) {
        char text[64];
        RadioHeadLowerText(gauge, text, sizeof text);
        return text;
    }
    static void Runs(RadioHeadGauge& gauge, int n) {
        for (int i = 0; i < n; ++i) RadioHeadUpdateRun(gauge);
    }

    ElectricsRecord saved_electrics_{};
};

// ---------------------------------------------------------------------------
// VOR band

TEST_F(RadioHeadTest, VorKnobsTurnWithinTheMegahertzAndWrapTheBand) {
    NavRadioTune<1, false>(-0.05f);
    EXPECT_FLOAT_EQ(Vor1Radio.standby, 108.95f);
    NavRadioTune<1, false>(0.05f);
    EXPECT_FLOAT_EQ(Vor1Radio.standby, 108.0f);
    Vor1Radio.standby = 117.95f;
    NavRadioTune<1, false>(0.05f);
    EXPECT_FLOAT_EQ(Vor1Radio.standby, 117.0f);
    Vor1Radio.standby = 108.3f;
    NavRadioTune<1, false>(-1.0f);
    EXPECT_FLOAT_EQ(Vor1Radio.standby, 117.3f);
    NavRadioTune<1, false>(1.0f);
    EXPECT_FLOAT_EQ(Vor1Radio.standby, 108.3f);
    EXPECT_FLOAT_EQ(Vor1Radio.active, 108.0f);  // mode 1 tunes the standby only
    // Direct tune tunes the active frequency.
    Vor1PanelState.mode = kHeadDirectTune;
    NavRadioTune<1, false>(1.0f);
    EXPECT_FLOAT_EQ(Vor1Radio.active, 109.0f);
    EXPECT_EQ(Vor1PanelState.mode_timer, 300);
    EXPECT_EQ(RefreshCountdown[kRefreshSelectors], RefreshHoldCount);
}

TEST_F(RadioHeadTest, FineClicksNeverDriftBetweenWindowAndOutput) {
    Vor1PanelState.mode = kHeadDirectTune;
    for (int i = 0; i < 400; ++i) {
        NavRadioTune<1, false>(0.05f);
        if (i % 10 == 9) NavRadioTune<1, false>(1.0f);
        RadioHeadFrequencyOut(Vor1Head);
        char shown[16];
        std::snprintf(shown, sizeof shown, "%.2f", NavSources[kNavVor1].frequency / 100.0);
        ASSERT_EQ(Upper(Vor1Head), shown) << "click " << i;
    }
    // The same for the COM's 25 kHz steps.
    Com1PanelState.mode = kHeadDirectTune;
    for (int i = 0; i < 400; ++i) {
        ComRadioTune<1>(0.025f);
        RadioHeadFrequencyOut(Com1Head);
        const int32_t expected = static_cast<int32_t>(std::lround(Com1Radio.active * 1000.0)) / 10;
        ASSERT_EQ(Com1Radio.send_frequency, expected) << "click " << i;
    }
}

TEST_F(RadioHeadTest, VorPresetEditingEmptiesOutsideTheBand) {
    Vor1PanelState.mode = kHeadPresetProgramming;
    // Choosing the number steps within 1..9.
    NavRadioTune<1, false>(-1.0f);
    EXPECT_EQ(Vor1Radio.preset, 1);
    NavRadioTune<1, false>(1.0f);
    EXPECT_EQ(Vor1Radio.preset, 2);
    Vor1PanelState.editing = 1;
    // An empty preset starts at 108.00; the fine knob wraps within the MHz.
    NavRadioTune<1, false>(-0.05f);
    EXPECT_FLOAT_EQ(Vor1PanelState.presets[2], 108.95f);
    NavRadioTune<1, false>(-1.0f);
    EXPECT_FLOAT_EQ(Vor1PanelState.presets[2], 0.0f);  // below the band: emptied
    Vor1PanelState.presets[2] = 117.2f;
    NavRadioTune<1, false>(1.0f);
    EXPECT_FLOAT_EQ(Vor1PanelState.presets[2], 0.0f);
    EXPECT_EQ(Lower(Vor1PanelGauge), "---.--");
}

TEST_F(RadioHeadTest, ChannelModeFindsStoredPresetsOnly) {
    Vor1PanelState.mode = kHeadChannel;
    // No preset stored: channel 1, "---.--", the knob changes nothing, XFR
    // returns to mode 1 without touching the frequencies.
    RadioHeadChannelCheck(Vor1Head);
    EXPECT_EQ(Upper(Vor1Head), "1");
    EXPECT_EQ(Lower(Vor1PanelGauge), "---.--");
    NavRadioTune<1, false>(1.0f);
    EXPECT_EQ(Vor1Radio.channel, 1);
    Vor1Radio.standby = 110.0f;
    Vor1PanelState.rocker_event = kRockerXfr;
    RadioHeadRockerEvent(Vor1Head);
    EXPECT_EQ(Vor1PanelState.mode, kHeadNormal);
    EXPECT_FLOAT_EQ(Vor1Radio.active, 108.0f);
    EXPECT_FLOAT_EQ(Vor1Radio.standby, 110.0f);

    // Presets 2 and 5: from 2 up to 5, then it stays; down back to 2.
    Vor1PanelState.presets[2] = 112.1f;
    Vor1PanelState.presets[5] = 115.5f;
    Vor1PanelState.mode = kHeadChannel;
    Vor1Radio.channel = 2;
    NavRadioTune<1, false>(0.05f);
    EXPECT_EQ(Vor1Radio.channel, 5);
    NavRadioTune<1, false>(1.0f);
    EXPECT_EQ(Vor1Radio.channel, 5);
    NavRadioTune<1, false>(-1.0f);
    EXPECT_EQ(Vor1Radio.channel, 2);
    NavRadioTune<1, false>(-1.0f);
    EXPECT_EQ(Vor1Radio.channel, 2);
    EXPECT_EQ(Lower(Vor1PanelGauge), "112.10");
    // XFR makes the channel's preset active, the active one standby.
    Vor1PanelState.rocker_event = kRockerXfr;
    RadioHeadRockerEvent(Vor1Head);
    EXPECT_FLOAT_EQ(Vor1Radio.active, 112.1f);
    EXPECT_FLOAT_EQ(Vor1Radio.standby, 108.0f);
    // The channel check moves an empty channel to the next stored one.
    Vor1Radio.channel = 3;
    RadioHeadChannelCheck(Vor1Head);
    EXPECT_EQ(Vor1Radio.channel, 5);
}

TEST_F(RadioHeadTest, RockerActsByModeAndSpringsBack) {
    RadioHeadXfr(Vor1PanelGauge);
    EXPECT_TRUE(ElementShown(Vor1PanelGauge.first, kRockerUpElement));
    EXPECT_FALSE(ElementShown(Vor1PanelGauge.first, kRockerRestElement));
    Vor1Radio.standby = 113.4f;
    RadioHeadUpdateRun(Vor1PanelGauge);
    EXPECT_FLOAT_EQ(Vor1Radio.active, 113.4f);  // swapped
    EXPECT_FLOAT_EQ(Vor1Radio.standby, 108.0f);
    EXPECT_EQ(NavSources[kNavVor1].frequency, 11340);
    Runs(Vor1PanelGauge, 8);
    EXPECT_FALSE(ElementShown(Vor1PanelGauge.first, kRockerRestElement));
    Runs(Vor1PanelGauge, 1);  // the 10th run releases it
    EXPECT_TRUE(ElementShown(Vor1PanelGauge.first, kRockerRestElement));
    EXPECT_FALSE(ElementShown(Vor1PanelGauge.first, kRockerUpElement));

    // MEM: mode 1 -> channel (timer 100), MEM again back to the saved mode.
    RadioHeadMem(Vor1PanelGauge);
    RadioHeadUpdateRun(Vor1PanelGauge);
    EXPECT_EQ(Vor1PanelState.mode, kHeadChannel);
    EXPECT_EQ(Vor1PanelState.saved_mode, kHeadNormal);
    RadioHeadMem(Vor1PanelGauge);
    RadioHeadUpdateRun(Vor1PanelGauge);
    EXPECT_EQ(Vor1PanelState.mode, kHeadNormal);
    // Preset programming: XFR toggles editing, MEM enters channel mode.
    RadioHeadPresetButton(Vor1Head);
    EXPECT_EQ(Vor1PanelState.mode, kHeadPresetProgramming);
    RadioHeadXfr(Vor1PanelGauge);
    RadioHeadUpdateRun(Vor1PanelGauge);
    EXPECT_EQ(Vor1PanelState.editing, 1);
    RadioHeadPresetButton(Vor1Head);  // back to the saved mode
    EXPECT_EQ(Vor1PanelState.mode, kHeadNormal);
}

TEST_F(RadioHeadTest, ModeTimerReturnsToNormalMode) {
    Vor1PanelState.mode = kHeadDirectTune;
    NavRadioTune<1, false>(1.0f);
    Runs(Vor1PanelGauge, 298);
    EXPECT_EQ(Vor1PanelState.mode, kHeadDirectTune);
    NavRadioTune<1, false>(1.0f);  // turning a knob restarts the count
    Runs(Vor1PanelGauge, 298);
    EXPECT_EQ(Vor1PanelState.mode, kHeadDirectTune);
    Runs(Vor1PanelGauge, 1);
    EXPECT_EQ(Vor1PanelState.mode, kHeadNormal);
    // Channel mode returns after 99 runs (the run that enters it counts).
    RadioHeadMem(Vor1PanelGauge);
    Runs(Vor1PanelGauge, 98);
    EXPECT_EQ(Vor1PanelState.mode, kHeadChannel);
    Runs(Vor1PanelGauge, 1);
    EXPECT_EQ(Vor1PanelState.mode, kHeadNormal);
    // A head switched off while its timer runs comes back in mode 1.
    RadioHeadPresetButton(Vor1Head);
    RadioHeadPower(Vor1Head);
    EXPECT_EQ(Vor1PanelState.mode, kHeadOff);
    Runs(Vor1PanelGauge, 299);
    EXPECT_EQ(Vor1PanelState.mode, kHeadNormal);
}

TEST_F(RadioHeadTest, PowerAndRestoredModes) {
    BusPowered.set(kPoweredLeftEssential, 0);
    Vor1PanelState.mode = kHeadPresetProgramming;
    Vor1PanelState.editing = 1;
    RadioHeadPowerStep(Vor1PanelGauge);
    EXPECT_EQ(Vor1PanelState.mode, kHeadOff);
    EXPECT_EQ(Vor1PanelState.editing, 0);
    BusPowered.set(kPoweredLeftEssential, 1);
    RadioHeadPowerStep(Vor1PanelGauge);
    EXPECT_EQ(Vor1PanelState.mode, kHeadOff);  // stays off until the knob
    RadioHeadPowerStep(Vor1TouchGauge);
    EXPECT_EQ(Vor1PanelState.mode, kHeadNormal);  // the touch head switches on
    // A saved mode outside the machine is taken as off.
    Vor1PanelState.mode = 7;
    RadioHeadPowerStep(Vor1PanelGauge);
    EXPECT_EQ(Vor1PanelState.mode, kHeadOff);
    EXPECT_EQ(Upper(Vor1Head), "      ");
    // Buttons do nothing on an off head but the power knob.
    RadioHeadDirectTune(Vor1Head);
    EXPECT_EQ(Vor1PanelState.mode, kHeadOff);
    RadioHeadPower(Vor1Head);
    EXPECT_EQ(Vor1PanelState.mode, kHeadNormal);
    EXPECT_EQ(RefreshCountdown[kRefreshEngineInstruments], RefreshHoldCount2);
    // The mode is the saved key itself.
    EXPECT_EQ(&FGC_comp_VOR1_MODE, &Vor1PanelState.mode);
    EXPECT_EQ(&FGC_comp_ADF2_MODE, &Adf2PanelState.mode);
}

TEST_F(RadioHeadTest, DmeHoldFreezesTheLowerWindow) {
    Vor1Radio.active = 113.0f;
    Vor1Radio.standby = 110.0f;
    NavSources[kNavVor1].computed_distance = 1;
    EXPECT_EQ(Lower(Vor1PanelGauge), "113.00");
    EXPECT_TRUE(ElementShown(Vor1PanelGauge.first, 9));
    // With hold on the knob in mode 1 tunes the active frequency.
    NavRadioTune<1, false>(0.05f);
    EXPECT_FLOAT_EQ(Vor1Radio.active, 113.05f);
    EXPECT_FLOAT_EQ(Vor1Radio.standby, 110.0f);
    EXPECT_EQ(Lower(Vor1PanelGauge), "113.00");
    NavSources[kNavVor1].computed_distance = 0;
    EXPECT_EQ(Lower(Vor1PanelGauge), "110.00");
    EXPECT_FALSE(ElementShown(Vor1PanelGauge.first, 9));
    // An off head clears the hold.
    NavSources[kNavVor1].computed_distance = 1;
    Vor1PanelState.mode = kHeadOff;
    EXPECT_EQ(Lower(Vor1PanelGauge), "      ");
    EXPECT_EQ(NavSources[kNavVor1].computed_distance, 0);
}

TEST_F(RadioHeadTest, PresetNumberAndFrequencyFlashWhileProgrammed) {
    Vor1PanelState.mode = kHeadPresetProgramming;
    Vor1Radio.preset = 3;
    Vor1PanelState.presets[3] = 111.1f;
    TickCounter.store(2);
    EXPECT_EQ(Upper(Vor1Head), "      ");
    EXPECT_EQ(Lower(Vor1PanelGauge), "111.10");
    TickCounter.store(0);
    EXPECT_EQ(Upper(Vor1Head), "3");
    Vor1PanelState.editing = 1;
    TickCounter.store(2);
    EXPECT_EQ(Upper(Vor1Head), "3");
    EXPECT_EQ(Lower(Vor1PanelGauge), "      ");
    // The preset legend shows once a preset is stored and the head is on.
    RadioHeadPresetLegend(Vor1PanelGauge);
    EXPECT_TRUE(ElementShown(Vor1PanelGauge.first, kPresetLegendElement));
    Vor1PanelState.mode = kHeadOff;
    RadioHeadPresetLegend(Vor1PanelGauge);
    EXPECT_FALSE(ElementShown(Vor1PanelGauge.first, kPresetLegendElement));
}

TEST_F(RadioHeadTest, TouchRingAcceleratesAndCrossesMegahertz) {
    Vor1PanelState.mode = kHeadNormal;
    Vor1Radio.standby = 108.9f;
    Vor1TouchGauge.ring = {};
    TickCounter.store(100);
    const float before = Vor1Radio.standby;
    float last = before;
    const float expected[] = {0.0f, 0.05f, 0.05f, 0.25f, 0.25f};
    for (int zone = 0; zone < 5; ++zone) {
        RadioHeadTouchZone(Vor1TouchGauge, zone % 4, 0.05f, 0.25f, NavRadioTune<1, true>);
        EXPECT_NEAR(Vor1Radio.standby - last, expected[zone], 1e-4) << "zone " << zone;
        last = Vor1Radio.standby;
    }
    EXPECT_FLOAT_EQ(Vor1Radio.standby, 109.5f);  // across 109 without the carry
    // Anticlockwise slowly: single small steps down.
    TickCounter.store(200);
    RadioHeadTouchZone(Vor1TouchGauge, 3, 0.05f, 0.25f, NavRadioTune<1, true>);
    EXPECT_FLOAT_EQ(Vor1Radio.standby, 109.45f);
}

// ---------------------------------------------------------------------------
// ADF band

TEST_F(RadioHeadTest, AdfBandRulesAndWindowTexts) {
    Adf1Radio.standby = 100.0f;
    AdfRadioTune<1>(-10.0f);
    EXPECT_FLOAT_EQ(Adf1Radio.standby, 100.0f);
    AdfRadioTune<1>(-0.5f);
    EXPECT_FLOAT_EQ(Adf1Radio.standby, 109.5f);
    Adf1Radio.standby = 1795.0f;
    AdfRadioTune<1>(10.0f);
    EXPECT_FLOAT_EQ(Adf1Radio.standby, 1795.0f);
    Adf1Radio.standby = 1799.5f;
    AdfRadioTune<1>(0.5f);
    EXPECT_FLOAT_EQ(Adf1Radio.standby, 1790.0f);
    // The inner knob carries into the tens.
    Adf1Radio.standby = 419.5f;
    AdfRadioTune<1>(0.5f);
    EXPECT_FLOAT_EQ(Adf1Radio.standby, 420.0f);

    Adf1Radio.active = 999.5f;
    EXPECT_EQ(Upper(Adf1Head), " 999.5");
    Adf1Radio.active = 1000.0f;
    EXPECT_EQ(Upper(Adf1Head), "1000.0");
    RadioHeadFrequencyOut(Adf1Head);
    EXPECT_EQ(NavSources[kNavAdf1].frequency, 10000);
    // Below 190 kHz the frequency flashes, four ticks on, four off.
    Adf1Radio.active = 150.0f;
    TickCounter.store(3);
    EXPECT_EQ(Upper(Adf1Head), " 150.0");
    TickCounter.store(4);
    EXPECT_EQ(Upper(Adf1Head), "      ");
    Adf1Radio.active = 190.0f;
    EXPECT_EQ(Upper(Adf1Head), " 190.0");

    // An empty preset opened for editing starts at 108.0 and is never emptied.
    Adf1PanelState.mode = kHeadPresetProgramming;
    Adf1PanelState.editing = 1;
    AdfRadioTune<1>(0.5f);
    EXPECT_FLOAT_EQ(Adf1PanelState.presets[1], 108.5f);
    AdfRadioTune<1>(-10.0f);
    EXPECT_FLOAT_EQ(Adf1PanelState.presets[1], 108.5f);  // 98.5 wraps back by 10
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], RefreshHoldCount);
}

TEST_F(RadioHeadTest, WindowsShowEachBandsFormatOfTheFrequencyTheyHold) {
    // The three bands in turn on the same values and on values stepping
    // through their grids: each window shows its band's format of what it
    // holds now, whatever the windows showed before.
    const float shared[] = {118.0f, 118.0f, 119.5f, 1000.0f, 108.05f, 118.0f};
    for (int round = 0; round < 3; ++round) {
        for (float v : shared) {
            Vor1Radio.active = v;
            Adf1Radio.active = v;
            Com1Radio.active = v;
            char want[64];
            std::snprintf(want, sizeof want, "%5.2f", static_cast<double>(v));
            EXPECT_EQ(Upper(Vor1Head), want) << v;
            std::snprintf(want, sizeof want, v < 1000.0f ? " %5.1f" : "%5.1f",
                          static_cast<double>(v));
            EXPECT_EQ(Upper(Adf1Head), want) << v;
            std::snprintf(want, sizeof want, "%5.3f", static_cast<double>(v));
            EXPECT_EQ(Upper(Com1Head), want) << v;
        }
    }
    for (int k = 0; k < 400; ++k) {
        const float v = 108.0f + 0.05f * static_cast<float>(k);
        Vor1Radio.active = v;
        char want[64];
        std::snprintf(want, sizeof want, "%5.2f", static_cast<double>(v));
        ASSERT_EQ(Upper(Vor1Head), want) << v;
    }
    // A short buffer takes what fits, terminated.
    Com1Radio.active = 121.5f;
    char text[4];
    RadioHeadUpperText(Com1Head, text, sizeof text);
    EXPECT_STREQ(text, "121");
    Com1PanelState.mode = kHeadOff;
    RadioHeadUpperText(Com1Head, text, sizeof text);
    EXPECT_STREQ(text, "   ");
}

// ---------------------------------------------------------------------------
// COM band

TEST_F(RadioHeadTest, ComBandStaysWithinItsEnds) {
    ComRadioTune<1>(-0.025f);
    EXPECT_EQ(Upper(Com1Head), "118.000");
    EXPECT_FLOAT_EQ(Com1Radio.standby, 118.975f);
    ComRadioTune<1>(0.025f);
    EXPECT_FLOAT_EQ(Com1Radio.standby, 118.0f);
    // The whole-MHz knob keeps the kilohertz and wraps at the band's ends.
    Com1Radio.standby = 121.525f;
    ComRadioTune<1>(1.0f);
    EXPECT_FLOAT_EQ(Com1Radio.standby, 122.525f);
    Com1Radio.standby = 136.5f;
    ComRadioTune<1>(1.0f);
    EXPECT_FLOAT_EQ(Com1Radio.standby, 118.5f);
    ComRadioTune<1>(-1.0f);
    EXPECT_FLOAT_EQ(Com1Radio.standby, 136.5f);
    Com1Radio.standby = 136.975f;
    ComRadioTune<1>(0.025f);
    EXPECT_FLOAT_EQ(Com1Radio.standby, 136.0f);
    // Presets: an empty one starts at 117.975; a fine step up gives 118.000,
    // a fine step down 118.950.
    Com1PanelState.mode = kHeadPresetProgramming;
    Com1PanelState.editing = 1;
    ComRadioTune<1>(0.025f);
    EXPECT_FLOAT_EQ(Com1PanelState.presets[1], 118.0f);
    Com1PanelState.presets[1] = 0.0f;
    ComRadioTune<1>(-0.025f);
    EXPECT_FLOAT_EQ(Com1PanelState.presets[1], 118.95f);
    // The output keeps whole hundredths: the last 5 kHz are dropped.
    Com1Radio.active = 118.025f;
    RadioHeadFrequencyOut(Com1Head);
    EXPECT_EQ(Com1Radio.send_frequency, 11802);
    Com1Radio.active = 118.075f;
    RadioHeadFrequencyOut(Com1Head);
    EXPECT_EQ(Com1Radio.send_frequency, 11807);
}

TEST_F(RadioHeadTest, ComTransmitLegendFollowsTheHostFlag) {
    char text[16];
    Com1PanelHostFlag = 1;
    RadioHeadTransmitText(Com1Head, "T", text, sizeof text);
    EXPECT_STREQ(text, "T");
    Com1PanelHostFlag = 0;
    RadioHeadTransmitText(Com1Head, "T", text, sizeof text);
    EXPECT_STREQ(text, "   ");
    Com1PanelHostFlag = 1;
    Com1PanelState.mode = kHeadOff;
    RadioHeadTransmitText(Com1Head, "X", text, sizeof text);
    EXPECT_STREQ(text, "   ");
    Com1PanelHostFlag = 0;
}

TEST_F(RadioHeadTest, EpicSlotsMirrorTheWindowsCutAtSixCharacters) {
    gauge::StringElement element{};
    Com1Radio.active = 118.025f;
    RadioUpperWindow<&Com1PanelGauge>(&element.header);
    EXPECT_STREQ(element.text, "118.025");    // the window shows all 7
    EXPECT_STREQ(EpicTextSlots[9].text, "");  // nothing while EPIC is 0
    EPIC = 1;
    RadioUpperWindow<&Com1PanelGauge>(&element.header);
    EXPECT_STREQ(EpicTextSlots[9].text, "118.02");
    Vor1Radio.standby = 112.3f;
    RadioLowerWindow<&Vor1PanelGauge>(&element.header);
    EXPECT_STREQ(EpicTextSlots[0].text, "112.30");
    for (int i = 0; i < kEpicTextSlots; ++i) {
        EXPECT_EQ(EpicTextSlots[i].pointer, EpicTextSlots[i].text);
    }
    EpicTextSlots[9].text[0] = '\0';
    EpicTextSlots[0].text[0] = '\0';
}

}  // namespace
}  // namespace zu
