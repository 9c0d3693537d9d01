// simhost as a user meets it: stopped by a signal, and given bad files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <future>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "e2e_support.h"
#include "zu/platform/net_session.h"
#include "zu/simhost/cli.h"
#include "zu/simhost/instructor_failures.h"
#include "zu/simhost/panel_config.h"
#include "zu/simhost/progress.h"
#include "zu/simhost/saved_flights.h"
#include "zu/simhost/scenario.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/world.h"

namespace zu::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kBound = std::chrono::seconds(20);

// simhost running in the background, its standard output (and with
// `stderr_too` its standard error) on a pipe.
class Background {
  public:
    explicit Background(const std::vector<std::string>& args, bool stderr_too = false) {
        int out[2];
        if (::pipe(out) != 0) return;
        std::vector<std::string> store = {SimhostExe().string()};
        store.insert(store.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : store) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(stderr_too ? out[1] : null, 2);
            ::close(out[0]);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        out_ = out[0];
    }
    ~Background() {
        if (pid_ > 0 && code_ == kRunning) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) ::close(out_);
    }

    // Reads standard output until it holds `text` `times` times (bounded); false when the
    // program ended or the bound passed first.
    bool WaitForOutput(const std::string& text, int times = 1) {
        const auto deadline = std::chrono::steady_clock::now() + kBound;
        const auto seen = [&]() {
            int n = 0;
            for (size_t at = output_.find(text); at != std::string::npos && n < times;
                 at = output_.find(text, at + 1)) {
                ++n;
            }
            return n >= times;
        };
        while (!seen()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            pollfd p{out_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char buffer[4096];
            const ssize_t n = ::read(out_, buffer, sizeof buffer);
            if (n <= 0) return false;
            output_.append(buffer, static_cast<size_t>(n));
        }
        return true;
    }
    void Signal(int signal) { ::kill(pid_, signal); }
    // The exit code once the program has ended (bounded: -1 when it has not,
    // -2 when it did not exit by itself).
    int Wait() {
        const auto deadline = std::chrono::steady_clock::now() + kBound;
        while (code_ == kRunning && std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            const pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_) {
                code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        WaitForOutput("\x01");  // the rest of the output, up to its end
        return code_ == kRunning ? -1 : code_;
    }
    const std::string& output() const { return output_; }

  private:
    static constexpr int kRunning = -100;
    pid_t pid_ = -1;
    int out_ = -1;
    int code_ = kRunning;
    std::string output_;
};

// A stop signal ends a long real-time flight as its end would: the state
// file, the summary and a log whose last line is whole.
void StopsCleanlyOn(int signal, int expected_code) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const fs::path out = tmp.path() / "out";
    Background sim(
        {"--aircraft", aircraft.string(), "--realtime", "--seconds", "600", "--out", out.string()});
    // The audio line comes once the gauges are installed and the frames run.
    ASSERT_TRUE(sim.WaitForOutput("audio: ")) << sim.output();
    sim.Signal(signal);
    EXPECT_EQ(sim.Wait(), expected_code) << sim.output();
    EXPECT_NE(sim.output().find(" frames, "), std::string::npos) << sim.output();
    const nlohmann::json state = ReadJson(out / "state.json");
    EXPECT_GE(state["frames"].get<int>(), 0);  // however far it came
    EXPECT_FALSE(state["gauges"].empty());
    const std::string log = ReadFile(out / "simhost.log");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), '\n');
    EXPECT_NE(log.find("stopped by "), std::string::npos);
    EXPECT_NE(log.find(": stop\n"), std::string::npos);
}

TEST(SimhostStop, SigtermEndsTheFlightCleanlyWith143) {
    StopsCleanlyOn(SIGTERM, 143);
}

TEST(SimhostStop, SigintEndsTheFlightCleanlyWith130) {
    StopsCleanlyOn(SIGINT, 130);
}

// The highest frame of the event log's lines ("frame N: ...").
long LastLoggedFrame(const std::string& log) {
    long last = -1;
    for (size_t at = log.find("frame "); at != std::string::npos; at = log.find("\nframe ", at)) {
        at += log[at] == '\n' ? 7 : 6;
        last = std::max(last, std::strtol(log.c_str() + at, nullptr, 10));
    }
    return last;
}

// A flight killed without warning still leaves its log up to about a second
// before the kill: 6 s into a real-time flight at 30 frames a second, frame
// 120 (4 s) at least is on disk.
TEST(SimhostStop, AKilledFlightLeavesItsEventLogUpToTheLastSecond) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const fs::path out = tmp.path() / "out";
    Background sim({"--aircraft", aircraft.string(), "--realtime", "--seconds", "600", "--fps",
                    "30", "--no-audio", "--out", out.string()},
                   true);
    // Progress is reported once a second after the first 5 s of wall time:
    // its second line comes 6 s in.
    ASSERT_TRUE(sim.WaitForOutput("simhost: simulated ", 2)) << sim.output();
    sim.Signal(SIGKILL);
    EXPECT_EQ(sim.Wait(), -2);
    const std::string log = ReadFile(out / "simhost.log");
    EXPECT_GE(LastLoggedFrame(log), 120) << log.size() << " bytes";
}

