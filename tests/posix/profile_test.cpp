// The initialization-file functions over real files.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "temp_prefix.h"
#include "windows_api.h"

extern int (*g_profile_before_rename)(const char* temporary_path);

namespace {

const char kLog[] = "C:\\Torvask\\setup.log";

class ProfileTest : public testing::Test {
 protected:
  void SetUp() override {
    prefix_ = make_temp_prefix();
    folder_ = prefix_.drive_c + "/Torvask";
    log_ = folder_ + "/setup.log";
    mkdir(folder_.c_str(), 0755);
  }
  void TearDown() override {
    g_profile_before_rename = nullptr;
    remove_temp_prefix(prefix_);
  }

  BOOL arm() { return WritePrivateProfileStringA("ResponseResult", "ResultCode", "999", kLog); }
  int read() {
    return static_cast<int>(GetPrivateProfileIntA("ResponseResult", "ResultCode", 999, kLog));
  }

  // The names in the log's folder, each followed by a space.
  std::string folder_entries() {
    std::string names;
    DIR* dir = opendir(folder_.c_str());
    while (dirent* e = readdir(dir)) {
      std::string name = e->d_name;
      if (name != "." && name != "..") names += name + " ";
    }
    closedir(dir);
    return names;
  }

  TempPrefix prefix_;
  std::string folder_;
  std::string log_;
};

TEST_F(ProfileTest, CreatesAMissingLogWithOnlyTheEntry) {
  EXPECT_EQ(999, read());
  ASSERT_TRUE(arm());
  EXPECT_EQ("[ResponseResult]\r\nResultCode=999\r\n", read_file(log_));
  EXPECT_EQ(999, read());
  struct stat st;
  ASSERT_EQ(0, stat(log_.c_str(), &st));
  EXPECT_NE(0u, st.st_mode & 0044) << "others cannot read the log";
}

TEST_F(ProfileTest, OverwritesAStaleResultAndKeepsEverythingElse) {
  write_file(log_, "[Setup]\r\nLang=en\r\n\r\n[ResponseResult]\r\nResultCode=0\r\nExtra=1\r\n");
  ASSERT_TRUE(arm());
  EXPECT_EQ("[Setup]\r\nLang=en\r\n\r\n[ResponseResult]\r\nResultCode=999\r\nExtra=1\r\n",
            read_file(log_));
  EXPECT_EQ(999, read());
}

TEST_F(ProfileTest, FindsTheFolderInAnotherCase) {
  ASSERT_EQ(0, rename(folder_.c_str(), (prefix_.drive_c + "/TORVASK").c_str()));
  ASSERT_TRUE(arm());
  EXPECT_EQ("[ResponseResult]\r\nResultCode=999\r\n",
            read_file(prefix_.drive_c + "/TORVASK/setup.log"));
}

TEST_F(ProfileTest, FailuresGiveThePlatformsCodes) {
  // A folder where the log must be.
  ASSERT_EQ(0, mkdir(log_.c_str(), 0755));
  EXPECT_FALSE(arm());
  EXPECT_EQ(5u, GetLastError());
  EXPECT_EQ(999, read());
  rmdir(log_.c_str());
  // The log's folder is missing, or is a file.
  rmdir(folder_.c_str());
  EXPECT_FALSE(arm());
  EXPECT_EQ(3u, GetLastError());
  write_file(folder_, "not a folder");
  EXPECT_FALSE(arm());
  EXPECT_EQ(3u, GetLastError());
  EXPECT_EQ(999, read());
}

TEST_F(ProfileTest, AFailedWriteLeavesTheOldLogAndNoStrayFile) {
  const std::string old = "[ResponseResult]\r\nResultCode=0\r\n";
  write_file(log_, old);
  g_profile_before_rename = [](const char*) { return ENOSPC; };
  EXPECT_FALSE(arm());
  EXPECT_EQ(112u, GetLastError());
  EXPECT_EQ(old, read_file(log_));
  EXPECT_EQ("setup.log ", folder_entries());
}

}  // namespace
