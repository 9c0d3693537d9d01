// The stand-in's aircraft: a small deterministic model of a twin turboprop
// that makes the simulator's variables and FSUIPC offsets move as a
// simulator's would. It is part of the simulator stand-in, not of the gauge
// module; docs/aircraft-model.md describes its equations, units and the
// tokens and offsets it publishes.
//
// The simulator steps it once per frame with the frame's simulated time,
// after the clock has advanced; it then publishes its state (variables that
// a scenario or test pinned with Simulator::SetVariable or an `offset`
// command keep their pinned values). The key events the module (or a
// scenario) sends act on it at once; FSUIPC writes that mean something to a
// simulator (repositioning, pause, weather requests) act on it from the
// FSUIPC server's write observer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "zu/simhost/fsuipc_server.h"
#include "zu/simhost/world.h"

namespace zu::simhost {

class Simulator;
class VariableBatch;

// Bytes 4-7 of a weather request at 0xCC00 that asks for the weather at the
// position in bytes 16-31 (the module's value).
inline constexpr uint32_t kWeatherRequestSignature = 0x51525857;
inline constexpr uint32_t kWeatherOffset = 0xCC00;
inline constexpr uint32_t kWeatherRecordSize = 1024;
inline constexpr uint32_t kTrafficSlotSizeOffset = 0xF000;
inline constexpr uint32_t kTrafficSlotCountOffset = 0xF002;
inline constexpr uint32_t kTrafficSlotsOffset = 0xF080;
inline constexpr uint32_t kTrafficSlotSize = 40;
inline constexpr uint32_t kTrafficSlots = 32;

struct EngineState {
    // Commands (as the simulator holds them).
    double throttle = 0;          // power, -16383..16383 (0x1011C/0x1011D); negative: beta/reverse
    double prop_lever = -4096;    // propeller lever, -4096 feathered..16383 (0x10183/0x10184)
    double condition = 0;         // fuel, 0 cut-off..19000 (0x1017F/0x10180)
    uint32_t starter_switch = 0;  // value of the start-switch events (0x1018C/0x10192)
    // State.
    bool combustion = false;
    double nh = 0;  // percent
    double nl = 0;  // percent
    double prop_rpm = 0;
    double torque = 0;           // percent
    double itt = 15;             // degrees Celsius
    double fuel_flow = 0;        // pounds per hour
    double oil_temp = 15;        // degrees Celsius
    double oil_press = 0;        // psi
    double blade_angle = 1.396;  // radians (80 degrees: feathered)
    double thrust = 0;           // pounds
};

struct WeatherCell {
    double latitude;
    double longitude;
    double radius_nm;
    int base_ft;
    int top_ft;
    int intensity;  // 1..5
};

// Another aircraft of the simulated world (verb `traffic`): it flies
// straight along its heading with its ground and vertical speed, and the
// model publishes it in its slot of the traffic table every frame.
struct TrafficTarget {
    bool active = false;
    uint32_t identifier = 0;
    double latitude = 0;   // degrees
    double longitude = 0;  // degrees
    double altitude_ft = 0;
    double heading = 0;         // true, degrees
    double ground_speed = 0;    // knots
    double vertical_speed = 0;  // feet per minute
};

// The last time the wheels met the ground from the air.
struct Touchdown {
    double time_s = 0;              // simulated seconds since the start of the flight
    double vertical_speed_fpm = 0;  // negative: descending
    double gear = 0;                // 0 up .. 1 down, as it was in the air
    double ground_speed_kt = 0;
    double altitude_ft = 0;
    double latitude = 0;
    double longitude = 0;
    double heading_true = 0;
    std::string airport;  // the airport within 5 nm, else empty
    std::string runway;   // the runway end it is on, else empty
    bool crash = false;
    std::string crash_reason;  // why it was a crash
};

// The ground is the elevation of the nearest airport within this distance;
// farther out it stays what it was.
inline constexpr double kAirportGroundRadiusNm = 5.0;
// A touchdown off the runways faster than this is a crash (knots), as is
// one descending faster than kCrashSinkRateFpm or with the gear not down.
inline constexpr double kCrashOffRunwayKt = 60.0;
inline constexpr double kCrashSinkRateFpm = 1000.0;

struct AircraftState {
    double latitude = 45.0;   // degrees
    double longitude = 10.0;  // degrees
    double ground_elevation_ft = 300;
    double altitude_ft = 300;  // above sea level
    double heading_true = 90;  // degrees
    double variation = 2.0;    // magnetic variation, east positive
    double pitch = 0;          // degrees, nose up positive
    double bank = 0;           // degrees, right wing down positive
    double tas_ft_s = 0;       // true airspeed along the path, feet per second
    double gamma = 0;          // flight-path angle, radians
    double alpha = 0;          // angle of attack, degrees
    double pitch_rate = 0;     // degrees per second, nose up positive
    double roll_rate = 0;      // right wing down positive
    double yaw_rate = 0;       // heading increasing positive
    double pitch_accel = 0;    // degrees per second squared
    double roll_accel = 0;
    double yaw_accel = 0;
    double accel_long = 0;  // feet per second squared
    bool on_ground = true;
    // Controls: the pilot's axes (-1..1) and the simulator's trims.
    double elevator = 0;       // + pull (nose up)
    double aileron = 0;        // + right (the simulator's aileron events: + left)
    double rudder = 0;         // + right
    double elevator_trim = 0;  // -16383..16383, + nose up
    double rudder_trim = 0;
    double flap_handle = 0;  // 0..16383
    double flaps = 0;        // surface position 0..1
    bool gear_handle_down = true;
    double gear = 1;        // 0 up .. 1 down
    double brake_left = 0;  // 0..16383
    double brake_right = 0;
    bool parking_brake = true;
    double brake_pulse = 0;  // seconds of full braking left (brake events)
    double fuel_lb[2] = {2500, 2500};
    double gross_weight_lb = 38000;
    std::array<EngineState, 2> engines;
    // Clock.
    double clock_s = 43200;  // the simulator's clock (FSUIPC 0x0310)
    double utc_s = 43200;    // seconds of the UTC day
    int day_of_year = 172;
    int year = 2024;
    bool paused = false;            // paused by a scenario
    bool reposition_pause = false;  // paused by a repositioning write this frame
    double tick_count = 0;          // the simulator's tick count (18.2 per second)
    std::vector<WeatherCell> weather;
    std::vector<RadioStation> stations;
    std::array<TrafficTarget, kTrafficSlots> traffic{};
};

// The simulator's own memory, as far as the module's blade-angle locator
// looks into it: a heap (registered with the platform's heap layer) holding
// a block with the marker value and the engine block, four engine records
// 84 bytes apart with the blade angle (f64 radians) at the same place in
// each. The model of the running flight keeps its blade angles there, so a
// store into them moves the propellers as a write to 0x2418 / 0x2518 does.
//
// The memory is the process's, not a model's: it is made with the first
// model and lasts until the process ends, as a loaded module does (simhost
// never unloads one). A module keeps the blade angles it found for its
// whole life, across kills, reloads and new flights, so every flight of
// the process has its engines there and no model's end frees memory that a
// module may still write through.
inline constexpr double kHeapMarkerValue = 41909.0;
inline constexpr size_t kHeapMarkerBlockSize = 48;
inline constexpr size_t kHeapMarkerOffset = 24;
inline constexpr size_t kEngineRecordSize = 84;
inline constexpr size_t kEngineBlockSize = 400;
inline constexpr size_t kBladeAngleOffset = 36;  // first record's blade angle in the block
inline constexpr int kHeapEngines = 4;

// What a NAV receiver shows, as last published (state JSON).
struct NavReceiverView {
    double frequency_mhz = 0;
    std::string ident;
    bool received = false;
    bool localizer = false;
    double deviation = 0;             // needle units, + course to the right
    double glideslope_deviation = 0;  // needle units, + above the path
    double distance_nm = 0;
};

class AircraftModel {
  public:
    AircraftModel();
    AircraftModel(const AircraftModel&) = delete;
    AircraftModel& operator=(const AircraftModel&) = delete;

