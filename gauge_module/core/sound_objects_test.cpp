#include "core/sound_objects.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/settings_file.h"
#include "zu/platform/paths.h"
#include "zu/platform/timer.h"

namespace zu {
namespace {

namespace fs = std::filesystem;
using platform::kSoundOk;

void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
void Put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}

class SoundObjectsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::AudioShutdown();
        // Sound moves only when the test renders it; restore pauses take no
        // real time.
        ASSERT_TRUE(platform::SetClockMode(platform::ClockMode::Lockstep));
        ASSERT_TRUE(platform::SetAudioMode(platform::AudioMode::Loopback));
        saved_volume_ = SOUND_VOLUME;
        SOUND_VOLUME = 255;
        dir_ = fs::temp_directory_path() / ("sound_objects_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        SoundShutdown();
        platform::AudioShutdown();
        platform::SetAudioMode(platform::AudioMode::Device);
        platform::SetClockMode(platform::ClockMode::Real);
        SOUND_VOLUME = saved_volume_;
        PropRpm[0] = PropRpm[1] = 0.0;
        HostPauseIndicator = 0;
        AvionicsSoundLevel = RecircSoundLevel = BleedSoundLevel = 0;
        fs::remove_all(dir_);
    }

    // Writes a file below the test folder and returns its Windows-style path.
    std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        const fs::path host = dir_ / name;
        FILE* f = std::fopen(host.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return platform::FromHostPath(host.string());
    }
    // A mono 16-bit 22050 Hz tone of `frames` frames.
    std::string WriteTone(const std::string& name, uint32_t frames) {
        std::vector<int16_t> s(frames);
        for (uint32_t i = 0; i < frames; ++i)
            s[i] =
                static_cast<int16_t>(12000 * std::sin(2 * std::numbers::pi * 1000.0 * i / 22050));
        const platform::WaveFormat format{1, 1, 22050, 44100, 2, 16, 0};
        const fs::path host = dir_ / name;
        EXPECT_TRUE(platform::WriteWaveFile(host.c_str(), format, s.data(), frames * 2));
        return platform::FromHostPath(host.string());
    }
    std::vector<int16_t> Render(uint32_t frames) {
        std::vector<int16_t> out(size_t{frames} * 2);
        platform::AudioRender(out.data(), frames);
        return out;
    }
    static double Rms(const std::vector<int16_t>& out, int channel) {
        double sum = 0;
        for (size_t i = channel; i < out.size(); i += 2) sum += double(out[i]) * out[i];
        return std::sqrt(sum / (out.size() / 2));
    }
    static bool Playing(SoundObject& o) {
        uint32_t status = 0;
        platform::SoundBufferGetStatus(o.buffer, &status);
        return (status & platform::kSoundStatusPlaying) != 0;
    }
    static int32_t Volume(SoundObject& o) {
        int32_t v = 1;
        platform::SoundBufferGetVolume(o.buffer, &v);
        return v;
    }

    fs::path dir_;
    uint8_t saved_volume_ = 0;
};

TEST_F(SoundObjectsTest, MasterVolumeScalesEveryVolume) {
    EXPECT_EQ(SoundScaleVolume(0), -20);
    EXPECT_EQ(SoundScaleVolume(-5), -25);
    EXPECT_EQ(SoundScaleVolume(-4900), -4901);
    EXPECT_EQ(SoundScaleVolume(-4993), -4994);  // the quietest sound still heard
    EXPECT_EQ(SoundScaleVolume(-4994), -10000);
    EXPECT_EQ(SoundScaleVolume(-5000), -10000);
    EXPECT_EQ(SoundScaleVolume(-10000), -10000);
    EXPECT_EQ(SoundScaleVolume(5000), -5);  // never full scale
    SOUND_VOLUME = 235;                     // the value a fresh settings file holds
    EXPECT_EQ(SoundScaleVolume(0), -411);
    SOUND_VOLUME = 0;  // master volume 0 silences everything
    for (int32_t v : {0, -2500, -5000, -10000}) EXPECT_EQ(SoundScaleVolume(v), -10000) << v;

    // Creation leaves a buffer at the scaled neutral volume.
    SOUND_VOLUME = 255;
    SoundObject& o = SoundSet[kSoundClickTiny];
    ASSERT_EQ(SoundObjectCreate(&o, WriteTone("click_tiny.wav", 2205).c_str()), kSoundOk);
    EXPECT_EQ(Volume(o), -20);
}

