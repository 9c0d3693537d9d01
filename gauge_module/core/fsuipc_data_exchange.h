// The module's traffic with the simulator through FSUIPC: the per-frame
// read batch of the host pass (radios, navigation stations, speeds, body
// rates, position, clock, identity, frame rate, saved-flight counter,
// traffic slots), the per-frame write batch (radio frequencies and courses
// in BCD, transponder, lights, audio, constants, trim, control inputs,
// button slots), and the smaller exchanges: propeller blade angle while
// feathering, the virtual joystick button slots, the flight-file path, the
// repositioning write, the weather samples of the radar, the elevator-trim
// input and the simulator-pause watch.
//
// Every step queues its requests and sends them with one process call; a
// failed batch leaves every destination as it was. The two reads that the
// poll queues "for the next batch" (0x31E8 every 4th pass, the save counter
// and flight name every 16th) stay queued in the shared area and are
// answered by whichever batch of the host pass is processed next: the
// traffic read when it runs, else the flight-path request or the write
// batch. The answer of 0x31E8 (4 bytes) is kept in HostFeed31E8.
//
// BCD: four decimal digits, one per nibble, most significant first. The
// simulator's NAV and COM frequencies drop the leading 1 (BCD of
// MHz x 100 - 10000); an ADF frequency is the BCD of its whole kHz below
// 1000 plus an extension word (high byte the thousands digit, low byte the
// tenths).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace zu {

// ---------------------------------------------------------------------------
// Encodings

// (d3 << 12) | (d2 << 8) | (d1 << 4) | d0 for the digits of n mod 10000
// (negative n count as their magnitude).
uint16_t BcdEncode4(int32_t n);
// The inverse over the low 16 bits (a nibble above 9 counts as its value).
int32_t BcdDecode4(uint32_t bcd);

// Simulator position units: latitude x 477302732389508.7 and longitude x
// 51240955760304312.0 as 64-bit integers.
inline constexpr double kLatitudeUnits = 477302732389508.7;
inline constexpr double kLongitudeUnits = 51240955760304312.0;
// The 64-bit latitude and longitude words of a position in degrees. The
// latitude is held within +-90 and the longitude wrapped into -180..180
// (+180 is sent as -180, the same meridian), so the products stay inside
// the 64-bit range.
int64_t LatitudeToUnits(double latitude);
int64_t LongitudeToUnits(double longitude);

// ---------------------------------------------------------------------------
// State the poll fills

// Ground speed in whole knots (rounded).
extern int32_t GroundSpeed;
// The simulator's vertical speed in feet per minute, rounded.
extern int32_t VerticalSpeedRaw;
// The vertical-speed word as read (second copy, kept raw for the pitch law).
extern int32_t VerticalSpeedHostWord;
// True airspeed, knots x 128 as read.
extern int32_t TrueAirspeed;
// Non-zero while the simulator is paused.
extern int16_t HostPauseIndicator;
// Brake control words: [0] 0x0BCA, [1] 0x0BC4, [2] 0x0BC6.
extern int16_t BrakeInputWords[3];
extern int16_t AileronInputWord;     // 0x0BB6
extern int16_t ElevatorInputWord;    // 0x0BB2
extern double HostControlValues[2];  // 0x2E98, 0x2EA8
extern double PowerplantHostValue;   // 0x3070
extern double HostBladeAngle1;       // 0x2418: engine 1 blade angle (radians)
extern int32_t FuelTankWords[2];     // 0x0B7C, 0x0B98
// The simulator's clock in seconds (0x0310): the copy the radio-altitude
// rate uses, and the copy the pause watch on the systems tick reads.
extern double SimClockSeconds;
extern std::atomic<double> PauseWatchClock;

struct AircraftPositionRecord {
    double latitude;   // degrees, north positive
    double longitude;  // degrees, east positive
    // Distance factors, every 4th tick (flight guidance advisories): latitude
    // × 60 and cos(latitude) × longitude × 60, nautical miles.
    double north_nm;
    double east_nm;
};
extern AircraftPositionRecord AircraftPosition;

// Simulator UTC: second, minute, hour; day of year; year.
extern uint8_t SimClockUtc[3];
extern uint16_t SimDayOfYear;
extern uint16_t SimYear;
// Seconds since 1 January 1970 of the simulator's UTC, rebuilt every 4th
// tick.
extern int64_t SimDateTime;

extern int16_t ParkingBrake;
extern int16_t HostStateWords[3];  // 0x0E9E, 0x0EA6, 0x0EAE (every 2nd pass)
extern double AngleOfAttack;
extern double GrossWeight;  // every 2nd pass

// Body rates and accelerations.
extern double PitchRate;            // 0x31A8
extern double PitchAcceleration;    // 0x3078
extern double HostFeed31A0;         // 0x31A0
extern double HostFeed31C8;         // 0x31C8
extern double RollRate;             // 0x31B0
extern double RollAcceleration;     // 0x3080
extern double YawRate;              // 0x31B8
extern double YawAcceleration;      // 0x3088
extern double HgsAccelerations[4];  // 0x3060, 0x3090, 0x3198, 0x3190
extern double HgsRate;              // 0x31A0 as the head-up guidance keeps it
extern uint32_t HostFeed31E8;       // read every 4th pass with the next batch

// The aircraft's call sign, 12 characters (every 8th pass).
extern char AtcCallsign[12];

