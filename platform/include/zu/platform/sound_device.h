// Sound devices and secondary sound buffers, played through OpenAL Soft.
//
// A process has one audio engine. Every SoundDevice is a handle on it; a
// SoundBuffer holds one whole sound (PCM, 8 or 16 bits, mono or stereo) with
// its own volume, pan, frequency, loop flag, play state and play position,
// and optionally a parametric equaliser that filters its samples.
//
// Modes (chosen by the host before the first device is created):
//  - Device: plays in real time through the machine's audio device. Where
//    the machine has none, the engine renders the same mix in memory,
//    paced by the platform clock (timer.h), so sounds still start, end and
//    loop on time.
//  - Loopback: nothing plays by itself. The host calls AudioRender after
//    each frame with the number of output frames that frame lasted; sounds
//    advance only then, so the output depends on simulated time alone.
//  - Silent: no samples are mixed; positions advance with the platform
//    clock (simulated in lockstep mode) so one-shot sounds still end.
// Rendering uses OpenAL Soft's loopback device; when that extension is
// missing an internal mixer of the same behaviour takes its place. Creating
// devices and buffers never fails for want of an audio device.
//
// The output is 44100 Hz stereo 16-bit. Units follow the buffer interface
// the module was written for: volume in hundredths of a decibel (0 = full,
// -10000 = silent), pan -10000 (left channel only) .. 10000 (right only),
// each step attenuating the other channel by 1/100 dB; frequency in Hz of
// the buffer's own samples (0 = the format's rate).
//
// Every call is thread-safe and returns without waiting for the device.
// Results are 0 (kSoundOk) or a negative failure code.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zu/platform/riff_reader.h"
#include "zu/platform/win_ipc.h"

