// Leg geometry, steering and holds (see leg_geometry.h).
#include "fms/leg_geometry.h"

#include <cmath>
#include <numbers>

#include "core/ahrs.h"
#include "core/air_data.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/nav_sources.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
#include "fms/flight_plan.h"
#include "fms/fms_lifecycle.h"
#include "fms/fms_nav_output.h"

namespace zu {

int32_t LateralTurnState = 0;
uint8_t HoldRecompute = 0;
int32_t HoldEntryStep = 0;
int32_t HoldEntryKind = 0;
uint32_t HoldEntryLegId = 0;
uint32_t HoldLegId = 0;
double HoldPointLatitude = 0.0;
double HoldPointLongitude = 0.0;
double GeometryLastLatitude = 0.0;
double GeometryLastLongitude = 0.0;

namespace {

// Turn anticipation by ground speed (kt -> nm).
constexpr float kTurnAnticipationTable[16] = {0.0f,   100.0f, 200.0f, 300.0f, 350.0f, 351.0f,
                                              352.0f, 353.0f, 0.0f,   1.2f,   1.9f,   2.9f,
                                              3.3f,   3.3f,   3.3f,   3.3f};
constexpr double kVsFloorFpm = 1000.0;
constexpr double kGsFloorKt = 100.0;

bool IsToSlot(const LegRecord* leg) {
    return leg == &FmsToLeg;
}

// Magnetic to true with the host's variation, wrapped once into 0..360.
double TrueCourse(double magnetic) {
    return AngleAdd360(magnetic, NavHeading);
}

struct Point {
    double lat;
    double lon;
};

Point Move(Point from, double true_course, double distance) {
    return {GreatCircleLat(from.lat, from.lon, true_course, distance),
            GreatCircleLon(from.lat, from.lon, true_course, distance)};
}

// Distance and true course from `from` to `to`.
GreatCircleResult Measure(Point from, Point to) {
    GreatCircleDistanceCourse(to.lat, to.lon, from.lat, from.lon);
    return GreatCircleDistanceCourseResult;
}

void SetEnd(LegRecord* leg, Point p) {
    leg->end_latitude = p.lat;
    leg->end_longitude = p.lon;
}

Point FmsPoint() {
    return {FmsPosition.latitude, FmsPosition.longitude};
}

// A usable previous value: not zero and within one turn either way.
bool Rememberable(double v) {
    return v != 0.0 && v > -361.0 && v < 361.0;
}

// Step 1.
void RememberPrevious(double lat, double lon) {
    if (Rememberable(lat)) GeometryLastLatitude = lat;
    if (Rememberable(lon)) GeometryLastLongitude = lon;
}

// Path type 1: course to altitude.
void CourseToAltitude(LegRecord* leg, Point prev) {
    const double climb = std::abs(static_cast<double>(leg->altitude_ft) - BaroAltitude1);
    const double vs = std::abs(static_cast<double>(VerticalSpeedRaw));
    const double hours = vs <= kVsFloorFpm ? climb / 60000.0 : climb / vs / 60.0;
    const double gs = GroundSpeed > kGsFloorKt ? static_cast<double>(GroundSpeed) : kGsFloorKt;
    double distance = hours * gs;
    if (distance < kMinLegNm) distance = 1e-07;
    SetEnd(leg, Move(prev, TrueCourse(leg->magnetic_course), distance));
    leg->altitude_end_computed = 1;
    leg->fix_variation = NavHeading;
    leg->fixed_distance = 0;
}

// Path type 3: from the previous point on the procedure course until the
// course through the fix is met. Where the two never meet ahead (parallel
// or behind), the end point is the fix.
void CourseToIntercept(LegRecord* leg, Point prev) {
    const Point fix{leg->fix_latitude, leg->fix_longitude};
    const GreatCircleResult to_fix = Measure(prev, fix);
    const double c = TrueCourse(leg->procedure_course) * (std::numbers::pi / 180.0);
    const double i = TrueCourse(leg->intercept_course) * (std::numbers::pi / 180.0);
    const double b = to_fix.course * (std::numbers::pi / 180.0);
    const double s = std::sin(c - i);
    const double t = std::abs(s) < 1e-9 ? -1.0 : to_fix.distance * std::sin(b - i) / s;
    if (!std::isfinite(t) || t < 0.0) {
        SetEnd(leg, fix);
    } else {
        SetEnd(leg, Move(prev, TrueCourse(leg->procedure_course), t));
    }
    leg->fix_variation = NavHeading;
    leg->fixed_distance = 0;
}

// Path types 4 and 6: a fix defined by a distance from a navaid.
void DistanceFromNavaid(LegRecord* leg, Point prev) {
    Point nav{leg->navaid_latitude, leg->navaid_longitude};
    if (nav.lat == 0.0 && nav.lon == 0.0) {
        nav = {leg->variation_latitude, leg->variation_longitude};
        if (prev.lat == 0.0) prev.lat = GeometryLastLatitude;
        if (prev.lon == 0.0) prev.lon = GeometryLastLongitude;
    }
    const double nav_distance = Measure(nav, prev).distance;
    LateralTurnState =
        (std::abs(nav_distance - leg->defining_distance_nm) <= kMinLegNm || !IsToSlot(leg)) ? 0 : 2;
    leg->leg_distance_nm = std::abs(nav_distance - leg->defining_distance_nm);
    leg->magnetic_course = leg->procedure_course;
    SetEnd(leg, Move(prev, TrueCourse(leg->procedure_course), leg->leg_distance_nm));
    leg->fixed_distance = 0;
}

// Path type 5: a manual leg, 999 nm out from the aircraft.
void ManualLeg(LegRecord* leg) {
    SetFieldText(leg->label, "(MANUAL)");
    SetEnd(leg, Move(FmsPoint(), TrueCourse(leg->magnetic_course), kNoPreviousLegNm));
    leg->leg_distance_nm = kNoPreviousLegNm;
    leg->fixed_distance = 0;
}

// Path type 7: hold at a fix.
void HoldAtFix(LegRecord* leg) {
    Point end;
    if (IsToSlot(leg)) {
        const double turn = std::abs(AngleDiff(leg->procedure_course, FmsNextLeg.magnetic_course));
        const double ahead = turn >= 1.5 ? 10.0 : 0.01;
        end = Move(FmsPoint(), TrueCourse(leg->procedure_course), ahead);
        leg->fix_latitude = end.lat;
        leg->fix_longitude = end.lon;
        leg->variation_latitude = end.lat;
        leg->variation_longitude = end.lon;
    } else {
        end = Move({FmsToLeg.end_latitude, FmsToLeg.end_longitude},
                   TrueCourse(leg->procedure_course), 10.0);
    }
    SetEnd(leg, end);
    leg->fixed_distance = 0;
}

// Step 2.
void PlaceByPathType(LegRecord* leg, Point prev) {
    switch (leg->path_type) {
        case 1:
            CourseToAltitude(leg, prev);
            break;
        case 3:
            CourseToIntercept(leg, prev);
            break;
        case 4:
        case 6:
            DistanceFromNavaid(leg, prev);
            break;
        case 5:
            ManualLeg(leg);
            break;
        case 7:
            HoldAtFix(leg);
            break;
        default:
            break;
    }
}

// The steering's altitude rule: true when the altitude constraint is met.
bool AltitudeReached(const LegRecord& leg) {
    const double d = static_cast<double>(BaroAltitude1) - leg.altitude_ft;
    switch (leg.altitude_kind) {
        case 1:
        case 4:
            return d >= 0.0;
        case 2:
            return d <= 0.0;
        case 3:
            return std::abs(d) < 100.0;
        default:
            return false;
    }
}

// The class-5 hold's step budget of each state.
int32_t Class5StepCap(int32_t state) {
    if (state == 3) return 1;
    if (state == 2) return HoldEntryKind == 1 ? 1 : 2;
    return 2;
}

// Leg class 5: a holding leg of a procedure.
void HoldClass5(LegRecord* leg) {
    // 1. End point at the fix; course and distance from the aircraft.
    const Point fix{leg->fix_latitude, leg->fix_longitude};
    const GreatCircleResult to_fix = Measure(FmsPoint(), fix);
    SetEnd(leg, fix);
    leg->magnetic_course = AngleSub360(to_fix.course, leg->fix_variation);
    leg->leg_distance_nm = to_fix.distance;
    if (!IsToSlot(leg)) return;
    // 2. First entry.
    if (leg->leg_id != HoldEntryLegId) {
        HoldEntryLegId = leg->leg_id;
        LateralTurnState = 3;
        HoldEntryStep = Class5StepCap(3);
        HoldEntryKind = 0;
        HoldRecompute = 0;
    }
    if (LateralTurnState != 0) leg->path_type = 2;
    // 3.-5. The states.
    if (LateralTurnState == 3) {
        if (leg->leg_distance_nm > 1.5)
            HoldEntryKind = HoldEntryType(leg->procedure_course, std::trunc(leg->magnetic_course),
                                          leg->turn_direction);
        if (HoldEntryStep > 1) HoldEntryStep = 1;
    } else if (LateralTurnState == 2) {
        if (HoldEntryKind == 0) {
            LateralTurnState = 0;
            FmsSequenceRequest = 1;
            return;
        }
        const int32_t cap = Class5StepCap(2);
        if (HoldEntryStep > cap) HoldEntryStep = cap;
    } else if (LateralTurnState == 1) {
        if (HoldEntryStep > 2) HoldEntryStep = 2;
        if (HoldRecompute != 0 && HoldEntryStep == 1) {
            const std::string_view pt = FieldText(leg->path_terminator);
            if (pt == "HM") {
                HoldEntryStep = 2;
                HoldRecompute = 0;
            } else if (pt == "HA") {
                // Flown as a course-to-altitude leg: the altitude ends it.
                if (AltitudeReached(*leg)) {
                    FmsSequenceRequest = 1;
                } else {
                    HoldEntryStep = 2;
                }
            }
        }
    }
    // 6. One step per computation while a leg change is asked for.
    if (HoldRecompute != 0 && LateralTurnState != 0) {
        --HoldEntryStep;
        if (HoldEntryStep == 0) {
            --LateralTurnState;
            HoldEntryStep = Class5StepCap(LateralTurnState);
        }
        if (HoldEntryStep < 0 || LateralTurnState <= 0) {
            LateralTurnState = 0;
            HoldRecompute = 0;
        }
    }
}

// Leg class 6: a hold at a navaid, flown as a countdown from 4.
void HoldClass6(LegRecord* leg) {
    // 1. Start and count down.
    if (IsToSlot(leg) && leg->leg_id != HoldLegId) {
        LateralTurnState = 4;
        HoldLegId = leg->leg_id;
    }
    if (HoldRecompute != 0) {
        --LateralTurnState;
        if (LateralTurnState < 0 && IsToSlot(leg)) LateralTurnState = 4;
    }
    if (LateralTurnState > 4 || LateralTurnState < 0) LateralTurnState = 0;
    // 2. The two lengths.
    double l1 = leg->defining_distance_nm > 2.0 ? leg->defining_distance_nm : 2.0;
    if (l1 > 6.0) l1 -= 5.0;
    const double gs_len = static_cast<double>(GroundSpeed) / 30.0;
    const double l2 = gs_len > l1 ? gs_len : l1;
    const Point nav{leg->navaid_latitude, leg->navaid_longitude};
    const double offset = leg->turn_direction == 2 ? -45.0 : 45.0;
    const double c = leg->procedure_course + offset;
    // 3.-6. The states.
    switch (LateralTurnState) {
        case 3: {
            const Point p = Move(nav, TrueCourse(c), l1);
            SetEnd(leg, p);
            HoldPointLatitude = p.lat;
            HoldPointLongitude = p.lon;
            leg->magnetic_course = c;
            break;
        }
        case 2:
            SetEnd(leg, Move({HoldPointLatitude, HoldPointLongitude},
                             TrueCourse(leg->procedure_course), l2));
            leg->magnetic_course = leg->procedure_course;
            break;
        case 1: {
            leg->magnetic_course = AngleAdd360(c, 180.0);
            SetEnd(leg, nav);
            if (std::abs(AngleDiff(Ahrs1.heading, leg->magnetic_course)) <= 40.0) {
                FgcFmsLegParam1 = leg->turn_direction;
                FgcFmsLegParam2 = leg->turn_direction;
            }
            break;
        }
        default: {  // 4 and 0
            SetEnd(leg, nav);
            leg->magnetic_course = AngleSub360(Measure(FmsPoint(), nav).course, NavHeading);
            HoldPointLatitude = nav.lat;
            HoldPointLongitude = nav.lon;
            break;
        }
    }
    // 7.
    leg->fix_variation = NavHeading;
    leg->fixed_distance = 0;
    HoldRecompute = 0;
}

// Step 4: course and distance from the previous point.
void CourseAndDistance(LegRecord* leg, Point prev) {
    const Point end{leg->end_latitude, leg->end_longitude};
    const GreatCircleResult m = Measure(prev, end);
    leg->magnetic_course = AngleSub360(m.course, leg->fix_variation);
    if (IsToSlot(leg)) {
        leg->leg_distance_nm = Measure(FmsPoint(), end).distance;
    } else if (prev.lat == 0.0 && prev.lon == 0.0) {
        leg->leg_distance_nm = kNoPreviousLegNm;
    } else {
        leg->leg_distance_nm = m.distance;
    }
}

// Step 5: leg class 1, the procedure course with a 10 degree intercept.
void InterceptOffset(LegRecord* leg, Point prev) {
    const Point nav{leg->navaid_latitude, leg->navaid_longitude};
    const double from_nav = AngleSub360(Measure(nav, prev).course, NavHeading);
    const double off_course = AngleDiff(from_nav, leg->procedure_course);
    int32_t direction = leg->turn_direction;
    if (leg->path_type == 3) direction = off_course < 0.0 ? 2 : 1;
    const double offset = direction == 2 ? 10.0 : -10.0;
    SetEnd(leg, Move(prev, TrueCourse(leg->procedure_course + offset), leg->leg_distance_nm));
    const double toward_turn = direction == 2 ? -off_course : off_course;
    if (std::abs(off_course) > 20.0 || toward_turn > 3.0) LateralTurnState = 2;
}

// Steps 5 to 10 by leg class.
void FinishByLegClass(LegRecord* leg, Point prev) {
    switch (leg->leg_class) {
        case 1:
            InterceptOffset(leg, prev);
            break;
        case 2:
            if (leg->end_latitude == 0.0 && leg->end_longitude == 0.0)
                SetEnd(leg, {leg->fix_latitude, leg->fix_longitude});
            leg->leg_distance_nm = Measure(prev, {leg->end_latitude, leg->end_longitude}).distance;
            leg->fixed_distance = 0;
            break;
        case 10:
            if (leg->fix_latitude == 0.0 && leg->fix_longitude == 0.0) {
                leg->fix_latitude = leg->navaid_latitude;
                leg->fix_longitude = leg->navaid_longitude;
                leg->magnetic_course = leg->procedure_course;
            }
            break;
        case 9: {
            const GreatCircleResult m =
                Measure(FmsPoint(), {leg->fix_latitude, leg->fix_longitude});
            leg->leg_distance_nm = m.distance;
            if (m.distance > 1.0) leg->magnetic_course = AngleSub360(m.course, NavHeading);
            SetEnd(leg, {leg->fix_latitude, leg->fix_longitude});
            break;
        }
        case 3:
            if (leg->path_type != 1 && leg->path_type != 3) {
                SetEnd(leg, Move(FmsPoint(), TrueCourse(leg->procedure_course), kNoPreviousLegNm));
                leg->leg_distance_nm = kNoPreviousLegNm;
            }
            leg->magnetic_course = leg->procedure_course;
            leg->fixed_distance = 0;
            break;
        default:
            break;
    }
    if (leg->magnetic_course < -360.0 || leg->magnetic_course > 360.0 ||
        !std::isfinite(leg->magnetic_course))
        leg->magnetic_course = 0.0;
    if (leg->intercept_course < -360 || leg->intercept_course > 360) leg->intercept_course = 0;
}

}  // namespace

void ComputeLegGeometry(LegRecord* leg, double prev_lat, double prev_lon) {
    // 1. Remember the previous point; the distance counts.
    RememberPrevious(prev_lat, prev_lon);
    leg->fixed_distance = 1;
    const Point prev{prev_lat, prev_lon};
    // 2. End point by path type.
    PlaceByPathType(leg, prev);
    // 3. Holds.
    if (leg->leg_class == 6) HoldClass6(leg);
    if (leg->leg_class == 5) HoldClass5(leg);
    // 4. Course and distance of the flown classes.
    const uint8_t c = leg->leg_class;
    if (c == 7 || c == 8 || c == 10 || c == 3 || c == 1) CourseAndDistance(leg, prev);
    // 5.-10.
    FinishByLegClass(leg, prev);
}

double TurnAnticipation(double course_a, double course_b) {
    const double delta = std::abs(AngleDiff(course_a, course_b));
    double d =
        TableLookup8(kTurnAnticipationTable, static_cast<float>(GroundSpeed)) * delta / 90.0 + 0.5;
    if (Altitude > 10000.0f) d *= 2.0;
    if (d < 0.1) d = 0.1;
    if (d > 13.0) d = 13.0;
    return d;
}

namespace {

// |a - b| over the shorter way round, exact in double (the sector bounds
// are inclusive on whole degrees, finer than the heading words resolve).
double AngleGap(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d < 0.0) d += 360.0;
    return d > 180.0 ? 360.0 - d : d;
}

}  // namespace

