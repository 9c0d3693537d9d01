// Every global operator new of the benchmark binary is counted (the
// replacements live in host_pass_bench.cpp); benchmarks that check a
// per-frame or per-tick path allocates nothing compare the count around it.
#pragma once

#include <cstdint>

uint64_t BenchAllocationCount();

// C allocations (malloc, calloc, realloc) of the whole benchmark binary (the
// replacements live in flight_displays_bench.cpp); the drawing layer
// allocates with malloc, unseen by operator new.
uint64_t BenchCAllocationCount();
