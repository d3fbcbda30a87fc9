// Profile files as the configuration, session and layout code sees them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/profile.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

class Profile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tav_profile_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    file_ = (dir_ / "test.ini").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  void put(const std::string& content) { std::ofstream(file_, std::ios::binary) << content; }
  std::string get() const {
    std::ifstream in(file_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir_;
  std::string file_;
};

TEST_F(Profile, MissingPiecesGiveTheFallback) {
  EXPECT_EQ(profile_read(file_, "Options", "Path", "none"), "none");
  put("[Options]\nPath=\nTile = FREE \n");
  EXPECT_EQ(profile_read(file_, "Options", "Path", "none"), "");  // present but empty
  EXPECT_EQ(profile_read(file_, "Options", "Tile", ""), "FREE");
  EXPECT_EQ(profile_read(file_, "Options", "Other", "x"), "x");
  EXPECT_EQ(profile_read(file_, "Windows", "Tile", "x"), "x");
}

TEST_F(Profile, WriteCreatesFileAndSections) {
  ASSERT_TRUE(profile_write(file_, "Options", "Path", "a|b"));
  EXPECT_EQ(get(), "[Options]\nPath=a|b\n");
  ASSERT_TRUE(profile_write(file_, "Windows", "Tav", "YES,1,2,3,4"));
  EXPECT_EQ(get(), "[Options]\nPath=a|b\n\n[Windows]\nTav=YES,1,2,3,4\n");
  EXPECT_EQ(profile_read(file_, "windows", "TAV", ""), "YES,1,2,3,4");
}

TEST_F(Profile, WriteKeepsEveryOtherLine) {
  put("; settings\r\n[Options]\r\nPath=old\r\nnot a key line\r\n\r\n[Load]\r\nFile=prog.abs\r\n");
  EXPECT_EQ(profile_read(file_, "LOAD", "file", ""), "prog.abs");
  ASSERT_TRUE(profile_write(file_, "options", "PATH", "new"));
  ASSERT_TRUE(profile_write(file_, "Options", "Tile", "FREE"));
  ASSERT_TRUE(profile_write(file_, "load", "Extra", "1"));
  EXPECT_EQ(get(),
            "; settings\n[Options]\nPATH=new\nnot a key line\nTile=FREE\n\n"
            "[Load]\nFile=prog.abs\nExtra=1\n");
}

TEST_F(Profile, FirstOfDuplicatesAndCommentsAreNotKeys) {
  put("[A]\n;k=comment\nk=1\nk=2\n[a]\nk=3\n");
  EXPECT_EQ(profile_read(file_, "a", "K", ""), "1");
  ASSERT_TRUE(profile_write(file_, "A", "k", "9"));
  EXPECT_EQ(get(), "[A]\n;k=comment\nk=9\nk=2\n[a]\nk=3\n");
}

TEST_F(Profile, ValuesStayOnOneLine) {
  ASSERT_TRUE(profile_write(file_, "Events", "1", "break main() {x\ny}"));
  EXPECT_EQ(profile_read(file_, "Events", "1", ""), "break main() {x y}");
  EXPECT_EQ(profile_read(file_, "Events", "2", "-"), "-");
}

TEST_F(Profile, DeleteKeyAndSection) {
  put("[A]\nx=1\ny=2\n\n[B]\nz=3\n");
  ASSERT_TRUE(profile_delete(file_, "a", "X"));
  EXPECT_EQ(get(), "[A]\ny=2\n\n[B]\nz=3\n");
  ASSERT_TRUE(profile_delete(file_, "A", ""));
  EXPECT_EQ(get(), "[B]\nz=3\n");
  ASSERT_TRUE(profile_delete(file_, "C", "q"));
  EXPECT_EQ(get(), "[B]\nz=3\n");
}

TEST_F(Profile, UnwritablePlaceReportsFailure) {
  const std::string nowhere = (dir_ / "missing" / "x.ini").string();
  EXPECT_FALSE(profile_write(nowhere, "A", "k", "v"));
  EXPECT_EQ(profile_read(nowhere, "A", "k", "d"), "d");
}

}  // namespace
}  // namespace tav
