// Unit tests of the pilot's side console (`Pilot_Panel`): its handlers,
// called as the simulator calls them, with the sound set loaded from tones so
// that the clicks and their pans can be heard; its images after an update;
// the timers that keep it re-evaluating; the trim switch springing back on
// the systems tick.
#include "panels/side_panels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "cabin_link/cabin_test_support.h"
#include "core/air_data.h"
#include "core/alerting.h"
#include "core/electrical_system.h"
#include "core/gauge_table.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/radio_altitude_alerting.h"
#include "core/systems_tick.h"
#include "instruments/gauge_framework.h"

namespace zu {
namespace {

// The pilot panel's rectangles, in the order of its rectangle list.
enum PilotRect : int {
    kRectNose = 1,
    kRectLighting,
    kRectStallUpper,
    kRectStallLower,
    kRectAdcUpper,
    kRectAdcLower,
    kRectTrimUpper,
    kRectTrimLower,
    kRectToggle,
    kRectWord1Top,  // then middle, bottom
    kRectWord2Top = kRectWord1Top + 3,
    kRectLastTop = kRectWord2Top + 3,
    kRectGpws = kRectLastTop + 3,
};

// The refresh group of the pilot panel and the count its handlers arm.
constexpr int kGroup = 3;
constexpr int32_t kHold = 25;

class PilotPanelTest : public cabin_test::CabinSoundTest {
  protected:
    void SetUp() override {
        CabinSoundTest::SetUp();
        Start();
        for (GaugeHeader& g : GaugeTable) {
            if (std::strcmp(g.name, "Pilot_Panel") == 0) gauge_ = &g;
        }
        ASSERT_NE(gauge_, nullptr);
        first_ = ElementListWalk(gauge_->element_list[0], 1);  // after the backdrop
        ASSERT_NE(first_, nullptr);
        Quiet();
    }
    using GaugeHeader = gauge::GaugeHeader;

    void Click(int rect) {
        gauge::Point p{0, 0};
        gauge_->mouse_rect[rect].handler(&p, gauge::kMouseLeftSingle);
    }
    // One update service with the group armed, so that the images follow.
    void Update() {
        RefreshCountdown[kGroup] = kHold;
        gauge_->gauge_callback(gauge_, gauge::kServiceUpdate, 0);
    }
    bool Shown(int k) const { return ElementShown(first_, k); }
    bool Lit(int k) const {
        return (ElementListWalk(first_, k)->image_flags & gauge::kImageLuminous) != 0;
    }
    // Exactly `shown` of the images `set` is shown.
    void ExpectOnly(std::initializer_list<int> set, int shown, const char* what) const {
        for (int k : set) EXPECT_EQ(Shown(k), k == shown) << what << ": element " << k;
    }
    // Lets the last click end and forgets what the sound log holds.
    void Quiet() {
        platform::AudioRender(nullptr, 4 * cabin_test::kTickFrames);
        TakeEvents();
    }
    // The sounds a click started, and the pan of each.
    std::vector<std::string> ClickSounds() {
        std::vector<std::string> out;
        for (const Event& e : TakeEvents()) {
            if (e.kind == platform::AudioEventKind::Play) out.push_back(e.file);
        }
        return out;
    }

