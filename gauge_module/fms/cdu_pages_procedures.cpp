// The CDU's FPL MENU, DEPARTURE and ARRIVAL pages: the pilot chooses an
// airport, a runway, a procedure and its transitions from numbered lists
// (eight to a sub-page) and the flight plan takes the procedure in.
#include <cmath>
#include <cstring>
#include <string_view>

#include "fms/cdu_engine.h"
#include "fms/cdu_pages.h"
#include "fms/flight_plan.h"
#include "fms/nav_database.h"

namespace zu {

CduProcedureChoice CduDepartureChoice = {"----", "---", "------", "-----", "", ""};
CduProcedureChoice CduArrivalChoice = {"----", "---", "------", "-----", "-------", "-----"};
int32_t CduProcedureStep = -1;

namespace {

enum : int32_t { kGreen = 0, kYellow = 2, kWhite = 4 };
enum : int32_t { kBold = 0, kLight = 1 };
inline constexpr int32_t kListLines = 8;

// Fields of both pages.
enum : int32_t {
    kFieldAirport = 6,
    kFieldRunway = 7,
    kFieldProcedure = 8,       // SID, STAR
    kFieldDepartureTrans = 9,  // DEPARTURE: the SID's transition
    kFieldApproach = 9,        // ARRIVAL: the approach
    kFieldStarTrans = 11,
    kFieldApproachTrans = 12,
};

// Procedure kinds of the terminal-procedure file.
enum : int32_t { kKindArrival = 1, kKindDeparture = 2, kKindApproach = 3 };
// Route-type masks: enroute transitions of departures and arrivals, and the
// approach transitions.
inline constexpr int32_t kMaskAll = 0;
inline constexpr int32_t kMaskEnrouteTransitions = 4;
inline constexpr int32_t kMaskApproachTransitions = 1;

bool Chosen(const char* text) {
    return text[0] != '\0' && text[0] != '-';
}

template <size_t N>
void SetText(char (&field)[N], std::string_view text) {
    SetFieldText(field, text);
}

// A working copy of a chosen text: the database queries empty a '-' text
// in place, and the page keeps showing its hyphens.
struct Copy {
    char text[16];
    explicit Copy(const char* from) {
        SetFieldText(text, std::string_view(from, strnlen(from, 15)));
    }
};

// The list a field chooses from, read afresh; its length.
int32_t ReadList(const CduProcedureChoice& c, int32_t kind, int32_t field) {
    Copy airport(c.airport);
    if (field == kFieldRunway) {
        ReadRunways(airport.text);
        return RunwayList.count;
    }
    Copy none("");
    Copy procedure(kind == kKindApproach ? c.approach : c.procedure);
    const bool transitions = field == kFieldDepartureTrans && kind == kKindDeparture;
    if (field == kFieldProcedure || (field == kFieldApproach && kind == kKindApproach)) {
        ReadTerminalProcedures(airport.text, none.text, none.text, kind, kMaskAll);
    } else if (transitions || field == kFieldStarTrans) {
        ReadTerminalProcedures(airport.text, procedure.text, none.text, kind,
                               kMaskEnrouteTransitions);
    } else if (field == kFieldApproachTrans) {
        ReadTerminalProcedures(airport.text, procedure.text, none.text, kKindApproach,
                               kMaskApproachTransitions);
    } else {
        return 0;
    }
    return ProcedureNameList.count;
}

// The text of list line n (1-based) of a field's list, or null.
const char* ListText(int32_t field, int32_t n, int32_t count) {
    if (n < 1 || n > count) return nullptr;
    static char text[16];
    if (field == kFieldRunway) {
        SetFieldText(text, FieldText(RunwayList.runways[n - 1].designator));
    } else {
        SetFieldText(text, FieldText(ProcedureNameList.entries[n - 1].name));
    }
    return text;
}

// The selection list of the current step on lines 2..9.
void ListDraw(const char* title, int32_t field) {
    const int32_t count = field == kFieldRunway ? RunwayList.count : ProcedureNameList.count;
    CduSubPageCount = (count - 1) / kListLines + 1;
    CduWriteText(title, 0, 1, kYellow, kLight);
    const int32_t first = CduSubPage * kListLines;
    for (int32_t i = first; i < first + kListLines && i < count; ++i) {
        const int32_t line = 2 + (i - first);
        CduWriteText(CduFormat("%2d", i + 1), 0, line, kGreen, kLight);
        const char* text = ListText(field, i + 1, count);
        if (text != nullptr) CduWriteText(text, 3, line, kGreen, kLight);
    }
}

void SubPageTitle(const char* title) {
    CduWriteText(title, 5, 0, kGreen, kBold);
    CduWriteText(CduFormat("%2d", CduSubPage + 1), 15, 0, kGreen, kBold);
    CduWriteText("/", 17, 0, kGreen, kBold);
    CduWriteText(CduFormat("%2d", CduSubPageCount), 18, 0, kGreen, kBold);
}

// A value written so that it ends in the last column.
void WriteRight(const char* text, int32_t line) {
    const int32_t n = static_cast<int32_t>(strnlen(text, kCduColumns));
    CduWriteText(text, kCduColumns - n, line, kGreen, kBold);
}

// Entered from another page (a sub-page change keeps the fields and the
// active list).
bool EnteredFromElsewhere() {
    return CduPageEntered != 0 && CduLastPage != CduPage;
}

// A new airport forgets the choices made for the old one.
void ChooseAirport(CduProcedureChoice& c, std::string_view airport, bool arrival) {
    if (FieldText(c.airport) == airport) return;
    const CduProcedureChoice unchosen =
        arrival ? CduProcedureChoice{"----", "---", "------", "-----", "-------", "-----"}
                : CduProcedureChoice{"----", "---", "------", "-----", "", ""};
    c = unchosen;
    SetText(c.airport, airport);
}

// Airport field: the identifier goes to the choice page; the accepted
// candidate's airport code becomes the airport.
void AirportKeys(CduProcedureChoice& c, bool arrival) {
    if (CduEvent == kCduEventEntry && CduEntryField == kFieldAirport && CduEntryText[0] != '\0') {
        LookupWaypoint(CduEntryText, 'A', 0.0, 0.0);
    }
    if (CduEvent == kCduEventChosen && WaypointDatabase != nullptr && CduChosenWaypoint >= 0 &&
        CduChosenWaypoint < WaypointDatabaseCount) {
        ChooseAirport(c, FieldText(WaypointDatabase[CduChosenWaypoint].region), arrival);
        CduRedraw = 1;
    }
}

// Shows the list of the selected field (none for other fields), or hides it
// when the field is deselected.
void SelectionKeys(const CduProcedureChoice& c, int32_t kind) {
    if (CduEvent == kCduEventSelected) {
        const int32_t field = CduActiveField;
        const bool listed = field == kFieldRunway || field == kFieldProcedure || field == 9 ||
                            field == kFieldStarTrans || field == kFieldApproachTrans;
        CduProcedureStep = -1;
        if (listed && Chosen(c.airport)) {
            const int32_t count = ReadList(c, kind, field);
            // A transition list is shown only when there are transitions.
            if (count > 0 || field == kFieldRunway || field == kFieldProcedure) {
                CduProcedureStep = field;
            }
        }
        CduRedraw = 1;
    }
    if (CduEvent == kCduEventLineSelect && CduActiveField == 0 && CduKey >= 6 && CduKey <= 9) {
        CduProcedureStep = -1;
        CduSubPage = 0;
        CduRedraw = 1;
    }
    if (CduEvent == kCduEventLineSelect && CduKey == 10) CduPage = kCduPageFlightPlan;
}

// A number completed in a list field: its line's text, or nothing when the
// number is outside the list. The list is hidden either way.
const char* PickedText(const CduProcedureChoice& c, int32_t kind, int32_t field) {
    CduProcedureStep = -1;
    CduSubPage = 0;
    CduRedraw = 1;
    const int32_t count = ReadList(c, kind, field);
    const float v = CduEntryValue;
    if (!(v >= 1.0f && v <= static_cast<float>(count))) return nullptr;
    return ListText(field, static_cast<int32_t>(std::lround(v)), count);
}

bool DatabaseReady() {
    return WaypointDatabase != nullptr;
}

}  // namespace

// FPL MENU: DEPARTURE, ARRIVAL, and back.
int32_t CduFplMenuDisplay() {
    CduSubPageCount = 2;
    CduClearScreen();
    if (CduPageEntered != 0) CduClearFields();
    CduWriteText("FPL MENU", 6, 0, kGreen, kBold);
    CduWriteText(CduFormat("%2d", CduSubPage + 1), 15, 0, kGreen, kBold);
    CduWriteText("/", 17, 0, kGreen, kBold);
    CduWriteText(CduFormat("%2d", CduSubPageCount), 18, 0, kGreen, kBold);
    CduWriteText("qDEPART", 0, 8, kWhite, kBold);
    CduWriteText("ARRIVEw", 17, 8, kWhite, kBold);
    CduWriteText("RETURNw", 17, 10, kWhite, kBold);
    return 0;
}

int32_t CduFplMenuKeys() {
    if (CduEvent != kCduEventLineSelect) return 0;
    if (CduKey == 4) CduPage = kCduPageDeparture;
    if (CduKey == 9) CduPage = kCduPageArrival;
    if (CduKey == 10) CduReturnToCaller();
    return 0;
}

// DEPARTURE: airport, runway, SID and its transition.
int32_t CduDepartureDisplay() {
    CduProcedureChoice& d = CduDepartureChoice;
    if (EnteredFromElsewhere()) {
        CduProcedureStep = -1;
        CduClearFields();
        CduDefineField(kFieldAirport, kCduFieldText, 20, 2, 4, -1);
        CduDefineField(kFieldRunway, kCduFieldDigits, 22, 4, 2, -1);
        CduDefineField(kFieldProcedure, kCduFieldDigits, 18, 6, 2, -1);
        CduDefineField(kFieldDepartureTrans, kCduFieldDigits, 22, 6, 2, -1);
        const bool fromChoice = CduLastPage == kCduPageWaypointSelect;
        if (!fromChoice && FlightPlan.count > 0 &&
            FieldText(FlightPlan.legs[0].airport).size() == 4) {
            ChooseAirport(d, FieldText(FlightPlan.legs[0].airport), false);
            CduSelectField(kFieldRunway);
        }
    }
    CduClearScreen();
    CduSubPageCount = 1;
    if (CduProcedureStep == kFieldRunway) ListDraw("SEL RUNWAY", kFieldRunway);
    if (CduProcedureStep == kFieldProcedure) ListDraw("SEL SID", kFieldProcedure);
    if (CduProcedureStep == kFieldDepartureTrans) ListDraw("SEL TRANSITION", kFieldDepartureTrans);
    SubPageTitle("DEPARTURE");
    CduWriteText("DEPART", 18, 1, kYellow, kLight);
    CduWriteText("RUNWAY", 18, 3, kYellow, kLight);
    CduWriteText("SID", 21, 5, kYellow, kLight);
    CduWriteText("FPLw", 19, 10, kYellow, kLight);
    CduWriteText(d.airport, 20, 2, kGreen, kBold);
    CduWriteText(d.runway, 21, 4, kGreen, kBold);
    CduFormat("%s.%s", d.procedure, d.transition);
    WriteRight(CduFormatBuffer, 6);
    return 0;
}

namespace {

void InsertChosenDeparture() {
    CduProcedureChoice& d = CduDepartureChoice;
    if (!DatabaseReady() || !Chosen(d.airport) || !Chosen(d.procedure)) return;
    Copy airport(d.airport);
    Copy procedure(d.procedure);
    Copy transition(d.transition);
    // Runway transitions are named after their runway: "RW" and the number.
    Copy runway("-");
    if (Chosen(d.runway)) SetText(runway.text, CduFormat("RW%s", d.runway));
    InsertDeparture(&FlightPlan, airport.text, procedure.text, runway.text, transition.text);
    CduRedraw = 1;
}

}  // namespace

int32_t CduDepartureKeys() {
    CduProcedureChoice& d = CduDepartureChoice;
    AirportKeys(d, false);
    if (CduEvent == kCduEventEntry) {
        const int32_t field = CduEntryField;
        if (field == kFieldRunway || field == kFieldProcedure || field == kFieldDepartureTrans) {
            const char* text = PickedText(d, kKindDeparture, field);
            if (text != nullptr && field == kFieldRunway) SetText(d.runway, text);
            if (text != nullptr && field == kFieldProcedure) {
                SetText(d.procedure, text);
                SetText(d.transition, "-----");
            }
            if (text != nullptr && field == kFieldDepartureTrans) {
                SetText(d.transition, text);
                InsertChosenDeparture();
            }
        }
    }
    // ENTER on the transition field of a SID without transitions.
    if (CduEvent == kCduEventKey && CduKey == kCduKeyEnter &&
        CduActiveField == kFieldDepartureTrans && CduEditModified == 0 &&
        ReadList(d, kKindDeparture, kFieldDepartureTrans) == 0) {
        SetText(d.transition, "-----");
        CduActiveField = 0;
        InsertChosenDeparture();
    }
    SelectionKeys(d, kKindDeparture);
    return 0;
}

// ARRIVAL: airport, runway, STAR and its transition, approach and its
// transition.
int32_t CduArrivalDisplay() {
    CduProcedureChoice& a = CduArrivalChoice;
    if (EnteredFromElsewhere()) {
        CduProcedureStep = -1;
        CduClearFields();
        CduDefineField(kFieldAirport, kCduFieldText, 20, 2, 4, -1);
        CduDefineField(kFieldRunway, kCduFieldDigits, 22, 4, 2, -1);
        CduDefineField(kFieldProcedure, kCduFieldDigits, 22, 6, 2, -1);
        CduDefineField(kFieldApproach, kCduFieldDigits, 22, 8, 2, -1);
        CduDefineField(kFieldStarTrans, kCduFieldDigits, 15, 6, 2, -1);
        CduDefineField(kFieldApproachTrans, kCduFieldDigits, 14, 8, 2, -1);
        const bool fromChoice = CduLastPage == kCduPageWaypointSelect;
        if (!fromChoice && FlightPlan.count > 0) {
            const std::string_view destination =
                FieldText(FlightPlan.legs[FlightPlan.count - 1].airport);
            if (!destination.empty()) {
                ChooseAirport(a, destination, true);
                CduSelectField(kFieldRunway);
            }
        }
    }
    CduClearScreen();
    CduSubPageCount = 1;
    switch (CduProcedureStep) {
        case kFieldRunway:
            ListDraw("SEL RUNWAY", kFieldRunway);
            break;
        case kFieldProcedure:
            ListDraw("SEL STAR", kFieldProcedure);
            break;
        case kFieldStarTrans:
            ListDraw("SEL TRANSITION", kFieldStarTrans);
            break;
        case kFieldApproach:
            ListDraw("SEL APPROACH", kFieldApproach);
            break;
        case kFieldApproachTrans:
            ListDraw("SEL APPR TRANS", kFieldApproachTrans);
            break;
        default:
            break;
    }
    SubPageTitle("ARRIVAL");
    CduWriteText("ARRIVE", 18, 1, kYellow, kLight);
    CduWriteText("RUNWAY", 18, 3, kYellow, kLight);
    CduWriteText("STAR", 20, 5, kYellow, kLight);
    CduWriteText("APPR", 20, 7, kYellow, kLight);
    CduWriteText("FPLw", 19, 10, kYellow, kLight);
    CduWriteText(a.airport, 20, 2, kGreen, kBold);
    CduWriteText(a.runway, 21, 4, kGreen, kBold);
    CduFormat("%-6s.%5s", a.procedure, a.transition);
    WriteRight(CduFormatBuffer, 6);
    CduFormat("%7s.%5s", a.approach, a.approach_transition);
    WriteRight(CduFormatBuffer, 8);
    return 0;
}

namespace {

void InsertChosenArrival() {
    CduProcedureChoice& a = CduArrivalChoice;
    if (!DatabaseReady() || !Chosen(a.airport)) return;
    if (!Chosen(a.procedure) && !Chosen(a.approach)) return;
    Copy airport(a.airport);
    Copy star(a.procedure);
    Copy starTransition(a.transition);
    Copy approach(a.approach);
    Copy approachTransition(a.approach_transition);
    InsertArrival(&FlightPlan, airport.text, star.text, starTransition.text, approach.text,
                  approachTransition.text);
    CduRedraw = 1;
}

// After a procedure is chosen its transitions are due: their list is shown
// in the page's own field, or without any the arrival goes in at once.
void TransitionsDue(const CduProcedureChoice& a, int32_t kind, int32_t field) {
    if (ReadList(a, kind, field) > 0) {
        CduSelectField(field);
        CduEditModified = 0;
        CduProcedureStep = field;
        CduSubPage = 0;
    } else {
        InsertChosenArrival();
    }
}

}  // namespace

int32_t CduArrivalKeys() {
    CduProcedureChoice& a = CduArrivalChoice;
    AirportKeys(a, true);
    if (CduEvent == kCduEventEntry) {
        const int32_t field = CduEntryField;
        const int32_t kind =
            field == kFieldApproach || field == kFieldApproachTrans ? kKindApproach : kKindArrival;
        const bool listed = field == kFieldRunway || field == kFieldProcedure ||
                            field == kFieldApproach || field == kFieldStarTrans ||
                            field == kFieldApproachTrans;
        const char* text = listed ? PickedText(a, kind, field) : nullptr;
        if (text != nullptr) {
            switch (field) {
                case kFieldRunway:
                    SetText(a.runway, text);
                    break;
                case kFieldProcedure:
                    SetText(a.procedure, text);
                    SetText(a.transition, "-----");
                    TransitionsDue(a, kKindArrival, kFieldStarTrans);
                    break;
                case kFieldStarTrans:
                    SetText(a.transition, text);
                    InsertChosenArrival();
                    break;
                case kFieldApproach:
                    SetText(a.approach, text);
                    SetText(a.approach_transition, "-----");
                    TransitionsDue(a, kKindApproach, kFieldApproachTrans);
                    break;
                case kFieldApproachTrans:
                    SetText(a.approach_transition, text);
                    InsertChosenArrival();
                    break;
                default:
                    break;
            }
        }
    }
    SelectionKeys(a, CduActiveField == kFieldApproach || CduActiveField == kFieldApproachTrans
                         ? kKindApproach
                         : kKindArrival);
    return 0;
}

}  // namespace zu
