#include "displays/tcas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/radio_altitude_alerting.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
#include "displays/efis_resources.h"
#include "instruments/atc_control_head.h"

namespace zu {

EfisRotationRecord TcasTickRotation;

TcasStateRecord TcasState = {};
TcasIntruderTable TcasIntruders[2] = {};
std::atomic<int32_t> TcasIntruderShown{0};
TcasOwnRecord TcasOwn = {};
int32_t TcasRangeNm = 5;

namespace {

// The tick's own rotation record (the displays use the gauge thread's).

constexpr double kDegToRad = 0.017453292519943295;

// East and north rates (nm per minute) of a ground speed along a true
// heading, through the displays' fixed-point rotation: the rotated point of
// (0, speed) is in screen axes (x right, y up after the rotation's sign),
// so east is its negated x.
void RatesOf(double heading, int32_t speed, double* east_rate, double* north_rate) {
    SetRotation(TcasTickRotation, 0, 0, static_cast<float>(heading), 0);
    *east_rate = -RotX(TcasTickRotation, 0, speed) / 60.0;
    *north_rate = RotY(TcasTickRotation, 0, speed) / 60.0;
}

// a - b wrapped into (-180, 180].
double LongitudeDelta(double a, double b) {
    double d = std::remainder(a - b, 360.0);
    if (d <= -180.0) d += 360.0;
    return d;
}

bool SlotUsable(const TcasTrafficSlot& slot) {
    return slot.identifier != 0 && std::isfinite(slot.latitude) && std::isfinite(slot.longitude) &&
           std::isfinite(slot.altitude) && std::fabs(slot.latitude) <= 90.0f;
}

}  // namespace

const TcasIntruderTable& TcasShownIntruders() {
    return TcasIntruders[TcasIntruderShown.load(std::memory_order_acquire) & 1];
}

const TransponderModeEntry TransponderModeTable[kTransponderModes] = {
    {0, 0, false},  // off
    {1, 0, false},  // test
    {2, 1, false},  // standby
    {3, 2, false},  // on
    {4, 2, false},  // altitude reporting
    {5, 2, true},   // VFR
    {4, 3, false},  // TCAS
    {4, 4, false},  // TCAS
};

void TcasIdentCountdown() {
    if (!CountdownTick(&TransponderState.ident_timer)) TransponderIdent = 0;
}

void TcasTestCountdown() {
    if (TransponderState.mode != 1) return;
    if (!CountdownTick(&TransponderState.test_timer)) TransponderState.mode = 2;
}

void TcasCursorCountdown() {
    if (!CountdownTick(&TransponderState.cursor_timer)) TransponderState.digit_cursor = 0;
}

void TcasModeApply() {
    const int32_t mode = TransponderState.mode;
    if (mode == TransponderState.mode_seen) return;
    if (mode >= 0 && mode < kTransponderModes) {
        const TransponderModeEntry& entry = TransponderModeTable[mode];
        TransponderState.display_mode = entry.display_mode;
        TransponderState.tcas_mode = entry.tcas_mode;
    }
    TransponderCodePtr = mode == 5 ? TransponderVfrCodeText : TransponderCodeText;
    TransponderState.mode_seen = mode;
    RefreshCountdown[1] = RefreshHoldCount;
}

void TcasCodeEncode() {
    const char* c = TransponderCodePtr;
    uint16_t bcd = 0;
    for (int i = 0; i < 4; ++i) {
        bcd = static_cast<uint16_t>(bcd * 16 + static_cast<uint16_t>(c[i] - '0'));
    }
    TransponderCodeBcd = bcd;
}

void TcasOwnRates(TcasIntruderTable& table) {
    const double heading = static_cast<double>(Heading) + NavHeading;
    const int32_t speed = std::clamp(GroundSpeed, 0, 65535);
    RatesOf(std::isfinite(heading) ? heading : 0.0, speed, &TcasOwn.east_rate, &TcasOwn.north_rate);
    TcasOwn.vertical_rate = VerticalSpeedRaw * kTcasVerticalRateFactor;
    table.count = 0;
}

void TcasIntrudersRead(TcasIntruderTable& table) {
    if (TransponderState.tcas_mode <= kTcasModeStandby || TcasSlotCount == 0) return;
    const double own_altitude = Altitude;
    const double own_lat = AircraftPosition.latitude;
    const double own_lon = AircraftPosition.longitude;
    if (!std::isfinite(own_altitude) || !std::isfinite(own_lat) || !std::isfinite(own_lon)) return;
    const double own_cos = std::cos(own_lat * kDegToRad);
    const int slots = std::min<int>(TcasSlotCount, kTcasTrafficSlotCapacity);
    for (int i = 0; i < slots && table.count < kTcasIntruderCapacity; ++i) {
        const TcasTrafficSlot& slot = TcasTrafficSlots[i];
        if (!SlotUsable(slot)) continue;
        const double slot_altitude = std::trunc(static_cast<double>(slot.altitude));
        if (std::trunc(std::fabs(own_altitude - slot_altitude)) >= kTcasAltitudeWindowFeet)
            continue;
        TcasIntruder& t = table.intruders[table.count];
        t.identifier = slot.identifier;
        t.east_offset = LongitudeDelta(slot.longitude, own_lon) * 60.0 * own_cos;
        t.north_offset = (static_cast<double>(slot.latitude) - own_lat) * 60.0;
        t.east = AircraftPosition.east_nm + t.east_offset;
        t.north = AircraftPosition.north_nm + t.north_offset;
        t.altitude = slot.altitude;
        t.heading = slot.heading * 0.005493;
        t.ground_speed = slot.ground_speed;
        t.vertical_speed = slot.vertical_speed;
        GreatCircleDistanceCourse(slot.latitude, slot.longitude, own_lat, own_lon);
        t.distance = GreatCircleDistanceCourseResult.distance;
        t.bearing = GreatCircleDistanceCourseResult.course;
        t.threat = 0;
        t.proximate = 0;
        std::snprintf(t.relative_altitude_text, sizeof t.relative_altitude_text, "%+03d",
                      TruncToInt32((t.altitude - own_altitude) * 0.01));
        RatesOf(t.heading, slot.ground_speed, &t.east_rate, &t.north_rate);
        t.vertical_rate = slot.vertical_speed * kTcasVerticalRateFactor;
        t.approach_time = 0.0;
        t.approach_distance = 0.0;
        ++table.count;
    }
}

void TcasThreatsAssess(TcasIntruderTable& table) {
    if (TransponderState.tcas_mode < kTcasModeAssess) return;
    const double own_altitude = Altitude;
    // The own aircraft is the frame's origin.
    const double p[3] = {0.0, 0.0, own_altitude * kTcasFeetToNm};
    const double u[3] = {TcasOwn.east_rate, TcasOwn.north_rate, TcasOwn.vertical_rate};
    for (int i = 0; i < table.count; ++i) {
        TcasIntruder& t = table.intruders[i];
        if (std::fabs(t.altitude - own_altitude) > kTcasProximateFeet ||
            t.distance > kTcasProximateNm) {
            t.threat = 0;
            t.proximate = 0;
            continue;
        }
        t.proximate = 1;
        const double q[3] = {t.east_offset, t.north_offset, t.altitude * kTcasFeetToNm};
        const double v[3] = {t.east_rate, t.north_rate, t.vertical_rate};
        t.approach_distance = ClosestApproachDistance(p, u, q, v);
        t.approach_time = ClosestApproachTime(p, u, q, v);
        t.threat = std::fabs(t.approach_time) < kTcasThreatMinutes &&
                           std::fabs(t.approach_distance) < kTcasThreatNm
                       ? 1
                       : 0;
    }
}

void TcasTrafficRequest(const TcasIntruderTable& table) {
    TcasState.traffic_request = 0;
    if (TransponderState.tcas_mode < kTcasModeAssess) return;
    if (StallSystemFail[0] != 0 || StallSystemFail[1] != 0 ||
        RadioAltitudeReadoutValue <= kTcasRequestMinRadioFeet)
        return;
    for (int i = 0; i < table.count; ++i) {
        if (table.intruders[i].threat != 0) {
            TcasState.traffic_request = 1;
            return;
        }
    }
}

void TcasRangeSelect() {
    const int32_t step = TcasState.range_index;
    if (step >= 0 && step < 4) TcasRangeNm = kTcasRangeNm[step];
}

void TcasCompute() {
    TcasIdentCountdown();
    TcasTestCountdown();
    TcasCursorCountdown();
    TcasModeApply();
    TcasCodeEncode();
    if ((FrameChangeBits.load(std::memory_order_acquire) & 0x04) == 0) return;
    // The copy the displays do not read is rebuilt, then shown.
    const int32_t back = 1 - (TcasIntruderShown.load(std::memory_order_relaxed) & 1);
    TcasIntruderTable& table = TcasIntruders[back];
    TcasOwnRates(table);
    TcasIntrudersRead(table);
    TcasThreatsAssess(table);
    TcasTrafficRequest(table);
    TcasRangeSelect();
    TcasIntruderShown.store(back, std::memory_order_release);
}

}  // namespace zu
