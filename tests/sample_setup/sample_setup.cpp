// A stand-in for the product's installer, for tests and the demo. It takes
// "-s" (silent) and "-f2<log path>" like the real one, records its result in
// the log through the platform's initialization-file call, and behaves as
// these environment variables say:
//   SAMPLE_SETUP_RECORD    value recorded before exiting, or "none" (default "0")
//   SAMPLE_SETUP_DELAY_MS  time spent "installing" before that (default 0)
//   SAMPLE_SETUP_LATER     value a detached helper records after setup exits
//   SAMPLE_SETUP_LATER_MS  how long after that the helper records (default 500)
//   SAMPLE_SETUP_EXIT      setup's own exit status (default 0)
//   SAMPLE_SETUP_CRASH     "1": end by a crash instead of exiting
//   SAMPLE_SETUP_REPORT    file to which it appends its arguments, current
//                          folder and open descriptors
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host.h"
#include "platform.h"

// The environment variable `name`, or `fallback` when unset or empty.
static const char* setting(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return (value != nullptr && value[0] != '\0') ? value : fallback;
}

// Records `value` as the installation's result in the log at `log`.
static int record(const char* log, const char* value) {
  if (WritePrivateProfileStringA("ResponseResult", "ResultCode", value, log)) return 0;
  std::fprintf(stderr, "sample setup: cannot write %s (error %u)\n", log,
               static_cast<unsigned>(GetLastError()));
  return 1;
}

// Appends what this process received to the report file, if one is asked for.
static void report(int argc, char** argv) {
  const char* path = setting("SAMPLE_SETUP_REPORT", nullptr);
  if (path == nullptr) return;
  // Look before opening the report, so that its own descriptor is not listed.
  static char process[8192];
  describe_process(process, sizeof process);
  std::FILE* out = std::fopen(path, "a");
  if (out == nullptr) return;
  std::fprintf(out, "args:");
  for (int i = 0; i < argc; ++i) std::fprintf(out, " [%s]", argv[i]);
  std::fprintf(out, "\n%s", process);
  std::fclose(out);
}

// Starts this program again as the helper that records the late value.
static int start_helper(const char* log) {
  static char command_line[4096];
  std::snprintf(command_line, sizeof command_line, "setup -r -f2%s", log);
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION helper;
  if (!CreateProcessA(nullptr, command_line, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                      nullptr, &startup, &helper)) {
    std::fprintf(stderr, "sample setup: cannot start helper (error %u)\n",
                 static_cast<unsigned>(GetLastError()));
    return 1;
  }
  CloseHandle(helper.hThread);
  CloseHandle(helper.hProcess);
  return 0;
}

int main(int argc, char** argv) {
  const char* log = nullptr;
  bool helper = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "-f2", 3) == 0) log = argv[i] + 3;
    if (std::strcmp(argv[i], "-r") == 0) helper = true;
  }
  report(argc, argv);
  if (log == nullptr || log[0] == '\0') {
    std::fprintf(stderr, "usage: setup -s -f2<log path>\n");
    return 2;
  }
  if (helper) {
    Sleep(static_cast<DWORD>(std::atoi(setting("SAMPLE_SETUP_LATER_MS", "500"))));
    return record(log, setting("SAMPLE_SETUP_LATER", "0"));
  }
  Sleep(static_cast<DWORD>(std::atoi(setting("SAMPLE_SETUP_DELAY_MS", "0"))));
  const char* value = setting("SAMPLE_SETUP_RECORD", "0");
  if (std::strcmp(value, "none") != 0 && record(log, value) != 0) return 1;
  if (setting("SAMPLE_SETUP_LATER", nullptr) != nullptr && start_helper(log) != 0) return 1;
  if (std::strcmp(setting("SAMPLE_SETUP_CRASH", "0"), "1") == 0) std::abort();
  return std::atoi(setting("SAMPLE_SETUP_EXIT", "0"));
}
