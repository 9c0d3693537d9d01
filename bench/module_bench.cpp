// Cost of one update service of the main gauge with the FSUIPC link up
// against a scripted FSUIPC window (the systems tick of a flying aircraft:
// cockpit_bench.cpp).
#include <benchmark/benchmark.h>

#include <memory>

#include "core/fsuipc_client.h"
#include "core/fsuipc_script_window.h"
#include "core/gauge_table.h"
#include "core/module_frame.h"
#include "core/systems_tick.h"
#include "zu/platform/timer.h"

namespace {

void BM_MaingaugeUpdate(benchmark::State& state) {
    zu::platform::SetClockMode(zu::platform::ClockMode::Lockstep);
    static zu::gauge::PanelServiceTable table{};
    ImportTable.panels = &table;
    auto script = std::make_unique<zu::testing::FsuipcScriptWindow>();
    zu::testing::ScriptWindowStart(script.get(), "FS98MAIN");
    script->SetText(0x3C00, "\\tmp\\zu_bench_aircraft\\Zuvav.air");

    zu::gauge::GaugeHeader* main = &zu::GaugeTable[zu::kMaingaugeIndex];
    zu::MaingaugeCallback(main, zu::gauge::kServiceInstall, 0);
    zu::MaingaugeCallback(main, zu::gauge::kServiceUpdate, 0);
    if (zu::FsuipcLinkReady.load() == 0) state.SkipWithError("FSUIPC link did not come up");

    for (auto _ : state) {
        zu::MaingaugeCallback(main, zu::gauge::kServiceUpdate, 0);
    }

    zu::MaingaugeCallback(main, zu::gauge::kServiceKill, 0);
    zu::testing::ScriptWindowStop(script.get());
    ImportTable.panels = nullptr;
}
BENCHMARK(BM_MaingaugeUpdate);

}  // namespace
