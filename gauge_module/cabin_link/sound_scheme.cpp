// The sound scheme (see sound_scheme.h).
#include "cabin_link/sound_scheme.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "cabin_link/cabin_entertainment.h"
#include "cabin_link/engine_sound_curves.h"
#include "core/air_conditioning.h"
#include "core/alerting.h"
#include "core/cabin_doors.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/fire_protection.h"
#include "core/flight_controls.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_client.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/settings_file.h"
#include "core/shared_maths.h"
#include "core/sound_objects.h"
#include "core/systems_tick.h"
#include "displays/tcas.h"
#include "instruments/com_control_heads.h"
#include "panels/anti_ice_panel.h"
#include "panels/bleed_air_panel.h"
#include "panels/engine_start_panels.h"
#include "panels/lighting_panels.h"

namespace zu {

char SoundDirectoryPath[256] = {};
WiperStateRecord WiperState{170, 1};
VoiceAlertSequencerRecord VoiceAlertSequencer{};
EngineSoundRecord EngineSound[2] = {};
SoundSchemeStateRecord SoundSchemeState{};

namespace {

// ---------------------------------------------------------------------------
// The sound set

struct SoundFile {
    const char* name;
    int32_t level;   // initial level, hundredths of a decibel before scaling
    bool in_folder;  // below "sound\"; otherwise below the aircraft folder
};

// In loading order, matching SoundSetIndex.
constexpr SoundFile kSoundFiles[kSoundAnnouncement] = {
    {"click_switch_small.wav", -2200, true},
    {"click_switch_large.wav", -1800, true},
    {"click_tiny.wav", -3000, true},
    {"CL_unlock.wav", -700, true},
    {"CL_lock.wav", -700, true},
    {"PLs_up.wav", -1200, true},
    {"PLs_down.wav", -1200, true},
    {"flaps_selector.wav", -1200, true},
    {"electrical\\electricalsystem.wav", 1000, true},
    {"electrical\\avionics.wav", 3000, true},
    {"computers\\triangle2000.wav", 3000, true},
    {"computers\\revbetahorn.wav", 3000, true},
    {"ap_disc_short.wav", -1000, true},
    {"aircond\\recirc.wav", 1000, true},
    {"aircond\\bleed.wav", 1000, true},
    {"aircond\\forwardvalve.wav", 1000, true},
    {"aircond\\wipers.wav", 0, true},
    {"electrical\\sitbelts.wav", 0, true},
    {"electrical\\call.wav", 1000, true},
    {"computers\\alt_warn.wav", 1000, true},
    {"computers\\stall.wav", 1000, true},
    {"electrical\\stickpusher.wav", 5500, true},
    {"electrical\\firebell1.wav", 1000, true},
    {"computers\\towarning.wav", 1000, true},
    {"electrical\\stickpusher_init.wav", -2500, true},
    {"electrical\\electrics_init_sound.wav", 0, true},
    {"computers\\GPWS_dontsink.wav", 0, true},
    {"computers\\GPWS_flaps.wav", 0, true},
    {"computers\\GPWS_gear.wav", 0, true},
    {"computers\\GPWS_glideslope.wav", 0, true},
    {"computers\\GPWS_minimums.wav", 0, true},
    {"computers\\GPWS_pullup.wav", 0, true},
    {"computers\\GPWS_sinkrate.wav", 0, true},
    {"computers\\GPWS_terrain.wav", 0, true},
    {"computers\\GPWS_toolow.wav", 0, true},
    {"computers\\TCAS_traffic.wav", 0, true},
    {"computers\\com_xchg.wav", 0, true},
    {"engine\\gen_spin3.wav", 0, true},
    {"engine\\N1_sound_2.wav", 0, true},
    {"engine\\gen_spin3.wav", 0, true},
    {"engine\\N1_sound_2.wav", 0, true},
    {"prop\\prop_feather_50_ground_2.wav", 0, true},
    {"prop\\prop_minus3_800_ground.wav", 0, true},
    {"prop\\prop_1050_low_flight.wav", 0, true},
    {"prop\\prop_minus3_reverse_ground.wav", 0, true},
    {"prop\\prop_1200_high_ground_l.wav", 0, true},
    {"prop\\prop_1200_high_flight.wav", 0, true},
    {"prop\\prop_stop2.wav", 0, true},
    {"prop\\prop_feather_50_ground_2.wav", 0, true},
    {"prop\\prop_minus3_800_ground.wav", 0, true},
    {"prop\\prop_1050_low_flight.wav", 0, true},
    {"prop\\prop_minus3_reverse_ground.wav", 0, true},
    {"prop\\prop_1200_high_ground_r.wav", 0, true},
    {"prop\\prop_1200_high_flight.wav", 0, true},
    {"prop\\prop_stop2.wav", 0, true},
    {"prop\\prop_25_800_ground.wav", 0, true},
    {"prop\\prop_25_800_ground.wav", 0, true},
    {"environment\\wind1.wav", 1500, true},
    {"environment\\gearwind1.wav", 1500, true},
    {"Sound\\cnroll3.wav", 1500, false},
    {"sound\\ex_tailbreak01.wav", 1500, false},
    {"external\\env1.wav", 1500, true},
    {"Kmgearup.wav", 1500, true},
    {"Kmgearup.wav", 3500, true},
};

// Chosen in place of "ap_disc_short.wav" once the guidance's self-test is over.
constexpr const char* kApDisconnectLongFile = "ap_disc_long.wav";

SoundObject* Obj(int index) {
    return &SoundSet[index];
}

bool Bus(BusPoweredByte bus) {
    return BusPowered.get(bus) != 0;
}

int32_t Trunc(double v) {
    return TruncToInt32(v);
}

double Curve(EngineSoundCurve curve, double x) {
    return TableLookup8(kEngineSoundCurves[curve], static_cast<float>(x));
}

// A sound asked for with no level of its own: started from the beginning at
// the level it was loaded with, as the clicks are. Nothing while paused.
void RestartDirect(int index, int32_t loop) {
    SoundObject* object = Obj(index);
    if (object->buffer == nullptr || HostPauseIndicator != 0) return;
    platform::SoundBufferStop(object->buffer);
    platform::SoundBufferSetCurrentPosition(object->buffer, 0);
    SoundStart(object, loop);
}

void StopDirect(int index) {
    SoundObject* object = Obj(index);
    if (object->buffer == nullptr) return;
    platform::SoundBufferStop(object->buffer);
    platform::SoundBufferSetCurrentPosition(object->buffer, 0);
}

void Play(int index, int32_t level, int32_t frequency, int32_t pan, int32_t loop) {
    PlaySoundObject(Obj(index), level, frequency, pan, loop);
}

// At the file's own rate.
void PlayOwnRate(int index, int32_t level, int32_t pan, int32_t loop) {
    Play(index, level, SoundFileRate(index), pan, loop);
}

void LoadSound(int index, const char* name, bool in_folder, int32_t level) {
    char path[512];
    std::snprintf(path, sizeof path, "%s%s", in_folder ? SoundDirectoryPath : AircraftFolderPath,
                  name);
    SoundObject* object = Obj(index);
    if (index == kSoundPropGroundSplit1 || index == kSoundPropGroundSplit2) {
        // The wide-range player sets no frequency: these two carry the
        // equaliser that the mixer moves with the blade angle and load.
        SoundObjectCreateWithEq(object, path);
        SoundSetPanVolume(object, 0, level);
        return;
    }
    SoundObjectCreate(object, path);
    SoundSetParams(object, 0, 0, level);
}

// ---------------------------------------------------------------------------
// GPWS rows

enum GpwsSound : int8_t {
    kDontSink,
    kFlaps,
    kGear,
    kGlideslope,
    kMinimums,
    kPullUp,
    kSinkRate,
    kTerrain,
    kTooLow
};

constexpr int kGpwsSoundObject[9] = {
    kSoundGpwsDontSink,   kSoundGpwsFlaps,    kSoundGpwsGear,
    kSoundGpwsGlideslope, kSoundGpwsMinimums, kSoundGpwsPullUp,
    kSoundGpwsSinkRate,   kSoundGpwsTerrain,  kSoundGpwsTooLow,
};

struct GpwsRow {
    int32_t length;
    int8_t sounds[kGpwsRowLength];
};

constexpr int kGpwsTestIndex = 20;
constexpr int32_t kGpwsGapTicks = 14;
constexpr int32_t kGpwsRepeatTicks = 100;

// Rows 0..12; row 20 is the test. Indices 13..19 and above 20 have none.
constexpr GpwsRow kGpwsRows[13] = {
    {0, {}},
    {1, {kSinkRate}},
    {3, {kSinkRate, kSinkRate, kPullUp}},
    {2, {kTerrain, kTerrain}},
    {4, {kTerrain, kTerrain, kPullUp, kTerrain}},
    {2, {kTerrain, kTerrain}},
    {1, {kDontSink}},
    {2, {kTooLow, kGear}},
    {2, {kTooLow, kTerrain}},
    {2, {kTooLow, kFlaps}},
    {2, {kTooLow, kTerrain}},
    {1, {kGlideslope}},
    {2, {kMinimums, kMinimums}},
};
constexpr GpwsRow kGpwsTestRow = {3, {kGlideslope, kPullUp, kPullUp}};

const GpwsRow* GpwsRowFor(int32_t index) {
    if (index >= 0 && index <= 12) return &kGpwsRows[index];
    if (index == kGpwsTestIndex) return &kGpwsTestRow;
    return nullptr;
}

// ---------------------------------------------------------------------------
// Engines

constexpr int32_t kEnginePan[2] = {1, -1};  // engine 2 mirrors engine 1

double BladeAngleDegrees(int e) {
    double radians = e == 0 ? PropPitch1 : PropPitch2;
    if (HostThrottleInput[e] < -100) radians = 1.4;
    return radians * 57.0;
}

void FilterBladeAngle(EngineSoundRecord& s, double angle) {
    s.blade_previous = s.blade_filtered;
    const double d = s.blade_filtered - angle;
    if (d > 2.0) {
        s.blade_filtered -= 0.25;
    } else if (d < -2.0) {
        s.blade_filtered += 0.25;
    } else {
        s.blade_filtered = (angle + 4.0 * s.blade_filtered) / 5.0;
    }
}

void FollowSoundRpm(int e, EngineSoundRecord& s) {
    const double rpm = PropRpm[e];
    if (!(rpm >= 875.0)) {
        s.rpm = Trunc(rpm);
        return;
    }
    if (rpm > 874.0 && rpm != static_cast<double>(s.rpm)) {
        s.step = std::max(1, Trunc(Curve(e == 0 ? kCurveStepR1 : kCurveStepR2, s.rpm)));
        s.offset = Trunc(Curve(e == 0 ? kCurveOffsetCmd1 : kCurveOffsetCmd2, PropRpmCommand[e]));
    }
    const int32_t target = Trunc(rpm) + s.offset;
    const int32_t distance = target - s.rpm;
    if (std::abs(distance) <= s.step) {
        s.rpm = target;
    } else {
        s.rpm += distance > 0 ? s.step : -s.step;
    }
}

void ComputeLoad(EngineSoundRecord& s) {
    // The blade term divides by R: it counts for nothing while R is 0.
    const double blade =
        s.rpm != 0 ? Curve(kCurveLoadBlade, s.blade_filtered) / (s.rpm * 0.0025) : 0.0;
    s.load = std::min(1.0, std::max(blade, IndicatedAirspeed * 0.00492264));
}

void EngineSounds(int e, EngineSoundRecord& s) {
    const double nh = (e == 0 ? Nh1State : Nh2State).nh;
    const double r = s.rpm;
    const double blade = s.blade_filtered;
    const double ias = IndicatedAirspeed;
    const double cmd = PropRpmCommand[e];
    const double load = s.load;
    const int32_t side = kEnginePan[e];
    const int base = e == 0 ? 0 : kSoundPropFeather2 - kSoundPropFeather1;

    s.n1_level = (Curve(kCurveN1Nh, nh) * Curve(kCurveN1R, r) * Curve(kCurveN1Load, load) * 7500.0 +
                  s.n1_level) /
                 2.0;

    // Starter whine, repeated while the engine being started turns slowly.
    const bool starting = EngineStartSelector == (e == 0 ? 0 : 2);
    if (NLValue[e] <= 35.0f && starting) {
        Play(e == 0 ? kSoundGenSpin1 : kSoundGenSpin2, 2500, 22050, -7000 * side, 0);
    }
    Play(e == 0 ? kSoundN1Engine1 : kSoundN1Engine2,
         Trunc(Curve(kCurveN1Blade, blade) * Trunc(s.n1_level * 1.3)),
         Trunc(Curve(kCurveN1Frequency, nh)), -6000 * side, 1);
    Play(kSoundPropFeather1 + base,
         Trunc(Curve(kCurveFeatherNh, nh) * Curve(kCurveFeatherR, r) *
               Curve(kCurveFeatherBlade, blade) * 7000.0),
         Trunc(Curve(kCurveFeatherFreq, r)), -8000 * side, 1);

    if (s.stop_hold > 0) --s.stop_hold;
    if (blade > 40.0 && PropRpm[e] > 550.0 && PropRpm[e] < 870.0 &&
        !SoundPlaying(kSoundPropStop1 + base) && s.stop_hold == 0) {
        Play(kSoundPropStop1 + base, 5200, e == 0 ? 23050 : 22450, -6500 * side, 0);
        s.stop_hold = 128;
    }

    Play(kSoundPropGround1 + base,
         Trunc(Curve(kCurveGroundBlade, blade) * Curve(kCurveGroundR, r) *
               Curve(kCurveGroundIas, ias) * Curve(kCurveGroundLoad, load) * 6000.0),
         Trunc(r * (e == 0 ? 28 : 26)), -5000 * side, 1);
    Play(kSoundPropLowFlight1 + base,
         Trunc(Curve(kCurveLowBlade, blade) * Curve(kCurveLowR, r) * Curve(kCurveLowCmd, cmd) *
               Curve(kCurveLowLoad, load) * 7500.0),
         Trunc(r * 24), -5000 * side, 1);
    Play(kSoundPropReverse1 + base,
         Trunc(Curve(kCurveReverseBlade, blade) * Curve(kCurveReverseLever, PowerLeverPosition[e]) *
               Curve(kCurveReverseR, r) * Curve(kCurveReverseIas, ias) *
               Curve(kCurveReverseLoad, load)),
         Trunc(Curve(kCurveReverseFreq, r)), -3000 * side, 1);
    Play(kSoundPropHighGround1 + base,
         Trunc(Curve(kCurveHighGrBlade, blade) * Curve(kCurveHighGrR, r) *
               Curve(kCurveHighGrCmd, cmd) * Curve(kCurveHighGrLoad, load)),
         Trunc(r * 18), -1000 * side, 1);
    Play(kSoundPropHighFlight1 + base,
         Trunc(Curve(kCurveHighFlBlade, blade) * Curve(kCurveHighFlR, r) *
               Curve(kCurveHighFlCmd, cmd) * Curve(kCurveHighFlLoad, load)),
         Trunc(Curve(kCurveHighFlFreq, r)), -7500 * side, 1);
}

// The split ground sound: the wide-range player on the ground, its
// equaliser following the blade angle and the load.
void SplitGroundSound(int e, EngineSoundRecord& s) {
    SoundObject* object = Obj(e == 0 ? kSoundPropGroundSplit1 : kSoundPropGroundSplit2);
    const double rate = std::fabs(s.blade_filtered - s.blade_previous);
    const int32_t level = Trunc(Curve(kCurveSplitRate, rate) * Curve(kCurveSplitR, s.rpm) *
                                Curve(kCurveSplitLever, PowerLeverPosition[e]));
    PlaySoundObjectPanVolume(object, level, OnGround != 0 ? 1 : 0, -8000 * kEnginePan[e], 1);
    if (object->effect == nullptr) return;
    platform::ParamEqParams eq{};
    eq.center = static_cast<float>(std::clamp(s.blade_filtered * 32.0, 80.0, 16000.0));
    eq.bandwidth = 12.0f;
    eq.gain = static_cast<float>(std::clamp(s.load * 1.3, -15.0, 15.0));
    // Setting the equaliser refilters the whole buffer: it is set again only
    // once the blade angle has moved by a degree or the gain by 0.1 dB.
    if (std::fabs(eq.center - s.eq_center) < 32.0f && std::fabs(eq.gain - s.eq_gain) < 0.1f) {
        return;
    }
    if (platform::SoundParamEqSetAllParameters(object->effect, eq) >= 0) {
        s.eq_center = eq.center;
        s.eq_gain = eq.gain;
    }
}

bool MainDcPowered() {
    return Bus(kPoweredLeftMainDc) || Bus(kPoweredRightMainDc);
}

void AirConditioningSounds() {
    const int32_t pack0 = AirConditioningState.PackValue[0];
    const int32_t pack1 = AirConditioningState.PackValue[1];
    const bool packs_open = pack0 > 3 || pack1 > 3;

    int32_t recirc = Bus(kPoweredLeftSecondary) && AirConditioningState.RecircFan != 0 ? 35 : 0;
    if (pack0 > 4 && pack1 > 4 && PneuPanelSwitches[3] != 0 && OnGround != 0 &&
        Bus(kPoweredRightSecondary)) {
        recirc += recirc < 8 ? 30 : 5;
    }
    if (packs_open && MainDcPowered()) recirc = 0;
    RecircSoundRamp(recirc);

    int32_t bleed = 0;
    if (packs_open && MainDcPowered()) {
        bleed = Trunc((std::min(pack0, 14) + std::min(pack1, 14)) * 1.8);
    }
    BleedSoundRamp(bleed);

    // Forward outflow valve: the cabin's pressure differential against its
    // altitude, filtered. The level is held at 25 at most.
    const double m =
        std::min(std::fabs(static_cast<double>(PressurisationState.Differential)), 2.5) *
        PressurisationState2.CabinAltitude;
    double& f = SoundSchemeState.forward_valve_filter;
    f = (m + 16.0 * f) / 17.0;
    if (!std::isfinite(f)) f = 0.0;
    if (f > 5.0) {
        const double g = std::min(1.5 * f, 25.0);
        Play(kSoundForwardValve, Trunc(g * IndicatedAirspeed * 0.2857142857142857),
             Trunc(g * 40.0 + 17000.0), 0, 1);
    } else {
        Play(kSoundForwardValve, 0, 22050, 0, 1);
    }

    const bool horn = Bus(kPoweredRightEssential) && OnGround == 0 &&
                      (PowerLeverPosition[0] < 11000 || PowerLeverPosition[1] < 11000);
    PlayOwnRate(kSoundRevBetaHorn, horn ? 4000 : 0, 0, 1);
}

// ---------------------------------------------------------------------------
// Environment curves (TableLookup8 form)

constexpr float kWindFrequency[16] = {0,     60,    130,   200,   210,   220,   230,   240,
                                      20000, 21000, 22050, 23000, 23000, 23000, 23000, 23000};
constexpr float kWindVolume[16] = {0, 30, 70,   130,  200,   210,   220,   240,
                                   0, 0,  0.9f, 1.2f, 1.28f, 1.33f, 1.35f, 1.38f};
constexpr float kGearWindVolume[16] = {50, 80,   100,  120,   145,   210,   220,   240,
                                       0,  0.3f, 1.0f, 1.25f, 1.75f, 1.75f, 1.75f, 1.75f};
constexpr float kRollFrequency[16] = {0,     10,    20,    130,   200,   200,   200,   200,
                                      18500, 19000, 20050, 23000, 23000, 23000, 23000, 23000};
constexpr float kRollVolume[16] = {0, 9,     23,   50,    200,   200,   200,   200,
                                   0, 0.65f, 0.9f, 0.93f, 0.97f, 0.97f, 0.97f, 0.97f};

bool TailStrike() {
    const float pitch = PitchAttitude;  // negative nose up
    const bool rolling = VerticalSpeedRaw < -500;
    const bool levers_low = PowerLeverPosition[0] < 16000 && PowerLeverPosition[1] < 16000;
    const bool levers_high = PowerLeverPosition[0] >= 16000 && PowerLeverPosition[1] >= 16000;
    if (pitch <= -7.0f && rolling) return true;
    if (pitch <= -8.0f && levers_low && !rolling) return true;
    return pitch <= -12.0f && levers_high && !rolling;
}

void GearUpThump() {
    const int32_t pressure = HydraulicsState.GearPressure;
    int32_t level = 500;
    int32_t frequency = 10;
    if (pressure > 2000) {
        level = 4500;
        frequency = 22050;
    } else if (pressure > 700) {
        level = 5000;
        frequency = 11025;
    }
    if (GearFlags[kGearFlagUpRequest] != 0) {
        GearFlags[kGearFlagUpRequest] = 0;
        if (Bus(kPoweredLeftMainDc) && pressure > 700 && !SoundPlaying(kSoundGearUp1)) {
            Play(kSoundGearUp1, level, frequency, 0, 0);
            return;
        }
    }
    if (SoundPlaying(kSoundGearUp1)) Play(kSoundGearUp1, level, frequency, 0, 0);
}

}  // namespace

// ---------------------------------------------------------------------------

bool SoundPlaying(int index) {
    SoundObject* object = Obj(index);
    if (object->buffer == nullptr) return false;
    uint32_t status = 0;
    if (platform::SoundBufferGetStatus(object->buffer, &status) < 0) return false;
    return (status & platform::kSoundStatusPlaying) != 0;
}

int32_t SoundFileRate(int index) {
    const SoundObject* object = Obj(index);
    if (object->format == nullptr || object->format->samples_per_sec == 0) return 22050;
    return static_cast<int32_t>(object->format->samples_per_sec);
}

void SoundSystemInit() {
    TraceLine("Initializing Sound System", 0);
    const int n = std::snprintf(SoundDirectoryPath, sizeof SoundDirectoryPath, "%ssound\\",
                                AircraftFolderPath);
    // A folder path too long for the sound folder loads nothing.
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof SoundDirectoryPath) {
        SoundDirectoryPath[0] = '\0';
    }
    for (int i = 0; i < kSoundAnnouncement; ++i) {
        if (i == kSoundPropGroundSplit2 && SOUND_SPLIT_PLS == 0) continue;
        LoadSound(i, kSoundFiles[i].name, kSoundFiles[i].in_folder, kSoundFiles[i].level);
    }
    SoundSchemeState = {};
    SoundSchemeState.cabin_sign_last = CabinSignWord;
    SoundSchemeState.sign_latch_last = RightPanelSwitchLatch;
    SoundSchemeState.flaps_last = flight_controls_FLAPS[0];
    SoundSchemeState.wiper_selector_last = WiperSelector;
    VoiceAlertSequencer = {};
    VoiceAlertSequencer.last_index = VoiceAlertIndex;
    for (auto& s : EngineSound) s = {};
    if (ENTERTAINMENT != 0) {
        char folder[512];
        std::snprintf(folder, sizeof folder, "%sentertainment\\Songs\\", AircraftFolderPath);
        MusicScanSongs(folder);
        MusicSetVolume(MUSIC_VOLUME * 3900 / 256 - 5000);
    }
}

