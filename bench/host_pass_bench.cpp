// Cost of one per-frame host pass (host variable poll, FSUIPC poll, key
// events, FSUIPC write batch) against a scripted FSUIPC window (the pass of
// a flying aircraft against the stand-in's server is BM_HostPass in
// cockpit_bench.cpp), and a check that a pass allocates nothing: this
// binary counts every global operator new, and the benchmark reports the
// module's count per pass as a counter ("allocations_per_pass", 0). The window-message transport and
// the scripted window allocate on each batch they carry; that cost is
// measured on its own and reported apart.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

#include "allocation_count.h"
#include "core/fsuipc_client.h"
#include "core/fsuipc_data_exchange.h"
#include "core/fsuipc_script_window.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/systems_tick.h"
#include "zu/platform/gauge_api.h"
#include "zu/platform/timer.h"

std::atomic<uint64_t> g_allocations{0};

uint64_t BenchAllocationCount() {
    return g_allocations.load();
}

// The replacements pair malloc with free themselves.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

double g_value = 0.0;
void BenchLookup(zu::gauge::HostVariable* var) {
    g_value += 0.25;
    var->value = g_value;
}
void BenchTrigger(uint32_t, uint32_t) {}

void BM_HostPassScriptedWindow(benchmark::State& state) {
    zu::platform::SetClockMode(zu::platform::ClockMode::Lockstep);
    static zu::gauge::PanelServiceTable table{};
    table.slot[zu::gauge::kSlotLookupVariable] = reinterpret_cast<void*>(&BenchLookup);
    table.slot[zu::gauge::kSlotTriggerKeyEvent] = reinterpret_cast<void*>(&BenchTrigger);
    ImportTable.panels = &table;
    auto script = std::make_unique<zu::testing::FsuipcScriptWindow>();
    zu::testing::ScriptWindowStart(script.get(), "FS98MAIN");
    // Some traffic, so the every-4th-pass traffic read has slots to fetch.
    script->memory[zu::kTrafficSlotCountOffset] = 20;
    script->memory[zu::kTrafficSlotSizeOffset] = 40;
    uint32_t result = 0;
    if (!zu::FsuipcOpen(7, &result)) {
        state.SkipWithError("FSUIPC window did not answer");
        return;
    }
    zu::FsuipcLinkReady = 1;
    zu::HostIoStartDelay = 0;
    zu::MaingaugeProc();  // first pass: start-up events, traffic counts

    // What one FSUIPC batch costs in the window-message transport and the
    // scripted window (outside the module): measured on a bare one-read
    // batch and taken off the pass's count.
    uint32_t probe = 0;
    const uint64_t probe_before = g_allocations.load();
    constexpr int kProbes = 16;
    for (int i = 0; i < kProbes; ++i) {
        zu::FsuipcRead(0x3304, 4, &probe, &result);
        zu::FsuipcProcess(&result);
    }
    const double per_batch =
        static_cast<double>(g_allocations.load() - probe_before) / static_cast<double>(kProbes);

    uint64_t passes = 0;
    const uint32_t batches_before = script->batches;
    const uint64_t before = g_allocations.load();
    for (auto _ : state) {
        zu::MaingaugeProc();
        ++passes;
    }
    const double allocations = static_cast<double>(g_allocations.load() - before);
    const double batches = static_cast<double>(script->batches - batches_before);
    const double module_allocations = allocations - per_batch * batches;
    if (passes != 0) {
        state.counters["batches_per_pass"] = batches / static_cast<double>(passes);
        state.counters["transport_allocations_per_batch"] = per_batch;
        state.counters["allocations_per_pass"] = module_allocations / static_cast<double>(passes);
    }
    if (module_allocations > 0) state.SkipWithError("the host pass allocated memory");

    zu::FsuipcLinkReady = 0;
    zu::FsuipcClose();
    zu::testing::ScriptWindowStop(script.get());
    ImportTable.panels = nullptr;
}
BENCHMARK(BM_HostPassScriptedWindow);

}  // namespace
