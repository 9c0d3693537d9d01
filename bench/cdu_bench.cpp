// The control-display unit with the NAV page on view and a three-leg plan:
// one systems pass (dispatcher, key processing, the page re-run as it is
// while a redraw is held) and one paint of the screen into a surface of the
// FMS gauge's screen size (line art, the text grid, the edit field). Neither
// may allocate: "allocations_per_call" counts operator new calls, and the
// paint also counts C allocations (the drawing layer allocates with malloc).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "allocation_count.h"
#include "core/systems_tick.h"
#include "displays/efis_resources.h"
#include "fms/cdu_engine.h"
#include "fms/cdu_pages_nav.h"
#include "fms/cdu_painter.h"
#include "fms/flight_plan.h"
#include "fms/fms_gauges.h"
#include "fms/fms_lifecycle.h"
#include "fms/fms_nav_output.h"
#include "fms/nav_database.h"

namespace {

using namespace zu;

void BuildNavView() {
    CduResetForLoad();
    FlightPlan.count = 0;
    FmsFromLeg = FmsToLeg = FmsNextLeg = LegRecord{};
    FmsToLegIndex = FmsNextLegIndex = -1;
    FmsHoldSlots = FmsKeepNext = 0;
    FmsLastLegCount = 999;
    const char* const idents[3] = {"KAPPA", "OMEGA", "SIGMA"};
    for (int i = 0; i < 3; ++i) {
        WaypointRecord r{};
        r.type = 'I';
        SetFieldText(r.ident, idents[i]);
        SetFieldText(r.region, "LI");
        r.latitude = 45.0 + 0.3 * i;
        r.longitude = 7.0 + 0.2 * i;
        LegRecord l{};
        WaypointToLeg(r, &l);
        l.end_latitude = r.latitude;
        l.end_longitude = r.longitude;
        InsertLeg(static_cast<int32_t>(FlightPlan.count), &FlightPlan, l);
    }
    SequenceLegs();
    RecomputeFlightPlan(&FlightPlan);
    FmsPosition = {44.9, 6.9};
    FmsCrossTrack = 0.42;
    FmsTrackError = -7.0;
    FmsInitialised = 1;
    CduPage = kCduPageNav;
    FrameChangeBits.store(0);
    CduDispatchPage();
    CduProcessKeys();
}

void TearDownNavView() {
    CduResetForLoad();
    FlightPlan.count = 0;
    FmsFromLeg = FmsToLeg = FmsNextLeg = LegRecord{};
    FmsToLegIndex = FmsNextLegIndex = -1;
    FmsHoldSlots = FmsKeepNext = 0;
    FmsLastLegCount = 999;
    FrameChangeBits.store(0);
}

void BM_CduPassNavPage(benchmark::State& state) {
    BuildNavView();
    uint32_t pass = 0;
    const uint64_t before = BenchAllocationCount();
    for (auto _ : state) {
        ++pass;
        FrameChangeBits.store(pass ^ (pass - 1));
        CduRedraw = 1;  // the page is re-run on every pass, as while a redraw is held
        CduDispatchPage();
        CduProcessKeys();
        benchmark::DoNotOptimize(CduScreen.text[8 * kCduColumns + 8]);
    }
    RequireNoAllocations(state, "allocations_per_call", BenchAllocationCount() - before,
                         static_cast<double>(state.iterations()));
    TearDownNavView();
}
BENCHMARK(BM_CduPassNavPage);

void BM_CduPaintNavPage(benchmark::State& state) {
    BuildNavView();
    CreateEfisResources();
    constexpr int32_t kWidth = 251;
    constexpr int32_t kHeight = 160;
    std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4, 0);
    platform::DrawContext* dc =
        platform::DrawContextCreate(pixels.data(), kWidth, kHeight, kWidth * 4);
    CduClipRegionsCreate(dc);
    platform::DrawSetMapping(dc, kCduSurfaceWidth, kCduSurfaceHeight, kWidth, kHeight);
    const uint32_t background = platform::DrawCreateBrush(0x000F110A);
    const auto paint = [&] {
        platform::DrawBeginPaint(dc);
        platform::DrawFillRectBrush(dc, {0, 0, 252, 161}, background);
        CduRegionsDraw(dc);
        CduScreenDraw(dc);
        CduEditFieldDraw(dc);
    };
    // The first paint makes the context's glyph cache.
    paint();
    const uint64_t before = BenchAllocationCount();
    const uint64_t c_before = BenchCAllocationCount();
    for (auto _ : state) {
        paint();
        benchmark::DoNotOptimize(pixels[4000]);
    }
    const double n = static_cast<double>(state.iterations());
    const uint64_t allocations = BenchAllocationCount() - before;
    const uint64_t c_allocations = BenchCAllocationCount() - c_before;
    state.counters["allocations_per_call"] =
        benchmark::Counter(static_cast<double>(allocations) / n);
    state.counters["c_allocations_per_call"] =
        benchmark::Counter(static_cast<double>(c_allocations) / n);
    if (allocations + c_allocations > 0) state.SkipWithError("a CDU paint allocated");
    platform::DrawDeleteObject(background);
    CduClipRegionsDelete();
    platform::DrawContextDestroy(dc);
    DeleteEfisResources();
    TearDownNavView();
}
BENCHMARK(BM_CduPaintNavPage);

// The FMS gauge's draw service on the NAV page with a clock's seconds
// changing from picture to picture: the new picture is painted over the
// last one only where the two cells are.
void BM_CduPaintSecondsChange(benchmark::State& state) {
    BuildNavView();
    CreateEfisResources();
    constexpr int32_t kWidth = 251;
    constexpr int32_t kHeight = 160;
    std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4, 0);
    gauge::DrawingSurface surface{
        kWidth,        kHeight,
        kWidth * 4,    static_cast<uint32_t>(pixels.size()),
        pixels.data(), platform::DrawContextCreate(pixels.data(), kWidth, kHeight, kWidth * 4)};
    gauge::ElementHeader screen{};
    screen.surface = &surface;
    const uint8_t powered = FmsPowered;
    FmsPowered = 1;
    CduGaugeState gauge;
    gauge.display_warmup = 40;
    int32_t second = 0;
    const auto paint = [&] {
        second = (second + 1) % 60;
        const char digits[3] = {static_cast<char>('0' + second / 10),
                                static_cast<char>('0' + second % 10), '\0'};
        CduWriteText(digits, 20, 0, 0, 1);
        CduPaintRequest.store(1);
        CduGaugeDraw(gauge, &screen);
    };
    paint();  // the whole picture, and the context's glyph cache
    const uint64_t before = BenchAllocationCount();
    const uint64_t c_before = BenchCAllocationCount();
    for (auto _ : state) {
        paint();
        benchmark::DoNotOptimize(pixels[4000]);
    }
    const uint64_t allocations =
        BenchAllocationCount() - before + BenchCAllocationCount() - c_before;
    RequireNoAllocations(state, "allocations_per_call", allocations,
                         static_cast<double>(state.iterations()));
    FmsPowered = powered;
    platform::DrawContextDestroy(static_cast<platform::DrawContext*>(surface.context));
    DeleteEfisResources();
    TearDownNavView();
}
BENCHMARK(BM_CduPaintSecondsChange);

}  // namespace
