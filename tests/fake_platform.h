// A scripted stand-in for the platform functions the installation calls. It
// records every call, in order, as one readable line.
#pragma once

#include <string>
#include <vector>

#include "platform.h"

struct FakePlatform {
  // CreateDirectoryA succeeds when 0, else fails with this code.
  DWORD create_directory_error = 0;
  // WritePrivateProfileStringA succeeds when 0, else fails with this code.
  DWORD write_error = 0;
  // CreateProcessA succeeds when 0, else fails with this code.
  DWORD create_process_error = 0;
  // What GetLastError gives after its first call, as if printing had changed it.
  DWORD last_error_after_read = 0;
  // When set, failing calls leave the last error as it was (0 at the start).
  bool failures_leave_no_code = false;
  // Values GetPrivateProfileIntA returns in turn; past the end, its default.
  std::vector<int> reads;

  DWORD last_error = 0;
  size_t next_read = 0;
  std::vector<std::string> calls;
};

// The fake's state; reset by reset_fake() before each test.
extern FakePlatform g_fake;

// Starts a fresh script with no calls recorded.
void reset_fake();

// Handles that the fake's CreateProcessA hands out.
extern const HANDLE kFakeProcess;
extern const HANDLE kFakeThread;
