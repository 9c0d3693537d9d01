// End to end: the audio and entertainment panels clicked in the stand-in,
// the radio-audio mask the simulator receives, the cockpit and cabin sounds
// the module plays, and a scripted flight rendered with --audio-out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "cabin_link/cabin_entertainment.h"
#include "cabin_link/sound_scheme.h"
#include "core/cabin_doors.h"
#include "core/fsuipc_client.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/settings_file.h"
#include "core/sound_objects.h"
#include "e2e_support.h"
#include "instruments/audio_panel.h"
#include "instruments/audio_panel_layout.h"
#include "module_state.h"
#include "zu/platform/paths.h"
#include "zu/platform/riff_reader.h"
#include "zu/simhost/gauge_renderer.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

namespace fs = std::filesystem;

class CabinAudio : public testing::Test {
  protected:
    void Start(const std::string& settings) {
        aircraft_ = CopySampleAircraft(tmp_.path());
        WriteFile(aircraft_ / "ini" / "Kvx4f700.ini",
                  "[Dirarov]\nSTAMP=15\nNETWORK_SERVER=0\nSOUND_VOLUME=255\nMUSIC VOLUME=255\n" +
                      settings);
        RestoreLoadedModuleState();
        simhost::SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.capture_audio = true;
        sim_ = std::make_unique<simhost::Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
        for (int i = 0; i < 60 && (HostIoStartDelay > 0 || FsuipcLinkReady == 0); ++i) Frames(1);
        Frames(3);
        ASSERT_EQ(SoundSystemStarted, 1);
    }
    void TearDown() override {
        if (sim_) sim_->Stop();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) sim_->RunFrame();
    }
    void Click(const char* gauge, int rect) {
        simhost::GaugeInstance* g = sim_->FindGauge(gauge);
        ASSERT_NE(g, nullptr) << gauge;
        std::string error;
        ASSERT_TRUE(sim_->Click(*g, rect, false, &error)) << error;
        Frames(3);
    }
    uint8_t Mask() const {
        uint8_t v = 0;
        sim_->fsuipc().Peek(0x3122, &v, 1);
        return v;
    }
    const simhost::ElementState& Element(const char* gauge, int k) {
        return sim_->FindGauge(gauge)->elements.at(static_cast<std::size_t>(k));
    }
    nlohmann::json Sounds() {
        return nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr))["sounds"]["events"];
    }

    TempDir tmp_;
    fs::path aircraft_;
    std::unique_ptr<simhost::Simulator> sim_;
};

// AUDIO_Panel rectangles: 0 parent, 1/2 knob, 3.. the buttons in order,
// 17/18 the switches.
constexpr int ButtonRect(int button) {
    return 2 + button;  // button 1..14
}

TEST_F(CabinAudio, AudioPanelClicksRouteTheRadios) {
    ASSERT_NO_FATAL_FAILURE(Start(""));
    EXPECT_EQ(Mask(), 128);  // at rest: COM 1
    Click("AUDIO_Panel", ButtonRect(2));
    EXPECT_EQ(Mask(), 224);
    Click("AUDIO_Panel", ButtonRect(1));
    EXPECT_EQ(Mask(), 64);
    // The knob shows position 1 (36 degrees from its first mark) while
    // button 2 is on and button 1 off.
    EXPECT_DOUBLE_EQ(Element("AUDIO_Panel", 1).value, 36.0);
    Click("AUDIO_Panel", ButtonRect(12));
    EXPECT_EQ(Mask(), 64 + 4);
    Click("AUDIO_Panel", ButtonRect(7));
    EXPECT_EQ(Mask(), 64 + 4 + 24);
    // Lamps: button 1 out, buttons 2, 7 and 12 lit.
    EXPECT_FALSE(Element("AUDIO_Panel", 3).hidden);
    EXPECT_TRUE(Element("AUDIO_Panel", 21).hidden);
    EXPECT_TRUE(Element("AUDIO_Panel", 4).hidden);
    EXPECT_FALSE(Element("AUDIO_Panel", 22).hidden);
    EXPECT_FALSE(Element("AUDIO_Panel", 27).hidden);
    EXPECT_FALSE(Element("AUDIO_Panel", 32).hidden);

    // The clicks play at their loaded level and the panel's pan.
    int clicks = 0;
    int32_t volume = 0;
    int32_t pan = 0;
    for (const auto& e : Sounds()) {
        if (e["sound"] != "click_tiny.wav") continue;
        if (e["event"] == "play") ++clicks;
        if (e["event"] == "volume") volume = e["value"].get<int32_t>();
        if (e["event"] == "pan") pan = e["value"].get<int32_t>();
    }
    EXPECT_EQ(clicks, 4);
    EXPECT_EQ(volume, -3008);
    EXPECT_EQ(pan, 1365);
}

