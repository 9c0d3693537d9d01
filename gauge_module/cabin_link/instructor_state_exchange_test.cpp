#include "cabin_link/instructor_state_exchange.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "cabin_link/instructor_link_server.h"
#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/flight_guidance.h"
#include "core/host_panel_services.h"
#include "core/powerplant.h"
#include "core/radio_altitude_alerting.h"
#include "core/systems_tick.h"
#include "fms/flight_plan.h"
#include "instruments/adf_control_heads.h"
#include "instruments/atc_control_head.h"
#include "instruments/com_control_heads.h"
#include "instruments/vor_control_heads.h"

namespace zu {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

class InstructorExchangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(&InstructorMessageBuffer, 0, sizeof InstructorMessageBuffer);
        std::fill(std::begin(HydraulicsInstructorStates), std::end(HydraulicsInstructorStates), 0);
        std::fill(std::begin(FlightSurfacesInstructorStates),
                  std::end(FlightSurfacesInstructorStates), 0);
        std::fill(std::begin(PowerplantsInstructorStates), std::end(PowerplantsInstructorStates),
                  0);
        std::fill(std::begin(ElectricsInstructorStates), std::end(ElectricsInstructorStates), 0);
        AvionicsInstructorStates[0] = 0;
        HydraulicDecayFactor = 0.995;
        RemoteDisplayCountdown.store(0);
        RemoteValuesSetFlag.store(0);
        RemoteValueCount = 0;
    }

    // Puts a message into the exchange buffer and decodes it.
    bool Decode(uint8_t kind, uint16_t group, float value = 0, float state = 0) {
        InstructorMessage& m = InstructorMessageBuffer;
        m.kind = kind;
        m.group = group;
        m.value_count = 0;
        m.state_count = 0;
        m.items[0].value = value;
        m.items[0].state = state;
        return InstructorDecodeMessage();
    }
    bool Set(uint16_t group, float index, float state) {
        return Decode(kInstructorSetValue, group, index, state);
    }
    void ExpectAcknowledged() {
        EXPECT_EQ(+InstructorMessageBuffer.kind, kInstructorAcknowledge);
        EXPECT_EQ(+InstructorMessageBuffer.value_count, 0);
        EXPECT_EQ(+InstructorMessageBuffer.state_count, 0);
    }
};

TEST_F(InstructorExchangeTest, DataRequestsAreAnsweredWithTheGroupsCounts) {
    struct Case {
        uint16_t group, values, states;
    } cases[] = {{1, 12, 22}, {3, 13, 13}, {4, 52, 23}, {5, 57, 26}, {10, 1, 1}, {7, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.group);
        ASSERT_TRUE(Decode(kInstructorDataRequest, +c.group));
        EXPECT_EQ(+InstructorMessageBuffer.kind, kInstructorDataReply);
        EXPECT_EQ(+InstructorMessageBuffer.group, +c.group);
        EXPECT_EQ(+InstructorMessageBuffer.value_count, c.values);
        EXPECT_EQ(+InstructorMessageBuffer.state_count, c.states);
    }
    // Group 0 gets no reply at all.
    EXPECT_FALSE(Decode(kInstructorDataRequest, kInstructorGroupNone));
}

TEST_F(InstructorExchangeTest, RepliesCarryTheTablesAndTheAircraftState) {
    PowerplantsInstructorStates[22] = 7;
    EngineFailureWord1 = kPowerplantFailFire;
    Nh1State.nh = 70.0f;
    Nh2State.nh = 10.0f;
    ASSERT_TRUE(Decode(kInstructorDataRequest, kInstructorGroupPowerplants));
    const InstructorMessage& m = InstructorMessageBuffer;
    EXPECT_EQ(+m.items[22].state, 7.0f);
    EXPECT_EQ(+m.items[kPpEngine1].state, 8.0f);
    EXPECT_EQ(+m.items[kPpEngine1].value, 1.0f);
    EXPECT_EQ(+m.items[kPpEngine2].value, 0.0f);
    EXPECT_EQ(+m.items[kPpUnused6].value, 0.0f);

    const ElectricsRecord saved = Electrics_sys;
    BusPowered.set(kPoweredLeftEssential, 1);
    BusPowered.set(kPoweredRightEssential, 0);
    DcGenerator1OnLine.set(255);  // relay K1
    AuxInverterSelectLeft.set(255);
    AuxInverterSelectRight.set(0);
    ElectricsInstructorStates[kElecStateCbF5] = kElementFailed;
    ASSERT_TRUE(Decode(kInstructorDataRequest, kInstructorGroupElectrics));
    EXPECT_EQ(+m.items[kElecLeftEssentialBus].value, 1.0f);
    EXPECT_EQ(+m.items[kElecRightEssentialBus].value, 0.0f);
    EXPECT_EQ(+m.items[kElecValueRelayK1].value, 255.0f);
    EXPECT_EQ(+m.items[kElecValueAuxInvSelector].value, 2.0f);
    EXPECT_EQ(+m.items[kElecStateCbF5].state, 255.0f);
    Electrics_sys = saved;
}