    // The blade angle of engine 0..3 as the simulator's memory holds it
    // (engines 3 and 4 do not exist: 0.0), and its address there.
    double HeapBladeAngle(int engine) const;
    const uint8_t* HeapBladeAngleAddress(int engine) const;
    const uint8_t* HeapEngineBlock() const;

    // Makes this model the one whose blade angles the simulator's memory
    // holds: its flight starts (with or without the model stepping).
    void TakeSimulatorMemory();
    // Publishes the initial state and installs the FSUIPC write observer.
    void Attach(Simulator& sim);
    // Advances by `dt` seconds of simulated time and publishes the state.
    void Step(Simulator& sim, double dt);
    // A key event the simulator received.
    void OnKeyEvent(uint32_t id, uint32_t value);
    // A client's FSUIPC write (called by the server, with the image).
    void OnFsuipcWrite(uint32_t offset, uint32_t size, uint8_t* image);

    // Pilot actions (scenario verbs). `engine` is 0, 1 or -1 for both.
    void SetThrottleLever(int engine, double fraction);  // -0.25..1
    void SetCondition(int engine, double fraction);      // < 0 cut-off, 0 start/feather .. 1
    const double* power_axes() const { return lever_; }
    const double* condition_axes() const { return condition_axis_; }
    void SetElevator(double fraction) { state_.elevator = Clamp1(fraction); }
    void SetAileron(double fraction) { state_.aileron = Clamp1(fraction); }
    void SetRudder(double fraction) { state_.rudder = Clamp1(fraction); }
    void SetFlaps(int detent);  // 0..4
    void SetGear(bool down) { state_.gear_handle_down = down; }
    void SetBrakes(double fraction);
    void SetParkingBrake(bool on) { state_.parking_brake = on; }
    void SetPaused(bool paused) { state_.paused = paused; }
    void PlaceOnGround(double latitude, double longitude, double elevation_ft, double heading);
    void PlaceAirborne(double altitude_ft, double speed_kt);
    void AddWeatherCell(const WeatherCell& cell) { state_.weather.push_back(cell); }
    void ClearWeather() { state_.weather.clear(); }
    void AddStation(const RadioStation& station) { state_.stations.push_back(station); }
    // Removes the stations a scenario placed; the world's stay.
    void ClearStations() { state_.stations.clear(); }
    // The world: airports, runways and radio stations (the station file).
    void SetWorld(World world) { world_ = std::move(world); }
    const World& world() const { return world_; }
    // The last touchdown of the flight, and how many were crashes.
    const std::optional<Touchdown>& last_touchdown() const { return last_touchdown_; }
    uint32_t crashes() const { return crashes_; }
    // The world's airport nearest to a point within `max_nm`, else null;
    // the world's runway end a point is on (the one whose course is nearest
    // the heading), else null.
    const WorldAirport* NearestAirport(double latitude, double longitude, double max_nm) const;
    const WorldRunway* RunwayAt(double latitude, double longitude, double heading_true) const;
    // Puts a target into slot 0..kTrafficSlots-1 (false when out of range).
    bool SetTraffic(uint32_t slot, const TrafficTarget& target);
    void ClearTraffic() { state_.traffic.fill(TrafficTarget{}); }

