#include "zu/platform/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace zu::platform {
namespace {

namespace fs = std::filesystem;

class PathsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char templ[] = "/tmp/zu_paths_test_XXXXXX";
        ASSERT_NE(::mkdtemp(templ), nullptr);
        dir_ = templ;
        fs::create_directories(dir_ + "/Aircraft/Zuvav/ini");
        std::ofstream(dir_ + "/Aircraft/Zuvav/ini/Kvx4f700.ini") << "[A]\n";
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string dir_;  // host path, exists as written
};

TEST_F(PathsTest, BackslashesAndDriveLetters) {
    EXPECT_EQ(ToHostPath("C:\\"), "/");
    EXPECT_EQ(ToHostPath("C:"), "/");
    EXPECT_EQ(ToHostPath("c:\\tmp"), "/tmp");
    EXPECT_EQ(ToHostPath("\\tmp"), "/tmp");
    EXPECT_EQ(ToHostPath("/tmp/"), "/tmp/");
    EXPECT_EQ(ToHostPath(""), "");
    EXPECT_EQ(ToHostPath("\\no_such_zu_dir\\Sub\\File.INI"), "/no_such_zu_dir/Sub/File.INI");
    EXPECT_EQ(ToHostPath("relative_zu_missing\\x.ini"), "relative_zu_missing/x.ini");
}

TEST_F(PathsTest, ResolvesEachExistingComponentWithoutRegardToCase) {
    const std::string win = FromHostPath(dir_);
    EXPECT_EQ(ToHostPath(win + "\\AIRCRAFT\\zuvav\\INI\\KVX4F700.INI"),
              dir_ + "/Aircraft/Zuvav/ini/Kvx4f700.ini");
    EXPECT_EQ(ToHostPath("C:" + win + "\\aircraft\\Zuvav\\Ini\\"), dir_ + "/Aircraft/Zuvav/ini/");
    // Missing components are kept as written, after the resolved ones.
    EXPECT_EQ(ToHostPath(win + "\\aircraft\\ZUVAV\\New\\Sub\\File.ini"),
              dir_ + "/Aircraft/Zuvav/New/Sub/File.ini");
    EXPECT_EQ(ToHostPath(win + "\\aircraft\\zuvav\\ini\\new.ini"),
              dir_ + "/Aircraft/Zuvav/ini/new.ini");
}

TEST_F(PathsTest, ExactNameIsPreferredWhenSeveralSpellingsExist) {
    fs::create_directory(dir_ + "/Dup");
    fs::create_directory(dir_ + "/dup");
    fs::create_directory(dir_ + "/DUP");
    const std::string win = FromHostPath(dir_);
    EXPECT_EQ(ToHostPath(win + "\\dup"), dir_ + "/dup");
    EXPECT_EQ(ToHostPath(win + "\\Dup"), dir_ + "/Dup");
    // No exact match: the smallest name in byte order, deterministically.
    EXPECT_EQ(ToHostPath(win + "\\dUp"), dir_ + "/DUP");
}

TEST_F(PathsTest, FromHostPath) {
    EXPECT_EQ(FromHostPath("/home/user/aircraft/file.ini"), "\\home\\user\\aircraft\\file.ini");
    EXPECT_EQ(FromHostPath("rel/x"), "rel\\x");
    EXPECT_EQ(ToHostPath(FromHostPath(dir_ + "/Aircraft")), dir_ + "/Aircraft");
}

TEST_F(PathsTest, FolderExists) {
    const std::string win = FromHostPath(dir_);
    EXPECT_TRUE(FolderExists(win));
    EXPECT_TRUE(FolderExists(win + "\\AIRCRAFT\\ZUVAV\\INI"));
    EXPECT_TRUE(FolderExists(win + "\\aircraft\\"));
    EXPECT_FALSE(FolderExists(win + "\\aircraft\\zuvav\\ini\\kvx4f700.ini"));  // a file
    EXPECT_FALSE(FolderExists(win + "\\missing"));
    EXPECT_FALSE(FolderExists(""));
    EXPECT_TRUE(FolderExists("C:\\"));
}

TEST_F(PathsTest, DocumentsFolderSetByTheHostElseHome) {
    char out[256];
    SetDocumentsFolder(dir_ + "/Docs/");
    ASSERT_GT(GetDocumentsFolder(out, sizeof out), 0u);
    EXPECT_EQ(std::string(out), FromHostPath(dir_ + "/Docs"));
    EXPECT_EQ(GetDocumentsFolder(out, 8), 0u);  // does not fit
    EXPECT_STREQ(out, "");

    SetDocumentsFolder("");
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != 0) {
        ASSERT_GT(GetDocumentsFolder(out, sizeof out), 0u);
        EXPECT_EQ(std::string(out), FromHostPath(std::string(home) + "/Documents"));
    }
}

}  // namespace
}  // namespace zu::platform
