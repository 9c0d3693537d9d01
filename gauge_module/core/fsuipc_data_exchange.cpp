#include "core/fsuipc_data_exchange.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "cabin_link/cabin_entertainment.h"
#include "cabin_link/instructor_state_exchange.h"
#include "core/autopilot_control_laws.h"
#include "core/blade_angle_locator.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/flight_persistence.h"
#include "core/fsuipc_client.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "core/settings_file.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
#include "instruments/adf_control_heads.h"
#include "instruments/atc_control_head.h"
#include "instruments/audio_panel.h"
#include "instruments/com_control_heads.h"
#include "instruments/vor_control_heads.h"

namespace zu {

int32_t GroundSpeed = 0;
int32_t VerticalSpeedRaw = 0;
int32_t VerticalSpeedHostWord = 0;
int32_t TrueAirspeed = 0;
int16_t HostPauseIndicator = 0;
int16_t BrakeInputWords[3] = {0, 0, 0};
int16_t AileronInputWord = 0;
int16_t ElevatorInputWord = 0;
double HostControlValues[2] = {0.0, 0.0};
double PowerplantHostValue = 0.0;
double HostBladeAngle1 = 0.0;
int32_t FuelTankWords[2] = {0, 0};
double SimClockSeconds = 0.0;
std::atomic<double> PauseWatchClock{0.0};
AircraftPositionRecord AircraftPosition = {0.0, 0.0, 0.0, 0.0};
uint8_t SimClockUtc[3] = {0, 0, 0};
uint16_t SimDayOfYear = 1;
uint16_t SimYear = 2000;
int64_t SimDateTime = 0;
int16_t ParkingBrake = 0;
int16_t HostStateWords[3] = {0, 0, 0};
double AngleOfAttack = 0.0;
double GrossWeight = 0.0;
double PitchRate = 0.0;
double PitchAcceleration = 0.0;
double HostFeed31A0 = 0.0;
double HostFeed31C8 = 0.0;
double RollRate = 0.0;
double RollAcceleration = 0.0;
double YawRate = 0.0;
double YawAcceleration = 0.0;
double HgsAccelerations[4] = {0.0, 0.0, 0.0, 0.0};
double HgsRate = 0.0;
uint32_t HostFeed31E8 = 0;
char AtcCallsign[12] = "ZUVAV";
int32_t Nav1StationPosition[6] = {};
uint16_t FrameRateWord = 0;
int32_t FrameRate = 0;
int32_t FrameRatePrevious = 0;
double FrameRateAverage = 0.0;
double FrameRateJitter = 0.0;
double RadioAltitudeRate = 0.0;
uint16_t FlightSaveCounter = 0;
char FlightName[128] = {};
char LoadedFlightPath[128] = {};

uint16_t TcasSlotCount = 0;
uint16_t TcasSlotSize = 0;
TcasTrafficSlot TcasTrafficSlots[kTcasTrafficSlotCapacity] = {};
int32_t TcasSlotsRead = 0;
int32_t TcasTrafficCount = 0;

uint16_t ButtonSlotOffset[2] = {kButtonSlotFirst, kButtonSlotFirst};
uint8_t ButtonSlotBytes[2][4] = {};
uint8_t ButtonSlotClaimed[2] = {0, 0};

int32_t LightsWordSent = 0;
int32_t TransponderCodeBcdSent = 0;
int32_t AudioRoutingMaskSent = 0;
double PropBladeTarget[2] = {0.0, 0.0};
int32_t PropBladeHold[2] = {0, 0};
double PropFeatherBlend[2] = {0.0, 0.0};
uint8_t ClockSetBytes[2] = {255, 255};
uint8_t JoystickDisconnectBits = 0;

std::atomic<uint8_t> WeatherSampleFlags[2] = {0, 0};
int32_t WeatherSampleIndex = 0;
double WeatherSampleLatitude[8] = {};
double WeatherSampleLongitude[8] = {};
uint8_t WeatherSampleLines[kWeatherSamples][kWeatherRecordSize] = {};

int16_t ElevatorTrimInput = 0;
std::atomic<uint8_t> SimFrozen{1};
int32_t PauseWatchCountdown = 4;
double PauseWatchPrevious = 0.0;

// ---------------------------------------------------------------------------
// Encodings

uint16_t BcdEncode4(int32_t n) {
    uint32_t v = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
    v %= 10000;
    return static_cast<uint16_t>((v / 1000) << 12 | (v / 100 % 10) << 8 | (v / 10 % 10) << 4 |
                                 (v % 10));
}

int32_t BcdDecode4(uint32_t bcd) {
    return static_cast<int32_t>((bcd >> 12 & 0xF) * 1000 + (bcd >> 8 & 0xF) * 100 +
                                (bcd >> 4 & 0xF) * 10 + (bcd & 0xF));
}

namespace {

int64_t ToUnits(double value, double units) {
    const double v = value * units;
    if (!std::isfinite(v)) return 0;
    if (v >= 9223372036854775807.0) return INT64_MAX;
    if (v <= -9223372036854775808.0) return INT64_MIN;
    return static_cast<int64_t>(v);
}

}  // namespace

int64_t LatitudeToUnits(double latitude) {
    if (!std::isfinite(latitude)) return 0;
    return ToUnits(std::clamp(latitude, -90.0, 90.0), kLatitudeUnits);
}

int64_t LongitudeToUnits(double longitude) {
    if (!std::isfinite(longitude)) return 0;
    double lon = std::fmod(longitude + 180.0, 360.0);
    if (lon < 0.0) lon += 360.0;
    return ToUnits(lon - 180.0, kLongitudeUnits);
}

namespace {

bool Read(uint32_t offset, uint32_t size, void* destination) {
    return FsuipcRead(offset, size, destination, &FsuipcResult);
}

bool Write(uint32_t offset, uint32_t size, const void* source) {
    return FsuipcWrite(offset, size, source, &FsuipcResult);
}

template <typename T>
bool WriteValue(uint32_t offset, T value) {
    return Write(offset, sizeof(T), &value);
}

bool Process() {
    return FsuipcProcess(&FsuipcResult);
}

bool Queued() {
    return FsuipcView != nullptr && FsuipcRequestCursor != FsuipcView;
}

// Answer buffers of the poll that are turned into module state after the
// batch returns.
struct PollBuffers {
    uint8_t nav1_flags[4];  // 0x0C49, 0x0C4A, 0x0C4B, 0x0C4C
    uint16_t nav1_station[2];
    int32_t nav1_glideslope[3];
    uint8_t nav2_flags[4];  // 0x0C6E, 0x0C6F, 0x0C5A, 0x0C5B
    uint16_t nav2_station[2];
    int32_t nav2_glideslope[3];
    int32_t ground_speed;
    int32_t vertical_speed;
    int64_t longitude;
    int64_t latitude;
    uint16_t com[2];
    uint16_t nav[2];
    uint16_t adf1[2];
    uint16_t adf2[2];
    uint16_t adf2_bearing;
    double clock;
};
PollBuffers poll;

// Date and time from the simulator's UTC: days since 1970 of the year and
// day of year, as whole days, plus the time of day.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void RebuildSimDateTime() {
    const int64_t days = DaysFromCivil(SimYear, 1, 1) + std::max<int>(SimDayOfYear, 1) - 1;
    SimDateTime = days * 86400 + int64_t{SimClockUtc[2]} * 3600 + int64_t{SimClockUtc[1]} * 60 +
                  int64_t{SimClockUtc[0]};
}

// The poll's reads, in their order (with the identifier reads and the
// reads of some passes between the lists).
const FsuipcReadRequest kPollNav1[] = {
    {0x0C49, 1, &poll.nav1_flags[0]},   {0x0C4A, 1, &poll.nav1_flags[1]},
    {0x0C4B, 1, &poll.nav1_flags[2]},   {0x0C4C, 1, &poll.nav1_flags[3]},
    {0x0872, 2, &poll.nav1_station[0]}, {0x0870, 2, &poll.nav1_station[1]},
};
const FsuipcReadRequest kPollNav2[] = {
    {0x085C, 4, &Nav1StationPosition[0]},  {0x0864, 4, &Nav1StationPosition[1]},
    {0x086C, 4, &Nav1StationPosition[2]},  {0x0874, 4, &poll.nav1_glideslope[0]},
    {0x0878, 4, &poll.nav1_glideslope[1]}, {0x087C, 4, &poll.nav1_glideslope[2]},
    {0x0C6E, 1, &poll.nav2_flags[0]},      {0x0C6F, 1, &poll.nav2_flags[1]},
    {0x0C5A, 1, &poll.nav2_flags[2]},      {0x0C5B, 1, &poll.nav2_flags[3]},
    {0x0846, 2, &poll.nav2_station[0]},    {0x0844, 2, &poll.nav2_station[1]},
};
const FsuipcReadRequest kPollAircraft[] = {
    {0x0858, 4, &Nav1StationPosition[3]},
    {0x0860, 4, &Nav1StationPosition[4]},
    {0x0868, 4, &Nav1StationPosition[5]},
    {0x084C, 4, &poll.nav2_glideslope[0]},
    {0x0850, 4, &poll.nav2_glideslope[1]},
    {0x0854, 4, &poll.nav2_glideslope[2]},
    {0x7B96, 1, &Com1PanelHostFlag},
    {0x7B9A, 1, &ComPanelHostFlag},
    {0x0264, 2, &HostPauseIndicator},
    {0x0BCA, 2, &BrakeInputWords[0]},
    {0x0BC4, 2, &BrakeInputWords[1]},
    {0x0BC6, 2, &BrakeInputWords[2]},
    {0x3304, 4, &FsuipcVersion},
    {0x0BB6, 2, &AileronInputWord},
    {0x0BB2, 2, &ElevatorInputWord},
    {0x2E98, 8, &HostControlValues[0]},
    {0x2EA8, 8, &HostControlValues[1]},
    {0x02B8, 4, &TrueAirspeed},
    {0x02B4, 4, &poll.ground_speed},
    {0x02C8, 4, &poll.vertical_speed},
    {0x02C8, 4, &VerticalSpeedHostWord},
    {0x3070, 8, &PowerplantHostValue},
    {0x2418, 8, &HostBladeAngle1},
    {0x0B7C, 4, &FuelTankWords[0]},
    {0x0B98, 4, &FuelTankWords[1]},
    {0x0310, 8, &poll.clock},
    {0x0568, 8, &poll.longitude},
    {0x0560, 8, &poll.latitude},
    {0x023A, 1, &SimClockUtc[0]},
    {0x0239, 1, &SimClockUtc[1]},
    {0x023B, 1, &SimClockUtc[2]},
    {0x023E, 2, &SimDayOfYear},
    {0x0240, 2, &SimYear},
    {0x0BC8, 2, &ParkingBrake},
};
const FsuipcReadRequest kPollHostState[] = {
    {0x0E9E, 2, &HostStateWords[0]},
    {0x0EA6, 2, &HostStateWords[1]},
    {0x0EAE, 2, &HostStateWords[2]},
};
const FsuipcReadRequest kPollRates[] = {
    {0x31A8, 8, &PitchRate},
    {0x3078, 8, &PitchAcceleration},
    {0x31A0, 8, &HostFeed31A0},
    {0x31C8, 8, &HostFeed31C8},
    {0x31B0, 8, &RollRate},
    {0x3080, 8, &RollAcceleration},
    {0x31B8, 8, &YawRate},
    {0x3088, 8, &YawAcceleration},
    {0x3060, 8, &HgsAccelerations[0]},
    {0x31A0, 8, &HgsRate},
    {0x3090, 8, &HgsAccelerations[1]},
    {0x3198, 8, &HgsAccelerations[2]},
    {0x3190, 8, &HgsAccelerations[3]},
};
const FsuipcReadRequest kPollRadios[] = {
    {0x0274, 2, &FrameRateWord},     {0x034E, 2, &poll.com[0]},  {0x3118, 2, &poll.com[1]},
    {0x0350, 2, &poll.nav[0]},       {0x0352, 2, &poll.nav[1]},  {0x034C, 2, &poll.adf1[0]},
    {0x0356, 2, &poll.adf1[1]},      {0x02D4, 2, &poll.adf2[0]}, {0x02D6, 2, &poll.adf2[1]},
    {0x02D8, 2, &poll.adf2_bearing},
};

template <size_t N>
void ReadAll(const FsuipcReadRequest (&reads)[N]) {
    FsuipcReadAll(reads, N, &FsuipcResult);
}

void QueuePoll() {
    ReadAll(kPollNav1);
    Read(0x3000, 25, NavSources[kNavVor1].ident_text);
    ReadAll(kPollNav2);
    Read(0x301F, 25, NavSources[kNavVor2].ident_text);
    ReadAll(kPollAircraft);
    if (HostPassChangeBits & 0x02) ReadAll(kPollHostState);
    Read(0x2ED0, 8, &AngleOfAttack);
    if (HostPassChangeBits & 0x02) Read(0x30C0, 8, &GrossWeight);
    ReadAll(kPollRates);
    if (HostPassChangeBits & 0x08) Read(0x313C, 12, AtcCallsign);
    for (int i = 0; i < 2; ++i) {
        if (ButtonSlotClaimed[i] != 0) Read(ButtonSlotOffset[i], 4, ButtonSlotBytes[i]);
    }
    ReadAll(kPollRadios);
}

// The simulator's radio holds what the module last sent it: the echo of the
// module's own write, not a retune. Taking it as one would undo a head that
// moved on meanwhile (and, for a COM head, flip between the two values on
// every pass). A value the write batch had to clamp does come back.
bool IsOwnEcho(int32_t decoded, int32_t sent, int32_t low, int32_t high) {
    return sent >= low && sent <= high && decoded == sent;
}

void ComRadioPoll(ComRadioRecord& radio, uint16_t word) {
    radio.host_bcd = word;
    if (radio.host_bcd == radio.host_bcd_seen) return;
    radio.host_bcd_seen = radio.host_bcd;
    if (IsOwnEcho(BcdDecode4(word) + 10000, radio.sent_frequency, 10800, 13795)) return;
    double mhz = BcdDecode4(word) * 0.01 + 100.0;
    const double quarter = mhz * 40.0;
    if (std::fabs(quarter - std::round(quarter)) > 0.002) mhz += 0.005005;
    radio.active = static_cast<float>(mhz);
    RadioChangedFlag = 1;
}

// A receiver retuned by the simulator: the record takes the new frequency
// as tuned and as sent, so the write batch does not send it back.
void NavRadioPoll(RadioPanelState& head, NavRadioRecord& radio, NavSourceRecord& source,
                  uint16_t word) {
    head.host_frequency = word;
    if (head.host_frequency == head.host_frequency_seen) return;
    head.host_frequency_seen = head.host_frequency;
    if (IsOwnEcho(BcdDecode4(word) + 10000, source.frequency_sent, 10800, 13795) &&
        source.frequency >= 10800 && source.frequency <= 13795) {
        return;
    }
    const double mhz = BcdDecode4(word) * 0.01 + 100.000005;
    radio.active = static_cast<float>(mhz);
    source.frequency = RoundToInt32(mhz * 100.0);
    source.frequency_sent = source.frequency;
}

void AdfRadioPoll(AdfPanelStateRecord& head, AdfRadioRecord& radio, NavSourceRecord& source,
                  const uint16_t words[2]) {
    head.host_frequency = words[0];
    head.host_frequency_ext = words[1];
    if (head.host_frequency == head.host_frequency_seen &&
        head.host_frequency_ext == head.host_frequency_ext_seen) {
        return;
    }
    head.host_frequency_seen = head.host_frequency;
    head.host_frequency_ext_seen = head.host_frequency_ext;
    const double khz =
        BcdDecode4(words[0]) + (words[1] >> 8 & 0xFF) * 1000.0 + (words[1] & 0xFF) * 0.1 + 0.000005;
    // The head's own frequency inside what the write batch sends unclamped.
    if (IsOwnEcho(RoundToInt32(khz * 10.0), source.frequency_sent, 1900, 17004) &&
        source.frequency >= 1900 && source.frequency < 17005) {
        return;
    }
    radio.active = static_cast<float>(khz);
    source.frequency = RoundToInt32(khz * 10.0);
    source.frequency_sent = source.frequency;
}

void ReceiverState(NavSourceRecord& source, uint8_t flags) {
    if (flags == 0) return;
    if (flags & 0x02) {
        source.receive_state = 2;
        source.bearing = 90.0;
        source.bearing_valid = 0;
    } else {
        source.receive_state = 1;
    }
}

void StoreNavStation(NavSourceRecord& source, const uint8_t flags[4], int glideslope_deviation,
                     int to_from, int glideslope_alive, const uint16_t station[2],
                     const int32_t glideslope[3]) {
    source.glideslope_deviation = static_cast<int8_t>(flags[glideslope_deviation]);
    source.to_from = flags[to_from];
    source.glideslope_alive = flags[glideslope_alive];
    source.glideslope_inclination = station[0];
    source.glideslope_inclination_copy = station[0];
    source.runway_heading = station[1];
    source.glideslope_latitude = glideslope[0];
    source.glideslope_longitude = glideslope[1];
    source.glideslope_altitude = glideslope[2];
}

void PollConversions() {
    NavSourceRecord& vor1 = NavSources[kNavVor1];
    NavSourceRecord& vor2 = NavSources[kNavVor2];
    // NAV1 flags: 0x0C49 glideslope needle, 0x0C4A receiver flags, 0x0C4B
    // to/from, 0x0C4C glideslope flag. NAV2: 0x0C6E glideslope needle, 0x0C6F
    // glideslope flag, 0x0C5A receiver flags, 0x0C5B to/from.
    StoreNavStation(vor1, poll.nav1_flags, 0, 2, 3, poll.nav1_station, poll.nav1_glideslope);
    StoreNavStation(vor2, poll.nav2_flags, 0, 3, 1, poll.nav2_station, poll.nav2_glideslope);
    vor1.ident_text[25] = '\0';
    vor2.ident_text[25] = '\0';

    AircraftPosition.latitude = static_cast<double>(poll.latitude) / kLatitudeUnits;
    AircraftPosition.longitude = static_cast<double>(poll.longitude) / kLongitudeUnits;
    SimClockSeconds = poll.clock;
    PauseWatchClock.store(poll.clock, std::memory_order_relaxed);

    // 1. COM radios.
    ComRadioPoll(Com1Radio, poll.com[0]);
    ComRadioPoll(Com2Radio, poll.com[1]);
    // 2. NAV radios.
    NavRadioPoll(Vor1PanelState, Vor1Radio, vor1, poll.nav[0]);
    NavRadioPoll(Vor2PanelState, Vor2Radio, vor2, poll.nav[1]);
    // 3. ADF radios.
    AdfRadioPoll(Adf1PanelState, Adf1Radio, NavSources[kNavAdf1], poll.adf1);
    AdfRadioPoll(Adf2PanelState, Adf2Radio, NavSources[kNavAdf2], poll.adf2);
    // 4. ADF2 relative bearing.
    NavSources[kNavAdf2].bearing = poll.adf2_bearing * 0.005493164;
    NavSources[kNavAdf2].radio_value = 16000.0;
    // 5. Frame rate.
    const int32_t word = FrameRateWord == 0 ? 1 : FrameRateWord;
    FrameRate = 32768 / word;
    FrameRateAverage = (FrameRate + FrameRateAverage * 250.0) / 251.0;
    FrameRateJitter = (std::abs(FrameRate - FrameRatePrevious) + FrameRateJitter * 250.0) / 251.0;
    FrameRatePrevious = FrameRate;
    // 6. Receiver state.
    ReceiverState(vor1, poll.nav1_flags[1]);
    ReceiverState(vor2, poll.nav2_flags[2]);
    // 7. Vertical speed and ground speed.
    VerticalSpeedRaw = RoundToInt32(poll.vertical_speed * 0.768836);
    GroundSpeed = RoundToInt32(poll.ground_speed * 1.944 / 65536.0);
    // 8.
    if (BankAttitude > 270.0f) RollAcceleration = -RollAcceleration;
}

}  // namespace