// The knob drawn at its design size: the pointer's index mark lies along
// the direction of its position's mark on the scale (the first at nine
// o'clock, position 1 36 degrees clockwise from it) and not along the
// other's.
TEST_F(CabinAudio, AudioKnobPointerPointsAtItsPositionsMark) {
    namespace ap = audio_panels;
    ASSERT_NO_FATAL_FAILURE(Start(""));
    // Drawn undistorted: the sample panel places the gauge as high as it is
    // wide.
    simhost::GaugeInstance g = *sim_->FindGauge("AUDIO_Panel");
    g.height = g.width * ap::kAudioHeight / ap::kAudioWidth;
    simhost::GaugeRenderer renderer(*sim_);
    auto along = [&](double angle) {
        g.elements = sim_->FindGauge("AUDIO_Panel")->elements;
        cairo_surface_t* s =
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, ap::kAudioWidth, ap::kAudioHeight);
        cairo_t* cr = cairo_create(s);
        renderer.RenderGauge(cr, g, static_cast<double>(ap::kAudioWidth) / g.width, 1.0);
        cairo_destroy(cr);
        cairo_surface_flush(s);
        const double b = RadialBrightness(s, ap::kAudioKnobX, ap::kAudioKnobY, angle, 11, 22);
        cairo_surface_destroy(s);
        return b;
    };
    constexpr double kMark0 = -90.0;
    constexpr double kMark1 = -90.0 + 36.0;
    ASSERT_EQ(AudioPanelVolume, 0);
    EXPECT_GT(along(kMark0), 150);
    EXPECT_LT(along(kMark1), 100);
    Click("AUDIO_Panel", ButtonRect(2));
    Click("AUDIO_Panel", ButtonRect(1));
    ASSERT_EQ(AudioPanelVolume, 1);
    EXPECT_GT(along(kMark1), 150);
    EXPECT_LT(along(kMark0), 100);
}

TEST_F(CabinAudio, EntertainmentPanelLampsFollowItsButtons) {
    ASSERT_NO_FATAL_FAILURE(Start(""));
    auto lit = [&] {
        std::vector<int> shown;
        for (int k = 1; k <= 13; ++k) {
            if (!Element("ENTERTAINMENT_Panel", k).hidden) shown.push_back(k);
        }
        return shown;
    };
    EXPECT_EQ(lit(), std::vector<int>{1});  // on, nothing selected
    Click("ENTERTAINMENT_Panel", 2 + 4);    // programme 5
    EXPECT_EQ(lit(), (std::vector<int>{1, 6}));
    Click("ENTERTAINMENT_Panel", 9 + 2);  // programme 13
    EXPECT_EQ(lit(), (std::vector<int>{1, 11}));
    Click("ENTERTAINMENT_Panel", 13);  // music
    Click("ENTERTAINMENT_Panel", 1);   // master off
    EXPECT_EQ(lit(), (std::vector<int>{11, 13}));
    // Without ENTERTAINMENT the selection stays (nothing plays it).
    EXPECT_EQ(EntertainmentSelection, 13);
}