void SystemSounds() {
    // 1. Electrical hum while the propeller is slow.
    int32_t hum = 0;
    if (Bus(kPoweredRightEssential) && PropRpm[0] < 500.0) hum = 1500;
    PlayOwnRate(kSoundElectricalSystem, hum, 0, 1);

    // 2. Avionics fan.
    if (Bus(kPoweredRightEssential) && (Right26VBus.get() >= 7 || Left26VBus.get() >= 7)) {
        AvionicsSoundUp();
    } else {
        AvionicsSoundDown();
    }

    // 3. Cabin-sign chime, also when the sign follows the gear.
    const bool dc = Bus(kPoweredRightMainDc);
    if (CabinSignWord != SoundSchemeState.cabin_sign_last) {
        SoundSchemeState.cabin_sign_last = CabinSignWord;
        if (dc) Play(kSoundSeatBelts, 4000, 22050, 0, 0);
    }
    if (RightPanelLights[1] == 0 && dc) RightPanelSwitchLatch = flight_controls_GEAR != 0 ? 1 : 0;
    if (RightPanelSwitchLatch != SoundSchemeState.sign_latch_last) {
        SoundSchemeState.sign_latch_last = RightPanelSwitchLatch;
        if (dc) Play(kSoundSeatBelts, 4000, 22050, 0, 0);
    }

    // 4. Fire bell.
    const bool fire = (EngineFireWarning[0] != 0 || EngineFireWarning[1] != 0) &&
                      Bus(kPoweredLeftEssential) && FireWarningAck == 0;
    PlayOwnRate(kSoundFireBell, fire ? 4000 : 0, 0, 1);

    // 5. Electrics test beat: on for two ticks, off for two.
    int32_t& beat = SoundSchemeState.electrics_test_beat;
    if (Bus(kPoweredLeftEssential) && AnnunciatorTestSwitch.get() == 1) {
        if (beat == 0) RestartDirect(kSoundElectricsInit, 1);
        if (beat == 2) StopDirect(kSoundElectricsInit);
        beat = (beat + 1) & 3;
    } else {
        if (beat != 0) StopDirect(kSoundElectricsInit);
        beat = 0;
    }
}