namespace zu::platform {

// ---------------------------------------------------------------------------
// Results

inline constexpr int32_t kSoundOk = 0;
inline constexpr int32_t kSoundErrFail = static_cast<int32_t>(0x80004005);
inline constexpr int32_t kSoundErrOutOfMemory = static_cast<int32_t>(0x8007000E);
inline constexpr int32_t kSoundErrInvalidParam = static_cast<int32_t>(0x80070057);
inline constexpr int32_t kSoundErrInvalidCall = static_cast<int32_t>(0x88780032);
inline constexpr int32_t kSoundErrBadFormat = static_cast<int32_t>(0x88780064);
inline constexpr int32_t kSoundErrBufferLost = static_cast<int32_t>(0x88780096);
inline constexpr int32_t kSoundErrControlUnavailable = static_cast<int32_t>(0x8878001E);

// ---------------------------------------------------------------------------
// Engine

enum class AudioMode { Device, Loopback, Silent };
enum class AudioBackend {
    None,            // not opened yet
    OpenAlDevice,    // OpenAL on the machine's audio device
    OpenAlLoopback,  // OpenAL rendering into memory
    SoftwareMixer,   // the internal mixer (OpenAL's loopback unavailable)
    Silent,          // no mixing
};

inline constexpr uint32_t kAudioOutputRate = 44100;
inline constexpr uint32_t kAudioOutputChannels = 2;

// Selects the mode. While any sound device exists only the current mode is
// accepted (false otherwise).
bool SetAudioMode(AudioMode mode);
AudioMode GetAudioMode();
// What renders now (opens the engine if needed).
AudioBackend GetAudioBackend();

// Loopback mode: renders `frames` output frames and, when `out` is not null,
// writes them interleaved (left, right); returns `frames`. Other modes write
// silence (when `out` is given), move nothing and return 0.
uint32_t AudioRender(int16_t* out, uint32_t frames);

// Frames the mixers (OpenAL's loopback or the internal one) rendered since
// the engine opened. Silence that nobody takes is not mixed: while no
// buffer plays, rendering without an output and the clock-paced catch-up
// only move the clock.
uint64_t AudioMixedFrames();

// Frame number the host stamps on the events that follow.
void AudioSetFrame(uint64_t frame);

// Event log of what the buffers were asked to do, oldest first.
enum class AudioEventKind : uint8_t {
    Play,       // a stopped buffer started; value = 1 when looping
    Stop,       // a playing buffer was stopped; value = play position in bytes
    End,        // a one-shot sound reached its end by itself
    Volume,     // value = new volume
    Pan,        // value = new pan
    Frequency,  // value = new frequency (0 = the format's rate)
    Pause,      // a playing buffer was paused; value = play position in bytes
};
struct AudioEvent {
    uint64_t frame;
    uint32_t buffer_id;
    AudioEventKind kind;
    int32_t value;
    char label[96];  // the buffer's label (its end where it is longer)
};
inline constexpr uint32_t kAudioEventCapacity = 16384;
// Moves up to `max` events out of the log; returns how many.
uint32_t AudioTakeEvents(AudioEvent* out, uint32_t max);
// Events lost because the log was full (the oldest are dropped).
uint64_t AudioDroppedEvents();

// Releases every device and buffer and closes the engine; the next call
// opens it again. For the host at exit and for tests.
void AudioShutdown();

// Test hook: use the internal mixer instead of OpenAL's loopback device in
// Loopback mode (and for a Device mode without device). Takes effect the
// next time the engine opens.
void AudioForceSoftwareMixer(bool force);

// ---------------------------------------------------------------------------
// Devices

struct SoundDevice;
struct SoundBuffer;

// Cooperative levels.
inline constexpr uint32_t kSoundCoopNormal = 1;
inline constexpr uint32_t kSoundCoopPriority = 2;
inline constexpr uint32_t kSoundCoopExclusive = 3;
inline constexpr uint32_t kSoundCoopWritePrimary = 4;

// Speaker configurations (low byte); the mix stays stereo.
inline constexpr uint32_t kSpeakerHeadphone = 1;
inline constexpr uint32_t kSpeakerMono = 2;
inline constexpr uint32_t kSpeakerQuad = 3;
inline constexpr uint32_t kSpeakerStereo = 4;
inline constexpr uint32_t kSpeakerSurround = 5;
inline constexpr uint32_t kSpeaker5Point1 = 6;
inline constexpr uint32_t kSpeaker7Point1 = 7;

int32_t SoundDeviceCreate(SoundDevice** out);
// Releases the device and every buffer still created on it.
void SoundDeviceRelease(SoundDevice* device);
// `window` may be 0; the level must be one of the four above.
int32_t SoundDeviceSetCooperativeLevel(SoundDevice* device, WindowHandle window, uint32_t level);
int32_t SoundDeviceSetSpeakerConfig(SoundDevice* device, uint32_t config);
int32_t SoundDeviceGetSpeakerConfig(SoundDevice* device, uint32_t* config);

// ---------------------------------------------------------------------------
// Buffers

// Creation flags.
inline constexpr uint32_t kSoundBufferPrimary = 0x0001;
inline constexpr uint32_t kSoundBufferStatic = 0x0002;
inline constexpr uint32_t kSoundBufferCtrlFrequency = 0x0020;
inline constexpr uint32_t kSoundBufferCtrlPan = 0x0040;
inline constexpr uint32_t kSoundBufferCtrlVolume = 0x0080;
inline constexpr uint32_t kSoundBufferCtrlFx = 0x0200;
inline constexpr uint32_t kSoundBufferGlobalFocus = 0x8000;

// Status bits.
inline constexpr uint32_t kSoundStatusPlaying = 0x1;
inline constexpr uint32_t kSoundStatusBufferLost = 0x2;
inline constexpr uint32_t kSoundStatusLooping = 0x4;

// Play flag.
inline constexpr uint32_t kSoundPlayLooping = 0x1;

inline constexpr int32_t kSoundVolumeMin = -10000;
inline constexpr int32_t kSoundVolumeMax = 0;
inline constexpr int32_t kSoundPanLeft = -10000;
inline constexpr int32_t kSoundPanRight = 10000;
inline constexpr uint32_t kSoundFrequencyOriginal = 0;
inline constexpr uint32_t kSoundFrequencyMin = 100;
inline constexpr uint32_t kSoundFrequencyMax = 200000;

// Creates a buffer of `bytes` bytes (4 .. 0x0FFFFFFF) for `format` (PCM or
// extensible PCM, 1 or 2 channels, 8 or 16 bits, 100 .. 200000 Hz). The
// data start silent. A primary buffer (kSoundBufferPrimary) takes no size
// and no format and can only be released.
int32_t SoundDeviceCreateBuffer(SoundDevice* device, uint32_t flags, uint32_t bytes,
                                const WaveFormat* format, SoundBuffer** out);
void SoundBufferRelease(SoundBuffer* buffer);

// A name for the event log (typically the file the data came from).
void SoundBufferSetLabel(SoundBuffer* buffer, const char* label);
uint32_t SoundBufferId(const SoundBuffer* buffer);

// Gives write access to `bytes` bytes from `offset` (wrapping to the start
// where they pass the end: the second part comes in *part2). 0 bytes with
// offset 0 means the whole buffer. The new data take effect at Unlock.
int32_t SoundBufferLock(SoundBuffer* buffer, uint32_t offset, uint32_t bytes, void** part1,
                        uint32_t* bytes1, void** part2, uint32_t* bytes2);
int32_t SoundBufferUnlock(SoundBuffer* buffer, void* part1, uint32_t bytes1, void* part2,
                          uint32_t bytes2);

int32_t SoundBufferGetStatus(SoundBuffer* buffer, uint32_t* status);
// Plays from the current position; a playing buffer only takes the new loop
// flag. A one-shot sound stops by itself at its end and rewinds to 0.
int32_t SoundBufferPlay(SoundBuffer* buffer, uint32_t reserved, uint32_t priority, uint32_t flags);
// Stops; the position is kept.
int32_t SoundBufferStop(SoundBuffer* buffer);
// Stop that the log records as a pause (the media player's pause).
int32_t SoundBufferPause(SoundBuffer* buffer);
// Play position in bytes (the write position is the same).
int32_t SoundBufferGetCurrentPosition(SoundBuffer* buffer, uint32_t* play, uint32_t* write);
int32_t SoundBufferSetCurrentPosition(SoundBuffer* buffer, uint32_t position);

int32_t SoundBufferSetVolume(SoundBuffer* buffer, int32_t volume);
int32_t SoundBufferGetVolume(SoundBuffer* buffer, int32_t* volume);
int32_t SoundBufferSetPan(SoundBuffer* buffer, int32_t pan);
int32_t SoundBufferGetPan(SoundBuffer* buffer, int32_t* pan);
int32_t SoundBufferSetFrequency(SoundBuffer* buffer, uint32_t frequency);
int32_t SoundBufferGetFrequency(SoundBuffer* buffer, uint32_t* frequency);

// Restores a lost buffer (its data are then silent until written again).
// Returns kSoundErrBufferLost while the buffer cannot be restored yet.
int32_t SoundBufferRestore(SoundBuffer* buffer);

// Test hook: the buffer is lost (it stops and its data are gone), as when
// another program takes the device; the next `failing_restores` restores
// fail with kSoundErrBufferLost (UINT32_MAX: every one).
void SoundBufferMarkLost(SoundBuffer* buffer, uint32_t failing_restores);

// ---------------------------------------------------------------------------
// Effects

enum class SoundFxKind : uint32_t { ParamEq = 1 };
struct SoundParamEq;  // the equaliser of one buffer

// Sets the buffer's effects (count 0 removes them). The buffer must have
// kSoundBufferCtrlFx and be stopped. results[i] (may be null) receives each
// effect's own result.
int32_t SoundBufferSetFx(SoundBuffer* buffer, uint32_t count, const SoundFxKind* kinds,
                         int32_t* results);
// The equaliser set on the buffer; kSoundErrFail when it has none.
int32_t SoundBufferGetParamEq(SoundBuffer* buffer, SoundParamEq** out);

// Parametric equaliser: a peaking filter at `center` Hz (80 .. 16000) over
// `bandwidth` semitones (1 .. 36) with `gain` dB (-15 .. 15). A new equaliser
// starts at 8000 Hz, 12 semitones, 0 dB.
struct ParamEqParams {
    float center;
    float bandwidth;
    float gain;
};
int32_t SoundParamEqSetAllParameters(SoundParamEq* eq, const ParamEqParams& params);
int32_t SoundParamEqGetAllParameters(SoundParamEq* eq, ParamEqParams* params);

}  // namespace zu::platform