TEST_F(InstructorExchangeTest, SetValueStoresAcknowledgesAndMirrorsPairedSurfaces) {
    ASSERT_TRUE(Set(kInstructorGroupFlightSurfaces, 4, 32));
    ExpectAcknowledged();
    EXPECT_EQ(FlightSurfacesInstructorStates[3], 32);
    EXPECT_EQ(FlightSurfacesInstructorStates[4], 32);
    ASSERT_TRUE(Set(kInstructorGroupFlightSurfaces, 0, 1));
    EXPECT_EQ(FlightSurfacesInstructorStates[1], 1);
    ASSERT_TRUE(Set(kInstructorGroupFlightSurfaces, 6, 8));
    EXPECT_EQ(FlightSurfacesInstructorStates[5], 8);
    ASSERT_TRUE(Set(kInstructorGroupFlightSurfaces, 2, 4));  // rudder: alone
    EXPECT_EQ(FlightSurfacesInstructorStates[1], 1);
    EXPECT_EQ(FlightSurfacesInstructorStates[3], 32);

    ASSERT_TRUE(Set(kInstructorGroupPowerplants, kPpEngine2, 9.9f));  // truncated
    EXPECT_EQ(EngineFailureWord2, 9);
    ASSERT_TRUE(Set(kInstructorGroupAvionics, 0, 255));
    EXPECT_EQ(AvionicsInstructorStates[0], 255);
}

TEST_F(InstructorExchangeTest, LeakSpeedSetsTheDecayFactorFromAClampedState) {
    Set(kInstructorGroupHydraulics, kHydStateLeakSpeed, 100);
    EXPECT_DOUBLE_EQ(HydraulicDecayFactor, 0.979);
    Set(kInstructorGroupHydraulics, kHydStateLeakSpeed, 0);
    EXPECT_DOUBLE_EQ(HydraulicDecayFactor, 0.999);
    Set(kInstructorGroupHydraulics, kHydStateLeakSpeed, 5000);
    EXPECT_DOUBLE_EQ(HydraulicDecayFactor, 0.979);
    Set(kInstructorGroupHydraulics, kHydStateLeakSpeed, -400);
    EXPECT_DOUBLE_EQ(HydraulicDecayFactor, 0.999);
    EXPECT_EQ(HydraulicsInstructorStates[kHydStateLeakSpeed], -400);
}

TEST_F(InstructorExchangeTest, BadSetValuesChangeNothingButAreAcknowledged) {
    const float bad_indices[] = {-1, 22, 1e9f, kNaN, kInf, -kInf};
    for (float index : bad_indices) {
        SCOPED_TRACE(index);
        ASSERT_TRUE(Set(kInstructorGroupHydraulics, index, 3));
        ExpectAcknowledged();
    }
    const float bad_states[] = {kNaN, kInf, 3e9f, -3e9f};
    for (float state : bad_states) {
        SCOPED_TRACE(state);
        ASSERT_TRUE(Set(kInstructorGroupHydraulics, 0, state));
    }
    ASSERT_TRUE(Set(kInstructorGroupAvionics, 1, 255));  // table of one entry
    ASSERT_TRUE(Set(7, 0, 255));                         // no table at all
    for (int32_t s : HydraulicsInstructorStates) EXPECT_EQ(s, 0);
    EXPECT_EQ(AvionicsInstructorStates[0], 0);
    EXPECT_DOUBLE_EQ(HydraulicDecayFactor, 0.995);
}

TEST_F(InstructorExchangeTest, ReceivedRepliesAndUnknownKindsAreNotAnswered) {
    for (uint8_t kind : {kInstructorAcknowledge, kInstructorDataReply, uint8_t{0}, uint8_t{99}}) {
        SCOPED_TRACE(int(kind));
        EXPECT_FALSE(Decode(kind, kInstructorGroupPowerplants, 7, 1));
        EXPECT_EQ(+InstructorMessageBuffer.kind, kind);
    }
    EXPECT_EQ(EngineFailureWord1, 0);
}

