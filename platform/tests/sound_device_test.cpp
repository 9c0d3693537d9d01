#include "zu/platform/sound_device.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "zu/platform/timer.h"

namespace zu::platform {
namespace {

constexpr uint32_t kKind0Flags = 0x80E2;  // volume, pan, frequency, static
constexpr uint32_t kKind1Flags = 0x82C0;  // effects, volume, pan

// A mono 16-bit sine of `frames` frames.
std::vector<int16_t> Sine(uint32_t frames, double hz, uint32_t rate, double amplitude = 16000) {
    std::vector<int16_t> s(frames);
    for (uint32_t i = 0; i < frames; ++i)
        s[i] = static_cast<int16_t>(
            std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * i / rate)));
    return s;
}

struct Levels {
    double left = 0;
    double right = 0;
};
Levels Rms(const std::vector<int16_t>& out, size_t first, size_t frames) {
    Levels l;
    for (size_t i = first; i < first + frames; ++i) {
        l.left += double(out[2 * i]) * out[2 * i];
        l.right += double(out[2 * i + 1]) * out[2 * i + 1];
    }
    l.left = std::sqrt(l.left / frames);
    l.right = std::sqrt(l.right / frames);
    return l;
}
double Db(double a, double b) {
    return 20 * std::log10(a / b);
}

// Runs every case on both mixers of Loopback mode: OpenAL's loopback device
// and the internal mixer that stands in where OpenAL lacks it.
class SoundDeviceTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        AudioShutdown();
        AudioForceSoftwareMixer(GetParam());
        ASSERT_TRUE(SetAudioMode(AudioMode::Loopback));
        ASSERT_EQ(GetAudioBackend(),
                  GetParam() ? AudioBackend::SoftwareMixer : AudioBackend::OpenAlLoopback);
        ASSERT_EQ(SoundDeviceCreate(&device_), kSoundOk);
    }
    void TearDown() override {
        AudioShutdown();
        AudioForceSoftwareMixer(false);
        SetAudioMode(AudioMode::Device);
    }

    SoundBuffer* MakeBuffer(const std::vector<int16_t>& samples, uint32_t rate,
                            uint32_t flags = kKind0Flags) {
        const WaveFormat format{1, 1, rate, rate * 2, 2, 16, 0};
        SoundBuffer* b = nullptr;
        const auto bytes = static_cast<uint32_t>(samples.size() * 2);
        EXPECT_EQ(SoundDeviceCreateBuffer(device_, flags, bytes, &format, &b), kSoundOk);
        if (b == nullptr) return nullptr;
        void* p1 = nullptr;
        void* p2 = nullptr;
        uint32_t n1 = 0, n2 = 0;
        EXPECT_EQ(SoundBufferLock(b, 0, bytes, &p1, &n1, &p2, &n2), kSoundOk);
        EXPECT_EQ(n1, bytes);
        std::memcpy(p1, samples.data(), n1);
        EXPECT_EQ(SoundBufferUnlock(b, p1, n1, p2, n2), kSoundOk);
        return b;
    }
    std::vector<int16_t> Render(uint32_t frames) {
        std::vector<int16_t> out(size_t{frames} * 2);
        EXPECT_EQ(AudioRender(out.data(), frames), frames);
        return out;
    }
    bool Playing(SoundBuffer* b) {
        uint32_t status = 0;
        EXPECT_EQ(SoundBufferGetStatus(b, &status), kSoundOk);
        return (status & kSoundStatusPlaying) != 0;
    }

    SoundDevice* device_ = nullptr;
};

