// Helpers shared by the end-to-end tests: temporary folders, a fresh copy of
// the sample aircraft, running the simhost program, reading its outputs.
#pragma once

#include <cairo.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace zu::simhost {
class Simulator;
}

namespace zu::e2e {

// Whether this build runs under the address sanitizer (slower, and its own
// memory use grows with the work done).
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Paths of the built artefacts (compile definitions of the test target).
std::filesystem::path SimhostExe();
std::filesystem::path ModuleFile();
std::filesystem::path SampleAircraft();

// A folder below the system's temporary folder, removed with its contents.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Copies the sample aircraft to `parent`/Zuvav with an empty ini folder (no
// settings file left over from an earlier run) and returns the copy's path.
std::filesystem::path CopySampleAircraft(const std::filesystem::path& parent);

struct ProcessResult {
    int exit_code = -1;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
    bool timed_out = false;             // killed at the run's bound (RunLimits)
    std::chrono::milliseconds took{0};  // wall time from start to end
};
// Runs the program with the arguments and waits for it.
ProcessResult RunProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& args);
ProcessResult RunSimhost(const std::vector<std::string>& args);

// How a run is bounded: a program still running after `bound` (when not 0)
// is killed, and the result says so; `unprivileged` runs it, when the tests
// run as root, as the unprivileged user 65534, so that file modes bind (give
// it its files with GiveToUnprivileged).
struct RunLimits {
    std::chrono::milliseconds bound{0};
    bool unprivileged = false;
};
ProcessResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const RunLimits& limits);
ProcessResult RunSimhost(const std::vector<std::string>& args, const RunLimits& limits);
// When the tests run as root: `dir` and everything below it become the
// unprivileged user's.
void GiveToUnprivileged(const std::filesystem::path& dir);

std::string ReadFile(const std::filesystem::path& file);
void WriteFile(const std::filesystem::path& file, const std::string& text);
nlohmann::json ReadJson(const std::filesystem::path& file);

struct IniEntry {
    std::string section;
    std::string key;
    std::string value;
    bool operator==(const IniEntry&) const = default;
};
// The keys of an INI file in file order.
std::vector<IniEntry> ReadIniEntries(const std::filesystem::path& file);

// Attaches the module linked into this process to `sim`, loads the aircraft
// and starts the flight; a step that fails is a fatal test failure (call it
// through ASSERT_NO_FATAL_FAILURE to stop there).
void StartLinkedModule(simhost::Simulator& sim);

// Starts an engine (0 or 1) of the module linked into this process as the
// pilot does on the engine start panel: the selector on its engine, START
// pressed, then the selector back to off once the start has ended. Returns
// the frames the start took, or -1 when it did not end within `max_frames`.
int StartEngineFromPanel(simhost::Simulator& sim, int engine, int max_frames = 30 * 60);

// Pins the simulator's engine records of both engines as a running engine
// reports them (high-pressure spool 75 %, propeller 1000 rpm, combustion,
// condition levers forward); the module's engine model follows them.
void PinRunningEngines(simhost::Simulator& sim);

// Mean brightness (0..255) along a radius of a gauge drawn at its design
// size, from r0 to r1 design pixels out of (cx, cy) in the direction `angle`
// (degrees clockwise from up).
double RadialBrightness(cairo_surface_t* s, double cx, double cy, double angle, int r0, int r1);

}  // namespace zu::e2e
