#include "zu/platform/media_graph.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <future>
#include <numbers>
#include <string>
#include <vector>

#include "zu/platform/load_problems.h"
#include "zu/platform/paths.h"
#include "zu/platform/riff_reader.h"
#include "zu/platform/sound_device.h"
#include "zu/platform/timer.h"
#include "zu/platform/window_timer.h"

namespace zu::platform {
namespace {

namespace fs = std::filesystem;

double Rms(const std::vector<int16_t>& out) {
    double sum = 0;
    for (int16_t s : out) sum += double(s) * s;
    return out.empty() ? 0 : std::sqrt(sum / out.size());
}

// Both mixers of Loopback mode, as the sound buffers are tested.
class MediaGraphTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        AudioShutdown();
        AudioForceSoftwareMixer(GetParam());
        ASSERT_TRUE(SetAudioMode(AudioMode::Loopback));
        dir_ = fs::temp_directory_path() / ("media_graph_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        ASSERT_EQ(MediaGraphCreate(&graph_), kMediaOk);
    }
    void TearDown() override {
        MediaGraphRelease(graph_);
        AudioShutdown();
        AudioForceSoftwareMixer(false);
        SetAudioMode(AudioMode::Device);
        fs::remove_all(dir_);
    }
    // A stereo 16-bit tone of `seconds` at `rate`; its Windows-style path.
    std::string WriteSong(const std::string& name, double seconds, uint32_t rate) {
        const auto frames = static_cast<uint32_t>(seconds * rate);
        std::vector<int16_t> s(frames * 2);
        for (uint32_t i = 0; i < frames; ++i) {
            s[2 * i] = s[2 * i + 1] =
                static_cast<int16_t>(10000 * std::sin(2 * std::numbers::pi * 330.0 * i / rate));
        }
        const WaveFormat format{1, 2, rate, rate * 4, 4, 16, 0};
        const fs::path host = dir_ / name;
        EXPECT_TRUE(WriteWaveFile(host.c_str(), format, s.data(), frames * 4));
        return FromHostPath(host.string());
    }
    std::vector<int16_t> Render(uint32_t frames) {
        std::vector<int16_t> out(size_t{frames} * 2);
        AudioRender(out.data(), frames);
        return out;
    }
    std::vector<AudioEventKind> Events() {
        std::vector<AudioEvent> events(64);
        const uint32_t n = AudioTakeEvents(events.data(), 64);
        std::vector<AudioEventKind> kinds;
        for (uint32_t i = 0; i < n; ++i) {
            if (std::string(events[i].label) == "music:song.wav") kinds.push_back(events[i].kind);
        }
        return kinds;
    }

    fs::path dir_;
    MediaGraph* graph_ = nullptr;
};

TEST_P(MediaGraphTest, RunsPausesStopsAndReportsPositions) {
    ASSERT_EQ(MediaGraphRenderFile(graph_, WriteSong("song.wav", 1.0, 22050).c_str()), kMediaOk);
    EXPECT_EQ(MediaGraphSampleRate(graph_), 22050u);
    EXPECT_EQ(MediaGraphChannels(graph_), 2u);
    int64_t stop = 0;
    ASSERT_EQ(MediaGraphGetStopPosition(graph_, &stop), kMediaOk);
    EXPECT_EQ(stop, 10000000);          // one second in 100 ns units
    EXPECT_EQ(Rms(Render(4410)), 0.0);  // rendered, not running

    ASSERT_EQ(MediaGraphRun(graph_), kMediaOk);
    EXPECT_GT(Rms(Render(22050)), 3000.0);  // half a second heard
    int64_t position = 0;
    ASSERT_EQ(MediaGraphGetPosition(graph_, &position), kMediaOk);
    EXPECT_NEAR(static_cast<double>(position), 5000000.0, 20000.0);

    ASSERT_EQ(MediaGraphPause(graph_), kMediaOk);
    EXPECT_EQ(Rms(Render(4410)), 0.0);
    int64_t paused = 0;
    MediaGraphGetPosition(graph_, &paused);
    EXPECT_EQ(paused, position);  // a pause keeps the place
    ASSERT_EQ(MediaGraphRun(graph_), kMediaOk);
    Render(44100);  // past the end
    ASSERT_EQ(MediaGraphGetPosition(graph_, &position), kMediaOk);
    EXPECT_EQ(position, stop);  // ended: at the stop position
    EXPECT_EQ(Rms(Render(4410)), 0.0);

    // Positioned at the start it plays again.
    ASSERT_EQ(MediaGraphSetPosition(graph_, 0), kMediaOk);
    ASSERT_EQ(MediaGraphRun(graph_), kMediaOk);
    EXPECT_GT(Rms(Render(4410)), 3000.0);
    ASSERT_EQ(MediaGraphStop(graph_), kMediaOk);

    const std::vector<AudioEventKind> kinds = Events();
    const std::vector<AudioEventKind> expected = {AudioEventKind::Play, AudioEventKind::Pause,
                                                  AudioEventKind::Play, AudioEventKind::End,
                                                  AudioEventKind::Play, AudioEventKind::Stop};
    EXPECT_EQ(kinds, expected);
}

TEST_P(MediaGraphTest, VolumeInHundredthsOfADecibelKeptAcrossSongs) {
    ASSERT_EQ(MediaGraphSetVolume(graph_, -2000), kMediaOk);  // -20 dB
    ASSERT_EQ(MediaGraphRenderFile(graph_, WriteSong("song.wav", 1.0, 44100).c_str()), kMediaOk);
    MediaGraphRun(graph_);
    Render(4410);  // past the mixer's gain ramp
    const double quiet = Rms(Render(4410));
    ASSERT_EQ(MediaGraphSetVolume(graph_, 0), kMediaOk);
    Render(4410);
    const double full = Rms(Render(4410));
    EXPECT_NEAR(20 * std::log10(full / quiet), 20.0, 1.0);
    EXPECT_EQ(MediaGraphSetVolume(graph_, 1), kMediaErrInvalidParam);
    int32_t v = 1;
    MediaGraphGetVolume(graph_, &v);
    EXPECT_EQ(v, 0);
}

TEST_P(MediaGraphTest, BadInputFailsCleanly) {
    EXPECT_EQ(MediaGraphRenderFile(graph_, "\\no\\such\\song.mp3"), kMediaErrNoSource);
    const fs::path junk = dir_ / "junk.mp3";
    std::ofstream(junk) << "not a song at all";
    EXPECT_LT(MediaGraphRenderFile(graph_, FromHostPath(junk.string()).c_str()), 0);
    EXPECT_EQ(MediaGraphRun(graph_), kMediaOk);  // an empty graph runs silently
    int64_t position = 1;
    EXPECT_EQ(MediaGraphGetPosition(graph_, &position), kMediaOk);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(MediaGraphRenderMemory(graph_, nullptr, 0), kMediaErrNoSource);
    EXPECT_EQ(MediaGraphRun(nullptr), kMediaErrInvalidParam);
}

// A song list may name a named pipe: it is refused at once, by name.
TEST_P(MediaGraphTest, ANamedPipeIsNoSongAndIsNeverWaitedOn) {
    const fs::path fifo = dir_ / "pipe.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    ClearLoadProblems();
    const std::string path = FromHostPath(fifo.string());
    std::future<int32_t> result =
        std::async(std::launch::async, [&] { return MediaGraphRenderFile(graph_, path.c_str()); });
    const bool in_time = result.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    if (!in_time) {  // let a waiting open go (it then reads the end), so the test ends
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
        result.wait();
    }
    EXPECT_TRUE(in_time);
    EXPECT_EQ(result.get(), kMediaErrNoSource);
    const std::vector<LoadProblem> problems = LoadProblems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].file, fifo.string());
    EXPECT_EQ(problems[0].what, "not a regular file (a named pipe)");
    ClearLoadProblems();
}

