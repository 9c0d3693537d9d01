// Cost of one named-variable publication (every table, against a host whose
// set service only stores the value) with its allocations counted
// ("allocations_per_pass", expected 0), and of one heap scan by the
// blade-angle locator over a simulator-sized heap.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "allocation_count.h"
#include "core/blade_angle_locator.h"
#include "core/module_frame.h"
#include "core/named_variables.h"
#include "zu/platform/gauge_api.h"
#include "zu/platform/process_heaps.h"

uint64_t BenchAllocationCount();

namespace {

double g_values[128];
int32_t Id(const char* name) {
    static int32_t next = 0;
    (void)name;
    return next++ % 128;
}
void Store(int32_t id, double v) {
    if (id >= 0 && id < 128) g_values[id] = v;
}

void BM_NamedVarsPublish(benchmark::State& state) {
    zu::gauge::PanelServiceTable table{};
    table.slot[zu::gauge::kSlotCheckNamedVariable] = reinterpret_cast<void*>(&Id);
    table.slot[zu::gauge::kSlotRegisterNamedVariable] = reinterpret_cast<void*>(&Id);
    table.slot[zu::gauge::kSlotSetNamedVariable] = reinterpret_cast<void*>(&Store);
    zu::gauge::PanelServiceTable* saved = ImportTable.panels;
    ImportTable.panels = &table;
    zu::NamedVarsRegister();
    const uint64_t before = BenchAllocationCount();
    for (auto _ : state) {
        zu::NamedVarsPublish();
        benchmark::DoNotOptimize(g_values);
    }
    RequireNoAllocations(state, "allocations_per_pass", BenchAllocationCount() - before,
                         static_cast<double>(state.iterations()));
    ImportTable.panels = saved;
}
BENCHMARK(BM_NamedVarsPublish);

// One scan of 64 blocks of 4 KiB of unrelated values for a value that lies
// in the last block.
void BM_HeapScanForDouble(benchmark::State& state) {
    std::vector<std::vector<double>> blocks(64, std::vector<double>(512));
    for (size_t b = 0; b < blocks.size(); ++b) {
        for (size_t i = 0; i < blocks[b].size(); ++i)
            blocks[b][i] = static_cast<double>(b * 1000 + i);
    }
    blocks.back()[100] = 0.123456;
    const zu::platform::HeapHandle h = zu::platform::HeapRegister();
    for (auto& b : blocks) {
        zu::platform::HeapAddEntry(h, b.data(), b.size() * sizeof(double),
                                   zu::platform::kHeapEntryBusy);
    }
    for (auto _ : state) benchmark::DoNotOptimize(zu::HeapScanForDouble(0, 0.123456));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 64 * 4096);
    zu::platform::HeapUnregister(h);
}
BENCHMARK(BM_HeapScanForDouble);

}  // namespace
