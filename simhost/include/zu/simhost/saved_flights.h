// The stand-in's saved flights: what the simulator writes when the pilot
// saves a flight and reads when one is loaded at start-up.
//
// A saved flight is an INI-format file "<documents>\Flight Simulator X
// Files\NAME.FLT". The stand-in writes only its own two sections and keeps
// none of an earlier file (a save writes a fresh file):
//
//   [Main]
//   Title=NAME
//   [Position]
//   Latitude=45.000000        degrees, north positive
//   Longitude=10.000000       degrees, east positive
//   Altitude=300.0            feet above sea level
//   Heading=90.0              degrees true
//   Speed=0.0                 knots indicated
//   OnGround=1                1 on the ground, 0 airborne
//
// The gauge module adds its own section after the save (docs/simhost.md).
#pragma once

#include <filesystem>
#include <string>

namespace zu::simhost {

struct SavedFlight {
    std::string title;
    double latitude = 0;
    double longitude = 0;
    double altitude_ft = 0;
    double heading = 0;
    double speed_kt = 0;
    bool on_ground = true;
};

// The folder below the documents folder that holds the saved flights.
inline constexpr char kSavedFlightsFolder[] = "Flight Simulator X Files";

// Writes a fresh flight file (its folder is created): the whole file goes to
// a temporary file in the same folder, is flushed to the disk and renamed
// over the old one, so a failed or interrupted save leaves the old file
// whole. False with `error` (the step and the system's reason).
bool WriteSavedFlight(const std::filesystem::path& file, const SavedFlight& flight,
                      std::string* error);
// What a flight may place the aircraft at.
inline constexpr double kLowestAltitudeFt = -1500;
inline constexpr double kHighestAltitudeFt = 60000;
inline constexpr double kHighestSpeedKt = 1000;

// Reads the stand-in's sections of a flight file. False with `error` when the
// file cannot be read, a position value is missing, not a finite number or
// out of its range (latitude, longitude, altitude -1500 to 60000 ft, speed 0
// to 1000 kt); a missing title reads as the file's name without its
// extension.
bool ReadSavedFlight(const std::filesystem::path& file, SavedFlight* flight, std::string* error);

}  // namespace zu::simhost