TEST(SimhostStop, ASecondSignalEndsItAtOnce) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    Background sim({"--aircraft", aircraft.string(), "--realtime", "--seconds", "600", "--out",
                    (tmp.path() / "out").string()});
    ASSERT_TRUE(sim.WaitForOutput("audio: ")) << sim.output();
    sim.Signal(SIGINT);
    sim.Signal(SIGINT);
    EXPECT_EQ(sim.Wait(), 130);
}

TEST(SimhostBadFiles, AnEmptyPanelConfigurationIsAnError) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    for (const std::string& text : {std::string(),
                                    std::string("\x7f"
                                                "ELF\x02\x01garbage\n"),
                                    std::string("[Window00]\nsize_mm=10,10\n")}) {
        WriteFile(aircraft / "panel" / "panel.cfg", text);
        const ProcessResult r = RunSimhost(
            {"--aircraft", aircraft.string(), "--state-json", (tmp.path() / "s.json").string()});
        EXPECT_EQ(r.exit_code, 4) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find("panel.cfg"), std::string::npos) << r.err;
    }
}

TEST(SimhostBadFiles, DamagedPanelLinesAreWarnedWithTheirLineNumbers) {
    const std::string text = std::string(
                                 "[Window00]\n"
                                 "gauge00=ZeveridUvo!maingauge, 0, 0, 25\n"
                                 "gauge01=ZeveridUvo!Stby Altimeter, 10, ") +
                             '\0' +
                             "20, 124\n"
                             "[VCockpit01]\n"
                             "gauge00=ZeveridUvo!VSI1_VC, 0, 0, 163\n"
                             "[Window01]\n"
                             "stray text\n";
    const simhost::PanelConfig panel = simhost::ParsePanelConfig(text);
    ASSERT_EQ(panel.windows.size(), 2u);
    EXPECT_EQ(panel.windows[0].gauges.size(), 1u);
    ASSERT_EQ(panel.warnings.size(), 3u);
    EXPECT_EQ(panel.warnings[0], "line 3: holds a NUL byte; the line is skipped");
    EXPECT_EQ(panel.warnings[1], "line 5: gauge line outside a [WindowNN] section; skipped");
    EXPECT_EQ(panel.warnings[2], "line 7: line without '=' ignored");
}

TEST(SimhostBadFiles, AStartUpFlightOutsideTheFlyableRangeIsRefused) {
    TempDir tmp;
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"Altitude", "1e308"}, {"Altitude", "-2000"}, {"Altitude", "60001"},
        {"Speed", "1000.5"},   {"Speed", "inf"},      {"Heading", "nan"}};
    for (const auto& [key, value] : bad) {
        const fs::path file = tmp.path() / "Bad.FLT";
        std::string text = "[Main]\nTitle=Bad\n[Position]\nLatitude=45\nLongitude=10\n";
        for (const char* k : {"Altitude", "Heading", "Speed"}) {
            text += std::string(k) + "=" + (key == k ? value : std::string("100")) + "\n";
        }
        WriteFile(file, text);
        simhost::SavedFlight flight;
        std::string error;
        EXPECT_FALSE(simhost::ReadSavedFlight(file, &flight, &error)) << key << "=" << value;
        EXPECT_NE(error.find(key), std::string::npos) << error;
    }
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    WriteFile(tmp.path() / "High.FLT",
              "[Position]\nLatitude=45\nLongitude=10\nAltitude=1e308\nHeading=0\nSpeed=100\n");
    const ProcessResult r =
        RunSimhost({"--aircraft", aircraft.string(), "--flight", (tmp.path() / "High.FLT").string(),
                    "--out", (tmp.path() / "out").string()});
    EXPECT_EQ(r.exit_code, 4);
    // The value in its short form, not its 309 digits.
    EXPECT_NE(r.err.find("Altitude 1e+308 ft"), std::string::npos) << r.err;
    EXPECT_LT(r.err.size(), 300u) << r.err;
}

// The text between `open` and the next `close` of a message.
std::string Field(const std::string& message, const std::string& open, char close) {
    const size_t from = message.find(open);
    if (from == std::string::npos) return "(no " + open + ")";
    const size_t start = from + open.size();
    return message.substr(start, message.find(close, start) - start);
}

// Whatever a damaged file holds, a message echoes at most 80 characters of a
// field, with the bytes outside printable ASCII shown as \xNN.
TEST(SimhostBadFiles, EchoedFieldsAreCutAndEscaped) {
    std::string huge = "\x01\xB0";
    huge += std::string(2 << 20, 'G');
    const std::string cut = "\\x01\\xB0" + std::string(72, 'G') + "...";

    const simhost::PanelConfig panel =
        simhost::ParsePanelConfig("[Window00]\ngauge00=" + huge + ", 0, 0, 25\n");
    ASSERT_EQ(panel.warnings.size(), 1u);
    EXPECT_EQ(Field(panel.warnings[0], "gauge '", '\''), cut);

    simhost::World world;
    std::string error;
    EXPECT_FALSE(
        simhost::ParseWorld("\n\x7f"
                            "ELF\x02\x01" +
                                std::string(100000, 'x') + " 1\n",
                            &world, &error));
    EXPECT_EQ(error, "line 2: unknown entry \\x7FELF\\x02\\x01" + std::string(65, 'x') + "...");

    // Through the program: a gauge the module does not have, named by 2 MB.
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const fs::path cfg = aircraft / "panel" / "panel.cfg";
    WriteFile(cfg, ReadFile(cfg) + "[Window90]\ngauge00=ZeveridUvo!" + huge + ", 0, 0, 25\n");
    const ProcessResult r = RunSimhost({"--aircraft", aircraft.string(), "--seconds", "0.1",
                                        "--state-json", (tmp.path() / "s.json").string()});
    EXPECT_EQ(r.exit_code, 0) << r.err.substr(0, 400);
    EXPECT_LT(r.err.size(), 2000u);
    EXPECT_EQ(Field(r.err, "no gauge '", '\''), cut) << r.err.substr(0, 400);
}

