// Saved-flight persistence: the panel and system state stored in section
// "zodudori" of the simulator's saved-flight file.
//
// The simulator tells the module about its saved flights only through
// FSUIPC: a save counter that changes on every save (0x3BD2), the current
// flight's name (0x0400) and the path of the last loaded flight (0x3F04).
// After a save the module writes one group of keys per systems tick into
// the file the simulator has just written; after start-up it reads the
// loaded flight's keys four times during a load sequence of 240 ticks.
//
// Every key is written with the INI layer's struct functions (hexadecimal
// bytes plus a checksum byte), so a key is restored only when it exists and
// its size and checksum match. Each owner also refuses a restored value
// outside its variable's range, leaving the variable as it was.
//
// Groups (number = save countdown at which they are written): 9 the whole
// electrical record, 8 the powerplant keys, 7 the flight controls, 6 the
// flight guidance (with the radio heads' modes and frequencies), 5 the air
// data, 4 the head-up guidance, 2 the pitot heat switches. The groups of
// systems that are not part of this build write and read nothing yet.
#pragma once

#include <atomic>
#include <cstdint>

#include "zu/platform/ini_file.h"

namespace zu {

inline constexpr char kFlightSection[] = "zodudori";

// Load sequence: 0 none, 1 waiting for the loaded flight's path, then one
// step per tick up to kFlightLoadDone; kFlightLoadFailed when the flight
// held no saved state. The flight guidance runs only above kFlightLoadTicks.
inline constexpr uint8_t kFlightLoadTicks = 240;
inline constexpr uint8_t kFlightLoadDone = 241;
inline constexpr uint8_t kFlightLoadFailed = 250;
// Ticks of the save countdown: one group per tick.
inline constexpr int32_t kFlightSaveTicks = 10;

extern uint8_t FlightLoadCounter;
// Set (release) by FlightPathRequest on the gauge thread once the answer
// to its read of 0x3F04 is in LoadedFlightPath; the load sequence waits at 1
// until then.
extern std::atomic<uint8_t> LoadedFlightPathArrived;
// The save counter last seen and the countdown of the groups still to write.
extern uint16_t FlightSaveCounterSeen;
extern int32_t FlightSaveCountdown;

// Once per systems tick, after the pause watch: saving and loading.
void FlightPersistenceStep();
// Writes the group selected by FlightSaveCountdown into the current
// flight's file below the documents folder.
void FlightStateSave();
// Reads every restored key from the last loaded flight's file; true when
// the file holds the probe key "Powerplants_engine_ign1".
bool FlightStateLoad();

// Builds the current flight's file path ("<documents>\Flight Simulator X
// Files\<name>.FLT") into `out`. False (out empty) when the documents folder
// is not known, the name is empty or holds a path separator, or the path
// does not fit.
bool FlightSavePath(char* out, uint32_t out_size);

// For the owners' save and load routines: one key of the section.
inline void FlightKeySave(const char* path, const char* key, const void* data, uint32_t size) {
    platform::WritePrivateProfileStruct(kFlightSection, key, data, size, path);
}
// Restores `var` from its key when the key is intact and `valid(value)`
// holds; otherwise `var` keeps its value. True when it was restored.
template <typename T, typename Valid>
bool FlightKeyRestore(const char* path, const char* key, T& var, Valid valid) {
    T value{};
    if (!platform::GetPrivateProfileStruct(kFlightSection, key, &value, sizeof value, path)) {
        return false;
    }
    if (!valid(value)) return false;
    var = value;
    return true;
}

}  // namespace zu
