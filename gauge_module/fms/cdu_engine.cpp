// The control-display unit engine (see cdu_engine.h).
#include "fms/cdu_engine.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "core/systems_tick.h"
#include "fms/cdu_pages.h"
#include "fms/cdu_pages_nav.h"

namespace zu {

CduScreenRecord CduScreen = [] {
    CduScreenRecord s{};
    std::memset(s.text, ' ', sizeof s.text);
    return s;
}();
uint8_t CduBlinkAttribute = 0;

const CduPageEntry CduPageTable[kCduPageCount] = {
    {0, CduStatusDisplay, CduStatusKeys},    {1, CduInitDisplay, CduInitKeys},
    {2, CduDataDisplay, CduNoKeys},          {3, CduFlightPlanDisplay, CduFlightPlanKeys},
    {4, CduChoiceDisplay, CduChoiceKeys},    {5, CduInfoDisplay, CduInfoKeys},
    {6, CduFplMenuDisplay, CduFplMenuKeys},  {7, CduDepartureDisplay, CduDepartureKeys},
    {8, CduNavDisplay, CduNavKeys},          {9, CduNavLegDisplay, CduNavLegKeys},
    {10, CduDirectDisplay, CduDirectKeys},   {11, CduPvorDisplay, CduPvorKeys},
    {12, CduHoldingDisplay, CduHoldingKeys}, {13, CduManeuverDisplay, CduManeuverKeys},
    {14, CduArrivalDisplay, CduArrivalKeys}, {15, CduHoldFixDisplay, CduHoldFixKeys},
    {16, CduPerfDisplay, CduNoKeys},         {17, CduListDisplay, CduListKeys},
};

int32_t CduPage = -1;
int32_t CduLastPage = -1;
int32_t CduSubPage = 0;
int32_t CduLastSubPage = -1;
int32_t CduSubPageCount = 1;
int32_t CduReturnPage = kCduPageNav;
int32_t CduReturnSubPage = -1;
uint8_t CduPageEntered = 0;
uint8_t CduListChanged = 0;
uint8_t CduRedraw = 1;
int32_t CduRedrawHold = 0;
std::atomic<uint8_t> CduPaintRequest{0};
uint8_t CduBlinkPhase = 0;
int32_t CduWarmup = 80;
uint8_t FmsInitialised = 0;
int32_t CduPvorCourse = 0;

int32_t CduEvent = 0;
int32_t CduKey = 0;
char CduChar = ' ';
uint8_t CduHoldEvent = 0;
char CduEntryText[17] = "";
float CduEntryValue = 0.0f;
int32_t CduEntryField = 0;
int32_t CduLinkedKey = 0;

std::atomic<int32_t> FmsKeyCode{0};
std::atomic<int32_t> FmsFunctionKey{0};

CduField CduFieldTable[kCduFieldCount + 1] = {};
int32_t CduActiveField = 0;
char CduEditBuffer[36] = "               ";
int32_t CduEditCursor = 0;
uint8_t CduEditModified = 0;
uint8_t CduCursorPhase = 0;

CduRegion CduRegions[kCduRegionMax] = {};
int32_t CduRegionCount = 0;

char CduFormatBuffer[kCduFormatBufferSize] = "";

int32_t CduChosenWaypoint = 0;
int32_t CduInfoRecord = 0;

void CduDepositFunctionKey(int32_t code, char ch) {
    FmsFunctionKey.store((code & 0xFF) | (static_cast<int32_t>(static_cast<uint8_t>(ch)) << 8));
}

namespace {

inline constexpr uint32_t kEvery2nd = 0x02;
inline constexpr uint32_t kEvery4th = 0x04;
inline constexpr uint32_t kEvery32nd = 0x20;
inline constexpr uint32_t kEvery64th = 0x40;

void ClampSubPage() {
    if (CduSubPageCount > 0 && CduSubPage > CduSubPageCount - 1) CduSubPage = 0;
}

const CduPageEntry* CurrentPageEntry() {
    if (CduPage < 0 || CduPage >= kCduPageCount) return nullptr;
    return &CduPageTable[CduPage];
}

void CallPageKeys() {
    const CduPageEntry* e = CurrentPageEntry();
    if (e != nullptr && e->keys != nullptr) e->keys();
}

// Dispatcher steps.
void DispatchTimers(uint32_t bits) {
    if ((bits & kEvery64th) != 0) CduRedraw = 1;
    if ((bits & kEvery32nd) != 0 && CduRedrawHold > 0) CduRedrawHold -= 1;
    if (CduRedraw != 0) CduRedrawHold = 2;
}

// False when the page need not run this pass.
bool DispatchPageChange(uint32_t bits) {
    if (CduPage != CduLastPage) {
        CduPageEntered = 1;
        // A return page of -1 stands for the NAV page.
        const int32_t returnPage = CduReturnPage < 0 ? kCduPageNav : CduReturnPage;
        if (CduPage == returnPage) {
            CduSubPage = CduReturnSubPage < 0 ? 0 : CduReturnSubPage;
            CduReturnPage = -1;
            CduReturnSubPage = -1;
        } else {
            CduSubPage = 0;
        }
        CduSubPageCount = 1;
        CduListChanged = 0;
        return true;
    }
    if ((bits & kEvery32nd) == 0 && CduRedrawHold <= 0) {
        if (CduPageEntered != 0) CduRedraw = 1;
        return false;
    }
    return true;
}

void DispatchSubPageChange() {
    if (CduSubPage != CduLastSubPage) {
        CduLastSubPage = CduSubPage;
        CduPageEntered = 1;
        CduListChanged = 0;
    }
    // A page just entered sets its own sub-page count when it runs; a
    // sub-page restored for it is held to that count afterwards.
    if (CduPage == CduLastPage) ClampSubPage();
}

void DispatchRunPage() {
    const CduPageEntry* e = CurrentPageEntry();
    if (e == nullptr) {
        CduRedraw = 1;
        return;
    }
    if (e->display != nullptr) e->display();
    if (CduPageEntered != 0) {
        const int32_t saved = CduEvent;
        CduEvent = kCduEventSelected;
        CallPageKeys();
        ClampSubPage();
        CduEvent = saved;
    }
}

void DispatchFinish() {
    CduLastPage = CduPage;
    if (CduRedrawHold > 0) {
        CduRedraw = 0;
        CduPaintRequest.store(1);
    }
}

// Key processing steps.
void TakeOneKey() {
    const int32_t line = FmsKeyCode.exchange(0);
    if (line > 0) {
        CduEvent = kCduEventLineSelect;
        CduKey = line;
        return;
    }
    const int32_t word = FmsFunctionKey.exchange(0);
    if (word > 0) {
        CduEvent = kCduEventKey;
        CduKey = word & 0xFF;
        CduChar = static_cast<char>((word >> 8) & 0xFF);
    }
}

void ResetEvent() {
    if (CduHoldEvent != 0) {
        CduHoldEvent = 0;
        return;
    }
    CduEntryValue = 0.0f;
    CduKey = 0;
    CduEntryField = 0;
    CduEvent = 0;
    CduEntryText[0] = '\0';
}

void ResetEditBuffer() {
    std::memset(CduEditBuffer, ' ', 15);
    CduEditBuffer[15] = '\0';
    CduEditCursor = 0;
}

void CompleteEntry(int32_t field) {
    const int32_t end = CduEditCursor < 16 ? CduEditCursor : 16;
    CduEditBuffer[end] = '\0';
    CduEditModified = 0;
    std::memcpy(CduEntryText, CduEditBuffer, static_cast<size_t>(end) + 1);
    CduEntryValue = static_cast<float>(std::strtod(CduEntryText, nullptr));
    ResetEditBuffer();
    CduEntryField = field;
    CduEvent = kCduEventEntry;
    CduKey = field;
    CduChar = ' ';
    CduActiveField = 0;
}

void EditBack() {
    CduEditModified = 1;
    if (CduEditCursor > 0) {
        CduEditCursor -= 1;
        CduEditBuffer[CduEditCursor] = ' ';
    }
}

void EditStore(const CduField& f, char ch) {
    CduEditModified = 1;
    if (CduEditCursor < f.max_length && CduEditCursor < 35) {
        CduEditBuffer[CduEditCursor] = ch;
        CduEditCursor += 1;
    }
}

void EditLineSelect() {
    const int32_t k = CduKey;
    if (k < 1 || k > 10) return;
    if (k == CduActiveField) {
        CduActiveField = 0;
        CduEditModified = 0;
        return;
    }
    const CduField& f = CduFieldTable[k];
    if (f.type == kCduFieldNone) return;
    CduEditModified = 0;
    CduEvent = kCduEventSelected;
    CduLinkedKey = f.linked_key;
    CduActiveField = k;
}

void EditTyping() {
    if (CduActiveField < 1 || CduActiveField > kCduFieldCount) return;
    const CduField& f = CduFieldTable[CduActiveField];
    if (f.type != kCduFieldDigits && f.type != kCduFieldText) return;
    if (CduKey == kCduKeyBack) {
        EditBack();
    } else if (CduKey == kCduKeyCharacter) {
        if (f.type == kCduFieldDigits) {
            if (CduChar >= '0' && CduChar <= '9')
                EditStore(f, CduChar);
            else
                CduEditModified = 1;
        } else {
            EditStore(f, CduChar);
            CduLinkedKey = f.linked_key;
        }
    } else if (CduKey == kCduKeyEnter && CduEditModified != 0) {
        if (f.type == kCduFieldDigits) CduLinkedKey = f.linked_key;
        CompleteEntry(CduActiveField);
    }
}

}  // namespace

void CduDispatchPage() {
    const uint32_t bits = FrameChangeBits.load();
    DispatchTimers(bits);
    if (DispatchPageChange(bits)) {
        DispatchSubPageChange();
        DispatchRunPage();
        DispatchFinish();
    }
    CduPageEntered = 0;
    if ((bits & kEvery4th) != 0) CduBlinkPhase = CduBlinkPhase == 0 ? 1 : 0;
}

void CduProcessKeys() {
    if (CduPage == kCduPageStatus && CduWarmup == 0) CduPage = kCduPageInit;
    TakeOneKey();
    if ((FrameChangeBits.load() & kEvery2nd) != 0 && CduEvent == kCduEventNone) {
        CduEvent = kCduEventIdle;
    }
    CduFunctionKeys();
    CduEditKeys();
    if (CduPage >= 0 && CduEvent != kCduEventNone) {
        CallPageKeys();
        ClampSubPage();
    }
    ResetEvent();
}

void CduFunctionKeys() {
    if (CduEvent != kCduEventNone && CduEvent != kCduEventIdle) {
        CduPaintRequest.store(1);
        CduRedraw = 1;
    }
    if (FmsInitialised == 0 || CduEvent != kCduEventKey) return;
    auto go = [](int32_t page) {
        CduPage = page;
        CduEvent = kCduEventNone;
    };
    switch (CduKey) {
        case kCduKeyData:
            go(kCduPageData);
            break;
        case kCduKeyNav:
            go(kCduPageNav);
            break;
        case kCduKeyDirect:
            CduReturnPage = kCduPageDirect;
            CduReturnSubPage = CduSubPage;
            go(kCduPageDirect);
            break;
        case kCduKeyList:
            go(kCduPageList);
            break;
        case kCduKeyPrev:
            if (CduSubPage > 0) CduSubPage -= 1;
            CduRedraw = 1;
            break;
        case kCduKeyFpl:
            go(kCduPageFlightPlan);
            break;
        case kCduKeyPerf:
            go(kCduPagePerf);
            break;
        case kCduKeyNext:
            if (CduSubPage < CduSubPageCount - 1) CduSubPage += 1;
            CduRedraw = 1;
            break;
        default:
            break;
    }
}

void CduEditKeys() {
    if (CduEvent == kCduEventLineSelect)
        EditLineSelect();
    else if (CduEvent == kCduEventKey)
        EditTyping();
    if (CduEditModified == 0 || CduActiveField == 0) ResetEditBuffer();
    CduCursorPhase = CduCursorPhase == 0 ? 1 : 0;
    if (CduEditModified != 0) CduRedraw = 1;
}

void CduWriteText(const char* text, int32_t column, int32_t line, int32_t colour, int32_t size) {
    if (text == nullptr || line < 0 || line >= kCduLines || column < 0) return;
    for (int32_t c = column; c < kCduColumns && *text != '\0'; ++c, ++text) {
        const int cell = line * kCduColumns + c;
        CduScreen.text[cell] = *text;
        CduScreen.colour[cell] = static_cast<uint8_t>(colour);
        CduScreen.size[cell] = static_cast<uint8_t>(size);
        CduScreen.blink[cell] = CduBlinkAttribute;
    }
}

void CduClearScreen() {
    constexpr size_t visible = static_cast<size_t>(kCduVisibleLines) * kCduColumns;
    std::memset(CduScreen.text, ' ', visible);
    std::memset(CduScreen.blink, 0, visible);
    CduRegionCount = 0;
    CduBlinkAttribute = 0;
}

void CduBlinkOn() {
    CduBlinkAttribute = 1;
}
void CduBlinkOff() {
    CduBlinkAttribute = 0;
}

void CduAddLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour) {
    if (CduRegionCount >= kCduRegionMax) return;
    CduRegions[CduRegionCount++] = CduRegion{1, colour, x1, y1, x2, y2};
}