TEST(SimhostBadFiles, APanelConfigurationThatIsAFolderSaysSo) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    fs::remove(aircraft / "panel" / "panel.cfg");
    fs::create_directories(aircraft / "panel" / "panel.cfg");
    const ProcessResult r = RunSimhost(
        {"--aircraft", aircraft.string(), "--state-json", (tmp.path() / "s.json").string()});
    EXPECT_EQ(r.exit_code, 4);
    EXPECT_NE(r.err.find("panel.cfg is a folder"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("not found"), std::string::npos) << r.err;
}

// A flight has one position: a second [Position] section, which a reader
// taking the first would skip without a word, is refused with its line.
TEST(SimhostBadFiles, ASecondPositionSectionIsRefusedWithItsLine) {
    TempDir tmp;
    const fs::path file = tmp.path() / "Twice.FLT";
    const std::string position =
        "Latitude=45\nLongitude=10\nAltitude=3000\nHeading=90\nSpeed=150\nOnGround=0\n";
    WriteFile(file,
              "[Main]\nTitle=Twice\n[Position]\n" + position + "\n [ position ]\n" + position);
    simhost::SavedFlight flight;
    std::string error;
    EXPECT_FALSE(simhost::ReadSavedFlight(file, &flight, &error));
    EXPECT_NE(error.find("line 11"), std::string::npos) << error;
    EXPECT_NE(error.find("[Position]"), std::string::npos) << error;

    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const ProcessResult r = RunSimhost({"--aircraft", aircraft.string(), "--flight", file.string(),
                                        "--out", (tmp.path() / "out").string()});
    EXPECT_EQ(r.exit_code, 4);
    EXPECT_NE(r.err.find("Twice.FLT: line 11"), std::string::npos) << r.err;

    // One [Position] beside other sections reads.
    WriteFile(file, "[Main]\nTitle=Once\n[Position]\n" + position + "[Positions]\nX=1\n");
    EXPECT_TRUE(simhost::ReadSavedFlight(file, &flight, &error)) << error;
    EXPECT_EQ(flight.altitude_ft, 3000.0);
}

// A settings file the module cannot read: the flight goes on with the
// defaults, the file is never written, and simhost tells which file and why.
TEST(SimhostBadFiles, AnUnreadableSettingsFileIsLeftAloneAndReported) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const fs::path ini = aircraft / "ini" / "Kvx4f700.ini";
    std::string settings = "[Dirarov]\nSTAMP=15\nNETWORK_SERVER=0\n";
    for (int i = 0; i < 60; ++i)
        settings += "KEY" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    WriteFile(ini, settings);
    ASSERT_EQ(::chmod(ini.c_str(), 0200), 0);
    const fs::path state = tmp.path() / "state.json";
    const std::vector<std::string> args = {"--aircraft", aircraft.string(), "--seconds",
                                           "10",         "--state-json",    state.string()};
    int code = -1;
    std::string err;
    if (::getuid() == 0) {
        // Root reads any file: the flight runs as another user.
        for (const auto& entry : fs::recursive_directory_iterator(tmp.path())) {
            ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0);
        }
        ASSERT_EQ(::chown(tmp.path().c_str(), 65534, 65534), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int out = ::open((tmp.path() / "err").c_str(), O_WRONLY | O_CREAT, 0644);
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(90);
            ::dup2(out, 2);
            std::vector<std::string> store = {SimhostExe().string()};
            store.insert(store.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (std::string& a : store) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        err = ReadFile(tmp.path() / "err");
    } else {
        const ProcessResult r = RunSimhost(args);
        code = r.exit_code;
        err = r.err;
    }
    ASSERT_EQ(code, 0) << err;
    ASSERT_EQ(::chmod(ini.c_str(), 0600), 0);
    EXPECT_EQ(ReadFile(ini), settings);
    const nlohmann::json problems = ReadJson(state)["load_problems"];
    ASSERT_EQ(problems.size(), 2u) << problems;
    EXPECT_EQ(problems[0]["file"], ini.string());
    EXPECT_EQ(problems[0]["what"], "cannot be read: Permission denied");
    EXPECT_GT(problems[0]["count"].get<int>(), 1);
    EXPECT_EQ(problems[1]["what"], "not written: the file cannot be read");
    EXPECT_NE(err.find("load problem: " + ini.string() + ": cannot be read"), std::string::npos)
        << err;
}

// ---------------------------------------------------------------------------
// What simhost tells the user

// simhost with its module and a sample aircraft of its own (the module
// writes into the aircraft folder, which the build's copy must not see):
// the program, its libraries and the aircraft laid out as the build does.
fs::path PrivateSimhost(const fs::path& dir) {
    const fs::path bin = dir / "bin";
    fs::create_directories(bin);
    const fs::path built = SimhostExe().parent_path();
    for (const char* file : {"simhost", "ZeveridUvo.so", "libzu_platform.so"}) {
        std::error_code ec;
        fs::create_hard_link(built / file, bin / file, ec);
        if (ec) fs::copy_file(built / file, bin / file);
    }
    fs::rename(CopySampleAircraft(dir), dir / "sample_aircraft");
    return bin / "simhost";
}

