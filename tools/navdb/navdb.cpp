// The navigation-data generator's library (see navdb.h).
#include "navdb.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
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

std::vector<std::string> Words(const std::string& line, bool* made_up) {
    std::vector<std::string> words;
    std::istringstream in(line.substr(0, line.find('#')));
    std::string w;
    while (in >> w) words.push_back(w);
    *made_up = !words.empty() && words.back() == "made-up";
    if (*made_up) words.pop_back();
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
    bool made_up = false;

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
        table->waypoint_made_up.push_back(made_up);
        return true;
    }

    bool Navaid(const std::vector<std::string>& w) {
        double lat = 0, lon = 0;
        if (w.size() != 7 || w[1].size() != 1 || !ParseDouble(w[4], &lat) ||
            !ParseDouble(w[5], &lon))
            return Fail("nav TYPE IDENT REGION LAT LON FREQ");
        table->waypoints.push_back(MakeWaypoint(w[1][0], w[2], w[3], lat, lon, 0, w[6]));
        table->waypoint_made_up.push_back(made_up);
        return true;
    }

    bool Intersection(const std::vector<std::string>& w) {
        double lat = 0, lon = 0;
        if (w.size() != 5 || !ParseDouble(w[3], &lat) || !ParseDouble(w[4], &lon))
            return Fail("wpt IDENT REGION LAT LON");
        table->waypoints.push_back(MakeWaypoint('I', w[1], w[2], lat, lon));
        table->waypoint_made_up.push_back(made_up);
        return true;
    }

    bool Runway(const std::vector<std::string>& w) {
        if (w.size() != 3) return Fail("rwy AIRPORT DESIGNATOR");
        table->runways.push_back(MakeRunway(w[1], w[2]));
        return true;
    }

    bool Ils(const std::vector<std::string>& w) {
        double mhz = 0;
        if (w.size() != 5 || !ParseDouble(w[3], &mhz) || mhz < 108.0 || mhz > 118.0)
            return Fail("ils AIRPORT DESIGNATOR FREQ IDENT");
        bool known = false;
        for (const RunwayRecord& r : table->runways)
            known = known || (FieldText(r.airport) == w[1] && FieldText(r.designator) == w[2]);
        if (!known) return Fail("ils of an unknown runway " + w[1] + " " + w[2]);
        table->ils.push_back(IlsEntry{w[1], w[2], w[3], w[4], made_up});
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
        l.leg_id = next_leg_id;
        bool annotated = false;
        for (size_t i = 1; i < w.size(); ++i) {
            const size_t eq = w[i].find('=');
            if (eq == std::string::npos) return Fail("leg wants KEY=VALUE, not " + w[i]);
            if (!LegKey(l, w[i].substr(0, eq), w[i].substr(eq + 1))) return false;
            annotated = annotated || w[i].substr(0, eq) == "ann";
        }
        if (!annotated) l.annotation_kind = LegAnnotationFor(FieldText(l.path_terminator));
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
        const std::vector<std::string> w = Words(line, &made_up);
        if (w.empty()) return true;
        if (w[0] == "apt") return Airport(w);
        if (w[0] == "nav") return Navaid(w);
        if (w[0] == "wpt") return Intersection(w);
        if (w[0] == "rwy") return Runway(w);
        if (w[0] == "ils") return Ils(w);
        if (w[0] == "leg") return Leg(w);
        return Fail("unknown entry " + w[0]);
    }
};

}  // namespace