double RadioAltitudeRateClock = 0.0;
double RadioAltitudeRatePrevious = 0.0;

namespace {

// Radio-altitude rate: refreshed when the simulator clock has moved on by
// more than half a second.

void RadioAltitudeRateUpdate() {
    const double dt = SimClockSeconds - RadioAltitudeRateClock;
    if (dt > 0.5) {
        RadioAltitudeRate = (RadioAltitudeRate * 3.0 + (RadioAltitude - RadioAltitudeRatePrevious) *
                                                           3.2857 / (dt * 0.016666)) *
                            0.25;
        RadioAltitudeRateClock = SimClockSeconds;
        RadioAltitudeRatePrevious = RadioAltitude;
    }
}

void ButtonSlotsPoll() {
    std::atomic<uint8_t>* flags[2] = {&TcsButtonState, &ApDisconnectButtonState};
    for (int i = 0; i < 2; ++i) {
        if (ButtonSlotClaimed[i] == 0) continue;
        uint8_t& state = ButtonSlotBytes[i][3];
        if (state & 0x01) {
            flags[i]->store((state >> 1) & 0x01, std::memory_order_release);
            state = static_cast<uint8_t>(state & ~0x01);
        }
    }
}

}  // namespace

void FsuipcPoll() {
    if (FrameChangeBits.load(std::memory_order_acquire) & 0x04) RebuildSimDateTime();
    QueuePoll();
    if (Process()) {
        PollConversions();
        // 9.
        RadioAltitudeRateUpdate();
        // 11.
        ButtonSlotsPoll();
        // Fresh data for the flight guidance, with the VOR 1 passage value.
        FgcPassageInput = NavSources[kNavVor1].radio_value;
        FgcNewData1.store(1, std::memory_order_release);
        FgcNewData2.store(1, std::memory_order_release);
    }
    // 10. Read 0x31E8 with the next batch.
    if (HostPassChangeBits & 0x04) Read(0x31E8, 4, &HostFeed31E8);
    // 12.
    TcasTrafficRead();
    // 13. The save counter and flight name with the next batch.
    if (HostPassChangeBits & 0x10) {
        Read(0x3BD2, 2, &FlightSaveCounter);
        Read(0x0400, 128, FlightName);
    }
}