int32_t HoldEntryType(double inbound_course, double aircraft_course, int32_t turn_direction) {
    const double c = std::fmod(inbound_course + 180.0, 360.0);
    const double sign = turn_direction == 2 ? 1.0 : -1.0;
    if (AngleGap(aircraft_course, c - sign * 160.0) > 90.0) {
        if (AngleGap(aircraft_course, c - sign * 35.0) <= 35.0) return 2;
        if (AngleGap(aircraft_course, c + sign * 55.0) <= 55.0) return 3;
    }
    return 1;
}

namespace {

// Step 1: a change already asked for moves the holds on.
bool ChangePending() {
    if (FmsSequenceRequest == 0) return false;
    HoldRecompute = 1;
    return true;
}

// Step 2: within the turn anticipation of the fix. Not for a
// course-to-altitude leg; not yet, while more than a quarter mile out, for
// an end point placed by a climb, during a hold or on a direct-to leg.
bool TurnAnticipationRule(const LegRecord& to) {
    if (to.path_type == 1) return false;
    if (to.leg_distance_nm >= TurnAnticipation(to.magnetic_course, FmsNextLeg.magnetic_course))
        return false;
    return !(to.leg_distance_nm > 0.25 &&
             (to.altitude_end_computed != 0 || LateralTurnState > 0 || to.leg_class == 9));
}

// Step 3: the fix is behind when the bearing to it is more than 90 degrees
// off the leg's course, whatever the leg's path.
bool PassageRule(const LegRecord& to) {
    return NavSources[kNavFms1].bearing_valid != 0 &&
           std::abs(AngleDiff(to.magnetic_course, FmsBearingToWaypoint)) > 90.0;
}

// Step 4: a course-to-altitude leg ends at its altitude constraint.
void AltitudeRule(const LegRecord& to) {
    if (to.path_type != 1 || !AltitudeReached(to)) return;
    FmsSequenceRequest = 1;
    HoldRecompute = 1;
}

// Step 5: a change asked for moves the holds on; none is asked for while a
// hold or procedure turn is being flown.
void FinishRequest(bool requested) {
    if (requested) {
        FmsSequenceRequest = 1;
        HoldRecompute = 1;
    }
    if (LateralTurnState != 0) FmsSequenceRequest = 0;
}

}  // namespace