// Width of a PNG picture, from its header.
uint32_t PngWidth(const fs::path& file) {
    const std::string bytes = ReadFile(file);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return 0;
    uint32_t w = 0;
    for (int i = 16; i < 20; ++i) w = (w << 8) | static_cast<unsigned char>(bytes[i]);
    return w;
}

// Only output options: the demonstration still flies and takes its pictures
// into the folder given, at twice the panel's size, with one page showing
// them all; any other option makes a plain flight.
TEST(SimhostTellsTheUser, OutputOptionsKeepTheDemonstration) {
    TempDir tmp;
    const fs::path simhost = PrivateSimhost(tmp.path());
    const fs::path out = tmp.path() / "D";
    const ProcessResult demo = RunProgram(simhost, {"--out", out.string(), "--quiet"});
    ASSERT_EQ(demo.exit_code, 0) << demo.err;
    const fs::path shots = out / "snapshots";
    EXPECT_TRUE(fs::exists(shots / "cold-and-dark.json"));
    EXPECT_TRUE(fs::exists(shots / "cdu-flight-plan-Main_Panel.png"));
    EXPECT_TRUE(fs::exists(shots / "cdu-flight-plan-FMS-w04.png"));
    // The main panel is 1370 units wide.
    EXPECT_EQ(PngWidth(shots / "engines-running-Main_Panel.png"), 2740u);
    const nlohmann::json state = ReadJson(out / "state.json");
    EXPECT_EQ(state["scenario"]["file"], "demo.txt");
    EXPECT_EQ(state["scenario"]["failures"], 0);
    EXPECT_DOUBLE_EQ(state["simulated_seconds"].get<double>(), 78.0);

    // Every stage in the order flown, each with its windows' pictures.
    const std::string page = ReadFile(shots / "index.html");
    size_t at = 0;
    for (const char* stage : {"cold-and-dark", "on-batteries", "cdu-flight-plan",
                              "engines-starting", "engines-running"}) {
        const size_t heading = page.find("<h2>" + std::string(stage) + "</h2>", at);
        ASSERT_NE(heading, std::string::npos) << stage << " in order";
        at = heading;
        for (const char* window : {"Main_Panel", "Pedestal", "Overhead_Panel", "FMS-w04"}) {
            const std::string file = std::string(stage) + "-" + window + ".png";
            EXPECT_NE(page.find("src=\"./" + file + "\"", heading), std::string::npos) << file;
            EXPECT_TRUE(fs::exists(shots / file)) << file;
        }
    }
    EXPECT_EQ(page.find("<script"), std::string::npos);

    const fs::path plain = tmp.path() / "P";
    const ProcessResult flight = RunProgram(simhost, {"--out", plain.string(), "--seconds", "1"});
    ASSERT_EQ(flight.exit_code, 0) << flight.err;
    EXPECT_FALSE(ReadJson(plain / "state.json").contains("scenario"));
    EXPECT_FALSE(fs::exists(plain / "snapshots"));
}

// A scenario's snapshots: each window's picture named by its title (made a
// file name, kept apart from its namesakes and from the gauges' surface
// pictures), and the folder's page showing both snapshots in order, each
// picture under its window's title.
TEST(SimhostTellsTheUser, SnapshotPicturesAreNamedByWindowTitleAndShownOnOnePage) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const fs::path panel = tmp.path() / "panel.cfg";
    WriteFile(panel,
              "[Window Titles]\n"
              "Window00=Main Panel\n"
              "Window01=Main Panel\n"
              "Window02=FMS\n"
              "Window03=Lights & <Switches>\n"
              "\n"
              "[Window00]\nsize_mm=200,100\ngauge00=ZeveridUvo!maingauge, 0, 0, 25\n"
              "gauge01=ZeveridUvo!battery_panel, 0, 0, 200, 100\n"
              "[Window01]\nsize_mm=200,100\ngauge00=ZeveridUvo!Torque1, 0, 0, 100\n"
              "[Window02]\nsize_mm=300,300\ngauge00=ZeveridUvo!FMS, 0, 0, 300, 300\n"
              "[Window03]\nsize_mm=100,100\ngauge00=ZeveridUvo!Torque2, 0, 0, 100\n"
              "[Window04]\nsize_mm=100,100\ngauge00=ZeveridUvo!Oil1, 0, 0, 100\n");
    const fs::path scenario = tmp.path() / "two.txt";
    WriteFile(scenario, "at 0.5 snapshot first\nat 1 snapshot second\nat 1.5 snapshot first\n");
    const fs::path shots = tmp.path() / "shots";
    const ProcessResult r = RunSimhost({"--aircraft", aircraft.string(), "--panel", panel.string(),
                                        "--scenario", scenario.string(), "--snapshot-dir",
                                        shots.string(), "--scale", "0.5", "--quiet"});
    ASSERT_EQ(r.exit_code, 0) << r.err;

    const std::vector<std::pair<std::string, std::string>> windows = {
        {"Main Panel", "Main_Panel"},
        {"Main Panel", "Main_Panel-w01"},
        {"FMS", "FMS-w02"},
        {"Lights &amp; &lt;Switches&gt;", "Lights____Switches_"},
        {"", "w04"}};  // no title: the file's name is its caption
    const std::string page = ReadFile(shots / "index.html");
    // Taken again, "first" keeps its place before "second".
    const size_t first = page.find("<h2>first</h2>");
    const size_t second = page.find("<h2>second</h2>");
    ASSERT_NE(first, std::string::npos) << page;
    ASSERT_NE(second, std::string::npos) << page;
    EXPECT_LT(first, second);
    EXPECT_EQ(page.find("<h2>first</h2>", first + 1), std::string::npos);
    for (const auto& [stage, begin, end] :
         {std::tuple{"first", first, second}, std::tuple{"second", second, page.size()}}) {
        const std::string section = page.substr(begin, end - begin);
        size_t at = 0;
        for (const auto& [title, name] : windows) {
            const std::string file = std::string(stage) + "-" + name + ".png";
            EXPECT_GT(PngWidth(shots / file), 0u) << file;
            const size_t img = section.find("<img src=\"./" + file + "\"", at);
            ASSERT_NE(img, std::string::npos) << file << " in panel order\n" << section;
            at = img;
            const std::string caption = title.empty() ? file : title;
            EXPECT_NE(section.find("<figcaption>" + caption + "</figcaption>", img),
                      std::string::npos)
                << caption;
        }
    }
    for (const auto& entry : fs::directory_iterator(shots))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