void TcasTrafficRead() {
    if (TcasSlotCount < 1 || TcasSlotSize < 1) {
        Read(kTrafficSlotCountOffset, 2, &TcasSlotCount);
        Read(kTrafficSlotSizeOffset, 2, &TcasSlotSize);
        Process();
        return;
    }
    if ((HostPassChangeBits & 0x04) == 0) return;
    // The slot count comes from the simulator: read no more slots than the
    // table holds, and none past the end of the offset space.
    int32_t count = std::min<int32_t>(TcasSlotCount, kTcasTrafficSlotCapacity);
    while (count > 0 &&
           kTrafficSlotsOffset + uint64_t(count - 1) * TcasSlotSize + sizeof(TcasTrafficSlot) >
               0x10000) {
        --count;
    }
    for (int32_t i = 0; i < count; ++i) {
        Read(kTrafficSlotsOffset + static_cast<uint32_t>(i) * TcasSlotSize, sizeof(TcasTrafficSlot),
             &TcasTrafficSlots[i]);
    }
    if (!Process()) return;
    TcasSlotsRead = count;
    int32_t traffic = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (TcasTrafficSlots[i].identifier != 0) ++traffic;
    }
    TcasTrafficCount = traffic;
}

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

constexpr float kBladeGroundTable[16] = {2600,  3081, 3300, 4500, 6500, 8800, 9200, 24000,
                                         -12.0, -4.2, 0.13, 0.30, 1.35, 10.5, 11.5, 12.5};