void WarningTones() {
    if (!Bus(kPoweredLeftMainDc)) {
        Play(kSoundTriangle2000, 0, 22050, 0, 1);
        PlayOwnRate(kSoundStall, 0, 0, 1);
        PlayOwnRate(kSoundTakeoffWarning, 0, 0, 1);
        return;
    }
    Play(kSoundTriangle2000, GearFlags[kGearFlagWarning] != 0 ? 3600 : 0, 22050, 0, 1);
    if (AltitudeAlertFlag != 0) {
        PlayOwnRate(kSoundAltWarn, 3000, 0, 0);
        AltitudeAlertFlag = 0;
    }
    const bool stall =
        (StallSystemFail[0] != 0 || StallSystemFail[1] != 0) && Bus(kPoweredLeftEssential);
    PlayOwnRate(kSoundStall, stall ? 3000 : 0, 0, 1);
    const bool takeoff =
        AirDataFlags[2] != 0 || AirDataFlags[3] != 0 || GearFlags[kGearFlagTakeoffWarning] != 0;
    PlayOwnRate(kSoundTakeoffWarning, takeoff ? 4500 : 0, 0, 1);
}

void GpwsVoice() {
    VoiceAlertSequencerRecord& v = VoiceAlertSequencer;
    const int32_t index = VoiceAlertIndex;
    if (index != v.last_index) {
        v.last_index = index;
        if (const GpwsRow* row = GpwsRowFor(index)) {
            v.length = row->length;
            std::copy(std::begin(row->sounds), std::end(row->sounds), std::begin(v.row));
            v.position = 0;
            v.repeat = 0;
            v.gap = 0;
            if (index == kGpwsTestIndex) GpwsTestAcknowledge = 0;
        }
    }
    if (v.length <= 0) return;
    if (v.position < 0 || v.position >= v.length) v.position = 0;
    const int object = kGpwsSoundObject[v.row[v.position]];
    if (SoundPlaying(object)) return;
    if (v.repeat > 0) {
        --v.repeat;
        RedrawRequest.store(255, std::memory_order_release);
        return;
    }
    if (v.gap > 0) {
        --v.gap;
        return;
    }
    Play(object, 3000, 22050, 0, 0);
    ++v.position;
    v.gap = kGpwsGapTicks;
    if (v.position >= v.length) {
        v.position = 0;
        v.repeat = kGpwsRepeatTicks;
        // The test message has been said: the alerting ends the test.
        if (v.last_index == kGpwsTestIndex) GpwsTestAcknowledge = 1;
    }
}

