#include "core/fire_protection.h"

#include <gtest/gtest.h>

#include "core/systems_test_support.h"

namespace zu {
namespace {

class FireProtectionTest : public SystemsStepTest {
  protected:
    void SetUp() override {
        SystemsStepTest::SetUp();
        FireProtectionState = {};
        for (auto& handle : FireProtectionState.Charge) handle[0] = handle[1] = 1;
        FireTestCountdown = 0;
        FireWarningAck = 0;
        MasterCautionAck.set(0);
    }
    static FireProtectionStateRecord& F() { return FireProtectionState; }
};

TEST_F(FireProtectionTest, InstructorFireWarnsOnTheRightBusAndChecksDetectionOnBoth) {
    EngineFailureWord1 = kEngineFailureFire;
    Power(kPoweredLeftEssential, false);
    FireProtectionUpdate();
    EXPECT_EQ(EngineFireWarning[0], 1);
    EXPECT_EQ(F().HandleLight[0], 1);
    EXPECT_EQ(EngineFireWarning[1], 0);
    EXPECT_EQ(FireWarningActive, 0);
    EXPECT_EQ(Light(6, 5), 0u);  // "CHECK FIRE DET" needs the left bus too

    Power(kPoweredLeftEssential, true);
    FireProtectionUpdate();
    EXPECT_EQ(FireWarningActive, 1);
    EXPECT_EQ(Light(6, 5), 1u);
    EXPECT_EQ(FireRefreshCountdown, 20);

    Power(kPoweredRightEssential, false);
    FireProtectionUpdate();
    EXPECT_EQ(EngineFireWarning[0], 0);
    EXPECT_EQ(FireWarningActive, 0);
}

TEST_F(FireProtectionTest, LoopSelectorNeverHidesAFire) {
    EngineFailureWord2 = kEngineFailureFire;
    for (int32_t loop : {1, 2}) {
        F().LoopSelector[1] = loop;
        FireProtectionUpdate();
        EXPECT_EQ(EngineFireWarning[1], 1) << "loop " << loop;
    }
}

TEST_F(FireProtectionTest, FlashPhaseTogglesUntilAcknowledgedAndClearsWithoutFire) {
    EngineFailureWord1 = kEngineFailureFire;
    FireProtectionUpdate();
    const int32_t phase = F().FlashPhase;
    FireProtectionUpdate();
    EXPECT_NE(F().FlashPhase, phase);
    MasterCautionAck.set(1);
    FireProtectionUpdate();
    FireProtectionUpdate();
    EXPECT_EQ(F().FlashPhase, 1);
    FireWarningAck = 1;
    EngineFailureWord1 = 0;
    FireProtectionUpdate();
    EXPECT_EQ(F().FlashPhase, 0);
    EXPECT_EQ(FireWarningAck, 0);
}

TEST_F(FireProtectionTest, DetectionTestLightsTheHandleAndLoopFaultLamps) {
    F().DetectionTestSelector = 1;
    FireProtectionUpdate();
    EXPECT_EQ(F().HandleLight[0], 1);
    EXPECT_EQ(F().HandleLight[1], 0);
    EXPECT_EQ(F().Lamp[kFireLampLoopFault1A], 1);
    EXPECT_EQ(F().Lamp[kFireLampLoopFault1B], 1);
    EXPECT_EQ(F().Lamp[kFireLampLoopFault2A], 0);
    // Without the left essential bus the test does nothing.
    Power(kPoweredLeftEssential, false);
    FireProtectionUpdate();
    EXPECT_EQ(F().HandleLight[0], 0);
}

TEST_F(FireProtectionTest, PulledHandleCutsFuelAndADischargedBottleStaysEmpty) {
    FireProtectionUpdate();
    EXPECT_EQ(F().Lamp[kFireLampHandle1In], 1);
    EXPECT_EQ(F().Lamp[kFireLampHandle2In], 2);
    EXPECT_EQ(EngineFuelFeed[0], 1);

    F().FireHandle[0] = 255;
    FireProtectionUpdate();
    EXPECT_EQ(EngineFuelFeed[0], 0);
    EXPECT_EQ(F().Lamp[kFireLampHandle1Pulled], 1);
    EXPECT_EQ(F().Lamp[kFireLampBottle1Engine1], 1);
    F().ExtinguisherSelector[0] = 1;
    FireProtectionUpdate();
    EXPECT_EQ(F().Charge[0][0], 0);
    EXPECT_EQ(F().Lamp[kFireLampBottle1Engine1], 0);
    EXPECT_EQ(F().Lamp[kFireLampBottle2Engine1], 1);
    // Handle in and pulled again: the bottle is still empty.
    F().ExtinguisherSelector[0] = 0;
    F().FireHandle[0] = 0;
    FireProtectionUpdate();
    EXPECT_EQ(EngineFuelFeed[0], 1);
    F().FireHandle[0] = 255;
    FireProtectionUpdate();
    EXPECT_EQ(F().Lamp[kFireLampBottle1Engine1], 0);
}

TEST_F(FireProtectionTest, ExtinguisherTestLightsSmokeOnlyAfterItsCountdown) {
    F().ExtinguisherTestSelector = 2;
    FireTestCountdown = 7;
    for (int i = 0; i < 7; ++i) {
        FireProtectionUpdate();
        EXPECT_EQ(Light(6, 4), 0u) << i;
    }
    EXPECT_EQ(FireTestCountdown, 0);
    FireProtectionUpdate();
    EXPECT_EQ(F().SquibTest[1], 1);
    EXPECT_EQ(Light(6, 4), 1u);  // "SMOKE"
}

}  // namespace
}  // namespace zu
