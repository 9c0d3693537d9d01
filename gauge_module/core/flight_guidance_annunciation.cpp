#include "core/flight_guidance_annunciation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/afcs_messages.h"
#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/flight_guidance_unit.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/radio_altitude_alerting.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
#include "fms/fms_nav_output.h"
#include "instruments/gauge_framework.h"
#include "panels/side_panels.h"

namespace zu {

char FgcMessageLines[kFgcMessageLineCount][kFgcMessageTextSize] = {};
FgcMessageStateRecord FgcMessageState1 = {{0}, 0, 0, 0};
FgcMessageStateRecord FgcMessageState2 = {{0}, 0, 0, 0};
std::atomic<uint8_t> TasDisplayRequest[2] = {};
int32_t TasDisplayCountdown[2] = {0, 0};
int32_t AltitudeAlertCountdown = 0;
uint8_t PfdAdvisoryFlag = 0;
uint8_t PfdAdvisoryFlag2 = 0;
uint8_t WindComponentSense[2] = {0, 0};
EfisRotationRecord WindTickRotation;
double MapLastTrack = -1.0;

namespace {

constexpr int32_t kAirDataTestRefresh = 25;

constexpr const char* kBlank = "     ";

void Put(char* field, const char* text) {
    std::snprintf(field, kFgcMessageTextSize, "%s", text);
}

uint32_t Rate() {
    return FrameChangeBits.load(std::memory_order_acquire);
}

void Redraw() {
    RedrawRequest.store(255, std::memory_order_release);
}

bool ApplyPowerBlanks(FgcUnit& u) {
    if (u.power != 0) return false;
    FmaTexts& f = u.side.fma;
    Put(f.vertical, kBlank);
    Put(f.vertical_armed1, kBlank);
    Put(f.vertical_armed2, kBlank);
    Put(f.lateral, kBlank);
    Put(f.lateral_armed, kBlank);
    return true;
}

void VerticalField(FgcUnit& u) {
    FmaTexts& f = u.side.fma;
    uint8_t& flag = u.fma_flags[0];
    switch (u.vertical) {
        case kVertPitch:
            Put(f.vertical, FgcState == 1 ? "   GA  " : "PITCH  ");
            flag = 1;
            break;
        case kVertAlt: {
            const double baro = BaroAltitudeSource != nullptr ? *BaroAltitudeSource : 0.0;
            const bool held = std::trunc(std::fabs(FGC_comp_AP_prog_alt - baro)) < 50.0;
            Put(f.vertical, held ? "ALT     " : "ALT*   ");
            flag = held ? 1 : 0;
            break;
        }
        case kVertVs: {
            char text[kFgcMessageTextSize];
            if (u.tcs != 0) {
                std::snprintf(text, sizeof text, "VS ----%s", " FPM ");
            } else {
                const double vs =
                    std::isfinite(FgcVsTarget)
                        ? std::clamp(static_cast<double>(FgcVsTarget), -9999.0, 9999.0)
                        : 0.0;
                std::snprintf(text, sizeof text, "VS %4.0f%s", vs, " FPM ");
            }
            Put(f.vertical, text);
            flag = 1;
            break;
        }
        case kVertIas: {
            char text[kFgcMessageTextSize];
            if (u.tcs != 0) {
                std::snprintf(text, sizeof text, "IAS ---%s", " KTS ");
            } else {
                std::snprintf(text, sizeof text, "IAS %3.0d%s", std::clamp(FgcIasTarget, 0, 999),
                              " KTS ");
            }
            Put(f.vertical, text);
            flag = 1;
            break;
        }
        case kVertGs:
            Put(f.vertical, flag != 0 ? "GS  " : "GS* ");
            break;
        case kVertNone:
            Put(f.vertical, kBlank);
            flag = 1;
            break;
        default:
            break;
    }
}

void VerticalArmedFields(FgcUnit& u) {
    FmaTexts& f = u.side.fma;
    if (u.arm_alt_sel == 1) Put(f.vertical_armed1, "ALT SEL   ");
    if (u.arm_alt_sel == 0) Put(f.vertical_armed1, kBlank);
    if (u.arm_gs == 2) Put(f.vertical_armed2, "GS   ");
    if (u.arm_gs == 0) Put(f.vertical_armed2, kBlank);
}

uint8_t SignalOf(const FgcUnit& u) {
    const uint8_t signal = u.side.nav_source != nullptr ? u.side.nav_source->receive_state : 0;
    return signal != kSignalNone ? signal : static_cast<uint8_t>(u.channel.signal_kind);
}

bool FmsSourceOf(const FgcUnit& u) {
    return u.side.nav_source != nullptr && u.side.nav_source->kind == kSourceKindFms;
}

// Text and captured flag (-1: leave the flag) of navigation mode 5 or 6.
// Over the station the navigation mode keeps the flag as it was; the
// approach mode shows its station passage as captured.
const char* NavModeText(const FgcUnit& u, int& flag) {
    const bool bc = u.back_course != 0;
    const bool approach = u.lateral == kLatAppr;
    if (u.channel.over_station != 0) {
        flag = approach ? 1 : -1;
        if (u.channel.signal_kind == kSignalVor) return approach ? "APP VOR OS" : "VOR OS";
        if (bc) return "BC LOC OS";
        return approach ? "APP LOC OS" : "LOC OS";
    }
    const double dev = std::fabs(u.channel.lateral_deviation);
    if (!approach && FmsSourceOf(u)) {
        flag = dev < 30.0 ? 1 : 0;
        if (flag == 0) return "   LNAV*";
        return FmsLnavFlag != 0 ? " PROC HDG" : "   LNAV";
    }
    if (SignalOf(u) == kSignalLocalizer) {
        flag = dev < 20.0 ? 1 : 0;
        if (bc) return flag != 0 ? " BC LOC" : " BC LOC*";
        return flag != 0 ? "    LOC" : "    LOC*";
    }
    flag = dev < 30.0 ? 1 : 0;
    if (approach) return flag != 0 ? "  APP VOR" : "  APP VOR*";
    return flag != 0 ? "    VOR" : "    VOR*";
}

void LateralField(FgcUnit& u) {
    FmaTexts& f = u.side.fma;
    uint8_t& flag = u.fma_flags[1];
    switch (u.lateral) {
        case kLatBasic:
        case kLatWingsLevel:
            Put(f.lateral, " WINGS LEVEL");
            flag = 1;
            break;
        case kLatHdg:
            Put(f.lateral, "   HDG");
            flag = 1;
            break;
        case kLatRollHold:
            Put(f.lateral, " ROLL");
            flag = 1;
            break;
        case kLatNav:
        case kLatAppr: {
            int captured = 1;
            Put(f.lateral, NavModeText(u, captured));
            if (captured >= 0) flag = static_cast<uint8_t>(captured);
            break;
        }
        case kLatNone:
            Put(f.lateral, kBlank);
            Put(f.vertical_armed2, kBlank);
            Put(f.lateral_armed, kBlank);
            flag = 1;
            break;
        default:
            break;
    }
}

void LateralArmedField(FgcUnit& u) {
    if (u.lateral == kLatNone) return;
    FmaTexts& f = u.side.fma;
    const bool bc = u.back_course != 0;
    const bool localizer = SignalOf(u) == kSignalLocalizer;
    switch (u.arm_lateral) {
        case 0:
            Put(f.lateral_armed, kBlank);
            break;
        case 1:
            Put(f.lateral_armed, bc               ? "   BC "
                                 : FmsSourceOf(u) ? " LNAV "
                                 : localizer      ? "  LOC "
                                                  : "  VOR ");
            break;
        case 2:
            Put(f.lateral_armed, bc ? " BC LOC" : localizer ? "  LOC" : "VOR APP");
            break;
        default:
            break;
    }
}

void FmaUpdate(FgcUnit u) {
    if ((Rate() & 0x02) == 0) return;
    if (ApplyPowerBlanks(u)) return;
    VerticalField(u);
    VerticalArmedFields(u);
    LateralField(u);
    LateralArmedField(u);
}

// ---------------------------------------------------------------------------
// Advisories

bool Airborne() {
    return OnGround == 0;
}

void SupplyFlags() {
    AirDataFlags[2] = LeftAvionicsBus.get() == 0 ? 1 : 0;
    AirDataFlags[3] = RightAvionicsBus.get() == 0 ? 1 : 0;
}

// The side's TAS countdown runs on every pass, the FGC's self-test or not;
// the test only blanks the line.
void AdvisoryLine(int side) {
    char* line = FgcMessageLines[kMsgAdvisory1 + side];
    int32_t& countdown = TasDisplayCountdown[side];
    const bool tas = countdown > 0;
    if (tas) {
        --countdown;
        Redraw();
    }
    const int32_t timer =
        side == 0 ? FGC_comp_FGC1_system_test_timer : FGC_comp_FGC2_system_test_timer;
    if (timer > kFgcTestAdvisoryBlankAbove) {
        line[0] = '\0';
        return;
    }
    if (tas) {
        std::snprintf(line, kFgcMessageTextSize, "%3d kt  TAS",
                      std::clamp(TrueAirspeed / 128, -99, 999));
        return;
    }
    const double oat = std::isfinite(AmbientTemperature) ? AmbientTemperature : 0.0;
    std::snprintf(line, kFgcMessageTextSize,
                  "%2d\xB0"
                  "c  SAT",
                  static_cast<int>(std::clamp(oat, -99.0, 99.0)));
}

// The wind (its direction is where it blows from) as the screen's turn of
// the point (0, speed) through the displays' integer rotation, on whole
// knots: y along the track, positive for a headwind and down to -speed for a
// tailwind; x across it, positive for wind from the left.
void WindComponents() {
    if (EfisCosine[0] == 0) BuildTrigTables();
    // Beyond 65535 kt a turned coordinate would overflow the rotation's
    // 32-bit products.
    constexpr int32_t kSpeedLimit = 65535;
    const int32_t speed = std::clamp(TruncToInt32(WindData[0]), -kSpeedLimit, kSpeedLimit);
    const double angle = WindData[1] - (static_cast<double>(Heading) + NavHeading);
    SetRotation(WindTickRotation, 0, 0, static_cast<float>(angle), 0);
    const int32_t x = RotX(WindTickRotation, 0, speed);
    const int32_t y = RotY(WindTickRotation, 0, speed);
    WindComponentSense[0] = y > -1 ? 0 : 1;
    WindComponentSense[1] = x > 0 ? 1 : 0;
    MapDisplayState.wind_y = static_cast<float>(std::abs(y));
    MapDisplayState.wind_x = static_cast<float>(std::abs(x));
}

void AdvisoryLines() {
    bool run = (Rate() & 0x08) != 0;
    for (int side = 0; side < 2; ++side) {
        if (TasDisplayRequest[side].exchange(0, std::memory_order_acq_rel) != 0) {
            TasDisplayCountdown[side] = 4;
            run = true;
        }
    }
    if (!run) return;
    AdvisoryLine(0);
    AdvisoryLine(1);
    WindComponents();
}

double AltitudeDeviation(int side) {
    const double alt = side == 0 ? BaroAltitude1 : BaroAltitude2;
    return std::fabs(alt - AIRDATA_comp_selected_alt);
}

void AltitudeAlert() {
    const bool powered = AnnunciatorPowerOn() || BusPowered.get(kPoweredLeftMainDc) != 0;
    const bool near = std::fabs(AltitudeDeviation(0) - 1000.0) < 25.0 ||
                      std::fabs(AltitudeDeviation(1) - 1000.0) < 25.0;
    if (near && powered && Airborne() && AltitudeAlertCountdown == 0) {
        AltitudeAlertFlag = 1;
        AltitudeAlertCountdown = 65;
    }
    if (CountdownTick(&AltitudeAlertCountdown)) Redraw();
}

void AltitudeBands() {
    if ((Rate() & 0x02) == 0) return;
    const double d1 = AltitudeDeviation(0);
    const double d2 = AltitudeDeviation(1);
    PfdAdvisoryFlag = Airborne() && AcBusPowered.get(3) != 0 && d1 > 250.0 && d1 < 1000.0;
    PfdAdvisoryFlag2 = Airborne() && AcBusPowered.get(2) != 0 && d2 > 250.0 && d2 < 1000.0;
}

// The air-data test: each side's failure flag while its countdown is in the
// failure window; as a test starts, the flight instruments redraw and the
// test switch is released.
void AirDataTestFlags() {
    AirDataFlags[0] = AdcTestTimer1 >= 65 && AdcTestTimer1 <= 87 ? 1 : 0;
    AirDataFlags[1] = AdcTestTimer2 >= 65 && AdcTestTimer2 <= 87 ? 1 : 0;
    for (const int32_t timer : {AdcTestTimer1, AdcTestTimer2}) {
        if (timer >= 111 && timer <= 115) {
            RefreshCountdown[kRefreshEngineInstruments] = kAirDataTestRefresh;
            AdcTestSwitch = 0;
        }
    }
}

// Every 4th tick: the aircraft position's distance factors, nautical miles
// per degree of latitude and of longitude at the aircraft.
void PositionDistanceFactors() {
    if ((Rate() & 0x04) == 0) return;
    const double lat = AircraftPosition.latitude;
    AircraftPosition.north_nm = lat * 60.0;
    AircraftPosition.east_nm =
        std::cos(lat * 0.017453292519943295) * AircraftPosition.longitude * 60.0;
}

void LandingAttitude() {
    if ((Rate() & 0x02) == 0) return;
    const bool conditions = HostGearHandle != 0 && RadioAltitudeReadoutValue < 500 &&
                            (PowerLeverPosition[0] < 13000 || PowerLeverPosition[1] < 13000) &&
                            FGC_comp_FGC1_system_test_timer == 0 && Airborne();
    if (!conditions) return;
    if (AhrsSource1->pitch < -6.0 || AhrsSource2->pitch < -6.0) {
        FgcMessageSet("LDG ATT 6\xB0", 3, 12);
    }
}

void MapHeadingValue() {
    if (IndicatedAirspeed < 25.0f) {
        MapDisplayState.map_value = 0.0;
        return;
    }
    const double east = HgsAccelerations[2];
    const double north = HgsAccelerations[3];
    if (!std::isfinite(east) || !std::isfinite(north) || (east == 0.0 && north == 0.0)) return;
    double track = std::atan2(east, north) * 57.29577951308232;
    if (track < 0.0) track += 360.0;
    if (track == MapLastTrack) return;
    MapLastTrack = track;
    MapDisplayState.map_value = AngleDiff(track, Heading + NavHeading);
}

}  // namespace

bool AnnunciatorPowerOn() {
    return BusPowered.get(kPoweredRightEssential) != 0;
}

void FgcMessageSet(const char* text, int32_t code, int32_t time) {
    Put(FgcMessageLines[kMsgSide1Upper], text);
    Put(FgcMessageLines[kMsgSide2Upper], text);
    FgcMessageState1.code.store(code, std::memory_order_release);
    FgcMessageState2.code.store(code, std::memory_order_release);
    FgcMessageState1.upper_time = time;
    FgcMessageState2.upper_time = time;
}

void FgcMessageSetLower(const char* text, int32_t time) {
    Put(FgcMessageLines[kMsgSide1Lower], text);
    Put(FgcMessageLines[kMsgSide2Lower], text);
    FgcMessageState1.lower_time = time;
    FgcMessageState2.lower_time = time;
}

void FmaTextUpdate() {
    FmaUpdate(FgcUnit1());
}

void FgcModeAnnunciation() {
    FmaUpdate(FgcUnit2());
}

void PfdAdvisoriesUpdate() {
    SupplyFlags();
    AdvisoryLines();
    AltitudeAlert();
    AltitudeBands();
    AirDataTestFlags();
    PilotPanelBlink = PilotPanelBlink != 0 ? 0 : 1;
    LandingAttitude();
    PositionDistanceFactors();
    MapHeadingValue();
}

}  // namespace zu
