// One picture of each flight display in its busiest state (the attitude
// display's banked and pitched sphere with flight director, rising runway,
// decision-height alert and mode annunciations; the navigation display's rose
// with pointers and deviation, its arc, its five-leg map) as the display
// gauge paints it each tick: the background restored, then the drawing
// sequence. Reports the time per picture, the share of a core at a picture
// per 64 ms tick (15.625 a second) and the C allocations per picture (Cairo
// and pixman allocate with malloc, unseen by operator new); a picture that
// allocates fails.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/ahrs.h"
#include "core/autopilot_control_laws.h"
#include "core/flight_guidance.h"
#include "core/flight_guidance_annunciation.h"
#include "core/fsuipc_data_exchange.h"
#include "core/nav_sources.h"
#include "core/radio_altitude_alerting.h"
#include "displays/attitude_display.h"
#include "displays/efis_resources.h"
#include "displays/navigation_display.h"
#include "displays/tcas.h"
#include "displays/tcas_display.h"
#include "displays/weather_radar.h"
#include "fms/flight_plan.h"
#include "instruments/atc_control_head.h"
#include "panels/display_control_panels.h"

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
    std::strcpy(FgcSide1.fma.lateral, "LOC");
    std::strcpy(FgcSide1.fma.vertical, "GS");
    std::strcpy(FgcSide1.fma.lateral_armed, "BC");
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
    std::memset(&FgcSide1.fma, 0, sizeof FgcSide1.fma);
}
BENCHMARK(BM_AttitudePicture);

