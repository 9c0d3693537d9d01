// Flight guidance annunciation: the flight-mode annunciator texts of both
// FGCs, the two message lines of each side with their codes and times, and
// the primary-display advisories computed once per tick (true airspeed or
// static air temperature line, wind components, altitude alert, landing
// attitude warning, aircraft position, map heading value).
//
// Writers run on the systems-tick thread; the display and panel gauges read
// the texts on the gauge thread without a lock. Every text is written with a
// bounded, terminated copy.
#pragma once

#include <atomic>
#include <cstdint>

#include "displays/efis_resources.h"

namespace zu {

inline constexpr int kFgcMessageTextSize = 20;
enum FgcMessageLineIndex : int {
    kMsgSide1Upper = 0,
    kMsgSide1Lower = 1,
    kMsgSide2Upper = 2,
    kMsgSide2Lower = 3,
    kMsgAdvisory1 = 4,
    kMsgAdvisory2 = 5,
    kFgcMessageLineCount = 6,
};
// Six 20-character texts (initially empty).
extern char FgcMessageLines[kFgcMessageLineCount][kFgcMessageTextSize];

// Per side: the upper line's message code (0 none, 1, 2, 3; the ID809
// acknowledge key turns 3 into 2, so it is an atomic), its time in passes,
// the blink flag of a new code-3 message, and the lower line's time.
struct FgcMessageStateRecord {
    std::atomic<int32_t> code;
    int32_t upper_time;
    uint8_t code3_flag;
    int32_t lower_time;
};
extern FgcMessageStateRecord FgcMessageState1;
extern FgcMessageStateRecord FgcMessageState2;

// Advisory state: the TAS display requests (set by the symbol-generator
// select panels) and their countdowns, the altitude-alert countdown and the
// per-side altitude-alert bytes read by the altimeters.
extern std::atomic<uint8_t> TasDisplayRequest[2];
extern int32_t TasDisplayCountdown[2];
extern int32_t AltitudeAlertCountdown;
extern uint8_t PfdAdvisoryFlag;
extern uint8_t PfdAdvisoryFlag2;
// [0] 1 when the wind's along-track component is a tailwind (of 1 kt or
// more), [1] when its cross component comes from the left (blowing right).
extern uint8_t WindComponentSense[2];
// The wind components' rotation record, on the tick (the displays' painters
// turn their points with EfisRotation on the gauge thread).
extern EfisRotationRecord WindTickRotation;
// Ground track (degrees) the map value was last computed from; -1 before
// the first.
extern double MapLastTrack;

// The annunciator power (right essential bus byte).
bool AnnunciatorPowerOn();

// Upper line of both sides: text, code, time in passes.
void FgcMessageSet(const char* text, int32_t code, int32_t time);
// Lower line of both sides: text, time in passes.
void FgcMessageSetLower(const char* text, int32_t time);

// Annunciator texts of FGC 1 and FGC 2 (first thing in each FGC step).
void FmaTextUpdate();
void FgcModeAnnunciation();

// The advisories, once per systems tick from the air-data step.
void PfdAdvisoriesUpdate();

}  // namespace zu
