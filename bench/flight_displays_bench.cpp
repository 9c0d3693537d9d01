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
#include "core/systems_tick.h"
#include "displays/attitude_display.h"
#include "displays/efis_display_gauges.h"
#include "displays/efis_resources.h"
#include "displays/head_up_guidance.h"
#include "displays/hgs_panels.h"
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

uint64_t BenchCAllocationCount() {
    return gCAllocations.load(std::memory_order_relaxed);
}

namespace {

using namespace zu;

void BM_AttitudePicture(benchmark::State& state) {
    CreateEfisResources();
    std::vector<uint8_t> pixels(168 * 134 * 4, 0);
    std::vector<uint8_t> background(pixels.size(), 0);
    platform::DrawContext* dc = platform::DrawContextCreate(pixels.data(), 168, 134, 168 * 4);
    platform::DrawSetMapping(dc, 168, 131, 168, 131);
    const EadiClipRegions regions = EadiMakeClipRegions(168, 131);
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
    EadiPictureDraw(dc, set, regions);
    const uint64_t before = gCAllocations.load();
    for (auto _ : state) {
        std::memcpy(pixels.data(), background.data(), pixels.size());
        platform::DrawBeginPaint(dc);
        EadiPictureDraw(dc, set, regions);
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
void NavigationPicture(benchmark::State& state, int32_t mode, bool weather = false) {
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
    // The weather radar's overlay under the card: a picture half red.
    gauge::DrawingSurface screen_surface{};
    if (weather) {
        DisplayControlState1.Overlay = 1;
        WxRadarState.display_mode = kWxModeWeather;
        DisplayScreens[4].surface = &screen_surface;
        DisplayScreens[4].setup_pending = false;
        WxPictureImage& p = WxPicture[WxPictureShown.load() & 1];
        for (int y = 0; y < kWxPictureHeight; ++y) {
            for (int x = 0; x < kWxPictureWidth; ++x) p.pixels[y][x] = x < 67 ? kWxRed : kWxGreen;
        }
    }
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
    DisplayControlState1.Overlay = 0;
    WxRadarState.display_mode = 0;
    DisplayScreens[4].surface = nullptr;
    DisplayScreens[4].setup_pending = true;
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

void BM_NavigationArcWeatherPicture(benchmark::State& state) {
    NavigationPicture(state, 1, true);
}
BENCHMARK(BM_NavigationArcWeatherPicture);

// The weather radar's picture pass of every 4th tick (resample, fan,
// blur, colour) with the sampling step before it, over a grid of storms.
void BM_WeatherRadarPictureBuild(benchmark::State& state) {
    for (int c = 0; c < kWxColumns; ++c) {
        for (int b = 0; b < kWxBins; ++b)
            WxPolarGrid[c][b] = static_cast<uint8_t>((c * 7 + b * 3) % 30);
    }
    WxRadarState.display_mode = kWxModeWeather;
    WxRadarState.target_alert_enabled = 1;
    FrameChangeBits.store(0x07);
    WxPictureBuild();
    const uint64_t before = gCAllocations.load();
    for (auto _ : state) {
        WeatherSampleFlags[kWeatherPending].store(0);
        WxPictureBuild();
        benchmark::DoNotOptimize(&WxPictureFront());
    }
    const double passes = static_cast<double>(state.iterations());
    const uint64_t allocations = gCAllocations.load() - before;
    state.counters["c_allocs_per_pass"] = static_cast<double>(allocations) / passes;
    // Every 4th tick: 3.9 passes a second.
    state.counters["core_share"] = benchmark::Counter(
        passes / 3.90625, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    if (allocations > 0) state.SkipWithError("the picture pass allocated");
    WeatherSampleFlags[kWeatherPending].store(0);
    WxRadarState = WxRadarRecord{0, 0, 0, 0, kWxWarmUpTicks, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    FrameChangeBits.store(0);
    std::memset(WxPolarGrid, 0, sizeof WxPolarGrid);
}
BENCHMARK(BM_WeatherRadarPictureBuild);

// One redraw of the WX display's screen in WX mode with rings, range arcs,
// legends and the target alert.
void BM_WeatherRadarScreenPicture(benchmark::State& state) {
    CreateEfisResources();
    std::vector<uint8_t> pixels(164 * 114 * 4, 0);
    platform::DrawContext* dc = platform::DrawContextCreate(pixels.data(), 164, 114, 164 * 4);
    platform::DrawSetMapping(dc, 163, 113, 164, 114);
    platform::DrawSetTextAlign(dc, platform::kDrawTaCenter | platform::kDrawTaTop);
    WxClipRegion = WxClipRegionCreate(164, 114);
    WxRadarState.display_mode = kWxModeWeather;
    WxRadarState.target_alert_enabled = 1;
    WxRadarState.target_detected = 1;
    WxRadarState.manual_gain_active = 1;
    WxPictureImage& p = WxPicture[WxPictureShown.load() & 1];
    for (int y = 0; y < kWxPictureHeight; ++y) {
        for (int x = 0; x < kWxPictureWidth; ++x)
            p.pixels[y][x] = (x + y) % 3 == 0 ? kWxRed : kWxYellow;
    }
    const auto paint = [&] {
        std::memset(pixels.data(), 0, pixels.size());
        platform::DrawBeginPaint(dc);
        WxTestPatternDraw(dc);
        WxPictureDraw(dc);
        WxScanLinesDraw(dc);
        WxLegendsDraw(dc);
    };
    paint();
    const uint64_t before = gCAllocations.load();
    for (auto _ : state) {
        paint();
        benchmark::DoNotOptimize(pixels.data());
    }
    const double pictures = static_cast<double>(state.iterations());
    const uint64_t allocations = gCAllocations.load() - before;
    state.counters["c_allocs_per_picture"] = static_cast<double>(allocations) / pictures;
    // The screen redraws every 8th tick.
    state.counters["core_share"] = benchmark::Counter(
        pictures / 1.953125, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    if (allocations > 0) state.SkipWithError("the radar picture allocated");
    platform::DrawContextDestroy(dc);
    DeleteEfisResources();
    WxRadarState = WxRadarRecord{0, 0, 0, 0, kWxWarmUpTicks, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::memset(&p, 0, sizeof p);
}
BENCHMARK(BM_WeatherRadarScreenPicture);

// The head-up guidance panel's text display (during a glideslope entry)
// and the runway-speed unit's readout, at 30 pictures a second each.
void BM_HeadUpPanelPictures(benchmark::State& state) {
    CreateEfisResources();
    std::vector<uint8_t> hgs(136 * 138 * 4, 0);
    std::vector<uint8_t> rasu(130 * 68 * 4, 0);
    platform::DrawContext* hgs_dc = platform::DrawContextCreate(hgs.data(), 136, 138, 136 * 4);
    platform::DrawContext* rasu_dc = platform::DrawContextCreate(rasu.data(), 130, 68, 130 * 4);
    platform::DrawSetMapping(hgs_dc, kHgsTextGridWidth, kHgsTextGridHeight, 136, 138);
    platform::DrawSetMapping(rasu_dc, kRasuGridWidth, kRasuGridHeight, 130, 68);
    HgsPowered = 1;
    HGS_HGS_actual_mode = 1;
    HGS_HGS_stby_mode = 3;
    HgsSlopeEntry = 1;
    HgsEntryTyped = 1;
    HgsEntryLength = 1;
    HgsEntryText[0] = '2';
    HgsEntryText[1] = '\0';
    HgsTextPaint(hgs_dc);
    RasuReadoutPaint(rasu_dc);
    const uint64_t before = gCAllocations.load();
    for (auto _ : state) {
        platform::DrawBeginPaint(hgs_dc);
        HgsTextPaint(hgs_dc);
        platform::DrawBeginPaint(rasu_dc);
        RasuReadoutPaint(rasu_dc);
        benchmark::DoNotOptimize(hgs.data());
    }
    const double pictures = static_cast<double>(state.iterations());
    const uint64_t allocations = gCAllocations.load() - before;
    state.counters["c_allocs_per_picture"] = static_cast<double>(allocations) / pictures;
    if (allocations > 0) state.SkipWithError("a head-up panel picture allocates");
    state.counters["core_share"] = benchmark::Counter(
        pictures / 30.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    platform::DrawContextDestroy(hgs_dc);
    platform::DrawContextDestroy(rasu_dc);
    HgsPowered = 0;
    HgsSlopeEntry = 0;
    HGS_HGS_actual_mode = HGS_HGS_stby_mode = 0;
}
BENCHMARK(BM_HeadUpPanelPictures);

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
