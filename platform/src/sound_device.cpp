// Sound devices and buffers on OpenAL Soft (see sound_device.h).
//
// One engine per process, guarded by one mutex. Each buffer keeps its own
// state (volume, pan, frequency, loop flag, play state, position) and, in
// the OpenAL backends, one OpenAL source and buffer that carry the sound.
// The internal mixer (and the silent mode) advance a 32.32 fixed-point
// cursor per buffer instead.
//
// Pan: the interface's pan attenuates the far channel by pan/100 dB and
// leaves the near one at full level. OpenAL pans a mono source by its
// direction with a law of its own, so the pan is turned into the direction
// whose channel ratio matches, and the source gain is raised by the near
// channel's shortfall at that direction (kPanLaw below). Stereo sources are
// routed channel to channel in OpenAL and keep their balance there.
//
// The equaliser filters a copy of the buffer's samples (a peaking biquad)
// whenever the data or its parameters change, so every backend plays the
// filtered sound.
#include "zu/platform/sound_device.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <dlfcn.h>
#include <stdlib.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <iterator>
#include <mutex>
#include <numbers>
#include <string>
#include <unordered_set>
#include <vector>

#include "zu/platform/timer.h"

static_assert(std::endian::native == std::endian::little,
              "sample data are little-endian in the files and in memory");

namespace zu::platform {

struct SoundParamEq {
    SoundBuffer* owner = nullptr;
    ParamEqParams params{8000.0f, 12.0f, 0.0f};
};

struct SoundBuffer {
    uint32_t id = 0;
    SoundDevice* device = nullptr;
    uint32_t flags = 0;
    bool primary = false;
    WaveFormat format{};
    uint32_t frames = 0;           // whole sample frames in the buffer
    std::vector<uint8_t> data;     // what the owner wrote
    std::vector<uint8_t> samples;  // what plays: data after the equaliser
    int32_t volume = 0;
    int32_t pan = 0;
    uint32_t frequency = 0;  // 0: the format's rate
    bool playing = false;
    bool looping = false;
    uint64_t cursor = 0;  // 32.32 frames; while stopped also in OpenAL mode
    bool lost = false;
    uint32_t failing_restores = 0;
    bool has_eq = false;
    SoundParamEq eq;
    std::string label;
    ALuint source = 0;
    ALuint al_buffer = 0;
};

struct SoundDevice {
    uint32_t id = 0;
    uint32_t cooperative_level = 0;
};

namespace {

constexpr uint32_t kRenderChunk = 4096;   // frames per internal render step
constexpr uint64_t kMaxCatchUpMs = 5000;  // clock-paced rendering looks back at most this far

struct Engine {
    std::mutex mutex;
    AudioMode mode = AudioMode::Device;
    AudioBackend backend = AudioBackend::None;
    bool force_software = false;
    // Clock-paced backends advance with ClockNowMs.
    bool clock_paced = false;
    uint64_t clock_start_ms = 0;
    uint64_t clock_frames = 0;  // frames advanced since clock_start_ms
    uint64_t frames_mixed = 0;  // frames the mixers rendered since the engine opened

    ALCdevice* al_device = nullptr;
    ALCcontext* al_context = nullptr;
    LPALCRENDERSAMPLESSOFT al_render = nullptr;

    std::unordered_set<SoundDevice*> devices;
    std::vector<SoundBuffer*> buffers;  // in creation order (mixing order)
    std::unordered_set<const SoundBuffer*> buffer_set;
    uint32_t next_id = 1;
    uint32_t speaker_config = kSpeakerStereo;

    uint64_t frame = 0;
    std::vector<AudioEvent> events;  // ring
    uint32_t event_head = 0;
    uint32_t event_count = 0;
    uint64_t dropped_events = 0;

