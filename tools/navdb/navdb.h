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
//   leg KEY=VALUE ...                              one terminal-procedure leg
// Leg keys: kind (1 arrival, 2 departure, 3 approach), route, proc, trans,
// apt, fix (a waypoint of the table: fix and end point), nav (a navaid of
// the table: reference navaid and variation position), ident (default: the
// fix), pt, class, path, turn, dist, course, icpt, alt, altkind, ann
// (default 1), flyover, id (default: 100001, 100002, ... in table order).
// A fix or navaid names the first table entry with that identifier, or
// "IDENT@N" the N-th (1-based). A trailing word "made-up" marks an entry
// that is not real data; it is accepted and ignored.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fms/nav_database.h"

namespace zu::navdb {

struct Table {
    std::vector<WaypointRecord> waypoints;
    std::vector<RunwayRecord> runways;
    std::vector<LegRecord> legs;
};

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

}  // namespace zu::navdb
