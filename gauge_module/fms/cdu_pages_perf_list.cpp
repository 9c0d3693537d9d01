// The CDU's PERF page (ground speed, wind, fuel, weight, endurance and range
// now and over the destination) and LIST page (the navaids around the
// aircraft).
#include <cmath>
#include <cstring>
#include <string_view>

#include "core/flight_guidance.h"
#include "core/flight_guidance_annunciation.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "fms/cdu_engine.h"
#include "fms/cdu_pages.h"
#include "fms/flight_plan.h"
#include "fms/fms_lifecycle.h"
#include "fms/leg_geometry.h"
#include "fms/nav_database.h"
#include "instruments/engine_instruments.h"

namespace zu {

int32_t CduListCategory = 0;
int32_t CduListLastCategory = -1;
int32_t CduListTicks = 0;

namespace {

enum : int32_t { kGreen = 0, kAmber = 1, kYellow = 2, kWhite = 4 };
enum : int32_t { kBold = 0, kLight = 1 };

// Pounds per unit of the published fuel quantities.
inline constexpr double kFuelPoundsPerUnit = 6.8132;
// The slowest speed the time estimates assume, knots.
inline constexpr double kMinEstimateSpeedKt = 120.0;
// Endurance shown up to 100 hours.
inline constexpr double kMaxEnduranceSeconds = 360000.0;

// A value as a whole number for the screen: rounded toward zero, clamped to
// what the fields can hold, 0 when it is not a number.
int32_t Whole(double v) {
    if (!std::isfinite(v)) return 0;
    if (v > 99999999.0) return 99999999;
    if (v < -99999999.0) return -99999999;
    return static_cast<int32_t>(v);
}

// A duration or a time of day as "HH+MM" or "HH:MM"; false when it cannot be
// shown (negative, not a number, beyond the calendar).
bool FormatHoursMinutes(double seconds, char separator) {
    if (!std::isfinite(seconds) || seconds < 0.0 || seconds > 2.5e11) return false;
    if (!FormatTime(static_cast<int64_t>(seconds))) return false;
    CduFormatBuffer[2] = separator;
    CduFormatBuffer[5] = '\0';
    return true;
}

void WriteDuration(double seconds, int32_t column, int32_t line) {
    const bool shown =
        seconds > 0.0 && seconds < kMaxEnduranceSeconds && FormatHoursMinutes(seconds, '+');
    CduWriteText(shown ? CduFormatBuffer : "-----", column, line, kGreen, kBold);
}

void PerfLabels() {
    CduWriteText("PERF 1/1", 8, 0, kGreen, kBold);
    static const struct {
        const char* text;
        int32_t column, line;
    } kLabels[] = {
        {"GS", 0, 1},          {"ESAD", 0, 2},       {"TEMP", 11, 2},       {"DIST", 0, 3},
        {"GND NM/LB.", 11, 3}, {"ETE", 0, 4},        {"AIR NM/LB.", 11, 4}, {"ETE", 5, 5},
        {"LOC", 15, 5},        {"NOW", 3, 6},        {"OVHD", 14, 6},       {"WT", 7, 7},
        {"WT", 15, 7},         {"FUEL ONBRD", 7, 8}, {"ENDURANCE", 7, 9},   {"RANGE", 7, 10}};
    for (const auto& l : kLabels) CduWriteText(l.text, l.column, l.line, kGreen, kLight);
    CduWriteText("ISA", 18, 2, kYellow, kBold);
    CduWriteText("LBS", 10, 7, kYellow, kBold);
}

// What the estimates start from.
struct PerfInputs {
    bool plan;
    double fuel_flow;  // FF, pounds per hour
    double distance;   // D, nm to the end of the plan
    double speed;      // V, knots
    double time;       // T, seconds to the end of the plan
    double fuel;       // F, pounds on board
};

PerfInputs PerfEstimates() {
    PerfInputs p{};
    p.plan = FlightPlan.count > 0;
    p.fuel_flow = static_cast<double>(FuelFlowValue[0]) + static_cast<double>(FuelFlowValue[1]);
    if (!std::isfinite(p.fuel_flow)) p.fuel_flow = 0.0;
    p.distance = p.plan ? DistanceToWaypoint(static_cast<int32_t>(FlightPlan.count) - 1) : 0.0;
    if (!std::isfinite(p.distance)) p.distance = 0.0;
    p.speed = static_cast<double>(TrueAirspeed) / 128.0;
    if (!(p.speed >= kMinEstimateSpeedKt)) p.speed = kMinEstimateSpeedKt;
    p.time = p.distance / p.speed * 3600.0;
    const double quantity =
        static_cast<double>(EngineDisplayValue[0]) + static_cast<double>(EngineDisplayValue[1]);
    p.fuel = std::isfinite(quantity)
                 ? static_cast<double>(std::lround(quantity * kFuelPoundsPerUnit))
                 : 0.0;
    return p;
}

void PerfSpeedAndWind() {
    CduWriteText(CduFormat("%3d", GroundSpeed), 6, 1, kYellow, kBold);
    // The flight guidance's sense byte is set while the wind is a headwind.
    CduWriteText(WindComponentSense[0] != 0 ? "TAILWIND" : "HEADWIND", 11, 1, kGreen, kLight);
    CduWriteText(CduFormat("%3d", Whole(std::fabs(MapDisplayState.wind_y))), 21, 1, kGreen, kBold);
    const double isa = std::isfinite(AmbientTemperature) ? std::lround(AmbientTemperature) - 15 : 0;
    CduWriteText(CduFormat("%+3d", Whole(isa)), 21, 2, kYellow, kBold);
}

void PerfPlanTimes(const PerfInputs& p) {
    const double ff = p.fuel_flow < 1.0 ? 1.0 : p.fuel_flow;
    CduWriteText(CduFormat("%3d", Whole(GroundSpeed / ff * 1000.0)), 21, 4, kGreen, kBold);
    if (!p.plan) {
        CduWriteText("----", 5, 3, kGreen, kBold);
        CduWriteText("-----", 4, 4, kGreen, kBold);
        CduWriteText("-----", 9, 5, kGreen, kBold);
        return;
    }
    CduWriteText(CduFormat("%4d", Whole(p.distance)), 5, 3, kGreen, kBold);
    CduWriteText(FormatHoursMinutes(p.time, '+') ? CduFormatBuffer : "-----", 4, 4, kGreen, kBold);
    const double arrival = static_cast<double>(SimDateTime) + p.time;
    CduWriteText(FormatHoursMinutes(arrival, ':') ? CduFormatBuffer : "-----", 9, 5, kGreen, kBold);
}

void PerfWeightAndFuel(const PerfInputs& p) {
    const double burn = p.time / 3600.0 * p.fuel_flow;
    CduWriteText(CduFormat("%5d", Whole(GrossWeight)), 1, 7, kGreen, kBold);
    CduWriteText(CduFormat("%4d", Whole(p.fuel)), 2, 8, kGreen, kBold);
    if (!p.plan) {
        CduWriteText("-----", 19, 7, kGreen, kBold);
        CduWriteText("-----", 20, 8, kGreen, kBold);
        return;
    }
    CduWriteText(CduFormat("%5d", Whole(GrossWeight - burn)), 19, 7, kGreen, kBold);
    if (p.fuel - burn >= 0.0) {
        CduWriteText(CduFormat("%4d", Whole(p.fuel - burn)), 20, 8, kGreen, kBold);
    }
}

void PerfEnduranceAndRange(const PerfInputs& p) {
    const double endurance = p.fuel / (p.fuel_flow + 1.0) * 3600.0;
    WriteDuration(endurance, 1, 9);
    CduWriteText(CduFormat("%5d", Whole(p.speed * endurance / 3600.0)), 1, 10, kGreen, kBold);
    if (!p.plan) {
        CduWriteText("-----", 19, 9, kGreen, kBold);
        CduWriteText("-----", 19, 10, kGreen, kBold);
        return;
    }
    const double left = p.fuel - p.time / 3600.0 * p.fuel_flow;
    const double enduranceOver = left / (p.fuel_flow + 1.0) * 3600.0;
    WriteDuration(enduranceOver, 19, 9);
    CduWriteText(CduFormat("%5d", Whole(p.speed * enduranceOver / 3600.0)), 19, 10, kGreen, kBold);
}

// LIST: the record types searched by category (airways search nothing).
constexpr char kListTypes[4] = {'V', 'A', 'N', 'I'};
inline constexpr int32_t kListLines = 8;
inline constexpr int32_t kListIdleTicks = 16;

void ListSearch() {
    if (CduListCategory >= 0 && CduListCategory < 4) {
        SearchWaypoints(nullptr, kListTypes[CduListCategory], FmsPosition.latitude,
                        FmsPosition.longitude);
        SortWaypointsByDistance();
    }
    CduListLastCategory = CduListCategory;
    CduSubPageCount = WaypointSearchResults.count;
    CduListTicks = 0;
}

void ListPrompts() {
    CduWriteText("qAPT", 0, 2, kWhite, kBold);
    CduWriteText("qNDB", 0, 4, kWhite, kBold);
    CduWriteText("qINT", 0, 6, kWhite, kBold);
    CduWriteText("VORw", 20, 2, kWhite, kBold);
    CduWriteText("/PLT", 20, 3, kWhite, kBold);
    CduWriteText("AIRw", 20, 4, kWhite, kBold);
    CduWriteText("WAYS", 20, 5, kWhite, kBold);
    CduWriteText("GAPw", 20, 6, kWhite, kBold);
    switch (CduListCategory) {
        case 0:
            CduWriteText("PLNw", 20, 2, kWhite, kBold);
            CduWriteText("LANG", 20, 3, kWhite, kBold);
            break;
        case 1:
        case 2:
        case 3: {
            const int32_t line = 2 * CduListCategory;
            CduWriteText("qPLN", 0, line, kWhite, kBold);
            CduWriteText("LANG", 0, line + 1, kWhite, kBold);
            break;
        }
        case 4:
            CduWriteText("PLNw", 20, 4, kWhite, kBold);
            CduWriteText("LANG", 20, 5, kWhite, kBold);
            break;
        default:
            break;
    }
    CduWriteText("RTNw", 20, 10, kWhite, kBold);
}

void ListResults() {
    if (CduListCategory < 0 || CduListCategory > 3 || WaypointDatabase == nullptr) return;
    const int32_t first = kListLines * CduSubPage;
    for (int32_t i = first; i < first + kListLines && i < WaypointSearchResults.count; ++i) {
        const int32_t record = WaypointSearchResults.index[i];
        if (record < 0 || record >= WaypointDatabaseCount) continue;
        const int32_t line = 2 + (i - first);
        CduWriteText(CduFormat("%2d", i + 1), 6, line, kWhite, kLight);
        // The identifier, cut to the six cells inside the frame.
        const std::string_view ident = FieldText(WaypointDatabase[record].ident);
        char text[7] = {};
        std::memcpy(text, ident.data(), ident.size() < 6 ? ident.size() : 6);
        CduWriteText(text, 9, line, kWhite, kLight);
    }
}

}  // namespace

// PERF: display only.
int32_t CduPerfDisplay() {
    CduClearScreen();
    if (CduPageEntered != 0) CduClearFields();
    PerfLabels();
    const PerfInputs p = PerfEstimates();
    PerfSpeedAndWind();
    PerfPlanTimes(p);
    PerfWeightAndFuel(p);
    PerfEnduranceAndRange(p);
    return 0;
}

// LIST: the nearest navaids of the category, eight to a sub-page.
int32_t CduListDisplay() {
    const int32_t count = WaypointSearchResults.count;
    CduSubPageCount = count > 0 ? 1 : count;
    CduClearScreen();
    if (CduPageEntered != 0) CduClearFields();
    CduWriteText("LIST", 9, 0, kGreen, kBold);
    CduWriteText(CduFormat("%2d", CduSubPage + 1), 14, 0, kGreen, kBold);
    CduWriteText("/", 16, 0, kGreen, kBold);
    CduWriteText(CduFormat("%2d", CduSubPageCount), 17, 0, kGreen, kBold);
    CduAddLine(5, 1, 19, 1, kAmber);
    CduAddLine(19, 1, 19, 10, kAmber);
    CduAddLine(19, 10, 5, 10, kAmber);
    CduAddLine(5, 10, 5, 1, kAmber);
    ListPrompts();
    ListResults();
    return 0;
}

int32_t CduListKeys() {
    // Entering the page searches afresh: the results may hold another
    // page's identifier look-up.
    if (CduEvent == kCduEventSelected) CduListLastCategory = -1;
    const bool due = CduEvent == kCduEventIdle && CduListTicks > kListIdleTicks;
    if (CduListCategory != CduListLastCategory || due) ListSearch();
    if (CduEvent == kCduEventIdle) CduListTicks += 1;
    return 0;
}

}  // namespace zu
