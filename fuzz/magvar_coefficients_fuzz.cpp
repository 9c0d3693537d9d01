// Fuzzes the magnetic model's coefficient reader: any text as a
// coefficient file, then evaluations at a few points and years. Lines of
// any length, numbers out of range and a missing end line must neither
// read nor write outside the model's tables. The text is cut to 2 KiB
// (about 25 coefficient lines), enough to reach every reading path.
#include <cstdint>
#include <string_view>

#include "fms/magnetic_variation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zu;
    if (size > 2048) size = 2048;
    MagVarLoadFromText(std::string_view(reinterpret_cast<const char*>(data), size));
    int maxdeg = kMagModelMaxDegree;
    float dec = 0, dip = 0, ti = 0, gv = 0;
    // A polar point (the pole recursion) and a grid-variation point.
    static constexpr float kPoints[][3] = {{90.0f, 0.0f, 1993.0f}, {60.0f, 200.0f, 2030.5f}};
    for (const auto& p : kPoints)
        MagneticVariation(1, &maxdeg, 0.0f, p[0], p[1], p[2], &dec, &dip, &ti, &gv);
    return 0;
}