TEST_P(SoundDeviceTest, KeepsParametersAndChecksTheirRanges) {
    SoundBuffer* b = MakeBuffer(Sine(2205, 440, 22050), 22050);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(SoundBufferSetVolume(b, -1234), kSoundOk);
    EXPECT_EQ(SoundBufferSetPan(b, 1365), kSoundOk);
    EXPECT_EQ(SoundBufferSetFrequency(b, 19000), kSoundOk);
    int32_t volume = 0, pan = 0;
    uint32_t frequency = 0;
    EXPECT_EQ(SoundBufferGetVolume(b, &volume), kSoundOk);
    EXPECT_EQ(SoundBufferGetPan(b, &pan), kSoundOk);
    EXPECT_EQ(SoundBufferGetFrequency(b, &frequency), kSoundOk);
    EXPECT_EQ(volume, -1234);
    EXPECT_EQ(pan, 1365);
    EXPECT_EQ(frequency, 19000u);

    EXPECT_EQ(SoundBufferSetVolume(b, 1), kSoundErrInvalidParam);
    EXPECT_EQ(SoundBufferSetVolume(b, -10001), kSoundErrInvalidParam);
    EXPECT_EQ(SoundBufferSetPan(b, 10001), kSoundErrInvalidParam);
    EXPECT_EQ(SoundBufferSetFrequency(b, 99), kSoundErrInvalidParam);
    EXPECT_EQ(SoundBufferGetVolume(b, &volume), kSoundOk);
    EXPECT_EQ(volume, -1234);  // a refused value leaves the old one

    // Frequency 0 returns to the format's own rate.
    EXPECT_EQ(SoundBufferSetFrequency(b, 0), kSoundOk);
    EXPECT_EQ(SoundBufferGetFrequency(b, &frequency), kSoundOk);
    EXPECT_EQ(frequency, 22050u);

    // A buffer made without frequency control refuses it.
    SoundBuffer* fx = MakeBuffer(Sine(2205, 440, 22050), 22050, kKind1Flags);
    EXPECT_EQ(SoundBufferSetFrequency(fx, 22050), kSoundErrControlUnavailable);
    EXPECT_EQ(SoundBufferSetPan(fx, -500), kSoundOk);

    // Unusable formats are refused, not mixed.
    const WaveFormat adpcm{2, 1, 22050, 11025, 512, 4, 0};
    SoundBuffer* bad = nullptr;
    EXPECT_EQ(SoundDeviceCreateBuffer(device_, kKind0Flags, 1024, &adpcm, &bad),
              kSoundErrBadFormat);
    EXPECT_EQ(bad, nullptr);
}

TEST_P(SoundDeviceTest, OneShotEndsAfterItsLengthAndLoopsContinue) {
    // 0.1 s at 22050 Hz lasts 4410 output frames; at 44100 Hz half that.
    SoundBuffer* once = MakeBuffer(Sine(2205, 440, 22050), 22050);
    SoundBuffer* loop = MakeBuffer(Sine(2205, 440, 22050), 22050);
    AudioSetFrame(7);
    ASSERT_EQ(SoundBufferPlay(once, 0, 0, 0), kSoundOk);
    ASSERT_EQ(SoundBufferPlay(loop, 0, 0, kSoundPlayLooping), kSoundOk);
    Render(4300);
    EXPECT_TRUE(Playing(once));
    uint32_t play = 0;
    ASSERT_EQ(SoundBufferGetCurrentPosition(once, &play, nullptr), kSoundOk);
    EXPECT_NEAR(play / 2.0, 2150, 40);
    AudioSetFrame(8);
    Render(200);
    EXPECT_FALSE(Playing(once));
    ASSERT_EQ(SoundBufferGetCurrentPosition(once, &play, nullptr), kSoundOk);
    EXPECT_EQ(play, 0u);  // rewound, so the next play starts at the beginning

    Render(20000);
    EXPECT_TRUE(Playing(loop));
    uint32_t status = 0;
    SoundBufferGetStatus(loop, &status);
    EXPECT_TRUE(status & kSoundStatusLooping);

    // The log tells when each started and when the one-shot ended.
    AudioEvent events[16];
    const uint32_t n = AudioTakeEvents(events, 16);
    std::vector<std::pair<AudioEventKind, uint64_t>> seen;
    for (uint32_t i = 0; i < n; ++i) {
        if (events[i].buffer_id == SoundBufferId(once))
            seen.push_back({events[i].kind, events[i].frame});
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(AudioEventKind::Play, uint64_t{7}));
    EXPECT_EQ(seen[1], std::make_pair(AudioEventKind::End, uint64_t{8}));

    // A higher frequency plays the same sound faster.
    ASSERT_EQ(SoundBufferSetFrequency(once, 44100), kSoundOk);
    ASSERT_EQ(SoundBufferPlay(once, 0, 0, 0), kSoundOk);
    Render(2100);
    EXPECT_TRUE(Playing(once));
    Render(200);
    EXPECT_FALSE(Playing(once));
}

