#include "core/radio_altitude_alerting.h"

#include <algorithm>
#include <cmath>

#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"

namespace zu {

int32_t RadioAltitudeReadoutValue = 0;
uint8_t RadioAltNotReady = 1;
uint8_t RadioAltOutOfRange = 1;
uint8_t RadioAltWarmupCountdown = 25;
int32_t RadioAltTestCountdown[2] = {0, 0};

StallWarningStateRecord StallWarningState = {{16383, 16383}, 0, 0};
uint8_t StallWarnUnpowered = 1;
uint8_t StallSystemFail[2] = {0, 0};

int32_t VoiceAlertIndex = 0;
uint8_t GpwsTakeoffPhase = 1;
int32_t GpwsTakeoffCountdown = 0;
int32_t GpwsHighestAltitude = 0;
int32_t GpwsReferenceAltitude = -1;
uint8_t GpwsFlags[3] = {0, 0, 0};
int32_t GpwsTestAcknowledge = 0;
uint8_t GpwsPullUpRequest = 0;
uint8_t GpwsGlideslopeRequest = 0;
uint8_t GpwsAlertFlag = 0;
int32_t GpwsPanelState[2] = {0, 0};

int32_t PointInPolygon(int32_t count, const int32_t* xs, const int32_t* ys, int32_t px,
                       int32_t py) {
    int32_t inside = 0;
    if (count <= 0) return 0;
    for (int32_t i = 0, j = count - 1; i < count; j = i++) {
        const int64_t xi = xs[i], yi = ys[i], xj = xs[j], yj = ys[j];
        const bool spans = (xi <= px && px < xj) || (xj <= px && px < xi);
        if (!spans) continue;  // also skips vertical edges
        const int64_t y_at = (yj - yi) * (px - xi) / (xj - xi) + yi;
        if (py < y_at) inside ^= 1;
    }
    return inside;
}

// ---------------------------------------------------------------------------
// Radio altitude

namespace {

constexpr double kMetresToFeet = 3.2857;

void RadioAltitudeFromSensor() {
    if (RadioAltWarmupCountdown > 0) {
        --RadioAltWarmupCountdown;
        return;
    }
    RadioAltNotReady = 0;
    int32_t v = TruncToInt32(RadioAltitude * kMetresToFeet);
    if (v < -5) v = -5;
    if (v < 200) {
        v = static_cast<int32_t>(std::floor(v / 5.0)) * 5;
    } else if (v < 2501) {
        v = v / 10 * 10;
    } else {
        RadioAltOutOfRange = 1;
    }
    RadioAltitudeReadoutValue = v;
}

}  // namespace

void RadioAltitudeReadout() {
    RadioAltNotReady = 1;
    RadioAltOutOfRange = 1;
    RadioAltitudeReadoutValue = 0;
    if (RightAvionicsBus.get() == 0 && LeftAvionicsBus.get() == 0) {
        RadioAltWarmupCountdown = 25;
    } else {
        RadioAltOutOfRange = 0;
        RadioAltitudeFromSensor();
    }
    if (RemoteDisplayCountdown.load(std::memory_order_acquire) == 0) {
        RadioAltitudeReadoutValue -= 10;
    }
    bool testing = false;
    for (int32_t& t : RadioAltTestCountdown) testing = CountdownTick(&t) || testing;
    if (testing) RadioAltitudeReadoutValue = 100;
}

// ---------------------------------------------------------------------------
// Stall warning

namespace {

constexpr float kStallY[8] = {16383, 8192, 0, -8192, -16383, -16383, -16383, -16383};

constexpr float MakeStallEntry(int i, const float (&x)[5]) {
    return i < 8 ? x[std::min(i, 4)] : kStallY[i - 8];
}

struct StallTable {
    float t[16];
};

constexpr StallTable MakeStallTable(const float (&x)[5]) {
    StallTable s{};
    for (int i = 0; i < 16; ++i) s.t[i] = MakeStallEntry(i, x);
    return s;
}

constexpr float kFlap0[5] = {0.07545f, 0.10077f, 0.130004f, 0.165442f, 0.206815f};
constexpr float kFlap1[5] = {0.056271f, 0.0867f, 0.127948f, 0.165925f, 0.230706f};
constexpr float kFlap2[5] = {0.055551f, 0.091792f, 0.128268f, 0.19255f, 0.259358f};
constexpr float kFlap3[5] = {0.036369f, 0.070857f, 0.111753f, 0.178201f, 0.259358f};
constexpr float kFlap4[5] = {-0.05f, -0.017f, 0.034f, 0.109f, 0.2f};

constexpr StallTable kStallTables[5] = {MakeStallTable(kFlap0), MakeStallTable(kFlap1),
                                        MakeStallTable(kFlap2), MakeStallTable(kFlap3),
                                        MakeStallTable(kFlap4)};

constexpr int32_t kStallWarnLevel = -8192;

int32_t FlapSelectionClamped() {
    return std::clamp(flight_controls_FLAPS[0], 0, 4);
}

void StallTestLower(int side, int light) {
    int32_t& out = StallWarningState.output[side];
    if (out < kStallWarnLevel) StallSystemFail[side] = 1;
    out = std::max(out - 3000, -16384);
    CautionLightArray[light] = 255;
}

void StallOutputsFromTables() {
    const StallTable& table = kStallTables[FlapSelectionClamped()];
    for (int side = 0; side < 2; ++side) {
        int32_t out = RoundToInt32(TableLookup8(table.t, static_cast<float>(AngleOfAttack)));
        if (IndicatedAirspeed < 40.0f) out = 8192;
        StallWarningState.output[side] = out;
    }
    if (StallWarningState.test_state == 2) StallTestLower(1, kStall2SysFailLight);
}

void StallTestCountdown() {
    int32_t& c = StallWarningState.test_countdown;
    if (c > 0) {
        c = std::max(c - 2, 0);
        RedrawRequest.store(255, std::memory_order_release);
    }
    if (c == 0) StallWarningState.test_state = 0;
}

}  // namespace

void StallWarningUpdate() {
    StallSystemFail[0] = StallSystemFail[1] = 0;
    CautionLightArray[kStall1SysFailLight] = 0;
    CautionLightArray[kStall2SysFailLight] = 0;
    if (!Powered(kPoweredLeftMainDc)) {
        StallWarnUnpowered = 1;
        return;
    }
    StallWarnUnpowered = 0;
    for (int side = 0; side < 2; ++side) {
        StallSystemFail[side] =
            (IndicatedAirspeed > 40.0f && StallWarningState.output[side] < kStallWarnLevel) ? 1 : 0;
    }
    if (StallWarningState.test_state == 1) {
        StallTestLower(0, kStall1SysFailLight);
    } else {
        StallOutputsFromTables();
    }
    StallTestCountdown();
}

// ---------------------------------------------------------------------------
// Ground proximity

namespace {

struct Envelope {
    int32_t count;
    int32_t x[6];
    int32_t y[6];
};

constexpr Envelope kEnvGlideslope{6, {200, 1000, 1000, 0, 0, 200}, {64, 64, 140, 140, 96, 64}};
constexpr Envelope kEnvAltitudeLoss{5, {0, 700, 700, 0, 0}, {10, 70, 1000, 1000, 10}};
constexpr Envelope kEnvSinkFlaps{
    5, {200, 780, 780, 200, 200}, {-2200, -3000, -20000, -20000, -2200}};
constexpr Envelope kEnvSink{5, {0, 2500, 2500, 0, 0}, {-1000, -4900, -20000, -20000, -1}};
constexpr Envelope kEnvSinkPullUp{
    6, {0, 200, 2500, 2500, 0, 0}, {-1500, -1500, -7300, -20000, -20000, -1500}};
constexpr Envelope kEnvLowFlapsSlow{5, {0, 0, 200, 200, 0}, {0, 130, 130, 0, 0}};
constexpr Envelope kEnvLowFlaps{6, {0, 200, 1000, 1000, 0, 0}, {130, 130, 202, 5000, 5000, 130}};
constexpr Envelope kEnvLowGearSlow{5, {0, 0, 500, 500, 0}, {0, 157, 157, 0, 0}};
constexpr Envelope kEnvLowGear{6, {0, 500, 1000, 1000, 0, 0}, {157, 157, 202, 5000, 5000, 157}};

// The closure envelopes; their third and fourth vertices move with airspeed.
Envelope EnvClosure{6, {0, 1500, 0, 0, 0, 0}, {-2050, -3800, 0, -20000, -20000, -2050}};
Envelope EnvClosurePullUp{6, {0, 1400, 0, 0, 0, 0}, {-2300, -3800, 0, -20000, -20000, -2300}};

bool Inside(const Envelope& e, int32_t x, int32_t y) {
    return PointInPolygon(e.count, e.x, e.y, x, y) != 0;
}

void MoveClosureVertices() {
    int32_t s = TruncToInt32(static_cast<double>(IndicatedAirspeed) - 157.0);
    if (s > 45) s = 45;
    if (s < 0) s = 157;
    const int32_t v = s * 15 + 1700;
    const int32_t w = s * 22 - 6000;
    for (Envelope* e : {&EnvClosure, &EnvClosurePullUp}) {
        e->x[2] = v;
        e->y[2] = w;
        e->x[3] = v;
    }
}

bool GearUp() {
    return GearLegPosition[0] == 0 && GearLegPosition[1] == 0 && GearLegPosition[2] == 0;
}

// Step 2: decision height and glideslope.
int32_t GpwsApproachMessages(int32_t r) {
    int32_t m = 0;
    if (GpwsTakeoffPhase != 0) return m;
    if (FGC_comp_DH_altitude1 > 5 && std::abs(r - FGC_comp_DH_altitude1) < 25) m = 12;
    const NavSourceRecord* src = FgcSide1.nav_source;
    if (GpwsPanelState[1] == 0 && src != nullptr && src->receive_state == 2 &&
        src->glideslope_alive != 0 && Inside(kEnvGlideslope, r, -FgcGlideslopeDeviation)) {
        m = 11;
    }
    return m;
}

// Step 4: altitude loss after take-off.
void GpwsAltitudeLoss(int32_t r, int32_t& m) {
    if (GpwsTakeoffPhase != 0 && HostGearHandle < 16380 && r < 700 &&
        flight_controls_FLAPS[0] == 0) {
        GpwsHighestAltitude = std::max(GpwsHighestAltitude, r);
        if (Inside(kEnvAltitudeLoss, r, GpwsHighestAltitude - r)) m = 6;
    } else {
        GpwsHighestAltitude = 0;
    }
}

// Step 6: terrain closure.
void GpwsClosure(int32_t r, int32_t& m) {
    if (flight_controls_FLAPS[0] >= 3 || GpwsFlags[1] != 0) return;
    const int32_t c = RoundToInt32(RadioAltitudeRate);
    if (Inside(EnvClosure, r, c)) {
        m = Inside(EnvClosurePullUp, r, c) ? 4 : 3;
        GpwsReferenceAltitude = r;
    } else if (GpwsReferenceAltitude >= 0) {
        if (r > GpwsReferenceAltitude + 300) {
            GpwsReferenceAltitude = -1;
        } else {
            m = 3;
        }
    }
}

// Steps 8 and 9: too low, flaps and gear.
void GpwsTooLow(int32_t r, int32_t& m) {
    const int32_t ias = TruncToInt32(IndicatedAirspeed);
    if (flight_controls_FLAPS[0] < 3 && GpwsTakeoffPhase == 0 && GpwsFlags[1] == 0) {
        if (Inside(kEnvLowFlapsSlow, r, ias)) {
            m = 9;
        } else if (Inside(kEnvLowFlaps, r, ias)) {
            m = 10;
        }
    }
    if (GpwsTakeoffPhase == 0 && GearUp()) {
        if (Inside(kEnvLowGearSlow, r, ias)) {
            m = 7;
        } else if (Inside(kEnvLowGear, r, ias)) {
            m = 8;
        }
    }
}

}  // namespace

uint8_t GpwsTestRequestSeen = 0;

namespace {

// Steps 10 and 11: inhibits, the test, the light requests.
void GpwsInhibitAndTest(int32_t r, int32_t& m) {
    if (StallWarningState.output[0] < 0 || r > 2450 || r < 50) {
        m = 0;
        GpwsReferenceAltitude = -1;
        GpwsHighestAltitude = 0;
        GpwsPanelState[1] = 0;
    }
    // A new test starts with its acknowledge cleared, or the previous
    // test's acknowledge would cancel it at once.
    if (GpwsFlags[0] != 0 && GpwsTestRequestSeen == 0) GpwsTestAcknowledge = 0;
    GpwsTestRequestSeen = GpwsFlags[0];
    if (GpwsFlags[0] != 0) m = 20;
    GpwsPullUpRequest = (m == 2 || m == 4 || m == 20) ? 1 : 0;
    GpwsGlideslopeRequest = (m == 11 || m == 20) ? 1 : 0;
    if (m == 20 && GpwsTestAcknowledge != 0) {
        m = 0;
        GpwsFlags[0] = 0;
        GpwsTestRequestSeen = 0;
    }
}

// Step 13: take-off phase.
void GpwsTakeoffPhaseUpdate(int32_t r) {
    if (OnGround != 0) CountdownTick(&GpwsTakeoffCountdown);
    if (r > 700) GpwsTakeoffCountdown = 20;
    if (r < 150 && PowerLeverPosition[0] > 17000) {
        GpwsTakeoffCountdown = 0;
        GpwsTakeoffPhase = 1;
    } else {
        GpwsTakeoffPhase = GpwsTakeoffCountdown == 0 ? 1 : 0;
    }
}

// Step 14: flashing copies.
void GpwsFlash(int32_t m) {
    const bool toggle = (FrameChangeBits.load(std::memory_order_acquire) & 0x02) != 0;
    auto flash = [&](uint8_t request, int32_t copy) -> int32_t {
        if (request == 0) return 0;
        if (m == 20) return 1;
        return toggle ? (copy != 0 ? 0 : 1) : copy;
    };
    GpwsAlertFlag = static_cast<uint8_t>(flash(GpwsPullUpRequest, GpwsAlertFlag));
    GpwsPanelState[0] = flash(GpwsGlideslopeRequest, GpwsPanelState[0]);
    GpwsFlags[2] = GpwsFlags[1];
}

}  // namespace

void GpwsUpdate() {
    GpwsPullUpRequest = 0;
    GpwsGlideslopeRequest = 0;
    const int32_t r = RadioAltitudeReadoutValue;
    int32_t m = VoiceAlertIndex;
    if (AcBusPowered.get(3) == 0) {
        GpwsFlags[0] = 0;
        GpwsFlags[1] = 0;
    } else {
        MoveClosureVertices();
        m = GpwsApproachMessages(r);
        if (r > 1000) GpwsPanelState[1] = 0;
        GpwsAltitudeLoss(r, m);
        if (flight_controls_FLAPS[0] > 1 && Inside(kEnvSinkFlaps, r, VerticalSpeedRaw)) m = 5;
        GpwsClosure(r, m);
        if (Inside(kEnvSink, r, VerticalSpeedRaw))
            m = Inside(kEnvSinkPullUp, r, VerticalSpeedRaw) ? 2 : 1;
        GpwsTooLow(r, m);
        GpwsInhibitAndTest(r, m);
        VoiceAlertIndex = m;
    }
    CautionLightArray[kGpwsTestLight] =
        (m == 20 && BusPowered.get(kPoweredLeftEssential) != 0) ? 255 : 0;
    GpwsTakeoffPhaseUpdate(r);
    GpwsFlash(m);
}

}  // namespace zu
