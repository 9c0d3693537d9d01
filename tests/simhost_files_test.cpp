// Files a user may leave where the module and simhost expect their files: a
// named pipe, a folder that cannot be written, a damaged navigation file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace zu::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Far beyond a short flight's time, so that a run that waits for ever is
// killed and the test fails instead of hanging.
constexpr RunLimits kBounded{60s, false};
constexpr RunLimits kBoundedUnprivileged{60s, true};

nlohmann::json ProblemsOf(const nlohmann::json& state, const fs::path& file) {
    nlohmann::json found = nlohmann::json::array();
    for (const nlohmann::json& p : state.at("load_problems"))
        if (p.at("file") == file.string()) found.push_back(p);
    return found;
}

// Lines of `text` that hold `needle`.
size_t LinesWith(const std::string& text, const std::string& needle) {
    std::istringstream in(text);
    size_t n = 0;
    for (std::string line; std::getline(in, line);) n += line.find(needle) != std::string::npos;
    return n;
}

// A named pipe in place of the settings file or of a WAV file holds no
// flight: each is named in the state file as not a regular file, the pipe
// stays a pipe, and the flight runs to its end.
TEST(SimhostFiles, ANamedPipeForTheSettingsOrAWavFileIsNamedAndTheFlightFinishes) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const fs::path ini = aircraft / "ini" / "Kvx4f700.ini";
    const fs::path wav = aircraft / "sound" / "click_switch_small.wav";
    ASSERT_EQ(::mkfifo(ini.c_str(), 0644), 0);
    ASSERT_TRUE(fs::remove(wav));
    ASSERT_EQ(::mkfifo(wav.c_str(), 0644), 0);
    const fs::path state = tmp.path() / "state.json";
    const ProcessResult r = RunSimhost(
        {"--aircraft", aircraft.string(), "--seconds", "2", "--state-json", state.string()},
        kBounded);
    ASSERT_FALSE(r.timed_out) << "simhost waited on a named pipe";
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const nlohmann::json s = ReadJson(state);
    EXPECT_EQ(s.at("frames"), 60);
    for (const fs::path& pipe : {ini, wav}) {
        const nlohmann::json problems = ProblemsOf(s, pipe);
        ASSERT_FALSE(problems.empty()) << pipe << "\n" << s.at("load_problems");
        EXPECT_EQ(problems[0].at("what"), "not a regular file (a named pipe)");
        EXPECT_TRUE(fs::is_fifo(pipe));
        EXPECT_EQ(LinesWith(r.err, "load problem: " + pipe.string() + ": not a regular file"), 1u)
            << r.err;
    }
}

// simhost's own inputs: a named pipe (or a folder) given as the start-up
// flight, the scenario, the panel configuration or the world file is
// refused at once with the input's usual exit code, and the message says
// it is not a regular file.
TEST(SimhostFiles, SimhostsOwnInputsThatAreNotRegularFilesAreRefusedAtOnce) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const fs::path pipe = tmp.path() / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const std::vector<std::string> base = {"--aircraft",   aircraft.string(),
                                           "--seconds",    "1",
                                           "--state-json", (tmp.path() / "s.json").string()};
    struct Case {
        std::vector<std::string> more;
        int code;
        std::string says;
    };
    const Case cases[] = {
        {{"--flight", pipe.string()},
         4,
         "saved flight " + pipe.string() + " is not a regular file"},
        {{"--flight", tmp.path().string()}, 4, " is not a regular file"},
        {{"--scenario", pipe.string()}, 2, "not a regular file (a named pipe)"},
        {{"--panel", pipe.string()},
         4,
         "panel configuration " + pipe.string() + " is not a regular file (a named pipe)"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = base;
        args.insert(args.end(), c.more.begin(), c.more.end());
        const ProcessResult r = RunSimhost(args, kBounded);
        ASSERT_FALSE(r.timed_out) << c.more[0] << " waited on a named pipe";
        EXPECT_EQ(r.exit_code, c.code) << c.more[0] << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.more[0] << ": " << r.err;
        EXPECT_LT(r.took, 20s) << c.more[0];
    }
    // The world beside the FMS files.
    const fs::path world = aircraft / "FMS" / "stations.txt";
    fs::remove(world);
    ASSERT_EQ(::mkfifo(world.c_str(), 0644), 0);
    const ProcessResult r = RunSimhost(base, kBounded);
    ASSERT_FALSE(r.timed_out) << "the world file was waited on";
    EXPECT_EQ(r.exit_code, 4) << r.err;
    EXPECT_NE(r.err.find(world.string() + ": not a regular file (a named pipe)"), std::string::npos)
        << r.err;
}

