#include "result_log.h"

#include "message.h"
#include "platform.h"

const char kResultLogPath[] = "C:\\Torvask\\setup.log";

static const char kSection[] = "ResponseResult";
static const char kKey[] = "ResultCode";
static const char kPendingText[] = "999";
static const DWORD kPollIntervalMs = 1000;

int arm_result_log() {
  if (WritePrivateProfileStringA(kSection, kKey, kPendingText, kResultLogPath)) return 0;
  // Read the code before printing: the output routine may overwrite it.
  int code = last_error_as_result();
  say("Error while writing C:\\Torvask\\setup.log.\n");
  return code;
}

int wait_for_result() {
  for (int reads = 0; reads < kMaxPendingReads; ++reads) {
    Sleep(kPollIntervalMs);
    // The platform hands back the entry as UINT; the log holds a signed code.
    int value =
        static_cast<int>(GetPrivateProfileIntA(kSection, kKey, kPendingResult, kResultLogPath));
    if (value != kPendingResult) return value;
  }
  say("Timed out waiting for the setup result.\n");
  return static_cast<int>(ERROR_TIMEOUT);
}
