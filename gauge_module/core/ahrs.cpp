#include "core/ahrs.h"

#include <cmath>

#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/shared_maths.h"

namespace zu {

namespace {

constexpr AhrsRecord MakeAhrs() {
    AhrsRecord r{};
    r.align_countdown = kAhrsAlignTicks;
    r.fine_align_countdown = kAhrsFineAlignTicks;
    return r;
}

double WrapDegrees(double d) {
    d = std::fmod(d, 360.0);
    if (d < 0.0) d += 360.0;
    if (d >= 360.0) d -= 360.0;
    return d;
}

void SetValid(AhrsRecord& a, uint8_t v) {
    for (uint8_t& b : a.valid) b = v;
}

// Step 1: flags recomputed each pass.
void AhrsClearFlags(AhrsRecord& a) {
    a.test = AirDataFlags[0] != 0 ? 1 : 0;
    SetValid(a, 0);
    a.powered = 0;
    a.standby = 0;
}

// Step 2: power. False when neither bus is on (the AHRS is reset).
bool AhrsPower(AhrsRecord& a) {
    const bool main_bus = BusPowered.get(kPoweredLeftEssential) != 0;
    const bool standby_bus = BusPowered.get(kPoweredRightEssential) != 0;
    if (!main_bus && !standby_bus) {
        a.aligned = 0;
        a.align_countdown = kAhrsAlignTicks;
        a.fine_align_countdown = kAhrsFineAlignTicks;
        a.gyro_mode = 0;
        a.spare_flag = 0;
        a.fast_align_request = 0;
        return false;
    }
    if (!main_bus) a.standby = 1;
    a.powered = 1;
    return true;
}

// Step 3: a fast-align request shortens the first countdown.
void AhrsFastAlign(AhrsRecord& a) {
    if (a.fast_align_request == 0) return;
    if (a.align_countdown == 0) {
        a.align_countdown = 30;
    } else if (a.align_countdown >= 1 && a.align_countdown <= 4) {
        a.align_countdown = 5;
    }
}

// Step 4: the three coarse align phases.
void AhrsCoarseAlign(AhrsRecord& a) {
    if (a.align_countdown <= 0) return;
    a.redraw_countdown = 40;
    if (a.align_countdown >= 21) {
        a.heading = WrapDegrees(a.heading - 0.75);
        a.bank = BankAttitude - 20.0;
        a.pitch = PitchAttitude - 10.0;
        a.gyro_mode = 0;
        SetValid(a, 1);
    } else if (a.align_countdown >= 11) {
        a.gyro_mode = 1;
        a.heading = WrapDegrees(a.heading - 0.75);
        a.test = 1;
    } else {
        a.gyro_mode = 0;
        SetValid(a, 1);
    }
    --a.align_countdown;
}

// Step 5: fine align.
void AhrsFineAlign(AhrsRecord& a) {
    if (a.align_countdown != 0 || a.fine_align_countdown <= 0 || a.aligned != 0) return;
    --a.fine_align_countdown;
    SetValid(a, 1);
    a.test = 1;
    if (a.fine_align_countdown == 0) a.aligned = 1;
}

// Step 6: aligned, slaved or directional gyro.
void AhrsAlignedHeading(AhrsRecord& a) {
    if (a.align_countdown != 0 || a.aligned == 0) return;
    const double h = Heading;
    const int32_t word = RoundToInt32(h * kHeadingWordPerDegree);
    if (a.gyro_mode == 0) {
        a.heading_bias = 0.0;
    } else {
        switch (a.slew_switch) {
            case 1:
                a.heading_bias += 0.12;
                break;
            case 2:
                a.heading_bias += 0.5;
                break;
            case -2:
                a.heading_bias -= 0.5;
                break;
            case -1:
                a.heading_bias -= 0.12;
                break;
            default:
                break;
        }
        if (a.heading_bias >= 360.0) a.heading_bias -= 360.0;
        if (a.heading_bias < 0.0) a.heading_bias += 360.0;
    }
    if (h <= 180.0) {
        a.heading_bias -= 0.000185;
    } else {
        a.heading_bias += 0.000185;
    }
    const int32_t sum = RoundToInt32(word + a.heading_bias * kHeadingWordPerDegree);
    const uint16_t new_word = static_cast<uint16_t>(static_cast<uint32_t>(sum) & 0xFFFFu);
    a.heading_ahead = (h + 0.1 < a.heading) ? 1 : 0;
    a.heading = new_word * kHeadingWordDegrees;
    a.pitch = PitchAttitude;
    a.bank = BankAttitude;
}

// Step 7.
void AhrsRedraw(AhrsRecord& a) {
    // The record is packed: copy the countdown out rather than point into it.
    int32_t countdown = a.redraw_countdown;
    CountdownTick(&countdown);
    a.redraw_countdown = countdown;
}

}  // namespace

AhrsRecord Ahrs1 = MakeAhrs();
AhrsRecord Ahrs2 = MakeAhrs();
AhrsRecord* const AhrsSource1 = &Ahrs1;
AhrsRecord* const AhrsSource2 = &Ahrs2;

void AhrsUpdate(AhrsRecord& ahrs) {
    AhrsClearFlags(ahrs);
    if (AhrsPower(ahrs)) {
        AhrsFastAlign(ahrs);
        AhrsCoarseAlign(ahrs);
        AhrsFineAlign(ahrs);
        AhrsAlignedHeading(ahrs);
    }
    AhrsRedraw(ahrs);
}

void AhrsSetAligned(AhrsRecord& ahrs) {
    ahrs.aligned = 1;
    ahrs.align_countdown = 0;
    ahrs.redraw_countdown = 0;
}

double LongitudinalAccelFiltered = 0.0;
float LongitudinalAccelLastIas = 0.0f;

}  // namespace zu