TEST_F(InstructorExchangeTest, BulkSetArmsTheBurstWithCheckedTargets) {
    InstructorMessage& m = InstructorMessageBuffer;
    m.kind = kInstructorBulkSet;
    m.group = kInstructorGroupBulk;
    m.value_count = 600;  // more than the message holds
    for (int i = 0; i < 512; ++i) m.items[i] = {121.0f, float(i)};
    m.items[3] = {kNaN, 5.0f};
    m.items[4] = {122.0f, kInf};
    ASSERT_TRUE(InstructorDecodeMessage());
    ExpectAcknowledged();
    EXPECT_EQ(RemoteValueCount, 512);
    EXPECT_EQ(RemoteDisplayCountdown.load(), kRemoteBurstFrames);
    EXPECT_EQ(RemoteValuesSetFlag.load(), 1);
    EXPECT_EQ(RemoteTargetInts[0], 121);
    EXPECT_EQ(RemoteTargetValues[511], 511.0);
    EXPECT_EQ(RemoteTargetInts[3], 0);
    EXPECT_EQ(RemoteTargetInts[4], 0);

    // Another group is acknowledged but sets nothing.
    RemoteDisplayCountdown.store(0);
    m.kind = kInstructorBulkSet;
    m.group = 3;
    ASSERT_TRUE(InstructorDecodeMessage());
    EXPECT_EQ(RemoteDisplayCountdown.load(), 0);
}

// The first smoothing call of a burst sets the aircraft up to fly; later
// calls of the same burst leave what the crew changed.
TEST_F(InstructorExchangeTest, TheFirstCallOfABurstAppliesThePreset) {
    const ElectricsRecord electrics = Electrics_sys;
    const TransponderStateRecord transponder = TransponderState;
    const ComPanelStateRecord com1 = Com1PanelState;
    const int32_t heads[3] = {FGC_comp_VOR1_MODE, FGC_comp_VOR2_MODE, FGC_comp_ADF1_MODE};
    const int32_t levers[2] = {PowerLeverPosition[0], PowerLeverPosition[1]};
    const int32_t conditions[2] = {PowerLeverValue[0], PowerLeverValue[1]};
    const int32_t limiter = Powerplants_controls_throttle_limiter;
    const uint8_t started = RemoteBurstStarted;

    Electrics_sys = {};
    FGC_comp_VOR1_MODE = FGC_comp_VOR2_MODE = FGC_comp_ADF1_MODE = 0;
    PowerLeverPosition[0] = PowerLeverPosition[1] = 0;
    PowerLeverValue[0] = PowerLeverValue[1] = 0;
    Powerplants_controls_throttle_limiter = 1;
    TransponderState.mode = TransponderState.display_mode = 0;
    Com1PanelState.mode = 0;
    FGC_comp_FGC1_system_test_timer = FGC_comp_FGC2_system_test_timer = 360;
    RemoteBurstStarted = 0;
    InstructorSmoothValues();
    EXPECT_EQ(RemoteBurstStarted, 1);
    // Battery panel words 0x00, 0x04, 0x08, 0x18, 0x1C and AC panel words
    // 0xD1, 0xD5.
    for (int offset : {0x00, 0x04, 0x08, 0x18, 0x1C, 0xD1, 0xD5}) {
        EXPECT_EQ(Electrics_sys.bytes[offset], 255) << offset;
    }
    EXPECT_EQ(PowerLeverPosition[0], 16000);
    EXPECT_EQ(PowerLeverPosition[1], 16000);
    EXPECT_EQ(PowerLeverValue[0], 10000);
    EXPECT_EQ(PowerLeverValue[1], 10000);
    EXPECT_EQ(Powerplants_controls_throttle_limiter, 0);
    EXPECT_EQ(FGC_comp_VOR1_MODE, 1);
    EXPECT_EQ(FGC_comp_VOR2_MODE, 1);
    EXPECT_EQ(FGC_comp_ADF1_MODE, 1);
    EXPECT_EQ(TransponderState.mode, 6);
    EXPECT_EQ(TransponderState.display_mode, 3);
    EXPECT_EQ(Com1PanelState.mode, 1);
    EXPECT_EQ(FGC_comp_FGC1_system_test_timer, 0);
    EXPECT_EQ(FGC_comp_FGC2_system_test_timer, 0);

    PowerLeverValue[0] = 3000;
    FGC_comp_VOR2_MODE = 0;
    InstructorSmoothValues();
    EXPECT_EQ(PowerLeverValue[0], 3000);
    EXPECT_EQ(FGC_comp_VOR2_MODE, 0);

    Electrics_sys = electrics;
    TransponderState = transponder;
    Com1PanelState = com1;
    FGC_comp_VOR1_MODE = heads[0];
    FGC_comp_VOR2_MODE = heads[1];
    FGC_comp_ADF1_MODE = heads[2];
    PowerLeverPosition[0] = levers[0];
    PowerLeverPosition[1] = levers[1];
    PowerLeverValue[0] = conditions[0];
    PowerLeverValue[1] = conditions[1];
    Powerplants_controls_throttle_limiter = limiter;
    RemoteBurstStarted = started;
}

