#include "cabin_link/sound_scheme.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "cabin_link/cabin_test_support.h"

namespace zu {
namespace {

using cabin_test::CabinSoundTest;

using SoundScheme = CabinSoundTest;

TEST_F(SoundScheme, LoadsTheSetAtItsInitialLevels) {
    Start();
    for (int i = 0; i < kSoundAnnouncement; ++i) {
        // The engine-2 split sound only with SOUND_SPLIT_PLS.
        EXPECT_EQ(SoundSet[i].buffer != nullptr, i != kSoundPropGroundSplit2) << i;
    }
    EXPECT_EQ(Volume(kSoundClickTiny), -3008);  // -3000 at SOUND_VOLUME 255
    EXPECT_EQ(Volume(kSoundApDisconnect), SoundScaleVolume(-1000));
    EXPECT_EQ(Volume(kSoundStickPusherInit), SoundScaleVolume(-2500));
    EXPECT_EQ(Volume(kSoundGearUp2), SoundScaleVolume(3500));
    // Nothing plays at rest, parked with the doors shut and no power.
    Tick(3);
    EXPECT_TRUE(TakePlays().empty());
}

TEST_F(SoundScheme, WindFollowsTheAirspeed) {
    Start();
    IndicatedAirspeed = 200.0f;
    Tick();
    ASSERT_TRUE(Playing(kSoundWind));
    EXPECT_EQ(Frequency(kSoundWind), 23000u);
    EXPECT_EQ(Volume(kSoundWind), -538);
    IndicatedAirspeed = 95.0f;
    Tick();
    EXPECT_EQ(Frequency(kSoundWind), 21525u);
    IndicatedAirspeed = 0.0f;
    Tick();
    EXPECT_FALSE(Playing(kSoundWind));
}

TEST_F(SoundScheme, CabinAmbienceFollowsTheDoorsAndPauseStopsEveryLoop) {
    Start();
    DoorOpenLevel = 100;
    IndicatedAirspeed = 150.0f;
    Tick();
    ASSERT_TRUE(Playing(kSoundCabinAmbience));
    EXPECT_EQ(Volume(kSoundCabinAmbience), -3208);
    EXPECT_TRUE(Playing(kSoundWind));
    EXPECT_TRUE(Playing(kSoundGearWind));

    HostPauseIndicator = 1;
    Tick();
    EXPECT_FALSE(Playing(kSoundCabinAmbience));
    EXPECT_FALSE(Playing(kSoundWind));
    EXPECT_FALSE(Playing(kSoundGearWind));
    HostPauseIndicator = 0;

    DoorOpenLevel = 0;
    Tick();
    EXPECT_FALSE(Playing(kSoundCabinAmbience));
    EPIC = 1;
    DoorOpenLevel = 100;
    Tick();
    EXPECT_FALSE(Playing(kSoundCabinAmbience));
}

TEST_F(SoundScheme, GearWindStopsWithTheGearUp) {
    Start();
    IndicatedAirspeed = 150.0f;
    GearLegPosition[0] = GearLegPosition[1] = GearLegPosition[2] = 3;  // sum 9
    Tick();
    EXPECT_TRUE(Playing(kSoundGearWind));
    GearLegPosition[2] = 2;  // sum 8
    Tick();
    EXPECT_FALSE(Playing(kSoundGearWind));
}

TEST_F(SoundScheme, GpwsRowsPlayInOrderWithGapSameSoundWaitAndRepeat) {
    Start();
    VoiceAlertIndex = 2;  // sink rate, sink rate, pull up
    std::vector<std::pair<int, std::string>> plays;
    for (int t = 1; t <= 150; ++t) {
        Tick();
        for (const std::string& p : TakePlays()) plays.emplace_back(t, p);
    }
    const std::vector<std::pair<int, std::string>> expected = {
        {1, "GPWS_sinkrate.wav"},
        // The same object again: it waits for the first to end (after two
        // ticks), then the 14-tick gap.
        {17, "GPWS_sinkrate.wav"},
        // Another object: the gap counts while the previous one plays.
        {32, "GPWS_pullup.wav"},
        // After the row, 100 ticks, then the gap again.
        {147, "GPWS_sinkrate.wav"}};
    EXPECT_EQ(plays, expected);
}

TEST_F(SoundScheme, GpwsIndexChangesAndTheTestAcknowledge) {
    Start();
    VoiceAlertIndex = 11;
    Tick();
    EXPECT_EQ(TakePlays(), std::vector<std::string>{"GPWS_glideslope.wav"});
    // 13 after 11 keeps the glideslope row.
    VoiceAlertIndex = 13;
    Tick(130);
    EXPECT_EQ(TakePlays(), std::vector<std::string>{"GPWS_glideslope.wav"});
    // 0 silences it.
    VoiceAlertIndex = 0;
    Tick(200);
    EXPECT_TRUE(TakePlays().empty());

    // The test row; its acknowledge is raised once it has been said.
    GpwsTestAcknowledge = 1;
    VoiceAlertIndex = 20;
    Tick();
    EXPECT_EQ(GpwsTestAcknowledge, 0);
    Tick(40);
    EXPECT_EQ(TakePlays(), (std::vector<std::string>{"GPWS_glideslope.wav", "GPWS_pullup.wav",
                                                     "GPWS_pullup.wav"}));
    EXPECT_EQ(GpwsTestAcknowledge, 1);
}

TEST_F(SoundScheme, TrafficVoiceAtMostOncePer200Ticks) {
    Start();
    TcasState.traffic_request = 1;
    Tick();
    EXPECT_EQ(TakePlays(), std::vector<std::string>{"TCAS_traffic.wav"});
    EXPECT_EQ(TcasState.traffic_request, 0);
    TcasState.traffic_request = 1;
    Tick(150);
    EXPECT_TRUE(TakePlays().empty());
    EXPECT_EQ(TcasState.traffic_request, 1);  // waits for the countdown
    Tick(52);
    EXPECT_EQ(TakePlays(), std::vector<std::string>{"TCAS_traffic.wav"});
}

TEST_F(SoundScheme, ChimesBellsAndTones) {
    Start();
    // Radio exchange: cleared either way, heard only with power.
    RadioChangedFlag = 1;
    Tick();
    EXPECT_EQ(RadioChangedFlag, 0);
    EXPECT_TRUE(TakePlays().empty());
    Power(kPoweredLeftEssential);
    RadioChangedFlag = 1;
    Tick();
    EXPECT_EQ(TakePlays(), std::vector<std::string>{"com_xchg.wav"});

    // Cabin sign.
    Power(kPoweredRightMainDc);
    Tick(3);  // the sign follows the gear (down): one chime
    EXPECT_EQ(TakePlays(), std::vector<std::string>{"sitbelts.wav"});
    CabinSignWord ^= 1;
    Tick();
    EXPECT_EQ(TakePlays(), std::vector<std::string>{"sitbelts.wav"});

    // Fire bell until acknowledged.
    EngineFireWarning[1] = 1;
    Tick();
    EXPECT_TRUE(Playing(kSoundFireBell));
    FireWarningAck = 1;
    Tick();
    EXPECT_FALSE(Playing(kSoundFireBell));
    EngineFireWarning[1] = 0;
    FireWarningAck = 0;

    // Warning tones need the left main DC bus.
    StallSystemFail[0] = 1;
    GearFlags[kGearFlagWarning] = 1;
    AltitudeAlertFlag = 1;
    Tick();
    EXPECT_FALSE(Playing(kSoundStall));
    EXPECT_EQ(AltitudeAlertFlag, 1);
    Power(kPoweredLeftMainDc);
    Tick();
    EXPECT_TRUE(Playing(kSoundStall));
    EXPECT_TRUE(Playing(kSoundTriangle2000));
    EXPECT_EQ(Volume(kSoundTriangle2000), SoundScaleVolume(3600 - 5000));
    EXPECT_EQ(AltitudeAlertFlag, 0);
    StallSystemFail[0] = 0;
    GearFlags[kGearFlagWarning] = 0;
    AirDataFlags[3] = 1;
    Tick();
    EXPECT_FALSE(Playing(kSoundStall));
    EXPECT_FALSE(Playing(kSoundTriangle2000));
    EXPECT_TRUE(Playing(kSoundTakeoffWarning));
    AirDataFlags[3] = 0;
    StallSystemFail[0] = 0;
}

TEST_F(SoundScheme, ElectricsTestBeatsTwoOnTwoOff) {
    Start();
    Power(kPoweredLeftEssential);
    AnnunciatorTestSwitch.set(1);
    std::vector<bool> on;
    for (int t = 0; t < 8; ++t) {
        Tick();
        on.push_back(Playing(kSoundElectricsInit));
    }
    EXPECT_EQ(on, (std::vector<bool>{true, true, false, false, true, true, false, false}));
    AnnunciatorTestSwitch.set(0);
    Tick();
    Tick();
    EXPECT_FALSE(Playing(kSoundElectricsInit));
}

TEST_F(SoundScheme, WiperSweepsAndPans) {
    Start();
    Power(kPoweredLeftSecondary);
    WiperSelector = 3;
    Tick();
    EXPECT_EQ(WiperState.position, 185);
    ASSERT_TRUE(Playing(kSoundWipers));
    EXPECT_EQ(Pan(kSoundWipers), (185 - 270) * 45);
    Tick(8);
    EXPECT_EQ(WiperState.position, 290);  // 185 + 8 x 15 passes 290
    EXPECT_EQ(WiperState.direction, -1);
    Tick(9);
    EXPECT_EQ(WiperState.position, 170);
    EXPECT_EQ(WiperState.direction, 1);

    // Single sweep: out to 290, back, parked at 170.
    WiperSelector = 1;
    Tick();
    EXPECT_FALSE(Playing(kSoundWipers));
    WiperState = {170, -1};
    WiperSelector = 0;
    int highest = 0;
    for (int t = 0; t < 60; ++t) {
        Tick();
        highest = std::max(highest, WiperState.position);
    }
    EXPECT_EQ(highest, 290);
    EXPECT_EQ(WiperState.position, 170);
    Tick(5);
    EXPECT_EQ(WiperState.position, 170);

    // Unpowered: stopped.
    WiperSelector = 2;
    Tick(3);
    EXPECT_EQ(WiperState.position, 186);
    EXPECT_TRUE(Playing(kSoundWipers));
    Power(kPoweredLeftSecondary, false);
    Tick();
    EXPECT_FALSE(Playing(kSoundWipers));
}

TEST_F(SoundScheme, ForwardValveLevelIsHeldAt25) {
    Start();
    IndicatedAirspeed = 100.0f;
    PressurisationState.Differential = -2.0f;
    PressurisationState2.CabinAltitude = 5000.0f;
    Tick();
    ASSERT_TRUE(Playing(kSoundForwardValve));
    EXPECT_EQ(Frequency(kSoundForwardValve), 18000u);  // 25 x 40 + 17000
    EXPECT_EQ(Volume(kSoundForwardValve), SoundScaleVolume(714 - 5000));
    PressurisationState.Differential = 0.0f;
    Tick(120);
    EXPECT_FALSE(Playing(kSoundForwardValve));
    PressurisationState = {};
    PressurisationState2 = {};
}

TEST_F(SoundScheme, EnginesPanMirroredAndStayFiniteAtRest) {
    Start();
    Tick(3);
    for (const EngineSoundRecord& e : EngineSound) {
        EXPECT_TRUE(std::isfinite(e.load));
        EXPECT_EQ(e.rpm, 0);
    }
    Nh1State.nh = Nh2State.nh = 75.0f;
    PropPitch1 = PropPitch2 = 0.35;
    HostThrottleInput[0] = HostThrottleInput[1] = 0;
    for (int rpm = 0; rpm <= 1000; rpm += 50) {
        PropRpm[0] = PropRpm[1] = rpm;
        Tick();
    }
    Tick(80);
    ASSERT_TRUE(Playing(kSoundN1Engine1));
    ASSERT_TRUE(Playing(kSoundN1Engine2));
    EXPECT_EQ(Pan(kSoundN1Engine1), -6000);
    EXPECT_EQ(Pan(kSoundN1Engine2), 6000);
    EXPECT_EQ(Pan(kSoundPropGround1), -5000);
    EXPECT_EQ(Pan(kSoundPropGround2), 5000);
    // R has reached the propeller speed (engine 2 with its offset).
    EXPECT_EQ(EngineSound[0].rpm, 1000);
    EXPECT_EQ(EngineSound[1].rpm, 1006);
    EXPECT_EQ(Frequency(kSoundPropGround1), 28000u);
    // Shut down: the propeller sounds stop.
    Nh1State.nh = Nh2State.nh = 0.0f;
    PropRpm[0] = PropRpm[1] = 0.0;
    Tick(20);
    EXPECT_FALSE(Playing(kSoundN1Engine1));
    EXPECT_FALSE(Playing(kSoundPropGround1));
}

TEST_F(SoundScheme, SplitGroundSoundsCarryTheirEqualiser) {
    SOUND_SPLIT_PLS = 1;
    Start();
    ASSERT_NE(SoundSet[kSoundPropGroundSplit2].buffer, nullptr);
    ASSERT_NE(SoundSet[kSoundPropGroundSplit1].effect, nullptr);
    PropPitch1 = PropPitch2 = 0.35;  // 19.95 degrees
    HostThrottleInput[0] = HostThrottleInput[1] = 0;
    PowerLeverPosition[0] = PowerLeverPosition[1] = 12000;
    for (int rpm = 0; rpm <= 800; rpm += 100) {
        PropRpm[0] = PropRpm[1] = rpm;
        Tick();
    }
    Tick(40);
    ASSERT_TRUE(Playing(kSoundPropGroundSplit1));
    ASSERT_TRUE(Playing(kSoundPropGroundSplit2));
    EXPECT_EQ(Pan(kSoundPropGroundSplit1), -8000);
    EXPECT_EQ(Pan(kSoundPropGroundSplit2), 8000);
    platform::ParamEqParams eq{};
    ASSERT_EQ(platform::SoundParamEqGetAllParameters(SoundSet[kSoundPropGroundSplit1].effect, &eq),
              0);
    EXPECT_NEAR(eq.center, EngineSound[0].blade_filtered * 32.0, 32.0);
    EXPECT_NEAR(eq.gain, EngineSound[0].load * 1.3, 0.1);
    // In the air the split sounds stop.
    OnGround = 0;
    Tick();
    EXPECT_FALSE(Playing(kSoundPropGroundSplit1));
}

TEST_F(SoundScheme, TailStrikeNeedsNoseUpNearTheGround) {
    Start();
    RadioAltitude = 1.0;    // metres
    PitchAttitude = -8.5f;  // nose up
    Tick();
    EXPECT_EQ(GearFlags[kGearFlagTailStrike], 1);
    EXPECT_EQ(TakePlays(), std::vector<std::string>{"ex_tailbreak01.wav"});
    PitchAttitude = -7.5f;  // not enough with the levers back and no speed
    Tick();
    EXPECT_EQ(GearFlags[kGearFlagTailStrike], 0);
    VerticalSpeedRaw = -600;
    Tick();
    EXPECT_EQ(GearFlags[kGearFlagTailStrike], 1);
    // Repositioning clears it; above 2.5 m it is left alone.
    RemoteDisplayCountdown.store(10);
    Tick();
    EXPECT_EQ(GearFlags[kGearFlagTailStrike], 0);
    RemoteDisplayCountdown.store(0);
    RadioAltitude = 3.0;
    GearFlags[kGearFlagTailStrike] = 1;
    Tick();
    EXPECT_EQ(GearFlags[kGearFlagTailStrike], 1);
    VerticalSpeedRaw = 0;
}

TEST_F(SoundScheme, FlapSelectorAndGearThump) {
    Start();
    flight_controls_FLAPS[0] = 1;
    Tick();
    EXPECT_EQ(TakePlays(), std::vector<std::string>{"flaps_selector.wav"});
    Tick();
    EXPECT_TRUE(TakePlays().empty());

    Power(kPoweredLeftMainDc);
    HydraulicsState.GearPressure = 2500;
    GearFlags[kGearFlagUpRequest] = 1;
    Tick();
    EXPECT_EQ(TakePlays(), std::vector<std::string>{"Kmgearup.wav"});
    EXPECT_EQ(GearFlags[kGearFlagUpRequest], 0);
    HydraulicsState.GearPressure = 0;
}

TEST_F(SoundScheme, AutopilotDisconnectSoundFollowsTheSelfTest) {
    Start();
    TakeEvents();
    ApDisconnectSoundSelect();  // no test running: the long sound
    std::vector<Event> events = TakeEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().file, "ap_disc_long.wav");
    EXPECT_EQ(Volume(kSoundApDisconnect), SoundScaleVolume(-1000));
    ApDisconnectSoundSelect();  // unchanged: nothing reloaded
    EXPECT_TRUE(TakeEvents().empty());
    FGC_comp_FGC1_system_test_timer = 5;
    ApDisconnectSoundSelect();
    events = TakeEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().file, "ap_disc_short.wav");
}

}  // namespace
}  // namespace zu
