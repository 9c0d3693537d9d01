// Lateral guidance output and the nav-receiver update (see
// fms_nav_output.h).
#include "fms/fms_nav_output.h"

#include <cmath>
#include <numbers>

#include "core/ahrs.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/nav_sources.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
#include "fms/flight_plan.h"
#include "fms/fms_lifecycle.h"
#include "fms/leg_geometry.h"
#include "fms/nav_database.h"
#include "panels/display_control_panels.h"

namespace zu {

double FmsBearingToWaypoint = 0.0;
double FmsCrossTrack = 0.0;
double FmsTrackError = 0.0;
uint8_t FmsLnavFlag = 0;

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;
constexpr double kRadToDeg = 180.0 / std::numbers::pi;
constexpr double kNoBearing = 90.0;
constexpr double kDeviationScale = 25.4;
constexpr double kOneNinth = 0.1111111119389534;  // the single-precision 1/9

// The station look-up's own result list, so the CDU's search results stay
// as the pages left them.
WaypointSearchResultList StationSearchScratch;

// --- Lateral output -------------------------------------------------------

NavSourceRecord& Fms1() {
    return NavSources[kNavFms1];
}

// Steps 1 and 2.
bool OutputCourse(const LegRecord& to) {
    NavSourceRecord& r = Fms1();
    r.kind = 4;
    r.receive_state = 4;
    r.course_valid = to.leg_class != 0 ? 1 : 0;
    if (r.course_valid != 0) r.course = to.magnetic_course;
    if (to.path_type != 0) return true;
    r.bearing_valid = 0;
    r.distance_valid = 0;
    r.deviation_valid = 0;
    return false;
}

// Steps 3 to 5; the distance D is left for the cross-track.
double OutputBearingAndDistance(const LegRecord& to) {
    NavSourceRecord& r = Fms1();
    GreatCircleDistanceCourse(to.end_latitude, to.end_longitude, FmsPosition.latitude,
                              FmsPosition.longitude);
    const GreatCircleResult dc = GreatCircleDistanceCourseResult;
    r.distance_valid = to.fixed_distance;
    r.distance = to.fixed_distance != 0 ? dc.distance : 0.0;
    const double variation = to.leg_class == 9 ? NavHeading : to.fix_variation;
    FmsBearingToWaypoint = AngleSub360(dc.course, variation);
    FmsLnavFlag = to.leg_class == 3 ? 1 : 0;
    r.bearing_valid = 1;
    r.bearing = FmsBearingToWaypoint - Ahrs1.heading;
    return dc.distance;
}

// Step 6: the turn direction to an autopilot flying the FMS.
void OutputTurnDirection(const LegRecord& to) {
    if (LateralTurnState != 0 || to.leg_class == 1) return;
    const bool fms_source = FgcSide1.nav_source != nullptr && FgcSide1.nav_source->kind == 4;
    if (FGC_comp_AP1_lateral_mode == 5 && fms_source) FgcFmsLegParam1 = to.turn_direction;
    if (FGC_comp_AP2_lateral_mode == 5 && fms_source) FgcFmsLegParam2 = to.turn_direction;
}

// Steps 7 to 9.
void OutputDeviation(double distance) {
    NavSourceRecord& r = Fms1();
    const double course = r.course;
    const double arc = distance / 60.0 * kDegToRad;
    const double angle = (FmsBearingToWaypoint - (course - 180.0)) * kDegToRad;
    double x = std::sin(arc) * std::sin(angle);
    if (x > 1.0) x = 1.0;
    if (x < -1.0) x = -1.0;
    FmsCrossTrack = -60.0 * (std::asin(x) * kRadToDeg);
    const double reference = course + (FmsLnavFlag != 0 ? MapDisplayState.map_value : 0.0);
    FmsTrackError = AngleDiff(FmsBearingToWaypoint, reference);
    double clamped = FmsCrossTrack;
    if (clamped > 5.0) clamped = 5.0;
    if (clamped < -5.0) clamped = -5.0;
    r.lateral_deviation = clamped * kDeviationScale;
    r.deviation_valid = 1;
    r.to_from = std::abs(AngleDiff(FmsBearingToWaypoint, course)) <= 90.0 ? 1 : 2;
}

// --- Nav-receiver update --------------------------------------------------

double Smooth(double previous, double host) {
    if (!std::isfinite(host)) host = 0.0;
    if (host > 10.0 && host < 350.0) return (8.0 * previous + host) * kOneNinth;
    return host;
}

// Step 1.
void SmoothVorBearings() {
    NavSources[kNavVor1].bearing = Smooth(NavSources[kNavVor1].bearing, HostNavBearing[0]);
    if (NavSources[kNavVor2].receive_state != 2)
        NavSources[kNavVor2].bearing = Smooth(NavSources[kNavVor2].bearing, HostNavBearing[1]);
}

// Step 2.
void BearingValidity() {
    for (int i : {kNavVor1, kNavVor2}) {
        NavSourceRecord& r = NavSources[i];
        if (r.receive_state == 2 || r.receive_state == 0) r.bearing = kNoBearing;
    }
    for (int i : {kNavVor1, kNavVor2, kNavAdf1, kNavAdf2})
        NavSources[i].bearing_valid = NavSources[i].bearing != kNoBearing ? 1 : 0;
    NavSources[kNavAdf1].receive_state = 3;
    NavSources[kNavAdf2].receive_state = 3;
}

// Step 3, one side: the tuned station's position from the database.
void ServeStationRequest(uint8_t request, NavSourceRecord& vor, VsiSelStation& out) {
    if (request == 0) return;
    if (vor.distance_valid == 0) {
        vor.computed_distance = 0;
        return;
    }
    SearchWaypointsInto(&StationSearchScratch, vor.ident_text, 0, 0.0, 0.0);
    FmsPositionFromAircraft();
    SortWaypointsByDistanceInto(&StationSearchScratch);
    if (StationSearchScratch.count == 0) {
        vor.computed_distance = 0;
        return;
    }
    const WaypointRecord& w = WaypointDatabase[StationSearchScratch.index[0]];
    out.latitude = w.latitude;
    out.longitude = w.longitude;
    out.elevation = static_cast<double>(w.elevation_ft);
}

void StationLookup() {
    if (RadioLookupHoldoff != 0) return;
    if (BusPowered.get(kPoweredLeftMainDc) == 0) {
        NavSources[kNavVor1].computed_distance = 0;
        NavSources[kNavVor2].computed_distance = 0;
    } else {
        ServeStationRequest(VsiSelRequest1, NavSources[kNavVor1], VsiSelValues[0]);
        ServeStationRequest(VsiSelRequest2, NavSources[kNavVor2], VsiSelValues[1]);
    }
    VsiSelRequest1 = 0;
    VsiSelRequest2 = 0;
}

// Step 4.
void MapPointer(int32_t selection, const int32_t (&map)[5], int32_t* index) {
    if (selection >= 0 && selection <= 4) *index = map[selection];
}

void BearingPointerSources() {
    static constexpr int32_t kPointer0[5] = {0, 1, 3, 5, 7};
    static constexpr int32_t kPointer1[5] = {0, 2, 4, 6, 8};
    MapPointer(FGC_comp_HSI1_bearing0_select, kPointer0,
               &DisplayControlState1.BearingPointerSource[0]);
    MapPointer(FGC_comp_HSI1_bearing1_select, kPointer1,
               &DisplayControlState1.BearingPointerSource[1]);
    MapPointer(FGC_comp_HSI2_bearing0_select, kPointer0,
               &DisplayControlState2.BearingPointerSource[0]);
    MapPointer(FGC_comp_HSI2_bearing1_select, kPointer1,
               &DisplayControlState2.BearingPointerSource[1]);
}

void RefreshValidity(NavSourceRecord& r) {
    r.deviation_valid = r.to_from != 0 ? 1 : 0;
    r.distance_valid = r.distance > 0.0 ? 1 : 0;
}

// Steps 5 to 7.
void ValidityRefresh() {
    if (BusPowered2.get(1) != 0) {
        for (int i = kNavVor2; i <= kNavAux2; ++i) {
            RefreshValidity(NavSources[i]);
            if (NavSources[i].kind == 1 && NavSources[i].receive_state == 2)
                NavSources[i].bearing_valid = 0;
        }
    }
    if (BusPowered.get(kPoweredLeftEssential) != 0) RefreshValidity(NavSources[kNavVor1]);
    if (AcBusPowered.get(3) == 0) {
        NavSources[kNavVor1].distance_valid = 0;
        NavSources[kNavAdf1].bearing_valid = 0;
    }
    if (AcBusPowered.get(2) == 0) {
        NavSources[kNavVor2].distance_valid = 0;
        NavSources[kNavAdf2].bearing_valid = 0;
    }
    NavSources[kNavAdf2].name = "ADF2";
}

// Step 8.
void SelectionDefaults() {
    if (NavSourceSel1 < 3) NavSourceSel1 = DisplayFormatFlags1[0] != 0 ? 2 : 1;
    if (NavSourceSel2 < 3) NavSourceSel2 = DisplayControlState2.Transfer[0] != 0 ? 1 : 2;
}

// Step 9.
void TimeToStation() {
    if ((FrameChangeBits.load(std::memory_order_acquire) & 0x08) == 0) return;
    for (int i : {kNavVor1, kNavVor2, kNavFms1}) {
        NavSourceRecord& r = NavSources[i];
        if (GroundSpeed < 1) {
            r.time_to_station = 0;
        } else if (r.distance_valid != 0) {
            r.time_to_station = TruncToInt32(r.distance * 60.0 / GroundSpeed);
        }
    }
}

}  // namespace

void FmsNavOutput() {
    if ((FrameChangeBits.load(std::memory_order_acquire) & 0x04) == 0) return;
    const LegRecord& to = FmsToLegCopy;
    if (OutputCourse(to)) {
        const double distance = OutputBearingAndDistance(to);
        OutputTurnDirection(to);
        OutputDeviation(distance);
    }
    if (FmsPowered == 0) FmsNavOutputUnpowered();
}

void FmsNavOutputUnpowered() {
    NavSourceRecord& r = Fms1();
    r.deviation_valid = 0;
    FmsCrossTrack = 0.0;
    r.course_valid = 0;
    r.bearing_valid = 0;
    r.distance_valid = 0;
    FmsLnavFlag = 0;
}

void NavSourcesUpdate() {
    SmoothVorBearings();
    BearingValidity();
    StationLookup();
    BearingPointerSources();
    ValidityRefresh();
    SelectionDefaults();
    TimeToStation();
    NavSourcesReset();
}

}  // namespace zu