class InstructorSmoothingTest : public InstructorExchangeTest {
  protected:
    void SetUp() override {
        InstructorExchangeTest::SetUp();
        RemoteBurstStarted = 1;        // preset done
        RemotePositionValues[0] = 10;  // past the first target updates
        RemoteLastUpdatePass = HostPassCounter;
    }
    // New targets after `frames` host passes.
    void Targets(std::initializer_list<std::pair<int32_t, double>> items, uint32_t frames) {
        int i = 0;
        for (auto [id, target] : items) {
            RemoteTargetInts[i] = id;
            RemoteTargetValues[i++] = target;
        }
        RemoteValueCount = i;
        HostPassCounter += frames;
        RemoteValuesSetFlag.store(1);
    }
};

TEST_F(InstructorSmoothingTest, HeadingGlidesThroughNorth) {
    RemoteCurrentValues[0] = 350.0;
    Targets({{kRemoteIdHeading, 10.0}}, 10);
    for (int call = 0; call < 18; ++call) {
        InstructorSmoothValues();
        const double h = RemoteCurrentValues[0];
        EXPECT_TRUE(h >= 350.0 - 1e-9 || h <= 12.0) << "call " << call << " heading " << h;
        EXPECT_GE(h, 0.0);
        EXPECT_LT(h, 360.0);
        EXPECT_FLOAT_EQ(Heading, static_cast<float>(h));
    }
    EXPECT_NEAR(RemoteCurrentValues[0], 10.0, 2.0);
}

TEST_F(InstructorSmoothingTest, LargeTargetsJumpAndPositionsReachTheRepositioning) {
    RemoteCurrentValues[0] = 0.0;
    RemoteCurrentValues[1] = 0.0;
    Targets({{1, 100368.0}, {121, 35.0}}, 4);
    InstructorSmoothValues();
    EXPECT_EQ(RemoteCurrentValues[0], 100368.0);  // jumped
    EXPECT_EQ(RemoteApMirror, 255);
    EXPECT_GT(RemoteCurrentValues[1], 0.0);  // glides
    EXPECT_LT(RemoteCurrentValues[1], 35.0);
    EXPECT_EQ(RemotePositionValues[1], RemoteCurrentValues[1]);
    EXPECT_EQ(RemoteValuesSetFlag.load(), 0);
}

// The steps every bulk identifier ends with.
class InstructorBulkRowTest : public ::testing::Test {
  protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        RemoteApMirror = RemoteYdMirror = 0;
        RemoteApEngageWord = 0;
        FGC_comp_AP1_engaged = FGC_comp_YD1_engaged = 0;
        FgcSide1.coupled_side = 1;
        FGC_comp_FGC1_system_test_timer = FGC_comp_FGC2_system_test_timer = 360;
        HostGearHandle = 16383;
        RadioAltitudeReadoutValue = 0;
    }
    static constexpr double kOn = 100001.0;
};

TEST_F(InstructorBulkRowTest, EveryRowClearsTheFlightGuidanceSelfTests) {
    InstructorApplyValue(999, 0.0);  // not a row: the common steps still run
    EXPECT_EQ(FGC_comp_FGC1_system_test_timer, 0);
    EXPECT_EQ(FGC_comp_FGC2_system_test_timer, 0);
}

TEST_F(InstructorBulkRowTest, DecisionHeightTakesWholeFeetBelowAThousand) {
    InstructorApplyValue(48, 250.9);
    EXPECT_EQ(FGC_comp_DH_altitude1, 250);
    InstructorApplyValue(48, 1000.0);
    EXPECT_EQ(FGC_comp_DH_altitude1, 0);
    InstructorApplyValue(48, -1e12);  // no 32-bit value: 0, not a wrapped word
    EXPECT_EQ(FGC_comp_DH_altitude1, 0);
    FGC_comp_DH_altitude1 = 200;
}