void TcasVoice() {
    int32_t& countdown = SoundSchemeState.tcas_countdown;
    if (TcasState.traffic_request != 0 && countdown == 0) {
        PlayOwnRate(kSoundTcasTraffic, 3900, 0, 0);
        countdown = 200;
        TcasState.traffic_request = 0;
    } else if (countdown > 0) {
        --countdown;
        RedrawRequest.store(255, std::memory_order_release);
    }
}

void ComExchangeChime() {
    if (RadioChangedFlag == 0) return;
    if (Bus(kPoweredLeftEssential)) Play(kSoundComExchange, 3000, 22050, 0, 0);
    RadioChangedFlag = 0;
}

void SoundMixEngine() {
    for (int e = 0; e < 2; ++e) {
        EngineSoundRecord& s = EngineSound[e];
        FilterBladeAngle(s, BladeAngleDegrees(e));
        FollowSoundRpm(e, s);
        ComputeLoad(s);
        EngineSounds(e, s);
        if (SOUND_SPLIT_PLS != 0) SplitGroundSound(e, s);
    }
    AirConditioningSounds();
}

void FlapSelectorSound() {
    const int32_t flaps = flight_controls_FLAPS[0];
    if (flaps != SoundSchemeState.flaps_last && EPIC == 0) RestartDirect(kSoundFlapsSelector, 0);
    SoundSchemeState.flaps_last = flaps;
}

