// Fuzzes the restore of a saved flight: the input is the whole flight file.
//
// The load reads every restored key of section "zodudori" with the INI
// layer's struct functions and hands them to their owners. Whatever the file
// holds, the load must not read or write out of bounds, every restored
// switch must hold one of its positions, and the electrical record must come
// out tidied (its bus-powered bytes 0 or 1 after a tick of the electrical
// step).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/electrical_system.h"
#include "core/flight_persistence.h"
#include "core/fsuipc_data_exchange.h"
#include "core/ice_protection.h"
#include "zu/platform/ini_file.h"

namespace {

// The flight file lives in the INI layer's memory-backed table: nothing is
// written to disk, and the load reads it once per key at memory speed.
constexpr const char* kPath = "C:\\Flights\\Fuzz.FLT";

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "flight_load_fuzz: %s\n", what);
        abort();
    }
}

}  // namespace

// A smaller quarantine keeps freed memory warm (each key re-reads the file)
// and still catches a use after free of any recent block.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=32";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zu;
    static const bool memory = (platform::SetIniMemoryFiles(true), true);
    (void)memory;
    platform::SetIniMemoryFile(kPath, data, size);
    std::snprintf(LoadedFlightPath, sizeof LoadedFlightPath, "%s", kPath);
    std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
    ElectricsDefaultsDone = 0;
    Antiice_sys_pitot1_ice_sw = 0;
    Antiice_sys_pitot2_ice_sw = 255;

    (void)FlightStateLoad();

    Check(IsPitotSwitchValue(Antiice_sys_pitot1_ice_sw), "pitot 1 switch position");
    Check(IsPitotSwitchValue(Antiice_sys_pitot2_ice_sw), "pitot 2 switch position");
    Check(CautionBrightnessShown.get() == -2, "caution brightness re-synchronised");
    ElectricalUpdate();
    for (BusPoweredByte b : kBusPoweredBytes) Check(BusPowered.get(b) <= 1, "bus-powered byte");
    return 0;
}
