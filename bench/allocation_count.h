// Every global operator new of the benchmark binary is counted (the
// replacements live in host_pass_bench.cpp); benchmarks that check a
// per-frame or per-tick path allocates nothing compare the count around it.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

uint64_t BenchAllocationCount();

// C allocations (malloc, calloc, realloc) of the whole benchmark binary (the
// replacements live in flight_displays_bench.cpp); the drawing layer
// allocates with malloc, unseen by operator new.
uint64_t BenchCAllocationCount();

// Reports `count` allocations per one of `per` (frames, ticks, calls) as the
// counter `name`, and fails the benchmark when there was any: the path it
// measures must allocate nothing.
inline void RequireNoAllocations(benchmark::State& state, const char* name, uint64_t count,
                                 double per) {
    state.counters[name] = per > 0 ? static_cast<double>(count) / per : 0.0;
    if (count > 0) state.SkipWithError("allocated memory where nothing may be allocated");
}