// Navigation station positions: NAV1 station (0x085C, 0x0864, 0x086C), then
// the second station (0x0858, 0x0860, 0x0868).
extern int32_t Nav1StationPosition[6];

// Frame rate: the word read (32768 / frames per second), frames per second,
// its running average and jitter.
extern uint16_t FrameRateWord;
extern int32_t FrameRate;
extern int32_t FrameRatePrevious;
extern double FrameRateAverage;
extern double FrameRateJitter;

// Rate of change of the radio altitude, feet per minute.
extern double RadioAltitudeRate;
// The rate's last sample: the simulator clock (s) and the radio altitude (m).
extern double RadioAltitudeRateClock;
extern double RadioAltitudeRatePrevious;

// Saved-flight identity.
extern uint16_t FlightSaveCounter;
extern char FlightName[128];
extern char LoadedFlightPath[128];

// ---------------------------------------------------------------------------
// Traffic slots

#pragma pack(push, 1)
// One traffic slot of the simulator's table (40 bytes, little-endian).
struct TcasTrafficSlot {
    uint32_t identifier;     // 0 = empty
    float latitude;          // degrees
    float longitude;         // degrees
    float altitude;          // feet
    uint16_t heading;        // 65536 = 360 degrees
    uint16_t ground_speed;   // knots
    int16_t vertical_speed;  // feet per minute
    uint8_t reserved[18];
};
#pragma pack(pop)
static_assert(sizeof(TcasTrafficSlot) == 40);
static_assert(offsetof(TcasTrafficSlot, heading) == 16);
static_assert(offsetof(TcasTrafficSlot, vertical_speed) == 20);

inline constexpr uint32_t kTrafficSlotCountOffset = 0xF002;
inline constexpr uint32_t kTrafficSlotSizeOffset = 0xF000;
inline constexpr uint32_t kTrafficSlotsOffset = 0xF080;
// The slots the module reads at most; a larger count from the simulator is
// held at this.
inline constexpr int kTcasTrafficSlotCapacity = 96;

extern uint16_t TcasSlotCount;
extern uint16_t TcasSlotSize;
extern TcasTrafficSlot TcasTrafficSlots[kTcasTrafficSlotCapacity];
// Slots read in the last traffic read, and how many of them hold traffic.
extern int32_t TcasSlotsRead;
extern int32_t TcasTrafficCount;

// ---------------------------------------------------------------------------
// Button slots

// First slot offset of the simulator's button-trap table and its end.
inline constexpr uint16_t kButtonSlotFirst = 0x2910;
inline constexpr uint16_t kButtonSlotEnd = 0x2A00;
// The two slots: [0] the autopilot's touch-control-steering button, [1] the
// autopilot disconnect button. A slot is polled and written back only once
// JoystickButtonsSend has claimed a free one.
extern uint16_t ButtonSlotOffset[2];
extern uint8_t ButtonSlotBytes[2][4];  // joystick + 128, button, flags 2, state
extern uint8_t ButtonSlotClaimed[2];
// The two buttons' states go to TcsButtonState and ApDisconnectButtonState
// (core/flight_guidance.h): bit 1 of the state byte when pressed.

// ---------------------------------------------------------------------------
// Write batch state

extern int32_t LightsWordSent;
extern int32_t TransponderCodeBcdSent;
extern int32_t AudioRoutingMaskSent;
extern double PropBladeTarget[2];   // previous blade-angle target (radians)
extern int32_t PropBladeHold[2];    // per-engine hold counter
extern double PropFeatherBlend[2];  // blade angle while feathering (radians)

// Values of systems the write batch sends that are not part of the module
// yet; they keep these initial values until their systems write them.
extern uint8_t ClockSetBytes[2];        // 255 = nothing to set
extern uint8_t JoystickDisconnectBits;  // control-disconnect bits of the joystick

// ---------------------------------------------------------------------------
// Weather samples

enum WeatherSampleFlag : int { kWeatherPending = 0, kWeatherBusy = 1 };
// [0] request pending (raised by the weather radar on the tick), [1] busy.
extern std::atomic<uint8_t> WeatherSampleFlags[2];
extern int32_t WeatherSampleIndex;
extern double WeatherSampleLatitude[8];
extern double WeatherSampleLongitude[8];
inline constexpr int kWeatherSamples = 4;
inline constexpr uint32_t kWeatherRecordSize = 1024;
extern uint8_t WeatherSampleLines[kWeatherSamples][kWeatherRecordSize];

inline constexpr uint32_t kWeatherOffset = 0xCC00;
// Bytes 4-7 of a weather request: asks for the weather at the position in
// bytes 16-31 rather than at a station.
inline constexpr uint32_t kWeatherRequestSignature = 0x51525857;

// ---------------------------------------------------------------------------
// Elevator trim and pause

// The pilot's elevator-trim input (0x0BC0).
extern int16_t ElevatorTrimInput;
// 1 while the simulator's clock has not moved for 4 systems ticks.
extern std::atomic<uint8_t> SimFrozen;
extern int32_t PauseWatchCountdown;
extern double PauseWatchPrevious;

// ---------------------------------------------------------------------------
// Steps

void FsuipcPoll();
void FsuipcWriteBatch();
void TcasTrafficRead();
void PropBladeAngleUpdate(int32_t unused);
void JoystickButtonsSend();
void FlightPathRequest();
void AircraftReposition();
void WxrAntennaProc();
void TrimInputRead();
void SimPauseWatch();

}  // namespace zu
