// The aircraft's nine navigation sources: one record each for the empty
// source, the two VOR/ILS receivers, the two ADF receivers, the two
// flight-management outputs and the two auxiliary sources. The FSUIPC and
// host-variable polls fill the receivers' records, the radio heads write
// the tuned frequencies, the flight management system writes FMS1; flight
// guidance, the displays, the head-up guidance and the RMI read them.
#pragma once

#include <cstdint>

namespace zu {

struct NavSourceRecord {
    const char* name;
    uint8_t kind;           // 0 empty, 1 VOR/ILS, 3 ADF, 4 flight management, 5 auxiliary
    uint8_t receive_state;  // VOR/ILS: 0 nothing, 1 VOR, 2 localiser; ADF 3; FMS1 4
    char* ident_text;       // 30-character buffer of its own
    uint8_t bearing_valid;
    double bearing;  // degrees relative to the heading; 90 = no signal
    uint8_t distance_valid;
    double distance;         // nautical miles
    int32_t frequency;       // VOR/ILS MHz x 100, ADF kHz x 10
    int32_t frequency_sent;  // last sent to the simulator
    uint8_t deviation_valid;
    double lateral_deviation;  // needle units, +-127
    uint8_t course_valid;
    double course;        // degrees
    int32_t course_sent;  // whole degrees last sent to the simulator
    uint8_t glideslope_alive;
    uint16_t glideslope_inclination;  // 65536 = 360 degrees
    int8_t glideslope_deviation;
    uint8_t to_from;          // 0 off, 1 to, 2 from
    int32_t time_to_station;  // minutes
    double radio_value;
    uint16_t runway_heading;  // inverse runway heading, 65536 = 360 degrees
    int32_t glideslope_latitude;
    int32_t glideslope_longitude;
    int32_t glideslope_altitude;
    uint16_t glideslope_inclination_copy;
    uint8_t computed_distance;
};

enum NavSourceIndex : int {
    kNavEmpty = 0,
    kNavVor1 = 1,
    kNavVor2 = 2,
    kNavAdf1 = 3,
    kNavAdf2 = 4,
    kNavFms1 = 5,
    kNavFms2 = 6,
    kNavAux1 = 7,
    kNavAux2 = 8,
    kNavSourceCount = 9,
};

// Size of each record's identifier buffer.
inline constexpr int kNavIdentTextSize = 30;

extern NavSourceRecord NavSources[kNavSourceCount];
extern char NavSourceIdentTexts[kNavSourceCount][kNavIdentTextSize + 1];

// Source shown and flown on side 1 and side 2 (index into NavSources).
extern int32_t NavSourceSel1;
extern int32_t NavSourceSel2;

// The simulator's raw bearings of the NAV1 and NAV2 receivers (degrees
// relative to the heading), as the host-variable poll reads them; the
// navigation-source update smooths them into VOR1 and VOR2.
extern double NavReceiverBearing[2];

// Symbol-generator station of each side: the SEL key raises the request, the
// navigation-source update serves it and fills the values for the side's
// computed distance.
struct VsiSelStation {
    double longitude;  // degrees
    double latitude;   // degrees
    double elevation;  // feet
};
extern uint8_t VsiSelRequest1;
extern uint8_t VsiSelRequest2;
extern VsiSelStation VsiSelValues[2];

// A computed distance beyond this is not valid (nautical miles).
inline constexpr double kDmeRangeNm = 70.0;

// Clears a record's receiver state. The tuned frequency stays: clearing it
// would make the write batch retune the simulator's receiver and lose the
// pilot's frequency.
void NavSourceClear(NavSourceRecord& r);

// The power and mode resets, twice a frame.
void NavSourcesReset();

// The computed distance of VOR1 and VOR2; acts every 8th tick.
void DmeUpdate();

// The saved flight-guidance keys (section "zodudori" of the saved flight,
// each a binary structure). Save returns false when a key could not be
// written. Load leaves a missing key's variable, and one whose value is out
// of its range, as it was, then sets both AHRS aligned.
bool FgcStateSave(const char* path);
void FgcStateLoad(const char* path);
// The load with its keys read by `read` (true and exactly `size` bytes in
// `out` when the key is there); FgcStateLoad reads the saved flight.
using FgcKeyReader = bool (*)(const char* key, void* out, uint32_t size, void* context);
void FgcStateLoadWith(FgcKeyReader read, void* context);
// The number of keys saved (true) or loaded (false), and the name of key
// `index` of the table in save order (null past the end).
int FgcStateKeyCount(bool saved);
const char* FgcStateKeyName(int index);

}  // namespace zu
