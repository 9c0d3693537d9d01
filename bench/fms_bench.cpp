// Cost of the flight management system's per-tick update with a plan of
// 100 legs (active-leg update, the full slot refresh of every 32nd tick,
// lateral output and steering every 4th), and of the per-frame nav-receiver
// update, including a station look-up in a database of 2000 records. Both
// must not allocate: "allocations_per_call" counts the program's operator
// new calls per call (expected 0).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "allocation_count.h"
#include "core/electrical_system.h"
#include "core/fsuipc_data_exchange.h"
#include "core/nav_sources.h"
#include "core/systems_tick.h"
#include "fms/flight_plan.h"
#include "fms/fms_lifecycle.h"
#include "fms/fms_nav_output.h"
#include "fms/nav_database.h"

uint64_t BenchAllocationCount();

namespace {

void SetFieldTextRaw(char* field, size_t n, const char* text) {
    std::snprintf(field, n, "%s", text);
}

void BuildPlan() {
    zu::FlightPlan.count = 0;
    for (uint32_t i = 0; i < zu::kLegListCapacity; ++i) {
        zu::LegRecord& l = zu::FlightPlan.legs[i];
        l = zu::LegRecord{};
        l.list_kind = 4;
        l.leg_id = 1000 + i;
        SetFieldTextRaw(l.path_terminator, sizeof l.path_terminator, "TF");
        SetFieldTextRaw(l.ident, sizeof l.ident, "BENCH");
        l.leg_class = 7;
        l.path_type = 2;
        l.fix_latitude = l.end_latitude = 45.0 + 0.05 * (i / 2);
        l.fix_longitude = l.end_longitude = 10.0 + 0.05 * ((i + 1) / 2);
        l.fixed_distance = 1;
    }
    zu::FlightPlan.count = zu::kLegListCapacity;
    zu::FmsLastLegCount = 999;
    zu::FmsToLegIndex = -1;
    zu::AircraftPosition = {44.99, 9.99, 0.0, 0.0};
    zu::GroundSpeed = 200;
    zu::BusPowered.set(zu::kPoweredLeftMainDc, 1);
}

void BM_FmsUpdate100Legs(benchmark::State& state) {
    BuildPlan();
    uint32_t tick = 0;
    zu::FmsUpdate();
    const uint64_t before = BenchAllocationCount();
    for (auto _ : state) {
        ++tick;
        zu::FrameChangeBits.store(tick ^ (tick - 1));
        zu::FmsUpdate();
        benchmark::DoNotOptimize(zu::NavSources[zu::kNavFms1].lateral_deviation);
    }
    RequireNoAllocations(state, "allocations_per_call", BenchAllocationCount() - before,
                         static_cast<double>(state.iterations()));
    zu::FlightPlan.count = 0;
    zu::FrameChangeBits.store(0);
}
BENCHMARK(BM_FmsUpdate100Legs);

void BM_NavSourcesUpdate(benchmark::State& state) {
    std::vector<zu::WaypointRecord> db(2000);
    for (size_t i = 0; i < db.size(); ++i) {
        db[i] = zu::WaypointRecord{};
        db[i].type = 'D';
        SetFieldTextRaw(db[i].ident, sizeof db[i].ident, i % 500 == 0 ? "ABC" : "XYZ");
        db[i].latitude = 40.0 + 0.005 * static_cast<double>(i);
        db[i].longitude = 10.0;
    }
    zu::WaypointDatabase = db.data();
    zu::WaypointDatabaseCount = static_cast<int32_t>(db.size());
    SetFieldTextRaw(zu::NavSources[zu::kNavVor1].ident_text, 31, "ABC");
    zu::BusPowered.set(zu::kPoweredLeftMainDc, 1);
    uint32_t frame = 0;
    const uint64_t before = BenchAllocationCount();
    for (auto _ : state) {
        ++frame;
        zu::FrameChangeBits.store(frame ^ (frame - 1));
        zu::NavSources[zu::kNavVor1].distance_valid = 1;
        zu::VsiSelRequest1 = (frame & 7) == 0 ? 1 : 0;
        zu::NavSourcesUpdate();
        benchmark::DoNotOptimize(zu::NavSources[zu::kNavVor1].bearing);
    }
    RequireNoAllocations(state, "allocations_per_call", BenchAllocationCount() - before,
                         static_cast<double>(state.iterations()));
    zu::WaypointDatabase = nullptr;
    zu::WaypointDatabaseCount = 0;
    zu::FrameChangeBits.store(0);
}
BENCHMARK(BM_NavSourcesUpdate);

}  // namespace