INSTANTIATE_TEST_SUITE_P(Mixers, MediaGraphTest, ::testing::Values(false, true),
                         [](const auto& p) { return p.param ? "Internal" : "OpenAl"; });

// ---------------------------------------------------------------------------

int fired = 0;
void CountTimer(WindowHandle, uint32_t, void* user) {
    ++*static_cast<int*>(user);
}
void KillSelf(WindowHandle window, uint32_t id, void*) {
    ++fired;
    KillWindowTimer(window, id);
}

TEST(WindowTimers, RunOnlyWhenPumpedAndOnTheClock) {
    ASSERT_TRUE(SetClockMode(ClockMode::Lockstep));
    int count = 0;
    const uint32_t before = WindowTimerCount();
    EXPECT_EQ(SetWindowTimer(7, 1, 10000, CountTimer, &count), 1u);
    EXPECT_EQ(SetWindowTimer(7, 0, 10000, CountTimer, &count), 0u);
    EXPECT_EQ(SetWindowTimer(7, 2, 10000, nullptr, nullptr), 0u);
    LockstepAdvance(9999);
    EXPECT_EQ(PumpWindowTimers(), 0u);
    LockstepAdvance(1);
    EXPECT_EQ(count, 0);  // due, but not pumped yet
    EXPECT_EQ(PumpWindowTimers(), 1u);
    EXPECT_EQ(count, 1);
    LockstepAdvance(35000);  // late by several periods: once
    EXPECT_EQ(PumpWindowTimers(), 1u);
    EXPECT_TRUE(KillWindowTimer(7, 1));
    EXPECT_FALSE(KillWindowTimer(7, 1));
    LockstepAdvance(20000);
    EXPECT_EQ(PumpWindowTimers(), 0u);

    fired = 0;
    SetWindowTimer(8, 3, 10, KillSelf, nullptr);
    LockstepAdvance(50);
    PumpWindowTimers();
    LockstepAdvance(50);
    PumpWindowTimers();
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(WindowTimerCount(), before);
    SetClockMode(ClockMode::Real);
}

TEST(FolderListing, StartsWithTheDotEntriesAndMarksFolders) {
    const fs::path dir = fs::temp_directory_path() / ("listing_" + std::to_string(::getpid()));
    fs::create_directories(dir / "Sub");
    std::ofstream(dir / "b.MP3") << "x";
    std::ofstream(dir / "a.wav") << "x";
    FolderEntry entries[8];
    const std::string pattern = FromHostPath(dir.string()) + "\\*.*";
    ASSERT_EQ(ListFolder(pattern, entries, 8), 5);
    EXPECT_STREQ(entries[0].name, ".");
    EXPECT_STREQ(entries[1].name, "..");
    EXPECT_STREQ(entries[2].name, "Sub");
    EXPECT_TRUE(entries[2].folder);
    EXPECT_STREQ(entries[3].name, "a.wav");
    EXPECT_FALSE(entries[3].folder);
    EXPECT_STREQ(entries[4].name, "b.MP3");
    ASSERT_EQ(ListFolder(FromHostPath(dir.string()) + "\\*.mp3", entries, 8), 3);
    EXPECT_STREQ(entries[2].name, "b.MP3");
    EXPECT_EQ(ListFolder(pattern, entries, 2), 2);  // bounded
    EXPECT_EQ(ListFolder(FromHostPath(dir.string()) + "\\none\\*.*", entries, 8), -1);
    EXPECT_TRUE(PathExists(FromHostPath((dir / "a.wav").string())));
    EXPECT_FALSE(PathExists(FromHostPath((dir / "Sub").string())));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace zu::platform