TEST_P(SoundDeviceTest, StopKeepsThePositionAndPlayResumes) {
    SoundBuffer* b = MakeBuffer(Sine(44100, 440, 44100), 44100);
    ASSERT_EQ(SoundBufferPlay(b, 0, 0, 0), kSoundOk);
    Render(10000);
    ASSERT_EQ(SoundBufferStop(b), kSoundOk);
    uint32_t at_stop = 0, later = 0;
    SoundBufferGetCurrentPosition(b, &at_stop, nullptr);
    EXPECT_NEAR(at_stop / 2.0, 10000, 64);
    Render(5000);  // nothing moves while stopped
    SoundBufferGetCurrentPosition(b, &later, nullptr);
    EXPECT_EQ(later, at_stop);
    ASSERT_EQ(SoundBufferPlay(b, 0, 0, 0), kSoundOk);
    Render(5000);
    SoundBufferGetCurrentPosition(b, &later, nullptr);
    EXPECT_NEAR(later / 2.0, at_stop / 2.0 + 5000, 64);

    ASSERT_EQ(SoundBufferSetCurrentPosition(b, 80000), kSoundOk);
    SoundBufferGetCurrentPosition(b, &later, nullptr);
    EXPECT_NEAR(later, 80000, 128);
    EXPECT_EQ(SoundBufferSetCurrentPosition(b, 88200), kSoundErrInvalidParam);
}

TEST_P(SoundDeviceTest, VolumeAndPanShapeTheOutput) {
    const auto tone = Sine(44100, 441, 44100, 10000);
    SoundBuffer* b = MakeBuffer(tone, 44100);
    ASSERT_EQ(SoundBufferPlay(b, 0, 0, kSoundPlayLooping), kSoundOk);
    auto out = Render(8000);
    const Levels centre = Rms(out, 4000, 4000);
    EXPECT_NEAR(centre.left, 10000 / std::sqrt(2.0), 300);  // full level in both channels
    EXPECT_NEAR(Db(centre.left, centre.right), 0, 0.2);

    // Pan right by 600: the left channel falls 6 dB, the right keeps its level.
    ASSERT_EQ(SoundBufferSetPan(b, 600), kSoundOk);
    out = Render(8000);
    Levels l = Rms(out, 4000, 4000);
    EXPECT_NEAR(Db(l.right, l.left), 6.0, 1.0);
    EXPECT_NEAR(Db(l.right, centre.right), 0, 0.5);

    ASSERT_EQ(SoundBufferSetPan(b, -10000), kSoundOk);
    out = Render(8000);
    l = Rms(out, 4000, 4000);
    EXPECT_LT(l.right, 5);

    // Volume -600 halves the amplitude; -10000 is silence.
    ASSERT_EQ(SoundBufferSetPan(b, 0), kSoundOk);
    ASSERT_EQ(SoundBufferSetVolume(b, -600), kSoundOk);
    out = Render(8000);
    l = Rms(out, 4000, 4000);
    EXPECT_NEAR(Db(l.left, centre.left), -6.0, 0.5);
    ASSERT_EQ(SoundBufferSetVolume(b, -10000), kSoundOk);
    out = Render(8000);
    l = Rms(out, 4000, 4000);
    EXPECT_LT(l.left, 5);
}

