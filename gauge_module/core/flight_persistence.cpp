#include "core/flight_persistence.h"

#include <cstdio>
#include <cstring>

#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/fsuipc_data_exchange.h"
#include "core/ice_protection.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "displays/hgs_panels.h"
#include "panels/al801_panel.h"
#include "zu/platform/paths.h"

namespace zu {

uint8_t FlightLoadCounter = 0;
std::atomic<uint8_t> LoadedFlightPathArrived{0};
uint16_t FlightSaveCounterSeen = 0;
int32_t FlightSaveCountdown = 0;

namespace {

constexpr uint32_t kPathSize = 512;
constexpr char kFlightsFolder[] = "\\Flight Simulator X Files\\";

// Scratch space of the tick thread: the file paths and the electrical
// record read back, so that a save or a load allocates nothing of its own.
char SavePath[kPathSize];
char LoadPath[sizeof LoadedFlightPath];
uint8_t ElectricsScratch[kElectricsRecordSize];

// Copies a 128-character FSUIPC string, always terminated.
template <std::size_t N>
void CopyBounded(char (&to)[N], const char (&from)[N]) {
    std::memcpy(to, from, N - 1);
    to[N - 1] = 0;
}

bool IsPathSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}

// --- groups written directly -------------------------------------------

void SaveElectrics(const char* path) {
    if (ElectricsSave(ElectricsScratch, sizeof ElectricsScratch)) {
        FlightKeySave(path, "Electrics_sys", ElectricsScratch, sizeof ElectricsScratch);
    }
}

void SavePitotSwitches(const char* path) {
    FlightKeySave(path, "Antiice_sys_pitot1_ice_sw", &Antiice_sys_pitot1_ice_sw, 4);
    FlightKeySave(path, "Antiice_sys_pitot2_ice_sw", &Antiice_sys_pitot2_ice_sw, 4);
}

void LoadElectrics(const char* path) {
    if (platform::GetPrivateProfileStruct(kFlightSection, "Electrics_sys", ElectricsScratch,
                                          sizeof ElectricsScratch, path)) {
        // Tidies what it restores (positions, countdowns, non-finite values).
        ElectricsRestore(ElectricsScratch, sizeof ElectricsScratch);
    }
    // The caution panels re-apply their brightness on their next pass.
    CautionBrightnessShown.set(-2);
}

bool IsSelectedAltitude(int32_t feet) {
    return feet >= 0 && feet <= kSelectedAltitudeMax;
}

void LoadPitotSwitches(const char* path) {
    FlightKeyRestore(path, "Antiice_sys_pitot1_ice_sw", Antiice_sys_pitot1_ice_sw,
                     IsPitotSwitchValue);
    FlightKeyRestore(path, "Antiice_sys_pitot2_ice_sw", Antiice_sys_pitot2_ice_sw,
                     IsPitotSwitchValue);
}

// The probe: present only in a file that holds the module's saved state.
bool ProbeSavedState(const char* path) {
    int32_t scratch = 0;
    return platform::GetPrivateProfileStruct(kFlightSection, "Powerplants_engine_ign1", &scratch,
                                             sizeof scratch, path);
}

// --- the step's parts ------------------------------------------------------

// 1. A changed save counter after the load starts the save countdown; during
//    a load the seen counter only follows it, so the save is never made.
bool SaveTrigger(uint8_t c) {
    if (c >= kFlightLoadDone) {
        if (FlightSaveCounter != FlightSaveCounterSeen) {
            FlightSaveCountdown = kFlightSaveTicks;
            return true;
        }
        return false;
    }
    FlightSaveCounterSeen = FlightSaveCounter;
    return false;
}

// 2. One group per tick while the countdown runs.
void SaveStep(bool triggered) {
    if (!triggered && FlightSaveCountdown == 0) return;
    FlightStateSave();
    if (FlightSaveCountdown > 0) --FlightSaveCountdown;
    FlightSaveCounterSeen = FlightSaveCounter;
}

// 3. The loaded flight is read at c = 2, 66, 130 and 194. False when it
//    held no saved state (the sequence has ended at kFlightLoadFailed).
bool LoadStep(uint8_t c) {
    if (c < 2 || c >= kFlightLoadTicks || c % 64 != 2) return true;
    if (FlightStateLoad()) return true;
    FlightLoadCounter = kFlightLoadFailed;
    return false;
}

// 4. The sequence advances once the loaded flight's path has arrived.
void LoadAdvance(uint8_t c) {
    if (c == 0 || c >= kFlightLoadDone) return;
    if (c == 1 && LoadedFlightPathArrived.load(std::memory_order_acquire) == 0) return;
    FlightLoadCounter = static_cast<uint8_t>(c + 1);
}

// 5. The first ticks of a load hold the flight guidance.
void LoadFreeze() {
    if (FlightLoadCounter >= 2 && FlightLoadCounter <= 11) {
        SimFrozen.store(1, std::memory_order_release);
    }
}

}  // namespace

bool FlightSavePath(char* out, uint32_t out_size) {
    if (out == nullptr || out_size == 0) return false;
    out[0] = 0;
    char name[sizeof FlightName];
    CopyBounded(name, FlightName);
    if (name[0] == 0) return false;
    for (const char* p = name; *p != 0; ++p) {
        if (IsPathSeparator(*p)) return false;
    }
    char documents[kPathSize];
    if (platform::GetDocumentsFolder(documents, sizeof documents) == 0) return false;
    const int n = std::snprintf(out, out_size, "%s%s%s.FLT", documents, kFlightsFolder, name);
    if (n < 0 || static_cast<uint32_t>(n) >= out_size) {
        out[0] = 0;
        return false;
    }
    return true;
}

void FlightStateSave() {
    if (!FlightSavePath(SavePath, sizeof SavePath)) return;
    switch (FlightSaveCountdown) {
        case 9:
            SaveElectrics(SavePath);
            break;
        case 8:
            PowerplantStateSave(SavePath);
            break;
        case 7:
            FlightControlsStateSave(SavePath);
            break;
        case 6:
            FgcStateSave(SavePath);
            break;
        case 5:
            AirDataStateSave(SavePath);
            break;
        case 4:
            HgsStateSave(SavePath);
            break;
        case 2:
            SavePitotSwitches(SavePath);
            break;
        default:  // 10, 3 and 1 write nothing
            break;
    }
}

bool FlightStateLoad() {
    CopyBounded(LoadPath, LoadedFlightPath);
    LoadElectrics(LoadPath);
    PowerplantStateLoad(LoadPath);
    FlightControlsStateLoad(LoadPath);
    FgcStateLoad(LoadPath);
    FlightKeyRestore(LoadPath, "AIRDATA_comp_selected_alt", AIRDATA_comp_selected_alt,
                     IsSelectedAltitude);
    HgsStateLoad(LoadPath);
    LoadPitotSwitches(LoadPath);
    return ProbeSavedState(LoadPath);
}

void FlightPersistenceStep() {
    const uint8_t c = FlightLoadCounter;
    const bool triggered = SaveTrigger(c);
    SaveStep(triggered);
    if (!LoadStep(c)) return;
    LoadAdvance(c);
    LoadFreeze();
}

}  // namespace zu