void FmsSteering() {
    if ((FrameChangeBits.load(std::memory_order_acquire) & 0x04) == 0) return;
    const LegRecord& to = FmsToLegCopy;
    if (ChangePending()) return;
    bool requested = TurnAnticipationRule(to);
    if (PassageRule(to)) requested = true;
    AltitudeRule(to);
    FinishRequest(requested);
}

double DistanceToWaypoint(int32_t index) {
    const double to = FmsToLeg.fixed_distance != 0 ? FmsToLeg.leg_distance_nm : 0.0;
    if (index == FmsToLegIndex) return to;
    if (index == FmsToLegIndex - 1) return -to;
    const int32_t n =
        static_cast<int32_t>(FmsLegCount < kLegListCapacity ? FmsLegCount : kLegListCapacity);
    if (index > FmsToLegIndex) {
        double sum = to;
        for (int32_t i = FmsNextLegIndex > 0 ? FmsNextLegIndex : 0; i <= index && i < n; ++i)
            if (FlightPlan.legs[i].fixed_distance != 0) sum += FlightPlan.legs[i].leg_distance_nm;
        return sum;
    }
    if (FmsToLegIndex <= 1) return 0.0;
    double sum = to - (FmsFromLeg.fixed_distance != 0 ? FmsFromLeg.leg_distance_nm : 0.0);
    for (int32_t i = FmsToLegIndex - 1; i >= index && i >= 0; --i)
        if (i < n && FlightPlan.legs[i].fixed_distance != 0)
            sum -= FlightPlan.legs[i].leg_distance_nm;
    return sum;
}

double TimeToWaypoint(int32_t index) {
    double v = static_cast<double>(TrueAirspeed) / 128.0;
    if (v < 120.0) v = 120.0;
    return DistanceToWaypoint(index) / v;
}

}  // namespace zu
