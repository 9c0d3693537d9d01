// The flight plan and its slots (see flight_plan.h).
#include "fms/flight_plan.h"

#include <cmath>
#include <cstring>

#include "core/flight_guidance.h"
#include "core/host_panel_services.h"
#include "core/systems_tick.h"
#include "displays/ehsi_map.h"
#include "fms/cdu_engine.h"
#include "fms/fms_lifecycle.h"
#include "fms/leg_geometry.h"

namespace zu {

LegList FlightPlan = {};
LegList WorkLegsA = {};
LegList WorkLegsB = {};
LegList WorkLegsC = {};
LegRecord FmsFromLeg = {};
LegRecord FmsToLeg = {};
LegRecord FmsNextLeg = {};
int32_t FmsToLegIndex = -1;
int32_t FmsNextLegIndex = -1;
LegRecord FmsToLegCopy = {};
uint8_t FmsSequenceRequest = 0;
uint8_t FmsHoldSlots = 0;
uint8_t FmsKeepNext = 0;
int32_t FmsLastLegCount = 999;
uint32_t FmsSlotIdsSeen[3] = {0, 0, 0};

namespace {

constexpr LegRecord MakeDiscontinuityLeg() {
    LegRecord l{};
    SetFieldText(l.ident, "*NO LINK*");
    SetFieldText(l.path_terminator, "XX");
    l.route_type = '4';
    SetFieldText(l.procedure, "N/L");
    SetFieldText(l.navaid_ident, "NOLNK");
    SetFieldText(l.label, "NOLNK");
    l.leg_id = kDiscontinuityLegId;
    return l;
}

// Two fixes join when the plain sum of their coordinate differences is
// below 0.2 degrees.
bool FixesJoin(const LegRecord& a, const LegRecord& b) {
    return std::abs(a.fix_latitude - b.fix_latitude) + std::abs(a.fix_longitude - b.fix_longitude) <
           0.2;
}

bool HasAirportText(const LegRecord& l) {
    return l.airport[0] != '\0';
}

int32_t Count(const LegList& l) {
    return static_cast<int32_t>(l.count < kLegListCapacity ? l.count : kLegListCapacity);
}

int32_t ClampPosition(int32_t position, const LegList& list) {
    if (position < 0) return 0;
    if (position > Count(list)) return Count(list);
    return position;
}

void LoadSlot(LegRecord* slot, const LegRecord& leg) {
    *slot = leg;
    slot->list_kind = kSlotFilled;
}

void AppendDiscontinuity(LegList* list, uint8_t kind) {
    LegRecord d = DiscontinuityLeg;
    d.list_kind = kind;
    InsertLeg(Count(*list), list, d);
}

void AppendAll(const LegList& source, LegList* target) {
    InsertLegRange(source, target, 0, Count(source) - 1, Count(*target));
}

// The plan's indices follow an edit of the plan below them.
void ShiftIndicesForInsert(const LegList* list, int32_t position) {
    if (list != &FlightPlan) return;
    if (FmsToLegIndex >= 0 && position <= FmsToLegIndex) ++FmsToLegIndex;
    if (FmsNextLegIndex >= 0 && position <= FmsNextLegIndex) ++FmsNextLegIndex;
}

void ShiftIndicesForDelete(const LegList* list, int32_t index) {
    if (list != &FlightPlan) return;
    if (index < FmsToLegIndex) --FmsToLegIndex;
    if (index < FmsNextLegIndex) --FmsNextLegIndex;
}

void RemoveLegsOfKind(LegList* list, uint8_t kind_a, uint8_t kind_b) {
    for (int32_t i = Count(*list) - 1; i >= 0; --i) {
        const uint8_t k = list->legs[i].list_kind;
        if (k == kind_a || k == kind_b) DeleteLeg(i, list);
    }
}

// Airport look-up in the database: the index of the first 'A' record with
// the identifier, or -1.
int32_t FindAirport(const char* airport) {
    if (airport == nullptr || airport[0] == '\0') return -1;
    SearchWaypoints(airport, 'A', 0.0, 0.0);
    return WaypointSearchResults.count > 0 ? WaypointSearchResults.index[0] : -1;
}

void EmptyDash(char* text) {
    if (text != nullptr && text[0] == '-') text[0] = '\0';
}

void ResetSlotsAndSequence() {
    if (FmsKeepNext != 0) return;
    EmptyLegSlot(&FmsFromLeg);
    EmptyLegSlot(&FmsToLeg);
    EmptyLegSlot(&FmsNextLeg);
    SequenceLegs();
}

// The joins of an assembled arrival (B) and approach (C) with the plan.
struct ArrivalJoins {
    bool arrival_head = false;
    bool arrival_tail = false;
    bool approach_head = false;
    bool approach_tail = false;
    bool drop_arrival_first = false;
    bool drop_arrival_last = false;
    bool drop_approach_first = false;
};

ArrivalJoins DecideArrivalJoins(const LegList& plan, const LegList& arr, const LegList& app) {
    ArrivalJoins j;
    const int32_t n = Count(plan);
    const bool has_arr = Count(arr) > 0;
    const bool has_app = Count(app) > 0;
    const LegRecord* dest = n > 0 ? &plan.legs[n - 1] : nullptr;
    const LegRecord* before_dest = n > 1 ? &plan.legs[n - 2] : nullptr;
    if (has_arr && n > 1) {
        if (FixesJoin(arr.legs[0], *before_dest)) {
            j.drop_arrival_first = true;
        } else if (before_dest->leg_class != 0) {
            j.arrival_head = true;
        }
    }
    if (has_arr) {
        const LegRecord& last = arr.legs[Count(arr) - 1];
        if (has_app ? FixesJoin(last, app.legs[0]) : (dest != nullptr && FixesJoin(last, *dest))) {
            j.drop_arrival_last = true;
        } else if (has_app || dest == nullptr || dest->leg_class != 0) {
            j.arrival_tail = true;
        }
    }
    if (has_app) {
        if (has_arr) {
            // The arrival's last fix and the approach's first fix are one
            // point: the arrival already gave it up, the approach keeps it.
            if (!j.drop_arrival_last) j.approach_head = true;
        } else if (before_dest != nullptr && FixesJoin(app.legs[0], *before_dest)) {
            j.drop_approach_first = true;
        } else if (before_dest == nullptr || before_dest->leg_class != 0) {
            j.approach_head = true;
        }
        j.approach_tail = true;
    }
    if (j.arrival_tail && j.approach_head) j.approach_head = false;
    return j;
}

void ApplyArrivalJoins(const ArrivalJoins& j) {
    if (j.drop_arrival_last) DeleteLeg(Count(WorkLegsB) - 1, &WorkLegsB);
    if (j.drop_arrival_first) DeleteLeg(0, &WorkLegsB);
    if (j.drop_approach_first) DeleteLeg(0, &WorkLegsC);
    LegRecord d = DiscontinuityLeg;
    if (j.arrival_head) {
        d.list_kind = 1;
        InsertLeg(0, &WorkLegsB, d);
    }
    if (j.arrival_tail) AppendDiscontinuity(&WorkLegsB, 1);
    if (j.approach_head) {
        d.list_kind = 3;
        InsertLeg(0, &WorkLegsC, d);
    }
    if (j.approach_tail) AppendDiscontinuity(&WorkLegsC, 3);
}

}  // namespace

constinit const LegRecord DiscontinuityLeg = MakeDiscontinuityLeg();

void EmptyLegSlot(LegRecord* slot) {
    slot->list_kind = 0;
}

void InsertLeg(int32_t position, LegList* list, const LegRecord& leg) {
    // 1.-2. Room permitting, the legs from the position up move by one.
    if (Count(*list) < static_cast<int32_t>(kLegListCapacity)) {
        const int32_t p = ClampPosition(position, *list);
        const int32_t n = Count(*list);
        std::memmove(&list->legs[p + 1], &list->legs[p], sizeof(LegRecord) * (n - p));
        list->legs[p] = leg;
        list->legs[p].leg_id = NewLegId();
        list->count = n + 1;
        ShiftIndicesForInsert(list, p);
    }
    // 3. Recomputed in any case.
    RecomputeFlightPlan(list);
}

void InsertWaypointLeg(int32_t record_index, int32_t position, LegList* list) {
    if (WaypointDatabase == nullptr || record_index < 0 || record_index >= WaypointDatabaseCount) {
        RecomputeFlightPlan(list);
        return;
    }
    const WaypointRecord& r = WaypointDatabase[record_index];
    LegRecord leg{};
    WaypointToLeg(r, &leg);
    leg.end_latitude = r.latitude;
    leg.end_longitude = r.longitude;
    InsertLeg(position, list, leg);
}

void DeleteLeg(int32_t index, LegList* list) {
    const int32_t n = Count(*list);
    if (index >= 0 && index < n) {
        std::memmove(&list->legs[index], &list->legs[index + 1],
                     sizeof(LegRecord) * (n - index - 1));
        list->count = n - 1;
        ShiftIndicesForDelete(list, index);
    }
    RecomputeFlightPlan(list);
}

void InsertLegRange(const LegList& source, LegList* target, int32_t first, int32_t last,
                    int32_t position) {
    for (int32_t i = last; i >= first; --i) {
        if (i < 0 || i >= Count(source)) continue;
        InsertLeg(position, target, source.legs[i]);
    }
}

void InsertDeparture(LegList* list, char* airport, char* procedure, char* runway,
                     char* transition) {
    // 1. Empty '-' texts.
    EmptyDash(airport);
    EmptyDash(procedure);
    EmptyDash(runway);
    EmptyDash(transition);
    // 2. The earlier departure goes.
    RemoveLegsOfKind(list, 2, 2);
    // 3. So does the origin airport.
    if (Count(*list) > 0 && HasAirportText(list->legs[0])) DeleteLeg(0, list);
    // 4. The origin airport as leg 0.
    const int32_t origin = FindAirport(airport);
    if (origin >= 0) InsertWaypointLeg(origin, 0, list);
    // 5. Runway transition, then common route and enroute transition. A
    // named transition is read apart from the common route: the common
    // route's legs carry no transition name, so one read matching the name
    // would leave them out.
    WorkLegsA.count = 0;
    if (transition[0] == '\0') {
        ReadProcedureLegs(&WorkLegsC, airport, procedure, transition, 2, 6);
        InsertLegRange(WorkLegsC, &WorkLegsA, 0, Count(WorkLegsC) - 1, 0);
    } else {
        char common[1] = "";
        ReadProcedureLegs(&WorkLegsC, airport, procedure, transition, 2, 4);
        InsertLegRange(WorkLegsC, &WorkLegsA, 0, Count(WorkLegsC) - 1, 0);
        ReadProcedureLegs(&WorkLegsC, airport, procedure, common, 2, 2);
        InsertLegRange(WorkLegsC, &WorkLegsA, 0, Count(WorkLegsC) - 1, 0);
    }
    ReadProcedureLegs(&WorkLegsC, airport, procedure, runway, 2, 1);
    InsertLegRange(WorkLegsC, &WorkLegsA, 0, Count(WorkLegsC) - 1, 0);
    // 6. Join to the plan's first waypoint, or a discontinuity.
    if (Count(WorkLegsA) > 0) {
        if (Count(*list) > 1 && FixesJoin(WorkLegsA.legs[Count(WorkLegsA) - 1], list->legs[1])) {
            DeleteLeg(Count(WorkLegsA) - 1, &WorkLegsA);
        } else {
            AppendDiscontinuity(&WorkLegsA, 2);
        }
        InsertLegRange(WorkLegsA, list, 0, Count(WorkLegsA) - 1, 1);
    }
    // 7. New slots.
    ResetSlotsAndSequence();
}

void InsertArrival(LegList* list, char* airport, char* arrival, char* arrival_transition,
                   char* approach, char* approach_transition) {
    // 1. Empty '-' texts.
    EmptyDash(airport);
    EmptyDash(arrival);
    EmptyDash(arrival_transition);
    EmptyDash(approach);
    EmptyDash(approach_transition);
    // 2. The earlier arrival, approach and destination go.
    RemoveLegsOfKind(list, 1, 3);
    if (Count(*list) > 1 && HasAirportText(list->legs[Count(*list) - 1]))
        DeleteLeg(Count(*list) - 1, list);
    // 3. The destination as the last leg.
    const int32_t dest = FindAirport(airport);
    if (dest >= 0) InsertWaypointLeg(dest, Count(*list), list);
    // 4.-6. The arrival in B, the approach in C.
    WorkLegsB.count = 0;
    WorkLegsC.count = 0;
    char no_transition[1] = {'\0'};
    if (arrival != nullptr && arrival[0] != '\0') {
        ReadProcedureLegs(&WorkLegsA, airport, arrival, arrival_transition, 1, 4);
        AppendAll(WorkLegsA, &WorkLegsB);
        ReadProcedureLegs(&WorkLegsA, airport, arrival, no_transition, 1, 2);
        AppendAll(WorkLegsA, &WorkLegsB);
        ReadProcedureLegs(&WorkLegsA, airport, arrival, approach_transition, 1, 1);
        AppendAll(WorkLegsA, &WorkLegsB);
    }
    if (approach != nullptr && approach[0] != '\0') {
        ReadProcedureLegs(&WorkLegsA, airport, approach, approach_transition, 3, 1);
        AppendAll(WorkLegsA, &WorkLegsC);
        no_transition[0] = '\0';
        ReadProcedureLegs(&WorkLegsA, airport, approach, no_transition, 3, 2);
        AppendAll(WorkLegsA, &WorkLegsC);
    }
    // 7. Joins and discontinuities.
    ApplyArrivalJoins(DecideArrivalJoins(*list, WorkLegsB, WorkLegsC));
    // 8. Before the destination.
    InsertLegRange(WorkLegsB, list, 0, Count(WorkLegsB) - 1, Count(*list) - 1);
    InsertLegRange(WorkLegsC, list, 0, Count(WorkLegsC) - 1, Count(*list) - 1);
    // 9. New slots.
    ResetSlotsAndSequence();
}

void RecomputeFlightPlan(LegList* list) {
    // 1. The legs after the NEXT leg, or all of them.
    int32_t start = 0;
    if (SlotFilled(FmsNextLeg) && FmsNextLegIndex >= 0) start = FmsNextLegIndex + 1;
    for (int32_t i = start; i < Count(*list); ++i) {
        if (i == 0) {
            ComputeLegGeometry(&list->legs[0], 0.0, 0.0);
        } else {
            const LegRecord& prev = list->legs[i - 1];
            ComputeLegGeometry(&list->legs[i], prev.end_latitude, prev.end_longitude);
        }
    }
    // 2. The slots.
    BuildPposLegs();
    // 3. The TO slot back into the plan.
    const int32_t n = Count(FlightPlan);
    if (SlotFilled(FmsNextLeg) && FmsNextLeg.leg_class != 0 && FmsNextLegIndex >= 0 &&
        FmsNextLegIndex < n && FlightPlan.legs[FmsNextLegIndex].leg_class != 0 &&
        FmsToLegIndex >= 0 && FmsToLegIndex < n &&
        FlightPlan.legs[FmsToLegIndex].leg_id == FmsToLeg.leg_id &&
        FlightPlan.legs[FmsToLegIndex].leg_class != 0 && FmsToLeg.leg_class != 0) {
        // The plan leg keeps its own kind (departure, arrival, ...): the
        // slot's kind only marks the slot as filled, and a leg taking it
        // would no longer go when its procedure is replaced.
        const uint8_t kind = FlightPlan.legs[FmsToLegIndex].list_kind;
        FlightPlan.legs[FmsToLegIndex] = FmsToLeg;
        FlightPlan.legs[FmsToLegIndex].list_kind = kind;
    }
    // 4. The TO slot's variations: the host's.
    FmsToLeg.navaid_variation = NavHeading;
    FmsToLeg.fix_variation = NavHeading;
}

void SequenceLegs() {
    const int32_t n = Count(FlightPlan);
    // 1. Slot states.
    if (FieldText(FmsNextLeg.path_terminator) == "XX") FmsHoldSlots = 1;
    if (!SlotFilled(FmsFromLeg)) FmsFromLeg = LegRecord{};
    if (!SlotFilled(FmsToLeg)) FmsToLeg = LegRecord{};
    if (!SlotFilled(FmsNextLeg)) FmsKeepNext = 0;
    // 2. The plan changed size: TO and FROM again from the TO index.
    if (n != FmsLastLegCount) {
        if (FmsHoldSlots == 0 && FmsToLegIndex > 0 && FmsToLegIndex < n) {
            LoadSlot(&FmsToLeg, FlightPlan.legs[FmsToLegIndex]);
            LoadSlot(&FmsFromLeg, FlightPlan.legs[FmsToLegIndex - 1]);
            if (FmsKeepNext == 0) EmptyLegSlot(&FmsNextLeg);
        }
        FmsLastLegCount = n;
    }
    // 3. Start on legs 0 and 1; a plan of fewer than two legs has no slots.
    if (FmsHoldSlots == 0) {
        if (n >= 2 && FlightPlan.legs[1].leg_class != 0 &&
            (!SlotFilled(FmsFromLeg) || !SlotFilled(FmsToLeg))) {
            LoadSlot(&FmsToLeg, FlightPlan.legs[1]);
            LoadSlot(&FmsFromLeg, FlightPlan.legs[0]);
            EmptyLegSlot(&FmsNextLeg);
        } else if (n < 2) {
            EmptyLegSlot(&FmsFromLeg);
            EmptyLegSlot(&FmsToLeg);
            EmptyLegSlot(&FmsNextLeg);
        }
    }
    // 4. The leg change.
    if (FmsSequenceRequest != 0 && SlotFilled(FmsNextLeg) && FmsNextLeg.leg_class != 0) {
        FmsFromLeg = FmsToLeg;
        FmsToLeg = FmsNextLeg;
        EmptyLegSlot(&FmsNextLeg);
        FmsHoldSlots = 0;
    }
    // 5. Where the slots stand in the plan.
    FmsToLegIndex = -1;
    FmsNextLegIndex = -1;
    for (int32_t i = 0; i < n; ++i) {
        const LegRecord& l = FlightPlan.legs[i];
        if (SlotFilled(FmsToLeg) && l.leg_id == FmsToLeg.leg_id) FmsToLegIndex = i;
        if (SlotFilled(FmsNextLeg) && FmsNextLeg.leg_class != 0 && l.leg_id == FmsNextLeg.leg_id)
            FmsNextLegIndex = i;
    }
    // 6. A NEXT leg from the plan: the leg after the TO leg, or the plan's
    //    first leg when the TO leg is not in the plan (index -1).
    if (FmsNextLegIndex < 0) {
        FmsKeepNext = 0;
        if (SlotFilled(FmsToLeg) && FmsToLegIndex + 1 < n) {
            LoadSlot(&FmsNextLeg, FlightPlan.legs[FmsToLegIndex + 1]);
            FmsNextLegIndex = FmsToLegIndex + 1;
        } else {
            EmptyLegSlot(&FmsNextLeg);
        }
    }
    // 7. The map, the turn state and the guidance start again.
    EhsiMapPhase[0] = 0;
    EhsiMapPhase[1] = 0;
    LateralTurnState = 0;
    FgcFmsLegParam1 = 0;
    FgcFmsLegParam2 = 0;
    FmsSequenceRequest = 0;
}

void UpdateActiveLeg() {
    // 1. Rebuild the slots on a plan change or a leg change.
    if (static_cast<int32_t>(Count(FlightPlan)) != FmsLastLegCount || FmsSequenceRequest != 0)
        SequenceLegs();
    // 2. Nothing new: only a PPOS leg every 8th tick and every leg every
    //    32nd tick are refreshed.
    const uint32_t bits = FrameChangeBits.load(std::memory_order_acquire);
    const uint32_t ids[3] = {FmsFromLeg.leg_id, FmsToLeg.leg_id, FmsNextLeg.leg_id};
    if (ids[0] == FmsSlotIdsSeen[0] && ids[1] == FmsSlotIdsSeen[1] && ids[2] == FmsSlotIdsSeen[2] &&
        !(FmsToLeg.leg_class == 9 && (bits & 0x08) != 0) && (bits & 0x20) == 0)
        return;
    // 3. Remember them; the TO slot's copy for the map and the output.
    for (int i = 0; i < 3; ++i) FmsSlotIdsSeen[i] = ids[i];
    if (!SlotFilled(FmsToLeg)) {
        FmsToLegCopy = LegRecord{};
        return;
    }
    std::memset(&FmsToLegCopy, 0, 4);
    BuildPposLegs();
    FmsToLegCopy = FmsToLeg;
}

void BuildPposLegs() {
    // 1. A PPOS leg starts at the aircraft.
    if (FmsToLeg.leg_class == 9) {
        FmsFromLeg = FmsToLeg;
        FmsFromLeg.end_latitude = FmsPosition.latitude;
        FmsFromLeg.end_longitude = FmsPosition.longitude;
        FmsFromLeg.fix_variation = NavHeading;
        SetFieldText(FmsFromLeg.label, "PPOS");
        // Shown as the present position, not as the waypoint it copies.
        SetFieldText(FmsFromLeg.ident, "(PPOS)");
        FmsFromLeg.leg_class = 5;
    }
    // 2. The TO slot from the FROM slot's end or from the aircraft.
    if (SlotFilled(FmsToLeg)) {
        if (FieldText(FmsFromLeg.label) == "PVOR") {
            ComputeLegGeometry(&FmsToLeg, FmsFromLeg.end_latitude, FmsFromLeg.end_longitude);
            FmsToLeg.magnetic_course = CduPvorCourse;
        } else {
            const uint8_t c = FmsToLeg.leg_class;
            if (c == 6 || c == 7 || c == 8 || c == 9) {
                ComputeLegGeometry(&FmsToLeg, FmsFromLeg.end_latitude, FmsFromLeg.end_longitude);
            } else {
                ComputeLegGeometry(&FmsToLeg, FmsPosition.latitude, FmsPosition.longitude);
            }
        }
    }
    // 3. The NEXT slot from the TO slot's end.
    if (SlotFilled(FmsNextLeg))
        ComputeLegGeometry(&FmsNextLeg, FmsToLeg.end_latitude, FmsToLeg.end_longitude);
    // 4. No TO without FROM, no NEXT without TO.
    if (SlotFilled(FmsFromLeg) && !SlotFilled(FmsToLeg)) EmptyLegSlot(&FmsNextLeg);
    if (!SlotFilled(FmsFromLeg)) {
        EmptyLegSlot(&FmsToLeg);
        EmptyLegSlot(&FmsNextLeg);
    }
}

}  // namespace zu
