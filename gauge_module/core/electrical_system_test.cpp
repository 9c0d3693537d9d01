#include "core/electrical_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "cabin_link/instructor_state_exchange.h"
#include "core/caution_logic.h"
#include "core/electrical_test_support.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "panels/engine_start_panels.h"
#include "panels/lighting_panels.h"

namespace zu {
namespace {

class ElectricsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
        ElectricsDefaultsDone = 0;
        ExternalPowerHoldCountdown = 0;
        ElectricalChangeFlag = 0;
        std::fill(std::begin(ElectricsInstructorStates), std::end(ElectricsInstructorStates), 0);
        std::fill(std::begin(CautionLightArray), std::end(CautionLightArray), 0u);
        std::fill(std::begin(CautionLatch), std::end(CautionLatch), 0);
        PropRpm[0] = PropRpm[1] = 0.0;
        Nh1State = {};
        Nh2State = {};
        GroundSpeed = 0;
        OnGround = 255;
        EngineStartSelector = 1;
        RightPanelLights[0] = RightPanelLights[1] = 0;
    }

    static void Run(int ticks) {
        for (int i = 0; i < ticks; ++i) ElectricalUpdate();
    }

    static void BatteryOnly() {
        BatteryMasterSwitch.set(255);
        MainBatterySwitch.set(255);
    }

    static bool Lit(int row, int column) {
        return CautionLightArray[CautionIndex(row, column)] != 0;
    }
};

TEST_F(ElectricsTest, ColdAircraftHasNoPowerAndItsDefaults) {
    Run(3);
    for (const DcBus bus : kDcBuses) {  // battery buses carry the batteries
        const bool battery = bus == kMainBatteryBus || bus == kAuxBatteryBus;
        EXPECT_EQ(BusVolts.get(bus), battery ? 26 : 0) << bus;
    }
    for (const BusPoweredByte b : kBusPoweredBytes) {
        const bool battery = b == kPoweredMainBattery || b == kPoweredAuxBattery;
        EXPECT_EQ(BusPowered.get(b), battery ? 1 : 0) << b;
    }
    EXPECT_FLOAT_EQ(MainBatteryCharge.get(), 100.0f);
    EXPECT_FLOAT_EQ(AuxBatteryCharge.get(), 50.0f);
    EXPECT_EQ(PrimaryInverterSwitch.get(), 255);
    EXPECT_EQ(AuxInverterSelectRight.get(), 255);
    EXPECT_EQ(BreakerF5Closed.get(), 255);
    EXPECT_EQ(CautionBrightness.get(), 255);
    // The defaults are written once: the pilot's choice stays.
    PrimaryInverterSwitch.set(0);
    Run(2);
    EXPECT_EQ(PrimaryInverterSwitch.get(), 0);
}

TEST_F(ElectricsTest, BatteryVoltageFollowsCharge) {
    const float charges[] = {7.5f, 5.0f, 2.5f, 2.0f};
    const int32_t volts[] = {26, 24, 21, 0};
    for (int i = 0; i < 4; ++i) {
        SetUp();
        ElectricsDefaults();
        MainBatteryCharge.set(charges[i]);
        Run(1);
        EXPECT_EQ(MainBatteryVoltage.get(), volts[i]) << charges[i];
    }
}

TEST_F(ElectricsTest, BatteryOnlyPowersTheRightMainAndEssentialBusesAndDischarges) {
    BatteryOnly();
    Run(3);
    EXPECT_EQ(BusVolts.get(kRightMainBus), 26);
    EXPECT_EQ(BusVolts.get(kLeftMainBus), 0);
    EXPECT_EQ(BusVolts.get(kLeftEssentialBus), 26);
    EXPECT_EQ(BusVolts.get(kRightEssentialBus), 26);
    EXPECT_EQ(BusVolts.get(kLeftSecondaryBus), 0);
    EXPECT_EQ(BusPowered.get(kPoweredRightMainDc), 1);
    EXPECT_EQ(AcBusPowered.get(3), 1);  // left avionics on the primary inverter
    EXPECT_EQ(AcBusPowered.get(2), 1);  // right avionics through the cross-tie
    EXPECT_FLOAT_EQ(MainBatteryCurrent.get(), -0.6f);
    // Two ticks of discharge at 0.3 x 0.0046 x 2 each.
    EXPECT_NEAR(MainBatteryCharge.get(), 100.0 - 2 * 0.6 * 0.0046, 1e-4);
    EXPECT_TRUE(Lit(2, 7) && Lit(2, 8) && Lit(3, 7) && Lit(3, 8));  // DC and AC GEN
    EXPECT_TRUE(Lit(2, 1));                                         // "DC BUS"
    EXPECT_FALSE(Lit(3, 5));                                        // main battery connected
    EXPECT_TRUE(Lit(4, 5));                                         // aux battery not
    // Lighting: the right-side circuits follow the right main bus only.
    LightingSwitchA.set(255);
    LightingSwitchD.set(255);
    LightingSwitchC.set(255);
    Run(1);
    EXPECT_EQ(PanelLightingCircuit1.get(), 0);
    EXPECT_EQ(PanelLightingCircuit2.get(), 255);
    EXPECT_EQ(EnginePanelLighting.get(), 255 & 26);
    EXPECT_EQ(ExteriorPanelLights, 1);
}

