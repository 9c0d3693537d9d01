// The sample aircraft's whole flight, cold and dark to cold and dark, flown
// by its scenario through the simhost program in lockstep: the scenario's
// own checks at the end of each phase must hold, and the flight must last
// as long as the scenario says.
//
// The sanitizer build runs the flight's first phases only (the whole of it
// takes too long there): the commands up to the end of the instructor's
// pump failure, before the descent.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

namespace fs = std::filesystem;
using namespace zu::e2e;

// The end of the instructor's pump failure (phase 7), where the sanitizer
// build stops.
constexpr double kShortFlightEnd = 592.5;
// The whole flight lasts at least this long, simulated.
constexpr double kWholeFlightSeconds = 25 * 60;

// The scenario's lines whose time is at most `end` (comments and blank lines
// kept).
std::string LinesUpTo(const std::string& scenario, double end) {
    std::istringstream in(scenario);
    std::string line, out;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string at;
        double time = 0;
        if ((words >> at) && at == "at" && (words >> time) && time > end) continue;
        out += line + "\n";
    }
    return out;
}

std::string Failures(const nlohmann::json& state) {
    std::string text;
    for (const auto& c : state["scenario"]["commands"]) {
        if (c["ok"].get<bool>() && c["ran"].get<bool>()) continue;
        text += "line " + std::to_string(c["line"].get<int>()) + ": " +
                c["command"].get<std::string>() + ": " + c["message"].get<std::string>() + "\n";
    }
    return text;
}

TEST(WholeFlight, ColdAndDarkToColdAndDarkFlownFromTheCockpit) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    fs::path scenario = aircraft / "scenarios" / "whole-flight.txt";
    ASSERT_TRUE(fs::exists(scenario));
    const std::string text = ReadFile(scenario);
    // The crew's flight sets nothing behind the cockpit's back.
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string at, time, verb;
        if (!(words >> at >> time >> verb) || at != "at") continue;
        EXPECT_TRUE(verb != "var" && verb != "offset" && verb != "navaid") << line;
    }
    if (kSanitized) {
        scenario = tmp.path() / "first-phases.txt";
        WriteFile(scenario, LinesUpTo(text, kShortFlightEnd));
    }
    const fs::path out = tmp.path() / "out";
    const ProcessResult run =
        RunSimhost({"--aircraft", aircraft.string(), "--scenario", scenario.string(), "--out",
                    out.string(), "--link-port", "0", "--no-audio"});
    const nlohmann::json state = ReadJson(out / "state.json");
    EXPECT_EQ(run.exit_code, 0) << run.err << Failures(state);
    EXPECT_EQ(state["scenario"]["failures"].get<int>(), 0) << Failures(state);
    EXPECT_GE(state["simulated_seconds"].get<double>(),
              kSanitized ? kShortFlightEnd - 1 : kWholeFlightSeconds);
    if (kSanitized) return;
    // The landing: on LIPO's runway 14 at the field's 355 ft, gear down,
    // gently enough.
    const nlohmann::json& touchdown = state["aircraft"]["last_touchdown"];
    ASSERT_TRUE(touchdown.is_object()) << "no touchdown recorded";
    EXPECT_EQ(touchdown["airport"], "LIPO");
    EXPECT_EQ(touchdown["runway"], "14");
    EXPECT_NEAR(touchdown["altitude_ft"].get<double>(), 355.0, 5.0);
    EXPECT_TRUE(touchdown["gear_down"].get<bool>());
    EXPECT_GT(touchdown["vertical_speed_fpm"].get<double>(), -1000.0);
    EXPECT_FALSE(touchdown["crash"].get<bool>()) << touchdown["crash_reason"];
}

// The cockpit checks the flight leans on fail where the cockpit disagrees,
// and the instructor's message reaches a link moved to a free port.
TEST(WholeFlightChecks, FailWhereTheCockpitDisagrees) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const fs::path scenario = tmp.path() / "checks.txt";
    WriteFile(scenario,
              "at 1 expect lit Caution\n"                             // 1: dark, unpowered
              "at 1 expect lit Caution \"PARKING BRAKE\"\n"           // 2: not lit
              "at 1 expect shows DcMeterPanel 28.0\n"                 // 3: blank
              "at 1 expect element Master_Caution_Light 1 shown\n"    // 4: dark
              "at 1 expect element Master_Caution_Light 1 hidden\n"   // 5
              "at 1 expect element Master_Caution_Light 40 hidden\n"  // 6: no such element
              "at 1 expect played GPWS_minimums\n"                    // 7: never played
              "at 1 instructor 1 3 2\n");                             // 8: taken by the link
    const fs::path out = tmp.path() / "out";
    const ProcessResult run =
        RunSimhost({"--aircraft", aircraft.string(), "--scenario", scenario.string(), "--out",
                    out.string(), "--link-port", "0", "--no-audio", "--seconds", "2"});
    EXPECT_EQ(run.exit_code, 1) << run.err;
    const nlohmann::json state = ReadJson(out / "state.json");
    std::vector<int> failed;
    for (const auto& c : state["scenario"]["commands"]) {
        if (!c["ok"].get<bool>()) failed.push_back(c["line"].get<int>());
    }
    EXPECT_EQ(failed, (std::vector<int>{2, 3, 4, 6, 7})) << Failures(state);
    EXPECT_NE(run.err.find("Caution shows nothing"), std::string::npos) << run.err;
}

}  // namespace
