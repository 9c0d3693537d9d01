#include "core/shared_maths.h"

#include <cmath>
#include <numbers>

#include "core/module_frame.h"

namespace zu {

float RateLimitResult = 0.0f;
GreatCircleResult GreatCircleDistanceCourseResult = {0.0, 0.0};
double ClosestApproachSeparation[3] = {0.0, 0.0, 0.0};
ViewCameraRecord ViewCamera = {};

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kRadToDeg = 180.0 / kPi;
constexpr double kNmToRad = kPi / 10800.0;  // one nautical mile is one minute of arc

// Inverse trigonometric arguments computed from rounded products can stray
// just outside [-1, 1]; clamping keeps the result a number.
double ClampUnit(double x) {
    if (x > 1.0) return 1.0;
    if (x < -1.0) return -1.0;
    return x;
}

// Truncation to a 64-bit integer that stays defined for any input.
int64_t TruncToInt64(double x) {
    if (!(x == x)) return 0;
    if (x >= 9.2e18) return INT64_C(9200000000000000000);
    if (x <= -9.2e18) return -INT64_C(9200000000000000000);
    return static_cast<int64_t>(x);
}

// One turn added or taken off an angle outside 0..360; 0 and 360 stay.
double Wrap360Once(double d) {
    if (d < 0.0) return d + 360.0;
    if (d > 360.0) return d - 360.0;
    return d;
}

// Brings a latitude that went past a pole back onto the globe.
double FoldLatitude(double lat) {
    if (lat >= -90.0 && lat <= 90.0) return lat;
    double l = std::fmod(lat + 180.0, 360.0);
    if (l < 0.0) l += 360.0;
    l -= 180.0;  // now in [-180, 180)
    if (l > 90.0) return 180.0 - l;
    if (l < -90.0) return -180.0 - l;
    return l;
}

double Dot(const double a[3], const double b[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

bool Normalise(double v[3]) {
    double len = std::sqrt(Dot(v, v));
    if (!(len > 0.0)) return false;
    v[0] /= len;
    v[1] /= len;
    v[2] /= len;
    return true;
}

void TransformOne(const double* in, const double m[4][4], double* out) {
    const double x = in[0], y = in[1], z = in[2], w = in[3];
    out[0] = x * m[0][0] + y * m[1][0] + z * m[2][0] + m[3][0];
    out[1] = x * m[0][1] + y * m[1][1] + z * m[2][1] + m[3][1];
    out[2] = x * m[0][2] + y * m[1][2] + z * m[2][2] + m[3][2];
    out[3] = w;
}

}  // namespace

double TableLookup8(const float* t, float x) {
    const float* ys = t + 8;
    if (x <= t[0]) return ys[0];
    if (x >= t[7]) return ys[7];
    int i = 1;
    while (i < 7 && !(t[i] > x)) ++i;
    if (t[i - 1] == t[i]) return ys[i - 1];
    const double f = (static_cast<double>(t[i]) - x) / (static_cast<double>(t[i]) - t[i - 1]);
    return ys[i] - f * (static_cast<double>(ys[i]) - ys[i - 1]);
}

float RateLimit(float target, float current, float step) {
    const float d = target - current;
    float r;
    if (d > 1.02f * step) {
        r = current + step;
    } else if (d >= -1.02f * step) {
        r = target;
    } else {
        r = current - step;
    }
    RateLimitResult = r;
    return r;
}

double AngleDiff(double a, double b) {
    // One turn is 2^32 units of -11930173.44 per degree; the subtraction
    // wraps in 32 bits.
    const int64_t ca = TruncToInt64(a * -11930173.44);
    const int64_t cb = TruncToInt64(b * -11930173.44);
    const uint32_t d = static_cast<uint32_t>(static_cast<uint64_t>(cb) - static_cast<uint64_t>(ca));
    double r = static_cast<double>(d) * 8.382107812843331e-8;
    if (r > 180.0) r -= 360.0;
    return r;
}

int32_t AngleDiff16(int32_t a, int32_t b) {
    const int64_t ua = TruncToInt64(-182.04 * a);
    const int64_t ub = TruncToInt64(-182.04 * b);
    const uint32_t d =
        static_cast<uint32_t>(static_cast<uint64_t>(ub) - static_cast<uint64_t>(ua)) & 0xFFFFu;
    int32_t r = static_cast<int32_t>(d * 0.005493298176225006);
    if (r >= 181) r -= 360;
    return r;
}

double AngleSub360(double a, double b) {
    return Wrap360Once(a - b);
}

double AngleAdd360(double a, double b) {
    return Wrap360Once(a + b);
}

void GreatCircleDistanceCourse(double lat_a, double lon_a, double lat_b, double lon_b) {
    // Longitudes are taken west-positive for the course formula.
    const double pa = lat_a * kDegToRad;
    const double pb = lat_b * kDegToRad;
    const double la = -lon_a * kDegToRad;
    const double lb = -lon_b * kDegToRad;

    const double s1 = std::sin((pb - pa) * 0.5);
    const double s2 = std::sin((la - lb) * 0.5);
    const double hav = s1 * s1 + std::cos(pb) * std::cos(pa) * s2 * s2;
    const double d = 2.0 * std::asin(std::sqrt(ClampUnit(hav < 0.0 ? 0.0 : hav)));

    const double cos_c =
        (std::sin(pa) - std::cos(d) * std::sin(pb)) / (std::sin(d) * std::cos(pb) + 1e-15);
    const double c = std::acos(ClampUnit(cos_c)) * kRadToDeg;
    // The angle at B is measured towards the east when A lies east of B,
    // that is when A's west-positive longitude is the smaller one.
    double course = std::sin(la - lb) < 0.0 ? c : 360.0 - c;
    if (course < 0.0) course += 360.0;

    GreatCircleDistanceCourseResult.distance = d * kRadToDeg * 60.0;
    GreatCircleDistanceCourseResult.course = course;
}

double GreatCircleArc(double lat_a, double lon_a, double lat_b, double lon_b) {
    const double pa = lat_a * kDegToRad;
    const double pb = lat_b * kDegToRad;
    const double dl = (lon_a - lon_b) * kDegToRad;
    const double c = std::cos(dl) * std::cos(pb) * std::cos(pa) + std::sin(pb) * std::sin(pa);
    return std::fabs(std::acos(ClampUnit(c)));
}

double GreatCircleLat(double lat, double lon, double course, double distance) {
    if (distance == 0.0) return lat;
    if (course == 0.0 || course == 360.0) return FoldLatitude(lat + distance / 60.0);
    if (course == 180.0) return FoldLatitude(lat - distance / 60.0);
    const double p1 = lat * kDegToRad;
    const double b = distance * kNmToRad;
    const double c = course * kDegToRad;
    const double s = std::sin(p1) * std::cos(b) + std::cos(p1) * std::sin(b) * std::cos(c);
    return std::asin(ClampUnit(s)) * kRadToDeg;
}

double GreatCircleLon(double lat, double lon, double course, double distance) {
    if (distance == 0.0) return lon;
    if (course == 0.0 || course == 180.0 || course == 360.0) return lon;
    const double p1 = lat * kDegToRad;
    const double b = distance * kNmToRad;
    const double c = course * kDegToRad;
    const double sin_p2 =
        ClampUnit(std::sin(p1) * std::cos(b) + std::cos(p1) * std::sin(b) * std::cos(c));
    const double delta =
        std::atan2(std::sin(c) * std::sin(b) * std::cos(p1), std::cos(b) - std::sin(p1) * sin_p2);
    double r = lon + delta * kRadToDeg;
    if (r > 180.0) {
        r -= 360.0;
    } else if (r < -180.0) {
        r += 360.0;
    }
    return r;
}

double ClosestApproachTime(const double p[3], const double u[3], const double q[3],
                           const double v[3]) {
    const double dv[3] = {u[0] - v[0], u[1] - v[1], u[2] - v[2]};
    const double dd = Dot(dv, dv);
    if (dd < 8.000000000000001e-10) {
        ClosestApproachSeparation[0] = dv[0];
        ClosestApproachSeparation[1] = dv[1];
        ClosestApproachSeparation[2] = dv[2];
        return 0.0;
    }
    const double w[3] = {p[0] - q[0], p[1] - q[1], p[2] - q[2]};
    ClosestApproachSeparation[0] = w[0];
    ClosestApproachSeparation[1] = w[1];
    ClosestApproachSeparation[2] = w[2];
    return -Dot(w, dv) / (dd + 9.000000000000001e-10);
}

double ClosestApproachDistance(const double p[3], const double u[3], const double q[3],
                               const double v[3]) {
    const double t = ClosestApproachTime(p, u, q, v);
    for (int i = 0; i < 3; ++i) {
        ClosestApproachSeparation[i] = (p[i] + t * u[i]) - (q[i] + t * v[i]);
    }
    return std::sqrt(Dot(ClosestApproachSeparation, ClosestApproachSeparation));
}

bool SetViewCamera(const double eye[3], const double target[3], const double up[3], double hfov,
                   double vfov, double scale, double near_dist, double far_dist) {
    static constexpr double kZero[3] = {0.0, 0.0, 0.0};
    if (VectorsNearlyEqual(target, eye) || VectorsNearlyEqual(up, kZero)) return false;

    double forward[3] = {target[0] - eye[0], target[1] - eye[1], target[2] - eye[2]};
    if (!Normalise(forward)) return false;
    double right[3];
    CrossProduct(right, up, forward);
    if (VectorsNearlyEqual(right, kZero) || !Normalise(right)) return false;
    double third[3];
    CrossProduct(third, forward, right);

    for (int i = 0; i < 3; ++i) {
        ViewCamera.eye[i] = eye[i];
        ViewCamera.basis[0][i] = right[i];
        ViewCamera.basis[1][i] = forward[i];
        ViewCamera.basis[2][i] = third[i];
    }

    if (hfov < 0.001 || vfov < 0.001) return false;
    ViewCamera.tan_half_h = std::tan(hfov * 0.00872664626);
    ViewCamera.tan_half_v = std::tan(vfov * 0.00872664626);

    if (scale < 0.001 || near_dist < 0.0 || far_dist < 0.0) return false;
    return near_dist < far_dist;
}

bool ProjectPointClipped(const double point[3], double near_dist, double far_dist, double scale,
                         double centre_x, double centre_y, double width, double height,
                         int32_t* screen_x, int32_t* screen_y) {
    const double d[3] = {point[0] - ViewCamera.eye[0], point[1] - ViewCamera.eye[1],
                         point[2] - ViewCamera.eye[2]};
    const double vr = Dot(ViewCamera.basis[0], d);
    const double vf = Dot(ViewCamera.basis[1], d);
    const double vt = Dot(ViewCamera.basis[2], d);
    if (!(vf >= near_dist && vf <= far_dist)) return false;
    const double px = (vr / ViewCamera.tan_half_h) * (scale / vf);
    const double pz = (vt / ViewCamera.tan_half_v) * (scale / vf);
    if (!(px >= -10.0 && px <= 10.0 && pz >= -10.0 && pz <= 10.0)) return false;
    const double sx = centre_x - width * px * 0.5;
    const double sy = centre_y - 0.5 * height * pz;
    if (!(std::fabs(sx) < 2.0e9 && std::fabs(sy) < 2.0e9)) return false;
    *screen_x = static_cast<int32_t>(sx);
    *screen_y = static_cast<int32_t>(sy);
    return true;
}

void TransformPoints(int32_t n, const double* in, const double m[4][4], double* out) {
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        TransformOne(in + 4 * i, m, out + 4 * i);
        TransformOne(in + 4 * (i + 1), m, out + 4 * (i + 1));
        TransformOne(in + 4 * (i + 2), m, out + 4 * (i + 2));
        TransformOne(in + 4 * (i + 3), m, out + 4 * (i + 3));
    }
    for (; i < n; ++i) TransformOne(in + 4 * i, m, out + 4 * i);
}

void CrossProduct(double out[3], const double a[3], const double b[3]) {
    const double x = a[1] * b[2] - a[2] * b[1];
    const double y = a[2] * b[0] - a[0] * b[2];
    const double z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

bool VectorsNearlyEqual(const double a[3], const double b[3]) {
    return std::fabs(a[0] - b[0]) <= 0.001 && std::fabs(a[1] - b[1]) <= 0.001 &&
           std::fabs(a[2] - b[2]) <= 0.001;
}

int32_t RoundToInt32(double v) {
    if (!std::isfinite(v)) return 0;
    return TruncToInt32(std::round(v));
}

int32_t TruncToInt32(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

}  // namespace zu
