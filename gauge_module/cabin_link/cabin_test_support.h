// Test fixture of the sound scheme and the cabin: a temporary aircraft
// folder holding every file of the sound set (short tones), the
// announcements and songs a test asks for; sound in loopback mode on the
// lockstep clock; the sound set loaded as the module loads it. Ticks render
// 64 ms of sound each, so one-shot sounds end in simulated time.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "cabin_link/cabin_entertainment.h"
#include "cabin_link/sound_scheme.h"
#include "core/air_conditioning.h"
#include "core/alerting.h"
#include "core/cabin_doors.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/fire_protection.h"
#include "core/flight_controls.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_client.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/settings_file.h"
#include "core/sound_objects.h"
#include "core/systems_tick.h"
#include "displays/tcas.h"
#include "instruments/audio_panel.h"
#include "instruments/com_control_heads.h"
#include "panels/anti_ice_panel.h"
#include "panels/bleed_air_panel.h"
#include "panels/display_control_panels.h"
#include "panels/lighting_panels.h"
#include "zu/platform/paths.h"
#include "zu/platform/riff_reader.h"
#include "zu/platform/sound_device.h"
#include "zu/platform/timer.h"
#include "zu/platform/window_timer.h"

namespace zu::cabin_test {

namespace fs = std::filesystem;

// 64 ms of output at the loopback rate.
inline constexpr uint32_t kTickFrames = 44100 * 64 / 1000;

class CabinSoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::AudioShutdown();
        ASSERT_TRUE(platform::SetClockMode(platform::ClockMode::Lockstep));
        ASSERT_TRUE(platform::SetAudioMode(platform::AudioMode::Loopback));
        dir_ = fs::temp_directory_path() /
               ("cabin_sound_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ResetGlobals();
        std::snprintf(AircraftFolderPath, sizeof AircraftFolderPath, "%s\\",
                      platform::FromHostPath(dir_.string()).c_str());
        for (const char* name : kSetFiles) WriteTone(std::string("sound/") + name, 2205);
    }
    void TearDown() override {
        SoundShutdown();
        platform::AudioShutdown();
        platform::SetAudioMode(platform::AudioMode::Device);
        platform::SetClockMode(platform::ClockMode::Real);
        ResetGlobals();
        fs::remove_all(dir_);
    }

    static void ResetGlobals() {
        SOUND_VOLUME = 255;
        MUSIC_VOLUME = 255;
        ENTERTAINMENT = 0;
        SOUND_SPLIT_PLS = 0;
        EPIC = 0;
        HostPauseIndicator = 0;
        Electrics_sys = {};
        PropRpm[0] = PropRpm[1] = 0.0;
        Nh1State = {};
        Nh2State = {};
        IndicatedAirspeed = 0.0f;
        Altitude = 0.0f;
        GroundSpeed = 0;
        OnGround = 1;
        DoorOpenLevel = 0;
        RadioAltitude = 10.0;
        RadioAltitudeReadoutValue = 0;
        PitchAttitude = 0.0f;
        std::fill(std::begin(AirDataFlags), std::end(AirDataFlags), 0);
        VoiceAlertIndex = 0;
        for (auto& f : GpwsFlags) f = 0;
        TcasState = {};
        RadioChangedFlag = 0;
        for (auto& f : GearFlags) f = 0;
        GearLegPosition[0] = GearLegPosition[1] = GearLegPosition[2] = 76;
        flight_controls_FLAPS[0] = 0;
        flight_controls_GEAR = 16383;
        HostGearHandle = 16383;
        WiperSelector = 1;
        WiperState = {170, 1};
        for (auto& m : MarkerPanelSwitches) m = 0;
        AudioPanelToggle = 1;
        for (auto& a : AudioPanelSwitches) a = 0;
        AudioPanelVolume = 0;
        DisplayFormatFlags1[0] = 0;
        DisplayControlState2 = {};
        EntertainmentOn = 1;
        EntertainmentSelection = 0;
        CabinMusicSwitch = 0;
        AnnouncementLastSelection = 0;
        FlightPhaseState = {};
        RightPanelLights[0] = RightPanelLights[1] = 0;
        RightPanelSwitchLatch = 0;
        Powerplants_controls_throttle_limiter = 1;
        FGC_comp_AP1_vertical_mode = 5;
        FGC_comp_FGC1_system_test_timer = 0;
        HostFeed31C8 = 0.0;
        PowerLeverPosition[0] = PowerLeverPosition[1] = 3000;
        HostThrottleInput[0] = HostThrottleInput[1] = -4096;
        PropPitch1 = PropPitch2 = 0.0;
        RemoteDisplayCountdown.store(0);
        TickCounter.store(0);
        FrameChangeBits.store(0);
        SoundSystemStarted = 0;
    }

    // The buses by their bus-powered bytes.
    static void Power(BusPoweredByte bus, bool on = true) { BusPowered.set(bus, on ? 1 : 0); }
    static void PowerAll() {
        for (BusPoweredByte b : kBusPoweredBytes) BusPowered.set(b, 1);
    }

