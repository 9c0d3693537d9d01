#include "fms/nav_database.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fms/cdu_engine.h"
#include "fms/fms_test_support.h"
#include "zu/platform/load_problems.h"

namespace zu {
namespace {

using fms_test::FmsFolder;
using navdb::MakeRunway;
using navdb::MakeWaypoint;

class NavDatabaseTest : public ::testing::Test {
  protected:
    void SetUp() override { fms_test::ResetFlightManagement(); }
    void TearDown() override { fms_test::ResetFlightManagement(); }

    void LoadWaypoints(const std::vector<WaypointRecord>& records) {
        ASSERT_TRUE(navdb::WriteRecords(folder_ / "Fmswpt.dat", records));
        LoadWaypointDatabase();
    }
    void WriteProcedures(const char* table_text) {
        navdb::Table t;
        std::string error;
        ASSERT_TRUE(navdb::ParseTable(table_text, &t, &error)) << error;
        ASSERT_TRUE(navdb::WriteRecords(folder_ / "Fmstrm.dat", t.legs));
    }
    std::vector<int32_t> Results() const {
        return {WaypointSearchResults.index,
                WaypointSearchResults.index + WaypointSearchResults.count};
    }
    FmsFolder folder_;
};

WaypointRecord Wpt(const char* ident, double lat, double lon, char type = 'I',
                   double variation = 1.5) {
    WaypointRecord w = MakeWaypoint(type, ident, "LI", lat, lon);
    w.variation = variation;
    return w;
}

TEST_F(NavDatabaseTest, IdentifierSearchIsOrderedByCoordinateSumWithTiesInFileOrder) {
    LoadWaypoints({Wpt("ABC", 46.0, 10.0), Wpt("XYZ", 45.0, 10.0), Wpt("ABC", 45.5, 10.0),
                   Wpt("ABC", 45.0, 10.5), Wpt("ABC", 45.0, 9.5), Wpt("ABC", 44.5, 10.0)});
    FmsPosition = {45.0, 10.0};
    CduPage = 8;
    CduSubPage = 2;
    LookupWaypoint("ABC", 0, 0.0, 0.0);
    // 2, 3, 4, 5 are all 0.5 away (a plain sum, no great circle): file order.
    EXPECT_EQ(Results(), (std::vector<int32_t>{2, 3, 4, 5, 0}));
    EXPECT_DOUBLE_EQ(WaypointSearchResults.proximity[4], 1.0);
    EXPECT_EQ(CduPage, kCduPageWaypointSelect);
    EXPECT_EQ(CduReturnPage, 8);
    EXPECT_EQ(CduReturnSubPage, 2);
    // Nothing found: the page stays.
    CduPage = 8;
    LookupWaypoint("NONE", 0, 0.0, 0.0);
    EXPECT_EQ(WaypointSearchResults.count, 0);
    EXPECT_EQ(CduPage, 8);
    // Identifiers match exactly and case-sensitively.
    SearchWaypoints("abc", 0, 0.0, 0.0);
    EXPECT_EQ(WaypointSearchResults.count, 0);
    SearchWaypoints("AB", 0, 0.0, 0.0);
    EXPECT_EQ(WaypointSearchResults.count, 0);
}

TEST_F(NavDatabaseTest, PositionWindowTypeFilterAndCap) {
    std::vector<WaypointRecord> records = {
        Wpt("IN1", 45.19, 10.19, 'V'), Wpt("OUT", 45.25, 10.0, 'V'), Wpt("OUT", 45.0, 9.75, 'V'),
        Wpt("IN2", 44.81, 9.81, 'N'), Wpt("APT", 45.0, 10.0, 'A')};
    for (int i = 0; i < 60; ++i) records.push_back(Wpt("MANY", 45.0 + i * 0.001, 10.0, 'I'));
    LoadWaypoints(records);
    SearchWaypoints(nullptr, 'V', 45.0, 10.0);
    EXPECT_EQ(Results(), (std::vector<int32_t>{0}));
    SearchWaypoints(nullptr, 0, 45.0, 10.0);
    ASSERT_EQ(WaypointSearchResults.count, kWaypointSearchMax);
    EXPECT_EQ(Results()[0], 0);
    EXPECT_EQ(Results()[1], 3);
    EXPECT_EQ(Results()[44], 46);
    // Latitude 0.0 switches the window off.
    SearchWaypoints("OUT", 0, 0.0, 10.0);
    EXPECT_EQ(Results(), (std::vector<int32_t>{1, 2}));
}

TEST_F(NavDatabaseTest, MissingOrEmptyFilesGiveNoDatabase) {
    LoadWaypointDatabase();
    EXPECT_EQ(WaypointDatabase, nullptr);
    EXPECT_EQ(WaypointDatabaseCount, 0);
    SearchWaypoints(nullptr, 0, 0.0, 0.0);
    EXPECT_EQ(WaypointSearchResults.count, 0);
    ASSERT_TRUE(navdb::WriteBytes(folder_ / "Fmswpt.dat", "", 0));
    LoadWaypointDatabase();
    EXPECT_EQ(WaypointDatabase, nullptr);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "Fmswpt2.dat"));
    char airport[8] = "LIPO";
    ReadRunways(airport);
    EXPECT_EQ(RunwayList.count, 0);
    ReadTerminalProcedures(airport, nullptr, nullptr, 0, 0);
    EXPECT_EQ(ProcedureNameList.count, 0);
}

