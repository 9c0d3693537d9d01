#include "displays/hgs_runway_projection.h"

#include <cmath>
#include <cstring>

#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/nav_sources.h"
#include "core/settings_file.h"
#include "core/shared_maths.h"

namespace zu {

double HgsRunwayGroundPoints[kHgsRunwayPoints][3] = {};

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
constexpr double kLatitudeUnitDegrees = 90.0 / 10001750.0;
constexpr double kLongitudeUnitDegrees = 360.0 / 4294967296.0;
constexpr double kMetresPerNm = 1852.0;
constexpr double kFeetToNm = 0.00016457883330229652;
constexpr double kFarLimit = 10000000.0;

double Finite(double v) {
    return std::isfinite(v) ? v : 0.0;
}

double Wrap360(double a) {
    a = std::fmod(a, 360.0);
    return a < 0 ? a + 360.0 : a;
}

// A simulator position (latitude and longitude units, elevation in metres)
// in the ground frame: x east, y north, z up.
void GroundPoint(int32_t latitude, int32_t longitude, int32_t elevation, double out[3]) {
    const double cos_lat = std::cos(Finite(AircraftPosition.latitude) * kDegToRad);
    out[0] = longitude * kLongitudeUnitDegrees * cos_lat * 60.0;
    out[1] = latitude * kLatitudeUnitDegrees * 60.0;
    out[2] = elevation / kMetresPerNm;
}

// Rotation about the vertical axis, in the row-vector form TransformPoints
// takes.
void HeadingMatrix(double degrees, double m[4][4]) {
    const double c = std::cos(degrees * kDegToRad), s = std::sin(degrees * kDegToRad);
    const double r[4][4] = {{c, s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    std::memcpy(m, r, sizeof r);
}

const NavSourceRecord& Selected() {
    const int32_t i = NavSourceSel1 >= 0 && NavSourceSel1 < kNavSourceCount ? NavSourceSel1 : 0;
    return NavSources[i];
}

}  // namespace

void HgsRunwayOutline() {
    const NavSourceRecord& sel = Selected();
    // 1-2. The glideslope transmitter; none without runway data.
    double r[3];
    GroundPoint(sel.glideslope_latitude, sel.glideslope_longitude, sel.glideslope_altitude, r);
    if (sel.glideslope_latitude == 0) return;
    // 3. The NAV1 station relative to it.
    double station[3];
    GroundPoint(Nav1StationPosition[0], Nav1StationPosition[1], Nav1StationPosition[2], station);
    double d[4] = {station[0] - r[0], station[1] - r[1], station[2] - r[2], 1.0};
    // 4. The runway heading (the word holds the inverse heading).
    const double h = Wrap360(sel.runway_heading * (360.0 / 65536.0) + 180.0);
    // 5. Into the runway frame: across, along.
    double to_runway[4][4];
    HeadingMatrix(h, to_runway);
    TransformPoints(1, d, to_runway, d);
    const double s = d[1];
    // 6. The outline in the runway frame.
    const double w = kHgsRunwayHalfWidthNm;
    double pts[kHgsRunwayPoints][4] = {
        {0.0, s, 0, 1},
        {-w, s - kHgsRunwayBeforeNm, 0, 1},
        {-w, s + kHgsRunwayBeyondNm, 0, 1},
        {w, s + kHgsRunwayBeyondNm, 0, 1},
        {w, s - kHgsRunwayBeforeNm, 0, 1},
    };
    // 7. Back into the ground frame, on the transmitter's elevation.
    double to_ground[4][4];
    HeadingMatrix(-h, to_ground);
    TransformPoints(kHgsRunwayPoints, &pts[0][0], to_ground, &pts[0][0]);
    for (int i = 0; i < kHgsRunwayPoints; ++i) {
        HgsRunwayGroundPoints[i][0] = pts[i][0] + r[0];
        HgsRunwayGroundPoints[i][1] = pts[i][1] + r[1];
        HgsRunwayGroundPoints[i][2] = r[2];
    }
}

void HgsRunwayProject() {
    // 1. Viewport.
    const double cx = TruncToInt32(HUD_RWY_EDGE_CENTER_X);
    const double cy = TruncToInt32(HUD_RWY_EDGE_CENTER_Y);
    // 2. The eye.
    const double eye[3] = {Finite(AircraftPosition.east_nm), Finite(AircraftPosition.north_nm),
                           Finite(Altitude) * kFeetToNm};
    // 3. Bank (shared with the flight-path step).
    const double b = Finite(BankAttitude) * kDegToRad;
    const double cb = std::cos(b), sb = std::sin(b);
    const double bank[4][4] = {{cb, 0, sb, 0}, {0, 1, 0, 0}, {-sb, 0, cb, 0}, {0, 0, 0, 1}};
    std::memcpy(HgsBankMatrix, bank, sizeof bank);
    // 4. Pitch.
    const double p = Finite(PitchAttitude) * kDegToRad;
    const double cp = std::cos(p), sp = std::sin(p);
    const double pitch[4][4] = {{1, 0, 0, 0}, {0, cp, -sp, 0}, {0, sp, cp, 0}, {0, 0, 0, 1}};
    // 5. Heading.
    double heading[4][4];
    HeadingMatrix(Wrap360(Finite(Heading) - 0.5 + Finite(NavHeading)), heading);
    // 6. Up and target of the camera.
    double up[4] = {0, 0, 0.1, 1};
    double target[4] = {0, 0.1, 0, 1};
    TransformPoints(1, up, HgsBankMatrix, up);
    TransformPoints(1, target, pitch, target);
    // 7. The points relative to the eye, turned to the heading.
    double pts[kHgsRunwayPoints][4];
    for (int i = 0; i < kHgsRunwayPoints; ++i) {
        for (int k = 0; k < 3; ++k) pts[i][k] = HgsRunwayGroundPoints[i][k] - eye[k];
        pts[i][3] = 1.0;
    }
    TransformPoints(kHgsRunwayPoints, &pts[0][0], heading, &pts[0][0]);
    for (auto& pt : pts) pt[0] += HUD_RWY_CAMERA_X_SHIFT;
    // 8. The camera at the origin.
    static constexpr double kOrigin[3] = {0, 0, 0};
    SetViewCamera(kOrigin, target, up, HUD_RWY_EDGE_LAT_ANGLEx100, HUD_RWY_EDGE_VERT_ANGLEx100,
                  HUD_RWY_EDGE_LINES_ZOOMx100, 0.0, kFarLimit);
    // 9. Each point; a rejected one keeps its previous screen value.
    for (int i = 0; i < kHgsRunwayPoints; ++i) {
        ProjectPointClipped(pts[i], 0.0, kFarLimit, HUD_RWY_EDGE_LINES_ZOOMx100, cx, cy,
                            kHgsProjectionSize, kHgsProjectionSize, &HgsRunwayScreenPoints[i][0],
                            &HgsRunwayScreenPoints[i][1]);
    }
}

}  // namespace zu