void EnvironmentSounds() {
    const double ias = IndicatedAirspeed;
    const int32_t wind_frequency = Trunc(TableLookup8(kWindFrequency, static_cast<float>(ias)));
    // The curves are single-precision tables: their products are rounded.
    Play(kSoundWind, RoundToInt32(TableLookup8(kWindVolume, static_cast<float>(ias)) * 3500.0),
         wind_frequency, 0, 1);

    int32_t legs = GearLegPosition[0] + GearLegPosition[1] + GearLegPosition[2];
    if (legs > 150) legs = 110;
    if (legs <= 8) {
        Play(kSoundGearWind, 0, 22050, 0, 1);
    } else {
        const int32_t level =
            Trunc(TableLookup8(kGearWindVolume, static_cast<float>(ias)) * 3500.0 * legs) / 110;
        Play(kSoundGearWind, level, wind_frequency, 0, 1);
    }

    if (OnGround != 0) {
        const auto gs = static_cast<float>(GroundSpeed);
        Play(kSoundGroundRoll, Trunc(TableLookup8(kRollVolume, gs) * 5000.0),
             Trunc(TableLookup8(kRollFrequency, gs)), 0, 1);
    } else {
        Play(kSoundGroundRoll, 0, 22050, 0, 1);
    }

    if (RemoteDisplayCountdown.load(std::memory_order_acquire) != 0) {
        GearFlags[kGearFlagTailStrike] = 0;
    } else if (RadioAltitude < 2.5) {
        if (TailStrike()) {
            PlayOwnRate(kSoundTailStrike, 5500, 0, 0);
            GearFlags[kGearFlagTailStrike] = 1;
        } else {
            GearFlags[kGearFlagTailStrike] = 0;
        }
    }

    if (EPIC != 0) {
        Play(kSoundCabinAmbience, 0, 22050, 0, 1);
    } else {
        PlayOwnRate(kSoundCabinAmbience, DoorOpenLevel * 18, 0, 1);
    }

    GearUpThump();
}

