// Fuzzes the restore of a saved electrical record and the ticks after it.
//
// The first 775 bytes of the input are a saved record; the bytes after it
// drive the tick inputs (engine speeds, ground speed, start selector and the
// instructor's failure table) for a few ticks. A restore of any other size
// must be refused and leave the record untouched; a restored record must
// then run through the electrical step, the caution logic and the door ramp
// without reading or writing out of bounds and with every bus-powered byte
// 0 or 1.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cabin_link/instructor_state_exchange.h"
#include "core/cabin_doors.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "panels/engine_start_panels.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "electrics_restore_fuzz: %s\n", what);
        std::abort();
    }
}

// Reads the input after the record as a stream of tick inputs.
struct Cursor {
    const uint8_t* p;
    size_t left;
    template <typename T>
    T Take() {
        T v{};
        if (left >= sizeof(T)) {
            std::memcpy(&v, p, sizeof(T));
            p += sizeof(T);
            left -= sizeof(T);
        } else {
            left = 0;
        }
        return v;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zu;

    std::memset(Electrics_sys.bytes, 0x5A, kElectricsRecordSize);
    const ElectricsRecord before = Electrics_sys;
    if (size != kElectricsRecordSize) {
        Check(!ElectricsRestore(data, size), "restore of a wrong size was accepted");
        Check(std::memcmp(before.bytes, Electrics_sys.bytes, kElectricsRecordSize) == 0,
              "a refused restore changed the record");
    }
    if (size < kElectricsRecordSize) return 0;
    Check(ElectricsRestore(data, kElectricsRecordSize), "restore of a whole record was refused");

    uint8_t saved[kElectricsRecordSize];
    Check(ElectricsSave(saved, sizeof saved), "save refused");

    Cursor in{data + kElectricsRecordSize, size - kElectricsRecordSize};
    for (int tick = 0; tick < 8; ++tick) {
        PropRpm[0] = in.Take<double>();
        PropRpm[1] = in.Take<double>();
        Nh1State.nh = in.Take<float>();
        Nh2State.nh = in.Take<float>();
        GroundSpeed = in.Take<int32_t>();
        OnGround = in.Take<uint8_t>();
        EngineStartSelector = in.Take<int8_t>();
        const uint8_t entry = in.Take<uint8_t>();
        ElectricsInstructorStates[entry % 26] = in.Take<int32_t>();
        ElectricalUpdate();
        if (tick % 2 == 1) DoorRampUpdate();

        for (const BusPoweredByte b : kBusPoweredBytes) {
            Check(BusPowered.get(b) <= 1, "bus-powered byte out of range");
        }
        const float charge = MainBatteryCharge.get();
        Check(std::isfinite(charge) && charge >= 0.0f && charge <= 100.0f,
              "main battery charge out of range");
        Check(DoorOpenLevel >= 0 && DoorOpenLevel <= 100, "door level out of range");
    }
    return 0;
}
