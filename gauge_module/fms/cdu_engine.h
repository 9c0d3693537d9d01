// The control-display unit engine: the character screen the pages write,
// the page table and its dispatcher, the decoding of key presses into page
// events, the editing of data fields, the line-art list drawn over the text
// and the number formatting shared by all pages.
//
// Everything runs on the systems tick, except that the keyboard gauges
// deposit key words (FmsKeyCode, FmsFunctionKey) and the painter reads the
// screen, the fields, the edit state and the line-art list.
#pragma once

#include <atomic>
#include <cstdint>

namespace zu {

inline constexpr int kCduLines = 12;
inline constexpr int kCduColumns = 24;
inline constexpr int kCduVisibleLines = 11;
inline constexpr int kCduCells = kCduLines * kCduColumns;
inline constexpr int kCduPageCount = 18;

// The four planes of the screen, cell = line x 24 + column.
struct CduScreenRecord {
    char text[kCduCells];
    uint8_t colour[kCduCells];  // 0 green, 1 amber, 2 yellow, 3 grey, 4 white, 5 magenta
    uint8_t size[kCduCells];    // 0 bold, otherwise light
    uint8_t blink[kCduCells];
};
extern CduScreenRecord CduScreen;
extern uint8_t CduBlinkAttribute;

using CduPageFunction = int32_t (*)();
struct CduPageEntry {
    int16_t page;
    CduPageFunction display;
    CduPageFunction keys;
};
extern const CduPageEntry CduPageTable[kCduPageCount];

// Page state.
extern int32_t CduPage;  // -1 = none (unpowered)
extern int32_t CduLastPage;
extern int32_t CduSubPage;
extern int32_t CduLastSubPage;
extern int32_t CduSubPageCount;
// Where "RETURN" prompts and ENTER on the choice pages go back to (-1 = the
// NAV page), and its sub-page (-1 = none).
extern int32_t CduReturnPage;
extern int32_t CduReturnSubPage;
extern uint8_t CduPageEntered;
extern uint8_t CduListChanged;
extern uint8_t CduRedraw;
extern int32_t CduRedrawHold;
extern std::atomic<uint8_t> CduPaintRequest;
extern uint8_t CduBlinkPhase;
extern int32_t CduWarmup;
extern uint8_t FmsInitialised;
// The course of a PVOR leg (degrees magnetic), kept after the plan.
extern int32_t CduPvorCourse;

// Event state between the engine and the pages.
enum CduEventCode : int32_t {
    kCduEventNone = 0,
    kCduEventLineSelect = 1,
    kCduEventKey = 2,
    kCduEventEntry = 4,
    kCduEventChosen = 5,
    kCduEventSelected = 6,
    kCduEventIdle = 12,
};
extern int32_t CduEvent;
extern int32_t CduKey;
extern char CduChar;
extern uint8_t CduHoldEvent;
extern char CduEntryText[17];
extern float CduEntryValue;
extern int32_t CduEntryField;
extern int32_t CduLinkedKey;

// Key codes of the keyboard.
enum CduKeyCode : int32_t {
    kCduKeyCharacter = 1,
    kCduKeyData = 10,
    kCduKeyNav = 11,
    kCduKeyDirect = 13,
    kCduKeyList = 14,
    kCduKeyPrev = 15,
    kCduKeyFpl = 17,
    kCduKeyPerf = 18,
    kCduKeyMenu = 20,
    kCduKeyNext = 21,
    kCduKeyBack = 40,
    kCduKeyEnter = 44,
};

// Deposited by the keyboard gauges, consumed by CduProcessKeys: the
// line-select key 1..10, and the function key with its character packed in
// one word (code in the low byte, character in the next) so that both
// arrive together.
extern std::atomic<int32_t> FmsKeyCode;
extern std::atomic<int32_t> FmsFunctionKey;
void CduDepositFunctionKey(int32_t code, char ch);

// Data fields 1..12 (line-select keys reach 1..10).
inline constexpr int kCduFieldCount = 12;
enum CduFieldType : int32_t { kCduFieldNone = 0, kCduFieldText = 2, kCduFieldDigits = 3 };
struct CduField {
    int32_t column;
    int32_t line;
    int32_t max_length;
    int32_t type;
    char text[16];
    int32_t linked_key;
};
extern CduField CduFieldTable[kCduFieldCount + 1];  // index 0 unused
extern int32_t CduActiveField;
extern char CduEditBuffer[36];
extern int32_t CduEditCursor;
extern uint8_t CduEditModified;
extern uint8_t CduCursorPhase;

// Line art over the text: kind 1 a line between two cells, kind 2 the
// holding picture (x1 = turn side).
inline constexpr int kCduRegionMax = 15;
struct CduRegion {
    int32_t kind, colour, x1, y1, x2, y2;
};
extern CduRegion CduRegions[kCduRegionMax];
extern int32_t CduRegionCount;

// The one buffer all number formatting goes through.
inline constexpr int kCduFormatBufferSize = 32;
extern char CduFormatBuffer[kCduFormatBufferSize];

void CduDispatchPage();
void CduProcessKeys();
void CduFunctionKeys();
void CduEditKeys();

void CduWriteText(const char* text, int32_t column, int32_t line, int32_t colour, int32_t size);
void CduClearScreen();
void CduBlinkOn();
void CduBlinkOff();
void CduAddLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour);
void CduAddHoldPicture(int32_t turnSide, int32_t colour);
void CduClearFields();
void CduDefineField(int32_t number, int32_t type, int32_t column, int32_t line, int32_t maxLength,
                    int32_t linkedKey);
void CduSelectField(int32_t number);

// Into CduFormatBuffer; kind 1 latitude, otherwise longitude.
void FormatLatLon(int32_t kind, double degrees);
// Into CduFormatBuffer; false (buffer untouched) when the time is out of range.
bool FormatDate(int64_t time);
bool FormatTime(int64_t time);
// printf into CduFormatBuffer, returning it.
const char* CduFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The unpowered state, and the engine's state as at load.
void CduPowerLoss();
void CduResetForLoad();

// Pages.
inline constexpr int32_t kCduPageStatus = 0;
inline constexpr int32_t kCduPageInit = 1;
inline constexpr int32_t kCduPageData = 2;
inline constexpr int32_t kCduPageFlightPlan = 3;
inline constexpr int32_t kCduPageWaypointSelect = 4;
inline constexpr int32_t kCduPageWaypointInfo = 5;
inline constexpr int32_t kCduPageFplMenu = 6;
inline constexpr int32_t kCduPageDeparture = 7;
inline constexpr int32_t kCduPageArrival = 14;
inline constexpr int32_t kCduPageNav = 8;
inline constexpr int32_t kCduPageDirect = 10;
inline constexpr int32_t kCduPagePerf = 16;
inline constexpr int32_t kCduPageList = 17;

// Index into WaypointDatabase of the candidate accepted on the choice page.
extern int32_t CduChosenWaypoint;
extern int32_t CduInfoRecord;

}  // namespace zu
