// The CDU's status, INIT, DATA, waypoint choice and waypoint information
// pages.
#include <cstring>

#include "core/air_data.h"
#include "core/fsuipc_data_exchange.h"
#include "core/module_frame.h"
#include "fms/cdu_engine.h"
#include "fms/cdu_pages.h"
#include "fms/fms_lifecycle.h"
#include "fms/nav_database.h"

namespace zu {

namespace {

enum : int32_t { kGreen = 0, kAmber = 1, kYellow = 2, kWhite = 4 };
enum : int32_t { kBold = 0, kLight = 1 };

// Decrements the warm-up count (not below 0); true when it moved.
bool WarmupStep() {
    if (CduWarmup < 1) return false;
    CduWarmup -= 1;
    RedrawRequest.store(255);
    return true;
}

int32_t PassLine(int32_t w) {
    if (w >= 70 || w <= 0) return -1;
    if (w >= 61) return 4;
    return 4 + (60 - w) / 10 + 1;
}

// Field text of fixed width, cut at its first NUL.
const char* FixedText(const char* field, size_t width) {
    size_t n = 0;
    while (n < width && field[n] != '\0') ++n;
    if (n >= sizeof CduFormatBuffer) n = sizeof CduFormatBuffer - 1;
    std::memcpy(CduFormatBuffer, field, n);
    CduFormatBuffer[n] = '\0';
    return CduFormatBuffer;
}

}  // namespace

uint32_t CduInitClockSeconds = 0xFFFFFFFFu;

int32_t CduNoKeys() {
    return 0;
}

// Status page: the self-test count-down.
int32_t CduStatusDisplay() {
    if (CduPageEntered != 0) {
        CduClearScreen();
        CduWriteText("VADIVUZEV 1E", 5, 0, kGreen, kBold);
        static const char* const kLabels[7] = {"CPU/PROGRAM", "RAM",   "DATABASE", "CONFIG MODULE",
                                               "AUXILIARY",   "ARINC", "ANALOG"};
        for (int i = 0; i < 7; ++i) CduWriteText(kLabels[i], 0, 4 + i, kAmber, kBold);
    }
    if (WarmupStep()) {
        const int32_t line = PassLine(CduWarmup);
        if (line >= 0) CduWriteText("PASS", 20, line, kGreen, kBold);
    }
    return 0;
}

int32_t CduStatusKeys() {
    for (int i = 0; i < 4; ++i) WarmupStep();
    CduRedraw = 1;
    return 0;
}

// INIT page: position, date and time, accepted once.
int32_t CduInitDisplay() {
    const int32_t c = FmsInitialised != 0 ? kGreen : kYellow;
    if (CduPageEntered != 0) {
        CduClearScreen();
        CduWriteText("INIT 1/1", 8, 0, kGreen, kBold);
        CduWriteText("m", 19, 0, kGreen, kBold);
        CduWriteText("MSG", 20, 0, kGreen, kBold);
        CduWriteText("INITIAL POS", 0, 2, kAmber, kLight);
        CduWriteText("DATE", 20, 1, kAmber, kLight);
        CduWriteText("UTC", 21, 3, kAmber, kLight);
        CduWriteText("STANDARD/EXTENDED", 0, 6, kAmber, kLight);
        CduWriteText("NAV DATABASE EXPIRES", 0, 7, kAmber, kLight);
        CduWriteText("ID -----", 0, 3, kAmber, kBold);
        CduWriteText("---------", 0, 8, c, kBold);
        CduWriteText("PERF DB", 8, 9, kGreen, kLight);
        CduWriteText("A13100", 18, 9, kGreen, kLight);
        CduWriteText("FMS VER", 8, 10, kGreen, kLight);
        CduWriteText("610.0", 19, 10, kGreen, kLight);
        CduWriteText("XFILLw", 18, 6, kWhite, kBold);
        CduWriteText("MSTR XFILLw", 13, 8, kWhite, kBold);
        if (FmsInitialised == 0) CduWriteText("qACCEPT", 0, 10, kWhite, kBold);
        CduClearFields();
        CduDefineField(1, kCduFieldText, 3, 3, 5, -1);
    }
    FormatLatLon(1, FmsPosition.latitude);
    CduWriteText(CduFormatBuffer, 0, 4, c, kBold);
    FormatLatLon(2, FmsPosition.longitude);
    CduWriteText(CduFormatBuffer, 0, 5, c, kBold);
    if (FormatDate(SimDateTime)) CduWriteText(CduFormatBuffer, 15, 2, c, kBold);
    if (FormatTime(SimDateTime)) CduWriteText(CduFormatBuffer, 16, 4, c, kBold);
    return 0;
}

int32_t CduInitKeys() {
    if (CduEvent == kCduEventLineSelect && CduKey == 5) {
        FmsInitialised = 1;
        CduRedraw = 1;
        CduPageEntered = 1;
    }
    const uint32_t clock = static_cast<uint32_t>(Clock1State.time_of_day[0]) |
                           (static_cast<uint32_t>(Clock1State.time_of_day[1]) << 8) |
                           (static_cast<uint32_t>(Clock1State.time_of_day[2]) << 16);
    if (clock != CduInitClockSeconds) {
        CduRedraw = 1;
        CduInitClockSeconds = clock;
    }
    return 0;
}

// DATA menu: prompts only.
int32_t CduDataDisplay() {
    if (CduPageEntered != 0) CduClearScreen();
    CduSubPage = 0;
    CduSubPageCount = 1;
    CduWriteText("DATA 1/4", 8, 0, kGreen, kBold);
    CduWriteText("qNAV DATA", 0, 2, kWhite, kBold);
    CduWriteText("qPILOT DATA", 0, 4, kWhite, kBold);
    CduWriteText("qCO DATA", 0, 6, kWhite, kBold);
    CduWriteText("qCO DISC", 0, 8, kWhite, kBold);
    CduWriteText("qCO TAWS", 0, 10, kWhite, kBold);
    CduWriteText("CABIN DISPw", 13, 2, kWhite, kBold);
    CduWriteText("MFD DISPw", 15, 4, kWhite, kBold);
    CduWriteText("UNILINKw", 16, 6, kWhite, kBold);
    CduWriteText("MAINTw", 18, 10, kWhite, kBold);
    return 0;
}

void CduWaypointInfo(int32_t record) {
    CduSubPageCount = WaypointSearchResults.count;
    if (WaypointDatabase == nullptr || record < 0 || record >= WaypointDatabaseCount) return;
    const WaypointRecord& r = WaypointDatabase[record];
    CduWriteText(FixedText(r.region, sizeof r.region), 7, 0, kGreen, kBold);
    FormatLatLon(1, r.latitude);
    CduWriteText(CduFormatBuffer, 5, 2, kGreen, kBold);
    FormatLatLon(2, r.longitude);
    CduWriteText(CduFormatBuffer, 5, 3, kGreen, kBold);
    const bool vhf = r.type == 'V' || r.type == 'T' || r.type == 'D';
    const bool frequency = vhf || r.type == 'N';
    const bool elevation = vhf || r.type == 'A';
    const char* kind = vhf             ? "VOR"
                       : r.type == 'N' ? "NDB"
                       : r.type == 'A' ? "AIRPORT"
                                       : "INTERSECTION";
    CduWriteText(kind, 5, 5, kGreen, kBold);
    if (frequency) {
        CduWriteText("FREQ", 5, 7, kAmber, kLight);
        CduWriteText(FixedText(r.frequency, sizeof r.frequency), 12, 7, kGreen, kBold);
    }
    if (elevation) {
        CduWriteText("ELEV", 5, 8, kAmber, kLight);
        const int32_t e = r.elevation_ft;
        if (e >= 0)
            CduFormat("+%6d", e);
        else
            CduFormat("-%6lld", -static_cast<long long>(e));
        CduWriteText(CduFormatBuffer, 12, 8, kGreen, kBold);
    }
    CduWriteText("DECL", 5, 9, kAmber, kLight);
    if (r.variation >= 0.0)
        CduFormat("E  %3.1f", r.variation);
    else
        CduFormat("W  %3.1f", -r.variation);
    CduWriteText(CduFormatBuffer, 12, 9, kGreen, kBold);
    CduWriteText("NAME", 0, 6, kAmber, kLight);
    CduWriteText(FixedText(r.ident, sizeof r.ident), 12, 6, kGreen, kBold);
}

void CduReturnToCaller() {
    CduPage = CduReturnPage < 0 ? kCduPageNav : CduReturnPage;
    CduSubPage = CduReturnSubPage < 0 ? 0 : CduReturnSubPage;
}

namespace {
int32_t CurrentCandidate() {
    if (CduSubPage < 0 || CduSubPage >= WaypointSearchResults.count) return -1;
    return WaypointSearchResults.index[CduSubPage];
}
}  // namespace

// Waypoint choice: one candidate per sub-page, nearest first.
int32_t CduChoiceDisplay() {
    CduSubPageCount = WaypointSearchResults.count;
    CduClearScreen();
    if (CduPageEntered != 0) CduClearFields();
    CduWriteText(CduFormat("%2d", CduSubPage + 1), 14, 0, kGreen, kBold);
    CduWriteText("/", 16, 0, kGreen, kBold);
    CduWriteText(CduFormat("%2d", WaypointSearchResults.count), 17, 0, kGreen, kBold);
    CduWaypointInfo(CurrentCandidate());
    CduWriteText("qACCEPT", 0, 10, kWhite, kBold);
    CduWriteText("RETURNw", 17, 10, kWhite, kBold);
    return 0;
}

int32_t CduChoiceKeys() {
    const bool enter = CduEvent == kCduEventKey && CduKey == kCduKeyEnter;
    const bool accept = enter || (CduEvent == kCduEventLineSelect && CduKey == 5);
    if (accept) {
        const int32_t candidate = CurrentCandidate();
        if (candidate < 0) return 0;
        CduChosenWaypoint = candidate;
        CduEvent = kCduEventChosen;
        CduHoldEvent = 1;
        CduReturnToCaller();
    } else if (CduEvent == kCduEventLineSelect && CduKey == 10) {
        CduReturnToCaller();
    }
    return 0;
}

// Waypoint information: the block of one record.
int32_t CduInfoDisplay() {
    CduClearScreen();
    if (CduPageEntered != 0) CduClearFields();
    CduWriteText("1/1", 15, 0, kGreen, kBold);
    CduWaypointInfo(CduInfoRecord);
    return 0;
}

int32_t CduInfoKeys() {
    const bool enter = CduEvent == kCduEventKey && CduKey == kCduKeyEnter;
    if (enter || (CduEvent == kCduEventLineSelect && CduKey == 10)) CduReturnToCaller();
    return 0;
}

}  // namespace zu
