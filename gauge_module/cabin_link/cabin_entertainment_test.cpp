#include "cabin_link/cabin_entertainment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cabin_link/cabin_test_support.h"

namespace zu {
namespace {

using cabin_test::CabinSoundTest;

// ---------------------------------------------------------------------------
// Audio routing

TEST(AudioRouting, FoldsThePanelIntoTheRadioMask) {
    for (auto& m : MarkerPanelSwitches) m = 0;
    for (auto& a : AudioPanelSwitches) a = 0;
    DisplayFormatFlags1[0] = 0;
    DisplayControlState2 = {};
    AudioPanelToggle = 1;
    UpdateAudioRouting();
    EXPECT_EQ(AudioRoutingMask, 128);
    EXPECT_EQ(AudioPanelVolume, 0);

    MarkerPanelSwitches[2] = 1;  // button 2
    UpdateAudioRouting();
    EXPECT_EQ(AudioRoutingMask, 224);
    AudioPanelToggle = 0;  // button 1 off
    UpdateAudioRouting();
    EXPECT_EQ(AudioRoutingMask, 64);
    EXPECT_EQ(AudioPanelVolume, 1);  // the knob shows position 1

    AudioPanelSwitches[8] = 1;  // button 12
    UpdateAudioRouting();
    EXPECT_EQ(AudioRoutingMask, 64 + 4);
    AudioPanelSwitches[3] = 1;  // button 7, neither display toggle
    UpdateAudioRouting();
    EXPECT_EQ(AudioRoutingMask, 64 + 4 + 24);
    DisplayFormatFlags1[0] = 1;  // side 1 alone
    UpdateAudioRouting();
    EXPECT_EQ(AudioRoutingMask, 64 + 4 + 8);
    DisplayControlState2.Transfer[0] = 1;  // both
    UpdateAudioRouting();
    EXPECT_EQ(AudioRoutingMask, 64 + 4 + 24);
    DisplayFormatFlags1[0] = 0;  // side 2 alone
    UpdateAudioRouting();
    EXPECT_EQ(AudioRoutingMask, 64 + 4 + 16);

    AudioPanelSwitches[5] = 1;
    AudioPanelSwitches[10] = 1;
    UpdateAudioRouting();
    EXPECT_EQ(AudioRoutingMask, 64 + 4 + 16 + 2 + 1);

    // Switch [12] routes COM 1 like button 1 and the NAV selection.
    for (auto& a : AudioPanelSwitches) a = 0;
    MarkerPanelSwitches[2] = 0;
    DisplayControlState2 = {};
    AudioPanelSwitches[12] = 1;
    UpdateAudioRouting();
    EXPECT_EQ(AudioRoutingMask, 128 + 24);
    AudioPanelSwitches[12] = 0;
    AudioPanelToggle = 1;
}

// ---------------------------------------------------------------------------
// Sequencer

using Sequencer = CabinSoundTest;

TEST_F(Sequencer, AScriptedFlightWalksTheStates) {
    std::vector<int32_t> selections;
    std::vector<int32_t> states;
    auto run = [&](int ticks) {
        for (int i = 0; i < ticks; ++i) {
            const uint32_t counter = TickCounter.load() + 1;
            FrameChangeBits.store(counter ^ TickCounter.load());
            TickCounter.store(counter);
            FlightPhaseSequencer();
            if (states.empty() || states.back() != FlightPhaseState.state) {
                states.push_back(FlightPhaseState.state);
            }
            // The announcement is said and ends.
            if (EntertainmentSelection != 0) {
                selections.push_back(EntertainmentSelection);
                EntertainmentSelection = 0;
            }
        }
    };
    run(10);
    EXPECT_EQ(FlightPhaseState.state, 0);
    RightPanelLights[0] = 255;  // seat belts on
    run(161);
    EXPECT_EQ(CabinMusicSwitch, 0);
    run(1);
    EXPECT_EQ(CabinMusicSwitch, 1);  // 160 ticks into the boarding countdown
    run(1290);
    EXPECT_EQ(FlightPhaseState.state, 1);
    Nh1State.nh = Nh2State.nh = 60.0f;  // engines started
    run(40);
    EXPECT_EQ(FlightPhaseState.state, 3);       // 2 passes at once
    Powerplants_controls_throttle_limiter = 0;  // take-off
    run(90);
    EXPECT_EQ(FlightPhaseState.state, 4);
    EXPECT_EQ(CabinMusicSwitch, 0);
    OnGround = 0;
    HostGearHandle = 0;
    PropRpm[0] = 1000.0;
    RadioAltitudeReadoutValue = 1500;
    Altitude = 1500.0f;
    run(90);
    EXPECT_EQ(FlightPhaseState.state, 5);
    Altitude = 12000.0f;
    FGC_comp_AP1_vertical_mode = 1;  // altitude hold: cruise
    run(4810);
    EXPECT_EQ(FlightPhaseState.state, 6);
    EXPECT_EQ(FlightPhaseState.highest_altitude, 12000.0f);
    Altitude = 9000.0f;  // descent
    run(60);
    EXPECT_EQ(FlightPhaseState.state, 7);
    flight_controls_FLAPS[0] = 2;
    run(490);
    EXPECT_EQ(FlightPhaseState.state, 8);
    OnGround = 1;
    for (int i = 0; i < 700 && FlightPhaseState.state != 9; ++i) run(1);
    EXPECT_EQ(FlightPhaseState.state, 9);
    EXPECT_EQ(CabinMusicSwitch, 1);
    int after = 0;
    while (EntertainmentOn != 0 && after < 100) {
        run(1);
        ++after;
    }
    EXPECT_EQ(after, 48);
    EXPECT_EQ(FlightPhaseState.state, 0);
    run(20);
    EXPECT_EQ(FlightPhaseState.state, 0);

    EXPECT_EQ(states, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0}));
    EXPECT_EQ(selections, (std::vector<int32_t>{1, 2, 3, 12, 4, 13, 6, 14, 7}));
}