TEST_F(InstructorBulkRowTest, FlapAngleJumpsToItsSelectionAndAutofeatherArms) {
    FlapCountdown = 7;
    for (const auto& [degrees, selection] :
         {std::pair{0.0, 0}, {3.5, 1}, {10.0, 2}, {15.0, 3}, {35.0, 4}, {1e9, 4}, {-5.0, 0}}) {
        InstructorApplyValue(47, degrees);
        EXPECT_EQ(flight_controls_FLAPS[0], selection) << degrees;
        EXPECT_EQ(FlapDetent, selection + 2) << degrees;
    }
    EXPECT_EQ(FlapCountdown, 0);
    InstructorApplyValue(47, std::nan(""));  // not a number: nothing moves
    EXPECT_EQ(flight_controls_FLAPS[0], 0);

    InstructorApplyValue(49, 1.0);
    EXPECT_EQ(Autofeather.select, 1);
    EXPECT_EQ(Autofeather.armed, 1);
    InstructorApplyValue(49, 0.0);
    EXPECT_EQ(Autofeather.select, 0);
    EXPECT_EQ(Autofeather.armed, 0);
}

TEST_F(InstructorBulkRowTest, AutopilotAndYawDamperFollowTheRemoteEngageWord) {
    InstructorApplyValue(17, kOn);  // side 1 engaged, mirror still off
    EXPECT_EQ(RemoteApEngageWord, 1);
    EXPECT_EQ(FGC_comp_AP1_engaged, 0);
    InstructorApplyValue(1, kOn);
    EXPECT_EQ(FGC_comp_AP1_engaged, 1);
    EXPECT_EQ(FGC_comp_YD1_engaged, 0);
    InstructorApplyValue(115, kOn);
    EXPECT_EQ(FGC_comp_YD1_engaged, 1);

    // Both sides coupled: an engaged autopilot is engaged on both.
    InstructorApplyValue(20, kOn);
    EXPECT_EQ(FgcSide1.coupled_side, 3);
    InstructorApplyValue(21, kOn);
    EXPECT_EQ(RemoteApEngageWord, 3);
    EXPECT_EQ(FGC_comp_AP1_engaged, 3);

    // Off keeps only the other side; the mirror off disengages.
    InstructorApplyValue(16, 0.0);
    EXPECT_EQ(FgcSide1.coupled_side, 2);
    InstructorApplyValue(17, 0.0);
    EXPECT_EQ(RemoteApEngageWord, 2);
    InstructorApplyValue(1, 0.0);
    EXPECT_EQ(FGC_comp_AP1_engaged, 0);
    EXPECT_EQ(FGC_comp_YD1_engaged, 2);
}

TEST_F(InstructorBulkRowTest, GearHandleFollowsTheRadioAltitude) {
    RadioAltitudeReadoutValue = 1000;  // neither above nor below
    InstructorApplyValue(53, 90.0);
    EXPECT_EQ(HostGearHandle, 16383);
    RadioAltitudeReadoutValue = 1001;
    InstructorApplyValue(53, 90.0);
    EXPECT_EQ(HostGearHandle, 0);
    RadioAltitudeReadoutValue = 1000;
    InstructorApplyValue(53, 90.0);
    EXPECT_EQ(HostGearHandle, 0);
    RadioAltitudeReadoutValue = 999;
    InstructorApplyValue(53, 90.0);
    EXPECT_EQ(HostGearHandle, 32767);
}

TEST_F(InstructorBulkRowTest, AltimeterFlagShowsOnlyForItsOwnValue) {
    InstructorApplyValue(29, 100368.0);
    EXPECT_EQ(Altimeter1FlagVisible, 255);
    InstructorApplyValue(29, kOn);  // an ordinary "on" is not the flag's value
    EXPECT_EQ(Altimeter1FlagVisible, 0);
    InstructorApplyValue(29, 100368.0);
    InstructorApplyValue(29, 100368.5);
    EXPECT_EQ(Altimeter1FlagVisible, 0);
}

