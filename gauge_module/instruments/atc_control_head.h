// State of the combined transponder and TCAS control head `ATC1_Panel`: the
// selected mode and its countdowns, the ident byte and the two squawk code
// texts. The TCAS computation of the systems tick runs the countdowns,
// chooses the code text in force and encodes it as TransponderCodeBcd; the
// FSUIPC write batch sends the standby byte, the ident and the code.
#pragma once

#include <cstdint>

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

}  // namespace zu
