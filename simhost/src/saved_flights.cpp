// The stand-in's saved flights (see saved_flights.h).
#include "zu/simhost/saved_flights.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string_view>
#include <system_error>

#include "text_util.h"
#include "zu/platform/files.h"
#include "zu/platform/ini_file.h"
#include "zu/platform/paths.h"
#include "zu/simhost/simulator.h"

namespace zu::simhost {
namespace {

namespace fs = std::filesystem;

std::string Windows(const fs::path& file) {
    std::error_code ec;
    return platform::FromHostPath(fs::absolute(file, ec).string());
}

std::string Fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

// A value as a message shows it: the shortest text that reads back as it
// (60001.5, 1e+308).
std::string Short(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// The line of the file's second section named `name` (as the INI reader
// matches section names); 0 when it has at most one. The reader takes the
// first and would leave the other unread without a word.
int SecondSectionLine(const fs::path& file, std::string_view name) {
    std::ifstream in(file, std::ios::binary);
    int line_no = 0;
    bool seen = false;
    for (std::string line; std::getline(in, line);) {
        ++line_no;
        std::string_view header = text::Trim(line);
        if (header.empty() || header.front() != '[') continue;
        header.remove_prefix(1);
        if (!text::EqualNoCase(text::Trim(header.substr(0, header.find(']'))), name)) continue;
        if (seen) return line_no;
        seen = true;
    }
    return 0;
}

}  // namespace

bool WriteSavedFlight(const fs::path& file, const SavedFlight& flight, std::string* error) {
    // The whole file is built here and replaces the old one in one rename:
    // a full disk or a crash leaves the old file as it was.
    const std::string title = flight.title.substr(0, flight.title.find_first_of("\r\n"));
    const std::string data =
        "[Main]\nTitle=" + title + "\n[Position]\nLatitude=" + Fixed(flight.latitude, 6) +
        "\nLongitude=" + Fixed(flight.longitude, 6) + "\nAltitude=" + Fixed(flight.altitude_ft, 1) +
        "\nHeading=" + Fixed(flight.heading, 1) + "\nSpeed=" + Fixed(flight.speed_kt, 1) +
        "\nOnGround=" + (flight.on_ground ? "1" : "0") + "\n";
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    const platform::WholeFileWrite written =
        platform::WriteWholeHostFile(file.string(), data.data(), data.size(), true);
    if (!written) {
        *error = "cannot write the saved flight " + file.string() + ": " + written.Describe();
        return false;
    }
    return true;
}

bool ReadSavedFlight(const fs::path& file, SavedFlight* flight, std::string* error) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (!fs::is_regular_file(status)) {
        // (Never opened: a named pipe would hold the start-up for good.)
        *error = fs::exists(status) ? "saved flight " + file.string() + " is not a regular file"
                                    : "no saved flight " + file.string();
        return false;
    }
    if (const int line = SecondSectionLine(file, "Position"); line != 0) {
        *error = file.string() + ": line " + std::to_string(line) +
                 ": a second [Position] section (a flight has one position)";
        return false;
    }
    const std::string path = Windows(file);
    char buf[256];
    platform::GetPrivateProfileString("Main", "Title", "", buf, sizeof buf, path.c_str());
    flight->title = buf[0] != 0 ? buf : file.stem().string();
    const struct {
        const char* key;
        double* out;
    } numbers[] = {
        {"Latitude", &flight->latitude},    {"Longitude", &flight->longitude},
        {"Altitude", &flight->altitude_ft}, {"Heading", &flight->heading},
        {"Speed", &flight->speed_kt},
    };
    for (const auto& n : numbers) {
        platform::GetPrivateProfileString("Position", n.key, "", buf, sizeof buf, path.c_str());
        auto v = text::ParseDouble(buf);
        if (!v || !std::isfinite(*v)) {
            *error = file.string() + ": [Position] " + n.key + " is missing or not a number";
            return false;
        }
        *n.out = *v;
    }
    if (flight->latitude < -90 || flight->latitude > 90 || flight->longitude < -180 ||
        flight->longitude > 180 || flight->speed_kt < 0) {
        *error = file.string() + ": the position is out of range";
        return false;
    }
    if (flight->altitude_ft < kLowestAltitudeFt || flight->altitude_ft > kHighestAltitudeFt) {
        *error = file.string() + ": [Position] Altitude " + Short(flight->altitude_ft) +
                 " ft is outside -1500 to 60000 ft";
        return false;
    }
    if (flight->speed_kt > kHighestSpeedKt) {
        *error = file.string() + ": [Position] Speed " + Short(flight->speed_kt) +
                 " kt is above 1000 kt";
        return false;
    }
    platform::GetPrivateProfileString("Position", "OnGround", "1", buf, sizeof buf, path.c_str());
    flight->on_ground = text::Trim(buf) != "0";
    return true;
}

}  // namespace zu::simhost