// The navigation display's busiest pictures: rose with both bearing
// pointers and a deviation, arc, and the map with five legs.
void NavigationPicture(benchmark::State& state, int32_t mode) {
    CreateEfisResources();
    SmoothStartup();
    std::vector<uint8_t> pixels(168 * 134 * 4, 0);
    std::vector<uint8_t> background(pixels.size(), 0);
    platform::DrawContext* dc = platform::DrawContextCreate(pixels.data(), 168, 134, 168 * 4);
    platform::DrawSetMapping(dc, 168, 130, 168, 131);
    platform::DrawSetTextAlign(dc, platform::kDrawTaCenter | platform::kDrawTaTop);
    EhsiSet& set = EhsiSets[0];
    EhsiClipRegionsCreate(set, 168, 131);
    const NavSourceRecord vor1 = NavSources[kNavVor1], vor2 = NavSources[kNavVor2];
    Ahrs1.valid[1] = 0;
    Ahrs1.heading = 93.4;
    FGC_comp_HSI1_heading_sel = 120;
    NavSourceSel1 = kNavVor1;
    DisplayControlState1.BearingPointerSource[0] = kNavVor1;
    DisplayControlState1.BearingPointerSource[1] = kNavVor2;
    for (NavSourceRecord* r : {&NavSources[kNavVor1], &NavSources[kNavVor2]}) {
        r->kind = 1;
        r->receive_state = 1;
        r->bearing_valid = 1;
        r->bearing = 40;
        r->to_from = 1;
        r->distance_valid = 1;
        r->distance = 23.5;
        r->deviation_valid = 1;
        r->lateral_deviation = 60;
        r->course = 75;
        r->frequency = 11030;
        r->glideslope_alive = 1;
        r->glideslope_deviation = 20;
    }
    DisplayControlState1.Mode = mode;
    WxRange = 50;
    AircraftPosition = {0.0, 0.0, 0.0, 0.0};
    FlightPlan.count = 0;
    for (int k = 0; k < 6; ++k) {
        LegRecord& leg = FlightPlan.legs[FlightPlan.count++];
        leg = LegRecord{};
        std::snprintf(leg.ident, sizeof leg.ident, "WPT%02d", k);
        leg.end_latitude = 0.05 * (k + 1);
        leg.end_longitude = 0.03 * k;
        leg.fixed_distance = 1;
    }
    FmsToLegIndex = 1;
    SmoothSetBrightness(DisplayBrightness);
    SmoothSetAlpha(255);
    const EhsiPaint paint{set, set.regions, dc, dc};
    // One picture first: caches (glyphs, scan converter) are made once.
    EhsiPictureDraw(paint);
    const uint64_t before = gCAllocations.load();
    for (auto _ : state) {
        std::memcpy(pixels.data(), background.data(), pixels.size());
        platform::DrawBeginPaint(dc);
        EhsiPictureDraw(paint);
        benchmark::DoNotOptimize(pixels.data());
    }
    const double pictures = static_cast<double>(state.iterations());
    const uint64_t allocations = gCAllocations.load() - before;
    state.counters["c_allocs_per_picture"] = static_cast<double>(allocations) / pictures;
    state.counters["core_share"] = benchmark::Counter(
        pictures / 15.625, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    if (allocations > 0) state.SkipWithError("a picture allocated");
    platform::DrawContextDestroy(dc);
    SmoothShutdown();
    DeleteEfisResources();
    NavSources[kNavVor1] = vor1;
    NavSources[kNavVor2] = vor2;
    FlightPlan.count = 0;
    FmsToLegIndex = -1;
    DisplayControlState1.Mode = 0;
    WxRange = 100;
}

void BM_NavigationRosePicture(benchmark::State& state) {
    NavigationPicture(state, 0);
}
BENCHMARK(BM_NavigationRosePicture);

void BM_NavigationArcPicture(benchmark::State& state) {
    NavigationPicture(state, 1);
}
BENCHMARK(BM_NavigationArcPicture);

void BM_NavigationMapPicture(benchmark::State& state) {
    NavigationPicture(state, 2);
}
BENCHMARK(BM_NavigationMapPicture);

// The traffic display with a full intruder table: every kind of symbol,
// label and arrow, half of them beyond the edge, and the needle.
void BM_TrafficPicture(benchmark::State& state) {
    CreateEfisResources();
    std::vector<uint8_t> pixels(172 * 168 * 4, 0);
    std::vector<uint8_t> background(pixels.size(), 0);
    platform::DrawContext* dc = platform::DrawContextCreate(pixels.data(), 172, 168, 172 * 4);
    platform::DrawSetMapping(dc, kTcasGridWidth, kTcasGridHeight, 172, 168);
    TransponderState.tcas_mode = 3;
    TcasRangeNm = 10;
    TcasIntruderTable& table = TcasIntruders[TcasIntruderShown.load() & 1];
    table.count = kTcasIntruderCapacity;
    for (int i = 0; i < kTcasIntruderCapacity; ++i) {
        TcasIntruder& t = table.intruders[i];
        t = {};
        t.bearing = i * 37.0;
        t.distance = 0.2 * i;
        t.altitude = (i % 2 != 0) ? 1000.0 : -1000.0;
        t.vertical_speed = static_cast<int16_t>((i % 3 - 1) * 1000);
        t.proximate = static_cast<uint8_t>(i % 3 != 0);
        t.threat = static_cast<uint32_t>(i % 3 == 2);
        std::snprintf(t.relative_altitude_text, sizeof t.relative_altitude_text, "%+03d", i % 30);
    }
    VerticalSpeedRaw = -1800;
    TcasScreen& screen = TcasScreens[0];
    const platform::DrawRegion clip = TcasClipRegionCreate(172, 168);
    SmoothSetBrightness(255);
    SmoothSetAlpha(255);
    auto picture = [&] {
        std::memcpy(pixels.data(), background.data(), pixels.size());
        platform::DrawBeginPaint(dc);
        TcasStatusDraw(dc);
        TcasTrafficDraw(dc, clip);
        TcasVsNeedleDraw(screen, dc);
    };
    picture();
    const uint64_t before = gCAllocations.load();
    for (auto _ : state) {
        picture();
        benchmark::DoNotOptimize(pixels.data());
    }
    const double pictures = static_cast<double>(state.iterations());
    const uint64_t allocations = gCAllocations.load() - before;
    state.counters["c_allocs_per_picture"] = static_cast<double>(allocations) / pictures;
    if (allocations > 0) state.SkipWithError("the traffic picture allocates");
    state.counters["core_share"] = benchmark::Counter(
        pictures / 15.625, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    platform::DrawContextDestroy(dc);
    DeleteEfisResources();
    table = {};
    TransponderState = {};
    TcasRangeNm = 5;
    VerticalSpeedRaw = 0;
}
BENCHMARK(BM_TrafficPicture);

}  // namespace