    std::vector<float> mix;
};

// Never destroyed: a host may still release buffers from static destructors.
Engine& Eng() {
    static Engine* engine = new Engine;
    return *engine;
}

bool UsesOpenAl(const Engine& e) {
    return e.backend == AudioBackend::OpenAlDevice || e.backend == AudioBackend::OpenAlLoopback;
}

// ---------------------------------------------------------------------------
// Event log

void LogEvent(Engine& e, const SoundBuffer& b, AudioEventKind kind, int32_t value) {
    if (e.events.empty()) e.events.resize(kAudioEventCapacity);
    uint32_t slot;
    if (e.event_count == kAudioEventCapacity) {
        slot = e.event_head;
        e.event_head = (e.event_head + 1) % kAudioEventCapacity;
        ++e.dropped_events;
    } else {
        slot = (e.event_head + e.event_count) % kAudioEventCapacity;
        ++e.event_count;
    }
    AudioEvent& ev = e.events[slot];
    ev.frame = e.frame;
    ev.buffer_id = b.id;
    ev.kind = kind;
    ev.value = value;
    const size_t keep = sizeof(ev.label) - 1;
    const size_t start = b.label.size() > keep ? b.label.size() - keep : 0;
    const size_t n = b.label.size() - start;
    std::memcpy(ev.label, b.label.data() + start, n);
    ev.label[n] = '\0';
}

// ---------------------------------------------------------------------------
// Levels

float VolumeGain(int32_t volume) {
    if (volume <= kSoundVolumeMin) return 0.0f;
    return static_cast<float>(std::pow(10.0, volume / 2000.0));
}

// Channel gains of the interface's pan law.
void PanGains(int32_t pan, float* left, float* right) {
    *left = 1.0f;
    *right = 1.0f;
    if (pan > 0)
        *left = pan >= kSoundPanRight ? 0.0f : static_cast<float>(std::pow(10.0, -pan / 2000.0));
    if (pan < 0)
        *right = pan <= kSoundPanLeft ? 0.0f : static_cast<float>(std::pow(10.0, pan / 2000.0));
}

// OpenAL Soft's stereo panning of a mono source, measured at each direction
// (degrees off centre): near-channel gain and near/far ratio in dB. The last
// row stands for total separation.
struct PanLawPoint {
    float degrees;
    float near_gain;
    float separation_db;
};
constexpr PanLawPoint kPanLaw[] = {
    {0.0f, 0.59566f, 0.0f},    {5.0f, 0.66011f, 1.91f},   {10.0f, 0.72181f, 3.86f},
    {15.0f, 0.77972f, 5.86f},  {20.0f, 0.83285f, 7.97f},  {25.0f, 0.88027f, 10.22f},
    {30.0f, 0.92120f, 12.68f}, {35.0f, 0.95491f, 15.43f}, {40.0f, 0.98084f, 18.63f},
    {45.0f, 0.99855f, 22.52f}, {50.0f, 1.0f, 27.58f},     {55.0f, 1.0f, 35.51f},
    {60.0f, 1.0f, 100.0f},
};

// Direction (degrees, negative = left) and gain compensation for a pan.
void PanDirection(int32_t pan, float* degrees, float* compensation) {
    const float db = std::min(std::abs(pan), 10000) / 100.0f;
    size_t i = 1;
    while (i + 1 < std::size(kPanLaw) && kPanLaw[i].separation_db < db) ++i;
    const PanLawPoint& a = kPanLaw[i - 1];
    const PanLawPoint& b = kPanLaw[i];
    const float t =
        std::clamp((db - a.separation_db) / (b.separation_db - a.separation_db), 0.0f, 1.0f);
    const float deg = a.degrees + t * (b.degrees - a.degrees);
    const float near_gain = a.near_gain + t * (b.near_gain - a.near_gain);
    *degrees = pan < 0 ? -deg : deg;
    *compensation = 1.0f / near_gain;
}

uint32_t PlayRate(const SoundBuffer& b) {
    return b.frequency != 0 ? b.frequency : b.format.samples_per_sec;
}

// ---------------------------------------------------------------------------
// Equaliser

void ApplyEqualiser(SoundBuffer& b) {
    b.samples = b.data;
    if (!b.has_eq || b.frames == 0) return;
    const ParamEqParams& p = b.eq.params;
    const double rate = b.format.samples_per_sec;
    const double center = std::min<double>(p.center, rate * 0.45);
    const double a_gain = std::pow(10.0, p.gain / 40.0);
    const double w0 = 2.0 * std::numbers::pi * center / rate;
    const double octaves = p.bandwidth / 12.0;
    const double alpha =
        std::sin(w0) * std::sinh(std::log(2.0) / 2.0 * octaves * w0 / std::sin(w0));
    const double a0 = 1.0 + alpha / a_gain;
    const double b0 = (1.0 + alpha * a_gain) / a0;
    const double b1 = (-2.0 * std::cos(w0)) / a0;
    const double b2 = (1.0 - alpha * a_gain) / a0;
    const double a1 = (-2.0 * std::cos(w0)) / a0;
    const double a2 = (1.0 - alpha / a_gain) / a0;

    const uint32_t channels = b.format.channels;
    const bool wide = b.format.bits_per_sample == 16;
    for (uint32_t c = 0; c < channels; ++c) {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (uint32_t f = 0; f < b.frames; ++f) {
            const size_t index = size_t{f} * channels + c;
            double x;
            if (wide) {
                int16_t s;
                std::memcpy(&s, &b.data[index * 2], 2);
                x = s / 32768.0;
            } else {
                x = (b.data[index] - 128) / 128.0;
            }
            const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = y;
            if (wide) {
                const auto s =
                    static_cast<int16_t>(std::lround(std::clamp(y * 32768.0, -32768.0, 32767.0)));
                std::memcpy(&b.samples[index * 2], &s, 2);
            } else {
                b.samples[index] =
                    static_cast<uint8_t>(std::lround(std::clamp(y * 128.0 + 128.0, 0.0, 255.0)));
            }
        }
    }
}

// ---------------------------------------------------------------------------
// OpenAL

ALenum AlFormat(const WaveFormat& f) {
    if (f.channels == 1) return f.bits_per_sample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    return f.bits_per_sample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

int64_t AlOffset(const SoundBuffer& b) {
    ALint offset = 0;
    alGetSourcei(b.source, AL_SAMPLE_OFFSET, &offset);
    return offset;
}

void AlApplyLevels(const SoundBuffer& b) {
    float gain = VolumeGain(b.volume);
    if (b.format.channels == 1) {
        float degrees, compensation;
        PanDirection(b.pan, &degrees, &compensation);
        const double rad = degrees * std::numbers::pi / 180.0;
        alSource3f(b.source, AL_POSITION, static_cast<float>(std::sin(rad)), 0.0f,
                   static_cast<float>(-std::cos(rad)));
        gain *= compensation;
    }
    alSourcef(b.source, AL_GAIN, gain);
}

void AlApplyPitch(const SoundBuffer& b) {
    alSourcef(b.source, AL_PITCH,
              static_cast<float>(PlayRate(b)) / static_cast<float>(b.format.samples_per_sec));
}

// Hands the buffer's samples to OpenAL; a playing source continues where it was.
void AlUpload(SoundBuffer& b) {
    ALint state = AL_INITIAL;
    alGetSourcei(b.source, AL_SOURCE_STATE, &state);
    const int64_t offset = (state == AL_PLAYING || state == AL_PAUSED) ? AlOffset(b) : 0;
    alSourceStop(b.source);
    alSourcei(b.source, AL_BUFFER, 0);
    alBufferData(b.al_buffer, AlFormat(b.format), b.samples.data(),
                 static_cast<ALsizei>(size_t{b.frames} * b.format.block_align),
                 static_cast<ALsizei>(b.format.samples_per_sec));
    alSourcei(b.source, AL_BUFFER, static_cast<ALint>(b.al_buffer));
    if (state == AL_PLAYING) {
        alSourcei(b.source, AL_SAMPLE_OFFSET, static_cast<ALint>(offset));
        alSourcePlay(b.source);
    }
}

bool AlCreate(SoundBuffer& b) {
    alGetError();
    alGenSources(1, &b.source);
    if (alGetError() != AL_NO_ERROR) {
        b.source = 0;
        return false;
    }
    alGenBuffers(1, &b.al_buffer);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteSources(1, &b.source);
        b.source = b.al_buffer = 0;
        return false;
    }
    alSourcei(b.source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(b.source, AL_MAX_GAIN, 2.0f);
    if (b.format.channels == 2) alSourcei(b.source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    AlUpload(b);
    AlApplyLevels(b);
    AlApplyPitch(b);
    return true;
}

void AlDestroy(SoundBuffer& b) {
    if (b.source != 0) {
        alSourceStop(b.source);
        alSourcei(b.source, AL_BUFFER, 0);
        alDeleteSources(1, &b.source);
    }
    if (b.al_buffer != 0) alDeleteBuffers(1, &b.al_buffer);
    b.source = b.al_buffer = 0;
}

// ---------------------------------------------------------------------------
// Engine open and close

// The audio libraries report a missing sound card on stderr, many lines of
// it; the engine falls back to memory by itself, and the host says once
// what it uses (GetAudioBackend). OpenAL Soft keeps quiet with log level 0
// (unless the user set one), the sound library with a no-op error handler.
void QuietErrorHandler(const char*, int, const char*, int, const char*, ...) {}

void QuietAudioLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        ::setenv("ALSOFT_LOGLEVEL", "0", 0);
        using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
        void* alsa = ::dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
        if (alsa == nullptr) return;  // OpenAL will not find it either
        auto set = reinterpret_cast<int (*)(Handler)>(::dlsym(alsa, "snd_lib_error_set_handler"));
        if (set != nullptr) set(&QuietErrorHandler);
        // Kept loaded: the handler must stay installed for OpenAL's use.
    });
}

bool OpenAlLoopback(Engine& e) {
    if (e.force_software || alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") != ALC_TRUE)
        return false;
    auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(
        alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (open == nullptr || render == nullptr) return false;
    ALCdevice* device = open(nullptr);
    if (device == nullptr) return false;
    const ALCint attrs[] = {ALC_FORMAT_CHANNELS_SOFT,
                            ALC_STEREO_SOFT,
                            ALC_FORMAT_TYPE_SOFT,
                            ALC_FLOAT_SOFT,
                            ALC_FREQUENCY,
                            static_cast<ALCint>(kAudioOutputRate),
                            ALC_MONO_SOURCES,
                            1024,
                            ALC_STEREO_SOURCES,
                            256,
                            0};
    ALCcontext* context = alcCreateContext(device, attrs);
    if (context == nullptr || alcMakeContextCurrent(context) != ALC_TRUE) {
        if (context != nullptr) alcDestroyContext(context);
        alcCloseDevice(device);
        return false;
    }
    e.al_device = device;
    e.al_context = context;
    e.al_render = render;
    return true;
}

bool OpenAlPlayback(Engine& e) {
    ALCdevice* device = alcOpenDevice(nullptr);
    if (device == nullptr) return false;
    const ALCint attrs[] = {ALC_MONO_SOURCES, 1024, ALC_STEREO_SOURCES, 256, 0};
    ALCcontext* context = alcCreateContext(device, attrs);
    if (context == nullptr || alcMakeContextCurrent(context) != ALC_TRUE) {
        if (context != nullptr) alcDestroyContext(context);
        alcCloseDevice(device);
        return false;
    }
    e.al_device = device;
    e.al_context = context;
    return true;
}

void OpenEngine(Engine& e) {
    if (e.backend != AudioBackend::None) return;
    QuietAudioLibraries();
    e.clock_paced = false;
    switch (e.mode) {
        case AudioMode::Silent:
            e.backend = AudioBackend::Silent;
            e.clock_paced = true;
            break;
        case AudioMode::Loopback:
            e.backend =
                OpenAlLoopback(e) ? AudioBackend::OpenAlLoopback : AudioBackend::SoftwareMixer;
            break;
        case AudioMode::Device:
            if (OpenAlPlayback(e)) {
                e.backend = AudioBackend::OpenAlDevice;
            } else {
                e.backend =
                    OpenAlLoopback(e) ? AudioBackend::OpenAlLoopback : AudioBackend::SoftwareMixer;
                e.clock_paced = true;
            }
            break;
    }
    if (UsesOpenAl(e)) alDistanceModel(AL_NONE);
    e.clock_start_ms = ClockNowMs();
    e.clock_frames = 0;
    e.frames_mixed = 0;
}

void DestroyBuffer(Engine& e, SoundBuffer* b) {
    if (UsesOpenAl(e)) AlDestroy(*b);
    e.buffer_set.erase(b);
    e.buffers.erase(std::remove(e.buffers.begin(), e.buffers.end(), b), e.buffers.end());
    delete b;
}

void CloseEngine(Engine& e) {
    while (!e.buffers.empty()) DestroyBuffer(e, e.buffers.back());
    for (SoundDevice* d : e.devices) delete d;
    e.devices.clear();
    if (e.al_context != nullptr) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(e.al_context);
    }
    if (e.al_device != nullptr) alcCloseDevice(e.al_device);
    e.al_context = nullptr;
    e.al_device = nullptr;
    e.al_render = nullptr;
    e.backend = AudioBackend::None;
    e.clock_paced = false;
}

// ---------------------------------------------------------------------------
// Playback bookkeeping

void EndOneShot(Engine& e, SoundBuffer& b) {
    b.playing = false;
    b.cursor = 0;
    LogEvent(e, b, AudioEventKind::End, 0);
}

// OpenAL: notices the sources that have played to their end.
void PollOpenAlEnds(Engine& e) {
    for (SoundBuffer* b : e.buffers) {
        if (!b->playing) continue;
        ALint state = AL_PLAYING;
        alGetSourcei(b->source, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING) EndOneShot(e, *b);
    }
}

// Internal mixer: advances every playing buffer by `frames` output frames,
// adding its sound into `mix` (interleaved stereo) when it is not null.
void SoftAdvance(Engine& e, float* mix, uint32_t frames) {
    for (SoundBuffer* bp : e.buffers) {
        SoundBuffer& b = *bp;
        if (!b.playing || b.frames == 0) continue;
        const uint64_t step = (uint64_t{PlayRate(b)} << 32) / kAudioOutputRate;
        const uint64_t end = uint64_t{b.frames} << 32;
        if (mix == nullptr) {
            // No samples wanted: move the cursor in one go.
            const uint64_t total = b.cursor + step * frames;
            if (total < end) {
                b.cursor = total;
            } else if (b.looping) {
                b.cursor = total % end;
            } else {
                EndOneShot(e, b);
            }
            continue;
        }
        const float gain = VolumeGain(b.volume);
        float gl, gr;
        PanGains(b.pan, &gl, &gr);
        gl *= gain;
        gr *= gain;
        const uint32_t channels = b.format.channels;
        const bool wide = b.format.bits_per_sample == 16;
        auto sample = [&](uint32_t frame, uint32_t channel) -> float {
            const size_t index = size_t{frame} * channels + channel;
            if (wide) {
                int16_t s;
                std::memcpy(&s, &b.samples[index * 2], 2);
                return s / 32768.0f;
            }
            return (b.samples[index] - 128) / 128.0f;
        };
        for (uint32_t i = 0; i < frames; ++i) {
            const auto f0 = static_cast<uint32_t>(b.cursor >> 32);
            const float frac = static_cast<float>(b.cursor & 0xFFFFFFFFu) / 4294967296.0f;
            const uint32_t f1 = f0 + 1 < b.frames ? f0 + 1 : (b.looping ? 0 : f0);
            const float l0 = sample(f0, 0), l1 = sample(f1, 0);
            const float left = l0 + (l1 - l0) * frac;
            float right = left;
            if (channels == 2) {
                const float r0 = sample(f0, 1), r1 = sample(f1, 1);
                right = r0 + (r1 - r0) * frac;
            }
            mix[2 * i] += left * gl;
            mix[2 * i + 1] += right * gr;
            b.cursor += step;
            if (b.cursor >= end) {
                if (b.looping) {
                    b.cursor %= end;
                } else {
                    EndOneShot(e, b);
                    break;
                }
            }
        }
    }
}

// Renders `frames` frames with the current backend into `out` (may be null).
bool AnyPlaying(const Engine& e) {
    return std::any_of(e.buffers.begin(), e.buffers.end(),
                       [](const SoundBuffer* b) { return b->playing; });
}

void RenderFrames(Engine& e, int16_t* out, uint32_t frames) {
    // Silence nobody takes: nothing to mix and nothing moves.
    if (out == nullptr && !AnyPlaying(e)) return;
    while (frames > 0) {
        const uint32_t n = std::min(frames, kRenderChunk);
        switch (e.backend) {
            case AudioBackend::OpenAlLoopback:
            case AudioBackend::SoftwareMixer:
                e.frames_mixed += n;
                e.mix.assign(size_t{n} * 2, 0.0f);
                if (e.backend == AudioBackend::OpenAlLoopback) {
                    // Float output, converted here: OpenAL's own 16-bit
                    // output adds dither, and silence must stay 0.
                    e.al_render(e.al_device, e.mix.data(), static_cast<ALCsizei>(n));
                    PollOpenAlEnds(e);
                } else {
                    SoftAdvance(e, e.mix.data(), n);
                }
                // Mixed for nobody: the sources moved on, nothing to convert.
                if (out == nullptr) break;
                for (size_t i = 0; i < size_t{n} * 2; ++i) {
                    out[i] = static_cast<int16_t>(
                        std::lround(std::clamp(e.mix[i] * 32768.0f, -32768.0f, 32767.0f)));
                }
                break;
            case AudioBackend::Silent:
                SoftAdvance(e, nullptr, n);
                if (out != nullptr) std::fill(out, out + size_t{n} * 2, int16_t{0});
                break;
            case AudioBackend::OpenAlDevice:  // the device renders by itself
            case AudioBackend::None:
                break;
        }
        if (out != nullptr) out += size_t{n} * 2;
        frames -= n;
    }
}

// Brings the engine up to date before a call looks at or changes a buffer.
void Sync(Engine& e) {
    OpenEngine(e);
    if (e.clock_paced) {
        const uint64_t now = ClockNowMs();
        const uint64_t elapsed = now > e.clock_start_ms ? now - e.clock_start_ms : 0;
        const uint64_t target = elapsed * kAudioOutputRate / 1000;
        uint64_t due = target - std::min(target, e.clock_frames);
        const uint64_t limit = kMaxCatchUpMs * kAudioOutputRate / 1000;
        if (due > limit) {
            e.clock_frames += due - limit;
            due = limit;
        }
        if (due == 0) {
            // The clock has not moved since the last call: nothing to advance.
        } else if (e.backend == AudioBackend::Silent) {
            // One step: positions follow arithmetically.
            SoftAdvance(e, nullptr, static_cast<uint32_t>(due));
        } else {
            RenderFrames(e, nullptr, static_cast<uint32_t>(due));
        }
        e.clock_frames += due;
    } else if (e.backend == AudioBackend::OpenAlDevice) {
        PollOpenAlEnds(e);
    }
}

// The position of a buffer in frames.
uint32_t PositionFrames(const Engine& e, const SoundBuffer& b) {
    if (b.playing && UsesOpenAl(e)) return static_cast<uint32_t>(AlOffset(b));
    return static_cast<uint32_t>(b.cursor >> 32);
}

bool ValidDevice(const Engine& e, const SoundDevice* d) {
    return d != nullptr && e.devices.count(const_cast<SoundDevice*>(d)) != 0;
}

// Looks up a buffer for an operation on a mixable (non-primary) buffer.
int32_t UsableBuffer(const Engine& e, const SoundBuffer* b) {
    if (b == nullptr || e.buffer_set.count(b) == 0) return kSoundErrInvalidParam;
    if (b->primary) return kSoundErrInvalidCall;
    return kSoundOk;
}

bool FormatSupported(const WaveFormat& f) {
    if (f.format_tag != kWaveFormatPcm && f.format_tag != kWaveFormatExtensible) return false;
    if (f.channels < 1 || f.channels > 2) return false;
    if (f.bits_per_sample != 8 && f.bits_per_sample != 16) return false;
    if (f.block_align != f.channels * f.bits_per_sample / 8) return false;
    return f.samples_per_sec >= kSoundFrequencyMin && f.samples_per_sec <= kSoundFrequencyMax;
}

}  // namespace

// ---------------------------------------------------------------------------
// Engine interface

bool SetAudioMode(AudioMode mode) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (!e.devices.empty()) return e.mode == mode;
    if (e.mode != mode || e.backend == AudioBackend::None) {
        CloseEngine(e);
        e.mode = mode;
    }
    return true;
}

