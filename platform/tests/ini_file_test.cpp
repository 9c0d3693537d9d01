#include "zu/platform/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>

#include "child_process.h"
#include "zu/platform/load_problems.h"
#include "zu/platform/paths.h"

namespace zu::platform {
namespace {

namespace fs = std::filesystem;
using test_support::RunAsUnprivileged;

class IniFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char templ[] = "/tmp/zu_ini_test_XXXXXX";
        ASSERT_NE(::mkdtemp(templ), nullptr);
        dir_ = templ;
        path_ = FromHostPath(dir_ + "/Settings.ini");
    }
    void TearDown() override { fs::remove_all(dir_); }

    void WriteRaw(const std::string& text) {
        std::ofstream out(ToHostPath(path_), std::ios::binary);
        out << text;
    }
    std::string ReadRaw() {
        std::ifstream in(ToHostPath(path_), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    std::string Get(const char* section, const char* key, const char* def = "<none>") {
        char buffer[256];
        GetPrivateProfileString(section, key, def, buffer, sizeof buffer, path_.c_str());
        return buffer;
    }

    std::string dir_;
    std::string path_;  // Windows-style
};

TEST_F(IniFileTest, IntegerReading) {
    WriteRaw(
        "[Main]\n"
        "positive=42\n"
        "negative=-5\n"
        "padded =   17  \n"
        "trailing=12abc\n"
        "plus=+7\n"
        "word=abc\n"
        "empty=\n"
        "minus_only=-\n");
    const char* p = path_.c_str();
    EXPECT_EQ(GetPrivateProfileInt("Main", "positive", 0, p), 42u);
    EXPECT_EQ(GetPrivateProfileInt("Main", "negative", 0, p), 0xFFFFFFFBu);
    EXPECT_EQ(static_cast<int32_t>(GetPrivateProfileInt("Main", "negative", 0, p)), -5);
    EXPECT_EQ(GetPrivateProfileInt("Main", "padded", 0, p), 17u);
    EXPECT_EQ(GetPrivateProfileInt("Main", "trailing", 0, p), 12u);
    EXPECT_EQ(GetPrivateProfileInt("Main", "plus", 0, p), 7u);
    EXPECT_EQ(GetPrivateProfileInt("Main", "word", 9, p), 9u);
    EXPECT_EQ(GetPrivateProfileInt("Main", "empty", 9, p), 9u);
    EXPECT_EQ(GetPrivateProfileInt("Main", "minus_only", 9, p), 9u);
    EXPECT_EQ(GetPrivateProfileInt("Main", "missing", 3, p), 3u);
    EXPECT_EQ(GetPrivateProfileInt("Main", "missing", -1, p), 0xFFFFFFFFu);
    EXPECT_EQ(GetPrivateProfileInt("Other", "positive", 5, p), 5u);
    EXPECT_EQ(GetPrivateProfileInt("Main", "positive", 5, "\\no\\such\\folder\\x.ini"), 5u);
}

TEST_F(IniFileTest, StringReadingDefaultAndTruncation) {
    WriteRaw("[S]\nname=  Hello World  \nquoted=\" padded \"\n; comment=no\n");
    EXPECT_EQ(Get("S", "name"), "Hello World");
    EXPECT_EQ(Get("S", "quoted"), " padded ");
    EXPECT_EQ(Get("S", "; comment"), "<none>");
    EXPECT_EQ(Get("S", "missing", "fallback"), "fallback");

    char small[6];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(GetPrivateProfileString("S", "name", "", small, sizeof small, path_.c_str()), 5u);
    EXPECT_STREQ(small, "Hello");
    char one[1] = {'x'};
    EXPECT_EQ(GetPrivateProfileString("S", "name", "", one, 1, path_.c_str()), 0u);
    EXPECT_EQ(one[0], '\0');
    char buffer[16];
    EXPECT_EQ(
        GetPrivateProfileString("S", "missing", nullptr, buffer, sizeof buffer, path_.c_str()), 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(GetPrivateProfileString("S", "missing", "0123456789ABCDEFGH", buffer, sizeof buffer,
                                      path_.c_str()),
              15u);
    EXPECT_STREQ(buffer, "0123456789ABCDE");
}

TEST_F(IniFileTest, CaseInsensitiveSectionsKeysAndTrailingBlanks) {
    WriteRaw("[ Axes ]\nelevator_axis_deadzone=3\naileron_axis_deadzone = 4\n");
    const char* p = path_.c_str();
    EXPECT_EQ(GetPrivateProfileInt("AXES", "ELEVATOR_AXIS_DEADZONE", 0, p), 3u);
    EXPECT_EQ(GetPrivateProfileInt("axes", "elevator_axis_deadzone ", 0, p), 3u);
    EXPECT_EQ(GetPrivateProfileInt("Axes", "aileron_axis_deadzone", 0, p), 4u);
    EXPECT_EQ(GetPrivateProfileInt(" Axes\t", "aileron_axis_deadzone ", 0, p), 4u);

    // Writing with a trailing-blank key replaces the existing key.
    ASSERT_TRUE(WritePrivateProfileString("axes", "elevator_axis_deadzone ", "8", p));
    EXPECT_EQ(ReadRaw(), "[ Axes ]\nelevator_axis_deadzone=8\naileron_axis_deadzone = 4\n");
    ASSERT_TRUE(WritePrivateProfileString("AXES", "Aileron_Axis_Deadzone", "9", p));
    EXPECT_EQ(ReadRaw(), "[ Axes ]\nelevator_axis_deadzone=8\naileron_axis_deadzone = 9\n");
}

TEST_F(IniFileTest, NulByteEndsAValue) {
    WriteRaw(std::string("[S]\nk=ab\0cd \n", 13));
    char buffer[16];
    EXPECT_EQ(GetPrivateProfileString("S", "k", "", buffer, sizeof buffer, path_.c_str()), 2u);
    EXPECT_STREQ(buffer, "ab");
}

TEST_F(IniFileTest, FirstOccurrenceWins) {
    WriteRaw("[A]\nk=1\nk=2\n[A]\nk=3\nj=4\n");
    EXPECT_EQ(Get("A", "k"), "1");
    EXPECT_EQ(Get("A", "j"), "<none>");
}

TEST_F(IniFileTest, WritesKeepOrder) {
    WriteRaw(
        "; settings\n"
        "[First]\n"
        "a=1\n"
        "b=2\n"
        "\n"
        "[Second]\n"
        "c=3\n");
    const char* p = path_.c_str();
    ASSERT_TRUE(WritePrivateProfileString("First", "a", "10", p));
    ASSERT_TRUE(WritePrivateProfileString("First", "new", "x", p));
    ASSERT_TRUE(WritePrivateProfileString("Second", "d", "4", p));
    ASSERT_TRUE(WritePrivateProfileString("Third", "e", "5", p));
    EXPECT_EQ(ReadRaw(),
              "; settings\n"
              "[First]\n"
              "a=10\n"
              "b=2\n"
              "new=x\n"
              "\n"
              "[Second]\n"
              "c=3\n"
              "d=4\n"
              "[Third]\n"
              "e=5\n");
    EXPECT_EQ(Get("First", "new"), "x");
    EXPECT_EQ(Get("Third", "e"), "5");
}

TEST_F(IniFileTest, DeleteKeyAndSection) {
    WriteRaw("[A]\nx=1\ny=2\n[B]\nz=3\n[C]\nw=4\n");
    const char* p = path_.c_str();
    ASSERT_TRUE(WritePrivateProfileString("A", "x", nullptr, p));
    EXPECT_EQ(ReadRaw(), "[A]\ny=2\n[B]\nz=3\n[C]\nw=4\n");
    ASSERT_TRUE(WritePrivateProfileString("b", nullptr, nullptr, p));
    EXPECT_EQ(ReadRaw(), "[A]\ny=2\n[C]\nw=4\n");
    ASSERT_TRUE(WritePrivateProfileString("A", "missing", nullptr, p));
    ASSERT_TRUE(WritePrivateProfileString("Missing", nullptr, nullptr, p));
    EXPECT_EQ(ReadRaw(), "[A]\ny=2\n[C]\nw=4\n");
}

TEST_F(IniFileTest, CreatesFileOnlyWhenFolderExists) {
    const std::string missing = FromHostPath(dir_ + "/NoFolder/x.ini");
    EXPECT_FALSE(WritePrivateProfileString("S", "k", "v", missing.c_str()));
    EXPECT_FALSE(fs::exists(dir_ + "/NoFolder"));

    fs::create_directory(dir_ + "/Ini");
    // The folder exists in another letter case; the new file keeps the module's spelling.
    const std::string created = FromHostPath(dir_) + "\\INI\\Kvx4f700.ini";
    ASSERT_TRUE(WritePrivateProfileString("S", "k", "v", created.c_str()));
    EXPECT_TRUE(fs::exists(dir_ + "/Ini/Kvx4f700.ini"));
    char buffer[8];
    GetPrivateProfileString("s", "K", "", buffer, sizeof buffer,
                            (FromHostPath(dir_) + "\\ini\\KVX4F700.INI").c_str());
    EXPECT_STREQ(buffer, "v");
    // No temporary files are left behind.
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(dir_ + "/Ini")) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(IniFileTest, CrLfFilesKeepTheirLineEndings) {
    WriteRaw("[A]\r\nx=1\r\n");
    EXPECT_EQ(Get("A", "x"), "1");
    ASSERT_TRUE(WritePrivateProfileString("A", "y", "2", path_.c_str()));
    EXPECT_EQ(ReadRaw(), "[A]\r\nx=1\r\ny=2\r\n");
}

TEST_F(IniFileTest, LineBreaksInValuesAreCut) {
    ASSERT_TRUE(WritePrivateProfileString("A", "x", "1\n[B]\ny=2", path_.c_str()));
    EXPECT_EQ(ReadRaw(), "[A]\nx=1\n");
}

struct Sample {
    int32_t a;
    uint8_t b[3];
    float c;
};

TEST_F(IniFileTest, StructRoundTrip) {
    const uint8_t bytes[4] = {0x01, 0xAB, 0xFF, 0x10};
    ASSERT_TRUE(WritePrivateProfileStruct("Data", "bytes", bytes, sizeof bytes, path_.c_str()));
    // 0x01 + 0xAB + 0xFF + 0x10 = 0x1BB -> checksum BB.
    EXPECT_EQ(ReadRaw(), "[Data]\nbytes=01ABFF10BB\n");
    uint8_t back[4] = {};
    ASSERT_TRUE(GetPrivateProfileStruct("data", "BYTES", back, sizeof back, path_.c_str()));
    EXPECT_EQ(std::memcmp(back, bytes, sizeof bytes), 0);

    Sample in{-123456, {1, 2, 3}, 2.5f};
    Sample out{};
    ASSERT_TRUE(WritePrivateProfileStruct("Data", "sample", &in, sizeof in, path_.c_str()));
    ASSERT_TRUE(GetPrivateProfileStruct("Data", "sample", &out, sizeof out, path_.c_str()));
    EXPECT_EQ(std::memcmp(&in, &out, sizeof in), 0);
}

TEST_F(IniFileTest, StructWithWrongSizeOrChecksumIsRefused) {
    const uint8_t bytes[4] = {1, 2, 3, 4};
    ASSERT_TRUE(WritePrivateProfileStruct("Data", "bytes", bytes, sizeof bytes, path_.c_str()));
    uint8_t out[8];
    std::memset(out, 0x5A, sizeof out);
    EXPECT_FALSE(GetPrivateProfileStruct("Data", "bytes", out, 3, path_.c_str()));
    EXPECT_FALSE(GetPrivateProfileStruct("Data", "bytes", out, 5, path_.c_str()));
    EXPECT_FALSE(GetPrivateProfileStruct("Data", "missing", out, 4, path_.c_str()));
    for (uint8_t b : out) EXPECT_EQ(b, 0x5A);

    WriteRaw("[Data]\nbytes=010203040B\nbad=01020304ZZ\nodd=0102030\n");  // correct sum is 0A
    EXPECT_FALSE(GetPrivateProfileStruct("Data", "bytes", out, 4, path_.c_str()));
    EXPECT_FALSE(GetPrivateProfileStruct("Data", "bad", out, 4, path_.c_str()));
    EXPECT_FALSE(GetPrivateProfileStruct("Data", "odd", out, 3, path_.c_str()));
    for (uint8_t b : out) EXPECT_EQ(b, 0x5A);
    WriteRaw("[Data]\nbytes=010203040a\n");  // lowercase digits are accepted
    EXPECT_TRUE(GetPrivateProfileStruct("Data", "bytes", out, 4, path_.c_str()));
    EXPECT_EQ(out[3], 4);
}

// A memory file answers every look-up as the same text on disk does: the
// first of two equal sections, the first of two equal keys, letter case,
// blanks, CR LF endings, lines that are neither section nor key.
TEST_F(IniFileTest, MemoryFilesAnswerAsTheSameTextOnDisk) {
    const std::string text =
        "junk line\r\n[ Main ]\r\nKey = 5\r\nkey=6\r\n; note\r\n[Other]\r\nA=1\r\n"
        "[main]\r\nLate=7\r\n[Last\r\nB = two words \r\n";
    const std::pair<const char*, const char*> asks[] = {
        {"Main", "Key"},  {"MAIN", "key"}, {"Main", "Late"}, {"Other", "A"},
        {"Other", "Key"}, {"Last", "B"},   {"Missing", "A"}, {"Main", "note"}};
    std::string on_disk[std::size(asks)];
    {
        std::ofstream(ToHostPath(path_), std::ios::binary) << text;
        for (size_t i = 0; i < std::size(asks); ++i)
            on_disk[i] = Get(asks[i].first, asks[i].second);
    }
    SetIniMemoryFiles(true);
    SetIniMemoryFile(path_.c_str(), text.data(), text.size());
    for (size_t i = 0; i < std::size(asks); ++i) {
        EXPECT_EQ(Get(asks[i].first, asks[i].second), on_disk[i])
            << asks[i].first << asks[i].second;
    }
    EXPECT_EQ(on_disk[0], "5");
    // A write through the memory file is seen by the next look-up.
    EXPECT_TRUE(WritePrivateProfileString("Main", "Key", "9", path_.c_str()));
    EXPECT_EQ(Get("Main", "Key"), "9");
    SetIniMemoryFiles(false);
}

// Memory-backed files behave as files do, and nothing reaches the disk.
TEST_F(IniFileTest, MemoryFilesKeepTheSemanticsAndTouchNoDisk) {
    SetIniMemoryFiles(true);
    const std::string text = "[Main]\nKey = 5\n";
    SetIniMemoryFile(path_.c_str(), text.data(), text.size());
    EXPECT_EQ(GetPrivateProfileInt("MAIN", "key ", -1, path_.c_str()), 5u);
    // Another letter case of the path names the same file.
    std::string upper = path_;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(WritePrivateProfileString("Main", "Other", "x", upper.c_str()));
    EXPECT_EQ(Get("Main", "other"), "x");
    EXPECT_TRUE(WritePrivateProfileString("New", "k", "v", "C:\\nowhere\\at\\all.ini"));
    char buffer[8];
    GetPrivateProfileString("New", "k", "", buffer, sizeof buffer, "c:\\NOWHERE\\at\\all.ini");
    EXPECT_STREQ(buffer, "v");
    EXPECT_FALSE(fs::exists(ToHostPath(path_)));
    EXPECT_TRUE(fs::is_empty(dir_));
    SetIniMemoryFiles(false);  // the table goes with it
    EXPECT_EQ(GetPrivateProfileInt("Main", "Key", -1, path_.c_str()), static_cast<uint32_t>(-1));
    EXPECT_FALSE(fs::exists(ToHostPath(path_)));
}

// A writer killed between its temporary file and the rename leaves the
// temporary behind; the next process to write the file clears it.
TEST_F(IniFileTest, AKilledWritersTemporaryFileIsClearedByTheNextWriter) {
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string host = ToHostPath(path_);
    const std::string stale = host + ".tmp" + std::to_string(gone) + "-3";
    const std::string live = host + ".tmp" + std::to_string(::getppid()) + "-0";
    std::ofstream(stale) << "[Half\n";
    std::ofstream(live) << "[Half\n";
    ASSERT_TRUE(WritePrivateProfileString("Main", "Key", "1", path_.c_str()));
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live));
    EXPECT_EQ(Get("Main", "Key"), "1");
}

TEST_F(IniFileTest, AFileThatCannotBeReadIsNeverOverwritten) {
    std::string settings = "[Joystick]\nelevator_axis_deadzone=3\naileron_axis_deadzone=4\n";
    for (int i = 0; i < 40; ++i) settings += "[Group" + std::to_string(i) + "]\nkey=value\n";
    WriteRaw(settings);
    const std::string host = ToHostPath(path_);
    ASSERT_EQ(::chmod(host.c_str(), 0200), 0);
    if (::getuid() == 0) {
        ASSERT_EQ(::chown(host.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chmod(dir_.c_str(), 0777), 0);
    }
    const std::string path = path_;
    const int code = RunAsUnprivileged([&path] {
        char value[64];
        // Readers get the defaults, as for a missing file...
        if (GetPrivateProfileInt("Joystick", "elevator_axis_deadzone", 9, path.c_str()) != 9)
            return 1;
        GetPrivateProfileString("Joystick", "aileron_axis_deadzone", "d", value, sizeof value,
                                path.c_str());
        if (std::string(value) != "d") return 2;
        // ...writers fail and leave the file alone, whatever they write.
        if (WritePrivateProfileString("Joystick", "elevator_axis_deadzone", "5", path.c_str()))
            return 3;
        if (WritePrivateProfileString("Joystick", "missing", nullptr, path.c_str())) return 4;
        if (WritePrivateProfileString("Group1", nullptr, nullptr, path.c_str())) return 5;
        const uint8_t bytes[2] = {1, 2};
        if (WritePrivateProfileStruct("Joystick", "raw", bytes, 2, path.c_str())) return 6;
        const std::vector<LoadProblem> problems = LoadProblems();
        if (problems.size() != 2 || problems[0].what.find("cannot be read") == std::string::npos ||
            problems[1].what.find("not written") == std::string::npos) {
            return 7;
        }
        return 0;
    });
    EXPECT_EQ(code, 0);
    ASSERT_EQ(::chmod(host.c_str(), 0600), 0);
    EXPECT_EQ(ReadRaw(), settings);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator{}), 1);
}

TEST(LoadProblemsTest, EachProblemIsKeptOnceWithItsCount) {
    ClearLoadProblems();
    RecordLoadProblem("/a.ini", "cannot be read: Permission denied");
    RecordLoadProblem("/b.wav", "RIFF chunk does not fit the file");
    RecordLoadProblem("/a.ini", "cannot be read: Permission denied");
    const std::vector<LoadProblem> problems = LoadProblems();
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].file, "/a.ini");
    EXPECT_EQ(problems[0].count, 2u);
    EXPECT_EQ(problems[1].file, "/b.wav");
    EXPECT_EQ(LoadProblemsMet(), 2u);
    ClearLoadProblems();
    EXPECT_TRUE(LoadProblems().empty());
}

}  // namespace
}  // namespace zu::platform
