// The module's two paces: the 64 ms systems tick `SystemsTick`, which
// advances the aircraft systems in a fixed order on the timer thread, and
// the per-frame host pass `MaingaugeProc`, which moves data between the
// simulator and the module on the gauge thread.
//
// Each pass keeps a counter and a rate mask: bit k of the mask is set exactly
// when the counter is a multiple of 2^k, so a step that tests 0x02 runs every
// 2nd pass, 0x04 every 4th, 0x10 every 16th (0x20 every 32nd, 0x40 every
// 64th). The mask is the counter XOR its previous value, which keeps the
// rule across the 32-bit wrap.
#pragma once

#include <atomic>
#include <cstdint>

namespace zu {

// Systems tick counter and rate mask. Written by the tick; gauges read them
// (blinking, click acceleration) from the gauge thread.
extern std::atomic<uint32_t> TickCounter;
extern uint32_t TickCounterPrevious;
extern std::atomic<uint32_t> FrameChangeBits;

// Host pass counter and rate mask (gauge thread only).
extern uint32_t HostPassCounter;
extern uint32_t HostPassCounterPrevious;
extern uint32_t HostPassChangeBits;

// Countdown of an instructor-driven repositioning (armed with 750 by the
// instructor link on the tick). While it is above 0 the host pass does not
// read the simulator but pushes position and attitude to it; the host pass
// takes 2 off it per frame.
extern std::atomic<int32_t> RemoteDisplayCountdown;

// Hand-over between the tick's powerplant steps and the host pass's key
// events: the tick sets it to 1 after the powerplant steps; the key-event
// step sends the two per-engine values and clears it; the tick runs the
// propeller-rpm step only while it is 0.
extern std::atomic<uint8_t> PowerplantValuesPending;

// The systems-tick timer callback (arguments unused).
void SystemsTick(uint32_t timer_id, uint32_t message, uintptr_t user_data, uintptr_t reserved1,
                 uintptr_t reserved2);

// The per-frame host pass.
void MaingaugeProc();

}  // namespace zu