TEST_F(Sequencer, OnlyTheClimbCountdownIsDroppedOnALapse) {
    RightPanelLights[0] = 255;
    FlightPhaseState.state = 5;
    FlightPhaseState.last_state = 5;
    FGC_comp_AP1_vertical_mode = 1;
    FlightPhaseSequencer();
    FlightPhaseSequencer();
    EXPECT_EQ(FlightPhaseState.countdown, 4799);
    FGC_comp_AP1_vertical_mode = 5;
    FlightPhaseSequencer();
    EXPECT_EQ(FlightPhaseState.countdown, 0);

    // State 7's countdown runs on once armed.
    FlightPhaseState.state = 7;
    FlightPhaseState.last_state = 7;
    flight_controls_FLAPS[0] = 1;
    FlightPhaseSequencer();
    flight_controls_FLAPS[0] = 0;
    for (int i = 0; i < 500; ++i) FlightPhaseSequencer();
    EXPECT_EQ(FlightPhaseState.state, 8);
}

TEST_F(Sequencer, HighRadioAltitudeWithBeltsOffJumpsToCruiseAndTurbulenceCalls) {
    FlightPhaseState.state = 1;
    FlightPhaseState.last_state = 1;
    RadioAltitudeReadoutValue = 3500;
    OnGround = 0;
    FlightPhaseSequencer();
    EXPECT_EQ(FlightPhaseState.state, 5);
    EXPECT_EQ(EntertainmentSelection, 4);
    EntertainmentSelection = 0;

    FGC_comp_AP1_vertical_mode = 1;
    HostFeed31C8 = 2.0;
    for (int i = 0; i < 40; ++i) {
        const uint32_t counter = TickCounter.load() + 1;
        FrameChangeBits.store(counter ^ TickCounter.load());
        TickCounter.store(counter);
        FlightPhaseSequencer();
    }
    EXPECT_GT(FlightPhaseState.turbulence, 0.2f);
    RightPanelLights[0] = 255;
    FlightPhaseSequencer();
    EXPECT_EQ(EntertainmentSelection, 5);
}

TEST_F(Sequencer, MasterOffRestsInStateZero) {
    FlightPhaseState.state = 6;
    FlightPhaseState.countdown = 12;
    EntertainmentOn = 0;
    FlightPhaseSequencer();
    EXPECT_EQ(FlightPhaseState.state, 0);
    EXPECT_EQ(FlightPhaseState.countdown, 0);
}

// ---------------------------------------------------------------------------
// Announcements and music

class CabinPlayer : public CabinSoundTest {
  protected:
    void SetUp() override {
        CabinSoundTest::SetUp();
        ENTERTAINMENT = 1;
        EntertainmentOn = 0;  // the sequencer rests
    }
    void WriteAnnouncement(const char* name, uint32_t frames) {
        WriteTone(std::string("entertainment/Announcements/") + name, frames);
    }
    void WriteSong(const std::string& name, uint32_t frames) {
        WriteTone("entertainment/Songs/" + name, frames);
    }
};

