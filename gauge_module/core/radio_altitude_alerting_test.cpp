#include "core/radio_altitude_alerting.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "core/systems_tick.h"

namespace zu {
namespace {

TEST(PointInPolygonTest, EvenOddOnIntegerVertices) {
    const int32_t xs[] = {0, 10, 10, 0, 0};
    const int32_t ys[] = {0, 0, 10, 10, 0};
    // A point is inside when it lies below an odd number of the edges that
    // span its x.
    EXPECT_EQ(PointInPolygon(5, xs, ys, 5, -1), 0);
    EXPECT_EQ(PointInPolygon(5, xs, ys, 5, 5), 1);
    EXPECT_EQ(PointInPolygon(5, xs, ys, 10, 5), 0);  // right edge is outside
    EXPECT_EQ(PointInPolygon(5, xs, ys, 0, 5), 1);   // left edge is inside
    EXPECT_EQ(PointInPolygon(5, xs, ys, 5, 10), 0);
    EXPECT_EQ(PointInPolygon(5, xs, ys, 11, 5), 0);
    EXPECT_EQ(PointInPolygon(0, xs, ys, 5, 5), 0);
    // The quotient truncates toward zero.
    const int32_t tx[] = {0, 3, 0};
    const int32_t ty[] = {0, -10, -20};
    EXPECT_EQ(PointInPolygon(3, tx, ty, 1, -4), 0);  // upper edge at 20 / -3 -> -6 + 2
    EXPECT_EQ(PointInPolygon(3, tx, ty, 1, -5), 1);
    EXPECT_EQ(PointInPolygon(3, tx, ty, 1, -17), 1);  // lower edge at 10 / 3 -> 3 - 20
    EXPECT_EQ(PointInPolygon(3, tx, ty, 1, -18), 0);
    EXPECT_EQ(PointInPolygon(3, tx, ty, 1, -16), 1);
}

class AlertingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
        std::memset(CautionLightArray, 0, sizeof CautionLightArray);
        BusPowered.set(kPoweredLeftMainDc, 1);
        BusPowered.set(kPoweredLeftEssential, 1);
        AcBusPowered.set(3, 1);
        RightAvionicsBus.set(115);
        RemoteDisplayCountdown.store(0);
        RadioAltWarmupCountdown = 0;
        RadioAltTestCountdown[0] = RadioAltTestCountdown[1] = 0;
        StallWarningState = {{16383, 16383}, 0, 0};
        flight_controls_FLAPS[0] = 0;
        for (int32_t& g : GearLegPosition) g = 76;
        IndicatedAirspeed = 150.0f;
        AngleOfAttack = 0.0;
        VerticalSpeedRaw = 0;
        RadioAltitudeRate = 0.0;
        HostGearHandle = 16383;
        OnGround = 0;
        PowerLeverPosition[0] = 3000;
        VoiceAlertIndex = 0;
        GpwsTakeoffPhase = 0;
        GpwsTakeoffCountdown = 20;
        GpwsReferenceAltitude = -1;
        GpwsHighestAltitude = 0;
        GpwsFlags[0] = GpwsFlags[1] = GpwsFlags[2] = 0;
        GpwsTestAcknowledge = 0;
        GpwsPanelState[0] = GpwsPanelState[1] = 0;
        FGC_comp_DH_altitude1 = 0;
        NavSources[kNavVor1].receive_state = 0;
    }
    static int32_t VoiceAt(int32_t r, int32_t vs) {
        RadioAltitudeReadoutValue = r;
        VerticalSpeedRaw = vs;
        GpwsUpdate();
        return VoiceAlertIndex;
    }
};

TEST_F(AlertingTest, RadioAltitudeReadoutRoundsAndOffsets) {
    RadioAltitude = 60.9;
    RadioAltitudeReadout();
    EXPECT_EQ(RadioAltitudeReadoutValue, 190);
    EXPECT_EQ(RadioAltNotReady, 0);
    RadioAltitude = 2500.0 / 3.2857 - 1.0;  // 2496 ft
    RadioAltitudeReadout();
    EXPECT_EQ(RadioAltitudeReadoutValue, 2480);
    RadioAltitude = 61.0;  // 200.4 ft: tens
    RemoteDisplayCountdown.store(3);
    RadioAltitudeReadout();
    EXPECT_EQ(RadioAltitudeReadoutValue, 200);
    RemoteDisplayCountdown.store(0);
    RadioAltitude = 3000.0;
    RadioAltitudeReadout();
    EXPECT_EQ(RadioAltOutOfRange, 1);
    RadioAltitude = -10.0;
    RadioAltitudeReadout();
    EXPECT_EQ(RadioAltitudeReadoutValue, -15);
    RadioAltTestCountdown[1] = 2;
    RadioAltitudeReadout();
    EXPECT_EQ(RadioAltitudeReadoutValue, 100);
    EXPECT_EQ(RadioAltTestCountdown[1], 1);
}

