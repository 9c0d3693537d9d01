#include "core/air_data.h"

#include <cstdio>

#include "core/electrical_system.h"
#include "core/flight_guidance_annunciation.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
#include "zu/platform/ini_file.h"

namespace zu {

AltimeterBaroSettingRecord Altimeter1Baro = {1013.25f, 29.92f, 12};
AltimeterBaroSettingRecord Altimeter2Baro = {1013.25f, 29.92f, 12};
float BaroAltitude1 = 0.0f;
float BaroAltitude2 = 0.0f;
int32_t AdcTestTimer1 = 0;
int32_t AdcTestTimer2 = 0;
int32_t CvrTestTimer = 0;
uint8_t CvrTestDone = 1;
int32_t AdcTestSwitch = 0;
int32_t AIRDATA_comp_selected_alt = 0;

ClockStateRecord Clock1State = {};
ClockStateRecord Clock2State = {};

namespace {

constexpr int32_t kAirDataTestShowAbove = 64;

float BaroAltitude(const AltimeterBaroSettingRecord& setting, int32_t test_timer) {
    if (test_timer > kAirDataTestShowAbove) return kAirDataTestAltitude;
    return static_cast<float>(PressureAltitude - (1013.25 - setting.hpa) * kFeetPerHpa);
}

// Recorder test, every 8th tick.
void RecorderTestStep() {
    const bool powered = BusPowered.get(kPoweredLeftEssential) != 0;
    if (OnGround != 0 && powered) {
        if (CvrTestTimer == 1) RefreshCountdown[1] = 25;
    } else {
        CvrTestTimer = 1;
        RefreshCountdown[1] = 25;
    }
    CountdownTick(&CvrTestTimer);
    if (CvrTestTimer >= 2) {
        CvrTestDone = 0;
    } else {
        CvrTestDone = 1;
        CvrTestTimer = 0;
    }
}

void BaroAltitudesUpdate() {
    if (BusPowered.get(kPoweredLeftEssential) != 0) {
        BaroAltitude1 = BaroAltitude(Altimeter1Baro, AdcTestTimer1);
    }
    if (BusPowered.get(kPoweredRightMainDc) != 0) {
        BaroAltitude2 = BaroAltitude(Altimeter2Baro, AdcTestTimer2);
    }
}

// Seconds, minutes, hours with their carries; 24 hours wrap to 0.
void CarryTime(int32_t (&t)[3]) {
    if (t[0] >= 60) {
        t[0] -= 60;
        ++t[1];
    }
    if (t[1] >= 60) {
        t[1] -= 60;
        ++t[2];
    }
    if (t[2] >= 24) t[2] = 0;
}

void ClockTimeOfDay(ClockStateRecord& c) {
    c.time_of_day[0] = SimClockUtc[0];
    c.time_of_day[1] = SimClockUtc[1];
    c.time_of_day[2] = SimClockUtc[2];
}

void ClockElapsed(ClockStateRecord& c) {
    if (OnGround == 0) ++c.elapsed[0];
    CarryTime(c.elapsed);
}

void ClockChronometer(ClockStateRecord& c) {
    if (c.chrono_control == 1) {
        ++c.chrono[0];
    } else if (c.chrono_control == -1) {
        c.chrono_control = 0;
        c.chrono[0] = c.chrono[1] = c.chrono[2] = 0;
        if (BusPowered.get(kPoweredRightMainDc) == 0 && BusPowered.get(kPoweredLeftMainDc) == 0) {
            c.elapsed[0] = c.elapsed[1] = c.elapsed[2] = 0;
        }
        RefreshCountdown[4] = 37;
    }
    CarryTime(c.chrono);
}

void FormatTwoDigits(char (&text)[4], int32_t v) {
    std::snprintf(text, sizeof text, "%02d", static_cast<int>(v % 100 < 0 ? 0 : v % 100));
}

void ClockDisplay(ClockStateRecord& c) {
    const int32_t* shown = nullptr;
    switch (c.display_mode) {
        case 0:
            shown = c.time_of_day;
            break;
        case 1:
            shown = c.elapsed;
            break;
        case 2:
            shown = c.chrono;
            break;
        default:
            return;
    }
    for (int i = 0; i < 3; ++i) FormatTwoDigits(c.texts[i], shown[i]);
}

void ClockSetRequest(ClockStateRecord& c, uint8_t& pending) {
    pending = 255;
    if (c.set_control == -1 && c.time_of_day[0] < 50) {
        pending = static_cast<uint8_t>(c.time_of_day[0] + 1);
    } else if (c.set_control == 1) {
        pending = c.entered_value;
    }
}

}  // namespace

void AirDataUpdate() {
    const uint32_t rate = FrameChangeBits.load(std::memory_order_acquire);
    PfdAdvisoriesUpdate();
    if (rate & 0x08) RecorderTestStep();
    CountdownTick(&AdcTestTimer1);
    CountdownTick(&AdcTestTimer2);
    BaroAltitudesUpdate();
}

void ClockUpdate(int index) {
    if (index < 0 || index > 1) return;
    ClockStateRecord& c = index == 0 ? Clock1State : Clock2State;
    uint8_t& pending = ClockSetBytes[index];
    if (pending != 255 || SimClockUtc[0] == c.last_second) return;
    ClockTimeOfDay(c);
    ClockElapsed(c);
    ClockChronometer(c);
    ClockDisplay(c);
    ClockSetRequest(c, pending);
    c.display_bright = c.second_control == -1 ? 1 : 0;
    c.last_second = SimClockUtc[0];
}

bool AirDataStateSave(const char* path) {
    return platform::WritePrivateProfileStruct("zodudori", "AIRDATA_comp_selected_alt",
                                               &AIRDATA_comp_selected_alt,
                                               sizeof AIRDATA_comp_selected_alt, path);
}

int32_t AltimeterShownAltitude1 = 0;
int32_t AltimeterShownAltitude2 = 0;

}  // namespace zu