TEST_F(NavDatabaseTest, VariationsAreComputedWhenRecordZeroHasNone) {
    ASSERT_TRUE(MagVarFileOpenPath(ZU_SAMPLE_COEFFICIENTS));
    // Record 0 has none, record 1 has one: both are computed.
    std::vector<WaypointRecord> records = {Wpt("A", 45.0, 10.0, 'I', 0.0),
                                           Wpt("B", 44.0, 11.0, 'I', 7.0), Wpt("C", 43.0, 12.0)};
    ASSERT_TRUE(navdb::WriteRecords(folder_ / "Fmswpt.dat", records));
    LoadWaypointDatabase();
    ASSERT_EQ(WaypointDatabaseCount, 3);
    EXPECT_EQ(+WaypointDatabase[0].variation, MagneticVariationAt(45.0, 10.0, 0.0, 1993.0));
    EXPECT_EQ(+WaypointDatabase[1].variation, MagneticVariationAt(44.0, 11.0, 0.0, 1993.0));
    const std::string written = [&] {
        std::ifstream in(folder_ / "Fmswpt2.dat", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }();
    ASSERT_EQ(written.size(), 3 * sizeof(WaypointRecord));
    EXPECT_EQ(std::memcmp(written.data(), WaypointDatabase, written.size()), 0);
    // With a variation in record 0 nothing is written.
    std::filesystem::remove(folder_ / "Fmswpt2.dat");
    records[0].variation = 2.0;
    LoadWaypoints(records);
    EXPECT_EQ(+WaypointDatabase[1].variation, 7.0);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "Fmswpt2.dat"));
}

TEST_F(NavDatabaseTest, RunwaysOfOneAirportUpToTheCap) {
    std::vector<RunwayRecord> rw;
    for (int i = 0; i < 40; ++i) {
        char d[4];
        std::snprintf(d, sizeof d, "%02d", i);
        rw.push_back(MakeRunway(i % 2 == 0 ? "LIPO" : "LIPE", d));
    }
    rw.push_back(MakeRunway("", "XX"));
    for (int i = 0; i < 40; ++i) rw.push_back(MakeRunway("LIPO", "ZZ"));
    ASSERT_TRUE(navdb::WriteRecords(folder_ / "Fmsrwy.dat", rw));
    char airport[8] = "LIPO";
    ReadRunways(airport);
    ASSERT_EQ(RunwayList.count, kRunwayListMax);
    EXPECT_STREQ(RunwayList.runways[0].designator, "00");
    EXPECT_STREQ(RunwayList.runways[19].designator, "38");
    EXPECT_STREQ(RunwayList.runways[20].designator, "ZZ");
    char dash[8] = "-";
    ReadRunways(dash);
    EXPECT_EQ(dash[0], '\0');
    ASSERT_EQ(RunwayList.count, 1);
    EXPECT_STREQ(RunwayList.runways[0].designator, "XX");
}

