// simhost as a user meets it: stopped by a signal, and given bad files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "e2e_support.h"
#include "zu/simhost/panel_config.h"
#include "zu/simhost/saved_flights.h"

namespace zu::e2e {
namespace {

namespace fs = std::filesystem;

constexpr auto kBound = std::chrono::seconds(20);

// simhost running in the background, its standard output on a pipe.
class Background {
  public:
    explicit Background(const std::vector<std::string>& args) {
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
            ::dup2(null, 2);
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

    // Reads standard output until it holds `text` (bounded); false when the
    // program ended or the bound passed first.
    bool WaitForOutput(const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + kBound;
        while (output_.find(text) == std::string::npos) {
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
    EXPECT_NE(r.err.find("Altitude"), std::string::npos) << r.err;
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

}  // namespace
}  // namespace zu::e2e
