// Saved flights in a running module: the stand-in saves and loads flights as
// the simulator does, the module adds and restores its own section.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/ahrs.h"
#include "core/electrical_system.h"
#include "core/flight_persistence.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/ice_protection.h"
#include "e2e_support.h"
#include "module_state.h"
#include "zu/platform/ini_file.h"
#include "zu/platform/paths.h"
#include "zu/simhost/saved_flights.h"
#include "zu/simhost/simulator.h"

namespace zu::e2e {
namespace {

namespace fs = std::filesystem;
using simhost::Simulator;
using simhost::SimulatorConfig;

class SavedFlight : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();
        ClearElectrics();
        aircraft_ = CopySampleAircraft(tmp_.path());
        documents_ = tmp_.path() / "Documents";
    }
    void TearDown() override {
        if (sim_) sim_->Stop();
        ClearElectrics();
        platform::SetDocumentsFolder("");
    }
    static void ClearElectrics() {
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
        ElectricsDefaultsDone = 0;
    }

    void Start(const fs::path& flight = {}) {
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.documents_dir = documents_;
        cfg.flight_file = flight;
        sim_ = std::make_unique<Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) sim_->RunFrame();
    }
    // Runs frames until the load sequence has ended (at most 30 s).
    void UntilLoaded() {
        for (int i = 0; i < 900 && FlightLoadCounter < kFlightLoadDone; ++i) sim_->RunFrame();
    }

    fs::path Flt(const std::string& name) const {
        return documents_ / simhost::kSavedFlightsFolder / (name + ".FLT");
    }
    static std::string Win(const fs::path& p) { return platform::FromHostPath(p.string()); }
    static std::string Value(const fs::path& file, const char* section, const char* key) {
        char buf[2048];
        platform::GetPrivateProfileString(section, key, "", buf, sizeof buf, Win(file).c_str());
        return buf;
    }
    static std::vector<std::string> Sections(const fs::path& file) {
        std::vector<std::string> out;
        for (const IniEntry& e : ReadIniEntries(file)) {
            if (out.empty() || out.back() != e.section) out.push_back(e.section);
        }
        return out;
    }

    // A flight as an earlier session saved it: the stand-in's sections, the
    // module's keys and, when `probe`, the powerplant key the load asks for.
    fs::path SavedFlightFile(bool probe) {
        const fs::path file = Flt("Earlier");
        simhost::SavedFlight f;
        f.title = "Earlier";
        f.latitude = 46.5;
        f.longitude = 11.25;
        f.altitude_ft = 1200;
        f.heading = 270;
        std::string error;
        EXPECT_TRUE(simhost::WriteSavedFlight(file, f, &error)) << error;
        ElectricsRecord record{};
        std::memcpy(&record, &Electrics_sys, sizeof record);
        record.bytes[AuxBatterySwitch.offset] = 0x5A;  // a switch word no step rewrites
        const std::string path = Win(file);
        platform::WritePrivateProfileStruct(kFlightSection, "Electrics_sys", record.bytes,
                                            kElectricsRecordSize, path.c_str());
        const int32_t on = 255;
        platform::WritePrivateProfileStruct(kFlightSection, "Antiice_sys_pitot1_ice_sw", &on, 4,
                                            path.c_str());
        if (probe) {
            const int32_t ign = 1;
            platform::WritePrivateProfileStruct(kFlightSection, "Powerplants_engine_ign1", &ign, 4,
                                                path.c_str());
        }
        return file;
    }

    TempDir tmp_;
    fs::path aircraft_;
    fs::path documents_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(SavedFlight, SaveAfterTheLoadAddsTheModuleSection) {
    ASSERT_NO_FATAL_FAILURE(Start());
    UntilLoaded();
    EXPECT_EQ(FlightLoadCounter, kFlightLoadFailed);  // no flight loaded: nothing to restore
    Antiice_sys_pitot2_ice_sw = 255;

    std::string error;
    ASSERT_TRUE(sim_->SaveFlight("Circuit", &error)) << error;
    Frames(60);  // the save counter is polled every 16th pass; ten ticks of groups

    const fs::path file = Flt("Circuit");
    EXPECT_EQ(Sections(file), (std::vector<std::string>{"Main", "Position", "zodudori"}));
    EXPECT_EQ(Value(file, "Main", "Title"), "Circuit");
    EXPECT_EQ(Value(file, "Position", "OnGround"), "1");
    EXPECT_EQ(Value(file, "zodudori", "Electrics_sys").size(), 1552u);
    EXPECT_EQ(Value(file, "zodudori", "Antiice_sys_pitot2_ice_sw"), "FF000000FF");
    char name[128];
    sim_->fsuipc().Peek(0x0400, name, sizeof name);
    EXPECT_STREQ(name, "Circuit");

    // A save rewrites the file fresh; the module writes its section again.
    ASSERT_TRUE(sim_->SaveFlight("Circuit", &error)) << error;
    EXPECT_EQ(Sections(file), (std::vector<std::string>{"Main", "Position"}));
    Frames(60);
    EXPECT_EQ(Sections(file), (std::vector<std::string>{"Main", "Position", "zodudori"}));

    EXPECT_FALSE(sim_->SaveFlight("..\\elsewhere", &error));
}

