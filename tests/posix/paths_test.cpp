// Windows paths on the host: the drive mapping, case matching and the errors
// of CreateDirectoryA.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "layer.h"
#include "temp_prefix.h"

namespace {

class PathsTest : public testing::Test {
 protected:
  void SetUp() override { prefix_ = make_temp_prefix(); }
  void TearDown() override { remove_temp_prefix(prefix_); }

  // The host path that `windows_path` maps to, or "error N".
  std::string mapped(const char* windows_path) {
    char out[4096];
    DWORD code = map_windows_path(windows_path, out, sizeof out);
    return code ? "error " + std::to_string(code) : std::string(out);
  }

  TempPrefix prefix_;
};

TEST_F(PathsTest, MapsDrivesIntoThePrefix) {
  std::string c = prefix_.root + "/dosdevices/c:";
  EXPECT_EQ(c + "/Torvask/setup.log", mapped("C:\\Torvask\\setup.log"));
  EXPECT_EQ(c + "/a/b", mapped("c:/a\\\\b\\"));
  EXPECT_EQ(c + "/b", mapped("C:\\a\\.\\..\\b"));
  EXPECT_EQ(c, mapped("C:\\..\\.."));
  EXPECT_EQ("error 3", mapped("Torvask\\setup.log"));
}

TEST_F(PathsTest, MatchesExistingComponentsWithoutRegardToCase) {
  ASSERT_EQ(0, mkdir((prefix_.drive_c + "/TORVASK").c_str(), 0755));
  std::string c = prefix_.root + "/dosdevices/c:";
  EXPECT_EQ(c + "/TORVASK/setup.log", mapped("C:\\Torvask\\setup.log"));
  // An exact spelling wins over one that differs only in case.
  ASSERT_EQ(0, mkdir((prefix_.drive_c + "/Torvask").c_str(), 0755));
  EXPECT_EQ(c + "/Torvask/x", mapped("C:\\Torvask\\x"));
}

TEST_F(PathsTest, UsesHomeWhenNoPrefixIsSet) {
  const char* saved = std::getenv("HOME");
  std::string home = saved ? saved : "";
  unsetenv("WINEPREFIX");
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ("/home/someone/.wine/dosdevices/d:/x", mapped("D:\\x"));
  setenv("HOME", home.c_str(), 1);
}

TEST_F(PathsTest, CreateDirectoryReportsThePlatformsCodes) {
  ASSERT_TRUE(CreateDirectoryA("c:\\torvask", nullptr));
  struct stat st;
  EXPECT_EQ(0, stat((prefix_.drive_c + "/torvask").c_str(), &st));
  // A later spelling in another case finds the same folder.
  EXPECT_FALSE(CreateDirectoryA("C:\\Torvask", nullptr));
  EXPECT_EQ(183u, GetLastError());
  write_file(prefix_.drive_c + "/file", "x");
  struct {
    const char* path;
    DWORD code;
  } failures[] = {
      {"C:\\file", 183},        // a file stands there
      {"C:\\missing\\sub", 3},  // the parent is missing
      {"C:\\file\\sub", 3},     // the parent is a file
      {"Q:\\Torvask", 3},       // no such drive
  };
  for (const auto& f : failures) {
    SetLastError(0);
    EXPECT_FALSE(CreateDirectoryA(f.path, nullptr)) << f.path;
    EXPECT_EQ(f.code, GetLastError()) << f.path;
  }
}

TEST_F(PathsTest, DriveThatPointsNowhereGivesPathNotFound) {
  ASSERT_EQ(0, unlink((prefix_.root + "/dosdevices/c:").c_str()));
  ASSERT_EQ(0, symlink("/nonexistent/drive", (prefix_.root + "/dosdevices/c:").c_str()));
  EXPECT_FALSE(CreateDirectoryA("c:\\torvask", nullptr));
  EXPECT_EQ(3u, GetLastError());
}

TEST(Errors, MapErrnoToPlatformCodes) {
  struct {
    int err;
    DWORD code;
  } cases[] = {{EEXIST, 183}, {ENOENT, 3},   {ENOTDIR, 3},        {EACCES, 5}, {EPERM, 5},
               {EROFS, 19},   {ENOSPC, 112}, {ENAMETOOLONG, 206}, {EIO, 31}};
  for (const auto& c : cases) EXPECT_EQ(c.code, error_from_errno(c.err)) << c.err;
}

}  // namespace
