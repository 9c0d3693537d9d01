#include "core/ice_protection.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/systems_test_support.h"

namespace zu {
namespace {

class IceProtectionTest : public SystemsStepTest {
  protected:
    void SetUp() override {
        SystemsStepTest::SetUp();
        IceProtectionState = {};
        IceProtectionState.BootStep = -1;
        IceProtectionState.PropStep = -1;
        IceProtectionState.WindshieldTemperature = 15.0f;
        IceProtectionState.BypassDoorSwitch[0] = IceProtectionState.BypassDoorSwitch[1] = 1;
        EngineAirValue[0] = EngineAirValue[1] = 30;
        FrameChangeBits.store(0x10);
    }
    static IceProtectionStateRecord& I() { return IceProtectionState; }
    static bool BootsOn(int a, int b) {
        int on = 0;
        for (int32_t v : I().BootOutput) on += v != 0;
        return on == 2 && I().BootOutput[a] == 255 && I().BootOutput[b] == 255;
    }
    // The step shown on each of n passes.
    static std::vector<int32_t> Steps(int n) {
        std::vector<int32_t> steps;
        for (int i = 0; i < n; ++i) {
            IceProtectionUpdate();
            steps.push_back(I().BootStep);
        }
        return steps;
    }
};

TEST_F(IceProtectionTest, BootCycleHasSixSixPassStepsThenItsModesWait) {
    for (int32_t mode : {2, 1}) {
        I().BootMode = mode;
        I().BootStep = -1;
        I().BootTimer = I().BootWait = 0;
        const int wait = mode == 2 ? 24 : 204;
        const std::vector<int32_t> steps = Steps(36 + wait + 1);
        for (int i = 0; i < 36; ++i) EXPECT_EQ(steps[i], i / 6) << "mode " << mode << " pass " << i;
        for (int i = 36; i < 36 + wait; ++i) EXPECT_EQ(steps[i], -1) << "pass " << i;
        EXPECT_EQ(steps[36 + wait], 0) << "mode " << mode;
    }
    IceProtectionUpdate();
    EXPECT_TRUE(BootsOn(5, 12));
    // The left secondary bus stops the sequence.
    Power(kPoweredLeftSecondary, false);
    IceProtectionUpdate();
    EXPECT_EQ(I().BootStep, -1);
}

TEST_F(IceProtectionTest, ManualSelectorHoldsItsPairWhilePressureLasts) {
    I().ManualBootSelector = 4;
    I().BootMode = 2;
    for (int i = 0; i < 50; ++i) {
        IceProtectionUpdate();
        ASSERT_TRUE(BootsOn(7, 10)) << i;
    }
    EXPECT_EQ(Light(5, 5), 0u);
    EngineAirValue[0] = EngineAirValue[1] = 3;
    IceProtectionUpdate();
    for (int32_t v : I().BootOutput) EXPECT_EQ(v, 0);
    EXPECT_EQ(Light(5, 5), 255u);  // "DEICE PRESS"
}

// The selector's pair is the sequencer's own step: selector 2 holds the
// first pair with the cycle pinned on it, and back in automatic the cycle
// goes on from the held pair, not from where it would have run meanwhile.
TEST_F(IceProtectionTest, ManualSelectorSetsTheSequenceStepThatAutomaticResumesFrom) {
    I().BootMode = 2;
    I().ManualBootSelector = 2;
    for (int i = 0; i < 20; ++i) {
        IceProtectionUpdate();
        ASSERT_EQ(I().BootStep, 0) << i;
        ASSERT_TRUE(BootsOn(5, 12)) << i;
    }
    I().ManualBootSelector = 0;
    const std::vector<int32_t> steps = Steps(13);
    size_t moved = 0;
    while (moved < steps.size() && steps[moved] == 0) ++moved;
    ASSERT_LT(moved, steps.size());
    EXPECT_LE(moved, 6u);  // what is left of the held step's six passes
    EXPECT_EQ(steps[moved], 1);
    EXPECT_TRUE(BootsOn(6, 11) || BootsOn(7, 10));

    // Selector 4 stops the cycle on the third pair (7 and 10); automatic
    // goes on with the fourth (8 and 9).
    I().ManualBootSelector = 4;
    IceProtectionUpdate();
    EXPECT_EQ(I().BootStep, 2);
    EXPECT_TRUE(BootsOn(7, 10));
    I().ManualBootSelector = 1;  // 1 holds nothing
    IceProtectionUpdate();
    EXPECT_EQ(I().BootStep, 3);
    EXPECT_TRUE(BootsOn(8, 9));
}

TEST_F(IceProtectionTest, PackLoadWordsWeighEachBootsSide) {
    I().ManualBootSelector = 2;  // boots 5 and 12
    EngineAirValue[0] = 30;      // counts as 18
    EngineAirValue[1] = 10;
    I().IsolationSwitch = 1;
    IceProtectionUpdate();
    EXPECT_EQ(I().PackLoadWord[0], 18);  // boot 5 from side 1
    EXPECT_EQ(I().PackLoadWord[1], 10);  // boot 12 from side 2
    I().IsolationSwitch = 0;
    IceProtectionUpdate();
    EXPECT_EQ(I().PackLoadWord[1], 18);
}

TEST_F(IceProtectionTest, PropellerHeatersCycleOnlyInTheAir) {
    I().AntiIceSelector = -1;
    for (int i = 0; i < 100; ++i) {
        IceProtectionUpdate();
        ASSERT_EQ(I().PropStep, -1);
    }
    OnGround = 0;
    int a1 = 0, b2 = 0;
    for (int i = 0; i < 100; ++i) {
        IceProtectionUpdate();
        a1 += I().HeaterOutput[0];
        b2 += I().HeaterOutput[3];
    }
    EXPECT_GT(a1, 0);
    EXPECT_GT(b2, 0);
    EXPECT_GT(I().AcLoadFactor[0] + I().AcLoadFactor[1], 0.0f);
}

TEST_F(IceProtectionTest, WindshieldLatchesHotInHighModeAndClearsBelowIt) {
    I().WindshieldMode = 2;
    AmbientTemperature = 40.0f;
    I().WindshieldTemperature = 100.0f;
    IceProtectionUpdate();
    EXPECT_EQ(I().OverheatLatch, 1);
    EXPECT_EQ(Light(3, 2), 255u);  // "L WSHLD HOT"
    I().WindshieldMode = 1;
    AmbientTemperature = 0.0f;
    I().WindshieldTemperature = 20.0f;
    IceProtectionUpdate();
    EXPECT_EQ(I().OverheatLatch, 0);
    EXPECT_EQ(Light(3, 2), 0u);
}

TEST_F(IceProtectionTest, DoorHeatersNeedTheirOwnColdLimit) {
    AmbientTemperature = 9.5f;
    IceProtectionUpdate();
    EXPECT_EQ(I().DoorLamp[0][kDoorLampClosed], 255);
    EXPECT_EQ(I().DoorLamp[0][kDoorLampHeater], 0);
    EXPECT_EQ(I().DoorLamp[1][kDoorLampHeater], 255);
    EXPECT_FLOAT_EQ(I().AcLoadFactor[1], 0.03f);
    // Opening takes 13 passes of 20 on the left.
    I().BypassDoorSwitch[0] = 0;
    for (int i = 0; i < 12; ++i) IceProtectionUpdate();
    EXPECT_EQ(I().DoorLamp[0][kDoorLampOpen], 0);
    IceProtectionUpdate();
    EXPECT_EQ(I().DoorLamp[0][kDoorLampOpen], 255);
}

TEST_F(IceProtectionTest, PitotHeatOffLightsItsCautionAndLoadsWhenOn) {
    Antiice_sys_pitot1_ice_sw = 0;
    Antiice_sys_pitot2_ice_sw = 255;
    IceProtectionUpdate();
    EXPECT_EQ(Light(1, 2), 255u);  // "PITOT HEAT 1"
    EXPECT_EQ(Light(2, 5), 0u);
    EXPECT_FLOAT_EQ(I().DcLoadFactor[1], 0.1f);
    EXPECT_EQ(SystemTimers.IceTimer, 1);
}

}  // namespace
}  // namespace zu