constexpr const char* kProcedures = R"(
apt LIPO 45.4 10.3 355
wpt AAA LI 45.1 10.1
wpt BBB LI 45.2 10.2
leg kind=1 route=2 proc=STAR1 apt=LIPO fix=AAA
leg kind=1 route=2 proc=STAR2 apt=LIPO fix=BBB
leg kind=1 route=2 proc=STAR1 apt=LIPO fix=BBB
leg kind=1 route=3 proc=STAR1 trans=AAA apt=LIPO fix=AAA
leg kind=1 route=1 proc=STAR1 trans=RW14 apt=LIPO fix=BBB
leg kind=3 route=A proc=I14 trans=AAA apt=LIPO fix=AAA
leg kind=3 route=I proc=I14 apt=LIPO fix=BBB path=6
leg kind=2 route=2 proc=SID1 apt= fix=AAA
)";

TEST_F(NavDatabaseTest, ProcedureNamesAreCachedAndOnlyNeighbourRepeatsDrop) {
    WriteProcedures(kProcedures);
    char apt[8] = "LIPO", proc[8] = "", trans[8] = "";
    ReadTerminalProcedures(apt, proc, trans, 1, 0);
    // STAR1, STAR2, STAR1 (from the common route), then nothing new.
    ASSERT_EQ(ProcedureNameList.count, 3);
    EXPECT_STREQ(ProcedureNameList.entries[0].name, "STAR1");
    EXPECT_STREQ(ProcedureNameList.entries[1].name, "STAR2");
    EXPECT_STREQ(ProcedureNameList.entries[2].name, "STAR1");
    EXPECT_STREQ(ProcedureNameList.entries[2].airport, "LIPO");
    // The same question does not read the file again.
    std::filesystem::remove(folder_ / "Fmstrm.dat");
    ProcedureNameList.count = 7;
    ReadTerminalProcedures(apt, proc, trans, 1, 0);
    EXPECT_EQ(ProcedureNameList.count, 7);
    // Another mask does.
    ReadTerminalProcedures(apt, proc, trans, 1, 4);
    EXPECT_EQ(ProcedureNameList.count, 0);
    WriteProcedures(kProcedures);
    char star[8] = "STAR1";
    ReadTerminalProcedures(apt, star, trans, 1, 4);
    ASSERT_EQ(ProcedureNameList.count, 1);
    EXPECT_STREQ(ProcedureNameList.entries[0].name, "AAA");
}

TEST_F(NavDatabaseTest, ProcedureLegsFollowTheMatchRule) {
    WriteProcedures(kProcedures);
    ASSERT_TRUE(MagVarFileOpenPath(ZU_SAMPLE_COEFFICIENTS));
    char apt[8] = "LIPO", star[8] = "STAR1", trans[8] = "RW1";
    // Route '1' matches on the first three transition characters.
    ReadProcedureLegs(&WorkLegsA, apt, star, trans, 1, 1);
    ASSERT_EQ(WorkLegsA.count, 1u);
    EXPECT_EQ(+WorkLegsA.legs[0].route_type, '1');
    EXPECT_EQ(+WorkLegsA.legs[0].leg_id, 100005u);  // the file's identifier
    EXPECT_EQ(+WorkLegsA.legs[0].fix_variation, MagneticVariationAt(45.2, 10.2, 1050.0, 1993.0));
    // Approach: bit 0 the transitions, bit 1 the final legs; a final leg of
    // path type 6 without a fix position stays type 6.
    char app[8] = "I14", none[8] = "";
    ReadProcedureLegs(&WorkLegsA, apt, app, none, 3, 1);
    ASSERT_EQ(WorkLegsA.count, 1u);
    EXPECT_EQ(+WorkLegsA.legs[0].route_type, 'A');
    ReadProcedureLegs(&WorkLegsA, apt, app, none, 3, 2);
    ASSERT_EQ(WorkLegsA.count, 1u);
    EXPECT_EQ(+WorkLegsA.legs[0].route_type, 'I');
    // An airport of "-" matches an empty airport and empties the caller's
    // field.
    char dash[8] = "-", sid[8] = "SID1";
    ReadProcedureLegs(&WorkLegsA, dash, sid, none, 2, 0);
    EXPECT_EQ(dash[0], '\0');
    ASSERT_EQ(WorkLegsA.count, 1u);
    EXPECT_EQ(+WorkLegsA.legs[0].list_kind, 2);
}