TEST_F(AlertingTest, RadioAltitudeWarmsUpAfterPower) {
    RightAvionicsBus.set(0);
    RadioAltitude = 100.0;
    RadioAltitudeReadout();
    EXPECT_EQ(RadioAltWarmupCountdown, 25);
    EXPECT_EQ(RadioAltOutOfRange, 1);
    LeftAvionicsBus.set(115);
    for (int i = 0; i < 25; ++i) {
        RadioAltitudeReadout();
        EXPECT_EQ(RadioAltNotReady, 1);
    }
    RadioAltitudeReadout();
    EXPECT_EQ(RadioAltNotReady, 0);
    EXPECT_EQ(RadioAltitudeReadoutValue, 310);
}

TEST_F(AlertingTest, StallWarningAtHighAngleOfAttack) {
    AngleOfAttack = 0.1;
    StallWarningUpdate();
    EXPECT_GT(StallWarningState.output[0], 0);
    AngleOfAttack = 0.25;
    StallWarningUpdate();
    EXPECT_EQ(StallWarningState.output[0], -16383);
    StallWarningUpdate();  // flags read the previous pass's output
    EXPECT_EQ(StallSystemFail[0], 1);
    EXPECT_EQ(StallSystemFail[1], 1);
    IndicatedAirspeed = 30.0f;
    StallWarningUpdate();
    EXPECT_EQ(StallWarningState.output[0], 8192);
    // Flap selection beyond the tables takes the nearest one.
    IndicatedAirspeed = 150.0f;
    flight_controls_FLAPS[0] = 9;
    AngleOfAttack = 0.0;
    StallWarningUpdate();
    EXPECT_LT(StallWarningState.output[0], 8192);
    BusPowered.set(kPoweredLeftMainDc, 0);
    StallWarningUpdate();
    EXPECT_EQ(StallWarnUnpowered, 1);
    EXPECT_EQ(StallSystemFail[0], 0);
}

TEST_F(AlertingTest, StallTestLightsForEighteenTicks) {
    StallWarningState.test_state = 1;
    StallWarningState.test_countdown = 35;
    int lit = 0;
    for (int i = 0; i < 40; ++i) {
        StallWarningUpdate();
        if (CautionLightArray[kStall1SysFailLight] != 0) ++lit;
    }
    EXPECT_EQ(lit, 18);
    EXPECT_EQ(StallWarningState.test_state, 0);
    EXPECT_EQ(CautionLightArray[kStall2SysFailLight], 0u);
    EXPECT_EQ(StallWarningState.output[0], 16383);  // back on the tables
}

TEST_F(AlertingTest, SinkRateMessagesAndInhibits) {
    EXPECT_EQ(VoiceAt(1000, -3000), 1);
    EXPECT_EQ(VoiceAt(1000, -4000), 2);
    EXPECT_EQ(GpwsAlertFlag == 0 || GpwsAlertFlag == 1, true);
    EXPECT_EQ(GpwsPullUpRequest, 1);
    flight_controls_FLAPS[0] = 3;  // no too-low-flaps message down low
    EXPECT_EQ(VoiceAt(49, -1200), 0);
    EXPECT_EQ(VoiceAt(50, -1200), 1);
    EXPECT_EQ(VoiceAt(2450, -4900), 1);
    EXPECT_EQ(VoiceAt(2451, -4900), 0);
    StallWarningState.output[0] = -1;
    EXPECT_EQ(VoiceAt(1000, -4000), 0);
}

TEST_F(AlertingTest, ClosureEnvelopeMovesWithAirspeed) {
    // At 1000 ft the closure envelope's edge is at -3216, the pull-up's at -3371.
    RadioAltitudeRate = -3300.0;
    EXPECT_EQ(VoiceAt(1000, 0), 3);
    EXPECT_EQ(GpwsReferenceAltitude, 1000);
    RadioAltitudeRate = -3400.0;
    EXPECT_EQ(VoiceAt(1000, 0), 4);
    // Out of the envelope: the message holds until 300 ft above the reference.
    RadioAltitudeRate = 0.0;
    EXPECT_EQ(VoiceAt(1300, 0), 3);
    EXPECT_EQ(VoiceAt(1301, 0), 0);
    EXPECT_EQ(GpwsReferenceAltitude, -1);
    // At 202 kt: 2375 ft, -5010.
    IndicatedAirspeed = 202.0f;
    RadioAltitudeRate = -5000.0;
    EXPECT_EQ(VoiceAt(2374, 0), 0);
    RadioAltitudeRate = -5020.0;
    EXPECT_EQ(VoiceAt(2374, 0), 4);
    // At 157 kt and below 157: 4055 ft, -2546 (157 stands in for a negative).
    IndicatedAirspeed = 150.0f;
    RadioAltitudeRate = -3600.0;
    EXPECT_EQ(VoiceAt(2000, 0), 4);
    GpwsFlags[1] = 1;  // override
    GpwsReferenceAltitude = -1;
    EXPECT_EQ(VoiceAt(2374, 0), 0);
    EXPECT_EQ(GpwsFlags[2], 1);
}

