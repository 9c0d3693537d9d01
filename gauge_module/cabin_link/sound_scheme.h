// The sound scheme: which cockpit sounds play, when, and with which level,
// frequency and pan. The sound objects themselves (one buffer per WAV file)
// are the sound-object engine's (core/sound_objects.h); this file loads the
// module's sound set once and runs every sound family on the 64 ms tick.
//
// Levels passed to PlaySoundObject run 0..4995 (below 100 stops the sound).
// Where no frequency is asked for, a sound plays at its file's own rate.
// Buses are the bus-powered bytes of Electrics_sys, named as on the
// instructor's electrics page (BusPoweredByte).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zu {

// AircraftFolderPath + "sound\".
extern char SoundDirectoryPath[256];

// Windshield-wiper blade: position 170 (parked) .. 290 and direction +1/-1.
struct WiperStateRecord {
    int32_t position;
    int32_t direction;
};
extern WiperStateRecord WiperState;

// The ground-proximity voice: the row being said and where it is.
inline constexpr int kGpwsRowLength = 9;
struct VoiceAlertSequencerRecord {
    int8_t row[kGpwsRowLength];  // sound numbers 0 dontsink .. 8 toolow
    int32_t length;              // 0: silence
    int32_t position;
    int32_t gap;     // ticks from the start of one sound to the next
    int32_t repeat;  // ticks before the row starts again
    int32_t last_index;
};
extern VoiceAlertSequencerRecord VoiceAlertSequencer;

// Per-engine state of the engine and propeller sound mixer.
struct EngineSoundRecord {
    double blade_filtered;  // degrees
    double blade_previous;  // degrees, the filtered value of the tick before
    int32_t rpm;            // the sound rpm R
    int32_t step;
    int32_t offset;
    double load;
    double n1_level;
    int32_t stop_hold;  // ticks before the stop sound may play again
    float eq_center;    // the split sound's equaliser as last set
    float eq_gain;
};
extern EngineSoundRecord EngineSound[2];

// Memories and counters of the other families.
struct SoundSchemeStateRecord {
    int32_t cabin_sign_last;
    uint8_t sign_latch_last;
    int32_t electrics_test_beat;  // 0..3
    int32_t tcas_countdown;
    int32_t flaps_last;
    double forward_valve_filter;
    int32_t wiper_selector_last;
    uint8_t ap_disconnect_long;  // the loaded disconnect sound is the long one
};
extern SoundSchemeStateRecord SoundSchemeState;

// Update service, once the FSUIPC link is up: loads the sound set with its
// initial levels; with ENTERTAINMENT the songs and the music volume.
void SoundSystemInit();
// The per-tick sound scheme (while SoundSystemStarted).
void SoundTick();
// The windshield-wiper step, every tick.
void WiperUpdate();
// Chooses the autopilot-disconnect sound: the long one unless the FGC 1
// self-test runs.
void ApDisconnectSoundSelect();

// The families of SoundTick, in its order.
void SystemSounds();
void WarningTones();
void GpwsVoice();
void TcasVoice();
void ComExchangeChime();
void SoundMixEngine();
void FlapSelectorSound();
void EnvironmentSounds();

// A sound object's playing state and its file's sample rate (22050 when it
// has none).
bool SoundPlaying(int index);
int32_t SoundFileRate(int index);

// Every file the sound scheme may open, once each, as a path below the
// aircraft folder with '/' separators ("sound/click_tiny.wav"). For laying
// out an aircraft folder; the tick never calls it.
std::vector<std::string> SoundSetRelativePaths();

}  // namespace zu
