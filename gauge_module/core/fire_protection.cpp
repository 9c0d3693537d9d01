#include "core/fire_protection.h"

#include "cabin_link/instructor_state_exchange.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/shared_maths.h"

namespace zu {

constinit FireProtectionStateRecord FireProtectionState = [] {
    FireProtectionStateRecord s{};
    for (auto& handle : s.Charge) handle[0] = handle[1] = 1;
    return s;
}();
uint8_t EngineFireWarning[2] = {0, 0};
int32_t FireWarningActive = 0;
uint8_t FireWarningAck = 0;
uint8_t EngineFuelFeed[2] = {1, 1};
int32_t FireTestCountdown = 0;
int32_t FireRefreshCountdown = 0;

namespace {

constexpr int32_t kFireRefreshArm = 20;

FireProtectionStateRecord& F = FireProtectionState;

bool LeftEssential() {
    return BusPowered.get(kPoweredLeftEssential) != 0;
}
bool RightEssential() {
    return BusPowered.get(kPoweredRightEssential) != 0;
}

// 1. Per-pass outputs start clear, the loops healthy.
void ResetStep() {
    for (int i = kFireLampHandle1Pulled; i <= kFireLampHandle2In; ++i) F.Lamp[i] = 0;
    for (auto& engine : F.LoopHealthy) engine[0] = engine[1] = 1;
    F.SquibTest[0] = F.SquibTest[1] = 0;
}

// 2. The instructor's fires (both loops see them, step 4).
void DetectionStep() {
    F.LoopFire[0][0] = (EngineFailureWord1 & kEngineFailureFire) != 0 ? 1 : 0;
    F.LoopFire[1][0] = (EngineFailureWord2 & kEngineFailureFire) != 0 ? 1 : 0;
}

// 3. Fire-detection test.
void DetectionTestStep() {
    if (!LeftEssential()) return;
    const int32_t test = F.DetectionTestSelector;
    if (test != 1 && test != 2) return;
    const int e = test - 1;
    F.LoopHealthy[e][0] = F.LoopHealthy[e][1] = 0;
    F.LoopFire[e][0] = 1;
}

// 4. Loop B sees what loop A sees.
void LoopBStep() {
    for (auto& engine : F.LoopFire) engine[1] = engine[0];
}

// 5. Extinguisher test: the squib lamp once the countdown has run out.
void ExtinguisherTestStep() {
    const int32_t test = F.ExtinguisherTestSelector;
    if (!RightEssential() || (test != 1 && test != 2)) return;
    if (FireTestCountdown > 0) {
        CountdownTick(&FireTestCountdown);
        return;
    }
    F.SquibTest[test - 1] = 1;
}

// 6. Loop selectors: the selected loop is inhibited (healthy, no fire).
void LoopSelectorStep() {
    for (int e = 0; e < 2; ++e) {
        const int32_t select = F.LoopSelector[e];
        if (select != 1 && select != 2) continue;
        F.LoopHealthy[e][select - 1] = 1;
        F.LoopFire[e][select - 1] = 0;
    }
}

// 7.-10. Warnings, fuel feed, handles armed, bottle discharge.
void HandleStep() {
    for (int e = 0; e < 2; ++e) {
        EngineFireWarning[e] =
            RightEssential() && (F.LoopFire[e][0] != 0 || F.LoopFire[e][1] != 0) ? 1 : 0;
        EngineFuelFeed[e] = F.FireHandle[e] == 0 ? 1 : 0;
    }
    F.HandleArmed[0] = F.FireHandle[0] != 0 && LeftEssential() ? 1 : 0;
    F.HandleArmed[1] = F.FireHandle[1] != 0 && RightEssential() ? 1 : 0;
    for (int e = 0; e < 2; ++e) {
        const int32_t bottle = F.ExtinguisherSelector[e];
        if ((bottle == 1 || bottle == 2) && F.HandleArmed[e] != 0 && RightEssential()) {
            F.Charge[e][bottle - 1] = 0;
        }
    }
}

// 11. Warning words, any-fire and "CHECK FIRE DET".
void WarningStep() {
    F.HandleLight[0] = EngineFireWarning[0];
    F.HandleLight[1] = EngineFireWarning[1];
    FireWarningActive =
        (EngineFireWarning[0] != 0 || EngineFireWarning[1] != 0) && LeftEssential() ? 1 : 0;
    CautionLightArray[CautionIndex(6, 5)] = static_cast<uint32_t>(FireWarningActive);
}

// 12. Flash phase; the master caution acknowledge makes it steady.
void FlashStep() {
    if (FireWarningActive == 0) {
        F.FlashPhase = 0;
        FireWarningAck = 0;
        return;
    }
    F.FlashPhase ^= 1;
    if (MasterCautionAck.get() != 0) F.FlashPhase = 1;
}

// 13.-15. Loop-fault, handle-position and extinguisher-available lamps.
void LampStep() {
    for (int e = 0; e < 2; ++e) {
        for (int loop = 0; loop < 2; ++loop) {
            F.Lamp[kFireLampLoopFault1A + 2 * e + loop] =
                F.LoopHealthy[e][loop] == 0 && LeftEssential() ? 1 : 0;
        }
    }
    if (RightEssential()) {
        F.Lamp[kFireLampHandle1Pulled] = F.FireHandle[0] != 0 ? 1 : 0;
        F.Lamp[kFireLampHandle1In] = F.FireHandle[0] == 0 ? 1 : 0;
        if (F.FireHandle[1] == 0) {
            F.Lamp[kFireLampHandle2In] = 2;
        } else {
            F.Lamp[kFireLampHandle2Pulled] = 2;
        }
    }
    for (int e = 0; e < 2; ++e) {
        for (int b = 0; b < 2; ++b) {
            F.Lamp[kFireLampBottle1Engine1 + 2 * e + b] =
                F.HandleArmed[e] != 0 && F.Charge[e][b] != 0 && LeftEssential() ? 1 : 0;
        }
    }
}

// 16.-17. "SMOKE" from the squib test; the panel's refresh.
void SmokeAndRefreshStep() {
    const bool squib = F.SquibTest[0] != 0 || F.SquibTest[1] != 0;
    CautionLightArray[CautionIndex(6, 4)] = squib && RightEssential() ? 1u : 0u;
    bool fault = false;
    for (int i = kFireLampLoopFault1A; i <= kFireLampLoopFault2B; ++i) fault |= F.Lamp[i] != 0;
    if (FireWarningActive != 0 || fault) FireRefreshCountdown = kFireRefreshArm;
}

}  // namespace

void FireProtectionUpdate() {
    ResetStep();
    DetectionStep();
    DetectionTestStep();
    LoopBStep();
    ExtinguisherTestStep();
    LoopSelectorStep();
    HandleStep();
    WarningStep();
    FlashStep();
    LampStep();
    SmokeAndRefreshStep();
}

}  // namespace zu
