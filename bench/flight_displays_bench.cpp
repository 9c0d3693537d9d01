// One picture of the attitude display (banked and pitched sphere) as the
// display gauge paints it each tick: the background restored, then the
// drawing sequence. Reports the time per picture, the share of a core at a
// picture per 64 ms tick (15.625 a second) and the C allocations per picture
// (Cairo and pixman allocate with malloc, unseen by operator new).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "core/ahrs.h"
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
    SmoothSetBrightness(DisplayBrightness);
    SmoothSetAlpha(255);
    // One picture first: caches (glyphs, scan converter) are made once.
    EadiSphereDraw(dc, 0);
    const uint64_t before = gCAllocations.load();
    for (auto _ : state) {
        std::memcpy(pixels.data(), background.data(), pixels.size());
        platform::DrawBeginPaint(dc);
        EadiSphereDraw(dc, 0);
        benchmark::DoNotOptimize(pixels.data());
    }
    const double pictures = static_cast<double>(state.iterations());
    state.counters["c_allocs_per_picture"] =
        static_cast<double>(gCAllocations.load() - before) / pictures;
    // Seconds of drawing per second of flight (0.01 is 1 % of a core).
    state.counters["core_share"] = benchmark::Counter(
        pictures / 15.625, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    platform::DrawContextDestroy(dc);
    DeleteEfisResources();
    Ahrs1.bank = 0;
    Ahrs1.pitch = 0;
}
BENCHMARK(BM_AttitudePicture);

}  // namespace
