#include "zu/platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <set>
#include <sstream>
#include <string>

#include "child_process.h"
#include "zu/platform/ini_file.h"
#include "zu/platform/load_problems.h"
#include "zu/platform/paths.h"
#include "zu/platform/riff_reader.h"

namespace zu::platform {
namespace {

namespace fs = std::filesystem;
using test_support::RunAsUnprivileged;
using test_support::RunWithFileSizeLimit;
using namespace std::chrono_literals;

class FilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char templ[] = "/tmp/zu_files_test_XXXXXX";
        ASSERT_NE(::mkdtemp(templ), nullptr);
        dir_ = templ;
        ClearLoadProblems();
    }
    void TearDown() override {
        ClearLoadProblems();
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_, ec);
    }
    std::string Host(const char* name) const { return (dir_ / name).string(); }
    std::string Windows(const char* name) const { return FromHostPath(Host(name)); }
    static std::string Read(const std::string& host) {
        std::ifstream in(host, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    static void Write(const std::string& host, const std::string& text) {
        std::ofstream(host, std::ios::binary) << text;
    }
    // The problems recorded for one host path.
    static std::vector<std::string> ProblemsOf(const std::string& host) {
        std::vector<std::string> whats;
        for (const LoadProblem& p : LoadProblems())
            if (p.file == host) whats.push_back(p.what);
        return whats;
    }

    fs::path dir_;
};

// Runs `body` on a thread of its own; true when it returned within `bound`.
// A body held by a named pipe that nobody writes is let go by opening the
// pipe's ends, so a failing test ends instead of hanging.
bool ReturnsWithin(std::chrono::milliseconds bound, const std::string& fifo,
                   std::function<void()> body) {
    std::packaged_task<void()> task(std::move(body));
    std::future<void> done = task.get_future();
    std::thread worker(std::move(task));
    const bool in_time = done.wait_for(bound) == std::future_status::ready;
    // A reader waiting in its open goes on once a writer has opened; the
    // writer gone, it reads the end of the file. (Each open of the body is
    // let go in turn.)
    while (done.wait_for(in_time ? 0ms : 100ms) != std::future_status::ready) {
        const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
        if (reader >= 0) ::close(reader);
    }
    worker.join();
    return in_time;
}

// A named pipe where a file is expected holds no reader: every layer that
// opens files for the module refuses it at once and records it by name; the
// settings layer then never writes it either.
TEST_F(FilesTest, ANamedPipeIsRefusedAtOnceByEveryFileLayer) {
    const std::string fifo = Host("Kvx4f700.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string windows = Windows("Kvx4f700.ini");

    bool opened = true;
    EXPECT_TRUE(ReturnsWithin(2s, fifo, [&] {
        File f;
        opened = f.Open(windows, "rb");
    }));
    EXPECT_FALSE(opened);
    EXPECT_TRUE(ReturnsWithin(2s, fifo, [&] {
        File f;
        opened = f.Open(windows, "r");
    }));
    EXPECT_FALSE(opened);
    MmioFile* wav = nullptr;
    EXPECT_TRUE(ReturnsWithin(2s, fifo, [&] { wav = MmioOpen(windows.c_str()); }));
    EXPECT_EQ(wav, nullptr);
    MmioClose(wav);
    uint32_t value = 0;
    bool written = true;
    EXPECT_TRUE(ReturnsWithin(2s, fifo, [&] {
        value = GetPrivateProfileInt("Dirarov", "STAMP", 0, windows.c_str());
        written = WritePrivateProfileString("Dirarov", "STAMP", "15", windows.c_str());
    }));
    EXPECT_EQ(value, 0u);
    EXPECT_FALSE(written);

    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the pipe was replaced";
    const std::vector<std::string> problems = ProblemsOf(fifo);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0], "not a regular file (a named pipe)");
    EXPECT_EQ(problems[1], "not written: the file cannot be read");

    // A folder where a file is expected is named as one.
    fs::create_directory(dir_ / "Fmswpt.dat");
    File f;
    EXPECT_FALSE(f.Open(Windows("Fmswpt.dat"), "rb"));
    EXPECT_EQ(ProblemsOf(Host("Fmswpt.dat")),
              std::vector<std::string>{"not a regular file (a folder)"});
}