constexpr float kBladeReverseTable[16] = {1000,   1050,   1100,   1160,   1200,   1200,
                                          1200,   1200,   0.2105, 0.2632, 0.7018, 1.7544,
                                          1.7544, 1.7544, 1.7544, 1.7544};
constexpr float kBladeAirTable[16] = {2600,  3000, 3500, 5000, 7000, 10000, 10002, 24000,
                                      -12.0, -3.2, 0.0,  10.0, 13.0, 14.0,  15.0,  17.0};
constexpr uint32_t kBladeOffsets[2] = {0x2418, 0x2518};

// Driven while the engine's throttle command (the value the key events send
// on 0x1011C / 0x1011D) is negative: the lever in the beta and reverse range.
void BladeAngleTargets() {
    const double host_angle[2] = {HostBladeAngle1, PropPitch2};
    const double nh[2] = {Nh1State.nh, Nh2State.nh};
    for (int e = 0; e < 2; ++e) {
        if (ThrottleCommand[e] >= 0.0) continue;
        const double rpm = PropRpm[e];
        double target;
        if (OnGround != 0) {
            target = TableLookup8(kBladeGroundTable, static_cast<float>(PowerLeverPosition[e])) *
                     kDegToRad;
            if (target < 0.0 && rpm > 1000.0) {
                target = -TableLookup8(kBladeReverseTable, static_cast<float>(rpm));
            }
        } else {
            const double a =
                TableLookup8(kBladeAirTable, static_cast<float>(PowerLeverPosition[e])) * kDegToRad;
            if (57.0 * host_angle[e] > -4.0 && rpm > 900.0) {
                const double s = (rpm - 1350.0) * 0.001 + (a + PropBladeTarget[e]) * 0.5;
                target = std::max(a, s);
            } else {
                target = host_angle[e];
            }
        }
        if (rpm >= 400.0 || rpm <= 150.0) {
            PropBladeHold[e] = 34;
        } else {
            CountdownTick(&PropBladeHold[e]);
        }
        if (OnGround != 0) {
            if (PropFeatherCountdown[e] > 0) {
                target = (nh[e] < 29.0 && PropBladeHold[e] > 0 ? 85.0 : 90.0) * kDegToRad;
            }
            if (IttValue[e] == 0 && PropFeatherCountdown[e] > 0) target = 85.0 * kDegToRad;
            if (PropFeatherHold[e] != 0) target = PropFeatherHeldAngle[e];
        }
        PropBladeTarget[e] = target;
        WriteValue(kBladeOffsets[e], target);
        StoreLocatedBladeAngle(e, target);
    }
}

