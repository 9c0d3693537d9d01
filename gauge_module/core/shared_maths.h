// Numeric routines shared by the systems, the flight guidance, the displays,
// the traffic computer, the flight management system and the head-up
// guidance: 8-point table interpolation, a rate limiter, angle arithmetic,
// great-circle navigation, closest approach of two moving points, a view
// camera with perspective projection, the countdown step that drives every
// timer and refresh countdown, and integer conversions that stay defined for
// any input.
//
// Angles are degrees unless stated. Longitudes are east-positive, latitudes
// north-positive; a nautical mile is one minute of arc. A few routines leave
// extra results in module-wide variables that callers read right after the
// call. Nothing here allocates.
#pragma once

#include <atomic>
#include <cstdint>

namespace zu {

// Last result of RateLimit.
extern float RateLimitResult;

struct GreatCircleResult {
    double distance;  // nautical miles
    double course;    // degrees 0..360
};
// Distance and course left by the last GreatCircleDistanceCourse call.
extern GreatCircleResult GreatCircleDistanceCourseResult;

// Separation vector left by the closest-approach routines.
extern double ClosestApproachSeparation[3];

// The view camera set by SetViewCamera and used by ProjectPointClipped.
struct ViewCameraRecord {
    double eye[3];
    double basis[3][3];  // rows: right, forward, up (third)
    double tan_half_h;   // tangent of half the horizontal field of view
    double tan_half_v;   // tangent of half the vertical field of view
};
extern ViewCameraRecord ViewCamera;

// Piecewise-linear lookup in an 8-point table: table[0..7] are the ascending
// x values, table[8..15] the y values. Outside the table the end values hold;
// on a flat step (two equal x) the lower y is taken.
double TableLookup8(const float* table, float x);

// Follows `target` from `current` by at most `step`; within 1.02 steps it
// snaps to the target. The result is also left in RateLimitResult.
float RateLimit(float target, float current, float step);

// a - b wrapped to (-180, 180], in the fixed-point arithmetic of the heading
// words (exact to within 0.01 degree).
double AngleDiff(double a, double b);
// a - b in whole degrees, -179..180.
int32_t AngleDiff16(int32_t a, int32_t b);
// a - b and a + b wrapped once into 0..360 (0 and 360 are kept as they are).
double AngleSub360(double a, double b);
double AngleAdd360(double a, double b);

// Distance A-B in nautical miles and the initial true course from B to A,
// left in GreatCircleDistanceCourseResult.
void GreatCircleDistanceCourse(double lat_a, double lon_a, double lat_b, double lon_b);
// Central angle between A and B in radians (>= 0).
double GreatCircleArc(double lat_a, double lon_a, double lat_b, double lon_b);
// The point reached from (lat, lon) along the true course for the distance
// (nautical miles) on a great circle.
double GreatCircleLat(double lat, double lon, double course, double distance);
double GreatCircleLon(double lat, double lon, double course, double distance);

// Closest approach of two points moving from P with velocity U and from Q
// with velocity V: the time of closest approach, and the separation at that
// time (vector left in ClosestApproachSeparation).
double ClosestApproachTime(const double p[3], const double u[3], const double q[3],
                           const double v[3]);
double ClosestApproachDistance(const double p[3], const double u[3], const double q[3],
                               const double v[3]);

// Sets the view camera. Fields of view in degrees. Returns false on
// degenerate input; with near_dist >= far_dist the basis and fields of view
// are stored but the result is false.
bool SetViewCamera(const double eye[3], const double target[3], const double up[3], double hfov,
                   double vfov, double scale, double near_dist, double far_dist);
// Projects a point through the view camera. True and the screen position when
// the point lies between near_dist and far_dist (inclusive) and within the
// projection window; false otherwise (the outputs are then untouched).
bool ProjectPointClipped(const double point[3], double near_dist, double far_dist, double scale,
                         double centre_x, double centre_y, double width, double height,
                         int32_t* screen_x, int32_t* screen_y);

// Transforms n points of four doubles (x, y, z, w) by a row-major 4 x 4
// matrix whose fourth column is not used: out = (x y z 1) * M for x, y, z;
// w is copied. `in` and `out` may be the same array.
void TransformPoints(int32_t n, const double* in, const double m[4][4], double* out);

// out := a x b (out may alias a or b).
void CrossProduct(double out[3], const double a[3], const double b[3]);
// True when every component differs by at most 0.001.
bool VectorsNearlyEqual(const double a[3], const double b[3]);

// Conversions of computed or simulator values to 32-bit integers that stay
// defined for any input: a value that is not a number reads 0 and one beyond
// the 32-bit range is held at its end. RoundToInt32 rounds to the nearest
// integer (halves away from zero), TruncToInt32 truncates toward zero.
int32_t RoundToInt32(double v);
int32_t TruncToInt32(double v);

// One step of a countdown: when *counter is above 0 it is decremented,
// RedrawRequest is raised and the result is true; otherwise false. (Inline:
// the gauges step their countdowns every frame.)
extern std::atomic<uint8_t> RedrawRequest;
inline bool CountdownTick(int32_t* counter) {
    if (*counter < 1) return false;
    *counter -= 1;
    RedrawRequest.store(255, std::memory_order_release);
    return true;
}

}  // namespace zu
