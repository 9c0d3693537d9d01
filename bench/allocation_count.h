// Every global operator new of the benchmark binary is counted (the
// replacements live in host_pass_bench.cpp); benchmarks that check a
// per-frame or per-tick path allocates nothing compare the count around it.
#pragma once

#include <cstdint>

uint64_t BenchAllocationCount();
