// AFCS messages and self-tests: each FGC step first counts its side's message
// lines down (clearing them when their time runs out) and runs the FGC's
// power-up self-test on the ground: "SYSTEM TEST", "L AFCS MSTR", the AFCS
// and stick-pusher sounds, and the hold of its AHRS's alignment.
#pragma once

#include <cstdint>

namespace zu {

// Test-timer marks, in passes of the 360-pass test.
inline constexpr int32_t kFgcTestTicks = 360;
inline constexpr int32_t kFgcTestSystemTextAbove = 232;
inline constexpr int32_t kFgcTestMasterTextAt = 208;
inline constexpr int32_t kFgcTestAfcsSoundAt = 350;
inline constexpr int32_t kFgcTestPusherSoundAt1 = 344;
inline constexpr int32_t kFgcTestPusherSoundAt2 = 328;
inline constexpr int32_t kFgcTestAhrsHoldBelow = 347;
inline constexpr int32_t kFgcTestAdvisoryBlankAbove = 222;

void AfcsSelfTest1();
void AfcsSelfTest2();

}  // namespace zu
