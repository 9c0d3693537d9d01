// The simhost program (see cli.h and docs/simhost.md).
#include "zu/simhost/cli.h"

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "text_util.h"
#include "zu/platform/joystick.h"
#include "zu/platform/net_session.h"
#include "zu/platform/sound_device.h"
#include "zu/simhost/scenario.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::simhost {
namespace {

namespace fs = std::filesystem;

constexpr double kDefaultSeconds = 20.0;
constexpr int kDefaultFps = 30;

const char kHelp[] =
    "simhost - a stand-in for the flight simulator, for developing and testing the gauge\n"
    "module ZeveridUvo. It loads the module, creates the gauges of an aircraft's panel\n"
    "configuration, calls them frame by frame, serves FSUIPC and records what the module\n"
    "does. It is a development tool, not part of the module.\n"
    "\n"
    "Usage: simhost [options]\n"
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
    "  --snapshot-dir DIR  folder for the scenario's snapshots (state file and one PNG\n"
    "                      picture per panel window)\n"
    "  --scale F           pixels per panel unit in pictures and windows (default 1)\n"
    "  --ambient L         ambient light 0 (dark) to 1 (daylight, the default): unlit\n"
    "                      artwork is darkened, lit artwork keeps its brightness\n"
    "  --window            show the panel windows live in desktop windows and forward\n"
    "                      the pointer to the gauges (runs until closed, or --seconds)\n"
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
    "  --list-gauges       print the module's gauges (index, name, default width in mm,\n"
    "                      tab-separated) and exit\n"
    "  --help              show this text\n"
    "\n"
    "Exit codes: 0 success; 1 a scenario check or command failed; 2 bad command line or\n"
    "scenario; 3 the module cannot be loaded; 4 aircraft, panel or start-up problem;\n"
    "5 outputs cannot be written.\n";

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
    RenderOptions render;
};

