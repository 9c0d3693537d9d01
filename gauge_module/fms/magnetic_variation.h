// The magnetic variation model: the spherical-harmonic model of the Earth's
// main field (degree 12, Schmidt semi-normalised Gauss coefficients with
// their secular variation), evaluated in single precision the way the
// model's published reference routine does it.
//
// The coefficient file ("Fmsmgv.dat" in the aircraft's FMS folder, the
// model's published text format) is opened once by MagVarFileOpen and kept
// open; every MagneticVariationAt call rewinds it and reads the
// coefficients again. Without a file the variation is 0.0. A damaged
// file (a line before "9999" that does not read as its six numbers, or no
// "9999" line) is read as far as it goes, as any other; its first damage
// is recorded as a load problem of the file (zu/platform/load_problems.h).
//
// The database load (gauge thread) and the procedure reads (systems tick)
// share the model, so each call holds one lock for its whole run.
#pragma once

#include <cstdint>
#include <string_view>

namespace zu {

// Highest degree and order of the model.
inline constexpr int kMagModelMaxDegree = 12;

// Results of the last evaluation: the annual changes from the second
// evaluation one year later (declination and inclination in minutes per
// year, total intensity in nT per year) and the grid variation (-999.0
// outside the polar regions).
struct MagVarChangeRecord {
    float declination_change;
    float inclination_change;
    float intensity_change;
    float grid_variation;
};
extern MagVarChangeRecord MagVarAnnualChange;

// Opens AircraftFolderPath + "\FMS\Fmsmgv.dat" and keeps it open.
void MagVarFileOpen();
// Opens the coefficient file at a Windows-style path (closing one already
// open). False when it cannot be opened.
bool MagVarFileOpenPath(std::string_view windows_path);
// Closes the coefficient file when it is open.
void MagVarFileClose();
bool MagVarFileIsOpen();

// The declination in degrees, east positive, at latitude and longitude
// (degrees, north and east positive), altitude in metres and a decimal
// year. 0.0 without a coefficient file.
double MagneticVariationAt(double latitude, double longitude, double altitude, double year);

// The model routine itself. Entry 0 reads the coefficients from the open
// file (up to maximum degree *max_degree); entry 1 evaluates at the
// altitude (km above the ellipsoid), geodetic latitude and longitude
// (degrees) and decimal year. Call it only under the model's lock (it is
// exposed for MagneticVariationAt and the tests). Entry 0 returns false
// when no file is open.
bool MagneticVariation(int entry, int* max_degree, float altitude, float latitude, float longitude,
                       float year, float* declination, float* inclination, float* total_intensity,
                       float* grid_variation);

// Reads coefficient text already in memory instead of the file (entry 0
// from a buffer), for the coefficient reader's fuzz target and the tests.
void MagVarLoadFromText(std::string_view text);

}  // namespace zu