TEST_F(ElectricsTest, GeneratorsComeOnLineWithTheEngines) {
    ElectricsEnginesRunning(60.0f, 1000.0);
    Run(3);
    EXPECT_EQ(DcGenerator1Voltage.get(), 27);
    EXPECT_EQ(AcGenerator1Voltage.get(), 120);
    EXPECT_EQ(DcGenerator1OnLine.get(), 255);
    EXPECT_EQ(DcGenerator2OnLine.get(), 255);
    EXPECT_EQ(AcGenerator1OnLine.get(), 255);
    EXPECT_EQ(AcGenerator2OnLine.get(), 255);
    EXPECT_EQ(BusVolts.get(kLeftMainBus), 27);
    EXPECT_EQ(BusVolts.get(kRightMainBus), 27);
    EXPECT_EQ(LeftVariableAcBus.get(), 120);
    EXPECT_EQ(Tru1Voltage.get(), 28);
    EXPECT_EQ(BusVolts.get(kLeftSecondaryBus), 28);
    EXPECT_EQ(AcBusPowered.get(0), 1);
    EXPECT_EQ(BusPowered2.get(1), 1);
    EXPECT_GT(MainBatteryCurrent.get(), 0.0f);  // charging
    EXPECT_FALSE(Lit(2, 7) || Lit(2, 8) || Lit(3, 7) || Lit(3, 8) || Lit(4, 8));
    // Both propellers fast: external power is unplugged.
    EXPECT_EQ(ExternalPowerHoldCountdown, 256);

    // The generator of the engine being started is off line.
    EngineStartSelector = 0;
    Run(1);
    EXPECT_EQ(DcGenerator1Voltage.get(), 0);
    EXPECT_EQ(MainBusTieClosed.get(), 255);  // one generator left: the tie closes
    EXPECT_EQ(BusVolts.get(kLeftMainBus), 27);
}

// Bitwise OR of the voltages would read 25 | 26 as 27 and 22 | 27 as 31.
TEST_F(ElectricsTest, MainBusSourcesMendCombineByTheHighestVoltageNotBitwiseOr) {
    BatteryOnly();
    DcGenerator2Switch.set(255);
    Nh2State.nh = 56.0f;  // 25 V: above the on-line threshold, below the battery
    Run(2);
    EXPECT_EQ(DcGenerator2Voltage.get(), 25);
    EXPECT_EQ(DcGenerator2OnLine.get(), 255);
    EXPECT_EQ(BusVolts.get(kRightMainBus), 26);  // not 25 | 26
    Nh2State.nh = 60.0f;
    Run(1);
    EXPECT_EQ(BusVolts.get(kRightMainBus), 27);
    // A low battery (22 V) beside the generator's 27 V.
    MainBatteryCharge.set(3.0f);
    Run(1);
    ASSERT_EQ(MainBatteryVoltage.get(), 22);
    EXPECT_EQ(BusVolts.get(kRightMainBus), 27);
}

TEST_F(ElectricsTest, ExternalPowerFeedsEveryBusAndLeavesWhileMoving) {
    ExternalDcSwitch.set(255);
    ExternalAcSwitch.set(255);
    Run(3);
    EXPECT_EQ(ExternalDcOnLine.get(), 255);
    EXPECT_EQ(BusVolts.get(kLeftMainBus), 27);
    EXPECT_EQ(BusVolts.get(kRightMainBus), 27);
    EXPECT_EQ(BusVolts.get(kLeftEssentialBus), 27);
    EXPECT_EQ(LeftVariableAcBus.get(), 114);
    EXPECT_EQ(RightVariableAcBus.get(), 114);
    EXPECT_EQ(AcBusTieClosed.get(), 255);
    EXPECT_EQ(BusVolts.get(kRightSecondaryBus), 27);
    EXPECT_TRUE(Lit(3, 7));  // AC GEN lights while external AC is on line

    GroundSpeed = 20;
    Run(1);  // still available on this tick; the hold starts
    EXPECT_EQ(ExternalDcFeed.get(), 27);
    GroundSpeed = 0;
    for (int i = 0; i < 256; ++i) {
        ElectricalUpdate();
        ASSERT_EQ(ExternalDcFeed.get(), 0) << i;
        ASSERT_EQ(ExternalAcFeed.get(), 0) << i;
    }
    Run(1);
    EXPECT_EQ(ExternalDcFeed.get(), 27);
}

