// The navigation-data generator's library (see navdb.h).
#include "navdb.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

namespace zu::navdb {

namespace {

bool ParseDouble(const std::string& s, double* out) {
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(s.c_str(), &end);
    if (s.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

bool ParseInt(const std::string& s, int64_t* out) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || errno == ERANGE) return false;
    *out = v;
    return true;
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line.substr(0, line.find('#')));
    std::string w;
    while (in >> w) words.push_back(w);
    if (!words.empty() && words.back() == "made-up") words.pop_back();
    return words;
}

// The N-th table entry with an identifier ("IDENT" or "IDENT@N").
const WaypointRecord* FindEntry(const Table& t, const std::string& name) {
    std::string ident = name;
    int64_t nth = 1;
    const size_t at = name.find('@');
    if (at != std::string::npos) {
        ident = name.substr(0, at);
        if (!ParseInt(name.substr(at + 1), &nth) || nth < 1) return nullptr;
    }
    for (const WaypointRecord& w : t.waypoints)
        if (FieldText(w.ident) == ident && --nth == 0) return &w;
    return nullptr;
}

struct LineParser {
    Table* table;
    int line_no;
    std::string* error;
    uint32_t next_leg_id;

    bool Fail(const std::string& what) {
        *error = "line " + std::to_string(line_no) + ": " + what;
        return false;
    }

    bool Airport(const std::vector<std::string>& w) {
        double lat = 0, lon = 0;
        int64_t elev = 0;
        if (w.size() != 5 || !ParseDouble(w[2], &lat) || !ParseDouble(w[3], &lon) ||
            !ParseInt(w[4], &elev))
            return Fail("apt IDENT LAT LON ELEV_FT");
        table->waypoints.push_back(
            MakeWaypoint('A', w[1], w[1], lat, lon, static_cast<int32_t>(elev)));
        return true;
    }

    bool Navaid(const std::vector<std::string>& w) {
        double lat = 0, lon = 0;
        if (w.size() != 7 || w[1].size() != 1 || !ParseDouble(w[4], &lat) ||
            !ParseDouble(w[5], &lon))
            return Fail("nav TYPE IDENT REGION LAT LON FREQ");
        table->waypoints.push_back(MakeWaypoint(w[1][0], w[2], w[3], lat, lon, 0, w[6]));
        return true;
    }

    bool Intersection(const std::vector<std::string>& w) {
        double lat = 0, lon = 0;
        if (w.size() != 5 || !ParseDouble(w[3], &lat) || !ParseDouble(w[4], &lon))
            return Fail("wpt IDENT REGION LAT LON");
        table->waypoints.push_back(MakeWaypoint('I', w[1], w[2], lat, lon));
        return true;
    }

    bool Runway(const std::vector<std::string>& w) {
        if (w.size() != 3) return Fail("rwy AIRPORT DESIGNATOR");
        table->runways.push_back(MakeRunway(w[1], w[2]));
        return true;
    }

    bool LegKey(LegRecord& l, const std::string& key, const std::string& v) {
        int64_t n = 0;
        double d = 0;
        auto whole = [&](int64_t lo, int64_t hi) { return ParseInt(v, &n) && n >= lo && n <= hi; };
        if (key == "kind" && whole(0, 255)) {
            l.list_kind = static_cast<uint8_t>(n);
        } else if (key == "route" && v.size() == 1) {
            l.route_type = v[0];
        } else if (key == "proc") {
            SetFieldText(l.procedure, v);
        } else if (key == "trans") {
            SetFieldText(l.transition, v);
        } else if (key == "apt") {
            SetFieldText(l.airport, v);
        } else if (key == "ident") {
            SetFieldText(l.ident, v);
        } else if (key == "pt") {
            SetFieldText(l.path_terminator, v);
        } else if (key == "class" && whole(0, 255)) {
            l.leg_class = static_cast<uint8_t>(n);
        } else if (key == "path" && whole(0, 255)) {
            l.path_type = static_cast<uint8_t>(n);
        } else if (key == "turn" && whole(0, 255)) {
            l.turn_direction = static_cast<uint8_t>(n);
        } else if (key == "ann" && whole(0, 255)) {
            l.annotation_kind = static_cast<uint8_t>(n);
        } else if (key == "flyover" && whole(0, 255)) {
            l.fly_over = static_cast<uint8_t>(n);
        } else if (key == "altkind" && whole(0, 255)) {
            l.altitude_kind = static_cast<uint8_t>(n);
        } else if (key == "alt" && whole(INT32_MIN, INT32_MAX)) {
            l.altitude_ft = static_cast<int32_t>(n);
        } else if (key == "icpt" && whole(-360, 360)) {
            l.intercept_course = static_cast<int32_t>(n);
        } else if (key == "course" && whole(-360, 360)) {
            l.procedure_course = static_cast<int32_t>(n);
            l.magnetic_course = static_cast<double>(n);
        } else if (key == "dist" && ParseDouble(v, &d)) {
            l.defining_distance_nm = d;
        } else if (key == "id" && whole(1, UINT32_MAX)) {
            if (n == 9999) return Fail("leg id 9999 is the discontinuity's");
            l.leg_id = static_cast<uint32_t>(n);
        } else if (key == "fix") {
            const WaypointRecord* w = FindEntry(*table, v);
            if (w == nullptr) return Fail("unknown fix " + v);
            l.fix_latitude = l.end_latitude = w->latitude;
            l.fix_longitude = l.end_longitude = w->longitude;
            if (l.ident[0] == '\0') SetFieldText(l.ident, FieldText(w->ident));
        } else if (key == "nav") {
            const WaypointRecord* w = FindEntry(*table, v);
            if (w == nullptr) return Fail("unknown navaid " + v);
            l.navaid_latitude = l.variation_latitude = w->latitude;
            l.navaid_longitude = l.variation_longitude = w->longitude;
            SetFieldText(l.navaid_ident, FieldText(w->ident));
        } else {
            return Fail("bad leg value " + key + "=" + v);
        }
        return true;
    }

