// The traffic system's state and its step on the systems tick. The part
// built here is what the transponder head relies on: every tick
// `TcasCompute` runs the head's countdowns (ident, self-test, digit
// editing), applies the mode table when the selected mode changes (legend,
// TCAS operating mode, which code text is in force) and encodes the code in
// force as BCD for the write batch. The traffic picture (own and intruder
// rates, threats, the advisory request, the range in miles) follows these
// steps on every 4th tick once the traffic displays are built.
#pragma once

#include <cstdint>

namespace zu {

struct TcasStateRecord {
    int32_t range_index;      // 0..3: 5, 10, 20, 40 nm; set by the transponder head
    uint8_t traffic_request;  // a traffic advisory is to be announced
};
extern TcasStateRecord TcasState;

// Ranges of the four range steps, nautical miles.
inline constexpr int32_t kTcasRangeNm[4] = {5, 10, 20, 40};

// What each selected transponder mode (0..7) shows and does.
struct TransponderModeEntry {
    int32_t display_mode;  // mode legend 0..5
    int32_t tcas_mode;     // 0..4
    bool vfr_code;         // the VFR code text is in force
};
inline constexpr int32_t kTransponderModes = 8;
extern const TransponderModeEntry TransponderModeTable[kTransponderModes];

// The traffic step of the systems tick.
void TcasCompute();

// Its steps, in order.
void TcasIdentCountdown();
void TcasTestCountdown();
void TcasCursorCountdown();
void TcasModeApply();
void TcasCodeEncode();

}  // namespace zu