TEST_F(ElectricsTest, BusesHoldTheirVoltageBrieflyAfterLosingTheirSource) {
    ExternalDcSwitch.set(255);
    ExternalAcSwitch.set(255);
    Run(3);
    ExternalDcSwitch.set(0);
    ExternalAcSwitch.set(0);
    for (int i = 0; i < 15; ++i) {
        Run(1);
        ASSERT_EQ(BusVolts.get(kLeftMainBus), 27) << i;
        ASSERT_EQ(LeftVariableAcBus.get(), 114) << i;
    }
    Run(1);
    EXPECT_EQ(BusVolts.get(kLeftMainBus), 0);
    EXPECT_EQ(LeftVariableAcBus.get(), 114);  // the variable AC bus holds one tick longer
    Run(1);
    EXPECT_EQ(LeftVariableAcBus.get(), 0);
}

TEST_F(ElectricsTest, InstructorFailuresReachTheirFailureBytes) {
    for (int entry = 0; entry < 25; ++entry) {
        SetUp();
        ElectricsInstructorStates[entry] = 255;
        Run(1);
        int failed = 0;
        for (std::size_t i = 0; i < ElectricalFailures.size; ++i) {
            failed += ElectricalFailures.get(i) != 0;
        }
        EXPECT_EQ(failed, 1) << entry;
    }
    // Only the low byte counts.
    SetUp();
    ElectricsInstructorStates[0] = 0x100;
    Run(1);
    EXPECT_EQ(ElectricalFailures.get(kFailLeftEssentialBus), 0);
}

// A failed bus reads 0: no tie feeds it and no hold keeps its voltage up
// (the variable AC bus would read 114 and the avionics bus 115 for their
// hold time, and the cross-tie would feed the failed avionics bus).
TEST_F(ElectricsTest, FailedBusesAndEquipmentLoseTheirPowerMendNoTieOrHoldFeedsAFailedBus) {
    ElectricsEnginesRunning();
    Run(3);
    ElectricsInstructorStates[0] = 255;   // left essential bus
    ElectricsInstructorStates[8] = 255;   // left avionics bus
    ElectricsInstructorStates[12] = 255;  // left variable AC bus
    ElectricsInstructorStates[18] = 255;  // primary inverter
    ElectricsInstructorStates[21] = 255;  // left DC generator
    Run(1);
    EXPECT_EQ(BusVolts.get(kLeftEssentialBus), 0);
    EXPECT_EQ(LeftAvionicsBus.get(), 0);  // the cross-tie does not feed a failed bus
    EXPECT_EQ(AvionicsCrossTieClosed.get(), 255);
    EXPECT_GT(RightAvionicsBus.get(), 106);
    EXPECT_EQ(LeftVariableAcBus.get(), 0);
    EXPECT_EQ(PrimaryInverterVoltage.get(), 0);
    EXPECT_EQ(DcGenerator1Voltage.get(), 0);
    ElectricsInstructorStates[0] = 0;  // annunciator power back for the lights
    Run(2);
    EXPECT_TRUE(Lit(0, 0));  // "PRI INV"
    EXPECT_TRUE(Lit(0, 1));  // "L AC BUS"
    EXPECT_TRUE(Lit(2, 7));  // "#1 DC GEN"
    EXPECT_TRUE(Lit(3, 1));  // "L TRU": the TRU has no AC
}