TEST_F(SoundObjectsTest, ClickPlaysOnceWithItsPan) {
    SoundObject& o = SoundSet[kSoundClickTiny];
    ASSERT_EQ(SoundObjectCreate(&o, WriteTone("click_tiny.wav", 2205).c_str()), kSoundOk);
    ASSERT_NE(o.buffer, nullptr);
    EXPECT_EQ(o.buffer_size, 4410u);

    PlaySoundObject(&o, 4995, 22050, 1333, 0);
    ASSERT_TRUE(Playing(o));
    int32_t pan = 0;
    platform::SoundBufferGetPan(o.buffer, &pan);
    EXPECT_EQ(pan, 1333);
    EXPECT_EQ(Volume(o), SoundScaleVolume(-5));  // level 4995
    const auto out = Render(4000);               // 0.1 s of sound lasts 4410 output frames
    EXPECT_NEAR(20 * std::log10(Rms(out, 1) / Rms(out, 0)), 13.33, 1.0);
    Render(600);
    EXPECT_FALSE(Playing(o));

    // It plays again from the start on the next click.
    PlaySoundObject(&o, 4995, 22050, -1333, 0);
    EXPECT_TRUE(Playing(o));
    const auto again = Render(1000);
    EXPECT_GT(Rms(again, 0), Rms(again, 1) * 3);
}

TEST_F(SoundObjectsTest, LevelAndFrequencyRules) {
    SoundObject& o = SoundSet[kSoundStall];
    ASSERT_EQ(SoundObjectCreate(&o, WriteTone("stall.wav", 22050).c_str()), kSoundOk);
    PlaySoundObject(&o, 100, 22050, 0, 1);
    EXPECT_TRUE(Playing(o));
    EXPECT_EQ(Volume(o), SoundScaleVolume(-4900));
    Render(3000);

    // While it plays a call only changes its parameters; it does not restart.
    uint32_t before = 0, after = 0;
    platform::SoundBufferGetCurrentPosition(o.buffer, &before, nullptr);
    PlaySoundObject(&o, 9000, 11025, 500, 1);
    platform::SoundBufferGetCurrentPosition(o.buffer, &after, nullptr);
    EXPECT_GE(after, before);
    EXPECT_EQ(Volume(o), SoundScaleVolume(-5));  // level clamped to 4995
    uint32_t frequency = 0;
    platform::SoundBufferGetFrequency(o.buffer, &frequency);
    EXPECT_EQ(frequency, 11025u);

    // Below 100 it stops, keeping its place.
    PlaySoundObject(&o, 99, 22050, 0, 1);
    EXPECT_FALSE(Playing(o));
    platform::SoundBufferGetCurrentPosition(o.buffer, &after, nullptr);
    EXPECT_GT(after, 0u);
    PlaySoundObject(&o, 3000, 22050, 0, 1);
    EXPECT_TRUE(Playing(o));
    PlaySoundObject(&o, 3000, 0, 0, 1);  // frequency 0 stops as well
    EXPECT_FALSE(Playing(o));

    // The wide-range player takes levels up to 10000 and an enable value.
    PlaySoundObjectPanVolume(&o, 10000, 1, -8000, 1);
    EXPECT_TRUE(Playing(o));
    EXPECT_EQ(Volume(o), -5);
    PlaySoundObjectPanVolume(&o, 10000, 0, -8000, 1);
    EXPECT_FALSE(Playing(o));

    // While the simulator is paused every play call stops the sound; the
    // wide-range player does not look at the pause.
    PlaySoundObject(&o, 3000, 22050, 0, 1);
    ASSERT_TRUE(Playing(o));
    HostPauseIndicator = 1;
    PlaySoundObject(&o, 3000, 22050, 0, 1);
    EXPECT_FALSE(Playing(o));
    PlaySoundObject(&o, 3000, 22050, 0, 1);
    EXPECT_FALSE(Playing(o));
    PlaySoundObjectPanVolume(&o, 3000, 1, 0, 1);
    EXPECT_TRUE(Playing(o));
    HostPauseIndicator = 0;
}