uint8_t LegAnnotationFor(std::string_view pt) {
    if (pt == "CA" || pt == "FA" || pt == "VA" || pt == "HA") return 1;
    if (pt == "CI" || pt == "VI") return 7;
    if (pt == "FM" || pt == "VM") return 5;
    if (pt == "CR" || pt == "VR") return 3;
    if (pt == "CD" || pt == "FD" || pt == "VD") return 6;
    return 2;  // to a fix (IF, TF, DF, CF, AF, RF), holds and procedure turns
}

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

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFeetPerNm = 6076.11549;
// Made-up runway geometry: every runway 8200 ft long and 148 ft wide;
// parallel runways 700 ft either side of the reference point.
constexpr double kRunwayLengthFt = 8200.0;
constexpr double kRunwayWidthFt = 148.0;
constexpr double kParallelOffsetFt = 700.0;
// Made-up ILS sites: the localiser 1000 ft beyond the far end, the
// glideslope 1000 ft past the threshold and 400 ft to the right of the
// centreline; a 3 degree path and a 5 degree course width.
constexpr double kLocalizerBeyondEndFt = 1000.0;
constexpr double kGlideslopeAlongFt = 1000.0;
constexpr double kGlideslopeAsideFt = 400.0;
constexpr double kGlidePathDeg = 3.0;
constexpr double kLocalizerWidthDeg = 5.0;

struct Point {
    double lat;
    double lon;
};

// `p` moved `feet` along the true course (flat earth, as the stand-in flies).
Point Move(Point p, double course_deg, double feet) {
    const double nm = feet / kFeetPerNm;
    const double c = course_deg * kPi / 180.0;
    return {p.lat + nm * std::cos(c) / 60.0,
            p.lon + nm * std::sin(c) / (60.0 * std::cos(p.lat * kPi / 180.0))};
}

double Wrap360(double deg) {
    const double v = std::fmod(deg, 360.0);
    return v < 0 ? v + 360.0 : v;
}

const WaypointRecord* FindAirport(const Table& t, std::string_view ident) {
    for (const WaypointRecord& w : t.waypoints)
        if (w.type == 'A' && FieldText(w.ident) == ident) return &w;
    return nullptr;
}

// A runway end's made-up geometry: its threshold and true course.
struct RunwayEnd {
    bool valid = false;
    Point threshold{};
    double course = 0;
    int32_t elevation_ft = 0;
};

RunwayEnd EndGeometry(const Table& t, std::string_view airport, std::string_view designator) {
    RunwayEnd e;
    const WaypointRecord* apt = FindAirport(t, airport);
    if (apt == nullptr || designator.size() < 2) return e;
    const int number = (designator[0] - '0') * 10 + (designator[1] - '0');
    if (designator[0] < '0' || designator[0] > '9' || designator[1] < '0' || designator[1] > '9' ||
        number < 1 || number > 36)
        return e;
    e.course = Wrap360(number * 10.0 + kStandInVariation);
    Point centre{apt->latitude, apt->longitude};
    const char side = designator.size() > 2 ? designator[2] : 'C';
    if (side == 'L') centre = Move(centre, e.course - 90.0, kParallelOffsetFt);
    if (side == 'R') centre = Move(centre, e.course + 90.0, kParallelOffsetFt);
    e.threshold = Move(centre, e.course + 180.0, kRunwayLengthFt / 2.0);
    e.elevation_ft = apt->elevation_ft;
    e.valid = true;
    return e;
}

// The elevation of the airport nearest to a point (0 without airports).
int32_t NearestAirportElevation(const Table& t, double lat, double lon) {
    double best = 1e30;
    int32_t elevation = 0;
    for (const WaypointRecord& w : t.waypoints) {
        if (w.type != 'A') continue;
        const double d =
            std::hypot(w.latitude - lat, (w.longitude - lon) * std::cos(lat * kPi / 180.0));
        if (d < best) {
            best = d;
            elevation = w.elevation_ft;
        }
    }
    return elevation;
}

void Line(std::string* out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Line(std::string* out, const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    *out += buffer;
}

const char* Mark(bool made_up) {
    return made_up ? " made-up\n" : "\n";
}

}  // namespace

