// Fuzzes the restore of a saved flight: the input is the whole flight file.
//
// The load reads every restored key of section "zodudori" with the INI
// layer's struct functions and hands them to their owners. Whatever the file
// holds, the load must not read or write out of bounds, every restored
// switch must hold one of its positions, and the electrical record must come
// out tidied (its bus-powered bytes 0 or 1 after a tick of the electrical
// step).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/electrical_system.h"
#include "core/flight_persistence.h"
#include "core/fsuipc_data_exchange.h"
#include "core/ice_protection.h"
#include "zu/platform/paths.h"

namespace {

const std::string& FilePath() {
    static const std::string path = [] {
        // In memory where the system has it: the load reads the file once per key.
        char shm[] = "/dev/shm/zu_flight_fuzz_XXXXXX";
        char tmp[] = "/tmp/zu_flight_fuzz_XXXXXX";
        char* templ = ::mkdtemp(shm);
        if (templ == nullptr) templ = ::mkdtemp(tmp);
        if (templ == nullptr) abort();
        return zu::platform::FromHostPath(std::string(templ) + "/Fuzz.FLT");
    }();
    return path;
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "flight_load_fuzz: %s\n", what);
        abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zu;
    const std::string& path = FilePath();
    {
        FILE* file = std::fopen(platform::ToHostPath(path).c_str(), "wb");
        if (file == nullptr) return 0;
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    std::snprintf(LoadedFlightPath, sizeof LoadedFlightPath, "%s", path.c_str());
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