TEST_F(ElectricsTest, EachBusPoweredByteSitsAtItsOwnRecordByte) {
    // The record's layout, written out independently of the header.
    struct Byte {
        std::size_t offset;
        DcBus bus;
        int failure_entry;  // the instructor's failure of that bus
    };
    constexpr Byte kLayout[] = {
        {0x9D, kMainBatteryBus, kElecMainBatteryBus},
        {0x9E, kAuxBatteryBus, kElecAuxBatteryBus},
        {0x9F, kRightMainBus, kElecRightMainDcBus},
        {0xA0, kLeftMainBus, kElecLeftMainDcBus},
        {0xA1, kRightEssentialBus, kElecRightEssentialBus},
        {0xA2, kLeftEssentialBus, kElecLeftEssentialBus},
        {0xA3, kRightSecondaryBus, kElecRightSecondaryDcBus},
        {0xA4, kLeftSecondaryBus, kElecLeftSecondaryDcBus},
    };
    for (const Byte& failed : kLayout) {
        SetUp();
        ElectricsEnginesRunning();
        Run(3);
        ElectricsInstructorStates[failed.failure_entry] = 255;
        Run(2);
        EXPECT_EQ(Electrics_sys.bytes[failed.offset], 0) << std::hex << failed.offset;
        for (const Byte& b : kLayout) {
            EXPECT_EQ(Electrics_sys.bytes[b.offset], BusVolts.get(b.bus) > 20 ? 1 : 0)
                << std::hex << b.offset << " with " << failed.offset << " failed";
        }
    }
    // The right main bus lost while the right essential bus lives on.
    SetUp();
    ElectricsEnginesRunning();
    ElectricsInstructorStates[kElecRightMainDcBus] = 255;
    Run(3);
    EXPECT_EQ(BusPowered.get(kPoweredRightMainDc), 0);
    EXPECT_EQ(BusPowered.get(kPoweredRightEssential), 1);
    EXPECT_EQ(Electrics_sys.bytes[0x9F], 0);
    EXPECT_EQ(Electrics_sys.bytes[0xA1], 1);
}

TEST_F(ElectricsTest, LightingFollowsTheMainBusesNotTheEssentialOnes) {
    ElectricsEnginesRunning();
    LightingSwitchA.set(255);    // left main bus
    LightingSwitchD.set(255);    // right main bus
    NavBeaconSelector.set(1);    // left main bus
    StrobeLightSwitch.set(255);  // right essential bus
    ElectricsInstructorStates[kElecLeftMainDcBus] = 255;
    Run(3);
    ASSERT_EQ(BusVolts.get(kLeftMainBus), 0);
    ASSERT_GT(BusVolts.get(kLeftEssentialBus), 20);
    EXPECT_EQ(PanelLightingCircuit1.get(), 0);
    EXPECT_EQ(PanelLightingCircuit2.get(), 255);
    EXPECT_EQ(ExteriorNavLights, 0);
    EXPECT_EQ(ExteriorStrobeLights, 1);
}

TEST_F(ElectricsTest, MainBusFailureLatchesUntilReset) {
    ElectricsEnginesRunning();
    Run(3);
    ElectricsInstructorStates[4] = 255;
    Run(1);
    EXPECT_EQ(BusVolts.get(kLeftMainBus), 0);
    EXPECT_EQ(DcGenerator1OnLine.get(), 255);  // still on line during the failure delay
    EXPECT_EQ(MainBusTieClosed.get(), 0);
    Run(58);
    EXPECT_EQ(DcGenerator1OnLine.get(), 255);
    Run(1);
    EXPECT_EQ(DcGenerator1OnLine.get(), 0);
    ElectricsInstructorStates[4] = 0;
    Run(5);
    EXPECT_NE(ElectricalFailures.get(kFailLeftMainBus), 0);
    EXPECT_EQ(BusVolts.get(kLeftMainBus), 0);
    DcBusFailureResetSwitch.set(255);
    Run(2);
    EXPECT_EQ(DcBusFailureResetSwitch.get(), 0);
    EXPECT_EQ(ElectricalFailures.get(kFailLeftMainBus), 0);
    EXPECT_EQ(BusVolts.get(kLeftMainBus), 27);
}

// Once the breaker delay has run out the secondary tie stays closed; the
// failed bus is still not fed through it.
TEST_F(ElectricsTest, SecondaryBusFailureOpensBreakerF5MendTheTieDoesNotFeedTheFailedBus) {
    ElectricsEnginesRunning();
    Run(3);
    ElectricsInstructorStates[6] = 255;
    Run(39);
    EXPECT_EQ(BreakerF5Closed.get(), 255);
    Run(1);
    EXPECT_EQ(BreakerF5Closed.get(), 0);
    // A failed secondary bus stays dead whatever the ties do.
    EXPECT_EQ(SecondaryBusTieClosed.get(), 255);
    EXPECT_EQ(BusVolts.get(kLeftSecondaryBus), 0);
    EXPECT_EQ(BusVolts.get(kRightSecondaryBus), 28);
    ElectricsInstructorStates[6] = 0;
    Run(3);
    EXPECT_EQ(BreakerF5Closed.get(), 0);
    EXPECT_EQ(SecondaryBusBreakerDelay.get(), 40);
    ElectricsInstructorStates[25] = 255;
    Run(1);
    EXPECT_EQ(BreakerF5Closed.get(), 255);
    EXPECT_EQ(ElectricsInstructorStates[25], 0);
}

