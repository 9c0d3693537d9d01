#include "core/afcs_messages.h"

#include <atomic>

#include "core/electrical_system.h"
#include "core/flight_guidance_unit.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/shared_maths.h"
#include "core/sound_objects.h"
#include "core/systems_tick.h"

namespace zu {

namespace {

bool AnnunciatorPower() {
    return BusPowered.get(kPoweredRightEssential) != 0;
}

void Redraw() {
    RedrawRequest.store(255, std::memory_order_release);
}

// Step 1: the upper line's time runs out, or a line without a code clears.
void UpperLineTimer(FgcUnit& u) {
    FgcMessageStateRecord& m = u.messages;
    const int32_t code = m.code.load(std::memory_order_acquire);
    if (code == 0) {
        u.upper_line[0] = '\0';
        m.upper_time = 0;
        return;
    }
    if (code < 1 || code > 3) return;
    if (m.upper_time > 0) {
        --m.upper_time;
        Redraw();
    }
    if (m.upper_time < 1) {
        u.upper_line[0] = '\0';
        m.code.store(0, std::memory_order_release);
        m.upper_time = 0;
    }
}

// Step 2.
void LowerLineTimer(FgcUnit& u) {
    FgcMessageStateRecord& m = u.messages;
    if (m.lower_time > 0) {
        --m.lower_time;
        Redraw();
    }
    if (m.lower_time <= 0) {
        m.lower_time = 0;
        u.lower_line[0] = '\0';
    }
}

// Step 3: a new code-3 message blinks (every other pair of ticks) until
// the ID809 acknowledge key turns its code into 2.
void Code3Flag(FgcUnit& u) {
    const bool blink_on = (TickCounter.load(std::memory_order_acquire) & 0x02) != 0;
    u.messages.code3_flag =
        AnnunciatorPower() && u.messages.code.load(std::memory_order_acquire) == 3 && blink_on ? 1
                                                                                               : 0;
}

// Step 4.4: the marks of the running test.
void SelfTestMarks(FgcUnit& u) {
    const int32_t t = u.test_timer;
    if (t > kFgcTestSystemTextAbove) FgcMessageSetLower("SYSTEM TEST", 8);
    if (t == kFgcTestMasterTextAt) FgcMessageSetLower("L AFCS MSTR", 32);
    if (t == kFgcTestPusherSoundAt1 || t == kFgcTestPusherSoundAt2) {
        FgcPlayOnce(kSoundStickPusherInit);
    }
    if (t == kFgcTestAfcsSoundAt && !FgcPlayOnce(kSoundElectricsInit)) return;
    if (t < kFgcTestAhrsHoldBelow) u.ahrs->align_countdown = 5;
    if (t == 1) {
        u.ahrs->align_countdown = 0;
        u.ahrs->gyro_mode = 0;
    }
}

// Step 4.
void SelfTest(FgcUnit& u) {
    const bool power = AnnunciatorPower();
    if (!power) u.test_timer = kFgcTestTicks;
    if (u.test_timer > 0) {
        --u.test_timer;
        Redraw();
    }
    if (OnGround == 0) u.test_timer = 0;
    if (power && u.test_timer > 0) SelfTestMarks(u);
    if (u.test_timer == 0 && u.ahrs->align_countdown != 0) FgcMessageSetLower("AHRS TEST", 1);
}

void AfcsSelfTest(FgcUnit u) {
    UpperLineTimer(u);
    LowerLineTimer(u);
    Code3Flag(u);
    SelfTest(u);
}

}  // namespace

void AfcsSelfTest1() {
    AfcsSelfTest(FgcUnit1());
}

void AfcsSelfTest2() {
    AfcsSelfTest(FgcUnit2());
}

}  // namespace zu