TEST(InstructorBulkValues, FmsLateralModesSetTheActiveLegKind) {
    const LegRecord saved_leg = FmsToLegCopy;
    const int32_t saved_mode = FGC_comp_AP1_lateral_mode;
    const uint8_t saved_fma = FmaFlags1[1];
    FmaFlags1[1] = 0;
    InstructorApplyValue(19, 200000.0);
    EXPECT_EQ(FGC_comp_AP1_lateral_mode, 5);
    EXPECT_EQ(+FmsToLegCopy.list_kind, 2);
    EXPECT_EQ(FmaFlags1[1], 1);
    // Off leaves mode 5 to row 24.
    InstructorApplyValue(19, 0.0);
    EXPECT_EQ(FGC_comp_AP1_lateral_mode, 5);
    FmaFlags1[1] = 0;
    InstructorApplyValue(24, 200000.0);
    EXPECT_EQ(+FmsToLegCopy.list_kind, 1);
    EXPECT_EQ(FmaFlags1[1], 1);
    InstructorApplyValue(24, 0.0);
    EXPECT_EQ(FGC_comp_AP1_lateral_mode, 0);
    FmsToLegCopy = saved_leg;
    FmaFlags1[1] = saved_fma;
    FGC_comp_AP1_lateral_mode = saved_mode;
}

// Rows that drive FGC 1's modes and annunciator, the ball shown during a
// burst and the master lights.
class InstructorBulkModeTest : public InstructorBulkRowTest {
  protected:
    void SetUp() override {
        InstructorBulkRowTest::SetUp();
        saved_sel_ = NavSourceSel1;
        Clear();
    }
    void TearDown() override {
        Clear();
        NavSourceSel1 = saved_sel_;
        InstructorBulkRowTest::TearDown();
    }
    static void Clear() {
        FGC_comp_AP1_vertical_mode = FGC_comp_AP1_lateral_mode = 0;
        FmaFlags1[0] = FmaFlags1[1] = 0;
        FgcState = 0;
        InstructorDisplayValues.ball = 0.0;
        MasterWarningFlag.set(0);
        MasterCautionFlag.set(0);
    }
    int32_t saved_sel_ = 0;
};

TEST_F(InstructorBulkModeTest, BallIsTheScaledSideslipHeldWithinItsTravel) {
    for (const auto& [value, ball] :
         {std::pair{0.1, -63.0}, {-0.05, 31.5}, {0.3, -126.0}, {-0.3, 126.0}, {0.0, 0.0}}) {
        InstructorApplyValue(2, value);
        EXPECT_DOUBLE_EQ(InstructorDisplayValues.ball, ball) << value;
    }
}

TEST_F(InstructorBulkModeTest, VerticalRowsEngageTheirModeAndDropOnlyTheirOwn) {
    struct Row {
        int32_t id, mode;
        uint8_t fma;
    } rows[] = {{7, 1, 1}, {13, 4, 0}, {15, 3, 1}, {25, 2, 1}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.id);
        Clear();
        InstructorApplyValue(r.id, 100000.0);  // not above the threshold: off
        EXPECT_EQ(FGC_comp_AP1_vertical_mode, 0);
        InstructorApplyValue(r.id, kOn);
        EXPECT_EQ(FGC_comp_AP1_vertical_mode, r.mode);
        EXPECT_EQ(FmaFlags1[0], r.fma);
        EXPECT_EQ(FmaFlags1[1], 0);
        FGC_comp_AP1_vertical_mode = 5;  // another mode took over
        InstructorApplyValue(r.id, 0.0);
        EXPECT_EQ(FGC_comp_AP1_vertical_mode, 5);
        FGC_comp_AP1_vertical_mode = r.mode;
        FmaFlags1[0] = 1;
        InstructorApplyValue(r.id, 0.0);
        EXPECT_EQ(FGC_comp_AP1_vertical_mode, 0);
        EXPECT_EQ(FmaFlags1[0], 1);  // off leaves the annunciator alone
    }
}

TEST_F(InstructorBulkModeTest, LateralRowsEngageTheirModeAndDropOnlyTheirOwn) {
    for (const auto& [id, mode] : {std::pair{10, 8}, {14, 1}}) {
        SCOPED_TRACE(id);
        Clear();
        InstructorApplyValue(id, kOn);
        EXPECT_EQ(FGC_comp_AP1_lateral_mode, mode);
        EXPECT_EQ(FmaFlags1[1], 1);
        EXPECT_EQ(FmaFlags1[0], 0);
        FGC_comp_AP1_lateral_mode = 6;
        InstructorApplyValue(id, 0.0);
        EXPECT_EQ(FGC_comp_AP1_lateral_mode, 6);
        FGC_comp_AP1_lateral_mode = mode;
        InstructorApplyValue(id, 0.0);
        EXPECT_EQ(FGC_comp_AP1_lateral_mode, 0);
    }
    // Heading off does not drop lateral mode 8, nor 8 off heading.
    InstructorApplyValue(10, kOn);
    InstructorApplyValue(14, 0.0);
    EXPECT_EQ(FGC_comp_AP1_lateral_mode, 8);
}

