#include "core/autopilot_control_laws.h"

#include <algorithm>
#include <cmath>

#include "core/flight_guidance_unit.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
#include "displays/head_up_guidance.h"

namespace zu {

double FlightDirectorRollCommand = 0.0;
double FlightDirectorPitchCommand = 0.0;
double FlightDirectorRollCommand2 = 0.0;
double FlightDirectorPitchCommand2 = 0.0;
int32_t ApRollServoOutput = 0;
double ApPitchServoOutput1 = 0.0;
double ApPitchServoOutput2 = 0.0;
uint8_t FgcServoValid[2] = {0, 0};
uint8_t FgcServoFault[2] = {0, 0};
ApLawState ApLaw1 = {0.0, 0.0, 0, 0, 0.0, 0.0, 0.0};
ApLawState ApLaw2 = {0.0, 0.0, 0, 0, 0.0, 0.0, 0.0};

}  // namespace zu

namespace zu {

namespace {

// Gains shared by both law sets.
constexpr double kHeadingToRollRate = 0.002;
constexpr double kRollRateLimit = 0.033;
constexpr double kYawLoopGain = 1.5;
constexpr double kYawLoopLimit = 0.06;
constexpr double kBankIntegration = 10.0;
constexpr double kBankErrorGain = 0.025;
constexpr double kBankErrorLimit = 0.12;
constexpr double kRollRateLoopGain = 3.0;
constexpr double kRollRateLoopLimit = 2.6;
constexpr double kRollAccelGain = 1.0;
constexpr double kRollDemandLimit = 32.0;
constexpr double kRollServoIntegration = 3000.0;
constexpr int32_t kRollServoLimit = 15500;
constexpr double kVsToPitchRate = 0.75;
constexpr double kVsPitchRateLimit = 2.5;
constexpr double kTurnCompensation = 7.5;
constexpr double kPitchErrorGain = 0.01;
constexpr double kPitchErrorLimit = 0.04;
constexpr double kPitchRateLimit = 2.0;
constexpr double kPitchTargetIntegration = 0.0004;
constexpr double kAccelTerm = 0.0003;
constexpr double kAccelTermFactor = 4.0;
constexpr double kPitchServoGain = 0.325;
constexpr double kAltitudeVsLimitFpm = 800.0;
constexpr int32_t kCourseChangeHold = 5000;
constexpr int32_t kLargeInterceptHold = 428;

// 8-point tables: x values, then y values.
constexpr float kTableA[16] = {0, 5, 20, 35, 40, 50, 50, 50, 0.5f, 0.5f, 0.75f, 1, 1, 1, 1, 1};
constexpr float kTableB[16] = {100, 125, 150, 175, 200, 225, 250, 250, 1, 1, 1, 1, 1, 1, 1, 1};
constexpr float kTableD[16] = {125, 150, 250, 450, 450, 450, 450, 450, 1, 1, 1, 1, 1, 1, 1, 1};
constexpr float kVorGain1[16] = {600,  750,  900,  1600, 2400, 6000, 12000, 15000,
                                 2.5f, 2.3f, 2.0f, 1.5f, 1.0f, 0.5f, 0.4f,  0.25f};
constexpr float kVorGain2[16] = {300,  600,  900,  1300, 1600, 4000, 6000, 12000,
                                 2.0f, 1.2f, 0.8f, 0.6f, 0.4f, 0.3f, 0.3f, 0.2f};
constexpr float kAltitudeGain[16] = {3,    15,   25,   50,   100,  300,   500,  800,
                                     2.0f, 2.2f, 3.0f, 2.5f, 2.5f, 3.33f, 4.0f, 5.0f};
constexpr float kPitchGain[16] = {10,    25,    100,  200,  300,  400,  600,  1000,
                                  1.25f, 1.25f, 1.5f, 1.8f, 2.0f, 2.0f, 3.0f, 4.0f};
constexpr float kFrameRateGain[16] = {0,     10,    20,     30,     40,     100,    100,    200,
                                      0.27f, 0.45f, 0.675f, 0.675f, 0.675f, 0.675f, 0.675f, 0.675f};
constexpr float kSpeedGain[16] = {100,  130,  200,  250,   300,   300,   300,   300,
                                  1.5f, 1.5f, 0.9f, 0.75f, 0.75f, 0.75f, 0.75f, 0.75f};

double Wrap180(double a) {
    if (!std::isfinite(a)) return 0.0;
    a = std::fmod(a, 360.0);
    if (a > 180.0) a -= 360.0;
    if (a < -180.0) a += 360.0;
    return a;
}

double Finite(double v) {
    return std::isfinite(v) ? v : 0.0;
}

double Shaped(double c, double k) {
    const double s = c * c / (std::fabs(c) + k);
    return c < 0.0 ? -s : s;
}

bool Paused() {
    return HostPauseIndicator != 0;
}

// Inputs of one pass.
struct LawInputs {
    double bank;
    double pitch;
    double heading;  // unbiased AHRS heading
    uint8_t signal;
    double localizer_course;
    double course;
};

// Step 1.
LawInputs ReadInputs(FgcUnit& u) {
    LawInputs in{};
    in.bank = Wrap180(u.ahrs->bank);
    in.pitch = Wrap180(u.ahrs->pitch);
    in.heading = u.ahrs->heading - u.ahrs->heading_bias;
    const NavSourceRecord* src = u.side.nav_source;
    if (src == nullptr) return in;
    in.signal = src->receive_state;
    double dev = Finite(src->lateral_deviation);
    if (dev > 127.0) dev -= 256.0;
    if (in.signal == kSignalLocalizer && u.back_course != 0) dev = -dev;
    u.channel.lateral_deviation = dev;
    u.gs_deviation = src->glideslope_deviation;
    u.channel.station_value = static_cast<float>(Finite(src->radio_value));
    if (in.signal != 0 && in.signal != u.channel.signal_kind) u.channel.signal_kind = in.signal;
    in.course = Finite(src->course);
    const int32_t whole = TruncToInt32(in.course);
    if (whole != u.law.last_course) {
        u.law.last_course = whole;
        u.law.integrator_hold = kCourseChangeHold;
    }
    in.localizer_course = src->runway_heading * (360.0 / 65536.0) - 180.0;
    if (in.localizer_course < 0.0) in.localizer_course += 360.0;
    return in;
}

// The track integrator: trims a standing offset while the intercept command
// is inside its window, held at 0 for a while after a course change or a
// large intercept.
void Integrate(ApLawState& law, double c, double window) {
    if (std::fabs(c) > window) {
        law.integrator = 0.0;
        law.integrator_hold = kLargeInterceptHold;
        return;
    }
    if (law.integrator_hold > 0) {
        --law.integrator_hold;
        law.integrator = 0.0;
        return;
    }
    if (c > 0.00254) {
        law.integrator = std::max(law.integrator - std::min(c / (c + 20000.0), 0.0001), -3.0);
    } else if (c < -0.00254) {
        law.integrator = std::min(law.integrator + std::min(-c / (20000.0 - c), 0.0001), 3.0);
    }
}

void FmsGuidance(FgcUnit& u, const LawInputs& in) {
    const double x = u.channel.lateral_deviation * 0.61;
    double c = Shaped(x, 0.3);
    Integrate(u.law, c, 5.0);
    c = std::clamp(c, -45.0, 45.0);
    u.law.intercept = c;
    u.heading_target = c + in.course - MapDisplayState.map_value - u.law.integrator;
    FgcBankLimit = Altitude <= 10000.0f ? 25.0 : 17.0;
}

void RadioGuidance(FgcUnit& u, const LawInputs& in) {
    const bool localizer = in.signal == kSignalLocalizer;
    const double dev = u.channel.lateral_deviation;
    double c;
    if (localizer) {
        c = Shaped(std::clamp(dev * 0.45461 * 0.35, -45.0, 45.0), 0.025);
    } else {
        const auto sv = u.channel.station_value;
        c = Shaped(std::clamp(dev * 0.35461 * TableLookup8(kVorGain1, sv), -45.0, 45.0),
                   TableLookup8(kVorGain2, sv));
    }
    Integrate(u.law, c, 8.0);
    u.law.intercept = c;
    if (Paused()) return;
    double base = in.course;
    if (localizer) base = in.localizer_course - NavHeading - (u.back_course != 0 ? 180.0 : 0.0);
    const double track = c + base - u.law.integrator - MapDisplayState.map_value;
    if (localizer) {
        if (u.channel.over_station == 0) {
            u.heading_target = track;
            u.channel.capture_wait = 0;
        }
        return;
    }
    const bool intercept = u.channel.capture_wait == 0 ||
                           std::fabs(AngleDiff(in.heading, base)) <= std::fabs(c) ||
                           std::fabs(c) <= 7.0;
    if (intercept) {
        u.heading_target = track;
        u.channel.capture_wait = 0;
    }
}

// Step 2.
void LateralGuidance(FgcUnit& u, const LawInputs& in) {
    const bool capturing =
        u.channel.nav_capture_started != 0 || u.channel.appr_capture_started != 0;
    if (u.lateral == kLatNav && in.signal == kSignalFms && !capturing) {
        FmsGuidance(u, in);
    } else if ((u.lateral == kLatNav || u.lateral == kLatAppr || capturing) &&
               (in.signal == kSignalVor || in.signal == kSignalLocalizer)) {
        RadioGuidance(u, in);
    }
}

// Step 3.
void BankCommand(FgcUnit& u, const LawInputs& in) {
    double e = AngleDiff(u.heading_target, in.heading);
    if (std::fabs(e) >= 15.0) {
        if (u.leg_param == 1 && e > 0.0) e = -e;
        if (u.leg_param == 2 && e < 0.0) e = -e;
    } else {
        u.leg_param = 0;
    }
    const double r =
        std::clamp(TableLookup8(kTableA, static_cast<float>(std::fabs(e))) * kHeadingToRollRate * e,
                   -kRollRateLimit, kRollRateLimit);
    u.law.roll_rate_demand = r;
    const double y = std::clamp((r - YawRate) * kYawLoopGain, -kYawLoopLimit, kYawLoopLimit);
    double cmd = u.roll_command;
    if (!Paused()) {
        cmd += (y - Finite(YawAcceleration)) * TableLookup8(kTableB, IndicatedAirspeed) *
               kBankIntegration;
    }
    const double limit = FgcBankLimit >= 27.5 ? 27.5 : FgcBankLimit;
    if (FgcBankLimit > 23.0 && std::fabs(e) > 20.0 && std::fabs(cmd) < limit) {
        cmd = (cmd * 16.0 + (e > 0.0 ? limit : -limit)) / 17.0;
    }
    u.roll_command = Finite(std::clamp(cmd, -limit, limit));
}

// Step 4.
void RollServo(FgcUnit& u) {
    const double a = std::clamp((-u.roll_command - BankAttitude) * kBankErrorGain, -kBankErrorLimit,
                                kBankErrorLimit);
    const double b =
        std::clamp((a - RollRate) * kRollRateLoopGain, -kRollRateLoopLimit, kRollRateLoopLimit);
    const double s =
        Finite(std::clamp((b - RollAcceleration) * TableLookup8(kTableB, 0.0f) * kRollAccelGain,
                          -kRollDemandLimit, kRollDemandLimit));
    const bool engaged = u.ap != 0;
    if (!engaged) {
        if (u.number == 2 && FGC_comp_AP1_engaged == 0) ApRollServoOutput = 0;
        if (u.number == 1 && FGC_comp_AP2_engaged == 0) ApRollServoOutput = 0;
        return;
    }
    // Paused, the engaged autopilot holds no roll demand: the output starts
    // again from 0 once the simulation runs.
    if (Paused()) {
        ApRollServoOutput = 0;
        return;
    }
    const double out =
        ApRollServoOutput - TableLookup8(kTableD, IndicatedAirspeed) * kRollServoIntegration * s;
    ApRollServoOutput = std::clamp(TruncToInt32(Finite(out)), -kRollServoLimit, kRollServoLimit);
}

double FrameRateGain() {
    const int32_t word = FrameRateWord == 0 ? 1 : FrameRateWord;
    return TableLookup8(kFrameRateGain, static_cast<float>(32768 / word));
}

bool AnyApEngaged() {
    return FGC_comp_AP1_engaged != 0 || FGC_comp_AP2_engaged != 0;
}

// Step 5.
void VerticalStage(FgcUnit& u, const LawInputs& in) {
    if (u.tcs != 0) return;
    const double vs = VerticalSpeedRaw;
    double demand;
    if (u.vertical == kVertAlt) {
        const double error = (FGC_comp_AP_prog_alt + 0.5) - FgcBaroAltitude();
        demand =
            std::clamp(error * TableLookup8(kAltitudeGain, static_cast<float>(std::fabs(error))),
                       -kAltitudeVsLimitFpm, kAltitudeVsLimitFpm);
        if (std::isfinite(demand)) FgcVsTarget = static_cast<float>(demand);
    } else if (u.vertical == kVertVs || u.vertical == kVertGs) {
        demand = FgcVsTarget;
    } else {
        return;
    }
    const double q = std::clamp((1.0 / 120.0) * (demand - vs) * kVsToPitchRate, -kVsPitchRateLimit,
                                kVsPitchRateLimit);
    u.law.pitch_rate_demand = q;
    if (Paused()) return;
    const double step =
        ((q - HostFeed31C8) * FrameRateGain() * HgsPitchCommandFactor * kPitchTargetIntegration -
         kAccelTerm * std::clamp(LongitudinalAccelFiltered, -4.0, 4.0)) *
        TableLookup8(kPitchGain, static_cast<float>(std::fabs(demand - vs))) *
        TableLookup8(kSpeedGain, IndicatedAirspeed) * kAccelTermFactor;
    double target = std::clamp(FgcPitchTarget + Finite(step), -20.0, 20.0);
    if (!AnyApEngaged()) target = std::clamp(target, -in.pitch - 3.0, -in.pitch + 3.0);
    if (std::isfinite(target)) FgcPitchTarget = static_cast<float>(target);
}

// Step 6: more nose-up pitch in a level turn.
void TurnCompensation(FgcUnit& u, const LawInputs& in) {
    if ((HostPassChangeBits & 0x04) == 0) return;
    double k = 0.0;
    const double bank = std::fabs(in.bank);
    const double c = std::cos(bank * 0.017453292519943295);
    if (u.vertical == kVertAlt && bank > 2.0 && c > 0.0) {
        k = (std::sqrt(1.0 / c) - 1.0) * kTurnCompensation;
    }
    if (u.ap == 0) k = 0.0;
    u.law.turn_compensation = Finite(k);
}

// Step 7.
double PitchServo(FgcUnit& u, const LawInputs& in) {
    const double k = u.law.turn_compensation;
    const double p = std::clamp((-(FgcPitchTarget + k) - in.pitch) * kPitchErrorGain,
                                -kPitchErrorLimit, kPitchErrorLimit);
    const double loop_gain = u.number == 1 ? 3.8 : 3.0;
    const double q2 = std::clamp((p - PitchRate) * loop_gain, -kPitchRateLimit, kPitchRateLimit);
    const double limit = u.number == 1 ? 1.5 : 1.0;
    const double out =
        (q2 - PitchAcceleration) * FrameRateGain() * HgsPitchCommandFactor * kPitchServoGain;
    return Finite(std::clamp(out, -limit, limit));
}

// Step 8.
void FlightDirector(FgcUnit& u, const LawInputs& in) {
    const double k = u.law.turn_compensation;
    const double pitch = u.tcs != 0 ? 0.0 : -(FgcPitchTarget + k) - in.pitch;
    u.fd_pitch = Finite(std::clamp(pitch, -13.0, 13.0));
    if (u.power != 0) {
        u.fd_roll = Finite(std::clamp(-AngleDiff(in.bank, -u.roll_command), -20.0, 20.0));
    }
}

void LawPass(FgcUnit u) {
    const LawInputs in = ReadInputs(u);
    const bool active = u.power != 0 && u.tcs == 0;
    if (active) {
        LateralGuidance(u, in);
        if (u.lateral != kLatBasic && u.lateral != kLatRollHold) BankCommand(u, in);
        RollServo(u);
    } else {
        if (u.number == 1 || !AnyApEngaged()) ApRollServoOutput = 0;
        if (u.tcs == 0) u.roll_command = 0.0;
    }
    VerticalStage(u, in);
    TurnCompensation(u, in);
    const double servo = active ? PitchServo(u, in) : 0.0;
    (u.number == 1 ? ApPitchServoOutput1 : ApPitchServoOutput2) = servo;
    FlightDirector(u, in);
}

}  // namespace

void ApControlLaws() {
    LawPass(FgcUnit1());
}

void ApControlLaws2() {
    LawPass(FgcUnit2());
}

}  // namespace zu
