// The navigation-data generator's library: builds the FMS files
// ("Fmswpt.dat", "Fmsrwy.dat", "Fmstrm.dat") from a text table, in the
// record layouts of the module's navigation database. The tests use it to
// write small files of chosen records.
//
// Table lines (blank lines and text after '#' are ignored):
//   apt IDENT LAT LON ELEV_FT                      an airport ('A'; its code is its ident)
//   nav TYPE IDENT REGION LAT LON FREQ             a navaid: TYPE V, T, D (VHF) or N (NDB)
//   wpt IDENT REGION LAT LON                       an intersection ('I')
//   rwy AIRPORT DESIGNATOR                         one runway end
//   ils AIRPORT DESIGNATOR FREQ IDENT              the ILS of a runway end (stand-in only)
//   leg KEY=VALUE ...                              one terminal-procedure leg
// Leg keys: kind (1 arrival, 2 departure, 3 approach), route, proc, trans,
// apt, fix (a waypoint of the table: fix and end point), nav (a navaid of
// the table: reference navaid and variation position), ident (default: the
// fix), pt, class, path, turn, dist, course, icpt, alt, altkind, ann
// (default: the kind the path terminator calls for, LegAnnotationFor),
// flyover, id (default: 100001, 100002, ... in table order).
// A fix or navaid names the first table entry with that identifier, or
// "IDENT@N" the N-th (1-based). A trailing word "made-up" marks an entry
// that is not real data; the FMS files do not carry the mark, the
// stand-in's station file does.
//
// The station file ("stations.txt", written beside the FMS files) is the
// stand-in simulator's world: the airports, every runway end with its
// threshold, every navaid as a radio station and the ILS of the runway ends
// that have one. Where the table gives no geometry (runway thresholds,
// courses and lengths; navaid elevations; localiser and glideslope sites)
// it is made up here from the airport's reference point and the runway's
// designator, and the line is marked "made-up".
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fms/nav_database.h"

namespace zu::navdb {

// The ILS of a runway end.
struct IlsEntry {
    std::string airport;
    std::string runway;
    std::string frequency;  // MHz, as written
    std::string ident;
    bool made_up = false;
};

struct Table {
    std::vector<WaypointRecord> waypoints;
    std::vector<RunwayRecord> runways;
    std::vector<LegRecord> legs;
    std::vector<bool> waypoint_made_up;  // one per waypoint
    std::vector<IlsEntry> ils;
};

// The annotation kind of a procedure leg by its path terminator: the fix's
// name (2) for legs to a fix and holds, the altitude (1) for legs to an
// altitude, "(INTCPT)" (7) for intercepts, "(MANUAL)" (5) for legs ended by
// the pilot, the radial and name (3) for legs to a radial and the distance
// (6) for legs to a DME distance.
uint8_t LegAnnotationFor(std::string_view path_terminator);

// The magnetic variation the stand-in flies with (degrees east); made-up
// runway courses are the designator's magnetic heading turned by it.
inline constexpr double kStandInVariation = 2.0;

WaypointRecord MakeWaypoint(char type, std::string_view ident, std::string_view region, double lat,
                            double lon, int32_t elevation_ft = 0, std::string_view frequency = {});
RunwayRecord MakeRunway(std::string_view airport, std::string_view designator);

// Parses a table; false with a message naming the line on an error.
bool ParseTable(std::string_view text, Table* table, std::string* error);

// Writes raw records to a file; false when it cannot be written.
bool WriteBytes(const std::filesystem::path& file, const void* data, size_t size);
template <typename Record>
bool WriteRecords(const std::filesystem::path& file, const std::vector<Record>& records) {
    return WriteBytes(file, records.data(), records.size() * sizeof(Record));
}
// Writes the three files into `folder` (created when missing).
bool WriteTable(const Table& table, const std::filesystem::path& folder, std::string* error);

// The stand-in's station file of a table (see above), and writing it as
// `folder`/stations.txt.
inline constexpr const char* kStationFileName = "stations.txt";
std::string StationFileText(const Table& table);
bool WriteStationFile(const Table& table, const std::filesystem::path& folder, std::string* error);

}  // namespace zu::navdb
