#include "e2e_support.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "core/module_frame.h"
#include "core/powerplant.h"
#include "panels/engine_start_panels.h"
#include "zu/simhost/simulator.h"

extern char** environ;

namespace zu::e2e {

namespace fs = std::filesystem;

fs::path SimhostExe() {
    return ZU_SIMHOST_EXE;
}
fs::path ModuleFile() {
    return ZU_MODULE_FILE;
}
fs::path SampleAircraft() {
    return ZU_SAMPLE_AIRCRAFT_DIR;
}

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "zu_e2e_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

fs::path CopySampleAircraft(const fs::path& parent) {
    const fs::path dest = parent / "Zuvav";
    fs::copy(SampleAircraft(), dest, fs::copy_options::recursive);
    fs::remove_all(dest / "ini");
    fs::create_directories(dest / "ini");
    fs::create_directories(dest / "sound");
    return dest;
}

ProcessResult RunProgram(const fs::path& program, const std::vector<std::string>& args) {
    TempDir capture;
    const std::string out_file = (capture.path() / "out").string();
    const std::string err_file = (capture.path() / "err").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<std::string> argv_store = {program.string()};
    argv_store.insert(argv_store.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argv_store) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ProcessResult result;
    if (rc != 0) {
        result.err = "cannot start " + program.string();
        return result;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFile(out_file);
    result.err = ReadFile(err_file);
    return result;
}

ProcessResult RunSimhost(const std::vector<std::string>& args) {
    return RunProgram(SimhostExe(), args);
}

ProcessResult RunProgram(const fs::path& program, const std::vector<std::string>& args,
                         const RunLimits& limits) {
    TempDir capture;
    const fs::path out_file = capture.path() / "out";
    const fs::path err_file = capture.path() / "err";
    const int out = ::open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int err = ::open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<std::string> argv_store = {program.string()};
    argv_store.insert(argv_store.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argv_store) argv.push_back(a.data());
    argv.push_back(nullptr);
    const bool drop = limits.unprivileged && ::getuid() == 0;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (drop && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(126);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execve(argv[0], argv.data(), environ);
        ::_exit(127);
    }
    ::close(out);
    ::close(err);
    ProcessResult result;
    if (pid < 0) {
        result.err = "cannot start " + program.string();
        return result;
    }
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (limits.bound.count() > 0 && std::chrono::steady_clock::now() - start > limits.bound) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            result.timed_out = true;
            break;
        }
        ::usleep(2000);
    }
    result.took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    result.exit_code = !result.timed_out && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFile(out_file);
    result.err = ReadFile(err_file);
    return result;
}

ProcessResult RunSimhost(const std::vector<std::string>& args, const RunLimits& limits) {
    return RunProgram(SimhostExe(), args, limits);
}

void GiveToUnprivileged(const fs::path& dir) {
    if (::getuid() != 0) return;
    ASSERT_EQ(::lchown(dir.c_str(), 65534, 65534), 0) << dir;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0) << entry.path();
    }
}

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

void WriteFile(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
}

nlohmann::json ReadJson(const fs::path& file) {
    return nlohmann::json::parse(ReadFile(file));
}

std::vector<IniEntry> ReadIniEntries(const fs::path& file) {
    std::vector<IniEntry> entries;
    std::istringstream in(ReadFile(file));
    std::string line;
    std::string section;
    auto trim = [](std::string s) {
        const auto b = s.find_first_not_of(" \t\r");
        const auto e = s.find_last_not_of(" \t\r");
        return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
    };
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            section = trim(line.substr(1, line.find(']') - 1));
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        entries.push_back({section, trim(line.substr(0, eq)), trim(line.substr(eq + 1))});
    }
    return entries;
}

void StartLinkedModule(simhost::Simulator& sim) {
    std::string error;
    ASSERT_TRUE(sim.AttachModule(&Linkage, &ImportTable, &error)) << error;
    ASSERT_TRUE(sim.LoadAircraft(&error)) << error;
    ASSERT_TRUE(sim.Start(&error)) << error;
}

int StartEngineFromPanel(simhost::Simulator& sim, int engine, int max_frames) {
    simhost::GaugeInstance* panel = sim.FindGauge("EngineStartPanel");
    std::string error;
    if (panel == nullptr) {
        ADD_FAILURE() << "no EngineStartPanel on the panel";
        return -1;
    }
    // The selector springs back while its return count runs: wait for it.
    for (int i = 0; i < 60 && SystemTimers.EngineStartReturn > 0; ++i) sim.RunFrame();
    // Rectangles: 7..9 the start selector on engine 1, off, engine 2; 10 START.
    EXPECT_TRUE(sim.Click(*panel, engine == 0 ? 7 : 9, false, &error)) << error;
    sim.RunFrame();
    EXPECT_TRUE(sim.Click(*panel, 10, false, &error)) << error;
    if (EngineStartRequest[engine] == 0) {
        ADD_FAILURE() << "START did not start engine " << engine + 1;
        return -1;
    }
    int frames = 0;
    do {
        sim.RunFrame();
        ++frames;
    } while (EngineStartRequest[engine] != 0 && frames < max_frames);
    EXPECT_TRUE(sim.Click(*panel, 8, false, &error)) << error;
    sim.RunFrame();
    return EngineStartRequest[engine] == 0 ? frames : -1;
}

void PinRunningEngines(simhost::Simulator& sim) {
    for (uint32_t token : {626u, 645u}) sim.SetVariable(token, 75.0);     // Nh
    for (uint32_t token : {700u, 708u}) sim.SetVariable(token, 1000.0);   // propeller rpm
    for (uint32_t token : {131u, 166u}) sim.SetVariable(token, 1.0);      // combustion
    for (uint32_t token : {199u, 234u}) sim.SetVariable(token, 16383.0);  // condition levers
}

double RadialBrightness(cairo_surface_t* s, double cx, double cy, double angle, int r0, int r1) {
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    const double a = angle * 3.14159265358979 / 180.0;
    double sum = 0;
    for (int r = r0; r <= r1; ++r) {
        const int x = static_cast<int>(std::lround(cx + r * std::sin(a)));
        const int y = static_cast<int>(std::lround(cy - r * std::cos(a)));
        const uint32_t p = reinterpret_cast<const uint32_t*>(data + y * stride)[x];
        sum += (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3.0;
    }
    return sum / (r1 - r0 + 1);
}

}  // namespace zu::e2e
