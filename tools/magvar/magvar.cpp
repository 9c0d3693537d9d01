// magvar FILE LAT LON ALT_METRES YEAR
//
// Prints the declination (degrees, east positive, "%.6f") that the module's
// MagneticVariationAt computes from the coefficient file FILE at latitude
// and longitude (degrees, north and east positive), altitude in metres and
// a decimal year. Exit 0 on success, 2 on bad arguments, 3 when FILE cannot
// be read.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "fms/magnetic_variation.h"

namespace {

bool ParseNumber(const char* text, double* out) {
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || errno == ERANGE || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    double lat = 0, lon = 0, alt = 0, year = 0;
    if (argc != 6 || !ParseNumber(argv[2], &lat) || !ParseNumber(argv[3], &lon) ||
        !ParseNumber(argv[4], &alt) || !ParseNumber(argv[5], &year) || lat < -90.0 || lat > 90.0 ||
        lon < -360.0 || lon > 360.0) {
        std::fprintf(stderr, "usage: magvar FILE LAT LON ALT_METRES YEAR\n");
        return 2;
    }
    if (!zu::MagVarFileOpenPath(argv[1])) {
        std::fprintf(stderr, "magvar: cannot read %s\n", argv[1]);
        return 3;
    }
    std::printf("%.6f\n", zu::MagneticVariationAt(lat, lon, alt, year));
    zu::MagVarFileClose();
    return 0;
}