    GaugeHeader* gauge_ = nullptr;
    gauge::ElementHeader* first_ = nullptr;
};

TEST_F(PilotPanelTest, HandlersSetTheirWordsArmGroupThreeAndClickOnTheLeft) {
    struct Row {
        int rect;
        int32_t* word;
        int32_t value;
        int32_t* timer;  // null: none
        int32_t timer_value;
    };
    const Row rows[] = {
        {kRectStallUpper, &StallWarningState.test_state, 1, &StallWarningState.test_countdown, 35},
        {kRectStallLower, &StallWarningState.test_state, 2, &StallWarningState.test_countdown, 35},
        {kRectAdcUpper, &AdcTestSwitch, 1, &AdcTestTimer1, 120},
        {kRectAdcLower, &AdcTestSwitch, -1, &AdcTestTimer2, 120},
        {kRectTrimUpper, &PilotTrimRequest, 1, &PilotTrimTimer, 8},
        {kRectTrimLower, &PilotTrimRequest, -1, &PilotTrimTimer, 8},
        {kRectWord1Top, &PropGroundSwitch[0], 1, nullptr, 0},
        {kRectWord1Top + 1, &PropGroundSwitch[0], 0, nullptr, 0},
        {kRectWord1Top + 2, &PropGroundSwitch[0], -1, nullptr, 0},
        {kRectWord2Top, &PropGroundSwitch[1], 1, nullptr, 0},
        {kRectWord2Top + 1, &PropGroundSwitch[1], 0, nullptr, 0},
        {kRectWord2Top + 2, &PropGroundSwitch[1], -1, nullptr, 0},
        {kRectLastTop, &PilotPanelOverride, 1, nullptr, 0},
        {kRectLastTop + 1, &PilotPanelOverride, 0, nullptr, 0},
        {kRectLastTop + 2, &PilotPanelOverride, -1, nullptr, 0},
    };
    for (const Row& r : rows) {
        *r.word = 7;  // neither +1, 0 nor -1
        if (r.timer != nullptr) *r.timer = 0;
        RefreshCountdown[kGroup] = 0;
        Click(r.rect);
        EXPECT_EQ(*r.word, r.value) << "rectangle " << r.rect;
        if (r.timer != nullptr) {
            EXPECT_EQ(*r.timer, r.timer_value) << "rectangle " << r.rect;
        }
        EXPECT_EQ(RefreshCountdown[kGroup], kHold) << "rectangle " << r.rect;
        EXPECT_EQ(ClickSounds(), std::vector<std::string>{"click_switch_small.wav"})
            << "rectangle " << r.rect;
        EXPECT_EQ(Pan(kSoundClickSwitchSmall), -1365) << "rectangle " << r.rect;
        Quiet();
    }
}

TEST_F(PilotPanelTest, TogglesFlipAndReturnExactly) {
    // The nose steering switch: 0 and 255.
    NoseSteeringSwitch = 0;
    Click(kRectNose);
    EXPECT_EQ(NoseSteeringSwitch, 255);
    EXPECT_EQ(ClickSounds(), std::vector<std::string>{"click_switch_small.wav"});
    Quiet();
    Click(kRectNose);
    EXPECT_EQ(NoseSteeringSwitch, 0);
    Quiet();

    // The lighting switch, 255 minus its low byte, clicks tiny.
    PanelLightingSwitch3.set(0);
    Click(kRectLighting);
    EXPECT_EQ(PanelLightingSwitch3.get(), 255);
    EXPECT_EQ(ClickSounds(), std::vector<std::string>{"click_tiny.wav"});
    EXPECT_EQ(Pan(kSoundClickTiny), -1365);
    Quiet();
    Click(kRectLighting);
    EXPECT_EQ(PanelLightingSwitch3.get(), 0);
    Quiet();

    // The toggle: 1 - value.
    PilotPanelFlag = 0;
    Click(kRectToggle);
    EXPECT_EQ(PilotPanelFlag, 1);
    Quiet();
    Click(kRectToggle);
    EXPECT_EQ(PilotPanelFlag, 0);
    Quiet();

    // The GPWS button inverts its panel byte and clicks tiny.
    GpwsFlags[kGpwsOverride] = 0;
    RefreshCountdown[kGroup] = 0;
    Click(kRectGpws);
    EXPECT_EQ(GpwsFlags[kGpwsOverride], 1);
    EXPECT_EQ(RefreshCountdown[kGroup], kHold);
    EXPECT_EQ(ClickSounds(), std::vector<std::string>{"click_tiny.wav"});
    Quiet();
    Click(kRectGpws);
    EXPECT_EQ(GpwsFlags[kGpwsOverride], 0);
}

TEST_F(PilotPanelTest, EachSwitchShowsOneImageOfItsGroup) {
    constexpr int kUnsaid = -99;  // a value whose image the panel leaves open
    struct Step {
        int32_t value;
        int stall, adc, trim, word1, word2, last;
    };
    for (const Step& s :
         {Step{0, 4, 7, 10, 16, 13, 24}, Step{1, 3, 6, 9, 15, 12, 23},
          Step{-1, kUnsaid, 8, 11, 17, 14, 25}, Step{2, 5, kUnsaid, kUnsaid, 16, 13, 24}}) {
        StallWarningState.test_state = s.value;
        AdcTestSwitch = s.value;
        PilotTrimRequest = s.value;
        PropGroundSwitch[0] = PropGroundSwitch[1] = s.value;
        PilotPanelOverride = s.value;
        Update();
        const std::string at = "value " + std::to_string(s.value);
        const auto expect = [&](std::initializer_list<int> set, int shown, const char* what) {
            if (shown != kUnsaid) ExpectOnly(set, shown, (at + " " + what).c_str());
        };
        expect({3, 4, 5}, s.stall, "stall test");
        expect({6, 7, 8}, s.adc, "air-data test");
        expect({9, 10, 11}, s.trim, "trim");
        expect({15, 16, 17}, s.word1, "request word 1");
        expect({12, 13, 14}, s.word2, "request word 2");
        expect({23, 24, 25}, s.last, "last word");
        for (int k : {18, 19, 20, 29}) EXPECT_FALSE(Shown(k)) << at << " element " << k;
    }

    NoseSteeringSwitch = 255;
    PanelLightingSwitch3.set(255);
    PilotPanelFlag = 1;
    GpwsFlags[kGpwsOverrideCopy] = 1;
    Update();
    ExpectOnly({1, 2}, 2, "nose steering on");
    ExpectOnly({26, 27}, 27, "lighting on");
    EXPECT_TRUE(Shown(28));
    EXPECT_TRUE(Shown(30));
    NoseSteeringSwitch = 0;
    PanelLightingSwitch3.set(0);
    PilotPanelFlag = 0;
    GpwsFlags[kGpwsOverrideCopy] = 0;
    Update();
    ExpectOnly({1, 2}, 1, "nose steering off");
    ExpectOnly({26, 27}, 26, "lighting off");
    EXPECT_FALSE(Shown(28));
    EXPECT_FALSE(Shown(30));
}

TEST_F(PilotPanelTest, SideLightingLightsElementsOneToTwentySevenAndTheOverlay) {
    PanelLightingCircuit3.set(255);
    Update();
    EXPECT_TRUE(Shown(0));
    for (int k = 1; k <= 27; ++k) EXPECT_TRUE(Lit(k)) << k;
    EXPECT_FALSE(Lit(28));
    PanelLightingCircuit3.set(0);
    Update();
    EXPECT_FALSE(Shown(0));
    for (int k = 1; k <= 27; ++k) EXPECT_FALSE(Lit(k)) << k;
}

// The stall test, the air-data tests and the trim keep the panel
// re-evaluating while their timers run, without further clicks.
TEST_F(PilotPanelTest, RunningTimersKeepTheGroupArmed) {
    int32_t* timers[] = {&StallWarningState.test_countdown, &AdcTestTimer1, &AdcTestTimer2,
                         &PilotTrimTimer};
    for (int32_t* t : timers) *t = 0;
    RefreshCountdown[kGroup] = 0;
    gauge_->gauge_callback(gauge_, gauge::kServiceUpdate, 0);
    EXPECT_EQ(RefreshCountdown[kGroup], 0);
    for (int32_t* t : timers) {
        *t = 3;
        RefreshCountdown[kGroup] = 0;
        gauge_->gauge_callback(gauge_, gauge::kServiceUpdate, 0);
        EXPECT_EQ(RefreshCountdown[kGroup], kHold - 1);  // armed, then counted
        *t = 0;
    }
}

// One click trims for the trim timer's 8 ticks; then the request is 0 again
// and the switch shows its centre image.
TEST_F(PilotPanelTest, TrimSwitchSpringsBackAfterEightSystemsTicks) {
    for (int rect : {kRectTrimUpper, kRectTrimLower}) {
        Click(rect);
        const int32_t request = PilotTrimRequest;
        ASSERT_NE(request, 0);
        Update();
        EXPECT_FALSE(Shown(10));
        for (int tick = 1; tick <= 7; ++tick) {
            SystemsTick(0, 0, 0, 0, 0);
            EXPECT_EQ(PilotTrimRequest, request) << "tick " << tick;
        }
        SystemsTick(0, 0, 0, 0, 0);
        EXPECT_EQ(PilotTrimRequest, 0);
        EXPECT_EQ(PilotTrimTimer, 0);
        Update();
        ExpectOnly({9, 10, 11}, 10, "trim after its timer");
        Quiet();
    }
}

}  // namespace
}  // namespace zu