TEST_F(NavDatabaseTest, ProcedureLegsStopAtTheCap) {
    std::string table = "wpt AAA LI 45.1 10.1\n";
    for (int i = 0; i < 120; ++i) table += "leg kind=2 route=2 proc=P apt=LIPO fix=AAA\n";
    WriteProcedures(table.c_str());
    char apt[8] = "LIPO", p[4] = "P", none[2] = "";
    ReadProcedureLegs(&WorkLegsC, apt, p, none, 2, 0);
    EXPECT_EQ(WorkLegsC.count, kProcedureLegsMax);
}

TEST_F(NavDatabaseTest, TextsStayWithinTheirFields) {
    // A record whose identifier fills its field to the last byte.
    WaypointRecord w = Wpt("X", 45.0, 10.0);
    std::memset(w.ident, 'Q', sizeof w.ident);
    std::memset(w.region, 'R', sizeof w.region);
    w.type = 'A';
    LoadWaypoints({w});
    SearchWaypoints("QQQQQQQQQQQQ", 0, 0.0, 0.0);
    ASSERT_EQ(WaypointSearchResults.count, 1);
    LegRecord leg{};
    WaypointToLeg(WaypointDatabase[0], &leg);
    EXPECT_EQ(std::string(leg.ident), "QQQQQQQQQQQQ");
    EXPECT_EQ(std::string(leg.airport), "RRRR");
    EXPECT_EQ(+leg.annotation_kind, 2);
    EXPECT_NE(+leg.leg_id, 0u);
    EXPECT_NE(+leg.leg_id, 9999u);
}

// ---------------------------------------------------------------------------
// Damaged files

// The problems recorded for one file of the FMS folder.
std::vector<platform::LoadProblem> ProblemsOf(const std::filesystem::path& file) {
    std::vector<platform::LoadProblem> found;
    for (const platform::LoadProblem& p : platform::LoadProblems())
        if (p.file == file.string()) found.push_back(p);
    return found;
}

void Append(const std::filesystem::path& file, const std::string& bytes) {
    std::FILE* f = std::fopen(file.c_str(), "ab");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

class DamagedNavFilesTest : public NavDatabaseTest {
  protected:
    void SetUp() override {
        NavDatabaseTest::SetUp();
        platform::ClearLoadProblems();
    }
    void TearDown() override {
        platform::ClearLoadProblems();
        NavDatabaseTest::TearDown();
    }
};

// Three whole 55-byte records and 20 bytes of a fourth: the whole records
// load (their variations computed), the cut one is named by its index and
// first byte, and no completed copy is made of the damaged file.
TEST_F(DamagedNavFilesTest, ACutWaypointFileNamesItsPartialRecordAndWritesNoCopy) {
    ASSERT_TRUE(MagVarFileOpenPath(ZU_SAMPLE_COEFFICIENTS));
    ASSERT_TRUE(navdb::WriteRecords(
        folder_ / "Fmswpt.dat",
        std::vector<WaypointRecord>{Wpt("A", 45.0, 10.0, 'I', 0.0), Wpt("B", 44.0, 11.0),
                                    Wpt("C", 43.0, 12.0)}));
    Append(folder_ / "Fmswpt.dat", std::string(20, 'x'));
    LoadWaypointDatabase();
    ASSERT_EQ(WaypointDatabaseCount, 3);
    EXPECT_EQ(+WaypointDatabase[2].variation, MagneticVariationAt(43.0, 12.0, 0.0, 1993.0));
    const std::vector<platform::LoadProblem> problems = platform::LoadProblems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].file, (folder_ / "Fmswpt.dat").string());
    EXPECT_EQ(problems[0].what, "damaged: record 3 (from byte 165) is cut: 20 of 55 bytes");
    EXPECT_FALSE(std::filesystem::exists(folder_ / "Fmswpt2.dat"));

    // Shorter than one record: nothing to load, the same report.
    platform::ClearLoadProblems();
    ASSERT_TRUE(navdb::WriteBytes(folder_ / "Fmswpt.dat", "AB", 2));
    LoadWaypointDatabase();
    EXPECT_EQ(WaypointDatabase, nullptr);
    ASSERT_EQ(ProblemsOf(folder_ / "Fmswpt.dat").size(), 1u);
    EXPECT_EQ(ProblemsOf(folder_ / "Fmswpt.dat")[0].what,
              "damaged: record 0 (from byte 0) is cut: 2 of 55 bytes");
}