// Parses the command line; false with `error`.
bool ParseOptions(int argc, const char* const* argv, Options* o, std::string* error) {
    bool clock_given = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::optional<std::string> inline_value;
        if (arg.rfind("--", 0) == 0) {
            const size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                inline_value = arg.substr(eq + 1);
                arg.resize(eq);
            }
        }
        auto value = [&](std::string* v) {
            if (inline_value) {
                *v = *inline_value;
                return true;
            }
            if (i + 1 >= argc) {
                *error = arg + " needs a value";
                return false;
            }
            *v = argv[++i];
            return true;
        };
        auto flag = [&]() {
            if (inline_value) {
                *error = arg + " takes no value";
                return false;
            }
            return true;
        };
        std::string v;
        if (arg == "--help" || arg == "-h") {
            if (!flag()) return false;
            o->help = true;
        } else if (arg == "--module") {
            if (!value(&v)) return false;
            o->module = v;
        } else if (arg == "--aircraft") {
            if (!value(&v)) return false;
            o->aircraft = v;
        } else if (arg == "--panel") {
            if (!value(&v)) return false;
            o->panel = v;
        } else if (arg == "--lockstep" || arg == "--realtime") {
            if (!flag()) return false;
            const bool lockstep = arg == "--lockstep";
            if (clock_given && lockstep != o->lockstep) {
                *error = "--lockstep and --realtime exclude each other";
                return false;
            }
            clock_given = true;
            o->lockstep = lockstep;
        } else if (arg == "--fps") {
            if (!value(&v)) return false;
            auto n = text::ParseInt(v);
            if (!n || *n < 1 || *n > 1000) {
                *error = "--fps needs a whole number from 1 to 1000, not '" + v + "'";
                return false;
            }
            o->fps = static_cast<int>(*n);
        } else if (arg == "--seconds") {
            if (!value(&v)) return false;
            auto s = text::ParseDouble(v);
            if (!s || !(*s >= 0) || *s > 1e6) {
                *error = "--seconds needs a number of seconds from 0 to 1000000, not '" + v + "'";
                return false;
            }
            o->seconds = *s;
        } else if (arg == "--scenario") {
            if (!value(&v)) return false;
            o->scenario = v;
        } else if (arg == "--out") {
            if (!value(&v)) return false;
            o->out_dir = v;
        } else if (arg == "--state-json") {
            if (!value(&v)) return false;
            o->state_json = v;
        } else if (arg == "--snapshot-dir") {
            if (!value(&v)) return false;
            o->snapshot_dir = v;
        } else if (arg == "--documents") {
            if (!value(&v)) return false;
            o->documents = v;
        } else if (arg == "--flight") {
            if (!value(&v)) return false;
            o->flight = v;
        } else if (arg == "--joystick") {
            if (!value(&v)) return false;
            if (v == "scripted") {
                o->joystick = platform::JoystickKind::kScripted;
            } else if (v == "none") {
                o->joystick = platform::JoystickKind::kNone;
            } else if (v == "evdev" || v.rfind("evdev:", 0) == 0) {
                o->joystick = platform::JoystickKind::kEvdev;
                o->joystick_path = v.size() > 6 ? v.substr(6) : "";
            } else {
                *error = "--joystick needs scripted, none, evdev or evdev:PATH, not '" + v + "'";
                return false;
            }
        } else if (arg == "--no-fsuipc") {
            if (!flag()) return false;
            o->fsuipc = false;
        } else if (arg == "--no-model") {
            if (!flag()) return false;
            o->aircraft_model = false;
        } else if (arg == "--uipcmain") {
            if (!flag()) return false;
            o->uipcmain = true;
        } else if (arg == "--sim-number") {
            if (!value(&v)) return false;
            auto n = text::ParseUnsigned(v);
            if (!n || *n > 0xFFFF) {
                *error = "--sim-number needs a number from 0 to 65535, not '" + v + "'";
                return false;
            }
            o->sim_number = static_cast<uint16_t>(*n);
        } else if (arg == "--link-port") {
            if (!value(&v)) return false;
            auto n = text::ParseUnsigned(v);
            if (!n || *n > 0xFFFF) {
                *error = "--link-port needs a number from 0 to 65535, not '" + v + "'";
                return false;
            }
            o->link_port = static_cast<int32_t>(*n);
        } else if (arg == "--audio-out") {
            if (!value(&v)) return false;
            o->audio_out = v;
        } else if (arg == "--no-audio") {
            if (!flag()) return false;
            o->no_audio = true;
        } else if (arg == "--list-gauges") {
            if (!flag()) return false;
            o->list_gauges = true;
        } else if (arg == "--window") {
            if (!flag()) return false;
            o->window = true;
        } else if (arg == "--scale") {
            if (!value(&v)) return false;
            auto f = text::ParseDouble(v);
            if (!f || !(*f >= 0.1) || *f > 8) {
                *error = "--scale needs a number from 0.1 to 8, not '" + v + "'";
                return false;
            }
            o->render.scale = *f;
        } else if (arg == "--ambient") {
            if (!value(&v)) return false;
            auto f = text::ParseDouble(v);
            if (!f || !(*f >= 0) || *f > 1) {
                *error = "--ambient needs a number from 0 to 1, not '" + v + "'";
                return false;
            }
            o->render.ambient = *f;
        } else {
            *error = "unknown option '" + std::string(argv[i]) + "' (see --help)";
            return false;
        }
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

    // With no options at all, simhost flies the sample aircraft's bundled
    // demonstration, which takes the panel pictures along the way.
    const fs::path demo = o.aircraft / "scenarios" / "demo.txt";
    if (argc <= 1 && !has_scenario && fs::exists(demo)) {
        if (!Scenario::Load(demo, &scenario, &error)) {
            err << "simhost: " << error << '\n';
            return kExitUsage;
        }
        o.scenario = demo;
        has_scenario = true;
    }

    std::error_code ec;
    if (!o.out_dir.empty()) {
        fs::create_directories(o.out_dir, ec);
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

    double seconds = o.seconds.value_or(kDefaultSeconds);
    if (!o.seconds && has_scenario) seconds = std::max(seconds, scenario.LastTime());
    const uint64_t frames = static_cast<uint64_t>(std::ceil(seconds * o.fps - 1e-9));

    GaugeRenderer renderer(sim);
    PointerRouter router(sim, renderer);
    ScenarioContext ctx{sim, [&](const std::string& name, std::string* problem) {
                            if (o.snapshot_dir.empty()) {
                                *problem = "no snapshot folder (give --snapshot-dir)";
                                return false;
                            }
                            return WriteStateJson(o.snapshot_dir / (name + ".json"), sim,
                                                  has_scenario ? &scenario : nullptr, problem) &&
                                   renderer.WritePngs(o.snapshot_dir, name, o.render, problem);
                        }};
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
        out << "audio: mixing to memory on the lockstep clock (--realtime plays it)\n"
            << std::flush;
    }
    if (o.window) {
        // Live: until the windows are closed, or for --seconds when given.
        uint64_t f = 0;
        WindowSession session{sim, renderer, router, o.render, o.fps, [&]() {
                                  if (o.seconds && f >= frames) return false;
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
        window_runner(session);
    } else {
        for (uint64_t f = 0; f < frames; ++f) {
            sim.BeginFrame();
            watch_crashes();
            if (has_scenario) report(scenario.RunDue(ctx, sim.elapsed_seconds()));
            sim.RunGauges();
        }
    }
    if (has_scenario) report(scenario.Finish());
    sim.Stop();

    int code = has_scenario && scenario.failures() > 0 ? kExitCheckFailed : kExitOk;
    if (!o.state_json.empty() &&
        !WriteStateJson(o.state_json, sim, has_scenario ? &scenario : nullptr, &error)) {
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
    if (!o.out_dir.empty()) {
        out << "simhost: outputs in " << fs::absolute(o.out_dir, ec).lexically_normal().string()
            << '\n';
    } else if (!o.state_json.empty()) {
        out << "simhost: state in " << o.state_json.string() << '\n';
    }
    return code;
}

}  // namespace zu::simhost
