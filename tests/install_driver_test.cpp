// The course of a run against the fake platform: what is printed, what is
// returned, and which platform calls are made in which order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "install_driver.h"
#include "result_log.h"

namespace {

const char kMkdir[] = "CreateDirectoryA(c:\\torvask, null)";
const char kLastError[] = "GetLastError()";
const char kArm[] =
    "WritePrivateProfileStringA(ResponseResult, ResultCode, 999, C:\\Torvask\\setup.log)";
const char kLaunch[] =
    "CreateProcessA(null, setup -s -f2C:\\Torvask\\setup.log, null, null, inherit=0, 0x30, null, "
    "null, startup cb only)";
const char kCloseThread[] = "CloseHandle(thread)";
const char kWait[] = "WaitForSingleObject(process, INFINITE)";
const char kCloseProcess[] = "CloseHandle(process)";
const char kSleep[] = "Sleep(1000)";
const char kRead[] =
    "GetPrivateProfileIntA(ResponseResult, ResultCode, 999, C:\\Torvask\\setup.log)";

const char kStart[] = "Starting unattended installation.\n";

struct RunResult {
  int code;
  std::string output;
};

// Runs one installation against the fake as it stands.
RunResult run() {
  char name[] = "unattended";
  char* argv[] = {name, nullptr};
  testing::internal::CaptureStdout();
  int code = run_installation(1, argv, nullptr);
  return {code, testing::internal::GetCapturedStdout()};
}

// The calls of a run that reaches the poll, with `reads` reads.
std::vector<std::string> full_run_calls(bool directory_existed, int reads) {
  std::vector<std::string> calls = {kMkdir};
  if (directory_existed) calls.push_back(kLastError);
  for (const char* call : {kArm, kLaunch, kCloseThread, kWait, kCloseProcess}) {
    calls.push_back(call);
  }
  for (int i = 0; i < reads; ++i) {
    calls.push_back(kSleep);
    calls.push_back(kRead);
  }
  return calls;
}

struct Case {
  const char* name;
  DWORD create_directory_error;
  DWORD write_error;
  DWORD create_process_error;
  std::vector<int> reads;
  int code;
  std::string output;
  std::vector<std::string> calls;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class OutcomeTest : public testing::TestWithParam<Case> {};

TEST_P(OutcomeTest, PrintsReturnsAndCallsAsExpected) {
  const Case& c = GetParam();
  reset_fake();
  g_fake.create_directory_error = c.create_directory_error;
  g_fake.write_error = c.write_error;
  g_fake.create_process_error = c.create_process_error;
  g_fake.reads = c.reads;
  RunResult result = run();
  EXPECT_EQ(c.code, result.code);
  EXPECT_EQ(c.output, result.output);
  EXPECT_EQ(c.calls, g_fake.calls);
}

INSTANTIATE_TEST_SUITE_P(
    Driver, OutcomeTest,
    testing::Values(
        Case{"Success",
             0,
             0,
             0,
             {0},
             0,
             std::string(kStart) + "Installation succeeded.\n",
             full_run_calls(false, 1)},
        Case{"DirectoryExists",
             183,
             0,
             0,
             {999, 999, 0},
             0,
             std::string(kStart) + "Installation succeeded.\n",
             full_run_calls(true, 3)},
        Case{"SetupRecordsFailure",
             183,
             0,
             0,
             {999, 5},
             5,
             std::string(kStart) + "Installation failed 5.\n",
             full_run_calls(true, 2)},
        Case{"NegativeResult",
             0,
             0,
             0,
             {-3},
             -3,
             std::string(kStart) + "Installation failed -3.\n",
             full_run_calls(false, 1)},
        Case{"SetupRecords100",
             0,
             0,
             0,
             {100},
             100,
             std::string(kStart) + "Installation failed 100.\n",
             full_run_calls(false, 1)},
        Case{"DirectoryFails",
             3,
             0,
             0,
             {},
             3,
             std::string(kStart) + "Error while creating C:\\Torvask.\nInstallation failed 3.\n",
             {kMkdir, kLastError}},
        Case{"ArmFails",
             0,
             5,
             0,
             {},
             5,
             std::string(kStart) +
                 "Error while writing C:\\Torvask\\setup.log.\nInstallation failed 5.\n",
             {kMkdir, kArm, kLastError}},
        Case{"LaunchFails",
             183,
             0,
             2,
             {0},
             100,
             std::string(kStart) + "Error while launching setup.exe.\nInstallation failed 100.\n",
             {kMkdir, kLastError, kArm, kLaunch}}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Printing may change the last error; the code read right after the failure
// is the one that counts, or a failed step could turn into a success.
TEST(Driver, KeepsTheErrorCodeReadBeforePrinting) {
  struct {
    DWORD create_directory_error;
    DWORD write_error;
    const char* failure_line;
  } cases[] = {
      {5, 0, "Error while creating C:\\Torvask.\n"},
      {0, 112, "Error while writing C:\\Torvask\\setup.log.\n"},
  };
  for (const auto& c : cases) {
    reset_fake();
    g_fake.create_directory_error = c.create_directory_error;
    g_fake.write_error = c.write_error;
    g_fake.last_error_after_read = 0;
    RunResult result = run();
    int expected = static_cast<int>(c.create_directory_error + c.write_error);
    EXPECT_EQ(expected, result.code);
    EXPECT_EQ(std::string(kStart) + c.failure_line + "Installation failed " +
                  std::to_string(expected) + ".\n",
              result.output);
    EXPECT_EQ(1, std::count(g_fake.calls.begin(), g_fake.calls.end(), kLastError));
  }
}

// A failed step that leaves no error code must still end the run as a failure.
TEST(Driver, FailureWithoutErrorCodeIsNotSuccess) {
  struct {
    DWORD create_directory_error;
    DWORD write_error;
  } cases[] = {{1, 0}, {0, 1}};
  for (const auto& c : cases) {
    reset_fake();
    g_fake.create_directory_error = c.create_directory_error;
    g_fake.write_error = c.write_error;
    g_fake.failures_leave_no_code = true;
    g_fake.reads = {0};
    RunResult result = run();
    EXPECT_EQ(31, result.code);  // ERROR_GEN_FAILURE
    EXPECT_EQ(std::string::npos, result.output.find("succeeded"));
    EXPECT_EQ(0, std::count(g_fake.calls.begin(), g_fake.calls.end(), kLaunch));
  }
}

TEST(Driver, GivesUpAfterAnHourOfPendingReads) {
  reset_fake();
  RunResult result = run();
  EXPECT_EQ(1460, result.code);
  EXPECT_EQ(
      std::string(kStart) + "Timed out waiting for the setup result.\nInstallation failed 1460.\n",
      result.output);
  EXPECT_EQ(full_run_calls(false, kMaxPendingReads), g_fake.calls);
}

TEST(Driver, IgnoresItsArguments) {
  reset_fake();
  g_fake.reads = {0};
  char a0[] = "unattended", a1[] = "-x", a2[] = "/uninstall";
  char* argv[] = {a0, a1, a2, nullptr};
  char e0[] = "WINEPREFIX=/nowhere";
  char* envp[] = {e0, nullptr};
  testing::internal::CaptureStdout();
  int code = run_installation(3, argv, envp);
  EXPECT_EQ(std::string(kStart) + "Installation succeeded.\n",
            testing::internal::GetCapturedStdout());
  EXPECT_EQ(0, code);
  EXPECT_EQ(full_run_calls(false, 1), g_fake.calls);
}

}  // namespace