TEST_P(SoundDeviceTest, EqualiserChangesTheOutput) {
    const auto tone = Sine(22050, 2000, 22050, 3000);
    SoundBuffer* plain = MakeBuffer(tone, 22050, kKind1Flags);
    ASSERT_EQ(SoundBufferPlay(plain, 0, 0, kSoundPlayLooping), kSoundOk);
    const double before = Rms(Render(8000), 4000, 4000).left;
    ASSERT_EQ(SoundBufferStop(plain), kSoundOk);

    const SoundFxKind eq_kind = SoundFxKind::ParamEq;
    int32_t result = 1;
    ASSERT_EQ(SoundBufferSetFx(plain, 1, &eq_kind, &result), kSoundOk);
    EXPECT_EQ(result, kSoundOk);
    SoundParamEq* eq = nullptr;
    ASSERT_EQ(SoundBufferGetParamEq(plain, &eq), kSoundOk);
    ASSERT_EQ(SoundParamEqSetAllParameters(eq, {2000.0f, 12.0f, 14.0f}), kSoundOk);
    ASSERT_EQ(SoundBufferPlay(plain, 0, 0, kSoundPlayLooping), kSoundOk);
    const double boosted = Rms(Render(8000), 4000, 4000).left;
    EXPECT_NEAR(Db(boosted, before), 14.0, 1.0);

    // Far from its centre a narrow band leaves the tone alone.
    ASSERT_EQ(SoundParamEqSetAllParameters(eq, {8000.0f, 1.0f, 14.0f}), kSoundOk);
    const double away = Rms(Render(8000), 4000, 4000).left;
    EXPECT_NEAR(Db(away, before), 0.0, 0.5);

    // Effects need the control flag, a stopped buffer and valid parameters.
    EXPECT_EQ(SoundBufferSetFx(plain, 1, &eq_kind, nullptr), kSoundErrInvalidCall);
    EXPECT_EQ(SoundParamEqSetAllParameters(eq, {20.0f, 12.0f, 0.0f}), kSoundErrInvalidParam);
    SoundBuffer* no_fx = MakeBuffer(tone, 22050, kKind0Flags);
    EXPECT_EQ(SoundBufferSetFx(no_fx, 1, &eq_kind, nullptr), kSoundErrControlUnavailable);
}

TEST_P(SoundDeviceTest, LostBufferStopsUntilRestoredAndRefilled) {
    SoundBuffer* b = MakeBuffer(Sine(22050, 440, 22050), 22050);
    ASSERT_EQ(SoundBufferPlay(b, 0, 0, kSoundPlayLooping), kSoundOk);
    SoundBufferMarkLost(b, 2);
    uint32_t status = 0;
    ASSERT_EQ(SoundBufferGetStatus(b, &status), kSoundOk);
    EXPECT_EQ(status, kSoundStatusBufferLost);
    EXPECT_EQ(SoundBufferPlay(b, 0, 0, 0), kSoundErrBufferLost);
    void* p = nullptr;
    uint32_t n = 0;
    EXPECT_EQ(SoundBufferLock(b, 0, 0, &p, &n, nullptr, nullptr), kSoundErrBufferLost);
    EXPECT_EQ(SoundBufferRestore(b), kSoundErrBufferLost);
    EXPECT_EQ(SoundBufferRestore(b), kSoundErrBufferLost);
    EXPECT_EQ(SoundBufferRestore(b), kSoundOk);

    // Restored but not refilled: it plays silence.
    ASSERT_EQ(SoundBufferPlay(b, 0, 0, kSoundPlayLooping), kSoundOk);
    EXPECT_LT(Rms(Render(4000), 2000, 2000).left, 1.0);
}