AudioMode GetAudioMode() {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    return e.mode;
}

AudioBackend GetAudioBackend() {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    OpenEngine(e);
    return e.backend;
}

uint32_t AudioRender(int16_t* out, uint32_t frames) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    OpenEngine(e);
    if (e.mode != AudioMode::Loopback) {
        if (out != nullptr) std::fill(out, out + size_t{frames} * 2, int16_t{0});
        return 0;
    }
    RenderFrames(e, out, frames);
    return frames;
}

uint64_t AudioMixedFrames() {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    return e.frames_mixed;
}

void AudioSetFrame(uint64_t frame) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    e.frame = frame;
}

uint32_t AudioTakeEvents(AudioEvent* out, uint32_t max) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (out == nullptr) return 0;
    Sync(e);  // report sounds that have ended by now
    uint32_t n = 0;
    while (n < max && e.event_count > 0) {
        out[n++] = e.events[e.event_head];
        e.event_head = (e.event_head + 1) % kAudioEventCapacity;
        --e.event_count;
    }
    return n;
}

uint64_t AudioDroppedEvents() {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    return e.dropped_events;
}

void AudioShutdown() {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    CloseEngine(e);
    e.event_head = e.event_count = 0;
    e.dropped_events = 0;
    e.frame = 0;
}

