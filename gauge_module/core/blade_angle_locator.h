// The propeller blade-angle locator: finds where the simulator keeps its
// engines' blade angles in its own memory, so the blade-angle writers can
// store into them directly as well as through FSUIPC.
//
// The simulator keeps one record per engine, 84 bytes apart, with the blade
// angle (f64 radians) at the same place in each, in the heap that also
// holds the marker value 41909.0. The locator reads the simulator's blade
// angles of engines 1 to 4 (host variables 703, 711, 719, 727), scans the
// heaps for the marker and then, from the marker's heap on, for engine 1's
// value, and accepts the first hit whose three neighbours 84, 168 and 252
// bytes on hold engines 2 to 4's values. It works on every 128th call while
// the FSUIPC link is up, until it has succeeded; the pointers then stay for
// the module's life.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

inline constexpr int kHeapScanMaxHits = 64;
inline constexpr int kLocatorCallPeriod = 128;
inline constexpr double kSimulatorHeapMarker = 41909.0;
inline constexpr int kEngineRecordBytes = 84;

// 0 until the blade angles are found, then 1 for the module's life.
extern uint8_t PropBetaLocated;
// The simulator's engine 1 and engine 2 blade angles (null until found;
// engine 2's lies 84 bytes after engine 1's). Not necessarily aligned.
extern uint8_t* PropBladeAnglePointer[2];

// Hits of the last scan: address, the index of the heap it lies in and the
// end of the block it lies in; `count` as the scan keeps it (it stays at 63
// once 64 hits were found, the last entry then holding the latest hit) and
// `stored`, the entries filled.
struct HeapScanResults {
    uint8_t* hit[kHeapScanMaxHits];
    int32_t heap_index[kHeapScanMaxHits];
    uint8_t* block_end[kHeapScanMaxHits];
    int32_t count;
    int32_t stored;
};
extern HeapScanResults HeapScan;

extern uint32_t BladeLocatorCalls;
extern uint32_t BladeLocatorAttempts;

// The simulator's blade angles of engines 1 to 4 (tokens 703, 711, 719, 727).
extern gauge::HostVariable BladeAngleHostVariables[4];

// The locator step of the main gauge's update service.
void fscom_fsmem_initialise();
// Scans the heaps from index max(first_heap, 0) for `value` (8 bytes at any
// byte offset of a busy block, not in the block's last 8 bytes); fills
// HeapScan and returns the first hit, or null.
uint8_t* HeapScanForDouble(int32_t first_heap, double value);
// Stores `angle` into engine `engine`'s (0 or 1) located blade angle; nothing
// while it has not been found.
void StoreLocatedBladeAngle(int engine, double angle);

}  // namespace zu