TEST_P(SoundDeviceTest, EventLogRecordsChangesOnly) {
    SoundBuffer* b = MakeBuffer(Sine(2205, 440, 22050), 22050);
    SoundBufferSetLabel(b, "\\aircraft\\sound\\click_tiny.wav");
    AudioEvent drain[64];
    AudioTakeEvents(drain, 64);
    AudioSetFrame(3);
    SoundBufferSetVolume(b, -300);
    SoundBufferSetVolume(b, -300);  // same value: no event
    SoundBufferSetPan(b, 200);
    SoundBufferPlay(b, 0, 0, 0);
    SoundBufferPlay(b, 0, 0, 0);  // already playing: no event
    AudioSetFrame(4);
    SoundBufferStop(b);
    AudioEvent e[8];
    ASSERT_EQ(AudioTakeEvents(e, 8), 4u);
    EXPECT_EQ(e[0].kind, AudioEventKind::Volume);
    EXPECT_EQ(e[0].value, -300);
    EXPECT_EQ(e[0].frame, 3u);
    EXPECT_STREQ(e[0].label, "\\aircraft\\sound\\click_tiny.wav");
    EXPECT_EQ(e[1].kind, AudioEventKind::Pan);
    EXPECT_EQ(e[2].kind, AudioEventKind::Play);
    EXPECT_EQ(e[3].kind, AudioEventKind::Stop);
    EXPECT_EQ(e[3].frame, 4u);
    EXPECT_EQ(AudioTakeEvents(e, 8), 0u);
}

TEST_P(SoundDeviceTest, ReleasingTheDeviceReleasesItsBuffers) {
    SoundBuffer* b = MakeBuffer(Sine(100, 440, 22050), 22050);
    EXPECT_FALSE(SetAudioMode(AudioMode::Silent));  // a device exists
    SoundDeviceRelease(device_);
    uint32_t status = 0;
    EXPECT_EQ(SoundBufferGetStatus(b, &status), kSoundErrInvalidParam);
    EXPECT_TRUE(SetAudioMode(AudioMode::Silent));
}

INSTANTIATE_TEST_SUITE_P(Mixers, SoundDeviceTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& param_info) {
                             return param_info.param ? "InternalMixer" : "OpenAlLoopback";
                         });

// Silent mode mixes nothing but keeps time with the platform clock, so a
// one-shot still ends; Device mode works whether or not the machine has an
// audio device.
TEST(SoundDeviceModesTest, SilentModeEndsSoundsOnTheClockAndDeviceModeAlwaysCreates) {
    AudioShutdown();
    ASSERT_TRUE(SetClockMode(ClockMode::Lockstep));
    ASSERT_TRUE(SetAudioMode(AudioMode::Silent));
    SoundDevice* device = nullptr;
    ASSERT_EQ(SoundDeviceCreate(&device), kSoundOk);
    EXPECT_EQ(GetAudioBackend(), AudioBackend::Silent);
    const WaveFormat format{1, 1, 22050, 44100, 2, 16, 0};
    SoundBuffer* b = nullptr;
    ASSERT_EQ(SoundDeviceCreateBuffer(device, kKind0Flags, 4410, &format, &b), kSoundOk);  // 0.1 s
    ASSERT_EQ(SoundBufferPlay(b, 0, 0, 0), kSoundOk);
    LockstepAdvance(90);
    uint32_t status = 0;
    SoundBufferGetStatus(b, &status);
    EXPECT_TRUE(status & kSoundStatusPlaying);
    LockstepAdvance(20);
    SoundBufferGetStatus(b, &status);
    EXPECT_FALSE(status & kSoundStatusPlaying);
    std::vector<int16_t> out(200, 7);
    EXPECT_EQ(AudioRender(out.data(), 100), 0u);
    EXPECT_EQ(out[0], 0);
    AudioShutdown();
    ASSERT_TRUE(SetClockMode(ClockMode::Real));

    ASSERT_TRUE(SetAudioMode(AudioMode::Device));
    ASSERT_EQ(SoundDeviceCreate(&device), kSoundOk);
    const AudioBackend backend = GetAudioBackend();
    EXPECT_TRUE(backend == AudioBackend::OpenAlDevice || backend == AudioBackend::OpenAlLoopback ||
                backend == AudioBackend::SoftwareMixer);
    ASSERT_EQ(SoundDeviceCreateBuffer(device, kKind0Flags, 4410, &format, &b), kSoundOk);
    EXPECT_EQ(SoundBufferPlay(b, 0, 0, kSoundPlayLooping), kSoundOk);
    SoundBufferGetStatus(b, &status);
    EXPECT_TRUE(status & kSoundStatusPlaying);
    EXPECT_EQ(SoundDeviceSetSpeakerConfig(device, kSpeakerSurround), kSoundOk);
    uint32_t config = 0;
    EXPECT_EQ(SoundDeviceGetSpeakerConfig(device, &config), kSoundOk);
    EXPECT_EQ(config, kSpeakerSurround);
    AudioShutdown();
}