void AudioForceSoftwareMixer(bool force) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    e.force_software = force;
}

// ---------------------------------------------------------------------------
// Devices

int32_t SoundDeviceCreate(SoundDevice** out) {
    if (out == nullptr) return kSoundErrInvalidParam;
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    Sync(e);
    auto* device = new SoundDevice;
    device->id = e.next_id++;
    e.devices.insert(device);
    *out = device;
    return kSoundOk;
}

void SoundDeviceRelease(SoundDevice* device) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (!ValidDevice(e, device)) return;
    for (size_t i = e.buffers.size(); i-- > 0;) {
        if (e.buffers[i]->device == device) DestroyBuffer(e, e.buffers[i]);
    }
    e.devices.erase(device);
    delete device;
}

int32_t SoundDeviceSetCooperativeLevel(SoundDevice* device, WindowHandle window, uint32_t level) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (!ValidDevice(e, device) || level < kSoundCoopNormal || level > kSoundCoopWritePrimary)
        return kSoundErrInvalidParam;
    (void)window;  // focus is global: every buffer plays whatever window is active
    device->cooperative_level = level;
    return kSoundOk;
}

int32_t SoundDeviceSetSpeakerConfig(SoundDevice* device, uint32_t config) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    const uint32_t kind = config & 0xFF;
    if (!ValidDevice(e, device) || kind < kSpeakerHeadphone || kind > kSpeaker7Point1)
        return kSoundErrInvalidParam;
    e.speaker_config = config;
    return kSoundOk;
}

