// The CDU pages: a display function and a key function each, called by the
// engine's dispatcher and key processing through CduPageTable.
#pragma once

#include <cstdint>

namespace zu {

// Flight-plan page state: where the next accepted waypoint goes, the leg
// an armed DEL applies to, and whether a leg is selected.
// The clock time the INIT page last showed (all ones: none yet).
extern uint32_t CduInitClockSeconds;
extern int32_t CduInsertPosition;
extern int32_t CduDeleteIndex;
extern uint8_t CduLegSelected;

// DEPARTURE and ARRIVAL: the chosen airport, runway, procedure (SID or
// STAR) with its transition and, on ARRIVAL, the approach with its
// transition; hyphens while unchosen. CduProcedureStep is the field whose
// selection list is shown (-1 none).
struct CduProcedureChoice {
    char airport[8];
    char runway[8];
    char procedure[16];
    char transition[16];
    char approach[16];
    char approach_transition[16];
};
extern CduProcedureChoice CduDepartureChoice;
extern CduProcedureChoice CduArrivalChoice;
extern int32_t CduProcedureStep;

// LIST page: the category shown (0 VOR, 1 airport, 2 NDB, 3 intersection,
// 4 airways), the category last searched (-1 none) and the idle ticks since.
extern int32_t CduListCategory;
extern int32_t CduListLastCategory;
extern int32_t CduListTicks;

int32_t CduNoKeys();

int32_t CduStatusDisplay();
int32_t CduStatusKeys();
int32_t CduInitDisplay();
int32_t CduInitKeys();
int32_t CduDataDisplay();
int32_t CduChoiceDisplay();
int32_t CduChoiceKeys();
int32_t CduInfoDisplay();
int32_t CduInfoKeys();
int32_t CduFlightPlanDisplay();
int32_t CduFlightPlanKeys();
int32_t CduFplMenuDisplay();
int32_t CduFplMenuKeys();
int32_t CduDepartureDisplay();
int32_t CduDepartureKeys();
int32_t CduArrivalDisplay();
int32_t CduArrivalKeys();
int32_t CduPerfDisplay();
int32_t CduListDisplay();
int32_t CduListKeys();

// A leg's course-and-distance line (on the line above the leg) and its
// identifier with annotation at column 3 of its own line.
struct LegRecord;
void CduLegLine(const LegRecord& l, int32_t line, int32_t colour);
void CduLegAnnotation(const LegRecord& l, int32_t line, int32_t colour);

// Writes the information block of one database record.
void CduWaypointInfo(int32_t record);
// Back to the page that asked (-1 = the NAV page).
void CduReturnToCaller();

}  // namespace zu
