// Sound end to end: the module's sound objects, loaded from the sample
// aircraft's generated sound folder, played by the simulator stand-in in
// lockstep; the captured mix must hold sound exactly where something played.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "core/fsuipc_client.h"
#include "core/module_frame.h"
#include "core/sound_objects.h"
#include "e2e_support.h"
#include "module_state.h"
#include "zu/platform/paths.h"
#include "zu/platform/riff_reader.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

namespace fs = std::filesystem;
using simhost::Simulator;
using simhost::SimulatorConfig;

constexpr int kFps = 30;

// Sample range of frame n's rendering (the simulated time between the end
// of frame n - 1 and the end of frame n).
size_t FrameStart(int n) {
    return size_t((n - 1) * 1000 / kFps) * 44100 / 1000;
}
size_t FrameEnd(int n) {
    return size_t(n * 1000 / kFps) * 44100 / 1000;
}

// Largest absolute sample (either channel) of stereo frames [from, to).
int Peak(const std::vector<int16_t>& audio, size_t from, size_t to) {
    int peak = 0;
    for (size_t i = 2 * from; i < 2 * to && i < audio.size(); ++i)
        peak = std::max(peak, std::abs(int{audio[i]}));
    return peak;
}

TEST(SoundEndToEnd, CapturedMixHoldsTheSoundsWherePlayed) {
    RestoreLoadedModuleState();  // whatever earlier flights left
    TempDir tmp;
    SimulatorConfig cfg;
    cfg.aircraft_dir = CopySampleAircraft(tmp.path());
    cfg.fps = kFps;
    cfg.capture_audio = true;
    Simulator sim(cfg);
    ASSERT_NO_FATAL_FAILURE(StartLinkedModule(sim));
    // The engine alone: the sound scheme's tick would take the bell over.
    FeatureDisableMask |= kSkipSoundTick;

    auto run_to = [&](int frame) {
        while (static_cast<int>(sim.frame()) < frame) sim.RunFrame();
    };
    run_to(30);
    ASSERT_EQ(FsuipcLinkReady.load(), 1);

    // Loaded the way the sound set loads them: below the aircraft folder.
    SoundObject& click = SoundSet[kSoundClickTiny];
    SoundObject& bell = SoundSet[kSoundFireBell];
    const std::string sound = std::string(AircraftFolderPath) + "sound\\";
    ASSERT_EQ(SoundObjectCreate(&click, (sound + "click_tiny.wav").c_str()), 0);
    ASSERT_EQ(SoundObjectCreate(&bell, (sound + "electrical\\firebell1.wav").c_str()), 0);
    const std::set<uint32_t> ours = {platform::SoundBufferId(click.buffer),
                                     platform::SoundBufferId(bell.buffer)};

    PlaySoundObject(&click, 4995, 22050, 1333, 0);  // after frame 30: heard in frame 31
    run_to(60);
    PlaySoundObject(&bell, 4000, 22050, 0, 1);  // rings through frames 61..90
    run_to(90);
    PlaySoundObject(&bell, 0, 22050, 0, 1);  // stopped
    run_to(120);

    const std::vector<int16_t>& audio = sim.AudioCapture();
    ASSERT_EQ(audio.size(), FrameEnd(120) * 2);
    // The click: 15 ms at the start of frame 31, louder on the right.
    EXPECT_GT(Peak(audio, FrameStart(31), FrameStart(31) + 700), 3000);
    // The bell: in every frame while it rings.
    for (int n = 61; n <= 90; ++n) EXPECT_GT(Peak(audio, FrameStart(n), FrameEnd(n)), 3000) << n;

    // Every play, stop and change is listed with its frame.
    const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(sim, nullptr));
    EXPECT_EQ(state["sounds"]["mode"], "loopback");
    std::vector<std::string> seen;
    bool others_played = false;
    for (const nlohmann::json& e : state["sounds"]["events"]) {
        if (ours.count(e["buffer"].get<uint32_t>()) == 0) {
            others_played = others_played || e["event"] == "play";
            continue;
        }
        seen.push_back(e["sound"].get<std::string>() + " " + e["event"].get<std::string>() + " " +
                       std::to_string(e["value"].get<int>()) + " @" +
                       std::to_string(e["frame"].get<int>()));
    }
    const int32_t neutral = SoundScaleVolume(0);  // set by creation
    const std::vector<std::string> expected = {
        "click_tiny.wav volume " + std::to_string(neutral) + " @30",
        "electrical\\firebell1.wav volume " + std::to_string(neutral) + " @30",
        "click_tiny.wav frequency 22050 @30",
        "click_tiny.wav pan 1333 @30",
        "click_tiny.wav volume " + std::to_string(SoundScaleVolume(-5)) + " @30",
        "click_tiny.wav play 0 @30",
        "click_tiny.wav end 0 @31",
        "electrical\\firebell1.wav frequency 22050 @60",
        "electrical\\firebell1.wav volume " + std::to_string(SoundScaleVolume(-1000)) + " @60",
        "electrical\\firebell1.wav play 1 @60"};
    ASSERT_EQ(seen.size(), expected.size() + 1);
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(seen[i], expected[i]);
    // Last, the stop, with the position the bell stopped at.
    EXPECT_EQ(seen.back().rfind("electrical\\firebell1.wav stop ", 0), 0u) << seen.back();
    EXPECT_EQ(seen.back().substr(seen.back().find('@')), "@90");

    // Silence everywhere else, unless the module itself played something.
    if (!others_played) {
        EXPECT_EQ(Peak(audio, 0, FrameEnd(30)), 0);
        EXPECT_EQ(Peak(audio, FrameStart(31) + 1000, FrameEnd(60)), 0);
        EXPECT_EQ(Peak(audio, FrameStart(92), FrameEnd(120)), 0);
    }

    // The same mix as a WAV file.
    const fs::path wav = tmp.path() / "mix.wav";
    std::string error;
    ASSERT_TRUE(sim.WriteAudio(wav, &error)) << error;
    platform::MmioFile* f = platform::MmioOpen(platform::FromHostPath(wav.string()).c_str());
    ASSERT_NE(f, nullptr);
    platform::ChunkInfo riff{}, fmt{}, data{};
    ASSERT_EQ(platform::MmioDescend(f, &riff, nullptr, 0), platform::kMmioOk);
    fmt.id = platform::kFourCCFmt;
    ASSERT_EQ(platform::MmioDescend(f, &fmt, &riff, platform::kMmioFindChunk), platform::kMmioOk);
    uint8_t raw[16];
    ASSERT_EQ(platform::MmioRead(f, raw, 16), 16);
    const platform::WaveFormat format = platform::ReadWaveFormat(raw, 16);
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.samples_per_sec, 44100u);
    EXPECT_EQ(format.bits_per_sample, 16);
    platform::MmioAscend(f, &fmt);
    data.id = platform::kFourCCData;
    ASSERT_EQ(platform::MmioDescend(f, &data, &riff, platform::kMmioFindChunk), platform::kMmioOk);
    EXPECT_EQ(data.size, audio.size() * 2);
    platform::MmioClose(f);

    SoundObjectFree(&click);
    SoundObjectFree(&bell);
    sim.Stop();
}

