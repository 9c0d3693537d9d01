// Fire protection: two detection loops per engine, the detection test, the
// extinguisher (squib) test, the fire handles with their bottles, and the
// lamps of the fire panel.
//
// FireProtectionUpdate runs on every second systems tick. Fires come only
// from the instructor's "Fire" engine failure (value 8 of the engine
// failure words); the fire panel's handlers write the request words.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zu {

// The fire panel's lamp words, in the order the panel captions them.
enum FireLamp : int {
    kFireLampLoopFault1A = 0,  // loop-fault lamps: engine 1 loop A, loop B,
    kFireLampLoopFault1B,      //   engine 2 loop A, loop B
    kFireLampLoopFault2A,
    kFireLampLoopFault2B,
    kFireLampBottle1Engine1,  // extinguisher available: engine-1 handle
    kFireLampBottle2Engine1,  //   bottle 1 and 2, engine-2 handle bottle 1 and 2
    kFireLampBottle1Engine2,
    kFireLampBottle2Engine2,
    kFireLampHandle1Pulled,  // handle-position lamps
    kFireLampHandle1In,
    kFireLampHandle2Pulled,
    kFireLampHandle2In,
    kFireLampCount
};

struct FireProtectionStateRecord {
    // The 22 words the fire panel reads and writes, in this order.
    int32_t Lamp[kFireLampCount];      // non-zero = lit
    int32_t ExtinguisherSelector[2];   // 0 centre, 1 or 2 = the bottle to discharge
    int32_t FireHandle[2];             // 0 in, non-zero pulled
    int32_t HandleLight[2];            // the engine fire warnings
    int32_t DetectionTestSelector;     // 0 off, 1 engine 1, 2 engine 2
    int32_t ExtinguisherTestSelector;  // 0 off, 1 or 2 = which test lamp
    int32_t LoopSelector[2];           // 0 both loops, 1 loop A, 2 loop B inhibited
    // Detection per engine and loop ([e][0] loop A, [e][1] loop B).
    uint8_t LoopFire[2][2];
    uint8_t LoopHealthy[2][2];  // 1 = healthy
    // Bottle charge per handle and bottle (1 charged, 0 discharged).
    uint8_t Charge[2][2];
    uint8_t HandleArmed[2];
    uint8_t SquibTest[2];
    int32_t FlashPhase;  // 0 / 1
};
static_assert(offsetof(FireProtectionStateRecord, LoopSelector) == 20 * 4);
static_assert(offsetof(FireProtectionStateRecord, LoopFire) == 22 * 4);
extern FireProtectionStateRecord FireProtectionState;

// Fire warning per engine (non-zero while a loop detects a fire and the
// right essential bus is powered).
extern uint8_t EngineFireWarning[2];

// Any-fire: an engine fire warning with the left essential bus powered.
extern int32_t FireWarningActive;

// Set to 1 by a click on the master fire warning light; the fire-protection
// step resets it when the fire warning ends.
extern uint8_t FireWarningAck;

// Fuel feed per engine (1 open, 0 shut off by the fire handle); the
// powerplant cuts the engine's fuel when it is 0.
extern uint8_t EngineFuelFeed[2];

// Counted down by the extinguisher test; set by the test selector (7 / 0).
extern int32_t FireTestCountdown;
// Armed with 20 while a fire or loop fault shows; the fire panel refreshes
// while it runs.
extern int32_t FireRefreshCountdown;

// The instructor's fire bit in the engine failure words.
inline constexpr int32_t kEngineFailureFire = 8;

void FireProtectionUpdate();

}  // namespace zu
