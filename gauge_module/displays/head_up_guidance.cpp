#include "displays/head_up_guidance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cabin_link/instructor_state_exchange.h"
#include "core/autopilot_control_laws.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/radio_altitude_alerting.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
#include "displays/hgs_runway_projection.h"

namespace zu {

int32_t HGS_HGS_actual_mode = 0;
int32_t HGS_HGS_stby_mode = 0;
int32_t HGS_HGS_elevation_set = 543;
float HGS_HGS_gs_slope_angle = -3.0f;
std::atomic<int32_t> HgsDigitKey{-1};
int32_t HgsPitchCompression = 1;
int32_t HgsBlinkCounter = 8;
int32_t HgsEntryLength = -1;
char HgsEntryText[kHgsEntryTextSize] = "            ";
int32_t HgsPanelBrightness = 200;
int32_t RasuBrightness = 200;
int32_t HGS_RASU_speed = 55;
double HgsPitchCommandFactor = 1.0;

uint8_t HgsPowered = 0;
uint8_t HgsBothIls = 0;
uint8_t HgsAiiiAvailable = 0;
uint8_t HgsAiiiArmed = 0;
uint8_t HgsApproachWarning = 0;
uint8_t HgsElevationEntry = 0;
uint8_t HgsSlopeEntry = 0;
uint8_t HgsEntryTyped = 0;
int32_t HgsWindVectorVisible = 0;
uint8_t HgsIdleMessage = 0;

HgsKeyPressRecord HgsKeyPress{};
int32_t HgsLayoutLimits[4] = {260, 128, 841, 552};

double HgsFpsX = 0.0;
double HgsFpsY = 0.0;
int32_t HgsFpsLimited = 0;
double HgsGsLineY = 0.0;
double HgsLateralDeviation = 0.0;
double HgsVerticalDeviation = 0.0;
double HgsGroundLocLineX = 0.0;
double HgsAccelCueY = 0.0;
double HgsFdCueX = 0.0;
double HgsFdCueY = 0.0;
double HgsFlareCueY = 0.0;
double HgsGsPointer = 0.0;

int32_t HgsFlareArmed = 0;
int32_t HgsFlareActive = 0;
int32_t HgsIdleTimer = 0;
double HgsFlareSinkRef = 0.0;
double HgsFlareCommand = 0.0;
double HgsFlarePitchTarget = 0.0;
uint8_t HgsAiiiPresetLatch = 0;
uint8_t HgsGoAroundLatch = 0;
uint8_t HgsOnGroundPrevious = 0;

double HgsBankMatrix[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

int32_t HgsRunwayScreenPoints[kHgsRunwayPoints][2] = {};

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
constexpr double kRadToDeg = 180.0 / 3.14159265358979323846;
constexpr double kFeetPerMetre = 3.2857;
constexpr double kAngleWordToDegrees = 360.0 / 65536.0;
// Glideslope needle byte to pointer units (1 / 42.1).
constexpr double kGlideslopeNeedleScale = 0.023752969121140142;
// The preset of the standby mode to AIII holds the panel's refresh twice as
// long as a key.
constexpr int32_t kAiiiPresetHold = 2 * RefreshHoldCount2;
constexpr int32_t kGroupHgs = 2;  // RefreshCountdown group of the annunciator

// Guidance laterals: the localiser course mode and the glideslope mode of
// FGC 1, and the modes under which the head-up cues are not flown.
constexpr int32_t kLateralLocalizer = 6;
constexpr int32_t kVerticalGlideslope = 4;
constexpr int32_t kLateralNone = 7;
constexpr int32_t kVerticalNone = 5;

bool Airborne() {
    return OnGround == 0;
}

// The record the side-1 instruments fly (index held to the table).
const NavSourceRecord& Selected() {
    const int32_t i = NavSourceSel1 >= 0 && NavSourceSel1 < kNavSourceCount ? NavSourceSel1 : 0;
    return NavSources[i];
}

bool Take(std::atomic<uint8_t>& key) {
    return key.exchange(0, std::memory_order_acq_rel) != 0;
}

double Finite(double v) {
    return std::isfinite(v) ? v : 0.0;
}

// A receiver's lateral deviation in its byte form 0..255, read signed.
double SignedDeviation(double v) {
    v = Finite(v);
    return v > 127.0 ? v - 256.0 : v;
}

void ArmHgsGroup(int32_t count) {
    RefreshCountdown[kGroupHgs] = count;
}

// --- Mode logic ---------------------------------------------------------------

// Steps from the standby mode to the next one the crew may pre-select: not
// the active mode, and AIII only while it is available.
void AdvanceStandby() {
    ArmHgsGroup(RefreshHoldCount2);
    int32_t candidate = HGS_HGS_stby_mode;
    for (int step = 0; step < 16; ++step) {
        candidate =
            candidate >= kHgsModeVmc || candidate < kHgsModePri ? kHgsModePri : candidate + 1;
        if (candidate == HGS_HGS_actual_mode) continue;
        if (candidate == kHgsModeAiii && HgsAiiiAvailable == 0) continue;
        HGS_HGS_stby_mode = candidate;
        return;
    }
}

void StartModes() {
    if (HGS_HGS_stby_mode == kHgsModeNone) HGS_HGS_stby_mode = kHgsModePri;
    if (HGS_HGS_actual_mode == kHgsModeNone) {
        HGS_HGS_actual_mode = kHgsModePri;
        HGS_HGS_stby_mode = kHgsModeImc;
    }
}

void TakeOffTransition() {
    const auto on_ground = static_cast<uint8_t>(OnGround);
    if (on_ground != HgsOnGroundPrevious && on_ground == 0 && HGS_HGS_actual_mode != kHgsModePri) {
        HGS_HGS_actual_mode = kHgsModePri;
        HGS_HGS_stby_mode = kHgsModeImc;
    }
    HgsOnGroundPrevious = on_ground;
}

void ModeKeys() {
    if (Take(HgsKeyPress.transfer)) {
        HGS_HGS_actual_mode = HGS_HGS_stby_mode;
        AdvanceStandby();
    } else if (Take(HgsKeyPress.cycle)) {
        AdvanceStandby();
    }
}

void AiiiPreset() {
    if (HgsAiiiAvailable == 0) HgsAiiiPresetLatch = 0;
    if (HgsAiiiArmed != 0 && HgsAiiiPresetLatch == 0) {
        HGS_HGS_stby_mode = kHgsModeAiii;
        HgsAiiiPresetLatch = 1;
        ArmHgsGroup(kAiiiPresetHold);
    }
}

void GoAround() {
    if (FgcState != 0 || FgcFlags1[3] != 0) {
        if (HgsGoAroundLatch == 0) {
            HGS_HGS_actual_mode = kHgsModePri;
            HGS_HGS_stby_mode = kHgsModeImc;
            HgsGoAroundLatch = 1;
        }
    } else {
        HgsGoAroundLatch = 0;
    }
}

// The runway the crew entered disagrees with the tuned ILS: its station's
// elevation or its glideslope angle.
bool RunwayDataDisagree() {
    const double station_feet = Nav1StationPosition[2] * kFeetPerMetre;
    if (std::fabs(station_feet - HGS_HGS_elevation_set) > 25.0) return true;
    const double angle =
        NavSources[kNavVor1].glideslope_inclination_copy * kAngleWordToDegrees - 360.0;
    return std::fabs(angle - HGS_HGS_gs_slope_angle) > 0.3;
}

void ApproachWarning() {
    const int32_t ra = RadioAltitudeReadoutValue;
    const bool aiii = HGS_HGS_actual_mode == kHgsModeAiii;
    bool warn = false;
    if (HgsAiiiAvailable == 0 && ra > 55 && aiii) warn = true;
    if ((FGC_comp_AP1_engaged != 0 || FGC_comp_AP2_engaged != 0) && ra < 500 && aiii) warn = true;
    if (ra > 150 && ra < 500 && aiii && RunwayDataDisagree()) warn = true;
    if (!Airborne()) {
        warn = false;
    } else if (warn) {
        ArmHgsGroup(RefreshHoldCount2);
    }
    HgsApproachWarning = warn ? 1 : 0;
}

// --- Key entry --------------------------------------------------------------

void StartEntryText(const char* format, int32_t value) {
    HgsEntryLength = 0;
    std::snprintf(HgsEntryText, sizeof HgsEntryText, format, value);
}

// A digit of the running entry: the first one empties the text.
void EntryDigit(int32_t max_digits) {
    const int32_t digit = HgsDigitKey.load(std::memory_order_acquire);
    if (digit < 0) return;
    if (HgsEntryTyped == 0) {
        std::memset(HgsEntryText, 0, sizeof HgsEntryText);
        HgsEntryLength = 0;
        HgsEntryTyped = 1;
    }
    if (HgsEntryLength < 0) HgsEntryLength = 0;
    if (HgsEntryLength < max_digits && digit <= 9) {
        HgsEntryText[HgsEntryLength] = static_cast<char>('0' + digit);
        ++HgsEntryLength;
        HgsEntryText[HgsEntryLength] = '\0';
    }
    // A key pressed meanwhile is not lost.
    int32_t seen = digit;
    HgsDigitKey.compare_exchange_strong(seen, -1, std::memory_order_acq_rel);
}

void EntryClear() {
    if (!Take(HgsKeyPress.clear)) return;
    HgsEntryLength = HgsEntryLength > 0 ? HgsEntryLength - 1 : 0;
    HgsEntryText[HgsEntryLength] = '\0';
}

void ElevationEntry() {
    if (Take(HgsKeyPress.elevation)) {
        HgsElevationEntry = HgsElevationEntry != 0 ? 0 : 1;
        if (HgsElevationEntry != 0) StartEntryText("%d", HGS_HGS_elevation_set);
    }
    if (HgsElevationEntry == 0) return;
    EntryDigit(kHgsElevationDigits);
    EntryClear();
    if (Take(HgsKeyPress.enter)) {
        if (HgsEntryLength > 0) {
            HGS_HGS_elevation_set = TruncToInt32(std::strtod(HgsEntryText, nullptr));
        }
        HgsElevationEntry = 0;
    }
}

void SlopeEntry() {
    if (Take(HgsKeyPress.slope)) {
        HgsSlopeEntry = HgsSlopeEntry != 0 ? 0 : 1;
        if (HgsSlopeEntry != 0) {
            const int32_t whole = TruncToInt32(HGS_HGS_gs_slope_angle);
            StartEntryText("%3d", whole * -100);
        }
    }
    if (HgsSlopeEntry == 0) return;
    EntryDigit(kHgsSlopeDigits);
    EntryClear();
    if (Take(HgsKeyPress.enter)) {
        if (HgsEntryLength > 0) {
            // Positions not typed read 0: "3" is 3.00, "25" is 2.50.
            char digits[kHgsSlopeDigits + 1] = {'0', '0', '0', '\0'};
            for (int32_t i = 0; i < kHgsSlopeDigits && i < HgsEntryLength; ++i) {
                if (HgsEntryText[i] >= '0' && HgsEntryText[i] <= '9') digits[i] = HgsEntryText[i];
            }
            HGS_HGS_gs_slope_angle = static_cast<float>(-(std::atoi(digits) * 0.01));
        }
        HgsSlopeEntry = 0;
    }
}

// --- Flight path --------------------------------------------------------------

void BankMatrix() {
    const double b = Finite(BankAttitude) * kDegToRad;
    const double c = std::cos(b), s = std::sin(b);
    const double m[4][4] = {{c, 0, s, 0}, {0, 1, 0, 0}, {-s, 0, c, 0}, {0, 0, 0, 1}};
    std::memcpy(HgsBankMatrix, m, sizeof m);
}

double TrackDegrees() {
    const double u = Finite(HgsAccelerations[2]);
    const double w = Finite(HgsAccelerations[3]);
    const double a = std::atan(w / (u + 1e-8)) * kRadToDeg;
    double track = (u > 0 ? 90.0 - a : 270.0 - a) - Finite(NavHeading);
    if (track < 0) track += 360.0;
    if (track > 360.0) track -= 360.0;
    return track;
}

void PlaceFlightPathSymbol(double pitch) {
    const double c = HgsPitchCompression;
    const double dx = AngleDiff(TrackDegrees(), Finite(Heading)) * kHgsPixelsPerDegreeX;
    const double gamma =
        std::atan(Finite(HgsAccelerations[0]) / (Finite(HgsAccelerations[1]) + 1e-7)) * kRadToDeg;
    const double v = (gamma + pitch) / c;
    const double p = std::clamp(static_cast<double>(static_cast<float>(pitch / c)), -10.0, 5.0);
    const double dz = kHgsPixelsPerDegreeY * (p - v);
    const double cb = HgsBankMatrix[0][0], sb = HgsBankMatrix[0][2];
    HgsFpsX = cb * dx - sb * dz + kHgsNeutralX;
    HgsFpsY = sb * dx + cb * dz - kHgsPixelsPerDegreeY * p + kHgsNeutralY;
    if (IndicatedAirspeed < 40.0f) {
        HgsFpsX = kHgsNeutralX;
        HgsFpsY = kHgsNeutralY;
    }
    HgsFpsLimited = 0;
    const auto hold = [](double& value, int32_t low, int32_t high) {
        if (value < low) {
            value = low;
            HgsFpsLimited = 1;
        } else if (value > high) {
            value = high;
            HgsFpsLimited = 1;
        }
    };
    hold(HgsFpsX, HgsLayoutLimits[0], HgsLayoutLimits[2]);
    hold(HgsFpsY, HgsLayoutLimits[1], HgsLayoutLimits[3]);
}

void DeviationPointers() {
    HgsLateralDeviation = kHgsNotShown;
    HgsGroundLocLineX = kHgsNotShown;
    HgsVerticalDeviation = kHgsNotShown;
    const NavSourceRecord& sel = Selected();
    const int32_t a = HGS_HGS_actual_mode;
    const bool airborne = Airborne();
    if (sel.deviation_valid != 0) {
        double brg = Finite(sel.bearing);
        if (brg > 180.0) brg -= 360.0;
        const bool localiser = sel.receive_state == 2;
        const double dev = SignedDeviation(sel.lateral_deviation);
        const bool approach = a == kHgsModeAiii || a == kHgsModeImc;
        if (localiser && airborne && approach) {
            HgsLateralDeviation = std::clamp(
                AngleDiff(Finite(sel.course), Finite(Heading)) + dev / 35.0, -90.0, 90.0);
        }
        if (!localiser && airborne && approach) HgsLateralDeviation = std::clamp(brg, -90.0, 90.0);
        const NavSourceRecord& v1 = NavSources[kNavVor1];
        const NavSourceRecord& v2 = NavSources[kNavVor2];
        const bool both = v1.receive_state == 2 && v1.deviation_valid != 0 &&
                          v2.receive_state == 2 && v2.deviation_valid != 0;
        if (both && !airborne && (a == kHgsModePri || a == kHgsModeAiii)) {
            HgsGroundLocLineX = std::clamp(dev * 0.125, -4.0, 4.0);
        }
        if (!localiser && airborne && a == kHgsModePri) {
            HgsGroundLocLineX = std::clamp(brg, -90.0, 90.0);
        }
    }
    if (sel.glideslope_alive != 0) {
        HgsVerticalDeviation =
            std::clamp(sel.glideslope_deviation * kGlideslopeNeedleScale, -3.0, 3.0);
    }
}

void AccelerationCue() {
    const double accel = Finite(LongitudinalAccelFiltered) * 22.5;
    HgsAccelCueY = Airborne() ? HgsFpsY - accel + 32.25 : 272.0 - accel;
    if (HgsAccelCueY < HgsLayoutLimits[1] || HgsAccelCueY > HgsLayoutLimits[3]) {
        HgsAccelCueY = kHgsCueNotShown;
    }
}

// --- Flare guidance -----------------------------------------------------------

void HideCues() {
    HgsFdCueX = kHgsNotShown;
    HgsFdCueY = kHgsNotShown;
    HgsFlareCueY = kHgsCueNotShown;
}

void ComputeCues(double h) {
    if (FGC_comp_AP1_lateral_mode == kLateralNone || FGC_comp_AP1_vertical_mode == kVerticalNone) {
        HideCues();
        return;
    }
    const double c = HgsPitchCompression;
    const bool aiii = HGS_HGS_actual_mode == kHgsModeAiii;
    HgsFdCueX =
        HgsFpsX -
        std::clamp(Finite(FlightDirectorRollCommand) * 0.2, -4.0, 4.0) * kHgsPixelsPerDegreeX +
        41.0;
    HgsFdCueY =
        HgsFpsY +
        std::clamp(Finite(FlightDirectorPitchCommand) / 3.0, -4.0, 4.0) * kHgsPixelsPerDegreeY / c +
        6.0;
    HgsFlareCueY = HgsFpsY +
                   std::clamp(Finite(HgsFlareCommand) * 0.2, -5.0, 3.0) * kHgsPixelsPerDegreeY / c +
                   6.0;
    if (HgsFlareActive != 0 && aiii) HgsFdCueY = HgsFlareCueY;
    if (HgsFlareArmed == 0) HgsFlareCueY = kHgsCueNotShown;
    if (HgsFlareActive != 0 && aiii && h < 6.0) HgsIdleTimer = kHgsIdlePasses;
}

// PRI and IMC show the cues above 80 ft (above 10 ft during take-off).
void PrimaryCues(double h) {
    const int32_t a = HGS_HGS_actual_mode;
    if ((a == kHgsModePri || a == kHgsModeImc) &&
        (h > 80.0 || (GpwsTakeoffPhase != 0 && h > 10.0))) {
        ComputeCues(h);
    } else {
        HideCues();
    }
}

// Below 90 ft in AIII: the sink reference is taken once, then the flare
// command follows the pitch until the flare becomes active below 50 ft.
void FlareLaw(double h) {
    const double vs = VerticalSpeedRaw;
    const double pitch = Finite(PitchAttitude);
    if (HgsFlareArmed == 0) {
        HgsFlareSinkRef = vs;
        if (std::fabs(HgsFlareSinkRef - -450.0) > 50.0) HgsFlareSinkRef = -450.0;
        HgsFlareArmed = 1;
        ArmHgsGroup(RefreshHoldCount2);
    }
    if (HgsFlareActive == 0) {
        HgsFlareCommand = (h - 50.0) * 0.25 + Finite(FlightDirectorPitchCommand);
        HgsFlarePitchTarget = pitch;
    } else {
        const double e = (vs - (h - 5.0) * HgsFlareSinkRef / 45.0) / 180.0;
        const double shaped = (e < 0 ? -1.0 : 1.0) * e * e / (std::fabs(e) + 0.02);
        const double r = std::clamp(shaped, -5.0, 5.0);
        if (h > 10.0) {
            HgsFlarePitchTarget += r * 0.02;
        } else if (HgsFlarePitchTarget < 0) {
            HgsFlarePitchTarget += 0.001;
        }
        HgsFlarePitchTarget = std::clamp(HgsFlarePitchTarget, pitch - 2.0, pitch + 2.0);
        HgsFlareCommand = HgsFlarePitchTarget - pitch;
    }
    if (HgsFlareArmed != 0 && HgsFlareActive == 0 && h < 50.0) HgsFlareActive = 1;
}

void IdleMessage() {
    if (HgsIdleTimer < 1) {
        HgsIdleMessage = 0;
        return;
    }
    --HgsIdleTimer;
    RedrawRequest.store(255, std::memory_order_release);
    HgsIdleMessage = 1;
}

void UnpoweredReset() {
    HGS_HGS_actual_mode = kHgsModeNone;
    HGS_HGS_stby_mode = kHgsModeNone;
    HgsAiiiArmed = 0;
    HgsElevationEntry = 0;
    HgsSlopeEntry = 0;
    HgsWindVectorVisible = 0;
}

void BrightnessKeys() {
    if (Take(HgsKeyPress.bright)) HgsPanelBrightness = 255;
    if (Take(HgsKeyPress.dark)) HgsPanelBrightness = 0;
}

bool RunwayOutlineDue() {
    return RadioAltitudeReadoutValue > 60 &&
           Altitude - static_cast<float>(HGS_HGS_elevation_set) < 600.0f &&
           HGS_HGS_actual_mode == kHgsModeAiii;
}

}  // namespace

void HgsModeLogic() {
    StartModes();
    TakeOffTransition();
    ModeKeys();
    AiiiPreset();
    GoAround();
    ApproachWarning();
}

void HgsAiiiAvailability() {
    const NavSourceRecord& v1 = NavSources[kNavVor1];
    const NavSourceRecord& v2 = NavSources[kNavVor2];
    const NavSourceRecord& sel = Selected();
    const bool both = v1.receive_state == 2 && v2.receive_state == 2;
    HgsBothIls = both ? 1 : 0;
    bool available = both && v1.deviation_valid != 0 && v2.deviation_valid != 0 &&
                     FGC_comp_AP1_lateral_mode == kLateralLocalizer &&
                     FGC_comp_AP1_vertical_mode == kVerticalGlideslope;
    if (RadioAltitudeReadoutValue > 150 && available) {
        const auto g = static_cast<uint8_t>(sel.glideslope_deviation);
        if (g >= 100 && g <= 140) {
            available = false;
        } else if (g > 140) {
            const double h = sel.runway_heading * kAngleWordToDegrees + 180.0;
            available = std::fabs(AngleDiff(h, Finite(Heading))) < 15.0 &&
                        std::fabs(AngleDiff(h, Finite(sel.course))) < 15.0;
        }
    }
    if ((AvionicsInstructorStates[kAvionicsHgsApproachStatus] & 1) != 0) available = false;
    HgsAiiiAvailable = available ? 1 : 0;
    const bool armed = available && HGS_HGS_actual_mode != kHgsModeAiii &&
                       HGS_HGS_stby_mode != kHgsModeAiii && sel.glideslope_inclination != 0 &&
                       sel.glideslope_alive != 0 && Airborne();
    HgsAiiiArmed = armed ? 1 : 0;
}

void HgsKeyEntry() {
    ElevationEntry();
    SlopeEntry();
    if (HgsElevationEntry == 0 && HgsSlopeEntry == 0) HgsEntryTyped = 0;
    if ((FrameChangeBits.load(std::memory_order_acquire) & 0x02) != 0) {
        HgsBlinkCounter = (HgsBlinkCounter + 1) % 16;
    }
}

void RasuSpeedKeys() {
    if (Take(HgsKeyPress.rasu_down)) {
        HGS_RASU_speed -= 1;
        if (HGS_RASU_speed < kRasuSpeedMin) HGS_RASU_speed = 0;
    }
    if (Take(HgsKeyPress.rasu_up)) {
        if (HGS_RASU_speed < kRasuSpeedMin) HGS_RASU_speed = kRasuSpeedMin - 1;
        HGS_RASU_speed = std::min(HGS_RASU_speed + 1, kRasuSpeedMax);
    }
}

void HgsLayoutUpdate() {
    const double wind = WindData[0];
    if (wind > 6.0 && HgsWindVectorVisible == 0) HgsWindVectorVisible = 255;
    if (wind < 4.0 && HgsWindVectorVisible != 0) HgsWindVectorVisible = 0;
    if (!Airborne() || HGS_HGS_actual_mode == kHgsModeNone) HgsWindVectorVisible = 0;
    static constexpr int32_t kPrimary[4] = {260, 128, 841, 552};
    static constexpr int32_t kApproach[4] = {123, 130, 1028, 742};
    const int32_t a = HGS_HGS_actual_mode;
    std::memcpy(HgsLayoutLimits, a == kHgsModeNone || a == kHgsModePri ? kPrimary : kApproach,
                sizeof HgsLayoutLimits);
}

void HgsFlightPathUpdate() {
    BankMatrix();
    const double pitch = Finite(PitchAttitude);
    HgsPitchCompression = pitch > -20.0 && pitch < 20.0 ? 1 : 2;
    PlaceFlightPathSymbol(pitch);
    HgsGsLineY = std::clamp(pitch / HgsPitchCompression + HGS_HGS_gs_slope_angle, -100.0, 100.0);
    DeviationPointers();
    AccelerationCue();
    if (HgsApproachWarning != 0) HgsVerticalDeviation = kHgsNotShown;
}

void HgsFlareGuidance() {
    const NavSourceRecord& sel = Selected();
    const double h = Finite(RadioAltitude) * kFeetPerMetre - 10.0;
    const bool aiii = HGS_HGS_actual_mode == kHgsModeAiii;
    HgsGsPointer = sel.glideslope_inclination == 0 ? kHgsNoGlideslope : sel.glideslope_deviation;
    if (h > 90.0 || !aiii) {
        HgsFlareArmed = 0;
        HgsFlareActive = 0;
    } else if (HgsFlareArmed == 0) {
        HgsFlareActive = 0;
    }
    if (h >= 90.0) {
        if (aiii) {
            ComputeCues(h);
        } else {
            PrimaryCues(h);
        }
    } else if (aiii) {
        if (Airborne()) FlareLaw(h);
        ComputeCues(h);
    } else {
        PrimaryCues(h);
    }
    IdleMessage();
    if (HgsApproachWarning != 0) HideCues();
    HgsPitchCommandFactor = 1.0;
}

void HgsUpdate() {
    HgsPowered = BusPowered.get(kPoweredLeftMainDc);
    if (HgsPowered == 0) {
        UnpoweredReset();
        return;
    }
    HgsModeLogic();
    HgsAiiiAvailability();
    HgsKeyEntry();
    BrightnessKeys();
    RasuSpeedKeys();
    HgsLayoutUpdate();
    HgsFlightPathUpdate();
    HgsFlareGuidance();
    if (RunwayOutlineDue()) {
        HgsRunwayOutline();
        HgsRunwayProject();
    }
}

}  // namespace zu