std::string StationFileText(const Table& t) {
    std::string out =
        "# The stand-in simulator's world, written by navdb from the region's table.\n"
        "# Lines marked made-up are not real data.\n"
        "#   airport IDENT LAT LON ELEV_FT\n"
        "#   runway AIRPORT DESIGNATOR THRESHOLD_LAT THRESHOLD_LON COURSE_TRUE LENGTH_FT "
        "WIDTH_FT ELEV_FT\n"
        "#   vor IDENT MHZ LAT LON ELEV_FT DME(0|1)\n"
        "#   dme IDENT MHZ LAT LON ELEV_FT\n"
        "#   ndb IDENT KHZ LAT LON ELEV_FT\n"
        "#   ils IDENT MHZ AIRPORT DESIGNATOR COURSE_TRUE WIDTH_DEG THRESHOLD_LAT THRESHOLD_LON "
        "ELEV_FT LOCALIZER_LAT LOCALIZER_LON GS_ANGLE GS_LAT GS_LON GS_ELEV_FT\n";
    for (size_t i = 0; i < t.waypoints.size(); ++i) {
        const WaypointRecord& w = t.waypoints[i];
        const bool made_up = i < t.waypoint_made_up.size() && t.waypoint_made_up[i];
        const std::string ident(FieldText(w.ident));
        const std::string freq(FieldText(w.frequency));
        if (w.type == 'A') {
            Line(&out, "airport %s %.6f %.6f %d%s", ident.c_str(), w.latitude, w.longitude,
                 w.elevation_ft, Mark(made_up));
            continue;
        }
        if (w.type != 'V' && w.type != 'T' && w.type != 'D' && w.type != 'N') continue;
        // Navaid elevations are not in the table: the nearest airport's.
        const int32_t elev = NearestAirportElevation(t, w.latitude, w.longitude);
        if (w.type == 'N') {
            Line(&out, "ndb %s %s %.6f %.6f %d made-up\n", ident.c_str(), freq.c_str(), w.latitude,
                 w.longitude, elev);
        } else if (w.type == 'D') {
            Line(&out, "dme %s %s %.6f %.6f %d made-up\n", ident.c_str(), freq.c_str(), w.latitude,
                 w.longitude, elev);
        } else {
            Line(&out, "vor %s %s %.6f %.6f %d 1 made-up\n", ident.c_str(), freq.c_str(),
                 w.latitude, w.longitude, elev);
        }
    }
    for (const RunwayRecord& r : t.runways) {
        const std::string airport(FieldText(r.airport));
        const std::string designator(FieldText(r.designator));
        const RunwayEnd e = EndGeometry(t, airport, designator);
        if (!e.valid) continue;
        Line(&out, "runway %s %s %.6f %.6f %.2f %.0f %.0f %d made-up\n", airport.c_str(),
             designator.c_str(), e.threshold.lat, e.threshold.lon, e.course, kRunwayLengthFt,
             kRunwayWidthFt, e.elevation_ft);
    }
    for (const IlsEntry& ils : t.ils) {
        const RunwayEnd e = EndGeometry(t, ils.airport, ils.runway);
        if (!e.valid) continue;
        const Point loc = Move(e.threshold, e.course, kRunwayLengthFt + kLocalizerBeyondEndFt);
        const Point gs = Move(Move(e.threshold, e.course, kGlideslopeAlongFt), e.course + 90.0,
                              kGlideslopeAsideFt);
        Line(&out, "ils %s %s %s %s %.2f %.1f %.6f %.6f %d %.6f %.6f %.1f %.6f %.6f %d made-up\n",
             ils.ident.c_str(), ils.frequency.c_str(), ils.airport.c_str(), ils.runway.c_str(),
             e.course, kLocalizerWidthDeg, e.threshold.lat, e.threshold.lon, e.elevation_ft,
             loc.lat, loc.lon, kGlidePathDeg, gs.lat, gs.lon, e.elevation_ft);
    }
    return out;
}

bool WriteStationFile(const Table& table, const std::filesystem::path& folder, std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string text = StationFileText(table);
    if (!WriteBytes(folder / kStationFileName, text.data(), text.size())) {
        *error = "cannot write into " + folder.string();
        return false;
    }
    return true;
}

}  // namespace zu::navdb
