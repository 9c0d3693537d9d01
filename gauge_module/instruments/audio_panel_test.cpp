#include "instruments/audio_panel.h"

#include <gtest/gtest.h>

#include "cabin_link/cabin_test_support.h"
#include "instruments/gauge_framework.h"

namespace zu {
namespace {

class AudioPanels : public cabin_test::CabinSoundTest {
  protected:
    void SetUp() override {
        CabinSoundTest::SetUp();
        Start();
        TakeEvents();
        for (auto& r : RefreshCountdown) r = 0;
        markers_.element_list = MARKERS_PanelElementList;
        audio_.element_list = AUDIO_PanelElementList;
        entertainment_.element_list = ENTERTAINMENT_PanelElementList;
    }
    void TearDown() override {
        for (auto& r : RefreshCountdown) r = 0;
        CabinSoundTest::TearDown();
    }
    // Lets a click play out.
    static void Settle() { platform::AudioRender(nullptr, 44100 / 4); }
    static void Update(gauge::GaugeHeader& g, gauge::GaugeCallback callback) {
        callback(&g, gauge::kServiceUpdate, 0);
    }
    // Clicks heard since the last call: (file, pan).
    static std::vector<std::pair<std::string, int32_t>> Clicks() {
        std::vector<std::pair<std::string, int32_t>> out;
        int32_t pan = 0;
        for (const Event& e : TakeEvents()) {
            if (e.kind == platform::AudioEventKind::Pan) pan = e.value;
            if (e.kind == platform::AudioEventKind::Play) out.emplace_back(e.file, pan);
        }
        return out;
    }

    gauge::GaugeHeader markers_{};
    gauge::GaugeHeader audio_{};
    gauge::GaugeHeader entertainment_{};
};

TEST_F(AudioPanels, KnobStopsWithoutAClickAndThePointerFollows) {
    AudioPanelVolume = 0;
    AudioKnobStep(-1);
    EXPECT_EQ(AudioPanelVolume, 0);
    EXPECT_TRUE(Clicks().empty());
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], RefreshHoldCount);
    const double expected[6] = {0, 36, 76, 104, 144, 180};
    for (int v = 1; v <= 5; ++v) {
        AudioKnobStep(1);
        Settle();
        EXPECT_EQ(AudioPanelVolume, v);
        // The needle's angle is the position's angle from the first mark.
        EXPECT_DOUBLE_EQ(AudioKnobPointerAngle(), expected[v]);
    }
    const auto clicks = Clicks();
    ASSERT_EQ(clicks.size(), 5u);
    EXPECT_EQ(clicks[0], (std::pair<std::string, int32_t>{"click_tiny.wav", 1365}));
    EXPECT_EQ(Volume(kSoundClickTiny), -3008);  // its initial level
    AudioKnobStep(1);
    EXPECT_EQ(AudioPanelVolume, 5);
    EXPECT_TRUE(Clicks().empty());
}

TEST_F(AudioPanels, ButtonsAndSwitchesToggleTheirBytesAndLamps) {
    AudioButtonClick(0);
    Settle();
    EXPECT_EQ(AudioPanelToggle, 0);
    AudioButtonClick(1);
    Settle();
    EXPECT_EQ(MarkerPanelSwitches[2], 1);
    AudioButtonClick(13);
    Settle();
    EXPECT_EQ(AudioPanelSwitches[10], 1);
    AudioSwitchClick(1);
    Settle();
    EXPECT_EQ(AudioPanelSwitches[12], 1);
    MarkersSwitchClick(0);
    Settle();
    EXPECT_EQ(MarkerPanelSwitches[0], 1);
    const auto clicks = Clicks();
    ASSERT_EQ(clicks.size(), 5u);
    EXPECT_EQ(clicks[3].first, "click_switch_small.wav");

    Update(audio_, AUDIO_PanelCallback);
    gauge::ElementHeader* first = FirstElement(&audio_);
    EXPECT_FALSE(ElementShown(first, 0));  // unlit
    EXPECT_TRUE(ElementShown(first, 1));
    EXPECT_FALSE(ElementShown(first, 2));
    EXPECT_TRUE(ElementShown(first, 3));    // button 1 off
    EXPECT_FALSE(ElementShown(first, 21));  // ... its lamp out
    EXPECT_FALSE(ElementShown(first, 4));   // button 2 on
    EXPECT_TRUE(ElementShown(first, 22));
    EXPECT_FALSE(ElementShown(first, 16));  // button 14 on
    EXPECT_TRUE(ElementShown(first, 34));
    EXPECT_TRUE(ElementShown(first, 17));  // switch [11] off
    EXPECT_FALSE(ElementShown(first, 18));
    EXPECT_FALSE(ElementShown(first, 19));  // switch [12] on
    EXPECT_TRUE(ElementShown(first, 20));

    PanelLightingCircuit2.set(1);
    ArmRefresh(kRefreshRadios);
    Update(audio_, AUDIO_PanelCallback);
    EXPECT_TRUE(ElementShown(first, 0));
    EXPECT_FALSE(ElementShown(first, 1));
    EXPECT_TRUE(ElementShown(first, 2));

    Update(markers_, MARKERS_PanelCallback);
    gauge::ElementHeader* m = FirstElement(&markers_);
    EXPECT_TRUE(ElementShown(m, 0));
    EXPECT_TRUE(ElementShown(m, 1));  // switch 0 on
    EXPECT_FALSE(ElementShown(m, 2));
    EXPECT_FALSE(ElementShown(m, 3));  // switch 1 off
    EXPECT_TRUE(ElementShown(m, 4));
}

TEST_F(AudioPanels, EntertainmentLampsFollowTheSelection) {
    gauge::ElementHeader* first = FirstElement(&entertainment_);
    auto lit = [&] {
        std::vector<int> shown;
        for (int k = 1; k <= 13; ++k) {
            if (ElementShown(first, k)) shown.push_back(k);
        }
        return shown;
    };
    FrameChangeBits.store(1);
    EntertainmentOn = 0;
    EntertainmentProgrammeClick(3);
    Update(entertainment_, ENTERTAINMENT_PanelCallback);
    EXPECT_EQ(lit(), std::vector<int>{4});
    EntertainmentProgrammeClick(3);  // pressed again: kept
    EXPECT_EQ(EntertainmentSelection, 3);
    EntertainmentProgrammeClick(12);
    EntertainmentOnOffClick();
    EntertainmentMusicClick();
    Update(entertainment_, ENTERTAINMENT_PanelCallback);
    EXPECT_EQ(lit(), (std::vector<int>{1, 10, 13}));
    for (int s : {0, 8, 9, 10}) {
        EntertainmentSelection = s;
        Update(entertainment_, ENTERTAINMENT_PanelCallback);
        EXPECT_EQ(lit(), (std::vector<int>{1, 13})) << s;
    }
    EXPECT_TRUE(Clicks().empty());  // these buttons make no click

    // Only the background needs power.
    EXPECT_FALSE(ElementShown(first, 0));
    Power(kPoweredLeftEssential);
    EntertainmentSelection = 7;
    Update(entertainment_, ENTERTAINMENT_PanelCallback);
    EXPECT_TRUE(ElementShown(first, 0));
    EXPECT_EQ(lit(), (std::vector<int>{1, 8, 13}));
}

}  // namespace
}  // namespace zu
