#include "core/ice_protection.h"

#include <algorithm>

#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/host_panel_services.h"
#include "core/powerplant.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"

namespace zu {

int32_t Antiice_sys_pitot1_ice_sw = 0;
int32_t Antiice_sys_pitot2_ice_sw = 0;

constinit IceProtectionStateRecord IceProtectionState = [] {
    IceProtectionStateRecord s{};
    s.BootStep = -1;
    s.PropStep = -1;
    s.WindshieldTemperature = 15.0f;
    return s;
}();

namespace {

IceProtectionStateRecord& I = IceProtectionState;

constexpr int32_t kBootStepPasses = 5;
constexpr int32_t kBootWaitMode1 = 204;
constexpr int32_t kBootWaitMode2 = 24;
// Boot pairs inflated at each step of the sequence.
constexpr int kBootPair[6][2] = {{5, 12}, {6, 11}, {7, 10}, {8, 9}, {2, 3}, {1, 4}};
// Share of each boot's bleed taken from side 1 (the rest from side 2).
constexpr double kBootSideWeight[kBootOutputs] = {1, 1, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0};
constexpr float kWindshieldOverheat = 90.0f;

bool Bus(BusPoweredByte b) {
    return BusPowered.get(b) != 0;
}
bool LeftVariableAc() {
    return AcBusPowered.get(1) != 0;
}
bool RightVariableAc() {
    return AcBusPowered.get(0) != 0;
}
bool Airborne() {
    return OnGround == 0;
}

// 1. Loads start from 0.
void ClearLoadsStep() {
    for (int i = 0; i < 2; ++i) {
        I.AcLoadFactor[i] = 0.0f;
        I.DcLoadFactor[i] = 0.0f;
        I.TruLoadFactor[i] = 0.0f;
    }
}

// 2. De-ice pressure per side from the engines' bleed.
void DeicePressureStep() {
    for (int i = 0; i < 2; ++i) {
        const int32_t bleed = EngineAirValue[i];
        I.DeicePressure[i] = static_cast<float>(bleed > 17 ? 18 : bleed);
    }
    if (I.IsolationSwitch == 0) {
        const float larger = std::max(I.DeicePressure[0], I.DeicePressure[1]);
        I.DeicePressure[0] = I.DeicePressure[1] = larger;
    }
}

// 3. Boot sequencer: six steps, then the cycle's wait.
void BootSequencerStep() {
    const bool runs = Bus(kPoweredLeftSecondary) && I.BootMode > 0 &&
                      !(I.ManualBootSelector > 2 && Bus(kPoweredRightSecondary));
    if (!runs) {
        I.BootStep = -1;
        I.BootTimer = 0;
        I.BootWait = 0;
        return;
    }
    if (I.BootWait == 0 && --I.BootTimer < 0) {
        ++I.BootStep;
        I.BootTimer = kBootStepPasses;
        if (I.BootStep > 5) {
            I.BootStep = -1;
            I.BootTimer = 0;
            I.BootWait = I.BootMode == 1 ? kBootWaitMode1 : kBootWaitMode2;
        }
    }
    if (I.BootWait > 0) {
        I.BootStep = -1;
        --I.BootWait;
    }
}

// 4. Boot outputs: the step's pair. The manual selector sets the
// sequencer's step itself, so its pair is held and the automatic cycle
// resumes from there when the selector returns.
void BootOutputStep() {
    std::fill(std::begin(I.BootOutput), std::end(I.BootOutput), 0);
    if (!Bus(kPoweredRightSecondary)) return;
    if (I.ManualBootSelector > 1) I.BootStep = I.ManualBootSelector - 2;
    const int32_t step = I.BootStep;
    if (step < 0 || step > 5) return;
    I.BootOutput[kBootPair[step][0]] = 255;
    I.BootOutput[kBootPair[step][1]] = 255;
}

// 5. Pack load words; without bleed pressure no boot inflates.
void PackLoadStep() {
    I.PackLoadWord[0] = I.PackLoadWord[1] = 0;
    for (int k = 0; k < kBootOutputs; ++k) {
        if (I.BootOutput[k] == 0) continue;
        const double w = kBootSideWeight[k];
        I.PackLoadWord[0] = TruncToInt32(w * I.DeicePressure[0] + I.PackLoadWord[0]);
        I.PackLoadWord[1] = TruncToInt32((1.0 - w) * I.DeicePressure[1] + I.PackLoadWord[1]);
    }
    if (I.DeicePressure[0] < kDeicePressureMin && I.DeicePressure[1] < kDeicePressureMin) {
        std::fill(std::begin(I.BootOutput), std::end(I.BootOutput), 0);
    }
}

// 6. Propeller de-ice sequencer (in the air only).
void PropSequencerStep() {
    const int32_t sel = I.AntiIceSelector;
    const bool runs = Bus(kPoweredLeftSecondary) && Airborne() &&
                      (sel < 0 || (sel > 0 && Bus(kPoweredRightSecondary)));
    if (!runs) {
        I.PropStep = -1;
        I.PropTimer = 0;
        I.PropWait = 0;
        return;
    }
    const int32_t magnitude = sel < 0 ? -sel : sel;
    if (I.PropWait == 0) {
        if (--I.PropTimer < 0) {
            I.PropTimer = magnitude == 2 ? 20 : 10;
            ++I.PropStep;
            if (I.PropStep >= 4) {
                I.PropStep = -1;
                I.PropTimer = 0;
                I.PropWait = magnitude == 1 ? 20 : 0;
            }
        }
    }
    if (I.PropWait > 0) --I.PropWait;
}

// 7. Heater outputs and the propeller de-ice test.
void HeaterOutputStep() {
    std::fill(std::begin(I.HeaterOutput), std::end(I.HeaterOutput), 0);
    if (LeftVariableAc() && (I.PropStep == 0 || I.PropStep == 1)) I.HeaterOutput[I.PropStep] = 1;
    if (RightVariableAc() && (I.PropStep == 2 || I.PropStep == 3)) I.HeaterOutput[I.PropStep] = 1;
    if ((FrameChangeBits.load(std::memory_order_relaxed) & 0x80) != 0) {
        CountdownTick(&I.PropTestCountdown);
    }
    const int32_t t = I.PropTestCountdown;
    if (t >= 1 && t <= 4) I.HeaterOutput[4 - t] = 1;  // 1 → B2 .. 4 → A1
    if (t == 0) I.PropTestLamp = 0;
}

// 8. Windshield heat with its overheat latch.
void WindshieldStep() {
    const double oat = AmbientTemperature;
    float& t = I.WindshieldTemperature;
    t = static_cast<float>((t * 100.0 + oat) * 0.00990099);
    if (RightVariableAc() && I.OverheatLatch == 0 && Bus(kPoweredLeftEssential)) {
        if (I.WindshieldMode == 1) {
            I.OverheatLatch = 0;
            t = static_cast<float>((t * 20.0 + oat + 30.0) * 0.04761905);
            I.AcLoadFactor[0] = I.AcLoadFactor[1] = 0.05f;
        } else if (I.WindshieldMode == 2) {
            t = static_cast<float>((t * 16.0 + oat + 15.0) * 0.05882353);
            I.AcLoadFactor[0] = I.AcLoadFactor[1] = 0.1f;
        }
    } else if (I.WindshieldMode < 2) {
        I.OverheatLatch = 0;
    }
    if (t > kWindshieldOverheat) I.OverheatLatch = 1;
}

// 9.-10. Side window, pitot heat, windshield-panel and propeller-heater flags.
void HeatFlagsStep() {
    I.SideWindowHeat =
        Bus(kPoweredLeftSecondary) && I.SideWindowSwitch != 0 && RightVariableAc() ? 1 : 0;
    if (I.SideWindowHeat != 0) {
        I.AcLoadFactor[1] += 0.05f;
        I.AcLoadFactor[0] += 0.06f;
    }
    I.PitotHeatOn[0] = Antiice_sys_pitot1_ice_sw != 0 && Bus(kPoweredLeftMainDc) ? 1 : 0;
    I.PitotHeatOn[1] = Antiice_sys_pitot2_ice_sw != 0 && Bus(kPoweredRightMainDc) ? 1 : 0;
    const bool secondary = Bus(kPoweredLeftSecondary) || Bus(kPoweredRightSecondary);
    I.WindshieldPanelFlag = secondary && I.WindshieldPanelSwitch != 0 ? 1 : 0;
    I.PropHeaterFlag = Bus(kPoweredLeftSecondary) && I.PropHeaterSwitch != 0 ? 1 : 0;
}

// 11. Caution lights.
void CautionStep() {
    const bool low =
        I.DeicePressure[0] < kDeicePressureMin || I.DeicePressure[1] < kDeicePressureMin;
    SetCautionLight(5, 5, Bus(kPoweredLeftSecondary) && low);                  // "DEICE PRESS"
    SetCautionLight(1, 2, I.PitotHeatOn[0] == 0 && Bus(kPoweredLeftMainDc));   // "PITOT HEAT 1"
    SetCautionLight(2, 5, I.PitotHeatOn[1] == 0 && Bus(kPoweredRightMainDc));  // "PITOT HEAT 2"
    SetCautionLight(3, 2, I.WindshieldMode > 0 && I.OverheatLatch != 0);       // "L WSHLD HOT"
}

// 12. One intake bypass door.
void BypassDoor(int side, int32_t step, bool variable_ac, float heater_below) {
    int32_t& pos = I.DoorPosition[side];
    int32_t* lamp = I.DoorLamp[side];
    lamp[kDoorLampClosed] = lamp[kDoorLampHeater] = lamp[kDoorLampOpen] = 0;
    if (I.BypassDoorSwitch[side] == 0) {
        pos = std::min(pos + step, 255);
        if (pos == 255) lamp[kDoorLampOpen] = 255;
        return;
    }
    pos = std::max(pos - step, 0);
    if (pos == 0) lamp[kDoorLampClosed] = 255;
    if (variable_ac && AmbientTemperature < heater_below) {
        lamp[kDoorLampHeater] = 255;
        I.AcLoadFactor[side] += 0.03f;
    }
}

void BypassDoorStep() {
    if (Bus(kPoweredLeftSecondary)) BypassDoor(0, 20, LeftVariableAc(), 9.0f);
    if (Bus(kPoweredRightSecondary)) BypassDoor(1, 24, RightVariableAc(), 10.0f);
}

// 13.-15. Heater switch, pitot and propeller-heater loads.
void LoadStep() {
    if (Bus(kPoweredLeftMainDc) && I.HeaterSwitch != 0) {
        if (Airborne() && RightVariableAc()) {
            I.AcLoadFactor[1] += 0.03f;
        } else if (!Airborne() && Bus(kPoweredRightMainDc)) {
            I.DcLoadFactor[1] = 0.05f;
        }
    }
    if (I.PitotHeatOn[0] != 0) I.DcLoadFactor[0] = 0.1f;
    if (I.PitotHeatOn[1] != 0) I.DcLoadFactor[1] += 0.1f;
    if (I.HeaterOutput[0] != 0 || I.HeaterOutput[1] != 0) I.AcLoadFactor[0] += 0.5f;
    if (I.HeaterOutput[2] != 0 || I.HeaterOutput[3] != 0) I.AcLoadFactor[1] += 0.5f;
    if (I.PropHeaterFlag != 0) {
        I.AcLoadFactor[0] += 0.06f;
        I.AcLoadFactor[1] += 0.06f;
    }
}

// 16. Elevator horn heat lights, with their test.
void HornHeatStep() {
    const bool essential = Bus(kPoweredLeftEssential);
    const bool ac[2] = {LeftVariableAc(), RightVariableAc()};
    for (int side = 0; side < 2; ++side) {
        bool lit = false;
        if (CountdownTick(&I.HornHeatTestCountdown)) lit = true;
        if (Airborne() && !ac[side]) lit = true;
        SetCautionLight(5, side, essential && lit);  // "L/R ELEV HORN HEAT"
    }
}

// 17. Ice timer and the TRU loads of the windshield panel.
void TimerStep() {
    SystemTimers.IceTimer = 1;
    if (I.WindshieldPanelFlag != 0) I.TruLoadFactor[0] = I.TruLoadFactor[1] = 0.3f;
}

}  // namespace

void IceProtectionReset() {
    std::fill(std::begin(I.BootOutput), std::end(I.BootOutput), 0);
    std::fill(std::begin(I.HeaterOutput), std::end(I.HeaterOutput), 0);
}

void IceProtectionUpdate() {
    ClearLoadsStep();
    DeicePressureStep();
    BootSequencerStep();
    BootOutputStep();
    PackLoadStep();
    PropSequencerStep();
    HeaterOutputStep();
    WindshieldStep();
    HeatFlagsStep();
    CautionStep();
    BypassDoorStep();
    LoadStep();
    HornHeatStep();
    TimerStep();
}

}  // namespace zu