TEST_F(SoundObjectsTest, LostBufferIsRestoredRefilledAndPlayedInOneCall) {
    SoundObject& o = SoundSet[kSoundFireBell];
    ASSERT_EQ(SoundObjectCreate(&o, WriteTone("firebell1.wav", 22050).c_str()), kSoundOk);

    // Each attempt calls restore twice; the last allowed one succeeds.
    platform::SoundBufferMarkLost(o.buffer, 2 * kSoundRestoreTries - 1);
    PlaySoundObject(&o, 4000, 22050, 0, 1);
    EXPECT_TRUE(Playing(o));
    EXPECT_GT(Rms(Render(2000), 0), 1000);  // refilled, not silent

    // One failure more and it gives up, reporting the loss.
    platform::SoundBufferMarkLost(o.buffer, 2 * kSoundRestoreTries);
    EXPECT_EQ(RestoreSoundBuffer(&o), platform::kSoundErrBufferLost);
    platform::SoundBufferMarkLost(o.buffer, UINT32_MAX);
    EXPECT_EQ(SoundStart(&o, 0), platform::kSoundErrBufferLost);
    PlaySoundObject(&o, 4000, 22050, 0, 1);
    EXPECT_FALSE(Playing(o));
}

TEST_F(SoundObjectsTest, UnusableFilesLeaveTheObjectSilent) {
    std::vector<uint8_t> fmt;
    Put16(fmt, 1);
    Put16(fmt, 1);
    Put32(fmt, 22050);
    Put32(fmt, 44100);
    Put16(fmt, 2);
    Put16(fmt, 16);
    auto wave = [](const std::vector<uint8_t>& format, uint32_t data_claim, uint32_t data_have) {
        std::vector<uint8_t> v;
        Put32(v, platform::kFourCCRiff);
        Put32(v, static_cast<uint32_t>(4 + 8 + format.size() + 8 + data_have));
        Put32(v, platform::kFourCCWave);
        Put32(v, platform::kFourCCFmt);
        Put32(v, static_cast<uint32_t>(format.size()));
        v.insert(v.end(), format.begin(), format.end());
        Put32(v, platform::kFourCCData);
        Put32(v, data_claim);
        v.resize(v.size() + data_have, 0);
        return v;
    };
    // An extended format (tag 3) whose extra bytes claim more than its chunk.
    std::vector<uint8_t> extended = fmt;
    extended[0] = 3;
    Put16(extended, 40);
    extended.resize(extended.size() + 4, 0);

    const std::string files[] = {
        WriteFile("truncated.wav", wave(fmt, 4000, 100)),
        WriteFile("extension.wav", wave(extended, 100, 100)),
        WriteFile("text.wav", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'}),
        WriteFile("empty.wav", wave(fmt, 0, 0)),
        platform::FromHostPath((dir_ / "missing.wav").string()),
    };
    for (const std::string& path : files) {
        SoundObject& o = SoundSet[kSoundCall];
        EXPECT_LT(SoundObjectCreate(&o, path.c_str()), 0) << path;
        EXPECT_EQ(o.buffer, nullptr) << path;
        PlaySoundObject(&o, 4000, 22050, 0, 0);  // does nothing
        EXPECT_EQ(SoundStart(&o, 0), platform::kSoundErrFail);
        EXPECT_EQ(RestoreSoundBuffer(&o), kSoundOk);
        SoundObjectFree(&o);
    }
}

TEST_F(SoundObjectsTest, EqualiserObjectAndSharedDevice) {
    SoundObject& o = SoundSet[kSoundAnnouncement];
    ASSERT_EQ(SoundObjectCreateWithEq(&o, WriteTone("announce.wav", 22050).c_str()), kSoundOk);
    EXPECT_EQ(SoundBufferKind, 1u);
    ASSERT_NE(o.effect, nullptr);
    platform::ParamEqParams p{};
    ASSERT_EQ(platform::SoundParamEqGetAllParameters(o.effect, &p), kSoundOk);
    EXPECT_EQ(p.center, 2000.0f);
    EXPECT_EQ(p.bandwidth, 12.0f);
    EXPECT_EQ(p.gain, 14.0f);
    // Such a buffer has no frequency control, so only the pan-volume path sets it.
    EXPECT_EQ(SoundSetParams(&o, 22050, 0, 0), platform::kSoundErrControlUnavailable);
    EXPECT_EQ(SoundSetPanVolume(&o, 300, 0), kSoundOk);

    // A second file opened on the same device.
    const std::string path = WriteTone("second.wav", 1000);
    EXPECT_EQ(SoundObjectCreateShared(&o, path.c_str()), 0);
    EXPECT_NE(o.buffer, nullptr);
    EXPECT_EQ(SoundObjectCreateShared(&o, "\\no\\such\\file.wav"), 1);
    EXPECT_EQ(o.buffer, nullptr);

    EXPECT_EQ(SoundObjectCreate(&o, path.c_str()), kSoundOk);
    EXPECT_EQ(SoundBufferKind, 0u);
}

TEST_F(SoundObjectsTest, ShutdownFreesTheSet) {
    const std::string path = WriteTone("tone.wav", 500);
    for (int i : {int(kSoundClickTiny), int(kSoundGearUp2), int(kSoundAnnouncement)})
        ASSERT_EQ(SoundObjectCreate(&SoundSet[i], path.c_str()), kSoundOk);
    PlaySoundObject(&SoundSet[kSoundGearUp2], 4500, 22050, 0, 1);
    SoundSystemStarted = 1;
    SoundShutdown();
    EXPECT_EQ(SoundSystemStarted, 0);
    for (const SoundObject& o : SoundSet) {
        EXPECT_EQ(o.buffer, nullptr);
        EXPECT_EQ(o.device, nullptr);
        EXPECT_EQ(o.file, nullptr);
        EXPECT_EQ(o.format, nullptr);
    }
    // Loaded again after a shutdown.
    EXPECT_EQ(SoundObjectCreate(&SoundSet[kSoundClickTiny], path.c_str()), kSoundOk);
}

TEST_F(SoundObjectsTest, RampedSounds) {
    const std::string path = WriteTone("hum.wav", 22050);
    for (int i : {int(kSoundAvionics), int(kSoundRecirc), int(kSoundBleed)})
        ASSERT_EQ(SoundObjectCreate(&SoundSet[i], path.c_str()), kSoundOk);
    SoundObject& avionics = SoundSet[kSoundAvionics];

    AvionicsSoundUp();  // level 2: 80, too quiet to play
    EXPECT_EQ(AvionicsSoundLevel, 2);
    EXPECT_FALSE(Playing(avionics));
    AvionicsSoundUp();  // level 4: 160 at 19204 Hz
    ASSERT_TRUE(Playing(avionics));
    uint32_t frequency = 0;
    platform::SoundBufferGetFrequency(avionics.buffer, &frequency);
    EXPECT_EQ(frequency, 19204u);
    EXPECT_EQ(Volume(avionics), SoundScaleVolume(160 - 5000));
    // The fan fades against the lower propeller speed (500..750 rpm).
    PropRpm[0] = 625;
    PropRpm[1] = 900;
    AvionicsSoundUp();  // level 6, table 0.5: 120
    EXPECT_EQ(Volume(avionics), SoundScaleVolume(120 - 5000));
    PropRpm[0] = 800;  // both turning: silent
    AvionicsSoundUp();
    EXPECT_FALSE(Playing(avionics));
    for (int i = 0; i < 40; ++i) AvionicsSoundUp();
    EXPECT_EQ(AvionicsSoundLevel, 60);
    PropRpm[0] = PropRpm[1] = 0;
    AvionicsSoundDown();  // level 58: 2320
    EXPECT_EQ(Volume(avionics), SoundScaleVolume(2320 - 5000));
    for (int i = 0; i < 40; ++i) AvionicsSoundDown();
    EXPECT_EQ(AvionicsSoundLevel, 0);
    EXPECT_FALSE(Playing(avionics));

    RecircSoundRamp(35);
    RecircSoundRamp(35);  // level 2: 120 at 18370 Hz
    ASSERT_TRUE(Playing(SoundSet[kSoundRecirc]));
    platform::SoundBufferGetFrequency(SoundSet[kSoundRecirc].buffer, &frequency);
    EXPECT_EQ(frequency, 18370u);
    for (int i = 0; i < 50; ++i) RecircSoundRamp(35);
    EXPECT_EQ(RecircSoundLevel, 35);
    platform::SoundBufferGetFrequency(SoundSet[kSoundRecirc].buffer, &frequency);
    EXPECT_EQ(frequency, 23u * 160 + 18050);  // frequency stops rising at level 23
    EXPECT_EQ(Volume(SoundSet[kSoundRecirc]), SoundScaleVolume(35 * 60 - 5000));

    BleedSoundRamp(1);  // level 1: 70, silent
    EXPECT_FALSE(Playing(SoundSet[kSoundBleed]));
    BleedSoundRamp(5);
    EXPECT_EQ(Volume(SoundSet[kSoundBleed]), SoundScaleVolume(140 - 5000));
    BleedSoundRamp(0);
    BleedSoundRamp(0);
    EXPECT_EQ(BleedSoundLevel, 0);
    EXPECT_FALSE(Playing(SoundSet[kSoundBleed]));
}

}  // namespace
}  // namespace zu
