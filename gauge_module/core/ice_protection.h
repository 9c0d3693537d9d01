// Ice and rain protection: airframe de-ice boots with their timed
// inflation sequence, propeller de-ice heaters with their own sequence and
// test, windshield and side-window heat with an overheat latch, pitot heat,
// the engine intake bypass doors, elevator horn heat, and the electrical
// load factors the electrical meters and the packs take from them.
//
// IceProtectionUpdate runs on every 16th systems tick; IceProtectionReset
// once at the main gauge's install.
#pragma once

#include <cstdint>

namespace zu {

// Pitot heat switches, 0 off / 255 on (toggled by the anti-ice panel, saved
// with the flight under these names).
extern int32_t Antiice_sys_pitot1_ice_sw;
extern int32_t Antiice_sys_pitot2_ice_sw;

// True for a value a pitot heat switch can hold (0 or 255).
constexpr bool IsPitotSwitchValue(int32_t v) {
    return v == 0 || v == 255;
}

inline constexpr int kBootOutputs = 13;
// Propeller heaters A1, A2 (left variable AC bus), B1, B2 (right).
inline constexpr int kPropHeaters = 4;

struct IceProtectionStateRecord {
    // Panel inputs.
    int32_t BootMode;            // 0 off, 1 and 2 the two cycle modes
    int32_t ManualBootSelector;  // above 1: holds one boot pair (2..7 = pairs 0..5)
    int32_t PropHeaterSwitch;    // 0 / non-zero
    int32_t HornHeatTestCountdown;
    int32_t WindshieldPanelSwitch;  // feeds the TRU load
    int32_t PropTestCountdown;      // propeller de-ice test, 1..4 drive one heater
    int32_t PropTestLamp;
    int32_t IsolationSwitch;  // 0: both sides share the larger de-ice pressure
    int32_t HeaterSwitch;
    int32_t BypassDoorSwitch[2];  // 0 opens the door
    int32_t WindshieldMode;       // 0 off, 1 warm, 2 high
    int32_t SideWindowSwitch;

    float DeicePressure[2];
    int32_t PackLoadWord[2];  // the packs' ice-protection load words

    int32_t BootStep;  // -1 idle, 0..5
    int32_t BootTimer;
    int32_t BootWait;
    int32_t BootOutput[kBootOutputs];  // 0 / 255

    int32_t PropStep;  // -1 idle, 0..3
    int32_t PropTimer;
    int32_t PropWait;
    int32_t HeaterOutput[kPropHeaters];  // 0 / 1

    float WindshieldTemperature;
    int32_t OverheatLatch;  // 0 / 1
    int32_t PitotHeatOn[2];
    int32_t SideWindowHeat;
    int32_t WindshieldPanelFlag;
    int32_t PropHeaterFlag;
    int32_t DoorPosition[2];  // 0 closed .. 255 open
    // Lamp words per door: closed, heater, open (0 / 255).
    int32_t DoorLamp[2][3];

    // Electrical loads, recomputed from 0 on every pass.
    float AcLoadFactor[2];
    float DcLoadFactor[2];
    float TruLoadFactor[2];

    // The anti-ice panel's selector (knob B), -2..+2, stepped by one: the
    // propeller de-ice selector (0 off; the sign picks the side that must be
    // powered, the magnitude the cycle). Any position but 0 also shifts the
    // attitude displays' speed-scale pointer.
    int32_t AntiIceSelector;
    // The panel's three-position switch (-1, 0, +1); its upper position (-1)
    // starts the horn-heat test.
    int32_t HornHeatTestSwitch;
};
extern IceProtectionStateRecord IceProtectionState;

inline constexpr int kDoorLampClosed = 0;
inline constexpr int kDoorLampHeater = 1;
inline constexpr int kDoorLampOpen = 2;

// Bleed pressure below which the boots cannot inflate ("DEICE PRESS").
inline constexpr float kDeicePressureMin = 5.5f;

void IceProtectionReset();
void IceProtectionUpdate();

}  // namespace zu
