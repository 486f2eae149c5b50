// The one place that chooses the platform: the Windows headers in the Windows
// build, the project's POSIX layer everywhere else. The program calls the same
// functions by the same names on both.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include "windows_api.h"
#endif

// The calling thread's last error as a result code. Never 0, so that a failed
// call can never be mistaken for success even if the platform left no code.
inline int last_error_as_result() {
  DWORD code = GetLastError();
  return code != 0 ? static_cast<int>(code) : static_cast<int>(ERROR_GEN_FAILURE);
}