int32_t SoundDeviceGetSpeakerConfig(SoundDevice* device, uint32_t* config) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (!ValidDevice(e, device) || config == nullptr) return kSoundErrInvalidParam;
    *config = e.speaker_config;
    return kSoundOk;
}

// ---------------------------------------------------------------------------
// Buffers

int32_t SoundDeviceCreateBuffer(SoundDevice* device, uint32_t flags, uint32_t bytes,
                                const WaveFormat* format, SoundBuffer** out) {
    if (out == nullptr) return kSoundErrInvalidParam;
    *out = nullptr;
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (!ValidDevice(e, device)) return kSoundErrInvalidParam;
    Sync(e);
    auto* b = new SoundBuffer;
    b->id = e.next_id++;
    b->device = device;
    b->flags = flags;
    if (flags & kSoundBufferPrimary) {
        if (bytes != 0 || format != nullptr) {
            delete b;
            return kSoundErrInvalidParam;
        }
        b->primary = true;
    } else {
        if (format == nullptr || bytes < 4 || bytes > 0x0FFFFFFF) {
            delete b;
            return kSoundErrInvalidParam;
        }
        if (!FormatSupported(*format)) {
            delete b;
            return kSoundErrBadFormat;
        }
        b->format = *format;
        b->frames = bytes / format->block_align;
        b->data.assign(bytes, format->bits_per_sample == 8 ? 0x80 : 0x00);
        b->samples = b->data;
        b->eq.owner = b;
        if (UsesOpenAl(e) && !AlCreate(*b)) {
            delete b;
            return kSoundErrOutOfMemory;
        }
    }
    e.buffers.push_back(b);
    e.buffer_set.insert(b);
    *out = b;
    return kSoundOk;
}

