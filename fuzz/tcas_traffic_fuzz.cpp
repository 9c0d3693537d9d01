// Fuzzes the traffic computation with whatever the simulator's traffic
// table may hold: the input fills the slots (any identifier, position,
// altitude, heading and speeds, not-a-number and infinities included) and
// the own aircraft's state, then runs a full traffic pass. Every intruder
// taken must have finite values and a bounded altitude text.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/radio_altitude_alerting.h"
#include "core/systems_tick.h"
#include "displays/efis_resources.h"
#include "displays/tcas.h"
#include "instruments/atc_control_head.h"

namespace {

template <typename T>
T Take(const uint8_t*& p, size_t& left) {
    T v{};
    if (left >= sizeof v) {
        std::memcpy(&v, p, sizeof v);
        p += sizeof v;
        left -= sizeof v;
    }
    return v;
}

bool Finite(const zu::TcasIntruder& t) {
    return std::isfinite(t.east) && std::isfinite(t.north) && std::isfinite(t.distance) &&
           std::isfinite(t.bearing) && std::isfinite(t.east_rate) &&
           std::isfinite(t.north_rate) && std::isfinite(t.vertical_rate);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zu;
    static const bool tables = (BuildTrigTables(), true);
    (void)tables;
    const uint8_t* p = data;
    size_t left = size;
    TransponderState.mode = TransponderState.mode_seen = 6;
    TransponderState.tcas_mode = 3 + (Take<uint8_t>(p, left) & 1);
    AircraftPosition.latitude = Take<float>(p, left);
    AircraftPosition.longitude = Take<float>(p, left);
    Altitude = Take<float>(p, left);
    Heading = Take<float>(p, left);
    GroundSpeed = Take<int32_t>(p, left);
    VerticalSpeedRaw = Take<int32_t>(p, left);
    RadioAltitudeReadoutValue = 1000;
    TcasState.range_index = Take<int8_t>(p, left);
    TcasSlotCount = Take<uint16_t>(p, left);
    std::memset(TcasTrafficSlots, 0, sizeof TcasTrafficSlots);
    const size_t slots = left / sizeof(TcasTrafficSlot);
    for (size_t i = 0; i < slots && i < static_cast<size_t>(kTcasTrafficSlotCapacity); ++i) {
        std::memcpy(&TcasTrafficSlots[i], p + i * sizeof(TcasTrafficSlot), sizeof(TcasTrafficSlot));
    }
    FrameChangeBits.store(0x07);
    TcasCompute();
    const TcasIntruderTable& table = TcasShownIntruders();
    if (table.count < 0 || table.count > kTcasIntruderCapacity) std::abort();
    for (int i = 0; i < table.count; ++i) {
        const TcasIntruder& t = table.intruders[i];
        if (!Finite(t) && std::isfinite(AircraftPosition.latitude)) std::abort();
        if (std::memchr(t.relative_altitude_text, '\0', sizeof t.relative_altitude_text) ==
            nullptr)
            std::abort();
    }
    if (TcasRangeNm != 5 && TcasRangeNm != 10 && TcasRangeNm != 20 && TcasRangeNm != 40)
        std::abort();
    return 0;
}
