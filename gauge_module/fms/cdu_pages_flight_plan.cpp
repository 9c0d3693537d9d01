// The CDU's flight-plan page: the legs five to a sub-page, insertion of a
// waypoint by identifier, DEL (armed, then confirmed) and fly-over.
#include <cmath>
#include <cstring>
#include <ctime>

#include "core/fsuipc_data_exchange.h"
#include "fms/cdu_engine.h"
#include "fms/cdu_pages.h"
#include "fms/flight_plan.h"
#include "fms/leg_geometry.h"
#include "fms/nav_database.h"

namespace zu {

int32_t CduInsertPosition = 0;
int32_t CduDeleteIndex = 0;
uint8_t CduLegSelected = 0;

namespace {

enum : int32_t { kGreen = 0, kWhite = 4, kMagenta = 5 };
enum : int32_t { kBold = 0, kLight = 1 };
inline constexpr int kLegsPerSubPage = 5;

// Leg classes as the pages read them.
enum : uint8_t {
    kClassArc = 1,
    kClassHeading = 3,
    kClassHold = 5,
    kClassProcTurn = 6,
    kClassTrack = 7,
    kClassDirect = 9
};

uint8_t& DeleteArmed() {
    return CduListChanged;
}

bool IsDiscontinuity(const LegRecord& l) {
    return l.path_terminator[0] == 'X' && l.path_terminator[1] == 'X';
}

char NorthMark(const LegRecord& l) {
    return l.true_north != 0 ? 'T' : '\xB0';
}

int32_t Course(double c) {
    long v = std::lround(c);
    v %= 360;
    if (v < 0) v += 360;
    return static_cast<int32_t>(v);
}

void WriteCourse(int32_t course, const LegRecord& l, int32_t column, int32_t line, int32_t colour) {
    CduFormat("%03d%c", course, NorthMark(l));
    CduWriteText(CduFormatBuffer, column, line, colour, kLight);
}

}  // namespace

// Course and distance on the line above a leg.
void CduLegLine(const LegRecord& l, int32_t line, int32_t colour) {
    if (IsDiscontinuity(l)) return;
    const uint8_t cls = l.leg_class;
    const int32_t course = Course(l.magnetic_course);
    if ((l.list_kind == 4 || l.list_kind == 5) && cls != 0 && cls != kClassArc &&
        cls != kClassHeading) {
        WriteCourse(course, l, 5, line, colour);
        if (cls != kClassHold && cls != kClassProcTurn) {
            CduFormat("%5.1fNM", l.leg_distance_nm);
            CduWriteText(CduFormatBuffer, 10, line, colour, kLight);
        }
        return;
    }
    switch (cls) {
        case 2:
        case 10:
            CduWriteText("CRS", 3, line, colour, kLight);
            WriteCourse(course, l, 6, line, colour);
            break;
        case kClassHeading:
            CduWriteText("HDG", 3, line, colour, kLight);
            WriteCourse(course, l, 6, line, colour);
            break;
        case kClassTrack:
            WriteCourse(course, l, 5, line, colour);
            break;
        case kClassHold:
            CduWriteText(l.turn_direction == 1 ? "q" : "w", 3, line, colour, kLight);
            CduWriteText("HLD", 5, line, colour, kLight);
            WriteCourse(Course(LegInboundCourse(l)), l, 8, line, colour);
            break;
        case kClassProcTurn: {
            CduWriteText("CRS", 3, line, colour, kLight);
            WriteCourse(course, l, 6, line, colour);
            char text[9] = {};
            std::memcpy(text, LegTerminatingText(l), 8);
            text[8] = '\0';
            CduWriteText(text, 12, line, colour, kLight);
            break;
        }
        case kClassArc:
            CduWriteText(l.turn_direction == 1 ? "qARC" : "wARC", 3, line, colour, kLight);
            CduWriteText(CduFormat("%3.1f", LegArcRadius(l)), 6, line, colour, kLight);
            break;
        case kClassDirect:
            CduWriteText("(DIRECT)", 3, line, colour, kLight);
            break;
        default:
            break;
    }
}

namespace {
// The name text of a leg, cut to the cells left of the passing time.
const char* NameText(const LegRecord& l) {
    static char name[sizeof l.ident + 1];
    std::memcpy(name, LegName(l), sizeof l.ident);
    name[sizeof l.ident] = '\0';
    return name;
}
}  // namespace

void CduLegAnnotation(const LegRecord& l, int32_t line, int32_t colour) {
    const char* name = NameText(l);
    switch (l.annotation_kind) {
        case 0:
            CduBlinkOn();
            CduWriteText("*NO LINK*", 3, line, kMagenta, kBold);
            CduBlinkOff();
            return;
        case 1:
            CduFormat("(%dFT)", l.altitude_ft);
            break;
        case 2:
            CduFormat("%s", name);
            break;
        case 3:
            CduFormat("(R-%03d\xB0) %s", LegRadial(l), name);
            break;
        case 4:
            CduFormat("(+%4.1f) %s", LegOffset(l), name);
            break;
        case 5:
            CduFormat("(MANUAL)");
            break;
        case 6:
            CduFormat("(+%4.1f)", LegOffset(l));
            break;
        case 7:
            CduFormat("(INTCPT)");
            break;
        default:
            CduFormatBuffer[0] = '\0';
            break;
    }
    if (l.leg_class == kClassProcTurn) CduFormat("(PR-TRN)");
    if (l.leg_class == kClassHold) {
        if (std::strncmp(l.path_terminator, "HM", 2) == 0)
            CduFormat("(HOLD)");
        else if (std::strncmp(l.path_terminator, "HA", 2) == 0)
            CduFormat("(%dFT)", l.altitude_ft);
    }
    if (l.fly_over != 0 && l.leg_class == kClassTrack) {
        const size_t n = std::strlen(CduFormatBuffer);
        if (n + 1 < sizeof CduFormatBuffer) {
            CduFormatBuffer[n] = '*';
            CduFormatBuffer[n + 1] = '\0';
        }
    }
    CduWriteText(CduFormatBuffer, 3, line, colour, kBold);
}

namespace {

void CduLegTime(const LegRecord& l, int32_t index, int32_t line, int32_t colour) {
    if (IsDiscontinuity(l) || l.annotation_kind == 3) return;
    const double hours = TimeToWaypoint(index);
    if (!std::isfinite(hours) || std::fabs(hours) > 1.0e6) return;
    const int64_t when = SimDateTime + static_cast<int64_t>(hours * 3600.0);
    if (!FormatTime(when)) return;
    CduFormatBuffer[5] = '\0';  // hours and minutes
    CduWriteText(CduFormatBuffer, 11, line, colour, kBold);
}

void CduLegExtra(const LegRecord& l, int32_t line, int32_t colour) {
    if (IsDiscontinuity(l) || l.altitude_ft <= 0 || l.altitude_kind == 0) return;
    CduFormat("%5d", l.altitude_ft);
    CduWriteText(CduFormatBuffer, 18, line, colour, kBold);
    int first = 0;
    while (CduFormatBuffer[first] == ' ') ++first;
    const char* glyph = l.altitude_kind == 1 ? "y" : l.altitude_kind == 2 ? "a" : nullptr;
    if (glyph != nullptr) CduWriteText(glyph, 17 + first, line, colour, kBold);
}

void CduFlightPlanList() {
    const int32_t count = static_cast<int32_t>(FlightPlan.count);
    const int32_t first = kLegsPerSubPage * CduSubPage;
    for (int32_t i = first; i < first + kLegsPerSubPage && i < count; ++i) {
        const LegRecord& l = FlightPlan.legs[i];
        const int32_t line = (i % kLegsPerSubPage) * 2 + 2;
        // The active TO leg shows every one of its texts in magenta: its
        // number, the course and distance flown to it, its name, time and
        // altitude.
        const bool active = i == FmsToLegIndex;
        const int32_t colour = active ? kMagenta : kGreen;
        CduWriteText(CduFormat("%2d", i + 1), 0, line, active ? kMagenta : kWhite, kBold);
        if (i > 0) CduLegLine(l, line - 1, active ? kMagenta : kWhite);
        CduLegAnnotation(l, line, colour);
        CduLegTime(l, i, line, colour);
        CduLegExtra(l, line, colour);
        if (CduPageEntered != 0) {
            CduDefineField((i % kLegsPerSubPage) + 1, kCduFieldText, 3, line, 5, i);
        }
    }
    if (CduSubPage == CduSubPageCount - 1 && count < static_cast<int32_t>(kLegListCapacity)) {
        const int32_t line = (count % kLegsPerSubPage) * 2 + 2;
        CduWriteText(CduFormat("%2d", count + 1), 0, line, kWhite, kBold);
        CduWriteText("-----", 3, line, kWhite, kBold);
        if (CduPageEntered != 0) {
            const int32_t field = (count % kLegsPerSubPage) + 1;
            CduDefineField(field, kCduFieldText, 3, line, 5, count);
            CduSelectField(field);
        }
    }
}

// The selected leg, or -1.
int32_t SelectedLeg() {
    if (CduActiveField <= 0 || CduActiveField >= 6) return -1;
    const CduField& f = CduFieldTable[CduActiveField];
    if (f.type == kCduFieldNone || CduEditModified != 0) return -1;
    if (f.linked_key < 0 || f.linked_key >= static_cast<int32_t>(FlightPlan.count)) return -1;
    return f.linked_key;
}

void LegPrompts() {
    const int32_t leg = SelectedLeg();
    if (leg < 0 && DeleteArmed() == 0) {
        CduLegSelected = 0;
        return;
    }
    CduAddLine(17, 1, 17, 10, kGreen);
    if (DeleteArmed() != 0) CduBlinkOn();
    CduWriteText("DELw", 20, 2, kWhite, kBold);
    CduBlinkOff();
    CduWriteText("INFOw", 19, 4, kWhite, kBold);
    CduWriteText("OVFLYw", 18, 8, kWhite, kBold);
    if (leg >= 0 && FlightPlan.legs[leg].fly_over != 0) CduWriteText("CNCL", 19, 7, kWhite, kBold);
    CduLegSelected = 1;
}

}  // namespace

int32_t CduFlightPlanDisplay() {
    const int32_t count = static_cast<int32_t>(FlightPlan.count);
    CduSubPageCount = count / kLegsPerSubPage + 1;
    CduReturnPage = -1;
    CduClearScreen();
    if (CduPageEntered != 0) CduClearFields();
    CduWriteText("FPL", 7, 0, kGreen, kBold);
    CduWriteText("m", 19, 0, kGreen, kBold);
    CduWriteText(CduFormat("%2d", CduSubPage + 1), 13, 0, kGreen, kBold);
    CduWriteText("/", 15, 0, kGreen, kBold);
    CduWriteText(CduFormat("%2d", CduSubPageCount), 16, 0, kGreen, kBold);
    CduFlightPlanList();
    LegPrompts();
    return 0;
}

int32_t CduFlightPlanKeys() {
    if (CduEvent == kCduEventEntry && CduLinkedKey >= 0 && CduEntryText[0] != '\0' &&
        CduEntryText[0] != ' ') {
        CduInsertPosition = CduLinkedKey;
        LookupWaypoint(CduEntryText, 0, 0.0, 0.0);
    }
    if (CduEvent == kCduEventChosen) {
        InsertWaypointLeg(CduChosenWaypoint, CduInsertPosition, &FlightPlan);
        CduPageEntered = 1;
        const int32_t count = static_cast<int32_t>(FlightPlan.count);
        if (CduInsertPosition == count - 1) {
            CduSubPage = count / kLegsPerSubPage;
            CduFlightPlanDisplay();
        }
    }
    if (CduEvent == kCduEventSelected) {
        CduRedraw = 1;
        DeleteArmed() = 0;
    }
    if (CduLegSelected != 0 && CduEvent == kCduEventLineSelect) {
        if (CduKey == 6) {
            if (DeleteArmed() != 0) {
                DeleteArmed() = 0;
                DeleteLeg(CduDeleteIndex, &FlightPlan);
                CduPageEntered = 1;
            } else {
                const int32_t leg = SelectedLeg();
                if (leg >= 0) {
                    CduDeleteIndex = leg;
                    DeleteArmed() = 1;
                }
            }
            CduRedraw = 1;
        } else {
            DeleteArmed() = 0;
            if (CduKey == 9) {
                const int32_t leg = SelectedLeg();
                if (leg >= 0 && FlightPlan.legs[leg].list_kind == 4) {
                    uint8_t& f = FlightPlan.legs[leg].fly_over;
                    f = f != 0 ? 0 : 1;
                }
                CduRedraw = 1;
            }
        }
    }
    if (CduEvent == kCduEventKey && CduKey == kCduKeyMenu) {
        CduReturnPage = kCduPageFlightPlan;
        CduReturnSubPage = CduSubPage;
        CduPage = 6;
    }
    return 0;
}

}  // namespace zu