TEST_F(CabinPlayer, AProgrammePlaysItsAnnouncementAndPausesTheMusic) {
    WriteAnnouncement("FA_Safety.wav", 22050);  // one second
    WriteSong("a.wav", 22050 * 30);
    Start();
    ASSERT_EQ(CabinMusic.enabled, 1);
    ASSERT_EQ(CabinMusic.count, 1);
    TakeEvents();
    Tick();
    EntertainmentSelection = 3;
    Tick();
    ASSERT_TRUE(Playing(kSoundAnnouncement));
    EXPECT_EQ(Volume(kSoundAnnouncement), SoundScaleVolume(500));  // full level
    EXPECT_EQ(CabinMusic.paused, 1);
    bool paused_logged = false;
    for (const Event& e : TakeEvents()) {
        paused_logged =
            paused_logged || (e.file == "music:a.wav" && e.kind == platform::AudioEventKind::Pause);
    }
    EXPECT_TRUE(paused_logged);
    Tick(20);  // 1.28 s
    EXPECT_EQ(EntertainmentSelection, 0);
    EXPECT_EQ(SoundSet[kSoundAnnouncement].buffer, nullptr);
    Tick();
    EXPECT_EQ(CabinMusic.paused, 0);
}

TEST_F(CabinPlayer, AMissingFileClearsItsSelectionAndEightToTenStay) {
    Start();
    EntertainmentSelection = 2;  // no file written
    Tick();
    EXPECT_EQ(EntertainmentSelection, 0);
    EntertainmentSelection = 9;
    Tick(5);
    EXPECT_EQ(EntertainmentSelection, 9);
    EXPECT_FALSE(Playing(kSoundAnnouncement));
}

TEST_F(CabinPlayer, MusicVolumeAndSongsAdvanceAtTheTenSecondCheck) {
    MUSIC_VOLUME = 128;
    WriteSong("one.wav", 22050 * 3);
    WriteSong("two.wav", 22050 * 3);
    WriteSong("three.wav", 22050 * 3);
    std::filesystem::create_directories(dir_ / "entertainment/Songs/folder.wav");
    Start();
    ASSERT_EQ(CabinMusic.count, 3);  // ".", ".." and the folder are no songs
    const std::vector<Event> start = TakeEvents();
    std::string first;
    int32_t volume = 0;
    for (const Event& e : start) {
        if (e.kind == platform::AudioEventKind::Play) first = e.file;
        if (e.kind == platform::AudioEventKind::Volume && e.file.rfind("music:", 0) == 0) {
            volume = e.value;
        }
    }
    EXPECT_EQ(volume, 128 * 3900 / 256 - 5000);  // unscaled by SOUND_VOLUME
    EXPECT_EQ(first.rfind("music:", 0), 0u);     // music starts with the sound system

    // 3-second songs change only at the 10 s check.
    Tick(150);  // 9.6 s
    EXPECT_TRUE(TakePlays().empty());
    Tick(10);
    const std::vector<std::string> plays = TakePlays();
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_NE(plays[0], first);

    // Switched off, a song change leaves it off.
    CabinMusicSwitch = 1;
    Tick();
    CabinMusicSwitch = 0;
    Tick();
    EXPECT_EQ(CabinMusic.running, 0);
    Tick(160);
    for (const Event& e : TakeEvents()) {
        if (e.file.rfind("music:", 0) == 0) {
            EXPECT_NE(e.kind, platform::AudioEventKind::Play);
        }
    }
}

TEST_F(CabinPlayer, NoSongsStillEnablesMusicAndShutdownKillsTheTimer) {
    std::filesystem::create_directories(dir_ / "entertainment/Songs");
    const uint32_t timers = platform::WindowTimerCount();
    Start();
    EXPECT_EQ(CabinMusic.enabled, 1);
    EXPECT_EQ(CabinMusic.count, 0);
    EXPECT_EQ(platform::WindowTimerCount(), timers + 1);
    CabinMusicSwitch = 1;
    Tick(170);
    EXPECT_TRUE(TakePlays().empty());
    SoundShutdown();
    EXPECT_EQ(platform::WindowTimerCount(), timers);
    EXPECT_EQ(CabinMusic.enabled, 0);
}

TEST_F(CabinPlayer, OverlongSongPathsCountAsMissing) {
    WriteSong(std::string(120, 'x') + ".wav", 22050);
    Start();
    EXPECT_EQ(CabinMusic.count, 1);
    EXPECT_TRUE(TakePlays().empty());
}

TEST_F(CabinPlayer, TheOrderIsAPermutation) {
    for (int i = 0; i < 9; ++i) WriteSong("s" + std::to_string(i) + ".wav", 100);
    Start();
    ASSERT_EQ(CabinMusic.count, 9);
    std::vector<bool> seen(9, false);
    for (int i = 0; i < 9; ++i) {
        ASSERT_GE(CabinMusic.order[i], 0);
        ASSERT_LT(CabinMusic.order[i], 9);
        seen[CabinMusic.order[i]] = true;
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 9);
}

}  // namespace
}  // namespace zu
