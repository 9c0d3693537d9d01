// The combined transponder and TCAS control head `ATC1_Panel`: it selects
// the transponder's mode (0 off, 1 test, 2 standby, 3 on, 4 altitude
// reporting, 5 VFR, 6 and 7 the two TCAS modes), edits the four-digit octal
// squawk code digit by digit, sends an ident, toggles the altitude-source
// legend and selects the TCAS display range.
//
// The head owns the switch and selection state. The traffic step of the
// systems tick (`TcasCompute`, displays/tcas.h) runs its countdowns,
// derives the legend and TCAS mode from the selected mode, chooses the code
// text in force and encodes it as TransponderCodeBcd; the FSUIPC write batch
// sends the standby byte, the ident and the code. Nothing of the head is
// saved with flights.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

struct TransponderStateRecord {
    int32_t mode;  // 0 off, 1 test, 2 standby, 3 on, 4 altitude, 5 VFR, 6 and 7 TCAS
    int32_t mode_seen;
    int32_t display_mode;
    int32_t tcas_mode;
    int32_t ident_timer;   // ticks
    int32_t test_timer;    // ticks
    int32_t digit_cursor;  // 0 none, 1..4 from the left
    int32_t cursor_timer;  // ticks
};

extern TransponderStateRecord TransponderState;
// 1 while the ident is being sent.
extern uint8_t TransponderIdent;
// The two four-digit octal code texts and the one in force.
extern char TransponderCodeText[8];
extern char TransponderVfrCodeText[8];
extern char* TransponderCodePtr;
// The code in force as four BCD nibbles, first digit on top.
extern uint16_t TransponderCodeBcd;
// Altitude source shown as "FL1" or "FL2".
extern int32_t TransponderAltSource;

// Loads of the head's countdowns, in ticks.
inline constexpr int32_t kTransponderTestTicks = 48;     // about 3.1 s
inline constexpr int32_t kTransponderIdentTicks = 144;   // about 9.2 s
inline constexpr int32_t kTransponderCursorTicks = 480;  // about 30.7 s
// "8888" shows while the test countdown is above this (its first 16 ticks).
inline constexpr int32_t kTransponderTestPattern = 32;

// Mouse handler actions (the handlers add the click and arm the group).
void TransponderPowerToggle();
void TransponderIdentPress();
void TransponderAltSourceToggle();
void TransponderCursorStep();
void TransponderDigitStep(int32_t step);
void TransponderRangeStep(int32_t step);
void TransponderModeUp();
void TransponderModeDown();

// The visibility routine and the texts (each writes at least 8 bytes).
void TransponderVisibility(gauge::ElementHeader* first, uint8_t gauge_is_vc);
void TransponderCodeWindowText(char* text, std::size_t size);
void TransponderAltSourceText(char* text, std::size_t size);
void TransponderTaText(char* text, std::size_t size);
void TransponderRangeText(char* text, std::size_t size);
void TransponderModeText(char* text, std::size_t size);
void TransponderIdentText(char* text, std::size_t size);

// Gauge table entries.
extern gauge::ElementHeader* ATC1_PanelElementList[2];
extern gauge::MouseRect ATC1_PanelMouseRect[12];
void ATC1_PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
extern gauge::GaugeHeader* Atc1PanelHeader;

}  // namespace zu
