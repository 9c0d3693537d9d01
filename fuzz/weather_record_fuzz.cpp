// Feeds arbitrary weather records to the radar's cloud intensity: the
// first 1024 bytes are the record (zero-padded when shorter), the next 24
// the beam's distance, the aircraft's altitude and the antenna tilt. The
// intensity must stay within 0..255 and the layer walk inside the record.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/host_panel_services.h"
#include "displays/weather_radar.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly one record (a global: the sanitizer guards its
    // ends), so a read past it is caught.
    static uint8_t record[zu::kWxRecordSize];
    const size_t n = size < zu::kWxRecordSize ? size : zu::kWxRecordSize;
    std::memset(record, 0, zu::kWxRecordSize);
    std::memcpy(record, data, n);
    double values[3] = {12.5, 10000.0, 0.0};
    if (size > zu::kWxRecordSize) {
        const size_t extra = size - zu::kWxRecordSize;
        std::memcpy(values, data + zu::kWxRecordSize,
                    extra < sizeof values ? extra : sizeof values);
    }
    zu::Altitude = static_cast<float>(values[1]);
    zu::WxTilt = values[2];
    for (double distance : {values[0], 0.001, 5.001, 95.001}) {
        const int32_t v = zu::WxCloudIntensity(record, distance);
        if (v < 0 || v > 255) __builtin_trap();
        (void)zu::WxColour(v);
    }
    return 0;
}