TEST_F(ElectricsTest, ChangesRaiseTheChangeFlagAndSteadyStateClearsIt) {
    ElectricsInstructorStates[0] = 255;  // annunciator supply off: no caution lights
    EmergencyLightsSwitch.set(1);
    BatteryOnly();
    Run(5);
    EXPECT_EQ(MasterCautionFlag.get(), 0);
    EXPECT_EQ(ElectricalChangeFlag, 0);
    RefreshCountdown[11] = 0;
    AnnunciatorTestSwitch.set(1);
    Run(1);
    EXPECT_EQ(ElectricalChangeFlag, 1);
    EXPECT_EQ(RefreshCountdown[11], 96);
    EXPECT_EQ(AnnunciatorTestSwitchPrev.get(), 1);
    Run(1);
    EXPECT_EQ(ElectricalChangeFlag, 0);
    MasterWarningFlash.set(2);
    Run(1);
    EXPECT_EQ(ElectricalChangeFlag, 1);
}

TEST_F(ElectricsTest, SaveAndRestoreAreByteForByte) {
    ElectricsEnginesRunning();
    ElectricsInstructorStates[7] = 255;
    Run(20);
    std::vector<uint8_t> saved(kElectricsRecordSize);
    ASSERT_TRUE(ElectricsSave(saved.data(), saved.size()));
    EXPECT_FALSE(ElectricsSave(saved.data(), saved.size() - 1));

    std::memset(Electrics_sys.bytes, 0xA5, kElectricsRecordSize);
    const ElectricsRecord before = Electrics_sys;
    std::vector<uint8_t> wrong(kElectricsRecordSize + 1);
    EXPECT_FALSE(ElectricsRestore(wrong.data(), wrong.size()));
    EXPECT_FALSE(ElectricsRestore(saved.data(), saved.size() - 1));
    EXPECT_FALSE(ElectricsRestore(nullptr, kElectricsRecordSize));
    EXPECT_EQ(std::memcmp(before.bytes, Electrics_sys.bytes, kElectricsRecordSize), 0);

    ASSERT_TRUE(ElectricsRestore(saved.data(), saved.size()));
    EXPECT_EQ(CautionBrightnessShown.get(), -2);
    CautionBrightnessShown.set(255);
    EXPECT_EQ(std::memcmp(saved.data(), Electrics_sys.bytes, kElectricsRecordSize), 0);
}

TEST_F(ElectricsTest, RestoredRecordIsKeptAndBroughtIntoRange) {
    std::vector<uint8_t> data(kElectricsRecordSize, 0);
    auto put_i32 = [&](uint32_t off, int32_t v) { std::memcpy(&data[off], &v, 4); };
    auto put_f32 = [&](uint32_t off, float v) { std::memcpy(&data[off], &v, 4); };
    put_i32(PrimaryInverterSwitch.offset, 0);  // the pilot had it off
    put_f32(MainBatteryCharge.offset, std::numeric_limits<float>::quiet_NaN());
    put_f32(AuxBatteryCharge.offset, 1e30f);
    put_f32(MainBatteryCurrent.offset, std::numeric_limits<float>::infinity());
    put_i32(LeftMainBusHold.offset, std::numeric_limits<int32_t>::max());
    put_i32(AcBusTieDelay.offset, -7);
    put_i32(NavBeaconSelector.offset, 1000);
    put_i32(AnnunciatorTestSwitch.offset, -1);
    ASSERT_TRUE(ElectricsRestore(data.data(), data.size()));
    EXPECT_FLOAT_EQ(MainBatteryCharge.get(), 100.0f);
    EXPECT_FLOAT_EQ(AuxBatteryCharge.get(), 50.0f);
    EXPECT_FLOAT_EQ(MainBatteryCurrent.get(), 0.0f);
    EXPECT_EQ(LeftMainBusHold.get(), 15);
    EXPECT_EQ(AcBusTieDelay.get(), 0);
    EXPECT_EQ(NavBeaconSelector.get(), 0);
    EXPECT_EQ(AnnunciatorTestSwitch.get(), 0);
    Run(2);
    EXPECT_EQ(PrimaryInverterSwitch.get(), 0);  // not overwritten by the defaults
}

}  // namespace
}  // namespace zu
