// The traffic system's state and its step on the systems tick. Every tick
// `TcasCompute` runs the transponder head's countdowns (ident, self-test,
// digit editing), applies the mode table when the selected mode changes
// (legend, TCAS operating mode, which code text is in force) and encodes the
// code in force as BCD for the write batch. Every 4th tick it then rebuilds
// the intruder table from the simulator's traffic slots: positions and rates
// in one flat frame around the own aircraft (nautical miles, nautical miles
// per minute), distance and bearing, proximity and the closest approach of
// each close intruder, the traffic-advisory request and the display range.
//
// The displays read the table on the gauge thread while the tick rebuilds
// it: there are two copies, the tick fills the one not shown and then makes
// it the shown one, so a display always draws one whole table.
#pragma once

#include <atomic>
#include <cstdint>

namespace zu {

struct TcasStateRecord {
    int32_t range_index;      // 0..3: 5, 10, 20, 40 nm; set by the transponder head
    uint8_t traffic_request;  // a traffic advisory is to be announced
};
extern TcasStateRecord TcasState;

// Ranges of the four range steps, nautical miles.
inline constexpr int32_t kTcasRangeNm[4] = {5, 10, 20, 40};

// What each selected transponder mode (0..7) shows and does.
struct TransponderModeEntry {
    int32_t display_mode;  // mode legend 0..5
    int32_t tcas_mode;     // 0..4
    bool vfr_code;         // the VFR code text is in force
};
inline constexpr int32_t kTransponderModes = 8;
extern const TransponderModeEntry TransponderModeTable[kTransponderModes];

// TCAS operating modes (TransponderState.tcas_mode) as the traffic step
// reads them: above standby the traffic is read, from kTcasModeAssess on
// proximity and threats are assessed.
inline constexpr int32_t kTcasModeStandby = 1;
inline constexpr int32_t kTcasModeAssess = 3;

// One intruder: the frame is flat around the own aircraft, east and north
// in nautical miles (a degree of latitude is 60 nm, a degree of longitude
// 60 nm times the cosine of the own latitude), rates in nm per minute.
struct TcasIntruder {
    uint32_t identifier;
    double east;  // own east + east offset
    double north;
    double east_offset;  // from the own aircraft
    double north_offset;
    double altitude;  // feet
    double heading;   // degrees
    uint16_t ground_speed;
    int16_t vertical_speed;  // feet per minute
    double distance;         // great-circle distance from the own aircraft, nm
    double bearing;          // great-circle bearing from the own aircraft, degrees
    uint32_t threat;         // 1: traffic advisory
    char relative_altitude_text[8];  // hundreds of feet, "+05" / "-12"
    double vertical_rate;
    double east_rate;
    double north_rate;
    double approach_time;      // minutes to the closest approach
    double approach_distance;  // nm at the closest approach
    uint8_t proximate;         // within kTcasProximateFeet and kTcasProximateNm
};

inline constexpr int32_t kTcasIntruderCapacity = 100;
struct TcasIntruderTable {
    int32_t count;
    TcasIntruder intruders[kTcasIntruderCapacity];
};
// The two copies of the table, and the one the displays are to read.
extern TcasIntruderTable TcasIntruders[2];
extern std::atomic<int32_t> TcasIntruderShown;
// The table the displays draw.
const TcasIntruderTable& TcasShownIntruders();

// Limits of the table and of the assessment.
inline constexpr double kTcasAltitudeWindowFeet = 3000.0;  // taken when below
inline constexpr double kTcasProximateFeet = 1200.0;
inline constexpr double kTcasProximateNm = 6.0;
inline constexpr double kTcasThreatMinutes = 60.0;
inline constexpr double kTcasThreatNm = 0.5;
// Radio altitude (feet) the traffic-advisory request needs to be above.
inline constexpr int32_t kTcasRequestMinRadioFeet = 400;
// Feet to nautical miles, knots to nm per minute, ft/min to nm per minute.
inline constexpr double kTcasFeetToNm = 0.00016458196181698485;
inline constexpr double kTcasVerticalRateFactor = 0.0001646;

// Own rates, kept by the traffic step (nm per minute).
struct TcasOwnRecord {
    double east_rate;
    double north_rate;
    double vertical_rate;
};
extern TcasOwnRecord TcasOwn;

// The display range in nautical miles: 5 until the first range step, then
// the last valid step's range.
extern int32_t TcasRangeNm;

// The traffic step of the systems tick.
void TcasCompute();

// Its steps, in order.
void TcasIdentCountdown();
void TcasTestCountdown();
void TcasCursorCountdown();
void TcasModeApply();
void TcasCodeEncode();
// The steps of every 4th tick, on the copy being built.
void TcasOwnRates(TcasIntruderTable& table);
void TcasIntrudersRead(TcasIntruderTable& table);
void TcasThreatsAssess(TcasIntruderTable& table);
void TcasTrafficRequest(const TcasIntruderTable& table);
void TcasRangeSelect();

}  // namespace zu
