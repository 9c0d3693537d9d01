#include "instruments/gauge_framework.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/electrical_system.h"
#include "core/sound_objects.h"
#include "core/systems_tick.h"

namespace zu {
namespace {

// Three chained elements: 0 -> 1 -> 2.
struct Chain {
    gauge::ElementHeader e[3];
    gauge::ElementHeader* next[3][2];
    Chain() : e{}, next{} {
        for (int i = 0; i < 3; ++i) {
            next[i][0] = i < 2 ? &e[i + 1] : nullptr;
            e[i].next_element = next[i];
            e[i].image_flags = gauge::kImageHidden;
        }
    }
};

TEST(GaugeFramework, ElementWalkShowsHidesAndLightsByIndex) {
    Chain c;
    ShowElement(&c.e[0], 2, true);
    EXPECT_TRUE(ElementShown(&c.e[0], 2));
    EXPECT_FALSE(ElementShown(&c.e[0], 1));
    // An index past the end of the list changes nothing.
    ShowElement(&c.e[0], 5, true);
    EXPECT_FALSE(ElementShown(&c.e[0], 5));

    const LitPair pairs[] = {{0, 1}};
    ApplyLitPairs(&c.e[0], pairs, 1, true);
    EXPECT_TRUE(ElementShown(&c.e[0], 0));
    EXPECT_FALSE(ElementShown(&c.e[0], 1));
    ApplyLitPairs(&c.e[0], pairs, 1, false);
    EXPECT_FALSE(ElementShown(&c.e[0], 0));
    EXPECT_TRUE(ElementShown(&c.e[0], 1));

    const int8_t glowing[] = {1, 2};
    ApplyLitBit(&c.e[0], 0, glowing, 2, true);
    EXPECT_TRUE(ElementShown(&c.e[0], 0));
    EXPECT_NE(c.e[1].image_flags & gauge::kImageLuminous, 0u);
    EXPECT_NE(c.e[2].image_flags & gauge::kImageLuminous, 0u);
    ApplyLitBit(&c.e[0], 0, glowing, 2, false);
    EXPECT_FALSE(ElementShown(&c.e[0], 0));
    EXPECT_EQ(c.e[1].image_flags & gauge::kImageLuminous, 0u);

    // A list looked up once, here from its second element: the same
    // elements by the same numbers, and nothing past its end.
    const ElementList from_second(&c.e[1]);
    ShowElement(from_second, 1, false);
    EXPECT_FALSE(ElementShown(&c.e[0], 2));
    ShowElement(from_second, 0, true);
    EXPECT_TRUE(ElementShown(&c.e[0], 1));
    SetElementLit(from_second, 1, true);
    EXPECT_NE(c.e[2].image_flags & gauge::kImageLuminous, 0u);
    EXPECT_EQ(c.e[1].image_flags & gauge::kImageLuminous, 0u);
    const uint32_t before[3] = {c.e[0].image_flags, c.e[1].image_flags, c.e[2].image_flags};
    ShowElement(from_second, 2, true);
    SetElementLit(from_second, 2, true);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(c.e[i].image_flags, before[i]);
}

TEST(GaugeFramework, TextsAreWhatPrintfWouldWrite) {
    char text[8];
    char expected[8];
    auto integer = [&](int64_t v, int32_t width, char pad, std::size_t size) {
        const std::string format = pad == '0' ? "%0*lld" : "%*lld";
        std::snprintf(expected, size, format.c_str(), width, static_cast<long long>(v));
        FormatInteger(text, size, v, width, pad);
        return std::string(text) == expected;
    };
    // The readouts' "%4u" and the transponder's "%03d" over their ranges.
    for (int64_t v : {int64_t{0}, int64_t{7}, int64_t{42}, int64_t{999}, int64_t{1000},
                      int64_t{4321}, int64_t{12345}, int64_t{4294967295}}) {
        EXPECT_TRUE(integer(v, 4, ' ', sizeof text)) << v << " '" << text << "'";
    }
    for (int64_t v = -999; v <= 999; ++v) {
        ASSERT_TRUE(integer(v, 3, '0', sizeof text)) << v << " '" << text << "'";
    }
    // Cut to the buffer, always terminated.
    EXPECT_TRUE(integer(-1234567, 4, ' ', 5));
    EXPECT_EQ(std::string(text), "-123");
    EXPECT_TRUE(integer(12, 9, '0', sizeof text));
    EXPECT_EQ(std::string(text), "0000000");

    CopyText(text, sizeof text, "SELECT");
    EXPECT_STREQ(text, "SELECT");
    CopyText(text, sizeof text, "");
    EXPECT_STREQ(text, "");
    CopyText(text, 4, "PUSH OFF");
    EXPECT_STREQ(text, "PUS");
    CopyText(text, sizeof text, "76543", 4);  // "%.4s"
    EXPECT_STREQ(text, "7654");
    CopyText(text, sizeof text, "21", 4);
    EXPECT_STREQ(text, "21");
    text[0] = 'x';
    CopyText(text, 0, "ON");
    EXPECT_EQ(text[0], 'x');
}

TEST(GaugeFramework, VirtualCockpitInstanceIsExactlyVc) {
    gauge::GaugeHeader g{};
    EXPECT_EQ(GaugeIsVcFrom(&g), 0);  // no parameters
    g.parameters = "VC";
    EXPECT_EQ(GaugeIsVcFrom(&g), 1);
    g.parameters = "vc";
    EXPECT_EQ(GaugeIsVcFrom(&g), 0);
    g.parameters = "VC ";
    EXPECT_EQ(GaugeIsVcFrom(&g), 0);
    EXPECT_TRUE(PanelLit(255, 0));
    EXPECT_FALSE(PanelLit(255, 1));  // the virtual cockpit always shows unlit images
    EXPECT_FALSE(PanelLit(0, 0));
}

TEST(GaugeFramework, RefreshGroupWithTwoGaugesOnViewRunsDownTwiceAsFast) {
    RefreshCountdown[kRefreshEngineInstruments] = 0;
    ArmRefresh(kRefreshEngineInstruments);
    int frames = 0;
    int evaluations = 0;
    while (RefreshCountdown[kRefreshEngineInstruments] > 0) {
        ++frames;
        for (int gauge = 0; gauge < 2; ++gauge) {
            if (RefreshGroupStep(kRefreshEngineInstruments)) ++evaluations;
        }
    }
    EXPECT_EQ(frames, RefreshHoldCount / 2);
    EXPECT_EQ(evaluations, RefreshHoldCount);
    EXPECT_FALSE(RefreshGroupStep(kRefreshEngineInstruments));  // held at 0
    EXPECT_EQ(RefreshCountdown[kRefreshEngineInstruments], 0);
}

TEST(GaugeFramework, TriggersAreConsumedOnceEach) {
    int32_t countdown = 2;
    EXPECT_TRUE(ConsumeTrigger(&countdown));
    EXPECT_TRUE(ConsumeTrigger(&countdown));
    EXPECT_FALSE(ConsumeTrigger(&countdown));
    EXPECT_EQ(countdown, 0);

    ElectricalChangeFlag = 1;
    EXPECT_TRUE(ConsumeElectricalChange());
    EXPECT_FALSE(ConsumeElectricalChange());  // the first gauge took it
    EXPECT_EQ(ElectricalChangeFlag, 0);
}

TEST(GaugeFramework, KnobsWrapAndClamp) {
    EXPECT_EQ(WrapDegrees(359, 1), 0);
    EXPECT_EQ(WrapDegrees(0, -10), 350);
    EXPECT_EQ(WrapDegrees(5, -5), 0);
    EXPECT_EQ(WrapDegrees(355, 10), 5);
    EXPECT_EQ(WrapDegrees(-725, 0), 355);  // a corrupt value comes back into range

    int32_t v = 29900;
    EXPECT_TRUE(StepClamped(&v, 100, 0, 30000));
    EXPECT_EQ(v, 30000);
    EXPECT_FALSE(StepClamped(&v, 100, 0, 30000));  // at the stop: no click
    EXPECT_EQ(v, 30000);
    v = 500;
    EXPECT_FALSE(StepClamped(&v, -1000, 0, 30000));  // passes the stop: set to it
    EXPECT_EQ(v, 0);
}

TEST(GaugeFramework, TouchZonesStepOncePerBoundaryInEitherSense) {
    int32_t last = 3;
    EXPECT_EQ(TouchZoneDirection(&last, 0, 4), 1);  // 3 -> 0 wraps forward
    EXPECT_EQ(TouchZoneDirection(&last, 1, 4), 1);
    EXPECT_EQ(TouchZoneDirection(&last, 0, 4), -1);
    EXPECT_EQ(TouchZoneDirection(&last, 0, 4), 0);  // the same zone twice
    EXPECT_EQ(TouchZoneDirection(&last, 2, 4), 0);  // a jump across the knob
    EXPECT_EQ(last, 2);
}

TEST(GaugeFramework, TouchKnobAcceleratesOnQuickSteps) {
    TouchKnobState knob{0, 0, 0};
    TickCounter = 1000;  // a pause since the last step
    // Quick drag through zones 0, 1, 2, 3, 0 within one tick.
    EXPECT_EQ(TouchKnobStep(&knob, 0, 4, 1, 5), 0);  // pressing the zone it was in
    EXPECT_EQ(TouchKnobStep(&knob, 1, 4, 1, 5), 1);
    EXPECT_EQ(TouchKnobStep(&knob, 2, 4, 1, 5), 1);
    EXPECT_EQ(TouchKnobStep(&knob, 3, 4, 1, 5), 5);
    EXPECT_EQ(TouchKnobStep(&knob, 0, 4, 1, 5), 5);
    // The same moves two ticks apart stay small; backwards they decrease.
    for (int z : {3, 2, 1}) {
        TickCounter = TickCounter + 2;
        EXPECT_EQ(TouchKnobStep(&knob, z, 4, 1, 5), -1);
    }
}

TEST(GaugeFramework, ClickWithoutSoundBufferIsSilentAndHarmless) {
    SoundObject object{};
    PlayClick(&object, 833);
    PlayClick(nullptr, 0);
    SUCCEED();
}

}  // namespace
}  // namespace zu
