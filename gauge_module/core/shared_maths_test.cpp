#include "core/shared_maths.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/module_frame.h"

namespace zu {
namespace {

TEST(SharedMaths, TableLookup8) {
    const float t[16] = {0, 10,  20,  20,  40,  50,  60,  70,  // x
                         0, 100, 200, 300, 400, 500, 600, 700};
    EXPECT_DOUBLE_EQ(TableLookup8(t, -5), 0);
    EXPECT_DOUBLE_EQ(TableLookup8(t, 0), 0);
    EXPECT_DOUBLE_EQ(TableLookup8(t, 70), 700);
    EXPECT_DOUBLE_EQ(TableLookup8(t, 5), 50);
    EXPECT_DOUBLE_EQ(TableLookup8(t, 45), 450);
    // At a vertical step the value past the step is taken.
    EXPECT_DOUBLE_EQ(TableLookup8(t, 20), 300);
    EXPECT_DOUBLE_EQ(TableLookup8(t, 30), 350);
}

TEST(SharedMaths, RateLimit) {
    EXPECT_FLOAT_EQ(RateLimit(10, 9.5f, 0.5f), 10);
    EXPECT_FLOAT_EQ(RateLimit(10, 8, 0.5f), 8.5f);
    EXPECT_FLOAT_EQ(RateLimit(0, 8, 0.5f), 7.5f);
    EXPECT_FLOAT_EQ(RateLimitResult, 7.5f);
}

TEST(SharedMaths, AngleArithmetic) {
    EXPECT_NEAR(AngleDiff(10, 350), 20, 0.01);
    EXPECT_NEAR(AngleDiff(350, 10), -20, 0.01);
    EXPECT_NEAR(AngleDiff(180, 0), 180, 0.01);
    EXPECT_NEAR(AngleDiff(-170, 170), 20, 0.01);
    EXPECT_NEAR(AngleDiff(725, 0), 5, 0.05);
    EXPECT_EQ(AngleDiff(NAN, 0), 0.0);  // defined for any input

    EXPECT_EQ(AngleDiff16(10, 350), 20);
    EXPECT_EQ(AngleDiff16(350, 10), -20);
    EXPECT_EQ(AngleDiff16(90, 0), 89);  // truncated fixed-point result

    EXPECT_EQ(AngleSub360(10, 20), 350);
    EXPECT_EQ(AngleAdd360(350, 20), 10);
    EXPECT_EQ(AngleAdd360(180, 180), 360);
}

// The course is the one from B to A: east of B it lies between 0 and 180,
// west of B between 180 and 360. The plain sine test on B's longitude minus
// A's would give each its mirror image (315 for A north-east of B).
TEST(SharedMaths, GreatCircleCourseMendPointsFromBToANotItsMirrorImage) {
    GreatCircleDistanceCourse(1, 1, 0, 0);
    EXPECT_NEAR(GreatCircleDistanceCourseResult.course, 45.0, 0.1);
    GreatCircleDistanceCourse(1, -1, 0, 0);
    EXPECT_NEAR(GreatCircleDistanceCourseResult.course, 315.0, 0.1);
    GreatCircleDistanceCourse(0, -1, 0, 0);
    EXPECT_NEAR(GreatCircleDistanceCourseResult.course, 270.0, 1e-6);
    GreatCircleDistanceCourse(0, 1, 0, 0);
    EXPECT_NEAR(GreatCircleDistanceCourseResult.course, 90.0, 1e-6);
    GreatCircleDistanceCourse(-2, 0, 0, 0);
    EXPECT_NEAR(GreatCircleDistanceCourseResult.course, 180.0, 1e-4);
}

TEST(SharedMaths, GreatCircleDistanceAndArc) {
    GreatCircleDistanceCourse(1, 1, 0, 0);
    EXPECT_NEAR(GreatCircleDistanceCourseResult.distance, 84.85, 0.1);
    GreatCircleDistanceCourse(0, -1, 0, 0);
    EXPECT_NEAR(GreatCircleDistanceCourseResult.distance, 60.0, 1e-6);

    // Identical points: no division by zero, no NaN.
    GreatCircleDistanceCourse(47.5, 8.5, 47.5, 8.5);
    EXPECT_EQ(GreatCircleDistanceCourseResult.distance, 0.0);
    EXPECT_FALSE(std::isnan(GreatCircleDistanceCourseResult.course));

    EXPECT_NEAR(GreatCircleArc(0, 0, 0, 90), M_PI / 2, 1e-12);
    EXPECT_EQ(GreatCircleArc(33.3, 44.4, 33.3, 44.4), 0.0);
    EXPECT_FALSE(std::isnan(GreatCircleArc(89.999999, 10, 89.999999, 10)));
}

TEST(SharedMaths, GreatCircleDestination) {
    EXPECT_NEAR(GreatCircleLat(0, 0, 90, 60), 0.0, 1e-9);
    EXPECT_NEAR(GreatCircleLon(0, 0, 90, 60), 1.0, 1e-9);
    EXPECT_NEAR(GreatCircleLon(0, 0, 270, 60), -1.0, 1e-9);
    EXPECT_NEAR(GreatCircleLon(0, 179.5, 90, 60), -179.5, 1e-9);

    // Zero distance returns the start point.
    EXPECT_EQ(GreatCircleLat(12.5, -3.25, 77, 0), 12.5);
    EXPECT_EQ(GreatCircleLon(12.5, -3.25, 77, 0), -3.25);

    // Meridian courses move along the meridian and fold over the pole.
    EXPECT_DOUBLE_EQ(GreatCircleLat(10, 5, 0, 120), 12);
    EXPECT_DOUBLE_EQ(GreatCircleLat(10, 5, 180, 120), 8);
    EXPECT_DOUBLE_EQ(GreatCircleLon(10, 5, 180, 120), 5);
    EXPECT_DOUBLE_EQ(GreatCircleLat(-85, 0, 180, 600), -85);
    EXPECT_DOUBLE_EQ(GreatCircleLat(85, 0, 360, 600), 85);

    // Going out and measuring back agree, whatever the quadrant.
    const double courses[] = {30, 100, 200, 315};
    for (double c : courses) {
        const double lat = GreatCircleLat(-20, 150, c, 250);
        const double lon = GreatCircleLon(-20, 150, c, 250);
        GreatCircleDistanceCourse(lat, lon, -20, 150);
        EXPECT_NEAR(GreatCircleDistanceCourseResult.distance, 250, 0.01) << c;
        EXPECT_NEAR(GreatCircleDistanceCourseResult.course, c, 0.01) << c;
    }
}

// The destination's latitude takes its hemisphere from the point reached,
// not from the start: the analogies' formula folds every point south of the
// equator back north when the start is north of it (and the other way).
TEST(SharedMaths, GreatCircleDestinationMendCrossesTheEquatorNotThePlainAnalogies) {
    // 0.5 N on 170 for 120 nm: 2 degrees of arc, 1.97 of them southward.
    EXPECT_NEAR(GreatCircleLat(0.5, 0, 170, 120), 0.5 - 2 * std::cos(10 * M_PI / 180), 0.01);
    EXPECT_NEAR(GreatCircleLon(0.5, 0, 170, 120), 2 * std::sin(10 * M_PI / 180), 0.01);
    EXPECT_NEAR(GreatCircleLat(1, 0, 170, 300), 1 - 5 * std::cos(10 * M_PI / 180), 0.01);
    EXPECT_LT(GreatCircleLat(1, 0, 170, 300), 0);
    EXPECT_GT(GreatCircleLat(-1, 0, 10, 300), 0);
    EXPECT_NEAR(GreatCircleLat(-1, 0, 10, 300), -1 + 5 * std::cos(10 * M_PI / 180), 0.01);
}

TEST(SharedMaths, ClosestApproach) {
    const double p[3] = {0, 0, 0};
    const double u[3] = {1, 0, 0};
    const double q[3] = {10, 5, 0};
    const double v[3] = {0, 0, 0};
    EXPECT_NEAR(ClosestApproachTime(p, u, q, v), 10, 1e-6);
    EXPECT_NEAR(ClosestApproachDistance(p, u, q, v), 5, 1e-6);
    EXPECT_NEAR(ClosestApproachSeparation[1], -5, 1e-6);

    // Same velocity: time 0, the separation stays as it is.
    EXPECT_EQ(ClosestApproachTime(p, u, q, u), 0.0);
    EXPECT_NEAR(ClosestApproachDistance(p, u, q, u), std::sqrt(125.0), 1e-9);
}

TEST(SharedMaths, ViewCameraAndProjection) {
    const double eye[3] = {0, 0, 0};
    const double target[3] = {0, 10, 0};
    const double up[3] = {0, 0, 1};
    EXPECT_FALSE(SetViewCamera(eye, eye, up, 40, 30, 1, 1, 100));
    const double zero[3] = {0, 0, 0};
    EXPECT_FALSE(SetViewCamera(eye, target, zero, 40, 30, 1, 1, 100));
    EXPECT_FALSE(SetViewCamera(eye, target, target, 40, 30, 1, 1, 100));  // up along view
    EXPECT_FALSE(SetViewCamera(eye, target, up, 40, 30, 1, 100, 100));
    EXPECT_NEAR(ViewCamera.basis[1][1], 1.0, 1e-12);  // stored before the range check
    ASSERT_TRUE(SetViewCamera(eye, target, up, 40, 30, 1, 1, 100));

    int32_t x = -1, y = -1;
    const double ahead[3] = {0, 50, 0};
    ASSERT_TRUE(ProjectPointClipped(ahead, 1, 100, 1, 320, 240, 640, 480, &x, &y));
    EXPECT_EQ(x, 320);
    EXPECT_EQ(y, 240);
    const double at_near[3] = {0, 1, 0};
    const double at_far[3] = {0, 100, 0};
    EXPECT_TRUE(ProjectPointClipped(at_near, 1, 100, 1, 320, 240, 640, 480, &x, &y));
    EXPECT_TRUE(ProjectPointClipped(at_far, 1, 100, 1, 320, 240, 640, 480, &x, &y));
    const double behind[3] = {0, -5, 0};
    EXPECT_FALSE(ProjectPointClipped(behind, 1, 100, 1, 320, 240, 640, 480, &x, &y));
    const double aside[3] = {500, 10, 0};
    EXPECT_FALSE(ProjectPointClipped(aside, 1, 100, 1, 320, 240, 640, 480, &x, &y));
    // A point above the line of sight lands above the centre.
    const double above[3] = {0, 50, 2};
    ASSERT_TRUE(ProjectPointClipped(above, 1, 100, 1, 320, 240, 640, 480, &x, &y));
    EXPECT_LT(y, 240);
}

TEST(SharedMaths, TransformPointsHandlesBlocksAndRemainderInPlace) {
    const double m[4][4] = {{2, 0, 0, 9}, {0, 3, 0, 9}, {0, 0, 4, 9}, {10, 20, 30, 9}};
    double pts[6 * 4];
    for (int i = 0; i < 6; ++i) {
        pts[4 * i] = i;
        pts[4 * i + 1] = 1;
        pts[4 * i + 2] = -1;
        pts[4 * i + 3] = 7;
    }
    TransformPoints(6, pts, m, pts);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(pts[4 * i], 2.0 * i + 10);
        EXPECT_EQ(pts[4 * i + 1], 23.0);
        EXPECT_EQ(pts[4 * i + 2], 26.0);
        EXPECT_EQ(pts[4 * i + 3], 7.0);
    }
}

TEST(SharedMaths, IntegerConversionsRoundOrTruncateAndSaturate) {
    EXPECT_EQ(RoundToInt32(2.5), 3);
    EXPECT_EQ(RoundToInt32(-2.5), -3);
    EXPECT_EQ(RoundToInt32(2.49), 2);
    EXPECT_EQ(TruncToInt32(2.99), 2);
    EXPECT_EQ(TruncToInt32(-2.99), -2);
    EXPECT_EQ(RoundToInt32(std::nan("")), 0);
    EXPECT_EQ(TruncToInt32(std::nan("")), 0);
    EXPECT_EQ(RoundToInt32(INFINITY), 0);  // not a number to the simulator either
    EXPECT_EQ(TruncToInt32(INFINITY), INT32_MAX);
    EXPECT_EQ(TruncToInt32(-INFINITY), INT32_MIN);
    EXPECT_EQ(RoundToInt32(2147483646.6), INT32_MAX);
    EXPECT_EQ(RoundToInt32(-3e9), INT32_MIN);
    EXPECT_EQ(TruncToInt32(2147483647.9), INT32_MAX);
    EXPECT_EQ(TruncToInt32(-2147483648.9), INT32_MIN);
    EXPECT_EQ(TruncToInt32(2147483646.9), 2147483646);
}

TEST(SharedMaths, CountdownTick) {
    int32_t c = 2;
    RedrawRequest = 0;
    EXPECT_TRUE(CountdownTick(&c));
    EXPECT_EQ(c, 1);
    EXPECT_EQ(RedrawRequest, 255);
    EXPECT_TRUE(CountdownTick(&c));
    EXPECT_EQ(c, 0);
    RedrawRequest = 0;
    EXPECT_FALSE(CountdownTick(&c));
    c = -4;
    EXPECT_FALSE(CountdownTick(&c));
    EXPECT_EQ(c, -4);
    EXPECT_EQ(RedrawRequest, 0);
}

}  // namespace
}  // namespace zu
