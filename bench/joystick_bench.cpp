// Cost of one frame's joystick work (read and shape the axes, send the
// control inputs) against the scripted stick and a scripted FSUIPC window,
// and a check that it allocates nothing in the module ("allocations_per_frame",
// expected 0; the window transport's own cost per batch is taken off).
#include <benchmark/benchmark.h>

#include <memory>

#include "allocation_count.h"
#include "core/flight_persistence.h"
#include "core/fsuipc_client.h"
#include "core/fsuipc_script_window.h"
#include "core/joystick_input.h"
#include "core/module_frame.h"
#include "core/settings_file.h"
#include "zu/platform/joystick.h"

namespace {

void BM_JoystickReadAndSend(benchmark::State& state) {
    auto script = std::make_unique<zu::testing::FsuipcScriptWindow>();
    zu::testing::ScriptWindowStart(script.get(), "FS98MAIN");
    uint32_t result = 0;
    if (!zu::FsuipcOpen(7, &result)) {
        state.SkipWithError("FSUIPC window did not answer");
        return;
    }
    zu::FsuipcLinkReady = 1;
    zu::platform::SelectJoystick(zu::platform::JoystickKind::kScripted);
    zu::platform::ScriptedJoystickPlug(true);
    const uint8_t config[6] = {0, 1, 0, 0, 0, 5};
    if (zu::JoystickInit(config) < 0) {
        state.SkipWithError("no scripted joystick");
        return;
    }
    zu::JoystickReady = 1;
    zu::DINPUT_USE = 1;
    zu::DINPUT_ailerons_axis_dump = 0.5;
    zu::FlightLoadCounter = zu::kFlightLoadDone;

    uint32_t probe = 0;
    const uint64_t probe_before = BenchAllocationCount();
    constexpr int kProbes = 16;
    for (int i = 0; i < kProbes; ++i) {
        zu::FsuipcRead(0x3304, 4, &probe, &result);
        zu::FsuipcProcess(&result);
    }
    const double per_batch =
        static_cast<double>(BenchAllocationCount() - probe_before) / static_cast<double>(kProbes);

    uint64_t frames = 0;
    int32_t x = 0;
    const uint32_t batches_before = script->batches;
    const uint64_t before = BenchAllocationCount();
    for (auto _ : state) {
        zu::platform::ScriptedJoystickSetAxis(0, x);
        x = (x + 97) % 16383;
        zu::ReadJoystickAxes();
        zu::SendControlInputs();
        ++frames;
    }
    const double allocations = static_cast<double>(BenchAllocationCount() - before);
    const double batches = static_cast<double>(script->batches - batches_before);
    const double module_allocations = allocations - per_batch * batches;
    if (frames != 0) {
        state.counters["allocations_per_frame"] = module_allocations / static_cast<double>(frames);
    }
    if (module_allocations > 0) state.SkipWithError("the joystick frame allocated memory");

    zu::JoystickRelease();
    zu::JoystickReady = 0;
    zu::DINPUT_USE = 0;
    zu::FlightLoadCounter = 0;
    zu::FsuipcLinkReady = 0;
    zu::FsuipcClose();
    zu::testing::ScriptWindowStop(script.get());
}
BENCHMARK(BM_JoystickReadAndSend);

}  // namespace