TEST(SoundEndToEnd, ProgramWritesTheMixAndChecksItsOptions) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const fs::path wav = tmp.path() / "out" / "audio.wav";
    const ProcessResult r =
        RunSimhost({"--aircraft", aircraft.string(), "--seconds", "1", "--audio-out", wav.string(),
                    "--state-json", (tmp.path() / "state.json").string()});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    // One second of 44.1 kHz stereo 16-bit after the 44-byte header.
    EXPECT_EQ(fs::file_size(wav), 44u + 44100u * 4u);
    const nlohmann::json state = ReadJson(tmp.path() / "state.json");
    EXPECT_EQ(state["sounds"]["mode"], "loopback");
    EXPECT_TRUE(state["sounds"]["events"].is_array());

    EXPECT_EQ(
        RunSimhost({"--aircraft", aircraft.string(), "--no-audio", "--audio-out", wav.string()})
            .exit_code,
        2);
    EXPECT_EQ(
        RunSimhost({"--aircraft", aircraft.string(), "--realtime", "--audio-out", wav.string()})
            .exit_code,
        2);
    const ProcessResult silent =
        RunSimhost({"--aircraft", aircraft.string(), "--seconds", "0.5", "--no-audio",
                    "--state-json", (tmp.path() / "silent.json").string()});
    ASSERT_EQ(silent.exit_code, 0) << silent.err;
    EXPECT_EQ(ReadJson(tmp.path() / "silent.json")["sounds"]["mode"], "silent");
}

// On the real clock simhost probes the audio device quietly (whatever the
// machine has, the audio libraries print nothing) and says once what it uses.
TEST(SoundEndToEnd, RealTimeSaysOnceWhichDeviceItUses) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    // The instructor link off: whether another program holds its port is
    // no concern of this test (simhost would say so on stderr).
    WriteFile(aircraft / "ini" / "Kvx4f700.ini", "[Dirarov]\r\nSTAMP=15\r\nNETWORK_SERVER=0\r\n");
    const ProcessResult r =
        RunSimhost({"--aircraft", aircraft.string(), "--realtime", "--seconds", "0.1",
                    "--state-json", (tmp.path() / "state.json").string()});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    size_t lines = 0;
    for (size_t at = r.out.find("audio: "); at != std::string::npos;
         at = r.out.find("audio: ", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, 1u) << r.out;
    EXPECT_TRUE(r.out.find("audio: none found, mixing to memory\n") != std::string::npos ||
                r.out.find("audio: playing on the machine's audio device\n") != std::string::npos)
        << r.out;
}

}  // namespace
}  // namespace zu::e2e