// A Device mode without a device mixes on the platform clock from whatever
// thread calls in (the module's tick stops its quiet buffers every tick):
// only while something plays.
TEST(SoundDeviceModesTest, TheClockPacedMixerMixesOnlyWhileABufferPlays) {
    AudioShutdown();
    ASSERT_TRUE(SetClockMode(ClockMode::Lockstep));
    AudioForceSoftwareMixer(true);
    ASSERT_TRUE(SetAudioMode(AudioMode::Device));
    SoundDevice* device = nullptr;
    ASSERT_EQ(SoundDeviceCreate(&device), kSoundOk);
    if (GetAudioBackend() == AudioBackend::OpenAlDevice) {
        AudioShutdown();
        AudioForceSoftwareMixer(false);
        ASSERT_TRUE(SetClockMode(ClockMode::Real));
        GTEST_SKIP() << "the machine has an audio device";
    }
    const WaveFormat format{1, 1, 22050, 44100, 2, 16, 0};
    SoundBuffer* quiet = nullptr;
    SoundBuffer* shot = nullptr;
    ASSERT_EQ(SoundDeviceCreateBuffer(device, kKind0Flags, 4410, &format, &quiet), kSoundOk);
    ASSERT_EQ(SoundDeviceCreateBuffer(device, kKind0Flags, 4410, &format, &shot), kSoundOk);
    LockstepAdvance(1000);
    EXPECT_EQ(SoundBufferStop(quiet), kSoundOk);
    EXPECT_EQ(SoundBufferPause(quiet), kSoundOk);
    uint32_t status = 0;
    EXPECT_EQ(SoundBufferGetStatus(quiet, &status), kSoundOk);
    EXPECT_EQ(AudioMixedFrames(), 0u);

    // A 0.1 s one-shot: mixed while it plays, then it ends on time.
    ASSERT_EQ(SoundBufferPlay(shot, 0, 0, 0), kSoundOk);
    LockstepAdvance(50);
    uint32_t play = 0;
    EXPECT_EQ(SoundBufferGetCurrentPosition(shot, &play, nullptr), kSoundOk);
    EXPECT_EQ(AudioMixedFrames(), uint64_t{kAudioOutputRate} * 50 / 1000);
    EXPECT_EQ(play, 1102u * 2);
    LockstepAdvance(100);
    EXPECT_EQ(SoundBufferGetStatus(shot, &status), kSoundOk);
    EXPECT_FALSE(status & kSoundStatusPlaying);
    const uint64_t mixed = AudioMixedFrames();
    EXPECT_GT(mixed, uint64_t{kAudioOutputRate} * 50 / 1000);

    // Quiet again: a minute passes unmixed, and a sound started then
    // starts from its beginning at the clock's time.
    LockstepAdvance(60000);
    EXPECT_EQ(SoundBufferStop(shot), kSoundOk);
    EXPECT_EQ(SoundBufferGetStatus(shot, &status), kSoundOk);
    EXPECT_EQ(AudioMixedFrames(), mixed);
    ASSERT_EQ(SoundBufferSetCurrentPosition(shot, 0), kSoundOk);
    ASSERT_EQ(SoundBufferPlay(shot, 0, 0, 0), kSoundOk);
    LockstepAdvance(20);
    EXPECT_EQ(SoundBufferGetCurrentPosition(shot, &play, nullptr), kSoundOk);
    EXPECT_EQ(play, 441u * 2);
    EXPECT_EQ(AudioMixedFrames(), mixed + uint64_t{kAudioOutputRate} * 20 / 1000);

    AudioShutdown();
    AudioForceSoftwareMixer(false);
    ASSERT_TRUE(SetClockMode(ClockMode::Real));
}

}  // namespace
}  // namespace zu::platform
