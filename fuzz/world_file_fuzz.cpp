// Fuzzes the stand-in's station file: whatever the text, the parser either
// refuses it with a line number or gives entries within their ranges.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "zu/simhost/world.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zu::simhost;
    World world;
    std::string error;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!ParseWorld(text, &world, &error)) {
        if (error.rfind("line ", 0) != 0) std::abort();
        return 0;
    }
    auto position_ok = [](double lat, double lon) {
        return lat >= -90.0 && lat <= 90.0 && lon >= -180.0 && lon <= 180.0;
    };
    for (const WorldAirport& a : world.airports)
        if (!position_ok(a.latitude, a.longitude)) std::abort();
    for (const WorldRunway& r : world.runways)
        if (!position_ok(r.latitude, r.longitude) || r.length_ft <= 0 || r.width_ft <= 0)
            std::abort();
    for (const RadioStation& s : world.stations) {
        if (!position_ok(s.latitude, s.longitude)) std::abort();
        const bool ndb = s.kind == RadioStation::kNdb;
        if (ndb ? (s.frequency < 1900 || s.frequency > 17500)
                : (s.frequency < 10800 || s.frequency > 11800))
            std::abort();
        if (s.kind == RadioStation::kIls && (s.width_deg <= 0 || s.glide_path_deg <= 0))
            std::abort();
    }
    return 0;
}