void CduAddHoldPicture(int32_t turnSide, int32_t colour) {
    if (CduRegionCount < kCduRegionMax) {
        CduRegions[CduRegionCount++] = CduRegion{2, colour, turnSide, 0, 0, 0};
    }
    CduWriteText("DIR", 10, 4, 0, 1);
    CduWriteText("TURN", 7, 5, 0, 1);
    CduWriteText("TIME", 10, 7, 0, 1);
}

void CduClearFields() {
    for (int i = 1; i <= 10; ++i) CduFieldTable[i].type = kCduFieldNone;
    CduActiveField = 0;
    CduEditModified = 0;
}

void CduDefineField(int32_t number, int32_t type, int32_t column, int32_t line, int32_t maxLength,
                    int32_t linkedKey) {
    if (number < 1 || number > kCduFieldCount) return;
    CduField& f = CduFieldTable[number];
    f.type = type;
    f.column = column;
    f.line = line;
    f.max_length = maxLength < 0 ? 0 : (maxLength > 15 ? 15 : maxLength);
    f.linked_key = linkedKey;
    std::memset(f.text, ' ', sizeof f.text - 1);
    f.text[sizeof f.text - 1] = '\0';
}

void CduSelectField(int32_t number) {
    if (number < 0 || number > kCduFieldCount) return;
    CduActiveField = number;
    if (number > 0 && CduFieldTable[number].type != kCduFieldNone) {
        CduLinkedKey = CduFieldTable[number].linked_key;
    }
}