TEST_F(AlertingTest, TooLowGearAndFlaps) {
    for (int32_t& g : GearLegPosition) g = 0;
    EXPECT_EQ(VoiceAt(400, 0), 7);  // slow, gear up
    IndicatedAirspeed = 190.0f;     // above the 184 kt edge at 800 ft
    EXPECT_EQ(VoiceAt(800, 0), 8);
    for (int32_t& g : GearLegPosition) g = 76;
    IndicatedAirspeed = 120.0f;
    EXPECT_EQ(VoiceAt(150, 0), 9);
    IndicatedAirspeed = 150.0f;
    EXPECT_EQ(VoiceAt(150, 0), 10);
    GpwsTakeoffPhase = 1;
    GpwsTakeoffCountdown = 0;
    OnGround = 0;
    EXPECT_EQ(VoiceAt(150, 0), 0);
}

TEST_F(AlertingTest, GlideslopeAndDecisionHeight) {
    NavSources[kNavVor1].receive_state = 2;
    NavSources[kNavVor1].glideslope_alive = 1;
    FgcSide1.nav_source = &NavSources[kNavVor1];
    FgcGlideslopeDeviation = -100;
    flight_controls_FLAPS[0] = 3;
    EXPECT_EQ(VoiceAt(500, 0), 11);
    EXPECT_EQ(GpwsGlideslopeRequest, 1);
    GpwsPanelState[1] = 1;  // cancelled
    EXPECT_EQ(VoiceAt(500, 0), 0);
    VoiceAt(1001, 0);
    EXPECT_EQ(GpwsPanelState[1], 0);
    FgcGlideslopeDeviation = 0;
    FGC_comp_DH_altitude1 = 200;
    EXPECT_EQ(VoiceAt(220, 0), 12);
    EXPECT_EQ(VoiceAt(230, 0), 0);
    NavSources[kNavVor1].receive_state = 0;
}

TEST_F(AlertingTest, TestRunsUntilAcknowledgedAndUnpoweredKeepsTheMessage) {
    GpwsFlags[0] = 1;
    EXPECT_EQ(VoiceAt(0, 0), 20);
    EXPECT_NE(CautionLightArray[kGpwsTestLight], 0u);
    EXPECT_EQ(GpwsAlertFlag, 1);
    EXPECT_EQ(GpwsPanelState[0], 1);
    GpwsTestAcknowledge = 1;
    EXPECT_EQ(VoiceAt(0, 0), 0);
    EXPECT_EQ(GpwsFlags[0], 0);
    EXPECT_EQ(CautionLightArray[kGpwsTestLight], 0u);
    // A new test is not cancelled by the old acknowledge.
    GpwsFlags[0] = 1;
    EXPECT_EQ(VoiceAt(0, 0), 20);
    EXPECT_EQ(GpwsTestAcknowledge, 0);

    VoiceAlertIndex = 2;
    AcBusPowered.set(3, 0);
    GpwsFlags[1] = 1;
    EXPECT_EQ(VoiceAt(1000, 0), 2);
    EXPECT_EQ(GpwsFlags[0], 0);
    EXPECT_EQ(GpwsFlags[1], 0);
}

TEST_F(AlertingTest, PullUpLightFlashesEverySecondTick) {
    int changes = 0;
    uint8_t last = GpwsAlertFlag;
    for (uint32_t tick = 1; tick <= 8; ++tick) {
        FrameChangeBits.store(tick ^ (tick - 1));
        VoiceAt(1000, -4000);
        if (GpwsAlertFlag != last) ++changes;
        last = GpwsAlertFlag;
    }
    EXPECT_EQ(changes, 4);
    VoiceAt(1000, 0);
    EXPECT_EQ(GpwsAlertFlag, 0);
}

TEST_F(AlertingTest, TakeoffPhaseFollowsHeightAndPower) {
    GpwsTakeoffPhase = 0;
    GpwsTakeoffCountdown = 0;
    PowerLeverPosition[0] = 18000;
    VoiceAt(100, 0);
    EXPECT_EQ(GpwsTakeoffPhase, 1);
    PowerLeverPosition[0] = 3000;
    VoiceAt(800, 0);
    EXPECT_EQ(GpwsTakeoffPhase, 0);
    EXPECT_EQ(GpwsTakeoffCountdown, 20);
    OnGround = 255;
    for (int i = 0; i < 19; ++i) VoiceAt(0, 0);
    EXPECT_EQ(GpwsTakeoffPhase, 0);
    VoiceAt(0, 0);
    EXPECT_EQ(GpwsTakeoffPhase, 1);
}

TEST_F(AlertingTest, AltitudeLossAfterTakeoff) {
    GpwsTakeoffPhase = 1;
    GpwsTakeoffCountdown = 0;
    HostGearHandle = 0;
    PowerLeverPosition[0] = 3000;
    VoiceAt(600, 0);
    EXPECT_EQ(GpwsHighestAltitude, 600);
    EXPECT_EQ(VoiceAt(500, 0), 6);
}

}  // namespace
}  // namespace zu
