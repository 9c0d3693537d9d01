// Fuzzes the magnetic model's coefficient reader: any text as a
// coefficient file, then evaluations at a few points and years. Lines of
// any length, numbers out of range and a missing end line must neither
// read nor write outside the model's tables.
#include <cstdint>
#include <string_view>

#include "fms/magnetic_variation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zu;
    MagVarLoadFromText(std::string_view(reinterpret_cast<const char*>(data), size));
    int maxdeg = kMagModelMaxDegree;
    float dec = 0, dip = 0, ti = 0, gv = 0;
    static constexpr float kPoints[][3] = {{45.0f, 10.0f, 2025.0f},
                                           {90.0f, 0.0f, 1993.0f},
                                           {-89.0f, -179.0f, 2000.0f},
                                           {60.0f, 200.0f, 2030.5f}};
    for (const auto& p : kPoints)
        MagneticVariation(1, &maxdeg, 0.0f, p[0], p[1], p[2], &dec, &dip, &ti, &gv);
    return 0;
}