TEST_F(InstructorBulkModeTest, FmsNavigationDropsOnlyWhileSideOneFliesTheFms) {
    NavSourceSel1 = 1;
    InstructorApplyValue(18, kOn);
    EXPECT_EQ(FGC_comp_AP1_lateral_mode, 5);
    EXPECT_EQ(FmaFlags1[1], 1);
    EXPECT_EQ(NavSourceSel1, 5);
    NavSourceSel1 = 1;  // back on VOR 1: the mode stays
    InstructorApplyValue(18, 0.0);
    EXPECT_EQ(FGC_comp_AP1_lateral_mode, 5);
    NavSourceSel1 = 5;
    InstructorApplyValue(18, 0.0);
    EXPECT_EQ(FGC_comp_AP1_lateral_mode, 0);
    EXPECT_EQ(NavSourceSel1, 5);
}

TEST_F(InstructorBulkModeTest, GoAroundAndMasterLightsFollowTheirRows) {
    InstructorApplyValue(12, kOn);
    EXPECT_EQ(FgcState, 255);
    InstructorApplyValue(12, 100000.0);
    EXPECT_EQ(FgcState, 0);

    InstructorApplyValue(67, 1.9);
    EXPECT_EQ(MasterWarningFlag.get(), 1);
    EXPECT_EQ(MasterCautionFlag.get(), 0);
    InstructorApplyValue(68, 1.0);
    EXPECT_EQ(MasterCautionFlag.get(), 1);
    InstructorApplyValue(67, 0.4);
    EXPECT_EQ(MasterWarningFlag.get(), 0);
    EXPECT_EQ(MasterCautionFlag.get(), 1);
    // A value beyond the flag byte still lights it; a negative one does not.
    InstructorApplyValue(67, 256.0);
    EXPECT_EQ(MasterWarningFlag.get(), 255);
    InstructorApplyValue(68, -3.0);
    EXPECT_EQ(MasterCautionFlag.get(), 0);
}

// The powerplant page: components work, lines carry oil, as the oil step's
// status bytes say; the ECU reads the manual flag and the synchrophaser the
// copilot switch and its failure.
class InstructorPowerplantValues : public ::testing::Test {
  protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        EngineOilStatus[0] = EngineOilStatus[1] = {};
        EngineManualFlag[0] = EngineManualFlag[1] = 0;
        CopilotSwitchPowered = 0;
        Autofeather = {};
        PowerplantState = {};
        PropRpmCommand[0] = PropRpmCommand[1] = 0.0;
        for (int32_t& w : PowerplantsInstructorStates) w = 0;
        Nh1State = Nh2State = {};
        for (int e = 0; e < 2; ++e) {
            EngineOilQty[e] = e == 0 ? 4.8f : 5.2f;
            StbyOilQty[e] = 1.0f;
            PropFeatherCountdown[e] = 12;
            PropBladeHoldCountdown[e] = 0;
            PowerLeverValue[e] = 10000;
            PropRpm[e] = 0.0;
        }
    }
};

// Every row of the table of status-byte sources: a value reads the byte it
// names (k of the status-byte run, or byte k of flag row A, B or C) and no
// other; values that name the same byte read alike.
TEST_F(InstructorPowerplantValues, EachStatusValueReadsItsOwnByte) {
    struct Row {
        int value;
        char row;  // 'k' the run, else the flag row
        int byte;
    };
    const Row rows[] = {
        {1, 'k', 13},  {2, 'k', 1},   {3, 'k', 17},  {4, 'k', 16},  {5, 'k', 15}, {13, 'k', 18},
        {14, 'k', 2},  {15, 'k', 22}, {16, 'k', 21}, {17, 'k', 20}, {22, 'B', 1}, {23, 'B', 5},
        {24, 'C', 1},  {25, 'C', 5},  {26, 'A', 0},  {27, 'k', 1},  {28, 'k', 3}, {29, 'k', 5},
        {30, 'k', 7},  {31, 'k', 9},  {32, 'k', 11}, {33, 'B', 4},  {34, 'C', 0}, {35, 'C', 4},
        {36, 'k', 0},  {37, 'A', 7},  {38, 'k', 2},  {39, 'k', 4},  {40, 'k', 6}, {41, 'k', 8},
        {42, 'k', 10}, {43, 'k', 12}, {44, 'A', 8},  {45, 'B', 0},
    };
    auto byte_of = [](const Row& r) -> uint8_t& {
        PowerplantStateRecord& p = PowerplantState;
        switch (r.row) {
            case 'A':
                return p.OilStatusFlagsA[r.byte];
            case 'B':
                return p.OilStatusFlagsB[r.byte];
            case 'C':
                return p.OilStatusFlagsC[r.byte];
            default:
                return p.StatusBytes[r.byte];
        }
    };
    for (const Row& set : rows) {
        PowerplantState = {};
        byte_of(set) = 1;
        for (const Row& r : rows) {
            const bool same = r.row == set.row && r.byte == set.byte;
            EXPECT_EQ(InstructorPowerplantsValue(r.value), same ? 1.0 : 0.0)
                << "byte " << set.row << set.byte << " value " << r.value;
        }
        // Nothing else on the page reads a status byte.
        for (int v : {0, 6, 7, 8, 9, 10, 11, 12, 18, 19, 20, 21}) {
            EXPECT_EQ(InstructorPowerplantsValue(v), v == 8 || v == 19 ? 1.0 : 0.0)
                << "byte " << set.row << set.byte << " value " << v;
        }
    }
}