    const AircraftState& state() const { return state_; }
    double IndicatedAirspeedKt() const;
    double VerticalSpeedFpm() const;
    double TrackTrue() const;
    const NavReceiverView& nav(int receiver) const { return nav_view_[receiver & 1]; }

  private:
    static double Clamp1(double v) { return v < -1 ? -1 : (v > 1 ? 1 : v); }
    void StepEngines(double dt);
    void StepFlight(double dt);
    void FollowGround();
    void RecordTouchdown(double vertical_speed_fpm);
    void StepTraffic(double dt);
    void Publish(Simulator& sim);
    void PublishTraffic(FsuipcServer::Batch& image);
    void AnswerWeather(uint8_t* image);
    void PublishRadios(FsuipcServer::Batch& image, VariableBatch& var);

    void BladeAnglesFromHeap();
    void BladeAnglesToHeap();

    AircraftState state_;
    double lever_[2] = {0, 0};                   // the pilot's power levers (tokens 198/233), idle
    double condition_axis_[2] = {-4096, -4096};  // the pilot's condition levers (199/234)
    double flap_lever_ = 4096;                   // the pilot's flap lever (token 328)
    bool repositioned_ = false;
    NavReceiverView nav_view_[2];
    World world_;
    std::optional<Touchdown> last_touchdown_;
    uint32_t crashes_ = 0;
    double now_s_ = 0;  // the simulator's flight time at this step
};

}  // namespace zu::simhost
