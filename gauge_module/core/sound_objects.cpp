// Sound objects (see sound_objects.h).
#include "core/sound_objects.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "cabin_link/cabin_entertainment.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/settings_file.h"
#include "core/shared_maths.h"
#include "zu/platform/timer.h"
#include "zu/platform/win_ipc.h"

namespace zu {

using platform::kSoundErrBufferLost;
using platform::kSoundErrFail;
using platform::kSoundErrOutOfMemory;
using platform::kSoundOk;

uint32_t SoundBufferKind = 0;
SoundObject SoundSet[kSoundSetCount] = {};

int32_t AvionicsSoundLevel = 0;
int32_t RecircSoundLevel = 0;
int32_t BleedSoundLevel = 0;
const float AvionicsVolumeTable[16] = {0, 500, 750, 1200, 1200, 1200, 1200, 1200,
                                       1, 1,   0,   0,    0,    0,    0,    0};

namespace {

// Result of the file steps of an open.
constexpr int32_t kWaveFileFailure = -1;

// Bytes of the extra-size word that follows the PCM record.
constexpr uint32_t kExtraSizeBytes = 2;

void FreeFormat(SoundObject* object) {
    if (object->format == nullptr) return;
    object->format->~WaveFormat();
    delete[] reinterpret_cast<uint8_t*>(object->format);
    object->format = nullptr;
}

void ReleaseBuffer(SoundObject* object) {
    if (object->buffer != nullptr) platform::SoundBufferRelease(object->buffer);
    object->buffer = nullptr;
    object->effect = nullptr;
    object->buffer_size = 0;
}

void CloseFile(SoundObject* object) {
    platform::MmioClose(object->file);
    object->file = nullptr;
}

bool IsPlaying(SoundObject* object) {
    uint32_t status = 0;
    return object->buffer != nullptr &&
           platform::SoundBufferGetStatus(object->buffer, &status) == kSoundOk &&
           (status & platform::kSoundStatusPlaying) != 0;
}

void StopIfPlaying(SoundObject* object) {
    if (IsPlaying(object)) platform::SoundBufferStop(object->buffer);
}

// Reads the format and finds the data chunk of the open file. A format
// whose extra bytes claim more than the "fmt " chunk holds is refused, as
// is any chunk that does not fit its file (the RIFF reader checks those).
int32_t ParseWave(SoundObject* object) {
    platform::MmioFile* file = object->file;
    platform::ChunkInfo riff{};
    if (platform::MmioDescend(file, &riff, nullptr, 0) != platform::kMmioOk)
        return kWaveFileFailure;
    if (riff.id != platform::kFourCCRiff || riff.form_type != platform::kFourCCWave)
        return kWaveFileFailure;

    platform::ChunkInfo fmt{};
    fmt.id = platform::kFourCCFmt;
    if (platform::MmioDescend(file, &fmt, &riff, platform::kMmioFindChunk) != platform::kMmioOk)
        return kWaveFileFailure;
    if (fmt.size < platform::kPcmFormatBytes) return kWaveFileFailure;

    uint8_t pcm[sizeof(platform::WaveFormat)] = {};
    if (platform::MmioRead(file, pcm, platform::kPcmFormatBytes) !=
        static_cast<int32_t>(platform::kPcmFormatBytes))
        return kWaveFileFailure;
    platform::WaveFormat header = platform::ReadWaveFormat(pcm, platform::kPcmFormatBytes);

    uint32_t extra = 0;
    if (header.format_tag != platform::kWaveFormatPcm) {
        if (fmt.size < platform::kPcmFormatBytes + kExtraSizeBytes) return kWaveFileFailure;
        uint8_t word[kExtraSizeBytes];
        if (platform::MmioRead(file, word, kExtraSizeBytes) !=
            static_cast<int32_t>(kExtraSizeBytes))
            return kWaveFileFailure;
        extra = static_cast<uint32_t>(word[0] | (word[1] << 8));
        if (extra > fmt.size - platform::kPcmFormatBytes - kExtraSizeBytes) return kWaveFileFailure;
    }
    header.extra_size = static_cast<uint16_t>(extra);

    auto* bytes = new (std::nothrow) uint8_t[sizeof(platform::WaveFormat) + extra];
    if (bytes == nullptr) return kWaveFileFailure;
    if (extra > 0 &&
        platform::MmioRead(file, bytes + sizeof(platform::WaveFormat),
                           static_cast<int32_t>(extra)) != static_cast<int32_t>(extra)) {
        delete[] bytes;
        return kWaveFileFailure;
    }
    object->format = new (bytes) platform::WaveFormat(header);

    if (platform::MmioAscend(file, &fmt) != platform::kMmioOk) return kWaveFileFailure;
    if (platform::MmioSeek(file, static_cast<int32_t>(riff.data_offset + 4),
                           platform::kMmioSeekSet) < 0)
        return kWaveFileFailure;
    platform::ChunkInfo data{};
    data.id = platform::kFourCCData;
    if (platform::MmioDescend(file, &data, &riff, platform::kMmioFindChunk) != platform::kMmioOk)
        return kWaveFileFailure;
    object->data_chunk = data;
    object->riff_chunk = riff;
    return kSoundOk;
}

}  // namespace

int32_t SoundScaleVolume(int32_t volume) {
    const int64_t scaled = ((int64_t{volume} + 5000) * SOUND_VOLUME >> 8) - 5000;
    if (scaled < -4994) return platform::kSoundVolumeMin;
    if (scaled > -5) return -5;
    return static_cast<int32_t>(scaled);
}

int32_t SoundDeviceInit(SoundObject* object) {
    // A device the object had goes, with the buffer made on it.
    ReleaseBuffer(object);
    if (object->device != nullptr) platform::SoundDeviceRelease(object->device);
    object->device = nullptr;

    const platform::WindowHandle window = platform::FindTopLevelWindow("FS98MAIN");
    platform::SoundDevice* device = nullptr;
    int32_t r = platform::SoundDeviceCreate(&device);
    if (r < 0) return r;
    r = platform::SoundDeviceSetCooperativeLevel(device, window, platform::kSoundCoopExclusive);
    if (r >= 0) {
        platform::SoundBuffer* primary = nullptr;
        r = platform::SoundDeviceCreateBuffer(device, platform::kSoundBufferPrimary, 0, nullptr,
                                              &primary);
        if (r >= 0) platform::SoundBufferRelease(primary);
    }
    if (r >= 0 && SURROUND_SOUND != 0)
        r = platform::SoundDeviceSetSpeakerConfig(device, platform::kSpeakerSurround);
    if (r < 0) {
        platform::SoundDeviceRelease(device);
        return r;
    }
    object->device = device;
    return kSoundOk;
}

int32_t SoundObjectOpenFile(SoundObject* object) {
    ReleaseBuffer(object);
    FreeFormat(object);
    if (object->file == nullptr) return kWaveFileFailure;
    if (ParseWave(object) != kSoundOk) {
        FreeFormat(object);
        CloseFile(object);
        return kWaveFileFailure;
    }
    const uint32_t flags = SoundBufferKind == 1 ? kSoundBufferFlagsKind1 : kSoundBufferFlagsKind0;
    const uint32_t bytes = object->data_chunk.size;
    platform::SoundBuffer* buffer = nullptr;
    const int32_t r =
        platform::SoundDeviceCreateBuffer(object->device, flags, bytes, object->format, &buffer);
    if (r < 0) return r;
    object->buffer = buffer;
    object->buffer_size = bytes;
    return kSoundOk;
}

int32_t SoundObjectOpen(SoundObject* object, const char* path) {
    ReleaseBuffer(object);
    FreeFormat(object);
    CloseFile(object);
    object->file = platform::MmioOpen(path);
    if (object->file == nullptr) return kWaveFileFailure;
    const int32_t r = SoundObjectOpenFile(object);
    if (r >= 0) platform::SoundBufferSetLabel(object->buffer, path);
    return r;
}

int32_t SoundFillBuffer(SoundObject* object) {
    if (object->buffer == nullptr || object->file == nullptr) return kSoundErrFail;
    const platform::ChunkInfo& data = object->data_chunk;
    if (object->buffer_size > data.size) return kSoundErrFail;
    if (platform::MmioSeek(object->file, static_cast<int32_t>(data.data_offset),
                           platform::kMmioSeekSet) < 0)
        return kSoundErrFail;
    // The samples go straight from the file into the locked buffer, so a
    // refill in a play path allocates nothing.
    void* part1 = nullptr;
    void* part2 = nullptr;
    uint32_t bytes1 = 0, bytes2 = 0;
    int32_t r = platform::SoundBufferLock(object->buffer, 0, object->buffer_size, &part1, &bytes1,
                                          &part2, &bytes2);
    if (r < 0) return r;
    const bool read_all = platform::MmioRead(object->file, part1, static_cast<int32_t>(bytes1)) ==
                          static_cast<int32_t>(bytes1);
    platform::MmioSeek(object->file, static_cast<int32_t>(data.data_offset),
                       platform::kMmioSeekSet);
    r = platform::SoundBufferUnlock(object->buffer, part1, bytes1, part2, 0);
    if (!read_all) return kSoundErrFail;  // a short file
    return r < 0 ? r : kSoundOk;
}

int32_t SoundObjectCreate(SoundObject* object, const char* path) {
    SoundBufferKind = 0;
    int32_t r = SoundDeviceInit(object);
    if (r >= 0) {
        r = SoundObjectOpen(object, path);
        if (r >= 0) {
            r = SoundFillBuffer(object);
            // A buffer that could not be filled would play noise or
            // nothing; the object is left without one instead.
            if (r < 0) ReleaseBuffer(object);
        }
    }
    SoundSetParams(object, 0, 0, 0);
    return r < 0 ? r : kSoundOk;
}

int32_t SoundObjectCreateShared(SoundObject* object, const char* path) {
    if (SoundObjectOpen(object, path) < 0) return 1;
    if (SoundFillBuffer(object) < 0) {
        ReleaseBuffer(object);
        return 1;
    }
    return 0;
}

int32_t SoundObjectCreateWithEq(SoundObject* object, const char* path) {
    const platform::SoundFxKind effect = platform::SoundFxKind::ParamEq;
    SoundBufferKind = 1;
    int32_t r = SoundDeviceInit(object);
    if (r < 0) return r;
    r = SoundObjectOpen(object, path);
    if (r < 0) return r;
    r = SoundFillBuffer(object);
    if (r < 0) {
        ReleaseBuffer(object);
        return r;
    }
    int32_t effect_result = kSoundOk;
    r = platform::SoundBufferSetFx(object->buffer, 1, &effect, &effect_result);
    if (r < 0) return r;
    r = platform::SoundBufferGetParamEq(object->buffer, &object->effect);
    if (r < 0) return r;
    object->eq_center = 2000.0f;
    object->eq_bandwidth = 12.0f;
    object->eq_gain = 14.0f;
    r = platform::SoundParamEqSetAllParameters(
        object->effect, {object->eq_center, object->eq_bandwidth, object->eq_gain});
    return r < 0 ? r : kSoundOk;
}

int32_t SoundSetParams(SoundObject* object, int32_t frequency, int32_t pan, int32_t volume) {
    if (object->buffer == nullptr) return kSoundErrFail;
    int32_t r = platform::SoundBufferSetFrequency(object->buffer, static_cast<uint32_t>(frequency));
    if (r < 0) return r;
    r = platform::SoundBufferSetPan(object->buffer, pan);
    if (r < 0) return r;
    r = platform::SoundBufferSetVolume(object->buffer, SoundScaleVolume(volume));
    return r < 0 ? r : kSoundOk;
}

int32_t SoundSetPanVolume(SoundObject* object, int32_t pan, int32_t volume) {
    if (object->buffer == nullptr) return kSoundErrFail;
    int32_t r = platform::SoundBufferSetPan(object->buffer, pan);
    if (r < 0) return r;
    r = platform::SoundBufferSetVolume(object->buffer, SoundScaleVolume(volume));
    return r < 0 ? r : kSoundOk;
}

int32_t RestoreSoundBuffer(SoundObject* object) {
    if (object->buffer == nullptr) return kSoundOk;
    uint32_t status = 0;
    int32_t r = platform::SoundBufferGetStatus(object->buffer, &status);
    if (r < 0) return r;
    if ((status & platform::kSoundStatusBufferLost) == 0) return kSoundOk;
    // The device may hold on to a lost buffer for a moment (another program
    // has it); a few tries with a short pause, then the play is given up
    // rather than the caller's thread held.
    for (int attempt = 0; attempt < kSoundRestoreTries; ++attempt) {
        r = platform::SoundBufferRestore(object->buffer);
        if (r == kSoundErrBufferLost) {
            platform::SleepMs(10);
            r = platform::SoundBufferRestore(object->buffer);
        }
        if (r >= 0) return SoundFillBuffer(object);
    }
    return r;
}

int32_t SoundStart(SoundObject* object, int32_t loop) {
    if (object->buffer == nullptr) return kSoundErrFail;
    int32_t r = RestoreSoundBuffer(object);
    if (r < 0) return r;
    r = platform::SoundBufferPlay(object->buffer, 0, 0,
                                  loop != 0 ? platform::kSoundPlayLooping : 0);
    return r < 0 ? r : kSoundOk;
}

void PlaySoundObject(SoundObject* object, int32_t level, int32_t frequency, int32_t pan,
                     int32_t loop) {
    // A paused simulator hears nothing: whatever is asked for stops.
    if (HostPauseIndicator != 0) {
        StopIfPlaying(object);
        return;
    }
    level = std::clamp(level, 0, 4995);
    if (level < 100 || frequency <= 0) {
        StopIfPlaying(object);
        return;
    }
    // A sound already playing (a running loop) only follows the new values.
    const bool playing = IsPlaying(object);
    SoundSetParams(object, frequency, pan, level - 5000);
    if (!playing) SoundStart(object, loop);
}

void PlaySoundObjectPanVolume(SoundObject* object, int32_t level, int32_t enable, int32_t pan,
                              int32_t loop) {
    level = std::clamp(level, 0, 10000);
    if (level < 100 || enable <= 0) {
        StopIfPlaying(object);
        return;
    }
    const bool playing = IsPlaying(object);
    SoundSetPanVolume(object, pan, level - 5000);
    if (!playing) SoundStart(object, loop);
}

void SoundObjectFree(SoundObject* object) {
    CloseFile(object);
    FreeFormat(object);
    if (object->buffer != nullptr) {
        platform::SoundBufferStop(object->buffer);
        platform::SoundBufferSetCurrentPosition(object->buffer, 0);
    }
    ReleaseBuffer(object);
    if (object->device != nullptr) platform::SoundDeviceRelease(object->device);
    object->device = nullptr;
}

void SoundShutdown() {
    MusicShutdown();
    for (int i = 0; i < kSoundAnnouncement; ++i) {
        if (i == kSoundPropGroundSplit2 && SOUND_SPLIT_PLS == 0) continue;
        SoundObjectFree(&SoundSet[i]);
    }
    SoundObjectFree(&SoundSet[kSoundAnnouncement]);
    SoundSystemStarted = 0;
}

// ---------------------------------------------------------------------------
// Ramped sounds

namespace {

bool BothPropellersTurning() {
    return PropRpm[0] >= 750.0 && PropRpm[1] >= 750.0;
}

void SilenceAvionics() {
    PlaySoundObject(&SoundSet[kSoundAvionics], 0, 22050, 0, 1);
}

int32_t StepToward(int32_t level, int32_t target) {
    if (level < target) return level + 1;
    if (level > target) return level - 1;
    return level;
}

}  // namespace

void AvionicsSoundUp() {
    AvionicsSoundLevel = std::min(AvionicsSoundLevel + 2, 60);
    if (BothPropellersTurning()) {
        SilenceAvionics();
        return;
    }
    const auto lower = static_cast<float>(std::min(PropRpm[0], PropRpm[1]));
    const auto level =
        static_cast<int32_t>(TableLookup8(AvionicsVolumeTable, lower) * AvionicsSoundLevel * 40);
    PlaySoundObject(&SoundSet[kSoundAvionics], level, AvionicsSoundLevel * 51 + 19000, 0, 1);
}

void AvionicsSoundDown() {
    AvionicsSoundLevel = std::max(AvionicsSoundLevel - 2, 0);
    if (BothPropellersTurning()) {
        SilenceAvionics();
        return;
    }
    PlaySoundObject(&SoundSet[kSoundAvionics], AvionicsSoundLevel * 40,
                    AvionicsSoundLevel * 51 + 19000, 0, 1);
}

void RecircSoundRamp(int32_t target) {
    RecircSoundLevel = StepToward(RecircSoundLevel, target);
    PlaySoundObject(&SoundSet[kSoundRecirc], RecircSoundLevel * 60,
                    std::min(RecircSoundLevel, 23) * 160 + 18050, 0, 1);
}

void BleedSoundRamp(int32_t target) {
    BleedSoundLevel = StepToward(BleedSoundLevel, target);
    PlaySoundObject(&SoundSet[kSoundBleed], BleedSoundLevel * 70,
                    std::min(BleedSoundLevel, 23) * 160 + 18050, 0, 1);
}

}  // namespace zu