void TrimInhibitWrite() {
    if (TrimInhibit != 0) {
        WriteValue(0x2EB0, static_cast<double>(TrimInhibit));
    } else if (TrimInhibitPrevious != 0) {
        WriteValue(0x2EB0, 0.0);
    }
    TrimInhibitPrevious = TrimInhibit;
}

void CourseWrite(NavSourceRecord& source, uint32_t offset) {
    if (!std::isfinite(source.course)) return;
    const int32_t course = static_cast<int32_t>(source.course);
    if (course != source.course_sent) {
        WriteValue(offset, static_cast<int16_t>(course));
        source.course_sent = course;
    }
}

void NavFrequencyWrite(NavSourceRecord& source, uint32_t offset) {
    if (source.frequency == source.frequency_sent) return;
    const int32_t v = std::clamp(source.frequency, 10800, 13795);
    source.frequency = v;
    WriteValue(offset, BcdEncode4(v - 10000));
    WriteValue(0x0388, uint8_t{2});
    source.frequency_sent = v;
}

void AdfFrequencyWrite(NavSourceRecord& source, uint32_t offset, uint32_t ext_offset) {
    if (source.frequency == source.frequency_sent) return;
    const int32_t v = std::clamp(source.frequency, 1900, 17005);
    source.frequency = v;
    const int32_t w = v >= 10000 ? v - 10000 : v;
    WriteValue(offset, BcdEncode4(w / 10));
    WriteValue(ext_offset, static_cast<uint16_t>(((v / 10000) << 8) + v % 10));
    WriteValue(0x0389, uint8_t{2});
    source.frequency_sent = v;
}

