// Command lines, the program search, and starting and waiting for processes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "process.h"
#include "temp_prefix.h"

namespace {

// The words of `line`, joined as "[a] [b]", or "error N".
std::string split(const char* line) {
  char storage[256];
  char* argv[8];
  int argc = 0;
  DWORD code = split_command_line(line, storage, sizeof storage, argv, 8, &argc);
  if (code) return "error " + std::to_string(code);
  std::string out;
  for (int i = 0; i < argc; ++i) out += std::string(i ? " " : "") + "[" + argv[i] + "]";
  EXPECT_EQ(nullptr, argv[argc]);
  return out;
}

TEST(SplitCommandLine, FollowsThePlatformsQuotingRules) {
  struct {
    const char* line;
    const char* words;
  } cases[] = {
      {"setup -s -f2C:\\Torvask\\setup.log", "[setup] [-s] [-f2C:\\Torvask\\setup.log]"},
      {"  setup \t -s  ", "[setup] [-s]"},
      {"\"C:\\Program Files\\setup\" a", "[C:\\Program Files\\setup] [a]"},
      {"C:\\dir\\\\setup \"a b\" c", "[C:\\dir\\\\setup] [a b] [c]"},
      {"p a\\\\\\\"b", "[p] [a\\\"b]"},
      {"p a\\\\\"b c\"", "[p] [a\\b c]"},
      {"p a\\b\\", "[p] [a\\b\\]"},
      {"p \"a\"\"b\"", "[p] [a\"b]"},
      {"p \"\"", "[p] []"},
      {"", ""},
      {"p 1 2 3 4 5 6 7 8", "error 87"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.words, split(c.line)) << c.line;
}

class ProcessTest : public testing::Test {
 protected:
  void SetUp() override {
    prefix_ = make_temp_prefix();
    char cwd[4096];
    saved_cwd_ = getcwd(cwd, sizeof cwd);
    work_ = prefix_.root + "/work";
    mkdir(work_.c_str(), 0755);
    chdir(work_.c_str());
    saved_path_ = std::getenv("PATH") ? std::getenv("PATH") : "";
  }
  void TearDown() override {
    chdir(saved_cwd_.c_str());
    setenv("PATH", saved_path_.c_str(), 1);
    unsetenv("SAMPLE_SETUP_REPORT");
    remove_temp_prefix(prefix_);
  }

  // Copies the sample setup program to host `path`.
  void install_sample(const std::string& path) {
    write_file(path, read_file(SAMPLE_SETUP));
    chmod(path.c_str(), 0755);
  }

  // Finds `name`, returning its path or "error N".
  std::string found(const char* name) {
    char out[4096];
    DWORD code = find_program(name, out, sizeof out);
    return code ? "error " + std::to_string(code) : std::string(out);
  }

  // Starts `line` and fills info_; returns the error code, or 0.
  DWORD start(const char* line, DWORD flags) {
    std::vector<char> copy(line, line + std::strlen(line) + 1);
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    SetLastError(0);
    if (CreateProcessA(nullptr, copy.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                       &startup, &info_)) {
      return 0;
    }
    return GetLastError();
  }

  TempPrefix prefix_;
  std::string saved_cwd_;
  std::string saved_path_;
  std::string work_;
  PROCESS_INFORMATION info_;
};

TEST_F(ProcessTest, SearchesTheCurrentFolderThenWindowsThenPath) {
  setenv("PATH", (prefix_.root + "/bin").c_str(), 1);
  EXPECT_EQ("error 2", found("setup"));
  mkdir((prefix_.root + "/bin").c_str(), 0755);
  install_sample(prefix_.root + "/bin/setup.exe");
  EXPECT_EQ(prefix_.root + "/bin/setup.exe", found("setup"));
  mkdir((prefix_.drive_c + "/windows").c_str(), 0755);
  install_sample(prefix_.drive_c + "/windows/SETUP.EXE");
  EXPECT_EQ(prefix_.root + "/dosdevices/c:/windows/SETUP.EXE", found("setup"));
  install_sample(work_ + "/setup.exe");
  EXPECT_EQ("./setup.exe", found("setup"));
  // ".exe" is added only to a name without an extension.
  EXPECT_EQ("error 2", found("setup.com"));
  // A name with a path is taken as it is, through the drive mapping.
  EXPECT_EQ(prefix_.root + "/dosdevices/c:/windows/SETUP.EXE", found("C:\\Windows\\setup"));
}

TEST_F(ProcessTest, AFileThatCannotRunIsAccessDenied) {
  write_file(work_ + "/setup.exe", "#!/bin/sh\n");
  chmod((work_ + "/setup.exe").c_str(), 0644);
  EXPECT_EQ(5u, start("setup -s", CREATE_NEW_CONSOLE));
  // Executable, but in no format the host can run.
  write_file(work_ + "/setup.exe", "MZ not a host program");
  chmod((work_ + "/setup.exe").c_str(), 0755);
  EXPECT_EQ(193u, start("setup -s", CREATE_NEW_CONSOLE));
  EXPECT_EQ(2u, start("nosuchprogram", CREATE_NEW_CONSOLE));
}

TEST_F(ProcessTest, StartsWaitsAndCloses) {
  install_sample(work_ + "/setup.exe");
  std::string report = work_ + "/report.txt";
  setenv("SAMPLE_SETUP_REPORT", report.c_str(), 1);
  ASSERT_EQ(0u, start("setup -s \"-f2C:\\a b.log\"", CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS));
  EXPECT_NE(info_.hProcess, info_.hThread);
  EXPECT_TRUE(CloseHandle(info_.hThread));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(info_.hProcess, INFINITE));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(info_.hProcess, INFINITE));
  EXPECT_TRUE(CloseHandle(info_.hProcess));
  EXPECT_FALSE(CloseHandle(info_.hProcess));
  EXPECT_EQ(6u, GetLastError());
  EXPECT_EQ(WAIT_FAILED, WaitForSingleObject(info_.hProcess, INFINITE));
  // The child got its arguments, this folder, and only the three standard descriptors.
  EXPECT_EQ("args: [setup] [-s] [-f2C:\\a b.log]\ncwd: " + work_ + "\ndescriptors: 0 1 2\n",
            read_file(report));
  EXPECT_EQ(0, static_cast<int>(
                   GetPrivateProfileIntA("ResponseResult", "ResultCode", 999, "C:\\a b.log")));
}

TEST_F(ProcessTest, NewConsoleGivesTheChildItsOwnSession) {
  install_sample(work_ + "/setup.exe");
  std::string report = work_ + "/report.txt";
  setenv("SAMPLE_SETUP_REPORT", report.c_str(), 1);
  ASSERT_EQ(0u, start("setup -s -f2C:\\x.log", CREATE_NEW_CONSOLE));
  pid_t child = static_cast<pid_t>(info_.dwProcessId);
  // The child leads a session of its own (checked before it is reaped).
  pid_t session = getsid(child);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(info_.hProcess, INFINITE));
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
  EXPECT_EQ(child, session);
  EXPECT_EQ("[ResponseResult]\r\nResultCode=0\r\n", read_file(prefix_.drive_c + "/x.log"));
}

}  // namespace