void SoundBufferRelease(SoundBuffer* buffer) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (buffer == nullptr || e.buffer_set.count(buffer) == 0) return;
    DestroyBuffer(e, buffer);
}

void SoundBufferSetLabel(SoundBuffer* buffer, const char* label) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (buffer == nullptr || e.buffer_set.count(buffer) == 0) return;
    buffer->label = label != nullptr ? label : "";
}

uint32_t SoundBufferId(const SoundBuffer* buffer) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (buffer == nullptr || e.buffer_set.count(buffer) == 0) return 0;
    return buffer->id;
}

int32_t SoundBufferLock(SoundBuffer* buffer, uint32_t offset, uint32_t bytes, void** part1,
                        uint32_t* bytes1, void** part2, uint32_t* bytes2) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (const int32_t r = UsableBuffer(e, buffer); r != kSoundOk) return r;
    if (part1 == nullptr || bytes1 == nullptr) return kSoundErrInvalidParam;
    Sync(e);
    if (buffer->lost) return kSoundErrBufferLost;
    const auto size = static_cast<uint32_t>(buffer->data.size());
    if (bytes == 0 && offset == 0) bytes = size;
    if (offset >= size || bytes == 0 || bytes > size) return kSoundErrInvalidParam;
    const uint32_t first = std::min(bytes, size - offset);
    *part1 = buffer->data.data() + offset;
    *bytes1 = first;
    if (part2 != nullptr) *part2 = first < bytes ? buffer->data.data() : nullptr;
    if (bytes2 != nullptr) *bytes2 = bytes - first;
    return kSoundOk;
}

int32_t SoundBufferUnlock(SoundBuffer* buffer, void* part1, uint32_t bytes1, void* part2,
                          uint32_t bytes2) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (const int32_t r = UsableBuffer(e, buffer); r != kSoundOk) return r;
    auto inside = [&](const void* p, uint32_t n) {
        if (p == nullptr) return n == 0;
        const auto* q = static_cast<const uint8_t*>(p);
        return q >= buffer->data.data() && q + n <= buffer->data.data() + buffer->data.size();
    };
    if (!inside(part1, bytes1) || !inside(part2, bytes2)) return kSoundErrInvalidParam;
    Sync(e);
    ApplyEqualiser(*buffer);
    if (UsesOpenAl(e)) AlUpload(*buffer);
    return kSoundOk;
}

int32_t SoundBufferGetStatus(SoundBuffer* buffer, uint32_t* status) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (buffer == nullptr || e.buffer_set.count(buffer) == 0 || status == nullptr)
        return kSoundErrInvalidParam;
    Sync(e);
    uint32_t s = 0;
    if (buffer->lost) s |= kSoundStatusBufferLost;
    if (buffer->playing) s |= kSoundStatusPlaying | (buffer->looping ? kSoundStatusLooping : 0);
    *status = s;
    return kSoundOk;
}

