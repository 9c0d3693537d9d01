// Cost of one sound tick with every family active: the whole sound set
// loaded (tones in a temporary aircraft folder), the buses powered, the
// engines turning, the aircraft rolling with the doors open, the wind, a
// ground-proximity row, the wiper and the cabin (announcement player and
// sequencer). The tick must allocate nothing: the count of global operator
// new calls (counted by this binary) per tick is reported and must be 0.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "allocation_count.h"
#include "cabin_link/cabin_entertainment.h"
#include "cabin_link/sound_scheme.h"
#include "core/alerting.h"
#include "core/cabin_doors.h"
#include "core/electrical_system.h"
#include "core/fsuipc_client.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/settings_file.h"
#include "core/sound_objects.h"
#include "core/systems_tick.h"
#include "instruments/audio_panel.h"
#include "panels/anti_ice_panel.h"
#include "panels/lighting_panels.h"
#include "zu/platform/paths.h"
#include "zu/platform/riff_reader.h"
#include "zu/platform/sound_device.h"
#include "zu/platform/timer.h"

namespace {

namespace fs = std::filesystem;

void WriteTone(const fs::path& path) {
    std::vector<int16_t> s(22050);
    for (size_t i = 0; i < s.size(); ++i) {
        s[i] = static_cast<int16_t>(6000 * std::sin(0.125 * static_cast<double>(i)));
    }
    fs::create_directories(path.parent_path());
    const zu::platform::WaveFormat format{1, 1, 22050, 44100, 2, 16, 0};
    zu::platform::WriteWaveFile(path.c_str(), format, s.data(), 44100);
}

void BM_SoundTick(benchmark::State& state) {
    using namespace zu;
    platform::SetClockMode(platform::ClockMode::Lockstep);
    platform::SetAudioMode(platform::AudioMode::Loopback);
    const fs::path dir = fs::temp_directory_path() / ("sound_bench_" + std::to_string(::getpid()));
    for (const std::string& path : SoundSetRelativePaths()) WriteTone(dir / path);
    WriteTone(dir / "entertainment/Announcements/FA_Safety.wav");
    std::snprintf(AircraftFolderPath, sizeof AircraftFolderPath, "%s\\",
                  platform::FromHostPath(dir.string()).c_str());
    SOUND_SPLIT_PLS = 1;
    ENTERTAINMENT = 1;
    SoundSystemInit();
    SoundSystemStarted = 1;

    for (BusPoweredByte b : kBusPoweredBytes) BusPowered.set(b, 1);
    Nh1State.nh = Nh2State.nh = 72.0f;
    PropRpm[0] = PropRpm[1] = 900.0;
    NLValue[0] = NLValue[1] = 80.0f;
    PropPitch1 = PropPitch2 = 0.4;
    HostThrottleInput[0] = HostThrottleInput[1] = 0;
    IndicatedAirspeed = 60.0f;
    GroundSpeed = 60;
    OnGround = 1;
    DoorOpenLevel = 100;
    WiperSelector = 3;
    VoiceAlertIndex = 4;
    RightPanelLights[0] = 0;  // the sequencer runs and stays in its state
    EntertainmentSelection = 3;

    std::vector<int16_t> out(size_t{2822} * 2);
    uint64_t ticks = 0;
    uint64_t allocations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        platform::AudioRender(out.data(), 2822);  // 64 ms of sound between ticks
        const uint64_t before = BenchAllocationCount();
        state.ResumeTiming();
        WiperUpdate();
        SoundTick();
        state.PauseTiming();
        const uint64_t used = BenchAllocationCount() - before;
        // The announcement's load happens once, at the start.
        if (ticks > 0) allocations += used;
        ++ticks;
        state.ResumeTiming();
    }
    state.counters["allocations_per_tick"] =
        ticks > 1 ? static_cast<double>(allocations) / static_cast<double>(ticks - 1) : 0.0;
    if (allocations > 0) state.SkipWithError("the sound tick allocated memory");

    SoundShutdown();
    SoundSystemStarted = 0;
    platform::AudioShutdown();
    platform::SetAudioMode(platform::AudioMode::Device);
    platform::SetClockMode(platform::ClockMode::Real);
    fs::remove_all(dir);
}
BENCHMARK(BM_SoundTick)->Iterations(2000);

}  // namespace
