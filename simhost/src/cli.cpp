// The simhost program (see cli.h and docs/simhost.md).
#include "zu/simhost/cli.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "text_util.h"
#include "zu/platform/joystick.h"
#include "zu/platform/net_session.h"
#include "zu/platform/sound_device.h"
#include "zu/simhost/instructor_failures.h"
#include "zu/simhost/progress.h"
#include "zu/simhost/scenario.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/snapshot_index.h"
#include "zu/simhost/state_json.h"

namespace zu::simhost {
namespace {

namespace fs = std::filesystem;

constexpr double kDefaultSeconds = 20.0;
constexpr int kDefaultFps = 30;
constexpr double kDemonstrationScale = 2.0;

const char kHelp[] =
    "simhost - a stand-in for the flight simulator, for developing and testing the gauge\n"
    "module ZeveridUvo. It loads the module, creates the gauges of an aircraft's panel\n"
    "configuration, calls them frame by frame, serves FSUIPC and records what the module\n"
    "does. It is a development tool, not part of the module.\n"
    "\n"
    "Usage: simhost [options]\n"
    "With no options, or only --out, --state-json, --snapshot-dir, --scale, --ambient\n"
    "and --quiet, simhost flies the sample aircraft's demonstration and takes its\n"
    "pictures; any other option makes a plain flight.\n"
    "\n"
    "  --module PATH       gauge module to load (default: ZeveridUvo.so beside simhost)\n"
    "  --aircraft DIR      aircraft folder; FSUIPC offset 0x3C00 holds the path of its\n"
    "                      .air file (default: the bundled sample aircraft)\n"
    "  --panel FILE        panel configuration (default: DIR/panel/panel.cfg)\n"
    "  --lockstep          simulated clock (the default): each frame advances it by\n"
    "                      1000/fps ms and runs the timer callbacks due; deterministic,\n"
    "                      as fast as the machine allows\n"
    "  --realtime          real clock; frames paced by sleeping\n"
    "  --fps N             frames per second (default 30)\n"
    "  --seconds S         length of the flight in seconds (default 20, longer when the\n"
    "                      scenario's last command comes later)\n"
    "  --scenario FILE     timed commands to run during the flight\n"
    "  --out DIR           output folder for the state file, the event log and snapshots\n"
    "                      (default ./simhost-out when no output option is given)\n"
    "  --state-json FILE   write the state file here\n"
    "  --snapshot-dir DIR  folder for the scenario's snapshots (state file, one PNG\n"
    "                      picture per panel window named by its title, and\n"
    "                      index.html showing every snapshot's windows)\n"
    "  --scale F           pixels per panel unit in pictures and windows (default 1;\n"
    "                      the demonstration's pictures 2)\n"
    "  --ambient L         ambient light 0 (dark) to 1 (daylight, the default): unlit\n"
    "                      artwork is darkened, lit artwork keeps its brightness\n"
    "  --window            show the panel windows live in desktop windows and forward\n"
    "                      the pointer to the gauges (runs until closed, or --seconds);\n"
    "                      needs a display (DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM)\n"
    "  --documents DIR     documents folder the module saves flights into (default:\n"
    "                      Documents in the output folder, never the user's own)\n"
    "  --flight FILE       saved flight loaded at start-up: the aircraft is placed from\n"
    "                      it and FSUIPC offset 0x3F04 holds its path\n"
    "  --joystick KIND     the joystick the module finds: scripted (the default, one\n"
    "                      centred stick moved by the scenario verb joystick), none,\n"
    "                      or evdev[:PATH] (the first listed joystick, or that device)\n"
    "  --no-fsuipc         create no FSUIPC window (the module's link never comes up)\n"
    "  --no-model          no aircraft model: variables and offsets hold only what is set\n"
    "  --uipcmain          also create an FSUIPC window of class \"UIPCMAIN\"\n"
    "  --sim-number N      simulator number in FSUIPC offset 0x3308 (default 7)\n"
    "  --link-port N       the module's instructor link listens on port N instead of\n"
    "                      its own (0: a free port; the verb instructor finds it)\n"
    "  --audio-out FILE    write everything the module played, mixed, as a WAV file\n"
    "                      (44.1 kHz stereo 16-bit; lockstep clock only)\n"
    "  --no-audio          mix no sound at all (sounds still start and end in time)\n"
    "  --quiet             no progress line (printed on stderr once a run takes more\n"
    "                      than 5 s: simulated time, speed, estimated end)\n"
    "  --list-gauges       print the module's gauges (index, name, default width in mm,\n"
    "                      tab-separated) and exit\n"
    "  --help              show this text\n"
    "\n"
    "Exit codes: 0 success; 1 a scenario check or command failed; 2 bad command line or\n"
    "scenario; 3 the module cannot be loaded; 4 aircraft, panel or start-up problem;\n"
    "5 outputs cannot be written; 6 --window with no display; 130, 143 stopped by\n"
    "SIGINT or SIGTERM (the flight ends cleanly; a second signal ends simhost at once).\n";

struct Options {
    fs::path module;
    fs::path aircraft;
    fs::path panel;
    bool lockstep = true;
    int fps = kDefaultFps;
    std::optional<double> seconds;
    fs::path scenario;
    fs::path out_dir;
    fs::path state_json;
    fs::path snapshot_dir;
    bool fsuipc = true;
    bool aircraft_model = true;
    bool uipcmain = false;
    uint16_t sim_number = 7;
    int32_t link_port = -1;  // -1: the module's own port
    fs::path audio_out;
    fs::path documents;
    fs::path flight;
    platform::JoystickKind joystick = platform::JoystickKind::kScripted;
    std::string joystick_path;
    bool no_audio = false;
    bool list_gauges = false;
    bool help = false;
    bool window = false;
    bool quiet = false;  // no progress line
    // An option that changes what is flown was given (anything but the
    // output options): no demonstration then.
    bool flight_options = false;
    RenderOptions render;
    bool scale_given = false;
};

// The command line, one argument at a time: the option's name and its value
// (the next argument, or after '=').
class ArgReader {
  public:
    ArgReader(int argc, const char* const* argv, std::string* error)
        : argc_(argc), argv_(argv), error_(error) {}