void SoundTick() {
    SystemSounds();
    WarningTones();
    GpwsVoice();
    TcasVoice();
    ComExchangeChime();
    SoundMixEngine();
    FlapSelectorSound();
    UpdateAudioRouting();
    EnvironmentSounds();
    if (ENTERTAINMENT != 0) {
        FlightPhaseSequencer();
        AnnouncementPlayer();
    }
}

void WiperUpdate() {
    WiperStateRecord& w = WiperState;
    const int32_t selector = WiperSelector;
    const int32_t last = SoundSchemeState.wiper_selector_last;
    SoundSchemeState.wiper_selector_last = selector;
    if (selector == 1 || !Bus(kPoweredLeftSecondary)) {
        StopDirect(kSoundWipers);
        return;
    }
    // Single sweep: entering position 0 sends the blade out once.
    if (selector == 0 && last != 0) w.direction = 1;
    w.position = std::clamp(w.position, 170, 290);
    w.position += w.direction * (selector == 3 ? 15 : 8);
    if (w.position >= 291) {
        w.position = 290;
        w.direction = -1;
    }
    if (w.position < 170) {
        w.position = 170;
        if (selector > 1) w.direction = 1;
    }
    // Parked after a single sweep.
    if (selector == 0 && w.direction < 0 && w.position == 170) return;
    if (w.direction > 0 && w.position > 180 && !SoundPlaying(kSoundWipers)) {
        RestartDirect(kSoundWipers, 0);
    }
    if (SoundPlaying(kSoundWipers)) Play(kSoundWipers, 2500, 22050, (w.position - 270) * 45, 0);
}

void ApDisconnectSoundSelect() {
    const bool want_long = FGC_comp_FGC1_system_test_timer <= 0;
    if (SoundSystemStarted == 0 || (want_long ? 1 : 0) == SoundSchemeState.ap_disconnect_long) {
        return;
    }
    SoundSchemeState.ap_disconnect_long = want_long ? 1 : 0;
    SoundObject* object = Obj(kSoundApDisconnect);
    SoundObjectFree(object);
    char path[512];
    std::snprintf(path, sizeof path, "%s%s", SoundDirectoryPath,
                  want_long ? kApDisconnectLongFile : "ap_disc_short.wav");
    SoundObjectCreate(object, path);
    SoundSetParams(object, 0, 0, -1000);
}

std::vector<std::string> SoundSetRelativePaths() {
    std::vector<std::string> paths;
    auto add = [&paths](std::string path) {
        std::replace(path.begin(), path.end(), '\\', '/');
        if (std::find(paths.begin(), paths.end(), path) == paths.end()) paths.push_back(path);
    };
    for (const SoundFile& file : kSoundFiles) {
        add(std::string(file.in_folder ? "sound/" : "") + file.name);
    }
    add(std::string("sound/") + kApDisconnectLongFile);
    return paths;
}

}  // namespace zu