// ---------------------------------------------------------------------------
// The simulator's side (members of Simulator)

namespace zu::simhost {
namespace {

constexpr uint32_t kFlightNameOffset = 0x0400;
constexpr uint32_t kSaveCounterOffset = 0x3BD2;
constexpr uint32_t kLoadedFlightOffset = 0x3F04;
constexpr std::size_t kFsuipcTextSize = 128;

void PublishText(FsuipcServer& fsuipc, uint32_t offset, const std::string& text) {
    char buf[kFsuipcTextSize] = {};
    std::memcpy(buf, text.data(), std::min(text.size(), kFsuipcTextSize - 1));
    fsuipc.Publish(offset, buf, sizeof buf);
}

}  // namespace

bool Simulator::PrepareSavedFlights(std::string* error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    documents_dir_ = config_.documents_dir;
    if (documents_dir_.empty()) documents_dir_ = config_.aircraft_dir.parent_path() / "Documents";
    documents_dir_ = fs::absolute(documents_dir_, ec);
    platform::SetDocumentsFolder(documents_dir_.string());
    start_flight_path_.clear();
    if (config_.flight_file.empty()) return true;
    start_flight_path_ = fs::absolute(config_.flight_file, ec);
    if (!ReadSavedFlight(start_flight_path_, &start_flight_, error)) return false;
    if (platform::FromHostPath(start_flight_path_.string()).size() >= kFsuipcTextSize) {
        *error = "the path of the start-up flight is longer than the 127 characters of 0x3F04";
        return false;
    }
    return true;
}

void Simulator::PublishStartFlight() {
    if (start_flight_path_.empty()) return;
    const SavedFlight& f = start_flight_;
    if (config_.aircraft_model) {
        const double ground = f.on_ground ? f.altitude_ft : model_.state().ground_elevation_ft;
        model_.PlaceOnGround(f.latitude, f.longitude, ground, f.heading);
        if (!f.on_ground) model_.PlaceAirborne(f.altitude_ft, f.speed_kt);
    }
    PublishText(fsuipc_, kFlightNameOffset, f.title);
    PublishText(fsuipc_, kLoadedFlightOffset, platform::FromHostPath(start_flight_path_.string()));
    LogEvent("flight loaded: " + start_flight_path_.string());
}

bool Simulator::SaveFlight(const std::string& name, std::string* error) {
    if (name.empty() || name.size() >= kFsuipcTextSize ||
        name.find_first_of("\\/:") != std::string::npos) {
        *error = "a flight name must be 1 to 127 characters without \\, / or :";
        return false;
    }
    SavedFlight f;
    f.title = name;
    const AircraftState& s = model_.state();
    f.latitude = s.latitude;
    f.longitude = s.longitude;
    f.altitude_ft = s.altitude_ft;
    f.heading = s.heading_true;
    f.speed_kt = model_.IndicatedAirspeedKt();
    f.on_ground = s.on_ground;
    const std::filesystem::path file = documents_dir_ / kSavedFlightsFolder / (name + ".FLT");
    if (!WriteSavedFlight(file, f, error)) return false;
    PublishText(fsuipc_, kFlightNameOffset, name);
    uint16_t counter = 0;
    fsuipc_.Peek(kSaveCounterOffset, &counter, sizeof counter);
    ++counter;
    fsuipc_.Publish(kSaveCounterOffset, &counter, sizeof counter);
    LogEvent("flight saved: " + file.string());
    return true;
}

}  // namespace zu::simhost