// A text filling its field to the last byte, a latitude beyond the pole
// and a longitude that is no number: the first of them in file order is
// the one named; the database is still the file's four records.
TEST_F(DamagedNavFilesTest, TheFirstDamagedWaypointRecordIsNamedAndTheRestStillLoads) {
    WaypointRecord no_nul = Wpt("B", 44.0, 11.0);
    std::memset(no_nul.region, 'R', sizeof no_nul.region);
    LoadWaypoints(
        {Wpt("A", 45.0, 10.0), no_nul, Wpt("C", 91.0, 12.0), Wpt("D", 40.0, std::nan(""))});
    EXPECT_EQ(WaypointDatabaseCount, 4);
    std::vector<platform::LoadProblem> problems = ProblemsOf(folder_ / "Fmswpt.dat");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].what,
              "damaged: record 1 (from byte 55): the region has no NUL within its 6 bytes");

    platform::ClearLoadProblems();
    LoadWaypoints({Wpt("A", 45.0, 10.0), Wpt("C", -90.5, 12.0)});
    problems = ProblemsOf(folder_ / "Fmswpt.dat");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].what,
              "damaged: record 1 (from byte 55): the latitude -90.5 is out of range");

    platform::ClearLoadProblems();
    LoadWaypoints({Wpt("A", 45.0, 180.0), Wpt("D", 40.0, std::nan(""))});
    problems = ProblemsOf(folder_ / "Fmswpt.dat");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].what,
              "damaged: record 1 (from byte 55): the longitude nan is not finite");

    // The edges of the ranges are whole records.
    platform::ClearLoadProblems();
    LoadWaypoints({Wpt("N", 90.0, -180.0), Wpt("S", -90.0, 180.0)});
    EXPECT_TRUE(platform::LoadProblems().empty());
}