int32_t SoundBufferPlay(SoundBuffer* buffer, uint32_t reserved, uint32_t priority, uint32_t flags) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (const int32_t r = UsableBuffer(e, buffer); r != kSoundOk) return r;
    if (reserved != 0) return kSoundErrInvalidParam;
    (void)priority;  // meaningful only for buffers placed at play time
    Sync(e);
    if (buffer->lost) return kSoundErrBufferLost;
    const bool loop = (flags & kSoundPlayLooping) != 0;
    buffer->looping = loop;
    if (UsesOpenAl(e)) alSourcei(buffer->source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    if (buffer->playing) return kSoundOk;
    if (UsesOpenAl(e)) {
        alSourcei(buffer->source, AL_SAMPLE_OFFSET, static_cast<ALint>(buffer->cursor >> 32));
        alSourcePlay(buffer->source);
    }
    buffer->playing = true;
    LogEvent(e, *buffer, AudioEventKind::Play, loop ? 1 : 0);
    return kSoundOk;
}

namespace {

int32_t StopLogged(SoundBuffer* buffer, AudioEventKind kind) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (const int32_t r = UsableBuffer(e, buffer); r != kSoundOk) return r;
    // A stopped buffer stays stopped: nothing to bring up to date (the
    // sound tick stops its quiet buffers every tick).
    if (!buffer->playing) return kSoundOk;
    Sync(e);
    if (!buffer->playing) return kSoundOk;
    const uint32_t position = PositionFrames(e, *buffer);
    if (UsesOpenAl(e)) alSourceStop(buffer->source);
    buffer->playing = false;
    buffer->cursor = uint64_t{position} << 32;
    LogEvent(e, *buffer, kind, static_cast<int32_t>(position * buffer->format.block_align));
    return kSoundOk;
}

}  // namespace

int32_t SoundBufferStop(SoundBuffer* buffer) {
    return StopLogged(buffer, AudioEventKind::Stop);
}

int32_t SoundBufferPause(SoundBuffer* buffer) {
    return StopLogged(buffer, AudioEventKind::Pause);
}

int32_t SoundBufferGetCurrentPosition(SoundBuffer* buffer, uint32_t* play, uint32_t* write) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (const int32_t r = UsableBuffer(e, buffer); r != kSoundOk) return r;
    Sync(e);
    const uint32_t bytes = PositionFrames(e, *buffer) * buffer->format.block_align;
    if (play != nullptr) *play = bytes;
    if (write != nullptr) *write = bytes;
    return kSoundOk;
}

int32_t SoundBufferSetCurrentPosition(SoundBuffer* buffer, uint32_t position) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (const int32_t r = UsableBuffer(e, buffer); r != kSoundOk) return r;
    if (position >= buffer->data.size()) return kSoundErrInvalidParam;
    Sync(e);
    const uint32_t frame = position / buffer->format.block_align;
    buffer->cursor = uint64_t{frame} << 32;
    if (buffer->playing && UsesOpenAl(e))
        alSourcei(buffer->source, AL_SAMPLE_OFFSET, static_cast<ALint>(frame));
    return kSoundOk;
}

namespace {

// A level control of a buffer (volume or pan): the buffer's capability flag
// for it, its range and the member that holds it.
struct LevelControl {
    uint32_t ctrl_flag;
    int32_t min;
    int32_t max;
    int32_t SoundBuffer::*field;
    AudioEventKind event;
};
constexpr LevelControl kVolumeControl{kSoundBufferCtrlVolume, kSoundVolumeMin, kSoundVolumeMax,
                                      &SoundBuffer::volume, AudioEventKind::Volume};
constexpr LevelControl kPanControl{kSoundBufferCtrlPan, kSoundPanLeft, kSoundPanRight,
                                   &SoundBuffer::pan, AudioEventKind::Pan};

int32_t SetLevel(SoundBuffer* buffer, const LevelControl& c, int32_t value) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (const int32_t r = UsableBuffer(e, buffer); r != kSoundOk) return r;
    if (!(buffer->flags & c.ctrl_flag)) return kSoundErrControlUnavailable;
    if (value < c.min || value > c.max) return kSoundErrInvalidParam;
    Sync(e);
    if (value == buffer->*c.field) return kSoundOk;
    buffer->*c.field = value;
    if (UsesOpenAl(e)) AlApplyLevels(*buffer);
    LogEvent(e, *buffer, c.event, value);
    return kSoundOk;
}

int32_t GetLevel(SoundBuffer* buffer, const LevelControl& c, int32_t* value) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (const int32_t r = UsableBuffer(e, buffer); r != kSoundOk) return r;
    if (value == nullptr) return kSoundErrInvalidParam;
    if (!(buffer->flags & c.ctrl_flag)) return kSoundErrControlUnavailable;
    *value = buffer->*c.field;
    return kSoundOk;
}

}  // namespace

int32_t SoundBufferSetVolume(SoundBuffer* buffer, int32_t volume) {
    return SetLevel(buffer, kVolumeControl, volume);
}

int32_t SoundBufferGetVolume(SoundBuffer* buffer, int32_t* volume) {
    return GetLevel(buffer, kVolumeControl, volume);
}

int32_t SoundBufferSetPan(SoundBuffer* buffer, int32_t pan) {
    return SetLevel(buffer, kPanControl, pan);
}

