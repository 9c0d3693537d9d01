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

// Bearing-pointer selections of both navigation displays (0..4), mapped to
// source indices by the nav-receiver update.
extern int32_t FGC_comp_HSI1_bearing0_select;
extern int32_t FGC_comp_HSI1_bearing1_select;
extern int32_t FGC_comp_HSI2_bearing0_select;
extern int32_t FGC_comp_HSI2_bearing1_select;

// The station chosen on a side's symbol generator, from the flight
// management database, for the side's DME step.
struct VsiSelStation {
    double longitude;  // degrees
    double latitude;   // degrees
    double elevation_ft;
};
extern VsiSelStation VsiSelValues[2];

// The power and mode resets of the receivers' records.
void NavSourcesReset();

}  // namespace zu
