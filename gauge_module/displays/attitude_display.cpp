#include "displays/attitude_display.h"

#include <cstdio>

#include "core/ahrs.h"
#include "displays/efis_resources.h"
#include "panels/display_control_panels.h"

namespace zu {

namespace {

constexpr uint32_t kSmoothWhite = EfisBasicPalette[0];
constexpr uint32_t kSmoothBlue = EfisBasicPalette[3];
constexpr uint32_t kSmoothAmber = EfisBasicPalette[5];
constexpr const char* kPitchLabels[8] = {"10", "20", "30", "40", "50", "60", "70", "80"};

const AhrsRecord& Ahrs(int side) {
    return side == 0 ? Ahrs1 : Ahrs2;
}

// The sphere's clip: the attitude area between the speed scale's strip
// (x 29..42) and the right strip (x 130..148); the composite format also
// keeps the heading tape's rows (y 97 on) out.
platform::DrawRect SphereClip(int side) {
    return DisplayFormat[side] == 0 ? platform::DrawRect{43, 11, 130, 118}
                                    : platform::DrawRect{43, 11, 130, 97};
}

void DrawSky(platform::DrawContext* dc, const AhrsRecord& a) {
    SmoothSetAlpha(148);
    const float p = static_cast<float>(a.pitch * 34.0 * 0.1);
    const auto b = static_cast<float>(a.bank);
    zu::SmoothSetTransform(dc, b, 84.0f, 65.0f + p, p);
    zu::SmoothFillRect(dc, 0, -100, 170, 165, kSmoothBlue);
    zu::SmoothFillRect(dc, 0, 65, 170, 185, kSmoothAmber);
    SmoothSetAlpha(255);
    zu::SmoothLine(dc, 0, 65, 250, 65, kSmoothWhite);
}

void DrawPitchLadder(platform::DrawContext* dc) {
    for (int k = 1; k <= 8; ++k) {
        zu::SmoothLine(dc, 70, 65 - 34 * k, 100, 65 - 34 * k, kSmoothWhite);
        zu::SmoothLine(dc, 70, 65 + 34 * k, 100, 65 + 34 * k, kSmoothWhite);
        zu::SmoothLine(dc, 78, 65 - 34 * k + 17, 92, 65 - 34 * k + 17, kSmoothWhite);
        zu::SmoothLine(dc, 78, 65 + 34 * k - 17, 92, 65 + 34 * k - 17, kSmoothWhite);
    }
    for (int k = 1; k <= 8; ++k) {
        const int32_t above = 29 - 34 * (k - 1);
        const int32_t below = 97 + 34 * (k - 1);
        DrawStrokeDigits(dc, 101, above, kPitchLabels[k - 1], 2, kSmoothWhite);
        DrawStrokeDigits(dc, 59, above, kPitchLabels[k - 1], 2, kSmoothWhite);
        DrawStrokeDigits(dc, 101, below, kPitchLabels[k - 1], 2, kSmoothWhite);
        DrawStrokeDigits(dc, 59, below, kPitchLabels[k - 1], 2, kSmoothWhite);
    }
}

void DrawRollPointer(platform::DrawContext* dc, const AhrsRecord& a) {
    const auto b = static_cast<float>(a.bank);
    SetRotation(84, 65, b, 0);
    zu::SmoothSetTransform(dc, b, 84, 65, 0);
    zu::SmoothLine(dc, 85, 11, 83, 16, kSmoothWhite);
    zu::SmoothLine(dc, 83, 16, 87, 16, kSmoothWhite);
    zu::SmoothLine(dc, 87, 16, 85, 11, kSmoothWhite);
}

void DrawAttFail(platform::DrawContext* dc) {
    platform::DrawSelectObject(dc, EfisPens[kEfisBlue]);
    platform::DrawSelectObject(dc, EfisBrushes[kEfisBlue]);
    const platform::DrawPoint sky[4] = {{0, -100}, {170, -100}, {170, 300}, {0, 300}};
    platform::DrawPolygon(dc, sky, 4);
    platform::DrawSelectObject(dc, EfisPens[kEfisMagenta]);
    platform::DrawFillRectBrush(dc, {70, 30, 98, 45}, EfisBrushes[kEfisVariable]);
    platform::DrawMoveTo(dc, 70, 30);
    platform::DrawLineTo(dc, 98, 30);
    platform::DrawLineTo(dc, 98, 46);
    platform::DrawLineTo(dc, 70, 46);
    platform::DrawLineTo(dc, 70, 30);
    platform::DrawSetTextColour(dc, DimColour(EfisPalette[kEfisMagenta]));
    platform::DrawTextOut(dc, 84, 31, "ATT", 3);
    platform::DrawTextOut(dc, 84, 37, "FAIL", 4);
}

void SmoothPath(platform::DrawContext* dc, const float (*points)[2], int count) {
    SmoothMoveTo(points[0][0], points[0][1]);
    for (int i = 1; i < count; ++i) SmoothLineTo(dc, points[i][0], points[i][1], kSmoothWhite);
}

void DrawRollScale(platform::DrawContext* dc) {
    zu::SmoothSetTransform(dc, 0, 0, 0, 0);
    SmoothResetClip(dc);
    platform::DrawSelectObject(dc, EfisPens[kEfisYellow]);
    static constexpr float kLeftBar[5][2] = {{42, 64}, {47, 64}, {47, 66}, {42, 66}, {42, 64}};
    static constexpr float kRightBar[5][2] = {
        {123, 64}, {128, 64}, {128, 66}, {123, 66}, {123, 64}};
    static constexpr float kZero[4][2] = {{85, 11}, {83, 6}, {87, 6}, {85, 11}};
    static constexpr float kLeft45[4][2] = {{45, 26}, {42, 26}, {45, 23}, {45, 26}};
    static constexpr float kRight45[4][2] = {{124, 26}, {127, 26}, {124, 23}, {124, 26}};
    SmoothPath(dc, kLeftBar, 5);
    SmoothPath(dc, kRightBar, 5);
    SmoothPath(dc, kZero, 4);
    static constexpr float kMarks[8][4] = {
        {75, 11, 74.5f, 8}, {94, 11, 94.5f, 8},    {66, 13, 65, 10}, {103, 12.7f, 104, 10},
        {57, 17, 54, 12},   {112, 16.7f, 115, 12}, {41, 41, 38, 39}, {128, 41, 131, 39}};
    for (const auto& m : kMarks) SmoothLineF(dc, kSmoothWhite, m[0], m[1], m[2], m[3]);
    SmoothPath(dc, kLeft45, 4);
    SmoothPath(dc, kRight45, 4);
}

}  // namespace

bool EadiAttitudeAvailable(int side) {
    const AhrsRecord& a = Ahrs(side);
    return a.valid[0] == 0 && a.valid[2] == 0;
}

void EadiSphereDraw(platform::DrawContext* dc, int side) {
    if (dc == nullptr || !EfisResourcesReady()) return;
    // 1. Clip and copy-pen.
    const platform::DrawRect clip = SphereClip(side);
    SmoothSetClip(dc, clip);
    platform::DrawSetRop2(dc, platform::DrawRop2::CopyPen);
    // 2./3. The sphere, or ATT FAIL.
    if (EadiAttitudeAvailable(side)) {
        const AhrsRecord& a = Ahrs(side);
        DrawSky(dc, a);
        DrawPitchLadder(dc);
        DrawRollPointer(dc, a);
    } else {
        DrawAttFail(dc);
    }
    // 4. The fixed roll scale, unclipped and unturned.
    DrawRollScale(dc);
}

}  // namespace zu