// Environment variables unset for one test and restored after it.
class Unset {
  public:
    explicit Unset(std::vector<std::string> names) : names_(std::move(names)) {
        for (const std::string& n : names_) {
            const char* v = std::getenv(n.c_str());
            saved_.emplace_back(v != nullptr, v != nullptr ? v : "");
            ::unsetenv(n.c_str());
        }
    }
    ~Unset() {
        for (size_t i = 0; i < names_.size(); ++i) {
            if (saved_[i].first) ::setenv(names_[i].c_str(), saved_[i].second.c_str(), 1);
        }
    }

  private:
    std::vector<std::string> names_;
    std::vector<std::pair<bool, std::string>> saved_;
};

TEST(SimhostTellsTheUser, WindowWithoutADisplaySaysSoInOneLine) {
    const Unset no_display({"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
    TempDir tmp;
    const ProcessResult r = RunSimhost({"--window", "--out", (tmp.path() / "o").string()});
    EXPECT_EQ(r.exit_code, simhost::kExitNoDisplay);
    EXPECT_EQ(r.err, "simhost: no display: --window needs a desktop; use --out for pictures\n");
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_FALSE(fs::exists(tmp.path() / "o"));
}

// The window mode lives in a plug-in that simhost loads only for --window:
// with a (screenless) display the flight runs in its windows to its end (a
// plug-in that cannot be loaded fails the run).
TEST(SimhostTellsTheUser, TheWindowModeFliesFromItsPlugIn) {
    if (!fs::exists(SimhostExe().parent_path() / "simhost_window.so")) {
        GTEST_SKIP() << "built without the window mode";
    }
    const Unset other_displays({"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TempDir tmp;
    const ProcessResult r =
        RunSimhost({"--window", "--seconds", "1", "--out", (tmp.path() / "o").string()});
    ::unsetenv("QT_QPA_PLATFORM");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.out.find("simhost: 30 frames, 1 s"), std::string::npos) << r.out;
    EXPECT_EQ(r.err.find("cannot load"), std::string::npos) << r.err;
}

// A scenario naming a gauge that is not on the panel stops simhost before
// the flight (no state file, no log of a start), with the file and line;
// a command after the flight's end is told on stderr and the flight goes on.
TEST(SimhostTellsTheUser, ScenarioIsCheckedAgainstThePanelBeforeTheFlight) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const fs::path scenario = tmp.path() / "typo.txt";
    WriteFile(scenario,
              "at 1 click battery_panel 3\n"
              "at 30 click NoSuchGauge 1\n"
              "at 31 click battery_panel 99\n");
    const fs::path out = tmp.path() / "out";
    const ProcessResult bad = RunSimhost(
        {"--aircraft", aircraft.string(), "--scenario", scenario.string(), "--out", out.string()});
    EXPECT_EQ(bad.exit_code, simhost::kExitUsage);
    EXPECT_NE(bad.err.find("typo.txt:2: click: gauge 'NoSuchGauge' is not on the panel"),
              std::string::npos)
        << bad.err;
    EXPECT_NE(bad.err.find("typo.txt:3: "), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("no rectangle 99"), std::string::npos) << bad.err;
    EXPECT_FALSE(fs::exists(out / "state.json"));
    EXPECT_EQ(ReadFile(out / "simhost.log").find("start: "), std::string::npos);

    WriteFile(scenario, "at 1 click battery_panel 3\nat 30 snapshot late\n");
    const ProcessResult late =
        RunSimhost({"--aircraft", aircraft.string(), "--scenario", scenario.string(), "--seconds",
                    "2", "--state-json", (tmp.path() / "s.json").string()});
    EXPECT_EQ(late.exit_code, 0) << late.err;
    EXPECT_NE(late.err.find("typo.txt:2: at 30 s: snapshot late: after the flight's end at 2 s"),
              std::string::npos)
        << late.err;
}

// The progress line, on a clock the test moves: nothing for the first five
// seconds of wall time, then at most one report a second with the simulated
// time, the speed and the time left.
int64_t g_fake_ns = 0;
int64_t FakeClock() {
    return g_fake_ns;
}

TEST(SimhostProgress, ALongRunReportsOnceASecondAfterFiveSeconds) {
    // A 600 s flight at 30 frames a second, 0.5 ms of wall time a frame: 9 s.
    std::ostringstream out;
    g_fake_ns = 1000;
    simhost::ProgressLine progress(out, 600, false, FakeClock);
    std::vector<uint64_t> report_frames;
    for (int f = 1; f <= 18000; ++f) {
        g_fake_ns += 500000;
        const uint64_t before = progress.reports();
        progress.Frame(f / 30.0);
        if (progress.reports() != before) report_frames.push_back(f);
    }
    progress.Finish();
    EXPECT_EQ(report_frames, (std::vector<uint64_t>{10000, 12000, 14000, 16000, 18000}));
    const std::string text = out.str();
    std::istringstream lines(text);
    std::string first;
    ASSERT_TRUE(std::getline(lines, first));
    // 10000 frames: 333 s simulated in 5 s, 66.7 times real time, 267 s left
    // at that speed, 4 s of wall time.
    EXPECT_EQ(first,
              "simhost: simulated 333 s of 600 s (56 %), 66.7x real time, ends in about 4 s");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);

    // On a terminal the line is rewritten in place and ended once.
    std::ostringstream tty;
    g_fake_ns = 0;
    simhost::ProgressLine live(tty, 0, true, FakeClock);
    g_fake_ns = 6000000000;
    live.Frame(100);
    live.Finish();
    EXPECT_EQ(tty.str(), "\rsimhost: simulated 100 s, 16.7x real time   \n");

    // A run shorter than five seconds says nothing.
    std::ostringstream quick;
    g_fake_ns = 0;
    simhost::ProgressLine short_run(quick, 600, true, FakeClock);
    for (int f = 1; f <= 18000; ++f) {
        g_fake_ns += 200000;
        short_run.Frame(f / 30.0);
    }
    short_run.Finish();
    EXPECT_TRUE(quick.str().empty());
}

// The program prints it on its own: a real-time 600 s flight passes five
// seconds of wall time.
TEST(SimhostProgress, ALongFlightPrintsProgressOnStderr) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    Background sim({"--aircraft", aircraft.string(), "--realtime", "--seconds", "600", "--out",
                    (tmp.path() / "out").string(), "--no-audio"},
                   true);
    ASSERT_TRUE(sim.WaitForOutput("simhost: simulated ")) << sim.output();
    ASSERT_TRUE(sim.WaitForOutput(" s of 600 s (")) << sim.output();
    EXPECT_NE(sim.output().find("x real time, ends in about "), std::string::npos) << sim.output();
    sim.Signal(SIGINT);
    EXPECT_EQ(sim.Wait(), 130);
}

