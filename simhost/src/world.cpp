// The stand-in's world file (see world.h).
#include "zu/simhost/world.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "text_util.h"
#include "zu/platform/files.h"

namespace zu::simhost {
namespace {

bool Number(const std::string& s, double lo, double hi, double* out) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(s.c_str(), &end);
    if (*end != '\0' || errno == ERANGE || !std::isfinite(v) || v < lo || v > hi) return false;
    *out = v;
    return true;
}

std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    const size_t hash = line.find('#');
    if (hash != std::string_view::npos) line = line.substr(0, hash);
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r') ++j;
        if (j > i) words.emplace_back(line.substr(i, j - i));
        i = j;
    }
    if (!words.empty() && words.back() == "made-up") words.pop_back();
    return words;
}

bool Position(const std::string& lat, const std::string& lon, double* la, double* lo) {
    return Number(lat, -90.0, 90.0, la) && Number(lon, -180.0, 180.0, lo);
}

bool Elevation(const std::string& s, double* out) {
    return Number(s, -2000.0, 30000.0, out);
}

// Frequencies in the simulator's units: MHz x 100 (108..118 MHz for VOR,
// DME and ILS), kHz x 10 (190..1750 kHz for an NDB).
bool Frequency(const std::string& s, bool ndb, int32_t* out) {
    double v = 0;
    if (ndb ? !Number(s, 190.0, 1750.0, &v) : !Number(s, 108.0, 118.0, &v)) return false;
    *out = static_cast<int32_t>(std::lround(ndb ? v * 10.0 : v * 100.0));
    return true;
}

bool Line(const std::vector<std::string>& w, World* world, std::string* what) {
    const std::string& kind = w[0];
    if (kind == "airport") {
        WorldAirport a;
        if (w.size() != 5 || !Position(w[2], w[3], &a.latitude, &a.longitude) ||
            !Elevation(w[4], &a.elevation_ft)) {
            *what = "airport IDENT LAT LON ELEV_FT";
            return false;
        }
        a.ident = w[1];
        world->airports.push_back(std::move(a));
        return true;
    }
    if (kind == "runway") {
        WorldRunway r;
        if (w.size() != 9 || !Position(w[3], w[4], &r.latitude, &r.longitude) ||
            !Number(w[5], 0.0, 360.0, &r.course) || !Number(w[6], 1.0, 30000.0, &r.length_ft) ||
            !Number(w[7], 1.0, 1000.0, &r.width_ft) || !Elevation(w[8], &r.elevation_ft)) {
            *what =
                "runway AIRPORT DESIGNATOR THRESHOLD_LAT THRESHOLD_LON COURSE_TRUE LENGTH_FT "
                "WIDTH_FT ELEV_FT";
            return false;
        }
        r.airport = w[1];
        r.designator = w[2];
        world->runways.push_back(std::move(r));
        return true;
    }
    if (kind == "vor" || kind == "dme" || kind == "ndb") {
        RadioStation st;
        st.kind = kind == "vor" ? RadioStation::kVor
                                : (kind == "dme" ? RadioStation::kDme : RadioStation::kNdb);
        const size_t words = kind == "vor" ? 7 : 6;
        if (w.size() != words || !Frequency(w[2], st.kind == RadioStation::kNdb, &st.frequency) ||
            !Position(w[3], w[4], &st.latitude, &st.longitude) ||
            !Elevation(w[5], &st.elevation_ft) || (kind == "vor" && w[6] != "0" && w[6] != "1")) {
            *what = kind == "vor"
                        ? "vor IDENT MHZ LAT LON ELEV_FT DME(0|1)"
                        : kind + " IDENT " + (kind == "ndb" ? "KHZ" : "MHZ") + " LAT LON ELEV_FT";
            return false;
        }
        st.ident = w[1];
        st.dme = kind == "vor" ? w[6] == "1" : kind == "dme";
        world->stations.push_back(std::move(st));
        return true;
    }
    if (kind == "ils") {
        RadioStation st;
        st.kind = RadioStation::kIls;
        st.has_localizer_site = st.has_glideslope_site = true;
        if (w.size() != 16 || !Frequency(w[2], false, &st.frequency) ||
            !Number(w[5], 0.0, 360.0, &st.course) || !Number(w[6], 0.5, 20.0, &st.width_deg) ||
            !Position(w[7], w[8], &st.latitude, &st.longitude) ||
            !Elevation(w[9], &st.elevation_ft) ||
            !Position(w[10], w[11], &st.localizer_latitude, &st.localizer_longitude) ||
            !Number(w[12], 1.0, 10.0, &st.glide_path_deg) ||
            !Position(w[13], w[14], &st.glideslope_latitude, &st.glideslope_longitude) ||
            !Elevation(w[15], &st.glideslope_elevation_ft)) {
            *what =
                "ils IDENT MHZ AIRPORT DESIGNATOR COURSE_TRUE WIDTH_DEG THRESHOLD_LAT "
                "THRESHOLD_LON ELEV_FT LOCALIZER_LAT LOCALIZER_LON GS_ANGLE GS_LAT GS_LON "
                "GS_ELEV_FT";
            return false;
        }
        st.ident = w[1];
        world->stations.push_back(std::move(st));
        return true;
    }
    *what = "unknown entry " + text::Echo(kind);
    return false;
}

}  // namespace

bool ParseWorld(std::string_view text, World* world, std::string* error) {
    int line_no = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ++line_no;
        const std::vector<std::string> w = Words(text.substr(start, end - start));
        std::string what;
        if (!w.empty() && !Line(w, world, &what)) {
            *error = "line " + std::to_string(line_no) + ": " + what;
            return false;
        }
        start = end + 1;
    }
    return true;
}

bool LoadWorld(const std::filesystem::path& file, World* world, std::string* error) {
    std::string text;
    const platform::HostFileRead read = platform::ReadWholeHostFile(file.string(), &text);
    if (read.result != platform::HostFileRead::Result::kRead) {
        *error = "cannot read " + file.string();
        if (read.result == platform::HostFileRead::Result::kNotRegular)
            *error += ": " + std::string(read.not_regular);
        return false;
    }
    std::string problem;
    if (!ParseWorld(text, world, &problem)) {
        *error = file.string() + ": " + problem;
        return false;
    }
    return true;
}

}  // namespace zu::simhost