TEST_F(SavedFlight, StartUpFlightIsRestoredFourTimes) {
    const fs::path file = SavedFlightFile(true);
    ASSERT_NO_FATAL_FAILURE(Start(file));
    EXPECT_NEAR(sim_->model().state().latitude, 46.5, 1e-9);
    EXPECT_NEAR(sim_->model().state().heading_true, 270, 1e-9);

    std::vector<int> restored_at;  // the counter after each restore
    for (int i = 0; i < 900 && FlightLoadCounter < kFlightLoadDone; ++i) {
        sim_->RunFrame();
        if (Antiice_sys_pitot1_ice_sw == 255) {
            restored_at.push_back(FlightLoadCounter);
            Antiice_sys_pitot1_ice_sw = 0;
        }
    }
    EXPECT_EQ(restored_at, (std::vector<int>{3, 67, 131, 195}));
    EXPECT_EQ(FlightLoadCounter, kFlightLoadDone);
    EXPECT_EQ(AuxBatterySwitch.get(), 0x5A);
    EXPECT_STREQ(LoadedFlightPath, Win(file).c_str());
    Frames(100);
    EXPECT_EQ(FlightLoadCounter, kFlightLoadDone);

    // The loading window was opened during the load and is closed again.
    bool opened = false;
    for (const auto& call : sim_->PanelWindowCalls()) opened |= call.ident == kLoadingPanelWindow;
    EXPECT_TRUE(opened);
    EXPECT_EQ(sim_->OpenPanelWindows().count(kLoadingPanelWindow), 0u);
}

TEST_F(SavedFlight, FlightWithoutProbeIsRestoredOnce) {
    ASSERT_NO_FATAL_FAILURE(Start(SavedFlightFile(false)));
    UntilLoaded();
    EXPECT_EQ(FlightLoadCounter, kFlightLoadFailed);
    EXPECT_EQ(Antiice_sys_pitot1_ice_sw, 255);
    EXPECT_EQ(AuxBatterySwitch.get(), 0x5A);
}

TEST_F(SavedFlight, AFlightWithoutTheModulesKeysLoadsWithBothAhrsAligned) {
    // Saved by the simulator alone: its own sections, none of the module's.
    const fs::path file = Flt("Plain");
    simhost::SavedFlight f;
    f.title = "Plain";
    std::string error;
    ASSERT_TRUE(simhost::WriteSavedFlight(file, f, &error)) << error;
    // The aircraft powered from the first tick, so the AHRS keep what the
    // load gives them.
    BatteryMasterSwitch.set(255);
    MainBatterySwitch.set(255);
    ASSERT_NO_FATAL_FAILURE(Start(file));
    UntilLoaded();
    ASSERT_EQ(FlightLoadCounter, kFlightLoadFailed);
    // Far sooner than a power-up alignment (167 powered passes).
    ASSERT_LT(sim_->ticks(), 60u);
    for (const AhrsRecord* a : {&Ahrs1, &Ahrs2}) {
        EXPECT_EQ(+a->powered, 1);
        EXPECT_EQ(+a->aligned, 1);
        EXPECT_EQ(+a->align_countdown, 0);
    }
}

TEST_F(SavedFlight, SaveDuringTheLoadIsNeverWritten) {
    ASSERT_NO_FATAL_FAILURE(Start(SavedFlightFile(true)));
    Frames(60);
    ASSERT_LT(FlightLoadCounter, kFlightLoadTicks);
    std::string error;
    ASSERT_TRUE(sim_->SaveFlight("During", &error)) << error;
    UntilLoaded();
    Frames(60);
    EXPECT_EQ(Sections(Flt("During")), (std::vector<std::string>{"Main", "Position"}));
}