TEST_F(CabinAudio, WindAndCabinAmbience) {
    ASSERT_NO_FATAL_FAILURE(Start(""));
    // Parked with the doors open: the cabin ambience loops.
    for (int i = 0; i < 300 && DoorOpenLevel < 100; ++i) Frames(1);
    ASSERT_EQ(DoorOpenLevel, 100);
    EXPECT_TRUE(SoundPlaying(kSoundCabinAmbience));
    EXPECT_FALSE(SoundPlaying(kSoundWind));
    Frames(4);
    int32_t ambience = 0;
    platform::SoundBufferGetVolume(SoundSet[kSoundCabinAmbience].buffer, &ambience);
    EXPECT_EQ(ambience, -3208);
    // A pinned airspeed: the wind (the windmilling engines close the doors).
    sim_->SetVariable(61, 200.0);
    Frames(4);
    ASSERT_TRUE(SoundPlaying(kSoundWind));
    int32_t volume = 0;
    int32_t frequency = 0;
    for (const auto& e : Sounds()) {
        if (e["sound"] != "environment\\wind1.wav") continue;
        if (e["event"] == "volume") volume = e["value"].get<int32_t>();
        if (e["event"] == "frequency") frequency = e["value"].get<int32_t>();
    }
    EXPECT_EQ(volume, -538);
    EXPECT_EQ(frequency, 23000);
}

TEST_F(CabinAudio, AProgrammeButtonPlaysItsAnnouncementOverTheMusic) {
    ASSERT_NO_FATAL_FAILURE(Start("ENTERTAINMENT=1\n"));
    ASSERT_EQ(CabinMusic.enabled, 1);
    ASSERT_EQ(CabinMusic.count, 3);       // the sample aircraft's tunes
    EntertainmentOn = 0;                  // the sequencer rests; the panel alone chooses
    Click("ENTERTAINMENT_Panel", 2 + 3);  // programme 4
    ASSERT_TRUE(SoundPlaying(kSoundAnnouncement));
    EXPECT_EQ(CabinMusic.paused, 1);
    for (int i = 0; i < 30 * 30 && EntertainmentSelection != 0; ++i) Frames(1);
    EXPECT_EQ(EntertainmentSelection, 0);
    Frames(2);
    EXPECT_EQ(CabinMusic.paused, 0);

    std::vector<std::string> music;
    int32_t music_volume = 0;
    for (const auto& e : Sounds()) {
        const std::string sound = e["sound"];
        if (sound.rfind("music:", 0) != 0) continue;
        if (e["event"] == "volume") {
            music_volume = e["value"].get<int32_t>();
        } else {
            music.push_back(e["event"]);
        }
    }
    // Unscaled by SOUND_VOLUME: 255 x 3900 / 256 - 5000.
    EXPECT_EQ(music_volume, -1116);
    ASSERT_GE(music.size(), 3u);
    EXPECT_EQ(music[0], "play");  // music starts with the sound system
    EXPECT_EQ(music[1], "pause");
    EXPECT_EQ(music[2], "play");
}