// The state file's summary tells what the instructor has failed, as the
// module's instructor link answers at the end of the flight.
struct LinkFlight {
    ProcessResult run;
    nlohmann::json state;
};
LinkFlight FlyWithLink(const fs::path& dir, const std::string& scenario_text,
                       std::vector<std::string> more = {}) {
    fs::create_directories(dir);
    const fs::path aircraft = CopySampleAircraft(dir);
    const fs::path scenario = dir / "instructor.txt";
    WriteFile(scenario, scenario_text);
    std::vector<std::string> args = {
        "--aircraft",      aircraft.string(), "--scenario",
        scenario.string(), "--seconds",       "3",
        "--no-audio",      "--state-json",    (dir / "state.json").string()};
    args.insert(args.end(), more.begin(), more.end());
    if (std::find(more.begin(), more.end(), "--link-port") == more.end()) {
        args.insert(args.end(), {"--link-port", "0"});
    }
    LinkFlight f;
    f.run = RunSimhost(args);
    f.state = ReadJson(dir / "state.json");
    return f;
}

nlohmann::json Failure(int group, int index, nlohmann::json name, int state,
                       std::vector<std::string> failures) {
    return {{"group", group},
            {"index", index},
            {"name", std::move(name)},
            {"state", state},
            {"failures", std::move(failures)}};
}

TEST(SimhostInstructorFailures, TheSummaryListsWhatTheInstructorLeftFailed) {
    TempDir tmp;
    const LinkFlight f = FlyWithLink(tmp.path(),
                                     "at 1 instructor 3 0 8\n"      // elevators free floating
                                     "at 1 instructor 4 7 40\n"     // engine 1: fire, hot start
                                     "at 1 instructor 5 21 255\n"   // left DC generator
                                     "at 1 instructor 1 3 3\n"      // EDP 1: leak, inoperative
                                     "at 1 instructor 4 11 1234\n"  // an oil refill: no failure
                                     "at 1 instructor 1 19 80\n"    // leak rate: no failure
                                     "at 1 instructor 10 0 255\n"   // failed ...
                                     "at 2 instructor 10 0 0\n"     // ... and restored
                                     "at 3 instructor 3 2 4\n");    // in the very last frame
    ASSERT_EQ(f.run.exit_code, 0) << f.run.err;
    const nlohmann::json& summary = f.state.at("summary");
    // In group and index order; the second elevator fails with the first.
    const nlohmann::json expected = {
        Failure(1, 3, nullptr, 3, {"leak", "inoperative"}),
        Failure(3, 0, "elevator 1", 8, {"free floating"}),
        Failure(3, 1, "elevator 2", 8, {"free floating"}),
        Failure(3, 2, "rudder", 4, {"fully deflect right"}),
        Failure(4, 7, "engine 1", 40, {"fire", "hot start"}),
        Failure(5, 21, "left DC gen", 255, {"failed"}),
    };
    EXPECT_EQ(summary.at("instructor_failures"), expected) << summary.dump(2);
    EXPECT_TRUE(summary.at("instructor_failures_reason").is_null());
    // Asking takes no frame of the flight.
    EXPECT_EQ(f.state.at("frames"), 90);
    EXPECT_DOUBLE_EQ(f.state.at("simulated_seconds").get<double>(), 3.0);
}