// From the oil step to the page: engine 1 runs on its own oil, engine 2 is
// stopped and feathers on standby oil. Each governor and the first line of
// its engine (2 and 27, 14 and 38) read alike.
TEST_F(InstructorPowerplantValues, OilStepStatesReachTheComponentsAndLines) {
    Nh1State.nh = 80.0f;
    PowerLeverValue[0] = 14000;  // the lever state clear: the oil passes the MFV
    Autofeather.feather[1] = 100;
    Autofeather.direction[1] = 1;
    CopilotSwitchPowered = 1;
    EngineOilUpdate();
    auto v = InstructorPowerplantsValue;
    EXPECT_EQ(v(2), v(27));
    EXPECT_EQ(v(14), v(38));
    // Engine 1: the PCU pump and governor work, oil flows from the engine
    // through the governor and the OSGV to the PCU; no standby oil, no valve
    // acting.
    for (int i : {1, 2, 27, 29, 30, 31, 34, 35, 36, 37}) EXPECT_EQ(v(i), 1.0) << i;
    for (int i : {0, 3, 4, 5, 28, 32, 33}) EXPECT_EQ(v(i), 0.0) << i;
    // Engine 2: standby pump, governor and AFV on standby oil; its engine
    // drives nothing.
    for (int i : {12, 14, 17, 38, 39, 43, 23, 24, 25}) EXPECT_EQ(v(i), 1.0) << i;
    for (int i : {13, 22, 26, 40, 41, 44}) EXPECT_EQ(v(i), 0.0) << i;
    EXPECT_EQ(v(45), 1.0);  // the synchrophaser's line

    // In manual mode the ECU and its line go out; a failed synchrophaser
    // loses its line.
    EngineManualFlag[0] = 255;
    PowerplantsInstructorStates[9] = 1;  // the synchrophaser failed
    EngineOilUpdate();
    EXPECT_EQ(v(8), 0.0);   // ECU 1
    EXPECT_EQ(v(19), 1.0);  // ECU 2
    EXPECT_EQ(v(36), 0.0);
    EXPECT_EQ(v(9), 0.0);  // the synchrophaser
    EXPECT_EQ(v(45), 0.0);

    // The lever state (panel value below 10000) makes engine 1's MFV act.
    PowerLeverValue[0] = 9999;
    EngineOilUpdate();
    EXPECT_EQ(v(4), 1.0);
    EXPECT_EQ(v(2), v(27));

    Autofeather.armed = 1;
    EXPECT_EQ(v(21), 1.0);  // autofeather
    // Not shown, TRQ 1, TRQ 2, engine 1 oil.
    for (int i : {6, 10, 20, 11}) {
        EXPECT_EQ(v(i), 0.0) << i;
    }
}

TEST_F(InstructorPowerplantValues, BulkPropellerRowsSetTorqueAndTheRpmCommand) {
    InstructorApplyValue(100, 1020.0);
    InstructorApplyValue(101, 990.0);
    EXPECT_DOUBLE_EQ(PropRpmCommand[0], 1020.0);
    EXPECT_DOUBLE_EQ(PropRpmCommand[1], 990.0);
    EXPECT_DOUBLE_EQ(PowerplantState.Torque[0], 1020.0);
    EXPECT_DOUBLE_EQ(PowerplantState.Torque[1], 990.0);
}

}  // namespace
}  // namespace zu
