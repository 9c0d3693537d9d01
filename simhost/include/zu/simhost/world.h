// The stand-in's world: the airports, runways and radio stations of the
// region the aircraft flies in, read from the station file that the
// navigation-data generator (tools/navdb) writes beside the aircraft's FMS
// files. The aircraft model receives the stations on its radios, takes the
// ground under it from the airports and finds the runway a touchdown is on.
//
// The file is text, one entry a line; blank lines and text after '#' are
// ignored and a trailing word "made-up" marks an entry that is not real
// data (accepted and ignored):
//   airport IDENT LAT LON ELEV_FT
//   runway AIRPORT DESIGNATOR THRESHOLD_LAT THRESHOLD_LON COURSE_TRUE LENGTH_FT WIDTH_FT ELEV_FT
//   vor IDENT MHZ LAT LON ELEV_FT DME(0|1)
//   dme IDENT MHZ LAT LON ELEV_FT
//   ndb IDENT KHZ LAT LON ELEV_FT
//   ils IDENT MHZ AIRPORT DESIGNATOR COURSE_TRUE WIDTH_DEG THRESHOLD_LAT THRESHOLD_LON ELEV_FT
//       LOCALIZER_LAT LOCALIZER_LON GS_ANGLE GS_LAT GS_LON GS_ELEV_FT   (one line)
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zu::simhost {

// A radio station: one of the world's, or one a scenario placed (verb
// `navaid`).
struct RadioStation {
    enum Kind { kVor, kIls, kNdb, kDme } kind = kVor;
    int32_t frequency = 0;  // VOR/ILS/DME MHz x 100, NDB kHz x 10
    double latitude = 0;    // ILS: the runway threshold
    double longitude = 0;
    double elevation_ft = 0;
    double course = 0;  // ILS: the localiser's front course (true); others unused
    std::string ident;
    bool dme = true;  // VOR: a DME stands with it (distance published)
    // ILS only. The course width (full scale is half of it either side),
    // the localiser antenna (none given: 1.5 nm beyond the threshold along
    // the course), the glide path's angle and its transmitter (none given:
    // at the threshold).
    double width_deg = 5.0;
    bool has_localizer_site = false;
    double localizer_latitude = 0;
    double localizer_longitude = 0;
    double glide_path_deg = 3.0;
    bool has_glideslope_site = false;
    double glideslope_latitude = 0;
    double glideslope_longitude = 0;
    double glideslope_elevation_ft = 0;
};

struct WorldAirport {
    std::string ident;
    double latitude = 0;
    double longitude = 0;
    double elevation_ft = 0;
};

// One runway end: its threshold and the course flown along it.
struct WorldRunway {
    std::string airport;
    std::string designator;
    double latitude = 0;  // threshold
    double longitude = 0;
    double course = 0;  // true
    double length_ft = 0;
    double width_ft = 0;
    double elevation_ft = 0;
};

struct World {
    std::vector<WorldAirport> airports;
    std::vector<WorldRunway> runways;
    std::vector<RadioStation> stations;
    bool empty() const { return airports.empty() && runways.empty() && stations.empty(); }
};

// The station file's name in the aircraft's FMS folder.
inline constexpr const char* kStationFileName = "stations.txt";

// Parses a station file; false with "line N: ..." in `error` on the first
// bad line (`world` then holds the lines before it).
bool ParseWorld(std::string_view text, World* world, std::string* error);
// Reads and parses a file.
bool LoadWorld(const std::filesystem::path& file, World* world, std::string* error);

}  // namespace zu::simhost