// The raw value is kept as sent, so a value outside the band is sent (as
// its clamp) once and not again on every pass.
void ComFrequencyWrite(ComRadioRecord& radio, uint32_t offset) {
    if (radio.send_frequency == radio.sent_frequency) return;
    const int32_t v = std::clamp(radio.send_frequency, 10800, 13795);
    WriteValue(offset, BcdEncode4(v - 10000));
    WriteValue(0x038A, uint8_t{2});
    radio.sent_frequency = radio.send_frequency;
}

void LightsWrite() {
    int32_t word = ExteriorPanelLights != 0 ? 0x20 : 0;
    if (CountdownTick(&RefreshCountdown[9])) {
        word ^= 0x20;
        RefreshCountdown[2] = 64;
        RefreshCountdown[4] = 64;
        RefreshCountdown[11] = 64;
    }
    if (ExteriorStrobeLights != 0) word |= 0x50;
    if (ExteriorBeaconLights != 0) word |= 0x02;
    if (ExteriorNavLights != 0) word |= 0x01;
    if (ExteriorWingLights != 0) word |= 0x80;
    if (LandingLightSwitch1.get() != 0 || LandingLightSwitch2.get() != 0) word |= 0x04;
    if (TaxiLightOutput.get() != 0) word |= 0x08;
    if (word != LightsWordSent) {
        WriteValue(0x0D0C, static_cast<uint16_t>(word));
        LightsWordSent = word;
    }
}