// One scripted flight rendered by the simhost program: every play the state
// file logs is heard in the mix.
TEST(CabinAudioProgram, EveryLoggedPlayIsHeardInTheMix) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    WriteFile(aircraft / "ini" / "Kvx4f700.ini",
              "[Dirarov]\nSTAMP=15\nNETWORK_SERVER=0\nENTERTAINMENT=1\nSOUND_VOLUME=255\n");
    const fs::path scenario = tmp.path() / "flight.txt";
    // Start-up (batteries, both engines started from the start panel), a
    // programme chosen, the climb (flown by the stand-in from
    // 2000 ft), gear and flaps for the approach, a landing roll (pinned on
    // the ground at 30 m/s).
    WriteFile(scenario,
              "at 1 click AUDIO_Panel 4 left\n"
              "at 1 click battery_panel 3\n"
              "at 1.2 click battery_panel 2\n"
              "at 1.4 click battery_panel 1\n"
              "at 1.6 click battery_panel 6\n"
              "at 2 condition both 0\n"
              "at 2 click EngineStartPanel 2\n"
              "at 2.2 click EngineStartPanel 5\n"
              "at 2.4 click EngineStartPanel 7\n"
              "at 3 click EngineStartPanel 10\n"
              "at 31 click EngineStartPanel 8\n"
              "at 32 click EngineStartPanel 9\n"
              "at 33 click EngineStartPanel 10\n"
              "at 20 snapshot early\n"
              "at 45 condition both 1\n"
              "at 58 click EngineStartPanel 8\n"
              "at 30 click ENTERTAINMENT_Panel 5 left\n"
              "at 50 airborne 2000 150\n"
              "at 65 gear down\n"
              "at 70 flaps 2\n"
              "at 80 var 60 1\n"
              "at 80 offset 0x02B4 u32 1966080\n");
    const fs::path wav = tmp.path() / "mix.wav";
    const fs::path state = tmp.path() / "state.json";
    const ProcessResult r =
        RunSimhost({"--aircraft", aircraft.string(), "--seconds", "95", "--scenario",
                    scenario.string(), "--audio-out", wav.string(), "--state-json", state.string(),
                    "--snapshot-dir", (tmp.path() / "snapshots").string(), "--fps", "30"});
    ASSERT_EQ(r.exit_code, 0) << r.err;

    platform::MmioFile* f = platform::MmioOpen(platform::FromHostPath(wav.string()).c_str());
    ASSERT_NE(f, nullptr);
    platform::ChunkInfo riff{}, data{};
    ASSERT_EQ(platform::MmioDescend(f, &riff, nullptr, 0), platform::kMmioOk);
    data.id = platform::kFourCCData;
    ASSERT_EQ(platform::MmioDescend(f, &data, &riff, platform::kMmioFindChunk), platform::kMmioOk);
    std::vector<int16_t> audio(data.size / 2);
    ASSERT_EQ(platform::MmioRead(f, audio.data(), static_cast<int32_t>(data.size)),
              static_cast<int32_t>(data.size));
    platform::MmioClose(f);

    // The state file keeps the recent window of sound events; the early
    // snapshot's state file holds the start-up's.
    const nlohmann::json early = ReadJson(tmp.path() / "snapshots" / "early.json");
    const nlohmann::json json = ReadJson(state);
    int plays = 0;
    std::vector<std::string> kinds;
    std::vector<nlohmann::json> events = early["sounds"]["events"];
    for (const auto& e : json["sounds"]["events"]) events.push_back(e);
    for (const auto& e : events) {
        if (e["event"] != "play") continue;
        ++plays;
        const int frame = e["frame"].get<int>();
        // Frame n renders the 1/30 s that ends with it; a sound started in
        // frame n is heard there or in the frame after.
        const size_t from = size_t((frame - 1) * 1000 / 30) * 44100 / 1000;
        const size_t to = size_t((frame + 1) * 1000 / 30) * 44100 / 1000;
        int peak = 0;
        for (size_t i = 2 * from; i < 2 * to && i < audio.size(); ++i) {
            peak = std::max(peak, std::abs(int{audio[i]}));
        }
        EXPECT_GT(peak, 0) << e.dump();
        kinds.push_back(e["sound"]);
    }
    EXPECT_GT(plays, 5);
    auto played = [&](const std::string& name) {
        return std::find(kinds.begin(), kinds.end(), name) != kinds.end();
    };
    auto played_ending = [&](const std::string& tail) {
        return std::any_of(kinds.begin(), kinds.end(), [&](const std::string& k) {
            return k.size() >= tail.size() &&
                   k.compare(k.size() - tail.size(), tail.size(), tail) == 0;
        });
    };
    EXPECT_TRUE(played("click_tiny.wav"));
    EXPECT_TRUE(played("external\\env1.wav"));
    EXPECT_TRUE(played("environment\\wind1.wav"));
    EXPECT_TRUE(played("environment\\gearwind1.wav"));
    EXPECT_TRUE(played_ending("cnroll3.wav"));
    EXPECT_TRUE(played_ending("FA_SeatBeltsOff.wav"));
    EXPECT_TRUE(played_ending(".mp3"));
}

}  // namespace
}  // namespace zu::e2e