    // Moves to the next argument; false after the last.
    bool Next() {
        if (++i_ >= argc_) return false;
        name_ = argv_[i_];
        inline_value_.reset();
        if (name_.rfind("--", 0) == 0) {
            const size_t eq = name_.find('=');
            if (eq != std::string::npos) {
                inline_value_ = name_.substr(eq + 1);
                name_.resize(eq);
            }
        }
        return true;
    }
    const std::string& name() const { return name_; }
    const char* raw() const { return argv_[i_]; }
    bool Is(const char* option) const { return name_ == option; }

    bool Value(std::string* v) {
        if (inline_value_) {
            *v = *inline_value_;
            return true;
        }
        if (i_ + 1 >= argc_) return Fail(name_ + " needs a value");
        *v = argv_[++i_];
        return true;
    }
    bool Flag() { return inline_value_ ? Fail(name_ + " takes no value") : true; }
    bool Number(double low, double high, double* out, const char* what) {
        std::string v;
        if (!Value(&v)) return false;
        const auto f = text::ParseDouble(v);
        if (!f || !(*f >= low) || *f > high)
            return Fail(name_ + " needs " + what + ", not '" + v + "'");
        *out = *f;
        return true;
    }
    bool Fail(const std::string& message) {
        *error_ = message;
        return false;
    }