void ControlInputWrite() {
    uint8_t byte = (FlightSurfacesInstructorStates[0] & FlightSurfacesInstructorStates[1]) != 0;
    if ((OnGround != 0 && FlightControlGating < 1000) ||
        (OnGround == 0 && RudderInputInhibit != 0)) {
        byte |= 4;
    }
    if (DINPUT_USE != 0) byte |= JoystickDisconnectBits;
    WriteValue(0x310A, byte);
}

}  // namespace

void FsuipcWriteBatch() {
    if (HostIoStartDelay > 0) return;
    const bool second = (HostPassChangeBits & 0x02) != 0;

    // 1. and 2. Blade angles and the trim hold, in their own batch.
    BladeAngleTargets();
    TrimInhibitWrite();
    if (Queued()) Process();

    // 3. Courses.
    CourseWrite(NavSources[kNavVor1], 0x0C4E);
    CourseWrite(NavSources[kNavVor2], 0x0C5E);
    // 4. NAV frequencies.
    NavFrequencyWrite(NavSources[kNavVor1], 0x0350);
    NavFrequencyWrite(NavSources[kNavVor2], 0x0352);
    // 5. ADF frequencies.
    AdfFrequencyWrite(NavSources[kNavAdf1], 0x034C, 0x0356);
    AdfFrequencyWrite(NavSources[kNavAdf2], 0x02D4, 0x02D6);
    // 6. COM frequencies.
    ComFrequencyWrite(Com1Radio, 0x034E);
    ComFrequencyWrite(Com2Radio, 0x3118);
    // 7. Transponder standby and ident.
    if (second) WriteValue(0x7B91, uint8_t{TransponderState.mode < 3 ? uint8_t{1} : uint8_t{0}});
    WriteValue(0x7B93, TransponderIdent);
    // 8. Constants.
    if (second) {
        WriteValue(0x3102, uint8_t{1});
        WriteValue(0x3103, uint8_t{1});
        if (StartupEventsSent != 0) WriteValue(0x0888, uint8_t{12});
        WriteValue(0x3124, uint8_t{1});
        WriteValue(0x3109, FSUIPC_CALIBR_DISABLE);
        WriteValue(0x0330, uint16_t{16212});
        WriteValue(0x2EE0, int32_t{1});
    }
    // 9. Transponder code.
    if (TransponderCodeBcd != TransponderCodeBcdSent) {
        WriteValue(0x0354, TransponderCodeBcd);
        WriteValue(0x038A, uint8_t{1});
        TransponderCodeBcdSent = TransponderCodeBcd;
    }
    // 10. Clock setting.
    for (uint8_t& b : ClockSetBytes) {
        if (b != 255) {
            WriteValue(0x023A, b);
            b = 255;
        }
    }
    // 11. Audio.
    if (AudioRoutingMask != AudioRoutingMaskSent || second) {
        WriteValue(0x3122, AudioRoutingMask);
        WriteValue(0x02FB, AudioPanelSwitches[1]);
        AudioRoutingMaskSent = AudioRoutingMask;
    }
    // 12. Lights.
    LightsWrite();
    // 13. Control inputs, every 4th tick.
    if (FrameChangeBits.load(std::memory_order_acquire) & 0x04) ControlInputWrite();
    // 14. Trim output.
    WriteValue(0x2EC0, static_cast<double>(TrimOutput));
    // 15. Button slots.
    for (int i = 0; i < 2; ++i) {
        if (ButtonSlotClaimed[i] != 0) Write(ButtonSlotOffset[i], 4, ButtonSlotBytes[i]);
    }
    // 16.
    Process();
}

void PropBladeAngleUpdate(int32_t unused) {
    (void)unused;
    if (OnGround != 0) return;
    for (int e = 0; e < 2; ++e) {
        if (PropFeatherCountdown[e] < 1) continue;
        const double x = (HostVariables[e == 0 ? kHvPropRpm1 : kHvPropRpm2].value - 450.0) * 0.04;
        const double v = x / (x + 5.0);
        double s = PropFeatherBlend[e];
        s = (5.0 * s + v + s) / 6.0;
        if (!std::isfinite(s)) s = 13.0 * kDegToRad;
        s = std::clamp(s, 13.0 * kDegToRad, 59.0 * kDegToRad);
        PropFeatherBlend[e] = s;
        WriteValue(kBladeOffsets[e], s);
        StoreLocatedBladeAngle(e, s);
    }
    if (Queued()) Process();
}

void JoystickButtonsSend() {
    const uint16_t joystick[2] = {AP_TCS_JOYSTICK_NUMBER, AP_DISC_JOYSTICK_NUMBER};
    const uint16_t button[2] = {AP_TCS_BUTTON_NUMBER, AP_DISC_BUTTON_NUMBER};
    for (int i = 0; i < 2; ++i) {
        ButtonSlotClaimed[i] = 0;
        uint16_t offset = kButtonSlotFirst;
        uint8_t slot[4] = {};
        bool free_found = false;
        while (offset < kButtonSlotEnd) {
            std::memset(slot, 0xFF, sizeof slot);
            if (!Read(offset, 4, slot) || !Process()) break;
            if (slot[0] == 0) {
                free_found = true;
                break;
            }
            offset = static_cast<uint16_t>(offset + 4);
        }
        // Only a free slot of the table is taken; a full table (or a failed
        // read) leaves the button unassigned rather than overwriting another
        // user's slot.
        if (!free_found) continue;
        ButtonSlotOffset[i] = offset;
        ButtonSlotBytes[i][0] = static_cast<uint8_t>(joystick[i] + 128);
        ButtonSlotBytes[i][1] = static_cast<uint8_t>(button[i]);
        ButtonSlotBytes[i][2] = 2;
        ButtonSlotBytes[i][3] = 0;
        if (Write(offset, 4, ButtonSlotBytes[i]) && Process()) ButtonSlotClaimed[i] = 1;
    }
}