int32_t SoundBufferGetPan(SoundBuffer* buffer, int32_t* pan) {
    return GetLevel(buffer, kPanControl, pan);
}

int32_t SoundBufferSetFrequency(SoundBuffer* buffer, uint32_t frequency) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (const int32_t r = UsableBuffer(e, buffer); r != kSoundOk) return r;
    if (!(buffer->flags & kSoundBufferCtrlFrequency)) return kSoundErrControlUnavailable;
    if (frequency != kSoundFrequencyOriginal &&
        (frequency < kSoundFrequencyMin || frequency > kSoundFrequencyMax))
        return kSoundErrInvalidParam;
    Sync(e);
    if (frequency == buffer->frequency) return kSoundOk;
    buffer->frequency = frequency;
    if (UsesOpenAl(e)) AlApplyPitch(*buffer);
    LogEvent(e, *buffer, AudioEventKind::Frequency, static_cast<int32_t>(frequency));
    return kSoundOk;
}

int32_t SoundBufferGetFrequency(SoundBuffer* buffer, uint32_t* frequency) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (const int32_t r = UsableBuffer(e, buffer); r != kSoundOk) return r;
    if (frequency == nullptr) return kSoundErrInvalidParam;
    if (!(buffer->flags & kSoundBufferCtrlFrequency)) return kSoundErrControlUnavailable;
    *frequency = PlayRate(*buffer);
    return kSoundOk;
}

int32_t SoundBufferRestore(SoundBuffer* buffer) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (const int32_t r = UsableBuffer(e, buffer); r != kSoundOk) return r;
    if (!buffer->lost) return kSoundOk;
    if (buffer->failing_restores > 0) {
        if (buffer->failing_restores != UINT32_MAX) --buffer->failing_restores;
        return kSoundErrBufferLost;
    }
    buffer->lost = false;
    return kSoundOk;
}

void SoundBufferMarkLost(SoundBuffer* buffer, uint32_t failing_restores) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (UsableBuffer(e, buffer) != kSoundOk) return;
    Sync(e);
    if (UsesOpenAl(e)) alSourceStop(buffer->source);
    buffer->playing = false;
    buffer->cursor = 0;
    std::fill(buffer->data.begin(), buffer->data.end(),
              buffer->format.bits_per_sample == 8 ? uint8_t{0x80} : uint8_t{0});
    ApplyEqualiser(*buffer);
    if (UsesOpenAl(e)) AlUpload(*buffer);
    buffer->lost = true;
    buffer->failing_restores = failing_restores;
}

// ---------------------------------------------------------------------------
// Effects

int32_t SoundBufferSetFx(SoundBuffer* buffer, uint32_t count, const SoundFxKind* kinds,
                         int32_t* results) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (const int32_t r = UsableBuffer(e, buffer); r != kSoundOk) return r;
    if (!(buffer->flags & kSoundBufferCtrlFx)) return kSoundErrControlUnavailable;
    if (count > 0 && kinds == nullptr) return kSoundErrInvalidParam;
    Sync(e);
    if (buffer->playing) return kSoundErrInvalidCall;
    // One equaliser per buffer is all this engine offers.
    bool eq = false;
    int32_t result = kSoundOk;
    for (uint32_t i = 0; i < count; ++i) {
        int32_t r = kSoundOk;
        if (kinds[i] != SoundFxKind::ParamEq || eq) r = kSoundErrInvalidParam;
        if (r == kSoundOk) eq = true;
        if (results != nullptr) results[i] = r;
        if (r != kSoundOk) result = r;
    }
    if (result != kSoundOk) return result;
    buffer->has_eq = eq;
    buffer->eq.params = ParamEqParams{8000.0f, 12.0f, 0.0f};
    ApplyEqualiser(*buffer);
    if (UsesOpenAl(e)) AlUpload(*buffer);
    return kSoundOk;
}

int32_t SoundBufferGetParamEq(SoundBuffer* buffer, SoundParamEq** out) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (const int32_t r = UsableBuffer(e, buffer); r != kSoundOk) return r;
    if (out == nullptr) return kSoundErrInvalidParam;
    *out = nullptr;
    if (!buffer->has_eq) return kSoundErrFail;
    *out = &buffer->eq;
    return kSoundOk;
}

int32_t SoundParamEqSetAllParameters(SoundParamEq* eq, const ParamEqParams& params) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (eq == nullptr || UsableBuffer(e, eq->owner) != kSoundOk || !eq->owner->has_eq)
        return kSoundErrInvalidParam;
    if (!(params.center >= 80.0f && params.center <= 16000.0f) ||
        !(params.bandwidth >= 1.0f && params.bandwidth <= 36.0f) ||
        !(params.gain >= -15.0f && params.gain <= 15.0f))
        return kSoundErrInvalidParam;
    Sync(e);
    eq->params = params;
    ApplyEqualiser(*eq->owner);
    if (UsesOpenAl(e)) AlUpload(*eq->owner);
    return kSoundOk;
}

int32_t SoundParamEqGetAllParameters(SoundParamEq* eq, ParamEqParams* params) {
    Engine& e = Eng();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (eq == nullptr || params == nullptr || UsableBuffer(e, eq->owner) != kSoundOk ||
        !eq->owner->has_eq)
        return kSoundErrInvalidParam;
    *params = eq->params;
    return kSoundOk;
}

}  // namespace zu::platform
