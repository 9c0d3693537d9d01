// The flight plan: the active plan and the working leg lists, the edits
// (insert, delete, insert a range, departure and arrival procedures with
// their joins), the recomputation after an edit, and the FROM, TO and NEXT
// slots that lateral guidance flies.
//
// Insert positions are held within 0..count. Inserting into or deleting
// from the plan below the TO (or NEXT) leg moves its index with the leg.
#pragma once

#include <cstdint>

#include "fms/nav_database.h"

namespace zu {

// The active flight plan; FmsLegCount is its count.
extern LegList FlightPlan;
inline uint32_t& FmsLegCount = FlightPlan.count;
// Working lists: a departure is read into C and assembled in A; an arrival
// is read into A and assembled in B (arrival) and C (approach).
extern LegList WorkLegsA;
extern LegList WorkLegsB;
extern LegList WorkLegsC;

// List kind of a filled slot.
inline constexpr uint8_t kSlotFilled = 5;
extern LegRecord FmsFromLeg;
extern LegRecord FmsToLeg;
extern LegRecord FmsNextLeg;
extern int32_t FmsToLegIndex;    // -1 = none
extern int32_t FmsNextLegIndex;  // -1 = none
// Copy of the TO slot for the map and the lateral output.
extern LegRecord FmsToLegCopy;

// The discontinuity template ("*NO LINK*", "XX", leg id 9999).
extern const LegRecord DiscontinuityLeg;
inline constexpr uint32_t kDiscontinuityLegId = 9999;

extern uint8_t FmsSequenceRequest;
extern uint8_t FmsHoldSlots;
extern uint8_t FmsKeepNext;
extern int32_t FmsLastLegCount;  // 999 at start
// Identifiers of the FROM, TO and NEXT slots at the last active-leg update.
extern uint32_t FmsSlotIdsSeen[3];

inline bool SlotFilled(const LegRecord& slot) {
    return slot.list_kind == kSlotFilled;
}
void EmptyLegSlot(LegRecord* slot);

void InsertWaypointLeg(int32_t record_index, int32_t position, LegList* list);
void InsertLeg(int32_t position, LegList* list, const LegRecord& leg);
void DeleteLeg(int32_t index, LegList* list);
void InsertLegRange(const LegList& source, LegList* target, int32_t first, int32_t last,
                    int32_t position);
void InsertDeparture(LegList* list, char* airport, char* procedure, char* runway, char* transition);
void InsertArrival(LegList* list, char* airport, char* arrival, char* arrival_transition,
                   char* approach, char* approach_transition);
void RecomputeFlightPlan(LegList* list);
void SequenceLegs();
void UpdateActiveLeg();
void BuildPposLegs();

}  // namespace zu
