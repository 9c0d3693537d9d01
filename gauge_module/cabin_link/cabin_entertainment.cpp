// The cabin (see cabin_entertainment.h).
#include "cabin_link/cabin_entertainment.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "cabin_link/sound_scheme.h"
#include "core/alerting.h"
#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_client.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/powerplant.h"
#include "core/sound_objects.h"
#include "core/systems_tick.h"
#include "instruments/audio_panel.h"
#include "panels/bleed_air_panel.h"
#include "panels/display_control_panels.h"
#include "panels/lighting_panels.h"
#include "zu/platform/media_graph.h"
#include "zu/platform/paths.h"
#include "zu/platform/timer.h"
#include "zu/platform/win_ipc.h"
#include "zu/platform/window_timer.h"

namespace zu {

uint8_t AudioRoutingMask = 0;
FlightPhaseStateRecord FlightPhaseState{};
int32_t AnnouncementLastSelection = 0;
uint8_t CabinMusicSwitchLast = 0;
CabinMusicRecord CabinMusic{};

namespace {

platform::MediaGraph* MusicGraph = nullptr;
platform::WindowHandle MusicWindow = 0;

// ---------------------------------------------------------------------------
// Sequencer

// Announcement chosen on entering each state (0: none).
constexpr int32_t kStateSelection[10] = {0, 1, 2, 3, 12, 4, 13, 6, 14, 7};
constexpr int32_t kStateTicks[10] = {1440, 32, 0, 80, 80, 4800, 48, 480, 640, 48};

bool SeatBeltOn() {
    return RightPanelLights[0] != 0;
}

bool PhaseCondition(int32_t state) {
    const float nh1 = Nh1State.nh;
    const float nh2 = Nh2State.nh;
    switch (state) {
        case 0:
            return SeatBeltOn();
        case 1:
            return nh1 > 30.0f || nh2 > 30.0f;
        case 2:
            return nh2 > 50.0f && nh1 > 40.0f && EntertainmentSelection == 0;
        case 3:
            return Powerplants_controls_throttle_limiter == 0;
        case 4:
            return HostGearHandle == 0 && PropRpm[0] < 1100.0 && RadioAltitudeReadoutValue >= 1001;
        case 5:
            return FGC_comp_AP1_vertical_mode == 1;
        case 6:
            return Altitude + 2000.0f < FlightPhaseState.highest_altitude && SeatBeltOn();
        case 7:
            return flight_controls_FLAPS[0] >= 1;
        case 8:
            return OnGround != 0;
        default:
            return true;
    }
}

void EnterState(int32_t next) {
    FlightPhaseState.state = next;
    FlightPhaseState.countdown = 0;
}

// Side effects of a state on every tick, before its countdown.
void PhaseSideEffects(int32_t state) {
    FlightPhaseStateRecord& f = FlightPhaseState;
    if (state == 0 && f.countdown == 1280) CabinMusicSwitch = 1;
    if (state == 1) {
        const bool stopped = Nh1State.nh <= 30.0f && Nh2State.nh <= 30.0f;
        const bool bleeds = PneuPanelSwitches[0] != 0 && PneuPanelSwitches[1] != 0;
        if (stopped && !bleeds) {
            if (f.music_off_countdown == 0) {
                f.music_off_countdown = 48;
            } else if (--f.music_off_countdown == 0) {
                CabinMusicSwitch = 0;
            }
        }
    }
    if (state == 3) {
        if (LandingLightSwitch1.get() != 0 || LandingLightSwitch2.get() != 0 ||
            Powerplants_controls_throttle_limiter == 0) {
            CabinMusicSwitch = 0;
        }
    }
}

void PhaseCountdown() {
    FlightPhaseStateRecord& f = FlightPhaseState;
    const int32_t state = f.state;
    const bool holds = PhaseCondition(state);
    // Only the climb's countdown is dropped when its condition lapses.
    if (state == 5 && !holds) f.countdown = 0;
    if (kStateTicks[state] == 0) {
        if (holds) EnterState(state + 1);
        return;
    }
    if (f.countdown == 0) {
        if (holds) f.countdown = kStateTicks[state];
        return;
    }
    // The step happens on the tick the countdown reaches 1.
    if (--f.countdown > 1) return;
    if (state == 8) CabinMusicSwitch = 1;
    if (state == 9) {
        EntertainmentOn = 0;
        EnterState(0);
        return;
    }
    EnterState(state + 1);
}

void TrackAltitudeAndTurbulence() {
    FlightPhaseStateRecord& f = FlightPhaseState;
    if (f.state >= 4 && f.state <= 6 && Altitude > f.highest_altitude) {
        f.highest_altitude = Altitude;
    }
    if (OnGround != 0) f.highest_altitude = 0.0f;
    if ((FrameChangeBits.load(std::memory_order_acquire) & 0x02) != 0) {
        const double t = (std::fabs(HostFeed31C8) + 20.0 * f.turbulence) * 0.04739336492890995;
        f.turbulence = std::isfinite(t) ? static_cast<float>(t) : 0.0f;
    }
    const uint8_t belt = SeatBeltOn() ? 1 : 0;
    if (belt != f.last_seat_belt && f.turbulence > 0.2f && RadioAltitudeReadoutValue >= 1501 &&
        FGC_comp_AP1_vertical_mode == 1 && belt != 0) {
        EntertainmentSelection = 5;
    }
    f.last_seat_belt = belt;
}

// ---------------------------------------------------------------------------
// Music

// The order's own generator (the C library's serves the instruments).
uint32_t MusicRandom() {
    CabinMusic.random_state = CabinMusic.random_state * 214013u + 2531011u;
    return (CabinMusic.random_state >> 16) & 0x7FFF;
}

bool SongPath(int32_t song, char* out, std::size_t size) {
    const int n = std::snprintf(out, size, "%sentertainment\\Songs\\%s", AircraftFolderPath,
                                CabinMusic.names[song]);
    return n > 0 && n <= kMusicPathLimit && static_cast<std::size_t>(n) < size;
}

// Renders the current song of the order and runs it. A path that is too
// long or names no file leaves the graph as it was.
void RenderCurrentSong() {
    if (MusicGraph == nullptr || CabinMusic.count <= 0) return;
    char path[512];
    if (!SongPath(CabinMusic.order[CabinMusic.current], path, sizeof path)) return;
    if (!platform::PathExists(path)) return;
    platform::MediaGraphStop(MusicGraph);
    if (platform::MediaGraphRenderFile(MusicGraph, path) < 0) return;
    platform::MediaGraphSetPosition(MusicGraph, 0);
    platform::MediaGraphRun(MusicGraph);
}

void MusicTimerProc(platform::WindowHandle, uint32_t, void*) {
    MusicTimer();
}

}  // namespace

const char* AnnouncementFileName(int32_t selection) {
    switch (selection) {
        case 1:
            return "FA_Boarding.wav";
        case 2:
            return "FA_Welcome.wav";
        case 3:
            return "FA_Safety.wav";
        case 4:
            return "FA_SeatBeltsOff.wav";
        case 5:
            return "FA_Turbulence.wav";
        case 6:
            return "FA_Approach.wav";
        case 7:
            return "FA_AfterLanding.wav";
        case 11:
            return "FD_Welcome.wav";
        case 12:
            return "FD_BeforeTakeoff.wav";
        case 13:
            return "FD_cruise.wav";
        case 14:
            return "FD_BeforeLanding.wav";
        default:
            return nullptr;
    }
}

void FlightPhaseSequencer() {
    FlightPhaseStateRecord& f = FlightPhaseState;
    if (EntertainmentOn == 0) {
        f.state = 0;
        f.countdown = 0;
        return;
    }
    TrackAltitudeAndTurbulence();
    if (f.state < 5 && RadioAltitudeReadoutValue >= 3001 && !SeatBeltOn()) EnterState(5);
    if (f.state < 0 || f.state > 9) EnterState(0);
    PhaseSideEffects(f.state);
    PhaseCountdown();
    if (f.state != f.last_state) {
        f.last_state = f.state;
        if (kStateSelection[f.state] != 0) EntertainmentSelection = kStateSelection[f.state];
    }
}

void AnnouncementPlayer() {
    // 1. The music switch.
    if (CabinMusicSwitch != CabinMusicSwitchLast) {
        CabinMusicSwitchLast = CabinMusicSwitch;
        if (CabinMusicSwitch != 0) {
            MusicSwitch(true);
            if (EntertainmentSelection > 0) MusicPause(true);
        } else {
            MusicSwitch(false);
        }
    }
    // 2. Music waits while an announcement is selected.
    MusicPause(EntertainmentSelection > 0);

    // 3. A new selection: load and play its announcement.
    SoundObject* object = &SoundSet[kSoundAnnouncement];
    if (EntertainmentSelection != AnnouncementLastSelection) {
        SoundObjectFree(object);
        if (const char* name = AnnouncementFileName(EntertainmentSelection)) {
            char path[512];
            std::snprintf(path, sizeof path, "%sentertainment\\Announcements\\%s",
                          AircraftFolderPath, name);
            SoundObjectCreate(object, path);
            SoundSetParams(object, 0, 0, 500);
            // A file that cannot be played clears its selection at once, so
            // that the music and the sequencer do not wait for it.
            if (object->buffer == nullptr) EntertainmentSelection = 0;
        }
        if (EntertainmentSelection > 0 && object->buffer != nullptr) {
            SoundStart(object, 0);
        }
        AnnouncementLastSelection = EntertainmentSelection;
        return;
    }
    // 4. The announcement has ended.
    if (object->buffer != nullptr && !SoundPlaying(kSoundAnnouncement)) {
        EntertainmentSelection = 0;
        AnnouncementLastSelection = 0;
        SoundObjectFree(object);
    }
}

void UpdateAudioRouting() {
    // 1.
    uint8_t mask = 0;
    AudioPanelVolume = MarkerPanelSwitches[2] != 0 && AudioPanelToggle == 0 ? 1 : 0;
    // 2.
    const bool c = AudioPanelSwitches[12] != 0 || AudioPanelToggle != 0;
    if (c) mask = 128;
    if (MarkerPanelSwitches[2] != 0) {
        if (AudioPanelToggle != 0) {
            mask = c ? 224 : 96;
        } else {
            mask = c ? 192 : 64;
        }
    }
    // 3.
    const bool side1 = DisplayFormatFlags1[0] != 0;
    const bool side2 = DisplayControlState2.Transfer[0] != 0;
    uint8_t nav = 24;
    if (side2 && !side1) nav = 16;
    if (side1 && !side2) nav = 8;
    if (AudioPanelSwitches[3] != 0 || AudioPanelSwitches[12] != 0) mask |= nav;
    if (AudioPanelSwitches[4] != 0) mask |= nav;
    // 4.
    if (AudioPanelSwitches[8] != 0) mask |= 4;
    if (AudioPanelSwitches[5] != 0 || AudioPanelSwitches[6] != 0) mask |= 2;
    if (AudioPanelSwitches[9] != 0 || AudioPanelSwitches[10] != 0) mask |= 1;
    AudioRoutingMask = mask;
}

// ---------------------------------------------------------------------------

void MusicScanSongs(const char* folder) {
    if (CabinMusic.enabled != 0) return;
    char pattern[512];
    std::snprintf(pattern, sizeof pattern, "%s*.*", folder);
    auto* entries = new (std::nothrow) platform::FolderEntry[kMusicMaxSongs + 2];
    if (entries == nullptr) return;
    const int32_t found = platform::ListFolder(pattern, entries, kMusicMaxSongs + 2);
    if (found < 0) {
        delete[] entries;
        return;
    }
    CabinMusic.count = 0;
    delete[] CabinMusic.names;
    CabinMusic.names = new (std::nothrow) char[kMusicMaxSongs][kMusicNameLength];
    for (int32_t i = 0; i < found && CabinMusic.names != nullptr; ++i) {
        // Folders and the "." and ".." entries are no songs.
        if (entries[i].folder || std::strcmp(entries[i].name, ".") == 0 ||
            std::strcmp(entries[i].name, "..") == 0) {
            continue;
        }
        if (CabinMusic.count >= kMusicMaxSongs) break;
        std::snprintf(CabinMusic.names[CabinMusic.count], kMusicNameLength, "%s", entries[i].name);
        ++CabinMusic.count;
    }
    delete[] entries;

    CabinMusic.random_state = static_cast<uint32_t>(platform::ClockNowMs());
    bool taken[kMusicMaxSongs] = {};
    for (int32_t i = 0; i < CabinMusic.count; ++i) {
        int32_t k = static_cast<int32_t>(MusicRandom() % static_cast<uint32_t>(CabinMusic.count));
        while (taken[k]) k = static_cast<int32_t>(MusicRandom() % CabinMusic.count);
        taken[k] = true;
        CabinMusic.order[i] = k;
    }
    CabinMusic.current = 0;
    MusicInit();
    CabinMusic.enabled = 1;
}

int32_t MusicInit() {
    if (MusicGraph == nullptr) {
        const int32_t r = platform::MediaGraphCreate(&MusicGraph);
        if (r < 0) return r;
    }
    // With no songs there is nothing to render. The first song runs from
    // the start of the sound system.
    if (CabinMusic.count > 0) {
        RenderCurrentSong();
        CabinMusic.running = 1;
    }
    MusicWindow = platform::FindTopLevelWindow("FS98MAIN");
    if (platform::SetWindowTimer(MusicWindow, kMusicTimerId, kMusicTimerPeriodMs, MusicTimerProc,
                                 nullptr) == 0) {
        return platform::kMediaErrFail;
    }
    return 0;
}

void MusicTimer() {
    if (MusicGraph == nullptr || CabinMusic.count <= 0) return;
    int64_t position = 0;
    int64_t stop = 0;
    if (platform::MediaGraphGetPosition(MusicGraph, &position) < 0 ||
        platform::MediaGraphGetStopPosition(MusicGraph, &stop) < 0 || position < stop) {
        return;
    }
    CabinMusic.current = (CabinMusic.current + 1) % CabinMusic.count;
    RenderCurrentSong();
    // A song change leaves music that is off or paused so.
    if (CabinMusic.running == 0) {
        platform::MediaGraphStop(MusicGraph);
    } else if (CabinMusic.paused != 0) {
        platform::MediaGraphPause(MusicGraph);
    }
}

void MusicSetVolume(int32_t volume) {
    if (MusicGraph != nullptr) platform::MediaGraphSetVolume(MusicGraph, volume);
}

void MusicSwitch(bool on) {
    if (CabinMusic.enabled == 0 || MusicGraph == nullptr) return;
    if (on == (CabinMusic.running != 0)) return;
    if (on) {
        platform::MediaGraphRun(MusicGraph);
        CabinMusic.running = 1;
        CabinMusic.paused = 0;
    } else {
        if (CabinMusic.paused != 0) platform::MediaGraphRun(MusicGraph);
        platform::MediaGraphStop(MusicGraph);
        CabinMusic.running = 0;
        CabinMusic.paused = 0;
    }
}

void MusicPause(bool pause) {
    if (CabinMusic.enabled == 0 || MusicGraph == nullptr || CabinMusic.running == 0) return;
    if (pause == (CabinMusic.paused != 0)) return;
    if (pause) {
        platform::MediaGraphPause(MusicGraph);
    } else {
        platform::MediaGraphRun(MusicGraph);
    }
    CabinMusic.paused = pause ? 1 : 0;
}

void MusicShutdown() {
    // The timer goes first: it would otherwise fire on a released player.
    platform::KillWindowTimer(MusicWindow, kMusicTimerId);
    if (MusicGraph != nullptr) {
        platform::MediaGraphStop(MusicGraph);
        platform::MediaGraphRelease(MusicGraph);
        MusicGraph = nullptr;
    }
    delete[] CabinMusic.names;
    CabinMusic = {};
    CabinMusicSwitchLast = 0;
}

}  // namespace zu