// A whole-file write replaces the old file in one rename, keeps its mode,
// and leaves nothing beside it.
TEST_F(FilesTest, AWholeFileWriteReplacesTheFileAndLeavesNothingBeside) {
    const std::string file = Host("Fmswpt2.dat");
    ASSERT_TRUE(WriteWholeHostFile(file, "first", 5, true));
    EXPECT_EQ(Read(file), "first");
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    ASSERT_TRUE(WriteWholeHostFile(file, "the second", 10, false));
    EXPECT_EQ(Read(file), "the second");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_TRUE(WriteWholeFile(Windows("Fmswpt2.dat"), "", 0, false));
    EXPECT_EQ(Read(file), "");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator{}), 1);

    // A folder that is not there: nothing is made, and the step says why.
    const WholeFileWrite missing = WriteWholeHostFile(Host("none/x.dat"), "x", 1, false);
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.Describe(), "create: No such file or directory");
}

// A folder that cannot be written, and a disk that fills up during the
// write: the old file stays byte for byte, no temporary file stays beside
// it, and the module's form of the write records the reason.
TEST_F(FilesTest, AWriteThatCannotBeCompletedKeepsTheOldFileByteForByte) {
    const std::string file = Host("Fmswpt2.dat");
    const std::string old = "the completed database of an earlier run";
    Write(file, old);
    const std::string windows = Windows("Fmswpt2.dat");
    const std::string longer(4096, 'n');

    ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
    EXPECT_EQ(RunAsUnprivileged([&] {
                  if (WriteWholeFile(windows, longer.data(), longer.size(), true)) return 1;
                  const std::vector<std::string> p = ProblemsOf(file);
                  return p == std::vector<std::string>{"not written: Permission denied"} ? 0 : 2;
              }),
              0);
    ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
    EXPECT_EQ(Read(file), old);

    EXPECT_EQ(RunWithFileSizeLimit(100,
                                   [&] {
                                       const WholeFileWrite w = WriteWholeHostFile(
                                           file, longer.data(), longer.size(), true);
                                       return w.Describe() == "write: File too large" ? 0 : 1;
                                   }),
              0);
    EXPECT_EQ(Read(file), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator{}), 1);
}

// The settings write of a folder that cannot be written is a load problem
// (one, however many keys the pass writes); a missing folder stays silent,
// as the module's ordinary case without an "ini" folder.
TEST_F(FilesTest, ASettingsWriteThatFailsIsRecordedButAMissingFolderIsNot) {
    const std::string ini = Host("Kvx4f700.ini");
    const std::string windows = Windows("Kvx4f700.ini");
    ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
    EXPECT_EQ(RunAsUnprivileged([&] {
                  for (const char* key : {"STAMP", "EPIC", "SOUND_VOLUME"}) {
                      if (WritePrivateProfileString("Dirarov", key, "15", windows.c_str()))
                          return 1;
                  }
                  const std::vector<LoadProblem> p = LoadProblems();
                  if (p.size() != 1 || p[0].file != ini || p[0].count != 3) return 2;
                  return p[0].what == "not written: Permission denied" ? 0 : 3;
              }),
              0);
    ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
    EXPECT_FALSE(fs::exists(ini));

    // A full disk while the settings are rewritten: the old settings stay.
    Write(ini, "[Dirarov]\nSTAMP=15\n");
    EXPECT_EQ(RunWithFileSizeLimit(
                  8,
                  [&] {
                      if (WritePrivateProfileString("Dirarov", "EPIC", "0", windows.c_str()))
                          return 1;
                      const std::vector<LoadProblem> p = LoadProblems();
                      return p.size() == 1 && p[0].what == "not written: File too large" ? 0 : 2;
                  }),
              0);
    EXPECT_EQ(Read(ini), "[Dirarov]\nSTAMP=15\n");

    EXPECT_FALSE(
        WritePrivateProfileString("Dirarov", "STAMP", "15", Windows("ini/Kvx4f700.ini").c_str()));
    EXPECT_TRUE(LoadProblems().empty());
}

}  // namespace
}  // namespace zu::platform
