// Sound objects: every cockpit sound, voice alert, click and cabin
// announcement is one SoundObject, a WAV file loaded whole into one sound
// buffer on a sound device of the object's own. The sound set below is the
// module's collection of them; the sound scheme loads it and decides what
// plays when, the gauges' mouse handlers play the click sounds.
//
// Almost every play path first calls RestoreSoundBuffer, so that a buffer
// lost to another program is restored and refilled before it plays. An
// object without a buffer (its file missing or unreadable) stays in the set
// and every operation on it does nothing.
//
// Volumes are hundredths of a decibel (-10000..0). Every volume set through
// SoundSetParams or SoundSetPanVolume is first scaled by the master volume
// SOUND_VOLUME (SoundScaleVolume). Pans run from -10000 (left) to 10000
// (right), frequencies are in Hz of the file's samples (0: the file's own).
//
// Play, stop and parameter calls come from the gauge thread (clicks) and the
// systems tick (the sound scheme); each works on one object's buffer, which
// the sound device serialises. Playing allocates nothing.
#pragma once

#include <cstdint>

#include "zu/platform/riff_reader.h"
#include "zu/platform/sound_device.h"

namespace zu {

struct SoundObject {
    // Heap copy of the file's wave format: the PCM record, extended by its
    // extra bytes when the format is not plain PCM.
    platform::WaveFormat* format;
    // The WAV file, open while the object lives.
    platform::MmioFile* file;
    platform::ChunkInfo data_chunk;  // its size is the number of sample bytes
    platform::ChunkInfo riff_chunk;
    // Parametric equaliser of objects opened with one: centre (Hz),
    // bandwidth (semitones), gain (dB).
    float eq_center;
    float eq_bandwidth;
    float eq_gain;
    platform::SoundParamEq* effect;  // the buffer's equaliser, or null
    platform::SoundDevice* device;
    // Gauges test this field to see whether the object can play.
    platform::SoundBuffer* buffer;
    uint32_t reserved1;
    uint32_t buffer_size;  // bytes (= data chunk size)
    uint8_t reserved2[16];
};

// Buffer kind the next open creates: 0 plain (volume, pan and frequency
// control, static), 1 with effects (volume and pan control, no frequency).
extern uint32_t SoundBufferKind;
inline constexpr uint32_t kSoundBufferFlagsKind0 = 0x80E2;
inline constexpr uint32_t kSoundBufferFlagsKind1 = 0x82C0;

// Restore attempts before RestoreSoundBuffer gives up on a lost buffer.
inline constexpr int kSoundRestoreTries = 3;

// The sound set, in loading order.
enum SoundSetIndex : int {
    kSoundClickSwitchSmall,  // "click_switch_small.wav"
    kSoundClickSwitchLarge,  // "click_switch_large.wav"
    kSoundClickTiny,         // "click_tiny.wav"
    kSoundClUnlock,          // "CL_unlock.wav"
    kSoundClLock,            // "CL_lock.wav"
    kSoundPlsUp,             // "PLs_up.wav"
    kSoundPlsDown,           // "PLs_down.wav"
    kSoundFlapsSelector,     // "flaps_selector.wav"
    kSoundElectricalSystem,  // "electrical\electricalsystem.wav"
    kSoundAvionics,          // "electrical\avionics.wav"
    kSoundTriangle2000,      // "computers\triangle2000.wav"
    kSoundRevBetaHorn,       // "computers\revbetahorn.wav"
    kSoundApDisconnect,      // "ap_disc_short.wav" or "ap_disc_long.wav"
    kSoundRecirc,            // "aircond\recirc.wav"
    kSoundBleed,             // "aircond\bleed.wav"
    kSoundForwardValve,      // "aircond\forwardvalve.wav"
    kSoundWipers,            // "aircond\wipers.wav"
    kSoundSeatBelts,         // "electrical\sitbelts.wav"
    kSoundCall,              // "electrical\call.wav"
    kSoundAltWarn,           // "computers\alt_warn.wav"
    kSoundStall,             // "computers\stall.wav"
    kSoundStickPusher,       // "electrical\stickpusher.wav"
    kSoundFireBell,          // "electrical\firebell1.wav"
    kSoundTakeoffWarning,    // "computers\towarning.wav"
    kSoundStickPusherInit,   // "electrical\stickpusher_init.wav"
    kSoundElectricsInit,     // "electrical\electrics_init_sound.wav" (the AFCS sound)
    kSoundGpwsDontSink,      // "computers\GPWS_dontsink.wav"
    kSoundGpwsFlaps,         // "computers\GPWS_flaps.wav"
    kSoundGpwsGear,          // "computers\GPWS_gear.wav"
    kSoundGpwsGlideslope,    // "computers\GPWS_glideslope.wav"
    kSoundGpwsMinimums,      // "computers\GPWS_minimums.wav"
    kSoundGpwsPullUp,        // "computers\GPWS_pullup.wav"
    kSoundGpwsSinkRate,      // "computers\GPWS_sinkrate.wav"
    kSoundGpwsTerrain,       // "computers\GPWS_terrain.wav"
    kSoundGpwsTooLow,        // "computers\GPWS_toolow.wav"
    kSoundTcasTraffic,       // "computers\TCAS_traffic.wav"
    kSoundComExchange,       // "computers\com_xchg.wav"
    kSoundGenSpin1,          // "engine\gen_spin3.wav", engine 1
    kSoundN1Engine1,         // "engine\N1_sound_2.wav", engine 1
    kSoundGenSpin2,          // engine 2
    kSoundN1Engine2,         // engine 2
    kSoundPropFeather1,      // "prop\prop_feather_50_ground_2.wav", engine 1
    kSoundPropGround1,       // "prop\prop_minus3_800_ground.wav"
    kSoundPropLowFlight1,    // "prop\prop_1050_low_flight.wav"
    kSoundPropReverse1,      // "prop\prop_minus3_reverse_ground.wav"
    kSoundPropHighGround1,   // "prop\prop_1200_high_ground_l.wav"
    kSoundPropHighFlight1,   // "prop\prop_1200_high_flight.wav"
    kSoundPropStop1,         // "prop\prop_stop2.wav"
    kSoundPropFeather2,      // engine 2, in the same order
    kSoundPropGround2,
    kSoundPropLowFlight2,
    kSoundPropReverse2,
    kSoundPropHighGround2,  // "prop\prop_1200_high_ground_r.wav"
    kSoundPropHighFlight2,
    kSoundPropStop2,
    kSoundPropGroundSplit1,  // "prop\prop_25_800_ground.wav", engine 1
    kSoundPropGroundSplit2,  // engine 2, loaded only with SOUND_SPLIT_PLS
    kSoundWind,              // "environment\wind1.wav"
    kSoundGearWind,          // "environment\gearwind1.wav"
    kSoundGroundRoll,        // "Sound\cnroll3.wav" (below the aircraft folder)
    kSoundTailStrike,        // "sound\ex_tailbreak01.wav" (below the aircraft folder)
    kSoundCabinAmbience,     // "external\env1.wav"
    kSoundGearUp1,           // "Kmgearup.wav"
    kSoundGearUp2,           // "Kmgearup.wav", second object
    kSoundAnnouncement,      // the cabin announcement player's object
    kSoundSetCount
};
extern SoundObject SoundSet[kSoundSetCount];

// Levels of the ramped sounds (moved each tick by the sound scheme).
extern int32_t AvionicsSoundLevel;  // 0..60
extern int32_t RecircSoundLevel;
extern int32_t BleedSoundLevel;
// Avionics fan volume against the lower propeller speed (TableLookup8 form).
extern const float AvionicsVolumeTable[16];

// The master-volume scaling of a volume: the playable range -5000..0 is
// compressed toward -5000 by SOUND_VOLUME/256; below -4994 the result is
// silence (-10000), and it never exceeds -5.
int32_t SoundScaleVolume(int32_t volume);

// Creates the object's device (releasing one it had) on the simulator's
// window; 0 or the failing result.
int32_t SoundDeviceInit(SoundObject* object);
// Opens and parses the WAV at `path` and creates the (still silent) buffer;
// 0, -1 when the file cannot be opened or is not a usable WAV, or the
// failing creation result.
int32_t SoundObjectOpen(SoundObject* object, const char* path);
// The same for a WAV whose file the object already holds open in `file`.
int32_t SoundObjectOpenFile(SoundObject* object);
// Copies the sample data from the file into the buffer.
int32_t SoundFillBuffer(SoundObject* object);

// Device + open + fill, then frequency, pan and volume reset. A failure
// leaves the object without a buffer; the result is 0 or the failure.
int32_t SoundObjectCreate(SoundObject* object, const char* path);
// Open + fill on the device the object already has; 0 on success, 1 on
// failure.
int32_t SoundObjectCreateShared(SoundObject* object, const char* path);
// Device + open with effects + fill + the parametric equaliser (2000 Hz, 12
// semitones, +14 dB).
int32_t SoundObjectCreateWithEq(SoundObject* object, const char* path);

// Sets frequency, pan and scaled volume, in that order; stops at the first
// failure and returns it.
int32_t SoundSetParams(SoundObject* object, int32_t frequency, int32_t pan, int32_t volume);
// Sets pan and scaled volume.
int32_t SoundSetPanVolume(SoundObject* object, int32_t pan, int32_t volume);
// Restores and refills a lost buffer; 0 when there is nothing to do or it
// worked, else the failure (after kSoundRestoreTries attempts).
int32_t RestoreSoundBuffer(SoundObject* object);
// RestoreSoundBuffer, then plays from the current position (looping when
// `loop` is non-zero).
int32_t SoundStart(SoundObject* object, int32_t loop);

// The main play call: `level` 0..4995 (below 100 stops the sound, as does a
// frequency of 0 or less); a sound already playing only takes the new
// frequency, pan and volume. While the simulator is paused
// (HostPauseIndicator) it stops the sound instead.
void PlaySoundObject(SoundObject* object, int32_t level, int32_t frequency, int32_t pan,
                     int32_t loop);
// Like PlaySoundObject with `level` 0..10000, `enable` in the frequency's
// place in the stop test, no frequency and no pause test.
void PlaySoundObjectPanVolume(SoundObject* object, int32_t level, int32_t enable, int32_t pan,
                              int32_t loop);

// Closes the file, frees the format, stops, rewinds and releases the buffer
// and releases the device; the object can be loaded again.
void SoundObjectFree(SoundObject* object);
// Frees every object of the sound set (the engine-2 split propeller sound
// only with SOUND_SPLIT_PLS, the announcement last) and clears
// SoundSystemStarted.
void SoundShutdown();

// Ramped sounds, one step per call.
void AvionicsSoundUp();
void AvionicsSoundDown();
void RecircSoundRamp(int32_t target);
void BleedSoundRamp(int32_t target);

}  // namespace zu
