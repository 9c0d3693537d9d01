// simhost as a user meets it: stopped by a signal, and given bad files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "e2e_support.h"

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
    EXPECT_GT(state["frames"].get<int>(), 0);
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

}  // namespace
}  // namespace zu::e2e