    bool Leg(const std::vector<std::string>& w) {
        LegRecord l{};
        l.annotation_kind = 1;
        l.leg_id = next_leg_id;
        for (size_t i = 1; i < w.size(); ++i) {
            const size_t eq = w[i].find('=');
            if (eq == std::string::npos) return Fail("leg wants KEY=VALUE, not " + w[i]);
            if (!LegKey(l, w[i].substr(0, eq), w[i].substr(eq + 1))) return false;
        }
        if (l.list_kind < 1 || l.list_kind > 3) return Fail("leg kind must be 1, 2 or 3");
        if (l.annotation_kind == 0) return Fail("procedure legs need a non-zero annotation");
        for (const LegRecord& other : table->legs)
            if (other.leg_id == l.leg_id) return Fail("leg id used twice");
        if (l.leg_id >= next_leg_id) next_leg_id = l.leg_id + 1;
        if (next_leg_id == 9999) ++next_leg_id;
        table->legs.push_back(l);
        return true;
    }

    bool Line(const std::string& line) {
        const std::vector<std::string> w = Words(line);
        if (w.empty()) return true;
        if (w[0] == "apt") return Airport(w);
        if (w[0] == "nav") return Navaid(w);
        if (w[0] == "wpt") return Intersection(w);
        if (w[0] == "rwy") return Runway(w);
        if (w[0] == "leg") return Leg(w);
        return Fail("unknown entry " + w[0]);
    }
};

}  // namespace

WaypointRecord MakeWaypoint(char type, std::string_view ident, std::string_view region, double lat,
                            double lon, int32_t elevation_ft, std::string_view frequency) {
    WaypointRecord w{};
    w.type = type;
    SetFieldText(w.ident, ident);
    SetFieldText(w.region, region);
    w.latitude = lat;
    w.longitude = lon;
    w.elevation_ft = elevation_ft;
    SetFieldText(w.frequency, frequency);
    w.variation = 0.0;  // the module computes it
    return w;
}

RunwayRecord MakeRunway(std::string_view airport, std::string_view designator) {
    RunwayRecord r{};
    SetFieldText(r.designator, designator);
    SetFieldText(r.airport, airport);
    return r;
}

bool ParseTable(std::string_view text, Table* table, std::string* error) {
    LineParser p{table, 0, error, 100001};
    std::istringstream in{std::string(text)};
    std::string line;
    while (std::getline(in, line)) {
        ++p.line_no;
        if (!p.Line(line)) return false;
    }
    return true;
}

bool WriteBytes(const std::filesystem::path& file, const void* data, size_t size) {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

bool WriteTable(const Table& table, const std::filesystem::path& folder, std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!WriteRecords(folder / "Fmswpt.dat", table.waypoints) ||
        !WriteRecords(folder / "Fmsrwy.dat", table.runways) ||
        !WriteRecords(folder / "Fmstrm.dat", table.legs)) {
        *error = "cannot write into " + folder.string();
        return false;
    }
    return true;
}

}  // namespace zu::navdb