    // A mono 16-bit 22050 Hz tone below the aircraft folder.
    std::string WriteTone(const std::string& relative, uint32_t frames) {
        std::vector<int16_t> s(frames);
        for (uint32_t i = 0; i < frames; ++i) {
            s[i] = static_cast<int16_t>(8000 * std::sin(2 * std::numbers::pi * 440.0 * i / 22050));
        }
        const platform::WaveFormat format{1, 1, 22050, 44100, 2, 16, 0};
        const fs::path host = dir_ / relative;
        fs::create_directories(host.parent_path());
        EXPECT_TRUE(platform::WriteWaveFile(host.c_str(), format, s.data(), frames * 2));
        return platform::FromHostPath(host.string());
    }

    void Start() {
        SoundSystemInit();
        SoundSystemStarted = 1;
    }
    // One systems tick's worth of the sound steps, then 64 ms of sound.
    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            const uint32_t counter = TickCounter.load() + 1;
            FrameChangeBits.store(counter ^ TickCounter.load());
            TickCounter.store(counter);
            WiperUpdate();
            SoundTick();
            platform::AudioRender(nullptr, kTickFrames);
            platform::LockstepAdvance(64);
            platform::PumpWindowTimers();
        }
    }

    static bool Playing(int index) { return SoundPlaying(index); }
    static int32_t Volume(int index) {
        int32_t v = 1;
        platform::SoundBufferGetVolume(SoundSet[index].buffer, &v);
        return v;
    }
    static uint32_t Frequency(int index) {
        uint32_t f = 0;
        platform::SoundBufferGetFrequency(SoundSet[index].buffer, &f);
        return f;
    }
    static int32_t Pan(int index) {
        int32_t p = 0;
        platform::SoundBufferGetPan(SoundSet[index].buffer, &p);
        return p;
    }
    // Events logged since the last call, with the file name of their label.
    struct Event {
        std::string file;
        platform::AudioEventKind kind;
        int32_t value;
    };
    static std::vector<Event> TakeEvents() {
        std::vector<platform::AudioEvent> events(platform::kAudioEventCapacity);
        const uint32_t n = platform::AudioTakeEvents(events.data(), platform::kAudioEventCapacity);
        std::vector<Event> out;
        for (uint32_t i = 0; i < n; ++i) {
            std::string label = events[i].label;
            const auto cut = label.find_last_of("\\/");
            out.push_back({cut == std::string::npos ? label : label.substr(cut + 1), events[i].kind,
                           events[i].value});
        }
        return out;
    }
    // The files started since the last call.
    static std::vector<std::string> TakePlays() {
        std::vector<std::string> plays;
        for (const Event& e : TakeEvents()) {
            if (e.kind == platform::AudioEventKind::Play) plays.push_back(e.file);
        }
        return plays;
    }

    static constexpr const char* kSetFiles[] = {
        "click_switch_small.wav",
        "click_switch_large.wav",
        "click_tiny.wav",
        "CL_unlock.wav",
        "CL_lock.wav",
        "PLs_up.wav",
        "PLs_down.wav",
        "flaps_selector.wav",
        "electrical/electricalsystem.wav",
        "electrical/avionics.wav",
        "computers/triangle2000.wav",
        "computers/revbetahorn.wav",
        "ap_disc_short.wav",
        "ap_disc_long.wav",
        "aircond/recirc.wav",
        "aircond/bleed.wav",
        "aircond/forwardvalve.wav",
        "aircond/wipers.wav",
        "electrical/sitbelts.wav",
        "electrical/call.wav",
        "computers/alt_warn.wav",
        "computers/stall.wav",
        "electrical/stickpusher.wav",
        "electrical/firebell1.wav",
        "computers/towarning.wav",
        "electrical/stickpusher_init.wav",
        "electrical/electrics_init_sound.wav",
        "computers/GPWS_dontsink.wav",
        "computers/GPWS_flaps.wav",
        "computers/GPWS_gear.wav",
        "computers/GPWS_glideslope.wav",
        "computers/GPWS_minimums.wav",
        "computers/GPWS_pullup.wav",
        "computers/GPWS_sinkrate.wav",
        "computers/GPWS_terrain.wav",
        "computers/GPWS_toolow.wav",
        "computers/TCAS_traffic.wav",
        "computers/com_xchg.wav",
        "engine/gen_spin3.wav",
        "engine/N1_sound_2.wav",
        "prop/prop_feather_50_ground_2.wav",
        "prop/prop_minus3_800_ground.wav",
        "prop/prop_1050_low_flight.wav",
        "prop/prop_minus3_reverse_ground.wav",
        "prop/prop_1200_high_ground_l.wav",
        "prop/prop_1200_high_ground_r.wav",
        "prop/prop_1200_high_flight.wav",
        "prop/prop_stop2.wav",
        "prop/prop_25_800_ground.wav",
        "environment/wind1.wav",
        "environment/gearwind1.wav",
        "cnroll3.wav",
        "ex_tailbreak01.wav",
        "external/env1.wav",
        "Kmgearup.wav",
    };

    fs::path dir_;
};

}  // namespace zu::cabin_test
