// Every global operator new of the benchmark binary, counted (the
// replacements live in host_pass_bench.cpp).
#pragma once

#include <atomic>
#include <cstdint>

extern std::atomic<uint64_t> g_allocations;