  private:
    int argc_;
    const char* const* argv_;
    std::string* error_;
    int i_ = 0;
    std::string name_;
    std::optional<std::string> inline_value_;
};

// Each option group: kNotMine when the argument is none of its options,
// else whether it was read.
enum class Read { kNotMine, kOk, kBad };
Read Result(bool ok) {
    return ok ? Read::kOk : Read::kBad;
}

// What is flown: the module, the aircraft and its panel, the start-up
// flight, the documents folder, the scenario.
Read ReadFlightOption(ArgReader& a, Options* o) {
    std::string v;
    fs::path* path = a.Is("--module")      ? &o->module
                     : a.Is("--aircraft")  ? &o->aircraft
                     : a.Is("--panel")     ? &o->panel
                     : a.Is("--scenario")  ? &o->scenario
                     : a.Is("--documents") ? &o->documents
                     : a.Is("--flight")    ? &o->flight
                                           : nullptr;
    if (path == nullptr) return Read::kNotMine;
    if (!a.Value(&v)) return Read::kBad;
    *path = v;
    return Read::kOk;
}

// The clock and the flight's length.
Read ReadClockOption(ArgReader& a, Options* o, bool* clock_given) {
    if (a.Is("--lockstep") || a.Is("--realtime")) {
        if (!a.Flag()) return Read::kBad;
        const bool lockstep = a.Is("--lockstep");
        if (*clock_given && lockstep != o->lockstep) {
            return Result(a.Fail("--lockstep and --realtime exclude each other"));
        }
        *clock_given = true;
        o->lockstep = lockstep;
        return Read::kOk;
    }
    if (a.Is("--fps")) {
        std::string v;
        if (!a.Value(&v)) return Read::kBad;
        auto n = text::ParseInt(v);
        if (!n || *n < 1 || *n > 1000) {
            return Result(a.Fail("--fps needs a whole number from 1 to 1000, not '" + v + "'"));
        }
        o->fps = static_cast<int>(*n);
        return Read::kOk;
    }
    if (a.Is("--seconds")) {
        double s = 0;
        if (!a.Number(0, 1e6, &s, "a number of seconds from 0 to 1000000")) return Read::kBad;
        o->seconds = s;
        return Read::kOk;
    }
    return Read::kNotMine;
}

// The simulator's side of the module: FSUIPC, the aircraft model, the
// joystick, sound.
Read ReadSimulatorOption(ArgReader& a, Options* o) {
    std::string v;
    if (a.Is("--no-fsuipc") || a.Is("--no-model") || a.Is("--uipcmain") || a.Is("--no-audio")) {
        if (!a.Flag()) return Read::kBad;
        if (a.Is("--no-fsuipc")) o->fsuipc = false;
        if (a.Is("--no-model")) o->aircraft_model = false;
        if (a.Is("--uipcmain")) o->uipcmain = true;
        if (a.Is("--no-audio")) o->no_audio = true;
        return Read::kOk;
    }
    if (a.Is("--sim-number")) {
        if (!a.Value(&v)) return Read::kBad;
        auto n = text::ParseUnsigned(v);
        if (!n || *n > 0xFFFF) {
            return Result(a.Fail("--sim-number needs a number from 0 to 65535, not '" + v + "'"));
        }
        o->sim_number = static_cast<uint16_t>(*n);
        return Read::kOk;
    }
    if (a.Is("--link-port")) {
        if (!a.Value(&v)) return Read::kBad;
        auto n = text::ParseUnsigned(v);
        if (!n || *n > 0xFFFF) {
            return Result(a.Fail("--link-port needs a number from 0 to 65535, not '" + v + "'"));
        }
        o->link_port = static_cast<int32_t>(*n);
        return Read::kOk;
    }
    if (a.Is("--joystick")) {
        if (!a.Value(&v)) return Read::kBad;
        if (v == "scripted") {
            o->joystick = platform::JoystickKind::kScripted;
        } else if (v == "none") {
            o->joystick = platform::JoystickKind::kNone;
        } else if (v == "evdev" || v.rfind("evdev:", 0) == 0) {
            o->joystick = platform::JoystickKind::kEvdev;
            o->joystick_path = v.size() > 6 ? v.substr(6) : "";
        } else {
            return Result(
                a.Fail("--joystick needs scripted, none, evdev or evdev:PATH, not '" + v + "'"));
        }
        return Read::kOk;
    }
    if (a.Is("--audio-out")) {
        if (!a.Value(&v)) return Read::kBad;
        o->audio_out = v;
        return Read::kOk;
    }
    return Read::kNotMine;
}

// Where the outputs go and how the pictures look; these leave the flight
// as it is (the demonstration stays the demonstration).
Read ReadOutputOption(ArgReader& a, Options* o) {
    std::string v;
    fs::path* path = a.Is("--out")            ? &o->out_dir
                     : a.Is("--state-json")   ? &o->state_json
                     : a.Is("--snapshot-dir") ? &o->snapshot_dir
                                              : nullptr;
    if (path != nullptr) {
        if (!a.Value(&v)) return Read::kBad;
        *path = v;
        return Read::kOk;
    }
    if (a.Is("--scale")) {
        o->scale_given = true;
        return Result(a.Number(0.1, 8, &o->render.scale, "a number from 0.1 to 8"));
    }
    if (a.Is("--ambient"))
        return Result(a.Number(0, 1, &o->render.ambient, "a number from 0 to 1"));
    if (a.Is("--quiet")) {
        if (!a.Flag()) return Read::kBad;
        o->quiet = true;
        return Read::kOk;
    }
    return Read::kNotMine;
}

// What simhost does instead of a flight, and the live window.
Read ReadModeOption(ArgReader& a, Options* o) {
    bool* flag = a.Is("--help") || a.Is("-h") ? &o->help
                 : a.Is("--list-gauges")      ? &o->list_gauges
                 : a.Is("--window")           ? &o->window
                                              : nullptr;
    if (flag == nullptr) return Read::kNotMine;
    if (!a.Flag()) return Read::kBad;
    *flag = true;
    return Read::kOk;
}

// Parses the command line; false with `error`.
bool ParseOptions(int argc, const char* const* argv, Options* o, std::string* error) {
    ArgReader a(argc, argv, error);
    bool clock_given = false;
    while (a.Next()) {
        Read r = ReadOutputOption(a, o);
        if (r == Read::kNotMine) {
            o->flight_options = true;
            r = ReadFlightOption(a, o);
        }
        if (r == Read::kNotMine) r = ReadClockOption(a, o, &clock_given);
        if (r == Read::kNotMine) r = ReadSimulatorOption(a, o);
        if (r == Read::kNotMine) r = ReadModeOption(a, o);
        if (r == Read::kNotMine) {
            return a.Fail("unknown option '" + std::string(a.raw()) + "' (see --help)");
        }
        if (r == Read::kBad) return false;
    }
    if (!o->audio_out.empty() && o->no_audio) {
        *error = "--audio-out and --no-audio exclude each other";
        return false;
    }
    if (!o->audio_out.empty() && !o->lockstep) {
        *error = "--audio-out needs the lockstep clock (the real clock plays on the audio device)";
        return false;
    }
    return true;
}

// A desktop to show windows on: a display named, or a Qt platform chosen.
bool DisplayNamed() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* v = std::getenv(name);
        if (v != nullptr && *v != '\0') return true;
    }
    return false;
}

