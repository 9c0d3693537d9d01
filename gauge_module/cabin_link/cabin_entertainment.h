// The cabin: announcements chosen by the flight-phase sequencer or the
// ENTERTAINMENT panel, background music from the songs folder (paused while
// an announcement plays), and the audio routing that folds the AUDIO panel's
// selections into the simulator's radio-audio mask.
//
// The sequencer, the announcement player and the routing run on the systems
// tick (through SoundTick); MusicTimer runs on the simulator's window thread
// when the host pumps its window timers.
#pragma once

#include <cstdint>

namespace zu {

// Radio-audio selection, written to FSUIPC 0x3122 by the write batch.
extern uint8_t AudioRoutingMask;

// The flight-phase sequencer's state.
struct FlightPhaseStateRecord {
    int32_t state;  // 0..9
    int32_t countdown;
    int32_t last_state;
    float highest_altitude;  // feet
    uint8_t last_seat_belt;
    float turbulence;
    int32_t music_off_countdown;  // state 1: engines stopped, bleeds not both on
};
extern FlightPhaseStateRecord FlightPhaseState;

// The announcement player's memory of the selection.
extern int32_t AnnouncementLastSelection;
// The music switch as the player last saw it.
extern uint8_t CabinMusicSwitchLast;

// Announcement file of a selection ("FA_Boarding.wav" ...), or null for 0,
// 8, 9, 10 and anything out of range.
const char* AnnouncementFileName(int32_t selection);

void FlightPhaseSequencer();
void AnnouncementPlayer();
void UpdateAudioRouting();

// ---------------------------------------------------------------------------
// Cabin music

inline constexpr int kMusicMaxSongs = 256;
inline constexpr int kMusicNameLength = 256;
inline constexpr int kMusicPathLimit = 128;  // longer paths count as missing
inline constexpr uint32_t kMusicTimerId = 1;
inline constexpr uint32_t kMusicTimerPeriodMs = 10000;

struct CabinMusicRecord {
    char (*names)[kMusicNameLength];  // the song names (heap, freed at shutdown)
    int32_t count;
    int32_t order[kMusicMaxSongs];  // a random permutation of 0..count-1
    int32_t current;                // index into order
    uint8_t enabled;
    uint8_t paused;
    uint8_t running;  // switched on (run or paused)
    uint32_t random_state;
};
extern CabinMusicRecord CabinMusic;

// Scans "entertainment\Songs\" below the aircraft folder, shuffles the
// order, creates the player and renders the first song (only while music
// is not enabled).
void MusicScanSongs(const char* folder);
// Creates the player, renders the first song, starts the 10 s timer on the
// simulator's window; 0 or the failure.
int32_t MusicInit();
// Window-timer callback: the next song once the current one has ended.
void MusicTimer();
// Music volume in hundredths of a decibel.
void MusicSetVolume(int32_t volume);
// Cabin music on (run) or off (resume if paused, then stop).
void MusicSwitch(bool on);
// Pause or resume while switched on.
void MusicPause(bool pause);
// Stops and releases the player and the timer, frees the names.
void MusicShutdown();

}  // namespace zu