// The runway and procedure files are read on every query: each damaged one
// is one problem, met again at each read, and the queries still answer from
// the records that are there.
TEST_F(DamagedNavFilesTest, DamagedRunwayAndProcedureFilesAreOneProblemEachAndStillAnswer) {
    RunwayRecord full = MakeRunway("LIPO", "");
    std::memcpy(full.designator, "09LX", 4);
    ASSERT_TRUE(navdb::WriteRecords(
        folder_ / "Fmsrwy.dat",
        std::vector<RunwayRecord>{MakeRunway("LIPO", "14"), full, MakeRunway("LIPO", "32")}));
    Append(folder_ / "Fmsrwy.dat", std::string(10, '\0'));
    char airport[8] = "LIPO";
    ReadRunways(airport);
    ReadRunways(airport);
    ASSERT_EQ(RunwayList.count, 3);
    EXPECT_STREQ(RunwayList.runways[2].designator, "32");
    std::vector<platform::LoadProblem> problems = ProblemsOf(folder_ / "Fmsrwy.dat");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].what,
              "damaged: record 1 (from byte 29): the designator has no NUL within its 4 bytes");
    EXPECT_EQ(problems[0].count, 2u);

    // Two 208-byte legs, the second ending at an infinite latitude, then
    // 100 bytes of a third.
    navdb::Table t;
    std::string error;
    ASSERT_TRUE(navdb::ParseTable(kProcedures, &t, &error)) << error;
    std::vector<LegRecord> legs(t.legs.begin(), t.legs.begin() + 2);
    legs[1].end_latitude = INFINITY;
    ASSERT_TRUE(navdb::WriteRecords(folder_ / "Fmstrm.dat", legs));
    Append(folder_ / "Fmstrm.dat", std::string(100, '\0'));
    char apt[8] = "LIPO", none[8] = "";
    ReadTerminalProcedures(apt, none, none, 1, 0);
    ASSERT_EQ(ProcedureNameList.count, 2);
    EXPECT_STREQ(ProcedureNameList.entries[1].name, "STAR2");
    problems = ProblemsOf(folder_ / "Fmstrm.dat");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].what,
              "damaged: record 1 (from byte 208): the end latitude inf is not finite");

    // Only the cut record left: it is named by its first byte.
    platform::ClearLoadProblems();
    legs.resize(1);
    ASSERT_TRUE(navdb::WriteRecords(folder_ / "Fmstrm.dat", legs));
    Append(folder_ / "Fmstrm.dat", std::string(100, '\0'));
    ReadProcedureLegs(&WorkLegsA, apt, none, none, 1, 0);
    EXPECT_EQ(WorkLegsA.count, 1u);
    problems = ProblemsOf(folder_ / "Fmstrm.dat");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].what, "damaged: record 1 (from byte 208) is cut: 100 of 208 bytes");
}

// An FMS folder that cannot be written (the copy is made beside the old
// one and renamed over it): the old "Fmswpt2.dat" stays byte for byte, the
// variations are still computed in memory, and a load problem says why.
TEST_F(DamagedNavFilesTest, AFolderThatCannotBeWrittenKeepsTheOldCompletedCopy) {
    ASSERT_TRUE(MagVarFileOpenPath(ZU_SAMPLE_COEFFICIENTS));
    ASSERT_TRUE(navdb::WriteRecords(
        folder_ / "Fmswpt.dat",
        std::vector<WaypointRecord>{Wpt("A", 45.0, 10.0, 'I', 0.0), Wpt("B", 44.0, 11.0)}));
    const std::string old = "a copy completed by an earlier run";
    ASSERT_TRUE(navdb::WriteBytes(folder_ / "Fmswpt2.dat", old.data(), old.size()));
    const std::string copy = (folder_ / "Fmswpt2.dat").string();
    ASSERT_EQ(::chmod(copy.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(folder_.path().c_str(), 0555), 0);
    const double expected = MagneticVariationAt(44.0, 11.0, 0.0, 1993.0);
    // (Root writes any folder: the load runs as an unprivileged user.)
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(90);
        LoadWaypointDatabase();
        if (WaypointDatabaseCount != 2 || WaypointDatabase[1].variation != expected) ::_exit(1);
        const std::vector<platform::LoadProblem> p = ProblemsOf(copy);
        ::_exit(p.size() == 1 && p[0].what == "not written: Permission denied" ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ::chmod(folder_.path().c_str(), 0700);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::ifstream in(copy, std::ios::binary);
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(in), {}) == old)
        << "the old copy was rewritten";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()),
                            std::filesystem::directory_iterator{}),
              2);
}

TEST(LegIds, AreUniqueAndNeverTheDiscontinuity) {
    std::vector<uint32_t> ids;
    for (int i = 0; i < 20000; ++i) ids.push_back(NewLegId());
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
    EXPECT_FALSE(std::binary_search(ids.begin(), ids.end(), 0u));
    EXPECT_FALSE(std::binary_search(ids.begin(), ids.end(), 9999u));
}

}  // namespace
}  // namespace zu