// The first stop signal received; a second ends the process at once.
std::atomic<int> g_stop_signal{0};
static_assert(std::atomic<int>::is_always_lock_free);

void OnStopSignal(int signal) {
    int none = 0;
    if (!g_stop_signal.compare_exchange_strong(none, signal)) ::_exit(128 + signal);
}

fs::path ExecutableDir() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path(ec) : exe.parent_path();
}

// The sample aircraft assembled by the build beside the program's folder.
fs::path FindSampleAircraft(const fs::path& exe_dir) {
    for (const fs::path& candidate :
         {exe_dir / ".." / "sample_aircraft", exe_dir / "sample_aircraft"}) {
        std::error_code ec;
        if (fs::is_directory(candidate, ec)) return fs::weakly_canonical(candidate, ec);
    }
    return {};
}

}  // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // Not restarted: a call that waits (an open that hangs, say) returns
    // when the signal comes, so the flight can end.
    action.sa_flags = 0;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

int StopSignal() {
    return g_stop_signal.load(std::memory_order_relaxed);
}

int SimhostMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                WindowRunner window_runner) {
    Options o;
    std::string error;
    if (!ParseOptions(argc, argv, &o, &error)) {
        err << "simhost: " << error << '\n';
        return kExitUsage;
    }
    if (o.help) {
        out << kHelp;
        return kExitOk;
    }
    if (o.window && !DisplayNamed()) {
        err << "simhost: no display: --window needs a desktop; use --out for pictures\n";
        return kExitNoDisplay;
    }
    if (o.window && window_runner == nullptr) {
        err << "simhost: --window: this simhost was built without the window mode (ZU_GUI=OFF)\n";
        return kExitUsage;
    }
    const fs::path exe_dir = ExecutableDir();
    if (o.module.empty()) o.module = exe_dir / "ZeveridUvo.so";

    Scenario scenario;
    bool has_scenario = !o.scenario.empty();
    if (has_scenario && !o.list_gauges && !Scenario::Load(o.scenario, &scenario, &error)) {
        err << "simhost: " << error << '\n';
        return kExitUsage;
    }

    // Outputs: the ones asked for; when none is, everything goes to
    // ./simhost-out.
    const bool outputs_given =
        !o.out_dir.empty() || !o.state_json.empty() || !o.snapshot_dir.empty();
    if (!outputs_given) o.out_dir = "simhost-out";
    if (!o.out_dir.empty()) {
        if (o.state_json.empty()) o.state_json = o.out_dir / "state.json";
        if (o.snapshot_dir.empty()) o.snapshot_dir = o.out_dir / "snapshots";
    }
    if (o.snapshot_dir.empty() && !o.state_json.empty()) {
        o.snapshot_dir = o.state_json.parent_path() / "snapshots";
    }

    // Every frame logs a few dozen lines: the log goes out in large blocks,
    // and at least once a second (the simulator flushes it).
    constexpr size_t kEventLogBuffer = size_t{256} << 10;
    std::unique_ptr<char[]> event_log_buffer;
    std::ofstream event_log;
    SimulatorConfig cfg;
    cfg.lockstep = o.lockstep;
    cfg.fps = o.fps;
    cfg.fsuipc = o.fsuipc;
    cfg.aircraft_model = o.aircraft_model;
    cfg.uipcmain_window = o.uipcmain;
    cfg.sim_number = o.sim_number;
    cfg.panel_file = o.panel;
    cfg.warnings = &err;
    cfg.notices = &out;
    cfg.audio_silent = o.no_audio;
    cfg.surface_scale = o.render.scale;
    cfg.capture_audio = !o.audio_out.empty();
    cfg.flight_file = o.flight;
    platform::SelectJoystick(o.joystick, o.joystick_path);
    platform::SetSessionHostPort(o.link_port);
    cfg.documents_dir = o.documents;
    if (cfg.documents_dir.empty()) {
        cfg.documents_dir =
            !o.out_dir.empty() ? o.out_dir / "Documents" : o.state_json.parent_path() / "Documents";
    }

    if (o.list_gauges) {
        Simulator sim(cfg);
        if (!sim.LoadModule(o.module, &error)) {
            err << "simhost: " << error << '\n';
            return kExitModule;
        }
        const auto table = sim.GaugeTable();
        for (size_t i = 0; i < table.size(); ++i) {
            out << i << '\t' << table[i]->name << '\t' << table[i]->default_width_mm << '\n';
        }
        return kExitOk;
    }

    if (o.aircraft.empty()) {
        o.aircraft = FindSampleAircraft(exe_dir);
        if (o.aircraft.empty()) {
            err << "simhost: no --aircraft given and the sample aircraft is not beside "
                << exe_dir.string() << '\n';
            return kExitAircraft;
        }
    }
    cfg.aircraft_dir = o.aircraft;

    // With no options but the output options, simhost flies the sample
    // aircraft's bundled demonstration, which takes the panel pictures along
    // the way.
    const fs::path demo = o.aircraft / "scenarios" / "demo.txt";
    if (!o.flight_options && fs::exists(demo)) {
        if (!Scenario::Load(demo, &scenario, &error)) {
            err << "simhost: " << error << '\n';
            return kExitUsage;
        }
        o.scenario = demo;
        has_scenario = true;
        // Its pictures are meant to be looked at: twice the panel's size.
        if (!o.scale_given) o.render.scale = kDemonstrationScale;
        cfg.surface_scale = o.render.scale;
    }

    std::error_code ec;
    if (!o.out_dir.empty()) {
        fs::create_directories(o.out_dir, ec);
        event_log_buffer = std::make_unique_for_overwrite<char[]>(kEventLogBuffer);
        event_log.rdbuf()->pubsetbuf(event_log_buffer.get(), kEventLogBuffer);
        event_log.open(o.out_dir / "simhost.log", std::ios::trunc);
        if (!event_log) {
            err << "simhost: cannot write to the output folder " << o.out_dir.string() << '\n';
            return kExitOutput;
        }
        cfg.event_log = &event_log;
    }

    Simulator sim(cfg);
    if (!sim.LoadModule(o.module, &error)) {
        err << "simhost: " << error << '\n';
        return kExitModule;
    }
    if (!sim.LoadAircraft(&error)) {
        err << "simhost: " << error << '\n';
        return kExitAircraft;
    }

    // What the scenario names must be on the panel, before anything flies.
    if (has_scenario) {
        const std::vector<std::string> problems = scenario.CheckTargets(sim);
        for (const std::string& p : problems) err << "simhost: " << p << '\n';
        if (!problems.empty()) return kExitUsage;
    }

    double seconds = o.seconds.value_or(kDefaultSeconds);
    if (!o.seconds && has_scenario) seconds = std::max(seconds, scenario.LastTime());
    const uint64_t frames = static_cast<uint64_t>(std::ceil(seconds * o.fps - 1e-9));
    const double flight_end = static_cast<double>(frames) / o.fps;
    if (has_scenario && (!o.window || o.seconds)) {
        for (const std::string& late : scenario.CommandsAfter(flight_end)) {
            err << "simhost: " << late << ": after the flight's end at " << flight_end
                << " s; it will not run\n";
        }
    }

    GaugeRenderer renderer(sim);
    // Snapshots' pictures are compressed while the flight goes on.
    renderer.set_pngs_written_behind(true);
    PointerRouter router(sim, renderer);
    SnapshotIndex snapshot_index;
    ScenarioContext ctx{
        sim,
        [&](const std::string& name, std::string* problem) {
            if (o.snapshot_dir.empty()) {
                *problem = "no snapshot folder (give --snapshot-dir)";
                return false;
            }
            std::vector<GaugeRenderer::WindowPicture> pictures;
            return WriteStateJson(o.snapshot_dir / (name + ".json"), sim,
                                  has_scenario ? &scenario : nullptr, problem) &&
                   renderer.WritePngs(o.snapshot_dir, name, o.render, problem, &pictures) &&
                   snapshot_index.Add(o.snapshot_dir, name, std::move(pictures), problem);
        },
        [] { return StopSignal() != 0; }};
    auto report = [&](const std::vector<ScenarioResult>& results) {
        for (const ScenarioResult& r : results) {
            if (r.ok) continue;
            err << "simhost: " << scenario.source_name() << ":" << r.line << ": " << r.command
                << ": " << r.message << '\n';
        }
    };
    // A crash of the aircraft fails the scenario.
    uint32_t crashes = 0;
    auto watch_crashes = [&]() {
        if (!has_scenario || sim.model().crashes() == crashes) return;
        crashes = sim.model().crashes();
        const Touchdown& t = *sim.model().last_touchdown();
        const std::string where =
            t.airport.empty()
                ? std::string("away from the airports")
                : t.airport + (t.runway.empty() ? " off its runways" : " runway " + t.runway);
        // (the simulator has told stderr already)
        scenario.RecordFailure(sim.elapsed_seconds(), sim.frame(), "crash",
                               t.crash_reason + ", " + where);
    };

    if (!sim.Start(&error)) {
        err << "simhost: " << error << '\n';
        return kExitAircraft;
    }
    if (!o.lockstep && !o.no_audio) {
        // The real clock plays on the machine's audio device when it has one.
        out << (platform::GetAudioBackend() == platform::AudioBackend::OpenAlDevice
                    ? "audio: playing on the machine's audio device\n"
                    : "audio: none found, mixing to memory\n")
            << std::flush;
    } else if (o.window && !o.no_audio) {
        // Someone watching the panels hears nothing on the lockstep clock.
        out << "audio: not played on the lockstep clock (--realtime plays it)\n" << std::flush;
    }
    bool window_failed = false;
    if (o.window) {
        // Live: until the windows are closed, or for --seconds when given.
        uint64_t f = 0;
        WindowSession session{sim, renderer, router, o.render, o.fps, [&]() {
                                  if ((o.seconds && f >= frames) || StopSignal() != 0) return false;
                                  sim.BeginFrame();
                                  watch_crashes();
                                  if (has_scenario) {
                                      report(scenario.RunDue(ctx, sim.elapsed_seconds()));
                                  }
                                  router.Frame();
                                  sim.RunGauges();
                                  ++f;
                                  return true;
                              }};
        window_failed = window_runner(session) != 0;
    } else {
        const bool terminal = &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
        std::optional<ProgressLine> progress;
        if (!o.quiet) progress.emplace(err, flight_end, terminal);
        for (uint64_t f = 0; f < frames && StopSignal() == 0; ++f) {
            sim.BeginFrame();
            watch_crashes();
            if (has_scenario) report(scenario.RunDue(ctx, sim.elapsed_seconds()));
            sim.RunGauges();
            if (progress) progress->Frame(sim.elapsed_seconds());
        }
        if (progress) progress->Finish();
    }
    // The pictures still being written are the flight's work: their wait
    // counts in its time.
    const auto pictures_start = std::chrono::steady_clock::now();
    std::string pictures_error;
    if (!renderer.FinishPngs(&pictures_error)) {
        // A snapshot's picture that could not be written fails the scenario.
        err << "simhost: " << pictures_error << '\n';
        if (has_scenario) {
            scenario.RecordFailure(sim.elapsed_seconds(), sim.frame(), "snapshot", pictures_error);
        }
    }
    const auto pictures_ns =
        static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                  std::chrono::steady_clock::now() - pictures_start)
                                  .count());
    int stop_signal = StopSignal();
    const auto log_stop = [&sim](int signal) {
        sim.LogEvent(std::string("stopped by ") + (signal == SIGINT ? "SIGINT" : "SIGTERM"));
    };
    if (stop_signal != 0) log_stop(stop_signal);
    // The flight is over: its lines go out before the waits that follow.
    sim.FlushEventLog();
    if (has_scenario) report(scenario.Finish());
    // What the instructor has failed, asked over the link while the module
    // still hosts it (killing the gauges closes it).
    InstructorFailures instructor_failures;
    if (!o.state_json.empty()) {
        instructor_failures = AskInstructorFailures([] { return StopSignal() != 0; });
    }
    // A stop that came during the query cut it short: the run ends as stopped.
    if (stop_signal == 0 && (stop_signal = StopSignal()) != 0) log_stop(stop_signal);
    sim.Stop();

    int code = has_scenario && scenario.failures() > 0 ? kExitCheckFailed : kExitOk;
    if (window_failed) code = kExitUsage;  // the window mode could not be shown
    if (!o.state_json.empty() &&
        !WriteStateJson(o.state_json, sim, has_scenario ? &scenario : nullptr, &error,
                        &instructor_failures)) {
        err << "simhost: " << error << '\n';
        code = kExitOutput;
    }
    if (!o.audio_out.empty() && !sim.WriteAudio(o.audio_out, &error)) {
        err << "simhost: " << error << '\n';
        code = kExitOutput;
    }
    // The audio engine's device is closed before the program ends.
    platform::AudioShutdown();
    const uint64_t module_keys = sim.ModuleKeyEventsTotal();
    out << "simhost: " << sim.frame() << " frames, " << sim.elapsed_seconds() << " s, ";
    if (o.lockstep) out << sim.ticks() << " ticks, ";
    out << sim.gauges().size() << " gauges, " << module_keys << " key events, "
        << sim.fsuipc().WritesTotal() << " FSUIPC writes";
    if (has_scenario) out << ", " << scenario.failures() << " scenario failures";
    out << '\n';
    Simulator::FrameTiming t = sim.frame_timing();
    if (t.frames > 0) {
        t.frame_ns += pictures_ns;
        const double n = static_cast<double>(t.frames);
        const auto us = [n](uint64_t ns) { return static_cast<double>(ns) / n / 1000.0; };
        const uint64_t module_ns = t.gauge_ns + t.tick_ns;
        char line[320];
        std::snprintf(line, sizeof line,
                      "simhost: per frame %.1f us: gauges %.1f us (main gauge %.1f us, the other "
                      "gauges' painting %.1f us), ticks %.1f us, simhost's own %.1f us",
                      us(t.frame_ns), us(t.gauge_ns), us(t.main_gauge_ns),
                      us(t.gauge_ns - std::min(t.gauge_ns, t.main_gauge_ns)), us(t.tick_ns),
                      us(t.frame_ns - std::min(t.frame_ns, module_ns)));
        out << line;
        // On the real clock the frames wait for their time (and the ticks run
        // on their own thread): only the lockstep clock's speed is a measure.
        if (o.lockstep && t.frame_ns > 0) {
            std::snprintf(line, sizeof line, "; %.1f x real time",
                          sim.elapsed_seconds() * 1e9 / static_cast<double>(t.frame_ns));
            out << line;
        }
        out << '\n';
    }
    if (!o.out_dir.empty()) {
        out << "simhost: outputs in " << fs::absolute(o.out_dir, ec).lexically_normal().string()
            << '\n';
    } else if (!o.state_json.empty()) {
        out << "simhost: state in " << o.state_json.string() << '\n';
    }
    if (event_log.is_open()) event_log.close();
    return stop_signal != 0 ? 128 + stop_signal : code;
}

}  // namespace zu::simhost