TEST(SimhostInstructorFailures, NoneSetOrAllClearedIsAnEmptyList) {
    TempDir tmp;
    const LinkFlight cleared = FlyWithLink(tmp.path() / "a",
                                           "at 1 instructor 5 23 255\n"
                                           "at 1 instructor 4 21 768\n"
                                           "at 1 instructor 3 3 64\n"
                                           "at 2 instructor 5 23 0\n"
                                           "at 2 instructor 4 21 0\n"
                                           "at 2 instructor 3 3 0\n");
    ASSERT_EQ(cleared.run.exit_code, 0) << cleared.run.err;
    EXPECT_EQ(cleared.state.at("summary").at("instructor_failures"), nlohmann::json::array())
        << cleared.state.at("summary").dump(2);

    const LinkFlight none = FlyWithLink(tmp.path() / "b", "# no instructor\n");
    ASSERT_EQ(none.run.exit_code, 0) << none.run.err;
    EXPECT_EQ(none.state.at("summary").at("instructor_failures"), nlohmann::json::array())
        << none.state.at("summary").dump(2);
    EXPECT_TRUE(none.state.at("summary").at("instructor_failures_reason").is_null());
}

TEST(SimhostInstructorFailures, OnTheRealClockTheLinkAnswersToo) {
    TempDir tmp;
    const LinkFlight f =
        FlyWithLink(tmp.path(), "at 0.5 instructor 5 14 255\n", {"--realtime", "--seconds", "1"});
    ASSERT_EQ(f.run.exit_code, 0) << f.run.err;
    EXPECT_EQ(f.state.at("summary").at("instructor_failures"),
              nlohmann::json::array({Failure(5, 14, "TRU 1", 255, {"failed"})}))
        << f.state.at("summary").dump(2);
}