TEST_F(SavedFlight, ProgramSavesIntoItsOutputFolderAndLoadsAFlight) {
    const fs::path out = tmp_.path() / "out";
    const fs::path scenario = tmp_.path() / "save.txt";
    WriteFile(scenario, "at 1 save-flight Circuit\nat 1.5 joystick x 4096\n");
    ProcessResult r = RunSimhost({"--aircraft", aircraft_.string(), "--seconds", "3", "--out",
                                  out.string(), "--scenario", scenario.string()});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const fs::path saved = out / "Documents" / simhost::kSavedFlightsFolder / "Circuit.FLT";
    EXPECT_EQ(Sections(saved), (std::vector<std::string>{"Main", "Position", "zodudori"}));

    r = RunSimhost({"--aircraft", aircraft_.string(), "--seconds", "1", "--out", out.string(),
                    "--flight", saved.string(), "--joystick", "none"});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    r = RunSimhost({"--aircraft", aircraft_.string(), "--seconds", "1", "--out", out.string(),
                    "--flight", (tmp_.path() / "missing.FLT").string()});
    EXPECT_EQ(r.exit_code, 4);
    r = RunSimhost({"--joystick", "wheel"});
    EXPECT_EQ(r.exit_code, 2);
    WriteFile(scenario, "at 1 joystick x 20000\n");
    r = RunSimhost(
        {"--aircraft", aircraft_.string(), "--out", out.string(), "--scenario", scenario.string()});
    EXPECT_EQ(r.exit_code, 2);
}

// A flight file as the module leaves it: the stand-in's sections and the
// module's groups.
std::string SavedWithModuleGroups(const fs::path& file) {
    simhost::SavedFlight f;
    f.title = "Base";
    f.latitude = 46.5;
    std::string error;
    EXPECT_TRUE(simhost::WriteSavedFlight(file, f, &error)) << error;
    std::string text = ReadFile(file) + "[zodudori]\n";
    for (int i = 0; i < 60; ++i)
        text += "Key" + std::to_string(i) + "=" + std::string(48, 'A') + "\n";
    WriteFile(file, text);
    return text;
}

TEST(SavedFlightFile, AFailedSaveLeavesTheOldFileWhole) {
    TempDir tmp;
    const fs::path file = tmp.path() / "Base.FLT";
    const std::string old = SavedWithModuleGroups(file);
    // A disk that takes no more than 16 bytes per file: the save must fail
    // and say why, and the old file must stay as it was.
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(90);
        simhost::SavedFlight f;
        f.title = "Base";
        std::string error;
        const bool saved = simhost::WriteSavedFlight(file, f, &error);
        ::_exit(!saved && error.find("Base.FLT") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFile(file), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path()), fs::directory_iterator{}), 1);
}

TEST(SavedFlightFile, AKilledSaveLeavesTheOldFileOrTheNewOneWhole) {
    TempDir tmp;
    const fs::path file = tmp.path() / "Base.FLT";
    simhost::SavedFlight a;
    a.title = "Base";
    simhost::SavedFlight b = a;
    b.latitude = -33.25;
    b.on_ground = false;
    std::string error;
    ASSERT_TRUE(simhost::WriteSavedFlight(tmp.path() / "a", a, &error)) << error;
    ASSERT_TRUE(simhost::WriteSavedFlight(tmp.path() / "b", b, &error)) << error;
    const std::string a_text = ReadFile(tmp.path() / "a");
    const std::string b_text = ReadFile(tmp.path() / "b");
    pid_t killed = 0;
    for (int run = 0; run < 20; ++run) {
        const std::string old = SavedWithModuleGroups(file);
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            // Saves without end; the parent kills it somewhere inside one.
            for (int i = 0;; ++i) {
                if (i == 1 + run % 3 && ::write(ready[1], "x", 1) != 1) ::_exit(1);
                std::string ignored;
                simhost::WriteSavedFlight(file, i % 2 == 0 ? a : b, &ignored);
            }
        }
        char c;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        killed = pid;
        ::close(ready[0]);
        ::close(ready[1]);
        const std::string now = ReadFile(file);
        EXPECT_TRUE(now == old || now == a_text || now == b_text) << "run " << run << ":\n" << now;
    }
    // The killed writers' temporary files go with the next save; a running
    // writer's (this process's) and names that only look alike stay.
    const fs::path ours = tmp.path() / ("Base.FLT.tmp" + std::to_string(::getpid()) + "-7");
    const fs::path alike = tmp.path() / "Base.FLT.tmp12ab";
    std::ofstream(tmp.path() / ("Base.FLT.tmp" + std::to_string(killed))) << "x";
    std::ofstream(ours) << "x";
    std::ofstream(alike) << "x";
    std::string error2;
    ASSERT_TRUE(simhost::WriteSavedFlight(file, a, &error2)) << error2;
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(tmp.path()))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"a", "b", "Base.FLT", ours.filename().string(),
                                           "Base.FLT.tmp12ab"}));
}

}  // namespace
}  // namespace zu::e2e
