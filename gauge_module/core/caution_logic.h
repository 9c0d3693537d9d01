// The caution light array that every system writes and the caution panels
// show, the electrical caution lights, and the master caution and master
// warning logic that watches the whole array.
//
// The array holds 14 columns of 9 rows: the light in row r (0..8) and
// column c (0..13) is element r + 9 c. Rows 0 to 5 are cautions, row 6 the
// warnings; rows 7 and 8 never light. A state is 0 for off and non-zero for
// on: the electrical logic writes 1, other systems write 255. The logic runs
// inside the electrical step of every tick, after the bus voltages and
// before the electrical change detection; lights that other systems write
// later in a tick are seen on the next pass.
#pragma once

#include <cstdint>

namespace zu {

inline constexpr int kCautionRows = 9;
inline constexpr int kCautionColumns = 14;
inline constexpr int kCautionLights = kCautionRows * kCautionColumns;  // 126
inline constexpr int kWarningRow = 6;

constexpr int CautionIndex(int row, int column) {
    return row + kCautionRows * column;
}

extern uint32_t CautionLightArray[kCautionLights];

// A system's lamp in the array: 255 lit, 0 dark.
inline void SetCautionLight(int row, int column, bool on) {
    CautionLightArray[CautionIndex(row, column)] = on ? 255u : 0u;
}

// One latch per warning column: set by the caution panels when that warning
// comes on, cleared by the master warning acknowledge.
extern int32_t CautionLatch[kCautionColumns];

// The electrical caution lights, "EMER LTS DISARMED", the master caution and
// master warning flags with their acknowledge, and the cabin-sign copy.
void CautionLogicUpdate();

}  // namespace zu