// Without a link the failures are unknown, not "none".
TEST(SimhostInstructorFailures, WithoutALinkTheSummarySaysWhyTheyAreUnknown) {
    TempDir tmp;
    const int holder = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(holder, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(holder, 1), 0);
    ASSERT_EQ(::getsockname(holder, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string port = std::to_string(ntohs(address.sin_port));
    const LinkFlight f =
        FlyWithLink(tmp.path(), "# no instructor\n", {"--link-port", port, "--seconds", "1"});
    ::close(holder);
    ASSERT_EQ(f.run.exit_code, 0) << f.run.err;
    const nlohmann::json& summary = f.state.at("summary");
    EXPECT_TRUE(summary.at("instructor_failures").is_null()) << summary.dump(2);
    EXPECT_EQ(summary.at("instructor_failures_reason"), "the module hosts no instructor link");
}

// A stop signal interrupts a call that waits, rather than having it
// restarted: an open that hangs (here on a named pipe nobody writes, opened
// as a plain blocking open would) returns, so the flight can end. Run in a
// child process, whose stop request stays its own.
TEST(SimhostStop, AStopSignalInterruptsACallThatWaits) {
    TempDir tmp;
    const fs::path fifo = tmp.path() / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        simhost::InstallStopSignals();
        std::atomic<int> result{1};  // 1: still waiting
        std::thread opener([&] {
            const int fd = ::open(fifo.c_str(), O_RDONLY);
            result = fd < 0 && errno == EINTR ? 0 : 2;
        });
        ::usleep(200000);
        ::pthread_kill(opener.native_handle(), SIGTERM);
        for (int i = 0; i < 200 && result == 1; ++i) ::usleep(10000);
        if (result == 1) {  // let the open go, so the child ends
            const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            opener.join();
            ::_exit(writer >= 0 ? 3 : 4);
        }
        opener.join();
        ::_exit(result == 0 && simhost::StopSignal() == SIGTERM ? 0 : 5);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "3: the open was restarted and went on waiting";
}

// A link that never answers: a host of the test's own whose handler holds
// the link's thread at the first message, as a link stuck for good would.
// While it is held no message is taken in and no connection answered.
class StuckLink {
  public:
    // `on_message` (may be empty) runs when the first message has come,
    // before the thread is held.
    explicit StuckLink(std::function<void()> on_message = {})
        : released_(release_.get_future().share()), host_(platform::CreateSessionHost()) {
        platform::SessionLimits limits;
        ok_ = host_->Host(
                  0, platform::kInstructorAppId,
                  [this, on_message](platform::SessionEvent event, platform::PlayerId,
                                     const uint8_t*, size_t) {
                      if (event != platform::SessionEvent::Message) return;
                      if (on_message) on_message();
                      released_.wait();
                  },
                  limits) == platform::kSessionOk;
    }
    ~StuckLink() {
        release_.set_value();
        host_->Close();
    }
    bool ok() const { return ok_; }

  private:
    std::promise<void> release_;
    std::shared_future<void> released_;
    std::unique_ptr<platform::SessionHost> host_;
    bool ok_ = false;
};

// How long `body` takes to return once the stop is asked (the flag it is
// given is raised `before_stop` after it starts); `returned_early` when it
// returned before that.
template <typename Body>
std::chrono::milliseconds StopLatency(Body body, std::chrono::milliseconds before_stop,
                                      bool* returned_early) {
    std::atomic<bool> stop{false};
    std::future<void> done =
        std::async(std::launch::async, [&] { body([&stop] { return stop.load(); }); });
    *returned_early = done.wait_for(before_stop) == std::future_status::ready;
    const auto asked = std::chrono::steady_clock::now();
    stop = true;
    done.wait();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 asked);
}

// A SIGINT or SIGTERM ends a run within 2 s wherever it waits: the
// `instructor` verb's waits for a link that does not take its message or
// does not answer at all, and the end-of-flight failure query's. Each gives
// up within about half a second of the stop and says why.
TEST(SimhostStop, AStopEndsEveryWaitForALinkThatNeverAnswers) {
    ASSERT_TRUE(platform::HostedSessions().empty()) << "another link is hosted here";
    StuckLink link;
    ASSERT_TRUE(link.ok());
    const simhost::ScenarioVerb* verb = nullptr;
    for (const simhost::ScenarioVerb& v : simhost::ScenarioVerbs())
        if (v.name == "instructor") verb = &v;
    ASSERT_NE(verb, nullptr);
    std::string error;
    const simhost::ScenarioAction action = verb->parse({"3", "0", "8"}, &error);
    ASSERT_TRUE(action) << error;
    simhost::Simulator sim(simhost::SimulatorConfig{});

    // The message is sent; the link never takes it in.
    bool early = false;
    bool ok = true;
    std::string said;
    auto instructor = [&](std::function<bool()> stop) {
        simhost::ScenarioContext ctx{sim, nullptr, std::move(stop)};
        ok = action(ctx, &said);
    };
    std::chrono::milliseconds latency = StopLatency(instructor, 300ms, &early);
    EXPECT_FALSE(early) << said;
    EXPECT_LT(latency, 1500ms);
    EXPECT_FALSE(ok);
    EXPECT_NE(said.find("not taken: the run was stopped"), std::string::npos) << said;

    // The link's thread is held now: the next connection is never answered.
    latency = StopLatency(instructor, 300ms, &early);
    EXPECT_FALSE(early) << said;
    EXPECT_LT(latency, 1500ms);
    EXPECT_FALSE(ok);
    EXPECT_NE(said.find("cannot connect to the instructor link on port"), std::string::npos)
        << said;
    EXPECT_NE(said.find("(the run was stopped)"), std::string::npos) << said;

    simhost::InstructorFailures failures;
    latency = StopLatency(
        [&](std::function<bool()> stop) { failures = simhost::AskInstructorFailures(stop); }, 300ms,
        &early);
    EXPECT_FALSE(early) << failures.unknown;
    EXPECT_LT(latency, 1500ms);
    EXPECT_FALSE(failures.active.has_value());
    EXPECT_NE(failures.unknown.find("the run was stopped before the instructor link"),
              std::string::npos)
        << failures.unknown;
}

// A stop that comes while the end-of-flight failure query waits cuts the
// query short, and the run ends as a stopped one: 143 for SIGTERM, its
// event log saying so, the failures unknown and why. Without the module's
// link (no FSUIPC) the query finds the stuck link of the test, which sends
// the signal when the query's first request arrives. In a child process,
// whose stop request stays its own.
TEST(SimhostStop, AStopDuringTheEndOfFlightQueryEndsTheRunAsStopped) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const fs::path out = tmp.path() / "out";
    const pid_t pid = ::fork();
    if (pid == 0) {
        simhost::InstallStopSignals();
        platform::SetSessionHostPort(-1);
        StuckLink link([] { ::kill(::getpid(), SIGTERM); });
        if (!link.ok() || platform::HostedSessions().size() != 1) ::_exit(90);
        const std::vector<std::string> args = {
            "simhost",     "--aircraft", aircraft.string(), "--seconds", "0.2",
            "--no-fsuipc", "--no-audio", "--quiet",         "--out",     out.string()};
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        std::ostringstream said;
        const int code =
            simhost::SimhostMain(static_cast<int>(argv.size()), argv.data(), said, said);
        ::_exit(code == 143 ? 0 : code == 0 ? 91 : 92);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "91: the stopped run ended with 0";
    const nlohmann::json summary = ReadJson(out / "state.json").at("summary");
    EXPECT_TRUE(summary.at("instructor_failures").is_null());
    EXPECT_NE(summary.at("instructor_failures_reason")
                  .get<std::string>()
                  .find("the run was stopped before the instructor link"),
              std::string::npos)
        << summary.at("instructor_failures_reason");
    const std::string log = ReadFile(out / "simhost.log");
    EXPECT_NE(log.find(": stopped by SIGTERM\n"), std::string::npos);
    EXPECT_NE(log.find(": stop\n"), std::string::npos);
}

}  // namespace
}  // namespace zu::e2e