// A settings folder the flight cannot write (as the unprivileged user: root
// writes any folder): the settings pass's failed writes are one load
// problem, told on one line of stderr. Without an "ini" folder at all the
// same pass is the ordinary case and nothing is said.
TEST(SimhostFiles, ASettingsFolderThatCannotBeWrittenIsOneProblemAndAMissingOneIsSilent) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const fs::path ini = aircraft / "ini" / "Kvx4f700.ini";
    const fs::path state = tmp.path() / "state.json";
    const std::vector<std::string> args = {"--aircraft", aircraft.string(), "--seconds",
                                           "2",          "--state-json",    state.string()};
    ASSERT_NO_FATAL_FAILURE(GiveToUnprivileged(tmp.path()));
    ASSERT_EQ(::chmod((aircraft / "ini").c_str(), 0555), 0);
    const ProcessResult r = RunSimhost(args, kBoundedUnprivileged);
    ::chmod((aircraft / "ini").c_str(), 0755);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const nlohmann::json problems = ProblemsOf(ReadJson(state), ini);
    ASSERT_EQ(problems.size(), 1u) << problems;
    EXPECT_EQ(problems[0].at("what"), "not written: Permission denied");
    EXPECT_GT(problems[0].at("count").get<int>(), 1);  // every key of the pass
    EXPECT_EQ(LinesWith(r.err, ini.string()), 1u) << r.err;
    EXPECT_FALSE(fs::exists(ini));

    fs::remove_all(aircraft / "ini");
    const ProcessResult quiet = RunSimhost(args, kBoundedUnprivileged);
    ASSERT_EQ(quiet.exit_code, 0) << quiet.err;
    EXPECT_TRUE(ProblemsOf(ReadJson(state), ini).empty());
    EXPECT_EQ(LinesWith(quiet.err, "Kvx4f700.ini"), 0u) << quiet.err;
}

// The sample waypoint file carries no variation, so each flight completes
// it into "Fmswpt2.dat". An FMS folder that cannot be written keeps the
// copy an earlier flight made byte for byte, and says so; a waypoint file
// cut short is named with its partial record and gives no copy at all.
TEST(SimhostFiles, TheCompletedWaypointCopyIsNeverWrittenFromADamagedFileOrInPlace) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const fs::path fms = aircraft / "FMS";
    const fs::path copy = fms / "Fmswpt2.dat";
    const fs::path state = tmp.path() / "state.json";
    const std::vector<std::string> args = {"--aircraft", aircraft.string(), "--seconds",
                                           "1",          "--state-json",    state.string()};
    const std::string old = "an earlier flight's completed copy";
    WriteFile(copy, old);
    ASSERT_NO_FATAL_FAILURE(GiveToUnprivileged(tmp.path()));
    ASSERT_EQ(::chmod(copy.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(fms.c_str(), 0555), 0);
    const ProcessResult locked = RunSimhost(args, kBoundedUnprivileged);
    ::chmod(fms.c_str(), 0755);
    ASSERT_EQ(locked.exit_code, 0) << locked.err;
    EXPECT_TRUE(ReadFile(copy) == old) << "the old copy was rewritten";
    const nlohmann::json problems = ProblemsOf(ReadJson(state), copy);
    ASSERT_EQ(problems.size(), 1u) << ReadJson(state).at("load_problems");
    EXPECT_EQ(problems[0].at("what"), "not written: Permission denied");

    // 55-byte records: cutting 20 bytes off the last leaves 35 of it.
    const fs::path waypoints = fms / "Fmswpt.dat";
    const auto size = static_cast<uintmax_t>(fs::file_size(waypoints));
    ASSERT_EQ(size % 55, 0u);
    fs::resize_file(waypoints, size - 20);
    fs::remove(copy);
    const ProcessResult cut = RunSimhost(args, kBounded);
    ASSERT_EQ(cut.exit_code, 0) << cut.err;
    const uintmax_t last = size / 55 - 1;
    const nlohmann::json damaged = ProblemsOf(ReadJson(state), waypoints);
    ASSERT_EQ(damaged.size(), 1u) << ReadJson(state).at("load_problems");
    EXPECT_EQ(damaged[0].at("what"), "damaged: record " + std::to_string(last) + " (from byte " +
                                         std::to_string(last * 55) + ") is cut: 35 of 55 bytes");
    EXPECT_FALSE(fs::exists(copy));
}

}  // namespace
}  // namespace zu::e2e