const char* CduFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(CduFormatBuffer, sizeof CduFormatBuffer, format, args);
    va_end(args);
    return CduFormatBuffer;
}

namespace {

// A formatted field kept with what it was made from: the INIT page shows the
// same position, date and time frame after frame.
struct FormatMemo {
    bool valid = false;
    int64_t from[2] = {};
    char text[kCduFormatBufferSize] = "";
};

bool FormatMemoHit(const FormatMemo& memo, int64_t a, int64_t b) {
    if (!memo.valid || memo.from[0] != a || memo.from[1] != b) return false;
    std::memcpy(CduFormatBuffer, memo.text, std::strlen(memo.text) + 1);
    return true;
}

void FormatMemoKeep(FormatMemo& memo, int64_t a, int64_t b) {
    memo.valid = true;
    memo.from[0] = a;
    memo.from[1] = b;
    std::memcpy(memo.text, CduFormatBuffer, std::strlen(CduFormatBuffer) + 1);
}

int64_t DoubleBits(double value) {
    int64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

FormatMemo gLatLonMemo[2];
FormatMemo gDateMemo, gTimeMemo;

}  // namespace

void FormatLatLon(int32_t kind, double degrees) {
    FormatMemo& memo = gLatLonMemo[kind == 1 ? 0 : 1];
    if (FormatMemoHit(memo, kind, DoubleBits(degrees))) return;
    const char letter = kind == 1 ? (degrees > 0.0 ? 'N' : 'S') : (degrees > 0.0 ? 'E' : 'W');
    // Rounded to tenths of a minute first, so the minutes never show 60.0.
    double magnitude = degrees < 0.0 ? -degrees : degrees;
    if (!(magnitude <= 360.0)) magnitude = 0.0;
    const long tenths = std::lround(magnitude * 600.0);
    const long whole = tenths / 600;
    const double minutes = static_cast<double>(tenths % 600) / 10.0;
    CduFormat("%c %3ld %04.1f", letter, whole, minutes);
    FormatMemoKeep(memo, kind, DoubleBits(degrees));
}

namespace {
bool UtcCalendar(int64_t time, std::tm* out) {
    // Years 1970..9999 only.
    if (time < 0 || time > 253402300799LL) return false;
    const std::time_t t = static_cast<std::time_t>(time);
    return gmtime_r(&t, out) != nullptr;
}
}  // namespace

bool FormatDate(int64_t time) {
    if (FormatMemoHit(gDateMemo, time, 0)) return true;
    std::tm tm{};
    if (!UtcCalendar(time, &tm)) return false;
    static const char* const kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                            "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    CduFormat("%d-%s-%02d", tm.tm_mday, kMonths[tm.tm_mon], tm.tm_year % 100);
    FormatMemoKeep(gDateMemo, time, 0);
    return true;
}

bool FormatTime(int64_t time) {
    if (FormatMemoHit(gTimeMemo, time, 0)) return true;
    std::tm tm{};
    if (!UtcCalendar(time, &tm)) return false;
    CduFormat("%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    FormatMemoKeep(gTimeMemo, time, 0);
    return true;
}

void CduPowerLoss() {
    CduPage = -1;
    CduWarmup = 80;
    FmsKeyCode.store(0);
    FmsInitialised = 0;
}

void CduResetForLoad() {
    CduPowerLoss();
    CduLastPage = -1;
    CduSubPage = 0;
    CduLastSubPage = -1;
    CduSubPageCount = 1;
    CduReturnPage = kCduPageNav;
    CduReturnSubPage = -1;
    CduPageEntered = CduListChanged = 0;
    CduRedraw = 1;
    CduRedrawHold = 0;
    CduPaintRequest.store(0);
    CduBlinkPhase = 0;
    CduEvent = CduKey = CduEntryField = CduLinkedKey = 0;
    CduHoldEvent = 0;
    CduEntryText[0] = '\0';
    CduEntryValue = 0.0f;
    FmsFunctionKey.store(0);
    for (CduField& f : CduFieldTable) f = CduField{};
    CduActiveField = 0;
    CduEditModified = 0;
    ResetEditBuffer();
    CduRegionCount = 0;
    CduBlinkAttribute = 0;
    std::memset(CduScreen.text, ' ', sizeof CduScreen.text);
    std::memset(CduScreen.colour, 0, sizeof CduScreen.colour);
    std::memset(CduScreen.size, 0, sizeof CduScreen.size);
    std::memset(CduScreen.blink, 0, sizeof CduScreen.blink);
    CduNavPagesReset();
}

}  // namespace zu
