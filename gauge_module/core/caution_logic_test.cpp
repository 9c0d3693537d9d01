#include "core/caution_logic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "core/electrical_system.h"
#include "panels/lighting_panels.h"

namespace zu {
namespace {

// The caution logic on its own, over a hand-set record: the essential buses
// powered and the annunciator supply (left essential bus) chosen per test.
class CautionLogicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
        std::fill(std::begin(CautionLightArray), std::end(CautionLightArray), 0u);
        std::fill(std::begin(CautionLatch), std::end(CautionLatch), 0);
        RightPanelLights[0] = RightPanelLights[1] = 0;
        EmergencyLightsSwitch.set(1);
        SetEssential(0, 27);
    }

    static void SetEssential(int32_t left, int32_t right) {
        BusVolts.set(kLeftEssentialBus, left);
        BusVolts.set(kRightEssentialBus, right);
        BusPowered.set(kPoweredLeftEssential, left > 20);
        BusPowered.set(kPoweredRightEssential, right > 20);
    }

    static void Set(int row, int column, uint32_t state) {
        CautionLightArray[CautionIndex(row, column)] = state;
    }
};

TEST_F(CautionLogicTest, MasterCautionRisesOnEachNewLightAndClearsOnAcknowledge) {
    CautionLogicUpdate();
    EXPECT_EQ(MasterCautionFlag.get(), 0);

    Set(1, 6, 255);  // "#1 BLEED HOT"
    CautionLogicUpdate();
    EXPECT_EQ(MasterCautionFlag.get(), 1);
    EXPECT_EQ(CautionChecksum.get(), 255 * 7 * 2 * 14);
    EXPECT_EQ(CautionRedrawCountdown.get(), 4);

    MasterCautionAck.set(1);
    CautionLogicUpdate();
    EXPECT_EQ(MasterCautionFlag.get(), 0);
    EXPECT_EQ(MasterCautionAck.get(), 0);
    CautionLogicUpdate();
    EXPECT_EQ(MasterCautionFlag.get(), 0);  // a steady light does not raise it again

    Set(0, 13, 255);  // a second light
    CautionLogicUpdate();
    EXPECT_EQ(MasterCautionFlag.get(), 1);

    Set(0, 13, 0);  // a light going out alone does not raise it
    MasterCautionAck.set(1);
    CautionLogicUpdate();
    CautionLogicUpdate();
    EXPECT_EQ(MasterCautionFlag.get(), 0);

    Set(1, 6, 0);
    MasterCautionAck.set(1);
    CautionLogicUpdate();
    EXPECT_EQ(CautionChecksumLatched.get(), 0);
    EXPECT_EQ(MasterCautionAck.get(), 0);
}

TEST_F(CautionLogicTest, MasterWarningAcknowledgeClearsEveryLatch) {
    Set(kWarningRow, 7, 255);  // "PASS DOOR"
    CautionLogicUpdate();
    EXPECT_EQ(MasterWarningFlag.get(), 1);
    EXPECT_EQ(WarningChecksum.get(), 255 * 8 * 98);
    std::fill(std::begin(CautionLatch), std::end(CautionLatch), 1);  // as the panels set them

    MasterWarningAck.set(1);
    CautionLogicUpdate();
    EXPECT_EQ(MasterWarningFlag.get(), 0);
    EXPECT_EQ(MasterWarningAck.get(), 0);
    for (int32_t latch : CautionLatch) EXPECT_EQ(latch, 0);
}

TEST_F(CautionLogicTest, NoMasterLightWithoutTheRightEssentialBus) {
    SetEssential(0, 6);
    Set(1, 6, 255);
    Set(kWarningRow, 8, 255);
    MasterWarningAck.set(1);
    CautionLogicUpdate();
    EXPECT_EQ(MasterCautionFlag.get(), 0);
    EXPECT_EQ(MasterWarningFlag.get(), 0);
    EXPECT_EQ(MasterWarningAck.get(), 0);
}

TEST_F(CautionLogicTest, AnnunciatorSupplyGatesTheElectricalLights) {
    // Supply off: the electrical lights and the two ice lights on the same
    // supply are dark, whatever was set before.
    Set(2, 5, 255);  // "PITOT HEAT 2"
    Set(5, 5, 255);  // "DEICE PRESS"
    Set(2, 7, 1);
    CautionLogicUpdate();
    EXPECT_EQ(CautionLightArray[CautionIndex(2, 5)], 0u);
    EXPECT_EQ(CautionLightArray[CautionIndex(5, 5)], 0u);
    EXPECT_EQ(CautionLightArray[CautionIndex(2, 7)], 0u);

    // Supply on: a cold electrical system lights its lights, written as 1.
    SetEssential(27, 27);
    CautionLogicUpdate();
    EXPECT_EQ(CautionLightArray[CautionIndex(2, 7)], 1u);  // "#1 DC GEN"
    EXPECT_EQ(CautionLightArray[CautionIndex(2, 0)], 1u);  // "AUX INV"
    EXPECT_EQ(CautionLightArray[CautionIndex(4, 8)], 1u);  // "#2 SPU AUX PWR"

    // "EMER LTS DISARMED" follows the right essential bus and its switch.
    EmergencyLightsSwitch.set(0);
    SetEssential(0, 11);
    CautionLogicUpdate();
    EXPECT_EQ(CautionLightArray[CautionIndex(0, 2)], 1u);
    SetEssential(0, 10);
    CautionLogicUpdate();
    EXPECT_EQ(CautionLightArray[CautionIndex(0, 2)], 0u);
}

TEST_F(CautionLogicTest, CabinSignCopiesTheFirstRightPanelSwitch) {
    RightPanelLights[0] = 255;
    CautionLogicUpdate();
    EXPECT_EQ(CabinSignWord, 1);
    RightPanelLights[0] = 0;
    CautionLogicUpdate();
    EXPECT_EQ(CabinSignWord, 0);
}

}  // namespace
}  // namespace zu