void FlightPathRequest() {
    if (Queued()) Process();
    Read(0x3F04, 128, LoadedFlightPath);
    FlightLoadCounter = 1;
    // The read gets a batch of its own, so the load sequence knows when the
    // path is in; a batch that failed is asked again on the next pass.
    if (Process()) {
        LoadedFlightPath[sizeof LoadedFlightPath - 1] = 0;
        LoadedFlightPathArrived.store(1, std::memory_order_release);
    }
}

void AircraftReposition() {
    const double latitude = RemotePositionValues[1] / 60.0;
    const double longitude =
        RemotePositionValues[2] / (60.0 * std::cos(latitude * kDegToRad) + 0.000005);
    if (RemotePositionValues[0] > 7.0) {
        WriteValue(0x0560, LatitudeToUnits(latitude));
        WriteValue(0x0568, LongitudeToUnits(longitude));
        // Whole metres, rounded down; RoundToInt32 holds them to the 32-bit
        // range and reads a non-finite altitude as 0.
        const double metres =
            std::floor((static_cast<double>(Altitude) + 4.0) * 0.3043491493441276);
        WriteValue(0x0574, RoundToInt32(metres));
        WriteValue(0x0570, uint32_t{0});
    }
    auto angle_word = [](double degrees) -> uint32_t {
        const double v = degrees * 4294967296.0 / 360.0;
        if (!std::isfinite(v) || std::fabs(v) >= 9.2e18) return 0;
        return static_cast<uint32_t>(static_cast<int64_t>(v));
    };
    WriteValue(0x0580, angle_word(Heading));
    WriteValue(0x0578, angle_word(PitchAttitude));
    WriteValue(0x057C, angle_word(BankAttitude));
    WriteValue(0x0262, uint16_t{1});
    Process();
}

namespace {

uint8_t weather_request[32];

void WeatherSend(int index) {
    std::memset(weather_request, 0, sizeof weather_request);
    const uint32_t signature = kWeatherRequestSignature;
    std::memcpy(weather_request + 4, &signature, 4);
    std::memcpy(weather_request + 8, "    ", 4);
    std::memcpy(weather_request + 16, &WeatherSampleLatitude[index], 8);
    std::memcpy(weather_request + 24, &WeatherSampleLongitude[index], 8);
    Write(kWeatherOffset, sizeof weather_request, weather_request);
    Process();
}

}  // namespace

void WxrAntennaProc() {
    TraceLine("ENTERING WXR ANTENNA PROC ", 0);
    if (WeatherSampleFlags[kWeatherBusy].load(std::memory_order_acquire) != 0) {
        const int index = std::clamp(WeatherSampleIndex, 0, kWeatherSamples - 1);
        Read(kWeatherOffset, kWeatherRecordSize, WeatherSampleLines[index]);
        Process();
        WeatherSampleIndex = index + 1;
        if (WeatherSampleIndex > kWeatherSamples - 1) {
            WeatherSampleFlags[kWeatherBusy].store(0, std::memory_order_release);
            WeatherSampleFlags[kWeatherPending].store(0, std::memory_order_release);
            WeatherSampleIndex = 0;
            return;
        }
        WeatherSend(WeatherSampleIndex);
    } else if (WeatherSampleFlags[kWeatherPending].load(std::memory_order_acquire) != 0) {
        WeatherSampleIndex = 0;
        WeatherSend(0);
        WeatherSampleFlags[kWeatherBusy].store(1, std::memory_order_release);
    }
}

void TrimInputRead() {
    if (Read(0x0BC0, 2, &ElevatorTrimInput)) Process();
}

void SimPauseWatch() {
    const double now = PauseWatchClock.load(std::memory_order_relaxed);
    if (now == PauseWatchPrevious) {
        if (PauseWatchCountdown > 0) --PauseWatchCountdown;
        if (PauseWatchCountdown == 0) {
            SimFrozen.store(1, std::memory_order_release);
            ElevatorTrimOut = 0;
            ApPitchServoOutput1 = 0.0;
            ApPitchServoOutput2 = 0.0;
            ApRollServoOutput = 0;
        } else {
            SimFrozen.store(0, std::memory_order_release);
        }
    } else {
        PauseWatchCountdown = 4;
        SimFrozen.store(0, std::memory_order_release);
    }
    PauseWatchPrevious = now;
}

}  // namespace zu
