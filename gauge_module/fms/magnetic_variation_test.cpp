#include "fms/magnetic_variation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "fms/fms_test_support.h"
#include "zu/platform/load_problems.h"

namespace zu {
namespace {

using fms_test::FmsFolder;

// Declination of a degree-1 field (g10, g11, h11 in nT) at a geodetic
// position, in double precision: the spherical components of the dipole,
// rotated from the geocentric to the geodetic frame.
double DipoleDeclination(double g10, double g11, double h11, double lat_deg, double lon_deg,
                         double alt_km) {
    const double a = 6378.137, b = 6356.7523142, re = 6371.2;
    const double lat = lat_deg * std::numbers::pi / 180.0, lon = lon_deg * std::numbers::pi / 180.0;
    // Geodetic to geocentric (Earth-centred coordinates of the point).
    const double e2 = 1.0 - (b * b) / (a * a);
    const double n = a / std::sqrt(1.0 - e2 * std::sin(lat) * std::sin(lat));
    const double p = (n + alt_km) * std::cos(lat);
    const double z = (n * (1.0 - e2) + alt_km) * std::sin(lat);
    const double r = std::hypot(p, z);
    const double lat_c = std::atan2(z, p);
    const double theta = std::numbers::pi / 2.0 - lat_c;
    const double k = std::pow(re / r, 3.0);
    const double horizontal = g11 * std::cos(lon) + h11 * std::sin(lon);
    const double b_r = 2.0 * k * (g10 * std::cos(theta) + horizontal * std::sin(theta));
    const double b_theta = -k * (-g10 * std::sin(theta) + horizontal * std::cos(theta));
    const double b_phi = -k * (-g11 * std::sin(lon) + h11 * std::cos(lon));
    const double north_c = -b_theta, east = b_phi, down_c = -b_r;
    const double psi = lat_c - lat;
    const double north = north_c * std::cos(psi) - down_c * std::sin(psi);
    return std::atan2(east, north) * 180.0 / std::numbers::pi;
}

class MagneticVariationTest : public ::testing::Test {
  protected:
    void TearDown() override { MagVarFileClose(); }
    void Open(const std::string& text) {
        const auto file = folder_ / "model.cof";
        std::ofstream(file) << text;
        ASSERT_TRUE(MagVarFileOpenPath(file.string()));
    }
    FmsFolder folder_;
};

TEST_F(MagneticVariationTest, NoFileGivesZero) {
    MagVarFileClose();
    EXPECT_EQ(MagneticVariationAt(45.0, 10.0, 0.0, 2000.0), 0.0);
    EXPECT_FALSE(MagVarFileOpenPath((folder_ / "missing.cof").string()));
    EXPECT_EQ(MagneticVariationAt(45.0, 10.0, 0.0, 2000.0), 0.0);
}

TEST_F(MagneticVariationTest, DipolesMatchTheirClosedForm) {
    // An axial dipole points at the geographic pole everywhere.
    Open("    2000.0  AXIAL\n  1  0  -29000.0  0.0  0.0  0.0\n9999\n");
    for (double lat : {-60.0, -10.0, 0.0, 33.0, 70.0})
        for (double lon : {-170.0, -20.0, 0.0, 95.0})
            EXPECT_NEAR(MagneticVariationAt(lat, lon, 0.0, 2000.0), 0.0, 1e-9) << lat << " " << lon;

    // A tilted dipole, also above the ellipsoid.
    Open(
        "    2000.0  TILTED\n  1  0  -29000.0  0.0  0.0  0.0\n  1  1  -1500.0  4800.0  0 0\n"
        "9999\n");
    for (double lat : {-50.0, 0.0, 45.0, 54.0})
        for (double lon : {-120.0, 10.0, 80.0})
            for (double alt_m : {0.0, 3000.0}) {
                const double expected =
                    DipoleDeclination(-29000.0, -1500.0, 4800.0, lat, lon, alt_m * 0.001);
                EXPECT_NEAR(MagneticVariationAt(lat, lon, alt_m, 2000.0), expected, 2e-3)
                    << lat << " " << lon << " " << alt_m;
            }
}

TEST_F(MagneticVariationTest, SecularChangeIsLinearFromTheEpoch) {
    // Only the east-pointing term grows: 100 nT a year from 0 at the epoch.
    Open(
        "    2000.0  DRIFT\n  1  0  -30000.0  0.0  0.0  0.0\n  1  1  0.0  0.0  0.0  100.0\n9999\n");
    const double later = MagneticVariationAt(0.0, 0.0, 0.0, 2010.0);
    const double earlier = MagneticVariationAt(0.0, 0.0, 0.0, 1990.0);
    EXPECT_NEAR(later, DipoleDeclination(-30000.0, 0.0, 1000.0, 0.0, 0.0, 0.0), 2e-3);
    EXPECT_NEAR(earlier, -later, 2e-3);
    EXPECT_NEAR(MagVarAnnualChange.declination_change,
                (DipoleDeclination(-30000.0, 0.0, 1100.0, 0.0, 0.0, 0.0) - later) * 60.0, 0.05);
}

TEST_F(MagneticVariationTest, RereadsTheFileAndRepeatsItself) {
    std::ifstream in(std::string(ZU_SAMPLE_COEFFICIENTS));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(text.empty());
    Open(text);
    const double first = MagneticVariationAt(45.0, 10.0, 0.0, 1993.0);
    MagneticVariationAt(-33.0, 151.0, 1050.0, 2000.0);
    MagneticVariationAt(70.0, -40.0, 0.0, 2025.0);
    EXPECT_EQ(MagneticVariationAt(45.0, 10.0, 0.0, 1993.0), first);
    // Northern Italy in 2025: a few degrees east.
    const double now = MagneticVariationAt(45.0, 10.0, 0.0, 2025.0);
    EXPECT_GT(now, 2.5);
    EXPECT_LT(now, 5.0);
    // Grid variation only in the polar regions.
    MagneticVariationAt(60.0, 20.0, 0.0, 2025.0);
    EXPECT_NE(MagVarAnnualChange.grid_variation, -999.0f);
    MagneticVariationAt(54.9, 20.0, 0.0, 2025.0);
    EXPECT_EQ(MagVarAnnualChange.grid_variation, -999.0f);
}

TEST_F(MagneticVariationTest, OddLinesAreSkippedAndTheEndOfFileEndsTheRead) {
    // No "9999" line, a line of degree 13, one with m > n, negative orders,
    // garbage and a blank line: only the good dipole line counts.
    Open(
        "    2000.0  ODD\n  1  0  -29000.0  0.0  0.0  0.0\n 13  0  5000.0 0 0 0\n"
        "  1  2  9000.0  9000.0  0 0\n  1 -1  9000.0  9000.0  0 0\n -1  0  1 1 1 1\n"
        "hello\n\n  1  1  -1500.0  4800.0  0 0");
    const double expected = DipoleDeclination(-29000.0, -1500.0, 4800.0, 45.0, 10.0, 0.0);
    EXPECT_NEAR(MagneticVariationAt(45.0, 10.0, 0.0, 2000.0), expected, 2e-3);
    // A text read the same way gives the same model.
    MagVarLoadFromText(
        "    2000.0  ODD\n  1  0  -29000.0  0.0  0.0  0.0\n  1  1  -1500.0  4800.0  0 0");
    int maxdeg = kMagModelMaxDegree;
    float dec = 0, dip = 0, ti = 0, gv = 0;
    MagneticVariation(1, &maxdeg, 0.0f, 45.0f, 10.0f, 2000.0f, &dec, &dip, &ti, &gv);
    EXPECT_NEAR(dec, expected, 2e-3);
}

// A damaged coefficient file is read as far as it goes and named once with
// its first bad line (the header is line 1); a file without "9999" says so.
TEST_F(MagneticVariationTest, ADamagedCoefficientFileIsNamedWithItsFirstBadLine) {
    platform::ClearLoadProblems();
    const std::string host = (folder_ / "model.cof").string();
    Open(
        "    2000.0  DAMAGED\n  1  0  -29000.0  0.0  0.0  0.0\n  1  1  -1500.0  4800.0\n"
        "  2  0  garbage\n  2  1  1 1 1 1\n"
        "999999999999999999999999999999999999999999999999\n");
    const double first = MagneticVariationAt(45.0, 10.0, 0.0, 2000.0);
    EXPECT_EQ(MagneticVariationAt(45.0, 10.0, 0.0, 2000.0), first);
    std::vector<platform::LoadProblem> problems = platform::LoadProblems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].file, host);
    EXPECT_EQ(problems[0].what, "damaged: line 3 does not read as six numbers");
    EXPECT_EQ(problems[0].count, 2u);  // each read meets it again

    platform::ClearLoadProblems();
    Open("    2000.0  CUT\n  1  0  -29000.0  0.0  0.0  0.0\n  1  1  -1500.0  4800.0  0 0\n");
    EXPECT_NEAR(MagneticVariationAt(45.0, 10.0, 0.0, 2000.0),
                DipoleDeclination(-29000.0, -1500.0, 4800.0, 45.0, 10.0, 0.0), 2e-3);
    problems = platform::LoadProblems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].what, "damaged: no \"9999\" line ends the coefficients");

    // The published file is whole; text in memory is never a file's problem.
    platform::ClearLoadProblems();
    ASSERT_TRUE(MagVarFileOpenPath(ZU_SAMPLE_COEFFICIENTS));
    MagneticVariationAt(45.0, 10.0, 0.0, 1993.0);
    MagVarLoadFromText("    2000.0  TEXT\nhello\n");
    EXPECT_TRUE(platform::LoadProblems().empty());
}

}  // namespace
}  // namespace zu
