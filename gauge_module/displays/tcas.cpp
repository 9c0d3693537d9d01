#include "displays/tcas.h"

#include "core/module_frame.h"
#include "core/shared_maths.h"
#include "instruments/atc_control_head.h"

namespace zu {

TcasStateRecord TcasState = {};

const TransponderModeEntry TransponderModeTable[kTransponderModes] = {
    {0, 0, false},  // off
    {1, 0, false},  // test
    {2, 1, false},  // standby
    {3, 2, false},  // on
    {4, 2, false},  // altitude reporting
    {5, 2, true},   // VFR
    {4, 3, false},  // TCAS
    {4, 4, false},  // TCAS
};

void TcasIdentCountdown() {
    if (!CountdownTick(&TransponderState.ident_timer)) TransponderIdent = 0;
}

void TcasTestCountdown() {
    if (TransponderState.mode != 1) return;
    if (!CountdownTick(&TransponderState.test_timer)) TransponderState.mode = 2;
}

void TcasCursorCountdown() {
    if (!CountdownTick(&TransponderState.cursor_timer)) TransponderState.digit_cursor = 0;
}

void TcasModeApply() {
    const int32_t mode = TransponderState.mode;
    if (mode == TransponderState.mode_seen) return;
    if (mode >= 0 && mode < kTransponderModes) {
        const TransponderModeEntry& entry = TransponderModeTable[mode];
        TransponderState.display_mode = entry.display_mode;
        TransponderState.tcas_mode = entry.tcas_mode;
    }
    TransponderCodePtr = mode == 5 ? TransponderVfrCodeText : TransponderCodeText;
    TransponderState.mode_seen = mode;
    RefreshCountdown[1] = RefreshHoldCount;
}

void TcasCodeEncode() {
    const char* c = TransponderCodePtr;
    uint16_t bcd = 0;
    for (int i = 0; i < 4; ++i) {
        bcd = static_cast<uint16_t>(bcd * 16 + static_cast<uint16_t>(c[i] - '0'));
    }
    TransponderCodeBcd = bcd;
}

void TcasCompute() {
    TcasIdentCountdown();
    TcasTestCountdown();
    TcasCursorCountdown();
    TcasModeApply();
    TcasCodeEncode();
}

}  // namespace zu
