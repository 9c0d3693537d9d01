// One picture of the attitude display in its busiest state (banked and
// pitched sphere, flight director, rising runway, decision-height alert, mode
// annunciations) as the display gauge paints it each tick: the background
// restored, then the drawing sequence. A picture that allocates fails. Reports the time per
// picture, the share of a core at a picture per 64 ms tick (15.625 a second) and the C allocations
// per picture (Cairo and pixman allocate with malloc, unseen by operator new).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "core/ahrs.h"
#include "core/flight_guidance.h"
#include "core/radio_altitude_alerting.h"
#include "displays/attitude_display.h"
#include "displays/efis_resources.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
}

namespace {

std::atomic<uint64_t> gCAllocations{0};

}  // namespace

// Counted C allocations of the whole process, glibc's allocator underneath.
extern "C" void* malloc(size_t size) {
    gCAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
extern "C" void* calloc(size_t count, size_t size) {
    gCAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}
extern "C" void* realloc(void* p, size_t size) {
    gCAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, size);
}

namespace {

using namespace zu;

void BM_AttitudePicture(benchmark::State& state) {
    CreateEfisResources();
    std::vector<uint8_t> pixels(168 * 134 * 4, 0);
    std::vector<uint8_t> background(pixels.size(), 0);
    platform::DrawContext* dc = platform::DrawContextCreate(pixels.data(), 168, 134, 168 * 4);
    platform::DrawSetMapping(dc, 168, 131, 168, 131);
    Ahrs1.valid[0] = Ahrs1.valid[2] = 0;
    Ahrs1.bank = 30;
    Ahrs1.pitch = 3;
    platform::DrawSetTextAlign(dc, platform::kDrawTaCenter | platform::kDrawTaTop);
    RadioAltitudeReadoutValue = 180;  // runway and DH box (DH 200)
    RadioAltNotReady = RadioAltOutOfRange = 0;
    FGC_comp_AP1_lateral_mode = 1;
    FGC_comp_AP1_vertical_mode = 1;
    FlightDirectorRollCommand = 8;
    FlightDirectorPitchCommand = 2;
    std::strcpy(FgcSide1.fma[kFmaLateralActive], "LOC");
    std::strcpy(FgcSide1.fma[kFmaVerticalActive], "GS");
    std::strcpy(FgcSide1.fma[kFmaLateralArmed], "BC");
    SmoothSetBrightness(DisplayBrightness);
    SmoothSetAlpha(255);
    EadiSet& set = EadiSetOf(0, false);
    // One picture first: caches (glyphs, scan converter) are made once.
    EadiPictureDraw(dc, set);
    const uint64_t before = gCAllocations.load();
    for (auto _ : state) {
        std::memcpy(pixels.data(), background.data(), pixels.size());
        platform::DrawBeginPaint(dc);
        EadiPictureDraw(dc, set);
        benchmark::DoNotOptimize(pixels.data());
    }
    const double pictures = static_cast<double>(state.iterations());
    const uint64_t allocations = gCAllocations.load() - before;
    state.counters["c_allocs_per_picture"] = static_cast<double>(allocations) / pictures;
    if (allocations > 0) state.SkipWithError("the attitude picture allocates");
    // Seconds of drawing per second of flight (0.01 is 1 % of a core).
    state.counters["core_share"] = benchmark::Counter(
        pictures / 15.625, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    platform::DrawContextDestroy(dc);
    DeleteEfisResources();
    Ahrs1.bank = 0;
    Ahrs1.pitch = 0;
    RadioAltitudeReadoutValue = 0;
    FGC_comp_AP1_lateral_mode = 7;
    FGC_comp_AP1_vertical_mode = 5;
    std::memset(FgcSide1.fma, 0, sizeof FgcSide1.fma);
}
BENCHMARK(BM_AttitudePicture);

}  // namespace
